// Card bookkeeping, lookups and results, the message library binding, and the card
// library itself as the program calls it.
#include "app/application.h"
#include "cards/bookkeeping.h"
#include "cards/messages.h"
#include "data/clock.h"
#include "data/settings.h"
#include "kestrune/kestrune.h"
#include "support/testhotel.h"

#include <QScopeGuard>
#include <QTest>

#include <cstring>

namespace {

CardRecord guestRecord(uint16_t serial, uint16_t building, uint16_t floor, uint16_t room)
{
    CardRecord r{};
    r.SerialWords[0] = serial % 256;
    r.SerialWords[1] = serial / 256;
    r.BuildingNo = building;
    r.FloorBlock[0] = floor;
    r.RoomAddr[0] = room;
    r.RoomAddr[1] = building;
    r.RoomAddr[2] = floor;
    r.CardTypeBlock[0] = kGuestCard;
    r.enOverride = 1;
    DateTimeToCardTime(r.StartTime, QDateTime(QDate(2024, 5, 1), QTime(14, 0)));
    DateTimeToCardTime(r.EndTime, QDateTime(QDate(2024, 5, 2), QTime(12, 0)));
    return r;
}

} // namespace

class TestCards : public QObject
{
    Q_OBJECT
private slots:
    void cardTimePacksWholeMinutes();
    void cardNumberText_data();
    void cardNumberText();
    void issueRecords();
    void dateRangeAndResultTexts();
    void lookupsByRoomAndCard();
    void serialNumbers();
    void closeStayByRom();
    void messageLibrary();
    void cardLibraryRoundTrip();
};

void TestCards::cardTimePacksWholeMinutes()
{
    uint16_t t[6];
    std::memset(t, 0xFF, sizeof t);
    DateTimeToCardTime(t, QDateTime(QDate(2024, 2, 29), QTime(13, 45, 59, 999)));
    const uint16_t expected[6] = {2024, 2, 29, 13, 45, 0};
    QVERIFY(std::memcmp(t, expected, sizeof t) == 0);
    QCOMPARE(CardTimeToDateTime(t), QDateTime(QDate(2024, 2, 29), QTime(13, 45)));
    t[5] = 30; // the second word is ignored
    QCOMPARE(CardTimeToDateTime(t), QDateTime(QDate(2024, 2, 29), QTime(13, 45)));
    const uint16_t impossible[6] = {2023, 2, 29, 10, 0, 0};
    QVERIFY(!CardTimeToDateTime(impossible).isValid());
}

void TestCards::cardNumberText_data()
{
    QTest::addColumn<QList<int>>("words");
    QTest::addColumn<QString>("text");
    QTest::newRow("300") << QList<int>{44, 1, 0, 0} << "0000012C";
    QTest::newRow("guest 5") << QList<int>{5, 0, 0, 0} << "00000005";
    QTest::newRow("wide word") << QList<int>{256, 0, 0, 0} << "000000100";
    QTest::newRow("all words") << QList<int>{0xAB, 0x12, 0x3, 0xFFFF} << "FFFF0312AB";
}

void TestCards::cardNumberText()
{
    QFETCH(QList<int>, words);
    QFETCH(QString, text);
    uint16_t serial[9] = {};
    for (int i = 0; i < 4; ++i)
        serial[i] = uint16_t(words[i]);
    QCOMPARE(RomText(serial), text);
}

