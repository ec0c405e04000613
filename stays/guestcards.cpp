#include "guestcards.h"

#include "cards/bookkeeping.h"
#include "cards/cardcommand.h"
#include "data/dm.h"
#include "data/errors.h"
#include "data/settings.h"
#include "data/sqltext.h"

QDateTime ProposedStayEnd(const QDateTime &now, int dayCount, const QTime &leaveTime)
{
    return QDateTime(now.date().addDays(dayCount), leaveTime);
}

QDateTime CardMoment(const QDate &date, const QTime &time, int toleranceMinutes)
{
    return QDateTime(date, time).addSecs(qint64(toleranceMinutes) * 60);
}

CardRecord GuestCardRecord(const GuestStay &stay, uint16_t increment)
{
    CardRecord r{};
    DateTimeToCardTime(r.StartTime, stay.Start);
    DateTimeToCardTime(r.EndTime, stay.End);
    r.enOverride = 1;
    GetRoomAddress(stay.Room, r.RoomAddr);
    r.BuildingNo = r.RoomAddr[1];
    r.FloorBlock[0] = r.RoomAddr[2];
    r.SerialWords[0] = increment;
    GetRoomCardSn(stay.Room, r.SerialWords);
    return r;
}

void RecordIssuedGuestCard(CardRecord &record, const GuestStay &stay)
{
    Connection &conn = dm->conn;
    RecordWrittenCard(conn, [&] {
        IncRoomCardSn(stay.Room);
        record.CardTypeBlock[0] = kGuestCard;
        SaveMakeCardRecord(record, stay.GuestName, stay.GuestID);

        Query GL_ADO(conn);
        GL_ADO.Add(QStringLiteral("select * from GuestInRecord"));
        GL_ADO.Add(QStringLiteral(" where"));
        GL_ADO.Add(QStringLiteral(" enOverride=0 And RoomStr=") + QuotedStr(stay.Room));
        GL_ADO.Open();
        if (GL_ADO.IsEmpty()) {
            FieldValues values;
            if (!stay.GuestName.trimmed().isEmpty())
                values.append({QStringLiteral("GuestName"), stay.GuestName});
            values.append({QStringLiteral("GuestID"), stay.GuestID});
            values.append({QStringLiteral("Room"), GetRoomCode(stay.Room)});
            values.append({QStringLiteral("RoomStr"), stay.Room});
            values.append({QStringLiteral("Rom"), RomText(record.SerialWords)});
            values.append({QStringLiteral("GuestInTime"), stay.Start});
            values.append({QStringLiteral("GuestLeaveTime"), stay.End});
            values.append({QStringLiteral("InputUser"), LockSystemInfo.Staffer});
            values.append({QStringLiteral("MakeName"), LockSystemInfo.StafferName});
            InsertRow(conn, QStringLiteral("GuestInRecord"), values);
        } else {
            UpdateRows(conn, QStringLiteral("GuestInRecord"), QStringLiteral("ID"),
                       GL_ADO.FieldByName(QStringLiteral("ID")),
                       {{QStringLiteral("CardCounts"),
                         GL_ADO.AsInteger(QStringLiteral("CardCounts")) + 1}});
        }
    });
}

void RecordCopiedGuestCard(CardRecord &record, const GuestStay &stay)
{
    RecordWrittenCard(dm->conn, [&] {
        record.CardTypeBlock[0] = kGuestCard;
        SaveMakeCardRecord(record, stay.GuestName, stay.GuestID);
    });
}
