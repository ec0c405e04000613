#pragma once
// The door log browser: lists the stored door openings of one room, deletes single
// openings and prints the list.
#include "data/dataset.h"
#include "ui/baseform.h"

#include <memory>

class QLabel;
class QueryGridModel;

namespace Ui {
class OpenDoorRecord_Form;
}

class TOpenDoorRecord_Form : public TBaseForm
{
    Q_OBJECT
public:
    explicit TOpenDoorRecord_Form(QWidget *parent = nullptr);
    ~TOpenDoorRecord_Form() override;

    // The listed openings; nothing is listed until "Ok" is pressed.
    LazyQuery ReadOpenDoorRecord_Ado;

    void Query_BtClick();
    void ClearRecord_BtClick();
    void Print_BtClick();
    void RoomList_BtClick();
    // The status line: the position in the list and the number of rows.
    void ReadOpenDoorRecord_AdoAfterScroll();

private:
    void openList();
    void selectRow(int row);

    std::unique_ptr<Ui::OpenDoorRecord_Form> ui;
    QueryGridModel *m_model;
    QList<QLabel *> m_panels;
    QString m_listedRoom;
    int m_count = 0;
};
