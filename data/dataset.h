#pragma once
// A small dataset layer over the connection: a statement given line by line and opened
// (rows kept in memory, read by column name) or executed; rows of a table appended or
// edited with typed values; a table filtered by an expression.
#include <QDateTime>
#include <QHash>
#include <QList>
#include <QPair>
#include <QStringList>
#include <QVariant>
#include <QVector>

#include <functional>
#include <memory>

class Connection;
struct sqlite3_stmt;
class QSqlQuery;
class QSqlRecord;

// One row of a query's result. A row read in place from a database file keeps its values as
// SQLite gave them, in one block, and converts a value when it is asked for (a grid reads only
// the rows it shows); a row read through Qt SQL keeps the driver's values.
class QueryRow
{
public:
    QueryRow() = default;
    // Through Qt SQL: the driver's values.
    explicit QueryRow(QVector<QVariant> values) : m_values(std::move(values)) {}
    // In place: the current row of a stepped statement, copied in one block.
    static QueryRow FromStatement(sqlite3_stmt *statement);

    // A column's value as the Qt driver gives it (integers as 64-bit, a null as a null
    // text); null for a column the row does not have.
    QVariant value(int column) const;
    int size() const;

private:
    QVector<QVariant> m_values;
    // The offsets of the values (one more than the columns: the last is the end), a type
    // byte per column, then the values: 64-bit integers and doubles as they lie in memory,
    // texts as UTF-8, blobs as bytes, nulls as nothing.
    QByteArray m_packed;
};

// Column values for an appended or edited row. Values are bound, never written into the
// statement: QDateTime is stored in the one date-time text form, bool as 0 or 1.
using FieldValues = QList<QPair<QString, QVariant>>;

class Query
{
public:
    explicit Query(Connection &conn);
    virtual ~Query();

    Connection &connection() const { return m_conn; }

    // The statement, one piece per line; the database receives them joined by line breaks.
    QStringList SQL;
    void Clear();
    void Add(const QString &line) { SQL.append(line); }
    QString Text() const { return SQL.join('\n'); }

    // Runs a statement that returns rows and positions on the first row.
    virtual void Open();
    // Runs a statement that returns no rows; returns the number of rows it changed.
    int ExecSQL();
    virtual void Close();
    bool Active() const { return m_active; }

    int RecordCount() const { return m_rows.size(); }
    bool IsEmpty() const { return m_rows.isEmpty(); }
    bool Eof() const { return m_pos >= m_rows.size(); }
    void First() { m_pos = 0; }
    void Next() { ++m_pos; }
    int RecNo() const { return m_pos; }
    void MoveTo(int row) { m_pos = row; }

    QStringList FieldNames() const { return m_names; }
    bool HasField(const QString &name) const;
    // The current row's value; throws DbError for an unknown column or no current row.
    QVariant FieldByName(const QString &name) const;
    QVariant Field(int column) const;
    QString AsString(const QString &name) const;
    int AsInteger(const QString &name) const; // null reads as 0
    bool AsBoolean(const QString &name) const;
    QDateTime AsDateTime(const QString &name) const; // null reads as invalid
    bool IsNull(const QString &name) const { return FieldByName(name).isNull(); }

    // All rows read so far (for grid models).
    const QVector<QueryRow> &rows() const { return m_rows; }

    // A query that reads its rows on demand has rows left to read.
    virtual bool CanFetchMore() const { return false; }
    // Reads up to `count` further rows; returns how many were read.
    virtual int FetchMore(int count)
    {
        Q_UNUSED(count);
        return 0;
    }

    // A running statement's rows, read through Qt SQL on the server and in place through
    // SQLite on a database file (the values the Qt driver would give, without its copies).
    class Cursor;

protected:
    // Runs the statement; throws DbError.
    std::unique_ptr<Cursor> openCursor(const QString &text);

    int columnIndex(const QString &name) const;
    void runSelect(const QString &text);
    // The column names; on the server as the statement writes them.
    void readNames(const Cursor &cursor, const QString &statement);
    // Appends up to `limit` rows of a running statement (all when limit < 0); false when the
    // statement has no rows left.
    bool readRows(Cursor &cursor, int limit, int *read = nullptr);

    Connection &m_conn;
    bool m_active = false;
    QStringList m_names;
    QHash<QString, int> m_index; // lower-case column name -> column
    QVector<QueryRow> m_rows;
    int m_pos = 0;
};

// A query that reads its rows as they are asked for, so that a list over millions of rows
// shows its first screen at once: Open runs the statement and reads the first batch,
// FetchMore (called by the grid as it scrolls) reads further rows. The statement stays
// open on the connection until its last row is read or the query is closed; close it
// before changing the rows it reads.
class LazyQuery : public Query
{
public:
    explicit LazyQuery(Connection &conn, int batchSize = 256);
    ~LazyQuery() override;

    void Open() override;
    void Close() override;
    bool CanFetchMore() const override { return m_cursor != nullptr; }
    int FetchMore(int count) override;
    int BatchSize() const { return m_batch; }

private:
    std::unique_ptr<Cursor> m_cursor;
    int m_batch;
};

// A query bound to one table, with an optional filter expression, whose rows can be
// appended and edited in place (keyed by the table's ID column).
class Table : public Query
{
public:
    Table(Connection &conn, const QString &tableName);

    QString TableName;
    QString Filter;
    bool Filtered = false;

    // A hook run before a row is stored; returning false cancels the store silently.
    std::function<bool(const FieldValues &)> BeforePost;

    void Open() override;
    // Appends a row with the given values; returns its ID, or -1 when cancelled.
    qint64 Append(const FieldValues &values);
    // Stores the values into the current row; false when cancelled.
    bool Edit(const FieldValues &values);
};

// Appends a row to a table with typed values and returns its row id.
qint64 InsertRow(Connection &conn, const QString &table, const FieldValues &values);
// Appends many rows through one prepared statement: every row holds one value for each of
// `columns`, bound as InsertRow binds them.
void InsertRows(Connection &conn, const QString &table, const QStringList &columns,
                const QList<QVariantList> &rows);
// Stores typed values into the rows of `table` whose `keyColumn` equals `key`.
void UpdateRows(Connection &conn, const QString &table, const QString &keyColumn,
                const QVariant &key, const FieldValues &values);
// Deletes the rows of `table` whose `keyColumn` equals `key`; returns how many went.
int DeleteRows(Connection &conn, const QString &table, const QString &keyColumn,
               const QVariant &key);
