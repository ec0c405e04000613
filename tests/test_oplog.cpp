// The operation log: rows stored with the change they record, and a chain of hashes that a
// changed or removed row breaks.
#include "app/application.h"
#include "app/backupcommands.h"
#include "app/logon.h"
#include "app/operationlogform.h"
#include "cards/bookkeeping.h"
#include "data/clock.h"
#include "data/errors.h"
#include "data/rights.h"
#include "data/settings.h"
#include "data/transaction.h"
#include "language/language.h"
#include "operators/operators.h"
#include "oplog/operationlog.h"
#include "print/print.h"
#include "setup/districts.h"
#include "setup/rooms.h"
#include "setup/roomtypes.h"
#include "staffcards/issuelog.h"
#include "staffcards/opendoorrecords.h"
#include "stays/guestcards.h"
#include "stays/stays.h"
#include "support/testhotel.h"

#include <QComboBox>
#include <QDateEdit>
#include <QLabel>
#include <QProcess>
#include <QPushButton>
#include <QRegularExpression>
#include <QSpinBox>
#include <QStatusBar>
#include <QTableView>
#include <QTest>

class TestOperationLog : public QObject
{
    Q_OBJECT
private slots:
    void rowsCarryTheOperatorAndFollowTheChain();
    void aRolledBackChangeLeavesNoRow();
    void aChangedOrRemovedRowBreaksTheChain_data();
    void aChangedOrRemovedRowBreaksTheChain();
    void purgeKeepsTheChainWholeAndIsLogged();
    void anOlderDatabaseGetsTheTableWhenOpened();
    void initdbVerifiesTheLog();
    void theFormListsChecksAndPurges();
    void theReportPrintsTheListedRows();
    void eachOperationWritesItsRow();
    void setupAccountsAndFilesWriteTheirRows();
    void aFailedChangeWritesNoRow();
};

namespace {

// Logs on the first administrator, whose account is logged as added, and starts the log
// afresh for the rows a test counts.
void logOn(TestHotel &hotel)
{
    hotel.logOnAdministrator();
    QCOMPARE(hotel.scalar("select Action || ' ' || Staffer from OperationLog").toString(),
             QStringLiteral("OPERATOR_ADD admin"));
    hotel.exec("delete from OperationLog");
}

void logThree(TestHotel &hotel)
{
    logOn(hotel);
    SetNow(QDateTime(QDate(2026, 3, 1), QTime(9, 0, 5)));
    LogOperation(dm->conn, LogAction::CheckOut, QStringLiteral("101"), QStringLiteral("stay 7"));
    SetNow(QDateTime(QDate(2026, 6, 1), QTime(10, 0)));
    LogOperationAs(dm->conn, QStringLiteral("mallory"), QString(), LogAction::LogonFailed,
                   QString(), QStringLiteral("wrong password"));
    SetNow(QDateTime(QDate(2026, 12, 1), QTime(11, 30)));
    LogOperation(dm->conn, LogAction::Revoke, QStringLiteral("102"),
                 QString::fromUtf8("房卡 0x12"));
}

} // namespace

void TestOperationLog::rowsCarryTheOperatorAndFollowTheChain()
{
    TestHotel hotel;
    logThree(hotel);
    QCOMPARE(hotel.scalar("select count(*) from OperationLog").toInt(), 3);
    QCOMPARE(hotel
                 .scalar("select Staffer || '/' || Action || '/' || Room || '/' || Workstation "
                         "from OperationLog where ID = 1")
                 .toString(),
             QStringLiteral("admin/CHECK_OUT/101/") + WorkstationName());
    QCOMPARE(hotel.scalar("select LogTime from OperationLog where ID = 1").toString(),
             QStringLiteral("2026-03-01 09:00:05"));
    QCOMPARE(hotel.scalar("select Staffer from OperationLog where ID = 2").toString(),
             QStringLiteral("mallory"));
    const LogCheck check = VerifyOperationLog(dm->conn);
    QVERIFY(check.Intact);
    QCOMPARE(check.Rows, 3);
    QCOMPARE(check.Text(), QStringLiteral("Log intact"));
}

