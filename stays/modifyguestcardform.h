#pragma once
#include "guestcardform.h"

// Stay extension: a new card with a later end for a guest whose stay is open, read from
// the guest's card or typed; the stay's planned departure moves with it.
class TModifyGuestCard_Form : public TGuestCardForm
{
    Q_OBJECT
public:
    explicit TModifyGuestCard_Form(QWidget *parent = nullptr);

public slots:
    void Button1Click();
    void Confirm_BtClick() override;

protected:
    void se_Room1Change() override;

private:
    // The open stay's guest name and document, when the room has one.
    void GetGuestNameId();
};
