// Backup and restore of the working database from the main window's commands.
#include "app/application.h"
#include "app/backupcommands.h"
#include "cards/bookkeeping.h"
#include "data/backup.h"
#include "data/clock.h"
#include "data/errors.h"
#include "data/settings.h"
#include "language/language.h"
#include "support/testhotel.h"

#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QTest>

namespace {

// The main window's language component, without the window.
struct MainTexts
{
    QObject form;
    TLanguage *language;
    MainTexts() : language(new TLanguage(&form)) { form.setObjectName(QStringLiteral("MainForm")); }
    QString text(int n) const { return language->GetDialogText(n); }
};

// Reads one value from a database file through a connection of its own.
QVariant scalarIn(const QString &path, const QString &sql)
{
    QVariant value;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), "peek");
        db.setDatabaseName(path);
        if (!db.open())
            qFatal("cannot open %s", qPrintable(path));
        QSqlQuery q(db);
        if (!q.exec(sql) || !q.next())
            qFatal("%s: %s", qPrintable(sql), qPrintable(q.lastError().text()));
        value = q.value(0);
    }
    QSqlDatabase::removeDatabase(QStringLiteral("peek"));
    return value;
}

// The files of a folder, without the language catalogue the program keeps beside the hotel
// database.
QStringList entries(const QString &folder)
{
    QStringList files = QDir(folder).entryList(QDir::Files | QDir::Hidden, QDir::Name);
    files.removeAll(QStringLiteral("Language.mdb"));
    return files;
}

void writeFile(const QString &path, const QByteArray &bytes)
{
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly) || f.write(bytes) != bytes.size())
        qFatal("cannot write %s", qPrintable(path));
}

} // namespace

class TestBackup : public QObject
{
    Q_OBJECT
private slots:
    void backupProposesADatedNameInTheDbFolder();
    void backupNeverReplacesAFile();
    void saveDialogLeavesTheExistingFileToTheProgram();
    void backupIsOneConsistentStateOfTheOpenDatabase();
    void backupThatCannotBeWrittenIsReportedAndLeavesNoFile();
    void restoreFromAMissingFileTouchesNothing();
    void restoreRefusesWhatIsNoHotelDatabase_data();
    void restoreRefusesWhatIsNoHotelDatabase();
    void restoreReplacesTheDataAndKeepsTheReplacedData();
    void restoreThatCannotWriteLeavesTheDataAsItWas();
    void restoreRefusesTheOpenDatabaseItself();
    void restoreWithoutAnOperatorManagerAsksFirst_data();
    void restoreWithoutAnOperatorManagerAsksFirst();
};

void TestBackup::backupProposesADatedNameInTheDbFolder()
{
    TestHotel hotel;
    MainTexts texts;
    SetNow(QDateTime(QDate(2026, 12, 9), QTime(14, 5, 9)));
    QCOMPARE(BackupFileName(Now()), QStringLiteral("261209140509_BackUp.mdb"));
    hotel.dialogs.files = {QString()}; // cancelled
    DataBackupClick(*texts.language);
    QCOMPARE(hotel.dialogs.offered,
             QStringList{hotel.dir() + QStringLiteral("/DB/261209140509_BackUp.mdb")});
    QVERIFY(hotel.dialogs.messages.isEmpty());
    QCOMPARE(entries(hotel.dir() + QStringLiteral("/DB")), QStringList{"lock.mdb"});
}

