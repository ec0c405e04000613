#include "roomtypeform.h"

#include "roomtypes.h"
#include "ui_roomtypeform.h"

#include "data/dm.h"
#include "ui/errorguard.h"
#include "ui/querygridmodel.h"

#include <QScopeGuard>

#include <algorithm>

TRoomType_Form::TRoomType_Form(QWidget *parent)
    : TBaseForm(parent), ui(std::make_unique<Ui::RoomType_Form>())
{
    ui->setupUi(this);
    Table &roomTypes = dm->RoomType_ado;
    m_model = new QueryGridModel(roomTypes,
                                 {{QStringLiteral("Title"), tr("Room Type")},
                                  {QStringLiteral("Size"), tr("Qty")},
                                  {QStringLiteral("Piece"), tr("Rate")}},
                                 this);
    m_model->Reload([&roomTypes] {
        if (!roomTypes.Active())
            roomTypes.Open();
    });
    ui->RoomType_DBGrid->setModel(m_model);
    m_model->ApplyColumns(ui->RoomType_DBGrid);
    selectRow(0);

    connect(ui->Add_Bt, &QPushButton::clicked, this, Guarded([this] { Add_BtClick(); }));
    connect(ui->Edit_Bt, &QPushButton::clicked, this, Guarded([this] { Edit_BtClick(); }));
    connect(ui->Save_Bt, &QPushButton::clicked, this, Guarded([this] { Save_BtClick(); }));
    connect(ui->Delete_Bt, &QPushButton::clicked, this, Guarded([this] { Delete_BtClick(); }));
    connect(ui->RoomType_DBGrid, &QAbstractItemView::clicked, this,
            Guarded([this] { RoomType_DBGridCellClick(); }));
    connect(ui->RoomType_Edit, &QLineEdit::textChanged, this,
            Guarded([this] { RoomType_EditChange(); }));
}

TRoomType_Form::~TRoomType_Form()
{
    // The model reads the table's rows; it goes first.
    delete m_model;
}

int TRoomType_Form::currentRow() const
{
    if (m_model->rowCount() == 0)
        return -1;
    const QModelIndex current = ui->RoomType_DBGrid->currentIndex();
    return current.isValid() ? current.row() : 0;
}

void TRoomType_Form::selectRow(int row)
{
    if (m_model->rowCount() == 0)
        return;
    row = std::clamp(row, 0, m_model->rowCount() - 1);
    ui->RoomType_DBGrid->setCurrentIndex(m_model->index(row, 0));
}

void TRoomType_Form::setBoxesEnabled(bool enabled)
{
    ui->RoomType_Edit->setEnabled(enabled);
    ui->MaxCounts_Edit->setEnabled(enabled);
    ui->Price_Edit->setEnabled(enabled);
}

void TRoomType_Form::RoomType_DBGridCellClick()
{
    ui->Save_Bt->setEnabled(false);
    ui->Add_Bt->setEnabled(true);
    ui->Delete_Bt->setEnabled(true);
    ui->Edit_Bt->setEnabled(m_model->rowCount() > 0);
}

void TRoomType_Form::RoomType_EditChange()
{
    ui->Save_Bt->setEnabled(!ui->RoomType_Edit->text().isEmpty());
}

void TRoomType_Form::Add_BtClick()
{
    ui->Save_Bt->setEnabled(true);
    ui->Add_Bt->setEnabled(false);
    ui->Delete_Bt->setEnabled(false);
    ui->Edit_Bt->setEnabled(false);
    m_mode = Mode::Add;
    m_editId = -1;
    setBoxesEnabled(true);
    ui->RoomType_Edit->setFocus();
    RoomType_EditChange();
}

void TRoomType_Form::Edit_BtClick()
{
    const int row = currentRow();
    if (row < 0)
        return;
    m_editId = m_model->value(row, QStringLiteral("ID")).toLongLong();
    ui->RoomType_Edit->setText(m_model->value(row, QStringLiteral("Title")).toString());
    ui->MaxCounts_Edit->setText(m_model->value(row, QStringLiteral("Size")).toString());
    ui->Price_Edit->setText(m_model->value(row, QStringLiteral("Piece")).toString());
    ui->Save_Bt->setEnabled(true);
    ui->Add_Bt->setEnabled(false);
    ui->Delete_Bt->setEnabled(false);
    setBoxesEnabled(true);
    m_mode = Mode::Edit;
    ui->RoomType_Edit->setFocus();
}

void TRoomType_Form::Save_BtClick()
{
    if (m_mode == Mode::None)
        return;
    Table &roomTypes = dm->RoomType_ado;
    const QString title = ui->RoomType_Edit->text();
    const QString size = ui->MaxCounts_Edit->text();
    const QString rate = ui->Price_Edit->text();
    const int before = currentRow();
    qint64 storedId = -1;
    {
        // The grid's current row: the stored row, else where it was (also after an error).
        auto reselect = qScopeGuard([&] {
            const int row = RoomTypeRow(roomTypes, storedId);
            selectRow(row >= 0 ? row : before);
        });
        m_model->Reload([&] {
            if (m_mode == Mode::Add)
                storedId = AddRoomType(roomTypes, title, size, rate);
            else if (UpdateRoomType(roomTypes, m_editId, title, size, rate))
                storedId = m_editId;
        });
    }
    if (storedId < 0)
        return; // refused: the row is still being entered
    ui->RoomType_Edit->setFocus();
    ui->Save_Bt->setEnabled(false);
    ui->Add_Bt->setEnabled(true);
    ui->Delete_Bt->setEnabled(false);
    ui->RoomType_Edit->clear();
    ui->MaxCounts_Edit->clear();
    ui->Price_Edit->clear();
    setBoxesEnabled(false);
    m_mode = Mode::None;
    m_editId = -1;
}

void TRoomType_Form::Delete_BtClick()
{
    const int row = currentRow();
    if (row < 0)
        return;
    const qint64 id = m_model->value(row, QStringLiteral("ID")).toLongLong();
    m_model->Reload([id] { DeleteRoomType(dm->RoomType_ado, id); });
    selectRow(row);
}
