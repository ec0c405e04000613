#pragma once
#include "staffcards.h"
#include "ui/baseform.h"

#include <array>

class QButtonGroup;
class QDateEdit;
class QLineEdit;
class QTimeEdit;
namespace Ui {
class MakeCard_Form;
}

// Issues staff and function cards, one page per card kind; the operator's rights decide
// which pages may issue.
class TMakeCard_Form : public TBaseForm
{
    Q_OBJECT
public:
    explicit TMakeCard_Form(QWidget *parent = nullptr);
    ~TMakeCard_Form() override;

    // Shows the page (the rights check follows for it).
    void SetPage(int page);

public slots:
    void Encode_BtClick();
    void PageControl1Change();

protected:
    bool FormKeyDown(QKeyEvent *event) override;

private:
    struct PageInputs
    {
        QLineEdit *holder;
        QDateEdit *startDate; // nullptr: the card starts when issued
        QTimeEdit *startTime;
        QDateEdit *endDate;
        QTimeEdit *endTime;
    };

    void setDefaultTimes();
    void fillLists();
    StaffCardRequest currentRequest(const StaffCardKind &kind, const QDateTime &now) const;
    void ShowPromptMessage(int result);

    Ui::MakeCard_Form *ui;
    std::array<PageInputs, 10> m_pages;
    QButtonGroup *m_lostKinds;
};
