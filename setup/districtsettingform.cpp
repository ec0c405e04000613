#include "districtsettingform.h"

#include "districts.h"
#include "ui_districtsettingform.h"

#include "data/dm.h"
#include "ui/dialogs.h"
#include "ui/errorguard.h"
#include "ui/querygridmodel.h"

#include <algorithm>

TDistrictSetting_Form::TDistrictSetting_Form(QWidget *parent)
    : TBaseForm(parent), District_ado(dm->conn), ui(std::make_unique<Ui::DistrictSetting_Form>())
{
    ui->setupUi(this);
    District_ado.SQL = DistrictListLines();
    m_model = new QueryGridModel(District_ado,
                                 {{QStringLiteral("DistrictNumber"), tr("Group no.")},
                                  {QStringLiteral("Notes"), tr("Description")}},
                                 this);
    ui->DBGrid1->setModel(m_model);
    m_model->ApplyColumns(ui->DBGrid1);
    reopen();

    connect(ui->Add_Bt, &QPushButton::clicked, this, Guarded([this] { Add_BtClick(); }));
    connect(ui->Save_Bt, &QPushButton::clicked, this, Guarded([this] { Save_BtClick(); }));
    connect(ui->Delete_Bt, &QPushButton::clicked, this, Guarded([this] { Delete_BtClick(); }));
    connect(ui->DBGrid1, &QAbstractItemView::clicked, this,
            Guarded([this] { DBGrid1CellClick(); }));
    connect(ui->Dn_Edit, &QLineEdit::textChanged, this, Guarded([this] { Dn_EditChange(); }));
}

TDistrictSetting_Form::~TDistrictSetting_Form()
{
    // The model reads the query's rows; it goes first.
    delete m_model;
}

void TDistrictSetting_Form::reopen()
{
    const int row = ui->DBGrid1->currentIndex().row();
    m_model->Reload([this] { District_ado.Open(); });
    if (m_model->rowCount() > 0)
        ui->DBGrid1->setCurrentIndex(
            m_model->index(std::clamp(row, 0, m_model->rowCount() - 1), 0));
}

void TDistrictSetting_Form::Add_BtClick()
{
    ui->Dn_Edit->setEnabled(true);
    ui->Notes_Edit->setEnabled(true);
    ui->Save_Bt->setEnabled(false);
    ui->Dn_Edit->setFocus();
    ui->Add_Bt->setEnabled(false);
    ui->Delete_Bt->setEnabled(false);
}

void TDistrictSetting_Form::Dn_EditChange()
{
    ui->Save_Bt->setEnabled(!ui->Dn_Edit->text().isEmpty());
}

void TDistrictSetting_Form::Save_BtClick()
{
    const DistrictSave saved = SaveDistrict(dm->conn, ui->Dn_Edit->text(), ui->Notes_Edit->text());
    if (saved != DistrictSave::Stored) {
        ShowMessage(saved == DistrictSave::Exists ? tr("this group no. has exist")
                                                  : DistrictNumberRefusalText());
        ui->Dn_Edit->setFocus();
        return;
    }
    reopen();
    ui->Dn_Edit->clear();
    ui->Notes_Edit->clear();
    ui->Add_Bt->setEnabled(true);
    ui->Delete_Bt->setEnabled(false);
    ui->Save_Bt->setEnabled(false);
    ui->Dn_Edit->setEnabled(false);
    ui->Notes_Edit->setEnabled(false);
}

void TDistrictSetting_Form::Delete_BtClick()
{
    if (m_model->rowCount() > 0) {
        const QModelIndex current = ui->DBGrid1->currentIndex();
        const int row = current.isValid() ? current.row() : 0;
        DeleteDistrict(dm->conn, m_model->value(row, QStringLiteral("DistrictNumber")));
        reopen();
    }
    ui->Save_Bt->setEnabled(false);
}

void TDistrictSetting_Form::DBGrid1CellClick()
{
    ui->Add_Bt->setEnabled(true);
    ui->Delete_Bt->setEnabled(true);
    ui->Save_Bt->setEnabled(false);
}
