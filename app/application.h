#pragma once
// The application object. Its event dispatch is the last backstop for an error that a
// guarded handler (ui/errorguard.h) did not catch: the text is shown in a message box and
// the program goes on.
#include "ui/errorguard.h"

#include <QApplication>

class QuenmarApplication : public QApplication
{
public:
    // Sets the application title and the program's style (password fields show '*').
    // No display name is set: the platform would append it to every window title.
    QuenmarApplication(int &argc, char **argv);
    bool notify(QObject *receiver, QEvent *event) override;
};
