#include "application.h"

#include "data/errors.h"
#include "dialogs.h"

QuenmarApplication::QuenmarApplication(int &argc, char **argv) : QApplication(argc, argv) {}

void ShowTopLevelError(const QString &text)
{
    ShowMessage(text, QApplication::applicationName(), MsgIcon::Error);
}

bool QuenmarApplication::notify(QObject *receiver, QEvent *event)
{
    try {
        return QApplication::notify(receiver, event);
    } catch (const AppError &e) {
        ShowTopLevelError(e.text());
    } catch (const std::exception &e) {
        ShowTopLevelError(QString::fromLocal8Bit(e.what()));
    }
    return false;
}

namespace {
bool endRequested = false;
}

void EndProgram()
{
    endRequested = true;
    QApplication::closeAllWindows();
    QCoreApplication::exit(0);
}

bool ProgramEndRequested()
{
    return endRequested;
}
