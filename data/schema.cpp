#include "schema.h"

#include "connection.h"
#include "dataset.h"
#include "errors.h"
#include "privatefile.h"
#include "rights.h"
#include "serverdb.h"
#include "transaction.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QScopeGuard>
#include <QSet>
#include <QSqlError>
#include <QSqlQuery>

namespace {

// The current local date and time in the program's one text form (SQLite's
// CURRENT_TIMESTAMP would be UTC).
const char *const kLocalNow = "(strftime('%Y-%m-%d %H:%M:%S','now','localtime'))";

void exec(QSqlDatabase &db, const QString &text)
{
    QSqlQuery q(db);
    if (!q.exec(text))
        throw DbError(q.lastError().text() + QStringLiteral("\n") + text);
}

// Text compares without regard to case (ASCII letters), as the hotel's data always did:
// a door plate typed "a101" finds room "A101", and logon names that differ only in case
// are one name. Indexes on these columns take the column's collation.
QStringList withCaseFreeText(QStringList statements)
{
    static const QRegularExpression textColumn(QStringLiteral("\\bTEXT\\b(?! COLLATE)"));
    for (QString &statement : statements)
        if (statement.startsWith(QStringLiteral("CREATE TABLE")))
            statement.replace(textColumn, QStringLiteral("TEXT COLLATE NOCASE"));
    return statements;
}

// The unique indexes of RoomInfo, by name: no two rooms share a door plate (ignoring letter
// case) or a lock code, also when two workstations store one at the same moment.
const struct
{
    const char *name, *column;
} kRoomInfoUnique[] = {{"RoomInfo_RoomStr", "RoomStr COLLATE NOCASE"}, {"RoomInfo_Room", "Room"}};

QString uniqueIndexStatement(const char *name, const char *column)
{
    return QStringLiteral("CREATE UNIQUE INDEX %1 ON RoomInfo (%2)")
        .arg(QLatin1String(name), QLatin1String(column));
}

} // namespace

QStringList RoomInfoUniqueIndexStatements()
{
    QStringList statements;
    for (const auto &index : kRoomInfoUnique)
        statements.append(uniqueIndexStatement(index.name, index.column));
    return statements;
}

void AddRoomInfoUniqueIndexes(Connection &conn)
{
    QSqlDatabase db = conn.database();
    // A file another program is writing is not waited for: the next open tries again.
    QSqlQuery(db).exec(QStringLiteral("PRAGMA busy_timeout = 0"));
    const auto restore = qScopeGuard([&db] {
        QSqlQuery(db).exec(QStringLiteral("PRAGMA busy_timeout = %1").arg(kFileBusyTimeoutMs));
    });
    for (const auto &index : kRoomInfoUnique) {
        QSqlQuery q(db);
        q.setForwardOnly(true);
        // Already unique?
        if (!q.exec(QStringLiteral("PRAGMA index_list(RoomInfo)")))
            return;
        bool unique = false;
        while (q.next())
            if (q.value(1).toString().compare(QLatin1String(index.name), Qt::CaseInsensitive) == 0)
                unique = q.value(2).toInt() == 1;
        if (unique)
            continue;
        // Rows that share a value keep the file as it is; the forms' checks still hold.
        if (!q.exec(QStringLiteral("select 1 from RoomInfo where %1 is not null group by %2 "
                                   "having count(*) > 1 limit 1")
                        .arg(QString::fromLatin1(index.column).section(' ', 0, 0),
                             QLatin1String(index.column))))
            return;
        if (q.next())
            continue;
        q.finish();
        try {
            Transaction transaction(conn);
            exec(db, QStringLiteral("DROP INDEX IF EXISTS %1").arg(QLatin1String(index.name)));
            exec(db, uniqueIndexStatement(index.name, index.column));
            transaction.Commit();
        } catch (const DbError &) {
            // A file that cannot be written now (read-only, or busy): the next open tries again.
            return;
        }
    }
}

