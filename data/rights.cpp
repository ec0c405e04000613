#include "rights.h"

const std::array<OperatorRight, kOperatorRightCount> &OperatorRights()
{
    static const std::array<OperatorRight, kOperatorRightCount> rights = {{
        {"CheckIn", "CheckIn_CB", "Check-in"},
        {"CheckOut", "CheckOut_CB", "Check-out"},
        {"PassageCard", "PassageCard_CB", "Passage card"},
        {"ClearCard", "ClearCard_CB", "Data-clear card"},
        {"TimeCard", "TimeCard_CB", "Time card"},
        {"LostCard", "LostCard_CB", "Terminate card"},
        {"EmergentCard", "EmergentCard_CB", "Emergence card"},
        {"MasterCard", "MasterCard_CB", "Master card"},
        {"BuildingCard", "BuildingCard_CB", "Building card"},
        {"FloorCard", "FloorCard_CB", "Floor card"},
        {"DistrictCard", "DistrictCard_CB", "Group card"},
        {"SystemInfo", "SystemInfo_CB", "Parameter setting"},
        {"OperatorManage", "Operator_CB", "User entitling"},
        {"DataCard", "DataCard_CB", "Data startup card"},
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
