#pragma once
// The database connection of the data module. It is opened from a connection string of
// the two described forms; the file kind opens an SQLite database at its Data Source.
#include <QSqlDatabase>
#include <QString>

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

    // The open database; throws DbError when the connection is closed.
    QSqlDatabase database() const;
    // The file behind an open connection.
    QString databasePath() const { return m_path; }

    // Transactions around several statements that must be stored together.
    void BeginTrans();
    void CommitTrans();
    void RollbackTrans();

private:
    QString m_name;
    QString m_path;
};

// Registers DateDiff(unit, a, b) on an open SQLite connection: the number of unit
// boundaries ('d' days, 'h' hours, 'n' minutes) crossed from a to b; null when an
// argument is null or not a date-time.
void RegisterSqlFunctions(QSqlDatabase &db);

// Reads a value of a connection string ("Data Source" of "A=1;Data Source=x;...").
QString ConnectionStringValue(const QString &connectionString, const QString &key);
