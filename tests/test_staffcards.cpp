// Staff and function cards, reading and revoking cards, against the real card library in a
// temporary encoder folder.
#include "app/application.h"
#include "app/mainform.h"
#include "cards/bookkeeping.h"
#include "cards/cardcommand.h"
#include "data/clock.h"
#include "data/rights.h"
#include "data/settings.h"
#include "kestrune/kestrune.h"
#include "staffcards/checkcardform.h"
#include "staffcards/makecardform.h"
#include "staffcards/staffcards.h"
#include "support/testhotel.h"
#include "ui/errorguard.h"

#include <QAction>
#include <QComboBox>
#include <QDateEdit>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QPushButton>
#include <QRadioButton>
#include <QTabBar>
#include <QTabWidget>
#include <QTest>
#include <QTimeEdit>
#include <QToolButton>

namespace {

const QDateTime kNow(QDate(2024, 5, 2), QTime(9, 0));

// A hotel at 2024-05-02 09:00, an operator with every right, an encoder with a blank card.
struct CardDesk
{
    TestHotel hotel;
    VirtualEncoder encoder;
    explicit CardDesk(const QString &kind = QStringLiteral("3"))
    {
        hotel.logOnAdministrator("amy");
        hotel.installMessageLibrary();
        SetNow(kNow);
        LockSystemInfo.LeaveTime = QTime(12, 0);
        encoder.run({"connect", "--kind", kind, "--code", "0A0B0C0D"});
        MakeCardOpenPort(1);
        encoder.putBlank();
        CardBusy = false;
    }
    int count(const QString &sql) { return hotel.scalar(sql).toInt(); }
    QString text(const QString &sql) { return hotel.scalar(sql).toString(); }
    bool cardIsBlank() { return encoder.run({"show"}).trimmed() == "blank card"; }
    // Nothing was issued: no record, no counter moved, the card still blank.
    bool nothingIssued()
    {
        return count("select count(*) from MakeCardRecord") == 0 &&
               count("select sum(CardSn) from AllCardSn") == 0 && cardIsBlank();
    }
};

QString issue(TMakeCard_Form &form, int page)
{
    form.SetPage(page);
    CardBusy = false;
    child<QPushButton>(&form, "Encode_Bt")->click();
    return child<QLabel>(&form, "Prompt_Label")->text();
}

void choose(QWidget *form, const char *list, const QString &value)
{
    auto *box = child<QComboBox>(form, list);
    const int i = box->findText(value);
    QVERIFY2(i >= 0, qPrintable(value));
    box->setCurrentIndex(i);
}

void setEnd(QWidget *form, const char *date, const char *time, const QDateTime &end)
{
    child<QDateEdit>(form, date)->setDate(end.date());
    child<QTimeEdit>(form, time)->setTime(end.time());
}

QString read(TCheckCardForm &form)
{
    CardBusy = false;
    child<QPushButton>(&form, "ReadCard_Bt")->click();
    return child<QLabel>(&form, "Prompt_Label")->text();
}

QString field(QWidget *form, const char *name)
{
    return child<QLineEdit>(form, name)->text();
}

// Writes a card straight through the card library, as another workstation would have.
void writeCard(MakeCardCall make, CardRecord r)
{
    r.enOverride = 1;
    DateTimeToCardTime(r.StartTime, kNow);
    DateTimeToCardTime(r.EndTime, kNow.addDays(1));
    QCOMPARE(make(r.SerialWords, r.ReservedA, r.BuildingNo, r.FloorBlock, r.DistrictBlock,
                  r.RoomAddr, r.enOverride, r.CardTypeBlock, r.ReservedB, r.StartTime, r.EndTime),
             int16_t(1));
}

CardRecord guestCard(uint16_t serial, uint16_t building, uint16_t floor, uint16_t room)
{
    CardRecord r{};
    r.SerialWords[0] = serial;
    r.BuildingNo = building;
    r.FloorBlock[0] = floor;
    r.RoomAddr[0] = room;
    r.RoomAddr[1] = building;
    r.RoomAddr[2] = floor;
    return r;
}

} // namespace

