#include "bookkeeping.h"

#include "cardcommand.h"
#include "data/clock.h"
#include "data/dm.h"
#include "data/errors.h"
#include "data/settings.h"
#include "data/sqltext.h"
#include "data/transaction.h"
#include "kestrune/kestrune.h"
#include "messages.h"
#include "oplog/operationlog.h"
#include "ui/dialogs.h"

#include <QCoreApplication>

#include <cstdio>
#include <cstring>

bool CardBusy = false;
bool RoomBoardDirty = false;

namespace {

// A one-statement lookup on the shared connection.
Query lookup(const QStringList &lines)
{
    Query q(dm->conn);
    q.SQL = lines;
    q.Open();
    return q;
}

// Reads a serial counter; in a card command the counter stays held until the card is
// recorded (on the server the row is read FOR UPDATE).
Query counterLookup(QStringList lines)
{
    Connection &conn = dm->conn;
    HoldCountersForCardCommand(conn);
    if (conn.Holding() && conn.IsServer())
        lines.append(QStringLiteral("For Update"));
    try {
        return lookup(lines);
    } catch (const DbError &e) {
        if (!conn.Holding() || !e.text().contains(QStringLiteral("lock timeout")))
            throw;
    }
    conn.RollbackTrans();
    throw DbError(CounterBusyText());
}

QString addressLine(const uint16_t *address)
{
    // Building, floor and room number as signed 16-bit numbers.
    return QStringLiteral("Where Buiding=%1 And Floor= %2 And RoomNumber=%3")
        .arg(int16_t(address[1]))
        .arg(int16_t(address[2]))
        .arg(int16_t(address[0]));
}

QString noneWhenMissing(const IssueRecordInfo &record, const QString &text)
{
    return record.Found ? text : QStringLiteral("None");
}

void putSerial(uint16_t *serialWords, long long v)
{
    serialWords[0] = uint16_t(v % 256);
    serialWords[1] = uint16_t(v / 256);
    serialWords[2] = serialWords[3] = serialWords[4] = 0;
}

// Adds 1 to the CardSn of the first row the statement selects; nothing without a row.
void incrementFirst(const QString &table, const QStringList &lines)
{
    const Query q = lookup(lines);
    if (q.IsEmpty())
        return;
    UpdateRows(dm->conn, table, QStringLiteral("ID"), q.FieldByName(QStringLiteral("ID")),
               {{QStringLiteral("CardSn"), q.AsInteger(QStringLiteral("CardSn")) + 1}});
}

} // namespace

void DateTimeToCardTime(uint16_t *destination, const QDateTime &value)
{
    const QDate d = value.date();
    const QTime t = value.time();
    destination[0] = uint16_t(d.year());
    destination[1] = uint16_t(d.month());
    destination[2] = uint16_t(d.day());
    destination[3] = uint16_t(t.hour());
    destination[4] = uint16_t(t.minute());
    destination[5] = 0;
}

namespace {

// The date and time of card time words (year, month, day, hour, minute); false when they
// form none.
bool cardDateAndTime(const uint16_t *time, QDate &date, QTime &clock)
{
    date = QDate(time[0], time[1], time[2]);
    clock = QTime(time[3], time[4], 0);
    return date.isValid() && clock.isValid();
}

} // namespace

QDateTime CardTimeToDateTime(const uint16_t *time)
{
    QDate d;
    QTime t;
    if (!cardDateAndTime(time, d, t))
        return QDateTime();
    return QDateTime(d, t);
}

QString CardTimeText(const uint16_t *time)
{
    QDate d;
    QTime t;
    if (!cardDateAndTime(time, d, t))
        return QString();
    char text[32];
    std::snprintf(text, sizeof text, "%04d-%02d-%02d %02d:%02d:00", d.year(), d.month(), d.day(),
                  t.hour(), t.minute());
    return QString::fromLatin1(text);
}

QString RomText(const uint16_t *serialWords)
{
    // Words 3 to 0, each in upper-case hexadecimal of at least two digits.
    char text[4 * 4 + 1];
    std::snprintf(text, sizeof text, "%02X%02X%02X%02X", unsigned(serialWords[3]),
                  unsigned(serialWords[2]), unsigned(serialWords[1]), unsigned(serialWords[0]));
    return QString::fromLatin1(text);
}

