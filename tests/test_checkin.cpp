// Check-in and check-out against the real card library in a temporary encoder folder.
#include "app/application.h"
#include "app/mainform.h"
#include "cards/bookkeeping.h"
#include "data/clock.h"
#include "data/errors.h"
#include "data/settings.h"
#include "kestrune/kestrune.h"
#include "stays/guestleaveform.h"
#include "stays/guestquickinform.h"
#include "support/testhotel.h"

#include <QAction>
#include <QDateEdit>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QPushButton>
#include <QTableView>
#include <QTest>
#include <QTimeEdit>

namespace {

// A hotel at 2024-05-02 18:30 with an encoder holding a blank card.
struct FrontDesk
{
    TestHotel hotel;
    VirtualEncoder encoder;
    FrontDesk()
    {
        hotel.logOnAdministrator("amy");
        SetNow(QDateTime(QDate(2024, 5, 2), QTime(18, 30)));
        LockSystemInfo.DayCount = 1;
        LockSystemInfo.LeaveTime = QTime(12, 0);
        encoder.connectOn(1, "0A0B0C0D");
        MakeCardOpenPort(1);
        encoder.putBlank();
        CardBusy = false;
        RoomBoardDirty = false;
    }
    int count(const QString &sql) { return hotel.scalar(sql).toInt(); }
};

QString issue(TGuestQuickIn_Form &form, const QString &room, const QString &guest = "Li Wei")
{
    child<QLineEdit>(&form, "se_Room1")->setText(room);
    child<QLineEdit>(&form, "E_H_GQI")->setText(guest);
    child<QLineEdit>(&form, "GuestCode_Edit")->setText("P1234567");
    CardBusy = false;
    child<QPushButton>(&form, "Confirm_Bt")->click();
    return child<QLabel>(&form, "Prompt_Label")->text();
}

} // namespace

class TestCheckIn : public QObject
{
    Q_OBJECT
private slots:
    void proposedStayAndTolerance();
    void serialAndCopy();
    void issueOnAnOccupiedRoomCountsACard();
    void blankGuestNameAndEndNotAfterStart();
    void stayDaysAndEndDateFollowEachOther();
    void refusalsWriteNothing();
    void recordingIsAllOrNothing();
    void readOnlyDatabaseWritesNoCard();
    void checkOutForm();
    void checkOutFromTheBoard();
    void commandsAndKeys();
};

void TestCheckIn::proposedStayAndTolerance()
{
    FrontDesk desk;
    LockSystemInfo.TimeTolerance = 10;
    TGuestQuickIn_Form form;
    QCOMPARE(form.windowTitle(), QStringLiteral("Check-in/Issue guest card"));
    QCOMPARE(child<QDateEdit>(&form, "ED_GQI_Dtp")->date(), QDate(2024, 5, 3));
    QCOMPARE(child<QTimeEdit>(&form, "ET_GQI_Dtp")->time(), QTime(12, 0));
    QCOMPARE(child<QLineEdit>(&form, "Days_Edit")->text(), QStringLiteral("1"));
    QCOMPARE(issue(form, "101"), QStringLiteral("Success!"));
    const QMap<QString, QString> card = desk.encoder.show();
    QCOMPARE(card.value("Start"), QStringLiteral("2024-05-02 18:40"));
    QCOMPARE(card.value("End"), QStringLiteral("2024-05-03 12:10"));
    QCOMPARE(card.value("CardType"), QStringLiteral("4"));
    QCOMPARE(card.value("Building"), QStringLiteral("1"));
    QCOMPARE(card.value("Floor"), QStringLiteral("1"));
    QVERIFY(card.value("Room").startsWith("1 1 1"));
    QCOMPARE(desk.hotel.scalar("select GuestInTime from GuestInRecord").toString(),
             QStringLiteral("2024-05-02 18:40:00"));
    QCOMPARE(desk.hotel.scalar("select GuestLeaveTime from GuestInRecord").toString(),
             QStringLiteral("2024-05-03 12:10:00"));
    QVERIFY(RoomBoardDirty);
    LockSystemInfo.TimeTolerance = 0;
}

