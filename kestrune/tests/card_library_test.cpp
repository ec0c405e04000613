// Drives the real card library against a virtual encoder in a temporary folder.
#include "kestrune/kestrune.h"
#include "test_support.h"

#include <array>
#include <atomic>
#include <cstddef>
#include <cstring>
#include <functional>
#include <set>
#include <thread>

using namespace testsupport;

namespace {

// The program's card record: 63 words, fields in this order.
struct CardRecord
{
    uint16_t SerialWords[9];
    uint16_t ReservedA[5];
    uint16_t BuildingNo;
    uint16_t RoomAddr[7];
    uint16_t FloorBlock[9];
    uint16_t DistrictBlock[5];
    uint16_t CardTypeBlock[9];
    uint16_t enOverride;
    uint16_t ReservedB[5];
    uint16_t StartTime[6];
    uint16_t EndTime[6];
};
static_assert(sizeof(CardRecord) == 126);
static_assert(offsetof(CardRecord, BuildingNo) == 28 && offsetof(CardRecord, RoomAddr) == 30);
static_assert(offsetof(CardRecord, CardTypeBlock) == 72 && offsetof(CardRecord, EndTime) == 114);

using MakeFn = int16_t (*)(uint16_t *, uint16_t *, uint16_t, uint16_t *, uint16_t *, uint16_t *,
                           uint16_t, uint16_t *, uint16_t *, uint16_t *, uint16_t *);

int16_t make(MakeFn fn, CardRecord &r)
{
    return fn(r.SerialWords, r.ReservedA, r.BuildingNo, r.FloorBlock, r.DistrictBlock, r.RoomAddr,
              r.enOverride, r.CardTypeBlock, r.ReservedB, r.StartTime, r.EndTime);
}

int16_t read(CardRecord &r)
{
    return ReadCard(r.SerialWords, r.ReservedA, &r.BuildingNo, r.FloorBlock, r.DistrictBlock,
                    r.RoomAddr, &r.enOverride, r.CardTypeBlock, r.ReservedB, r.StartTime,
                    r.EndTime);
}

// Every word different, so a field written to the wrong place shows.
CardRecord distinctRecord()
{
    CardRecord r;
    auto *w = reinterpret_cast<uint16_t *>(&r);
    for (int i = 0; i < 63; ++i)
        w[i] = static_cast<uint16_t>(1000 + i);
    return r;
}

CardRecord filled(uint16_t value)
{
    CardRecord r;
    auto *w = reinterpret_cast<uint16_t *>(&r);
    std::fill(w, w + 63, value);
    return r;
}

int16_t readOpening(std::array<uint16_t, 9> &buffer, std::array<uint16_t, 16> &out)
{
    // out: building, floor, room address (7), card type, time (6)
    uint16_t unused1 = 0x5555, unused2 = 0x5555;
    int16_t rc = ReadOneOpenDoorRecord(&out[0], &out[1], &unused1, &unused2, &out[2], &out[9],
                                       &out[10], buffer.data());
    EXPECT_EQ(unused1, 0x5555);
    EXPECT_EQ(unused2, 0x5555);
    return rc;
}

class CardLibrary : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ::setenv("KESTRUNE_ENCODER_DIR", dir().c_str(), 1);
        ASSERT_EQ(tool({"connect", "--code", "0A0B0C0D"}).rc, 0);
        ASSERT_EQ(MakeCardOpenPort(1), 1);
    }
    void TearDown() override { ::unsetenv("KESTRUNE_ENCODER_DIR"); }

    std::string dir() const { return (temp_.path / "Encoder").string(); }
    RunResult tool(std::vector<std::string> args) { return encoderTool(dir(), std::move(args)); }
    void putBlank() { ASSERT_EQ(tool({"put-blank"}).rc, 0); }

    TempDir temp_;
};

