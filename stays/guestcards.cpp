#include "guestcards.h"

#include "cards/bookkeeping.h"
#include "cards/cardcommand.h"
#include "data/dm.h"
#include "data/errors.h"
#include "data/settings.h"
#include "data/sqltext.h"
#include "kestrune/kestrune.h"

#include <QRegularExpression>

QDateTime ProposedStayEnd(const QDateTime &now, int dayCount, const QTime &leaveTime)
{
    return QDateTime(now.date().addDays(dayCount), leaveTime);
}

QDateTime CardMoment(const QDate &date, const QTime &time, int toleranceMinutes)
{
    return QDateTime(date, time).addSecs(qint64(toleranceMinutes) * 60);
}

std::optional<int> TypedStayMinutes(const QString &typed)
{
    static const QRegularExpression form(QStringLiteral("^(-?)(\\d{1,4})(?:\\.(\\d{1,2}))?$"));
    const QRegularExpressionMatch m = form.match(typed);
    if (!m.hasMatch())
        return std::nullopt;
    const QString decimals = m.captured(3).leftJustified(2, QLatin1Char('0'));
    // Hundredths of an hour, rounded to whole minutes.
    const int hundredths = m.captured(2).toInt() * 100 + decimals.toInt();
    const int minutes = (hundredths * 60 + 50) / 100;
    return m.captured(1).isEmpty() ? minutes : -minutes;
}

namespace {
QDateTime toMinute(const QDateTime &moment)
{
    const QTime t = moment.time();
    return moment.addMSecs(-qint64(t.second()) * 1000 - t.msec());
}
} // namespace

QString StayLengthInHours(const QDateTime &start, const QDateTime &end)
{
    const qint64 minutes = toMinute(start).secsTo(toMinute(end)) / 60;
    if (minutes % 60 == 0)
        return QString::number(minutes / 60);
    // Fixed notation in the C locale, trailing zeros dropped: "2.5", "0.33", "-1.75".
    QString text = QString::number(double(minutes) / 60.0, 'f', 2);
    while (text.endsWith(QLatin1Char('0')))
        text.chop(1);
    return text;
}

CardRecord GuestCardRecord(const GuestStay &stay, GuestSerial serial)
{
    CardRecord r{};
    DateTimeToCardTime(r.StartTime, stay.Start);
    DateTimeToCardTime(r.EndTime, stay.End);
    r.enOverride = 1;
    GetRoomAddress(stay.Room, r.RoomAddr);
    r.BuildingNo = r.RoomAddr[1];
    r.FloorBlock[0] = r.RoomAddr[2];
    if (serial != GuestSerial::None) {
        // The counter is read (and held) in every case: a twin is written under the same
        // hold as a new card.
        r.SerialWords[0] = serial == GuestSerial::Next ? 1 : 0;
        GetRoomCardSn(stay.Room, r.SerialWords);
        // After an hourly card the counter is one past the card written; a twin carries the
        // serial of the card itself.
        if (serial == GuestSerial::Current) {
            if (const std::optional<long long> last = LastGuestCardSerial(stay.Room)) {
                r.SerialWords[0] = uint16_t(*last % 256);
                r.SerialWords[1] = uint16_t(*last / 256);
            }
        }
    }
    return r;
}

std::optional<OpenStay> FindOpenStay(const QString &room)
{
    Query GL_ADO(dm->conn);
    GL_ADO.Add(QStringLiteral("select * from GuestInRecord"));
    GL_ADO.Add(QStringLiteral(" where"));
    GL_ADO.Add(QStringLiteral(" enOverride=0 And RoomStr=") + QuotedStr(room));
    GL_ADO.Open();
    if (GL_ADO.IsEmpty())
        return std::nullopt;
    return OpenStay{
        GL_ADO.FieldByName(QStringLiteral("ID")), GL_ADO.AsString(QStringLiteral("GuestName")),
        GL_ADO.AsString(QStringLiteral("GuestID")), GL_ADO.AsInteger(QStringLiteral("CardCounts"))};
}

GuestCardReading ReadGuestCard()
{
    GuestCardReading reading;
    CardRecord r{};
    reading.Result =
        ReadCard(r.SerialWords, r.ReservedA, &r.BuildingNo, r.FloorBlock, r.DistrictBlock,
                 r.RoomAddr, &r.enOverride, r.CardTypeBlock, r.ReservedB, r.StartTime, r.EndTime);
    if (reading.Result != 1 || r.CardTypeBlock[0] != kGuestCard)
        return reading;
    reading.GuestCard = true;
    // The card carries its building and floor outside the address.
    r.RoomAddr[1] = r.BuildingNo;
    r.RoomAddr[2] = r.FloorBlock[0];
    reading.Room = GetRoomStrByAddress(r.RoomAddr);
    const QString key = GetSystemRoomStrByAddress(r.RoomAddr) + RomText(r.SerialWords);
    reading.Holder = GetHolder(kGuestCard, key);
    reading.Explain = GetExplain(kGuestCard, key);
    reading.Start = CardTimeToDateTime(r.StartTime);
    reading.End = CardTimeToDateTime(r.EndTime);
    return reading;
}

void RecordIssuedGuestCard(CardRecord &record, const GuestStay &stay)
{
    Connection &conn = dm->conn;
    RecordWrittenCard(conn, [&] {
        IncRoomCardSn(stay.Room);
        record.CardTypeBlock[0] = kGuestCard;
        SaveMakeCardRecord(record, stay.GuestName, stay.GuestID);

        const std::optional<OpenStay> open = FindOpenStay(stay.Room);
        if (!open) {
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
            // The stay keeps its guest, times and card number; it counts one more card.
            UpdateRows(conn, QStringLiteral("GuestInRecord"), QStringLiteral("ID"), open->ID,
                       {{QStringLiteral("CardCounts"), open->CardCounts + 1}});
        }
    });
}

void RecordCopiedGuestCard(CardRecord &record, const QString &holder, const QString &explain)
{
    RecordWrittenCard(dm->conn, [&] {
        record.CardTypeBlock[0] = kGuestCard;
        SaveMakeCardRecord(record, holder, explain);
    });
}

void RecordExtendedStay(CardRecord &record, const QVariant &stayId, const QDateTime &end,
                        const QString &holder, const QString &explain)
{
    Connection &conn = dm->conn;
    RecordWrittenCard(conn, [&] {
        UpdateRows(conn, QStringLiteral("GuestInRecord"), QStringLiteral("ID"), stayId,
                   {{QStringLiteral("GuestLeaveTime"), end},
                    {QStringLiteral("InputUser"), LockSystemInfo.Staffer}});
        record.CardTypeBlock[0] = kGuestCard;
        SaveMakeCardRecord(record, holder, explain);
    });
}
