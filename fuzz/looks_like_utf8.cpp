// The UTF-8 test against a byte-at-a-time model: sequences of two to four bytes with their lead
// in C0-DF, E0-EF or F0-F4, continuation bytes 80-BF, and at least one such sequence. The fast
// path reads words, so the bytes are also tried from every offset of an eight-byte word.

#include "fuzz_support.h"
#include "text/encoding_detect.h"
#include "text_models.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view all = pw::fuzz::asBytes(data, size);
    for (size_t skip = 0; skip < 8 && skip <= all.size(); ++skip) {
        const std::string_view bytes = all.substr(skip);
        const bool got = pw::looksLikeUtf8(bytes);
        FUZZ_EXPECT(got == pw::fuzz::modelLooksLikeUtf8(bytes), {"bytes", bytes},
                    {"accepted", got ? "yes" : "no"});
    }
    return 0;
}
