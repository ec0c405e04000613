// Hotel setup: room types, rooms with their door plates and lock codes, districts.
#include "app/application.h"
#include "cards/bookkeeping.h"
#include "data/errors.h"
#include "data/settings.h"
#include "setup/districts.h"
#include "setup/districtsettingform.h"
#include "setup/roominfoform.h"
#include "setup/rooms.h"
#include "setup/roomtypeform.h"
#include "setup/roomtypes.h"
#include "support/testhotel.h"
#include "ui/querygridmodel.h"

#include <QComboBox>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTableView>
#include <QTest>

namespace {

QueryGridModel *gridModel(QWidget *form, const char *grid)
{
    auto *model = qobject_cast<QueryGridModel *>(child<QTableView>(form, grid)->model());
    if (!model)
        qFatal("%s has no query grid model", grid);
    return model;
}

// The values of one column of the grid, top to bottom.
QStringList column(QWidget *form, const char *grid, const QString &field)
{
    QueryGridModel *model = gridModel(form, grid);
    QStringList values;
    for (int row = 0; row < model->rowCount(); ++row)
        values.append(model->value(row, field).toString());
    return values;
}

void clickCell(QWidget *form, const char *grid, int row)
{
    auto *view = child<QTableView>(form, grid);
    const QRect rect = view->visualRect(view->model()->index(row, 0));
    QTest::mouseClick(view->viewport(), Qt::LeftButton, Qt::NoModifier, rect.center());
}

void click(QWidget *form, const char *button)
{
    child<QPushButton>(form, button)->click();
}

bool enabled(QWidget *form, const char *name)
{
    return child<QWidget>(form, name)->isEnabled();
}

void type(QWidget *form, const char *box, const QString &text)
{
    child<QLineEdit>(form, box)->setText(text);
}

// --- rooms ---

QStringList freeNumbers(QWidget *form)
{
    auto *list = child<QListWidget>(form, "RoomInfo_LV");
    QStringList numbers;
    for (int i = 0; i < list->count(); ++i)
        numbers.append(list->item(i)->text());
    return numbers;
}

// Types building and floor, lists the free numbers and double-clicks `number`.
void takeNumber(QWidget *form, const QString &building, const QString &floor, const QString &number)
{
    type(form, "Building_Edit", building);
    type(form, "Floor_Edit", floor);
    click(form, "GenRoomNumber_Bt");
    auto *list = child<QListWidget>(form, "RoomInfo_LV");
    const QList<QListWidgetItem *> found = list->findItems(number, Qt::MatchExactly);
    QVERIFY2(found.size() == 1, qPrintable(number));
    list->setCurrentItem(found.first());
    const QPoint at = list->visualItemRect(found.first()).center();
    QTest::mouseClick(list->viewport(), Qt::LeftButton, Qt::NoModifier, at);
    QTest::mouseDClick(list->viewport(), Qt::LeftButton, Qt::NoModifier, at);
}

// Types into a cell of the rooms grid, as the operator does in place.
void typeCell(QWidget *form, int row, const QString &field, const QString &text)
{
    QueryGridModel *model = gridModel(form, "RoomInfo_Dbg");
    QVERIFY(model->setData(model->index(row, model->columnOf(field)), text));
}

int rowOf(QWidget *form, const QString &doorPlate)
{
    return int(column(form, "RoomInfo_Dbg", "RoomStr").indexOf(doorPlate));
}

void addRoomRow(TestHotel &hotel, int building, int floor, int number, const QString &plate,
                int code)
{
    hotel.exec(QStringLiteral("insert into RoomInfo (Buiding, Floor, RoomNumber, RoomStr, Room, "
                              "SystemRoomStr) values (%1, %2, %3, '%4', %5, '%6')")
                   .arg(building)
                   .arg(floor)
                   .arg(number)
                   .arg(plate)
                   .arg(code)
                   .arg(QStringLiteral("%1%2%3")
                            .arg(building, 2, 10, QChar('0'))
                            .arg(floor, 2, 10, QChar('0'))
                            .arg(number, 2, 10, QChar('0'))));
}

int count(TestHotel &hotel, const QString &sql)
{
    return hotel.scalar(sql).toInt();
}

} // namespace

class TestSetup : public QObject
{
    Q_OBJECT
private slots:
    void init() { RoomBoardDirty = false; }

    void roomTypeValues();
    void roomTypeFormAddAndEdit();
    void roomTypeSaveActsOnTheEditedRow();
    void roomTypeFormRefusals();
    void roomTypeDeleteFirstRowAtOpening();

