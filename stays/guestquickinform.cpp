#include "guestquickinform.h"

#include "ui/errorguard.h"
#include "ui_guestcardform.h"

#include <QEventLoop>
#include <QTimer>

TGuestQuickIn_Form::TGuestQuickIn_Form(QWidget *parent)
    : TGuestCardForm(
          {
              .objectName = "GuestQuickIn_Form",
              .caption = QT_TRANSLATE_NOOP("GuestQuickIn_Form", "Check-in/Issue guest card"),
              .frame = nullptr,
              .roomLabel = QT_TRANSLATE_NOOP("GuestQuickIn_Form", "Enter room no.:"),
              .daysLabel = QT_TRANSLATE_NOOP("GuestQuickIn_Form", "Stay days:"),
              .startLabel = QT_TRANSLATE_NOOP("GuestQuickIn_Form", "Check-in time:"),
              .endLabel = QT_TRANSLATE_NOOP("GuestQuickIn_Form", "Check-out time:"),
              .nameLabel = QT_TRANSLATE_NOOP("GuestQuickIn_Form", "Guest name:"),
              .codeLabel = QT_TRANSLATE_NOOP("GuestQuickIn_Form", "Passport no.:"),
              .roomListButton = QT_TRANSLATE_NOOP("GuestQuickIn_Form", "Select Rooms"),
              .roomListKey = true,
              .hint = QT_TRANSLATE_NOOP("GuestQuickIn_Form", "Press F2 to show room list"),
              .readCardButton = nullptr,
              .confirmButton = QT_TRANSLATE_NOOP("GuestQuickIn_Form", "Issue(&Y)"),
              .copyButton = QT_TRANSLATE_NOOP("GuestQuickIn_Form", "Copy guest card"),
              .closeButton = QT_TRANSLATE_NOOP("GuestQuickIn_Form", "Close&C)"),
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
    IssueStay(tr("No this Room no."), GuestSerial::Next);
}

void TGuestQuickIn_Form::CopyGuestCard_BtClick()
{
    WriteCopy(ui->CopyGuestCard_Bt, ui->GuestCode_Edit->text());
}
