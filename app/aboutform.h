#pragma once
// The About box: the product, its version, the encoder attached and the seller.
#include "ui/baseform.h"

#include <memory>

namespace Ui {
class AboutForm;
}

// The lock system an encoder kind stands for; "Not connect!" for a kind without one.
QString EncoderKindText(int kind);

class TAboutForm : public TBaseForm
{
    Q_OBJECT
public:
    explicit TAboutForm(QWidget *parent = nullptr);
    ~TAboutForm() override;

private:
    std::unique_ptr<Ui::AboutForm> ui;
};