    void addressNumbers_data();
    void addressNumbers();
    void roomCodes();
    void freeNumbersOfAFloor();
    void newRoomStored();
    void newRoomRefusals();
    void doorPlateEditedInPlace();
    void pickListInTheGrid();
    void databaseRefusalIsShown();
    void deleteRoom();
    void roomWithAGuestKeepsItsPlace();
    void newRoomContinuesItsLocksSerials();

    void districts();
    void districtNumbersRefused_data();
    void districtNumbersRefused();
    void roomIndexesAddedToAnOlderFile();
};

// --- room types ---

void TestSetup::roomTypeValues()
{
    TestHotel hotel;
    Table &types = dm->RoomType_ado;
    types.Open();
    const qint64 id = AddRoomType(types, "Double", "2", "");
    QVERIFY(id > 0);
    QCOMPARE(hotel.scalar(QStringLiteral("select Size from RoomType where ID=%1").arg(id)), 2);
    QVERIFY(
        hotel.scalar(QStringLiteral("select Piece from RoomType where ID=%1").arg(id)).isNull());

    // An emptied box leaves its column as it is; a rate takes "." (and the locale's mark).
    QVERIFY(UpdateRoomType(types, id, "Double", "", "318.5"));
    QVERIFY(UpdateRoomType(types, id, "Twin", "", ""));
    QCOMPARE(hotel
                 .scalar(QStringLiteral("select Title || '/' || Size || '/' || Piece from "
                                        "RoomType where ID=%1")
                             .arg(id))
                 .toString(),
             QStringLiteral("Twin/2/318.5"));

    // A guest count or rate out of range is refused before anything is stored, naming the
    // field.
    const QString guests = QStringLiteral("Guest count must be a whole number from 0 to 99");
    const QString rates =
        QStringLiteral("Rate must be an amount from 0 to 999,999.99 with at most two decimals");
    const struct
    {
        const char *size, *rate;
        const QString &message;
    } refused[] = {
        {"abc", "", guests},
        {"-3", "", guests},
        {"100", "", guests},
        {"2.5", "", guests},
        {"2", "12a", rates},
        {"", "1.2.3", rates},
        {"", "-100", rates},
        {"", "1e23", rates},
        {"", "1000000", rates},
        {"", "9.999", rates},
        {"", "100000000000000000000000", rates},
    };
    for (const auto &r : refused) {
        for (bool add : {true, false}) {
            try {
                if (add)
                    AddRoomType(types, "Bad", r.size, r.rate);
                else
                    UpdateRoomType(types, id, "Bad", r.size, r.rate);
                QFAIL(qPrintable(QStringLiteral("%1/%2 stored").arg(r.size, r.rate)));
            } catch (const ConvertError &e) {
                QCOMPARE(e.text(), r.message);
            }
        }
    }
    QCOMPARE(count(hotel, "select count(*) from RoomType where Title='Bad'"), 0);
    QCOMPARE(count(hotel, "select count(*) from RoomType"), 4);
    // The edges are stored.
    QVERIFY(UpdateRoomType(types, id, "Twin", "0", "999999.99"));
    QVERIFY(UpdateRoomType(types, id, "Twin", "99", "0"));
    QCOMPARE(hotel.scalar(QStringLiteral("select Size from RoomType where ID=%1").arg(id)), 99);

    // Titles are stored trimmed and are unique ignoring letter case; a room type keeps its
    // own title in another case.
    for (const char *title : {"standard", " Standard ", "SINGLE"})
        QVERIFY_THROWS_EXCEPTION(AppError, AddRoomType(types, title, "2", ""));
    QVERIFY_THROWS_EXCEPTION(AppError, UpdateRoomType(types, id, "suite", "", ""));
    QVERIFY(UpdateRoomType(types, id, " TWIN ", "", ""));
    QCOMPARE(hotel.scalar(QStringLiteral("select Title from RoomType where ID=%1").arg(id)),
             QVariant("TWIN"));
    QCOMPARE(count(hotel, "select count(*) from RoomType"), 4);

    // The table's rule: a room type needs a name; blanks are none.
    QCOMPARE(AddRoomType(types, "", "1", "1"), -1);
    QCOMPARE(AddRoomType(types, "   ", "1", "1"), -1);
    QCOMPARE(hotel.dialogs.texts(), (QStringList{"请输入房号！", "请输入房号！"}));
    QCOMPARE(count(hotel, "select count(*) from RoomType"), 4);
}

