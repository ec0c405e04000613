#pragma once
// The room type form: adds, edits and deletes the rows of RoomType through the data
// module's room type table.
#include "ui/baseform.h"

#include <memory>

class QueryGridModel;

namespace Ui {
class RoomType_Form;
}

class TRoomType_Form : public TBaseForm
{
    Q_OBJECT
public:
    explicit TRoomType_Form(QWidget *parent = nullptr);
    ~TRoomType_Form() override;

private:
    enum class Mode { None, Add, Edit };

    void Add_BtClick();
    void Edit_BtClick();
    void Save_BtClick();
    void Delete_BtClick();
    void RoomType_DBGridCellClick();
    void RoomType_EditChange();

    // The grid's current row, or -1 when the grid is empty.
    int currentRow() const;
    void selectRow(int row);
    void setBoxesEnabled(bool enabled);

    std::unique_ptr<Ui::RoomType_Form> ui;
    QueryGridModel *m_model;
    Mode m_mode = Mode::None;
    // The room type being edited: Save stores into this row whichever row is current.
    qint64 m_editId = -1;
};
