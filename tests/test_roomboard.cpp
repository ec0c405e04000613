// The main window: the room board, its filters and timers, the encoder handshake, the
// rights on the commands, and the version block.
#include "app/application.h"
#include "app/encoder.h"
#include "data/fileversion.h"
#include "app/mainform.h"
#include "app/roomboard.h"
#include "cards/bookkeeping.h"
#include "data/errors.h"
#include "data/inifile.h"
#include "data/settings.h"
#include "support/testhotel.h"

#include "kestrune/kestrune.h"

#include <QAction>
#include <QComboBox>
#include <QDialog>
#include <QEventLoop>
#include <QListView>
#include <QScopeGuard>
#include <QScrollBar>
#include <QTest>
#include <QTimer>
#include <QToolButton>

namespace {

QStringList captions(const TMainForm &main)
{
    QStringList list;
    for (const BoardRoom &r : main.BoardRooms())
        list.append(r.RoomStr);
    return list;
}

void selectRooms(TMainForm &main, const QStringList &plates)
{
    auto *view = main.findChild<QListView *>("Room_LV");
    view->clearSelection();
    for (int row = 0; row < main.BoardRooms().size(); ++row)
        if (plates.contains(main.BoardRooms()[row].RoomStr))
            view->selectionModel()->select(view->model()->index(row, 0),
                                           QItemSelectionModel::Select);
}

QAction *action(TMainForm &main, const char *name)
{
    return main.findChild<QAction *>(QString::fromLatin1(name));
}

// Message boxes that stay open for a while, as a real one does while the operator reads it:
// the event loop runs meanwhile, timers included.
class LingeringDialogs : public ScriptedDialogs
{
public:
    MsgResult message(const QString &text, const QString &caption, MsgIcon icon,
                      MsgButtons buttons) override
    {
        const MsgResult result = ScriptedDialogs::message(text, caption, icon, buttons);
        QEventLoop open;
        QTimer::singleShot(300, &open, &QEventLoop::quit);
        open.exec();
        return result;
    }
};

} // namespace

class TestRoomBoard : public QObject
{
    Q_OBJECT
private slots:
    void boardShowsEveryRoomWithItsPicture();
    void filtersNarrowTheBoard();
    void emptyHotel();
    void rebuildKeepsTheSelectionAndFollowsTheFlags();
    void failingRebuildIsReportedOnce();
    void failingCommandIsReportedOnceAndTheWindowGoesOn();
    void largeBoardKeepsScrollAndSelectedOccurrences_data();
    void largeBoardKeepsScrollAndSelectedOccurrences();
    void popupEnablingFollowsTheFirstSelectedRoom();
    void systemCodeConversions();
    void handshakeLearnsAndReusesTheSystemCode();
    void handshakeFailures();
    void encoderLostDuringTheHandshake();
    void rightsGovernTheCommands();
    void versionBlock();
};

void TestRoomBoard::boardShowsEveryRoomWithItsPicture()
{
    TestHotel hotel;
    hotel.logOnAdministrator();
    hotel.exec("insert into GuestInRecord (Room, RoomStr, GuestInTime) values "
               "(1101, '101', '2024-05-01 14:00:00'), (1101, '101', '2024-05-01 15:00:00'), "
               "(1102, '102', '2024-04-01 14:00:00')");
    hotel.exec("update GuestInRecord set enOverride=1 where Room=1102");
    hotel.exec("update RoomInfo set RoomState=1 where RoomStr in ('103', '104')");
    hotel.exec("update RoomInfo set RoomState=2 where RoomStr='105'");
    hotel.exec("insert into RoomStateType (ID, State_Title) values (2, 'Closed')");
    hotel.exec("insert into GuestInRecord (Room, RoomStr, GuestInTime) values "
               "(1104, '104', '2024-05-01 14:00:00')");
    hotel.exec("update RoomInfo set RoomState=7 where RoomStr='106'"); // no such state

    TMainForm main;
    const QStringList shown = captions(main);
    QCOMPARE(shown.size(), 40); // 40 rooms, one twice, one without a state row
    QCOMPARE(shown.count("101"), 2);
    QVERIFY(!shown.contains("106"));
    QCOMPARE(shown.mid(0, 4), (QStringList{"101", "101", "102", "103"}));
    QHash<QString, int> picture;
    for (const BoardRoom &r : main.BoardRooms())
        picture.insert(r.RoomStr, r.Picture);
    QCOMPARE(picture["101"], 2);
    QCOMPARE(picture["102"], 0);
    QCOMPARE(picture["103"], 1);
    QCOMPARE(picture["104"], 3);
    QCOMPARE(picture["105"], -1);
    auto *view = main.findChild<QListView *>("Room_LV");
    QCOMPARE(view->viewMode(), QListView::IconMode);
    QVERIFY(view->model()->index(4, 0).data(Qt::DecorationRole).isNull() == false);
    QCOMPARE(main.RoomIcons.size(), 4);
    QVERIFY(!main.RoomIcons[0].isNull());
    // The bottom-left colour of the picture is transparent.
    const QImage icon = main.RoomIcons[0].pixmap(32, 32).toImage();
    QCOMPARE(qAlpha(icon.pixel(0, 31)), 0);
    QVERIFY(qAlpha(icon.pixel(16, 16)) > 0);
}

