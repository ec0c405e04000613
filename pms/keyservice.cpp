#include "keyservice.h"

#include "cards/bookkeeping.h"
#include "cards/cardcommand.h"
#include "data/clock.h"
#include "data/errors.h"
#include "data/settings.h"
#include "stays/guestcards.h"
#include "stays/stays.h"

namespace pms {

namespace {

QString text(const Record &r, const char *fieldId)
{
    return QString::fromStdString(r.value(fieldId));
}

std::string bytes(const QString &s)
{
    return s.toStdString();
}

// An answer of this type, echoing the request's workstation, key coder and reservation.
Record answer(const char *id, const Record &request)
{
    Record r;
    r.id = id;
    if (auto ws = request.field("WS"))
        r.add("WS", *ws);
    if (auto kc = request.field("KC"))
        r.add("KC", *kc);
    if (auto res = request.field("G#"))
        r.add("G#", *res);
    const QDateTime now = Now();
    r.add("DA", bytes(now.toString(QStringLiteral("yyMMdd"))));
    r.add("TI", bytes(now.toString(QStringLiteral("HHmmss"))));
    return r;
}

Record status(Record r, const char *as, const QString &clearText)
{
    r.add("AS", as).add("CT", bytes(clearText));
    return r;
}

// "yymmdd" as a date of this century; invalid for anything else.
QDate protocolDate(const QString &s)
{
    if (s.size() != 6)
        return {};
    for (const QChar c : s)
        if (!c.isDigit())
            return {};
    return QDate(2000 + s.left(2).toInt(), s.mid(2, 2).toInt(), s.mid(4, 2).toInt());
}

// The operator named in the records while a request is carried out.
class IssuingOperator
{
public:
    IssuingOperator(const QString &staffer, const QString &name)
        : m_staffer(LockSystemInfo.Staffer), m_name(LockSystemInfo.StafferName)
    {
        LockSystemInfo.Staffer = staffer;
        LockSystemInfo.StafferName = name;
    }
    ~IssuingOperator()
    {
        LockSystemInfo.Staffer = m_staffer;
        LockSystemInfo.StafferName = m_name;
    }
    IssuingOperator(const IssuingOperator &) = delete;
    IssuingOperator &operator=(const IssuingOperator &) = delete;

private:
    QString m_staffer, m_name;
};

// The card-command guard for a request. A form's command leaves CardBusy to the main
// window's timer, which swallows clicks queued meanwhile; a request clears it as it ends,
// so the next request of the same read is not answered "busy" by its predecessor.
class RequestCardCommand
{
public:
    RequestCardCommand() : m_command(nullptr) {}
    ~RequestCardCommand()
    {
        if (m_command.Started())
            CardBusy = false;
    }
    RequestCardCommand(const RequestCardCommand &) = delete;
    RequestCardCommand &operator=(const RequestCardCommand &) = delete;
    bool Started() const { return m_command.Started(); }

private:
    CardCommand m_command;
};

} // namespace

void KeyService::log(const QString &line) const
{
    if (m_log)
        m_log(line);
}

bool KeyService::ourKeyCoder(const Record &request) const
{
    const QString kc = text(request, "KC").trimmed();
    bool okTheirs = false, okOurs = false;
    const int theirs = kc.toInt(&okTheirs);
    const int ours = m_config.keyCoder.trimmed().toInt(&okOurs);
    if (okTheirs && okOurs)
        return theirs == ours;
    return !kc.isEmpty() && kc == m_config.keyCoder.trimmed();
}

Record KeyService::handle(const Record &request)
{
    try {
        if (request.id == "KZ")
            return keyRead(request);
        if (!m_config.enabled)
            return status(answer("KA", request), kInterfaceOff, QStringLiteral("interface off"));
        if (request.id == "KR")
            return keyRequest(request);
        if (request.id == "KD")
            return keyDelete(request);
        return status(answer("KA", request), kUnprocessable, QStringLiteral("not supported"));
    } catch (const AppError &e) {
        log(QStringLiteral("%1 failed: %2").arg(QString::fromStdString(request.id), e.text()));
        return status(answer(request.id == "KZ" ? "KZ" : "KA", request), kUnprocessable,
                      QStringLiteral("database error"));
    }
}

Record KeyService::keyRequest(const Record &request)
{
    const Record base = answer("KA", request);
    const QString keyType = text(request, "KT");
    if (keyType != QLatin1String("N") && keyType != QLatin1String("D"))
        return status(base, kUnprocessable, QStringLiteral("unsupported key type"));
    if (!ourKeyCoder(request))
        return status(base, kUnprocessable, QStringLiteral("not our key coder"));
    const QString room = text(request, "RN");
    if (RoomStrExists(room) != 1)
        return status(base, kRefused, QStringLiteral("INVALID ROOM"));

    const QDate departure = protocolDate(text(request, "GD"));
    if (!departure.isValid())
        return status(base, kUnprocessable, QStringLiteral("invalid departure date"));
    QTime leave = LockSystemInfo.LeaveTime;
    if (const auto dt = request.field("DT")) {
        leave = QTime::fromString(QString::fromStdString(*dt), QStringLiteral("HH:mm"));
        if (!leave.isValid())
            return status(base, kUnprocessable, QStringLiteral("invalid departure time"));
    }
    const QDateTime now = Now();
    if (departure < now.date())
        return status(base, kUnprocessable, QStringLiteral("departure before today"));
    // A key valid for years is a key nobody meant to make.
    if (now.date().daysTo(departure) > m_config.maxKeyDays)
        return status(base, kUnprocessable,
                      QStringLiteral("departure more than %1 days ahead").arg(m_config.maxKeyDays));

    const RequestCardCommand command;
    if (!command.Started())
        return status(base, kBusy, QStringLiteral("encoder busy"));

    const int tolerance = LockSystemInfo.TimeTolerance;
    GuestStay stay;
    stay.Room = room;
    stay.Start = CardMoment(now.date(), now.time(), tolerance);
    stay.End = CardMoment(departure, leave, tolerance);
    stay.GuestName = text(request, "GN").left(kGuestNameLength);
    const QString reservation = text(request, "G#");
    stay.GuestID =
        reservation.isEmpty() ? QString() : QStringLiteral("PMS reservation ") + reservation;

    const bool newKey = keyType == QLatin1String("N");
    CardRecord record = GuestCardRecord(stay, newKey ? GuestSerial::Next : GuestSerial::Current);
    const int result = CallMakeGuestCard(record);
    if (result != 1)
        return status(base, kUnprocessable, CardResultText(result));

    QString user = text(request, "ID");
    if (user.isEmpty())
        user = m_config.userId;
    const IssuingOperator issuer(user, QStringLiteral("PMS ") + text(request, "WS"));
    try {
        if (newKey)
            RecordIssuedGuestCard(record, stay);
        else
            RecordCopiedGuestCard(record, stay.GuestName, stay.GuestID);
    } catch (const AppError &e) {
        log(e.text());
        return status(base, kUnprocessable, QStringLiteral("card written but not recorded"));
    }
    RoomBoardDirty = true;
    return status(base, kOk, QStringLiteral("OK"));
}

Record KeyService::keyDelete(const Record &request)
{
    const Record base = answer("KA", request);
    if (!ourKeyCoder(request))
        return status(base, kUnprocessable, QStringLiteral("not our key coder"));
    // A desk command under way may be about to end or record this room's stay.
    if (CardCommandRefused())
        return status(base, kBusy, QStringLiteral("encoder busy"));
    const QString room = text(request, "RN");
    if (RoomStrExists(room) != 1 || !EndFirstOpenStayOfRoom(room))
        return status(base, kRefused, QStringLiteral("INVALID ROOM"));
    RoomBoardDirty = true;
    return status(base, kOk, QStringLiteral("OK"));
}

Record KeyService::keyRead(const Record &request)
{
    Record base = answer("KZ", request);
    if (!m_config.enabled)
        return status(base, kInterfaceOff, QStringLiteral("interface off"));
    if (!ourKeyCoder(request))
        return status(base, kUnprocessable, QStringLiteral("not our key coder"));
    const RequestCardCommand command;
    if (!command.Started())
        return status(base, kBusy, QStringLiteral("encoder busy"));
    const GuestCardReading reading = ReadGuestCard();
    if (reading.Result != 1)
        return status(base, kUnprocessable, CardResultText(reading.Result));
    if (!reading.GuestCard)
        return status(base, kRefused, QStringLiteral("not a guest card"));
    base.add("RN", bytes(reading.Room));
    base.add("GN", bytes(reading.Holder == QLatin1String("None") ? QString() : reading.Holder));
    base.add("GD", bytes(reading.End.toString(QStringLiteral("yyMMdd"))));
    base.add("DT", bytes(reading.End.toString(QStringLiteral("HH:mm"))));
    return status(base, kOk, QStringLiteral("OK"));
}

} // namespace pms
