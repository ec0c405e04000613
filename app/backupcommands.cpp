#include "backupcommands.h"

#include "cards/bookkeeping.h"
#include "data/appdir.h"
#include "data/backup.h"
#include "data/clock.h"
#include "data/dm.h"
#include "data/errors.h"
#include "data/settings.h"
#include "language/language.h"
#include "operators/operators.h"
#include "oplog/operationlog.h"
#include "ui/dialogs.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

namespace {

// The file kind the backup and the restore offer.
QString backupFilter()
{
    return QCoreApplication::translate("TMainForm", "Access Data(*.mdb)");
}

// Dialog texts of the main window used here.
enum Text {
    Caption = 2,
    BackupDone = 3,
    BackupExists = 4,
    RestoreDone = 6,
    RestoreMissing = 7,
    RestoreFailed = 11,
    BackupFailed = 12,
    DumpToolMissing = 13,
    ServerRestoreRefused = 14,
    RestoreFromOpenDatabase = 15,
    RestoreWithoutAccounts = 16,
    RestoreWithoutManager = 17,
};

void tell(const TLanguage &language, int text, MsgIcon icon, const QString &detail = QString())
{
    QString message = language.GetDialogText(text);
    if (!detail.isEmpty())
        message += QStringLiteral("\n") + detail;
    ShowMessage(message, language.GetDialogText(Caption), icon);
}

QString backupFolder()
{
    return ProgramPath(QStringLiteral("DB"));
}

void reportBackup(const TLanguage &language, BackupResult result, const QString &detail)
{
    switch (result) {
    case BackupResult::Done:
        tell(language, BackupDone, MsgIcon::Information);
        break;
    case BackupResult::Exists:
        tell(language, BackupExists, MsgIcon::Error);
        break;
    case BackupResult::Failed:
        tell(language, BackupFailed, MsgIcon::Error, detail);
        break;
    }
}

// Backups and restores copy whole files, outside any transaction: their row is written
// once the copy is done (a restore's into the data restored), and a database that cannot
// take it does not turn the finished copy into a failure.
void logCopy(const char *action, const QString &detail)
{
    try {
        LogOperation(dm->conn, QString::fromLatin1(action), QString(), detail);
    } catch (const DbError &) {
    }
}

} // namespace

void DataBackupClick(const TLanguage &language)
{
    const QString suggested = backupFolder() + QLatin1Char('/') + BackupFileName(Now());
    QString target = dialogs().saveFileName(QString(), backupFilter(), suggested);
    if (target.isEmpty())
        return;
    // A name typed without an extension gets the one the restore lists.
    if (QFileInfo(target).suffix().isEmpty())
        target += QStringLiteral(".mdb");
    if (QFileInfo::exists(target)) {
        tell(language, BackupExists, MsgIcon::Error);
        return;
    }
    QString detail;
    if (LockSystemInfo.ConnType == 1) {
        // A shared server is saved as a dump of its database, never as the local file.
        if (DumpToolPath().isEmpty()) {
            tell(language, DumpToolMissing, MsgIcon::Error);
            return;
        }
        const BackupResult result = DumpServerDatabase(dm->conn, target, &detail);
        if (result == BackupResult::Done)
            logCopy(LogAction::Backup, QDir::toNativeSeparators(target));
        reportBackup(language, result, detail);
        return;
    }
    const BackupResult result = BackupDatabase(dm->conn, target, &detail);
    if (result == BackupResult::Done)
        logCopy(LogAction::Backup, QDir::toNativeSeparators(target));
    reportBackup(language, result, detail);
}

void DataRecoveryClick(const TLanguage &language)
{
    if (LockSystemInfo.ConnType == 1) {
        tell(language, ServerRestoreRefused, MsgIcon::Error);
        return;
    }
    const QString source = dialogs().openFileName(QString(), backupFilter(), backupFolder());
    if (source.isEmpty())
        return;
    if (!QFileInfo(source).isFile()) {
        tell(language, RestoreMissing, MsgIcon::Error);
        return;
    }
    if (IsOpenDatabaseFile(dm->conn, source)) {
        tell(language, RestoreFromOpenDatabase, MsgIcon::Error);
        return;
    }
    QString detail;
    if (!CheckHotelDatabaseFile(source, &detail)) {
        tell(language, RestoreFailed, MsgIcon::Error, detail);
        return;
    }
    // A hotel whose operators nobody can manage is restored only when the operator says so.
    const OperatorManagers managers = OperatorManagersOf(source);
    if (managers != OperatorManagers::Some &&
        ShowMessage(language.GetDialogText(managers == OperatorManagers::NoAccounts
                                               ? RestoreWithoutAccounts
                                               : RestoreWithoutManager),
                    language.GetDialogText(Caption), MsgIcon::Question,
                    MsgButtons::OkCancel) != MsgResult::Ok)
        return;
    QDir().mkpath(backupFolder());
    const QString safetyCopy = backupFolder() + QLatin1Char('/') + BeforeRestoreFileName(Now());
    switch (RestoreDatabase(dm->conn, source, safetyCopy, &detail)) {
    case RestoreResult::Done:
        HashPlainPasswordsOfOpenDatabase();
        logCopy(LogAction::Restore,
                QStringLiteral("from %1; the data replaced kept as %2")
                    .arg(QDir::toNativeSeparators(source), QDir::toNativeSeparators(safetyCopy)));
        RoomBoardDirty = true;
        tell(language, RestoreDone, MsgIcon::Information, QDir::toNativeSeparators(safetyCopy));
        break;
    case RestoreResult::Missing:
        tell(language, RestoreMissing, MsgIcon::Error);
        break;
    case RestoreResult::IsOpenDatabase:
        tell(language, RestoreFromOpenDatabase, MsgIcon::Error);
        break;
    case RestoreResult::Failed:
        tell(language, RestoreFailed, MsgIcon::Error, detail);
        break;
    }
}
