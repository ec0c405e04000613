// Data module, statements, settings files and the database connection.
#include "app/application.h"
#include "data/appdir.h"
#include "data/errors.h"
#include "data/inifile.h"
#include "data/schema.h"
#include "data/settings.h"
#include "data/sqltext.h"
#include "language/language.h"
#include "pms/client.h"
#include "support/testhotel.h"

#include <QDialog>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QScopeGuard>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <sys/stat.h>
#include <unistd.h>

class TestData : public QObject
{
    Q_OBJECT
private slots:
    void quotedValuesReachTheDatabaseAsTyped_data();
    void quotedValuesReachTheDatabaseAsTyped();
    void queryValuesAreTheDriversValues_data();
    void queryValuesAreTheDriversValues();
    void dateDiffCountsBoundaries_data();
    void dateDiffCountsBoundaries();
    void dateDiffPartFollowsTheConnectionKind();
    void getDataTypeItems();
    void roomTypeNeedsATitle();
    void deliveredDatabaseDefaults();
    void initdbRefusesAnExistingFile();
    void iniMissingOrInvalidGivesDefaults();
    void iniWritesOneKeyAndKeepsTheRest();
    void iniWritesInPlaceWhereNoTemporaryFile_data();
    void iniWritesInPlaceWhereNoTemporaryFile();
    void iniReadsGb18030();
    void newFilesOfHotelDataAreTheOwnersOnly();
    void connectDatabaseFailures();
    void messageBoxKeepsAnEmptyCaption();
    void databaseErrorReachesTheTopLevelHandler();
};

void TestData::quotedValuesReachTheDatabaseAsTyped_data()
{
    QTest::addColumn<QString>("value");
    QTest::newRow("apostrophe") << QStringLiteral("O'Brien");
    QTest::newRow("injection") << QStringLiteral("'; drop table Operator; --");
    QTest::newRow("backslashes") << QStringLiteral("C:\\rooms\\'\\");
    QTest::newRow("chinese") << QStringLiteral("王小明");
    QTest::newRow("empty") << QString();
    QTest::newRow("only apostrophes") << QStringLiteral("'''");
}

void TestData::quotedValuesReachTheDatabaseAsTyped()
{
    QFETCH(QString, value);
    TestHotel hotel;
    Query q(hotel.module.conn);
    q.Add(QStringLiteral("insert into District (DistrictNumber, Notes) values (9,"));
    q.Add(QuotedStr(value) + ')');
    q.ExecSQL();
    q.Clear();
    q.Add(QStringLiteral("select DistrictNumber from District where Notes=") + QuotedStr(value));
    q.Open();
    QCOMPARE(q.RecordCount(), 1);
    QCOMPARE(q.AsInteger("DistrictNumber"), 9);
    QCOMPARE(hotel.scalar("select Notes from District where DistrictNumber=9").toString(), value);
    QVERIFY(hotel.scalar("select count(*) from sqlite_master where name='Operator'").toInt() == 1);
}

void TestData::queryValuesAreTheDriversValues_data()
{
    QTest::addColumn<QString>("expression");
    QTest::newRow("integer") << QStringLiteral("42");
    QTest::newRow("largest integer") << QStringLiteral("9223372036854775807");
    QTest::newRow("negative") << QStringLiteral("-7");
    QTest::newRow("real") << QStringLiteral("2.5");
    QTest::newRow("null") << QStringLiteral("null");
    QTest::newRow("empty text") << QStringLiteral("''");
    QTest::newRow("chinese text") << QStringLiteral("'王小明 O''Brien'");
    QTest::newRow("long text") << QStringLiteral("printf('%.3000c', 'x')");
    QTest::newRow("blob with a zero byte") << QStringLiteral("x'00ff41'");
    QTest::newRow("empty blob") << QStringLiteral("x''");
}

