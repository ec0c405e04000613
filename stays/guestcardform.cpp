#include "guestcardform.h"

#include "cards/bookkeeping.h"
#include "cards/cardcommand.h"
#include "data/clock.h"
#include "data/numbers.h"
#include "data/settings.h"
#include "roomlist.h"
#include "ui/dialogs.h"
#include "ui/errorguard.h"
#include "ui_guestcardform.h"

#include <QCoreApplication>
#include <QKeyEvent>
#include <QSignalBlocker>

namespace {
// A null text hides the control; the text is shown in the program's language, with the
// form's name as its context.
template <class W> void showText(W *widget, const char *context, const char *text)
{
    widget->setVisible(text != nullptr);
    if (text)
        widget->setText(QCoreApplication::translate(context, text));
}
} // namespace

TGuestCardForm::TGuestCardForm(const Look &look, QWidget *parent)
    : TBaseForm(parent), ui(new Ui::GuestCardForm), m_roomListKey(look.roomListKey)
{
    ui->setupUi(this);
    setObjectName(QString::fromLatin1(look.objectName));
    setWindowTitle(QCoreApplication::translate(look.objectName, look.caption));
    ui->Info_GB->setTitle(look.frame ? QCoreApplication::translate(look.objectName, look.frame)
                                     : QString());
    showText(ui->Room_Label, look.objectName, look.roomLabel);
    showText(ui->Days_Label, look.objectName, look.daysLabel);
    showText(ui->Start_Label, look.objectName, look.startLabel);
    showText(ui->End_Label, look.objectName, look.endLabel);
    showText(ui->GuestName_Label, look.objectName, look.nameLabel);
    showText(ui->GuestCode_Label, look.objectName, look.codeLabel);
    showText(ui->RoomList_Bt, look.objectName, look.roomListButton);
    showText(ui->Label1, look.objectName, look.hint);
    showText(ui->Button1, look.objectName, look.readCardButton);
    showText(ui->Confirm_Bt, look.objectName, look.confirmButton);
    showText(ui->CopyGuestCard_Bt, look.objectName, look.copyButton);
    showText(ui->Close_Bt, look.objectName, look.closeButton);
    showText(ui->Hours_Label, look.objectName, look.lengthUnit);

    connect(ui->Days_Edit, &QLineEdit::textChanged, this, Guarded([this] { Days_EditChange(); }));
    connect(ui->ED_GQI_Dtp, &QDateEdit::dateChanged, this, Guarded([this] { ED_GQI_DtpChange(); }));
    connect(ui->ET_GQI_Dtp, &QTimeEdit::timeChanged, this, Guarded([this] { ET_GQI_DtpChange(); }));
    connect(ui->se_Room1, &QLineEdit::textChanged, this, Guarded([this] { se_Room1Change(); }));
    connect(ui->RoomList_Bt, &QPushButton::clicked, this, Guarded([this] { RoomList_BtClick(); }));
    connect(ui->Confirm_Bt, &QPushButton::clicked, this, Guarded([this] { Confirm_BtClick(); }));
    connect(ui->Close_Bt, &QPushButton::clicked, this, &QDialog::reject);
}

TGuestCardForm::~TGuestCardForm()
{
    delete ui;
}

void TGuestCardForm::SetRoom(const QString &room)
{
    ui->se_Room1->setText(room);
}

bool TGuestCardForm::FormKeyDown(QKeyEvent *event)
{
    if (m_roomListKey && event->key() == Qt::Key_F2 && event->modifiers() == Qt::NoModifier) {
        RoomList_BtClick();
        return true;
    }
    return TBaseForm::FormKeyDown(event);
}

void TGuestCardForm::RoomList_BtClick()
{
    PickRoom(this, ui->se_Room1);
}

