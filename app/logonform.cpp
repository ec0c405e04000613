#include "logonform.h"

#include "data/clock.h"
#include "logon.h"
#include "ui/dialogs.h"
#include "ui/errorguard.h"
#include "ui/inputpasswordbox.h"
#include "ui_logonform.h"

#include <QTimer>

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
        ui->Ok_Bt->setText(tr("Confirm"));
    }
    ui->Title_Label->setText(QStringLiteral("Orvane V18.0"));
    m_waitTimer = new QTimer(this);
    m_waitTimer->setObjectName(QStringLiteral("Wait_Timer"));
    m_waitTimer->setInterval(1000);
    connect(m_waitTimer, &QTimer::timeout, this, [this] { UpdateWait(); });
    UpdateWait();
}

void TLogonForm::UpdateWait()
{
    const QDateTime until =
        m_firstRun ? QDateTime() : WorkstationLogonThrottle().NextAttemptAt(Now());
    ui->Ok_Bt->setEnabled(!until.isValid());
    ui->Wait_Label->setVisible(until.isValid());
    if (!until.isValid()) {
        m_waitTimer->stop();
        return;
    }
    ui->Wait_Label->setText(tr("Too many wrong attempts: the next one may be made at %1.")
                                .arg(until.toString(QStringLiteral("HH:mm:ss"))));
    m_waitTimer->start();
}

TLogonForm::~TLogonForm() = default;

void TLogonForm::Ok_BtClick()
{
    const QString staffer = ui->LoginCode_Edit->text();
    const QString password = ui->SystemLogin_Pas->text();
    if (!m_firstRun) {
        LogonThrottle &throttle = WorkstationLogonThrottle();
        if (throttle.NextAttemptAt(Now()).isValid())
            return; // Ok is disabled; a press that still arrives is not an attempt
        if (TryLogon(staffer, password)) {
            throttle.Succeeded();
            accept();
            return;
        }
        throttle.Failed(Now());
        UpdateWait();
        ShowMessage(QStringLiteral("错误的用户名或密码！"), QStringLiteral("提示"), MsgIcon::Error);
        ui->SystemLogin_Pas->setFocus();
        return;
    }
    QString again;
    if (!TInputPasswordBox::Ask(this, &again))
        return;
    if (again != password) {
        ShowMessage(tr("Password not same!"));
        return;
    }
    CreateFirstAccount(staffer, password);
    accept();
}