void TestSetup::roomTypeFormAddAndEdit()
{
    TestHotel hotel;
    TRoomType_Form form;
    form.show();
    QCOMPARE(form.windowTitle(), QStringLiteral("Room type"));
    QCOMPARE(column(&form, "RoomType_DBGrid", "Title"),
             (QStringList{"Standard", "Single", "Suite"}));
    QVERIFY(!enabled(&form, "Edit_Bt") && !enabled(&form, "Save_Bt"));
    QVERIFY(!enabled(&form, "RoomType_Edit"));

    // Adding: "Save" follows the title box.
    click(&form, "Add_Bt");
    QVERIFY(enabled(&form, "RoomType_Edit") && !enabled(&form, "Add_Bt"));
    QVERIFY(!enabled(&form, "Delete_Bt") && !enabled(&form, "Save_Bt"));
    type(&form, "RoomType_Edit", "Double");
    QVERIFY(enabled(&form, "Save_Bt"));
    type(&form, "RoomType_Edit", "");
    QVERIFY(!enabled(&form, "Save_Bt"));
    type(&form, "RoomType_Edit", "Double");
    type(&form, "MaxCounts_Edit", "2");
    click(&form, "Save_Bt");
    QCOMPARE(column(&form, "RoomType_DBGrid", "Title").last(), QStringLiteral("Double"));
    QVERIFY(hotel.scalar("select Piece from RoomType where Title='Double'").isNull());
    QVERIFY(!enabled(&form, "RoomType_Edit") && enabled(&form, "Add_Bt"));
    QVERIFY(!enabled(&form, "Save_Bt") && !enabled(&form, "Delete_Bt"));
    QCOMPARE(child<QLineEdit>(&form, "RoomType_Edit")->text(), QString());

    // Editing a row fills the boxes; an emptied rate keeps the stored one.
    clickCell(&form, "RoomType_DBGrid", 1);
    QVERIFY(enabled(&form, "Edit_Bt") && enabled(&form, "Delete_Bt"));
    click(&form, "Edit_Bt");
    QCOMPARE(child<QLineEdit>(&form, "RoomType_Edit")->text(), QStringLiteral("Single"));
    QCOMPARE(child<QLineEdit>(&form, "MaxCounts_Edit")->text(), QStringLiteral("1"));
    QCOMPARE(child<QLineEdit>(&form, "Price_Edit")->text(), QStringLiteral("198"));
    type(&form, "Price_Edit", "");
    type(&form, "MaxCounts_Edit", "3");
    click(&form, "Save_Bt");
    QCOMPARE(
        hotel.scalar("select Size || '/' || Piece from RoomType where Title='Single'").toString(),
        QStringLiteral("3/198"));
    QVERIFY(hotel.dialogs.messages.isEmpty());
}

void TestSetup::roomTypeSaveActsOnTheEditedRow()
{
    TestHotel hotel;
    TRoomType_Form form;
    form.show();
    clickCell(&form, "RoomType_DBGrid", 0);
    click(&form, "Edit_Bt");
    clickCell(&form, "RoomType_DBGrid", 2); // another row while editing the first
    QVERIFY(!enabled(&form, "Save_Bt"));
    type(&form, "RoomType_Edit", "Standard plus");
    click(&form, "Save_Bt");
    QCOMPARE(column(&form, "RoomType_DBGrid", "Title"),
             (QStringList{"Standard plus", "Single", "Suite"}));
}

void TestSetup::roomTypeFormRefusals()
{
    TestHotel hotel;
    TRoomType_Form form;
    form.show();
    click(&form, "Add_Bt");
    type(&form, "RoomType_Edit", "Family");
    type(&form, "MaxCounts_Edit", "abc");
    click(&form, "Save_Bt");
    QCOMPARE(hotel.dialogs.texts(), QStringList{"Guest count must be a whole number from 0 to 99"});
    QCOMPARE(count(hotel, "select count(*) from RoomType"), 3);
    // Still entering: the operator mends the box and saves.
    QVERIFY(enabled(&form, "Save_Bt") && enabled(&form, "MaxCounts_Edit"));
    QVERIFY(!enabled(&form, "Add_Bt"));
    type(&form, "MaxCounts_Edit", "4");
    click(&form, "Save_Bt");
    QCOMPARE(count(hotel, "select count(*) from RoomType where Title='Family' and Size=4"), 1);
}

void TestSetup::roomTypeDeleteFirstRowAtOpening()
{
    TestHotel hotel;
    TRoomType_Form form;
    click(&form, "Delete_Bt");
    QCOMPARE(column(&form, "RoomType_DBGrid", "Title"), (QStringList{"Single", "Suite"}));
    QCOMPARE(count(hotel, "select count(*) from RoomType where Title='Standard'"), 0);
}

// --- rooms ---