TEST_F(CardLibrary, EachMakeEntryWritesAllFieldsAndItsOwnCardType)
{
    const struct
    {
        const char *name;
        MakeFn fn;
        uint16_t type;
    } entries[] = {
        {"MakeClientCard", MakeClientCard, 1},
        {"MakeTimeCard", MakeTimeCard, 2},
        {"MakeEmergentCard", MakeEmergentCard, 3},
        {"MakeSpecialCard", MakeSpecialCard, 3},
        {"MakeGuestCard", MakeGuestCard, 4},
        {"MakeFloorCard", MakeFloorCard, 5},
        {"MakeCleanDistrictCard", MakeCleanDistrictCard, 6},
        {"MakeBuildingCard", MakeBuildingCard, 8},
        {"MakeChiefCard", MakeChiefCard, 10},
        {"MakeLostCard", MakeLostCard, 12},
        {"MakeDataCard", MakeDataCard, 14},
    };
    for (const auto &e : entries) {
        SCOPED_TRACE(e.name);
        putBlank();
        CardRecord written = distinctRecord();
        const CardRecord given = written;
        ASSERT_EQ(make(e.fn, written), 1);
        EXPECT_EQ(std::memcmp(&written, &given, sizeof given), 0) << "caller's record changed";

        CardRecord back = filled(0xFFFF);
        ASSERT_EQ(read(back), 1);
        CardRecord expected = given;
        expected.CardTypeBlock[0] = e.type; // word 1, the lost-card kind, stays as given
        const auto *a = reinterpret_cast<const uint16_t *>(&back);
        const auto *b = reinterpret_cast<const uint16_t *>(&expected);
        for (int i = 0; i < 63; ++i)
            EXPECT_EQ(a[i], b[i]) << "word " << i;
    }
}

TEST_F(CardLibrary, BlankAndClearedCardsReadAsTypeZero)
{
    putBlank();
    CardRecord r = filled(0xFFFF);
    ASSERT_EQ(read(r), 1);
    const CardRecord zero = filled(0);
    EXPECT_EQ(std::memcmp(&r, &zero, sizeof r), 0);

    CardRecord guest = distinctRecord();
    ASSERT_EQ(make(MakeGuestCard, guest), 1);
    EXPECT_EQ(ClearCardData(guest.SerialWords), 1);
    r = filled(0xFFFF);
    ASSERT_EQ(read(r), 1);
    EXPECT_EQ(std::memcmp(&r, &zero, sizeof r), 0);
    EXPECT_EQ(tool({"show"}).out, "blank card\n");
}

TEST_F(CardLibrary, EveryCardCallWithoutACardGivesMinusOne)
{
    ASSERT_EQ(tool({"take"}).rc, 0);
    CardRecord r = filled(0);
    std::array<uint16_t, 9> buffer{};
    std::array<uint16_t, 16> out{};
    EXPECT_EQ(read(r), -1);
    EXPECT_EQ(make(MakeGuestCard, r), -1);
    EXPECT_EQ(make(MakeChiefCard, r), -1);
    EXPECT_EQ(ClearCardData(r.SerialWords), -1);
    EXPECT_EQ(ReadDataCard(buffer.data()), -1);
    EXPECT_EQ(readOpening(buffer, out), -1);
    EXPECT_EQ(tool({"show"}).out, "no card\n");
    // The encoder itself still answers.
    std::array<uint16_t, 4> code{};
    EXPECT_EQ(ReadSystemPas(code.data()), 1);
}

// Each way of having no encoder: every call gives -2 and GetParameter reports kind -1.
TEST_F(CardLibrary, EveryCallWithoutAnEncoderGivesMinusTwo)
{
    const fs::path state = fs::path(dir()) / "encoder.state";
    const struct
    {
        const char *name;
        std::function<void()> arrange;
        int16_t reopen; // what MakeCardOpenPort(1) answers afterwards
    } cases[] = {
        {"port not opened", [] { EXPECT_EQ(MakeCardOpenPort(0), -2); }, 1},
        {"port out of range", [] { EXPECT_EQ(MakeCardOpenPort(5), -2); }, 1},
        {"disconnected", [&] { ASSERT_EQ(tool({"disconnect"}).rc, 0); }, -2},
        {"reconnected on another port",
         [&] {
             ASSERT_EQ(tool({"connect", "--port", "2"}).rc, 0);
         },
         -2},
        {"state missing", [&] { fs::remove(state); }, -2},
        {"state damaged",
         [&] {
             std::string text = slurp(state);
             text[text.find("kind 3") + 5] = '4';
             spit(state, text);
         },
         -2},
        {"state garbage", [&] { spit(state, "\x01\x02 not a state"); }, -2},
        {"folder missing", [&] { fs::remove_all(dir()); }, -2},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        ASSERT_EQ(tool({"connect"}).rc, 0);
        putBlank();
        ASSERT_EQ(MakeCardOpenPort(1), 1);
        c.arrange();

        CardRecord r = distinctRecord();
        std::array<uint16_t, 9> params;
        params.fill(0x1234);
        std::array<uint16_t, 4> code{1, 2, 3, 4};
        std::array<uint16_t, 9> buffer{};
        std::array<uint16_t, 16> out{};
        EXPECT_EQ(GetParameter(params.data()), -2);
        EXPECT_EQ(params, (std::array<uint16_t, 9>{0xFFFF, 0, 0, 0, 0, 0, 0, 0, 0}));
        EXPECT_EQ(make(MakeGuestCard, r), -2);
        EXPECT_EQ(read(r), -2);
        EXPECT_EQ(ClearCardData(r.SerialWords), -2);
        EXPECT_EQ(SystemInitialization(code.data()), -2);
        EXPECT_EQ(ReadSystemPas(code.data()), -2);
        EXPECT_EQ(ReadDataCard(buffer.data()), -2);
        EXPECT_EQ(readOpening(buffer, out), -2);
        EXPECT_EQ(MakeCardOpenPort(1), c.reopen);
    }
}