void TGuestCardForm::ProposeStayInDays()
{
    const QSignalBlocker blockDays(ui->Days_Edit), blockEnd(ui->ED_GQI_Dtp);
    const QDateTime now = Now();
    ui->SD_GQI_Dtp->setDate(now.date());
    ui->ST_GQI_Dtp->setTime(now.time());
    ui->ET_GQI_Dtp->setTime(LockSystemInfo.LeaveTime);
    ui->Days_Edit->setText(QString::number(LockSystemInfo.DayCount));
    ui->ED_GQI_Dtp->setDate(
        ProposedStayEnd(now, LockSystemInfo.DayCount, LockSystemInfo.LeaveTime).date());
}

std::optional<int> TGuestCardForm::typedLength() const
{
    // Four characters at most: -999 to 9999.
    return ParseWholeNumber(ui->Days_Edit->text(), -999, 9999);
}

void TGuestCardForm::ApplyStayDays()
{
    const std::optional<int> days = typedLength();
    if (!days)
        return;
    const QSignalBlocker block(ui->ED_GQI_Dtp);
    ui->ED_GQI_Dtp->setDate(ui->SD_GQI_Dtp->date().addDays(*days));
}

void TGuestCardForm::Days_EditChange()
{
    ApplyStayDays();
}

void TGuestCardForm::ED_GQI_DtpChange()
{
    const QSignalBlocker block(ui->Days_Edit);
    ui->Days_Edit->setText(QString::number(ui->SD_GQI_Dtp->date().daysTo(ui->ED_GQI_Dtp->date())));
}

void TGuestCardForm::ReadyToIssue()
{
    ui->Confirm_Bt->setEnabled(true);
    ui->CopyGuestCard_Bt->setEnabled(false);
}

void TGuestCardForm::se_Room1Change()
{
    ReadyToIssue();
}

void TGuestCardForm::ShowPromptMessage(int result)
{
    if (result == 1)
        RoomBoardDirty = true;
    ui->Prompt_Label->setText(CardResultCaption(result));
}

GuestStay TGuestCardForm::currentStay(const QString &room) const
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

bool TGuestCardForm::CheckStayRange() const
{
    return CheckDateRange(QDateTime(ui->ED_GQI_Dtp->date(), ui->ET_GQI_Dtp->time()),
                          QDateTime(ui->SD_GQI_Dtp->date(), ui->ST_GQI_Dtp->time()));
}

QString TGuestCardForm::explanation(const QString &room) const
{
    return Language1->GetDialogText(2) + room;
}

void TGuestCardForm::IssueStay(const QString &unknownRoomText, GuestSerial serial)
{
    // The room is read once: the card, the counter, the record and the stay all use it.
    const QString room = ui->se_Room1->text();
    if (RoomStrExists(room) != 1) {
        ShowMessage(unknownRoomText);
        ui->se_Room1->setFocus();
        return;
    }
    if (!CheckStayRange())
        return;
    CardCommand command(ui->Confirm_Bt);
    if (!command.Started())
        return;
    const GuestStay stay = currentStay(room);
    CardRecord record = GuestCardRecord(stay, serial);
    const int result = CallMakeGuestCard(record);
    if (result == 1) {
        RecordIssuedGuestCard(record, stay); // on an error the form stays ready to issue
        if (!ui->CopyGuestCard_Bt->isHidden()) {
            command.KeepButtonDisabled();
            ui->CopyGuestCard_Bt->setEnabled(true);
        }
    }
    ShowPromptMessage(result);
}

void TGuestCardForm::WriteCopy(QPushButton *button, const QString &explain)
{
    const QString room = ui->se_Room1->text();
    if (RoomStrExists(room) != 1) {
        ShowMessage(tr("Invalid room no."));
        ui->se_Room1->setFocus();
        return;
    }
    if (!CheckStayRange())
        return;
    CardCommand command(button);
    if (!command.Started())
        return;
    const GuestStay stay = currentStay(room);
    CardRecord record = GuestCardRecord(stay, GuestSerial::Current);
    const int result = CallMakeGuestCard(record);
    if (result == 1)
        RecordCopiedGuestCard(record, stay.GuestName, explain);
    ShowPromptMessage(result);
}
