#include "operatorform.h"

#include "operators.h"
#include "ui_operatorform.h"

#include "data/dm.h"
#include "data/rights.h"
#include "ui/dialogs.h"
#include "ui/errorguard.h"
#include "ui/inputpasswordbox.h"
#include "ui/querygridmodel.h"

#include <QCheckBox>
#include <QHeaderView>

namespace {

// A right column's value as shown: null and 0 are false; text reads "true" or a number.
bool Truth(const QVariant &value)
{
    if (value.typeId() == QMetaType::QString) {
        const QString t = value.toString().trimmed();
        return t.compare(QStringLiteral("true"), Qt::CaseInsensitive) == 0 || t.toInt() != 0;
    }
    return value.toInt() != 0;
}

} // namespace

TOperator_Form::TOperator_Form(QWidget *parent)
    : TBaseForm(parent), ui(std::make_unique<Ui::Operator_Form>())
{
    ui->setupUi(this);

    // The seventeen right boxes, three to a row under "All".
    int i = 0;
    for (const OperatorRight &right : OperatorRights()) {
        auto *box =
            new QCheckBox(QCoreApplication::translate("Rights", right.caption), ui->QuanXian_Gb);
        box->setObjectName(QString::fromLatin1(right.checkBox));
        ui->QuanXian_Layout->addWidget(box, 1 + i / 3, i % 3);
        m_rightBoxes.append(box);
        ++i;
    }
    // Made after the form's texts were loaded: their captured texts go on now.
    for (QCheckBox *box : m_rightBoxes)
        Language1->LoadComponent(box);

    // The tables hold the rows read when they were opened: read them afresh.
    Table &operators = dm->Operator_ado;
    dm->Groups_ado.Open();
    operators.Filtered = false;
    operators.Open();
    m_model = new QueryGridModel(operators,
                                 {{QStringLiteral("StafferName"), tr("True Name"), true, false, {}},
                                  {QStringLiteral("Staffer"), tr("User Name"), true, false, {}},
                                  {QStringLiteral("Branch"), tr("Password"), true, false, {}}},
                                 this);
    ui->EmployeeInfo_DBGrid->setModel(m_model);
    ui->EmployeeInfo_DBGrid->verticalHeader()->hide();
    ui->EmployeeInfo_DBGrid->horizontalHeader()->setStretchLastSection(true);

    connect(ui->EmployeeInfo_DBGrid->selectionModel(), &QItemSelectionModel::selectionChanged, this,
            [this] { HighlightChanged(); });
    connect(m_model, &QAbstractItemModel::modelReset, this, [this] { HighlightChanged(); });
    connect(
        ui->EmployeeInfo_DBGrid, &QAbstractItemView::clicked, this,
        Guarded([this](const QModelIndex &index) { EmployeeInfo_DBGridCellClick(index.row()); }));
    connect(ui->Add_BT, &QPushButton::clicked, this, Guarded([this] { Add_BTClick(); }));
    connect(ui->Save_Bt, &QPushButton::clicked, this, Guarded([this] { Save_BtClick(); }));
    connect(ui->PassOk_Bt, &QPushButton::clicked, this, Guarded([this] { PassOk_BtClick(); }));
    connect(ui->Delete_Bt, &QPushButton::clicked, this, Guarded([this] { Delete_BtClick(); }));
    connect(ui->SelectAll_CB, &QCheckBox::toggled, this,
            Guarded([this](bool checked) { SelectAll_CBClick(checked); }));
    for (QLineEdit *edit : {ui->User_Edit, ui->StafferName_Edit})
        connect(edit, &QLineEdit::textChanged, this, Guarded([this] { NameChanged(); }));
}

TOperator_Form::~TOperator_Form()
{
    // The model reads the shared table's rows: it goes before anything else.
    delete m_model;
}

void TOperator_Form::EmployeeInfo_DBGridCellClick(int row)
{
    if (row < 0 || row >= m_model->rowCount())
        return;
    m_selectedId = m_model->value(row, QStringLiteral("ID")).toLongLong();
    // A password can be set here only while the account has none.
    const bool noPassword =
        m_model->value(row, QStringLiteral("Branch")).toString() != PasswordSetMark();
    ui->Pass1_Edit->setEnabled(noPassword);
    ui->PassOk_Bt->setEnabled(noPassword);
    if (noPassword)
        ui->Pass1_Edit->setFocus();

    const auto &rights = OperatorRights();
    for (int i = 0; i < m_rightBoxes.size(); ++i)
        m_rightBoxes[i]->setChecked(
            Truth(m_model->value(row, QString::fromLatin1(rights[size_t(i)].column))));
    ui->SelectAll_CB->setChecked(false);

    // The shown rights cannot be changed: an account's rights are chosen when it is added.
    ui->QuanXian_Gb->setEnabled(false);
    ui->Save_Bt->setEnabled(false);
    ui->Delete_Bt->setEnabled(true);
    ui->Add_BT->setEnabled(true);
    ui->User_Edit->clear();
}

