#include "connection.h"

#include "errors.h"
#include "schema.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QSqlDriver>
#include <QSqlError>
#include <QSqlQuery>
#include <QVariant>

#include <sqlite3.h>

#include <atomic>
#include <cctype>
#include <cstdlib>

namespace {

std::atomic<int> connectionCounter{0};

// Days since 1970-01-01 of a proleptic Gregorian date.
long long daysFromCivil(long long y, unsigned m, unsigned d)
{
    y -= m <= 2;
    const long long era = (y >= 0 ? y : y - 399) / 400;
    const unsigned yoe = static_cast<unsigned>(y - era * 400);
    const unsigned doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
    const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + static_cast<long long>(doe) - 719468;
}

int daysInMonth(int year, int month)
{
    static const int days[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    const bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
    return month == 2 && leap ? 29 : days[month - 1];
}

// Parses "YYYY-MM-DD[ HH:MM[:SS[.fff]]]" into minutes since the epoch.
bool parseMinutes(const unsigned char *s, long long *minutes)
{
    if (!s)
        return false;
    auto num = [&](int width, int *out) {
        int v = 0;
        for (int i = 0; i < width; ++i) {
            if (!std::isdigit(s[i]))
                return false;
            v = v * 10 + (s[i] - '0');
        }
        *out = v;
        s += width;
        return true;
    };
    while (*s == ' ')
        ++s;
    int y, mo, d, h = 0, mi = 0, sec = 0;
    if (!num(4, &y) || *s++ != '-' || !num(2, &mo) || *s++ != '-' || !num(2, &d))
        return false;
    if (*s == ' ' || *s == 'T') {
        ++s;
        if (!num(2, &h) || *s++ != ':' || !num(2, &mi))
            return false;
        if (*s == ':') {
            ++s;
            if (!num(2, &sec))
                return false;
            if (*s == '.')
                for (++s; std::isdigit(*s); ++s) {
                }
        }
    }
    while (*s == ' ')
        ++s;
    if (*s != '\0' || mo < 1 || mo > 12 || d < 1 || d > daysInMonth(y, mo) || h > 23 || mi > 59 ||
        sec > 59)
        return false;
    *minutes = (daysFromCivil(y, mo, d) * 24 + h) * 60 + mi;
    return true;
}

long long floorDiv(long long a, long long b)
{
    return a / b - ((a % b != 0) && ((a < 0) != (b < 0)));
}

void dateDiff(sqlite3_context *ctx, int, sqlite3_value **argv)
{
    const unsigned char *unit = sqlite3_value_text(argv[0]);
    long long a, b;
    if (!unit || sqlite3_value_type(argv[1]) == SQLITE_NULL ||
        sqlite3_value_type(argv[2]) == SQLITE_NULL ||
        !parseMinutes(sqlite3_value_text(argv[1]), &a) ||
        !parseMinutes(sqlite3_value_text(argv[2]), &b)) {
        sqlite3_result_null(ctx);
        return;
    }
    const std::string u(reinterpret_cast<const char *>(unit));
    long long per;
    if (u == "d" || u == "D")
        per = 1440;
    else if (u == "h" || u == "H" || u == "hh")
        per = 60;
    else if (u == "n" || u == "N")
        per = 1;
    else {
        sqlite3_result_error(ctx, "DateDiff: unknown interval", -1);
        return;
    }
    sqlite3_result_int64(ctx, floorDiv(b, per) - floorDiv(a, per));
}

// Opens a server connection and sets up its session: text values reach the server exactly
// as quoted (a backslash is a backslash), date-times are read and written in the one text
// form, and a statement that waits for a lock gives up after a few seconds.
bool openSession(QSqlDatabase &db, QString *error)
{
    if (!db.open()) {
        *error = db.lastError().text();
        return false;
    }
    QSqlQuery setup(db);
    for (const char *statement :
         {"SET standard_conforming_strings = on", "SET DateStyle = 'ISO, YMD'",
          "SET lock_timeout = '5s'", "SET client_min_messages = warning"}) {
        if (!setup.exec(QString::fromLatin1(statement))) {
            *error = setup.lastError().text();
            return false;
        }
    }
    return true;
}

} // namespace

QString LostConnectionText()
{
    return QCoreApplication::translate(
        "Database", "The connection to the database server was lost; the command was "
                    "abandoned and nothing of it was stored.");
}

namespace {

sqlite3 *sqliteHandle(const QSqlDatabase &db)
{
    const QVariant v = db.driver()->handle();
    return v.isValid() && qstrcmp(v.typeName(), "sqlite3*") == 0
               ? *static_cast<sqlite3 *const *>(v.constData())
               : nullptr;
}

} // namespace

sqlite3 *Connection::fileHandle()
{
    return IsServer() ? nullptr : sqliteHandle(database());
}

void RegisterSqlFunctions(QSqlDatabase &db)
{
    sqlite3 *handle = sqliteHandle(db);
    if (handle)
        sqlite3_create_function(handle, "DateDiff", 3, SQLITE_UTF8 | SQLITE_DETERMINISTIC, nullptr,
                                dateDiff, nullptr, nullptr);
}

QString ConnectionStringValue(const QString &connectionString, const QString &key)
{
    for (const QString &part : connectionString.split(';')) {
        const int eq = part.indexOf('=');
        if (eq > 0 && part.left(eq).trimmed().compare(key, Qt::CaseInsensitive) == 0)
            return part.mid(eq + 1).trimmed();
    }
    return QString();
}

const char *const kServerDatabase = "quorvel";

Connection::Connection() : m_name(QStringLiteral("quenmar-%1").arg(connectionCounter.fetch_add(1)))
{
}

Connection::~Connection()
{
    Close();
}

void Connection::Open()
{
    Close();
    const QString provider = ConnectionStringValue(ConnectionString, QStringLiteral("Provider"));
    if (provider.startsWith(QStringLiteral("SQLOLEDB"), Qt::CaseInsensitive)) {
        openServer();
        return;
    }
    if (!provider.contains(QStringLiteral("Jet"), Qt::CaseInsensitive))
        throw DbError(QCoreApplication::translate(
                          "Database", "The database kind \"%1\" is not available on this "
                                      "workstation.")
                          .arg(provider));
    const QString path = DatabaseFile;
    if (!QFileInfo(path).isFile())
        throw DbError(
            QCoreApplication::translate("Database", "Could not find file '%1'.").arg(path));
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), m_name);
        db.setDatabaseName(path);
        db.setConnectOptions(QStringLiteral("QSQLITE_BUSY_TIMEOUT=%1").arg(kFileBusyTimeoutMs));
        bool ok = db.open();
        QString error = db.lastError().text();
        if (ok) {
            // SQLite opens lazily: the first read tells whether the file is a database.
            QSqlQuery probe(db);
            ok = probe.exec(QStringLiteral("select count(*) from sqlite_master"));
            error = probe.lastError().text();
        }
        if (!ok) {
            db.close();
            db = QSqlDatabase();
            QSqlDatabase::removeDatabase(m_name);
            throw NotADatabaseError(
                QCoreApplication::translate(
                    "Database", "The file \"%1\" is not a database this program can open (%2).")
                    .arg(path, error));
        }
        RegisterSqlFunctions(db);
    }
    m_path = path;
}

