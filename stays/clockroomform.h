#pragma once
#include "guestcardform.h"

// Hourly stay: a check-in whose length is counted in hours from now.
class TClockRoom_Form : public TGuestCardForm
{
    Q_OBJECT
public:
    explicit TClockRoom_Form(QWidget *parent = nullptr);

public slots:
    void Confirm_BtClick() override;

protected:
    void Days_EditChange() override;
    void ED_GQI_DtpChange() override;
    void ET_GQI_DtpChange() override;
    // "Ok!" or "Failure!".
    void ShowPromptMessage(int result) override;

private:
    QDateTime stayStart() const;
    QDateTime stayEnd() const;
    // The length in Days_Edit after the end was changed by hand.
    void ShowLength();
};
