#pragma once
#include <QDialog>

namespace Ui {
class InputPasswordBox;
}

// Asks for a password a second time, to confirm one typed elsewhere.
class TInputPasswordBox : public QDialog
{
    Q_OBJECT
public:
    explicit TInputPasswordBox(QWidget *parent = nullptr);
    ~TInputPasswordBox() override;

    QString text() const;

    // Shows a fresh, empty prompt; true and the typed text when confirmed.
    static bool Ask(QWidget *parent, QString *typed);

private:
    Ui::InputPasswordBox *ui;
};
