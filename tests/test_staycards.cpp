// Stay extension, copies of a guest card and hourly stays, against the real card library in
// a temporary encoder folder.
#include "app/application.h"
#include "app/mainform.h"
#include "cards/bookkeeping.h"
#include "data/clock.h"
#include "data/settings.h"
#include "kestrune/kestrune.h"
#include "stays/clockroomform.h"
#include "stays/copyguestcardform.h"
#include "stays/guestquickinform.h"
#include "stays/modifyguestcardform.h"
#include "support/testhotel.h"

#include <QAction>
#include <QDateEdit>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QPushButton>
#include <QTest>
#include <QTimeEdit>
#include <QToolButton>

#include <ctime>

namespace {

// A hotel at 2024-05-02 18:30 with an encoder holding a blank card.
struct FrontDesk
{
    TestHotel hotel;
    VirtualEncoder encoder;
    explicit FrontDesk(const QDateTime &now = QDateTime(QDate(2024, 5, 2), QTime(18, 30)))
    {
        hotel.logOnAdministrator("amy");
        SetNow(now);
        LockSystemInfo.DayCount = 1;
        LockSystemInfo.LeaveTime = QTime(12, 0);
        LockSystemInfo.TimeTolerance = 0;
        encoder.connectOn(1, "0A0B0C0D");
        MakeCardOpenPort(1);
        encoder.putBlank();
        CardBusy = false;
        RoomBoardDirty = false;
    }
    ~FrontDesk() { LockSystemInfo.TimeTolerance = 0; }
    int count(const QString &sql) { return hotel.scalar(sql).toInt(); }
    QString text(const QString &sql) { return hotel.scalar(sql).toString(); }
};

QString prompt(QWidget *form)
{
    return child<QLabel>(form, "Prompt_Label")->text();
}

QString press(QWidget *form, const char *button)
{
    CardBusy = false;
    child<QPushButton>(form, button)->click();
    return prompt(form);
}

void type(QWidget *form, const char *box, const QString &text)
{
    child<QLineEdit>(form, box)->setText(text);
}

const QString kAwkward = QStringLiteral("O'Brien'; --");

} // namespace

class TestStayCards : public QObject
{
    Q_OBJECT
private slots:
    void extensionReadsAGuestCard();
    void extensionRecordsOnlyAWrittenCard();
    void extensionOfARoomWithoutAStay();
    void copiesAreTwinsOfTheLastCard();
    void copyRefusals();
    void hourlyLengthAndEnd();
    void hourlyLengthAcrossADaylightSavingChange();
    void hourlyIssue();
    void commandsAndRights();
};

