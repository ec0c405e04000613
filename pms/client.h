#pragma once
// The workstation's connection to the property management system's interface program: one
// TCP connection in the main window's event loop, reconnected with a growing pause, the
// link control, and the key requests answered as they arrive.
#include "keyservice.h"
#include "link.h"
#include "record.h"

#include <QByteArray>
#include <QElapsedTimer>
#include <QObject>
#include <QString>
#include <QTimer>

#include <deque>
#include <optional>

class QTcpSocket;

namespace pms {

// A log of the interface: lines with a time stamp, one older file kept as "<name>.1".
class InterfaceLog
{
public:
    explicit InterfaceLog(QString path, qint64 maxBytes = 1024 * 1024)
        : m_path(std::move(path)), m_maxBytes(maxBytes)
    {
    }
    void write(const QString &line) const;
    QString path() const { return m_path; }

private:
    QString m_path;
    qint64 m_maxBytes;
};

class Client : public QObject
{
    Q_OBJECT
public:
    enum class State { Connecting, Linked, Down };
    Q_ENUM(State)

    struct Options
    {
        QString host;
        quint16 port = 0;
        KeyService::Config service;
        std::optional<QByteArray> authKey; // 16 bytes; none: no authentication
        QString logPath;
        QString version = QStringLiteral("1");
        int firstPauseMs = 1000; // the reconnect pause doubles from here
        int maxPauseMs = 30000;  // up to this
    };

    explicit Client(Options options, QObject *parent = nullptr);
    ~Client() override;

    void start();
    State state() const { return m_state; }
    static QString StateText(State state);

signals:
    void stateChanged(pms::Client::State state);

private:
    void connectNow();
    void connected();
    void lost();
    void readyRead();
    void tick();
    void processPending();
    void send(const Record &record);
    void setState(State state);
    void log(const QString &line) const { m_log.write(line); }
    std::int64_t nowMs() const { return m_clock.elapsed(); }

    Options m_options;
    InterfaceLog m_log;
    QTcpSocket *m_socket;
    QTimer m_reconnect, m_ticker;
    QElapsedTimer m_clock;
    Reader m_reader;
    Link m_link;
    KeyService m_service;
    State m_state = State::Down;
    int m_pauseMs;
    int m_connection = 0; // counts connections, so an answer never goes to a later one
    std::deque<Record> m_pending;
    bool m_processing = false;
};

// The connection as the [PMS] settings describe it, started; nullptr when they switch it
// off or cannot be used (then `problem` says why, for the status bar).
Client *StartConfiguredClient(QObject *parent, QString *problem);

} // namespace pms
