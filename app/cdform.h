#pragma once
#include "ui/baseform.h"

namespace Ui {
class CdForm;
}

// The database connection dialog.
class TCdForm : public TBaseForm
{
    Q_OBJECT
public:
    explicit TCdForm(QWidget *parent = nullptr);
    ~TCdForm() override;

    bool PageSelected() const { return m_pageSelected; }
    // Replaces the live connection with one to the file in the field.
    bool TestConnection();

private slots:
    void Browse_BtClick();
    void Test_BtClick();
    void Save_BtClick();

private:
    // The path in the field, without the line breaks around it.
    QString PathText() const;

    Ui::CdForm *ui;
    bool m_pageSelected = false;
};
