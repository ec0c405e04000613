#pragma once
// A throwaway database server for tests: a new cluster in a temporary folder, reached only
// through a local socket in that folder, started on construction and stopped on
// destruction. The server does not run as root: when the tests do, the cluster belongs to
// the `postgres` system user.
#include <QDir>
#include <QString>
#include <QTemporaryDir>

class Connection;

class TestServer
{
public:
    TestServer();
    ~TestServer();
    TestServer(const TestServer &) = delete;
    TestServer &operator=(const TestServer &) = delete;

    // False with the reason in error() when the server could not be started.
    bool Started() const { return m_started; }
    QString error() const { return m_error; }

    // Client Config/ServerName of this server (its socket folder and port).
    QString serverName() const;
    static QString user() { return QStringLiteral("quenmar"); }
    static QString password() { return QStringLiteral("s3cret'\\pass"); }

    // Restarts the server, ending every connection to it; false with error() on failure.
    bool restart();

    // Drops the hotel database and sets it up anew (as quenmar-initdb --server does).
    void freshHotel(bool demo);
    // Sets a connection's login to this server.
    void login(Connection &conn) const;

private:
    // Runs a server program as the server's user; false with m_error set on failure.
    bool run(const QString &program, const QStringList &arguments, int timeoutMs = 60000);

    // Its own name, free of blanks: the socket folder is handed to the server in an option
    // string, whatever the program's name is.
    QTemporaryDir m_dir{QDir::tempPath() + QStringLiteral("/quenmar-server-XXXXXX")};
    bool m_started = false;
    QString m_error;
};

// Starts the shared test server, or fails the test in continuous integration (CI=true) and
// skips it elsewhere when the server cannot be started.
#define QUENMAR_REQUIRE_SERVER(server)                                                             \
    do {                                                                                           \
        if (!(server).Started()) {                                                                 \
            if (qgetenv("CI") == "true")                                                           \
                QFAIL(qPrintable("the database server did not start: " + (server).error()));       \
            QSKIP(qPrintable("the database server did not start: " + (server).error()));           \
        }                                                                                          \
    } while (false)
