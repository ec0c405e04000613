#include "clockroomform.h"

#include "cards/bookkeeping.h"
#include "data/clock.h"
#include "ui_guestcardform.h"

#include <QSignalBlocker>

#include <algorithm>

TClockRoom_Form::TClockRoom_Form(QWidget *parent)
    : TGuestCardForm(
          {
              .objectName = "ClockRoom_Form",
              .caption =
                  QT_TRANSLATE_NOOP("ClockRoom_Form", "book the room by hours-issue guest card"),
              .frame = QT_TRANSLATE_NOOP("ClockRoom_Form", "booking infomation"),
              .roomLabel = QT_TRANSLATE_NOOP("ClockRoom_Form", "Enter room no."),
              .daysLabel = QT_TRANSLATE_NOOP("ClockRoom_Form", "Stay hours"),
              .startLabel = QT_TRANSLATE_NOOP("ClockRoom_Form", "Check-in time:"),
              .endLabel = QT_TRANSLATE_NOOP("ClockRoom_Form", "Check-out time:"),
              .nameLabel = QT_TRANSLATE_NOOP("ClockRoom_Form", "Guest name:"),
              .codeLabel = QT_TRANSLATE_NOOP("ClockRoom_Form", "Passport no.:"),
              .roomListButton = QT_TRANSLATE_NOOP("ClockRoom_Form", "Select room"),
              .roomListKey = true,
              .hint = QT_TRANSLATE_NOOP("ClockRoom_Form", "press F2 to show room list"),
              .readCardButton = nullptr,
              .confirmButton = QT_TRANSLATE_NOOP("ClockRoom_Form", "Issue(&Y)"),
              .copyButton = nullptr,
              .closeButton = QT_TRANSLATE_NOOP("ClockRoom_Form", "Close&C)"),
              .lengthUnit = QT_TRANSLATE_NOOP("ClockRoom_Form", "hours"),
          },
          parent)
{
    const QDateTime now = Now();
    {
        const QSignalBlocker blockDays(ui->Days_Edit), blockDate(ui->ED_GQI_Dtp),
            blockTime(ui->ET_GQI_Dtp);
        ui->SD_GQI_Dtp->setDate(now.date());
        ui->ST_GQI_Dtp->setTime(now.time());
        ui->ET_GQI_Dtp->setTime(now.time());
        ui->Days_Edit->setText(QStringLiteral("1"));
        ui->ED_GQI_Dtp->setDate(now.date());
    }
    Days_EditChange();
}

QDateTime TClockRoom_Form::stayStart() const
{
    return QDateTime(ui->SD_GQI_Dtp->date(), ui->ST_GQI_Dtp->time());
}

QDateTime TClockRoom_Form::stayEnd() const
{
    return QDateTime(ui->ED_GQI_Dtp->date(), ui->ET_GQI_Dtp->time());
}

void TClockRoom_Form::Days_EditChange()
{
    // The box shows lengths such as "2.5"; a length typed that way moves the end as it says.
    const std::optional<int> minutes = TypedStayMinutes(ui->Days_Edit->text());
    if (!minutes)
        return;
    const QDateTime end = stayStart().addSecs(qint64(*minutes) * 60);
    const QSignalBlocker blockDate(ui->ED_GQI_Dtp), blockTime(ui->ET_GQI_Dtp);
    ui->ED_GQI_Dtp->setDate(end.date());
    ui->ET_GQI_Dtp->setTime(end.time());
}

void TClockRoom_Form::ShowLength()
{
    // Not applied back: the shown length is rounded to hundredths of an hour.
    const QSignalBlocker block(ui->Days_Edit);
    const QString length = StayLengthInHours(stayStart(), stayEnd());
    // Typing takes four characters; a worked-out length such as "-1.25" is shown whole
    // rather than cut to a different number.
    ui->Days_Edit->setMaxLength(std::max(4, int(length.size())));
    ui->Days_Edit->setText(length);
}

void TClockRoom_Form::ED_GQI_DtpChange()
{
    ShowLength();
}

void TClockRoom_Form::ET_GQI_DtpChange()
{
    ShowLength();
}

void TClockRoom_Form::ShowPromptMessage(int result)
{
    if (result == 1)
        RoomBoardDirty = true;
    // Every failure, whatever its cause, reads as the general one here.
    ui->Prompt_Label->setText(result == 1 ? tr("Ok!") : CardResultCaption(0));
}

void TClockRoom_Form::Confirm_BtClick()
{
    // The card carries the room's current serial; the counter still advances by one.
    IssueStay(tr("No this room no."), GuestSerial::Counter);
}
