#include "opendoorrecordform.h"

#include "cards/bookkeeping.h"
#include "data/dm.h"
#include "data/settings.h"
#include "opendoorrecords.h"
#include "reportlibrary.h"
#include "statuspanels.h"
#include "stays/roomlist.h"
#include "ui/errorguard.h"
#include "ui/querygridmodel.h"
#include "ui_opendoorrecordform.h"

#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>

TOpenDoorRecord_Form::TOpenDoorRecord_Form(QWidget *parent)
    : TBaseForm(parent), ReadOpenDoorRecord_Ado(dm->conn),
      ui(std::make_unique<Ui::OpenDoorRecord_Form>())
{
    ui->setupUi(this);
    m_model = new QueryGridModel(ReadOpenDoorRecord_Ado,
                                 {{QStringLiteral("CardTypeStr"), tr("Card type")},
                                  {QStringLiteral("Rom"), tr("Card no.")},
                                  {QStringLiteral("CardHolderStr"), tr("Card holder")},
                                  {QStringLiteral("OpenTime"), tr("Opening time")},
                                  {QStringLiteral("MakeName"), tr("user")}},
                                 this);
    m_model->setFreeText({QStringLiteral("CardHolderStr"), QStringLiteral("MakeName")});
    // The fixed columns are as wide as their widest text (measuring them over the rows at
    // every listing costs more than the listing's statements): the widest key kind, a card
    // number of eight hexadecimal digits, a time as stored.
    m_model->setWidthSample(QStringLiteral("CardTypeStr"),
                            WidestText(ui->OpenDoorRecord_DBGrid, KeyKindTexts()));
    m_model->setWidthSample(QStringLiteral("Rom"), QStringLiteral("DDDDDDDD"));
    m_model->setWidthSample(QStringLiteral("OpenTime"), QStringLiteral("0000-00-00 00:00:00"));
    ui->OpenDoorRecord_DBGrid->setModel(m_model);
    ui->OpenDoorRecord_DBGrid->horizontalHeader()->setStretchLastSection(true);
    ui->OpenDoorRecord_DBGrid->verticalHeader()->setDefaultSectionSize(
        ui->OpenDoorRecord_DBGrid->fontMetrics().height() + 6);
    m_model->ApplyColumns(ui->OpenDoorRecord_DBGrid);
    m_panels = AddStatusPanels(this, ui->Main_Layout, {200, 0});

    connect(ui->Query_Bt, &QPushButton::clicked, this, Guarded([this] { Query_BtClick(); }));
    connect(ui->Room_Edit, &QLineEdit::returnPressed, this, Guarded([this] { Query_BtClick(); }));
    connect(ui->BitBtn1, &QPushButton::clicked, this, Guarded([this] { ClearRecord_BtClick(); }));
    connect(ui->Print_Bt, &QPushButton::clicked, this, Guarded([this] { Print_BtClick(); }));
    connect(ui->RoomList_Bt, &QPushButton::clicked, this, Guarded([this] { RoomList_BtClick(); }));
    connect(ui->BitBtn3, &QPushButton::clicked, this, &QDialog::reject);
    connect(ui->OpenDoorRecord_DBGrid->selectionModel(), &QItemSelectionModel::currentRowChanged,
            this, Guarded([this] { ReadOpenDoorRecord_AdoAfterScroll(); }));
}

TOpenDoorRecord_Form::~TOpenDoorRecord_Form()
{
    // The model reads the query's rows: it goes before the query does.
    delete m_model;
}

void TOpenDoorRecord_Form::openList()
{
    ReadOpenDoorRecord_Ado.Close();
    m_count = 0;
    Query count(dm->conn);
    count.SQL = OpenDoorRecordCountLines(m_listedRoom);
    count.Open();
    m_count = count.Field(0).toInt();
    ReadOpenDoorRecord_Ado.SQL = OpenDoorRecordListLines(m_listedRoom);
    ReadOpenDoorRecord_Ado.Open();
}

void TOpenDoorRecord_Form::selectRow(int row)
{
    auto *grid = ui->OpenDoorRecord_DBGrid;
    while (row >= m_model->rowCount() && m_model->canFetchMore(QModelIndex()))
        m_model->fetchMore(QModelIndex());
    row = std::min(row, m_model->rowCount() - 1);
    if (row >= 0)
        grid->selectRow(row);
    ReadOpenDoorRecord_AdoAfterScroll();
}

void TOpenDoorRecord_Form::Query_BtClick()
{
    m_listedRoom = ui->Room_Edit->text();
    m_model->Reload([this] { openList(); });
    selectRow(0);
}

void TOpenDoorRecord_Form::ClearRecord_BtClick()
{
    if (!ReadOpenDoorRecord_Ado.Active())
        return;
    const QModelIndex current = ui->OpenDoorRecord_DBGrid->currentIndex();
    if (!current.isValid())
        return;
    const int row = current.row();
    const qint64 id = m_model->value(row, QStringLiteral("ID")).toLongLong();
    // The list's statement is closed before the row goes and listed again afterwards.
    m_model->Reload([this, id] {
        ReadOpenDoorRecord_Ado.Close();
        try {
            DeleteOpenDoorRecord(dm->conn, id);
        } catch (...) {
            openList();
            throw;
        }
        openList();
    });
    selectRow(row);
}

void TOpenDoorRecord_Form::Print_BtClick()
{
    m_model->setProperty("HotelName", LockSystemInfo.HotelName);
    m_model->setProperty("RoomStr", m_listedRoom);
    PrintReport(this, m_model, ReportKind::OpenDoorRecords);
}

void TOpenDoorRecord_Form::RoomList_BtClick()
{
    PickRoom(this, ui->Room_Edit);
}

void TOpenDoorRecord_Form::ReadOpenDoorRecord_AdoAfterScroll()
{
    const QModelIndex current = ui->OpenDoorRecord_DBGrid->currentIndex();
    const int position = current.isValid() ? current.row() + 1 : 0;
    m_panels[0]->setText(QStringLiteral("   %1 / %2").arg(position).arg(m_count));
}
