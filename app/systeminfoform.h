#pragma once
#include "ui/baseform.h"
#include "data/settings.h"

class QButtonGroup;
namespace Ui {
class SystemInfo_Form;
}

// The parameter settings form.
class TSystemInfo_Form : public TBaseForm
{
    Q_OBJECT
public:
    explicit TSystemInfo_Form(QWidget *parent = nullptr);
    ~TSystemInfo_Form() override;

    void GetBrevanInfo();
    void SaveBrevanInfo();

private:
    Ui::SystemInfo_Form *ui;
    QButtonGroup *m_ports;
    TLock_Info m_lockInfo;
};
