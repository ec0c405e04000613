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

#include <QAction>
#include <QComboBox>
#include <QListView>
#include <QScrollBar>
#include <QTest>
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

} // namespace

class TestRoomBoard : public QObject
{
    Q_OBJECT
private slots:
    void boardShowsEveryRoomWithItsPicture();
    void filtersNarrowTheBoard();
    void emptyHotel();
    void rebuildKeepsTheSelectionAndFollowsTheFlags();
    void largeBoardKeepsScrollAndSelectedOccurrences_data();
    void largeBoardKeepsScrollAndSelectedOccurrences();
    void popupEnablingFollowsTheFirstSelectedRoom();
    void systemCodeConversions();
    void handshakeLearnsAndReusesTheSystemCode();
    void handshakeFailures();
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

    QCOMPARE(RoomBoardLines("3", QString()).mid(10),
             (QStringList{"where", "I.Buiding=3", "ORDER BY I.Buiding,I.Floor,I.ROOM"}));
    QCOMPARE(RoomBoardLines("3", "4").mid(10),
             (QStringList{"where", "I.Buiding=3", "and", "I.Floor=4",
                          "ORDER BY I.Buiding,I.Floor,I.ROOM"}));
    QCOMPARE(RoomBoardLines(QString(), "4").mid(10),
             (QStringList{"where", "I.Floor=4", "ORDER BY I.Buiding,I.Floor,I.ROOM"}));
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
    QVERIFY_THROWS_EXCEPTION(DbError, LoadRoomBoard(QString(), QString()));
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
    QVERIFY(action(main, "DatabaseConnecting_Menu")->isEnabled());
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
