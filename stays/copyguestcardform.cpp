#include "copyguestcardform.h"

#include "ui_guestcardform.h"

TCopyGuestCard_Form::TCopyGuestCard_Form(QWidget *parent)
    : TGuestCardForm(
          {
              .objectName = "CopyGuestCard_Form",
              .caption = "Copy guest card",
              .frame = nullptr,
              .roomLabel = "Room no.",
              .daysLabel = "Stay days",
              .startLabel = "Check-in time",
              .endLabel = "Check-out time",
              .nameLabel = "Guest name",
              .codeLabel = "Passport no.",
              .roomListButton = "Select Rooms",
              .roomListKey = false,
              .hint = nullptr,
              .readCardButton = nullptr,
              .confirmButton = "Copy guest card(&Y)",
              .copyButton = nullptr,
              .closeButton = "Close(&C)",
              .lengthUnit = nullptr,
          },
          parent)
{
    ProposeStayInDays();
    ui->GuestCode_Edit->setText(QStringLiteral("1"));
}

void TCopyGuestCard_Form::se_Room1Change()
{
    ApplyStayDays();
}

void TCopyGuestCard_Form::Confirm_BtClick()
{
    const QString room = ui->se_Room1->text();
    if (room.isEmpty())
        return;
    WriteCopy(ui->Confirm_Bt, explanation(room));
}