qint64 TOperator_Form::HighlightedAccount() const
{
    const QModelIndexList rows = ui->EmployeeInfo_DBGrid->selectionModel()->selectedRows();
    if (rows.size() != 1)
        return -1;
    return m_model->value(rows.first().row(), QStringLiteral("ID")).toLongLong();
}

void TOperator_Form::HighlightChanged()
{
    if (m_selectedId >= 0 && HighlightedAccount() != m_selectedId)
        ForgetAccount(false); // the new highlight stays: a click on it follows
}

void TOperator_Form::ForgetAccount(bool clearHighlight)
{
    m_selectedId = -1;
    if (clearHighlight)
        ui->EmployeeInfo_DBGrid->clearSelection();
    ui->Pass1_Edit->clear();
    ui->Pass1_Edit->setEnabled(false);
    ui->PassOk_Bt->setEnabled(false);
    ui->Delete_Bt->setEnabled(false);
}

void TOperator_Form::ClearRights()
{
    for (QCheckBox *box : m_rightBoxes)
        box->setChecked(false);
}

void TOperator_Form::Add_BTClick()
{
    ForgetAccount();
    ui->User_Edit->setEnabled(true);
    ui->StafferName_Edit->setEnabled(true);
    ui->Add_BT->setEnabled(false);
    ui->StafferName_Edit->setFocus();
    ui->QuanXian_Gb->setEnabled(false);
    ClearRights();
    ui->SelectAll_CB->setChecked(false);
    ui->User_Edit->clear();
}

void TOperator_Form::NameChanged()
{
    if (!ui->User_Edit->text().isEmpty() && !ui->StafferName_Edit->text().isEmpty()) {
        ui->QuanXian_Gb->setEnabled(true);
        ui->Save_Bt->setEnabled(true);
    }
}

void TOperator_Form::SelectAll_CBClick(bool checked)
{
    if (!checked)
        return;
    for (QCheckBox *box : m_rightBoxes)
        box->setChecked(true);
}

void TOperator_Form::Save_BtClick()
{
    QList<bool> rights;
    for (QCheckBox *box : m_rightBoxes)
        rights.append(box->isChecked());
    AddedOperator added;
    m_model->Reload(
        [&] { added = AddOperator(ui->User_Edit->text(), ui->StafferName_Edit->text(), rights); });
    if (added.result != AddOperatorResult::Added) {
        ShowMessage(added.result == AddOperatorResult::NameTaken ? tr("This user has exist!")
                                                                 : tr("You must input user name!"));
        ui->User_Edit->setFocus();
        return;
    }
    ForgetAccount();
    ClearRights();
    ui->User_Edit->clear();
    ui->StafferName_Edit->clear();
    ui->User_Edit->setEnabled(false);
    ui->StafferName_Edit->setEnabled(false);
    ui->Save_Bt->setEnabled(false);
    ui->Add_BT->setEnabled(true);
}

void TOperator_Form::PassOk_BtClick()
{
    if (m_selectedId < 0 || HighlightedAccount() != m_selectedId)
        return;
    QString again;
    if (!TInputPasswordBox::Ask(this, &again))
        return;
    if (again.isEmpty()) {
        ShowMessage(tr("You must input password!"));
        return;
    }
    if (again != ui->Pass1_Edit->text()) {
        ShowMessage(tr("Two passwords not same!"));
        return;
    }
    if (again.size() > kPasswordMaxLength) {
        ShowMessage(PasswordTooLongText());
        return;
    }
    m_model->Reload([&] { SetOperatorPassword(m_selectedId, again); });
    // The reloaded grid highlights nothing: Delete and the password group wait for a click.
    ForgetAccount();
}

void TOperator_Form::Delete_BtClick()
{
    if (m_selectedId < 0 || HighlightedAccount() != m_selectedId)
        return;
    DeleteOperatorResult result = DeleteOperatorResult::Gone;
    m_model->Reload([&] { result = DeleteOperator(m_selectedId); });
    if (result == DeleteOperatorResult::LastAdministrator) {
        ShowMessage(tr("You can not delete the last administrator!"));
        return;
    }
    if (result == DeleteOperatorResult::OwnAccount) {
        ShowMessage(tr("You can not delete the account you are logged on with!"));
        return;
    }
    ForgetAccount();
}
