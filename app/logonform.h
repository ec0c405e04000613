#pragma once
#include "ui/baseform.h"

#include <memory>

class QTimer;

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
    // Disables Ok with a line saying when the next attempt may be made while the throttle
    // holds attempts back; enables it again once that moment has come.
    void UpdateWait();

private slots:
    void Ok_BtClick();

private:
    std::unique_ptr<Ui::LogonForm> ui; // freed also when the constructor fails
    bool m_firstRun = false;
    QTimer *m_waitTimer;
};
