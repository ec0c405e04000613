// The virtual-encoder command line: its output and its refusals.
#include "kestrune/kestrune.h"
#include "test_support.h"

using namespace testsupport;

namespace {

class VirtualEncoderTool : public ::testing::Test
{
protected:
    fs::path dir() const { return temp_.path / "Encoder"; }
    RunResult tool(std::vector<std::string> args) { return encoderTool(dir(), std::move(args)); }
    TempDir temp_;
};

TEST_F(VirtualEncoderTool, ConnectAndStatus)
{
    EXPECT_EQ(tool({"status"}).out, "no encoder\n");
    ASSERT_EQ(tool({"connect"}).rc, 0);
    RunResult status = tool({"status"});
    EXPECT_EQ(status.rc, 0);
    EXPECT_TRUE(status.out.starts_with("Encoder: connected\nPort: 1\nKind: 3\nCode: "))
        << status.out;
    EXPECT_TRUE(status.out.ends_with("Card: no card\n")) << status.out;

    ASSERT_EQ(tool({"connect", "--port", "4", "--kind", "2", "--code", "a1b2c3d4"}).rc, 0);
    ASSERT_EQ(tool({"put-blank"}).rc, 0);
    ASSERT_EQ(tool({"disconnect"}).rc, 0);
    EXPECT_EQ(tool({"status"}).out, "Encoder: disconnected\nPort: 4\nKind: 2\nCode: A1B2C3D4\n"
                                    "Card: blank card\n");
}

TEST_F(VirtualEncoderTool, ShowPrintsTheCardFields)
{
    ASSERT_EQ(tool({"connect", "--code", "01020304"}).rc, 0);
    EXPECT_EQ(tool({"show"}).out, "no card\n");
    ASSERT_EQ(tool({"put-blank"}).rc, 0);
    EXPECT_EQ(tool({"show"}).out, "blank card\n");

    ::setenv("KESTRUNE_ENCODER_DIR", dir().c_str(), 1);
    ASSERT_EQ(MakeCardOpenPort(1), 1);
    uint16_t serial[9] = {5, 0, 0, 0}, reservedA[5] = {}, floor[9] = {12}, district[5] = {7};
    uint16_t room[7] = {1203, 2, 12}, type[9] = {0, 3}, reservedB[5] = {};
    uint16_t start[6] = {2024, 2, 29, 13, 45, 0}, end[6] = {2024, 3, 1, 9, 5, 0};
    ASSERT_EQ(
        MakeGuestCard(serial, reservedA, 2, floor, district, room, 1, type, reservedB, start, end),
        1);
    ::unsetenv("KESTRUNE_ENCODER_DIR");

    RunResult show = tool({"show"});
    EXPECT_EQ(show.rc, 0);
    EXPECT_EQ(show.out, "CardType: 4\n"
                        "LostKind: 3\n"
                        "Serial: 5 0 0 0\n"
                        "Building: 2\n"
                        "Floor: 12\n"
                        "Room: 1203 2 12\n"
                        "District: 7\n"
                        "enOverride: 1\n"
                        "Start: 2024-02-29 13:45\n"
                        "End: 2024-03-01 09:05\n");

    ASSERT_EQ(tool({"take"}).rc, 0);
    EXPECT_EQ(tool({"show"}).out, "no card\n");
}

TEST_F(VirtualEncoderTool, PutDataCardShowsTheLockAddress)
{
    ASSERT_EQ(tool({"connect"}).rc, 0);
    fs::path file = temp_.path / "openings";
    spit(file, "# nothing opened yet\n");
    RunResult put = tool({"put-data-card", "--lock", "1,2,3", file.string()});
    ASSERT_EQ(put.rc, 0) << put.err;
    EXPECT_EQ(tool({"show"}).out, "CardType: 14\nLostKind: 0\nSerial: 0 0 0 0\nBuilding: 1\n"
                                  "Floor: 2\nRoom: 3 1 2\nDistrict: 0\nenOverride: 0\n"
                                  "Start: 0000-00-00 00:00\nEnd: 0000-00-00 00:00\n");
}

// Bad input exits 1 with a message and leaves the encoder as it was.
TEST_F(VirtualEncoderTool, BadArgumentsAreRefused)
{
    const fs::path file = temp_.path / "openings";
    const fs::path badFile = temp_.path / "bad";
    const std::vector<std::pair<std::string, std::vector<std::string>>> cases = {
        {"no command", {}},
        {"unknown command", {"insert"}},
        {"port out of range", {"connect", "--port", "5"}},
        {"port not a number", {"connect", "--port", "one"}},
        {"kind out of range", {"connect", "--kind", "40000"}},
        {"code too short", {"connect", "--code", "0A0B0C"}},
        {"code not hex", {"connect", "--code", "0A0B0CXY"}},
        {"option without value", {"connect", "--port"}},
        {"option of another command", {"show", "--port", "1"}},
        {"extra argument", {"take", "now"}},
        {"data card without lock", {"put-data-card", file.string()}},
        {"data card without file", {"put-data-card", "--lock", "1,2,3"}},
        {"lock with two numbers", {"put-data-card", "--lock", "1,2", file.string()}},
        {"lock with a negative number", {"put-data-card", "--lock", "1,-2,3", file.string()}},
        {"missing file", {"put-data-card", "--lock", "1,2,3", (temp_.path / "none").string()}},
        {"bad opening line", {"put-data-card", "--lock", "1,2,3", badFile.string()}},
    };
    const std::vector<std::string> badLines = {
        "10,44,1,0,0,2024,2,29,13",    "10,44,1,0,0,2024,2,29,13,45,0",
        "10,44,1,0,0,2024,2,29,13,x",  "10,44,1,0,0,2024,2,29,13,70000",
        "10,44,1,0,0,2024,2,29,13,-1", "10,44,,0,0,2024,2,29,13,45"};
    ASSERT_EQ(tool({"connect", "--code", "01020304"}).rc, 0);
    ASSERT_EQ(tool({"put-blank"}).rc, 0);
    spit(file, "10,44,1,0,0,2024,2,29,13,45\n");
    const std::string before = tool({"status"}).out;
    auto check = [&](const std::string &name, const std::vector<std::string> &args) {
        SCOPED_TRACE(name);
        RunResult r = tool(args);
        EXPECT_EQ(r.rc, 1);
        EXPECT_TRUE(r.err.starts_with("virtual-encoder: ")) << r.err;
        EXPECT_EQ(tool({"status"}).out, before);
    };
    for (const auto &[name, args] : cases)
        if (name != "bad opening line")
            check(name, args);
    for (const std::string &line : badLines) {
        spit(badFile, "1,1,0,0,0,2024,1,1,0,0\n" + line + "\n");
        check(line, cases.back().second);
    }
    std::string full;
    for (int i = 0; i < 256; ++i)
        full += "1,1,0,0,0,2024,1,1,0,0\n";
    spit(badFile, full + "1,1,0,0,0,2024,1,1,0,0\n");
    check("257 openings, one more than a data card holds", cases.back().second);
    spit(badFile, full);
    EXPECT_EQ(tool(cases.back().second).rc, 0) << "256 openings fit";
    ASSERT_EQ(tool({"put-blank"}).rc, 0);
    spit(badFile, "1,1,0,0,0,2024,1,1,0,0\n10,44,1,0,0,2024,2,29,13\n");
    RunResult bad = tool(cases.back().second);
    EXPECT_NE(bad.err.find(badFile.string() + ":2:"), std::string::npos) << bad.err;

    // Without an encoder folder, card commands refuse too.
    TempDir empty;
    for (const char *cmd : {"put-blank", "take", "show", "disconnect"}) {
        SCOPED_TRACE(cmd);
        RunResult r = encoderTool(empty.path / "Encoder", {cmd});
        EXPECT_EQ(r.rc, 1);
        EXPECT_NE(r.err.find("no encoder"), std::string::npos) << r.err;
    }
}

} // namespace