void TestCards::issueRecords()
{
    TestHotel hotel(false);
    hotel.logOnAdministrator("amy");
    hotel.exec("insert into RoomInfo (Room, RoomStr, SystemRoomStr, Buiding, Floor, RoomNumber) "
               "values (1203, '1203', '010203', 1, 2, 3)");
    const CardRecord guest = guestRecord(5, 1, 2, 3);
    QCOMPARE(SaveMakeCardRecord(guest, "   ", QString()), 1);

    CardRecord master{};
    master.SerialWords[0] = 44;
    master.SerialWords[1] = 1;
    master.CardTypeBlock[0] = kMasterCard;
    master.enOverride = 0;
    QCOMPARE(SaveMakeCardRecord(master, "Mr Lee", "night manager"), 1);

    CardRecord floor{};
    floor.CardTypeBlock[0] = kFloorCard;
    floor.FloorBlock[0] = 7;
    floor.BuildingNo = 3;
    SaveMakeCardRecord(floor, QString(), QString());

    Query q(hotel.module.conn);
    q.Add("select * from MakeCardRecord order by ID");
    q.Open();
    QCOMPARE(q.AsString("Rom"), QStringLiteral("01020300000005"));
    QCOMPARE(q.AsString("RoomStr"), QStringLiteral("1203"));
    QVERIFY(q.IsNull("Holder"));
    QCOMPARE(q.FieldByName("Explain").toString(), QString(""));
    QVERIFY(!q.IsNull("Explain"));
    QCOMPARE(q.AsInteger("CardType"), 4);
    QCOMPARE(q.AsString("MakeUser"), QStringLiteral("amy"));
    QCOMPARE(q.AsString("MakeName"), QStringLiteral("Administrator"));
    QCOMPARE(q.AsDateTime("StartTime"), QDateTime(QDate(2024, 5, 1), QTime(14, 0)));
    QCOMPARE(q.AsDateTime("EndTime"), QDateTime(QDate(2024, 5, 2), QTime(12, 0)));
    QVERIFY(q.AsDateTime("InputTime").isValid());
    QVERIFY(q.IsNull("Floor") && q.IsNull("Buiding") && q.IsNull("District"));
    q.Next();
    QCOMPARE(q.AsString("Rom"), QStringLiteral("0A00012C"));
    QVERIFY(q.IsNull("RoomStr"));
    QCOMPARE(q.AsInteger("enOverride"), 0);
    QCOMPARE(q.AsString("Holder"), QStringLiteral("Mr Lee"));
    q.Next();
    QCOMPARE(q.AsInteger("Floor"), 7);
    QVERIFY(q.IsNull("Buiding"));
    // The caller's record is not changed by the card type stamp.
    QCOMPARE(master.SerialWords[3], uint16_t(0));
}

void TestCards::dateRangeAndResultTexts()
{
    TestHotel hotel(false);
    // The end must lie after the start, also on the same day.
    const QDateTime start(QDate(2024, 5, 2), QTime(10, 0));
    QVERIFY(CheckDateRange(start.addSecs(60), start));
    QVERIFY(hotel.dialogs.messages.isEmpty());
    for (const QDateTime &end : {start, start.addSecs(-3600), start.addDays(-1)})
        QVERIFY(!CheckDateRange(end, start));
    QCOMPARE(hotel.dialogs.texts(), QStringList(3, "日期范围无效！"));
    QCOMPARE(hotel.dialogs.messages[0].caption, QStringLiteral("信息提示"));

    const QPair<int, const char *> texts[] = {{1, "Success!"},    {-1, "No Card!"},
                                              {-2, "No encoder"}, {-15, "Failure!"},
                                              {0, "Failure!"},    {-3, "Failure!"}};
    for (const auto &t : texts)
        QCOMPARE(CardResultText(t.first), QString::fromLatin1(t.second));
    QCOMPARE(GetCardTypeTitle(10), QStringLiteral("Master card"));
    QCOMPARE(GetCardTypeTitle(99), QString());
}

