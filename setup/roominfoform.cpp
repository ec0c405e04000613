#include "roominfoform.h"

#include "ui_roominfoform.h"

#include "cards/bookkeeping.h"
#include "data/appdir.h"
#include "data/dm.h"
#include "data/errors.h"
#include "ui/dialogs.h"
#include "ui/errorguard.h"
#include "ui/gridcelldelegate.h"
#include "ui/querygridmodel.h"
#include "ui/roomicon.h"

#include <QCoreApplication>

namespace {

const QString kRoomStr = QStringLiteral("RoomStr");
const QString kRoomTypeStr = QStringLiteral("RoomTypeStr");

QStringList RoomInfoLines()
{
    return {QStringLiteral("Select "), QStringLiteral("* "),
            QStringLiteral("From RoomInfo ORDER BY Buiding,Floor,Room")};
}

// A room with a guest keeps its door plate and lock address: its stay, its cards and the
// check-out are found by them.
QString HasGuestText(const QString &doorPlate)
{
    return QCoreApplication::translate("TRoomInfo_Form",
                                       "Room %1 has a guest staying. Check the guest out "
                                       "first; nothing was changed.")
        .arg(doorPlate);
}

} // namespace

TRoomInfo_Form::TRoomInfo_Form(QWidget *parent)
    : TBaseForm(parent), RoomInfo_ado(dm->conn), ui(std::make_unique<Ui::RoomInfo_Form>())
{
    ui->setupUi(this);
    if (!dm->RoomState_ado.Active())
        dm->RoomState_ado.Open();
    if (!dm->RoomType_ado.Active())
        dm->RoomType_ado.Open();

    const QIcon normal =
        RoomIconFromBitmap(ProgramPath(QStringLiteral("pic/build/Normal.bmp")), 32);
    Room_ImageList.append(normal.isNull() ? windowIcon() : normal);

    // The room type column's pick list: every room type title, in table order.
    QStringList titles;
    dm->GetDataTypeItems(1, titles, QString());

    RoomInfo_ado.SQL = RoomInfoLines();
    m_model = new QueryGridModel(RoomInfo_ado,
                                 {{QStringLiteral("SystemRoomStr"), tr("System Room No.")},
                                  {kRoomStr, tr("Doorplate No."), true, true},
                                  {kRoomTypeStr, tr("Room Type"), true, true, titles}},
                                 this);
    auto *grid = ui->RoomInfo_Dbg;
    grid->setModel(m_model);
    auto *delegate = new GridCellDelegate(grid);
    grid->setItemDelegate(delegate);
    grid->setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed |
                          QAbstractItemView::AnyKeyPressed | QAbstractItemView::SelectedClicked);
    m_model->ApplyColumns(grid);
    Reopen();

    connect(ui->Building_Edit, &QLineEdit::textChanged, this,
            Guarded([this] { Building_EditChange(); }));
    connect(ui->Floor_Edit, &QLineEdit::textChanged, this,
            Guarded([this] { Building_EditChange(); }));
    connect(ui->GenRoomNumber_Bt, &QPushButton::clicked, this,
            Guarded([this] { GenRoomNumber(); }));
    connect(ui->RoomInfo_LV, &QListWidget::itemDoubleClicked, this,
            Guarded([this] { RoomInfo_LVDblClick(); }));
    connect(ui->Ok_Bt, &QPushButton::clicked, this, Guarded([this] { Ok_BtClick(); }));
    connect(ui->Delete_Bt, &QPushButton::clicked, this, Guarded([this] { Delete_BtClick(); }));
    connect(ui->Exit_Bt, &QPushButton::clicked, this, &QDialog::reject);
    connect(grid, &QAbstractItemView::clicked, this, Guarded([this] { RoomInfo_DbgCellClick(); }));
    connect(m_model, &QueryGridModel::editStarted, this,
            Guarded([this] { RoomInfo_DsStateChange(); }));
    // An editor opened on a cell begins the edit: "Confirm" stores what it holds.
    connect(delegate, &GridCellDelegate::editorOpened, this,
            Guarded([this] { RoomInfo_DsStateChange(); }));
}

