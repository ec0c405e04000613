#include "makecardform.h"

#include "cards/bookkeeping.h"
#include "cards/cardcommand.h"
#include "data/clock.h"
#include "data/dm.h"
#include "data/rights.h"
#include "data/settings.h"
#include "data/sqltext.h"
#include "ui/dialogs.h"
#include "ui/errorguard.h"
#include "ui_makecardform.h"

#include <QButtonGroup>
#include <QKeyEvent>
#include <QLocale>
#include <QRegularExpression>

namespace {

// The workstation's short time format, without seconds should it have them.
QString MinutesTimeFormat(const QLocale &locale)
{
    static const QRegularExpression seconds(QStringLiteral("[:.]?s+"));
    return locale.timeFormat(QLocale::ShortFormat).remove(seconds);
}

} // namespace

TMakeCard_Form::TMakeCard_Form(QWidget *parent)
    : TBaseForm(parent), ui(new Ui::MakeCard_Form), m_lostKinds(new QButtonGroup(this))
{
    ui->setupUi(this);
    m_pages = {{
        {ui->E_H_Time, nullptr, nullptr, ui->TimeCardDt_DTP, ui->TimeCardTm_DTP},
        {ui->E_H_Data, ui->SD_Data_Dtp, ui->ST_Data_Dtp, ui->ED_Data_Dtp, ui->ET_Data_Dtp},
        {ui->E_H_Chief, ui->SD_Chief_Dtp, ui->ST_Chief_Dtp, ui->ED_Chief_Dtp, ui->ET_Chief_Dtp},
        {ui->E_H_District, ui->SD_District_Dtp, ui->ST_District_Dtp, ui->ED_District_Dtp,
         ui->ET_District_Dtp},
        {ui->E_H_Building, ui->SD_Building_Dtp, ui->ST_Building_Dtp, ui->ED_Building_Dtp,
         ui->ET_Building_Dtp},
        {ui->E_H_Floor, ui->SD_Floor_Dtp, ui->ST_Floor_Dtp, ui->ED_Floor_Dtp, ui->ET_Floor_Dtp},
        {ui->E_H_LongOpen, ui->SD_LongOpen_Dtp, ui->ST_LongOpen_Dtp, ui->ED_LongOpen_Dtp,
         ui->ET_LongOpen_Dtp},
        {ui->E_H_Emergent, ui->SD_Emergent_Dtp, ui->ST_Emergent_Dtp, ui->ED_Emergent_Dtp,
         ui->ET_Emergent_Dtp},
        {ui->E_H_Lost, ui->SD_Lost_Dtp, ui->ST_Lost_Dtp, ui->ED_Lost_Dtp, ui->ET_Lost_Dtp},
        {ui->E_H_Os, ui->SD_OS_DTP, ui->ST_OS_DTP, ui->ED_OS_DTP, ui->ET_OS_DTP},
    }};
    // The lost-card kinds in the order of their items: the kind is the position + 1.
    const QList<QRadioButton *> lostKinds = {
        ui->LostCardType_RB0, ui->LostCardType_RB1, ui->LostCardType_RB2, ui->LostCardType_RB3,
        ui->LostCardType_RB4, ui->LostCardType_RB5, ui->LostCardType_RB6, ui->LostCardType_RB7,
        ui->LostCardType_RB8, ui->LostCardType_RB9};
    for (int i = 0; i < lostKinds.size(); ++i)
        m_lostKinds->addButton(lostKinds[i], i);

    // The workstation's long date format; times to the minute, as the cards carry them.
    const QLocale locale;
    for (QDateEdit *date : findChildren<QDateEdit *>())
        date->setDisplayFormat(locale.dateFormat(QLocale::LongFormat));
    for (QTimeEdit *time : findChildren<QTimeEdit *>())
        time->setDisplayFormat(MinutesTimeFormat(locale));
    // Every page's tab shows at the form's size.
    ui->PageControl1->setUsesScrollButtons(false);

    setDefaultTimes();
    fillLists();

    connect(ui->Encode_Bt, &QPushButton::clicked, this, Guarded([this] { Encode_BtClick(); }));
    connect(ui->BitBtn2, &QPushButton::clicked, this, &QDialog::reject);
    connect(ui->PageControl1, &QTabWidget::currentChanged, this,
            Guarded([this] { PageControl1Change(); }));
    PageControl1Change();
}

TMakeCard_Form::~TMakeCard_Form()
{
    delete ui;
}

bool TMakeCard_Form::FormKeyDown(QKeyEvent *event)
{
    // Enter issues a card only on the issue button itself (or its click, or Alt+W); in a
    // holder box or a picker it does nothing.
    if ((event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) &&
        !qobject_cast<QPushButton *>(focusWidget()))
        return true;
    return TBaseForm::FormKeyDown(event);
}

void TMakeCard_Form::SetPage(int page)
{
    ui->PageControl1->setCurrentIndex(page);
}