void TestCards::lookupsByRoomAndCard()
{
    TestHotel hotel(false);
    hotel.exec("insert into RoomInfo (Room, RoomStr, SystemRoomStr, Buiding, Floor, RoomNumber) "
               "values (1203, 'A''1203', '010203', 1, 2, 3)");
    QCOMPARE(RoomStrExists("A'1203"), 1);
    QCOMPARE(RoomStrExists(""), 0);
    QCOMPARE(RoomStrExists("1203' or '1'='1"), 0);
    QCOMPARE(GetRoomCode("A'1203"), 1203);
    QCOMPARE(GetRoomCode("nowhere"), 0);
    uint16_t address[7];
    std::memset(address, 0xFF, sizeof address);
    GetRoomAddress("A'1203", address);
    const uint16_t expected[7] = {3, 1, 2, 0, 0, 0, 0};
    QVERIFY(std::memcmp(address, expected, sizeof address) == 0);
    QCOMPARE(GetRoomStrByAddress(address), QStringLiteral("A'1203"));
    QCOMPARE(GetSystemRoomStrByAddress(address), QStringLiteral("010203"));
    GetRoomAddress("nowhere", address);
    QCOMPARE(address[0] + address[1] + address[2], 0);
    QCOMPARE(GetRoomStrByAddress(address), QString());

    QCOMPARE(GetKeyKind(4), QStringLiteral("Guest card"));
    QCOMPARE(GetKeyKind(99), QStringLiteral("None"));
    hotel.exec("insert into MakeCardRecord (Rom, CardType, MakeName, Holder) "
               "values ('0A00012C', 10, 'Amy', NULL)");
    QCOMPARE(GetHolder(10, "0A00012C"), QString());
    QCOMPARE(GetMakeName(10, "0A00012C"), QStringLiteral("Amy"));
    QCOMPARE(GetHolder(10, "0A00012D"), QStringLiteral("None"));
    QCOMPARE(GetExplain(2, "0A00012C"), QStringLiteral("None"));
    // A repeated key: the newest record answers all three lookups.
    hotel.exec("insert into MakeCardRecord (Rom, CardType, MakeName, Holder, Explain) "
               "values ('0A00012C', 10, 'Bo', 'Chief', 'night shift'), "
               "('0A00012C', 2, 'Cy', 'Other kind', '')");
    QCOMPARE(GetHolder(10, "0A00012C"), QStringLiteral("Chief"));
    QCOMPARE(GetMakeName(10, "0A00012C"), QStringLiteral("Bo"));
    QCOMPARE(GetExplain(10, "0A00012C"), QStringLiteral("night shift"));
}

void TestCards::serialNumbers()
{
    TestHotel hotel(false);
    hotel.exec("insert into RoomInfo (Room, RoomStr, CardSn) values (101, '101', 255), "
               "(102, '102', 4), (103, '103', NULL)");
    uint16_t serial[9] = {1, 9, 9, 9, 9, 7, 7, 7, 7};
    GetRoomCardSn("101", serial);
    const uint16_t first[9] = {0, 1, 0, 0, 0, 7, 7, 7, 7};
    QVERIFY(std::memcmp(serial, first, sizeof serial) == 0);
    serial[0] = 0;
    GetRoomCardSn("102", serial);
    QCOMPARE(serial[0], uint16_t(4));
    QCOMPARE(serial[1], uint16_t(0));
    serial[0] = 1;
    GetRoomCardSn("103", serial); // null counts as 0
    QCOMPARE(serial[0], uint16_t(1));

    IncRoomCardSn("101");
    IncRoomCardSn("nowhere");
    QCOMPARE(hotel.scalar("select CardSn from RoomInfo where Room=101").toInt(), 256);
    QCOMPARE(hotel.scalar("select sum(CardSn) from RoomInfo").toInt(), 260);

    hotel.exec("update AllCardSn set CardSn=300 where CardType=9");
    GetCardSn(9, serial);
    const uint16_t counter[5] = {44, 1, 0, 0, 0};
    QVERIFY(std::memcmp(serial, counter, sizeof counter) == 0);
    IncCardSn(9);
    IncCardSn(8); // no such counter: nothing changes
    QCOMPARE(hotel.scalar("select CardSn from AllCardSn where CardType=9").toInt(), 301);
    QCOMPARE(hotel.scalar("select count(*) from AllCardSn").toInt(), 9);
    QCOMPARE(hotel.scalar("select sum(CardSn) from AllCardSn").toInt(), 301);
}

void TestCards::closeStayByRom()
{
    TestHotel hotel(false);
    hotel.installMessageLibrary();
    SetNow(QDateTime(QDate(2024, 5, 2), QTime(9, 30)));
    hotel.exec(
        "insert into GuestInRecord (Room, RoomStr, Rom) values "
        "(1203, '1203', '00000005'), (1204, '1204', '00000005'), (1205, '1205', '00000006')");
    uint16_t none[9] = {9};
    QVERIFY(CloseStayByRom(none));
    QVERIFY(hotel.dialogs.messages.isEmpty());

    uint16_t serial[9] = {5};
    hotel.dialogs.answers = {MsgResult::Cancel};
    QVERIFY(CloseStayByRom(serial));
    QCOMPARE(hotel.dialogs.messages.size(), 1);
    QVERIFY(hotel.dialogs.messages[0].text.contains("1203,1204"));
    QVERIFY(!hotel.dialogs.messages[0].caption.isEmpty());
    QCOMPARE(hotel.dialogs.messages[0].buttons, MsgButtons::OkCancel);
    QCOMPARE(hotel.scalar("select count(*) from GuestInRecord where enOverride=0").toInt(), 3);

    QVERIFY(CloseStayByRom(serial));
    QCOMPARE(hotel.scalar("select count(*) from GuestInRecord where enOverride=0").toInt(), 1);
    QCOMPARE(hotel.scalar("select LeaveTime from GuestInRecord where Room=1204").toString(),
             QStringLiteral("2024-05-02 09:30:00"));

    uint16_t single[9] = {6};
    hotel.dialogs.clear();
    QVERIFY(CloseStayByRom(single));
    QVERIFY(hotel.dialogs.messages[0].text.contains("1205"));
    QVERIFY(!hotel.dialogs.messages[0].text.contains(","));
}

