#include "dm.h"

#include "notice.h"
#include "settings.h"
#include "sqltext.h"

Tdm *dm = nullptr;

Tdm::Tdm()
    : other_adoq(conn), RoomType_ado(conn, QStringLiteral("RoomType")),
      Operator_ado(conn, QStringLiteral("Operator")),
      MakeCardRecord_ado(conn, QStringLiteral("MakeCardRecord")),
      RoomState_ado(conn, QStringLiteral("RoomStateType")),
      Groups_ado(conn, QStringLiteral("Groups"))
{
    // A room type needs a name: an empty one is refused before it is stored.
    RoomType_ado.BeforePost = [](const FieldValues &values) {
        for (const auto &field : values) {
            if (field.first.compare(QStringLiteral("Title"), Qt::CaseInsensitive) == 0 &&
                !field.second.isNull() && !field.second.toString().isEmpty())
                return true;
        }
        ShowNotice(QStringLiteral("请输入房号！"), QString(), NoticeIcon::Error);
        return false;
    };
}

int Tdm::GetDataTypeItems(int kind, QStringList &items, const QString &current)
{
    static const char *const statements[] = {
        "select ID from Operator",
        "select Title from RoomType",
        "select C_Title from CardType",
        "select C_Title from CardType",
        "select DISTINCT Buiding from RoomInfo",
        "select DISTINCT Floor from RoomInfo",
        "select DISTINCT DistrictNumber from District",
    };
    if (kind < 0 || kind > 6)
        return -1;
    Query q(conn);
    q.Add(QString::fromLatin1(statements[kind]));
    q.Open();
    items.clear();
    int found = -1;
    for (const auto &row : q.rows()) {
        items.append(row.value(0).toString());
        if (found < 0 && items.last() == current)
            found = items.size();
    }
    return found;
}

bool LoggedOnOperatorHas(const QString &rightColumn)
{
    Table &op = dm->Operator_ado;
    op.Filter = QStringLiteral("Staffer=") + QuotedStr(LockSystemInfo.Staffer);
    op.Filtered = true;
    op.Open();
    const bool holds = !op.IsEmpty() && op.AsBoolean(rightColumn);
    op.Filtered = false;
    op.Close();
    return holds;
}