class TestStaffCards : public QObject
{
    Q_OBJECT
private slots:
    void openingDefaultsAndRights();
    void issueFormShowsEveryPageAndIssuesOnTheButtonOnly();
    void everyKind_data();
    void everyKind();
    void timeLimits_data();
    void timeLimits();
    void listChecksTouchNothing();
    void toleranceMovesStartAndEnd();
    void recordContents();
    void failedCardAndFailedRecording();
    void readStaffCard();
    void readGuestCard();
    void readBlankNoCardAndTwice();
    void revokeButtonVisibility();
    void revokeEndsOnlyItsRoomsStay();
    void revokeRefusals();
    void readFormShowsTheCardAsItIs();
    void mainWindowCommands();
    // EndProgram is final for the run: keep this last.
    void vanishedOperatorEndsTheProgram();
};

void TestStaffCards::openingDefaultsAndRights()
{
    CardDesk desk;
    desk.hotel.exec("update Operator set MasterCard=0, PassageCard=1");
    TMakeCard_Form form;
    QCOMPARE(form.windowTitle(), QStringLiteral("Issue card"));
    auto *pages = child<QTabWidget>(&form, "PageControl1");
    QCOMPARE(pages->count(), 10);
    QCOMPARE(pages->tabText(8), QStringLiteral("Loss-report card"));
    QCOMPARE(child<QDateEdit>(&form, "ED_Chief_Dtp")->date(), QDate(2024, 5, 3));
    QCOMPARE(child<QTimeEdit>(&form, "ET_Chief_Dtp")->time(), QTime(12, 0));
    QCOMPARE(child<QDateEdit>(&form, "SD_Chief_Dtp")->date(), QDate(2024, 5, 2));
    QVERIFY(!child<QDateEdit>(&form, "SD_Chief_Dtp")->isEnabled());
    QCOMPARE(child<QDateEdit>(&form, "TimeCardDt_DTP")->date(), QDate(2024, 5, 2));
    QCOMPARE(child<QTimeEdit>(&form, "TimeCardTm_DTP")->time(), QTime(9, 0));
    QCOMPARE(child<QDateEdit>(&form, "ED_OS_DTP")->date(), QDate(2024, 5, 2));
    QCOMPARE(child<QTimeEdit>(&form, "ET_OS_DTP")->time(), QTime(12, 0));
    QCOMPARE(child<QDateEdit>(&form, "ED_Lost_Dtp")->date(), QDate(2024, 5, 2));
    QCOMPARE(child<QTimeEdit>(&form, "ET_Lost_Dtp")->time(), QTime(9, 0));
    QCOMPARE(child<QLineEdit>(&form, "E_H_Chief")->maxLength(), 20);
    QVERIFY(child<QLineEdit>(&form, "E_H_Lost")->maxLength() > 20);
    QVERIFY(child<QRadioButton>(&form, "LostCardType_RB0")->isChecked());
    auto *floors = child<QComboBox>(&form, "Floor_CB");
    QCOMPARE(floors->count(), 3);
    QCOMPARE(floors->currentIndex(), -1);
    QCOMPARE(child<QComboBox>(&form, "District_CB")->count(), 2);

    // The master card page is not this operator's: page and button are disabled, and
    // pressing the button anyway writes nothing.
    auto *encode = child<QPushButton>(&form, "Encode_Bt");
    form.SetPage(2);
    QVERIFY(!pages->widget(2)->isEnabled());
    QVERIFY(!encode->isEnabled());
    CardBusy = false;
    form.Encode_BtClick();
    QVERIFY(desk.nothingIssued());
    form.SetPage(5);
    QVERIFY(pages->widget(5)->isEnabled());
    QVERIFY(encode->isEnabled());
    // The passage setting page is disabled until the rights check enables it.
    QVERIFY(!pages->widget(9)->isEnabled());
    form.SetPage(9);
    QVERIFY(pages->widget(9)->isEnabled());
}

