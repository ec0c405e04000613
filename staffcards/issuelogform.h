#pragma once
// The issue log form: the issue records by issue day and card type, printed on request, and
// purged of the records older than a year by an operator with the settings right.
#include "issuelog.h"
#include "ui/baseform.h"

#include <memory>

class QLabel;
class QueryGridModel;

namespace Ui {
class MC_R_From;
}

class TMC_R_From : public TBaseForm
{
    Q_OBJECT
public:
    explicit TMC_R_From(QWidget *parent = nullptr);
    ~TMC_R_From() override;

    // The listed records (read as the grid scrolls) and their number.
    IssueLogList MC_S_ADO;

    // Lists the records the filter controls choose.
    void MakeCardRecordList();
    // The filter the controls choose.
    IssueLogFilter Filter() const;
    void DeleteOldData_BtClick();
    void Print_BtClick();
    // The status line: dialog text 0, the position in the list, "/", the number of rows.
    void MC_S_ADOAfterScroll();

private:
    std::unique_ptr<Ui::MC_R_From> ui;
    QueryGridModel *m_model;
    QList<QLabel *> m_panels;
    QString m_listedDays, m_listedType; // what the list shows, for the printout
};
