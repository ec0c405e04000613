// Logon, the first account, the main window's operator check, the settings form and the
// connection dialog.
#include "app/application.h"
#include "app/cdform.h"
#include "app/logon.h"
#include "app/logonform.h"
#include "app/mainform.h"
#include "app/startup.h"
#include "app/systeminfoform.h"
#include "data/clock.h"
#include "data/errors.h"
#include "data/inifile.h"
#include "data/rights.h"
#include "data/schema.h"
#include "data/settings.h"
#include "operators/passwordhash.h"
#include "support/testhotel.h"

#include "cards/bookkeeping.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScopeGuard>
#include <QSqlQuery>
#include <QStatusBar>
#include <QStyle>
#include <QTabWidget>
#include <QTest>

namespace {

// Types into the logon dialog and presses Ok; answers the password prompt when asked.
void logOn(TLogonForm &form, const QString &name, const QString &password,
           std::optional<QString> again = std::nullopt)
{
    child<QLineEdit>(&form, "LoginCode_Edit")->setText(name);
    child<QLineEdit>(&form, "SystemLogin_Pas")->setText(password);
    if (form.FirstRun()) {
        WhenModalOpens("InputPasswordBox", [again](QWidget *box) {
            if (again) {
                child<QLineEdit>(box, "Input_MaskEdit")->setText(*again);
                child<QPushButton>(box, "Confirm_Bt")->click();
            } else {
                child<QPushButton>(box, "Cancel_Bt")->click();
            }
        });
    }
    child<QPushButton>(&form, "Ok_Bt")->click();
}

} // namespace

class TestStartup : public QObject
{
    Q_OBJECT
private slots:
    void init() { WorkstationLogonThrottle().Succeeded(); }
    void firstRunCreatesAnAdministratorWithEveryRight();
    void firstRunCancelAndMismatchStoreNothing();
    void logonChecksNameAndPassword();
    void accountWithoutPasswordCannotLogOn();
    void legacyPlainPasswordIsUpgraded();
    void textComparesWithoutCase();
    void passwordHashMatchesPublishedVectors();
    void escEndsTheProgramAtLogon();
    void wrongAttemptsMakeTheLogonWait();
    void missingDatabaseEndsTheStart();
    void mainWindowNeedsAnExistingOperator();
    void settingsFormSavesAndEndsTheProgram();
    void settingsFormStopsAtAnInvalidTime();
    void connectionDialog();
    void failedSettingsWritesAreReported();
    void databasePathsResolveFromTheProgramFolder();
    void maskedFieldsShowStars();
};

void TestStartup::firstRunCreatesAnAdministratorWithEveryRight()
{
    TestHotel hotel;
    TLogonForm form;
    QVERIFY(form.FirstRun());
    QCOMPARE(child<QPushButton>(&form, "Ok_Bt")->text(), QStringLiteral("Confirm"));
    QVERIFY(!child<QLabel>(&form, "FirstRun_Label")->isHidden());
    QVERIFY(child<QLabel>(&form, "Title_Label")->isHidden());
    QCOMPARE(form.windowTitle(), QStringLiteral("Login"));

    logOn(form, QString(), "s3cret", QStringLiteral("s3cret"));
    QCOMPARE(form.result(), int(QDialog::Accepted));
    QCOMPARE(hotel.scalar("select count(*) from Operator").toInt(), 1);
    QCOMPARE(hotel.scalar("select Staffer from Operator").toString(), QString());
    QCOMPARE(hotel.scalar("select Branch from Operator").toString(), QString(20, '*'));
    QString sum = "0";
    for (const QString &right : OperatorRightColumns())
        sum += '+' + right;
    QCOMPARE(hotel.scalar("select " + sum + " from Operator").toInt(),
             int(OperatorRightColumns().size()));
    const QString stored = hotel.scalar("select Pass from Operator").toString();
    QVERIFY(stored.startsWith("pbkdf2-sha256$"));
    QVERIFY(VerifyPassword("s3cret", stored));
    QCOMPARE(LockSystemInfo.StafferName, QStringLiteral("Administrator"));
    QCOMPARE(LockSystemInfo.GroupID, 0);

    TMainForm main;
    QVERIFY(!main.Ended());
    QCOMPARE(main.windowTitle(), QStringLiteral("Orvane V18.0"));
}