TRoomInfo_Form::~TRoomInfo_Form()
{
    // The model reads the query's rows; it goes first (a row being entered goes with it).
    delete m_model;
}

void TRoomInfo_Form::Reopen(qint64 currentId)
{
    const QModelIndex current = ui->RoomInfo_Dbg->currentIndex();
    m_model->Reload([this] { RoomInfo_ado.Open(); });
    if (m_model->rowCount() == 0)
        return;
    int row = current.isValid() ? std::min(current.row(), m_model->rowCount() - 1) : 0;
    for (int r = 0; currentId >= 0 && r < m_model->rowCount(); ++r)
        if (m_model->value(r, QStringLiteral("ID")).toLongLong() == currentId)
            row = r;
    ui->RoomInfo_Dbg->setCurrentIndex(
        m_model->index(row, current.isValid() ? current.column() : 0));
}

QString TRoomInfo_Form::FormatStrTo2Digits(const QString &text)
{
    switch (CheckAddressNumber(text)) {
    case AddressNumberCheck::NotInteger:
        ShowMessage(tr("Please input Integer!"));
        ui->Building_Edit->setFocus();
        return QString();
    case AddressNumberCheck::NotPositive:
        ShowMessage(tr("Building no. or floor no. can not be 0!"));
        ui->Building_Edit->setFocus();
        return QString();
    case AddressNumberCheck::Ok:
        break;
    }
    return text.size() < 2 ? QStringLiteral("0") + text : text;
}

void TRoomInfo_Form::Building_EditChange()
{
    ui->GenRoomNumber_Bt->setEnabled(!ui->Building_Edit->text().isEmpty() &&
                                     !ui->Floor_Edit->text().isEmpty());
}

void TRoomInfo_Form::GenRoomNumber()
{
    const QString buildingText = ui->Building_Edit->text();
    const QString floorText = ui->Floor_Edit->text();
    const QString building = FormatStrTo2Digits(buildingText);
    if (building.isEmpty())
        return;
    const QString floor = FormatStrTo2Digits(floorText);
    if (floor.isEmpty())
        return;
    ui->RoomInfo_LV->clear();
    for (int number : FreeRoomNumbers(dm->conn, building.toInt(), floor.toInt())) {
        auto *item = new QListWidgetItem(Room_ImageList.value(0),
                                         QStringLiteral("%1").arg(number, 2, 10, QChar('0')));
        item->setData(Qt::UserRole, number);
        ui->RoomInfo_LV->addItem(item);
    }
    m_listedBuilding = buildingText;
    m_listedFloor = floorText;
    ui->GenRoomNumber_Bt->setEnabled(false);
}

void TRoomInfo_Form::SetChoosingEnabled(bool enabled)
{
    ui->RoomInfo_LV->setEnabled(enabled);
    ui->Building_Edit->setEnabled(enabled);
    ui->Floor_Edit->setEnabled(enabled);
}

void TRoomInfo_Form::RoomInfo_LVDblClick()
{
    const QList<QListWidgetItem *> selected = ui->RoomInfo_LV->selectedItems();
    if (!selected.isEmpty()) {
        QListWidgetItem *item = selected.first();
        // The room is taken from the floor the numbers were listed for, whatever the boxes
        // hold by now.
        m_newRoom = MakeNewRoom(m_listedBuilding, m_listedFloor, item->data(Qt::UserRole).toInt());
        m_model->setColumnEditable(kRoomStr, true);
        const int row =
            m_model->AppendRow({{QStringLiteral("SystemRoomStr"), m_newRoom.systemRoomStr},
                                {QStringLiteral("Buiding"), m_newRoom.building},
                                {QStringLiteral("Floor"), m_newRoom.floor},
                                {QStringLiteral("RoomNumber"), m_newRoom.number},
                                {QStringLiteral("Room"), m_newRoom.room}});
        delete item;
        const QModelIndex plate = m_model->index(row, m_model->columnOf(kRoomStr));
        ui->RoomInfo_Dbg->scrollTo(plate);
        ui->RoomInfo_Dbg->setCurrentIndex(plate);
        ui->RoomInfo_Dbg->setFocus();
    }
    SetChoosingEnabled(false);
    ui->Delete_Bt->setEnabled(false);
    ui->Ok_Bt->setEnabled(true);
}

