#include "rooms.h"

#include "cards/bookkeeping.h"
#include "data/connection.h"
#include "data/errors.h"
#include "data/numbers.h"
#include "data/transaction.h"

#include <QSqlError>
#include <QSqlQuery>

#include <algorithm>

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
    if (text.isEmpty() || text.size() > 2)
        return AddressNumberCheck::NotInteger;
    const auto value = ParseWholeNumber(text, 0, 99);
    if (!value)
        return AddressNumberCheck::NotInteger;
    return *value == 0 ? AddressNumberCheck::NotPositive : AddressNumberCheck::Ok;
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

RoomStore AddRoom(Connection &conn, const NewRoom &room, const QString &doorPlate,
                  const QString &roomType)
{
    RoomStore result;
    const QString plate = doorPlate.trimmed();
    if (plate.isEmpty()) {
        result.refusal = RoomRefusal::NoDoorPlate;
        return result;
    }
    Transaction t(conn);
    result.otherDoorPlate = DoorPlateOwner(conn, plate);
    if (!result.otherDoorPlate.isEmpty()) {
        result.refusal = RoomRefusal::DoorPlateTaken;
        return result;
    }
    if (const auto owner = LockCodeOwner(conn, room.room)) {
        result.refusal = RoomRefusal::LockCodeTaken;
        result.otherDoorPlate = *owner;
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
    result.id = InsertRow(conn, kRoomInfo, values);
    t.Commit();
    return result;
}

RoomStore UpdateRoom(Connection &conn, qint64 id, const FieldValues &changes)
{
    RoomStore result;
    result.id = id;
    FieldValues values;
    for (const auto &change : changes) {
        if (change.first.compare(QStringLiteral("RoomStr"), Qt::CaseInsensitive) == 0) {
            const QString plate = change.second.toString().trimmed();
            if (plate.isEmpty()) {
                result.refusal = RoomRefusal::NoDoorPlate;
                return result;
            }
            values.append({QStringLiteral("RoomStr"), plate});
        } else if (change.first.compare(QStringLiteral("RoomTypeStr"), Qt::CaseInsensitive) == 0) {
            values.append({QStringLiteral("RoomTypeStr"), change.second.toString()});
        }
    }
    Transaction t(conn);
    for (const auto &value : values) {
        if (value.first != QStringLiteral("RoomStr"))
            continue;
        const QString current = DoorPlateOf(conn, id);
        if (value.second.toString() != current && RoomHasOpenStay(conn, current)) {
            result.refusal = RoomRefusal::HasGuest;
            result.otherDoorPlate = current;
            return result;
        }
        result.otherDoorPlate = DoorPlateOwner(conn, value.second.toString(), id);
        if (!result.otherDoorPlate.isEmpty()) {
            result.refusal = RoomRefusal::DoorPlateTaken;
            return result;
        }
    }
    UpdateRows(conn, kRoomInfo, QStringLiteral("ID"), id, values);
    t.Commit();
    return result;
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
    DeleteRows(conn, kRoomInfo, QStringLiteral("ID"), id);
    t.Commit();
    return result;
}
