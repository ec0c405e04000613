#include "cardreading.h"

#include "cards/bookkeeping.h"
#include "data/dm.h"
#include "kestrune/kestrune.h"
#include "oplog/operationlog.h"

#include <QCoreApplication>
#include <QLocale>

#include <algorithm>

namespace {

QString smallNumber(int value)
{
    return value >= 1 && value <= 99 ? QString::number(value) : QString();
}

// A guest card carries its building and floor outside the lock address.
void completeAddress(CardRecord &record)
{
    record.RoomAddr[1] = record.BuildingNo;
    record.RoomAddr[2] = record.FloorBlock[0];
}

} // namespace

int ReadCardRecord(CardRecord &r)
{
    r = CardRecord{};
    return ReadCard(r.SerialWords, r.ReservedA, &r.BuildingNo, r.FloorBlock, r.DistrictBlock,
                    r.RoomAddr, &r.enOverride, r.CardTypeBlock, r.ReservedB, r.StartTime,
                    r.EndTime);
}

bool IsBlankCard(const CardRecord &record)
{
    return record.CardTypeBlock[0] < 1 || record.CardTypeBlock[0] > 15;
}

QString CardLookupRom(CardRecord &record)
{
    const uint16_t cardType = record.CardTypeBlock[0];
    if (cardType == kGuestCard) {
        completeAddress(record);
        return GetSystemRoomStrByAddress(record.RoomAddr) + RomText(record.SerialWords);
    }
    uint16_t serial[9];
    std::copy(std::begin(record.SerialWords), std::end(record.SerialWords), serial);
    serial[3] = cardType;
    return RomText(serial);
}

QString CardTimeText(const QDateTime &value)
{
    return QLocale::system().toString(value, QLocale::ShortFormat);
}

CardDescription DescribeCard(const CardRecord &card)
{
    CardRecord record = card;
    const int cardType = record.CardTypeBlock[0];
    CardDescription d;
    d.Start = CardTimeText(CardTimeToDateTime(record.StartTime));
    d.End = CardTimeText(CardTimeToDateTime(record.EndTime));
    // The stored title, in the program's language when it is one of the program's own.
    d.TypeTitle =
        QCoreApplication::translate("CardType", GetCardTypeTitle(cardType).toUtf8().constData());
    const IssueRecordInfo issued = LatestIssueRecord(cardType, CardLookupRom(record));
    d.Holder = issued.Found ? issued.Holder : QCoreApplication::translate("CardReading", "None");
    d.Guest = cardType == kGuestCard;
    if (d.Guest) {
        d.Room = GetRoomStrByAddress(record.RoomAddr);
        d.GuestID =
            issued.Found ? issued.Explain : QCoreApplication::translate("CardReading", "None");
    } else {
        d.District = smallNumber(record.DistrictBlock[0]);
        d.Building = smallNumber(record.BuildingNo);
        d.Floor = smallNumber(record.FloorBlock[0]);
    }
    return d;
}

int RevokeCard(const CardRecord &card)
{
    CardRecord record = card;
    if (record.CardTypeBlock[0] == kGuestCard) {
        completeAddress(record);
        const QString room = GetRoomStrByAddress(record.RoomAddr);
        const bool noSerial = std::all_of(record.SerialWords, record.SerialWords + 4,
                                          [](uint16_t w) { return w == 0; });
        if (!room.isEmpty() && noSerial)
            CloseOpenStaysOfRoom(room);
        else if (!room.isEmpty())
            CloseStayByRomInRoom(record.SerialWords, room);
    }
    const int result = ClearCardData(record.SerialWords);
    if (result == 1)
        LogOperation(dm->conn, LogAction::Revoke,
                     record.CardTypeBlock[0] == kGuestCard ? GetRoomStrByAddress(record.RoomAddr)
                                                           : QString(),
                     QStringLiteral("card type %1, serial %2")
                         .arg(record.CardTypeBlock[0])
                         .arg(RomText(record.SerialWords)));
    return result;
}
