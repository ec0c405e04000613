#include "reportlibrary.h"

#include "data/appdir.h"
#include "print/print.h"
#include "ui/dialogs.h"
#include "ui/querygridmodel.h"

#include <QCoreApplication>
#include <QFile>

#include <dlfcn.h>

static_assert(QueryGridModel::HiddenColumnRole == PRINT_HIDDEN_COLUMN_ROLE,
              "the report library leaves out the columns the grid hides");
static_assert(QueryGridModel::FreeTextColumnRole == PRINT_FREE_TEXT_COLUMN_ROLE,
              "the report library wraps the columns of free texts");

QString ReportLibraryPath()
{
    return ProgramPath(QStringLiteral("Dll/libPrint.so"));
}

void PrintReport(QWidget *window, QAbstractItemModel *list, ReportKind kind)
{
    const QString path = ReportLibraryPath();
    const QString caption = QCoreApplication::translate("Print", "Print");
    // The library draws with Qt and stays loaded once loaded: unloading it would take Qt
    // classes and plugins with it that the running application still knows.
    void *library =
        dlopen(QFile::encodeName(path).constData(), RTLD_NOW | RTLD_LOCAL | RTLD_NODELETE);
    if (!library) {
        ShowMessage(QCoreApplication::translate("Print",
                                                "The report library %1 could not be loaded, so "
                                                "nothing can be printed.\n%2")
                        .arg(path, QString::fromLocal8Bit(dlerror())),
                    caption, MsgIcon::Error);
        return;
    }
    auto entry = reinterpret_cast<PrintFormShowFn>(dlsym(library, "PrintForm_Show"));
    if (!entry) {
        dlclose(library);
        ShowMessage(QCoreApplication::translate("Print",
                                                "The report library %1 has no entry "
                                                "PrintForm_Show, so nothing can be printed.")
                        .arg(path),
                    caption, MsgIcon::Error);
        return;
    }
    TPrintFromDll record{};
    record.Handle = window;
    record.List = list;
    record.Kind = uint8_t(kind);
    entry(record);
    dlclose(library);
}