void TestStayCards::extensionReadsAGuestCard()
{
    FrontDesk desk;
    LockSystemInfo.TimeTolerance = 10;
    {
        TGuestQuickIn_Form checkIn;
        type(&checkIn, "se_Room1", "101");
        type(&checkIn, "E_H_GQI", "Li Wei");
        type(&checkIn, "GuestCode_Edit", "P1234567");
        QCOMPARE(press(&checkIn, "Confirm_Bt"), QStringLiteral("Success!"));
    }
    QCOMPARE(desk.encoder.show().value("End"), QStringLiteral("2024-05-03 12:10"));
    SetNow(QDateTime(QDate(2024, 5, 3), QTime(9, 5)));
    LockSystemInfo.LeaveTime = QTime(11, 0);

    TModifyGuestCard_Form form;
    QCOMPARE(form.windowTitle(), QStringLiteral("Stay extend"));
    QCOMPARE(child<QLineEdit>(&form, "GuestCode_Edit")->text(), QStringLiteral("1"));
    // The issue record names the guest when the room has no open stay; an open stay's
    // name and document take its place.
    const struct
    {
        bool stayOpen;
        QString name, document;
    } reads[] = {{false, "Li Wei", "P1234567"}, {true, "Wei Li", "E7654321"}};
    for (const auto &read : reads) {
        desk.hotel.exec(QStringLiteral("update GuestInRecord set enOverride=%1, "
                                       "GuestName='Wei Li', GuestID='E7654321'")
                            .arg(read.stayOpen ? 0 : 1));
        type(&form, "se_Room1", "");
        type(&form, "E_H_GQI", "");
        QCOMPARE(press(&form, "Button1"), QString());
        QCOMPARE(child<QLineEdit>(&form, "se_Room1")->text(), QStringLiteral("101"));
        QCOMPARE(child<QLineEdit>(&form, "E_H_GQI")->text(), read.name);
        QCOMPARE(child<QLineEdit>(&form, "GuestCode_Edit")->text(), read.document);
        QCOMPARE(child<QDateEdit>(&form, "SD_GQI_Dtp")->date(), QDate(2024, 5, 2));
        QCOMPARE(child<QTimeEdit>(&form, "ST_GQI_Dtp")->time(), QTime(18, 40));
        QCOMPARE(child<QDateEdit>(&form, "ED_GQI_Dtp")->date(), QDate(2024, 5, 3));
        QCOMPARE(child<QTimeEdit>(&form, "ET_GQI_Dtp")->time(), QTime(11, 0));
        QCOMPARE(child<QLineEdit>(&form, "Days_Edit")->text(), QStringLiteral("1"));
    }

    // The tolerance is added again to the start read from the card.
    type(&form, "Days_Edit", "2");
    desk.encoder.putBlank();
    QCOMPARE(press(&form, "Confirm_Bt"), QStringLiteral("Success!"));
    QCOMPARE(desk.encoder.show().value("Start"), QStringLiteral("2024-05-02 18:50"));
    QCOMPARE(desk.encoder.show().value("End"), QStringLiteral("2024-05-04 11:10"));

    // Another kind of card clears the status line and fills nothing; no card says so.
    CardRecord staff{};
    desk.encoder.putBlank();
    QCOMPARE(MakeChiefCard(staff.SerialWords, staff.ReservedA, 0, staff.FloorBlock,
                           staff.DistrictBlock, staff.RoomAddr, 1, staff.CardTypeBlock,
                           staff.ReservedB, staff.StartTime, staff.EndTime),
             1);
    QCOMPARE(press(&form, "Button1"), QString());
    QCOMPARE(child<QLineEdit>(&form, "se_Room1")->text(), QString());
    desk.encoder.take();
    QCOMPARE(press(&form, "Button1"), QStringLiteral("No Card!"));
    QVERIFY(child<QPushButton>(&form, "Button1")->isEnabled());
}

void TestStayCards::extensionRecordsOnlyAWrittenCard()
{
    const struct
    {
        bool cardOnEncoder;
        QString prompt;
    } cases[] = {{true, "Success!"}, {false, "No Card!"}};
    for (const auto &c : cases) {
        FrontDesk desk;
        desk.hotel.exec("update RoomInfo set CardSn=5 where RoomStr='203'");
        desk.hotel.exec("insert into GuestInRecord (Room, RoomStr, Rom, GuestInTime, "
                        "GuestLeaveTime, InputUser) values (1203, '203', '00000005', "
                        "'2024-05-01 14:00:00', '2024-05-03 12:00:00', 'bob')");
        if (!c.cardOnEncoder)
            desk.encoder.take();
        TModifyGuestCard_Form form;
        type(&form, "se_Room1", "203");
        child<QDateEdit>(&form, "ED_GQI_Dtp")->setDate(QDate(2024, 5, 5));
        type(&form, "E_H_GQI", kAwkward);
        QCOMPARE(press(&form, "Confirm_Bt"), c.prompt);

        QCOMPARE(desk.count("select CardSn from RoomInfo where RoomStr='203'"), 5);
        QCOMPARE(child<QLineEdit>(&form, "se_Room1")->text(), QString());
        QVERIFY(child<QPushButton>(&form, "Confirm_Bt")->isEnabled());
        QCOMPARE(RoomBoardDirty, c.cardOnEncoder);
        if (c.cardOnEncoder) {
            QCOMPARE(desk.encoder.show().value("Serial"), QStringLiteral("0 0 0 0"));
            QCOMPARE(desk.text("select GuestLeaveTime from GuestInRecord"),
                     QStringLiteral("2024-05-05 12:00:00"));
            QCOMPARE(desk.text("select InputUser from GuestInRecord"), QStringLiteral("amy"));
            QCOMPARE(desk.text("select Rom from MakeCardRecord"), QStringLiteral("01020300000000"));
            QCOMPARE(desk.text("select Holder from MakeCardRecord"), kAwkward);
            QCOMPARE(desk.text("select Explain from MakeCardRecord"),
                     QStringLiteral("Stay extended, room 203"));
            QCOMPARE(desk.count("select CardType from MakeCardRecord"), 4);
        } else {
            QCOMPARE(desk.text("select GuestLeaveTime from GuestInRecord"),
                     QStringLiteral("2024-05-03 12:00:00"));
            QCOMPARE(desk.text("select InputUser from GuestInRecord"), QStringLiteral("bob"));
            QCOMPARE(desk.count("select count(*) from MakeCardRecord"), 0);
        }
    }
}

