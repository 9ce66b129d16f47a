// The vectorised UTF-8 test against the byte-at-a-time rule it replaced (sequences of two to four
// bytes with their lead in C0-DF, E0-EF or F0-F4 and continuation bytes 80-BF; at least one such
// sequence), with the bytes fed whole and in two pieces cut anywhere.
// Input: one byte choosing the cut, then the bytes.

#include "fuzz_support.h"
#include "platform/simd_text.h"
#include "text/encoding_detect.h"

namespace {

bool modelLooksLikeUtf8(std::string_view bytes) {
    bool sawLong = false;
    for (size_t i = 0; i < bytes.size();) {
        const auto lead = static_cast<unsigned char>(bytes[i]);
        if (lead < 0x80) {
            ++i;
            continue;
        }
        const size_t len = lead >= 0xC0 && lead <= 0xDF   ? 2
                           : lead >= 0xE0 && lead <= 0xEF ? 3
                           : lead >= 0xF0 && lead <= 0xF4 ? 4
                                                          : 0;
        if (len == 0 || len > bytes.size() - i) return false;
        for (size_t k = 1; k < len; ++k)
            if ((static_cast<unsigned char>(bytes[i + k]) & 0xC0) != 0x80) return false;
        sawLong = true;
        i += len;
    }
    return sawLong;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    pw::fuzz::Fields fields(data, size);
    const uint8_t choice = fields.byte();
    const std::string_view bytes = fields.rest();
    const bool expected = modelLooksLikeUtf8(bytes);
    FUZZ_EXPECT(pw::looksLikeUtf8(bytes) == expected, {"bytes", bytes});

    const size_t cut = bytes.empty() ? 0 : choice * 7 % bytes.size();
    pw::simd::Utf8Structure structure;
    structure.feed(bytes.data(), cut);
    structure.feed(bytes.data() + cut, bytes.size() - cut);
    FUZZ_EXPECT((structure.wellFormed() && structure.sawNonAscii()) == expected, {"bytes", bytes},
                {"cut", std::string_view(reinterpret_cast<const char*>(&choice), 1)});
    return 0;
}
