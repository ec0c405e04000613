// The room list: its statement, filters and colours, and the room picker.
#include "app/application.h"
#include "data/dataset.h"
#include "data/errors.h"
#include "stays/roomlist.h"
#include "stays/roomlistform.h"
#include "support/testhotel.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QStatusBar>
#include <QTableView>
#include <QTest>

#include <algorithm>
#include <memory>

namespace {

QTableView *grid(QWidget *form)
{
    return child<QTableView>(form, "RoomInfo_DBGrid");
}

// The door plates of the grid's rows, top to bottom.
QStringList listed(QWidget *form)
{
    QStringList rooms;
    const QAbstractItemModel *model = grid(form)->model();
    for (int row = 0; row < model->rowCount(); ++row)
        rooms.append(model->index(row, 0).data().toString());
    return rooms;
}

QString panel0(QWidget *form)
{
    return child<QStatusBar>(form, "StatusBar1")->findChild<QLabel *>()->text();
}

const char *const kStatusButtons[] = {"NoBooked_RB", "AllGuest_RB", "Booked_RB"};

// Chooses a status and presses "Check(&Q)".
QStringList listWith(QWidget *form, RoomStatus status)
{
    child<QRadioButton>(form, kStatusButtons[int(status)])->click();
    child<QPushButton>(form, "Query_Bt")->click();
    return listed(form);
}

// An open stay (or a closed one) in a room of the demo hotel, by lock code and door plate.
void stay(TestHotel &hotel, int room, const QString &plate, int enOverride = 0)
{
    hotel.exec(QStringLiteral("insert into GuestInRecord (GuestName, Room, RoomStr, Rom, "
                              "GuestInTime, LeaveTime, enOverride) values ('Guest', %1, '%2', "
                              "'0A1B', '2024-05-01 14:00:00', '2024-05-02 12:00:00', %3)")
                   .arg(room)
                   .arg(plate)
                   .arg(enOverride));
}

QStringList sorted(QStringList list)
{
    list.sort();
    return list;
}

void clickRow(QWidget *form, int row, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
{
    QTableView *view = grid(form);
    const QRect rect = view->visualRect(view->model()->index(row, 0));
    QTest::mouseClick(view->viewport(), Qt::LeftButton, modifiers, rect.center());
}

using PickAction = std::function<void(QWidget *)>;

} // namespace

Q_DECLARE_METATYPE(PickAction)

class TestRoomList : public QObject
{
    Q_OBJECT
private slots:
    void statementLinesAndUnsafeEntries();
    void statusListsAddUp();
    void buildingAndFloorFilters_data();
    void buildingAndFloorFilters();
    void roomWithoutStateTitleIsNeverListed();
    void rowColours();
    void pickerHandsTheLastSelectedRoom_data();
    void pickerHandsTheLastSelectedRoom();
    void failingQueryLeavesTheGridEmpty();
};

void TestRoomList::statementLinesAndUnsafeEntries()
{
    QCOMPARE(
        FindRoomListLines(QStringLiteral("2"), QStringLiteral("1"), RoomStatus::Booked),
        (QStringList{"Select I.*,G.GuestInTime from",
                     "(Select I.Room,I.RoomStr,I.Buiding,I.Floor,I.District,",
                     "S.State_Title as RoomState", "from RoomInfo I,RoomStateType S",
                     "Where I.RoomState=S.ID", "And I.Buiding=2", "And I.Floor=1", ") I left join ",
                     "(select * from GuestInRecord", "where enOverride=0) G", "On I.Room=G.Room",
                     "Where G.GuestInTime is not Null", "ORDER BY Buiding,Floor,I.ROOM"}));
    const QStringList all = FindRoomListLines(std::nullopt, std::nullopt, RoomStatus::AllGuest);
    QCOMPARE(all.size(), 10);
    QVERIFY(!all.join('\n').contains("And "));
    QVERIFY(!all.join('\n').contains("GuestInTime is"));
    QCOMPARE(FindRoomListLines(std::nullopt, std::nullopt, RoomStatus::NoBooked)[9],
             QStringLiteral("Where G.GuestInTime is Null"));

    // Building and floor entries come from the rooms themselves; whatever they hold, they
    // only ever compare.
    TestHotel hotel;
    hotel.exec("update RoomInfo set Buiding='B''1' where RoomStr='101'");
    hotel.exec("update RoomInfo set Buiding=null where RoomStr='102'");
    hotel.exec("update RoomInfo set Floor='2 or 1=1' where RoomStr='103'");
    auto rooms = [&](std::optional<QString> building, std::optional<QString> floor) {
        Query q(dm->conn);
        q.SQL = FindRoomListLines(building, floor, RoomStatus::AllGuest);
        q.Open();
        QStringList plates;
        for (q.First(); !q.Eof(); q.Next())
            plates.append(q.AsString("RoomStr"));
        return plates;
    };
    QCOMPARE(rooms(QStringLiteral("B'1"), std::nullopt), QStringList{"101"});
    QCOMPARE(rooms(QString(), std::nullopt), QStringList{"102"});
    QCOMPARE(rooms(std::nullopt, QStringLiteral("2 or 1=1")), QStringList{"103"});
    QCOMPARE(rooms(QStringLiteral("1' or '1'='1"), std::nullopt), QStringList());
    QCOMPARE(rooms(QStringLiteral("02"), std::nullopt).size(), 16); // as the column reads it

    // The odd entries are offered by the form and select their rooms.
    TRoomList_Form form;
    auto *building = child<QComboBox>(&form, "Buiding_CB");
    const int nullEntry = building->findText(QString());
    QVERIFY(nullEntry >= 0);
    building->setCurrentIndex(nullEntry);
    QCOMPARE(listWith(&form, RoomStatus::AllGuest), QStringList{"102"});
}

void TestRoomList::statusListsAddUp()
{
    TestHotel hotel;
    stay(hotel, 1102, "102");
    stay(hotel, 1102, "102"); // a second open stay in the same room
    stay(hotel, 1205, "205");
    stay(hotel, 2103, "2103");
    stay(hotel, 1301, "301", 1); // ended: the room is vacant again

    TRoomList_Form form;
    QCOMPARE(form.windowTitle(), QStringLiteral("Guest room traffic report"));
    QVERIFY(child<QRadioButton>(&form, "AllGuest_RB")->isChecked());
    const QStringList all = listed(&form);
    QCOMPARE(all.size(), 41);
    QCOMPARE(all.count("102"), 2);
    QCOMPARE(all.first(), QStringLiteral("101"));
    QCOMPARE(all.last(), QStringLiteral("2208"));
    QCOMPARE(panel0(&form), QStringLiteral("Record:1 / 41"));

    const QStringList booked = listWith(&form, RoomStatus::Booked);
    QCOMPARE(booked, (QStringList{"102", "102", "205", "2103"}));
    const QStringList vacant = listWith(&form, RoomStatus::NoBooked);
    QCOMPARE(vacant.size(), 37);
    QVERIFY(vacant.contains("301"));
    QCOMPARE(sorted(vacant + booked), sorted(all));
    QCOMPARE(listWith(&form, RoomStatus::AllGuest), all);
    QCOMPARE(panel0(&form), QStringLiteral("Record:1 / 41"));
}

void TestRoomList::buildingAndFloorFilters_data()
{
    QTest::addColumn<QString>("building"); // empty: the "All Building" entry
    QTest::addColumn<QString>("floor");    // empty: the "Ad  Floor" entry
    QTest::addColumn<int>("status");
    QTest::addColumn<QStringList>("expected"); // first and last plate, or empty
    QTest::addColumn<int>("count");

    QTest::newRow("building 2, every floor") << "2"
                                             << "" << 1 << QStringList{"2101", "2208"} << 16;
    QTest::newRow("floor 1 in every building") << ""
                                               << "1" << 1 << QStringList{"101", "2108"} << 16;
    QTest::newRow("floor 3 only in building 1") << ""
                                                << "3" << 1 << QStringList{"301", "308"} << 8;
    QTest::newRow("building 1, floor 2") << "1"
                                         << "2" << 1 << QStringList{"201", "208"} << 8;
    QTest::newRow("building 2 has no floor 3") << "2"
                                               << "3" << 1 << QStringList() << 0;
    QTest::newRow("occupied in building 1") << "1"
                                            << "" << 2 << QStringList{"102", "205"} << 2;
    QTest::newRow("vacant on floor 2") << ""
                                       << "2" << 0 << QStringList{"201", "2208"} << 14;
}

void TestRoomList::buildingAndFloorFilters()
{
    QFETCH(QString, building);
    QFETCH(QString, floor);
    QFETCH(int, status);
    QFETCH(QStringList, expected);
    QFETCH(int, count);

    TestHotel hotel;
    stay(hotel, 1102, "102");
    stay(hotel, 1205, "205");
    stay(hotel, 2204, "2204");
    TRoomList_Form form;
    auto *buildings = child<QComboBox>(&form, "Buiding_CB");
    auto *floors = child<QComboBox>(&form, "Floor_CB");
    QCOMPARE(buildings->isEditable(), false);
    QCOMPARE(floors->isEditable(), false);
    QCOMPARE(buildings->currentText(), QStringLiteral("All Building"));
    QCOMPARE(floors->currentText(), QStringLiteral("Ad  Floor"));
    QCOMPARE(sorted({buildings->itemText(0), buildings->itemText(1)}), (QStringList{"1", "2"}));
    QCOMPARE(floors->count(), 4);

    if (!building.isEmpty())
        buildings->setCurrentIndex(buildings->findText(building));
    if (!floor.isEmpty())
        floors->setCurrentIndex(floors->findText(floor));
    child<QRadioButton>(&form, kStatusButtons[status])->click();
    QCOMPARE(listed(&form).size(), 40); // nothing happens before "Check(&Q)"

    child<QPushButton>(&form, "Query_Bt")->click();
    const QStringList rooms = listed(&form);
    QCOMPARE(rooms.size(), count);
    if (count > 0)
        QCOMPARE((QStringList{rooms.first(), rooms.last()}), expected);
    for (form.RoomInfo_ado.First(); !form.RoomInfo_ado.Eof(); form.RoomInfo_ado.Next()) {
        if (!building.isEmpty())
            QCOMPARE(form.RoomInfo_ado.AsString("Buiding"), building);
        if (!floor.isEmpty())
            QCOMPARE(form.RoomInfo_ado.AsString("Floor"), floor);
    }
    QCOMPARE(panel0(&form), QStringLiteral("Record:%1 / %2").arg(count ? 1 : 0).arg(count));
    QCOMPARE(child<QLabel>(&form, "DBText1")->text(), count ? expected.first() : QString());
}

void TestRoomList::roomWithoutStateTitleIsNeverListed()
{
    TestHotel hotel;
    hotel.exec("update RoomInfo set RoomState=9 where RoomStr in ('101', '102')");
    hotel.exec("update RoomInfo set RoomState=1 where RoomStr='103'"); // "Modified": listed
    stay(hotel, 1101, "101");
    stay(hotel, 1103, "103");
    TRoomList_Form form;
    for (RoomStatus status : {RoomStatus::AllGuest, RoomStatus::Booked, RoomStatus::NoBooked}) {
        const QStringList rooms = listWith(&form, status);
        QVERIFY(!rooms.contains("101"));
        QVERIFY(!rooms.contains("102"));
        QCOMPARE(rooms.contains("103"), status != RoomStatus::NoBooked);
    }
    QCOMPARE(listWith(&form, RoomStatus::AllGuest).size(), 38);
    QCOMPARE(form.RoomInfo_ado.AsString("RoomState"), QStringLiteral("Modified"));
}

void TestRoomList::rowColours()
{
    TestHotel hotel;
    stay(hotel, 1101, "101");
    stay(hotel, 1103, "103");
    TRoomList_Form form;
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    clickRow(&form, 2);                      // occupied, selected
    clickRow(&form, 3, Qt::ControlModifier); // vacant, selected
    QTableView *view = grid(&form);
    const QImage image = view->viewport()->grab().toImage();
    auto colourOf = [&](int row) {
        const QRect rect = view->visualRect(view->model()->index(row, 0));
        return image.pixelColor(rect.right() - 6, rect.center().y());
    };
    QCOMPARE(colourOf(0), QColor(Qt::red));   // occupied
    QCOMPARE(colourOf(1), QColor(Qt::white)); // vacant
    QCOMPARE(colourOf(2), QColor(0, 0, 128)); // selected
    QCOMPARE(colourOf(3), QColor(0, 0, 128));
    QCOMPARE(colourOf(4), QColor(Qt::white));
    // The text of a selected row is white: the only colours in its cell are navy and white
    // (and their blends).
    const QRect selected = view->visualRect(view->model()->index(2, 0));
    bool whiteText = false;
    for (int x = selected.left() + 2; x < selected.left() + 40; ++x) {
        for (int y = selected.top() + 2; y < selected.bottom() - 2; ++y) {
            const QColor c = image.pixelColor(x, y);
            whiteText |= c == QColor(Qt::white);
            QCOMPARE(c.red(), c.green());
            QVERIFY(c.blue() >= c.red());
        }
    }
    QVERIFY(whiteText);
}

void TestRoomList::pickerHandsTheLastSelectedRoom_data()
{
    QTest::addColumn<PickAction>("action");
    QTest::addColumn<QString>("field"); // the room field afterwards (it starts as "keep")

    auto confirm = [](QWidget *form) { child<QPushButton>(form, "Confirm_Bt")->click(); };
    QTest::newRow("three with Ctrl+click: the last in list order")
        << PickAction([=](QWidget *form) {
               clickRow(form, 6, Qt::ControlModifier);
               clickRow(form, 1, Qt::ControlModifier);
               clickRow(form, 3, Qt::ControlModifier);
               confirm(form);
           })
        << "107";
    QTest::newRow("a plain click starts the selection anew") << PickAction([=](QWidget *form) {
        clickRow(form, 6);
        clickRow(form, 7, Qt::ControlModifier);
        clickRow(form, 2);
        confirm(form);
    }) << "103";
    QTest::newRow("Ctrl+click removes a row again") << PickAction([=](QWidget *form) {
        clickRow(form, 2);
        clickRow(form, 5, Qt::ControlModifier);
        clickRow(form, 5, Qt::ControlModifier);
        confirm(form);
    }) << "103";
    QTest::newRow("double-click confirms") << PickAction([](QWidget *form) {
        QTableView *view = grid(form);
        const QPoint at = view->visualRect(view->model()->index(4, 0)).center();
        QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, at);
        QTest::mouseDClick(view->viewport(), Qt::LeftButton, {}, at);
    }) << "105";
    QTest::newRow("cancel keeps the field") << PickAction([](QWidget *form) {
        clickRow(form, 4);
        child<QPushButton>(form, "Close_Bt")->click();
    }) << "keep";
    QTest::newRow("Esc keeps the field") << PickAction([](QWidget *form) {
        clickRow(form, 4);
        QTest::keyClick(grid(form), Qt::Key_Escape);
    }) << "keep";
    QTest::newRow("arrow keys move without selecting") << PickAction([=](QWidget *form) {
        grid(form)->setFocus();
        for (int i = 0; i < 3; ++i)
            QTest::keyClick(grid(form), Qt::Key_Down);
        QCOMPARE(panel0(form), QStringLiteral("Record:4 / 40"));
        QCOMPARE(child<QLabel>(form, "DBText1")->text(), QStringLiteral("104"));
        QCOMPARE(child<QLabel>(form, "DBText2")->text(), QStringLiteral("1"));
        QCOMPARE(child<QLabel>(form, "DBText3")->text(), QStringLiteral("1"));
        confirm(form);
    }) << "keep";
    QTest::newRow("Space selects the current row") << PickAction([=](QWidget *form) {
        grid(form)->setFocus();
        QTest::keyClick(grid(form), Qt::Key_Down);
        QTest::keyClick(grid(form), Qt::Key_Space);
        confirm(form);
    }) << "102";
    QTest::newRow("a new query drops the selection") << PickAction([=](QWidget *form) {
        clickRow(form, 4);
        child<QPushButton>(form, "Query_Bt")->click();
        confirm(form);
    }) << "keep";
}