TEST_F(CardLibrary, GetParameterReportsTheEncoderKind)
{
    ASSERT_EQ(tool({"connect", "--kind", "11"}).rc, 0);
    std::array<uint16_t, 9> params;
    params.fill(0x1234);
    EXPECT_EQ(GetParameter(params.data()), 1);
    EXPECT_EQ(params, (std::array<uint16_t, 9>{11, 0, 0, 0, 0, 0, 0, 0, 0}));
}

TEST_F(CardLibrary, SystemCodeIsStoredAndReadBack)
{
    std::array<uint16_t, 4> code{};
    ASSERT_EQ(ReadSystemPas(code.data()), 1);
    EXPECT_EQ(code, (std::array<uint16_t, 4>{0x0A, 0x0B, 0x0C, 0x0D}));

    std::array<uint16_t, 4> hotel{0x12, 0x34, 0xAB, 0xFF};
    ASSERT_EQ(SystemInitialization(hotel.data()), 1);
    ASSERT_EQ(ReadSystemPas(code.data()), 1);
    EXPECT_EQ(code, hotel);

    // A word the encoder cannot keep is refused, and the stored code stays.
    std::array<uint16_t, 4> tooWide{0x100, 0, 0, 0};
    EXPECT_EQ(SystemInitialization(tooWide.data()), -15);
    ASSERT_EQ(ReadSystemPas(code.data()), 1);
    EXPECT_EQ(code, hotel);

    // Reconnecting keeps the code; a fresh encoder starts with its own factory code.
    ASSERT_EQ(tool({"connect"}).rc, 0);
    ASSERT_EQ(ReadSystemPas(code.data()), 1);
    EXPECT_EQ(code, hotel);
    fs::remove_all(dir());
    ASSERT_EQ(tool({"connect"}).rc, 0);
    ASSERT_EQ(MakeCardOpenPort(1), 1);
    ASSERT_EQ(ReadSystemPas(code.data()), 1);
    EXPECT_NE(code, hotel);
    for (uint16_t w : code)
        EXPECT_LE(w, 0xFF);
    EXPECT_NE(tool({"status"})
                  .out.find("Code: " +
                            [&] {
                                char hex[20];
                                std::snprintf(hex, sizeof hex, "%02X%02X%02X%02X", code[0], code[1],
                                              code[2], code[3]);
                                return std::string(hex);
                            }()),
              std::string::npos);
}

TEST_F(CardLibrary, CardOfAnotherSystemCodeIsRefused)
{
    putBlank();
    CardRecord r = distinctRecord();
    ASSERT_EQ(make(MakeDataCard, r), 1);
    std::array<uint16_t, 4> other{1, 2, 3, 4};
    ASSERT_EQ(SystemInitialization(other.data()), 1);

    CardRecord back = filled(0x7777);
    std::array<uint16_t, 9> buffer{};
    std::array<uint16_t, 16> out{};
    EXPECT_EQ(read(back), -15);
    EXPECT_EQ(back.CardTypeBlock[0], 0x7777) << "nothing is filled in on failure";
    EXPECT_EQ(ReadDataCard(buffer.data()), -15);
    EXPECT_EQ(readOpening(buffer, out), -15);

    // The old code makes it readable again; a card made now carries the new code.
    std::array<uint16_t, 4> old{0x0A, 0x0B, 0x0C, 0x0D};
    ASSERT_EQ(SystemInitialization(old.data()), 1);
    EXPECT_EQ(read(back), 1);
    ASSERT_EQ(SystemInitialization(other.data()), 1);
    ASSERT_EQ(make(MakeGuestCard, r), 1);
    EXPECT_EQ(read(back), 1);
    EXPECT_EQ(back.CardTypeBlock[0], 4);
}

