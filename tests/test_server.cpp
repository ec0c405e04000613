// The database server kind: connecting, the statements of the data layer on both kinds,
// the server's setting-up by quenmar-initdb, backup commands, and serial counters shared by
// workstations working at the same moment.
#include "app/application.h"
#include "app/backupcommands.h"
#include "app/roomboard.h"
#include "cards/bookkeeping.h"
#include "data/clock.h"
#include "data/errors.h"
#include "data/schema.h"
#include "data/serverdb.h"
#include "data/settings.h"
#include "data/sqltext.h"
#include "kestrune/kestrune.h"
#include "oplog/operationlog.h"
#include "language/language.h"
#include "operators/passwordhash.h"
#include "setup/rooms.h"
#include "stays/guestquickinform.h"
#include "stays/stays.h"
#include "support/testhotel.h"
#include "support/testserver.h"
#include "ui/errorguard.h"

#include <QElapsedTimer>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QProcess>
#include <QPushButton>
#include <QTest>

#include <future>
#include <memory>
#include <thread>

namespace {

TestServer *server = nullptr;

// A hotel whose data module works on the server's demo hotel (kind "server") or on a
// database file (kind "file").
struct Hotel
{
    TestHotel hotel;
    explicit Hotel(const QString &kind)
    {
        if (kind == QLatin1String("server")) {
            server->freshHotel(true);
            hotel.module.conn.Close();
            server->login(hotel.module.conn);
            hotel.module.conn.Open();
            LockSystemInfo.ConnType = 1;
        }
    }
    ~Hotel() { LockSystemInfo.ConnType = 0; }
    Connection &conn() { return hotel.module.conn; }
};

QString iniFor(const QString &serverName, const QString &user, const QString &password)
{
    return QStringLiteral("[Client Config]\nConnType=1\nServerName=%1\nUserName=%2\nPass=%3\n")
        .arg(serverName, user, password);
}

QString workerOutput(QProcess &p)
{
    return QString::fromUtf8(p.readAllStandardOutput()).trimmed();
}

} // namespace

class TestServerKind : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void cleanupTestCase();
    void connectDatabaseToTheServer();
    void statementsReadTheSameOnBothKinds_data();
    void statementsReadTheSameOnBothKinds();
    void checkInAndOutOnTheServer();
    void initdbFromCarriesEveryRow();
    void backupAndRestoreOfTheServer();
    void workstationsNeverShareASerial_data();
    void workstationsNeverShareASerial();
    void workstationsKeepOneLogChain_data();
    void workstationsKeepOneLogChain();
    void roomsStoredAtTheSameMomentStayApart();
    void lostConnectionIsOpenedAgain();
};

void TestServerKind::initTestCase()
{
    server = new TestServer;
}

void TestServerKind::cleanupTestCase()
{
    delete server;
    server = nullptr;
}

void TestServerKind::connectDatabaseToTheServer()
{
    QUENMAR_REQUIRE_SERVER(*server);
    server->freshHotel(false);
    TestHotel hotel;
    LockSystemInfo.ConnType = 1;
    hotel.writeIni(iniFor(server->serverName(), server->user(), server->password()));
    QVERIFY(ConnectDatabase());
    QVERIFY(hotel.module.conn.IsServer());
    QCOMPARE(hotel.scalar("select count(*) from CardType").toInt(), 10);

    hotel.writeIni(iniFor(server->serverName(), server->user(), "wrong"));
    QVERIFY(!ConnectDatabase());
    QVERIFY(!hotel.module.conn.Connected());

    // An address that answers nobody, and a socket folder without a server.
    for (const QString &name : {QStringLiteral("192.0.2.1:5432"), hotel.dir()}) {
        hotel.writeIni(iniFor(name, server->user(), server->password()));
        QElapsedTimer clock;
        clock.start();
        QVERIFY(!ConnectDatabase());
        QVERIFY2(clock.elapsed() < 8000, qPrintable(QString::number(clock.elapsed())));
    }
    QVERIFY(hotel.dialogs.messages.isEmpty());
    LockSystemInfo.ConnType = 0;
}

void TestServerKind::statementsReadTheSameOnBothKinds_data()
{
    QTest::addColumn<QString>("kind");
    QTest::newRow("file") << "file";
    QTest::newRow("server") << "server";
}

