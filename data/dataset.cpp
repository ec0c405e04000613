#include "dataset.h"

#include "connection.h"
#include "errors.h"
#include "numbers.h"
#include "schema.h"
#include "sqltext.h"

#include <QCoreApplication>
#include <QRegularExpression>
#include <QSqlDriver>
#include <QSqlError>
#include <QSqlField>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QVarLengthArray>

#include <sqlite3.h>

#include <cstring>

namespace {

// A value as the database takes it: date-times in the one text form; yes/no as 1 or 0 in a
// database file, as a boolean in a boolean column of the server (which takes no number
// there).
QVariant bindable(const QVariant &v, bool serverBoolean = false)
{
    if (v.typeId() == QMetaType::QDateTime)
        return v.toDateTime().isValid() ? QVariant(DateTimeText(v.toDateTime()))
                                        : QVariant(QMetaType(QMetaType::QString));
    if (serverBoolean)
        return v.isNull() ? QVariant(QMetaType(QMetaType::Bool)) : QVariant(v.toBool());
    if (v.typeId() == QMetaType::Bool)
        return QVariant(v.toBool() ? 1 : 0);
    return v;
}

// The boolean columns among `values` when `table` lives on the server.
QList<bool> booleanColumns(Connection &conn, const QString &table, const FieldValues &values)
{
    QList<bool> flags(values.size(), false);
    if (!conn.IsServer())
        return flags;
    const QSqlRecord columns = conn.database().record(table.toLower());
    for (int i = 0; i < values.size(); ++i) {
        const int c = columns.indexOf(values[i].first.toLower());
        flags[i] = c >= 0 && columns.field(c).metaType().id() == QMetaType::Bool;
    }
    return flags;
}

void execBound(QSqlQuery &q, const QString &text, const FieldValues &values,
               const QList<bool> &booleans, const QVariant *key = nullptr)
{
    if (!q.prepare(text))
        throw DbError(q.lastError().text());
    for (int i = 0; i < values.size(); ++i)
        q.addBindValue(bindable(values[i].second, booleans.value(i)));
    if (key)
        q.addBindValue(bindable(*key));
    if (!q.exec())
        throw DbError(q.lastError().text());
}

// The server gives column names in lower case; the program reads them as written in the
// hotel's schema or, for a name the statement makes up (an alias), as the statement writes
// it.
QString writtenName(const QString &name, const QString &statement)
{
    static const QHash<QString, QString> schemaNames = [] {
        QHash<QString, QString> names;
        static const QRegularExpression word(QStringLiteral("[A-Za-z_][A-Za-z0-9_]*"));
        for (const QString &s : HotelSchemaStatements())
            for (const auto &m : word.globalMatch(s))
                if (!names.contains(m.captured().toLower()))
                    names.insert(m.captured().toLower(), m.captured());
        return names;
    }();
    const QString lower = name.toLower();
    const auto known = schemaNames.constFind(lower);
    if (known != schemaNames.constEnd())
        return known.value();
    const QRegularExpression inStatement(
        QStringLiteral("\\b%1\\b").arg(QRegularExpression::escape(name)),
        QRegularExpression::CaseInsensitiveOption);
    const QRegularExpressionMatch m = inStatement.match(statement);
    return m.hasMatch() ? m.captured() : name;
}

} // namespace

// A running statement: its column names as the driver gives them, and its rows one by one.
class Query::Cursor
{
public:
    virtual ~Cursor() = default;
    virtual QStringList names() const = 0;
    // Reads the next row into `row` (one value per name); false after the last row; throws
    // DbError.
    virtual bool next(QueryRow &row) = 0;
};