TEST_F(CardLibrary, DamagedCardFileReadsAsFailure)
{
    const fs::path card = fs::path(dir()) / "card.dat";
    const struct
    {
        const char *name;
        std::function<std::string(std::string)> damage;
    } cases[] = {
        {"one word changed",
         [](std::string t) {
             size_t at = t.find(" 1004 ");
             t.replace(at, 6, " 1005 ");
             return t;
         }},
        {"cut short", [](std::string t) { return t.substr(0, t.size() / 2); }},
        {"empty", [](std::string) { return std::string(); }},
        {"checksum line only", [](std::string) { return std::string("crc 00000000\n"); }},
        {"binary garbage", [](std::string) { return std::string("\xff\xfe\0\x01", 4); }},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        putBlank();
        CardRecord r = distinctRecord();
        ASSERT_EQ(make(MakeChiefCard, r), 1);
        spit(card, c.damage(slurp(card)));

        CardRecord back = filled(0);
        std::array<uint16_t, 9> buffer{};
        EXPECT_EQ(read(back), -15);
        EXPECT_EQ(ReadDataCard(buffer.data()), -15);
        EXPECT_EQ(tool({"show"}).out, "damaged card\n");
        // Clearing makes the card usable again.
        EXPECT_EQ(ClearCardData(back.SerialWords), 1);
        EXPECT_EQ(read(back), 1);
    }
}

TEST_F(CardLibrary, DataCardDeliversItsOpeningsOneByOne)
{
    const fs::path file = temp_.path / "openings.txt";
    spit(file, "# serial 300 of a master card\n"
               "10,44,1,0,0,2024,2,29,13,45\n"
               "\n"
               "  4 , 5,0,0,0, 2024,2,30,25,61   # impossible date, passed through\n");
    RunResult put = tool({"put-data-card", "--lock", "2,3,1203", file.string()});
    ASSERT_EQ(put.rc, 0) << put.err;

    std::array<uint16_t, 9> buffer;
    buffer.fill(0x9999);
    ASSERT_EQ(ReadDataCard(buffer.data()), 1);
    EXPECT_EQ(buffer, (std::array<uint16_t, 9>{}));

    for (int pass = 0; pass < 2; ++pass) { // reading again starts from the first opening
        SCOPED_TRACE(pass);
        if (pass == 1) {
            ASSERT_EQ(ReadDataCard(buffer.data()), 1);
        }
        std::array<uint16_t, 16> out{};
        ASSERT_EQ(readOpening(buffer, out), 1);
        EXPECT_EQ(out, (std::array<uint16_t, 16>{2, 3, 1203, 2, 3, 0, 0, 0, 0, 10, 2024, 2, 29, 13,
                                                 45, 0}));
        EXPECT_EQ((std::array<uint16_t, 5>{buffer[0], buffer[1], buffer[2], buffer[3], buffer[4]}),
                  (std::array<uint16_t, 5>{44, 1, 0, 0, 0}));
        ASSERT_EQ(readOpening(buffer, out), 1);
        EXPECT_EQ(out, (std::array<uint16_t, 16>{2, 3, 1203, 2, 3, 0, 0, 0, 0, 4, 2024, 2, 30, 25,
                                                 61, 0}));
        EXPECT_EQ(buffer[0], 5);
        const auto before = out;
        EXPECT_EQ(readOpening(buffer, out), 0);
        EXPECT_EQ(readOpening(buffer, out), 0);
        EXPECT_EQ(out, before) << "nothing is filled in when no opening is left";
    }

    // A data card made by the library has no openings yet; other cards are no data cards.
    CardRecord r = distinctRecord();
    ASSERT_EQ(make(MakeDataCard, r), 1);
    ASSERT_EQ(ReadDataCard(buffer.data()), 1);
    EXPECT_EQ(buffer[0], r.SerialWords[0]);
    EXPECT_EQ(buffer[8], r.SerialWords[8]);
    std::array<uint16_t, 16> out{};
    EXPECT_EQ(readOpening(buffer, out), 0);
    ASSERT_EQ(make(MakeGuestCard, r), 1);
    EXPECT_EQ(ReadDataCard(buffer.data()), -15);
    EXPECT_EQ(readOpening(buffer, out), -15);
    putBlank();
    EXPECT_EQ(ReadDataCard(buffer.data()), -15);
}