void TRoomInfo_Form::RoomInfo_DsStateChange()
{
    SetChoosingEnabled(false);
    ui->Ok_Bt->setEnabled(true);
    ui->Delete_Bt->setEnabled(false);
}

void TRoomInfo_Form::RoomInfo_DbgCellClick()
{
    ui->Delete_Bt->setEnabled(m_model->editRow() < 0);
}

void TRoomInfo_Form::ToChoosing()
{
    // After an in-place edit the boxes may be empty: then there is nothing to list.
    if (!ui->Building_Edit->text().isEmpty() && !ui->Floor_Edit->text().isEmpty())
        GenRoomNumber();
    SetChoosingEnabled(true);
    ui->Ok_Bt->setEnabled(false);
}

void TRoomInfo_Form::CancelEntry()
{
    m_model->CancelEdits();
    ToChoosing();
}

void TRoomInfo_Form::Ok_BtClick()
{
    // An editor still open hands its text to the row first.
    ui->Ok_Bt->setFocus();
    const int row = m_model->editRow();
    if (row < 0) {
        ToChoosing();
        return;
    }
    const QString plate = m_model->value(row, kRoomStr).toString().trimmed();
    RoomStore stored;
    try {
        if (m_model->editingNewRow())
            stored =
                AddRoom(dm->conn, m_newRoom, plate, m_model->value(row, kRoomTypeStr).toString());
        else
            stored = UpdateRoom(dm->conn, m_model->value(row, QStringLiteral("ID")).toLongLong(),
                                m_model->edits());
    } catch (const DbError &e) {
        CancelEntry();
        ShowTopLevelError(e.text());
        return;
    }
    switch (stored.refusal) {
    case RoomRefusal::None:
        break;
    case RoomRefusal::NoDoorPlate:
        ShowMessage(tr("you must enter doorplate no."));
        CancelEntry();
        return;
    case RoomRefusal::DoorPlateTaken:
        ShowMessage(tr("Doorplate %1has exist!").arg(plate));
        CancelEntry();
        return;
    case RoomRefusal::LockCodeTaken:
        ShowMessage(tr("Lock code %1 is already used by doorplate %2!")
                        .arg(m_newRoom.room)
                        .arg(stored.otherDoorPlate));
        CancelEntry();
        return;
    case RoomRefusal::HasGuest:
        ShowMessage(HasGuestText(stored.otherDoorPlate));
        CancelEntry();
        return;
    }
    m_model->setColumnEditable(kRoomStr, false);
    Reopen(stored.id);
    RoomBoardDirty = true;
    ToChoosing();
}

void TRoomInfo_Form::Delete_BtClick()
{
    if (m_model->editRow() >= 0 || RoomInfo_ado.IsEmpty())
        return;
    const QModelIndex current = ui->RoomInfo_Dbg->currentIndex();
    const int row = current.isValid() ? current.row() : 0;
    const RoomStore deleted =
        DeleteRoom(dm->conn, m_model->value(row, QStringLiteral("ID")).toLongLong());
    if (deleted.refusal == RoomRefusal::HasGuest) {
        ShowMessage(HasGuestText(deleted.otherDoorPlate));
        return;
    }
    Reopen();
    RoomBoardDirty = true;
}