void Connection::openServer()
{
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QPSQL"), m_name);
        if (!db.isValid()) {
            db = QSqlDatabase();
            QSqlDatabase::removeDatabase(m_name);
            throw DbError(QCoreApplication::translate(
                "Database", "The database server driver is not installed on this "
                            "workstation."));
        }
        db.setDatabaseName(QString::fromLatin1(kServerDatabase));
        db.setHostName(ServerHost);
        if (ServerPort > 0)
            db.setPort(ServerPort);
        db.setUserName(ServerUser);
        db.setPassword(ServerPassword);
        db.setConnectOptions(QStringLiteral("connect_timeout=%1").arg(kServerConnectTimeout));
        QString error;
        if (!openSession(db, &error)) {
            db.close();
            db = QSqlDatabase();
            QSqlDatabase::removeDatabase(m_name);
            throw DbError(error);
        }
    }
    m_path.clear();
    m_server = true;
}

void Connection::reopenServer()
{
    // What was begun on the lost connection is gone with it; the statement that found the
    // connection lost has failed and told so. A commit of that transaction fails too.
    if (m_inTransaction) {
        m_inTransaction = m_hold = m_joined = false;
        m_lostTransaction = true;
    }
    QSqlDatabase db = QSqlDatabase::database(m_name, false);
    db.close();
    QString error;
    if (!openSession(db, &error)) {
        db.close();
        throw DbError(error);
    }
}