void TestStayCards::extensionOfARoomWithoutAStay()
{
    FrontDesk desk;
    TModifyGuestCard_Form form;
    auto *end = child<QDateEdit>(&form, "ED_GQI_Dtp");
    QCOMPARE(press(&form, "Confirm_Bt"), QString()); // no room: nothing at all
    QVERIFY(desk.hotel.dialogs.texts().isEmpty());

    type(&form, "se_Room1", "105");
    QCOMPARE(press(&form, "Confirm_Bt"), QString());
    QCOMPARE(desk.hotel.dialogs.texts(), QStringList{"No guest is staying in this room."});
    QVERIFY(child<QPushButton>(&form, "Confirm_Bt")->isEnabled());
    QVERIFY(desk.encoder.show().isEmpty()); // still the blank card
    QCOMPARE(desk.count("select count(*) from MakeCardRecord") +
                 desk.count("select count(*) from GuestInRecord"),
             0);

    // A stay length that is no number leaves the end alone when the room changes.
    desk.hotel.dialogs.clear();
    type(&form, "Days_Edit", "x");
    type(&form, "se_Room1", "106");
    type(&form, "se_Room1", "");
    QCOMPARE(end->date(), QDate(2024, 5, 3));
    QVERIFY(desk.hotel.dialogs.texts().isEmpty());
    type(&form, "Days_Edit", "4");
    type(&form, "se_Room1", "107");
    QCOMPARE(end->date(), QDate(2024, 5, 6));
}

void TestStayCards::copiesAreTwinsOfTheLastCard()
{
    FrontDesk desk;
    desk.hotel.exec("update RoomInfo set CardSn=7 where RoomStr='203'");
    TCopyGuestCard_Form form;
    QCOMPARE(form.windowTitle(), QStringLiteral("Copy guest card"));
    QCOMPARE(child<QPushButton>(&form, "Confirm_Bt")->text(),
             QStringLiteral("Copy guest card(&Y)"));
    QVERIFY(child<QPushButton>(&form, "Button1")->isHidden());
    type(&form, "se_Room1", "203");
    type(&form, "E_H_GQI", kAwkward);
    for (int copy = 1; copy <= 2; ++copy) {
        desk.encoder.putBlank();
        QCOMPARE(press(&form, "Confirm_Bt"), QStringLiteral("Success!"));
        QCOMPARE(desk.encoder.show().value("Serial"), QStringLiteral("7 0 0 0"));
        QCOMPARE(desk.encoder.show().value("End"), QStringLiteral("2024-05-03 12:00"));
        QVERIFY(child<QPushButton>(&form, "Confirm_Bt")->isEnabled());
    }
    desk.encoder.take();
    QCOMPARE(press(&form, "Confirm_Bt"), QStringLiteral("No Card!"));

    QCOMPARE(desk.count("select CardSn from RoomInfo where RoomStr='203'"), 7);
    QCOMPARE(desk.count("select count(*) from MakeCardRecord"), 2);
    QCOMPARE(desk.count(QStringLiteral("select count(*) from MakeCardRecord where "
                                       "Rom='01020300000007' and CardType=4 and Holder=%1 and "
                                       "Explain='Copy of guest card, room 203'")
                            .arg("'O''Brien''; --'")),
             2);
    QCOMPARE(desk.count("select count(*) from GuestInRecord"), 0); // a vacant room stays so
}

