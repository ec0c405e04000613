#include "staffcards.h"

#include "cards/bookkeeping.h"
#include "cards/cardcommand.h"
#include "data/dm.h"
#include "data/numbers.h"
#include "kestrune/kestrune.h"

#include <QCoreApplication>

#include <array>

namespace {

const std::array<StaffCardKind, 10> kKinds = {{
    {0, "MC_Time", MakeTimeCard, 2, kTimeCard, nullptr, StaffCardInput::None, 3600,
     QT_TRANSLATE_NOOP("StaffCards", "Time must be less than 1 hour"), true},
    {1, "MC_Data", MakeDataCard, 13, kDataStartupCard, nullptr, StaffCardInput::None, 0, nullptr,
     false},
    {2, "MC_Chief", MakeChiefCard, 5, kMasterCard, nullptr, StaffCardInput::None, 0, nullptr,
     false},
    {3, "MC_District", MakeCleanDistrictCard, 9, kGroupCard, "District", StaffCardInput::Group, 0,
     nullptr, false},
    {4, "MC_Building", MakeBuildingCard, 6, kBuildingCard, "Buiding", StaffCardInput::Building, 0,
     nullptr, false},
    {5, "MC_Floor", MakeFloorCard, 7, kFloorCard, "Floor", StaffCardInput::BuildingFloor, 0,
     nullptr, false},
    {6, "MC_LongOpen", MakeClientCard, 1, kDataClearCard, nullptr, StaffCardInput::None, 0, nullptr,
     false},
    {7, "MC_Emergent", MakeEmergentCard, 4, kEmergencyCard, nullptr, StaffCardInput::None, 0,
     nullptr, false},
    {8, "MC_Lost", MakeLostCard, 3, kLossReportCard, nullptr, StaffCardInput::LostKind, 86400,
     QT_TRANSLATE_NOOP("StaffCards", "Time must be less than 1 day"), false},
    // The passage setting card shares the emergency card's counter and card type.
    {9, "MC_Special", MakeSpecialCard, 4, kEmergencyCard, nullptr, StaffCardInput::None, 0, nullptr,
     false},
}};

bool chosen(const QString &listText)
{
    return !listText.trimmed().isEmpty();
}

} // namespace

std::span<const StaffCardKind> StaffCardKinds()
{
    return kKinds;
}

const StaffCardKind &StaffCardKindOfPage(int page)
{
    return kKinds.at(size_t(page));
}

QDateTime StaffCardMoment(const QDate &date, const QTime &time, int toleranceMinutes)
{
    return QDateTime(date, time).addSecs(qint64(toleranceMinutes) * 60);
}

QString StaffCardRefusal(const StaffCardKind &kind, const StaffCardRequest &request,
                         const QDateTime &now)
{
    // Whole seconds: an end exactly at the limit passes; an end in the past always passes.
    if (kind.maxSecondsAhead > 0 && now.secsTo(request.End) > kind.maxSecondsAhead)
        return QCoreApplication::translate("StaffCards", kind.tooLateText);
    switch (kind.input) {
    case StaffCardInput::Group:
        if (!chosen(request.Group))
            return QStringLiteral("请选择区域!");
        break;
    case StaffCardInput::Building:
        if (!chosen(request.Building))
            return QStringLiteral("请选择楼号!");
        break;
    case StaffCardInput::BuildingFloor:
        if (!chosen(request.Building))
            return QCoreApplication::translate("StaffCards", "Please Select Building!");
        if (!chosen(request.Floor))
            return QCoreApplication::translate("StaffCards", "Please select floor!");
        break;
    case StaffCardInput::None:
    case StaffCardInput::LostKind:
        break;
    }
    return QString();
}

CardRecord StaffCardRecord(const StaffCardKind &kind, const StaffCardRequest &request)
{
    CardRecord r{};
    DateTimeToCardTime(r.StartTime, request.Start);
    DateTimeToCardTime(r.EndTime, request.End);
    r.enOverride = 1;
    switch (kind.input) {
    case StaffCardInput::Group:
        r.DistrictBlock[0] = uint16_t(StrToInt(request.Group));
        break;
    case StaffCardInput::Building:
        r.BuildingNo = uint16_t(StrToInt(request.Building));
        break;
    case StaffCardInput::BuildingFloor:
        r.BuildingNo = uint16_t(StrToInt(request.Building));
        r.FloorBlock[0] = uint16_t(StrToInt(request.Floor));
        break;
    case StaffCardInput::LostKind:
        r.CardTypeBlock[1] = uint16_t(request.LostKind);
        break;
    case StaffCardInput::None:
        break;
    }
    GetCardSn(kind.counter, r.SerialWords);
    return r;
}

int MakeStaffCard(const StaffCardKind &kind, CardRecord &r)
{
    return kind.make(r.SerialWords, r.ReservedA, r.BuildingNo, r.FloorBlock, r.DistrictBlock,
                     r.RoomAddr, r.enOverride, r.CardTypeBlock, r.ReservedB, r.StartTime,
                     r.EndTime);
}

void RecordIssuedStaffCard(const StaffCardKind &kind, CardRecord &record, const QString &holder)
{
    record.CardTypeBlock[0] = kind.cardType;
    RecordWrittenCard(dm->conn, [&] {
        SaveMakeCardRecord(record, holder, QString());
        IncCardSn(kind.counter);
    });
}

StaffCardOutcome IssueStaffCard(const StaffCardKind &kind, const StaffCardRequest &request,
                                const QDateTime &now)
{
    StaffCardOutcome outcome;
    outcome.Refusal = StaffCardRefusal(kind, request, now);
    if (!outcome.Refusal.isEmpty())
        return outcome;
    CardRecord record = StaffCardRecord(kind, request);
    outcome.Result = MakeStaffCard(kind, record);
    if (outcome.Result == 1)
        RecordIssuedStaffCard(kind, record, request.Holder);
    return outcome;
}