QStringList HotelSchemaStatements()
{
    const QString now = QString::fromLatin1(kLocalNow);
    QString rights;
    for (const QString &c : OperatorRightColumns())
        rights += QStringLiteral(",\n  %1 BOOLEAN DEFAULT 0").arg(c);

    QStringList s;
    s << "CREATE TABLE RoomInfo (\n  ID INTEGER PRIMARY KEY,\n  Room INTEGER,\n  RoomStr TEXT,\n"
         "  SystemRoomStr TEXT,\n  Buiding INTEGER,\n  Floor INTEGER,\n  RoomNumber INTEGER,\n"
         "  District INTEGER,\n  RoomState INTEGER DEFAULT 0,\n  RoomTypeStr TEXT,\n"
         "  CardSn INTEGER DEFAULT 0)"
      << RoomInfoUniqueIndexStatements()
      << "CREATE INDEX RoomInfo_Address ON RoomInfo (Buiding, Floor, RoomNumber)"
      << "CREATE TABLE RoomType (\n  ID INTEGER PRIMARY KEY,\n  Title TEXT,\n  Size INTEGER,\n"
         "  Piece NUMERIC)"
      << "CREATE TABLE RoomStateType (\n  ID INTEGER PRIMARY KEY,\n  State_Title TEXT)"
      << QStringLiteral(
             "CREATE TABLE GuestInRecord (\n  ID INTEGER PRIMARY KEY,\n  GuestName TEXT,\n"
             "  GuestID TEXT,\n  Room INTEGER,\n  RoomStr TEXT,\n  Rom TEXT,\n"
             "  GuestInTime DATETIME,\n  GuestLeaveTime DATETIME,\n  LeaveTime DATETIME,\n"
             "  enOverride INTEGER DEFAULT 0,\n  InputUser TEXT,\n  MakeName TEXT,\n"
             "  InputTime DATETIME DEFAULT %1,\n  CardCounts INTEGER DEFAULT 0)")
             .arg(now)
      << "CREATE INDEX GuestInRecord_OpenByRoom ON GuestInRecord (enOverride, Room)"
      << "CREATE INDEX GuestInRecord_OpenByRom ON GuestInRecord (Rom, enOverride)"
      << "CREATE INDEX GuestInRecord_OpenByRoomStr ON GuestInRecord (RoomStr, enOverride)"
      << QStringLiteral(
             "CREATE TABLE MakeCardRecord (\n  ID INTEGER PRIMARY KEY,\n  Rom TEXT,\n"
             "  RoomStr TEXT,\n  Room INTEGER,\n  Buiding INTEGER,\n  Floor INTEGER,\n"
             "  District INTEGER,\n  enOverride INTEGER,\n  Holder TEXT,\n  Explain TEXT,\n"
             "  CardType INTEGER,\n  MakeUser TEXT,\n  MakeName TEXT,\n"
             "  StartTime DATETIME,\n  EndTime DATETIME,\n  InputTime DATETIME DEFAULT %1)")
             .arg(now)
      << "CREATE INDEX MakeCardRecord_TypeRom ON MakeCardRecord (CardType, Rom)"
      << "CREATE INDEX MakeCardRecord_InputTime ON MakeCardRecord (InputTime)"
      // The issue log of one card type, bounded by the issue days and in their order.
      << "CREATE INDEX MakeCardRecord_TypeTime ON MakeCardRecord (CardType, InputTime)"
      << "CREATE TABLE OpenDoorRecord (\n  ID INTEGER PRIMARY KEY,\n  RoomStr TEXT,\n  Rom TEXT,\n"
         "  OpenTime DATETIME,\n  CardType INTEGER,\n  CardTypeStr TEXT,\n"
         "  CardHolderStr TEXT,\n  MakeName TEXT)"
      // A room's door log in the order it is listed.
      << "CREATE INDEX OpenDoorRecord_RoomTime ON OpenDoorRecord (RoomStr, OpenTime)"
      << QStringLiteral("CREATE TABLE Operator (\n  ID INTEGER PRIMARY KEY,\n  Staffer TEXT,\n"
                        "  StafferName TEXT,\n  Pass TEXT,\n  Branch TEXT,\n  GroupID INTEGER%1)")
             .arg(rights)
      << "CREATE UNIQUE INDEX Operator_Staffer ON Operator (Staffer)"
      << "CREATE TABLE District (\n  ID INTEGER PRIMARY KEY,\n  DistrictNumber INTEGER,\n"
         "  Notes TEXT)"
      << "CREATE UNIQUE INDEX District_Number ON District (DistrictNumber)"
      << "CREATE TABLE CardType (\n  ID INTEGER PRIMARY KEY,\n  C_Title TEXT)"
      << "CREATE TABLE AllCardSn (\n  ID INTEGER PRIMARY KEY,\n  CardType INTEGER UNIQUE,\n"
         "  CardSn INTEGER DEFAULT 0)"
      << "CREATE TABLE KeyKindTable (\n  ID INTEGER PRIMARY KEY,\n  KeyID INTEGER UNIQUE,\n"
         "  KeyKind TEXT)"
      << "CREATE TABLE Groups (\n  ID INTEGER PRIMARY KEY,\n  GroupName TEXT)";

    s << "INSERT INTO RoomStateType (ID, State_Title) VALUES (0, 'Normal'), (1, 'Modified')";
    // The titles are stored in English; a form showing one translates it under "CardType".
    const char *kinds[][2] = {
        {"1", QT_TRANSLATE_NOOP("CardType", "Data-clear card")},
        {"2", QT_TRANSLATE_NOOP("CardType", "Time card")},
        {"3", QT_TRANSLATE_NOOP("CardType", "Emergency / passage setting card")},
        {"4", QT_TRANSLATE_NOOP("CardType", "Guest card")},
        {"5", QT_TRANSLATE_NOOP("CardType", "Floor card")},
        {"6", QT_TRANSLATE_NOOP("CardType", "Group card")},
        {"8", QT_TRANSLATE_NOOP("CardType", "Building card")},
        {"10", QT_TRANSLATE_NOOP("CardType", "Master card")},
        {"12", QT_TRANSLATE_NOOP("CardType", "Loss-report card")},
        {"14", QT_TRANSLATE_NOOP("CardType", "Data startup card")}};
    for (const auto &k : kinds) {
        s << QStringLiteral("INSERT INTO CardType (ID, C_Title) VALUES (%1, '%2')")
                 .arg(QLatin1String(k[0]), QLatin1String(k[1]));
        s << QStringLiteral("INSERT INTO KeyKindTable (KeyID, KeyKind) VALUES (%1, '%2')")
                 .arg(QLatin1String(k[0]), QLatin1String(k[1]));
    }
    for (int counter : {1, 2, 3, 4, 5, 6, 7, 9, 13})
        s << QStringLiteral("INSERT INTO AllCardSn (CardType, CardSn) VALUES (%1, 0)").arg(counter);

    return withCaseFreeText(s);
}