void TestCheckIn::serialAndCopy()
{
    FrontDesk desk;
    desk.hotel.exec("update RoomInfo set CardSn=6 where RoomStr='203'");
    TGuestQuickIn_Form form;
    QCOMPARE(issue(form, "203"), QStringLiteral("Success!"));
    QCOMPARE(desk.encoder.show().value("Serial"), QStringLiteral("7 0 0 0"));
    QCOMPARE(desk.count("select CardSn from RoomInfo where RoomStr='203'"), 7);
    QVERIFY(!child<QPushButton>(&form, "Confirm_Bt")->isEnabled());
    QVERIFY(child<QPushButton>(&form, "CopyGuestCard_Bt")->isEnabled());

    desk.encoder.putBlank();
    CardBusy = false;
    child<QPushButton>(&form, "CopyGuestCard_Bt")->click();
    QCOMPARE(child<QLabel>(&form, "Prompt_Label")->text(), QStringLiteral("Success!"));
    QCOMPARE(desk.encoder.show().value("Serial"), QStringLiteral("7 0 0 0"));
    QCOMPARE(desk.count("select CardSn from RoomInfo where RoomStr='203'"), 7);
    QCOMPARE(desk.count("select count(*) from MakeCardRecord where Rom='01020300000007' "
                        "and CardType=4 and Holder='Li Wei' and Explain='P1234567'"),
             2);
    QCOMPARE(desk.count("select count(*) from GuestInRecord"), 1);
    QCOMPARE(desk.hotel.scalar("select Rom from GuestInRecord").toString(),
             QStringLiteral("00000007"));
    QCOMPARE(desk.count("select CardCounts from GuestInRecord"), 0);

    // Changing the room returns the form to ready-to-issue.
    child<QLineEdit>(&form, "se_Room1")->setText("204");
    QVERIFY(child<QPushButton>(&form, "Confirm_Bt")->isEnabled());
    QVERIFY(!child<QPushButton>(&form, "CopyGuestCard_Bt")->isEnabled());
}

void TestCheckIn::issueOnAnOccupiedRoomCountsACard()
{
    FrontDesk desk;
    TGuestQuickIn_Form first;
    issue(first, "105", "Anna");
    desk.encoder.putBlank();
    TGuestQuickIn_Form second;
    QCOMPARE(issue(second, "105", "Ben"), QStringLiteral("Success!"));
    QCOMPARE(desk.count("select count(*) from GuestInRecord"), 1);
    QCOMPARE(desk.count("select CardCounts from GuestInRecord"), 1);
    QCOMPARE(desk.hotel.scalar("select GuestName from GuestInRecord").toString(),
             QStringLiteral("Anna"));
    QCOMPARE(desk.count("select count(*) from MakeCardRecord"), 2);
    QCOMPARE(desk.count("select CardSn from RoomInfo where RoomStr='105'"), 2);
}

void TestCheckIn::blankGuestNameAndEndNotAfterStart()
{
    FrontDesk desk;
    TGuestQuickIn_Form form;
    // Started at 18:30: an end earlier the same day, or at the start itself, writes nothing.
    child<QDateEdit>(&form, "ED_GQI_Dtp")->setDate(QDate(2024, 5, 2));
    for (const QTime end : {QTime(9, 0), QTime(18, 30)}) {
        child<QTimeEdit>(&form, "ET_GQI_Dtp")->setTime(end);
        QCOMPARE(issue(form, "301", "   "), QString());
    }
    QCOMPARE(desk.hotel.dialogs.texts(), QStringList(2, "日期范围无效！"));
    QCOMPARE(desk.encoder.run({"show"}).trimmed(), QStringLiteral("blank card"));
    QCOMPARE(desk.count("select count(*) from GuestInRecord") +
                 desk.count("select count(*) from MakeCardRecord"),
             0);

    child<QTimeEdit>(&form, "ET_GQI_Dtp")->setTime(QTime(23, 0));
    QCOMPARE(issue(form, "301", "   "), QStringLiteral("Success!"));
    QVERIFY(desk.hotel.scalar("select GuestName from GuestInRecord").isNull());
    QVERIFY(desk.hotel.scalar("select Holder from MakeCardRecord").isNull());
    QCOMPARE(desk.encoder.show().value("End"), QStringLiteral("2024-05-02 23:00"));
}

