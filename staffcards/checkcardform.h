#pragma once
#include "cardreading.h"
#include "ui/baseform.h"

namespace Ui {
class CheckCardForm;
}

// Shows what the card on the encoder carries, and revokes it.
class TCheckCardForm : public TBaseForm
{
    Q_OBJECT
public:
    explicit TCheckCardForm(QWidget *parent = nullptr);
    ~TCheckCardForm() override;

    // How the main window opens it: for reading only (no revoke button), or for revoking.
    void OpenForReading();
    void OpenForRevoking();

public slots:
    void ReadCard_BtClick();
    void Register_BtClick();

private:
    void ShowPromptMessage(int result);
    void showGuestID(bool shown);
    // The fields for a blank card, or for what a card carries.
    void showBlankCard();
    void showCard(const CardDescription &card);

    Ui::CheckCardForm *ui;
};