void TestServerKind::statementsReadTheSameOnBothKinds()
{
    QFETCH(QString, kind);
    if (kind == QLatin1String("server"))
        QUENMAR_REQUIRE_SERVER(*server);
    Hotel h(kind);
    auto scalar = [&](const QStringList &lines) {
        Query q(h.conn());
        q.SQL = lines;
        q.Open();
        return q.Field(0);
    };

    // DateDiff counts the boundaries crossed, in every unit; null in, null out.
    const struct
    {
        int unit;
        const char *a, *b;
        int expected;
    } diffs[] = {
        {0, "2024-05-03 23:59:00", "2024-05-04 00:00:00", 1},
        {0, "2024-05-04 00:00:00", "2024-05-03 23:59:00", -1},
        {0, "2024-05-03 00:00:00", "2024-05-03 23:59:59", 0},
        {0, "2024-02-28 12:00:00", "2024-03-01 00:00:00", 2},
        {2, "2024-05-03 10:59:59", "2024-05-03 11:00:00", 1},
        {2, "2024-05-03 10:00:00", "2024-05-03 10:59:59", 0},
        {2, "2024-05-03 23:30:00", "2024-05-04 01:10:00", 2},
        {1, "2024-05-03 10:00:59", "2024-05-03 10:01:00", 1},
        {1, "2024-05-03 10:00:00", "2024-05-03 10:00:59", 0},
        {1, "2024-05-04 00:00:00", "2024-05-03 23:58:30", -2},
    };
    for (const auto &d : diffs) {
        const QVariant v = scalar({QStringLiteral("select DateDiff(") + DateDiffPart(d.unit) +
                                   QStringLiteral(",'%1','%2')").arg(d.a, d.b)});
        QVERIFY2(
            v.toInt() == d.expected,
            qPrintable(QStringLiteral("%1 %2 %3: %4").arg(d.unit).arg(d.a, d.b, v.toString())));
    }
    QVERIFY(
        scalar({"select DateDiff(" + DateDiffPart(0) + ",null,'2024-05-03 10:00:00')"}).isNull());
    // Against a column, as the issuing records compare.
    h.hotel.exec("insert into MakeCardRecord (Rom, CardType, InputTime) values "
                 "('A', 4, '2024-05-02 23:59:00'), ('B', 4, '2024-05-03 00:00:00')");
    QCOMPARE(scalar({"select count(*) from MakeCardRecord M where",
                     "DateDiff(" + DateDiffPart(0) + ",'2024-05-03 18:00:00',M.InputTime)>=0"})
                 .toInt(),
             1);

    // Texts reach the database as typed, through statements and bound values alike.
    const QStringList hostile = {"O'Brien",         "'; drop table Operator; --",
                                 "C:\\rooms\\'\\",  "\\' or 1=1 --",
                                 "王小明",          "''",
                                 "$$; select 1; $$"};
    int number = 100;
    for (const QString &text : hostile) {
        Query insert(h.conn());
        insert.Add(
            QStringLiteral("insert into District (DistrictNumber, Notes) values (%1,").arg(number));
        insert.Add(QuotedStr(text) + ')');
        insert.ExecSQL();
        InsertRow(h.conn(), "District", {{"DistrictNumber", number + 1}, {"Notes", text}});
        QCOMPARE(scalar({"select count(*) from District where Notes=" + QuotedStr(text)}).toInt(),
                 2);
        QCOMPARE(scalar({QStringLiteral("select Notes from District where DistrictNumber=%1")
                             .arg(number + 1)})
                     .toString(),
                 text);
        number += 2;
    }
    QCOMPARE(scalar({"select count(*) from Operator"}).toInt(), 0);
    // Text compares without regard to case on both kinds.
    QCOMPARE(scalar({"select count(*) from District where Notes=" + QuotedStr("o'brien")}).toInt(),
             2);

    // Date-times, booleans and column names read back alike.
    const qint64 id = InsertRow(h.conn(), "GuestInRecord",
                                {{"Room", 1101},
                                 {"RoomStr", "101"},
                                 {"GuestInTime", QDateTime(QDate(2024, 5, 3), QTime(23, 59, 0))},
                                 {"LeaveTime", QDateTime()}});
    QVERIFY(id > 0);
    Query stay(h.conn());
    stay.Add(QStringLiteral("select * from GuestInRecord where ID=%1").arg(id));
    stay.Open();
    QCOMPARE(stay.AsString("GuestInTime"), QStringLiteral("2024-05-03 23:59:00"));
    QVERIFY(stay.IsNull("LeaveTime"));
    QVERIFY(stay.AsDateTime("InputTime").isValid());
    QCOMPARE(stay.AsInteger("enOverride"), 0);
    QVERIFY(stay.FieldNames().contains("GuestInTime"));
    QVERIFY(stay.FieldNames().contains("enOverride"));

    h.hotel.logOnAdministrator("amy");
    Table &op = h.hotel.module.Operator_ado;
    op.Filter = "OperatorManage=True";
    op.Filtered = true;
    op.Open();
    QCOMPARE(op.RecordCount(), 1);
    QVERIFY(op.AsBoolean("CheckIn"));
    QVERIFY(op.Edit({{"CheckIn", false}, {"CheckOut", 0}}));
    QVERIFY(!op.AsBoolean("CheckIn"));
    QVERIFY(!op.AsBoolean("CheckOut"));
    op.Filtered = false;
    op.Close();

    QStringList items;
    const int found = h.hotel.module.GetDataTypeItems(4, items, "2");
    QCOMPARE(items.value(found - 1), QStringLiteral("2"));
    items.sort();
    QCOMPARE(items, (QStringList{"1", "2"}));
}

