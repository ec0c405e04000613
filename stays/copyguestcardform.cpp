#include "copyguestcardform.h"

#include "ui_guestcardform.h"

TCopyGuestCard_Form::TCopyGuestCard_Form(QWidget *parent)
    : TGuestCardForm(
          {
              .objectName = "CopyGuestCard_Form",
              .caption = QT_TRANSLATE_NOOP("CopyGuestCard_Form", "Copy guest card"),
              .frame = nullptr,
              .roomLabel = QT_TRANSLATE_NOOP("CopyGuestCard_Form", "Room no."),
              .daysLabel = QT_TRANSLATE_NOOP("CopyGuestCard_Form", "Stay days"),
              .startLabel = QT_TRANSLATE_NOOP("CopyGuestCard_Form", "Check-in time"),
              .endLabel = QT_TRANSLATE_NOOP("CopyGuestCard_Form", "Check-out time"),
              .nameLabel = QT_TRANSLATE_NOOP("CopyGuestCard_Form", "Guest name"),
              .codeLabel = QT_TRANSLATE_NOOP("CopyGuestCard_Form", "Passport no."),
              .roomListButton = QT_TRANSLATE_NOOP("CopyGuestCard_Form", "Select Rooms"),
              .roomListKey = false,
              .hint = nullptr,
              .readCardButton = nullptr,
              .confirmButton = QT_TRANSLATE_NOOP("CopyGuestCard_Form", "Copy guest card(&Y)"),
              .copyButton = nullptr,
              .closeButton = QT_TRANSLATE_NOOP("CopyGuestCard_Form", "Close(&C)"),
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