void TestOperationLog::aRolledBackChangeLeavesNoRow()
{
    TestHotel hotel;
    logOn(hotel);
    try {
        Transaction transaction(dm->conn);
        hotel.exec("update RoomInfo set CardSn = 5 where RoomStr = '101'");
        LogOperation(dm->conn, LogAction::Room, QStringLiteral("101"), QStringLiteral("changed"));
        throw DbError(QStringLiteral("the change fails after its row was written"));
    } catch (const DbError &) {
    }
    QCOMPARE(hotel.scalar("select count(*) from OperationLog").toInt(), 0);
    QCOMPARE(hotel.scalar("select CardSn from RoomInfo where RoomStr = '101'").toInt(), 0);
    // And one that is stored keeps its row.
    {
        Transaction transaction(dm->conn);
        LogOperation(dm->conn, LogAction::Room, QStringLiteral("101"), QStringLiteral("changed"));
        transaction.Commit();
    }
    QCOMPARE(hotel.scalar("select count(*) from OperationLog").toInt(), 1);
}

void TestOperationLog::aChangedOrRemovedRowBreaksTheChain_data()
{
    QTest::addColumn<QString>("tamper");
    QTest::addColumn<qint64>("brokenAt");
    QTest::newRow("detail edited") << "update OperationLog set Detail = 'x' where ID = 2" << 2LL;
    QTest::newRow("operator edited")
        << "update OperationLog set Staffer = 'admin' where ID = 2" << 2LL;
    QTest::newRow("time edited")
        << "update OperationLog set LogTime = '2026-06-01 10:00:01' where ID = 2" << 2LL;
    QTest::newRow("row removed") << "delete from OperationLog where ID = 2" << 3LL;
    QTest::newRow("first row removed") << "delete from OperationLog where ID = 1" << 2LL;
    QTest::newRow("hash recomputed without its predecessor")
        << "update OperationLog set Hash = (select Hash from OperationLog where ID = 1) "
           "where ID = 3"
        << 3LL;
}

void TestOperationLog::aChangedOrRemovedRowBreaksTheChain()
{
    QFETCH(QString, tamper);
    QFETCH(qint64, brokenAt);
    TestHotel hotel;
    logThree(hotel);
    hotel.exec(tamper);
    const LogCheck check = VerifyOperationLog(dm->conn);
    QVERIFY(!check.Intact);
    QCOMPARE(check.BrokenID, brokenAt);
    QVERIFY(check.Text().contains(QString::number(brokenAt)));
}

void TestOperationLog::purgeKeepsTheChainWholeAndIsLogged()
{
    TestHotel hotel;
    logThree(hotel);
    SetNow(QDateTime(QDate(2026, 12, 10), QTime(8, 0)));
    QCOMPARE(PurgeOperationLog(dm->conn, QDate(2026, 5, 1)), 1);
    QCOMPARE(hotel.scalar("select count(*) from OperationLog").toInt(), 3);
    QCOMPARE(hotel.scalar("select Action || ' ' || Staffer from OperationLog order by ID desc")
                 .toString(),
             QStringLiteral("LOG_PURGE admin"));
    QVERIFY(hotel.scalar("select Detail from OperationLog order by ID desc")
                .toString()
                .startsWith(QStringLiteral("before 2026-05-01; 1 rows;")));
    QVERIFY(VerifyOperationLog(dm->conn).Intact);
    // Later rows follow on; a second purge that removes nothing, then one that removes all.
    LogOperation(dm->conn, LogAction::Backup, QString(), QStringLiteral("file"));
    QCOMPARE(PurgeOperationLog(dm->conn, QDate(2026, 1, 1)), 0);
    QVERIFY(VerifyOperationLog(dm->conn).Intact);
    SetNow(QDateTime(QDate(2027, 1, 1), QTime(8, 0)));
    QCOMPARE(PurgeOperationLog(dm->conn, QDate(2027, 1, 1)), 5);
    QCOMPARE(hotel.scalar("select count(*) from OperationLog").toInt(), 1);
    QVERIFY(VerifyOperationLog(dm->conn).Intact);
    // A purge faked by deleting the oldest rows by hand is seen.
    LogOperation(dm->conn, LogAction::Backup, QString(), QStringLiteral("file"));
    hotel.exec("delete from OperationLog where Action = 'LOG_PURGE'");
    QVERIFY(!VerifyOperationLog(dm->conn).Intact);
}