void TestStartup::firstRunCancelAndMismatchStoreNothing()
{
    TestHotel hotel;
    TLogonForm form;
    logOn(form, "boss", "one", std::nullopt);
    QCOMPARE(form.result(), int(QDialog::Rejected));
    QVERIFY(hotel.dialogs.messages.isEmpty());
    logOn(form, "boss", "one", QStringLiteral("two"));
    QCOMPARE(hotel.dialogs.texts(), QStringList{"Password not same!"});
    QCOMPARE(form.result(), int(QDialog::Rejected));
    QCOMPARE(hotel.scalar("select count(*) from Operator").toInt(), 0);
}

void TestStartup::logonChecksNameAndPassword()
{
    TestHotel hotel;
    hotel.logOnAdministrator("boss"); // password "secret"
    LockSystemInfo = TLockSystemInfo();
    TLogonForm form;
    QVERIFY(!form.FirstRun());
    QCOMPARE(child<QLabel>(&form, "Title_Label")->text(), QStringLiteral("Orvane V18.0"));

    const QStringList wrong[] = {
        {"boss", "Secret"}, {"", ""}, {"' or '1'='1", "' or '1'='1"}, {"boss' --", "x"}};
    for (const QStringList &attempt : wrong) {
        hotel.dialogs.clear();
        logOn(form, attempt[0], attempt[1]);
        QCOMPARE(form.result(), int(QDialog::Rejected));
        QCOMPARE(hotel.dialogs.texts(), QStringList{"错误的用户名或密码！"});
        QCOMPARE(hotel.dialogs.messages[0].caption, QStringLiteral("提示"));
        QCOMPARE(hotel.dialogs.messages[0].icon, MsgIcon::Error);
    }
    logOn(form, "boss", "secret");
    QCOMPARE(form.result(), int(QDialog::Accepted));
    QCOMPARE(LockSystemInfo.Staffer, QStringLiteral("boss"));

    // An account with an empty name and password logs on with both fields empty.
    hotel.exec("insert into Operator (Staffer, StafferName, Pass, GroupID) "
               "values ('', 'Night desk', '', 4)");
    QVERIFY(TryLogon(QString(), QString()));
    QCOMPARE(LockSystemInfo.StafferName, QStringLiteral("Night desk"));
    QCOMPARE(LockSystemInfo.GroupID, 4);
}

void TestStartup::accountWithoutPasswordCannotLogOn()
{
    TestHotel hotel;
    hotel.logOnAdministrator("boss");
    // "new" has no password yet (null); "night" was given the empty password on purpose.
    hotel.exec("insert into Operator (Staffer, StafferName) values ('new', 'New clerk')");
    hotel.exec("insert into Operator (Staffer, StafferName, Pass) values ('night', 'Night', '')");
    {
        TLogonForm form;
        logOn(form, "new", "");
        QCOMPARE(form.result(), int(QDialog::Rejected));
        QCOMPARE(hotel.dialogs.texts(), QStringList{"错误的用户名或密码！"});
        QVERIFY(hotel.scalar("select Pass is null from Operator where Staffer='new'").toBool());
    }
    TLogonForm form;
    logOn(form, "night", "");
    QCOMPARE(form.result(), int(QDialog::Accepted));
    QCOMPARE(LockSystemInfo.StafferName, QStringLiteral("Night"));
    QVERIFY(VerifyPassword(
        "", hotel.scalar("select Pass from Operator where Staffer='night'").toString()));
}

void TestStartup::legacyPlainPasswordIsUpgraded()
{
    TestHotel hotel;
    hotel.exec("insert into Operator (Staffer, StafferName, Pass) values ('amy', 'Amy', 'abc')");
    QVERIFY(!TryLogon("amy", "ABC"));
    QCOMPARE(hotel.scalar("select Pass from Operator").toString(), QStringLiteral("abc"));
    // A database that cannot be written: the logon succeeds, the upgrade waits.
    hotel.exec("pragma query_only = 1");
    QVERIFY(TryLogon("amy", "abc"));
    hotel.exec("pragma query_only = 0");
    QCOMPARE(hotel.scalar("select Pass from Operator").toString(), QStringLiteral("abc"));
    QVERIFY(TryLogon("amy", "abc"));
    const QString stored = hotel.scalar("select Pass from Operator").toString();
    QVERIFY(IsPasswordHash(stored));
    QVERIFY(TryLogon("amy", "abc"));
    QVERIFY(!TryLogon("amy", stored)); // the hash itself is no password
}