// ReadDataCard reads the card once; the openings come after it as long as the card and the
// encoder stay as they were. A card taken off, laid again or written over, or an encoder that
// went away, fails every later call, also once the card is back, until the card is read again.
TEST_F(CardLibrary, ADataCardChangedDuringItsReadFailsTheRest)
{
    const fs::path file = temp_.path / "openings.txt";
    spit(file, "10,44,1,0,0,2024,2,29,13,45\n10,45,1,0,0,2024,2,29,13,46\n"
               "10,46,1,0,0,2024,2,29,13,47\n");
    const auto putDataCard = [&] {
        ASSERT_EQ(tool({"put-data-card", "--lock", "2,3,1203", file.string()}).rc, 0);
    };
    const struct
    {
        const char *name;
        std::function<void()> change;
        int16_t next; // the result of the calls after the change
    } cases[] = {
        {"nothing changed", [] {}, 1},
        {"connected again as it was", [&] { ASSERT_EQ(tool({"connect"}).rc, 0); }, 1},
        {"taken off", [&] { ASSERT_EQ(tool({"take"}).rc, 0); }, -1},
        {"taken off and laid again",
         [&] {
             ASSERT_EQ(tool({"take"}).rc, 0);
             putDataCard();
         },
         -15},
        {"another data card laid on it", putDataCard, -15},
        {"written over",
         [&] {
             CardRecord r = distinctRecord();
             ASSERT_EQ(make(MakeGuestCard, r), 1);
         },
         -15},
        {"edited in place",
         [&] {
             const fs::path card = fs::path(dir()) / "card.dat";
             spit(card, slurp(card) + "\n");
         },
         -15},
        {"encoder disconnected", [&] { ASSERT_EQ(tool({"disconnect"}).rc, 0); }, -2},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        ASSERT_EQ(tool({"connect", "--code", "0A0B0C0D"}).rc, 0);
        putDataCard();
        std::array<uint16_t, 9> buffer{};
        std::array<uint16_t, 16> out{};
        ASSERT_EQ(ReadDataCard(buffer.data()), 1);
        ASSERT_EQ(readOpening(buffer, out), 1);
        c.change();
        EXPECT_EQ(readOpening(buffer, out), c.next);
        if (c.next == 1) {
            EXPECT_EQ(buffer[0], 45);
            continue;
        }
        EXPECT_EQ(readOpening(buffer, out), c.next);
        // The encoder and a data card are back: not the card that was being read.
        ASSERT_EQ(tool({"connect", "--code", "0A0B0C0D"}).rc, 0);
        putDataCard();
        EXPECT_EQ(readOpening(buffer, out), -15);
        // Read again, the card delivers from its first opening.
        ASSERT_EQ(ReadDataCard(buffer.data()), 1);
        ASSERT_EQ(readOpening(buffer, out), 1);
        EXPECT_EQ(buffer[0], 44);
    }
}

// The tool lays and takes cards and a second caller writes cards while the library reads:
// every read sees a whole card or none, and the folder holds no leftover temporary files.
TEST_F(CardLibrary, CallersWorkOnTheFolderAtTheSameTime)
{
    CardRecord guest = distinctRecord();
    CardRecord chief = distinctRecord();
    std::fill(std::begin(chief.SerialWords), std::end(chief.SerialWords), 7);
    putBlank();

    std::atomic<int> running{2};
    std::set<int> writeResults;
    std::thread swapper([&] {
        for (int i = 0; i < 30; ++i)
            tool({i % 2 ? "take" : "put-blank"});
        --running;
    });
    std::thread writer([&] {
        for (int i = 0; i < 300; ++i)
            writeResults.insert(make(i % 2 ? MakeChiefCard : MakeGuestCard, i % 2 ? chief : guest));
        --running;
    });
    std::set<int> readResults;
    int wholeCards = 0;
    while (running > 0) {
        CardRecord back = filled(0);
        int rc = read(back);
        readResults.insert(rc);
        if (rc != 1)
            continue;
        CardRecord asGuest = guest, asChief = chief;
        asGuest.CardTypeBlock[0] = 4;
        asChief.CardTypeBlock[0] = 10;
        const CardRecord blank = filled(0);
        bool whole = std::memcmp(&back, &asGuest, sizeof back) == 0 ||
                     std::memcmp(&back, &asChief, sizeof back) == 0 ||
                     std::memcmp(&back, &blank, sizeof back) == 0;
        EXPECT_TRUE(whole) << "a read saw a mix of two cards";
        wholeCards += whole;
    }
    swapper.join();
    writer.join();
    EXPECT_GT(wholeCards, 0);
    for (int rc : readResults)
        EXPECT_TRUE(rc == 1 || rc == -1) << rc;
    for (int rc : writeResults)
        EXPECT_TRUE(rc == 1 || rc == -1) << rc;
    std::set<std::string> names;
    for (const auto &entry : fs::directory_iterator(dir()))
        names.insert(entry.path().filename().string());
    names.erase("card.dat");
    EXPECT_EQ(names, (std::set<std::string>{".lock", "encoder.state"}));
}

} // namespace
