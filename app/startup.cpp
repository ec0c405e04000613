#include "startup.h"

#include "data/settings.h"
#include "language/catalogue.h"
#include "language/language.h"
#include "language/translator.h"
#include "logonform.h"
#include "operators/operators.h"
#include "ui/dialogs.h"

bool StartUp()
{
    TLockSystemInfo info;
    ReadSystemInfo(info);
    LockSystemInfo = info;
    // The interface language before any form or message: the shipped translations new to the
    // catalogue or changed since they were imported are imported first.
    const QStringList failures =
        ImportShippedTranslations(TLanguage::CatalogPath(), ShippedTranslationsFolder());
    if (!failures.isEmpty())
        ShowMessage(failures.join('\n'), QStringLiteral("Language catalogue"), MsgIcon::Warning);
    InstallInterfaceLanguage(LockSystemInfo.LanguageID);
    // A failure was reported; the logon dialog follows in every case.
    if (ConnectDatabase())
        HashPlainPasswordsOfOpenDatabase();
    TLogonForm *form = new TLogonForm();
    return ShowModalAndFree(form) == QDialog::Accepted;
}