void TestServerKind::checkInAndOutOnTheServer()
{
    QUENMAR_REQUIRE_SERVER(*server);
    Hotel h("server");
    VirtualEncoder encoder;
    h.hotel.logOnAdministrator("amy");
    SetNow(QDateTime(QDate(2024, 5, 2), QTime(18, 30)));
    LockSystemInfo.DayCount = 1;
    LockSystemInfo.LeaveTime = QTime(12, 0);
    encoder.connectOn(1, "0A0B0C0D");
    MakeCardOpenPort(1);
    encoder.putBlank();
    CardBusy = false;

    QCOMPARE(LoadRoomBoard(std::nullopt, std::nullopt).size(), 40);
    {
        TGuestQuickIn_Form form;
        child<QLineEdit>(&form, "se_Room1")->setText("203");
        child<QLineEdit>(&form, "E_H_GQI")->setText("O'Neil");
        child<QLineEdit>(&form, "GuestCode_Edit")->setText("P1234567");
        child<QPushButton>(&form, "Confirm_Bt")->click();
        QCOMPARE(child<QLabel>(&form, "Prompt_Label")->text(), QStringLiteral("Success!"));
    }
    QVERIFY(h.hotel.dialogs.messages.isEmpty());
    QCOMPARE(encoder.show().value("Serial"), QStringLiteral("1 0 0 0"));
    QCOMPARE(h.hotel.scalar("select CardSn from RoomInfo where RoomStr='203'").toInt(), 1);
    QCOMPARE(h.hotel.scalar("select GuestName from GuestInRecord where enOverride=0").toString(),
             QStringLiteral("O'Neil"));
    QCOMPARE(h.hotel.scalar("select count(*) from MakeCardRecord where CardType=4").toInt(), 1);
    const QVector<BoardRoom> board = LoadRoomBoard(QStringLiteral("1"), QStringLiteral("2"));
    QCOMPARE(board.size(), 8);
    QCOMPARE(board[2].RoomStr, QStringLiteral("203"));
    QCOMPARE(board[2].Picture, 2);
    QCOMPARE(board[1].Picture, 0);

    SetNow(QDateTime(QDate(2024, 5, 3), QTime(11, 0)));
    QVERIFY(EndFirstOpenStayOfRoom("203"));
    QCOMPARE(LoadRoomBoard(QStringLiteral("1"), QStringLiteral("2"))[2].Picture, 0);
    Query ended(h.conn());
    ended.Add("select LeaveTime, enOverride from GuestInRecord where RoomStr='203'");
    ended.Open();
    QCOMPARE(ended.AsString("LeaveTime"), QStringLiteral("2024-05-03 11:00:00"));
    QCOMPARE(ended.AsInteger("enOverride"), 1);
}

