#pragma once
#include "ui/baseform.h"

#include "data/dataset.h"
#include <memory>

class QueryGridModel;
namespace Ui {
class GuestLeave_Form;
}

// Check-out: lists the open stays and ends the selected one.
class TGuestLeave_Form : public TBaseForm
{
    Q_OBJECT
public:
    explicit TGuestLeave_Form(QWidget *parent = nullptr);
    ~TGuestLeave_Form() override;

    void FindGuestInData();

public slots:
    void NoCardConfirm_BtClick();

private:
    std::unique_ptr<Ui::GuestLeave_Form> ui; // freed also when the constructor fails
    Query GL_ADO;
    QueryGridModel *m_model;
};
