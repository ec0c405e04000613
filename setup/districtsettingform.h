#pragma once
// The group setting form: adds and deletes the districts that group cards open.
#include "data/dataset.h"
#include "ui/baseform.h"

#include <memory>

class QueryGridModel;

namespace Ui {
class DistrictSetting_Form;
}

class TDistrictSetting_Form : public TBaseForm
{
    Q_OBJECT
public:
    explicit TDistrictSetting_Form(QWidget *parent = nullptr);
    ~TDistrictSetting_Form() override;

    // The district list, by number.
    Query District_ado;

private:
    void Add_BtClick();
    void Save_BtClick();
    void Delete_BtClick();
    void DBGrid1CellClick();
    void Dn_EditChange();

    void reopen();

    std::unique_ptr<Ui::DistrictSetting_Form> ui;
    QueryGridModel *m_model;
};