void TestStayCards::copyRefusals()
{
    FrontDesk desk;
    TCopyGuestCard_Form form;
    QCOMPARE(press(&form, "Confirm_Bt"), QString());
    QVERIFY(desk.hotel.dialogs.texts().isEmpty());
    type(&form, "se_Room1", "999");
    QCOMPARE(press(&form, "Confirm_Bt"), QString());
    QCOMPARE(desk.hotel.dialogs.texts(), QStringList{"Invalid room no."});
    QVERIFY(desk.encoder.show().isEmpty()); // the blank card was not written
    QCOMPARE(desk.count("select count(*) from MakeCardRecord"), 0);
}

void TestStayCards::hourlyLengthAndEnd()
{
    // From the opening moment and the hours typed, the end; from an end chosen by hand,
    // the length shown.
    const struct
    {
        QTime opened;
        QString hours;
        QDate endDate;
        QTime endTime;
    } byHours[] = {
        {QTime(14, 20), "1", QDate(2024, 5, 2), QTime(15, 20)},
        {QTime(14, 20), "3", QDate(2024, 5, 2), QTime(17, 20)},
        {QTime(23, 30), "1", QDate(2024, 5, 3), QTime(0, 30)},
        {QTime(14, 20), "30", QDate(2024, 5, 3), QTime(20, 20)},
        {QTime(14, 20), "2.5", QDate(2024, 5, 2), QTime(16, 50)},
        {QTime(14, 20), "0.33", QDate(2024, 5, 2), QTime(14, 40)},
        {QTime(23, 30), "1.75", QDate(2024, 5, 3), QTime(1, 15)},
        {QTime(14, 20), "1.5.", QDate(2024, 5, 2), QTime(15, 20)}, // no number: no change
        {QTime(14, 20), "1,5", QDate(2024, 5, 2), QTime(15, 20)},  // no "." either
    };
    for (const auto &c : byHours) {
        FrontDesk desk(QDateTime(QDate(2024, 5, 2), c.opened));
        TClockRoom_Form form;
        QCOMPARE(child<QLineEdit>(&form, "Days_Edit")->text(), QStringLiteral("1"));
        type(&form, "Days_Edit", c.hours);
        QCOMPARE(child<QDateEdit>(&form, "ED_GQI_Dtp")->date(), c.endDate);
        QCOMPARE(child<QTimeEdit>(&form, "ET_GQI_Dtp")->time(), c.endTime);
    }

    const struct
    {
        QDate endDate;
        QTime endTime;
        QString length;
    } byEnd[] = {
        {QDate(2024, 5, 2), QTime(16, 50), "2.5"},  {QDate(2024, 5, 2), QTime(17, 20), "3"},
        {QDate(2024, 5, 2), QTime(14, 40), "0.33"}, {QDate(2024, 5, 3), QTime(14, 20), "24"},
        {QDate(2024, 5, 2), QTime(13, 5), "-1.25"},
    };
    QLocale::setDefault(QLocale(QLocale::German)); // the separator is "." all the same
    FrontDesk desk(QDateTime(QDate(2024, 5, 2), QTime(14, 20, 37)));
    TClockRoom_Form form;
    auto *date = child<QDateEdit>(&form, "ED_GQI_Dtp");
    auto *time = child<QTimeEdit>(&form, "ET_GQI_Dtp");
    for (const auto &c : byEnd) {
        date->setDate(c.endDate);
        time->setTime(c.endTime);
        QCOMPARE(child<QLineEdit>(&form, "Days_Edit")->text(), c.length);
        QCOMPARE(date->date(), c.endDate);
        QCOMPARE(time->time(), c.endTime);
    }
    QLocale::setDefault(QLocale::c());
}