// The rows of a database file are read in place and converted when a value is asked for: each
// value as the Qt driver gives it, among values of every other kind in the same row, in rows
// read at once and in rows read later in batches.
void TestData::queryValuesAreTheDriversValues()
{
    QFETCH(QString, expression);
    TestHotel hotel;
    const QString statement =
        QStringLiteral("with n(i) as (select 1 union all select i + 1 from n where i < 5) "
                       "select null, %1 as v, 'a', i, 0.5 from n")
            .arg(expression);
    QSqlQuery driver(hotel.module.conn.database());
    QVERIFY(driver.exec(statement) && driver.next());
    const QVariant expected = driver.value(1);

    Query all(hotel.module.conn);
    all.Add(statement);
    all.Open();
    LazyQuery batches(hotel.module.conn, 2);
    batches.Add(statement);
    batches.Open();
    while (batches.CanFetchMore())
        batches.FetchMore(2);
    for (const Query *q : std::initializer_list<const Query *>{&all, &batches}) {
        QCOMPARE(q->RecordCount(), 5);
        for (const QueryRow &row : q->rows()) {
            QCOMPARE(row.size(), 5);
            const QVariant v = row.value(1);
            QCOMPARE(v.typeId(), expected.typeId());
            QCOMPARE(v.isNull(), expected.isNull());
            QCOMPARE(v, expected);
            QCOMPARE(row.value(2), QVariant(QStringLiteral("a")));
            QCOMPARE(row.value(4), QVariant(0.5));
            QVERIFY(!row.value(5).isValid());
            QVERIFY(!row.value(-1).isValid());
        }
        QCOMPARE(q->rows().last().value(3), QVariant(qlonglong(5)));
        QCOMPARE(q->rows().first().value(0).typeId(), QMetaType::QString);
        QVERIFY(q->rows().first().value(0).isNull());
    }
}

void TestData::dateDiffCountsBoundaries_data()
{
    QTest::addColumn<QString>("unit");
    QTest::addColumn<QString>("a");
    QTest::addColumn<QString>("b");
    QTest::addColumn<QVariant>("expected");
    QTest::newRow("day crossed at midnight") << "d"
                                             << "2024-05-03 23:59:00"
                                             << "2024-05-04 00:00:00" << QVariant(1);
    QTest::newRow("same day") << "d"
                              << "2024-05-03 00:00:00"
                              << "2024-05-03 23:59:59" << QVariant(0);
    QTest::newRow("backwards") << "d"
                               << "2024-05-04 00:00:00"
                               << "2024-05-03 23:59:00" << QVariant(-1);
    QTest::newRow("leap day") << "d"
                              << "2024-02-28 12:00:00"
                              << "2024-03-01 00:00:00" << QVariant(2);
    QTest::newRow("year") << "d"
                          << "2023-12-31 10:00:00"
                          << "2024-12-31 09:00:00" << QVariant(366);
    QTest::newRow("hour") << "h"
                          << "2024-05-03 10:59:59"
                          << "2024-05-03 11:00:00" << QVariant(1);
    QTest::newRow("minute") << "n"
                            << "2024-05-03 10:00:59"
                            << "2024-05-03 10:01:00" << QVariant(1);
    QTest::newRow("minutes over a day") << "n"
                                        << "2024-05-03 23:00:00"
                                        << "2024-05-04 01:00:00" << QVariant(120);
    QTest::newRow("no seconds") << "d"
                                << "2024-05-03 23:59"
                                << "2024-05-04" << QVariant(1);
    QTest::newRow("not a date") << "d"
                                << "tomorrow"
                                << "2024-05-04 00:00:00" << QVariant();
    QTest::newRow("impossible month") << "d"
                                      << "2024-13-01 00:00:00"
                                      << "2024-05-04 00:00:00" << QVariant();
    QTest::newRow("no such day") << "d"
                                 << "2024-02-30 10:00:00"
                                 << "2024-05-04 00:00:00" << QVariant();
    QTest::newRow("no leap day") << "d"
                                 << "2024-05-04 00:00:00"
                                 << "2023-02-29 00:00:00" << QVariant();
    QTest::newRow("leap day of a century") << "d"
                                           << "2000-02-29 00:00:00"
                                           << "2000-03-01 00:00:00" << QVariant(1);
}

