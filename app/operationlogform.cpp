#include "operationlogform.h"

#include "data/clock.h"
#include "data/dm.h"
#include "data/settings.h"
#include "staffcards/reportlibrary.h"
#include "staffcards/statuspanels.h"
#include "ui/dialogs.h"
#include "ui/errorguard.h"
#include "ui/querygridmodel.h"
#include "ui_operationlogform.h"

#include <QHeaderView>
#include <QLabel>
#include <QLocale>

TOperationLog_Form::TOperationLog_Form(QWidget *parent)
    : TBaseForm(parent), Log_ado(dm->conn), ui(std::make_unique<Ui::OperationLog_Form>())
{
    ui->setupUi(this);
    m_model = new QueryGridModel(Log_ado,
                                 {{QStringLiteral("LogTime"), tr("Time")},
                                  {QStringLiteral("Staffer"), tr("Operator")},
                                  {QStringLiteral("StafferName"), tr("Name")},
                                  {QStringLiteral("Workstation"), tr("Workstation")},
                                  {QStringLiteral("Action"), tr("Action")},
                                  {QStringLiteral("Room"), tr("Room no.")},
                                  {QStringLiteral("Detail"), tr("Detail")},
                                  {QStringLiteral("ID"), QStringLiteral("ID"), false}},
                                 this);
    // Printed, the names and details wrap in their columns; times, codes and rooms are never cut.
    m_model->setFreeText({QStringLiteral("StafferName"), QStringLiteral("Detail")});
    auto *grid = ui->DBGrid1;
    // Times, action codes and door plates are as wide as their widest text; logon and host
    // names as the widest operator's or this workstation's name, and at least ten digits (a
    // longer one, such as a mistyped name of a failed logon, is cut short on the screen only).
    const QStringList staffers = OperationLogStaffers(dm->conn);
    const QString tenDigits = QStringLiteral("0000000000");
    m_model->setWidthSample(QStringLiteral("Staffer"),
                            WidestText(grid, staffers + QStringList{tenDigits}));
    m_model->setWidthSample(QStringLiteral("Workstation"),
                            WidestText(grid, {WorkstationName(), tenDigits}));
    m_model->setWidthSample(QStringLiteral("LogTime"), QStringLiteral("0000-00-00 00:00:00"));
    m_model->setWidthSample(QStringLiteral("Action"), WidestText(grid, OperationLogActions()));
    m_model->setWidthSample(QStringLiteral("Room"), QStringLiteral("00000000"));
    grid->setModel(m_model);
    grid->horizontalHeader()->setStretchLastSection(true);
    grid->verticalHeader()->setDefaultSectionSize(grid->fontMetrics().height() + 6);
    m_model->ApplyColumns(grid);
    m_panels = AddStatusPanels(this, ui->Main_Layout, {200, 0});

    const QDate today = Now().date();
    ui->DateStart_Dtp->setDate(today);
    ui->DateEnd_Dtp->setDate(today);
    ui->Staffer_CB->addItems(staffers);
    ui->Staffer_CB->addItem(Language1->GetDialogText(1));
    ui->Staffer_CB->setCurrentIndex(ui->Staffer_CB->count() - 1);
    ui->Action_CB->addItems(OperationLogActions());
    ui->Action_CB->addItem(Language1->GetDialogText(2));
    ui->Action_CB->setCurrentIndex(ui->Action_CB->count() - 1);

    // The purge is for operators with the settings right.
    ui->DeleteOldData_Bt->setEnabled(LoggedOnOperatorHas(QStringLiteral("SystemInfo")));

    connect(ui->Check_Bt, &QPushButton::clicked, this, Guarded([this] { List(); }));
    for (QComboBox *box : {ui->Staffer_CB, ui->Action_CB})
        connect(box, &QComboBox::currentIndexChanged, this, Guarded([this] { List(); }));
    connect(ui->Verify_Bt, &QPushButton::clicked, this, Guarded([this] { Verify_BtClick(); }));
    connect(ui->DeleteOldData_Bt, &QPushButton::clicked, this,
            Guarded([this] { DeleteOldData_BtClick(); }));
    connect(ui->Print_Bt, &QPushButton::clicked, this, Guarded([this] { Print_BtClick(); }));
    connect(ui->BitBtn2, &QPushButton::clicked, this, &QDialog::reject);
    connect(grid->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            Guarded([this] { AfterScroll(); }));

    List();
}

TOperationLog_Form::~TOperationLog_Form()
{
    // The model reads the query's rows: it goes before the query does.
    delete m_model;
}

OperationLogFilter TOperationLog_Form::Filter() const
{
    OperationLogFilter filter;
    filter.First = ui->DateStart_Dtp->date();
    filter.Last = ui->DateEnd_Dtp->date();
    // The last entry of each list means "all".
    if (ui->Staffer_CB->currentIndex() < ui->Staffer_CB->count() - 1)
        filter.Staffer = ui->Staffer_CB->currentText();
    if (ui->Action_CB->currentIndex() < ui->Action_CB->count() - 1)
        filter.Action = ui->Action_CB->currentText();
    return filter;
}

void TOperationLog_Form::List()
{
    const OperationLogFilter filter = Filter();
    m_model->Reload([&] {
        Log_ado.Close();
        Query count(dm->conn);
        count.SQL = OperationLogCountLines(filter);
        count.Open();
        Count = count.IsEmpty() ? 0 : count.Field(0).toInt();
        Log_ado.SQL = OperationLogListLines(filter);
        Log_ado.Open();
    });
    m_listedDays = ui->DateStart_Dtp->text() + QStringLiteral(" - ") + ui->DateEnd_Dtp->text();
    if (m_model->rowCount() > 0)
        ui->DBGrid1->selectRow(0);
    AfterScroll();
}

void TOperationLog_Form::Verify_BtClick()
{
    ui->Verify_Label->setText(VerifyOperationLog(dm->conn).Text());
}

void TOperationLog_Form::DeleteOldData_BtClick()
{
    const QDate firstKept = Now().date().addYears(-ui->Years_Edit->value());
    const MsgResult answer = ShowMessage(
        Language1->GetDialogText(3).arg(QLocale().toString(firstKept, QLocale::ShortFormat)),
        tr("Warning"), MsgIcon::Question, MsgButtons::OkCancel);
    if (answer != MsgResult::Ok)
        return;
    // The list's statement is closed before its rows change, and the list is shown again on
    // every way out.
    m_model->Reload([this] { Log_ado.Close(); });
    struct Relist
    {
        TOperationLog_Form *form;
        ~Relist()
        {
            RunGuarded([this] { form->List(); });
        }
    } relist{this};
    PurgeOperationLog(dm->conn, firstKept);
}

void TOperationLog_Form::Print_BtClick()
{
    m_model->setProperty("HotelName", LockSystemInfo.HotelName);
    m_model->setProperty("Days", m_listedDays);
    PrintReport(this, m_model, ReportKind::OperationLog);
}

void TOperationLog_Form::AfterScroll()
{
    const QModelIndex current = ui->DBGrid1->currentIndex();
    const int position = current.isValid() ? current.row() + 1 : 0;
    m_panels[0]->setText(
        QStringLiteral("%1%2/%3").arg(Language1->GetDialogText(0)).arg(position).arg(Count));
}
