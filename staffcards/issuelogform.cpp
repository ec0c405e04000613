#include "issuelogform.h"

#include "data/clock.h"
#include "data/dm.h"
#include "data/settings.h"
#include "reportlibrary.h"
#include "statuspanels.h"
#include "ui/dialogs.h"
#include "ui/errorguard.h"
#include "ui/querygridmodel.h"
#include "ui_issuelogform.h"

#include <QCoreApplication>
#include <QHeaderView>
#include <QLabel>
#include <QLocale>

TMC_R_From::TMC_R_From(QWidget *parent)
    : TBaseForm(parent), MC_S_ADO(dm->conn), ui(std::make_unique<Ui::MC_R_From>())
{
    ui->setupUi(this);
    m_model = new QueryGridModel(MC_S_ADO.Rows,
                                 {{QStringLiteral("C_Title"), tr("Card type")},
                                  {QStringLiteral("Holder"), tr("Card holder")},
                                  {QStringLiteral("MakeName"), tr("User")},
                                  {QStringLiteral("RoomStr"), tr("Room no.")},
                                  {QStringLiteral("InputTime"), tr("Issue time")},
                                  {QStringLiteral("EndTime"), tr("End time")},
                                  {QStringLiteral("Rom"), QStringLiteral("Rom"), false},
                                  {QStringLiteral("StartTime"), QStringLiteral("StartTime"), false},
                                  {QStringLiteral("Explain"), QStringLiteral("Explain"), false}},
                                 this);
    m_model->setFreeText(
        {QStringLiteral("Holder"), QStringLiteral("MakeName"), QStringLiteral("Explain")});
    auto *grid = ui->DBGrid1;
    // The fixed columns are as wide as their widest text: the longest card type title, a
    // door plate, a time as stored.
    QStringList items = MC_S_ADO.CardTypes().Titles;
    m_model->setWidthSample(QStringLiteral("C_Title"), WidestText(grid, items));
    m_model->setWidthSample(QStringLiteral("RoomStr"), QStringLiteral("00000000"));
    for (const char *time : {"InputTime", "EndTime"})
        m_model->setWidthSample(QString::fromLatin1(time), QStringLiteral("0000-00-00 00:00:00"));
    grid->setModel(m_model);
    grid->horizontalHeader()->setStretchLastSection(true);
    grid->verticalHeader()->setDefaultSectionSize(grid->fontMetrics().height() + 6);
    m_model->ApplyColumns(grid);
    m_panels = AddStatusPanels(this, ui->Main_Layout, {200, 200, 50});

    const QString longDate = QLocale().dateFormat(QLocale::LongFormat);
    ui->DateStart_Dtp->setDisplayFormat(longDate);
    ui->DateEnd_Dtp->setDisplayFormat(longDate);
    const QDate today = Now().date();
    ui->DateStart_Dtp->setDate(today);
    ui->DateEnd_Dtp->setDate(today);

    // Each type shown in the language of the run; the stored title, which the filter looks
    // for, is the item's data.
    for (const QString &title : items)
        ui->CardType_CB->addItem(
            QCoreApplication::translate("CardType", title.toUtf8().constData()), title);
    ui->CardType_CB->addItem(Language1->GetDialogText(1));
    ui->CardType_CB->setCurrentIndex(ui->CardType_CB->count() - 1);

    // The purge is for operators with the settings right.
    ui->DeleteOldData_Bt->setEnabled(LoggedOnOperatorHas(QStringLiteral("SystemInfo")));

    connect(ui->Check_Bt, &QPushButton::clicked, this, Guarded([this] { MakeCardRecordList(); }));
    connect(ui->CardType_CB, &QComboBox::currentIndexChanged, this,
            Guarded([this] { MakeCardRecordList(); }));
    connect(ui->DeleteOldData_Bt, &QPushButton::clicked, this,
            Guarded([this] { DeleteOldData_BtClick(); }));
    connect(ui->Print_Bt, &QPushButton::clicked, this, Guarded([this] { Print_BtClick(); }));
    connect(ui->BitBtn2, &QPushButton::clicked, this, &QDialog::reject);
    connect(grid->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            Guarded([this] { MC_S_ADOAfterScroll(); }));

    MakeCardRecordList();
}

TMC_R_From::~TMC_R_From()
{
    // The model reads the query's rows: it goes before the query does.
    delete m_model;
}

IssueLogFilter TMC_R_From::Filter() const
{
    IssueLogFilter filter;
    filter.First = ui->DateStart_Dtp->date();
    filter.Last = ui->DateEnd_Dtp->date();
    const int index = ui->CardType_CB->currentIndex();
    if (index >= 0 && index < ui->CardType_CB->count() - 1)
        filter.CardTypeTitle = ui->CardType_CB->itemData(index).toString();
    return filter;
}

void TMC_R_From::MakeCardRecordList()
{
    const IssueLogFilter filter = Filter();
    m_model->Reload([&] { MC_S_ADO.List(filter); });
    // A printout's heading names the days and the type listed, whatever the pickers show by
    // then.
    m_listedDays = ui->DateStart_Dtp->text() + QStringLiteral(" - ") + ui->DateEnd_Dtp->text();
    m_listedType = ui->CardType_CB->currentText();
    if (m_model->rowCount() > 0)
        ui->DBGrid1->selectRow(0);
    MC_S_ADOAfterScroll();
}

void TMC_R_From::DeleteOldData_BtClick()
{
    const QDateTime now = Now();
    const QDateTime cutOff(PurgeCutOffDay(now.date()), now.time());
    const MsgResult answer =
        ShowMessage(tr("Are you sure to delete all issuing records before%1?")
                        .arg(QLocale().toString(cutOff.date(), QLocale::ShortFormat)),
                    tr("Warning"), MsgIcon::Question, MsgButtons::OkCancel);
    if (answer != MsgResult::Ok)
        return;
    // The list's statement is closed before its rows change, and the list is shown again on
    // every way out: a purge that failed deleted nothing.
    m_model->Reload([this] { MC_S_ADO.Close(); });
    try {
        PurgeIssueRecords(dm->conn, cutOff);
    } catch (...) {
        try {
            MakeCardRecordList();
        } catch (...) {
            // The purge's error is the one to show.
        }
        throw;
    }
    MakeCardRecordList();
}

void TMC_R_From::Print_BtClick()
{
    m_model->setProperty("HotelName", LockSystemInfo.HotelName);
    m_model->setProperty("Days", m_listedDays);
    m_model->setProperty("CardType", m_listedType);
    PrintReport(this, m_model, ReportKind::IssueRecords);
}

void TMC_R_From::MC_S_ADOAfterScroll()
{
    const QModelIndex current = ui->DBGrid1->currentIndex();
    const int position = current.isValid() ? current.row() + 1 : 0;
    m_panels[0]->setText(QStringLiteral("%1%2/%3")
                             .arg(Language1->GetDialogText(0))
                             .arg(position)
                             .arg(MC_S_ADO.Count));
}