void TestRoomList::pickerHandsTheLastSelectedRoom()
{
    QFETCH(PickAction, action);
    QFETCH(QString, field);

    TestHotel hotel;
    QWidget caller;
    QLineEdit room(&caller);
    room.setText("keep");
    bool answered = false;
    WhenModalOpens("RoomList_Form", [&](QWidget *form) {
        answered = true;
        action(form);
    });
    const bool picked = PickRoom(&caller, &room);
    QVERIFY(answered);
    QCOMPARE(room.text(), field);
    QCOMPARE(picked, field != "keep");
    QVERIFY(caller.findChildren<TRoomList_Form *>().isEmpty()); // freed

    // Every selected room in list order, for callers that take more than one.
    WhenModalOpens("RoomList_Form", [](QWidget *form) {
        clickRow(form, 9, Qt::ControlModifier);
        clickRow(form, 0, Qt::ControlModifier);
        child<QPushButton>(form, "Confirm_Bt")->click();
    });
    QCOMPARE(PickRooms(&caller), (QStringList{"101", "202"}));
}

void TestRoomList::failingQueryLeavesTheGridEmpty()
{
    TestHotel hotel;
    TRoomList_Form form;
    QCOMPARE(listed(&form).size(), 40);
    hotel.exec("alter table GuestInRecord rename to GuestInRecordGone");
    QVERIFY_THROWS_EXCEPTION(DbError, form.FindRoomList());
    QVERIFY(listed(&form).isEmpty());
    QCOMPARE(panel0(&form), QStringLiteral("Record:0 / 0"));
    QCOMPARE(child<QLabel>(&form, "DBText1")->text(), QString());

    // Pressed by the operator, the error reaches the top-level handler.
    hotel.dialogs.clear();
    QTest::mouseClick(child<QPushButton>(&form, "Query_Bt"), Qt::LeftButton);
    QCOMPARE(hotel.dialogs.messages.size(), 1);
    QCOMPARE(hotel.dialogs.messages[0].icon, MsgIcon::Error);
}

QUENMAR_TEST_MAIN(TestRoomList)
#include "test_roomlist.moc"
