#pragma once
// The delivered hotel database: every table and column the program uses, with the
// reference rows it relies on.
#include <QList>
#include <QPair>
#include <QSqlDatabase>
#include <QString>
#include <QStringList>

class Connection;

// The statements that create an empty delivered database.
QStringList HotelSchemaStatements();
// Every table of the delivered database with its columns, in the order they are created.
QList<QPair<QString, QStringList>> HotelTableColumns();
// The tables of the delivered database, in the order they are created.
QStringList HotelTableNames();

// The operation log: who did what at the workstations, a row per change (created with a new
// database, and added to an older one when it is opened).
QStringList OperationLogSchemaStatements();

// Adds what this program uses and an older hotel database lacks (tables, indexes) to the open
// database, each addition in one transaction. A database that cannot be written is left as
// it is; the next open tries again.
void UpgradeHotelDatabase(Connection &conn);
// The statements that create the unique indexes of RoomInfo (door plate ignoring letter
// case, lock code).
QStringList RoomInfoUniqueIndexStatements();
// Adds those indexes to an open database file that lacks them, where its rows allow it (no
// two rooms share a door plate or lock code); anything else leaves the file as it is.
void AddRoomInfoUniqueIndexes(Connection &conn);
// Part of UpgradeHotelDatabase, which only the program's own working database gets: a file
// that is only read (a log under investigation, rows copied to the server) is never changed.
// Gives an open database file made by an earlier version the indexes of the delivered
// database that it lacks (on tables it has), and drops the indexes they replace. The issue
// log and the door log depend on them for their speed, not for their results: a file that
// cannot be changed (read-only, or held by another program) is left as it is.
void AddMissingHotelIndexes(QSqlDatabase &db);

// Creates the delivered database in a new file; with demo, adds a small demo hotel.
// Throws DbError; refuses (returns false with *error) when the file exists.
bool CreateHotelDatabase(const QString &path, bool demo, QString *error);

// Adds the demo hotel (room types, districts, two buildings of rooms) to an open database.
void FillDemoHotel(Connection &conn);