int SaveMakeCardRecord(const CardRecord &record, const QString &holder, const QString &explain)
{
    CardRecord copy = record;
    const uint16_t cardType = copy.CardTypeBlock[0];
    if (cardType != kGuestCard)
        copy.SerialWords[3] = cardType;
    const QString number = RomText(copy.SerialWords);

    FieldValues values;
    QString roomStr, where, rom = number;
    if (cardType == kGuestCard) {
        roomStr = GetRoomStrByAddress(copy.RoomAddr);
        rom = GetSystemRoomStrByAddress(copy.RoomAddr) + number;
        values.append({QStringLiteral("RoomStr"), roomStr});
    }
    values.append({QStringLiteral("Rom"), rom});
    values.append({QStringLiteral("enOverride"), int(copy.enOverride)});
    if (!holder.trimmed().isEmpty())
        values.append({QStringLiteral("Holder"), holder});
    values.append({QStringLiteral("Explain"), explain.isNull() ? QStringLiteral("") : explain});
    values.append({QStringLiteral("CardType"), int(cardType)});
    values.append({QStringLiteral("MakeUser"), LockSystemInfo.Staffer});
    values.append({QStringLiteral("MakeName"), LockSystemInfo.StafferName});
    switch (cardType) {
    case kFloorCard:
        values.append({QStringLiteral("Floor"), int(copy.FloorBlock[0])});
        where = QStringLiteral(", floor %1").arg(copy.FloorBlock[0]);
        break;
    case kGroupCard:
        values.append({QStringLiteral("District"), int(copy.DistrictBlock[0])});
        where = QStringLiteral(", group %1").arg(copy.DistrictBlock[0]);
        break;
    case kBuildingCard:
        values.append({QStringLiteral("Buiding"), int(copy.BuildingNo)});
        where = QStringLiteral(", building %1").arg(copy.BuildingNo);
        break;
    default:
        break;
    }
    values.append({QStringLiteral("StartTime"), CardTimeToDateTime(copy.StartTime)});
    values.append({QStringLiteral("EndTime"), CardTimeToDateTime(copy.EndTime)});
    // The issue record and its row in the operation log are stored together.
    JoinedTransaction transaction(dm->conn);
    const qint64 id = dm->MakeCardRecord_ado.Append(values);
    dm->MakeCardRecord_ado.Close();
    LogOperation(dm->conn, LogAction::CardWritten, roomStr,
                 QStringLiteral("card type %1%2, serial %3, issue record %4")
                     .arg(cardType)
                     .arg(where, rom)
                     .arg(id));
    transaction.Commit();
    return 1;
}

bool CheckDateRange(const QDateTime &end, const QDateTime &start)
{
    if (end <= start) {
        ShowMessage(QStringLiteral("日期范围无效！"), QStringLiteral("信息提示"),
                    MsgIcon::Information);
        return false;
    }
    return true;
}

namespace {
const char *cardResultSource(int result)
{
    switch (result) {
    case 1:
        return QT_TRANSLATE_NOOP("CardResult", "Success!");
    case -1:
        return QT_TRANSLATE_NOOP("CardResult", "No Card!");
    case -2:
        return QT_TRANSLATE_NOOP("CardResult", "No encoder");
    default:
        return QT_TRANSLATE_NOOP("CardResult", "Failure!");
    }
}
} // namespace

QString CardResultText(int result)
{
    return QString::fromLatin1(cardResultSource(result));
}

QString CardResultCaption(int result)
{
    return QCoreApplication::translate("CardResult", cardResultSource(result));
}

QString GetCardTypeTitle(int id)
{
    Query &q = dm->other_adoq;
    q.Clear();
    q.Add(QStringLiteral("select C_Title from cardtype"));
    q.Add(QStringLiteral("where"));
    q.Add(QStringLiteral("id=%1").arg(id));
    q.Open();
    return q.IsEmpty() ? QString() : q.Field(0).toString();
}

int CallMakeGuestCard(uint16_t *SerialWords, uint16_t *ReservedA, uint16_t BuildingNo,
                      uint16_t *FloorBlock, uint16_t *DistrictBlock, uint16_t *RoomAddr,
                      uint16_t enOverride, uint16_t *CardTypeBlock, uint16_t *ReservedB,
                      uint16_t *StartTime, uint16_t *EndTime)
{
    return MakeGuestCard(SerialWords, ReservedA, BuildingNo, FloorBlock, DistrictBlock, RoomAddr,
                         enOverride, CardTypeBlock, ReservedB, StartTime, EndTime);
}

int CallMakeGuestCard(CardRecord &r)
{
    return CallMakeGuestCard(r.SerialWords, r.ReservedA, r.BuildingNo, r.FloorBlock,
                             r.DistrictBlock, r.RoomAddr, r.enOverride, r.CardTypeBlock,
                             r.ReservedB, r.StartTime, r.EndTime);
}

namespace {
QStringList roomLines(const QString &columns, const QString &room)
{
    return {QStringLiteral("Select %1 From RoomInfo ").arg(columns),
            QStringLiteral("Where RoomStr= ") + QuotedStr(room)};
}
} // namespace

