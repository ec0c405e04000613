// pellux-probe: opens a port and runs one library command by name, printing the result code and
// the bytes that came back. Meant for a technician standing at an encoder.
#include "pellux.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace {

void usage()
{
    std::fprintf(stderr,
                 "usage: pellux-probe [-p PORT] COMMAND [ARGS]\n"
                 "  PORT is 1-4 (COM n is $PELLUX_COMn, default /dev/ttyS<n-1>); default 1.\n"
                 "  Numbers may be decimal or 0x-hex; HEX is a byte string such as 0a1b2c3d.\n"
                 "contactless (2400 8N1):\n"
                 "  version | dllversion | poweron | poweroff | beep P | disable\n"
                 "  readpage PAGE | writepage PAGE HEX4 | readrom | readdata START LEN\n"
                 "  writedata START HEX | readdatacard | lockbyte B | config HEX3\n"
                 "  password HEX4 | checkpassword HEX4 | eeread A B | eewrite A B V\n"
                 "  ti36read | ti36write HEX10 | ti34 TRIES | crc HEX | em4100\n"
                 "  c57read BLOCK | c57write BLOCK HEX4\n"
                 "magnetic: mgread | mgwrite TEXT (9600 8N1), ztread | ztwrite TEXT (9600 7E2)\n");
}

std::vector<uint8_t> hexBytes(const char *text)
{
    std::vector<uint8_t> out;
    size_t n = std::strlen(text);
    for (size_t i = 0; i + 1 < n; i += 2) {
        char pair[3] = {text[i], text[i + 1], 0};
        out.push_back(static_cast<uint8_t>(std::strtoul(pair, nullptr, 16)));
    }
    return out;
}

void printBytes(const char *label, const uint8_t *data, size_t n)
{
    std::printf("%s (%zu):", label, n);
    for (size_t i = 0; i < n; ++i)
        std::printf(" %02x", data[i]);
    std::printf("\n");
}

void printText(const uint8_t *data, size_t max)
{
    size_t n = 0;
    while (n < max && data[n] != 0x0D)
        ++n;
    std::printf("text: \"%.*s\"\n", static_cast<int>(n), reinterpret_cast<const char *>(data));
}

} // namespace

