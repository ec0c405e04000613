// libFuzzer target: the record reader and the link control take any bytes in any pieces.
#include "link.h"
#include "record.h"

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size < 1)
        return 0;
    // The first byte chooses the piece length, so records are split in every way.
    const std::size_t piece = 1 + data[0] % 64;
    const std::string_view input(reinterpret_cast<const char *>(data + 1), size - 1);

    pms::Link::Config config;
    config.stamp = [] { return std::pair<std::string, std::string>("240502", "183000"); };
    config.authenticate = [](const std::string &s) { return s; };
    pms::Link link(config);
    link.connected(0);
    pms::Reader reader;
    std::int64_t now = 0;
    for (std::size_t i = 0; i < input.size(); i += piece) {
        now += 1000;
        const auto out = reader.feed(input.substr(i, piece), now);
        for (const pms::Record &r : out.records) {
            if (r.id.size() != 2)
                std::abort();
            const auto step = link.received(r);
            for (const pms::Record &answer : step.send) {
                // What we send must read back as exactly one record.
                pms::Reader check;
                if (check.feed(pms::Encode(answer), 0).records.size() != 1)
                    std::abort();
            }
        }
        link.tick(now);
    }
    return 0;
}
