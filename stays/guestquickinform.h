#pragma once
#include "guestcardform.h"

// Check-in: issues a guest card for a room and opens the stay; further cards for the stay
// come from its copy button.
class TGuestQuickIn_Form : public TGuestCardForm
{
    Q_OBJECT
public:
    explicit TGuestQuickIn_Form(QWidget *parent = nullptr);

public slots:
    void Confirm_BtClick() override;
    void CopyGuestCard_BtClick();

protected:
    // Waits half a second after the result so the operator sees it.
    void ShowPromptMessage(int result) override;
};
