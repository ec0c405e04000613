#pragma once
// The room number setting form: lists the free room numbers of a floor, creates rooms with
// their door plates and room types, and edits door plates and room types in place.
#include "rooms.h"

#include "data/dataset.h"
#include "ui/baseform.h"

#include <QIcon>
#include <QList>

#include <memory>

class QueryGridModel;

namespace Ui {
class RoomInfo_Form;
}

class TRoomInfo_Form : public TBaseForm
{
    Q_OBJECT
public:
    explicit TRoomInfo_Form(QWidget *parent = nullptr);
    ~TRoomInfo_Form() override;

    // Every room, by building, floor and lock code.
    Query RoomInfo_ado;
    // The picture of every listed free number.
    QList<QIcon> Room_ImageList;

    // A building, floor or room number as exactly two digits; empty text after telling the
    // operator why it is not one.
    QString FormatStrTo2Digits(const QString &text);
    // Lists the free room numbers of the floor in the building and floor boxes.
    void GenRoomNumber();

private:
    void RoomInfo_LVDblClick();
    void Ok_BtClick();
    void Delete_BtClick();
    void RoomInfo_DbgCellClick();
    void Building_EditChange();
    // A row began to be entered or edited.
    void RoomInfo_DsStateChange();

    // Drops the row being entered or edited and goes back to choosing.
    void CancelEntry();
    // Back to choosing: the free numbers listed again (while both boxes hold text), the
    // boxes and the list enabled, "Confirm" disabled.
    void ToChoosing();
    void Reopen(qint64 currentId = -1);
    void SetChoosingEnabled(bool enabled);

    std::unique_ptr<Ui::RoomInfo_Form> ui;
    QueryGridModel *m_model;
    // The building and floor texts the free numbers were listed for, and the room a
    // double-click took from them.
    QString m_listedBuilding, m_listedFloor;
    NewRoom m_newRoom;
};
