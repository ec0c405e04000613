// virtual-encoder: drives the virtual card encoder from outside the front-desk program.
//
//   virtual-encoder [--dir DIR] connect [--port N] [--kind K] [--code HEX8]
//   virtual-encoder [--dir DIR] disconnect | status
//   virtual-encoder [--dir DIR] put-blank | take | show
//   virtual-encoder [--dir DIR] put-data-card --lock BUILDING,FLOOR,ROOM FILE
//
// The encoder folder is DIR, else $KESTRUNE_ENCODER_DIR, else "Encoder" beside this program
// (which is where the card library looks, since both are staged in the same folder).
#include "encoder_store.h"

#include <charconv>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iostream>
#include <limits.h>
#include <sstream>
#include <string>
#include <unistd.h>
#include <vector>

using namespace kestrune;

namespace {

constexpr const char *kUsage =
    "usage: virtual-encoder [--dir DIR] COMMAND [OPTIONS]\n"
    "commands:\n"
    "  connect [--port N] [--kind K] [--code HEX8]\n"
    "                 connect the encoder on COM N (default 1) as kind K (default 3);\n"
    "                 HEX8 sets the system code, else a new encoder gets a random\n"
    "                 factory code and an existing one keeps its code\n"
    "  disconnect     disconnect the encoder (it keeps its code and card)\n"
    "  status         show the encoder and what lies on it\n"
    "  put-blank      lay a blank card on the encoder\n"
    "  take           take the card off the encoder\n"
    "  show           show the card on the encoder\n"
    "  put-data-card --lock BUILDING,FLOOR,ROOM FILE\n"
    "                 lay a data card holding the door openings listed in FILE, one per\n"
    "                 line: CARDTYPE,W0,W1,W2,W3,YEAR,MONTH,DAY,HOUR,MINUTE ('#' comments)\n";

// The openings a data card holds: its 2048 bytes of storage take about 256 records. The
// library re-reads the card for every opening it delivers, so the bound also keeps reading a
// full card quick.
constexpr size_t kMaxOpenings = 256;

// Thrown for anything the user has to correct; main prints it and exits 1.
struct UsageError
{
    std::string message;
};

[[noreturn]] void fail(const std::string &message)
{
    throw UsageError{message};
}

long parseNumber(const std::string &text, long lo, long hi, const std::string &what)
{
    size_t b = text.find_first_not_of(" \t\r");
    size_t e = text.find_last_not_of(" \t\r");
    std::string t = b == std::string::npos ? "" : text.substr(b, e - b + 1);
    long v = 0;
    auto [end, ec] = std::from_chars(t.data(), t.data() + t.size(), v, 10);
    if (t.empty() || ec != std::errc() || end != t.data() + t.size() || v < lo || v > hi)
        fail(what + ": '" + text + "' is not a number from " + std::to_string(lo) + " to " +
             std::to_string(hi));
    return v;
}

std::vector<std::string> splitCommas(const std::string &text)
{
    std::vector<std::string> parts;
    std::string part;
    std::istringstream in(text);
    while (std::getline(in, part, ','))
        parts.push_back(part);
    if (!text.empty() && text.back() == ',')
        parts.push_back("");
    return parts;
}

std::string defaultDir()
{
    const char *env = std::getenv("KESTRUNE_ENCODER_DIR");
    if (env && *env)
        return env;
    char exe[PATH_MAX];
    ssize_t n = ::readlink("/proc/self/exe", exe, sizeof exe - 1);
    if (n <= 0)
        return "Encoder";
    std::string path(exe, static_cast<size_t>(n));
    size_t slash = path.rfind('/');
    return slash == std::string::npos ? "Encoder" : path.substr(0, slash + 1) + "Encoder";
}

struct Args
{
    std::string dir;
    std::string command;
    std::vector<std::pair<std::string, std::string>> options; // --name value
    std::vector<std::string> positional;
};

Args parseArgs(int argc, char **argv)
{
    Args args;
    for (int i = 1; i < argc; ++i) {
        std::string a = argv[i];
        if (a.rfind("--", 0) == 0) {
            if (a == "--help")
                fail("");
            if (i + 1 >= argc)
                fail("option " + a + " needs a value");
            std::string value = argv[++i];
            if (a == "--dir" && value.empty())
                fail("--dir needs a folder");
            if (a == "--dir")
                args.dir = value;
            else
                args.options.emplace_back(a, value);
        } else if (args.command.empty()) {
            args.command = a;
        } else {
            args.positional.push_back(a);
        }
    }
    if (args.command.empty())
        fail("no command given");
    if (args.dir.empty())
        args.dir = defaultDir();
    return args;
}

// Checks that only the allowed options and the expected number of plain arguments were given.
void expectArgs(const Args &args, std::initializer_list<const char *> allowed, size_t positional)
{
    for (const auto &[name, value] : args.options) {
        bool ok = false;
        for (const char *a : allowed)
            ok = ok || name == a;
        if (!ok)
            fail("option " + name + " does not apply to " + args.command);
    }
    if (args.positional.size() != positional)
        fail(args.command + " takes " +
             (positional ? std::to_string(positional) + " file argument" : "no argument") +
             (args.positional.size() > positional
                  ? ": unexpected '" + args.positional[positional] + "'"
                  : ""));
}

const std::string *option(const Args &args, const char *name)
{
    const std::string *found = nullptr;
    for (const auto &[n, v] : args.options)
        if (n == name)
            found = &v;
    return found;
}

// Holds the folder lock and the encoder state for commands that need an existing encoder.
struct Encoder
{
    explicit Encoder(const std::string &dir) : lock(dir)
    {
        if (!lock.ok())
            fail("no encoder in " + dir + " (run 'virtual-encoder connect' first)");
        Loaded<EncoderState> loaded = loadState(dir);
        if (loaded.status == Load::Missing)
            fail("no encoder in " + dir + " (run 'virtual-encoder connect' first)");
        if (loaded.status == Load::Damaged)
            fail("the encoder state in " + dir +
                 " is damaged (run 'virtual-encoder connect' to set it up again)");
        state = loaded.value;
    }
    FolderLock lock;
    EncoderState state;
};

void writeCardOrFail(const std::string &dir, const Card &card)
{
    if (!saveCard(dir, card))
        fail("cannot write the card in " + dir);
}

std::string timeText(const CardWords &w, int at)
{
    char text[64];
    std::snprintf(text, sizeof text, "%04u-%02u-%02u %02u:%02u", w[at], w[at + 1], w[at + 2],
                  w[at + 3], w[at + 4]);
    return text;
}

void printCard(const Loaded<Card> &card)
{
    if (card.status == Load::Missing) {
        std::cout << "no card\n";
        return;
    }
    if (card.status == Load::Damaged) {
        std::cout << "damaged card\n";
        return;
    }
    if (card.value.blank) {
        std::cout << "blank card\n";
        return;
    }
    const CardWords &w = card.value.words;
    std::cout << "CardType: " << w[kCardTypeAt] << "\n"
              << "LostKind: " << w[kCardTypeAt + 1] << "\n"
              << "Serial: " << w[kSerialAt] << ' ' << w[kSerialAt + 1] << ' ' << w[kSerialAt + 2]
              << ' ' << w[kSerialAt + 3] << "\n"
              << "Building: " << w[kBuildingAt] << "\n"
              << "Floor: " << w[kFloorAt] << "\n"
              << "Room: " << w[kRoomAddrAt] << ' ' << w[kRoomAddrAt + 1] << ' '
              << w[kRoomAddrAt + 2] << "\n"
              << "District: " << w[kDistrictAt] << "\n"
              << "enOverride: " << w[kEnOverrideAt] << "\n"
              << "Start: " << timeText(w, kStartAt) << "\n"
              << "End: " << timeText(w, kEndAt) << "\n";
}

std::vector<Opening> readOpenings(const std::string &file)
{
    std::ifstream in(file);
    if (!in)
        fail("cannot read " + file);
    std::vector<Opening> openings;
    std::string line;
    for (int lineNo = 1; std::getline(in, line); ++lineNo) {
        line = line.substr(0, line.find('#'));
        if (line.find_first_not_of(" \t\r") == std::string::npos)
            continue;
        std::vector<std::string> fields = splitCommas(line);
        std::string where = file + ":" + std::to_string(lineNo);
        if (fields.size() != 10)
            fail(where +
                 ": expected 10 comma-separated numbers "
                 "(CARDTYPE,W0,W1,W2,W3,YEAR,MONTH,DAY,HOUR,MINUTE), found " +
                 std::to_string(fields.size()));
        uint16_t v[10];
        for (int i = 0; i < 10; ++i)
            v[i] = static_cast<uint16_t>(parseNumber(fields[i], 0, 65535, where));
        if (openings.size() == kMaxOpenings)
            fail(where + ": a data card holds at most " + std::to_string(kMaxOpenings) +
                 " openings");
        Opening o;
        o.cardType = v[0];
        std::copy(v + 1, v + 5, o.serial.begin());
        std::copy(v + 5, v + 10, o.time.begin());
        openings.push_back(o);
    }
    return openings;
}

int run(const Args &args)
{
    const std::string &dir = args.dir;
    const std::string &cmd = args.command;

    if (cmd == "connect") {
        expectArgs(args, {"--port", "--kind", "--code"}, 0);
        EncoderState next;
        next.connected = true;
        const std::string *port = option(args, "--port");
        next.port = port ? static_cast<int>(parseNumber(*port, 1, 4, "--port")) : 1;
        const std::string *kind = option(args, "--kind");
        next.kind = kind ? static_cast<int16_t>(parseNumber(*kind, INT16_MIN, INT16_MAX, "--kind"))
                         : int16_t{3};
        std::optional<SystemCode> code;
        if (const std::string *hex = option(args, "--code")) {
            code = codeFromHex(*hex);
            if (!code)
                fail("--code: '" + *hex + "' is not eight hexadecimal digits");
        }
        if (!makeDirectories(dir))
            fail("cannot create the encoder folder " + dir);
        FolderLock lock(dir);
        if (!lock.ok())
            fail("cannot lock the encoder folder " + dir);
        Loaded<EncoderState> old = loadState(dir);
        // Reconnecting keeps the code the hotel gave the encoder; only a new (or damaged)
        // encoder starts with a random factory code.
        next.code = code ? *code : old.status == Load::Ok ? old.value.code : randomSystemCode();
        if (!saveState(dir, next))
            fail("cannot write the encoder state in " + dir);
        std::cout << "connected on COM" << next.port << ", kind " << next.kind << ", code "
                  << codeToHex(next.code) << "\n";
        return 0;
    }
    if (cmd == "disconnect") {
        expectArgs(args, {}, 0);
        Encoder enc(dir);
        enc.state.connected = false;
        if (!saveState(dir, enc.state))
            fail("cannot write the encoder state in " + dir);
        std::cout << "disconnected\n";
        return 0;
    }
    if (cmd == "status") {
        expectArgs(args, {}, 0);
        FolderLock lock(dir);
        Loaded<EncoderState> st = lock.ok() ? loadState(dir) : Loaded<EncoderState>{};
        if (st.status != Load::Ok) {
            std::cout << (st.status == Load::Damaged ? "damaged encoder state\n" : "no encoder\n");
            return 0;
        }
        std::cout << "Encoder: " << (st.value.connected ? "connected" : "disconnected") << "\n"
                  << "Port: " << st.value.port << "\n"
                  << "Kind: " << st.value.kind << "\n"
                  << "Code: " << codeToHex(st.value.code) << "\n"
                  << "Card: ";
        Loaded<Card> card = loadCard(dir);
        if (card.status == Load::Ok && !card.value.blank)
            std::cout << (card.value.isDataCard() ? "data card" : "card") << " of type "
                      << card.value.cardType()
                      << (card.value.code == st.value.code ? "" : ", another system code") << "\n";
        else
            printCard(card);
        return 0;
    }
    if (cmd == "put-blank") {
        expectArgs(args, {}, 0);
        Encoder enc(dir);
        writeCardOrFail(dir, Card{});
        std::cout << "blank card on the encoder\n";
        return 0;
    }
    if (cmd == "take") {
        expectArgs(args, {}, 0);
        Encoder enc(dir);
        if (!removeCard(dir))
            fail("cannot remove the card in " + dir);
        std::cout << "card taken off the encoder\n";
        return 0;
    }
    if (cmd == "show") {
        expectArgs(args, {}, 0);
        Encoder enc(dir);
        printCard(loadCard(dir));
        return 0;
    }
    if (cmd == "put-data-card") {
        expectArgs(args, {"--lock"}, 1);
        const std::string *lockText = option(args, "--lock");
        if (!lockText)
            fail("put-data-card needs --lock BUILDING,FLOOR,ROOM");
        std::vector<std::string> lockParts = splitCommas(*lockText);
        if (lockParts.size() != 3)
            fail("--lock: expected BUILDING,FLOOR,ROOM, got '" + *lockText + "'");
        auto building = static_cast<uint16_t>(parseNumber(lockParts[0], 0, 65535, "--lock"));
        auto floor = static_cast<uint16_t>(parseNumber(lockParts[1], 0, 65535, "--lock"));
        auto room = static_cast<uint16_t>(parseNumber(lockParts[2], 0, 65535, "--lock"));
        std::vector<Opening> openings = readOpenings(args.positional[0]);
        Encoder enc(dir);
        Card card;
        card.blank = false;
        card.code = enc.state.code;
        card.words[kCardTypeAt] = kDataCardType;
        card.words[kBuildingAt] = building;
        card.words[kFloorAt] = floor;
        card.words[kRoomAddrAt] = room;
        card.words[kRoomAddrAt + 1] = building;
        card.words[kRoomAddrAt + 2] = floor;
        card.openings = std::move(openings);
        writeCardOrFail(dir, card);
        std::cout << "data card with " << card.openings.size() << " opening(s) on the encoder\n";
        return 0;
    }
    fail("unknown command '" + cmd + "'");
}

} // namespace

int main(int argc, char **argv)
{
    try {
        return run(parseArgs(argc, argv));
    } catch (const UsageError &e) {
        if (e.message.empty()) {
            std::cout << kUsage;
            return 0;
        }
        std::cerr << "virtual-encoder: " << e.message
                  << "\n(virtual-encoder --help shows the usage)\n";
        return 1;
    } catch (const std::exception &e) {
        std::cerr << "virtual-encoder: " << e.what() << "\n";
        return 1;
    }
}
