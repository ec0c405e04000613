#pragma once
#include "ui/baseform.h"

namespace Ui {
class LogonForm;
}

// The logon dialog; in first-run mode it creates the first account.
class TLogonForm : public TBaseForm
{
    Q_OBJECT
public:
    explicit TLogonForm(QWidget *parent = nullptr);
    ~TLogonForm() override;

    bool FirstRun() const { return m_firstRun; }

private slots:
    void Ok_BtClick();

private:
    Ui::LogonForm *ui;
    bool m_firstRun = false;
};