void TestStaffCards::issueFormShowsEveryPageAndIssuesOnTheButtonOnly()
{
    CardDesk desk;
    TMakeCard_Form form;
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    // Every tab shows at the form's own size.
    auto *pages = child<QTabWidget>(&form, "PageControl1");
    for (int i = 0; i < pages->count(); ++i)
        QVERIFY2(pages->tabBar()->tabRect(i).right() < pages->tabBar()->width(),
                 qPrintable(pages->tabText(i)));
    // The workstation's date format; times to the minute, as the cards carry them.
    QCOMPARE(child<QDateEdit>(&form, "ED_Chief_Dtp")->displayFormat(),
             QLocale().dateFormat(QLocale::LongFormat));
    for (QTimeEdit *time : form.findChildren<QTimeEdit *>())
        QVERIFY2(!time->displayFormat().contains('s'), qPrintable(time->objectName()));

    // Enter in a holder box issues nothing; Enter on the issue button issues.
    form.SetPage(5);
    choose(&form, "Buiding_Flc_CB", "1");
    choose(&form, "Floor_CB", "1");
    auto *holder = child<QLineEdit>(&form, "E_H_Floor");
    auto *encode = child<QPushButton>(&form, "Encode_Bt");
    auto *prompt = child<QLabel>(&form, "Prompt_Label");
    holder->setFocus();
    QTest::keyClick(holder, Qt::Key_Return);
    QTest::keyClick(holder, Qt::Key_Enter);
    QVERIFY(desk.nothingIssued());
    QVERIFY(prompt->text().isEmpty());
    QVERIFY(form.isVisible());
    encode->setFocus();
    CardBusy = false;
    QTest::keyClick(encode, Qt::Key_Return);
    QCOMPARE(prompt->text(), QStringLiteral("Success!"));
    QCOMPARE(desk.count("select count(*) from MakeCardRecord"), 1);

    // Another page does not show the result of the page left.
    form.SetPage(2);
    QVERIFY(prompt->text().isEmpty());
}

void TestStaffCards::everyKind_data()
{
    QTest::addColumn<int>("page");
    for (const StaffCardKind &kind : StaffCardKinds())
        QTest::newRow(kind.handler) << kind.page;
}

void TestStaffCards::everyKind()
{
    QFETCH(int, page);
    const StaffCardKind &kind = StaffCardKindOfPage(page);
    QCOMPARE(kind.page, page);
    CardDesk desk;
    // Only the page's own right is given.
    const OperatorRight *right = RightOfCardPage(page);
    QVERIFY(right);
    desk.hotel.exec(
        QStringLiteral("update Operator set %1=0").arg(OperatorRightColumns().join("=0, ")));
    desk.hotel.exec(QStringLiteral("update Operator set %1=1").arg(right->column));
    desk.hotel.exec(
        QStringLiteral("update AllCardSn set CardSn=300 where CardType=%1").arg(kind.counter));

    TMakeCard_Form form;
    choose(&form, "Buiding_CB", "2");
    choose(&form, "Buiding_Flc_CB", "2");
    choose(&form, "Floor_CB", "1");
    choose(&form, "District_CB", "2");
    QCOMPARE(issue(form, page), QStringLiteral("Success!"));

    const QMap<QString, QString> card = desk.encoder.show();
    QCOMPARE(card.value("CardType").toInt(), int(kind.cardType));
    QCOMPARE(card.value("Serial"), QStringLiteral("44 1 0 0"));
    QCOMPARE(card.value("enOverride"), QStringLiteral("1"));
    QCOMPARE(
        desk.count(
            QStringLiteral("select CardSn from AllCardSn where CardType=%1").arg(kind.counter)),
        301);
    QCOMPARE(desk.count("select sum(CardSn) from AllCardSn"), 301);
    QCOMPARE(desk.count("select count(*) from MakeCardRecord"), 1);
    QCOMPARE(desk.count("select CardType from MakeCardRecord"), int(kind.cardType));
    QCOMPARE(desk.text("select Rom from MakeCardRecord"),
             QStringLiteral("%1").arg(kind.cardType, 2, 16, QChar('0')).toUpper() + "00012C");
    QCOMPARE(desk.text("select MakeName from MakeCardRecord"), QStringLiteral("Administrator"));
    QCOMPARE(desk.text("select MakeUser from MakeCardRecord"), QStringLiteral("amy"));
    // The location column of the kind holds its choice; the others stay empty.
    const QMap<QString, int> chosen = {{"Buiding", 2}, {"Floor", 1}, {"District", 2}};
    for (auto it = chosen.begin(); it != chosen.end(); ++it) {
        const QVariant stored =
            desk.hotel.scalar(QStringLiteral("select %1 from MakeCardRecord").arg(it.key()));
        if (kind.locationColumn && it.key() == QLatin1String(kind.locationColumn))
            QCOMPARE(stored.toInt(), it.value());
        else
            QVERIFY2(stored.isNull(), qPrintable(it.key()));
    }
    if (kind.input == StaffCardInput::BuildingFloor) {
        QCOMPARE(card.value("Building"), QStringLiteral("2"));
        QCOMPARE(card.value("Floor"), QStringLiteral("1"));
    }
    if (kind.input == StaffCardInput::Group)
        QCOMPARE(card.value("District"), QStringLiteral("2"));
}

