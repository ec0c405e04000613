#include "encoder_store.h"

#include <cerrno>
#include <charconv>
#include <cstdio>
#include <fcntl.h>
#include <random>
#include <sstream>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace kestrune {

namespace {

constexpr const char *kStateMagic = "kestrune-encoder 1";
constexpr const char *kCardMagic = "kestrune-card 1";
// A card file larger than this is not a card of ours; refuse it before reading it whole.
constexpr off_t kMaxFileSize = 8 * 1024 * 1024;

std::string joinPath(const std::string &dir, const char *name)
{
    return dir.empty() || dir.back() == '/' ? dir + name : dir + "/" + name;
}

// Reads the whole file: Missing when it does not exist, Damaged when it cannot be read or is
// not a regular file of sensible size.
Load readFile(const std::string &path, std::string &out)
{
    // O_NONBLOCK: something other than a file put in its place (a pipe) must not hang a call.
    int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0)
        return errno == ENOENT ? Load::Missing : Load::Damaged;
    struct stat st
    {
    };
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode) || st.st_size > kMaxFileSize) {
        ::close(fd);
        return Load::Damaged;
    }
    out.clear();
    char buf[4096];
    for (;;) {
        ssize_t n = ::read(fd, buf, sizeof buf);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0) {
            ::close(fd);
            return Load::Damaged;
        }
        if (n == 0)
            break;
        out.append(buf, static_cast<size_t>(n));
        if (out.size() > static_cast<size_t>(kMaxFileSize)) {
            ::close(fd);
            return Load::Damaged;
        }
    }
    ::close(fd);
    return Load::Ok;
}

bool writeAll(int fd, const std::string &data)
{
    size_t done = 0;
    while (done < data.size()) {
        ssize_t n = ::write(fd, data.data() + done, data.size() - done);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        done += static_cast<size_t>(n);
    }
    return true;
}

// Writes the file next to its final place and renames it over the old one, so a reader never
// sees a half-written file, even after a crash in the middle of the write.
bool writeFileAtomically(const std::string &dir, const char *name, const std::string &data)
{
    std::string tmpl = joinPath(dir, name) + ".XXXXXX";
    int fd = ::mkstemp(tmpl.data());
    if (fd < 0)
        return false;
    // mkstemp makes the file private; the program and the tool may run as different users.
    bool ok = ::fchmod(fd, 0644) == 0 && writeAll(fd, data) && ::fsync(fd) == 0;
    ok = (::close(fd) == 0) && ok;
    if (ok)
        ok = ::rename(tmpl.c_str(), joinPath(dir, name).c_str()) == 0;
    if (!ok) {
        ::unlink(tmpl.c_str());
        return false;
    }
    int dfd = ::open(dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dfd >= 0) {
        ::fsync(dfd);
        ::close(dfd);
    }
    return true;
}

// Separates the body from its closing "crc XXXXXXXX" line and checks it.
std::optional<std::string> checkedBody(const std::string &text)
{
    constexpr size_t kCrcLine = 13; // "crc " + 8 hex digits + "\n"
    if (text.size() < kCrcLine)
        return std::nullopt;
    size_t at = text.size() - kCrcLine;
    if (text.compare(at, 4, "crc ") != 0 || text.back() != '\n' || (at > 0 && text[at - 1] != '\n'))
        return std::nullopt;
    uint32_t stored = 0;
    const char *first = text.data() + at + 4;
    auto [end, ec] = std::from_chars(first, first + 8, stored, 16);
    if (ec != std::errc() || end != first + 8)
        return std::nullopt;
    std::string body = text.substr(0, at);
    if (crc32(body) != stored)
        return std::nullopt;
    return body;
}

std::string withCrc(const std::string &body)
{
    char line[16];
    std::snprintf(line, sizeof line, "crc %08X\n", crc32(body));
    return body + line;
}

// Reads whitespace-separated decimal numbers in [lo, hi] from the rest of a line.
template <class T> bool readNumbers(std::istringstream &in, T *out, int count, long lo, long hi)
{
    for (int i = 0; i < count; ++i) {
        std::string tok;
        if (!(in >> tok))
            return false;
        long v = 0;
        auto [end, ec] = std::from_chars(tok.data(), tok.data() + tok.size(), v, 10);
        if (ec != std::errc() || end != tok.data() + tok.size() || v < lo || v > hi)
            return false;
        out[i] = static_cast<T>(v);
    }
    std::string extra;
    return !(in >> extra);
}

bool expectKey(std::istringstream &in, const char *key)
{
    std::string word;
    return (in >> word) && word == key;
}

} // namespace

