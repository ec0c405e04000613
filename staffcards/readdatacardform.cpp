#include "readdatacardform.h"

#include "cards/bookkeeping.h"
#include "data/dm.h"
#include "opendoorrecords.h"
#include "ui/errorguard.h"
#include "ui_readdatacardform.h"

TReadDataCard_Form::TReadDataCard_Form(QWidget *parent)
    : TBaseForm(parent), ui(std::make_unique<Ui::ReadDataCard_Form>())
{
    ui->setupUi(this);
    connect(ui->ReadDataCard_Bt, &QPushButton::clicked, this,
            Guarded([this] { ReadDataCard_BtClick(); }));
}

TReadDataCard_Form::~TReadDataCard_Form() = default;

void TReadDataCard_Form::ReadDataCard_BtClick()
{
    ui->Label1->clear();
    int cardResult = 0;
    const DataCardImport outcome = ImportDataCard(dm->conn, &cardResult);
    if (outcome == DataCardImport::ReadFailed) {
        // A read that broke off says why (the card was taken off, or is damaged).
        ui->Label1->setText(CardResultCaption(cardResult));
        return;
    }
    ShowPromptMessage(outcome == DataCardImport::Stored ? 1 : 0);
}

void TReadDataCard_Form::ShowPromptMessage(int result)
{
    ui->Label1->setText(result == 1 ? tr("Ok!") : tr("Operating failed or no opening records!"));
}
