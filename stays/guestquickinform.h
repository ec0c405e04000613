#pragma once
#include "ui/baseform.h"
#include "guestcards.h"

namespace Ui {
class GuestQuickIn_Form;
}

// Check-in: issues a guest card for a room and opens the stay.
class TGuestQuickIn_Form : public TBaseForm
{
    Q_OBJECT
public:
    explicit TGuestQuickIn_Form(QWidget *parent = nullptr);
    ~TGuestQuickIn_Form() override;

    void SetRoom(const QString &room);

public slots:
    void Confirm_BtClick();
    void CopyGuestCard_BtClick();
    void RoomList_BtClick();

protected:
    bool FormKeyDown(QKeyEvent *event) override;

private slots:
    void Days_EditChange();
    void ED_GQI_DtpChange();
    void se_Room1Change();

private:
    GuestStay currentStay(const QString &room) const;
    // Shows the card result in the status line and, after a success, marks the board dirty.
    void ShowPromptMessage(int result);

    Ui::GuestQuickIn_Form *ui;
};