FolderLock::FolderLock(const std::string &dir)
{
    struct stat st
    {
    };
    if (dir.empty() || ::stat(dir.c_str(), &st) != 0 || !S_ISDIR(st.st_mode))
        return;
    std::string path = joinPath(dir, kLockFile);
    int fd = ::open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0644);
    if (fd < 0)
        fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return;
    int rc;
    do {
        rc = ::flock(fd, LOCK_EX);
    } while (rc != 0 && errno == EINTR);
    if (rc != 0) {
        ::close(fd);
        return;
    }
    fd_ = fd;
}

FolderLock::~FolderLock()
{
    if (fd_ >= 0) {
        ::flock(fd_, LOCK_UN);
        ::close(fd_);
    }
}

uint32_t crc32(const std::string &data)
{
    static const auto table = [] {
        std::array<uint32_t, 256> t{};
        for (uint32_t i = 0; i < 256; ++i) {
            uint32_t c = i;
            for (int k = 0; k < 8; ++k)
                c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
            t[i] = c;
        }
        return t;
    }();
    uint32_t crc = 0xFFFFFFFFu;
    for (unsigned char ch : data)
        crc = table[(crc ^ ch) & 0xFF] ^ (crc >> 8);
    return crc ^ 0xFFFFFFFFu;
}

uint64_t randomId()
{
    std::random_device rd;
    return (static_cast<uint64_t>(rd()) << 32) ^ rd();
}

SystemCode randomSystemCode()
{
    std::random_device rd;
    std::uniform_int_distribution<int> byte(0, 255);
    return {static_cast<uint16_t>(byte(rd)), static_cast<uint16_t>(byte(rd)),
            static_cast<uint16_t>(byte(rd)), static_cast<uint16_t>(byte(rd))};
}

std::string codeToHex(const SystemCode &code)
{
    char text[16];
    std::snprintf(text, sizeof text, "%02X%02X%02X%02X", code[0] & 0xFF, code[1] & 0xFF,
                  code[2] & 0xFF, code[3] & 0xFF);
    return text;
}

std::optional<SystemCode> codeFromHex(const std::string &hex)
{
    if (hex.size() != 8)
        return std::nullopt;
    SystemCode code{};
    for (int i = 0; i < 4; ++i) {
        unsigned v = 0;
        const char *first = hex.data() + 2 * i;
        auto [end, ec] = std::from_chars(first, first + 2, v, 16);
        if (ec != std::errc() || end != first + 2)
            return std::nullopt;
        code[i] = static_cast<uint16_t>(v);
    }
    return code;
}

std::string serializeState(const EncoderState &state)
{
    std::ostringstream out;
    out << kStateMagic << "\n"
        << "connected " << (state.connected ? 1 : 0) << "\n"
        << "port " << state.port << "\n"
        << "kind " << state.kind << "\n"
        << "code " << state.code[0] << ' ' << state.code[1] << ' ' << state.code[2] << ' '
        << state.code[3] << "\n";
    return withCrc(out.str());
}

std::optional<EncoderState> parseState(const std::string &text)
{
    auto body = checkedBody(text);
    if (!body)
        return std::nullopt;
    std::istringstream lines(*body);
    std::string line;
    if (!std::getline(lines, line) || line != kStateMagic)
        return std::nullopt;
    EncoderState state;
    int connected = 0;
    int port = 0;
    int16_t kind = 0;
    const char *keys[] = {"connected", "port", "kind", "code"};
    for (const char *key : keys) {
        if (!std::getline(lines, line))
            return std::nullopt;
        std::istringstream in(line);
        if (!expectKey(in, key))
            return std::nullopt;
        bool ok = false;
        if (key == keys[0])
            ok = readNumbers(in, &connected, 1, 0, 1);
        else if (key == keys[1])
            ok = readNumbers(in, &port, 1, 1, 4);
        else if (key == keys[2])
            ok = readNumbers(in, &kind, 1, INT16_MIN, INT16_MAX);
        else
            ok = readNumbers(in, state.code.data(), 4, 0, 255);
        if (!ok)
            return std::nullopt;
    }
    if (std::getline(lines, line))
        return std::nullopt;
    state.connected = connected == 1;
    state.port = port;
    state.kind = kind;
    return state;
}

std::string serializeCard(const Card &card)
{
    std::ostringstream out;
    out << kCardMagic << "\n";
    if (card.blank) {
        out << "blank\n";
        return withCrc(out.str());
    }
    out << "written " << std::hex << card.id << std::dec << "\n";
    out << "code " << card.code[0] << ' ' << card.code[1] << ' ' << card.code[2] << ' '
        << card.code[3] << "\n";
    out << "words";
    for (uint16_t w : card.words)
        out << ' ' << w;
    out << "\n";
    for (const Opening &o : card.openings) {
        out << "opening " << o.cardType;
        for (uint16_t w : o.serial)
            out << ' ' << w;
        for (uint16_t w : o.time)
            out << ' ' << w;
        out << "\n";
    }
    return withCrc(out.str());
}

