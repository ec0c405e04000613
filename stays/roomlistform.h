#pragma once
// The room list: the hotel's rooms by building, floor and occupancy. Opened from the main
// window it is a report; opened through PickRoom it is the room picker.
#include "ui/baseform.h"
#include "data/dataset.h"
#include "roomlist.h"

#include <memory>

class QButtonGroup;
class QLabel;
class QStatusBar;
class RoomListModel;

namespace Ui {
class RoomList_Form;
}

class TRoomList_Form : public TBaseForm
{
    Q_OBJECT
public:
    explicit TRoomList_Form(QWidget *parent = nullptr);
    ~TRoomList_Form() override;

    // The room list query: re-run only on opening and by "Check(&Q)".
    Query RoomInfo_ado;

    // Runs the room list query for the current building, floor and status choices.
    void FindRoomList();
    // The status choice as the index of its radio button.
    RoomStatus StatusChoice() const;
    // The door plates of the selected rows, in list order.
    QStringList SelectedRoomStrs() const;

private slots:
    void Query_BtClick();
    void RoomInfo_DBGridDblClick();
    void RecordMoved();

private:
    std::unique_ptr<Ui::RoomList_Form> ui;
    RoomListModel *m_model;
    QButtonGroup *m_status;
    QStatusBar *StatusBar1;
    QLabel *m_panel0;
};
