#include "rooms.h"

#include "cards/bookkeeping.h"
#include "data/connection.h"
#include "data/errors.h"
#include "data/numbers.h"
#include "data/transaction.h"
#include "oplog/operationlog.h"

#include <QSqlError>
#include <QSqlQuery>

#include <algorithm>
#include <functional>

namespace {

const QString kRoomInfo = QStringLiteral("RoomInfo");

QString TwoDigits(int n)
{
    return QStringLiteral("%1").arg(n, 2, 10, QLatin1Char('0'));
}

QSqlQuery Run(Connection &conn, const QString &text, const QVariantList &values)
{
    QSqlQuery q(conn.database());
    q.setForwardOnly(true);
    if (!q.prepare(text))
        throw DbError(q.lastError().text());
    for (const QVariant &v : values)
        q.addBindValue(v);
    if (!q.exec())
        throw DbError(q.lastError().text());
    return q;
}

// The door plate of the room with this ID; empty when there is no such room.
QString DoorPlateOf(Connection &conn, qint64 id)
{
    QSqlQuery q = Run(conn, QStringLiteral("select RoomStr from RoomInfo where ID=?"), {id});
    return q.next() ? q.value(0).toString() : QString();
}

} // namespace

AddressNumberCheck CheckAddressNumber(const QString &text)
{
    // A whole number, a sign included, that is 0 or less is a number the operator can mend
    // by typing a positive one; anything else is no number of a box of two characters.
    if (text.isEmpty() || text.size() > 2)
        return AddressNumberCheck::NotInteger;
    const auto value = ParseWholeNumber(text, -9, 99);
    if (!value)
        return AddressNumberCheck::NotInteger;
    return *value <= 0 ? AddressNumberCheck::NotPositive : AddressNumberCheck::Ok;
}

NewRoom MakeNewRoom(const QString &buildingText, const QString &floorText, int number)
{
    NewRoom r;
    r.building = ParseWholeNumber(buildingText, 1, 99).value_or(0);
    r.floor = ParseWholeNumber(floorText, 1, 99).value_or(0);
    r.number = number;
    r.systemRoomStr = TwoDigits(r.building) + TwoDigits(r.floor) + TwoDigits(number);
    // At most six digits: the boxes hold two digits each.
    r.room = (buildingText + floorText + TwoDigits(number)).toInt();
    return r;
}

QList<int> FreeRoomNumbers(Connection &conn, int building, int floor)
{
    QSqlQuery q =
        Run(conn, QStringLiteral("select RoomNumber from RoomInfo where Buiding=? and Floor=?"),
            {building, floor});
    bool taken[100] = {};
    while (q.next()) {
        bool ok = false;
        const int n = q.value(0).toInt(&ok);
        if (ok && n >= 1 && n <= 99)
            taken[n] = true;
    }
    QList<int> free;
    for (int n = 1; n <= 99; ++n)
        if (!taken[n])
            free.append(n);
    return free;
}

QString DoorPlateOwner(Connection &conn, const QString &doorPlate, qint64 exceptId)
{
    // Compared here rather than in SQL: the database folds the letter case of ASCII only.
    const QString wanted = doorPlate.trimmed();
    QSqlQuery q = Run(conn, QStringLiteral("select ID, RoomStr from RoomInfo"), {});
    while (q.next()) {
        if (q.value(0).toLongLong() == exceptId)
            continue;
        const QString plate = q.value(1).toString();
        if (plate.trimmed().compare(wanted, Qt::CaseInsensitive) == 0)
            return plate;
    }
    return QString();
}

std::optional<QString> LockCodeOwner(Connection &conn, int room, qint64 exceptId)
{
    QSqlQuery q = Run(conn, QStringLiteral("select RoomStr from RoomInfo where Room=? and ID<>?"),
                      {room, exceptId});
    if (q.next())
        return q.value(0).toString();
    return std::nullopt;
}

bool RoomHasOpenStay(Connection &conn, const QString &doorPlate)
{
    QSqlQuery q = Run(
        conn, QStringLiteral("select count(*) from GuestInRecord where enOverride=0 and RoomStr=?"),
        {doorPlate});
    return q.next() && q.value(0).toInt() > 0;
}

long long HighestGuestCardSerial(Connection &conn, const QString &systemRoomStr)
{
    QSqlQuery q =
        Run(conn, QStringLiteral("select Rom from MakeCardRecord where CardType=4 and Rom like ?"),
            {systemRoomStr + QLatin1Char('%')});
    long long highest = 0;
    while (q.next())
        highest =
            std::max(highest, GuestSerialOfRom(q.value(0).toString(), systemRoomStr).value_or(0));
    return highest;
}