void TestStartup::textComparesWithoutCase()
{
    TestHotel hotel;
    hotel.logOnAdministrator("boss");
    LockSystemInfo = TLockSystemInfo();
    QVERIFY(TryLogon("Boss", "secret"));
    QCOMPARE(LockSystemInfo.Staffer, QStringLiteral("Boss")); // as typed
    QVERIFY(!TryLogon("Boss", "SECRET"));                     // passwords keep their case
    TMainForm main;
    QVERIFY(!main.Ended()); // the rights are found under the name as typed

    QSqlQuery insert(hotel.module.conn.database());
    QVERIFY(!insert.exec("insert into Operator (Staffer) values ('BOSS')"));
    hotel.exec("insert into RoomInfo (Room, RoomStr, Buiding, Floor, RoomNumber) "
               "values (30101, 'A101', 3, 1, 1)");
    QCOMPARE(RoomStrExists("a101"), 1);
    QCOMPARE(GetRoomCode("a101"), 30101);
}

void TestStartup::passwordHashMatchesPublishedVectors()
{
    // PBKDF2-HMAC-SHA256 test vectors of RFC 7914, section 11.
    QCOMPARE(Pbkdf2Sha256("passwd", "salt", 1, 64).toHex(),
             QByteArray("55ac046e56e3089fec1691c22544b605f94185216dde0465e68b9d57c20dacbc"
                        "49ca9cccf179b645991664b39d77ef317c71b845b1e30bd509112041d3a19783"));
    QCOMPARE(Pbkdf2Sha256("Password", "NaCl", 80000, 64).toHex(),
             QByteArray("4ddcd8f60b98be21830cee5ef22701f9641a4418d04c0414aeff08876b34ab56"
                        "a1d425a1225833549adb841b51c9b3176a272bdebba1d078478f62b397f33c8d"));
    // A hash stored by the earlier implementation of the same function still verifies.
    QVERIFY(VerifyPassword(
        "secret", "pbkdf2-sha256$1$c2FsdA==$" +
                      QString::fromLatin1(Pbkdf2Sha256("secret", "salt", 1, 32).toBase64())));
}

void TestStartup::escEndsTheProgramAtLogon()
{
    TestHotel hotel;
    hotel.logOnAdministrator("boss");
    // An older database's plain password: hashed as the start opens the database.
    hotel.exec("insert into Operator (Staffer, StafferName, Pass) values ('old', 'Old', 'pw')");
    WhenModalOpens("LogonForm", [](QWidget *form) {
        QTest::keyClick(child<QLineEdit>(form, "LoginCode_Edit"), Qt::Key_Escape);
    });
    QVERIFY(!StartUp());
    QVERIFY(
        IsPasswordHash(hotel.scalar("select Pass from Operator where Staffer='old'").toString()));
    QVERIFY(TryLogon("old", "pw"));
}