void TestStaffCards::timeLimits_data()
{
    QTest::addColumn<int>("page");
    QTest::addColumn<int>("tolerance");
    QTest::addColumn<QDateTime>("end"); // as set in the pickers
    QTest::addColumn<QString>("refusal");
    const QString hour = "Time must be less than 1 hour";
    const QString day = "Time must be less than 1 day";
    QTest::newRow("time card, 60 minutes") << 0 << 10 << kNow.addSecs(3600) << QString();
    QTest::newRow("time card, 61 minutes") << 0 << 0 << kNow.addSecs(3660) << hour;
    QTest::newRow("time card, 60 minutes 1 second") << 0 << 0 << kNow.addSecs(3601) << hour;
    QTest::newRow("time card, in the past") << 0 << 0 << kNow.addDays(-3) << QString();
    // The loss-report end counts the tolerance.
    QTest::newRow("loss report, one day") << 8 << 10 << kNow.addSecs(86400 - 600) << QString();
    QTest::newRow("loss report, one day and a minute")
        << 8 << 10 << kNow.addSecs(86400 - 540) << day;
    QTest::newRow("loss report, in the past") << 8 << 0 << kNow.addDays(-1) << QString();
}

void TestStaffCards::timeLimits()
{
    QFETCH(int, page);
    QFETCH(int, tolerance);
    QFETCH(QDateTime, end);
    QFETCH(QString, refusal);
    CardDesk desk;
    LockSystemInfo.TimeTolerance = tolerance;
    TMakeCard_Form form;
    if (page == 0)
        setEnd(&form, "TimeCardDt_DTP", "TimeCardTm_DTP", end);
    else
        setEnd(&form, "ED_Lost_Dtp", "ET_Lost_Dtp", end);
    const QString prompt = issue(form, page);
    if (refusal.isEmpty()) {
        QCOMPARE(prompt, QStringLiteral("Success!"));
        QVERIFY(desk.hotel.dialogs.messages.isEmpty());
        // The time card neither adds the tolerance nor starts before now.
        const QDateTime carried = page == 0 ? end : end.addSecs(tolerance * 60);
        QCOMPARE(desk.encoder.show().value("End"), carried.toString("yyyy-MM-dd HH:mm"));
    } else {
        QCOMPARE(prompt, QString());
        QCOMPARE(desk.hotel.dialogs.texts(), QStringList{refusal});
        QVERIFY(desk.nothingIssued());
    }
    LockSystemInfo.TimeTolerance = 0;
}

void TestStaffCards::listChecksTouchNothing()
{
    CardDesk desk;
    // A room without building or floor gives an empty entry in both lists.
    desk.hotel.exec("insert into RoomInfo (Room, RoomStr) values (9999, 'X')");
    TMakeCard_Form form;
    const struct
    {
        int page;
        QStringList choices; // list name, value, ...
        QString message;
    } cases[] = {
        {4, {}, "请选择楼号!"},
        {4, {"Buiding_CB", ""}, "请选择楼号!"},
        {3, {}, "请选择区域!"},
        {5, {}, "Please Select Building!"},
        {5, {"Buiding_Flc_CB", ""}, "Please Select Building!"},
        {5, {"Buiding_Flc_CB", "2"}, "Please select floor!"},
        {5, {"Buiding_Flc_CB", "2", "Floor_CB", ""}, "Please select floor!"},
    };
    for (const auto &c : cases) {
        for (const char *list : {"Buiding_CB", "Buiding_Flc_CB", "Floor_CB", "District_CB"})
            child<QComboBox>(&form, list)->setCurrentIndex(-1);
        for (int i = 0; i < c.choices.size(); i += 2)
            choose(&form, qPrintable(c.choices[i]), c.choices[i + 1]);
        desk.hotel.dialogs.clear();
        QCOMPARE(issue(form, c.page), QString());
        QCOMPARE(desk.hotel.dialogs.texts(), QStringList{c.message});
    }
    QVERIFY(desk.nothingIssued());
}

void TestStaffCards::toleranceMovesStartAndEnd()
{
    CardDesk desk;
    LockSystemInfo.TimeTolerance = 10;
    TMakeCard_Form form;
    QCOMPARE(issue(form, 2), QStringLiteral("Success!"));
    const QMap<QString, QString> card = desk.encoder.show();
    QCOMPARE(card.value("Start"), QStringLiteral("2024-05-02 09:10"));
    QCOMPARE(card.value("End"), QStringLiteral("2024-05-03 12:10"));
    QCOMPARE(desk.text("select StartTime from MakeCardRecord"),
             QStringLiteral("2024-05-02 09:10:00"));
    QCOMPARE(desk.text("select EndTime from MakeCardRecord"),
             QStringLiteral("2024-05-03 12:10:00"));
    LockSystemInfo.TimeTolerance = 0;
}

