#pragma once
// The workstation's settings (Quenmar.ini), the global settings record, the database
// connection and the one dialect difference of statements.
#include <QDate>
#include <QString>
#include <QStringList>
#include <QTime>

struct TLockSystemInfo
{
    QString HotelName;
    int DayCount = 1;
    QTime LeaveTime = QTime(12, 0, 0);
    int TimeTolerance = 0;
    QString Staffer;
    QString StafferName;
    int GroupID = 0;
    QString Pass;
    int LanguageID = 1033;
    quint8 ConnType = 0;
    quint8 Recycle = 24;
};

struct TLock_Info
{
    quint8 LockType = 0;
    quint8 CommProt = 0;
    quint8 Sector = 8;
    quint8 Block = 0;
    quint8 KeyType = 0;
    QString KeyStr;
};

// The link to the hotel's property management system ([PMS] in Quenmar.ini).
struct TPmsSettings
{
    bool Enabled = false;
    QString Host = QStringLiteral("127.0.0.1");
    int Port = 0;
    QString KeyCoder = QStringLiteral("1");
    QString AuthKey; // empty: no authentication
    QString UserID = QStringLiteral("PMS");
    int MaxKeyDays = 366; // the furthest departure a key may carry, in days from today
    bool Tls = false;     // the link runs over TLS
    // The PMS interface's certificate: a PEM file, or its SHA-256 fingerprint in hex. Empty:
    // the certificate must be one the system trusts, for the configured host.
    QString PeerCertificate;
};

// The one global settings record of the run.
extern TLockSystemInfo LockSystemInfo;

// The settings file in the program folder.
QString SettingsFilePath();
QString InformationFilePath();

// The factory transport key of contactless cards, the default of Config/KeyStr.
extern const char *const kFactoryKeyStr;

void ReadSystemInfo(TLockSystemInfo &info);
void ReadLockInfo(TLock_Info &info);
void ReadPmsSettings(TPmsSettings &settings);

// Client Config/DbPath as written, or the default path when it is not set.
QString ConfiguredDbPathText();
// A database path as the operator gave it, resolved for this file system: a relative
// path is relative to the program folder (never to the working directory).
QString ResolveDbPath(const QString &path);
// Client Config/DbPath with its default, resolved.
QString ConfiguredDbPath();

// Connection string templates of the two database kinds.
QString JetConnectionString(const QString &path);
QString ServerConnectionString(const QString &pass, const QString &user, const QString &server);

// Opens the data module's connection as configured; false when it did not open.
bool ConnectDatabase();
// Opens the data module's connection on a database file (used by ConnectDatabase and the
// connection dialog's test). A file that is no database is reported; false on failure.
bool OpenDatabaseFile(const QString &path);

// The DateDiff interval argument for unit 0 (day), 1 (minute), 2 (hour), in the
// dialect of the configured database kind ('d', 'n', 'h' for the file kind; 'day',
// 'minute', 'hour' for the server kind); empty for anything else.
QString DateDiffPart(int unit);

// How a statement compares the day of a stored date-time with calendar days. The database
// server counts day boundaries with DateDiff; the embedded database compares the stored
// date-time text with the midnights around the days, which its index on the column serves.
enum class DayComparison { Range, DateDiff };
// The form of the configured database kind.
DayComparison DayComparisonForm();

// The lines of a condition: `column` falls on a day from `first` through `last`, both
// included (nothing when first lies after last).
QStringList DaysFromToCondition(const QString &column, const QDate &first, const QDate &last,
                                DayComparison form = DayComparisonForm());
// The lines of a condition: `column` falls on the day of `moment` or earlier.
QStringList OnOrBeforeDayCondition(const QString &column, const QDateTime &moment,
                                   DayComparison form = DayComparisonForm());
