#include "errorguard.h"

#include "data/errors.h"
#include "dialogs.h"

#include <QApplication>

void ShowTopLevelError(const QString &text)
{
    ShowMessage(text, QApplication::applicationName(), MsgIcon::Error);
}

bool RunGuarded(const std::function<void()> &body)
{
    try {
        body();
        return true;
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
