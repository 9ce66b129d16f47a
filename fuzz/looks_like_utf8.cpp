// The UTF-8 test against a byte-at-a-time model: sequences of two to four bytes with their lead
// in C0-DF, E0-EF or F0-F4, continuation bytes 80-BF, and at least one such sequence. The fast
// path reads words, so the bytes are also tried from every offset of an eight-byte word.

#include "fuzz_support.h"
#include "text/encoding_detect.h"

namespace {

size_t modelSequenceLength(unsigned char lead) {
    if (lead >= 0xC0 && lead <= 0xDF) return 2;
    if (lead >= 0xE0 && lead <= 0xEF) return 3;
    if (lead >= 0xF0 && lead <= 0xF4) return 4;
    return 0;
}

bool modelLooksLikeUtf8(std::string_view bytes) {
    bool sawLong = false;
    for (size_t i = 0; i < bytes.size();) {
        const auto lead = static_cast<unsigned char>(bytes[i]);
        if (lead < 0x80) {
            ++i;
            continue;
        }
        const size_t len = modelSequenceLength(lead);
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
    const std::string_view all = pw::fuzz::asBytes(data, size);
    for (size_t skip = 0; skip < 8 && skip <= all.size(); ++skip) {
        const std::string_view bytes = all.substr(skip);
        const bool got = pw::looksLikeUtf8(bytes);
        FUZZ_EXPECT(got == modelLooksLikeUtf8(bytes), {"bytes", bytes},
                    {"accepted", got ? "yes" : "no"});
    }
    return 0;
}