void TestSetup::addressNumbers_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("twoDigits"); // empty: refused with `message`
    QTest::addColumn<QString>("message");
    const QString notInteger = QStringLiteral("Please input Integer!");
    const QString zero = QStringLiteral("Building no. or floor no. can not be 0!");
    QTest::newRow("1") << "1"
                       << "01" << QString();
    QTest::newRow("01") << "01"
                        << "01" << QString();
    QTest::newRow("99") << "99"
                        << "99" << QString();
    QTest::newRow("0") << "0" << QString() << zero;
    QTest::newRow("00") << "00" << QString() << zero;
    QTest::newRow("letter") << "a" << QString() << notInteger;
    QTest::newRow("plus sign") << "+1" << QString() << notInteger;
    QTest::newRow("minus one") << "-1" << QString() << zero;
    QTest::newRow("minus sign") << "-" << QString() << notInteger;
    QTest::newRow("blank") << " 1" << QString() << notInteger;
    QTest::newRow("empty") << "" << QString() << notInteger;
}

void TestSetup::addressNumbers()
{
    QFETCH(QString, text);
    QFETCH(QString, twoDigits);
    QFETCH(QString, message);
    TestHotel hotel;
    TRoomInfo_Form form;
    QCOMPARE(form.FormatStrTo2Digits(text), twoDigits);
    QCOMPARE(hotel.dialogs.texts(), message.isEmpty() ? QStringList() : QStringList{message});

    // The free numbers are listed only for a valid building and floor.
    type(&form, "Building_Edit", "1");
    type(&form, "Floor_Edit", text.isEmpty() ? "x" : text);
    hotel.dialogs.clear();
    form.GenRoomNumber();
    QCOMPARE(freeNumbers(&form).isEmpty(), twoDigits.isEmpty());
}

void TestSetup::roomCodes()
{
    const NewRoom typed = MakeNewRoom("1", "2", 3);
    QCOMPARE(typed.systemRoomStr, QStringLiteral("010203"));
    QCOMPARE(typed.room, 1203);
    QCOMPARE((std::tuple{typed.building, typed.floor, typed.number}), (std::tuple{1, 2, 3}));
    const NewRoom zeros = MakeNewRoom("01", "02", 3);
    QCOMPARE(zeros.systemRoomStr, QStringLiteral("010203"));
    QCOMPARE(zeros.room, 10203);
    QCOMPARE(MakeNewRoom("11", "2", 3).room, MakeNewRoom("1", "12", 3).room);
}

void TestSetup::freeNumbersOfAFloor()
{
    TestHotel hotel(false);
    addRoomRow(hotel, 1, 2, 1, "201", 1201);
    addRoomRow(hotel, 1, 2, 3, "203", 1203);
    addRoomRow(hotel, 2, 2, 2, "2202", 2202); // another building
    TRoomInfo_Form form;
    QVERIFY(!enabled(&form, "GenRoomNumber_Bt"));
    type(&form, "Building_Edit", "1");
    QVERIFY(!enabled(&form, "GenRoomNumber_Bt"));
    type(&form, "Floor_Edit", "02");
    QVERIFY(enabled(&form, "GenRoomNumber_Bt"));
    click(&form, "GenRoomNumber_Bt");
    const QStringList numbers = freeNumbers(&form);
    QCOMPARE(numbers.size(), 97);
    QCOMPARE(numbers.mid(0, 3), (QStringList{"02", "04", "05"}));
    QCOMPARE(numbers.last(), QStringLiteral("99"));
    QVERIFY(!enabled(&form, "GenRoomNumber_Bt"));
    QCOMPARE(FreeRoomNumbers(dm->conn, 1, 2).size(), 97);
}