void TestRoomBoard::filtersNarrowTheBoard()
{
    TestHotel hotel;
    hotel.logOnAdministrator();
    TMainForm main;
    QComboBox *building = main.BuildingFilter_CB;
    QComboBox *floor = main.FloorFilter_CB;
    QCOMPARE(building->count(), 3); // 1, 2 and all
    QCOMPARE(building->currentIndex(), 2);
    QCOMPARE(floor->count(), 4); // 1, 2, 3 and all

    building->setCurrentIndex(1); // building 2, every floor
    QCOMPARE(captions(main).size(), 16);
    QVERIFY(captions(main).first().startsWith("21"));
    floor->setCurrentIndex(1); // building 2, floor 2
    QCOMPARE(captions(main).size(), 8);
    QVERIFY(captions(main).first().startsWith("22"));
    building->setCurrentIndex(2); // floor 2 of every building
    QCOMPARE(captions(main).size(), 16);
    floor->setCurrentIndex(2); // floor 3: only building 1 has one
    QCOMPARE(captions(main).size(), 8);
    floor->setCurrentIndex(3);
    QCOMPARE(captions(main).size(), 40);

    // The filter lines; an empty entry and a text entry are compared as the room list
    // compares them, so that the two screens agree.
    const QString order = "ORDER BY I.Buiding,I.Floor,I.ROOM";
    const struct
    {
        std::optional<QString> building, floor;
        QStringList lines;
    } cases[] = {
        {"3", std::nullopt, {"where", "I.Buiding=3", order}},
        {"3", "4", {"where", "I.Buiding=3", "and", "I.Floor=4", order}},
        {std::nullopt, "4", {"where", "I.Floor=4", order}},
        {"", std::nullopt, {"where", "I.Buiding is Null", order}},
        {"B' or 1=1 --",
         "",
         {"where", "I.Buiding='B'' or 1=1 --'", "and", "I.Floor is Null", order}},
        {"03", std::nullopt, {"where", "I.Buiding='03'", order}},
    };
    for (const auto &c : cases)
        QCOMPARE(RoomBoardLines(c.building, c.floor).mid(10), c.lines);
    QCOMPARE(RoomBoardLines(std::nullopt, std::nullopt).mid(10), QStringList{order});

    // A room without a building is listed under the empty entry, on the board as in the list.
    hotel.exec(
        "insert into RoomInfo (Room, RoomStr, Floor, RoomNumber) values (199, 'Annex', 1, 99)");
    TMainForm again;
    const int empty = again.BuildingFilter_CB->findText(QString());
    QVERIFY(empty >= 0 && empty < again.BuildingFilter_CB->count() - 1);
    again.BuildingFilter_CB->setCurrentIndex(empty);
    QCOMPARE(captions(again), QStringList{"Annex"});
}

void TestRoomBoard::emptyHotel()
{
    TestHotel hotel(false);
    hotel.logOnAdministrator();
    TMainForm main;
    QCOMPARE(main.BuildingFilter_CB->count(), 1);
    QCOMPARE(main.FloorFilter_CB->count(), 1);
    QVERIFY(main.BoardRooms().isEmpty());
    // A query that cannot run raises the database's error.
    hotel.exec("drop table RoomStateType");
    QVERIFY_THROWS_EXCEPTION(DbError, LoadRoomBoard(std::nullopt, std::nullopt));
}