void TestData::dateDiffCountsBoundaries()
{
    QFETCH(QString, unit);
    QFETCH(QString, a);
    QFETCH(QString, b);
    QFETCH(QVariant, expected);
    TestHotel hotel(false);
    const QVariant v = hotel.scalar(QStringLiteral("select DateDiff(%1,%2,%3)")
                                        .arg(QuotedStr(unit), QuotedStr(a), QuotedStr(b)));
    if (expected.isNull())
        QVERIFY(v.isNull());
    else
        QCOMPARE(v.toInt(), expected.toInt());
    QVERIFY(hotel.scalar("select DateDiff('d', NULL, '2024-01-01')").isNull());
}

void TestData::dateDiffPartFollowsTheConnectionKind()
{
    const struct
    {
        quint8 conn;
        int unit;
        const char *text;
    } cases[] = {{0, 0, "'d'"},      {0, 1, "'n'"},    {0, 2, "'h'"}, {0, 3, ""}, {1, 0, "'day'"},
                 {1, 1, "'minute'"}, {1, 2, "'hour'"}, {1, 3, ""},    {2, 0, ""}, {0, -1, ""}};
    for (const auto &c : cases) {
        LockSystemInfo.ConnType = c.conn;
        QCOMPARE(DateDiffPart(c.unit), QString::fromLatin1(c.text));
    }
    LockSystemInfo.ConnType = 0;
}

void TestData::getDataTypeItems()
{
    TestHotel hotel;
    QStringList items{"keep"};
    QCOMPARE(hotel.module.GetDataTypeItems(7, items, QString()), -1);
    QCOMPARE(items, QStringList{"keep"});

    QCOMPARE(hotel.module.GetDataTypeItems(4, items, "2"), 2);
    QCOMPARE(items, (QStringList{"1", "2"})); // 40 rooms, each building once
    QCOMPARE(hotel.module.GetDataTypeItems(5, items, "9"), -1);
    QCOMPARE(items, (QStringList{"1", "2", "3"}));
    QCOMPARE(hotel.module.GetDataTypeItems(1, items, "Suite"), 3);

    TestHotel empty(false);
    QCOMPARE(empty.module.GetDataTypeItems(4, items, QString()), -1);
    QVERIFY(items.isEmpty());
}

void TestData::roomTypeNeedsATitle()
{
    TestHotel hotel(false);
    Table &t = hotel.module.RoomType_ado;
    QCOMPARE(t.Append({{"Title", QString()}, {"Size", 2}}), qint64(-1));
    QCOMPARE(t.Append({{"Title", QVariant()}, {"Size", 2}}), qint64(-1));
    QCOMPARE(hotel.dialogs.texts(), (QStringList{"请输入房号！", "请输入房号！"}));
    QCOMPARE(hotel.dialogs.messages[0].icon, MsgIcon::Error);
    QCOMPARE(hotel.scalar("select count(*) from RoomType").toInt(), 0);
    QVERIFY(t.Append({{"Title", "Deluxe"}, {"Size", 2}}) > 0);
    QCOMPARE(hotel.scalar("select Title from RoomType").toString(), QStringLiteral("Deluxe"));
}

void TestData::deliveredDatabaseDefaults()
{
    TestHotel hotel(false);
    hotel.exec("insert into RoomInfo (Room, RoomStr) values (101, '101')");
    QCOMPARE(hotel.scalar("select RoomState from RoomInfo").toInt(), 0);
    const QDateTime before = QDateTime::currentDateTime().addSecs(-2);
    hotel.exec("insert into GuestInRecord (Room, RoomStr) values (101, '101')");
    QCOMPARE(hotel.scalar("select count(*) from GuestInRecord where enOverride=0").toInt(), 1);
    QCOMPARE(hotel.scalar("select CardCounts from GuestInRecord").toInt(), 0);
    // InputTime is the local time in the program's text form.
    const QDateTime stored =
        ParseDateTimeText(hotel.scalar("select InputTime from GuestInRecord").toString());
    QVERIFY(stored.isValid());
    QVERIFY(stored >= before.addSecs(-1) && stored <= QDateTime::currentDateTime().addSecs(2));
    // Reference rows the card screens rely on.
    QCOMPARE(
        hotel.scalar("select count(*) from CardType where ID in (1,2,3,4,5,6,8,10,12,14)").toInt(),
        10);
    QCOMPARE(hotel
                 .scalar("select count(*) from AllCardSn where CardType in (1,2,3,4,5,6,7,9,13) "
                         "and CardSn=0")
                 .toInt(),
             9);
    QCOMPARE(hotel.scalar("select count(*) from RoomStateType").toInt(), 2);
    // Id 3 serves the emergency card and the passage setting card alike.
    const QString shared = hotel.scalar("select C_Title from CardType where ID=3").toString();
    QVERIFY(shared.contains("Emergency") && shared.contains("passage setting"));
}