void TestSetup::newRoomStored()
{
    TestHotel hotel(false);
    hotel.exec("insert into RoomType (Title) values ('Standard'), ('Suite')");
    TRoomInfo_Form form;
    form.show();
    QCOMPARE(form.windowTitle(), QStringLiteral("Room number setting"));
    takeNumber(&form, "1", "2", "03");
    QVERIFY(enabled(&form, "Ok_Bt"));
    QVERIFY(!enabled(&form, "RoomInfo_LV") && !enabled(&form, "Building_Edit"));
    QVERIFY(!freeNumbers(&form).contains("03"));
    QCOMPARE(column(&form, "RoomInfo_Dbg", "SystemRoomStr"), QStringList{"010203"});
    typeCell(&form, 0, "RoomStr", "O'Brien suite");
    typeCell(&form, 0, "RoomTypeStr", "Suite");
    click(&form, "Ok_Bt");

    QVERIFY(hotel.dialogs.messages.isEmpty());
    QCOMPARE(hotel
                 .scalar("select SystemRoomStr || '/' || Room || '/' || Buiding || Floor || "
                         "RoomNumber || '/' || RoomTypeStr from RoomInfo where "
                         "RoomStr='O''Brien suite'")
                 .toString(),
             QStringLiteral("010203/1203/123/Suite"));
    QVERIFY(RoomBoardDirty);
    QVERIFY(!enabled(&form, "Ok_Bt") && enabled(&form, "RoomInfo_LV"));
    QVERIFY(enabled(&form, "Building_Edit") && enabled(&form, "Floor_Edit"));
    QCOMPARE(freeNumbers(&form).size(), 98);
    QVERIFY(!freeNumbers(&form).contains("03"));
    // The door plate is read-only again until the next number is taken.
    QueryGridModel *model = gridModel(&form, "RoomInfo_Dbg");
    QVERIFY(!(model->flags(model->index(0, model->columnOf("RoomStr"))) & Qt::ItemIsEditable));

    // Typed with leading zeros, the lock code keeps them.
    takeNumber(&form, "01", "02", "04");
    QVERIFY(model->flags(model->index(1, model->columnOf("RoomStr"))) & Qt::ItemIsEditable);
    typeCell(&form, 1, "RoomStr", "204");
    click(&form, "Ok_Bt");
    QCOMPARE(hotel.scalar("select Room from RoomInfo where RoomStr='204'"), 10204);
}

void TestSetup::newRoomRefusals()
{
    TestHotel hotel(false);
    addRoomRow(hotel, 1, 1, 1, "101", 1101);
    addRoomRow(hotel, 1, 12, 3, "1203", 11203);
    TRoomInfo_Form form;
    form.show();
    const int rooms = 2;

    struct Case
    {
        const char *building, *floor, *number, *plate, *message;
    };
    const Case cases[] = {
        {"1", "2", "05", "", "you must enter doorplate no."},
        {"1", "2", "05", "   ", "you must enter doorplate no."},
        {"1", "2", "05", "101", "Doorplate 101has exist!"},
        {"1", "2", "05", " 101 ", "Doorplate 101has exist!"},
        {"11", "2", "03", "B-203", "Lock code 11203 is already used by doorplate 1203!"},
    };
    for (const Case &c : cases) {
        hotel.dialogs.clear();
        RoomBoardDirty = false;
        takeNumber(&form, c.building, c.floor, c.number);
        typeCell(&form, rooms, "RoomStr", c.plate);
        click(&form, "Ok_Bt");
        QCOMPARE(hotel.dialogs.texts(), QStringList{c.message});
        QCOMPARE(count(hotel, "select count(*) from RoomInfo"), rooms);
        QCOMPARE(gridModel(&form, "RoomInfo_Dbg")->rowCount(), rooms);
        // Back to choosing, with the number offered again.
        QVERIFY(freeNumbers(&form).contains(c.number));
        QVERIFY(!enabled(&form, "Ok_Bt") && enabled(&form, "RoomInfo_LV"));
        QVERIFY(!RoomBoardDirty);
    }
    // A different letter case is the same door plate.
    hotel.exec("update RoomInfo set RoomStr='A1' where RoomStr='101'");
    QCOMPARE(DoorPlateOwner(dm->conn, " a1"), QStringLiteral("A1"));
    QCOMPARE(AddRoom(dm->conn, MakeNewRoom("3", "3", 3), "a1", {}).refusal,
             RoomRefusal::DoorPlateTaken);
}

void TestSetup::doorPlateEditedInPlace()
{
    TestHotel hotel;
    hotel.exec("update RoomInfo set RoomStr='a1' where RoomStr='101'");
    TRoomInfo_Form form;
    form.show();
    // Another room's door plate, in another letter case: refused, both rooms keep theirs.
    const int row = rowOf(&form, "102");
    clickCell(&form, "RoomInfo_Dbg", row);
    QVERIFY(enabled(&form, "Delete_Bt"));
    typeCell(&form, row, "RoomStr", "A1");
    QVERIFY(enabled(&form, "Ok_Bt") && !enabled(&form, "Delete_Bt"));
    QVERIFY(!enabled(&form, "RoomInfo_LV"));
    click(&form, "Ok_Bt");
    QCOMPARE(hotel.dialogs.texts(), QStringList{"Doorplate A1has exist!"});
    QCOMPARE(count(hotel, "select count(*) from RoomInfo where RoomStr in ('a1','102')"), 2);
    QCOMPARE(column(&form, "RoomInfo_Dbg", "RoomStr")[row], QStringLiteral("102"));
    QVERIFY(!enabled(&form, "Ok_Bt"));

    // Its own door plate in another letter case is no duplicate. The boxes are empty, so
    // no free numbers are listed afterwards (and nothing is said about them).
    hotel.dialogs.clear();
    typeCell(&form, rowOf(&form, "a1"), "RoomStr", " A1");
    click(&form, "Ok_Bt");
    QVERIFY(hotel.dialogs.messages.isEmpty());
    QCOMPARE(count(hotel, "select count(*) from RoomInfo where RoomStr='A1'"), 1);
    QVERIFY(RoomBoardDirty);
    // Stored: the door plates are read-only until a number is taken.
    QueryGridModel *model = gridModel(&form, "RoomInfo_Dbg");
    QVERIFY(!model->setData(model->index(row, model->columnOf("RoomStr")), "999"));
}