void TestOperationLog::anOlderDatabaseGetsTheTableWhenOpened()
{
    TestHotel hotel;
    hotel.exec("drop table OperationLog");
    dm->conn.Close();
    QVERIFY(OpenDatabaseFile(hotel.dbPath()));
    QCOMPARE(hotel.scalar("select count(*) from sqlite_master where name = 'OperationLog_LogTime'")
                 .toInt(),
             1);
    logOn(hotel);
    LogOperation(dm->conn, LogAction::Logon, QString(), QString());
    QVERIFY(VerifyOperationLog(dm->conn).Intact);
}

void TestOperationLog::initdbVerifiesTheLog()
{
    TestHotel hotel;
    logThree(hotel);
    struct Case
    {
        const char *tamper;
        int status;
        const char *output;
    } cases[] = {{nullptr, 0, "3 rows checked: Log intact"},
                 {"update OperationLog set Room = '103' where ID = 3", 1, "broken at row 3"}};
    // A file under investigation is only read: not even an index the program would add to an
    // older file of its own is written into it.
    hotel.exec("DROP INDEX MakeCardRecord_TypeTime");
    const auto contents = [&] {
        QFile file(hotel.dbPath());
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    };
    for (const Case &c : cases) {
        if (c.tamper)
            hotel.exec(QString::fromLatin1(c.tamper));
        const QByteArray before = contents();
        QProcess initdb;
        initdb.start(QStringLiteral(QUENMAR_STAGE_DIR "/quenmar-initdb"),
                     {QStringLiteral("--verify-log"), hotel.dbPath()});
        QVERIFY(initdb.waitForFinished(120000));
        QCOMPARE(initdb.exitCode(), c.status);
        QVERIFY2(initdb.readAllStandardOutput().contains(c.output), c.output);
        QVERIFY(contents() == before);
    }
}