void TestBackup::backupNeverReplacesAFile()
{
    TestHotel hotel;
    MainTexts texts;
    const QString target = hotel.dir() + QStringLiteral("/DB/old_BackUp.mdb");
    writeFile(target, "an older backup");
    hotel.dialogs.files = {target};
    DataBackupClick(*texts.language);
    QCOMPARE(hotel.dialogs.texts(), QStringList{texts.text(4)});
    QCOMPARE(hotel.dialogs.messages[0].caption, texts.text(2));
    QCOMPARE(hotel.dialogs.messages[0].icon, MsgIcon::Error);
    QFile f(target);
    QVERIFY(f.open(QIODevice::ReadOnly));
    QCOMPARE(f.readAll(), QByteArray("an older backup"));
    // The copy itself refuses as well, should the name appear after the check.
    QCOMPARE(BackupDatabase(hotel.module.conn, target, nullptr), BackupResult::Exists);

    // A name typed without an extension is written with ".mdb", and checked with it.
    hotel.dialogs.clear();
    hotel.dialogs.files = {hotel.dir() + QStringLiteral("/DB/mine"),
                           hotel.dir() + QStringLiteral("/DB/old_BackUp")};
    DataBackupClick(*texts.language);
    DataBackupClick(*texts.language);
    QCOMPARE(hotel.dialogs.texts(), (QStringList{texts.text(3), texts.text(4)}));
    QCOMPARE(entries(hotel.dir() + QStringLiteral("/DB")),
             (QStringList{"lock.mdb", "mine.mdb", "old_BackUp.mdb"}));
    f.close();
    QVERIFY(f.open(QIODevice::ReadOnly));
    QCOMPARE(f.readAll(), QByteArray("an older backup"));
}

// The save dialog asks nothing about an existing name: the program's refusal is the answer.
void TestBackup::saveDialogLeavesTheExistingFileToTheProgram()
{
    TestHotel hotel;
    const QString existing = hotel.dir() + QStringLiteral("/DB/lock.mdb");
    setDialogs(nullptr);
    bool asks = true;
    WhenModalOpens("SaveFile_Dialog", [&](QWidget *widget) {
        auto *dialog = static_cast<QFileDialog *>(widget);
        asks = !dialog->testOption(QFileDialog::DontConfirmOverwrite);
        dialog->selectFile(existing);
        if (asks)
            dialog->reject();
        else
            static_cast<QDialog *>(dialog)->accept();
    });
    const QString chosen = dialogs().saveFileName(QString(), "Access Data(*.mdb)", existing);
    setDialogs(&hotel.dialogs);
    QVERIFY(!asks);
    QCOMPARE(chosen, existing);
}

void TestBackup::backupIsOneConsistentStateOfTheOpenDatabase()
{
    TestHotel hotel;
    MainTexts texts;
    // The working database is where DbPath points, not DB/lock.mdb.
    const QString elsewhere = hotel.dir() + QStringLiteral("/other.mdb");
    QVERIFY(QFile::copy(hotel.dbPath(), elsewhere));
    QVERIFY(OpenDatabaseFile(elsewhere));
    hotel.exec("insert into District (DistrictNumber, Notes) values (7, 'before')");
    const QString target = hotel.dir() + QStringLiteral("/DB/b_BackUp.mdb");
    hotel.dialogs.files = {target};
    DataBackupClick(*texts.language);
    hotel.exec("insert into District (DistrictNumber, Notes) values (8, 'after')");

    QCOMPARE(hotel.dialogs.texts(), QStringList{texts.text(3)});
    QCOMPARE(hotel.dialogs.messages[0].icon, MsgIcon::Information);
    QCOMPARE(scalarIn(target, "PRAGMA integrity_check").toString(), QStringLiteral("ok"));
    QCOMPARE(scalarIn(target, "select group_concat(DistrictNumber) from District "
                              "where DistrictNumber > 2")
                 .toString(),
             QStringLiteral("7"));
    QCOMPARE(entries(hotel.dir() + QStringLiteral("/DB")),
             (QStringList{"b_BackUp.mdb", "lock.mdb"})); // no temporary file left
    QVERIFY(hotel.module.conn.Connected());
}

void TestBackup::backupThatCannotBeWrittenIsReportedAndLeavesNoFile()
{
    TestHotel hotel;
    MainTexts texts;
    // A folder that cannot be written, whoever runs the test: its parent is a file.
    writeFile(hotel.dir() + QStringLiteral("/DB/plain"), "x");
    hotel.dialogs.files = {hotel.dir() + QStringLiteral("/DB/plain/b_BackUp.mdb")};
    DataBackupClick(*texts.language);
    QCOMPARE(hotel.dialogs.messages.size(), 1);
    QVERIFY(hotel.dialogs.messages[0].text.startsWith(texts.text(12)));
    QCOMPARE(hotel.dialogs.messages[0].icon, MsgIcon::Error);
    QCOMPARE(entries(hotel.dir() + QStringLiteral("/DB")), (QStringList{"lock.mdb", "plain"}));

    // A closed connection has nothing to back up.
    hotel.module.conn.Close();
    hotel.dialogs.clear();
    QString error;
    QVERIFY_THROWS_EXCEPTION(
        DbError, BackupDatabase(hotel.module.conn, hotel.dir() + "/DB/c_BackUp.mdb", &error));
    QCOMPARE(entries(hotel.dir() + QStringLiteral("/DB")), (QStringList{"lock.mdb", "plain"}));
}

