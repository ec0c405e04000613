#pragma once
// The workstation's connection to the property management system's interface program: one
// TCP connection in the main window's event loop, reconnected with a growing pause, the
// link control, and the key requests answered as they arrive.
#include "keyservice.h"
#include "link.h"
#include "record.h"

#include <QByteArray>
#include <QDateTime>
#include <QElapsedTimer>
#include <QObject>
#include <QString>
#include <QTimer>

#include <deque>
#include <optional>

class QSslError;
class QSslSocket;

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
        // TLS: the link runs encrypted, and only a peer that proves the expected certificate
        // is served. With `peerSha256` the peer's certificate must have this SHA-256 digest
        // (whoever signed it); without, it must be one the system trusts, for `host`.
        bool tls = false;
        std::optional<QByteArray> peerSha256;
        // Bad input arriving within this long of the previous piece belongs to one burst,
        // which the log records once, with a count.
        int badInputBurstMs = 2000;
    };

    explicit Client(Options options, QObject *parent = nullptr);
    ~Client() override;

    void start();
    State state() const { return m_state; }
    // The state in English, as the interface log writes it.
    static QString StateText(State state);
    // The state as the status bar shows it, in the program's language.
    static QString ShownStateText(State state);

signals:
    void stateChanged(pms::Client::State state);

private:
    void connectNow();
    void connected();
    // The TLS handshake is over: the peer is served only if its certificate is the one.
    void encrypted();
    void sslErrors(const QList<QSslError> &errors);
    bool peerCertificateMatches() const;
    // Refuses the peer: logged, the connection dropped, the link down.
    void refuse(const QString &why);
    void logRefusal(const QString &why);
    // True while records may be read and sent on the connection.
    bool usable() const;
    void lost();
    void readyRead();
    void tick();
    void processPending();
    void send(const Record &record);
    void setState(State state);
    void logLink(const QString &action, const QString &room, const QString &detail);
    void writeUnlogged();
    void log(const QString &line) const { m_log.write(line); }
    // A line about bad input: the first of a burst is logged, the rest counted.
    void badInput(const QString &line);
    void endBadInputBurst();
    std::int64_t nowMs() const { return m_clock.elapsed(); }

    Options m_options;
    InterfaceLog m_log;
    QSslSocket *m_socket;
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
    bool m_trusted = false; // the TLS peer proved its certificate on this connection
    bool m_refusalLogged = false;
    std::int64_t m_connectStartMs = 0;
    static constexpr std::int64_t kHandshakeTimeoutMs = 10000;
    int m_badInBurst = 0; // pieces of bad input in the current burst
    std::int64_t m_lastBadMs = 0;
    struct UnloggedRow
    {
        QString action, room, detail;
        QDateTime time;
    };
    std::deque<UnloggedRow> m_unlogged; // operation log rows waiting for a desk command's end
};

// The SHA-256 digest a PeerCertificate setting names: the digest in hex (colons and blanks
// allowed) or a PEM file of the certificate (relative to the program folder). nullopt when
// it is neither; `why` then says what is wrong.
std::optional<QByteArray> PeerDigestFromSetting(const QString &setting, QString *why);

// The connection as the [PMS] settings describe it, started; nullptr when they switch it
// off or cannot be used (then `problem` says why, for the status bar).
Client *StartConfiguredClient(QObject *parent, QString *problem);

} // namespace pms
