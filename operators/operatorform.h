#pragma once
// Operator accounts: the list of accounts, adding one with its rights, giving an account its
// first password, deleting an account (never the last administrator).
#include "ui/baseform.h"

#include <QList>

#include <memory>

class QCheckBox;
class QueryGridModel;

namespace Ui {
class Operator_Form;
}

class TOperator_Form : public TBaseForm
{
    Q_OBJECT
public:
    explicit TOperator_Form(QWidget *parent = nullptr);
    ~TOperator_Form() override;

    // The right check boxes, in the order of OperatorRights().
    const QList<QCheckBox *> &RightBoxes() const { return m_rightBoxes; }
    // The ID of the account the password group and Delete act on; -1 for none.
    qint64 SelectedAccount() const { return m_selectedId; }

    void EmployeeInfo_DBGridCellClick(int row);
    void Add_BTClick();
    void Save_BtClick();
    void PassOk_BtClick();
    void Delete_BtClick();

private:
    void NameChanged();
    void SelectAll_CBClick(bool checked);
    // Forgets the clicked account: the password group and Delete wait for another click.
    void ForgetAccount(bool clearHighlight = true);
    // Keeps the password group and Delete on the highlighted account: when the highlight
    // goes (the grid reloads) or moves to another row, they wait for a click.
    void HighlightChanged();
    qint64 HighlightedAccount() const;
    void ClearRights();

    std::unique_ptr<Ui::Operator_Form> ui;
    QueryGridModel *m_model;
    QList<QCheckBox *> m_rightBoxes;
    qint64 m_selectedId = -1;
};
