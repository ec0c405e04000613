#pragma once
// Districts: the numbered groups of doors that group cards open.
#include <QString>
#include <QStringList>
#include <QVariant>

class Connection;

// The lines of the district list: every group by number.
QStringList DistrictListLines();

bool DistrictExists(Connection &conn, int number);
void AddDistrict(Connection &conn, int number, const QString &notes);
// Deletes the group with this number; rooms and cards that carry it are left as they are.
void DeleteDistrict(Connection &conn, const QVariant &number);

enum class DistrictSave { Stored, Exists };
// Stores a new group from the typed number (a whole number; anything else throws
// ConvertError and stores nothing) and description, unless the number exists.
DistrictSave SaveDistrict(Connection &conn, const QString &numberText, const QString &notes);