std::optional<Card> parseCard(const std::string &text)
{
    auto body = checkedBody(text);
    if (!body)
        return std::nullopt;
    std::istringstream lines(*body);
    std::string line;
    if (!std::getline(lines, line) || line != kCardMagic)
        return std::nullopt;
    if (!std::getline(lines, line))
        return std::nullopt;
    Card card;
    if (line == "blank")
        return std::getline(lines, line) ? std::nullopt : std::optional<Card>(card);

    std::istringstream head(line);
    std::string idText;
    if (!expectKey(head, "written") || !(head >> idText))
        return std::nullopt;
    auto [end, ec] = std::from_chars(idText.data(), idText.data() + idText.size(), card.id, 16);
    if (ec != std::errc() || end != idText.data() + idText.size())
        return std::nullopt;
    card.blank = false;

    if (!std::getline(lines, line))
        return std::nullopt;
    std::istringstream codeLine(line);
    if (!expectKey(codeLine, "code") || !readNumbers(codeLine, card.code.data(), 4, 0, 255))
        return std::nullopt;

    if (!std::getline(lines, line))
        return std::nullopt;
    std::istringstream wordLine(line);
    if (!expectKey(wordLine, "words") ||
        !readNumbers(wordLine, card.words.data(), kCardWords, 0, UINT16_MAX))
        return std::nullopt;

    while (std::getline(lines, line)) {
        std::istringstream in(line);
        std::array<uint16_t, 10> v{};
        if (!expectKey(in, "opening") || !readNumbers(in, v.data(), 10, 0, UINT16_MAX))
            return std::nullopt;
        Opening o;
        o.cardType = v[0];
        std::copy(v.begin() + 1, v.begin() + 5, o.serial.begin());
        std::copy(v.begin() + 5, v.end(), o.time.begin());
        card.openings.push_back(o);
    }
    return card;
}

Loaded<EncoderState> loadState(const std::string &dir)
{
    Loaded<EncoderState> result;
    std::string text;
    result.status = readFile(joinPath(dir, kStateFile), text);
    if (result.status != Load::Ok)
        return result;
    auto state = parseState(text);
    if (!state) {
        result.status = Load::Damaged;
        return result;
    }
    result.value = *state;
    return result;
}

bool saveState(const std::string &dir, const EncoderState &state)
{
    return writeFileAtomically(dir, kStateFile, serializeState(state));
}

Loaded<FileIdentity> fileIdentity(const std::string &dir, const char *name)
{
    Loaded<FileIdentity> result;
    struct stat st
    {
    };
    if (::stat(joinPath(dir, name).c_str(), &st) != 0) {
        result.status = errno == ENOENT ? Load::Missing : Load::Damaged;
        return result;
    }
    if (!S_ISREG(st.st_mode)) {
        result.status = Load::Damaged;
        return result;
    }
    const auto ns = [](const timespec &t) { return int64_t(t.tv_sec) * 1000000000 + t.tv_nsec; };
    result.status = Load::Ok;
    result.value = {uint64_t(st.st_dev), uint64_t(st.st_ino), int64_t(st.st_size), ns(st.st_mtim),
                    ns(st.st_ctim)};
    return result;
}

Loaded<Card> loadCard(const std::string &dir)
{
    Loaded<Card> result;
    std::string text;
    result.status = readFile(joinPath(dir, kCardFile), text);
    if (result.status != Load::Ok)
        return result;
    auto card = parseCard(text);
    if (!card) {
        result.status = Load::Damaged;
        return result;
    }
    result.value = std::move(*card);
    return result;
}

bool saveCard(const std::string &dir, Card card)
{
    card.id = card.blank ? 0 : randomId();
    return writeFileAtomically(dir, kCardFile, serializeCard(card));
}

bool removeCard(const std::string &dir)
{
    return ::unlink(joinPath(dir, kCardFile).c_str()) == 0 || errno == ENOENT;
}

bool makeDirectories(const std::string &dir)
{
    if (dir.empty())
        return false;
    std::string path;
    size_t pos = 0;
    while (pos != std::string::npos) {
        pos = dir.find('/', pos + 1);
        path = dir.substr(0, pos);
        if (path.empty())
            continue;
        if (::mkdir(path.c_str(), 0755) != 0 && errno != EEXIST)
            return false;
    }
    struct stat st
    {
    };
    return ::stat(dir.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

} // namespace kestrune
