#include "modifyguestcardform.h"

#include "cards/bookkeeping.h"
#include "cards/cardcommand.h"
#include "data/settings.h"
#include "ui/dialogs.h"
#include "ui/errorguard.h"
#include "ui_guestcardform.h"

TModifyGuestCard_Form::TModifyGuestCard_Form(QWidget *parent)
    : TGuestCardForm(
          {
              .objectName = "ModifyGuestCard_Form",
              .caption = QT_TRANSLATE_NOOP("ModifyGuestCard_Form", "Stay extend"),
              .frame = nullptr,
              .roomLabel = QT_TRANSLATE_NOOP("ModifyGuestCard_Form", "Room no."),
              .daysLabel = QT_TRANSLATE_NOOP("ModifyGuestCard_Form", "Stay days"),
              .startLabel = QT_TRANSLATE_NOOP("ModifyGuestCard_Form", "Check-in time"),
              .endLabel = QT_TRANSLATE_NOOP("ModifyGuestCard_Form", "Check-out time"),
              .nameLabel = QT_TRANSLATE_NOOP("ModifyGuestCard_Form", "Guest name"),
              .codeLabel = QT_TRANSLATE_NOOP("ModifyGuestCard_Form", "Passport no."),
              .roomListButton = nullptr,
              .roomListKey = false,
              .hint = nullptr,
              .readCardButton = QT_TRANSLATE_NOOP("ModifyGuestCard_Form", "Read card"),
              .confirmButton = QT_TRANSLATE_NOOP("ModifyGuestCard_Form", "Issue(&Y)"),
              .copyButton = nullptr,
              .closeButton = QT_TRANSLATE_NOOP("ModifyGuestCard_Form", "Close(&C)"),
              .lengthUnit = nullptr,
          },
          parent)
{
    ProposeStayInDays();
    ui->GuestCode_Edit->setText(QStringLiteral("1"));
    connect(ui->Button1, &QPushButton::clicked, this, Guarded([this] { Button1Click(); }));
}

void TModifyGuestCard_Form::se_Room1Change()
{
    ApplyStayDays();
}

void TModifyGuestCard_Form::GetGuestNameId()
{
    if (const std::optional<OpenStay> stay = FindOpenStay(ui->se_Room1->text())) {
        ui->E_H_GQI->setText(stay->GuestName);
        ui->GuestCode_Edit->setText(stay->GuestID);
    }
}

void TModifyGuestCard_Form::Button1Click()
{
    CardCommand command(ui->Button1);
    if (!command.Started())
        return;
    const GuestCardReading card = ReadGuestCard();
    if (card.Result != 1) {
        ShowPromptMessage(card.Result);
        return;
    }
    if (!card.GuestCard) {
        ui->Prompt_Label->clear();
        return;
    }
    ui->se_Room1->setText(card.Room);
    ui->E_H_GQI->setText(card.Holder);
    ui->GuestCode_Edit->setText(card.Explain);
    {
        // The stay runs from the card's start to its end date at the usual departure time.
        const QSignalBlocker blockEnd(ui->ED_GQI_Dtp);
        ui->SD_GQI_Dtp->setDate(card.Start.date());
        ui->ST_GQI_Dtp->setTime(card.Start.time());
        ui->ED_GQI_Dtp->setDate(card.End.date());
        ui->ET_GQI_Dtp->setTime(LockSystemInfo.LeaveTime);
    }
    {
        const QSignalBlocker blockDays(ui->Days_Edit);
        ui->Days_Edit->setText(QString::number(card.Start.date().daysTo(card.End.date())));
    }
    GetGuestNameId();
}

void TModifyGuestCard_Form::Confirm_BtClick()
{
    const QString room = ui->se_Room1->text();
    if (room.isEmpty())
        return;
    if (!CheckStayRange())
        return;
    // The stay is looked up before the card is written and changed only once it was.
    const std::optional<OpenStay> open = FindOpenStay(room);
    if (!open) {
        ShowMessage(tr("No guest is staying in this room."));
        ui->se_Room1->setFocus();
        return;
    }
    CardCommand command(ui->Confirm_Bt);
    if (!command.Started())
        return;
    const GuestStay stay = currentStay(room);
    CardRecord record = GuestCardRecord(stay, GuestSerial::None);
    const int result = CallMakeGuestCard(record);
    if (result == 1)
        RecordExtendedStay(record, open->ID, stay.End, stay.GuestName, explanation(room));
    ShowPromptMessage(result);
    ui->se_Room1->clear();
}