QStringList OperationLogSchemaStatements()
{
    return withCaseFreeText(
        {QStringLiteral("CREATE TABLE OperationLog (\n  ID INTEGER PRIMARY KEY,\n"
                        "  LogTime DATETIME,\n  Staffer TEXT,\n  StafferName TEXT,\n"
                        "  Workstation TEXT,\n  Action TEXT,\n  Room TEXT,\n  Detail TEXT,\n"
                        "  Hash TEXT)"),
         QStringLiteral("CREATE INDEX OperationLog_LogTime ON OperationLog (LogTime)")});
}

void UpgradeHotelDatabase(Connection &conn)
{
    QSqlDatabase db = conn.database();
    if (!conn.IsServer()) {
        AddMissingHotelIndexes(db);
        AddRoomInfoUniqueIndexes(conn);
    }
    const QStringList tables = db.tables();
    auto has = [&](const QString &table) { return tables.contains(table, Qt::CaseInsensitive); };
    QStringList missing;
    if (!has(QStringLiteral("OperationLog")))
        missing += conn.IsServer() ? ServerStatements(OperationLogSchemaStatements())
                                   : OperationLogSchemaStatements();
    if (missing.isEmpty())
        return;
    try {
        Transaction transaction(conn);
        for (const QString &statement : missing)
            exec(db, statement);
        transaction.Commit();
    } catch (const DbError &) {
        // A database that cannot be written is still read; what needs the additions
        // reports its own error when it runs.
    }
}

QList<QPair<QString, QStringList>> HotelTableColumns()
{
    QList<QPair<QString, QStringList>> tables;
    const QString create = QStringLiteral("CREATE TABLE ");
    for (const QString &statement : HotelSchemaStatements()) {
        if (!statement.startsWith(create))
            continue;
        // One column a line after the first: its name is the line's first word.
        const QStringList lines = statement.split('\n');
        QStringList columns;
        for (qsizetype i = 1; i < lines.size(); ++i)
            columns.append(lines[i].trimmed().section(' ', 0, 0));
        tables.append({lines[0].mid(create.size()).section(' ', 0, 0), columns});
    }
    return tables;
}

namespace {

// Indexes of earlier databases that a later index serves in full.
const char *const kSupersededIndexes[][2] = {{"OpenDoorRecord_RoomStr", "OpenDoorRecord_RoomTime"}};

} // namespace

void AddMissingHotelIndexes(QSqlDatabase &db)
{
    QSqlQuery q(db);
    if (!q.exec(QStringLiteral("select type, name from sqlite_master where type in "
                               "('table', 'index')")))
        return;
    QSet<QString> tables, indexes;
    while (q.next())
        (q.value(0).toString() == QLatin1String("table") ? tables : indexes)
            .insert(q.value(1).toString().toLower());
    q.finish();

    // "CREATE INDEX <name> ON <table> (...)"; unique indexes are left out, as rows already
    // stored could break them.
    static const QRegularExpression createIndex(QStringLiteral("^CREATE INDEX (\\w+) ON (\\w+) "));
    const auto run = [&](const QString &statement) {
        QSqlQuery change(db);
        return change.exec(statement);
    };
    for (const QString &statement : HotelSchemaStatements()) {
        const QRegularExpressionMatch m = createIndex.match(statement);
        if (!m.hasMatch() || indexes.contains(m.captured(1).toLower()) ||
            !tables.contains(m.captured(2).toLower()))
            continue;
        if (run(statement))
            indexes.insert(m.captured(1).toLower());
    }
    for (const auto &[old, successor] : kSupersededIndexes) {
        const QString oldName = QString::fromLatin1(old).toLower();
        if (indexes.contains(oldName) && indexes.contains(QString::fromLatin1(successor).toLower()))
            run(QStringLiteral("DROP INDEX ") + QString::fromLatin1(old));
    }
}

