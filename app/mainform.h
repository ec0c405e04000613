#pragma once
#include "language/language.h"

#include <QMainWindow>

namespace Ui {
class MainForm;
}

// The main window: the room board, the commands and the operator's rights.
class TMainForm : public QMainWindow
{
    Q_OBJECT
public:
    explicit TMainForm(QWidget *parent = nullptr);
    ~TMainForm() override;

    TLanguage *Language1;

    // True when creation found that the program must end (the operator is gone).
    bool Ended() const { return m_ended; }

    void InitMenu();

private:
    Ui::MainForm *ui;
    bool m_ended = false;
};