void TestCheckIn::stayDaysAndEndDateFollowEachOther()
{
    FrontDesk desk;
    TGuestQuickIn_Form form;
    auto *days = child<QLineEdit>(&form, "Days_Edit");
    auto *end = child<QDateEdit>(&form, "ED_GQI_Dtp");
    days->setText("x");
    QCOMPARE(end->date(), QDate(2024, 5, 3));
    days->setText("5");
    QCOMPARE(end->date(), QDate(2024, 5, 7));
    end->setDate(QDate(2024, 5, 4));
    QCOMPARE(days->text(), QStringLiteral("2"));
    end->setDate(QDate(2024, 4, 30));
    QCOMPARE(days->text(), QStringLiteral("-2"));
}

void TestCheckIn::refusalsWriteNothing()
{
    FrontDesk desk;
    TGuestQuickIn_Form form;
    QCOMPARE(issue(form, "999"), QString());
    QCOMPARE(desk.hotel.dialogs.texts(), QStringList{"No this Room no."});

    child<QDateEdit>(&form, "ED_GQI_Dtp")->setDate(QDate(2024, 5, 1));
    desk.hotel.dialogs.clear();
    issue(form, "101");
    QCOMPARE(desk.hotel.dialogs.texts(), QStringList{"日期范围无效！"});
    child<QDateEdit>(&form, "ED_GQI_Dtp")->setDate(QDate(2024, 5, 3));

    // A second press while a card command runs is dropped.
    child<QLineEdit>(&form, "se_Room1")->setText("101");
    CardBusy = true;
    child<QPushButton>(&form, "Confirm_Bt")->click();
    QCOMPARE(child<QLabel>(&form, "Prompt_Label")->text(), QString());

    desk.encoder.take();
    QCOMPARE(issue(form, "101"), QStringLiteral("No Card!"));
    QVERIFY(child<QPushButton>(&form, "Confirm_Bt")->isEnabled());
    desk.encoder.run({"disconnect"});
    QCOMPARE(issue(form, "101"), QStringLiteral("No encoder"));
    QCOMPARE(desk.count("select count(*) from GuestInRecord") +
                 desk.count("select count(*) from MakeCardRecord") +
                 desk.count("select sum(CardSn) from RoomInfo"),
             0);
}

void TestCheckIn::recordingIsAllOrNothing()
{
    FrontDesk desk;
    desk.hotel.exec("create trigger refuse before insert on GuestInRecord "
                    "begin select raise(abort, 'disk is full'); end");
    TGuestQuickIn_Form form;
    child<QLineEdit>(&form, "se_Room1")->setText("101");
    CardBusy = false;
    try {
        form.Confirm_BtClick();
        QFAIL("the refused insert was not reported");
    } catch (const DbError &e) {
        QVERIFY(e.text().contains("card was written but it was not recorded"));
        QVERIFY(e.text().contains("disk is full"));
    }
    QCOMPARE(desk.encoder.show().value("CardType"), QStringLiteral("4"));
    QCOMPARE(desk.count("select sum(CardSn) from RoomInfo"), 0);
    QCOMPARE(desk.count("select count(*) from MakeCardRecord"), 0);
    // The connection is usable afterwards (no transaction left open).
    desk.hotel.exec("drop trigger refuse");
    desk.encoder.putBlank();
    QCOMPARE(issue(form, "101"), QStringLiteral("Success!"));
    QCOMPARE(desk.count("select count(*) from GuestInRecord"), 1);

    // A hold on the counters that cannot even begin writes no card.
    desk.encoder.putBlank();
    desk.hotel.exec("begin");
    child<QLineEdit>(&form, "se_Room1")->setText("102");
    CardBusy = false;
    try {
        form.Confirm_BtClick();
        QFAIL("the failed begin was not reported");
    } catch (const DbError &e) {
        QVERIFY2(e.text().endsWith("No card was written."), qPrintable(e.text()));
    }
    QCOMPARE(desk.encoder.run({"show"}).trimmed(), QStringLiteral("blank card"));
    desk.hotel.exec("rollback");
    QCOMPARE(desk.count("select count(*) from GuestInRecord"), 1);
}

