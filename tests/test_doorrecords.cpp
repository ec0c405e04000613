// Door openings: reading a data card into the room's log, the log browser, and the printed
// door-opening report.
#include "app/application.h"
#include "cards/bookkeeping.h"
#include "data/appdir.h"
#include "data/settings.h"
#include "kestrune/kestrune.h"
#include "print/print.h"
#include "staffcards/opendoorrecordform.h"
#include "staffcards/opendoorrecords.h"
#include "staffcards/readdatacardform.h"
#include "support/testhotel.h"
#include "ui/querygridmodel.h"

#include <QAction>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QProcess>
#include <QPushButton>
#include <QRegularExpression>
#include <QSqlQuery>
#include <QStatusBar>
#include <QTableView>
#include <QTest>

namespace {

// A hotel with an encoder on COM1.
struct FrontDesk
{
    TestHotel hotel;
    VirtualEncoder encoder;
    FrontDesk()
    {
        hotel.logOnAdministrator("amy");
        encoder.connectOn(1, "0A0B0C0D");
        MakeCardOpenPort(1);
        CardBusy = false;
    }

    // Lays a data card of the lock "building,floor,room" holding these openings
    // (CARDTYPE,W0,W1,W2,W3,YEAR,MONTH,DAY,HOUR,MINUTE per line).
    void putDataCard(const QString &lock, const QStringList &openings)
    {
        const QString file = hotel.dir() + QStringLiteral("/openings.txt");
        QFile f(file);
        f.open(QIODevice::WriteOnly | QIODevice::Truncate);
        f.write(openings.join('\n').toUtf8() + '\n');
        f.close();
        encoder.run({"put-data-card", "--lock", lock, file});
    }

    void storeOpening(const QString &room, const QString &rom, const QString &time)
    {
        hotel.exec(QStringLiteral("insert into OpenDoorRecord (RoomStr, Rom, OpenTime, CardType, "
                                  "CardTypeStr, CardHolderStr, MakeName) values ('%1', '%2', "
                                  "'%3', 10, 'Master card', 'None', 'None')")
                       .arg(room, rom, time));
    }

    // Every stored opening as "RoomStr|Rom|OpenTime|CardType|CardTypeStr|Holder|MakeName".
    QStringList log()
    {
        QSqlQuery q(hotel.module.conn.database());
        q.exec("select RoomStr, Rom, OpenTime, CardType, CardTypeStr, CardHolderStr, MakeName "
               "from OpenDoorRecord order by ID");
        QStringList rows;
        while (q.next()) {
            QStringList cells;
            for (int i = 0; i < 7; ++i)
                cells.append(q.value(i).isNull() ? QStringLiteral("<null>")
                                                 : q.value(i).toString());
            rows.append(cells.join('|'));
        }
        return rows;
    }

    // Presses "Click to read" and returns the form's status text.
    QString read()
    {
        TReadDataCard_Form form;
        child<QPushButton>(&form, "ReadDataCard_Bt")->click();
        return child<QLabel>(&form, "Label1")->text();
    }
};

const QString kFailure = QStringLiteral("Operating failed or no opening records!");

QString panel0(QWidget *form)
{
    return child<QStatusBar>(form, "StatusBar1")->findChild<QLabel *>("StatusBar1_Panel0")->text();
}

using Setup = std::function<void(FrontDesk &)>;

// The card library's reader of one opening, failing its Nth call with a given result (the
// card taken off, a damaged card).
struct FailingOpening
{
    static inline int failAt = 0, result = 0, calls = 0;
    static int16_t read(uint16_t *building, uint16_t *floor, uint16_t *unused1, uint16_t *unused2,
                        uint16_t *address, uint16_t *cardType, uint16_t *time, uint16_t *serial)
    {
        if (++calls == failAt)
            return int16_t(result);
        return ReadOneOpenDoorRecord(building, floor, unused1, unused2, address, cardType, time,
                                     serial);
    }
    FailingOpening(int n, int failure)
    {
        failAt = n;
        result = failure;
        calls = 0;
        ReadOneOpening = read;
    }
    ~FailingOpening() { ReadOneOpening = ReadOneOpenDoorRecord; }
    FailingOpening(const FailingOpening &) = delete;
    FailingOpening &operator=(const FailingOpening &) = delete;
};

} // namespace