void TestCards::messageLibrary()
{
    TestHotel hotel(false);
    ShowMessageByNo(-1); // no library in the program folder: nothing, and no crash
    QVERIFY(hotel.dialogs.messages.isEmpty());
    QCOMPARE(GetUnitText(1), QString());

    hotel.installMessageLibrary();
    ShowMessageByNo(-2);
    QCOMPARE(hotel.dialogs.messages.size(), 1);
    QVERIFY(!hotel.dialogs.messages[0].text.isEmpty());
    QVERIFY(hotel.dialogs.messages[0].caption.contains("-2"));
    QCOMPARE(hotel.dialogs.messages[0].icon, MsgIcon::Information);
    QVERIFY(GetUnitText(2).contains("%s"));

    // The library of the language in use, its UTF-8 texts read as Chinese.
    LockSystemInfo.LanguageID = 2052;
    const auto english = qScopeGuard([] { LockSystemInfo.LanguageID = 1033; });
    hotel.dialogs.clear();
    ShowMessageByNo(1);
    QCOMPARE(hotel.dialogs.texts(), QStringList{"成功！"});
    QCOMPARE(hotel.dialogs.messages[0].caption, QStringLiteral("信息 1"));
    // A language without a library of its own: the English messages.
    LockSystemInfo.LanguageID = 1041;
    hotel.dialogs.clear();
    ShowMessageByNo(1);
    QCOMPARE(hotel.dialogs.texts(), QStringList{"Success!"});
}

void TestCards::cardLibraryRoundTrip()
{
    TestHotel hotel(false);
    VirtualEncoder encoder;
    CardRecord r = guestRecord(300, 1, 2, 3);
    QCOMPARE(CallMakeGuestCard(r), -2); // before the port is opened
    encoder.connectOn(1, "0A0B0C0D");
    QCOMPARE(MakeCardOpenPort(2), int16_t(-2));
    QCOMPARE(MakeCardOpenPort(1), int16_t(1));
    QCOMPARE(CallMakeGuestCard(r), -1); // no card on the encoder
    encoder.putBlank();
    r.CardTypeBlock[0] = 0; // the library stamps the guest card type itself
    QCOMPARE(CallMakeGuestCard(r), 1);

    CardRecord back{};
    QCOMPARE(ReadCard(back.SerialWords, back.ReservedA, &back.BuildingNo, back.FloorBlock,
                      back.DistrictBlock, back.RoomAddr, &back.enOverride, back.CardTypeBlock,
                      back.ReservedB, back.StartTime, back.EndTime),
             int16_t(1));
    r.CardTypeBlock[0] = kGuestCard;
    QVERIFY(std::memcmp(&back, &r, sizeof r) == 0);
    const QMap<QString, QString> shown = encoder.show();
    QCOMPARE(shown.value("CardType"), QStringLiteral("4"));
    QCOMPARE(shown.value("Start"), QStringLiteral("2024-05-01 14:00"));

    // A card written under another system code is refused.
    uint16_t other[4] = {1, 2, 3, 4};
    QCOMPARE(SystemInitialization(other), int16_t(1));
    QCOMPARE(ReadCard(back.SerialWords, back.ReservedA, &back.BuildingNo, back.FloorBlock,
                      back.DistrictBlock, back.RoomAddr, &back.enOverride, back.CardTypeBlock,
                      back.ReservedB, back.StartTime, back.EndTime),
             int16_t(-15));
    encoder.run({"disconnect"});
    QCOMPARE(CallMakeGuestCard(r), -2);
}

QUENMAR_TEST_MAIN(TestCards)
#include "test_cards.moc"