void TestSetup::pickListInTheGrid()
{
    TestHotel hotel;
    TRoomInfo_Form form;
    form.show();
    auto *view = child<QTableView>(&form, "RoomInfo_Dbg");
    QueryGridModel *model = gridModel(&form, "RoomInfo_Dbg");
    const QModelIndex cell = model->index(rowOf(&form, "101"), model->columnOf("RoomTypeStr"));
    view->setCurrentIndex(cell);
    QVERIFY(!enabled(&form, "Ok_Bt"));
    view->edit(cell);
    auto *box = view->findChild<QComboBox *>("PickList");
    QVERIFY(box);
    // An open editor is an edit under way, before the cell is left.
    QVERIFY(enabled(&form, "Ok_Bt") && !enabled(&form, "Delete_Bt"));
    QStringList items;
    for (int i = 0; i < box->count(); ++i)
        items.append(box->itemText(i));
    QCOMPARE(items, (QStringList{"Standard", "Single", "Suite"}));
    QCOMPARE(box->currentText(), QStringLiteral("Standard"));
    box->setCurrentIndex(2);
    emit box->activated(2);
    QCOMPARE(model->editRow(), cell.row());
    QVERIFY(enabled(&form, "Ok_Bt"));
    click(&form, "Ok_Bt");
    QCOMPARE(hotel.scalar("select RoomTypeStr from RoomInfo where RoomStr='101'").toString(),
             QStringLiteral("Suite"));
}

void TestSetup::databaseRefusalIsShown()
{
    TestHotel hotel(false);
    hotel.exec("create trigger NoRooms before insert on RoomInfo begin "
               "select raise(abort, 'rooms are locked'); end");
    TRoomInfo_Form form;
    form.show();
    takeNumber(&form, "1", "1", "01");
    typeCell(&form, 0, "RoomStr", "101");
    click(&form, "Ok_Bt");
    QCOMPARE(hotel.dialogs.messages.size(), 1);
    QVERIFY2(hotel.dialogs.texts().first().contains("rooms are locked"),
             qPrintable(hotel.dialogs.texts().first()));
    QCOMPARE(hotel.dialogs.messages.first().icon, MsgIcon::Error);
    QVERIFY(!enabled(&form, "Ok_Bt") && enabled(&form, "RoomInfo_LV"));
    QCOMPARE(freeNumbers(&form).size(), 99);
    QCOMPARE(gridModel(&form, "RoomInfo_Dbg")->rowCount(), 0);
}

void TestSetup::deleteRoom()
{
    TestHotel hotel;
    TRoomInfo_Form form;
    form.show();
    QVERIFY(!enabled(&form, "Delete_Bt"));
    clickCell(&form, "RoomInfo_Dbg", rowOf(&form, "205"));
    click(&form, "Delete_Bt");
    QCOMPARE(count(hotel, "select count(*) from RoomInfo where RoomStr='205'"), 0);
    QCOMPARE(count(hotel, "select count(*) from RoomInfo"), 39);
    QCOMPARE(rowOf(&form, "205"), -1);
    QVERIFY(RoomBoardDirty);
}