Q_DECLARE_METATYPE(Setup)

class TestDoorRecords : public QObject
{
    Q_OBJECT
private slots:
    void openingRomText();
    void readingReplacesOnlyTheRoomsLog();
    void failedImportChangesNothing_data();
    void failedImportChangesNothing();
    void readBrokenOffChangesNothing();
    void browserListsCountsAndDeletesById();
    void pickerLeavesTheLastChosenRoom();
    void doorReportHasEveryRowOnNumberedPages();
    void printWithoutTheLibraryTellsTheOperator();
    void printOpensThePreview();
    void previewSavesItsPageLayout();
    void enterListsTheRoomAndTimesShowWhole();
};

void TestDoorRecords::openingRomText()
{
    const struct
    {
        uint16_t type;
        uint16_t serial[4];
        const char *rom;
    } cases[] = {
        {2, {5, 1, 0, 0}, "00000000"},      // time card
        {4, {5, 0, 0, 7}, "07000005"},      // guest card keeps word 3
        {10, {0x2C, 1, 0, 0}, "0A00012C"},  // master card: type in word 3
        {3, {0x100, 0, 0, 9}, "030000100"}, // wide words keep every digit
    };
    for (const auto &c : cases)
        QCOMPARE(OpeningRom(c.type, c.serial), QString::fromLatin1(c.rom));
}

void TestDoorRecords::readingReplacesOnlyTheRoomsLog()
{
    FrontDesk desk;
    desk.storeOpening("101", "OLD1", "2024-04-01 08:00:00");
    desk.storeOpening("101", "OLD2", "2024-04-01 09:00:00");
    desk.storeOpening("102", "KEEP", "2024-04-01 10:00:00");
    // Two issue records of the same guest card: the newer one names the holder.
    desk.hotel.exec("insert into MakeCardRecord (Rom, CardType, Holder, MakeName) values "
                    "('01010100000005', 4, 'Old guest', 'Bob'), "
                    "('01010100000005', 4, 'Li Wei', 'Amy'), "
                    "('00000005', 4, 'Not this one', 'Nobody')");
    desk.putDataCard("1,1,1", {
                                  "2,5,1,0,0,2024,5,2,8,15",    // time card
                                  "4,5,0,0,0,2024,5,2,9,30",    // guest card of room 101
                                  "10,44,1,0,0,2024,5,2,10,0",  // master card, never issued
                                  "9,1,0,0,0,2024,5,2,11,0",    // a type the hotel does not know
                                  "4,5,0,0,0,2024,2,30,12,0",   // no such day
                                  "10,44,1,0,0,2024,5,2,13,45", // after the bad one
                              });

    QCOMPARE(desk.read(), QStringLiteral("Ok!"));
    QCOMPARE(desk.log(), (QStringList{
                             "102|KEEP|2024-04-01 10:00:00|10|Master card|None|None",
                             "101|00000000|2024-05-02 08:15:00|2|Time card|None|None",
                             "101|00000005|2024-05-02 09:30:00|4|Guest card|Li Wei|Amy",
                             "101|0A00012C|2024-05-02 10:00:00|10|Master card|None|None",
                             "101|09000001|2024-05-02 11:00:00|9|None|None|None",
                             "101|00000005|<null>|4|Guest card|Li Wei|Amy",
                             "101|0A00012C|2024-05-02 13:45:00|10|Master card|None|None",
                         }));
    // One message for the bad record, naming its number and its values.
    QCOMPARE(desk.hotel.dialogs.messages.size(), 1);
    const QString told = desk.hotel.dialogs.messages[0].text;
    for (const char *part : {"Record 5", "year 2024", "month 2", "day 30", "hour 12", "minute 0"})
        QVERIFY2(told.contains(QLatin1String(part)), qPrintable(told));

    // A second read of the same card stores the same log again, not twice.
    desk.hotel.dialogs.clear();
    const QStringList first = desk.log();
    QCOMPARE(desk.read(), QStringLiteral("Ok!"));
    QCOMPARE(desk.log().size(), first.size());
}

