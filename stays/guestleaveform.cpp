#include "guestleaveform.h"

#include "cards/bookkeeping.h"
#include "data/dm.h"
#include "stays.h"
#include "ui/dialogs.h"
#include "ui/errorguard.h"
#include "ui/querygridmodel.h"
#include "ui_guestleaveform.h"

TGuestLeave_Form::TGuestLeave_Form(QWidget *parent)
    : TBaseForm(parent), ui(std::make_unique<Ui::GuestLeave_Form>()), GL_ADO(dm->conn),
      m_model(new QueryGridModel(
          GL_ADO, {{QStringLiteral("RoomStr"), tr("Doorplate No.")}}, this))
{
    ui->setupUi(this);
    ui->GuestInRecord_DBGrid->setModel(m_model);
    connect(ui->NoCardConfirm_Bt, &QPushButton::clicked, this,
            Guarded([this] { NoCardConfirm_BtClick(); }));
    connect(ui->Close_Bt, &QPushButton::clicked, this, &QDialog::reject);
    FindGuestInData();
}

TGuestLeave_Form::~TGuestLeave_Form()
{
    // The model reads the query's rows: it goes before the query does.
    delete m_model;
}

void TGuestLeave_Form::FindGuestInData()
{
    // The grid shows the query's rows as they are, without copies.
    m_model->Reload([this] { FindOpenStays(GL_ADO); });
    if (m_model->rowCount() > 0)
        ui->GuestInRecord_DBGrid->selectRow(0);
}

void TGuestLeave_Form::NoCardConfirm_BtClick()
{
    if (GL_ADO.IsEmpty())
        return;
    const QModelIndex current = ui->GuestInRecord_DBGrid->currentIndex();
    GL_ADO.MoveTo(current.isValid() ? current.row() : 0);
    const bool ended = EndStay(GL_ADO.FieldByName(QStringLiteral("ID")));
    RoomBoardDirty = true;
    FindGuestInData();
    if (!ended)
        ShowMessage(tr("This stay had already ended."));
}