void TestSetup::roomWithAGuestKeepsItsPlace()
{
    TestHotel hotel;
    hotel.exec("insert into GuestInRecord (Room, RoomStr, GuestInTime, enOverride) values "
               "(1205, '205', '2024-05-01 14:00:00', 0), (1204, '204', '2024-05-01 14:00:00', 1)");
    TRoomInfo_Form form;
    form.show();
    const QString refused =
        QStringLiteral("Room 205 has a guest staying. Check the guest out first; nothing was "
                       "changed.");
    // Neither deleted nor given another door plate.
    clickCell(&form, "RoomInfo_Dbg", rowOf(&form, "205"));
    click(&form, "Delete_Bt");
    QCOMPARE(hotel.dialogs.texts(), QStringList{refused});
    hotel.dialogs.clear();
    const int row = rowOf(&form, "205");
    typeCell(&form, row, "RoomStr", "205A");
    click(&form, "Ok_Bt");
    QCOMPARE(hotel.dialogs.texts(), QStringList{refused});
    QCOMPARE(column(&form, "RoomInfo_Dbg", "RoomStr")[row], QStringLiteral("205"));
    QCOMPARE(count(hotel, "select count(*) from RoomInfo where RoomStr='205'"), 1);
    QVERIFY(!RoomBoardDirty);
    // Its room type may change; a room whose guest has left may go.
    QCOMPARE(UpdateRoom(dm->conn,
                        hotel.scalar("select ID from RoomInfo where RoomStr='205'").toLongLong(),
                        {{"RoomTypeStr", "Suite"}})
                 .refusal,
             RoomRefusal::None);
    hotel.dialogs.clear();
    clickCell(&form, "RoomInfo_Dbg", rowOf(&form, "204"));
    click(&form, "Delete_Bt");
    QVERIFY(hotel.dialogs.messages.isEmpty());
    QCOMPARE(count(hotel, "select count(*) from RoomInfo where RoomStr='204'"), 0);
}

void TestSetup::newRoomContinuesItsLocksSerials()
{
    TestHotel hotel;
    // Guest cards of lock 1-2-05 up to serial 300 (0x12C), an extension card (serial 0); a
    // floor card and another lock's guest card do not count.
    hotel.exec("insert into MakeCardRecord (Rom, CardType) values ('01020500000005', 4), "
               "('0102050000012C', 4), ('01020500000000', 4), ('0102050500FFFF', 5), "
               "('01020600000FFF', 4)");
    hotel.exec("delete from RoomInfo where RoomStr='205'");
    TRoomInfo_Form form;
    form.show();
    takeNumber(&form, "1", "2", "05");
    typeCell(&form, 39, "RoomStr", "B-205");
    click(&form, "Ok_Bt");
    QCOMPARE(count(hotel, "select CardSn from RoomInfo where RoomStr='B-205'"), 300);
    // A lock without recorded cards starts at 0.
    const RoomStore fresh = AddRoom(dm->conn, MakeNewRoom("3", "3", 3), "333", {});
    QCOMPARE(fresh.refusal, RoomRefusal::None);
    QCOMPARE(count(hotel, "select CardSn from RoomInfo where RoomStr='333'"), 0);
}

// --- districts ---

void TestSetup::districts()
{
    TestHotel hotel;
    TDistrictSetting_Form form;
    form.show();
    QCOMPARE(form.windowTitle(), QStringLiteral("Group Setting"));
    QVERIFY(!enabled(&form, "Dn_Edit") && !enabled(&form, "Save_Bt"));
    click(&form, "Add_Bt");
    QVERIFY(enabled(&form, "Dn_Edit") && !enabled(&form, "Save_Bt"));
    QVERIFY(!enabled(&form, "Add_Bt") && !enabled(&form, "Delete_Bt"));
    type(&form, "Dn_Edit", "3");
    QVERIFY(enabled(&form, "Save_Bt"));
    click(&form, "Save_Bt"); // an empty description
    QCOMPARE(column(&form, "DBGrid1", "DistrictNumber"), (QStringList{"1", "2", "3"}));
    QCOMPARE(hotel.scalar("select Notes from District where DistrictNumber=3"), QVariant(""));
    QVERIFY(!enabled(&form, "Dn_Edit") && enabled(&form, "Add_Bt"));

    // The group card page's list offers it.
    QStringList groups;
    dm->GetDataTypeItems(6, groups, QString());
    QVERIFY(groups.contains("3"));

    // An existing number, however written, stays open for another.
    click(&form, "Add_Bt");
    for (const char *number : {"3", "03", " 3"}) {
        hotel.dialogs.clear();
        type(&form, "Dn_Edit", number);
        click(&form, "Save_Bt");
        QCOMPARE(hotel.dialogs.texts(), QStringList{"this group no. has exist"});
        QVERIFY(enabled(&form, "Dn_Edit"));
    }
    type(&form, "Dn_Edit", "12");
    type(&form, "Notes_Edit", "Pool's side");
    click(&form, "Save_Bt");
    QCOMPARE(hotel.scalar("select Notes from District where DistrictNumber=12"),
             QVariant("Pool's side"));

    // Deleting every group leaves an empty list.
    for (int i = 0; i < 4; ++i) {
        clickCell(&form, "DBGrid1", 0);
        click(&form, "Delete_Bt");
    }
    QCOMPARE(column(&form, "DBGrid1", "DistrictNumber"), QStringList());
    dm->GetDataTypeItems(6, groups, QString());
    QCOMPARE(groups, QStringList());
}

