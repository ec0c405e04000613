#include "roomlistform.h"

#include "roomgrid.h"
#include "ui_roomlistform.h"

#include "data/dm.h"
#include "ui/errorguard.h"

#include <QButtonGroup>
#include <QHeaderView>
#include <QLabel>
#include <QScopeGuard>
#include <QStatusBar>

#include <algorithm>

namespace {

// A filter entry, or nullopt when the last ("all") entry or nothing is selected.
std::optional<QString> ChosenEntry(const QComboBox *box)
{
    const int index = box->currentIndex();
    if (index < 0 || index >= box->count() - 1)
        return std::nullopt;
    return box->itemText(index);
}

void FillChoice(QComboBox *box, int kind, const QString &allEntry)
{
    QStringList items;
    dm->GetDataTypeItems(kind, items, QString());
    items.append(allEntry);
    box->clear();
    box->addItems(items);
    box->setCurrentIndex(box->count() - 1);
}

} // namespace

TRoomList_Form::TRoomList_Form(QWidget *parent)
    : TBaseForm(parent), RoomInfo_ado(dm->conn), ui(std::make_unique<Ui::RoomList_Form>())
{
    ui->setupUi(this);
    m_model = new RoomListModel(RoomInfo_ado, this);
    ui->RoomInfo_DBGrid->setModel(m_model);

    m_status = new QButtonGroup(this);
    m_status->addButton(ui->NoBooked_RB, int(RoomStatus::NoBooked));
    m_status->addButton(ui->AllGuest_RB, int(RoomStatus::AllGuest));
    m_status->addButton(ui->Booked_RB, int(RoomStatus::Booked));

    StatusBar1 = new QStatusBar(this);
    StatusBar1->setObjectName(QStringLiteral("StatusBar1"));
    StatusBar1->setSizeGripEnabled(false);
    m_panel0 = new QLabel(StatusBar1);
    m_panel0->setObjectName(QStringLiteral("StatusBar1_Panel0"));
    m_panel0->setTextFormat(Qt::PlainText);
    StatusBar1->addWidget(m_panel0, 1);
    ui->Main_Layout->addWidget(StatusBar1);

    connect(ui->Query_Bt, &QPushButton::clicked, this, Guarded([this] { Query_BtClick(); }));
    connect(ui->Confirm_Bt, &QPushButton::clicked, this, &QDialog::accept);
    connect(ui->Close_Bt, &QPushButton::clicked, this, &QDialog::reject);
    connect(ui->RoomInfo_DBGrid, &QAbstractItemView::doubleClicked, this,
            Guarded([this] { RoomInfo_DBGridDblClick(); }));
    connect(ui->RoomInfo_DBGrid->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            Guarded([this] { RecordMoved(); }));

    FillChoice(ui->Buiding_CB, 4, tr("All Building"));
    FillChoice(ui->Floor_CB, 5, tr("Ad  Floor"));
    FindRoomList();
}

TRoomList_Form::~TRoomList_Form()
{
    // The model reads the query's rows: it goes before the query does.
    delete m_model;
}

RoomStatus TRoomList_Form::StatusChoice() const
{
    return RoomStatus(m_status->checkedId());
}

void TRoomList_Form::FindRoomList()
{
    RoomInfo_ado.Clear();
    RoomInfo_ado.SQL =
        FindRoomListLines(ChosenEntry(ui->Buiding_CB), ChosenEntry(ui->Floor_CB), StatusChoice());
    // The grid shows the rows the query holds: none when opening fails.
    m_model->beginResetModel();
    auto reset = qScopeGuard([this] {
        m_model->endResetModel();
        auto *grid = ui->RoomInfo_DBGrid;
        if (m_model->rowCount() > 0)
            grid->selectionModel()->setCurrentIndex(m_model->index(0, 0),
                                                    QItemSelectionModel::NoUpdate);
        RecordMoved();
    });
    RoomInfo_ado.Open();
}

QStringList TRoomList_Form::SelectedRoomStrs() const
{
    QList<int> rows;
    for (const QModelIndex &index : ui->RoomInfo_DBGrid->selectionModel()->selectedRows())
        rows.append(index.row());
    std::sort(rows.begin(), rows.end());
    QStringList rooms;
    for (int row : rows)
        rooms.append(m_model->value(row, QStringLiteral("RoomStr")).toString());
    return rooms;
}

void TRoomList_Form::Query_BtClick()
{
    FindRoomList();
}

void TRoomList_Form::RoomInfo_DBGridDblClick()
{
    accept();
}

void TRoomList_Form::RecordMoved()
{
    const QModelIndex current = ui->RoomInfo_DBGrid->currentIndex();
    const int row = current.isValid() ? current.row() : -1;
    ui->DBText1->setText(m_model->value(row, QStringLiteral("RoomStr")).toString());
    ui->DBText2->setText(m_model->value(row, QStringLiteral("Buiding")).toString());
    ui->DBText3->setText(m_model->value(row, QStringLiteral("Floor")).toString());
    m_panel0->setText(tr("Record:%1 / %2").arg(row + 1).arg(m_model->rowCount()));
}