void TestRoomBoard::rebuildKeepsTheSelectionAndFollowsTheFlags()
{
    TestHotel hotel;
    hotel.logOnAdministrator();
    TMainForm main;
    selectRooms(main, {"203", "2108"});
    hotel.exec("insert into GuestInRecord (Room, RoomStr, GuestInTime) values "
               "(1203, '203', '2024-05-01 14:00:00')");
    hotel.exec("delete from RoomInfo where RoomStr='2108'");
    RoomBoardDirty = true;
    CardBusy = true;
    QTRY_VERIFY_WITH_TIMEOUT(!CardBusy, 1000);
    QTRY_VERIFY_WITH_TIMEOUT(!RoomBoardDirty, 4000);
    QCOMPARE(main.SelectedRooms(), QStringList{"203"});
    QCOMPARE(main.FirstSelectedPicture(), 2);
    QCOMPARE(captions(main).size(), 39);
}

void TestRoomBoard::failingRebuildIsReportedOnce()
{
    TestHotel hotel;
    hotel.logOnAdministrator();
    TMainForm main;
    auto *view = main.findChild<QListView *>("Room_LV");
    LingeringDialogs lingering;
    setDialogs(&lingering);
    const auto back = qScopeGuard([&] { setDialogs(&hotel.dialogs); });
    main.RoomBoardTimer->setInterval(20); // many ticks while the error box is open

    hotel.exec("alter table RoomStateType rename to Gone");
    RoomBoardDirty = true;
    QTRY_COMPARE(lingering.messages.size(), 1);
    QTest::qWait(400);
    QCOMPARE(lingering.messages.size(), 1);
    QVERIFY(lingering.messages[0].text.contains("RoomStateType"));
    QVERIFY(main.BoardRooms().isEmpty());
    QVERIFY(view->updatesEnabled());

    hotel.exec("alter table Gone rename to RoomStateType");
    main.Refresh_Bt->click();
    QCOMPARE(main.BoardRooms().size(), 40);
    QCOMPARE(lingering.messages.size(), 1);
}

void TestRoomBoard::failingCommandIsReportedOnceAndTheWindowGoesOn()
{
    TestHotel hotel;
    hotel.logOnAdministrator();
    TMainForm main;
    hotel.dialogs.clear(); // "No encoder found,demo only"
    // The table goes away under the running program: the command fails with the
    // database's error, shown once.
    hotel.exec("alter table GuestInRecord rename to Elsewhere");
    action(main, "CheckOut_Menu")->trigger();
    QCOMPARE(hotel.dialogs.messages.size(), 1);
    QVERIFY(hotel.dialogs.messages[0].text.contains("GuestInRecord"));
    QCOMPARE(hotel.dialogs.messages[0].icon, MsgIcon::Error);
    main.mi_GuestLeaveClick(); // nothing selected: nothing runs
    QCOMPARE(hotel.dialogs.messages.size(), 1);

    // The window goes on: the next command works.
    hotel.exec("alter table Elsewhere rename to GuestInRecord");
    hotel.dialogs.clear();
    bool opened = false;
    WhenModalOpens("GuestLeave_Form", [&](QWidget *form) {
        opened = true;
        static_cast<QDialog *>(form)->reject();
    });
    action(main, "CheckOut_Menu")->trigger();
    QVERIFY(opened);
    QVERIFY(hotel.dialogs.messages.isEmpty());
}

void TestRoomBoard::largeBoardKeepsScrollAndSelectedOccurrences_data()
{
    QTest::addColumn<QList<int>>("rows");
    // Row 1 is the second occurrence of 101 (two open stays); rows 2000 on are far past the
    // first layout batch. A few plates and many plates are counted in different ways.
    QTest::newRow("few plates") << QList<int>{1, 2000, 2001};
    QTest::newRow("many plates") << QList<int>{1, 5, 6, 7, 100, 700, 1500, 1501, 1502, 2000, 2039};
}

