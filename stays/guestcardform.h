#pragma once
// The one form behind check-in, stay extension, copying a guest card and hourly stays:
// the room box and picker, the stay's start and end with its length, the guest's name and
// document, the issue buttons and the status line. Each of the four forms names its
// controls, shows the buttons it has and supplies its issue step.
#include "guestcards.h"
#include "ui/baseform.h"

class QPushButton;
namespace Ui {
class GuestCardForm;
}

class TGuestCardForm : public TBaseForm
{
    Q_OBJECT
public:
    ~TGuestCardForm() override;

    // Puts a door plate into the room box (the board's pop-up commands).
    void SetRoom(const QString &room);

public slots:
    virtual void Confirm_BtClick() = 0;
    void RoomList_BtClick();

protected:
    // What tells the four forms apart on the screen. A null text hides the control.
    struct Look
    {
        const char *objectName;
        const char *caption;
        const char *frame;
        const char *roomLabel, *daysLabel, *startLabel, *endLabel, *nameLabel, *codeLabel;
        const char *roomListButton; // the room picker
        bool roomListKey;           // F2 opens the picker
        const char *hint;
        const char *readCardButton;
        const char *confirmButton;
        const char *copyButton; // a further card after an issue
        const char *closeButton;
        const char *lengthUnit; // shown after the stay length
    };
    TGuestCardForm(const Look &look, QWidget *parent);

    bool FormKeyDown(QKeyEvent *event) override;

    // Change handlers; by default the length is counted in days.
    virtual void Days_EditChange();
    virtual void ED_GQI_DtpChange();
    virtual void ET_GQI_DtpChange() {}
    virtual void se_Room1Change();
    // Shows a card result in the status line; after a success the board is redrawn.
    virtual void ShowPromptMessage(int result);

    // Start now, end DayCount days later at LeaveTime.
    void ProposeStayInDays();
    // End date = start date + the days typed; a text that is no whole number changes nothing.
    void ApplyStayDays();
    // Confirm enabled and no copy offered: every change of the room returns here.
    void ReadyToIssue();

    // The stay the controls describe for this room, times with the card tolerance added.
    GuestStay currentStay(const QString &room) const;
    // The explanation recorded with cards that carry no document: dialog text 2 + room.
    QString explanation(const QString &room) const;
    // The length typed in Days_Edit, when it is a whole number.
    std::optional<int> typedLength() const;
    // False (after the date-range message) when the end the pickers show is not after
    // their start.
    bool CheckStayRange() const;

    // A new card for the room and its stay: checks the room (`unknownRoomText` when it
    // names none) and the dates, writes the card and, when it was written, records it and
    // opens the stay. A form with a copy button then stays issued until the room changes.
    void IssueStay(const QString &unknownRoomText, GuestSerial serial);
    // One more card for the room, a twin of its last guest card, recorded when written.
    void WriteCopy(QPushButton *button, const QString &explain);

    Ui::GuestCardForm *ui;

private:
    bool m_roomListKey;
};
