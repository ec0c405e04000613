#pragma once
// The operation log form: who did what, by day, operator and action; the chain of hashes
// checked on request; printed through the report library; rows older than a number of
// years purged by an operator with the settings right.
#include "data/dataset.h"
#include "oplog/operationlog.h"
#include "ui/baseform.h"

#include <memory>

class QLabel;
class QueryGridModel;

namespace Ui {
class OperationLog_Form;
}

class TOperationLog_Form : public TBaseForm
{
    Q_OBJECT
public:
    explicit TOperationLog_Form(QWidget *parent = nullptr);
    ~TOperationLog_Form() override;

    // The listed rows (read as the grid scrolls) and their number.
    LazyQuery Log_ado;
    int Count = 0;

    OperationLogFilter Filter() const;
    void List();
    void Verify_BtClick();
    void DeleteOldData_BtClick();
    void Print_BtClick();
    void AfterScroll();

private:
    std::unique_ptr<Ui::OperationLog_Form> ui;
    QueryGridModel *m_model;
    QList<QLabel *> m_panels;
    QString m_listedDays; // the days of the list shown, for its printed heading
};