QStringList HotelTableNames()
{
    QStringList names;
    const QString create = QStringLiteral("CREATE TABLE ");
    for (const QString &statement : HotelSchemaStatements())
        if (statement.startsWith(create))
            names.append(statement.mid(create.size()).section(' ', 0, 0));
    return names;
}

void FillDemoHotel(Connection &conn)
{
    QSqlDatabase db = conn.database();
    exec(db, "INSERT INTO RoomType (Title, Size, Piece) VALUES ('Standard', 2, 288), "
             "('Single', 1, 198), ('Suite', 3, 588)");
    exec(db, "INSERT INTO District (DistrictNumber, Notes) VALUES (1, 'Main building'), "
             "(2, 'Garden wing')");
    // Building 1: floors 1 to 3 with eight rooms each; building 2: floors 1 and 2 with
    // eight rooms each. Door plates as guests see them: 101, 102, ... and 2101, 2102, ...
    const struct
    {
        int building, floors, rooms, district;
    } buildings[] = {{1, 3, 8, 1}, {2, 2, 8, 2}};
    const char *types[] = {"Standard", "Standard", "Single", "Standard",
                           "Single",   "Standard", "Suite",  "Standard"};
    for (const auto &b : buildings) {
        for (int floor = 1; floor <= b.floors; ++floor) {
            for (int room = 1; room <= b.rooms; ++room) {
                const QString plate =
                    b.building == 1 ? QStringLiteral("%1%2").arg(floor).arg(room, 2, 10, QChar('0'))
                                    : QStringLiteral("%1%2%3")
                                          .arg(b.building)
                                          .arg(floor)
                                          .arg(room, 2, 10, QChar('0'));
                // Lock code: building and floor as typed, room with two digits.
                const int code = QStringLiteral("%1%2%3")
                                     .arg(b.building)
                                     .arg(floor)
                                     .arg(room, 2, 10, QChar('0'))
                                     .toInt();
                const QString system = QStringLiteral("%1%2%3")
                                           .arg(b.building, 2, 10, QChar('0'))
                                           .arg(floor, 2, 10, QChar('0'))
                                           .arg(room, 2, 10, QChar('0'));
                InsertRow(conn, QStringLiteral("RoomInfo"),
                          {{"Room", code},
                           {"RoomStr", plate},
                           {"SystemRoomStr", system},
                           {"Buiding", b.building},
                           {"Floor", floor},
                           {"RoomNumber", room},
                           {"District", b.district},
                           {"RoomTypeStr", QString::fromLatin1(types[room - 1])},
                           {"CardSn", 0}});
            }
        }
    }
}

bool CreateHotelDatabase(const QString &path, bool demo, QString *error)
{
    if (QFileInfo::exists(path)) {
        if (error)
            *error = QStringLiteral("%1 already exists; it is left as it is.").arg(path);
        return false;
    }
    {
        // Create the tables through a short-lived connection, in one transaction: a
        // statement that fails leaves no half-made database behind.
        const QString name = QStringLiteral("quenmar-initdb");
        bool created = false;
        {
            QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), name);
            const auto cleanup = qScopeGuard([&] {
                db.close();
                db = QSqlDatabase();
                QSqlDatabase::removeDatabase(name);
                if (!created)
                    QFile::remove(path);
            });
            // The hotel's data and passwords: for the owner's eyes only.
            QString why;
            if (!CreatePrivateFile(path, &why))
                throw DbError(
                    QCoreApplication::translate("Database", "Could not create the file '%1': %2")
                        .arg(path, why));
            db.setDatabaseName(path);
            if (!db.open())
                throw DbError(db.lastError().text());
            exec(db, QStringLiteral("BEGIN"));
            for (const QString &statement :
                 HotelSchemaStatements() + OperationLogSchemaStatements())
                exec(db, statement);
            exec(db, QStringLiteral("COMMIT"));
            created = true;
        }
    }
    if (demo) {
        Connection conn;
        conn.ConnectionString = QStringLiteral("Provider=Microsoft.Jet.OLEDB.4.0");
        conn.DatabaseFile = path;
        conn.Open();
        Transaction transaction(conn);
        FillDemoHotel(conn);
        transaction.Commit();
    }
    return true;
}