int main(int argc, char **argv)
{
    int port = 1;
    int i = 1;
    if (i + 1 < argc && std::strcmp(argv[i], "-p") == 0) {
        port = std::atoi(argv[i + 1]);
        i += 2;
    }
    if (i >= argc) {
        usage();
        return 2;
    }
    std::string cmd = argv[i++];
    auto need = [&](int count) {
        if (argc - i < count) {
            usage();
            std::exit(2);
        }
    };
    auto num = [&](int k) { return static_cast<uint8_t>(std::strtoul(argv[i + k], nullptr, 0)); };

    if (cmd == "dllversion") {
        char text[32] = {};
        int r = GetRfDllVersion_0(text);
        std::printf("result: %d\ntext: \"%s\"\n", r, text);
        return 0;
    }
    bool magnetic = cmd.rfind("mg", 0) == 0;
    bool zt = cmd.rfind("zt", 0) == 0;
    int opened = zt         ? MG_ZT2330_OpenCommPort(static_cast<int16_t>(port))
                 : magnetic ? MG_OpenCommPort(static_cast<int16_t>(port))
                            : AT88RF256_12_OpenCommPort(static_cast<int16_t>(port));
    if (opened != 1) {
        std::printf("open COM%d: result %d\n", port, opened);
        return 1;
    }

    int r = 0;
    std::vector<uint8_t> buf(4096, 0);
    size_t show = 0;
    if (cmd == "version") {
        r = GetRfRwVersion_1(buf.data());
        show = r == 1 ? 5 : 7;
    } else if (cmd == "poweron") {
        r = AT88RF256_12_PowerOn();
    } else if (cmd == "poweroff") {
        r = AT88RF256_12_PowerOff();
    } else if (cmd == "beep") {
        need(1);
        r = AT88RF256_12_Beep(num(0));
    } else if (cmd == "disable") {
        r = AT88RF256_12_DisableChip();
    } else if (cmd == "readpage") {
        need(1);
        r = AT88RF256_12_ReadPage(buf.data(), num(0));
        show = 4;
    } else if (cmd == "writepage") {
        need(2);
        auto data = hexBytes(argv[i + 1]);
        data.resize(4);
        r = AT88RF256_12_WritePage(data.data(), num(0));
    } else if (cmd == "readrom") {
        r = AT88RF256_12_ReadRom(buf.data());
        show = 8;
    } else if (cmd == "readdata") {
        need(2);
        r = AT88RF256_12_ReadData(buf.data(), num(0), num(1));
        show = num(1);
    } else if (cmd == "writedata") {
        need(2);
        auto data = hexBytes(argv[i + 1]);
        r = AT88RF256_12_WriteData(data.data(), num(0), static_cast<uint8_t>(data.size()));
    } else if (cmd == "readdatacard") {
        r = AT88RF256_12_ReadDataCard(buf.data());
        show = 2049;
    } else if (cmd == "lockbyte") {
        need(1);
        r = AT88RF256_12_WriteLockByte(num(0));
    } else if (cmd == "config") {
        need(1);
        auto data = hexBytes(argv[i]);
        data.resize(3);
        r = AT88RF256_12_WriteConfigurationBits(data.data());
    } else if (cmd == "password" || cmd == "checkpassword") {
        need(1);
        auto data = hexBytes(argv[i]);
        data.resize(4);
        r = cmd == "password" ? AT88RF256_12_WritePassword(data.data())
                              : AT88RF256_12_CheckPassword(data.data());
    } else if (cmd == "eeread") {
        need(2);
        r = eeReadByte(num(0), num(1), buf.data());
        show = 1;
    } else if (cmd == "eewrite") {
        need(3);
        uint8_t v = num(2);
        r = eeWriteByte(num(0), num(1), &v);
    } else if (cmd == "ti36read" || cmd == "ti36write") {
        if (cmd == "ti36write") {
            need(1);
            auto data = hexBytes(argv[i]);
            data.resize(10);
            std::memcpy(buf.data() + 1, data.data(), 10);
            r = TI0036_Write(buf.data() + 1, buf.data());
        } else {
            r = TI0036_Read(buf.data() + 1, buf.data());
        }
        show = 11;
    } else if (cmd == "ti34") {
        need(1);
        r = TI0034_ReadRom(buf.data(), num(0));
        show = 10;
    } else if (cmd == "crc") {
        need(1);
        auto data = hexBytes(argv[i]);
        r = TI0036_CalCRC16(data.data(), static_cast<uint8_t>(data.size()), buf.data(),
                            buf.data() + 1);
        show = 2;
    } else if (cmd == "em4100") {
        r = EM4100_ReadRom(buf.data());
        show = 4;
    } else if (cmd == "c57read") {
        need(1);
        r = Command57(0, 0, 0, 0, 3, num(0), buf.data());
        show = 4;
    } else if (cmd == "c57write") {
        need(2);
        auto data = hexBytes(argv[i + 1]);
        data.resize(4);
        r = Command57(0, 0, 0, 0, 2, num(0), data.data());
    } else if (cmd == "mgread" || cmd == "ztread") {
        r = cmd == "mgread" ? MG_CardRead(buf.data(), 0) : MG_ZT2330_CardRead(buf.data(), 0);
        show = 64;
    } else if (cmd == "mgwrite" || cmd == "ztwrite") {
        need(1);
        auto len = static_cast<uint8_t>(std::min<size_t>(std::strlen(argv[i]), 255));
        auto data = reinterpret_cast<const uint8_t *>(argv[i]);
        r = cmd == "mgwrite" ? MG_CardWrite(data, len) : MG_ZT2330_CardWrite(data, len);
    } else {
        AT88RF256_12_CloseCommPort();
        usage();
        return 2;
    }
    std::printf("result: %d\n", r);
    if (show)
        printBytes("bytes", buf.data(), show);
    if ((cmd == "mgread" || cmd == "ztread") && r == 1)
        printText(buf.data(), 64);
    AT88RF256_12_CloseCommPort();
    return r == 1 || (r == 0 && cmd.rfind("c57", 0) == 0) ? 0 : 1;
}