void TestStaffCards::recordContents()
{
    CardDesk desk;
    TMakeCard_Form form;
    // Holder text reaches the database exactly as typed; a blank holder leaves it unset.
    child<QLineEdit>(&form, "E_H_Emergent")->setText("O'Brien 王小明");
    QCOMPARE(issue(form, 7), QStringLiteral("Success!"));
    desk.encoder.putBlank();
    child<QLineEdit>(&form, "E_H_Os")->setText("   ");
    QCOMPARE(issue(form, 9), QStringLiteral("Success!"));
    QCOMPARE(desk.encoder.show().value("Serial"), QStringLiteral("1 0 0 0"));
    QCOMPARE(desk.text("select group_concat(Rom || ':' || CardType, ' ') from "
                       "(select * from MakeCardRecord order by ID)"),
             QStringLiteral("03000000:3 03000001:3"));
    QCOMPARE(desk.text("select Holder from MakeCardRecord where Rom='03000000'"),
             QStringLiteral("O'Brien 王小明"));
    QVERIFY(desk.hotel.scalar("select Holder from MakeCardRecord where Rom='03000001'").isNull());
    QCOMPARE(desk.text("select Explain from MakeCardRecord where Rom='03000001'"), QString(""));
    QCOMPARE(desk.count("select CardSn from AllCardSn where CardType=4"), 2);

    // Loss report of a master card: lost-card kind 5.
    desk.encoder.putBlank();
    child<QRadioButton>(&form, "LostCardType_RB4")->setChecked(true);
    QCOMPARE(issue(form, 8), QStringLiteral("Success!"));
    QCOMPARE(desk.encoder.show().value("LostKind"), QStringLiteral("5"));
}

void TestStaffCards::failedCardAndFailedRecording()
{
    CardDesk desk;
    TMakeCard_Form form;
    auto *encode = child<QPushButton>(&form, "Encode_Bt");
    desk.encoder.take();
    QCOMPARE(issue(form, 2), QStringLiteral("No Card!"));
    QVERIFY(encode->isEnabled());
    QCOMPARE(desk.count("select count(*) from MakeCardRecord") +
                 desk.count("select sum(CardSn) from AllCardSn"),
             0);

    // A second press while a card command runs is dropped.
    desk.encoder.putBlank();
    CardBusy = true;
    encode->click();
    QVERIFY(desk.cardIsBlank());

    desk.hotel.exec("create trigger refuse before insert on MakeCardRecord "
                    "begin select raise(abort, 'disk is full'); end");
    desk.hotel.dialogs.clear();
    issue(form, 2);
    QCOMPARE(desk.encoder.show().value("CardType"), QStringLiteral("10"));
    QCOMPARE(desk.hotel.dialogs.messages.size(), 1);
    const QString shown = desk.hotel.dialogs.messages[0].text;
    // The database's reason once, without the driver's "Unable to fetch row".
    QCOMPARE(shown, QStringLiteral("The card was written but it was not recorded: disk is full. "
                                   "Take the card back and issue it again."));
    QCOMPARE(NotRecordedText(shown), shown);
    QCOMPARE(NotRecordedText("Unable to fetch row"),
             QStringLiteral("The card was written but it was not recorded: Unable to fetch row. "
                            "Take the card back and issue it again."));
    QVERIFY(encode->isEnabled());
    QCOMPARE(desk.count("select count(*) from MakeCardRecord") +
                 desk.count("select sum(CardSn) from AllCardSn"),
             0);
}