namespace {

// The room (not `exceptId`) that already has this door plate or, when `room` is given, this
// lock code.
RoomStore TakenBy(Connection &conn, const QString &plate, std::optional<int> room, qint64 exceptId)
{
    RoomStore taken;
    taken.otherDoorPlate = DoorPlateOwner(conn, plate, exceptId);
    if (!taken.otherDoorPlate.isEmpty()) {
        taken.refusal = RoomRefusal::DoorPlateTaken;
        return taken;
    }
    if (room) {
        if (const auto owner = LockCodeOwner(conn, *room, exceptId)) {
            taken.refusal = RoomRefusal::LockCodeTaken;
            taken.otherDoorPlate = *owner;
        }
    }
    return taken;
}

// Runs `store` in a transaction after the checks. Another workstation may store the same
// door plate or lock code between the checks and the store: the database's unique indexes
// then refuse the store, and the refusal is told as the checks tell it.
RoomStore CheckedStore(Connection &conn, const QString &plate, std::optional<int> room,
                       qint64 exceptId, const std::function<qint64()> &store)
{
    try {
        Transaction t(conn);
        RoomStore result = TakenBy(conn, plate, room, exceptId);
        if (result.refusal != RoomRefusal::None)
            return result;
        result.id = store();
        t.Commit();
        return result;
    } catch (const DbError &) {
        // Rolled back by now; what the other workstation stored is there to be read.
        const RoomStore taken = TakenBy(conn, plate, room, exceptId);
        if (taken.refusal != RoomRefusal::None)
            return taken;
        throw;
    }
}

} // namespace

RoomStore AddRoom(Connection &conn, const NewRoom &room, const QString &doorPlate,
                  const QString &roomType)
{
    const QString plate = doorPlate.trimmed();
    if (plate.isEmpty()) {
        RoomStore result;
        result.refusal = RoomRefusal::NoDoorPlate;
        return result;
    }
    FieldValues values{{QStringLiteral("SystemRoomStr"), room.systemRoomStr},
                       {QStringLiteral("Buiding"), room.building},
                       {QStringLiteral("Floor"), room.floor},
                       {QStringLiteral("RoomNumber"), room.number},
                       {QStringLiteral("Room"), room.room},
                       {QStringLiteral("RoomStr"), plate}};
    if (const long long serial = HighestGuestCardSerial(conn, room.systemRoomStr))
        values.append({QStringLiteral("CardSn"), serial});
    if (!roomType.isEmpty())
        values.append({QStringLiteral("RoomTypeStr"), roomType});
    return CheckedStore(conn, plate, room.room, -1, [&] {
        const qint64 id = InsertRow(conn, kRoomInfo, values);
        LogOperation(conn, LogAction::Room, plate,
                     QStringLiteral("added: lock code %1, building %2, floor %3, room %4%5")
                         .arg(room.room)
                         .arg(room.building)
                         .arg(room.floor)
                         .arg(room.number)
                         .arg(roomType.isEmpty() ? QString() : QStringLiteral(", ") + roomType));
        return id;
    });
}

RoomStore UpdateRoom(Connection &conn, qint64 id, const FieldValues &changes)
{
    RoomStore result;
    result.id = id;
    FieldValues values;
    QString plate;
    for (const auto &change : changes) {
        if (change.first.compare(QStringLiteral("RoomStr"), Qt::CaseInsensitive) == 0) {
            plate = change.second.toString().trimmed();
            if (plate.isEmpty()) {
                result.refusal = RoomRefusal::NoDoorPlate;
                return result;
            }
            values.append({QStringLiteral("RoomStr"), plate});
        } else if (change.first.compare(QStringLiteral("RoomTypeStr"), Qt::CaseInsensitive) == 0) {
            values.append({QStringLiteral("RoomTypeStr"), change.second.toString()});
        }
    }
    const QString current = DoorPlateOf(conn, id);
    // Each changed column with its value before and after, e.g. "RoomTypeStr=Single -> Double".
    QStringList changed;
    for (const auto &[column, value] : values) {
        QSqlQuery before =
            Run(conn, QStringLiteral("select %1 from RoomInfo where ID=?").arg(column), {id});
        changed.append(QStringLiteral("%1=%2 -> %3")
                           .arg(column, before.next() ? before.value(0).toString() : QString(),
                                value.toString()));
    }
    const auto logged = [&] {
        LogOperation(conn, LogAction::Room, current,
                     QStringLiteral("changed: ") + changed.join(QStringLiteral(", ")));
    };
    if (plate.isEmpty()) {
        // No door plate changes: nothing a unique index could refuse, no stay it could lose.
        Transaction t(conn);
        UpdateRows(conn, kRoomInfo, QStringLiteral("ID"), id, values);
        logged();
        t.Commit();
        return result;
    }
    // A room with a guest keeps its door plate, which the guest's stay names.
    if (plate != current && RoomHasOpenStay(conn, current)) {
        result.refusal = RoomRefusal::HasGuest;
        result.otherDoorPlate = current;
        return result;
    }
    return CheckedStore(conn, plate, std::nullopt, id, [&] {
        UpdateRows(conn, kRoomInfo, QStringLiteral("ID"), id, values);
        logged();
        return id;
    });
}

RoomStore DeleteRoom(Connection &conn, qint64 id)
{
    RoomStore result;
    result.id = id;
    Transaction t(conn);
    const QString plate = DoorPlateOf(conn, id);
    if (RoomHasOpenStay(conn, plate)) {
        result.refusal = RoomRefusal::HasGuest;
        result.otherDoorPlate = plate;
        return result;
    }
    if (DeleteRows(conn, kRoomInfo, QStringLiteral("ID"), id) > 0)
        LogOperation(conn, LogAction::Room, plate, QStringLiteral("deleted"));
    t.Commit();
    return result;
}
