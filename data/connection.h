#pragma once
// The database connection of the data module. It is opened from a connection string of
// the two described forms: the file kind opens an SQLite database file, the server kind the
// hotel database on a PostgreSQL server shared by several workstations.
#include <QSqlDatabase>
#include <QString>

struct sqlite3;

class Connection
{
public:
    Connection();
    ~Connection();
    Connection(const Connection &) = delete;
    Connection &operator=(const Connection &) = delete;

    QString ConnectionString;
    // The database file of the file kind. It is kept here, never read back out of
    // ConnectionString, where a path holding ';' or surrounding blanks would not survive.
    QString DatabaseFile;

    // Opens with ConnectionString (the file kind opens DatabaseFile); throws DbError
    // (NotADatabaseError for a file that is no SQLite database). An open connection is
    // closed first.
    void Open();
    void Close();
    bool Connected() const;

    // The open database; throws DbError when the connection is closed. A connection to the
    // server that the server dropped (it restarted, or the network went) is opened again
    // here, so after the statement that found it lost has failed, the next one works. A
    // transaction that was open on it is gone: its commit fails (a hold's end gives false).
    QSqlDatabase database();
    // The SQLite handle of an open database file, for statements that read their rows in place;
    // null on the server.
    sqlite3 *fileHandle();
    // The file behind an open connection.
    QString databasePath() const { return m_path; }

    // The server kind (a connection string naming the server provider): where the server
    // is, a host name, an address or the folder of its local socket (empty: the default
    // local socket), its port (-1: the default), the login and the password. Each is kept as
    // its own value and handed to the driver as an option of its own.
    QString ServerHost;
    int ServerPort = -1;
    QString ServerUser;
    QString ServerPassword;
    // True while a connection to the database server is open (or lost, to be opened again).
    bool IsServer() const;

    // Transactions around several statements that must be stored together.
    void BeginTrans();
    void CommitTrans();
    void RollbackTrans();
    // A transaction (or a counter hold) is open: what is written now is stored with it.
    bool InTransaction() const { return m_inTransaction; }

    // Holding the serial counters from their read to the recording of the card: a
    // transaction that takes the database file's write lock at once (other programs on the
    // file wait), or on the server lets the counter rows be read FOR UPDATE (other
    // workstations wait for those rows). A wait of more than a few seconds fails with
    // DbError. A transaction begun while the hold is open joins it, and its commit or
    // rollback ends the hold. Nothing happens when a transaction is already open.
    void BeginHold();
    bool Holding() const { return m_hold; }
    // Ends a hold that no transaction joined by storing what it did; false (rolled back)
    // when the commit failed.
    bool EndHold();

private:
    void openServer();
    // Opens a server connection the server dropped; throws DbError when it does not open.
    void reopenServer();

    QString m_name;
    QString m_path;
    bool m_inTransaction = false;
    bool m_hold = false;   // a hold is open
    bool m_joined = false; // and a transaction joined it
    bool m_server = false; // opened on the database server
    // The connection was lost while a transaction was open: its commit must fail.
    bool m_lostTransaction = false;
};

// Why the commit of a transaction fails that was open when the server connection was lost.
QString LostConnectionText();

// The name of the hotel database on the server.
extern const char *const kServerDatabase;
// Milliseconds a statement on a database file waits for another program's write.
constexpr int kFileBusyTimeoutMs = 5000;
// Seconds a connection attempt to the server may take.
constexpr int kServerConnectTimeout = 5;

// Registers DateDiff(unit, a, b) on an open SQLite connection: the number of unit
// boundaries ('d' days, 'h' hours, 'n' minutes) crossed from a to b; null when an
// argument is null or not a date-time.
void RegisterSqlFunctions(QSqlDatabase &db);

// Reads a value of a connection string ("Data Source" of "A=1;Data Source=x;...").
QString ConnectionStringValue(const QString &connectionString, const QString &key);
