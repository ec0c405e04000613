#include "client.h"

#include "auth.h"
#include "data/clock.h"
#include "data/privatefile.h"
#include "data/settings.h"
#include "ui/errorguard.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTcpSocket>

namespace pms {

void InterfaceLog::write(const QString &line) const
{
    if (m_path.isEmpty())
        return;
    if (QFileInfo(m_path).size() > m_maxBytes) {
        QFile::remove(m_path + QStringLiteral(".1"));
        QFile::rename(m_path, m_path + QStringLiteral(".1"));
    }
    // Guest names and authentication stamps: a new log is for the owner's eyes only.
    QFile file(m_path);
    if (!OpenPrivateForAppend(file, QIODevice::Text))
        return;
    file.write(QDateTime::currentDateTime().toString(Qt::ISODate).toUtf8() + ' ' + line.toUtf8() +
               '\n');
}

namespace {
QString shown(const Record &r)
{
    std::string bytes = Encode(r);
    return QString::fromStdString(bytes.substr(1, bytes.size() - 2));
}
} // namespace

Client::Client(Options options, QObject *parent)
    : QObject(parent), m_options(std::move(options)), m_log(m_options.logPath),
      m_socket(new QTcpSocket(this)), m_link([this] {
          Link::Config c;
          c.version = m_options.version.toStdString();
          c.stamp = [] {
              const QDateTime now = Now();
              return std::pair<std::string, std::string>(
                  now.toString(QStringLiteral("yyMMdd")).toStdString(),
                  now.toString(QStringLiteral("HHmmss")).toStdString());
          };
          if (m_options.authKey) {
              const QByteArray key = *m_options.authKey;
              c.authenticate = [key](const std::string &stamp) {
                  return SealStamp(key, QByteArray::fromStdString(stamp)).toStdString();
              };
          }
          return c;
      }()),
      m_service(m_options.service), m_pauseMs(m_options.firstPauseMs)
{
    m_clock.start();
    m_service.setLog([this](const QString &line) { log(line); });
    m_reconnect.setSingleShot(true);
    connect(&m_reconnect, &QTimer::timeout, this, Guarded([this] { connectNow(); }));
    connect(&m_ticker, &QTimer::timeout, this, Guarded([this] { tick(); }));
    connect(m_socket, &QTcpSocket::connected, this, Guarded([this] { connected(); }));
    connect(m_socket, &QTcpSocket::disconnected, this, Guarded([this] { lost(); }));
    connect(m_socket, &QTcpSocket::errorOccurred, this, Guarded([this] {
                if (m_socket->state() != QAbstractSocket::ConnectedState)
                    lost();
            }));
    connect(m_socket, &QTcpSocket::readyRead, this, Guarded([this] { readyRead(); }));
}

Client::~Client()
{
    m_socket->disconnect(this);
}

QString Client::StateText(State state)
{
    switch (state) {
    case State::Connecting:
        return QStringLiteral("PMS: connecting");
    case State::Linked:
        return QStringLiteral("PMS: linked");
    case State::Down:
        break;
    }
    return QStringLiteral("PMS: down");
}

void Client::setState(State state)
{
    if (state == m_state)
        return;
    m_state = state;
    log(StateText(state));
    emit stateChanged(state);
}

void Client::start()
{
    m_ticker.start(250);
    connectNow();
}

void Client::connectNow()
{
    setState(State::Connecting);
    m_socket->abort();
    m_socket->connectToHost(m_options.host, m_options.port);
}

void Client::connected()
{
    ++m_connection;
    m_pauseMs = m_options.firstPauseMs;
    m_reader.reset();
    m_pending.clear();
    m_link.connected(nowMs());
    log(QStringLiteral("connected to %1:%2").arg(m_options.host).arg(m_options.port));
}

void Client::lost()
{
    if (m_reconnect.isActive())
        return;
    if (m_state == State::Linked)
        log(QStringLiteral("connection lost: %1").arg(m_socket->errorString()));
    m_link.disconnected();
    m_reader.reset();
    m_pending.clear();
    setState(State::Down);
    m_reconnect.start(m_pauseMs);
    m_pauseMs = std::min(m_pauseMs * 2, m_options.maxPauseMs);
}

void Client::send(const Record &record)
{
    if (m_socket->state() != QAbstractSocket::ConnectedState)
        return;
    if (record.id != "LA")
        log(QStringLiteral("> ") + shown(record));
    m_socket->write(QByteArray::fromStdString(Encode(record)));
}

void Client::readyRead()
{
    const QByteArray bytes = m_socket->readAll();
    Reader::Output out = m_reader.feed(std::string_view(bytes.constData(), bytes.size()), nowMs());
    for (const std::string &problem : out.problems)
        log(QString::fromStdString(problem));
    for (Record &r : out.records)
        m_pending.push_back(std::move(r));
    processPending();
}

void Client::processPending()
{
    // A card call lets paint events through, and with them the socket's: records arriving
    // meanwhile wait in the queue, and go after the current one.
    if (m_processing)
        return;
    m_processing = true;
    while (!m_pending.empty()) {
        const Record record = std::move(m_pending.front());
        m_pending.pop_front();
        if (record.id != "LA")
            log(QStringLiteral("< ") + shown(record));
        const Link::Step step = m_link.received(record);
        if (!step.problem.empty())
            log(QString::fromStdString(step.problem));
        for (const Record &r : step.send)
            send(r);
        setState(m_link.state() == Link::State::Alive ? State::Linked : State::Connecting);
        if (step.data) {
            const int connection = m_connection;
            const Record answer = m_service.handle(*step.data);
            if (connection == m_connection && m_socket->state() == QAbstractSocket::ConnectedState)
                send(answer);
            else
                log(QStringLiteral("answer lost with the connection: ") + shown(answer));
        }
    }
    m_processing = false;
}

void Client::tick()
{
    for (const std::string &problem : m_reader.tick(nowMs()).problems)
        log(QString::fromStdString(problem));
    if (m_socket->state() == QAbstractSocket::ConnectedState)
        for (const Record &r : m_link.tick(nowMs()))
            send(r);
}

Client *StartConfiguredClient(QObject *parent, QString *problem)
{
    TPmsSettings settings;
    ReadPmsSettings(settings);
    if (!settings.Enabled)
        return nullptr;
    Client::Options options;
    options.host = settings.Host;
    options.port = quint16(settings.Port);
    options.service = {true, settings.KeyCoder, settings.UserID};
    options.logPath = QFileInfo(ConfiguredDbPath()).absolutePath() + QStringLiteral("/pms.log");
    if (!QCoreApplication::applicationVersion().isEmpty())
        options.version = QCoreApplication::applicationVersion();
    const InterfaceLog log(options.logPath);
    if (settings.Port <= 0 || settings.Port > 65535) {
        *problem = QStringLiteral("PMS: no port");
        log.write(QStringLiteral("not started: [PMS] Port is not a port number"));
        return nullptr;
    }
    if (!settings.AuthKey.trimmed().isEmpty()) {
        options.authKey = AuthKeyFromText(settings.AuthKey);
        if (!options.authKey) {
            *problem = QStringLiteral("PMS: bad AuthKey");
            log.write(QStringLiteral("not started: [PMS] AuthKey is no base64 AES-128 key"));
            return nullptr;
        }
    }
    auto *client = new Client(std::move(options), parent);
    client->start();
    return client;
}

} // namespace pms