void TestBackup::restoreFromAMissingFileTouchesNothing()
{
    TestHotel hotel;
    MainTexts texts;
    hotel.dialogs.files = {hotel.dir() + QStringLiteral("/DB/none.mdb")};
    DataRecoveryClick(*texts.language);
    QCOMPARE(hotel.dialogs.offered, QStringList{hotel.dir() + QStringLiteral("/DB")});
    QCOMPARE(hotel.dialogs.texts(), QStringList{texts.text(7)});
    QCOMPARE(hotel.dialogs.messages[0].icon, MsgIcon::Error);
    QVERIFY(hotel.module.conn.Connected());
    QCOMPARE(hotel.module.conn.databasePath(), hotel.dbPath());
    QCOMPARE(entries(hotel.dir() + QStringLiteral("/DB")), QStringList{"lock.mdb"});
}

void TestBackup::restoreRefusesWhatIsNoHotelDatabase_data()
{
    QTest::addColumn<QByteArray>("bytes"); // empty: an SQLite file of another program
    QTest::addColumn<QString>("reason");
    QByteArray jet(2048, '\0');
    jet[1] = 1;
    jet.replace(4, 15, "Standard Jet DB");
    QTest::newRow("text file") << QByteArray("hello\n") << "is not a database";
    QTest::newRow("empty file") << QByteArray() << "is not a database";
    QTest::newRow("older workstation's file") << jet << "older workstations";
    QTest::newRow("foreign database") << QByteArray("sqlite") << "is not a hotel database";
    QTest::newRow("damaged database") << QByteArray("damaged") << "damaged";
    QTest::newRow("hotel lacking columns")
        << QByteArray("lacking")
        << "it lacks the columns RoomInfo.CardSn, GuestInRecord.CardCounts.";
    QTest::newRow("hotel lacking a table and a column")
        << QByteArray("lacking table")
        << "it lacks the tables Groups and the columns "
           "RoomInfo.CardSn, GuestInRecord.CardCounts.";
}

void TestBackup::restoreRefusesWhatIsNoHotelDatabase()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QString, reason);
    TestHotel hotel;
    MainTexts texts;
    const QString source = hotel.dir() + QStringLiteral("/source.mdb");
    if (bytes == "sqlite" || bytes == "damaged") {
        {
            QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), "foreign");
            db.setDatabaseName(source);
            QVERIFY(db.open());
            QSqlQuery q(db);
            QVERIFY(q.exec("create table Contacts (Name text)"));
            QVERIFY(q.exec("insert into Contacts values ('x')"));
        }
        QSqlDatabase::removeDatabase(QStringLiteral("foreign"));
        if (bytes == "damaged") {
            // A hotel database whose second page is overwritten.
            QFile::remove(source);
            QVERIFY(QFile::copy(hotel.dbPath(), source));
            QFile f(source);
            QVERIFY(f.open(QIODevice::ReadWrite));
            f.seek(4096);
            f.write(QByteArray(4096, '\x5a'));
        }
    } else if (bytes.startsWith("lacking")) {
        // A hotel database of another release, without columns the program uses.
        QVERIFY(QFile::copy(hotel.dbPath(), source));
        {
            QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), "older");
            db.setDatabaseName(source);
            QVERIFY(db.open());
            QSqlQuery q(db);
            QVERIFY(q.exec("alter table RoomInfo drop column CardSn"));
            QVERIFY(q.exec("alter table GuestInRecord drop column CardCounts"));
            if (bytes == "lacking table")
                QVERIFY(q.exec("drop table Groups"));
        }
        QSqlDatabase::removeDatabase(QStringLiteral("older"));
    } else {
        writeFile(source, bytes);
    }
    const int districts = hotel.scalar("select count(*) from District").toInt();
    hotel.dialogs.files = {source};
    DataRecoveryClick(*texts.language);
    QCOMPARE(hotel.dialogs.messages.size(), 1);
    QVERIFY(hotel.dialogs.messages[0].text.startsWith(texts.text(11)));
    QVERIFY2(hotel.dialogs.messages[0].text.contains(reason),
             qPrintable(hotel.dialogs.messages[0].text));
    QCOMPARE(hotel.scalar("select count(*) from District").toInt(), districts);
    QCOMPARE(hotel.module.conn.databasePath(), hotel.dbPath());
    QCOMPARE(entries(hotel.dir() + QStringLiteral("/DB")), QStringList{"lock.mdb"});
    QVERIFY(!RoomBoardDirty);
}