namespace {

// Through Qt SQL, on the server.
class QtCursor : public Query::Cursor
{
public:
    QtCursor(const QSqlDatabase &db, const QString &text) : m_query(db)
    {
        m_query.setForwardOnly(true);
        if (!m_query.exec(text))
            throw DbError(m_query.lastError().text());
        m_columns = m_query.record().count();
    }
    ~QtCursor() override { m_query.finish(); }
    QStringList names() const override
    {
        QStringList names;
        const QSqlRecord record = m_query.record();
        for (int i = 0; i < record.count(); ++i)
            names.append(record.fieldName(i));
        return names;
    }
    bool next(QueryRow &row) override
    {
        if (!m_query.next()) {
            if (m_query.lastError().isValid())
                throw DbError(m_query.lastError().text());
            return false;
        }
        QVector<QVariant> values(m_columns);
        for (int i = 0; i < values.size(); ++i) {
            QVariant v = m_query.value(i);
            // Date-times read back in the one text form, as from a database file.
            if (v.typeId() == QMetaType::QDateTime)
                v = v.isNull() ? QVariant(QMetaType(QMetaType::QString))
                               : QVariant(DateTimeText(v.toDateTime()));
            values[i] = std::move(v);
        }
        row = QueryRow(std::move(values));
        return true;
    }

private:
    QSqlQuery m_query;
    int m_columns = 0;
};

// SQLite's error on the connection, worded as the Qt driver words it: the message, then what
// failed.
QString sqliteError(sqlite3 *db, const char *what)
{
    return QString::fromUtf8(sqlite3_errmsg(db)) + QLatin1Char(' ') + QString::fromLatin1(what);
}

// In place through SQLite, on a database file: each value converted once, from the form
// SQLite holds, into what the Qt driver gives (integers as 64-bit, a null as a null text),
// and the errors worded as the driver words them.
class SqliteCursor : public Query::Cursor
{
public:
    SqliteCursor(sqlite3 *db, const QString &text) : m_db(db)
    {
        const QByteArray sql = text.toUtf8();
        const char *tail = nullptr;
        if (sqlite3_prepare_v2(db, sql.constData(), int(sql.size()), &m_statement, &tail) !=
            SQLITE_OK)
            throw DbError(sqliteError(db, "Unable to execute statement"));
        if (!m_statement)
            throw DbError(QStringLiteral("Unable to execute statement"));
        if (tail && !QByteArray(tail).trimmed().isEmpty())
            throw DbError(QStringLiteral("Unable to execute multiple statements at a time"));
    }
    ~SqliteCursor() override { sqlite3_finalize(m_statement); }
    QStringList names() const override
    {
        QStringList names;
        for (int i = 0; i < sqlite3_column_count(m_statement); ++i) {
            QString name = QString::fromUtf8(sqlite3_column_name(m_statement, i));
            name.remove(QLatin1Char('"'));
            names.append(name.mid(name.lastIndexOf(QLatin1Char('.')) + 1));
        }
        return names;
    }
    bool next(QueryRow &row) override
    {
        const int step = sqlite3_step(m_statement);
        if (step == SQLITE_DONE)
            return false;
        if (step != SQLITE_ROW)
            throw DbError(sqliteError(m_db, "Unable to fetch row"));
        row = QueryRow::FromStatement(m_statement);
        return true;
    }

private:
    sqlite3 *m_db;
    sqlite3_stmt *m_statement = nullptr;
};

// The block of a row read in place: offsets (quint32, one more than the columns), type bytes,
// values.
namespace packed {
constexpr qsizetype offsetsAt = 0;
qsizetype typesAt(int columns)
{
    return qsizetype(columns + 1) * qsizetype(sizeof(quint32));
}
qsizetype valuesAt(int columns)
{
    return typesAt(columns) + columns;
}
quint32 offset(const char *block, int i)
{
    quint32 o;
    std::memcpy(&o, block + offsetsAt + qsizetype(i) * qsizetype(sizeof(quint32)), sizeof o);
    return o;
}
void setOffset(char *block, int i, quint32 o)
{
    std::memcpy(block + offsetsAt + qsizetype(i) * qsizetype(sizeof(quint32)), &o, sizeof o);
}
// The first value begins after the offsets and the type bytes: 5 bytes a column and 4.
int columns(const char *block)
{
    return int((offset(block, 0) - sizeof(quint32)) / (sizeof(quint32) + 1));
}
} // namespace packed

} // namespace

