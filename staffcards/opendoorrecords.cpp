#include "opendoorrecords.h"

#include "cards/bookkeeping.h"
#include "data/dataset.h"
#include "data/sqltext.h"
#include "data/transaction.h"
#include "kestrune/kestrune.h"
#include "oplog/operationlog.h"
#include "ui/dialogs.h"

#include <QCoreApplication>
#include <QHash>
#include <QSet>

#include <algorithm>
#include <cstring>

namespace {

const QString kNone = QStringLiteral("None");

// The columns the import stores, in the order of the row values below.
const QStringList kStoredColumns = {QStringLiteral("RoomStr"),     QStringLiteral("Rom"),
                                    QStringLiteral("OpenTime"),    QStringLiteral("CardType"),
                                    QStringLiteral("CardTypeStr"), QStringLiteral("CardHolderStr"),
                                    QStringLiteral("MakeName")};

// The lock's room as the lookups by address see it: the lock reports its building and floor
// apart from the address block.
void lockAddress(const DoorOpening &opening, RoomAddress address)
{
    std::memcpy(address, opening.Address, sizeof(RoomAddress));
    address[1] = opening.Building;
    address[2] = opening.Floor;
}

struct Room
{
    QString roomStr, systemRoomStr;
};

// Lookups made once per import for each lock, card type and card.
class Lookups
{
public:
    Room room(const RoomAddress address)
    {
        const quint64 key =
            (quint64(address[1]) << 32) | (quint64(address[2]) << 16) | quint64(address[0]);
        auto it = m_rooms.constFind(key);
        if (it == m_rooms.constEnd())
            it = m_rooms.insert(key,
                                {GetRoomStrByAddress(address), GetSystemRoomStrByAddress(address)});
        return it.value();
    }
    QString keyKind(int cardType)
    {
        auto it = m_kinds.constFind(cardType);
        if (it == m_kinds.constEnd())
            it = m_kinds.insert(cardType, GetKeyKind(cardType));
        return it.value();
    }
    IssueRecordInfo issue(int cardType, const QString &rom)
    {
        const QString key = QString::number(cardType) + '/' + rom;
        auto it = m_issues.constFind(key);
        if (it == m_issues.constEnd())
            it = m_issues.insert(key, LatestIssueRecord(cardType, rom));
        return it.value();
    }

private:
    QHash<quint64, Room> m_rooms;
    QHash<int, QString> m_kinds;
    QHash<QString, IssueRecordInfo> m_issues;
};

void tellBadTime(int number, const CardTime time)
{
    ShowMessage(QCoreApplication::translate("DoorRecords",
                                            "Record %1 has no valid opening time (year %2, month "
                                            "%3, day %4, hour %5, minute %6). It is stored "
                                            "without an opening time.")
                    .arg(number)
                    .arg(time[0])
                    .arg(time[1])
                    .arg(time[2])
                    .arg(time[3])
                    .arg(time[4]),
                QString(), MsgIcon::Warning);
}

} // namespace

QString OpeningRom(uint16_t cardType, const uint16_t *serialWords)
{
    if (cardType == kTimeCard)
        return QStringLiteral("00000000");
    uint16_t words[4] = {serialWords[0], serialWords[1], serialWords[2], serialWords[3]};
    if (cardType != kGuestCard)
        words[3] = cardType;
    return RomText(words);
}

ReadOneOpeningCall ReadOneOpening = ReadOneOpenDoorRecord;

DataCardRead ReadDataCardOpenings(QList<DoorOpening> &openings, int *result)
{
    int ignored = 0;
    int &last = result ? *result : ignored;
    openings.clear();
    uint16_t dataCard[KESTRUNE_SERIAL_WORDS] = {};
    last = ReadDataCard(dataCard);
    if (last != 1)
        return DataCardRead::NoDataCard;
    for (;;) {
        DoorOpening o;
        uint16_t unused1 = 0, unused2 = 0;
        last = ReadOneOpening(&o.Building, &o.Floor, &unused1, &unused2, o.Address, &o.CardType,
                              o.Time, dataCard);
        if (last == 0)
            return DataCardRead::Complete;
        if (last != 1) {
            openings.clear();
            return DataCardRead::BrokenOff;
        }
        std::memcpy(o.Serial, dataCard, sizeof(o.Serial));
        openings.append(o);
    }
}