void TestServerKind::initdbFromCarriesEveryRow()
{
    QUENMAR_REQUIRE_SERVER(*server);
    // A hotel that ran on one workstation: rooms, a stay, cards, an operator.
    TestHotel file;
    file.logOnAdministrator("amy");
    file.exec("insert into GuestInRecord (GuestName, Room, RoomStr, Rom, GuestInTime, "
              "GuestLeaveTime, InputUser) values ('Li ''Wei''', 1101, '101', '00000003', "
              "'2024-05-01 14:00:00', '2024-05-02 12:00:00', 'amy')");
    file.exec("insert into MakeCardRecord (Rom, RoomStr, enOverride, Holder, CardType, "
              "StartTime, EndTime) values ('01010100000003', '101', 1, 'Li', 4, "
              "'2024-05-01 14:00:00', '2024-05-02 12:00:00')");
    file.exec("update RoomInfo set CardSn=3 where RoomStr='101'");
    file.exec("update AllCardSn set CardSn=9 where CardType=2");
    file.exec("update Operator set CheckOut=0");
    // An older workstation's plain password: it arrives hashed.
    file.exec("insert into Operator (Staffer, StafferName, Pass) values ('old', 'Old', 'pw')");

    server->freshHotel(false);
    // The tool refuses a server database that already holds a hotel.
    const QString passwordFile = file.dir() + "/password";
    {
        QFile f(passwordFile);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(server->password().toUtf8() + "\n");
    }
    const QString tool = QStringLiteral(QUENMAR_STAGE_DIR "/quenmar-initdb");
    const QStringList login = {"--server",     server->serverName(), "--user",
                               server->user(), "--password-file",    passwordFile};
    QProcess refused;
    refused.start(tool, login + QStringList{"--from", file.dbPath()});
    QVERIFY(refused.waitForFinished(60000));
    QCOMPARE(refused.exitCode(), 1);
    QVERIFY(refused.readAllStandardError().contains("already holds a hotel"));

    {
        Connection drop;
        server->login(drop);
        drop.Open();
        Query q(drop);
        for (const QString &table : HotelTableNames())
            q.Add("drop table " + table + ";");
        q.Add("drop table OperationLog;");
        q.Add("drop function DateDiff(text, timestamp, timestamp);");
        q.ExecSQL();
    }
    QProcess copy;
    copy.start(tool, login + QStringList{"--from", file.dbPath()});
    QVERIFY(copy.waitForFinished(60000));
    QVERIFY2(copy.exitCode() == 0, copy.readAllStandardError().constData());

    Connection onServer;
    server->login(onServer);
    onServer.Open();
    for (const QString &table : HotelTableNames()) {
        Query a(file.module.conn), b(onServer);
        a.Add("select * from " + table + " order by ID");
        b.Add("select * from " + table + " order by ID");
        a.Open();
        b.Open();
        QCOMPARE(b.RecordCount(), a.RecordCount());
        for (int row = 0; row < a.RecordCount(); ++row) {
            a.MoveTo(row);
            b.MoveTo(row);
            for (const QString &column : a.FieldNames()) {
                QVariant x = a.FieldByName(column), y = b.FieldByName(column);
                if (table == "Operator" && column == "Pass") {
                    QVERIFY(IsPasswordHash(y.toString()));
                    if (!IsPasswordHash(x.toString()))
                        QVERIFY(VerifyPassword(x.toString(), y.toString()));
                    continue;
                }
                if (y.typeId() == QMetaType::Bool)
                    y = QVariant(y.toBool() ? 1 : 0);
                QVERIFY2(x.isNull() == y.isNull() && (x.isNull() || x.toString() == y.toString()),
                         qPrintable(QStringLiteral("%1.%2 row %3: %4 / %5")
                                        .arg(table, column)
                                        .arg(row)
                                        .arg(x.toString(), y.toString())));
            }
        }
    }
    // New rows continue after the copied ones.
    const qint64 next = InsertRow(onServer, "GuestInRecord", {{"RoomStr", "102"}});
    QCOMPARE(next, 2);
}