void TestStartup::wrongAttemptsMakeTheLogonWait()
{
    TestHotel hotel;
    hotel.logOnAdministrator("boss"); // password "secret"
    QDateTime now(QDate(2026, 12, 10), QTime(9, 0));
    SetNow(now);
    const auto realClock = qScopeGuard([] { SetNow(QDateTime()); });
    const QString wrong = QStringLiteral("错误的用户名或密码！");
    TLogonForm form;
    auto *ok = child<QPushButton>(&form, "Ok_Bt");
    auto *wait = child<QLabel>(&form, "Wait_Label");
    for (int i = 0; i < LogonThrottle::kFreeAttempts; ++i) {
        QVERIFY(ok->isEnabled());
        QVERIFY(wait->isHidden());
        logOn(form, "boss", "wrong");
    }
    QCOMPARE(hotel.dialogs.texts(), QStringList(5, wrong));
    QVERIFY(!ok->isEnabled());
    QVERIFY(!wait->isHidden());
    QVERIFY2(wait->text().contains("09:00:30"), qPrintable(wait->text()));
    // Meanwhile not even the right password is tried, and a dialog opened afresh waits too;
    // Esc still leaves.
    logOn(form, "boss", "secret");
    QCOMPARE(form.result(), int(QDialog::Rejected));
    QCOMPARE(hotel.dialogs.messages.size(), 5);
    {
        TLogonForm again;
        QVERIFY(!child<QPushButton>(&again, "Ok_Bt")->isEnabled());
        again.show();
        QTest::keyClick(&again, Qt::Key_Escape);
        QCOMPARE(again.result(), int(QDialog::Rejected));
    }
    // The dialog's own timer opens it again once the moment has come.
    SetNow(now.addSecs(29));
    form.UpdateWait();
    QVERIFY(!ok->isEnabled());
    now = now.addSecs(30);
    SetNow(now);
    QTRY_VERIFY_WITH_TIMEOUT(ok->isEnabled(), 20000);
    QVERIFY(wait->isHidden());
    // Each further wrong attempt doubles the wait, up to five minutes.
    for (int seconds : {60, 120, 240, 300, 300}) {
        logOn(form, "boss", "wrong");
        SetNow(now.addSecs(seconds - 1));
        form.UpdateWait();
        QVERIFY2(!ok->isEnabled(), qPrintable(QString::number(seconds)));
        now = now.addSecs(seconds);
        SetNow(now);
        form.UpdateWait();
        QVERIFY2(ok->isEnabled(), qPrintable(QString::number(seconds)));
    }
    // A right password afterwards logs on as usual and starts the count afresh.
    logOn(form, "boss", "secret");
    QCOMPARE(form.result(), int(QDialog::Accepted));
    QCOMPARE(WorkstationLogonThrottle().Failures(), 0);
}

void TestStartup::missingDatabaseEndsTheStart()
{
    TestHotel hotel;
    hotel.module.conn.Close();
    hotel.writeIni("[Client Config]\nDbPath=" + hotel.dir() + "/gone/lock.mdb\n");
    // The logon dialog cannot be built without a database: the start ends with the error.
    QVERIFY_THROWS_EXCEPTION(DbError, StartUp());
    QCOMPARE(hotel.dialogs.texts(), QStringList{"文件不存在！"});
}

void TestStartup::mainWindowNeedsAnExistingOperator()
{
    TestHotel hotel;
    hotel.logOnAdministrator("boss");
    {
        TMainForm main;
        QVERIFY(!main.Ended());
        bool shown = false;
        for (QLabel *label : main.statusBar()->findChildren<QLabel *>())
            shown |= label->text().trimmed() == QStringLiteral("Administrator");
        QVERIFY(shown);
    }
    hotel.exec("delete from Operator");
    TMainForm gone;
    QVERIFY(gone.Ended());
}

void TestStartup::settingsFormSavesAndEndsTheProgram()
{
    TestHotel hotel;
    hotel.writeIni("[Config]\nCommProt=2\nLockType=3\n[SystemInfo]\nDayCount=2\n"
                   "LeaveTime=13:00:00\nPass=0A0B0C0D\n");
    ReadSystemInfo(LockSystemInfo);
    TSystemInfo_Form form;
    QCOMPARE(form.windowTitle(), QStringLiteral("Parameter setting"));
    QVERIFY(child<QRadioButton>(&form, "COM3_RB")->isChecked());
    QCOMPARE(child<QLineEdit>(&form, "LeaveTime_Edit")->text(), QStringLiteral("13:00:00"));
    child<QLineEdit>(&form, "HotelName_Edit")->setText("Seaside");
    child<QLineEdit>(&form, "LeaveTime_Edit")->setText("11:30:00");
    child<QRadioButton>(&form, "COM1_RB")->setChecked(true);
    child<QPushButton>(&form, "Save_Bt")->click();
    QCOMPARE(hotel.dialogs.texts(),
             (QStringList{"Save succesful!", "Please restart the software!"}));
    QCOMPARE(hotel.dialogs.messages[0].caption, QStringLiteral("warning"));
    QVERIFY(ProgramEndRequested());
    QCOMPARE(LockSystemInfo.HotelName, QStringLiteral("Seaside"));
    QCOMPARE(LockSystemInfo.LeaveTime, QTime(11, 30));
    const IniFile ini(SettingsFilePath());
    QCOMPARE(ini.ReadInteger("Config", "LockType", -1), 3);
    QCOMPARE(ini.ReadInteger("Config", "CommProt", -1), 0);
    QCOMPARE(ini.ReadString("SystemInfo", "UseRoomID", "?"), QStringLiteral("0"));
    QCOMPARE(ini.ReadString("SystemInfo", "Pass", ""), QStringLiteral("0A0B0C0D"));
    // The operation log names the keys that changed, never the encoder's password.
    QCOMPARE(hotel.scalar("select Action || '|' || Detail from OperationLog").toString(),
             QStringLiteral("SETTINGS|CommProt: 2 -> 0; HotelName:  -> Seaside; "
                            "LeaveTime: 13:00:00 -> 11:30:00"));
}

