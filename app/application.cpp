#include "application.h"

#include "data/errors.h"

QuenmarApplication::QuenmarApplication(int &argc, char **argv) : QApplication(argc, argv) {}

bool QuenmarApplication::notify(QObject *receiver, QEvent *event)
{
    bool handled = false;
    RunGuarded([&] { handled = QApplication::notify(receiver, event); });
    return handled;
}
