#include "startup.h"

#include "data/settings.h"
#include "logonform.h"
#include "operators/operators.h"

bool StartUp()
{
    TLockSystemInfo info;
    ReadSystemInfo(info);
    LockSystemInfo = info;
    // A failure was reported; the logon dialog follows in every case.
    if (ConnectDatabase())
        HashPlainPasswordsOfOpenDatabase();
    TLogonForm *form = new TLogonForm();
    return ShowModalAndFree(form) == QDialog::Accepted;
}
