#pragma once
// The data card reader: reads a data card and replaces the stored door log of its lock's
// room with the openings on the card.
#include "ui/baseform.h"

#include <memory>

namespace Ui {
class ReadDataCard_Form;
}

class TReadDataCard_Form : public TBaseForm
{
    Q_OBJECT
public:
    explicit TReadDataCard_Form(QWidget *parent = nullptr);
    ~TReadDataCard_Form() override;

    void ReadDataCard_BtClick();
    // "Ok!" for result 1, the failure text for anything else.
    void ShowPromptMessage(int result);

private:
    std::unique_ptr<Ui::ReadDataCard_Form> ui;
};
