// A copy of the program folder works on its own: the card library, found by its $ORIGIN, keeps
// its encoder in Encoder/ beside itself, where virtual-encoder of the same copy puts it; the
// message library loads from Dll/1033/. This binary does not link the card library, so the
// only one in the process is the copy.
#include "morvic/morvic.h"
#include "test_support.h"

#include <dlfcn.h>

using namespace testsupport;

namespace {

TEST(StagedCopy, CardAndMessageLibrariesWorkFromACopyOfTheProgramFolder)
{
    ::unsetenv("KESTRUNE_ENCODER_DIR");
    TempDir temp;
    const fs::path copy = temp.path / "Quenmar";
    const fs::path stage = QUENMAR_STAGE_DIR;
    for (const char *file : {"libKestrune.so", "virtual-encoder", "Dll/1033/libMorvic.so"}) {
        fs::create_directories((copy / file).parent_path());
        fs::copy_file(stage / file, copy / file);
    }
    const std::string tool = (copy / "virtual-encoder").string();
    ASSERT_EQ(runProgram(tool, {"connect", "--code", "0A0B0C0D"}).rc, 0);
    ASSERT_EQ(runProgram(tool, {"put-blank"}).rc, 0);
    ASSERT_TRUE(fs::exists(copy / "Encoder" / "encoder.state"));

    void *lib = ::dlopen((copy / "libKestrune.so").c_str(), RTLD_NOW | RTLD_LOCAL);
    ASSERT_NE(lib, nullptr) << ::dlerror();
    auto open = reinterpret_cast<int16_t (*)(int16_t)>(::dlsym(lib, "MakeCardOpenPort"));
    auto makeChief = reinterpret_cast<int16_t (*)(
        uint16_t *, uint16_t *, uint16_t, uint16_t *, uint16_t *, uint16_t *, uint16_t, uint16_t *,
        uint16_t *, uint16_t *, uint16_t *)>(::dlsym(lib, "MakeChiefCard"));
    ASSERT_TRUE(open && makeChief);
    EXPECT_EQ(::dlsym(lib, "loadCard"), nullptr) << "only the C entries are exported";
    ASSERT_EQ(open(1), 1);
    uint16_t rec[63] = {44, 1};
    ASSERT_EQ(makeChief(rec, rec + 9, 0, rec + 22, rec + 31, rec + 15, 1, rec + 36, rec + 46,
                        rec + 51, rec + 57),
              1);
    ::dlclose(lib);
    RunResult show = runProgram(tool, {"show"});
    EXPECT_TRUE(show.out.starts_with("CardType: 10\nLostKind: 0\nSerial: 44 1 0 0\n")) << show.out;

    void *morvic = ::dlopen((copy / "Dll/1033/libMorvic.so").c_str(), RTLD_NOW | RTLD_LOCAL);
    ASSERT_NE(morvic, nullptr) << ::dlerror();
    auto getMsg = reinterpret_cast<MorvicGetMsgStrFn>(::dlsym(morvic, "GetMsgStr"));
    ASSERT_NE(getMsg, nullptr);
    uint8_t buffer[MORVIC_BUFFER_SIZE] = {};
    getMsg(buffer, 1, 1);
    EXPECT_EQ(std::string(reinterpret_cast<char *>(buffer + 1), buffer[0]), "Success!");
    ::dlclose(morvic);
}

} // namespace