void TestDoorRecords::failedImportChangesNothing_data()
{
    QTest::addColumn<Setup>("setup");
    QTest::addColumn<QString>("label");
    QTest::addColumn<QString>("told"); // part of the one message shown, or empty for none

    const QStringList card{"10,44,1,0,0,2024,5,2,10,0", "2,1,0,0,0,2024,5,2,11,0"};
    QTest::newRow("blank card") << Setup([](FrontDesk &d) { d.encoder.putBlank(); }) << kFailure
                                << "";
    QTest::newRow("no card") << Setup([](FrontDesk &) {}) << kFailure << "";
    QTest::newRow("data card without openings")
        << Setup([](FrontDesk &d) { d.putDataCard("1,1,1", {}); }) << kFailure << "";
    QTest::newRow("no encoder") << Setup([card](FrontDesk &d) {
        d.putDataCard("1,1,1", card);
        d.encoder.run({"disconnect"});
    }) << kFailure << "";
    QTest::newRow("lock of no room")
        << Setup([card](FrontDesk &d) { d.putDataCard("9,8,7", card); }) << kFailure
        << "building 9, floor 8, room 7";
    QTest::newRow("database error while storing") << Setup([card](FrontDesk &d) {
        d.putDataCard("1,1,1", card);
        d.hotel.exec("create trigger fail before insert on OpenDoorRecord when new.CardType=2 "
                     "begin select raise(abort, 'disk is full'); end");
    }) << ""
                                                  << "disk is full";
    QTest::newRow("lookup fails") << Setup([card](FrontDesk &d) {
        d.putDataCard("1,1,1", card);
        d.hotel.exec("alter table KeyKindTable rename to KeyKindGone");
    }) << ""
                                  << "KeyKindTable";
}

void TestDoorRecords::failedImportChangesNothing()
{
    QFETCH(Setup, setup);
    QFETCH(QString, label);
    QFETCH(QString, told);

    FrontDesk desk;
    desk.storeOpening("101", "OLD1", "2024-04-01 08:00:00");
    desk.storeOpening("101", "OLD2", "2024-04-01 09:00:00");
    const QStringList before = desk.log();
    setup(desk);
    QCOMPARE(desk.read(), label);
    QCOMPARE(desk.log(), before);
    if (told.isEmpty()) {
        QVERIFY(desk.hotel.dialogs.messages.isEmpty());
    } else {
        QCOMPARE(desk.hotel.dialogs.messages.size(), 1);
        QVERIFY2(desk.hotel.dialogs.messages[0].text.contains(told),
                 qPrintable(desk.hotel.dialogs.messages[0].text));
    }
}

void TestDoorRecords::readBrokenOffChangesNothing()
{
    FrontDesk desk;
    desk.storeOpening("101", "OLD1", "2024-04-01 08:00:00");
    desk.storeOpening("101", "OLD2", "2024-04-01 09:00:00");
    QStringList card;
    for (int i = 0; i < 50; ++i)
        card << QStringLiteral("10,%1,0,0,0,2024,5,2,%2,%3").arg(i + 1).arg(8 + i / 60).arg(i % 60);
    desk.putDataCard("1,1,1", card);
    const QStringList before = desk.log();

    // The first, the 21st and the last opening fail: nothing is deleted or stored, and the
    // status line says why.
    const struct
    {
        int n, result;
        const char *text;
    } cases[] = {{1, -1, "No Card!"}, {21, -15, "Failure!"}, {50, -1, "No Card!"}};
    for (const auto &c : cases) {
        const FailingOpening failing(c.n, c.result);
        QCOMPARE(desk.read(), QString::fromLatin1(c.text));
        QCOMPARE(FailingOpening::calls, c.n);
        QCOMPARE(desk.log(), before);
    }
    QVERIFY(desk.hotel.dialogs.messages.isEmpty());

    // Read to its end, the same card replaces the room's log.
    QCOMPARE(desk.read(), QStringLiteral("Ok!"));
    QCOMPARE(desk.log().size(), 50);
}

