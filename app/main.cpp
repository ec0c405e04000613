// Quenmar: the reception workstation program.
#include "app/application.h"
#include "app/mainform.h"
#include "app/startup.h"
#include "data/dm.h"
#include "data/errors.h"

#include <memory>

int main(int argc, char **argv)
{
    QuenmarApplication app(argc, argv);

    Tdm module;
    dm = &module;

    bool loggedOn = false;
    try {
        loggedOn = StartUp();
    } catch (const AppError &e) {
        // The logon dialog could not even be built (no database): say why and end.
        ShowTopLevelError(e.text());
    }
    if (!loggedOn)
        return 0;

    std::unique_ptr<TMainForm> mainForm;
    try {
        mainForm = std::make_unique<TMainForm>();
    } catch (const AppError &e) {
        ShowTopLevelError(e.text());
        return 1;
    }
    if (mainForm->Ended())
        return 0;
    mainForm->showMaximized();
    const int code = app.exec();
    mainForm.reset();
    dm = nullptr;
    return code;
}