void TestRoomBoard::largeBoardKeepsScrollAndSelectedOccurrences()
{
    QFETCH(QList<int>, rows);
    TestHotel hotel;
    hotel.logOnAdministrator();
    hotel.exec("insert into RoomInfo (Room, RoomStr, Buiding, Floor, RoomNumber, RoomState) "
               "with recursive n(i) as (select 0 union all select i + 1 from n where i < 1999) "
               "select 300000 + i, 'X' || (1000 + i), 3, 1 + i / 100, i % 100, 0 from n");
    hotel.exec("insert into GuestInRecord (Room, RoomStr, GuestInTime) values "
               "(1101, '101', '2024-05-01 14:00:00'), (1101, '101', '2024-05-01 15:00:00')");
    TMainForm main;
    main.resize(800, 600);
    main.show();
    QVERIFY(QTest::qWaitForWindowExposed(&main));
    auto *view = main.findChild<QListView *>("Room_LV");
    QCOMPARE(main.BoardRooms().size(), 2041);
    for (int row : rows)
        view->selectionModel()->select(view->model()->index(row, 0), QItemSelectionModel::Select);
    // The first layout may go on in batches from the event loop: scroll once it is done.
    QTRY_VERIFY(view->visualRect(view->model()->index(2040, 0)).isValid());
    QScrollBar *bar = view->verticalScrollBar();
    bar->setValue(bar->maximum() * 3 / 4);
    const int scroll = bar->value();

    main.SetRoom_LV();
    QCOMPARE(bar->value(), scroll);
    QList<int> selectedRows;
    for (int row = 0; row < main.BoardRooms().size(); ++row)
        if (view->selectionModel()->isRowSelected(row, QModelIndex()))
            selectedRows.append(row);
    QCOMPARE(selectedRows, rows);
}

void TestRoomBoard::popupEnablingFollowsTheFirstSelectedRoom()
{
    TestHotel hotel;
    hotel.logOnAdministrator();
    hotel.exec("insert into GuestInRecord (Room, RoomStr, GuestInTime) values "
               "(1102, '102', '2024-05-01 14:00:00')");
    TMainForm main;
    QAction *in = action(main, "mi_GuestIn");
    QAction *out = action(main, "mi_GuestLeave");
    main.PopupMenu1Popup(); // nothing selected: the items keep their state
    QVERIFY(!in->isEnabled() && !out->isEnabled());
    selectRooms(main, {"102", "101"}); // board order: 101 first, vacant
    main.PopupMenu1Popup();
    QVERIFY(in->isEnabled());
    QVERIFY(!out->isEnabled());
    selectRooms(main, {"102", "103"});
    main.PopupMenu1Popup();
    QVERIFY(out->isEnabled());
    main.findChild<QListView *>("Room_LV")->clearSelection();
    main.PopupMenu1Popup();
    QVERIFY(in->isEnabled() && out->isEnabled());
}

void TestRoomBoard::systemCodeConversions()
{
    uint16_t words[4] = {};
    QVERIFY(PassToWords("0A1bFF00", words));
    QCOMPARE(QList<int>({words[0], words[1], words[2], words[3]}), QList<int>({10, 27, 255, 0}));
    QCOMPARE(WordsToPass(words), QStringLiteral("0A1BFF00"));
    for (const char *bad : {"0A1BFF0", "0A1BFF000", "0A1BFG00", " A1BFF00", "+A1BFF00", ""})
        QVERIFY2(!PassToWords(QString::fromLatin1(bad), words), bad);
}

void TestRoomBoard::handshakeLearnsAndReusesTheSystemCode()
{
    TestHotel hotel;
    hotel.logOnAdministrator();
    VirtualEncoder encoder;
    encoder.connectOn(1, "1A2B3C4D");
    {
        TMainForm main;
        QCOMPARE(hotel.dialogs.texts(), QStringList{"1A2B3C4D"});
        QCOMPARE(LockSystemInfo.Pass, QStringLiteral("1A2B3C4D"));
        QCOMPARE(IniFile(SettingsFilePath()).ReadString("SystemInfo", "Pass", ""),
                 QStringLiteral("1A2B3C4D"));
        QCOMPARE(EncoderKind, int16_t(3));
        QVERIFY(action(main, "ReadDataCard_Menu") != nullptr);
    }
    // A new encoder with another code is handed the stored one at the next start.
    encoder.connectOn(1, "00000000");
    hotel.dialogs.clear();
    ReadSystemInfo(LockSystemInfo);
    LockSystemInfo.Staffer = "admin";
    TMainForm again;
    QVERIFY(hotel.dialogs.messages.isEmpty());
    QVERIFY(encoder.run({"status"}).contains("1A2B3C4D"));
    QCOMPARE(ReadDataCardAllowed(true, 3, false), false);
    QCOMPARE(ReadDataCardAllowed(true, 3, true), true);
    QCOMPARE(ReadDataCardAllowed(true, 0, false), true);
    QCOMPARE(ReadDataCardAllowed(false, 5, true), false);
}