void TestDoorRecords::browserListsCountsAndDeletesById()
{
    FrontDesk desk;
    desk.storeOpening("101", "C", "2024-05-02 12:00:00");
    desk.storeOpening("101", "A", "2024-05-02 08:00:00");
    desk.storeOpening("101", "B", "2024-05-02 09:00:00");
    desk.storeOpening("101", "B", "2024-05-02 09:00:00"); // the same card in the same minute
    desk.storeOpening("102", "X", "2024-05-02 08:30:00");

    TOpenDoorRecord_Form form;
    QCOMPARE(form.objectName(), QStringLiteral("OpenDoorRecord_Form"));
    QTableView *grid = child<QTableView>(&form, "OpenDoorRecord_DBGrid");
    QCOMPARE(grid->model()->rowCount(), 0); // nothing until "Ok"
    const QStringList titles{"Card type", "Card no.", "Card holder", "Opening time", "user"};
    for (int c = 0; c < titles.size(); ++c)
        QCOMPARE(grid->model()->headerData(c, Qt::Horizontal).toString(), titles[c]);

    auto listed = [grid] {
        QStringList roms;
        for (int r = 0; r < grid->model()->rowCount(); ++r)
            roms.append(grid->model()->index(r, 1).data().toString());
        return roms;
    };
    child<QLineEdit>(&form, "Room_Edit")->setText("101");
    child<QPushButton>(&form, "Query_Bt")->click();
    QCOMPARE(listed(), (QStringList{"A", "B", "B", "C"}));
    QCOMPARE(panel0(&form), QStringLiteral("   1 / 4"));

    // Deleting one of two equal rows leaves the other.
    grid->selectRow(2);
    QCOMPARE(panel0(&form), QStringLiteral("   3 / 4"));
    child<QPushButton>(&form, "BitBtn1")->click();
    QCOMPARE(listed(), (QStringList{"A", "B", "C"}));
    QCOMPARE(desk.hotel.scalar("select count(*) from OpenDoorRecord").toInt(), 4);
    grid->selectRow(1);
    QCOMPARE(panel0(&form), QStringLiteral("   2 / 3"));

    // The edit is read only by "Ok"; a door plate with an apostrophe lists nothing.
    child<QLineEdit>(&form, "Room_Edit")->setText("1'01");
    child<QPushButton>(&form, "BitBtn1")->click();
    QCOMPARE(listed(), (QStringList{"A", "C"}));
    child<QPushButton>(&form, "Query_Bt")->click();
    QCOMPARE(listed(), QStringList());
    QCOMPARE(panel0(&form), QStringLiteral("   0 / 0"));
    child<QPushButton>(&form, "BitBtn1")->click(); // nothing selected: nothing happens
    QVERIFY(desk.hotel.dialogs.messages.isEmpty());
}

