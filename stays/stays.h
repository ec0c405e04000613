#pragma once
// Ending stays.
#include <QString>
#include <QVariant>

// The open stays, as the check-out list shows them.
class Query;
void FindOpenStays(Query &query);

// Ends one stay: enOverride 1, LeaveTime now.
void EndStay(const QVariant &stayId);

// Ends the first open stay of the room with this door plate; false when it has none.
bool EndFirstOpenStayOfRoom(const QString &room);