void TestStartup::settingsFormStopsAtAnInvalidTime()
{
    TestHotel hotel;
    hotel.writeIni("[SystemInfo]\nLeaveTime=13:00:00\n");
    ReadSystemInfo(LockSystemInfo);
    TSystemInfo_Form form;
    child<QLineEdit>(&form, "HotelName_Edit")->setText("Harbour");
    child<QLineEdit>(&form, "LeaveTime_Edit")->setText("25:00");
    QVERIFY_THROWS_EXCEPTION(ConvertError, form.SaveBrevanInfo());
    const IniFile ini(SettingsFilePath());
    QCOMPARE(ini.ReadString("SystemInfo", "HotelName", ""), QStringLiteral("Harbour"));
    QCOMPARE(ini.ReadString("SystemInfo", "LeaveTime", ""), QStringLiteral("13:00:00"));
    QCOMPARE(ini.ReadString("SystemInfo", "UseRoomID", "none"), QStringLiteral("none"));
    QVERIFY(hotel.dialogs.messages.isEmpty());
}

void TestStartup::connectionDialog()
{
    TestHotel hotel;
    LockSystemInfo.ConnType = 1;
    TCdForm form;
    QCOMPARE(form.windowTitle(), QStringLiteral("Database connecting"));
    QVERIFY(!form.PageSelected());
    child<QPushButton>(&form, "Test_Bt")->click();
    child<QPushButton>(&form, "Save_Bt")->click();
    QCOMPARE(hotel.dialogs.texts(), (QStringList{"Test failure!", "Save failure"}));

    emit child<QTabWidget>(&form, "PageControl1")->tabBarClicked(0);
    QVERIFY(form.PageSelected());
    auto *memo = form.findChild<QPlainTextEdit *>("Memo_DbPath");
    QVERIFY(memo);

    // A file that is no database: the live connection is gone until a good test.
    const QString junk = hotel.dir() + "/junk.mdb";
    QFile f(junk);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(QByteArray(4096, 'x'));
    f.close();
    memo->setPlainText(junk);
    hotel.dialogs.clear();
    child<QPushButton>(&form, "Test_Bt")->click();
    QCOMPARE(hotel.dialogs.texts().last(), QStringLiteral("Test failure!"));
    QVERIFY(!hotel.module.conn.Connected());

    hotel.dialogs.files = QStringList{hotel.dir() + "/missing.mdb", hotel.dbPath()};
    hotel.dialogs.clear();
    child<QPushButton>(&form, "Browse_Bt")->click();
    QCOMPARE(hotel.dialogs.texts(), QStringList{"File not found!"});
    child<QPushButton>(&form, "Browse_Bt")->click();
    QCOMPARE(memo->toPlainText(), hotel.dbPath());
    child<QPushButton>(&form, "Save_Bt")->click();
    QCOMPARE(hotel.dialogs.texts().last(), QStringLiteral("Save Ok!"));
    QVERIFY(hotel.module.conn.Connected());
    QCOMPARE(LockSystemInfo.ConnType, quint8(0));
    const IniFile ini(SettingsFilePath());
    QCOMPARE(ini.ReadInteger("Client Config", "ConnType", -1), 0);
    QCOMPARE(ini.ReadString("Client Config", "DbPath", ""), hotel.dbPath());
    QCOMPARE(hotel.scalar("select Action || '|' || Detail from OperationLog order by ID desc")
                 .toString(),
             "CONNECTION|database file " + hotel.dbPath());
}