void TestDoorRecords::pickerLeavesTheLastChosenRoom()
{
    FrontDesk desk;
    desk.storeOpening("101", "A", "2024-05-02 08:00:00");
    TOpenDoorRecord_Form form;
    child<QLineEdit>(&form, "Room_Edit")->setText("101");
    child<QPushButton>(&form, "Query_Bt")->click();
    WhenModalOpens("RoomList_Form", [](QWidget *picker) {
        QTableView *view = child<QTableView>(picker, "RoomInfo_DBGrid");
        for (int row : {4, 2}) {
            const QRect rect = view->visualRect(view->model()->index(row, 0));
            QTest::mouseClick(view->viewport(), Qt::LeftButton, Qt::ControlModifier, rect.center());
        }
        child<QPushButton>(picker, "Confirm_Bt")->click();
    });
    child<QPushButton>(&form, "RoomList_Bt")->click();
    // Rows 103 and 105 were chosen: the later in the list remains.
    QCOMPARE(child<QLineEdit>(&form, "Room_Edit")->text(), QStringLiteral("105"));
    // The list is not refreshed until "Ok".
    QCOMPARE(child<QTableView>(&form, "OpenDoorRecord_DBGrid")->model()->rowCount(), 1);
}

void TestDoorRecords::doorReportHasEveryRowOnNumberedPages()
{
    FrontDesk desk;
    for (int i = 0; i < 130; ++i)
        desk.storeOpening("101", QStringLiteral("R%1").arg(i, 3, 10, QChar('0')),
                          QStringLiteral("2024-05-02 %1:%2:00")
                              .arg(8 + i / 60, 2, 10, QChar('0'))
                              .arg(i % 60, 2, 10, QChar('0')));
    LockSystemInfo.HotelName = QStringLiteral("Harbour View Hotel");
    TOpenDoorRecord_Form form;
    child<QLineEdit>(&form, "Room_Edit")->setText("101");
    child<QPushButton>(&form, "Query_Bt")->click();
    auto *model = child<QTableView>(&form, "OpenDoorRecord_DBGrid")->model();
    model->setProperty("HotelName", LockSystemInfo.HotelName);
    model->setProperty("RoomStr", QStringLiteral("101"));

    const QString file = desk.hotel.dir() + QStringLiteral("/doors.pdf");
    QVERIFY(SaveReportPdf(model, PRINT_OPEN_DOOR_RECORDS, file));
    const QString text = PdfText(file);
    QVERIFY(text.contains("Harbour View Hotel"));
    QVERIFY(text.contains("Room no.: 101"));
    QVERIFY(text.contains("Printed: "));
    const QStringList pages = text.split('\f', Qt::SkipEmptyParts);
    QVERIFY2(pages.size() >= 3, qPrintable(QString::number(pages.size())));
    for (int p = 0; p < pages.size(); ++p) {
        QVERIFY(pages[p].contains(QStringLiteral("Page %1 of %2").arg(p + 1).arg(pages.size())));
        QVERIFY(pages[p].contains("Opening time")); // column titles on every page
    }
    for (int i = 0; i < 130; ++i) // every row once: none cut at a page break
        QCOMPARE(text.count(QStringLiteral("R%1").arg(i, 3, 10, QChar('0'))), 1);
    QVERIFY(text.contains("2024-05-02 10:09:00"));

    // Not a list, or not a known report: nothing is written.
    QVERIFY(!SaveReportPdf(nullptr, PRINT_OPEN_DOOR_RECORDS, file + "x"));
    QVERIFY(!SaveReportPdf(model, 7, file + "x"));
    QVERIFY(!QFile::exists(file + "x"));
}

void TestDoorRecords::printWithoutTheLibraryTellsTheOperator()
{
    FrontDesk desk; // its program folder has no Dll/
    TOpenDoorRecord_Form form;
    child<QPushButton>(&form, "Print_Bt")->click();
    QCOMPARE(desk.hotel.dialogs.messages.size(), 1);
    QVERIFY(desk.hotel.dialogs.messages[0].text.contains("libPrint.so"));
    QVERIFY(desk.hotel.dialogs.messages[0].text.contains("could not be loaded"));

    // A library without the entry.
    QDir(desk.hotel.dir()).mkpath("Dll");
    QVERIFY(QFile::link(QStringLiteral(QUENMAR_STAGE_DIR "/libKestrune.so"),
                        desk.hotel.dir() + "/Dll/libPrint.so"));
    desk.hotel.dialogs.clear();
    child<QPushButton>(&form, "Print_Bt")->click();
    QCOMPARE(desk.hotel.dialogs.messages.size(), 1);
    QVERIFY(desk.hotel.dialogs.messages[0].text.contains("has no entry PrintForm_Show"));
}