void TestBackup::restoreReplacesTheDataAndKeepsTheReplacedData()
{
    TestHotel hotel;
    MainTexts texts;
    RoomBoardDirty = false;
    hotel.logOnAdministrator();
    hotel.exec("insert into District (DistrictNumber, Notes) values (7, 'in the backup')");
    const QString backup = hotel.dir() + QStringLiteral("/DB/a_BackUp.mdb");
    QCOMPARE(BackupDatabase(hotel.module.conn, backup, nullptr), BackupResult::Done);
    hotel.exec("insert into District (DistrictNumber, Notes) values (8, 'after the backup')");
    hotel.exec("update RoomInfo set CardSn=5 where RoomStr='101'");

    SetNow(QDateTime(QDate(2026, 12, 9), QTime(14, 5, 9)));
    hotel.dialogs.files = {backup};
    DataRecoveryClick(*texts.language);
    const QString kept = hotel.dir() + QStringLiteral("/DB/261209140509_BeforeRestore.mdb");
    QCOMPARE(hotel.dialogs.texts(), QStringList{texts.text(6) + "\n" + kept});
    QVERIFY(RoomBoardDirty);
    RoomBoardDirty = false;
    QVERIFY(hotel.module.conn.Connected());
    QCOMPARE(hotel.module.conn.databasePath(), hotel.dbPath());
    QCOMPARE(hotel.scalar("select count(*) from District where DistrictNumber=7").toInt(), 1);
    QCOMPARE(hotel.scalar("select count(*) from District where DistrictNumber=8").toInt(), 0);
    QCOMPARE(hotel.scalar("select CardSn from RoomInfo where RoomStr='101'").toInt(), 0);

    QVERIFY(QFile::exists(kept));
    QCOMPARE(scalarIn(kept, "select count(*) from District where DistrictNumber=8").toInt(), 1);
    QCOMPARE(scalarIn(kept, "select CardSn from RoomInfo where RoomStr='101'").toInt(), 5);
    // A program that opens the file afresh finds the restored data too.
    QCOMPARE(
        scalarIn(hotel.dbPath(), "select count(*) from District where DistrictNumber=8").toInt(),
        0);
}

void TestBackup::restoreThatCannotWriteLeavesTheDataAsItWas()
{
    TestHotel hotel;
    MainTexts texts;
    hotel.logOnAdministrator();
    const QString backup = hotel.dir() + QStringLiteral("/DB/a_BackUp.mdb");
    QCOMPARE(BackupDatabase(hotel.module.conn, backup, nullptr), BackupResult::Done);
    hotel.exec("insert into District (DistrictNumber, Notes) values (8, 'after the backup')");
    // Another program holds the working database for writing throughout.
    QSqlDatabase other = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), "other");
    other.setDatabaseName(hotel.dbPath());
    QVERIFY(other.open());
    QSqlQuery(other).exec(QStringLiteral("BEGIN IMMEDIATE"));
    hotel.dialogs.files = {backup};
    DataRecoveryClick(*texts.language);
    QSqlQuery(other).exec(QStringLiteral("ROLLBACK"));
    other.close();
    other = QSqlDatabase();
    QSqlDatabase::removeDatabase(QStringLiteral("other"));

    QCOMPARE(hotel.dialogs.messages.size(), 1);
    QVERIFY(hotel.dialogs.messages[0].text.startsWith(texts.text(11)));
    QCOMPARE(hotel.scalar("select count(*) from District where DistrictNumber=8").toInt(), 1);
    QVERIFY(!RoomBoardDirty);
}