void TMakeCard_Form::setDefaultTimes()
{
    const QDateTime now = Now();
    // By kind and tag: dates now (tag 1, the end dates: tomorrow), times now.
    for (QDateEdit *date : findChildren<QDateEdit *>())
        date->setDate(date->property("tag").toInt() == 1 ? now.date().addDays(1) : now.date());
    for (QTimeEdit *time : findChildren<QTimeEdit *>())
        time->setTime(now.time());
    // Staff cards end at the check-out time; the time card ends now, the loss is reported
    // now, and the passage setting card runs from now to today's check-out time.
    for (QTimeEdit *time :
         {ui->ET_District_Dtp, ui->ET_Building_Dtp, ui->ET_Emergent_Dtp, ui->ET_LongOpen_Dtp,
          ui->ET_Floor_Dtp, ui->ET_Chief_Dtp, ui->ET_Data_Dtp, ui->ET_OS_DTP})
        time->setTime(LockSystemInfo.LeaveTime);
    ui->TimeCardDt_DTP->setDate(now.date());
    ui->TimeCardTm_DTP->setTime(now.time());
    ui->SD_OS_DTP->setDate(now.date());
    ui->ED_OS_DTP->setDate(now.date());
    ui->SD_Lost_Dtp->setDate(now.date());
    ui->ED_Lost_Dtp->setDate(now.date());
    ui->ET_Lost_Dtp->setTime(now.time());
}

void TMakeCard_Form::fillLists()
{
    const struct
    {
        QComboBox *box;
        int kind;
    } lists[] = {
        {ui->Buiding_CB, 4}, {ui->Buiding_Flc_CB, 4}, {ui->Floor_CB, 5}, {ui->District_CB, 6}};
    for (const auto &list : lists) {
        QStringList items;
        dm->GetDataTypeItems(list.kind, items, QString());
        list.box->addItems(items);
        list.box->setCurrentIndex(-1);
    }
}

void TMakeCard_Form::PageControl1Change()
{
    // The status line told the result of the page left.
    ui->Prompt_Label->clear();
    const int page = ui->PageControl1->currentIndex();
    const OperatorRight *right = RightOfCardPage(page);
    Table &op = dm->Operator_ado;
    struct Release
    {
        Table &table;
        ~Release()
        {
            table.Filtered = false;
            table.Close();
        }
    } release{op};
    op.Filter = QStringLiteral("Staffer=") + QuotedStr(LockSystemInfo.Staffer);
    op.Filtered = true;
    op.Open();
    if (op.IsEmpty()) {
        // The logged-on operator no longer exists.
        EndProgram();
        return;
    }
    const bool allowed = right && op.AsBoolean(QString::fromLatin1(right->column));
    ui->PageControl1->currentWidget()->setEnabled(allowed);
    ui->Encode_Bt->setEnabled(allowed);
    ui->PageControl1->update();
}

StaffCardRequest TMakeCard_Form::currentRequest(const StaffCardKind &kind,
                                                const QDateTime &now) const
{
    const PageInputs &page = m_pages.at(size_t(kind.page));
    StaffCardRequest request;
    if (kind.startsNow) {
        request.Start = now;
        request.End = QDateTime(page.endDate->date(), page.endTime->time());
    } else {
        const int tolerance = LockSystemInfo.TimeTolerance;
        request.Start = StaffCardMoment(page.startDate->date(), page.startTime->time(), tolerance);
        request.End = StaffCardMoment(page.endDate->date(), page.endTime->time(), tolerance);
    }
    request.Holder = page.holder->text();
    switch (kind.input) {
    case StaffCardInput::Building:
        request.Building = ui->Buiding_CB->currentText();
        break;
    case StaffCardInput::BuildingFloor:
        request.Building = ui->Buiding_Flc_CB->currentText();
        request.Floor = ui->Floor_CB->currentText();
        break;
    case StaffCardInput::Group:
        request.Group = ui->District_CB->currentText();
        break;
    case StaffCardInput::LostKind:
        request.LostKind = m_lostKinds->checkedId() + 1;
        break;
    case StaffCardInput::None:
        break;
    }
    return request;
}

void TMakeCard_Form::ShowPromptMessage(int result)
{
    ui->Prompt_Label->setText(CardResultCaption(result));
}

void TMakeCard_Form::Encode_BtClick()
{
    if (!ui->PageControl1->currentWidget()->isEnabled())
        return; // the operator may not issue this kind
    CardCommand command(ui->Encode_Bt);
    if (!command.Started())
        return;
    ui->Prompt_Label->clear();
    RepaintOnly();
    // The page and its inputs are read once: the check, the card and its record use them.
    const StaffCardKind &kind = StaffCardKindOfPage(ui->PageControl1->currentIndex());
    const QDateTime now = Now();
    const StaffCardOutcome outcome = IssueStaffCard(kind, currentRequest(kind, now), now);
    if (!outcome.Refusal.isEmpty()) {
        ShowMessage(outcome.Refusal, QString(), MsgIcon::Information);
        return;
    }
    ShowPromptMessage(outcome.Result);
}
