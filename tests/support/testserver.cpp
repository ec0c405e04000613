#include "testserver.h"

#include "data/connection.h"
#include "data/errors.h"
#include "data/serverdb.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>

#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

const QString kBin = QStringLiteral("/usr/lib/postgresql/15/bin/");
constexpr int kPort = 5432; // only a socket in the server's own folder: no clash with others

bool chownTree(const QString &path, uid_t uid, gid_t gid)
{
    if (::chown(QFile::encodeName(path).constData(), uid, gid) != 0)
        return false;
    for (const QFileInfo &entry :
         QDir(path).entryInfoList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden))
        if (entry.isDir() ? !chownTree(entry.filePath(), uid, gid)
                          : ::chown(QFile::encodeName(entry.filePath()).constData(), uid, gid))
            return false;
    return true;
}

} // namespace

TestServer::TestServer()
{
    if (!m_dir.isValid()) {
        m_error = QStringLiteral("no temporary folder");
        return;
    }
    if (!QFile::exists(kBin + QStringLiteral("pg_ctl"))) {
        m_error = kBin + QStringLiteral("pg_ctl is not installed");
        return;
    }
    const QString passwordFile = m_dir.filePath(QStringLiteral("password"));
    {
        QFile f(passwordFile);
        if (!f.open(QIODevice::WriteOnly) || f.write(password().toUtf8() + '\n') < 0) {
            m_error = QStringLiteral("cannot write %1").arg(passwordFile);
            return;
        }
    }
    if (::geteuid() == 0) {
        const passwd *pw = ::getpwnam("postgres");
        if (!pw) {
            m_error = QStringLiteral("there is no postgres user to run the server");
            return;
        }
        ::chmod(QFile::encodeName(m_dir.path()).constData(), 0700);
        if (!chownTree(m_dir.path(), pw->pw_uid, pw->pw_gid)) {
            m_error = QStringLiteral("cannot give %1 to the postgres user").arg(m_dir.path());
            return;
        }
    }
    const QString data = m_dir.filePath(QStringLiteral("data"));
    if (!run(kBin + QStringLiteral("initdb"),
             {QStringLiteral("-D"), data, QStringLiteral("-U"), user(),
              QStringLiteral("--pwfile=") + passwordFile, QStringLiteral("--auth=scram-sha-256"),
              QStringLiteral("-E"), QStringLiteral("UTF8"), QStringLiteral("--locale=C"),
              QStringLiteral("--no-sync")}))
        return;
    const QString options = QStringLiteral("-k %1 -p %2 -c listen_addresses='' -c fsync=off "
                                           "-c full_page_writes=off -c max_connections=20")
                                .arg(m_dir.path())
                                .arg(kPort);
    if (!run(kBin + QStringLiteral("pg_ctl"),
             {QStringLiteral("-D"), data, QStringLiteral("-o"), options, QStringLiteral("-l"),
              m_dir.filePath(QStringLiteral("server.log")), QStringLiteral("-w"),
              QStringLiteral("-t"), QStringLiteral("60"), QStringLiteral("start")})) {
        QFile log(m_dir.filePath(QStringLiteral("server.log")));
        if (log.open(QIODevice::ReadOnly))
            m_error += QStringLiteral("\n") + QString::fromLocal8Bit(log.readAll());
        return;
    }
    m_started = true;
}

TestServer::~TestServer()
{
    if (m_started)
        run(kBin + QStringLiteral("pg_ctl"),
            {QStringLiteral("-D"), m_dir.filePath(QStringLiteral("data")), QStringLiteral("-m"),
             QStringLiteral("immediate"), QStringLiteral("-w"), QStringLiteral("stop")});
}

bool TestServer::restart()
{
    return run(kBin + QStringLiteral("pg_ctl"),
               {QStringLiteral("-D"), m_dir.filePath(QStringLiteral("data")), QStringLiteral("-m"),
                QStringLiteral("fast"), QStringLiteral("-l"),
                m_dir.filePath(QStringLiteral("server.log")), QStringLiteral("-w"),
                QStringLiteral("-t"), QStringLiteral("60"), QStringLiteral("restart")});
}

bool TestServer::run(const QString &program, const QStringList &arguments, int timeoutMs)
{
    QProcess p;
    p.setWorkingDirectory(m_dir.path());
    if (::geteuid() == 0)
        p.start(QStringLiteral("runuser"),
                QStringList{QStringLiteral("-u"), QStringLiteral("postgres"), QStringLiteral("--"),
                            program} +
                    arguments);
    else
        p.start(program, arguments);
    if (!p.waitForFinished(timeoutMs) || p.exitStatus() != QProcess::NormalExit ||
        p.exitCode() != 0) {
        m_error =
            QStringLiteral("%1 failed: %2 %3")
                .arg(program, p.errorString(),
                     QString::fromLocal8Bit(p.readAllStandardError() + p.readAllStandardOutput()));
        return false;
    }
    return true;
}

QString TestServer::serverName() const
{
    return QStringLiteral("%1:%2").arg(m_dir.path()).arg(kPort);
}

void TestServer::login(Connection &conn) const
{
    SetServerLogin(conn, serverName(), user(), password());
}

void TestServer::freshHotel(bool demo)
{
    const QString name = QStringLiteral("test-server-maintenance");
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QPSQL"), name);
        db.setHostName(m_dir.path());
        db.setPort(kPort);
        db.setDatabaseName(QStringLiteral("postgres"));
        db.setUserName(user());
        db.setPassword(password());
        if (!db.open())
            qFatal("cannot reach the test server: %s", qPrintable(db.lastError().text()));
        QSqlQuery q(db);
        if (!q.exec(QStringLiteral("DROP DATABASE IF EXISTS %1 WITH (FORCE)")
                        .arg(QString::fromLatin1(kServerDatabase))))
            qFatal("%s", qPrintable(q.lastError().text()));
    }
    QSqlDatabase::removeDatabase(name);
    Connection conn;
    login(conn);
    try {
        CreateServerHotelDatabase(conn, demo, QString());
    } catch (const AppError &e) {
        qFatal("cannot set up the hotel on the test server: %s", qPrintable(e.text()));
    }
}
