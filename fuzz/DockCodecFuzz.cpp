// Feeds arbitrary bytes to the docks.json reader. Whatever it accepts must survive a round trip:
// written, read again and written again, it gives the same docks and the same text.

#include "models/DockCodec.h"

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

namespace {

[[noreturn]] void failed(const char* what) {
    std::fprintf(stderr, "DockCodecFuzz: %s\n", what);
    std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    QByteArray json(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    // Half of the inputs come with spare capacity, which the reader parses in place.
    if (size % 2 == 1)
        json.reserve(json.size() + 128);

    const DockCodec::Decoded decoded = DockCodec::decode(json);
    if (!decoded.ok()) {
        if (!decoded.docks.empty())
            failed("a failed read returned docks");
        if (!decoded.error.startsWith(QLatin1Char('$')))
            failed("an error without its place");
        return 0;
    }
    const std::optional<QByteArray> written = DockCodec::encode(decoded.docks);
    if (!written)
        failed("docks that were read cannot be written");
    const DockCodec::Decoded reread = DockCodec::decode(*written);
    if (!reread.ok())
        failed("the written form cannot be read");
    if (reread.docks != decoded.docks)
        failed("the round trip changed the docks");
    // Equal text also covers what == does not see, such as the sign of a zero.
    if (DockCodec::encode(reread.docks) != written)
        failed("the canonical form is not stable");
    return 0;
}
