#include "startup.h"

#include "data/settings.h"
#include "logonform.h"

bool StartUp()
{
    TLockSystemInfo info;
    ReadSystemInfo(info);
    LockSystemInfo = info;
    ConnectDatabase(); // a failure was reported; the logon dialog follows in every case
    TLogonForm *form = new TLogonForm();
    return ShowModalAndFree(form) == QDialog::Accepted;
}
