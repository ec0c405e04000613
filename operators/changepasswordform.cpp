#include "changepasswordform.h"

#include "ui_changepasswordform.h"

#include "data/settings.h"
#include "ui/dialogs.h"
#include "ui/errorguard.h"

TChangePassword_Form::TChangePassword_Form(QWidget *parent)
    : TBaseForm(parent), ui(std::make_unique<Ui::ChangePassword_Form>())
{
    ui->setupUi(this);
    connect(ui->Ok_Bt, &QPushButton::clicked, this, Guarded([this] { Ok_BtClick(); }));
}

TChangePassword_Form::~TChangePassword_Form() = default;

bool TChangePassword_Form::InFirstStage() const
{
    return !ui->Label1->isHidden();
}

void TChangePassword_Form::ShowStage(bool first)
{
    ui->Label1->setVisible(first);
    ui->OldPassword_Edit->setVisible(first);
    for (QWidget *w : {static_cast<QWidget *>(ui->Label2), static_cast<QWidget *>(ui->Label3),
                       static_cast<QWidget *>(ui->NewPassword_Edit),
                       static_cast<QWidget *>(ui->RepeatNewPassword_Edit)})
        w->setVisible(!first);
    if (first)
        ui->OldPassword_Edit->setFocus();
    else
        ui->NewPassword_Edit->setFocus();
}

void TChangePassword_Form::Ok_BtClick()
{
    if (InFirstStage()) {
        m_proven =
            ProveCurrentPassword(LockSystemInfo.Staffer, ui->OldPassword_Edit->text().trimmed());
        if (!m_proven) {
            ShowMessage(tr("Old password not correct!"), tr("Warning"), MsgIcon::Information);
            return;
        }
        ShowStage(false);
        return;
    }
    const QString newPassword = ui->NewPassword_Edit->text().trimmed();
    if (newPassword != ui->RepeatNewPassword_Edit->text().trimmed()) {
        ShowMessage(tr("new code not match!"), tr("Info"), MsgIcon::Error);
        return;
    }
    if (newPassword.size() > kPasswordMaxLength) {
        ShowMessage(PasswordTooLongText(), tr("Info"), MsgIcon::Error);
        return;
    }
    if (!m_proven || !ChangeOperatorPassword(*m_proven, newPassword)) {
        // The stored password is no longer the one proven: prove it again.
        m_proven.reset();
        ShowMessage(tr("Old password not correct!"), tr("Warning"), MsgIcon::Information);
        ShowStage(true);
        return;
    }
    ShowMessage(tr("Password changed ok!"), tr("Warning"), MsgIcon::Information);
    accept();
}