void TestOperationLog::theFormListsChecksAndPurges()
{
    TestHotel hotel;
    logThree(hotel);
    SetNow(QDateTime(QDate(2026, 12, 1), QTime(12, 0)));
    TOperationLog_Form form;
    QCOMPARE(form.objectName(), QStringLiteral("OperationLog_Form"));
    QCOMPARE(form.windowTitle(), QStringLiteral("Operation log"));
    auto *grid = child<QTableView>(&form, "DBGrid1");
    auto listed = [&] {
        QStringList actions;
        for (int r = 0; r < grid->model()->rowCount(); ++r)
            actions.append(grid->model()->index(r, 4).data().toString());
        return actions;
    };
    auto panel = [&] {
        return child<QStatusBar>(&form, "StatusBar1")
            ->findChild<QLabel *>("StatusBar1_Panel0")
            ->text();
    };
    // Today's rows of every operator and action.
    QCOMPARE(listed(), QStringList{"REVOKE"});
    QCOMPARE(panel(), QStringLiteral("Record: 1/1"));

    child<QDateEdit>(&form, "DateStart_Dtp")->setDate(QDate(2026, 1, 1));
    child<QPushButton>(&form, "Check_Bt")->click();
    QCOMPARE(listed(), (QStringList{"CHECK_OUT", "LOGON_FAILED", "REVOKE"}));
    auto *actions = child<QComboBox>(&form, "Action_CB");
    QCOMPARE(actions->currentText(), QStringLiteral("All actions"));
    actions->setCurrentText(QStringLiteral("REVOKE"));
    QCOMPARE(listed(), QStringList{"REVOKE"});
    actions->setCurrentIndex(actions->count() - 1);
    auto *staffers = child<QComboBox>(&form, "Staffer_CB");
    staffers->setCurrentText(QStringLiteral("admin"));
    QCOMPARE(listed(), (QStringList{"CHECK_OUT", "REVOKE"}));

    child<QPushButton>(&form, "Verify_Bt")->click();
    QCOMPARE(child<QLabel>(&form, "Verify_Label")->text(), QStringLiteral("Log intact"));

    // The purge asks first; Cancel keeps every row, Ok removes the rows before the years kept
    // and lists again.
    auto *purge = child<QPushButton>(&form, "DeleteOldData_Bt");
    QVERIFY(purge->isEnabled());
    child<QSpinBox>(&form, "Years_Edit")->setValue(1);
    SetNow(QDateTime(QDate(2027, 4, 1), QTime(12, 0)));
    hotel.dialogs.answers = {MsgResult::Cancel};
    purge->click();
    QCOMPARE(hotel.scalar("select count(*) from OperationLog").toInt(), 3);
    purge->click();
    QVERIFY(hotel.dialogs.texts().last().contains(QStringLiteral("before")));
    QCOMPARE(hotel.scalar("select count(*) from OperationLog").toInt(),
             3); // one gone, the purge row added
    QCOMPARE(listed(), QStringList{"REVOKE"});
    child<QPushButton>(&form, "Verify_Bt")->click();
    QCOMPARE(child<QLabel>(&form, "Verify_Label")->text(), QStringLiteral("Log intact"));

    // Without the settings right there is no purge.
    hotel.exec("update Operator set SystemInfo = 0");
    TOperationLog_Form clerk;
    QVERIFY(!child<QPushButton>(&clerk, "DeleteOldData_Bt")->isEnabled());
}

// The printed log: the listed days in its heading, every listed row with its operator, action,
// room and detail, wrapped rather than cut.
void TestOperationLog::theReportPrintsTheListedRows()
{
    TestHotel hotel;
    logThree(hotel);
    SetNow(QDateTime(QDate(2026, 12, 1), QTime(12, 0)));
    LogOperation(dm->conn, LogAction::Settings, QString(),
                 QStringLiteral("HotelName: Harbour -> Harbour View; LeaveTime: 12:00:00 -> "
                                "11:00:00; DayCount: 1 -> 2; CommProt: 0 -> 1; LockType: 0 -> 3"));
    TOperationLog_Form form;
    child<QDateEdit>(&form, "DateStart_Dtp")->setDate(QDate(2026, 1, 1));
    child<QPushButton>(&form, "Check_Bt")->click();
    QAbstractItemModel *model = child<QTableView>(&form, "DBGrid1")->model();
    model->setProperty("HotelName", "Harbour View Hotel");
    model->setProperty("Days", "2026-01-01 - 2026-12-01");

    const QString file = hotel.dir() + "/log.pdf";
    QVERIFY(SaveReportPdf(model, PRINT_OPERATION_LOG, file));

    const QString text = PdfText(file, false);
    for (const QString &part :
         {QStringLiteral("Harbour View Hotel"), QStringLiteral("Operation log"),
          QStringLiteral("Days: 2026-01-01 - 2026-12-01"), QStringLiteral("2026-03-01 09:00:05"),
          QStringLiteral("mallory"), QStringLiteral("LOGON_FAILED"), QStringLiteral("REVOKE"),
          QString::fromUtf8("房卡 0x12"), QStringLiteral("LockType: 0 -> 3")})
        QVERIFY2(text.contains(part), qPrintable(part));
}