void TestStayCards::hourlyLengthAcrossADaylightSavingChange()
{
    const QByteArray zone = qgetenv("TZ");
    qputenv("TZ", "Europe/Berlin");
    tzset();
    {
        // Clocks go from 02:00 to 03:00 on 2024-03-31.
        FrontDesk desk(QDateTime(QDate(2024, 3, 31), QTime(1, 30)));
        TClockRoom_Form form;
        auto *time = child<QTimeEdit>(&form, "ET_GQI_Dtp");
        QCOMPARE(time->time(), QTime(3, 30));
        time->setTime(QTime(3, 0));
        QCOMPARE(child<QLineEdit>(&form, "Days_Edit")->text(), QStringLiteral("0.5"));
        time->setTime(QTime(3, 30));
        QCOMPARE(child<QLineEdit>(&form, "Days_Edit")->text(), QStringLiteral("1"));
    }
    if (zone.isNull())
        qunsetenv("TZ");
    else
        qputenv("TZ", zone);
    tzset();
}

void TestStayCards::hourlyIssue()
{
    FrontDesk desk(QDateTime(QDate(2024, 5, 2), QTime(14, 20)));
    desk.hotel.exec("update RoomInfo set CardSn=6 where RoomStr='203'");
    TClockRoom_Form form;
    QCOMPARE(form.windowTitle(), QStringLiteral("book the room by hours-issue guest card"));
    QVERIFY(child<QPushButton>(&form, "CopyGuestCard_Bt")->isHidden());
    type(&form, "se_Room1", "999");
    QCOMPARE(press(&form, "Confirm_Bt"), QString());
    QCOMPARE(desk.hotel.dialogs.texts(), QStringList{"No this room no."});

    type(&form, "se_Room1", "203");
    // No length, or a negative one: refused before any card is written.
    desk.hotel.dialogs.clear();
    for (const char *hours : {"0", "-5"}) {
        type(&form, "Days_Edit", hours);
        QCOMPARE(press(&form, "Confirm_Bt"), QString());
    }
    QCOMPARE(desk.hotel.dialogs.texts(), QStringList(2, "日期范围无效！"));
    QCOMPARE(desk.encoder.run({"show"}).trimmed(), QStringLiteral("blank card"));
    type(&form, "Days_Edit", "1");

    desk.encoder.take();
    QCOMPARE(press(&form, "Confirm_Bt"), QStringLiteral("Failure!"));
    QCOMPARE(desk.count("select CardSn from RoomInfo where RoomStr='203'"), 6);
    QCOMPARE(desk.count("select count(*) from MakeCardRecord") +
                 desk.count("select count(*) from GuestInRecord"),
             0);
    QVERIFY(!RoomBoardDirty);

    type(&form, "E_H_GQI", kAwkward);
    type(&form, "GuestCode_Edit", "\"P-1'2\"");
    desk.encoder.putBlank();
    QCOMPARE(press(&form, "Confirm_Bt"), QStringLiteral("Ok!"));
    QVERIFY(child<QPushButton>(&form, "Confirm_Bt")->isEnabled());
    QVERIFY(RoomBoardDirty);
    QCOMPARE(desk.encoder.show().value("Serial"), QStringLiteral("6 0 0 0"));
    QCOMPARE(desk.encoder.show().value("Start"), QStringLiteral("2024-05-02 14:20"));
    QCOMPARE(desk.encoder.show().value("End"), QStringLiteral("2024-05-02 15:20"));
    QCOMPARE(desk.count("select CardSn from RoomInfo where RoomStr='203'"), 7);
    QCOMPARE(desk.text("select GuestName from GuestInRecord"), kAwkward);
    QCOMPARE(desk.text("select GuestID from GuestInRecord"), QStringLiteral("\"P-1'2\""));
    QCOMPARE(desk.text("select Rom from GuestInRecord"), QStringLiteral("00000006"));
    QCOMPARE(desk.text("select GuestLeaveTime from GuestInRecord"),
             QStringLiteral("2024-05-02 15:20:00"));
    QCOMPARE(desk.text("select Holder from MakeCardRecord"), kAwkward);
    QCOMPARE(desk.text("select Explain from MakeCardRecord"), QStringLiteral("\"P-1'2\""));
    QCOMPARE(desk.text("select Rom from MakeCardRecord"), QStringLiteral("01020300000006"));

    // A second hourly card for the occupied room counts on its stay.
    desk.encoder.putBlank();
    QCOMPARE(press(&form, "Confirm_Bt"), QStringLiteral("Ok!"));
    QCOMPARE(desk.encoder.show().value("Serial"), QStringLiteral("7 0 0 0"));
    QCOMPARE(desk.count("select count(*) from GuestInRecord"), 1);
    QCOMPARE(desk.count("select CardCounts from GuestInRecord"), 1);
    QCOMPARE(desk.count("select CardSn from RoomInfo where RoomStr='203'"), 8);

    // A copy is a twin of the last card written (serial 7), not of the counter (8); an
    // extension card recorded since (serial 0) does not count.
    desk.hotel.exec("insert into MakeCardRecord (Rom, RoomStr, CardType) values "
                    "('01020300000000', '203', 4)");
    TCopyGuestCard_Form copy;
    type(&copy, "se_Room1", "203");
    desk.encoder.putBlank();
    QCOMPARE(press(&copy, "Confirm_Bt"), QStringLiteral("Success!"));
    QCOMPARE(desk.encoder.show().value("Serial"), QStringLiteral("7 0 0 0"));
    QCOMPARE(desk.count("select CardSn from RoomInfo where RoomStr='203'"), 8);
}