DataCardImport StoreDoorOpenings(Connection &conn, const QList<DoorOpening> &openings)
{
    if (openings.isEmpty())
        return DataCardImport::NoRecords;

    // Every lookup first: a lock of no room, or a lookup that fails, changes nothing.
    Lookups lookups;
    QList<QVariantList> rows;
    QStringList rooms; // the rooms whose log is replaced, in the order met
    rows.reserve(openings.size());
    for (const DoorOpening &o : openings) {
        RoomAddress address;
        lockAddress(o, address);
        const Room room = lookups.room(address);
        if (room.roomStr.isEmpty()) {
            ShowMessage(QCoreApplication::translate(
                            "DoorRecords", "The data card holds openings of the lock in building "
                                           "%1, floor %2, room %3, which is no room of this "
                                           "hotel. Nothing was changed.")
                            .arg(int16_t(address[1]))
                            .arg(int16_t(address[2]))
                            .arg(int16_t(address[0])),
                        QString(), MsgIcon::Warning);
            return DataCardImport::UnknownLock;
        }
        if (!rooms.contains(room.roomStr))
            rooms.append(room.roomStr);

        const QString rom = OpeningRom(o.CardType, o.Serial);
        QVariant openTime = CardTimeText(o.Time);
        if (openTime.toString().isNull()) {
            tellBadTime(int(rows.size()) + 1, o.Time);
            openTime = QVariant(QMetaType::fromType<QString>()); // a null, not an empty text
        }
        const QString key = o.CardType == kGuestCard ? room.systemRoomStr + rom : rom;
        const IssueRecordInfo issue = lookups.issue(o.CardType, key);
        // An invalid date-time is stored as null.
        rows.append({room.roomStr, rom, openTime, int(o.CardType), lookups.keyKind(o.CardType),
                     issue.Found ? issue.Holder : kNone, issue.Found ? issue.MakeName : kNone});
    }

    Transaction transaction(conn);
    for (const QString &room : rooms) {
        Query erase(conn);
        erase.Add(QStringLiteral("Delete From OpenDoorRecord Where RoomStr=") + QuotedStr(room));
        erase.ExecSQL();
    }
    InsertRows(conn, QStringLiteral("OpenDoorRecord"), kStoredColumns, rows);
    for (const QString &room : rooms) {
        const auto openingsOf =
            std::count_if(rows.cbegin(), rows.cend(),
                          [&](const QVariantList &r) { return r.value(0).toString() == room; });
        LogOperation(conn, LogAction::DataCard, room,
                     QStringLiteral("%1 openings stored").arg(openingsOf));
    }
    transaction.Commit();
    return DataCardImport::Stored;
}

DataCardImport ImportDataCard(Connection &conn, int *cardResult)
{
    QList<DoorOpening> openings;
    switch (ReadDataCardOpenings(openings, cardResult)) {
    case DataCardRead::NoDataCard:
        return DataCardImport::NoRecords;
    case DataCardRead::BrokenOff:
        return DataCardImport::ReadFailed;
    case DataCardRead::Complete:
        break;
    }
    return StoreDoorOpenings(conn, openings);
}

QStringList OpenDoorRecordListLines(const QString &room)
{
    return {QStringLiteral("Select * from OpenDoorRecord Where RoomStr=") + QuotedStr(room),
            QStringLiteral("Order By OpenTime,ID")};
}

QStringList OpenDoorRecordCountLines(const QString &room)
{
    return {QStringLiteral("Select count(*) from OpenDoorRecord Where RoomStr=") + QuotedStr(room)};
}

void DeleteOpenDoorRecord(Connection &conn, qint64 id)
{
    // The row is named in the operation log with what it said.
    JoinedTransaction transaction(conn);
    Query row(conn);
    row.Add(QStringLiteral("Select RoomStr,Rom,OpenTime From OpenDoorRecord Where ID=%1").arg(id));
    row.Open();
    Query erase(conn);
    erase.Add(QStringLiteral("Delete From OpenDoorRecord Where ID=%1").arg(id));
    if (erase.ExecSQL() > 0)
        LogOperation(conn, LogAction::DoorLogDelete, row.AsString(QStringLiteral("RoomStr")),
                     QStringLiteral("opening %1 of card %2 at %3")
                         .arg(id)
                         .arg(row.AsString(QStringLiteral("Rom")),
                              DateTimeText(row.AsDateTime(QStringLiteral("OpenTime")))));
    transaction.Commit();
}
