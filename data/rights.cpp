#include "rights.h"

#include <QtGlobal>

const std::array<OperatorRight, kOperatorRightCount> &OperatorRights()
{
    static const std::array<OperatorRight, kOperatorRightCount> rights = {{
        // Every command that writes a guest key: check-in, the hourly stay, the copy and the
        // extension, on the menu, the tool buttons and the board's pop-up.
        {"CheckIn", "CheckIn_CB", QT_TRANSLATE_NOOP("Rights", "Check-in"),
         "CheckIn_Menu ClockRoom_Menu CopyGuestCard_Menu ModifyGuestCard_Menu mi_GuestIn "
         "mi_CopyGuestCard",
         nullptr, -1},
        // Every command that ends stays or takes a card back.
        {"CheckOut", "CheckOut_CB", QT_TRANSLATE_NOOP("Rights", "Check-out"),
         "CheckOut_Menu ClearCard_Menu mi_GuestLeave", nullptr, -1},
        {"PassageCard", "PassageCard_CB", QT_TRANSLATE_NOOP("Rights", "Passage card"), "",
         "TabSheet1", 9},
        {"ClearCard", "ClearCard_CB", QT_TRANSLATE_NOOP("Rights", "Data-clear card"), "",
         "ClearCard_TS", 6},
        {"TimeCard", "TimeCard_CB", QT_TRANSLATE_NOOP("Rights", "Time card"), "", "TabSheet2", 0},
        {"LostCard", "LostCard_CB", QT_TRANSLATE_NOOP("Rights", "Terminate card"), "", "TabSheet11",
         8},
        {"EmergentCard", "EmergentCard_CB", QT_TRANSLATE_NOOP("Rights", "Emergence card"), "",
         "TabSheet10", 7},
        {"MasterCard", "MasterCard_CB", QT_TRANSLATE_NOOP("Rights", "Master card"), "", "TabSheet5",
         2},
        {"BuildingCard", "BuildingCard_CB", QT_TRANSLATE_NOOP("Rights", "Building card"), "",
         "TabSheet7", 4},
        {"FloorCard", "FloorCard_CB", QT_TRANSLATE_NOOP("Rights", "Floor card"), "", "TabSheet8",
         5},
        {"DistrictCard", "DistrictCard_CB", QT_TRANSLATE_NOOP("Rights", "Group card"), "",
         "TabSheet6", 3},
        // The settings, the operation log, and every command that copies or replaces the
        // whole database or points the program at another one.
        {"SystemInfo", "SystemInfo_CB", QT_TRANSLATE_NOOP("Rights", "Parameter setting"),
         "SystemSetting_Menu OperationLog_Menu DataBackup_Menu DataRecovery_Menu "
         "DatabaseConnecting_Menu",
         nullptr, -1},
        {"OperatorManage", "Operator_CB", QT_TRANSLATE_NOOP("Rights", "User entitling"),
         "OperatorManage_Menu", nullptr, -1},
        // "Read data card" follows this right only with an encoder of kind 3; the main
        // window applies that condition.
        {"DataCard", "DataCard_CB", QT_TRANSLATE_NOOP("Rights", "Data startup card"),
         "ReadDataCard_Menu", "TabSheet4", 1},
        {"RoomType", "RoomType_CB", QT_TRANSLATE_NOOP("Rights", "Room type"), "RoomType_Menu",
         nullptr, -1},
        {"RoomInfo", "RoomInfo_CB", QT_TRANSLATE_NOOP("Rights", "Room no. setting"),
         "RoomSetting_Menu", nullptr, -1},
        {"DistrictInfo", "DistrictInfo_CB", QT_TRANSLATE_NOOP("Rights", "Group setting"),
         "DistrictSetting_Menu", nullptr, -1},
    }};
    return rights;
}

const QStringList &OperatorRightColumns()
{
    static const QStringList columns = [] {
        QStringList c;
        for (const OperatorRight &r : OperatorRights())
            c.append(QString::fromLatin1(r.column));
        return c;
    }();
    return columns;
}

QStringList MainCommandsOf(const OperatorRight &right)
{
    return QString::fromLatin1(right.mainCommands).split(' ', Qt::SkipEmptyParts);
}

const OperatorRight *RightOfCardPage(int pageIndex)
{
    for (const OperatorRight &r : OperatorRights())
        if (r.cardPage && r.cardPageIndex == pageIndex)
            return &r;
    return nullptr;
}

const OperatorRight *RightOfCardPage(const QString &pageName)
{
    for (const OperatorRight &r : OperatorRights())
        if (r.cardPage && pageName == QLatin1String(r.cardPage))
            return &r;
    return nullptr;
}
