#include "checkcardform.h"

#include "cardreading.h"
#include "cards/bookkeeping.h"
#include "cards/cardcommand.h"
#include "kestrune/kestrune.h"
#include "ui/errorguard.h"
#include "ui_checkcardform.h"

namespace {
const int kAfterReadMs = 200;
const int kResultShownMs = 500;
} // namespace

TCheckCardForm::TCheckCardForm(QWidget *parent) : TBaseForm(parent), ui(new Ui::CheckCardForm)
{
    ui->setupUi(this);
    // Encoders of magnetic cards cannot revoke.
    uint16_t parameters[KESTRUNE_PARAMETER_WORDS] = {};
    GetParameter(parameters);
    const int16_t encoderKind = int16_t(parameters[0]);
    if (encoderKind == 2 || encoderKind == 11)
        ui->Register_Bt->hide();
    // The guest ID is shown for a guest card once one is read.
    showGuestID(false);

    connect(ui->ReadCard_Bt, &QPushButton::clicked, this, Guarded([this] { ReadCard_BtClick(); }));
    connect(ui->Register_Bt, &QPushButton::clicked, this, Guarded([this] { Register_BtClick(); }));
    connect(ui->Close_Bt, &QPushButton::clicked, this, &QDialog::reject);
}

TCheckCardForm::~TCheckCardForm()
{
    delete ui;
}

void TCheckCardForm::OpenForReading()
{
    ui->Register_Bt->hide();
}

void TCheckCardForm::OpenForRevoking()
{
    setWindowTitle(tr("Revoke Card"));
}

void TCheckCardForm::ShowPromptMessage(int result)
{
    ui->Prompt_Label->setText(CardResultCaption(result));
}

void TCheckCardForm::showGuestID(bool shown)
{
    ui->GuestID_Edit->setVisible(shown);
    ui->GuestID_Label->setVisible(shown);
}

void TCheckCardForm::showBlankCard()
{
    for (QLineEdit *box :
         {ui->StartTime_Edit, ui->EndTime_Edit, ui->CardType_Edit, ui->CardHolder_Edit,
          ui->GuestID_Edit, ui->RoomNo_Edit, ui->District_Edit, ui->Building_Edit, ui->Floor_Edit})
        box->clear();
    showGuestID(false);
}

void TCheckCardForm::showCard(const CardDescription &card)
{
    ui->StartTime_Edit->setText(card.Start);
    ui->EndTime_Edit->setText(card.End);
    ui->CardType_Edit->setText(card.TypeTitle);
    ui->CardHolder_Edit->setText(card.Holder);
    ui->RoomNo_Edit->setText(card.Room);
    ui->District_Edit->setText(card.District);
    ui->Building_Edit->setText(card.Building);
    ui->Floor_Edit->setText(card.Floor);
    ui->GuestID_Edit->setText(card.Guest ? card.GuestID : QString());
    showGuestID(card.Guest);
}

void TCheckCardForm::ReadCard_BtClick()
{
    CardCommand command(ui->ReadCard_Bt);
    if (!command.Started())
        return;
    showGuestID(false);
    ui->CardHolder_Edit->clear();
    ui->RoomNo_Edit->clear();
    RepaintOnly();

    CardRecord record;
    const int result = ReadCardRecord(record);
    PauseWithoutInput(kAfterReadMs);
    if (result != 1) {
        ShowPromptMessage(result);
        return;
    }
    if (IsBlankCard(record)) {
        showBlankCard();
        ui->Prompt_Label->setText(tr("New Card!"));
        return;
    }
    showCard(DescribeCard(record));
    ShowPromptMessage(result);
    RepaintOnly();
    PauseWithoutInput(kResultShownMs);
}

void TCheckCardForm::Register_BtClick()
{
    CardCommand command(ui->Register_Bt);
    if (!command.Started())
        return;
    // The card is read first: its number decides which stays may end, and a card that
    // cannot be read is not revoked.
    CardRecord record;
    const int read = ReadCardRecord(record);
    if (read != 1) {
        ShowPromptMessage(read);
        return;
    }
    if (IsBlankCard(record)) {
        showBlankCard();
        ui->Prompt_Label->setText(tr("New Card!"));
        return;
    }
    const int result = RevokeCard(record);
    // The fields show the card as it is now: blank after a revoke, as read when it failed.
    if (result == 1)
        showBlankCard();
    else
        showCard(DescribeCard(record));
    ShowPromptMessage(result);
    PauseWithoutInput(kResultShownMs);
}