void TestCheckIn::readOnlyDatabaseWritesNoCard()
{
    FrontDesk desk;
    desk.hotel.makeDatabaseReadOnly();
    TGuestQuickIn_Form form;
    desk.hotel.dialogs.clear();
    QCOMPARE(issue(form, "101"), QString());
    QCOMPARE(desk.hotel.dialogs.messages.size(), 1);
    const QString shown = desk.hotel.dialogs.messages[0].text;
    QVERIFY2(shown.startsWith("The database cannot store the card's records: ") &&
                 shown.contains("readonly database") && shown.endsWith("No card was written."),
             qPrintable(shown));
    QCOMPARE(desk.encoder.run({"show"}).trimmed(), QStringLiteral("blank card"));
    QVERIFY(child<QPushButton>(&form, "Confirm_Bt")->isEnabled());
    QCOMPARE(desk.count("select count(*) from GuestInRecord") +
                 desk.count("select count(*) from MakeCardRecord") +
                 desk.count("select sum(CardSn) from RoomInfo"),
             0);
}

void TestCheckIn::checkOutForm()
{
    FrontDesk desk;
    {
        TGuestLeave_Form empty;
        QCOMPARE(empty.windowTitle(), QStringLiteral("Check -out"));
        child<QPushButton>(&empty, "NoCardConfirm_Bt")->click(); // nothing to end
    }
    desk.hotel.exec("insert into GuestInRecord (Room, RoomStr, GuestInTime) values "
                    "(1101, '101', '2024-05-01 14:00:00'), (1102, '102', '2024-05-01 15:00:00')");
    TGuestLeave_Form form;
    auto *grid = child<QTableView>(&form, "GuestInRecord_DBGrid");
    QCOMPARE(grid->model()->rowCount(), 2);
    QCOMPARE(grid->model()->headerData(0, Qt::Horizontal).toString(),
             QStringLiteral("Doorplate No."));
    grid->selectRow(1);
    child<QPushButton>(&form, "NoCardConfirm_Bt")->click();
    QCOMPARE(grid->model()->rowCount(), 1);
    QCOMPARE(grid->model()->index(0, 0).data().toString(), QStringLiteral("101"));
    QCOMPARE(desk.hotel.scalar("select LeaveTime from GuestInRecord where Room=1102").toString(),
             QStringLiteral("2024-05-02 18:30:00"));
    QCOMPARE(desk.count("select enOverride from GuestInRecord where Room=1102"), 1);
    QVERIFY(RoomBoardDirty);

    // Another workstation ended the stay meanwhile: its LeaveTime stays, the operator is
    // told, and the list is refreshed.
    desk.hotel.exec("update GuestInRecord set enOverride=1, LeaveTime='2024-05-02 09:00:00' "
                    "where Room=1101");
    desk.hotel.dialogs.clear();
    child<QPushButton>(&form, "NoCardConfirm_Bt")->click();
    QCOMPARE(desk.hotel.dialogs.texts(), QStringList{"This stay had already ended."});
    QCOMPARE(desk.hotel.scalar("select LeaveTime from GuestInRecord where Room=1101").toString(),
             QStringLiteral("2024-05-02 09:00:00"));
    QCOMPARE(grid->model()->rowCount(), 0);
}

