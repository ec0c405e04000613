#include "guestquickinform.h"

#include "app/dialogs.h"
#include "cards/bookkeeping.h"
#include "data/clock.h"
#include "data/settings.h"
#include "roomlist.h"
#include "ui_guestquickinform.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QKeyEvent>
#include <QSignalBlocker>
#include <QTimer>

TGuestQuickIn_Form::TGuestQuickIn_Form(QWidget *parent)
    : TBaseForm(parent), ui(new Ui::GuestQuickIn_Form)
{
    ui->setupUi(this);
    const QDateTime now = Now();
    ui->SD_GQI_Dtp->setDate(now.date());
    ui->ST_GQI_Dtp->setTime(now.time());
    ui->ET_GQI_Dtp->setTime(LockSystemInfo.LeaveTime);
    ui->Days_Edit->setText(QString::number(LockSystemInfo.DayCount));
    ui->ED_GQI_Dtp->setDate(
        ProposedStayEnd(now, LockSystemInfo.DayCount, LockSystemInfo.LeaveTime).date());

    connect(ui->Days_Edit, &QLineEdit::textChanged, this, &TGuestQuickIn_Form::Days_EditChange);
    connect(ui->ED_GQI_Dtp, &QDateEdit::dateChanged, this, &TGuestQuickIn_Form::ED_GQI_DtpChange);
    connect(ui->se_Room1, &QLineEdit::textChanged, this, &TGuestQuickIn_Form::se_Room1Change);
    connect(ui->RoomList_Bt, &QPushButton::clicked, this, &TGuestQuickIn_Form::RoomList_BtClick);
    connect(ui->Confirm_Bt, &QPushButton::clicked, this, &TGuestQuickIn_Form::Confirm_BtClick);
    connect(ui->CopyGuestCard_Bt, &QPushButton::clicked, this,
            &TGuestQuickIn_Form::CopyGuestCard_BtClick);
    connect(ui->Close_Bt, &QPushButton::clicked, this, &QDialog::reject);
}

TGuestQuickIn_Form::~TGuestQuickIn_Form()
{
    delete ui;
}

void TGuestQuickIn_Form::SetRoom(const QString &room)
{
    ui->se_Room1->setText(room);
}

bool TGuestQuickIn_Form::FormKeyDown(QKeyEvent *event)
{
    if (event->key() == Qt::Key_F2 && event->modifiers() == Qt::NoModifier) {
        RoomList_BtClick();
        return true;
    }
    return TBaseForm::FormKeyDown(event);
}

void TGuestQuickIn_Form::Days_EditChange()
{
    bool ok = false;
    const int days = ui->Days_Edit->text().toInt(&ok);
    if (!ok)
        return;
    const QSignalBlocker block(ui->ED_GQI_Dtp);
    ui->ED_GQI_Dtp->setDate(ui->SD_GQI_Dtp->date().addDays(days));
}

void TGuestQuickIn_Form::ED_GQI_DtpChange()
{
    const QSignalBlocker block(ui->Days_Edit);
    ui->Days_Edit->setText(QString::number(ui->SD_GQI_Dtp->date().daysTo(ui->ED_GQI_Dtp->date())));
}

void TGuestQuickIn_Form::se_Room1Change()
{
    ui->Confirm_Bt->setEnabled(true);
    ui->CopyGuestCard_Bt->setEnabled(false);
}

void TGuestQuickIn_Form::RoomList_BtClick()
{
    PickRoom(this, [this](const QString &room) { ui->se_Room1->setText(room); });
}

GuestStay TGuestQuickIn_Form::currentStay() const
{
    GuestStay stay;
    stay.Room = ui->se_Room1->text();
    const int tolerance = LockSystemInfo.TimeTolerance;
    stay.Start = CardMoment(ui->SD_GQI_Dtp->date(), ui->ST_GQI_Dtp->time(), tolerance);
    stay.End = CardMoment(ui->ED_GQI_Dtp->date(), ui->ET_GQI_Dtp->time(), tolerance);
    stay.GuestName = ui->E_H_GQI->text();
    stay.GuestID = ui->GuestCode_Edit->text();
    return stay;
}

void TGuestQuickIn_Form::ShowPromptMessage(int result)
{
    if (result == 1)
        RoomBoardDirty = true;
    ui->Prompt_Label->setText(CardResultText(result));
    // Let the operator see the result; clicks arriving meanwhile are not taken.
    QEventLoop wait;
    QTimer::singleShot(500, &wait, &QEventLoop::quit);
    wait.exec(QEventLoop::ExcludeUserInputEvents);
}

bool TGuestQuickIn_Form::beginCardCommand()
{
    if (CardBusy)
        return false;
    CardBusy = true;
    ui->Confirm_Bt->setEnabled(false);
    QCoreApplication::processEvents(); // the disabled button is drawn before the card call
    return true;
}

void TGuestQuickIn_Form::Confirm_BtClick()
{
    const QString room = ui->se_Room1->text();
    if (RoomStrExists(room) != 1) {
        ShowMessage(QStringLiteral("No this Room no."));
        ui->se_Room1->setFocus();
        return;
    }
    if (!CheckDateRange(ui->ED_GQI_Dtp->date(), ui->SD_GQI_Dtp->date()))
        return;
    if (!beginCardCommand())
        return;
    const GuestStay stay = currentStay();
    CardRecord record = GuestCardRecord(stay, 1);
    const int result = CallMakeGuestCard(record);
    if (result == 1) {
        ui->Confirm_Bt->setEnabled(false);
        ui->CopyGuestCard_Bt->setEnabled(true);
        try {
            RecordIssuedGuestCard(record, stay);
        } catch (...) {
            // Nothing was recorded: the form goes back to ready-to-issue.
            ui->Confirm_Bt->setEnabled(true);
            ui->CopyGuestCard_Bt->setEnabled(false);
            throw;
        }
    }
    ShowPromptMessage(result);
    if (result != 1)
        ui->Confirm_Bt->setEnabled(true);
}

void TGuestQuickIn_Form::CopyGuestCard_BtClick()
{
    if (RoomStrExists(ui->se_Room1->text()) != 1) {
        ShowMessage(QStringLiteral("Invalid room no."));
        ui->se_Room1->setFocus();
        return;
    }
    if (!beginCardCommand())
        return;
    if (!CheckDateRange(ui->ED_GQI_Dtp->date(), ui->SD_GQI_Dtp->date()))
        return;
    const GuestStay stay = currentStay();
    CardRecord record = GuestCardRecord(stay, 0);
    const int result = CallMakeGuestCard(record);
    if (result == 1)
        RecordCopiedGuestCard(record, stay);
    ShowPromptMessage(result);
}