QueryRow QueryRow::FromStatement(sqlite3_stmt *statement)
{
    const int columns = sqlite3_column_count(statement);
    // The sizes first (a text's pointer is read before its length, as SQLite asks), then one
    // block holding them all.
    QVarLengthArray<const void *, 32> data(columns);
    QVarLengthArray<int, 32> sizes(columns);
    QVarLengthArray<char, 32> types(columns);
    qsizetype total = packed::valuesAt(columns);
    for (int i = 0; i < columns; ++i) {
        types[i] = char(sqlite3_column_type(statement, i));
        switch (types[i]) {
        case SQLITE_INTEGER:
        case SQLITE_FLOAT:
            sizes[i] = 8;
            data[i] = nullptr;
            break;
        case SQLITE_NULL:
            sizes[i] = 0;
            data[i] = nullptr;
            break;
        case SQLITE_BLOB:
            data[i] = sqlite3_column_blob(statement, i);
            sizes[i] = sqlite3_column_bytes(statement, i);
            break;
        default:
            data[i] = sqlite3_column_text(statement, i);
            sizes[i] = sqlite3_column_bytes(statement, i);
        }
        total += sizes[i];
    }
    QueryRow row;
    row.m_packed = QByteArray(total, Qt::Uninitialized);
    char *block = row.m_packed.data();
    std::memcpy(block + packed::typesAt(columns), types.constData(), size_t(columns));
    quint32 at = quint32(packed::valuesAt(columns));
    for (int i = 0; i < columns; ++i) {
        packed::setOffset(block, i, at);
        if (types[i] == SQLITE_INTEGER) {
            const qint64 v = sqlite3_column_int64(statement, i);
            std::memcpy(block + at, &v, sizeof v);
        } else if (types[i] == SQLITE_FLOAT) {
            const double v = sqlite3_column_double(statement, i);
            std::memcpy(block + at, &v, sizeof v);
        } else if (sizes[i] > 0) {
            std::memcpy(block + at, data[i], size_t(sizes[i]));
        }
        at += quint32(sizes[i]);
    }
    packed::setOffset(block, columns, at);
    return row;
}

int QueryRow::size() const
{
    if (m_packed.isEmpty())
        return int(m_values.size());
    return packed::columns(m_packed.constData());
}

QVariant QueryRow::value(int column) const
{
    if (m_packed.isEmpty())
        return m_values.value(column);
    const int columns = size();
    if (column < 0 || column >= columns)
        return QVariant();
    const char *block = m_packed.constData();
    const quint32 at = packed::offset(block, column);
    const int bytes = int(packed::offset(block, column + 1) - at);
    switch (block[packed::typesAt(columns) + column]) {
    case SQLITE_INTEGER: {
        qint64 v;
        std::memcpy(&v, block + at, sizeof v);
        return QVariant(qlonglong(v));
    }
    case SQLITE_FLOAT: {
        double v;
        std::memcpy(&v, block + at, sizeof v);
        return QVariant(v);
    }
    case SQLITE_NULL:
        return QVariant(QMetaType::fromType<QString>());
    case SQLITE_BLOB:
        return QByteArray(block + at, bytes);
    default:
        return QString::fromUtf8(block + at, bytes);
    }
}

Query::Query(Connection &conn) : m_conn(conn) {}

Query::~Query() = default;

void Query::Clear()
{
    Close();
    SQL.clear();
}

void Query::Close()
{
    m_active = false;
    m_rows.clear();
    m_names.clear();
    m_index.clear();
    m_pos = 0;
}

std::unique_ptr<Query::Cursor> Query::openCursor(const QString &text)
{
    if (sqlite3 *db = m_conn.fileHandle())
        return std::make_unique<SqliteCursor>(db, text);
    return std::make_unique<QtCursor>(m_conn.database(), text);
}

void Query::readNames(const Cursor &cursor, const QString &statement)
{
    const bool server = m_conn.IsServer();
    const QStringList names = cursor.names();
    for (int i = 0; i < names.size(); ++i) {
        m_names.append(server ? writtenName(names[i], statement) : names[i]);
        const QString key = names[i].toLower();
        if (!m_index.contains(key)) // the first of equal names wins
            m_index.insert(key, i);
    }
}

bool Query::readRows(Cursor &cursor, int limit, int *read)
{
    int count = 0;
    bool more = true;
    while (limit < 0 || count < limit) {
        QueryRow row;
        if (!cursor.next(row)) {
            more = false;
            break;
        }
        m_rows.append(std::move(row));
        ++count;
    }
    if (read)
        *read = count;
    return more;
}

void Query::runSelect(const QString &text)
{
    Close();
    const std::unique_ptr<Cursor> cursor = openCursor(text);
    readNames(*cursor, text);
    readRows(*cursor, -1);
    m_active = true;
    m_pos = 0;
}

void Query::Open()
{
    runSelect(Text());
}

int Query::ExecSQL()
{
    Close();
    QSqlQuery q(m_conn.database());
    if (!q.exec(Text()))
        throw DbError(q.lastError().text());
    return q.numRowsAffected();
}

bool Query::HasField(const QString &name) const
{
    return m_index.contains(name.toLower());
}

