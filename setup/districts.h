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

// The numbers a group may have: what a group card's word carries and the card reading form
// shows.
constexpr int kFirstDistrictNumber = 1;
constexpr int kLastDistrictNumber = 99;
// Why a typed group number is refused.
QString DistrictNumberRefusalText();

enum class DistrictSave { Stored, Exists, NotANumber };
// Stores a new group from the typed number (a whole number from 1 to 99, surrounding blanks
// ignored; anything else stores nothing) and description, unless the number exists.
DistrictSave SaveDistrict(Connection &conn, const QString &numberText, const QString &notes);