namespace {

GuestStay stayIn(const QString &room)
{
    GuestStay stay;
    stay.Room = room;
    stay.Start = Now();
    stay.End = Now().addDays(2);
    stay.GuestName = QStringLiteral("Li Wei");
    return stay;
}

// The newest row of the log as "Action|Room|Detail".
QString newestRow(TestHotel &hotel)
{
    return hotel
        .scalar("select Action || '|' || Room || '|' || Detail from OperationLog order by ID "
                "desc limit 1")
        .toString();
}

} // namespace

void TestOperationLog::eachOperationWritesItsRow()
{
    TestHotel hotel;
    logOn(hotel);
    SetNow(QDateTime(QDate(2026, 12, 10), QTime(9, 0)));
    struct Case
    {
        const char *name;
        std::function<void()> operation;
        QString expected; // a regular expression for "Action|Room|Detail"
    };
    // A stay that a revoke ends, and a card recorded for it before the log is counted.
    const GuestStay guest = stayIn(QStringLiteral("103"));
    CardRecord guestCard = GuestCardRecord(guest, GuestSerial::Next);
    RecordIssuedGuestCard(guestCard, guest);
    DoorOpening opening;
    opening.Building = 1;
    opening.Floor = 2;
    opening.Address[0] = 1;
    opening.CardType = 4;
    DateTimeToCardTime(opening.Time, Now());
    const QList<Case> cases = {
        {"a guest card recorded",
         [] {
             const GuestStay stay = stayIn(QStringLiteral("101"));
             CardRecord record = GuestCardRecord(stay, GuestSerial::Next);
             RecordIssuedGuestCard(record, stay);
         },
         QStringLiteral(R"(^CARD\|101\|card type 4, serial 010101[0-9A-F]{8}, issue record \d+$)")},
        {"the stay ended", [] { QVERIFY(EndFirstOpenStayOfRoom(QStringLiteral("101"))); },
         QStringLiteral(R"(^CHECK_OUT\|101\|stay \d+, guest Li Wei$)")},
        {"a room's stays ended by a revoke", [] { CloseOpenStaysOfRoom(QStringLiteral("103")); },
         QStringLiteral(R"(^CHECK_OUT\|103\|stay \d+, guest Li Wei, card revoked$)")},
        {"a data card's openings stored",
         [&] {
             QCOMPARE(StoreDoorOpenings(dm->conn, {opening, opening}), DataCardImport::Stored);
         },
         QStringLiteral(R"(^DATA_CARD\|201\|2 openings stored$)")},
        {"a door log row deleted",
         [&] {
             DeleteOpenDoorRecord(dm->conn,
                                  hotel.scalar("select max(ID) from OpenDoorRecord").toLongLong());
         },
         QStringLiteral(
             R"(^DOOR_LOG_DELETE\|201\|opening \d+ of card \w+ at 2026-12-10 09:00:00$)")},
        {"issue records purged",
         [] { QCOMPARE(PurgeIssueRecords(dm->conn, Now().addYears(-1)), 0); },
         QStringLiteral(R"(^PURGE\|\|issue records of 2025-12-10 and earlier; 0 rows$)")},
    };
    for (const Case &c : cases) {
        const int before = hotel.scalar("select count(*) from OperationLog").toInt();
        c.operation();
        QCOMPARE(hotel.scalar("select count(*) from OperationLog").toInt(), before + 1);
        const QString row = newestRow(hotel);
        QVERIFY2(QRegularExpression(c.expected).match(row).hasMatch(),
                 qPrintable(QStringLiteral("%1: %2").arg(QLatin1String(c.name), row)));
    }
    QVERIFY(VerifyOperationLog(dm->conn).Intact);
}