void TestServerKind::backupAndRestoreOfTheServer()
{
    QUENMAR_REQUIRE_SERVER(*server);
    Hotel h("server");
    QObject mainForm;
    mainForm.setObjectName("MainForm");
    TLanguage language(&mainForm);
    const QString target = h.hotel.dir() + "/DB/server_BackUp.mdb";
    h.hotel.dialogs.files = {target};
    DataBackupClick(language);
    QCOMPARE(h.hotel.dialogs.texts(), QStringList{language.GetDialogText(3)});
    QFile dump(target);
    QVERIFY(dump.open(QIODevice::ReadOnly));
    QVERIFY(dump.read(5) == "PGDMP");

    h.hotel.dialogs.clear();
    h.hotel.dialogs.files = {target};
    DataRecoveryClick(language);
    QCOMPARE(h.hotel.dialogs.texts(), QStringList{language.GetDialogText(14)});
    QVERIFY(h.hotel.dialogs.offered.size() == 1); // no file was asked for
    QVERIFY(h.conn().IsServer());
}

void TestServerKind::workstationsNeverShareASerial_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<int>("holdMs"); // how long the first workstation's card call takes
    QTest::addColumn<bool>("secondWaits");
    QTest::newRow("file") << "file" << 1500 << true;
    QTest::newRow("server") << "server" << 1500 << true;
    QTest::newRow("file, waiting too long") << "file" << 9000 << false;
    QTest::newRow("server, waiting too long") << "server" << 9000 << false;
}

void TestServerKind::workstationsNeverShareASerial()
{
    QFETCH(QString, kind);
    QFETCH(int, holdMs);
    QFETCH(bool, secondWaits);
    if (kind == QLatin1String("server"))
        QUENMAR_REQUIRE_SERVER(*server);
    Hotel h(kind);
    h.hotel.exec("update RoomInfo set CardSn=6 where RoomStr='203'");
    const QStringList where =
        kind == QLatin1String("server")
            ? QStringList{"--server", server->serverName(), server->user(), server->password()}
            : QStringList{"--file", h.hotel.dbPath()};

    QProcess first, second;
    first.start(SERIAL_WORKER, where + QStringList{"203", QString::number(holdMs)});
    QVERIFY(first.waitForReadyRead(30000));
    QCOMPARE(QString::fromUtf8(first.readLine()).trimmed(), QStringLiteral("serial 7"));
    // The second workstation starts while the first holds serial 7 on the encoder.
    second.start(SERIAL_WORKER, where + QStringList{"203", "0"});
    QVERIFY(second.waitForFinished(30000));
    QVERIFY(first.waitForFinished(30000));
    QCOMPARE(workerOutput(first), QStringLiteral("recorded"));
    if (secondWaits) {
        QCOMPARE(workerOutput(second), QStringLiteral("serial 8\nrecorded"));
        QCOMPARE(h.hotel.scalar("select CardSn from RoomInfo where RoomStr='203'").toInt(), 8);
    } else {
        QCOMPARE(second.exitCode(), 3);
        QVERIFY(workerOutput(second).startsWith("error Another workstation is issuing a card"));
        QCOMPARE(h.hotel.scalar("select CardSn from RoomInfo where RoomStr='203'").toInt(), 7);
    }
}

void TestServerKind::workstationsKeepOneLogChain_data()
{
    QTest::addColumn<QString>("kind");
    QTest::newRow("file") << "file";
    QTest::newRow("server") << "server";
}

void TestServerKind::workstationsKeepOneLogChain()
{
    QFETCH(QString, kind);
    if (kind == QLatin1String("server"))
        QUENMAR_REQUIRE_SERVER(*server);
    Hotel h(kind);
    const QStringList where =
        kind == QLatin1String("server")
            ? QStringList{"--server", server->serverName(), server->user(), server->password()}
            : QStringList{"--file", h.hotel.dbPath()};
    QProcess first, second;
    first.start(SERIAL_WORKER, where + QStringList{"--log", "60"});
    second.start(SERIAL_WORKER, where + QStringList{"--log", "60"});
    QVERIFY(first.waitForFinished(120000));
    QVERIFY(second.waitForFinished(120000));
    QCOMPARE(workerOutput(first), QStringLiteral("logged"));
    QCOMPARE(workerOutput(second), QStringLiteral("logged"));
    QCOMPARE(h.hotel.scalar("select count(*) from OperationLog").toInt(), 120);
    const LogCheck check = VerifyOperationLog(h.conn());
    QVERIFY2(check.Intact, qPrintable(check.Text()));
    QCOMPARE(check.Rows, 120);
}

