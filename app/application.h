#pragma once
// The application object. Its event dispatch is the last backstop for an error that a
// guarded handler (ui/errorguard.h) did not catch: the text is shown in a message box and
// the program goes on.
#include "ui/errorguard.h"

#include <QApplication>

class QuenmarApplication : public QApplication
{
public:
    QuenmarApplication(int &argc, char **argv);
    bool notify(QObject *receiver, QEvent *event) override;
};