bool Connection::IsServer() const
{
    return m_server && QSqlDatabase::contains(m_name);
}

void Connection::Close()
{
    if (!QSqlDatabase::contains(m_name))
        return;
    {
        QSqlDatabase db = QSqlDatabase::database(m_name, false);
        db.close();
    }
    QSqlDatabase::removeDatabase(m_name);
    m_path.clear();
    m_inTransaction = m_hold = m_joined = m_server = m_lostTransaction = false;
}

bool Connection::Connected() const
{
    return QSqlDatabase::contains(m_name) && QSqlDatabase::database(m_name, false).isOpen();
}

QSqlDatabase Connection::database()
{
    if (!Connected()) {
        // Still registered but no longer open: the server dropped the connection.
        if (!m_server || !QSqlDatabase::contains(m_name))
            throw DbError(
                QCoreApplication::translate("Database", "The database connection is not open."));
        reopenServer();
    }
    return QSqlDatabase::database(m_name, false);
}

void Connection::BeginTrans()
{
    QSqlDatabase db = database();
    m_lostTransaction = false;
    if (m_hold && !m_joined) {
        m_joined = true;
        return;
    }
    if (!db.transaction())
        throw DbError(db.lastError().text());
    m_inTransaction = true;
}

void Connection::CommitTrans()
{
    QSqlDatabase db = database(); // may find the transaction lost with the connection
    if (m_lostTransaction) {
        m_lostTransaction = false;
        m_inTransaction = m_hold = m_joined = false;
        throw DbError(LostConnectionText());
    }
    if (!db.commit())
        throw DbError(db.lastError().text());
    m_inTransaction = m_hold = m_joined = false;
}

void Connection::RollbackTrans()
{
    if (Connected())
        database().rollback();
    m_inTransaction = m_hold = m_joined = m_lostTransaction = false;
}

void Connection::BeginHold()
{
    if (m_hold || m_inTransaction)
        return;
    QSqlDatabase db = database();
    m_lostTransaction = false;
    QSqlQuery begin(db);
    // The file kind waits for the write lock up to its busy timeout (5 s); the server's
    // lock_timeout (5 s) limits the wait of the FOR UPDATE read that follows.
    if (!begin.exec(IsServer() ? QStringLiteral("BEGIN") : QStringLiteral("BEGIN IMMEDIATE")))
        throw DbError(begin.lastError().text());
    m_hold = m_inTransaction = true;
    m_joined = false;
}

bool Connection::EndHold()
{
    if (!m_lostTransaction && (!m_hold || m_joined))
        return true;
    QSqlDatabase db = database(); // may find the hold lost with the connection
    if (m_lostTransaction) {
        m_lostTransaction = false;
        return false;
    }
    if (!m_hold || m_joined)
        return true;
    const bool stored = db.commit();
    if (!stored)
        db.rollback();
    m_inTransaction = m_hold = m_joined = false;
    return stored;
}