int RoomStrExists(const QString &room)
{
    return lookup(roomLines(QStringLiteral("Buiding,Floor,RoomNumber"), room)).IsEmpty() ? 0 : 1;
}

void GetRoomAddress(const QString &room, uint16_t *address)
{
    const Query q = lookup(roomLines(QStringLiteral("Buiding,Floor,RoomNumber"), room));
    std::memset(address, 0, sizeof(RoomAddress));
    if (q.IsEmpty())
        return;
    address[0] = uint16_t(q.AsInteger(QStringLiteral("RoomNumber")));
    address[1] = uint16_t(q.AsInteger(QStringLiteral("Buiding")));
    address[2] = uint16_t(q.AsInteger(QStringLiteral("Floor")));
}

int GetRoomCode(const QString &room)
{
    const Query q = lookup(roomLines(QStringLiteral("Room,Buiding,Floor,RoomNumber"), room));
    return q.IsEmpty() ? 0 : q.AsInteger(QStringLiteral("Room"));
}

QString GetRoomStrByAddress(const uint16_t *address)
{
    const Query q = lookup({QStringLiteral("Select * From RoomInfo "), addressLine(address)});
    return q.IsEmpty() ? QString() : q.AsString(QStringLiteral("RoomStr"));
}

QString GetSystemRoomStrByAddress(const uint16_t *address)
{
    const Query q = lookup({QStringLiteral("Select * From RoomInfo "), addressLine(address)});
    return q.IsEmpty() ? QString() : q.AsString(QStringLiteral("SystemRoomStr"));
}

QString GetKeyKind(int id)
{
    const Query q = lookup({QStringLiteral("Select * From KeyKindTable "),
                            QStringLiteral("Where KeyID= %1").arg(uint16_t(id))});
    return q.IsEmpty() ? QStringLiteral("None") : q.AsString(QStringLiteral("KeyKind"));
}

QStringList KeyKindTexts()
{
    const Query kinds = lookup({QStringLiteral("Select KeyKind From KeyKindTable")});
    QStringList texts{QStringLiteral("None")};
    for (const auto &row : kinds.rows())
        texts.append(row.value(0).toString());
    return texts;
}

IssueRecordInfo LatestIssueRecord(int cardType, const QString &rom)
{
    const QString match =
        QStringLiteral("CardType= %1 And Rom=%2").arg(uint16_t(cardType)).arg(QuotedStr(rom));
    const Query q = lookup({QStringLiteral("Select Holder,Explain,MakeName From MakeCardRecord "),
                            QStringLiteral("Where ID=(Select Max(ID) From MakeCardRecord Where ") +
                                match + QStringLiteral(")")});
    IssueRecordInfo record;
    if (q.IsEmpty())
        return record;
    record.Found = true;
    record.Holder = q.AsString(QStringLiteral("Holder"));
    record.Explain = q.AsString(QStringLiteral("Explain"));
    record.MakeName = q.AsString(QStringLiteral("MakeName"));
    return record;
}

QString GetMakeName(int cardType, const QString &cardNumber)
{
    const IssueRecordInfo record = LatestIssueRecord(cardType, cardNumber);
    return noneWhenMissing(record, record.MakeName);
}

QString GetHolder(int cardType, const QString &cardNumber)
{
    const IssueRecordInfo record = LatestIssueRecord(cardType, cardNumber);
    return noneWhenMissing(record, record.Holder);
}

QString GetExplain(int cardType, const QString &cardNumber)
{
    const IssueRecordInfo record = LatestIssueRecord(cardType, cardNumber);
    return noneWhenMissing(record, record.Explain);
}

std::optional<long long> GuestSerialOfRom(const QString &rom, const QString &systemRoomStr)
{
    // Serial words 3 and 2 of a guest card are 0 and word 0 is below 256 (two digits); word
    // 1 takes what is left.
    if (!rom.startsWith(systemRoomStr))
        return std::nullopt;
    const QString number = rom.mid(systemRoomStr.size());
    if (number.size() < 8 || !number.startsWith(QLatin1String("0000")))
        return std::nullopt;
    bool okHigh = false, okLow = false;
    const long long high = number.mid(4, number.size() - 6).toLongLong(&okHigh, 16);
    const long long low = number.right(2).toLongLong(&okLow, 16);
    if (!okHigh || !okLow)
        return std::nullopt;
    return high * 256 + low;
}