void TestData::initdbRefusesAnExistingFile()
{
    TestHotel hotel(false);
    QString error;
    QVERIFY(!CreateHotelDatabase(hotel.dbPath(), false, &error));
    QVERIFY(error.contains(hotel.dbPath()));
}

void TestData::iniMissingOrInvalidGivesDefaults()
{
    TestHotel hotel(false);
    TLockSystemInfo info;
    info.DayCount = 7;
    ReadSystemInfo(info);
    QCOMPARE(info.DayCount, 1);
    QCOMPARE(info.LeaveTime, QTime(12, 0, 0));
    QCOMPARE(info.TimeTolerance, 0);
    QCOMPARE(info.ConnType, quint8(0));
    QCOMPARE(info.Recycle, quint8(24));
    QVERIFY(info.Pass.isEmpty());
    QCOMPARE(info.LanguageID, 1033);

    hotel.writeIni("[systeminfo]\nDAYCOUNT=abc\nLeaveTime=noon\nTimeTolerance= 10 \n"
                   "hotelname=Seaside\n[Client Config]\nRecycle=x\n");
    ReadSystemInfo(info);
    QCOMPARE(info.DayCount, 1);
    QCOMPARE(info.LeaveTime, QTime(12, 0, 0));
    QCOMPARE(info.TimeTolerance, 10);
    QCOMPARE(info.HotelName, QStringLiteral("Seaside"));
    QCOMPARE(info.Recycle, quint8(24));
    QCOMPARE(info.LanguageID, 1033);

    // The interface language: a known id is taken, anything else is English.
    for (const auto &[text, id] : {std::pair{"2052", 2052},
                                   {" 1041 ", 1041},
                                   {"9999", 1033},
                                   {"zh", 1033},
                                   {"0", 1033},
                                   {"-2052", 1033}}) {
        hotel.writeIni(QStringLiteral("[SystemInfo]\nLanguageID=%1\n").arg(text));
        ReadSystemInfo(info);
        QCOMPARE(info.LanguageID, id);
    }

    TLock_Info lock;
    ReadLockInfo(lock);
    QCOMPARE(lock.Sector, quint8(8));
    QCOMPARE(lock.KeyStr, QStringLiteral("FFFFFFFFFFFF"));
}

void TestData::iniWritesOneKeyAndKeepsTheRest()
{
    TestHotel hotel(false);
    hotel.writeIni("; workstation 2\r\n[SystemInfo]\r\nHotelName=Seaside\r\nDayCount=3\r\n\r\n"
                   "[Config]\r\nCommProt=1\r\n");
    IniFile ini(SettingsFilePath());
    QVERIFY(ini.WriteTime("systeminfo", "LeaveTime", QTime(14, 30, 0)));
    QVERIFY(ini.WriteInteger("CONFIG", "commprot", 2));
    QVERIFY(ini.WriteString("Client Config", "DbPath", "/srv/hotel/lock.mdb"));
    QFile f(SettingsFilePath());
    QVERIFY(f.open(QIODevice::ReadOnly));
    QCOMPARE(QString::fromUtf8(f.readAll()),
             QStringLiteral("; workstation 2\r\n[SystemInfo]\r\nHotelName=Seaside\r\nDayCount=3\r\n"
                            "LeaveTime=14:30:00\r\n\r\n[Config]\r\nCommProt=2\r\n\r\n"
                            "[Client Config]\r\nDbPath=/srv/hotel/lock.mdb\r\n"));
    TLockSystemInfo info;
    ReadSystemInfo(info);
    QCOMPARE(info.LeaveTime, QTime(14, 30, 0));
    QCOMPARE(ConfiguredDbPath(), QStringLiteral("/srv/hotel/lock.mdb"));
}