void TestStaffCards::readStaffCard()
{
    CardDesk desk;
    // Issue records repeat keys: the newest one names the holder.
    desk.hotel.exec("insert into MakeCardRecord (Rom, CardType, Holder) "
                    "values ('0A00012C', 10, 'Old holder')");
    desk.hotel.exec("update AllCardSn set CardSn=300 where CardType=5");
    {
        TMakeCard_Form issuing;
        child<QLineEdit>(&issuing, "E_H_Chief")->setText("Chief O'Neil");
        QCOMPARE(issue(issuing, 2), QStringLiteral("Success!"));
    }
    TCheckCardForm form;
    QCOMPARE(form.windowTitle(), QStringLiteral("Read Card"));
    QCOMPARE(read(form), QStringLiteral("Success!"));
    QCOMPARE(field(&form, "CardType_Edit"), QStringLiteral("Master card"));
    QCOMPARE(field(&form, "CardHolder_Edit"), QStringLiteral("Chief O'Neil"));
    QLocale locale = QLocale::system();
    QCOMPARE(field(&form, "StartTime_Edit"), locale.toString(kNow, QLocale::ShortFormat));
    QCOMPARE(field(&form, "EndTime_Edit"),
             locale.toString(QDateTime(QDate(2024, 5, 3), QTime(12, 0)), QLocale::ShortFormat));
    QVERIFY(child<QLineEdit>(&form, "GuestID_Edit")->isHidden());
    QCOMPARE(field(&form, "Building_Edit") + field(&form, "Floor_Edit") +
                 field(&form, "District_Edit") + field(&form, "RoomNo_Edit"),
             QString());

    // Building, floor and group are shown only within 1..99; a card without an issue
    // record shows "None".
    CardRecord r{};
    r.SerialWords[0] = 7;
    r.BuildingNo = 100;
    r.FloorBlock[0] = 99;
    r.DistrictBlock[0] = 1;
    writeCard(MakeFloorCard, r);
    QCOMPARE(read(form), QStringLiteral("Success!"));
    QCOMPARE(field(&form, "CardType_Edit"), QStringLiteral("Floor card"));
    QCOMPARE(field(&form, "CardHolder_Edit"), QStringLiteral("None"));
    QCOMPARE(field(&form, "Building_Edit"), QString());
    QCOMPARE(field(&form, "Floor_Edit"), QStringLiteral("99"));
    QCOMPARE(field(&form, "District_Edit"), QStringLiteral("1"));
}

void TestStaffCards::readGuestCard()
{
    CardDesk desk;
    // Room 105: building 1, floor 1, room number 5, SystemRoomStr 010105.
    CardRecord r = guestCard(3, 1, 1, 5);
    writeCard(MakeGuestCard, r);
    r.CardTypeBlock[0] = kGuestCard;
    SaveMakeCardRecord(r, "Li Wei", "P1234567");
    TCheckCardForm form;
    form.show();
    // A staff card read before leaves its numbers; the guest card clears them.
    child<QLineEdit>(&form, "Floor_Edit")->setText("3");
    QCOMPARE(read(form), QStringLiteral("Success!"));
    QCOMPARE(field(&form, "RoomNo_Edit"), QStringLiteral("105"));
    QCOMPARE(field(&form, "CardHolder_Edit"), QStringLiteral("Li Wei"));
    QCOMPARE(field(&form, "GuestID_Edit"), QStringLiteral("P1234567"));
    QVERIFY(child<QLineEdit>(&form, "GuestID_Edit")->isVisible());
    QVERIFY(child<QLabel>(&form, "GuestID_Label")->isVisible());
    QCOMPARE(field(&form, "Building_Edit") + field(&form, "Floor_Edit") +
                 field(&form, "District_Edit"),
             QString());
    QCOMPARE(field(&form, "CardType_Edit"), QStringLiteral("Guest card"));
}

void TestStaffCards::readBlankNoCardAndTwice()
{
    CardDesk desk;
    TCheckCardForm form;
    auto *button = child<QPushButton>(&form, "ReadCard_Bt");
    writeCard(MakeChiefCard, CardRecord{});
    QCOMPARE(read(form), QStringLiteral("Success!"));
    QVERIFY(!field(&form, "StartTime_Edit").isEmpty());

    // Within 500 ms of a read (the main window has not cleared the flag) a second read
    // does not run: the card was taken, yet the result stays.
    desk.encoder.take();
    button->click();
    QCOMPARE(child<QLabel>(&form, "Prompt_Label")->text(), QStringLiteral("Success!"));

    QCOMPARE(read(form), QStringLiteral("No Card!"));
    QVERIFY(button->isEnabled());
    QCOMPARE(field(&form, "CardHolder_Edit"), QString()); // cleared when the read began
    QVERIFY(!field(&form, "CardType_Edit").isEmpty());    // kept from the read before

    desk.encoder.putBlank();
    QCOMPARE(read(form), QStringLiteral("New Card!"));
    for (const char *box : {"StartTime_Edit", "EndTime_Edit", "CardType_Edit", "District_Edit",
                            "Building_Edit", "Floor_Edit", "CardHolder_Edit", "RoomNo_Edit"})
        QVERIFY2(field(&form, box).isEmpty(), box);
    QVERIFY(button->isEnabled());
}