int Query::columnIndex(const QString &name) const
{
    const auto it = m_index.constFind(name.toLower());
    if (it == m_index.constEnd())
        throw DbError(QStringLiteral("Field '%1' not found").arg(name));
    return it.value();
}

QVariant Query::Field(int column) const
{
    if (Eof() || m_pos < 0)
        throw DbError(QStringLiteral("Either BOF or EOF is True, or the current record has been "
                                     "deleted."));
    return m_rows[m_pos].value(column);
}

QVariant Query::FieldByName(const QString &name) const
{
    return Field(columnIndex(name));
}

QString Query::AsString(const QString &name) const
{
    return FieldByName(name).toString();
}

int Query::AsInteger(const QString &name) const
{
    const QVariant v = FieldByName(name);
    if (v.isNull())
        return 0;
    bool ok = false;
    const int i = v.toInt(&ok);
    if (!ok)
        return StrToInt(v.toString());
    return i;
}

bool Query::AsBoolean(const QString &name) const
{
    const QVariant v = FieldByName(name);
    if (v.typeId() == QMetaType::QString) {
        const QString t = v.toString().trimmed();
        return t.compare(QStringLiteral("true"), Qt::CaseInsensitive) == 0 || (t.toInt() != 0);
    }
    return v.toInt() != 0;
}

QDateTime Query::AsDateTime(const QString &name) const
{
    const QVariant v = FieldByName(name);
    if (v.isNull())
        return QDateTime();
    if (v.typeId() == QMetaType::QDateTime)
        return v.toDateTime();
    const QDateTime dt = ParseDateTimeText(v.toString());
    if (!dt.isValid())
        throw ConvertError(
            QCoreApplication::translate("Database", "'%1' is not a valid date and time")
                .arg(v.toString()));
    return dt;
}

LazyQuery::LazyQuery(Connection &conn, int batchSize)
    : Query(conn), m_batch(batchSize > 0 ? batchSize : 1)
{
}

LazyQuery::~LazyQuery() = default;

void LazyQuery::Open()
{
    Close();
    const QString text = Text();
    std::unique_ptr<Cursor> cursor = openCursor(text);
    readNames(*cursor, text);
    m_active = true;
    m_pos = 0;
    m_cursor = std::move(cursor);
    FetchMore(m_batch);
}

void LazyQuery::Close()
{
    m_cursor.reset();
    Query::Close();
}

int LazyQuery::FetchMore(int count)
{
    if (!m_cursor)
        return 0;
    int read = 0;
    bool more = false;
    try {
        more = readRows(*m_cursor, count, &read);
    } catch (...) {
        m_cursor.reset();
        throw;
    }
    if (!more)
        m_cursor.reset();
    return read;
}

Table::Table(Connection &conn, const QString &tableName) : Query(conn), TableName(tableName) {}

void Table::Open()
{
    QString text = QStringLiteral("select * from ") + TableName;
    if (Filtered && !Filter.trimmed().isEmpty())
        text += QStringLiteral(" where ") + Filter;
    runSelect(text);
}

qint64 Table::Append(const FieldValues &values)
{
    if (BeforePost && !BeforePost(values))
        return -1;
    const qint64 id = InsertRow(m_conn, TableName, values);
    if (m_active)
        Open(); // the new row becomes visible like in a live dataset
    return id;
}

bool Table::Edit(const FieldValues &values)
{
    if (BeforePost && !BeforePost(values))
        return false;
    const QVariant id = FieldByName(QStringLiteral("ID"));
    const int pos = m_pos;
    UpdateRows(m_conn, TableName, QStringLiteral("ID"), id, values);
    Open();
    m_pos = pos;
    return true;
}

qint64 InsertRow(Connection &conn, const QString &table, const FieldValues &values)
{
    QStringList names, marks;
    for (const auto &field : values) {
        names.append(field.first);
        marks.append(QStringLiteral("?"));
    }
    QSqlQuery q(conn.database());
    QString text = values.isEmpty() ? QStringLiteral("insert into %1 default values").arg(table)
                                    : QStringLiteral("insert into %1 (%2) values (%3)")
                                          .arg(table, names.join(','), marks.join(','));
    if (conn.IsServer()) {
        // Every hotel table is keyed by ID; the server tells it with the row.
        text += QStringLiteral(" returning ID");
        execBound(q, text, values, booleanColumns(conn, table, values));
        return q.next() ? q.value(0).toLongLong() : -1;
    }
    execBound(q, text, values, {});
    return q.lastInsertId().toLongLong();
}