void TestDoorRecords::printOpensThePreview()
{
    FrontDesk desk;
    desk.hotel.installMessageLibrary(); // links the staged Dll/ folder
    desk.storeOpening("101", "A", "2024-05-02 08:00:00");
    TOpenDoorRecord_Form form;
    child<QLineEdit>(&form, "Room_Edit")->setText("101");
    child<QPushButton>(&form, "Query_Bt")->click();
    bool shown = false;
    WhenModalOpens("PrintPreview_Form", [&](QWidget *preview) {
        shown = true;
        QVERIFY(preview->windowTitle().contains("Door opening records"));
        static_cast<QDialog *>(preview)->reject();
    });
    child<QPushButton>(&form, "Print_Bt")->click();
    QVERIFY(shown);
    QVERIFY(desk.hotel.dialogs.messages.isEmpty());
}

void TestDoorRecords::enterListsTheRoomAndTimesShowWhole()
{
    FrontDesk desk;
    desk.storeOpening("101", "0A00012C", "2024-05-02 08:00:00");
    TOpenDoorRecord_Form form;
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    auto *room = child<QLineEdit>(&form, "Room_Edit");
    room->setText("101");
    QTest::keyClick(room, Qt::Key_Return);
    auto *grid = child<QTableView>(&form, "OpenDoorRecord_DBGrid");
    QCOMPARE(grid->model()->rowCount(), 1);
    // At the form's own size the opening time and the card number are not cut.
    for (int column : {1, 3}) {
        const QString text = grid->model()->index(0, column).data().toString();
        QVERIFY2(grid->columnWidth(column) > grid->fontMetrics().horizontalAdvance(text) + 6,
                 qPrintable(text));
    }
}

// "Save PDF..." in the preview writes the page layout the operator chose there.
void TestDoorRecords::previewSavesItsPageLayout()
{
    FrontDesk desk;
    desk.hotel.installMessageLibrary(); // links the staged Dll/ folder
    desk.storeOpening("101", "A", "2024-05-02 08:00:00");
    TOpenDoorRecord_Form form;
    child<QLineEdit>(&form, "Room_Edit")->setText("101");
    child<QPushButton>(&form, "Query_Bt")->click();
    const QString file = desk.hotel.dir() + "/chosen"; // the dialog adds ".pdf"
    WhenModalOpens("PrintPreview_Form", [&](QWidget *preview) {
        for (QAction *action : preview->findChildren<QAction *>())
            if (action->text() == QStringLiteral("Landscape"))
                action->trigger();
        WhenModalOpens("SavePdf_Dialog", [&](QWidget *dialog) {
            static_cast<QFileDialog *>(dialog)->selectFile(file);
            static_cast<QDialog *>(dialog)->accept();
        });
        preview->findChild<QAction *>("SavePdf_Action")->trigger();
        static_cast<QDialog *>(preview)->reject();
    });
    child<QPushButton>(&form, "Print_Bt")->click();
    QVERIFY(QFile::exists(file + ".pdf"));
    QProcess info;
    info.start(QStringLiteral("pdfinfo"), {file + ".pdf"});
    QVERIFY(info.waitForFinished(30000));
    const QString told = QString::fromUtf8(info.readAllStandardOutput());
    QVERIFY2(told.contains(QRegularExpression("Page size: +84\\d(\\.\\d+)? x 595(\\.\\d+)? pts")),
             qPrintable(told));
    QVERIFY(PdfText(file + ".pdf").contains("Room no.: 101"));
}

QUENMAR_TEST_MAIN(TestDoorRecords)
#include "test_doorrecords.moc"