void TestStaffCards::revokeButtonVisibility()
{
    CardDesk desk;
    TCheckCardForm reading;
    reading.OpenForReading();
    QVERIFY(child<QPushButton>(&reading, "Register_Bt")->isHidden());
    TCheckCardForm revoking;
    revoking.OpenForRevoking();
    QCOMPARE(revoking.windowTitle(), QStringLiteral("Revoke Card"));
    QVERIFY(!child<QPushButton>(&revoking, "Register_Bt")->isHidden());
    for (const char *kind : {"2", "11"}) {
        desk.encoder.run({"connect", "--kind", kind});
        TCheckCardForm magnetic;
        magnetic.OpenForRevoking();
        QVERIFY2(child<QPushButton>(&magnetic, "Register_Bt")->isHidden(), kind);
    }
}

void TestStaffCards::revokeEndsOnlyItsRoomsStay()
{
    CardDesk desk;
    // Rooms 101 and 201 each have an open stay with the first card of the room.
    desk.hotel.exec("insert into GuestInRecord (Room, RoomStr, Rom) values "
                    "(1101, '101', '00000001'), (1201, '201', '00000001')");
    TCheckCardForm form;
    form.OpenForRevoking();
    auto *revoke = child<QPushButton>(&form, "Register_Bt");
    auto openStays = [&] {
        return desk.text("select group_concat(RoomStr) from GuestInRecord where enOverride=0");
    };

    // Cancel: nothing ends, the card is still cleared.
    writeCard(MakeGuestCard, guestCard(1, 1, 1, 1));
    desk.hotel.dialogs.answers = {MsgResult::Cancel};
    CardBusy = false;
    RoomBoardDirty = false;
    revoke->click();
    QVERIFY(!RoomBoardDirty);
    QCOMPARE(desk.hotel.dialogs.messages.size(), 1);
    QVERIFY(desk.hotel.dialogs.messages[0].text.contains("1101"));
    QVERIFY(!desk.hotel.dialogs.messages[0].text.contains("1201"));
    QCOMPARE(openStays(), QStringLiteral("101,201"));
    QCOMPARE(child<QLabel>(&form, "Prompt_Label")->text(), QStringLiteral("Success!"));
    QVERIFY(desk.cardIsBlank());

    // OK: only room 101's stay ends, and the board shows it vacant on its next tick.
    writeCard(MakeGuestCard, guestCard(1, 1, 1, 1));
    desk.hotel.dialogs.clear();
    CardBusy = false;
    revoke->click();
    QCOMPARE(desk.hotel.dialogs.messages.size(), 1);
    QCOMPARE(openStays(), QStringLiteral("201"));
    QVERIFY(RoomBoardDirty);
    QCOMPARE(desk.text("select LeaveTime from GuestInRecord where RoomStr='101'"),
             QStringLiteral("2024-05-02 09:00:00"));
    QVERIFY(desk.cardIsBlank());
    QVERIFY(revoke->isEnabled());

    // A staff card offers no stay, even one whose number matches.
    CardRecord staff{};
    staff.SerialWords[0] = 1;
    writeCard(MakeChiefCard, staff);
    desk.hotel.dialogs.clear();
    CardBusy = false;
    revoke->click();
    QVERIFY(desk.hotel.dialogs.messages.isEmpty());
    QCOMPARE(openStays(), QStringLiteral("201"));
    QVERIFY(desk.cardIsBlank());

    // An extension card carries serial 0, the number of no stay: its room's open stays are
    // offered.
    writeCard(MakeGuestCard, guestCard(0, 1, 2, 1));
    CardBusy = false;
    revoke->click();
    QCOMPARE(desk.hotel.dialogs.messages.size(), 1);
    QVERIFY(desk.hotel.dialogs.messages[0].text.contains("1201"));
    QCOMPARE(openStays(), QString());
    QVERIFY(desk.cardIsBlank());
}

void TestStaffCards::revokeRefusals()
{
    CardDesk desk;
    desk.hotel.exec("insert into GuestInRecord (Room, RoomStr, Rom) values "
                    "(1101, '101', '00000000')");
    TCheckCardForm form;
    auto *revoke = child<QPushButton>(&form, "Register_Bt");
    auto *prompt = child<QLabel>(&form, "Prompt_Label");
    // A blank card: "New Card!", no stay offered.
    revoke->click();
    QCOMPARE(prompt->text(), QStringLiteral("New Card!"));
    QVERIFY(desk.hotel.dialogs.messages.isEmpty());
    // No card: the read's result, nothing ended, the button enabled again.
    desk.encoder.take();
    CardBusy = false;
    revoke->click();
    QCOMPARE(prompt->text(), QStringLiteral("No Card!"));
    QVERIFY(revoke->isEnabled());
    QCOMPARE(desk.count("select count(*) from GuestInRecord where enOverride=0"), 1);
}