namespace {

// Binds a value as the Qt driver binds it: integers and yes/no as 64-bit integers, numbers
// with a fraction as doubles, bytes as a blob, a null as null, everything else as its text.
int bindInPlace(sqlite3_stmt *statement, int at, const QVariant &value)
{
    const QVariant v = bindable(value);
    if (v.isNull())
        return sqlite3_bind_null(statement, at);
    switch (v.typeId()) {
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::LongLong:
    case QMetaType::ULongLong:
    case QMetaType::Short:
    case QMetaType::UShort:
    case QMetaType::Char:
    case QMetaType::SChar:
    case QMetaType::UChar:
        return sqlite3_bind_int64(statement, at, v.toLongLong());
    case QMetaType::Double:
    case QMetaType::Float:
        return sqlite3_bind_double(statement, at, v.toDouble());
    case QMetaType::QByteArray: {
        const QByteArray bytes = v.toByteArray();
        return sqlite3_bind_blob(statement, at, bytes.constData(), int(bytes.size()),
                                 SQLITE_TRANSIENT);
    }
    default: {
        const QByteArray text = v.toString().toUtf8();
        return sqlite3_bind_text(statement, at, text.constData(), int(text.size()),
                                 SQLITE_TRANSIENT);
    }
    }
}

QString rowSizeError(const QString &table, qsizetype values, qsizetype columns)
{
    return QStringLiteral("A row for %1 has %2 values for %3 columns")
        .arg(table)
        .arg(values)
        .arg(columns);
}

} // namespace

void InsertRows(Connection &conn, const QString &table, const QStringList &columns,
                const QList<QVariantList> &rows)
{
    if (rows.isEmpty())
        return;
    QStringList marks;
    for (qsizetype i = 0; i < columns.size(); ++i)
        marks.append(QStringLiteral("?"));
    const QString text = QStringLiteral("insert into %1 (%2) values (%3)")
                             .arg(table, columns.join(','), marks.join(','));
    for (const QVariantList &row : rows)
        if (row.size() != columns.size())
            throw DbError(rowSizeError(table, row.size(), columns.size()));

    // On a database file the rows are bound in place, through SQLite, without the driver's
    // copies of every value; the errors worded as the driver words them.
    if (sqlite3 *db = conn.fileHandle()) {
        const QByteArray sql = text.toUtf8();
        sqlite3_stmt *statement = nullptr;
        if (sqlite3_prepare_v2(db, sql.constData(), int(sql.size()), &statement, nullptr) !=
            SQLITE_OK)
            throw DbError(sqliteError(db, "Unable to execute statement"));
        const std::unique_ptr<sqlite3_stmt, int (*)(sqlite3_stmt *)> finalize(statement,
                                                                              sqlite3_finalize);
        for (const QVariantList &row : rows) {
            sqlite3_reset(statement);
            for (int i = 0; i < row.size(); ++i)
                if (bindInPlace(statement, i + 1, row[i]) != SQLITE_OK)
                    throw DbError(sqliteError(db, "Unable to bind parameters"));
            if (sqlite3_step(statement) != SQLITE_DONE)
                throw DbError(sqliteError(db, "Unable to fetch row"));
        }
        return;
    }

    QSqlQuery q(conn.database());
    if (!q.prepare(text))
        throw DbError(q.lastError().text());
    for (const QVariantList &row : rows) {
        for (int i = 0; i < row.size(); ++i)
            q.bindValue(i, bindable(row[i]));
        if (!q.exec())
            throw DbError(q.lastError().text());
    }
}

void UpdateRows(Connection &conn, const QString &table, const QString &keyColumn,
                const QVariant &key, const FieldValues &values)
{
    if (values.isEmpty())
        return;
    QStringList sets;
    for (const auto &field : values)
        sets.append(field.first + QStringLiteral("=?"));
    QSqlQuery q(conn.database());
    execBound(q,
              QStringLiteral("update %1 set %2 where %3=?").arg(table, sets.join(','), keyColumn),
              values, booleanColumns(conn, table, values), &key);
}

int DeleteRows(Connection &conn, const QString &table, const QString &keyColumn,
               const QVariant &key)
{
    QSqlQuery q(conn.database());
    execBound(q, QStringLiteral("delete from %1 where %2=?").arg(table, keyColumn), {}, {}, &key);
    return q.numRowsAffected();
}
