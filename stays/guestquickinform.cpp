#include "guestquickinform.h"

#include "cards/bookkeeping.h"
#include "cards/cardcommand.h"
#include "data/clock.h"
#include "data/settings.h"
#include "roomlist.h"
#include "ui/dialogs.h"
#include "ui/errorguard.h"
#include "ui_guestquickinform.h"

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

    connect(ui->Days_Edit, &QLineEdit::textChanged, this, Guarded([this] { Days_EditChange(); }));
    connect(ui->ED_GQI_Dtp, &QDateEdit::dateChanged, this, Guarded([this] { ED_GQI_DtpChange(); }));
    connect(ui->se_Room1, &QLineEdit::textChanged, this, Guarded([this] { se_Room1Change(); }));
    connect(ui->RoomList_Bt, &QPushButton::clicked, this, Guarded([this] { RoomList_BtClick(); }));
    connect(ui->Confirm_Bt, &QPushButton::clicked, this, Guarded([this] { Confirm_BtClick(); }));
    connect(ui->CopyGuestCard_Bt, &QPushButton::clicked, this,
            Guarded([this] { CopyGuestCard_BtClick(); }));
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

GuestStay TGuestQuickIn_Form::currentStay(const QString &room) const
{
    GuestStay stay;
    stay.Room = room;
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

void TGuestQuickIn_Form::Confirm_BtClick()
{
    // The room is read once: the card, the counter, the record and the stay all use it.
    const QString room = ui->se_Room1->text();
    if (RoomStrExists(room) != 1) {
        ShowMessage(QStringLiteral("No this Room no."));
        ui->se_Room1->setFocus();
        return;
    }
    if (!CheckDateRange(ui->ED_GQI_Dtp->date(), ui->SD_GQI_Dtp->date()))
        return;
    CardCommand command(ui->Confirm_Bt);
    if (!command.Started())
        return;
    const GuestStay stay = currentStay(room);
    CardRecord record = GuestCardRecord(stay, 1);
    const int result = CallMakeGuestCard(record);
    if (result == 1) {
        RecordIssuedGuestCard(record, stay); // on an error the form stays ready to issue
        command.KeepButtonDisabled();
        ui->CopyGuestCard_Bt->setEnabled(true);
    }
    ShowPromptMessage(result);
}

void TGuestQuickIn_Form::CopyGuestCard_BtClick()
{
    const QString room = ui->se_Room1->text();
    if (RoomStrExists(room) != 1) {
        ShowMessage(QStringLiteral("Invalid room no."));
        ui->se_Room1->setFocus();
        return;
    }
    if (!CheckDateRange(ui->ED_GQI_Dtp->date(), ui->SD_GQI_Dtp->date()))
        return;
    CardCommand command(ui->CopyGuestCard_Bt);
    if (!command.Started())
        return;
    const GuestStay stay = currentStay(room);
    CardRecord record = GuestCardRecord(stay, 0);
    const int result = CallMakeGuestCard(record);
    if (result == 1)
        RecordCopiedGuestCard(record, stay);
    ShowPromptMessage(result);
}
