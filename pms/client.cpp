#include "client.h"

#include "auth.h"
#include "data/appdir.h"
#include "data/clock.h"
#include "data/dm.h"
#include "data/errors.h"
#include "data/privatefile.h"
#include "data/settings.h"
#include "oplog/operationlog.h"
#include "ui/errorguard.h"

#include <QCoreApplication>
#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QSslCertificate>
#include <QSslConfiguration>
#include <QSslSocket>

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

QString fieldOf(const Record &r, const char *id)
{
    for (const auto &[name, value] : r.fields)
        if (name == id)
            return QString::fromStdString(value);
    return QString();
}
} // namespace

Client::Client(Options options, QObject *parent)
    : QObject(parent), m_options(std::move(options)), m_log(m_options.logPath),
      m_socket(new QSslSocket(this)), m_link([this] {
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
    if (m_options.tls) {
        // The peer's certificate is checked here (sslErrors, encrypted), never left to chance:
        // with a pinned digest the system's trust does not matter, without one it decides.
        m_socket->setPeerVerifyMode(QSslSocket::VerifyPeer);
        connect(m_socket, &QSslSocket::encrypted, this, Guarded([this] { encrypted(); }));
        connect(m_socket, &QSslSocket::sslErrors, this,
                Guarded([this](const QList<QSslError> &errors) { sslErrors(errors); }));
    } else {
        connect(m_socket, &QSslSocket::connected, this, Guarded([this] { connected(); }));
    }
    connect(m_socket, &QSslSocket::disconnected, this, Guarded([this] { lost(); }));
    connect(m_socket, &QSslSocket::errorOccurred, this,
            Guarded([this](QAbstractSocket::SocketError error) {
                if (m_options.tls && !m_trusted && !m_refusalLogged &&
                    error != QAbstractSocket::ConnectionRefusedError &&
                    error != QAbstractSocket::HostNotFoundError) {
                    // A peer that speaks no TLS, or breaks off the handshake.
                    logRefusal(m_socket->errorString());
                }
                if (m_socket->state() != QAbstractSocket::ConnectedState)
                    lost();
            }));
    connect(m_socket, &QSslSocket::readyRead, this, Guarded([this] { readyRead(); }));
}

Client::~Client()
{
    m_socket->disconnect(this);
}

namespace {
const char *stateSource(Client::State state)
{
    switch (state) {
    case Client::State::Connecting:
        return QT_TRANSLATE_NOOP("pms::Client", "PMS: connecting");
    case Client::State::Linked:
        return QT_TRANSLATE_NOOP("pms::Client", "PMS: linked");
    case Client::State::Down:
        break;
    }
    return QT_TRANSLATE_NOOP("pms::Client", "PMS: down");
}
} // namespace

QString Client::StateText(State state)
{
    return QString::fromLatin1(stateSource(state));
}

QString Client::ShownStateText(State state)
{
    return QCoreApplication::translate("pms::Client", stateSource(state));
}

// The link's changes and each request with its answer go to the operation log when the
// database takes them; the link goes on when it does not. While a desk command holds the
// database in its transaction, a row written now would stand or fall with that command: the
// rows wait, in order, until the transaction is over (at the latest the next tick).
void Client::logLink(const QString &action, const QString &room, const QString &detail)
{
    m_unlogged.push_back({action, room, detail, Now()});
    writeUnlogged();
}

void Client::writeUnlogged()
{
    if (!dm || !dm->conn.Connected() || dm->conn.InTransaction())
        return;
    while (!m_unlogged.empty()) {
        const UnloggedRow row = m_unlogged.front();
        m_unlogged.pop_front();
        try {
            // A row that waited says when the link acted.
            const QString detail =
                row.time.secsTo(Now()) < 1
                    ? row.detail
                    : row.detail +
                          QStringLiteral(" (at %1)")
                              .arg(row.time.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss")));
            LogOperationAs(dm->conn, QStringLiteral("PMS"), QStringLiteral("PMS"), row.action,
                           row.room, detail);
        } catch (const DbError &) {
        }
    }
}

void Client::setState(State state)
{
    if (state == m_state)
        return;
    if (state == State::Linked || m_state == State::Linked)
        logLink(QString::fromLatin1(LogAction::PmsLink), QString(),
                state == State::Linked ? QStringLiteral("linked") : QStringLiteral("down"));
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
    m_trusted = false;
    m_refusalLogged = false;
    m_connectStartMs = nowMs();
    if (m_options.tls)
        m_socket->connectToHostEncrypted(m_options.host, m_options.port);
    else
        m_socket->connectToHost(m_options.host, m_options.port);
}

bool Client::usable() const
{
    return m_socket->state() == QAbstractSocket::ConnectedState && (!m_options.tls || m_trusted);
}

bool Client::peerCertificateMatches() const
{
    const QSslCertificate peer = m_socket->peerCertificate();
    if (peer.isNull())
        return false;
    if (!m_options.peerSha256)
        return true; // the system's verification decides (sslErrors)
    return peer.digest(QCryptographicHash::Sha256) == *m_options.peerSha256;
}

void Client::sslErrors(const QList<QSslError> &errors)
{
    // A pinned certificate needs no signature the system knows, nor the host's name in it.
    if (m_options.peerSha256 && peerCertificateMatches()) {
        m_socket->ignoreSslErrors(errors);
        return;
    }
    QStringList texts;
    for (const QSslError &e : errors)
        texts << e.errorString();
    // Not ignoring the errors makes the socket end the handshake itself.
    logRefusal(m_options.peerSha256 ? QStringLiteral("its certificate is not the configured one")
                                    : texts.join(QStringLiteral("; ")));
}

void Client::encrypted()
{
    if (!peerCertificateMatches()) {
        refuse(QStringLiteral("its certificate is not the configured one"));
        return;
    }
    m_trusted = true;
    connected();
}

void Client::logRefusal(const QString &why)
{
    const QSslCertificate peer = m_socket->peerCertificate();
    log(QStringLiteral("TLS peer refused: %1 (SHA-256 %2)")
            .arg(why, peer.isNull() ? QStringLiteral("none")
                                    : QString::fromLatin1(
                                          peer.digest(QCryptographicHash::Sha256).toHex(':'))));
    m_refusalLogged = true;
}

void Client::refuse(const QString &why)
{
    logRefusal(why);
    m_trusted = false;
    m_socket->abort();
    lost();
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
    m_trusted = false;
    endBadInputBurst();
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
    if (!usable())
        return;
    // Logged once the socket took the whole record, never for what did not go out.
    const QByteArray bytes = QByteArray::fromStdString(Encode(record));
    if (m_socket->write(bytes) != bytes.size()) {
        log(QStringLiteral("not sent (%1): ").arg(m_socket->errorString()) + shown(record));
        return;
    }
    if (record.id != "LA")
        log(QStringLiteral("> ") + shown(record));
}

void Client::badInput(const QString &line)
{
    const std::int64_t now = nowMs();
    if (m_badInBurst > 0 && now - m_lastBadMs > m_options.badInputBurstMs)
        endBadInputBurst();
    if (m_badInBurst == 0)
        log(line);
    ++m_badInBurst;
    m_lastBadMs = now;
}

void Client::endBadInputBurst()
{
    if (m_badInBurst > 1)
        log(QStringLiteral("%1 more pieces of bad input in this burst").arg(m_badInBurst - 1));
    m_badInBurst = 0;
}

void Client::readyRead()
{
    // Nothing is read from a peer that has not proved itself.
    if (!usable())
        return;
    const QByteArray bytes = m_socket->readAll();
    Reader::Output out = m_reader.feed(std::string_view(bytes.constData(), bytes.size()), nowMs());
    for (const std::string &problem : out.problems)
        badInput(QString::fromStdString(problem));
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
        const Link::Step step = m_link.received(record);
        if (step.problem.empty() || record.id == "LE") {
            if (record.id != "LA")
                log(QStringLiteral("< ") + shown(record));
            if (!step.problem.empty())
                log(QString::fromStdString(step.problem));
        } else {
            // A dropped record is bad input: its line names it.
            badInput(QString::fromStdString(step.problem));
        }
        for (const Record &r : step.send)
            send(r);
        setState(m_link.state() == Link::State::Alive ? State::Linked : State::Connecting);
        if (step.data) {
            const int connection = m_connection;
            const Record answer = m_service.handle(*step.data);
            logLink(QString::fromLatin1(LogAction::PmsRequest), fieldOf(*step.data, "RN"),
                    shown(*step.data) + QStringLiteral(" -> ") + shown(answer));
            if (connection == m_connection && usable())
                send(answer);
            else
                log(QStringLiteral("answer lost with the connection: ") + shown(answer));
        }
    }
    m_processing = false;
}

void Client::tick()
{
    writeUnlogged();
    for (const std::string &problem : m_reader.tick(nowMs()).problems)
        badInput(QString::fromStdString(problem));
    if (m_badInBurst > 0 && nowMs() - m_lastBadMs > m_options.badInputBurstMs)
        endBadInputBurst();
    // A peer that takes the connection but never finishes the handshake is no PMS.
    if (m_options.tls && !m_trusted && m_socket->state() == QAbstractSocket::ConnectedState &&
        nowMs() - m_connectStartMs > kHandshakeTimeoutMs)
        refuse(QStringLiteral("no TLS handshake within %1 s").arg(kHandshakeTimeoutMs / 1000));
    if (usable())
        for (const Record &r : m_link.tick(nowMs()))
            send(r);
}

std::optional<QByteArray> PeerDigestFromSetting(const QString &setting, QString *why)
{
    QString hex = setting;
    hex.remove(QRegularExpression(QStringLiteral("[:\\s]")));
    static const QRegularExpression sha256Hex(QStringLiteral("^[0-9A-Fa-f]{64}$"));
    if (sha256Hex.match(hex).hasMatch())
        return QByteArray::fromHex(hex.toLatin1());
    const QString path = QDir::isAbsolutePath(setting) ? setting : ProgramPath(setting);
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        *why = QStringLiteral("%1: %2").arg(path, file.errorString());
        return std::nullopt;
    }
    const QList<QSslCertificate> certificates = QSslCertificate::fromData(file.readAll());
    if (certificates.isEmpty() || certificates.first().isNull()) {
        *why = QStringLiteral("%1 holds no PEM certificate").arg(path);
        return std::nullopt;
    }
    return certificates.first().digest(QCryptographicHash::Sha256);
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
    options.service = {true, settings.KeyCoder, settings.UserID, settings.MaxKeyDays};
    options.logPath = QFileInfo(ConfiguredDbPath()).absolutePath() + QStringLiteral("/pms.log");
    if (!QCoreApplication::applicationVersion().isEmpty())
        options.version = QCoreApplication::applicationVersion();
    const InterfaceLog log(options.logPath);
    if (settings.Port <= 0 || settings.Port > 65535) {
        *problem = QCoreApplication::translate("pms::Client", "PMS: no port");
        log.write(QStringLiteral("not started: [PMS] Port is not a port number"));
        return nullptr;
    }
    if (!settings.AuthKey.trimmed().isEmpty()) {
        options.authKey = AuthKeyFromText(settings.AuthKey);
        if (!options.authKey) {
            *problem = QCoreApplication::translate("pms::Client", "PMS: bad AuthKey");
            log.write(QStringLiteral("not started: [PMS] AuthKey is no base64 AES-128 key"));
            return nullptr;
        }
    }
    if (settings.Tls) {
        if (!QSslSocket::supportsSsl()) {
            *problem = QCoreApplication::translate("pms::Client", "PMS: no TLS");
            log.write(QStringLiteral("not started: [PMS] Tls=1, but TLS is not available here"));
            return nullptr;
        }
        options.tls = true;
        if (!settings.PeerCertificate.trimmed().isEmpty()) {
            QString why;
            options.peerSha256 = PeerDigestFromSetting(settings.PeerCertificate.trimmed(), &why);
            if (!options.peerSha256) {
                *problem = QCoreApplication::translate("pms::Client", "PMS: bad PeerCertificate");
                log.write(QStringLiteral("not started: [PMS] PeerCertificate: ") + why);
                return nullptr;
            }
        }
    }
    auto *client = new Client(std::move(options), parent);
    client->start();
    return client;
}

} // namespace pms
