#pragma once
// Ending stays.
#include <QString>
#include <QVariant>

// The open stays, as the check-out list shows them: each one's ID and RoomStr.
class Query;
void FindOpenStays(Query &query);

// Ends one stay that is still open: enOverride 1, LeaveTime now. False when the stay had
// already ended (it is left as it was).
bool EndStay(const QVariant &stayId);

// Ends the first open stay of the room with this door plate; false when it has none.
bool EndFirstOpenStayOfRoom(const QString &room);
