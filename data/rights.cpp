#include "rights.h"

const std::array<OperatorRight, kOperatorRightCount> &OperatorRights()
{
    static const std::array<OperatorRight, kOperatorRightCount> rights = {{
        {"CheckIn", "CheckIn_CB", "Check-in"},
        {"CheckOut", "CheckOut_CB", "Check-out"},
        {"PassageCard", "PassageCard_CB", "Passage card", 9},
        {"ClearCard", "ClearCard_CB", "Data-clear card", 6},
        {"TimeCard", "TimeCard_CB", "Time card", 0},
        {"LostCard", "LostCard_CB", "Terminate card", 8},
        {"EmergentCard", "EmergentCard_CB", "Emergence card", 7},
        {"MasterCard", "MasterCard_CB", "Master card", 2},
        {"BuildingCard", "BuildingCard_CB", "Building card", 4},
        {"FloorCard", "FloorCard_CB", "Floor card", 5},
        {"DistrictCard", "DistrictCard_CB", "Group card", 3},
        {"SystemInfo", "SystemInfo_CB", "Parameter setting"},
        {"OperatorManage", "Operator_CB", "User entitling"},
        {"DataCard", "DataCard_CB", "Data startup card", 1},
        {"RoomType", "RoomType_CB", "Room type"},
        {"RoomInfo", "RoomInfo_CB", "Room no. setting"},
        {"DistrictInfo", "DistrictInfo_CB", "Group setting"},
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

const OperatorRight *RightOfCardPage(int page)
{
    for (const OperatorRight &r : OperatorRights())
        if (r.cardPage >= 0 && r.cardPage == page)
            return &r;
    return nullptr;
}