void TestData::iniWritesInPlaceWhereNoTemporaryFile_data()
{
    // A folder without write permission refuses a new file with "permission denied", one
    // marked unchangeable with "operation not permitted".
    QTest::addColumn<bool>("immutable");
    QTest::newRow("read-only folder") << false;
    QTest::newRow("unchangeable folder") << true;
}

void TestData::iniWritesInPlaceWhereNoTemporaryFile()
{
    // A writable file in a folder where no temporary file can be made is written in place;
    // a new file there cannot be made, and the failure names it.
    QFETCH(bool, immutable);
    QTemporaryDir dir;
    const QString folder = dir.path() + "/locked";
    QVERIFY(QDir().mkpath(folder));
    QFile file(folder + "/Quenmar.ini");
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write("[SystemInfo]\nHotelName=Harbour\n");
    file.close();
    const auto all = QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther | QFile::ExeOwner |
                     QFile::ExeGroup | QFile::ExeOther;
    QVERIFY(QFile::setPermissions(dir.path(), all | QFile::WriteOwner));
    QVERIFY(file.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup |
                                QFile::WriteGroup | QFile::ReadOther | QFile::WriteOther));
    auto chattr = [&](const char *flag) {
        return QProcess::execute("chattr", {flag, folder}) == 0;
    };
    const bool root = geteuid() == 0;
    if (immutable) {
        if (!chattr("+i"))
            QSKIP("the folder cannot be marked unchangeable here");
    } else {
        QVERIFY(QFile::setPermissions(folder, all));
        // Folder permissions bind everyone but root, so root acts as another user here.
        if (root && seteuid(65534) != 0)
            QSKIP("cannot act as another user");
    }
    {
        const auto back = qScopeGuard([&] {
            if (immutable)
                chattr("-i");
            else if (root && seteuid(0) != 0)
                qFatal("cannot become root again");
        });
        IniFile ini(file.fileName());
        QVERIFY2(ini.WriteString("SystemInfo", "HotelName", "Seaside"),
                 qPrintable(ini.ErrorText()));
        QVERIFY2(ini.WriteString("SystemInfo", "DayCount", "2"), qPrintable(ini.ErrorText()));
        const IniFile written(file.fileName());
        QCOMPARE(written.ReadString("SystemInfo", "HotelName", ""), QStringLiteral("Seaside"));
        QCOMPARE(written.ReadInteger("SystemInfo", "DayCount", 0), 2);
        QCOMPARE(QDir(folder).entryList(QDir::Files | QDir::Hidden), QStringList{"Quenmar.ini"});
        IniFile fresh(folder + "/new.ini");
        QVERIFY(!fresh.WriteString("SystemInfo", "HotelName", "Seaside"));
        QVERIFY(fresh.ErrorText().contains(folder + "/new.ini"));
    }
    QFile::setPermissions(folder, all | QFile::WriteOwner);
}

void TestData::iniReadsGb18030()
{
    TestHotel hotel(false);
    QFile f(hotel.dir() + "/Quenmar.ini");
    QVERIFY(f.open(QIODevice::WriteOnly));
    // "[SystemInfo]\r\nHotelName=海景酒店\r\nDayCount=2\r\n" as a Chinese workstation writes it.
    f.write("[SystemInfo]\r\nHotelName=\xBA\xA3\xBE\xB0\xBE\xC6\xB5\xEA\r\nDayCount=2\r\n");
    f.close();
    TLockSystemInfo info;
    ReadSystemInfo(info);
    QCOMPARE(info.HotelName, QStringLiteral("海景酒店"));
    QCOMPARE(info.DayCount, 2);
}

