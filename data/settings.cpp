#include "settings.h"

#include "appdir.h"
#include "dm.h"
#include "errors.h"
#include "inifile.h"
#include "languageids.h"
#include "notice.h"
#include "schema.h"
#include "serverdb.h"
#include "sqltext.h"

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
    // The interface language; a language the program knows no locale for is English.
    const int language = ini.ReadInteger("SystemInfo", "LanguageID", kEnglishLanguageID);
    info.LanguageID = IsKnownLanguage(language) ? language : kEnglishLanguageID;
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
    settings.MaxKeyDays = ini.ReadInteger("PMS", "MaxKeyDays", defaults.MaxKeyDays);
    settings.Tls = ini.ReadBool("PMS", "Tls", defaults.Tls);
    settings.PeerCertificate = ini.ReadString("PMS", "PeerCertificate", defaults.PeerCertificate);
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
        UpgradeHotelDatabase(dm->conn);
        return true;
    } catch (const NotADatabaseError &e) {
        ShowNotice(e.text(), QStringLiteral("提示"), NoticeIcon::Error);
        return false;
    } catch (const DbError &) {
        return false;
    }
}

bool ConnectDatabase()
{
    if (LockSystemInfo.ConnType == 1) {
        // The shared database server: a server that does not answer within a few seconds,
        // or refuses the login, gives false like any failed open.
        const IniFile ini(SettingsFilePath());
        dm->conn.Close();
        SetServerLogin(dm->conn, ini.ReadString("Client Config", "ServerName", QString()),
                       ini.ReadString("Client Config", "UserName", QString()),
                       ini.ReadString("Client Config", "Pass", QString()));
        try {
            dm->conn.Open();
            UpgradeHotelDatabase(dm->conn);
            return true;
        } catch (const DbError &) {
            return false;
        }
    }
    if (LockSystemInfo.ConnType != 0)
        return false;
    const QString path = ConfiguredDbPath();
    if (!QFileInfo(path).isFile()) {
        ShowNotice(QStringLiteral("文件不存在！"), QStringLiteral("提示"), NoticeIcon::None);
        return false;
    }
    return OpenDatabaseFile(path);
}

QString DateDiffPart(int unit)
{
    static const char *const jet[] = {"'d'", "'n'", "'h'"};
    // The server's DateDiff takes its unit as a text value.
    static const char *const server[] = {"'day'", "'minute'", "'hour'"};
    if (unit < 0 || unit > 2)
        return QString();
    if (LockSystemInfo.ConnType == 0)
        return QString::fromLatin1(jet[unit]);
    if (LockSystemInfo.ConnType == 1)
        return QString::fromLatin1(server[unit]);
    return QString();
}

DayComparison DayComparisonForm()
{
    return LockSystemInfo.ConnType == 1 ? DayComparison::DateDiff : DayComparison::Range;
}

namespace {

// The day's first moment as the stored date-time text. Written from the date alone: a local
// date-time at midnight is a time-zone computation, and in a zone whose clocks skip midnight
// it would be moved to the hour after.
QString midnight(const QDate &day)
{
    return QuotedStr(day.isValid() ? day.toString(Qt::ISODate) + QStringLiteral(" 00:00:00")
                                   : QString());
}

} // namespace

QStringList DaysFromToCondition(const QString &column, const QDate &first, const QDate &last,
                                DayComparison form)
{
    if (form == DayComparison::DateDiff)
        return {QStringLiteral("DateDiff(%1,%2,%3)>=0")
                    .arg(DateDiffPart(0), QuotedStr(first.toString(Qt::ISODate)), column),
                QStringLiteral("and"),
                QStringLiteral("DateDiff(%1,%2,%3)<=0")
                    .arg(DateDiffPart(0), QuotedStr(last.toString(Qt::ISODate)), column)};
    return {QStringLiteral("%1>=%2").arg(column, midnight(first)), QStringLiteral("and"),
            QStringLiteral("%1<%2").arg(column, midnight(last.addDays(1)))};
}

QStringList OnOrBeforeDayCondition(const QString &column, const QDateTime &moment,
                                   DayComparison form)
{
    if (form == DayComparison::DateDiff)
        return {QStringLiteral("(DateDiff(%1,%2, %3)<=0)")
                    .arg(DateDiffPart(0), SqlDateTime(moment), column)};
    return {QStringLiteral("(%1<%2)").arg(column, midnight(moment.date().addDays(1)))};
}
