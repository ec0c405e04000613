#pragma once
#include "guestcardform.h"

// One more guest card for a room: a twin of the last card written for it, with the times
// chosen here. Neither the room's serial counter nor any stay changes.
class TCopyGuestCard_Form : public TGuestCardForm
{
    Q_OBJECT
public:
    explicit TCopyGuestCard_Form(QWidget *parent = nullptr);

public slots:
    void Confirm_BtClick() override;

protected:
    void se_Room1Change() override;
};
