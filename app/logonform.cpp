#include "logonform.h"

#include "logon.h"
#include "ui/dialogs.h"
#include "ui/inputpasswordbox.h"
#include "ui/errorguard.h"
#include "ui_logonform.h"

TLogonForm::TLogonForm(QWidget *parent) : TBaseForm(parent), ui(std::make_unique<Ui::LogonForm>())
{
    ui->setupUi(this);
    connect(ui->Ok_Bt, &QPushButton::clicked, this, Guarded([this] { Ok_BtClick(); }));
    connect(ui->Close_Bt, &QPushButton::clicked, this, &QDialog::reject);
    ui->FirstRun_Label->hide();
    if (OperatorTableEmpty()) {
        m_firstRun = true;
        ui->FirstRun_Label->show();
        ui->Title_Label->hide();
        ui->Ok_Bt->setText(QStringLiteral("Confirm"));
    }
    ui->Title_Label->setText(QStringLiteral("Orvane V18.0"));
}

TLogonForm::~TLogonForm() = default;

void TLogonForm::Ok_BtClick()
{
    const QString staffer = ui->LoginCode_Edit->text();
    const QString password = ui->SystemLogin_Pas->text();
    if (!m_firstRun) {
        if (TryLogon(staffer, password)) {
            accept();
            return;
        }
        ShowMessage(QStringLiteral("错误的用户名或密码！"), QStringLiteral("提示"), MsgIcon::Error);
        ui->SystemLogin_Pas->setFocus();
        return;
    }
    QString again;
    if (!TInputPasswordBox::Ask(this, &again))
        return;
    if (again != password) {
        ShowMessage(QStringLiteral("Password not same!"));
        return;
    }
    CreateFirstAccount(staffer, password);
    accept();
}
