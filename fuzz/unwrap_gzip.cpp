// gzip unwrapping. Any bytes: nothing beyond the limit comes out. The fuzzer's bytes compressed
// come back whole, also as two members in a row and with bytes after the last member that are
// no member; a cut stream gives nothing or a beginning of them.
// Input: one byte of options (level, where to cut), then the bytes.

#include "fuzz_support.h"
#include "support/gzip_bytes.h"
#include "text/encoding_detect.h"

using namespace pw;
using test::gzipped;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    fuzz::Fields fields(data, size);
    const uint8_t options = fields.byte();
    const std::string_view bytes = fields.rest();

    if (auto raw = unwrapGzip(bytes))
        FUZZ_EXPECT(raw->size() <= gzipLimitFor(bytes.size()), {"bytes", bytes});

    const std::string one = gzipped(bytes, options % 10);
    const auto whole = unwrapGzip(one);
    FUZZ_EXPECT(whole && *whole == bytes, {"bytes", bytes});

    const std::string half(bytes.substr(0, bytes.size() / 2));
    const auto two = unwrapGzip(gzipped(half, 1) + one);
    FUZZ_EXPECT(two && *two == half + std::string(bytes), {"bytes", bytes});

    // Trailing bytes that cannot begin a member end the stream.
    const auto trailed = unwrapGzip(one + "\x1E" + std::string(bytes));
    FUZZ_EXPECT(trailed && *trailed == bytes, {"bytes", bytes});

    const size_t cut = one.size() * (options / 10 % 26) / 26;
    const auto partial = unwrapGzip(std::string_view(one).substr(0, cut));
    FUZZ_EXPECT(!partial || bytes.starts_with(*partial), {"bytes", bytes},
                {"cut", std::to_string(cut)});
    return 0;
}