void TestSetup::districtNumbersRefused_data()
{
    QTest::addColumn<QString>("number");
    QTest::newRow("statement") << "1 or 1=1";
    QTest::newRow("letters") << "abc";
    QTest::newRow("decimal") << "3.5";
    QTest::newRow("quote") << "3'";
    QTest::newRow("negative") << "-5";
    QTest::newRow("zero") << "0";
    QTest::newRow("100") << "100";
    QTest::newRow("beyond a card word") << "70000";
}

void TestSetup::districtNumbersRefused()
{
    QFETCH(QString, number);
    TestHotel hotel;
    TDistrictSetting_Form form;
    click(&form, "Add_Bt");
    type(&form, "Dn_Edit", number);
    click(&form, "Save_Bt");
    QCOMPARE(hotel.dialogs.texts(), QStringList{"Group no. must be a whole number from 1 to 99"});
    QCOMPARE(count(hotel, "select count(*) from District"), 2);
    QVERIFY(enabled(&form, "Dn_Edit") && enabled(&form, "Save_Bt"));
    QCOMPARE(SaveDistrict(dm->conn, number, "x"), DistrictSave::NotANumber);
    QCOMPARE(count(hotel, "select count(*) from District"), 2);
    QCOMPARE(SaveDistrict(dm->conn, "99", "x"), DistrictSave::Stored);
}

void TestSetup::roomIndexesAddedToAnOlderFile()
{
    TestHotel hotel(false);
    auto indexes = [&] {
        return hotel
            .scalar("select group_concat(name || ':' || \"unique\", ' ') from "
                    "(select * from pragma_index_list('RoomInfo') where name in "
                    "('RoomInfo_RoomStr', 'RoomInfo_Room') order by name)")
            .toString();
    };
    QCOMPARE(indexes(), QStringLiteral("RoomInfo_Room:1 RoomInfo_RoomStr:1"));
    // A file of an earlier release: the same indexes, not unique.
    auto older = [&] {
        hotel.exec("drop index RoomInfo_RoomStr");
        hotel.exec("drop index RoomInfo_Room");
        hotel.exec("create index RoomInfo_RoomStr on RoomInfo (RoomStr)");
        hotel.exec("create index RoomInfo_Room on RoomInfo (Room)");
    };
    older();
    addRoomRow(hotel, 1, 1, 1, "A101", 1101);
    addRoomRow(hotel, 1, 1, 2, "a101", 1102); // the same door plate in another case
    QVERIFY(OpenDatabaseFile(hotel.dbPath()));
    QCOMPARE(indexes(), QStringLiteral("RoomInfo_Room:1 RoomInfo_RoomStr:0"));
    hotel.exec("update RoomInfo set RoomStr='102' where Room=1102");
    QVERIFY(OpenDatabaseFile(hotel.dbPath()));
    QCOMPARE(indexes(), QStringLiteral("RoomInfo_Room:1 RoomInfo_RoomStr:1"));
    // The database keeps them apart where a check was passed by.
    QVERIFY_THROWS_EXCEPTION(DbError,
                             InsertRow(dm->conn, "RoomInfo", {{"RoomStr", "a101"}, {"Room", 9}}));
    QVERIFY_THROWS_EXCEPTION(DbError,
                             InsertRow(dm->conn, "RoomInfo", {{"RoomStr", "9"}, {"Room", 1101}}));

    // A file another program is writing opens as it is.
    older();
    {
        QSqlDatabase other = QSqlDatabase::addDatabase("QSQLITE", "other-program");
        other.setDatabaseName(hotel.dbPath());
        QVERIFY(other.open());
        QVERIFY(QSqlQuery(other).exec("BEGIN IMMEDIATE"));
        QVERIFY(OpenDatabaseFile(hotel.dbPath()));
        QCOMPARE(indexes(), QStringLiteral("RoomInfo_Room:0 RoomInfo_RoomStr:0"));
        other.close();
    }
    QSqlDatabase::removeDatabase("other-program");
    QVERIFY(hotel.dialogs.messages.isEmpty());
    // Statements wait for other programs again.
    QCOMPARE(hotel.scalar("pragma busy_timeout").toInt(), kFileBusyTimeoutMs);
}

QUENMAR_TEST_MAIN(TestSetup)
#include "test_setup.moc"
