#pragma once
// The delivered hotel database: every table and column the program uses, with the
// reference rows it relies on.
#include <QString>
#include <QStringList>

class Connection;

// The statements that create an empty delivered database.
QStringList HotelSchemaStatements();
// The tables of the delivered database, in the order they are created.
QStringList HotelTableNames();

// The operation log: who did what at the workstations, a row per change (created with a new
// database, and added to an older one when it is opened).
QStringList OperationLogSchemaStatements();

// Adds what this program uses and an older hotel database lacks (tables, indexes) to the open
// database, in one transaction. A database that cannot be written is left as it is.
void UpgradeHotelDatabase(Connection &conn);

// Creates the delivered database in a new file; with demo, adds a small demo hotel.
// Throws DbError; refuses (returns false with *error) when the file exists.
bool CreateHotelDatabase(const QString &path, bool demo, QString *error);

// Adds the demo hotel (room types, districts, two buildings of rooms) to an open database.
void FillDemoHotel(Connection &conn);