void TestCheckIn::checkOutFromTheBoard()
{
    FrontDesk desk;
    desk.hotel.exec("insert into GuestInRecord (Room, RoomStr, GuestInTime) values "
                    "(1101, '101', '2024-05-01 14:00:00'), (1103, '103', '2024-05-01 15:00:00'), "
                    "(1103, '103', '2024-05-01 16:00:00')");
    TMainForm main;
    desk.hotel.dialogs.clear(); // the encoder's start-up
    auto *view = child<QListView>(&main, "Room_LV");
    auto select = [&](const QStringList &plates) {
        view->clearSelection();
        for (int row = 0; row < main.BoardRooms().size(); ++row)
            if (plates.contains(main.BoardRooms()[row].RoomStr))
                view->selectionModel()->select(view->model()->index(row, 0),
                                               QItemSelectionModel::Select);
    };
    // 101 and 102 (free) and the first of 103's two board items.
    select({"101", "102"});
    view->selectionModel()->select(view->model()->index(3, 0), QItemSelectionModel::Select);
    QCOMPARE(main.SelectedRooms(), (QStringList{"101", "102", "103"}));
    main.mi_GuestLeaveClick();
    QCOMPARE(desk.count("select count(*) from GuestInRecord where enOverride=0"), 1);
    QCOMPARE(main.BoardRooms().size(), 40); // redrawn: 103 shows once now
    select({"103"});
    main.mi_GuestLeaveClick();
    QCOMPARE(desk.count("select count(*) from GuestInRecord where enOverride=0"), 0);
    QVERIFY(desk.hotel.dialogs.messages.isEmpty()); // a vacant room selected with them

    // The board shows 104 occupied, but its stay was ended elsewhere: said, board redrawn.
    desk.hotel.exec("insert into GuestInRecord (Room, RoomStr, GuestInTime) values "
                    "(1104, '104', '2024-05-01 14:00:00')");
    main.SetRoom_LV();
    desk.hotel.exec("update GuestInRecord set enOverride=1 where RoomStr='104'");
    select({"104"});
    QCOMPARE(main.FirstSelectedPicture(), 2);
    main.mi_GuestLeaveClick();
    QCOMPARE(desk.hotel.dialogs.messages.size(), 1);
    QVERIFY2(desk.hotel.dialogs.messages[0].text.startsWith("No open stay of room 104 was found"),
             qPrintable(desk.hotel.dialogs.messages[0].text));
    select({"104"});
    QCOMPARE(main.FirstSelectedPicture(), 0);
}

void TestCheckIn::commandsAndKeys()
{
    FrontDesk desk;
    TMainForm main;
    main.show();
    QVERIFY(QTest::qWaitForWindowExposed(&main));
    bool opened = false;
    WhenModalOpens("GuestQuickIn_Form", [&](QWidget *form) {
        opened = true;
        static_cast<QDialog *>(form)->reject();
    });
    QTest::keyClick(&main, Qt::Key_F1);
    QVERIFY(opened);

    // The pop-up check-in puts the first selected room into the form.
    auto *view = child<QListView>(&main, "Room_LV");
    view->selectionModel()->select(view->model()->index(5, 0), QItemSelectionModel::Select);
    QString room;
    WhenModalOpens("GuestQuickIn_Form", [&](QWidget *form) {
        room = child<QLineEdit>(form, "se_Room1")->text();
        static_cast<QDialog *>(form)->reject();
    });
    main.mi_GuestInClick();
    QCOMPARE(room, main.BoardRooms()[5].RoomStr);

    desk.hotel.exec("update Operator set CheckIn=0, CheckOut=0");
    TMainForm limited;
    limited.show();
    QVERIFY(QTest::qWaitForWindowExposed(&limited));
    QTest::keyClick(&limited, Qt::Key_F1);
    QTest::keyClick(&limited, Qt::Key_F3);
    QTest::qWait(50);
    QVERIFY(QApplication::activeModalWidget() == nullptr);
}

QUENMAR_TEST_MAIN(TestCheckIn)
#include "test_checkin.moc"