std::optional<long long> LastGuestCardSerial(const QString &room)
{
    const Query roomRow = lookup(roomLines(QStringLiteral("SystemRoomStr"), room));
    const QString system =
        roomRow.IsEmpty() ? QString() : roomRow.AsString(QStringLiteral("SystemRoomStr"));
    if (system.isEmpty())
        return std::nullopt;
    const QString match = QStringLiteral("CardType=4 And Rom like %1 And Rom<>%2")
                              .arg(QuotedStr(system + QLatin1Char('%')),
                                   QuotedStr(system + QStringLiteral("00000000")));
    const Query q = lookup({QStringLiteral("Select Rom From MakeCardRecord "),
                            QStringLiteral("Where ID=(Select Max(ID) From MakeCardRecord Where ") +
                                match + QStringLiteral(")")});
    if (q.IsEmpty())
        return std::nullopt;
    return GuestSerialOfRom(q.AsString(QStringLiteral("Rom")), system);
}

void GetRoomCardSn(const QString &room, uint16_t *serialWords)
{
    const Query q = counterLookup({QStringLiteral("Select CardSn From RoomInfo "),
                                   QStringLiteral("Where RoomStr=") + QuotedStr(room)});
    const long long stored = q.IsEmpty() ? 0 : q.AsInteger(QStringLiteral("CardSn"));
    putSerial(serialWords, stored + serialWords[0]);
}

void IncRoomCardSn(const QString &room)
{
    incrementFirst(QStringLiteral("RoomInfo"),
                   {QStringLiteral("Select * From RoomInfo "),
                    QStringLiteral("Where RoomStr=") + QuotedStr(room)});
}

void GetCardSn(int counterId, uint16_t *serialWords)
{
    const Query q = counterLookup({QStringLiteral("Select CardSn From AllCardSn "),
                                   QStringLiteral("Where CardType = %1").arg(counterId)});
    putSerial(serialWords, q.IsEmpty() ? 0 : q.AsInteger(QStringLiteral("CardSn")));
}

void IncCardSn(int counterId)
{
    incrementFirst(QStringLiteral("AllCardSn"),
                   {QStringLiteral("Select * From AllCardSn "),
                    QStringLiteral("Where CardType = %1").arg(counterId)});
}

namespace {

// The condition lines of the open stays that carry the card's number (and match
// `narrowing`, one more condition line when not empty).
QStringList openStaysOfCard(const uint16_t *serialWords, const QString &narrowing)
{
    QStringList where = {QStringLiteral("Where Rom =") + QuotedStr(RomText(serialWords)),
                         QStringLiteral("and"), QStringLiteral("enOverride=0")};
    if (!narrowing.isEmpty())
        where << QStringLiteral("and") << narrowing;
    return where;
}

// Lists the rooms of the open stays these condition lines select, asks the operator, and on
// OK ends them; the board then shows their rooms vacant.
void closeStays(const QStringList &where)
{
    const Query q = lookup(QStringList{QStringLiteral("Select * From GuestInRecord")} + where);
    QStringList rooms;
    for (const auto &row : q.rows())
        rooms.append(row.value(q.FieldNames().indexOf(QStringLiteral("Room"))).toString());
    const QString list = rooms.join(',');
    if (list.trimmed().isEmpty())
        return;
    const MsgResult answer = ShowMessage(FormatText(GetUnitText(2), list), GetUnitText(1),
                                         MsgIcon::Error, MsgButtons::OkCancel);
    if (answer != MsgResult::Ok)
        return;
    // Each stay still open after the question ends with its row in the operation log.
    JoinedTransaction transaction(dm->conn);
    const QStringList names = q.FieldNames();
    for (const auto &row : q.rows()) {
        const qint64 id = row.value(names.indexOf(QStringLiteral("ID"))).toLongLong();
        Query update(dm->conn);
        update.Add(QStringLiteral("Update GuestInRecord Set enOverride=1,LeaveTime=") +
                   SqlDateTime(Now()));
        update.Add(QStringLiteral("Where ID=%1 and enOverride=0").arg(id));
        if (update.ExecSQL() > 0)
            LogOperation(
                dm->conn, LogAction::CheckOut,
                row.value(names.indexOf(QStringLiteral("RoomStr"))).toString(),
                QStringLiteral("stay %1, guest %2, card revoked")
                    .arg(id)
                    .arg(row.value(names.indexOf(QStringLiteral("GuestName"))).toString()));
    }
    transaction.Commit();
    RoomBoardDirty = true;
}

} // namespace

bool CloseStayByRom(const uint16_t *serialWords)
{
    closeStays(openStaysOfCard(serialWords, QString()));
    return true;
}

bool CloseStayByRomInRoom(const uint16_t *serialWords, const QString &roomStr)
{
    closeStays(openStaysOfCard(serialWords, QStringLiteral("RoomStr=") + QuotedStr(roomStr)));
    return true;
}

bool CloseOpenStaysOfRoom(const QString &roomStr)
{
    closeStays({QStringLiteral("Where RoomStr=") + QuotedStr(roomStr), QStringLiteral("and"),
                QStringLiteral("enOverride=0")});
    return true;
}
