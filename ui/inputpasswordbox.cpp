#include "inputpasswordbox.h"

#include "ui_inputpasswordbox.h"

TInputPasswordBox::TInputPasswordBox(QWidget *parent)
    : QDialog(parent), ui(new Ui::InputPasswordBox)
{
    ui->setupUi(this);
    connect(ui->Confirm_Bt, &QPushButton::clicked, this, &QDialog::accept);
    connect(ui->Cancel_Bt, &QPushButton::clicked, this, &QDialog::reject);
}

TInputPasswordBox::~TInputPasswordBox()
{
    delete ui;
}

QString TInputPasswordBox::text() const
{
    return ui->Input_MaskEdit->text();
}

bool TInputPasswordBox::Ask(QWidget *parent, QString *typed)
{
    TInputPasswordBox box(parent);
    if (box.exec() != QDialog::Accepted)
        return false;
    *typed = box.text();
    return true;
}