void TestStartup::failedSettingsWritesAreReported()
{
    TestHotel hotel;
    hotel.writeIni("[SystemInfo]\nHotelName=Harbour\n");
    const QString ini = SettingsFilePath();
    QVERIFY(QFile::setPermissions(ini, QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther));
    const auto restore =
        qScopeGuard([&] { QFile::setPermissions(ini, QFile::ReadOwner | QFile::WriteOwner); });
    ReadSystemInfo(LockSystemInfo);
    {
        TSystemInfo_Form form;
        child<QLineEdit>(&form, "HotelName_Edit")->setText("Seaside");
        child<QPushButton>(&form, "Save_Bt")->click();
        QCOMPARE(hotel.dialogs.messages.size(), 1);
        QVERIFY(hotel.dialogs.messages[0].text.contains(ini));
        QVERIFY(hotel.dialogs.messages[0].text.contains("read-only"));
        QCOMPARE(hotel.dialogs.messages[0].icon, MsgIcon::Error);
        QCOMPARE(IniFile(ini).ReadString("SystemInfo", "HotelName", ""), QStringLiteral("Harbour"));
    }
    hotel.dialogs.clear();
    LockSystemInfo.ConnType = 1;
    TCdForm dialog;
    emit child<QTabWidget>(&dialog, "PageControl1")->tabBarClicked(0);
    child<QPlainTextEdit>(&dialog, "Memo_DbPath")->setPlainText(hotel.dbPath());
    child<QPushButton>(&dialog, "Save_Bt")->click();
    QCOMPARE(hotel.dialogs.messages.size(), 1);
    QVERIFY(hotel.dialogs.messages[0].text.contains(ini));
    QCOMPARE(LockSystemInfo.ConnType, quint8(1)); // nothing was saved
}

void TestStartup::databasePathsResolveFromTheProgramFolder()
{
    TestHotel hotel;
    // A relative DbPath is found from the program folder, wherever the program was started.
    const QString started = QDir::currentPath();
    const auto back = qScopeGuard([&] { QDir::setCurrent(started); });
    QVERIFY(QDir::setCurrent(QDir::tempPath()));
    hotel.writeIni("[Client Config]\nDbPath=DB\\lock.mdb\n");
    QVERIFY(ConnectDatabase());
    QCOMPARE(hotel.module.conn.databasePath(), hotel.dbPath());

    // A path holding ';' and surrounding blanks opens, through the dialog and at start-up.
    QVERIFY(QDir(hotel.dir()).mkpath("a;b"));
    const QString odd = hotel.dir() + "/a;b/ lock.mdb ";
    QVERIFY(QFile::copy(hotel.dbPath(), odd));
    TCdForm dialog;
    child<QPlainTextEdit>(&dialog, "Memo_DbPath")->setPlainText(odd + "\n");
    child<QPushButton>(&dialog, "Save_Bt")->click();
    QCOMPARE(hotel.dialogs.texts(), QStringList{"Save Ok!"});
    QCOMPARE(hotel.module.conn.databasePath(), odd);
    QCOMPARE(ConfiguredDbPath(), odd);
    hotel.module.conn.Close();
    QVERIFY(ConnectDatabase());
    QCOMPARE(hotel.module.conn.databasePath(), odd);

    // The dialog's Test resolves a relative path the same way.
    child<QPlainTextEdit>(&dialog, "Memo_DbPath")->setPlainText("db/lock.mdb");
    hotel.dialogs.clear();
    child<QPushButton>(&dialog, "Test_Bt")->click();
    QCOMPARE(hotel.dialogs.texts(), QStringList{"Test Ok!"});
    QCOMPARE(hotel.module.conn.databasePath(), hotel.dbPath());
}

void TestStartup::maskedFieldsShowStars()
{
    TestHotel hotel;
    hotel.logOnAdministrator("boss");
    TLogonForm form;
    auto *password = child<QLineEdit>(&form, "SystemLogin_Pas");
    QCOMPARE(password->echoMode(), QLineEdit::Password);
    QCOMPARE(password->style()->styleHint(QStyle::SH_LineEdit_PasswordCharacter, nullptr, password),
             int('*'));
}

QUENMAR_TEST_MAIN(TestStartup)
#include "test_startup.moc"