// Each case runs one operation; an expected text of "" means the operation is refused and
// writes no row.
void TestOperationLog::setupAccountsAndFilesWriteTheirRows()
{
    TestHotel hotel;
    logOn(hotel);
    Table &types = dm->RoomType_ado;
    types.Open();
    qint64 typeId = -1;
    qint64 roomId = -1;
    qint64 clerkId = -1;
    QWidget mainForm;
    mainForm.setObjectName(QStringLiteral("MainForm"));
    TLanguage language(&mainForm);
    const QString backup = hotel.dir() + QStringLiteral("/saved.mdb");
    struct Case
    {
        const char *name;
        std::function<void()> operation;
        QString expected; // a regular expression for "Action|Room|Detail"; empty: no row
    };
    const QList<Case> cases = {
        {"logon", [] { QVERIFY(TryLogon(QStringLiteral("admin"), QStringLiteral("secret"))); },
         QStringLiteral(R"(^LOGON\|\|$)")},
        {"failed logon, the name typed kept, never the password",
         [] { QVERIFY(!TryLogon(QStringLiteral("mallory"), QStringLiteral("guess"))); },
         QStringLiteral(R"(^LOGON_FAILED\|\|$)")},
        {"room type added",
         [&] { typeId = AddRoomType(types, QStringLiteral("Loft"), QStringLiteral("2"), {}); },
         QStringLiteral(R"(^ROOM_TYPE\|\|added: Title=Loft, Size=2$)")},
        {"room type changed, old and new values",
         [&] {
             QVERIFY(UpdateRoomType(types, typeId, QStringLiteral("Grand loft"), {},
                                    QStringLiteral("880")));
         },
         QStringLiteral(
             R"(^ROOM_TYPE\|\|changed: .*Title=Loft.* -> .*Title=Grand loft.*Piece=880)")},
        {"room added",
         [&] {
             const RoomStore stored =
                 AddRoom(dm->conn, MakeNewRoom(QStringLiteral("3"), QStringLiteral("4"), 5),
                         QStringLiteral("3405"), QStringLiteral("Grand loft"));
             QCOMPARE(stored.refusal, RoomRefusal::None);
             roomId = stored.id;
         },
         QStringLiteral(
             R"(^ROOM\|3405\|added: lock code 3405, building 3, floor 4, room 5, Grand loft$)")},
        {"a room added with a taken door plate",
         [] {
             QCOMPARE(AddRoom(dm->conn, MakeNewRoom(QStringLiteral("3"), QStringLiteral("4"), 6),
                              QStringLiteral("3405"), QString())
                          .refusal,
                      RoomRefusal::DoorPlateTaken);
         },
         QString()},
        {"room changed, old and new values",
         [&] {
             QCOMPARE(UpdateRoom(dm->conn, roomId,
                                 {{QStringLiteral("RoomStr"), QStringLiteral("3405A")},
                                  {QStringLiteral("RoomTypeStr"), QString()}})
                          .refusal,
                      RoomRefusal::None);
         },
         QStringLiteral(
             R"(^ROOM\|3405\|changed: RoomStr=3405 -> 3405A, RoomTypeStr=Grand loft -> $)")},
        {"room deleted", [&] { QCOMPARE(DeleteRoom(dm->conn, roomId).refusal, RoomRefusal::None); },
         QStringLiteral(R"(^ROOM\|3405A\|deleted$)")},
        {"room type deleted", [&] { DeleteRoomType(types, typeId); },
         QStringLiteral(R"(^ROOM_TYPE\|\|deleted: Title=Grand loft$)")},
        {"group added", [] { AddDistrict(dm->conn, 7, QStringLiteral("Spa")); },
         QStringLiteral(R"(^GROUP\|\|added: group 7 \(Spa\)$)")},
        {"group deleted", [] { DeleteDistrict(dm->conn, 7); },
         QStringLiteral(R"(^GROUP\|\|deleted: group 7$)")},
        {"operator added with the rights granted",
         [&] {
             QList<bool> rights(OperatorRights().size(), false);
             rights[0] = true;
             clerkId = AddOperator(QStringLiteral("clerk"), QStringLiteral("Ann"), rights).id;
         },
         QStringLiteral(R"(^OPERATOR_ADD\|\|clerk \(Ann\), rights: \w+$)")},
        {"an operator added under a taken name",
         [] {
             QCOMPARE(AddOperator(QStringLiteral(" CLERK "), QStringLiteral("x"), {}).result,
                      AddOperatorResult::NameTaken);
         },
         QString()},
        {"password set, never the password",
         [&] { SetOperatorPassword(clerkId, QStringLiteral("pa55word")); },
         QStringLiteral(R"(^PASSWORD\|\|password set for clerk$)")},
        {"own password changed",
         [] {
             const auto proven =
                 ProveCurrentPassword(QStringLiteral("admin"), QStringLiteral("secret"));
             QVERIFY(proven);
             QVERIFY(ChangeOperatorPassword(*proven, QStringLiteral("n3w")));
         },
         QStringLiteral(R"(^PASSWORD\|\|own password changed by admin$)")},
        {"operator deleted",
         [&] { QCOMPARE(DeleteOperator(clerkId), DeleteOperatorResult::Deleted); },
         QStringLiteral(R"(^OPERATOR_DELETE\|\|clerk$)")},
        {"the logged-on operator's own account, refused",
         [&] {
             QCOMPARE(
                 DeleteOperator(
                     hotel.scalar("select ID from Operator where Staffer='admin'").toLongLong()),
                 DeleteOperatorResult::OwnAccount);
         },
         QString()},
        {"backup",
         [&] {
             hotel.dialogs.files = {backup};
             DataBackupClick(language);
         },
         QStringLiteral(R"(^BACKUP\|\|.*saved\.mdb$)")},
    };
    for (const Case &c : cases) {
        const int before = hotel.scalar("select count(*) from OperationLog").toInt();
        c.operation();
        const int after = hotel.scalar("select count(*) from OperationLog").toInt();
        QVERIFY2(after == before + (c.expected.isEmpty() ? 0 : 1), c.name);
        if (c.expected.isEmpty())
            continue;
        const QString row = newestRow(hotel);
        QVERIFY2(QRegularExpression(c.expected).match(row).hasMatch(),
                 qPrintable(QStringLiteral("%1: %2").arg(QLatin1String(c.name), row)));
    }
    // A restore puts back the file's log, whose chain its row continues.
    hotel.dialogs.files = {backup};
    DataRecoveryClick(language);
    QVERIFY2(QRegularExpression(
                 QStringLiteral(R"(^RESTORE\|\|from .*saved\.mdb; the data replaced kept as .+$)"))
                 .match(newestRow(hotel))
                 .hasMatch(),
             qPrintable(newestRow(hotel)));
    QVERIFY(VerifyOperationLog(dm->conn).Intact);
    // The failed logon keeps the name typed as the row's operator; no row holds a password.
    QCOMPARE(hotel
                 .scalar("select count(*) from OperationLog where Action='LOGON_FAILED' and "
                         "Staffer='mallory'")
                 .toInt(),
             1);
    QCOMPARE(hotel
                 .scalar("select count(*) from OperationLog where Detail like '%guess%' or "
                         "Detail like '%pa55word%' or Detail like '%n3w%' or Detail like "
                         "'%secret%'")
                 .toInt(),
             0);
    QVERIFY(VerifyOperationLog(dm->conn).Intact);
}

void TestOperationLog::aFailedChangeWritesNoRow()
{
    TestHotel hotel;
    logOn(hotel);
    // The stay cannot be opened: the card's recording is undone with its row.
    hotel.exec("create trigger refuse before insert on GuestInRecord begin "
               "select raise(abort, 'injected'); end");
    const GuestStay stay = stayIn(QStringLiteral("102"));
    CardRecord record = GuestCardRecord(stay, GuestSerial::Next);
    QVERIFY_THROWS_EXCEPTION(DbError, RecordIssuedGuestCard(record, stay));
    QCOMPARE(hotel.scalar("select count(*) from OperationLog").toInt(), 0);
    QCOMPARE(hotel.scalar("select count(*) from MakeCardRecord").toInt(), 0);
}

QUENMAR_TEST_MAIN(TestOperationLog)
#include "test_oplog.moc"