void TestRoomBoard::handshakeFailures()
{
    TestHotel hotel;
    hotel.logOnAdministrator();
    VirtualEncoder encoder;
    {
        TMainForm main; // nothing connected
        QCOMPARE(hotel.dialogs.texts(), QStringList{"No encoder found,demo only"});
        QCOMPARE(hotel.dialogs.messages[0].caption, QStringLiteral("Connecting warning"));
    }
    encoder.connectOn(2, "11223344");
    hotel.writeIni("[Config]\nCommProt=1\n");
    LockSystemInfo.Pass = "12345"; // not eight hexadecimal characters
    hotel.dialogs.clear();
    TMainForm main;
    QCOMPARE(hotel.dialogs.messages.size(), 1);
    QVERIFY(hotel.dialogs.messages[0].text.contains("12345"));
    QVERIFY(encoder.run({"status"}).contains("11223344")); // not handed over
    QVERIFY(!main.Ended());
    QVERIFY(action(main, "CheckIn_Menu")->isEnabled()); // the rights still applied
}

void TestRoomBoard::encoderLostDuringTheHandshake()
{
    // The encoder answered the probe and is gone when the handshake asks it: a stored
    // code cannot be handed over, and a missing one cannot be read (the message library
    // tells why, by the result's number).
    const struct
    {
        const char *pass;
        const char *message;
    } cases[] = {
        {"0A0B0C0D", "No tool encoder connected!"},
        {"", "No encoder! Check that the card encoder is connected and switched on."},
    };
    for (const auto &c : cases) {
        TestHotel hotel;
        hotel.installMessageLibrary();
        VirtualEncoder encoder;
        encoder.connectOn(1, "11223344");
        QCOMPARE(MakeCardOpenPort(1), int16_t(1));
        encoder.run({"disconnect"});
        LockSystemInfo.Pass = QString::fromLatin1(c.pass);
        EncoderHandshake();
        QCOMPARE(hotel.dialogs.texts(), QStringList{QString::fromUtf8(c.message)});
        if (!*c.pass)
            QVERIFY(hotel.dialogs.messages[0].caption.contains("-2"));
        QVERIFY(LockSystemInfo.Pass == QString::fromLatin1(c.pass)); // nothing learnt
    }
}

void TestRoomBoard::rightsGovernTheCommands()
{
    TestHotel hotel;
    hotel.logOnAdministrator("clerk");
    hotel.exec("update Operator set CheckIn=0, SystemInfo=NULL");
    TMainForm main;
    QVERIFY(!action(main, "CheckIn_Menu")->isEnabled());
    QVERIFY(!action(main, "ClockRoom_Menu")->isEnabled());
    QVERIFY(!main.findChild<QToolButton *>("CheckIn_SB")->isEnabled());
    QVERIFY(!action(main, "SystemSetting_Menu")->isEnabled());
    QVERIFY(action(main, "CheckOut_Menu")->isEnabled());
    QVERIFY(main.findChild<QToolButton *>("CheckOut2_SB")->isEnabled());
    // A null SystemInfo counts as false: the database commands go with the settings.
    QVERIFY(!action(main, "DatabaseConnecting_Menu")->isEnabled());
    QVERIFY(!action(main, "DataRecovery_Menu")->isEnabled());
}

void TestRoomBoard::versionBlock()
{
    const TFileVersion version;
    QCOMPARE(version.GetTranslation(), QStringLiteral("040904b0"));
    QCOMPARE(version.GetValue("CompanyName"), QStringLiteral("Orvane"));
    QCOMPARE(version.GetValue("ProductName"), QStringLiteral("Orvane"));
    QCOMPARE(version.GetValue("FileVersion"), QStringLiteral("16.0.0.74"));
    QCOMPARE(version.GetValue("FileDescription"), QStringLiteral("Hotel card lock front desk"));
    QCOMPARE(version.GetValue("Comments"), QString());
}

QUENMAR_TEST_MAIN(TestRoomBoard)
#include "test_roomboard.moc"