void TestStaffCards::readFormShowsTheCardAsItIs()
{
    CardDesk desk;
    CardRecord r = guestCard(3, 1, 1, 5);
    writeCard(MakeGuestCard, r);
    r.CardTypeBlock[0] = kGuestCard;
    SaveMakeCardRecord(r, "Li Wei", "P1234567");
    TCheckCardForm form;
    form.OpenForRevoking();
    form.show();
    // The guest ID appears only once a guest card is read.
    QVERIFY(!child<QLineEdit>(&form, "GuestID_Edit")->isVisible());
    QVERIFY(!child<QLabel>(&form, "GuestID_Label")->isVisible());
    QCOMPARE(read(form), QStringLiteral("Success!"));
    QVERIFY(child<QLineEdit>(&form, "GuestID_Edit")->isVisible());

    // After the revoke the fields show the blank card, not the read before.
    CardBusy = false;
    child<QPushButton>(&form, "Register_Bt")->click();
    QCOMPARE(child<QLabel>(&form, "Prompt_Label")->text(), QStringLiteral("Success!"));
    QVERIFY(desk.cardIsBlank());
    for (const char *box : {"StartTime_Edit", "EndTime_Edit", "CardType_Edit", "CardHolder_Edit",
                            "RoomNo_Edit", "GuestID_Edit"})
        QVERIFY2(field(&form, box).isEmpty(), box);
    QVERIFY(!child<QLineEdit>(&form, "GuestID_Edit")->isVisible());
}

void TestStaffCards::mainWindowCommands()
{
    CardDesk desk;
    // Revoke Card ends stays and follows CheckOut; reading and issuing need no guest right.
    desk.hotel.exec("update Operator set CheckIn=0, MasterCard=0");
    TMainForm main;
    main.show();
    QVERIFY(QTest::qWaitForWindowExposed(&main));
    QVERIFY(child<QToolButton>(&main, "ReadCard_SB")->isEnabled());
    QVERIFY(child<QToolButton>(&main, "ClearCard_SB")->isEnabled());

    bool revokeShown = true;
    WhenModalOpens("CheckCardForm", [&](QWidget *form) {
        revokeShown = !child<QPushButton>(form, "Register_Bt")->isHidden();
        static_cast<QDialog *>(form)->reject();
    });
    QTest::keyClick(&main, Qt::Key_F4);
    QVERIFY(!revokeShown);

    QString title;
    WhenModalOpens("CheckCardForm", [&](QWidget *form) {
        title = form->windowTitle();
        revokeShown = !child<QPushButton>(form, "Register_Bt")->isHidden();
        static_cast<QDialog *>(form)->reject();
    });
    child<QToolButton>(&main, "ClearCard_SB")->click();
    QCOMPARE(title, QStringLiteral("Revoke Card"));
    QVERIFY(revokeShown);

    int page = -1;
    WhenModalOpens("MakeCard_Form", [&](QWidget *form) {
        page = child<QTabWidget>(form, "PageControl1")->currentIndex();
        static_cast<QDialog *>(form)->reject();
    });
    main.findChild<QAction *>("EncodeCard_Menu")->trigger();
    QCOMPARE(page, 5);
}

void TestStaffCards::vanishedOperatorEndsTheProgram()
{
    CardDesk desk;
    {
        TMakeCard_Form form;
        QVERIFY(!ProgramEndRequested());
        desk.hotel.exec("delete from Operator");
        form.SetPage(2);
        QVERIFY(ProgramEndRequested());
    }
    // A form that finds it while opening is not shown.
    struct ShowSpy : QObject
    {
        bool shown = false;
        bool eventFilter(QObject *watched, QEvent *event) override
        {
            if (event->type() == QEvent::Show && watched->objectName() == "MakeCard_Form")
                shown = true;
            return false;
        }
    } spy;
    qApp->installEventFilter(&spy);
    QCOMPARE(ShowModalAndFree(new TMakeCard_Form), int(QDialog::Rejected));
    qApp->removeEventFilter(&spy);
    QVERIFY(!spy.shown);
}

QUENMAR_TEST_MAIN(TestStaffCards)
#include "test_staffcards.moc"
