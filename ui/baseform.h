#pragma once
// The common base of the program's forms: it sees the keys of its controls first,
// closes on Esc and keeps Ctrl+Alt+F12 for the language capture.
#include "language/language.h"

#include <QDialog>

class QKeyEvent;

class TBaseForm : public QDialog
{
    Q_OBJECT
public:
    explicit TBaseForm(QWidget *parent = nullptr);

    TLanguage *Language1;

protected:
    // Sees every key pressed in the form before its control does; true when handled.
    virtual bool FormKeyDown(QKeyEvent *event);
    bool eventFilter(QObject *watched, QEvent *event) override;
    void showEvent(QShowEvent *event) override;
    void childEvent(QChildEvent *event) override;

private:
    void watch(QObject *object);
};

// Shows a form modally and frees it when it closes. Once the program is ending (a form
// found while opening that it must end), the form is freed without being shown.
int ShowModalAndFree(QDialog *form);
