#include "guestquickinform.h"

#include "ui/errorguard.h"
#include "ui_guestcardform.h"

#include <QEventLoop>
#include <QTimer>

TGuestQuickIn_Form::TGuestQuickIn_Form(QWidget *parent)
    : TGuestCardForm(
          {
              .objectName = "GuestQuickIn_Form",
              .caption = "Check-in/Issue guest card",
              .frame = nullptr,
              .roomLabel = "Enter room no.:",
              .daysLabel = "Stay days:",
              .startLabel = "Check-in time:",
              .endLabel = "Check-out time:",
              .nameLabel = "Guest name:",
              .codeLabel = "Passport no.:",
              .roomListButton = "Select Rooms",
              .roomListKey = true,
              .hint = "Press F2 to show room list",
              .readCardButton = nullptr,
              .confirmButton = "Issue(&Y)",
              .copyButton = "Copy guest card",
              .closeButton = "Close&C)",
              .lengthUnit = nullptr,
          },
          parent)
{
    ProposeStayInDays();
    connect(ui->CopyGuestCard_Bt, &QPushButton::clicked, this,
            Guarded([this] { CopyGuestCard_BtClick(); }));
}

void TGuestQuickIn_Form::ShowPromptMessage(int result)
{
    TGuestCardForm::ShowPromptMessage(result);
    // Clicks arriving meanwhile are not taken.
    QEventLoop wait;
    QTimer::singleShot(500, &wait, &QEventLoop::quit);
    wait.exec(QEventLoop::ExcludeUserInputEvents);
}

void TGuestQuickIn_Form::Confirm_BtClick()
{
    IssueStay(QStringLiteral("No this Room no."), GuestSerial::Next);
}

void TGuestQuickIn_Form::CopyGuestCard_BtClick()
{
    WriteCopy(ui->CopyGuestCard_Bt, ui->GuestCode_Edit->text());
}