void TestServerKind::roomsStoredAtTheSameMomentStayApart()
{
    QUENMAR_REQUIRE_SERVER(*server);
    Hotel h("server");
    // Another workstation stores its room between this one's checks and its store: this
    // one's insert waits for the other's row and is then refused by the unique indexes.
    const struct
    {
        const char *otherPlate;
        int otherCode;
        const char *plate;
        int number; // building 9, floor 9: lock code 990n
        RoomRefusal refusal;
    } cases[] = {
        {"Race", 12345, "race", 1, RoomRefusal::DoorPlateTaken},
        {"Other", 9902, "Mine", 2, RoomRefusal::LockCodeTaken},
    };
    for (const auto &c : cases) {
        std::promise<void> inserted;
        QString failure;
        std::thread other([&] {
            bool told = false;
            try {
                Connection conn;
                server->login(conn);
                conn.Open();
                conn.BeginTrans();
                InsertRow(conn, "RoomInfo",
                          {{"RoomStr", QString::fromLatin1(c.otherPlate)}, {"Room", c.otherCode}});
                inserted.set_value();
                told = true;
                // Stored once this workstation waits for the row.
                for (int i = 0; i < 500; ++i) {
                    Query waiting(conn);
                    waiting.Add("select count(*) from pg_stat_activity where "
                                "wait_event_type = 'Lock'");
                    waiting.Open();
                    if (waiting.Field(0).toInt() > 0)
                        break;
                    std::this_thread::sleep_for(std::chrono::milliseconds(20));
                }
                conn.CommitTrans();
            } catch (const AppError &e) {
                failure = e.text();
                if (!told)
                    inserted.set_value();
            }
        });
        inserted.get_future().wait();
        const RoomStore stored =
            AddRoom(h.conn(), MakeNewRoom("9", "9", c.number), c.plate, QString());
        other.join();
        QVERIFY2(failure.isEmpty(), qPrintable(failure));
        QCOMPARE(stored.refusal, c.refusal);
        QCOMPARE(stored.otherDoorPlate, QString::fromLatin1(c.otherPlate));
        QCOMPARE(h.hotel.scalar("select count(*) from RoomInfo where Buiding=9").toInt(), 0);
    }
}

void TestServerKind::lostConnectionIsOpenedAgain()
{
    QUENMAR_REQUIRE_SERVER(*server);
    Hotel h("server");
    auto board = [] { return LoadRoomBoard(std::nullopt, std::nullopt).size(); };
    QCOMPARE(board(), 40);

    // The first command after the server restarted finds the connection lost: it is
    // abandoned and says so, once; the next one works.
    QVERIFY2(server->restart(), qPrintable(server->error()));
    QVERIFY(!RunGuarded([&] { board(); }));
    QCOMPARE(h.hotel.dialogs.messages.size(), 1);
    QVERIFY(RunGuarded([&] { QCOMPARE(board(), 40); }));
    QCOMPARE(h.hotel.dialogs.messages.size(), 1);
    QVERIFY(h.conn().IsServer());

    // A transaction open when the connection went is gone with it: its commit fails, and a
    // hold's end tells that nothing was kept, on a connection that works again.
    for (bool hold : {false, true}) {
        if (hold)
            h.conn().BeginHold();
        else
            h.conn().BeginTrans();
        InsertRow(h.conn(), "District", {{"DistrictNumber", 50}, {"Notes", "lost"}});
        QVERIFY2(server->restart(), qPrintable(server->error()));
        QVERIFY_THROWS_EXCEPTION(
            DbError, InsertRow(h.conn(), "District", {{"DistrictNumber", 51}, {"Notes", "lost"}}));
        if (hold) {
            QVERIFY(!h.conn().EndHold());
        } else {
            try {
                h.conn().CommitTrans();
                QFAIL("a lost transaction was committed");
            } catch (const DbError &e) {
                QCOMPARE(e.text(), LostConnectionText());
            }
        }
        QVERIFY(!h.conn().Holding());
        QCOMPARE(h.hotel.scalar("select count(*) from District where Notes='lost'").toInt(), 0);
    }
}

QUENMAR_TEST_MAIN(TestServerKind)
#include "test_server.moc"