void TestData::newFilesOfHotelDataAreTheOwnersOnly()
{
    // What other users of the machine would get without the care: rw-r--r--.
    const mode_t umaskBefore = umask(022);
    const auto restoreUmask = qScopeGuard([umaskBefore] { umask(umaskBefore); });
    auto mode = [](const QString &path) {
        struct stat st;
        return ::stat(QFile::encodeName(path).constData(), &st) == 0 ? int(st.st_mode & 0777) : -1;
    };
    TestHotel hotel; // its DB/lock.mdb is made as quenmar-initdb makes one
    QCOMPARE(mode(hotel.dbPath()), 0600);
    TLanguage language(nullptr);
    QCOMPARE(mode(TLanguage::CatalogPath()), 0600);
    const QString ini = hotel.dir() + "/Quenmar.ini";
    QVERIFY(IniFile(ini).WriteString("Client Config", "Pass", "server password"));
    QCOMPARE(mode(ini), 0600);
    const QString logPath = hotel.dir() + "/pms.log";
    const pms::InterfaceLog log(logPath, 40);
    log.write("Li Wei");
    QCOMPARE(mode(logPath), 0600);
    log.write("Li Wei again, over the size: the file goes to pms.log.1");
    log.write("a new file");
    QCOMPARE(mode(logPath + ".1"), 0600);
    QCOMPARE(mode(logPath), 0600);

    // Files that exist keep the mode their owner gave them.
    for (const QString &path : {ini, logPath})
        QVERIFY(QFile::setPermissions(path, QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                                                QFileDevice::ReadGroup));
    QVERIFY(IniFile(ini).WriteString("Client Config", "UserName", "quenmar"));
    log.write("one more");
    QCOMPARE(mode(ini), 0640);
    QCOMPARE(mode(logPath), 0640);
}

void TestData::connectDatabaseFailures()
{
    TestHotel hotel(false);
    // The default path names db\lock.mdb; the file is DB/lock.mdb.
    QVERIFY(ConnectDatabase());
    QVERIFY(hotel.dialogs.messages.isEmpty());

    LockSystemInfo.ConnType = 2;
    QVERIFY(!ConnectDatabase());
    QVERIFY(hotel.dialogs.messages.isEmpty());
    LockSystemInfo.ConnType = 0;

    hotel.writeIni("[Client Config]\nDbPath=" + hotel.dir() + "/nowhere/lock.mdb\n");
    QVERIFY(!ConnectDatabase());
    QCOMPARE(hotel.dialogs.texts(), QStringList{"文件不存在！"});
    QCOMPARE(hotel.dialogs.messages[0].caption, QStringLiteral("提示"));
    QVERIFY(hotel.module.conn.Connected()); // left as it was

    const QString junk = hotel.dir() + "/old.mdb";
    QFile f(junk);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(QByteArray("Standard Jet DB\0\0\0\0 this is no database", 40).repeated(200));
    f.close();
    hotel.writeIni("[Client Config]\nDbPath=" + junk + "\n");
    hotel.dialogs.clear();
    QVERIFY(!ConnectDatabase());
    QCOMPARE(hotel.dialogs.messages.size(), 1);
    QVERIFY(hotel.dialogs.messages[0].text.contains(junk));
    QVERIFY(hotel.dialogs.messages[0].text.contains("not a database"));
    QVERIFY(!hotel.module.conn.Connected());
}

void TestData::messageBoxKeepsAnEmptyCaption()
{
    TestHotel hotel(false);
    setDialogs(nullptr); // the real message box
    const auto scripted = qScopeGuard([&] { setDialogs(&hotel.dialogs); });
    QString caption = "?";
    WhenModalOpens("MessageBox", [&](QWidget *box) {
        caption = box->windowTitle();
        static_cast<QDialog *>(box)->accept();
    });
    ShowMessage("Plain");
    QCOMPARE(caption, QString());
}

void TestData::databaseErrorReachesTheTopLevelHandler()
{
    TestHotel hotel(false);
    bool after = false;
    QTimer::singleShot(0, [&]() {
        Query q(hotel.module.conn);
        q.Add("select * from NoSuchTable");
        q.Open();
        after = true;
    });
    QTimer::singleShot(5, [&]() { throw ConvertError("'x' is not a valid integer value"); });
    QTest::qWait(50);
    QVERIFY(!after);
    QCOMPARE(hotel.dialogs.messages.size(), 2);
    QVERIFY(hotel.dialogs.messages[0].text.contains("no such table"));
    QCOMPARE(hotel.dialogs.messages[1].text, QStringLiteral("'x' is not a valid integer value"));
    // The program goes on: the connection still works.
    QCOMPARE(hotel.scalar("select count(*) from Operator").toInt(), 0);
}

QUENMAR_TEST_MAIN(TestData)
#include "test_data.moc"
