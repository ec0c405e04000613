#pragma once
#include "ui/baseform.h"

#include <memory>

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
    std::unique_ptr<Ui::LogonForm> ui; // freed also when the constructor fails
    bool m_firstRun = false;
};