void TestStayCards::commandsAndRights()
{
    FrontDesk desk;
    TMainForm main;
    main.show();
    QVERIFY(QTest::qWaitForWindowExposed(&main));
    // Opens a command's form and returns the room it was given, or nothing when no such
    // form opened.
    auto opens = [](const QString &form, const std::function<void()> &command) {
        std::optional<QString> room;
        WhenModalOpens(form, [&](QWidget *w) {
            room = child<QLineEdit>(w, "se_Room1")->text();
            static_cast<QDialog *>(w)->reject();
        });
        command();
        return room;
    };
    auto action = [&main](const char *name) { return child<QAction>(&main, name); };
    QVERIFY(opens("ModifyGuestCard_Form", [&] { QTest::keyClick(&main, Qt::Key_F2); }));
    QVERIFY(opens("ModifyGuestCard_Form",
                  [&] { child<QToolButton>(&main, "ModifyGuestCard_SB")->click(); }));
    QVERIFY(opens("CopyGuestCard_Form", [&] { action("CopyGuestCard_Menu")->trigger(); }));
    QVERIFY(opens("ClockRoom_Form", [&] { action("ClockRoom_Menu")->trigger(); }));

    // The board's pop-up copies for the first selected room.
    auto *view = child<QListView>(&main, "Room_LV");
    view->selectionModel()->select(view->model()->index(9, 0), QItemSelectionModel::Select);
    view->selectionModel()->select(view->model()->index(7, 0), QItemSelectionModel::Select);
    QCOMPARE(opens("CopyGuestCard_Form", [&] { action("mi_CopyGuestCard")->trigger(); }),
             main.BoardRooms()[7].RoomStr);

    desk.hotel.exec("update Operator set CheckIn=0");
    TMainForm limited;
    QVERIFY(!child<QAction>(&limited, "ClockRoom_Menu")->isEnabled());
    QVERIFY(!child<QAction>(&limited, "CheckIn_Menu")->isEnabled());
    QVERIFY(!child<QAction>(&limited, "ModifyGuestCard_Menu")->isEnabled());
    QVERIFY(!child<QAction>(&limited, "CopyGuestCard_Menu")->isEnabled());
}

QUENMAR_TEST_MAIN(TestStayCards)
#include "test_staycards.moc"
