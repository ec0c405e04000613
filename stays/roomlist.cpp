#include "roomlist.h"

#include "roomlistform.h"

#include "data/sqltext.h"

#include <QLineEdit>

#include <memory>

QStringList FindRoomListLines(const std::optional<QString> &building,
                              const std::optional<QString> &floor, RoomStatus status)
{
    QStringList lines;
    // Of the open stay only what tells an occupied room: the list shows nothing else of it.
    lines << QStringLiteral("Select I.*,G.GuestInTime from")
          << QStringLiteral("(Select I.Room,I.RoomStr,I.Buiding,I.Floor,I.District,")
          << QStringLiteral("S.State_Title as RoomState")
          << QStringLiteral("from RoomInfo I,RoomStateType S")
          << QStringLiteral("Where I.RoomState=S.ID");
    if (building)
        lines << QStringLiteral("And ") + EqualsEntry(QStringLiteral("I.Buiding"), *building);
    if (floor)
        lines << QStringLiteral("And ") + EqualsEntry(QStringLiteral("I.Floor"), *floor);
    lines << QStringLiteral(") I left join ") << QStringLiteral("(select * from GuestInRecord")
          << QStringLiteral("where enOverride=0) G") << QStringLiteral("On I.Room=G.Room");
    if (status == RoomStatus::NoBooked)
        lines << QStringLiteral("Where G.GuestInTime is Null");
    else if (status == RoomStatus::Booked)
        lines << QStringLiteral("Where G.GuestInTime is not Null");
    lines << QStringLiteral("ORDER BY Buiding,Floor,I.ROOM");
    return lines;
}

QStringList PickRooms(QWidget *parent)
{
    std::unique_ptr<TRoomList_Form> form(new TRoomList_Form(parent));
    if (form->exec() != QDialog::Accepted)
        return {};
    return form->SelectedRoomStrs();
}

bool PickRoom(QWidget *parent, const std::function<void(const QString &)> &setRoom)
{
    const QStringList rooms = PickRooms(parent);
    if (rooms.isEmpty())
        return false;
    setRoom(rooms.last());
    return true;
}

bool PickRoom(QWidget *parent, QLineEdit *roomField)
{
    return PickRoom(parent, [roomField](const QString &room) { roomField->setText(room); });
}