void TestBackup::restoreRefusesTheOpenDatabaseItself()
{
    TestHotel hotel;
    MainTexts texts;
    hotel.logOnAdministrator();
    const QString link = hotel.dir() + QStringLiteral("/link.mdb");
    QVERIFY(QFile::link(hotel.dbPath(), link));
    // By its name, and by another name for the same file.
    for (const QString &source : {hotel.dbPath(), link}) {
        hotel.dialogs.clear();
        hotel.dialogs.files = {source};
        DataRecoveryClick(*texts.language);
        QCOMPARE(hotel.dialogs.texts(), QStringList{texts.text(15)});
        QCOMPARE(hotel.dialogs.messages[0].icon, MsgIcon::Error);
        QCOMPARE(entries(hotel.dir() + QStringLiteral("/DB")), QStringList{"lock.mdb"});
        QCOMPARE(RestoreDatabase(hotel.module.conn, source, hotel.dir() + "/DB/x.mdb", nullptr),
                 RestoreResult::IsOpenDatabase);
        QCOMPARE(entries(hotel.dir() + QStringLiteral("/DB")), QStringList{"lock.mdb"});
    }
    QCOMPARE(hotel.scalar("select count(*) from RoomInfo").toInt(), 40);
    QVERIFY(!RoomBoardDirty);
}

void TestBackup::restoreWithoutAnOperatorManagerAsksFirst_data()
{
    QTest::addColumn<QString>("operators"); // statements making the backup's operators
    QTest::addColumn<int>("question");      // dialog text; 0: none asked
    QTest::newRow("none") << "" << 16;
    QTest::newRow("no manager")
        << "update Operator set OperatorManage=0; insert into Operator (Staffer, Pass, "
           "OperatorManage) values ('night', 'x', 0)"
        << 17;
    QTest::newRow("manager without a password")
        << "update Operator set Pass=null; insert into Operator (Staffer, Pass, "
           "OperatorManage) values ('night', 'x', 0)"
        << 17;
    QTest::newRow("manager who can log on") << "select 1" << 0;
}

void TestBackup::restoreWithoutAnOperatorManagerAsksFirst()
{
    QFETCH(QString, operators);
    QFETCH(int, question);
    TestHotel hotel;
    MainTexts texts;
    RoomBoardDirty = false;
    if (!operators.isEmpty()) {
        hotel.logOnAdministrator("amy");
        for (const QString &statement : operators.split("; "))
            hotel.exec(statement);
    }
    const QString backup = hotel.dir() + QStringLiteral("/DB/a_BackUp.mdb");
    QCOMPARE(BackupDatabase(hotel.module.conn, backup, nullptr), BackupResult::Done);
    hotel.exec("insert into District (DistrictNumber, Notes) values (8, 'after the backup')");

    for (const MsgResult answer : {MsgResult::Cancel, MsgResult::Ok}) {
        hotel.dialogs.clear();
        hotel.dialogs.answers = {answer};
        hotel.dialogs.files = {backup};
        SetNow(QDateTime(QDate(2026, 12, 9), QTime(14, 5, answer == MsgResult::Ok ? 10 : 9)));
        DataRecoveryClick(*texts.language);
        const bool restored = answer == MsgResult::Ok || question == 0;
        if (question) {
            QCOMPARE(hotel.dialogs.messages[0].text, texts.text(question));
            QCOMPARE(hotel.dialogs.messages[0].buttons, MsgButtons::OkCancel);
        }
        QCOMPARE(hotel.dialogs.messages.size(), (question ? 1 : 0) + (restored ? 1 : 0));
        QCOMPARE(hotel.scalar("select count(*) from District where DistrictNumber=8").toInt(),
                 restored ? 0 : 1);
        QCOMPARE(RoomBoardDirty, restored);
        if (restored)
            break;
        QCOMPARE(entries(hotel.dir() + QStringLiteral("/DB")),
                 (QStringList{"a_BackUp.mdb", "lock.mdb"}));
    }
}

QUENMAR_TEST_MAIN(TestBackup)
#include "test_backup.moc"
