#include "settings.h"

#include "appdir.h"
#include "dm.h"
#include "errors.h"
#include "inifile.h"
#include "ui/dialogs.h"

#include <QDir>
#include <QFileInfo>

TLockSystemInfo LockSystemInfo;

const char *const kFactoryKeyStr = "FFFFFFFFFFFF";

QString SettingsFilePath()
{
    return ProgramPath(QStringLiteral("Quenmar.ini"));
}
QString InformationFilePath()
{
    return ProgramPath(QStringLiteral("Information.ini"));
}

void ReadSystemInfo(TLockSystemInfo &info)
{
    const IniFile ini(SettingsFilePath());
    info = TLockSystemInfo();
    info.HotelName = ini.ReadString("SystemInfo", "HotelName", QString());
    info.DayCount = ini.ReadInteger("SystemInfo", "DayCount", 1);
    info.LeaveTime = ini.ReadTime("SystemInfo", "LeaveTime", QTime(12, 0, 0));
    info.TimeTolerance = ini.ReadInteger("SystemInfo", "TimeTolerance", 0);
    info.Pass = ini.ReadString("SystemInfo", "Pass", QString());
    info.LanguageID = 1033;
    info.ConnType = static_cast<quint8>(ini.ReadInteger("Client Config", "ConnType", 0));
    info.Recycle = static_cast<quint8>(ini.ReadInteger("Client Config", "Recycle", 24));
}

void ReadLockInfo(TLock_Info &info)
{
    const IniFile ini(SettingsFilePath());
    info.LockType = static_cast<quint8>(ini.ReadInteger("Config", "LockType", 0));
    info.CommProt = static_cast<quint8>(ini.ReadInteger("Config", "CommProt", 0));
    info.Sector = static_cast<quint8>(ini.ReadInteger("Config", "Sector", 8));
    info.Block = static_cast<quint8>(ini.ReadInteger("Config", "Block", 0));
    info.KeyType = static_cast<quint8>(ini.ReadInteger("Config", "KeyType", 0));
    info.KeyStr = ini.ReadString("Config", "KeyStr", QString::fromLatin1(kFactoryKeyStr));
}

QString ConfiguredDbPathText()
{
    const IniFile ini(SettingsFilePath());
    const QString configured = ini.ReadString("Client Config", "DbPath", QString());
    return configured.isEmpty() ? ProgramPath(QStringLiteral("db/lock.mdb")) : configured;
}

QString ResolveDbPath(const QString &path)
{
    QString p = path;
    p.replace('\\', '/');
    if (QDir::isRelativePath(p))
        return ProgramPath(p);
    return ResolvePathCase(p);
}

void ReadPmsSettings(TPmsSettings &settings)
{
    const IniFile ini(SettingsFilePath());
    const TPmsSettings defaults;
    settings.Enabled = ini.ReadBool("PMS", "Enabled", defaults.Enabled);
    settings.Host = ini.ReadString("PMS", "Host", defaults.Host);
    settings.Port = ini.ReadInteger("PMS", "Port", defaults.Port);
    settings.KeyCoder = ini.ReadString("PMS", "KeyCoder", defaults.KeyCoder);
    settings.AuthKey = ini.ReadString("PMS", "AuthKey", defaults.AuthKey);
    settings.UserID = ini.ReadString("PMS", "UserID", defaults.UserID);
}

QString ConfiguredDbPath()
{
    return ResolveDbPath(ConfiguredDbPathText());
}

QString JetConnectionString(const QString &path)
{
    return QStringLiteral("Provider=Microsoft.Jet.OLEDB.4.0;Data Source=%1;Persist Security "
                          "Info=False;Jet OLEDB:Database Password=wynpelk")
        .arg(path);
}

QString ServerConnectionString(const QString &pass, const QString &user, const QString &server)
{
    return QStringLiteral("Provider=SQLOLEDB.1;Password=%1;Persist Security Info=False;User "
                          "ID=%2;Initial Catalog=quorvel;Data Source=%3")
        .arg(pass, user, server);
}

bool OpenDatabaseFile(const QString &path)
{
    dm->conn.Close();
    dm->conn.ConnectionString = JetConnectionString(path);
    dm->conn.DatabaseFile = path;
    try {
        dm->conn.Open();
        return true;
    } catch (const NotADatabaseError &e) {
        ShowMessage(e.text(), QStringLiteral("提示"), MsgIcon::Error);
        return false;
    } catch (const DbError &) {
        return false;
    }
}

bool ConnectDatabase()
{
    if (LockSystemInfo.ConnType == 1) {
        // The database server kind is not available on this workstation yet.
        return false;
    }
    if (LockSystemInfo.ConnType != 0)
        return false;
    const QString path = ConfiguredDbPath();
    if (!QFileInfo(path).isFile()) {
        ShowMessage(QStringLiteral("文件不存在！"), QStringLiteral("提示"), MsgIcon::None,
                    MsgButtons::Ok);
        return false;
    }
    return OpenDatabaseFile(path);
}

QString DateDiffPart(int unit)
{
    static const char *const jet[] = {"'d'", "'n'", "'h'"};
    static const char *const server[] = {"d", "n", "hh"};
    if (unit < 0 || unit > 2)
        return QString();
    if (LockSystemInfo.ConnType == 0)
        return QString::fromLatin1(jet[unit]);
    if (LockSystemInfo.ConnType == 1)
        return QString::fromLatin1(server[unit]);
    return QString();
}
