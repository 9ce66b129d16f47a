// The vectorised UTF-8 test against the byte-at-a-time rule it replaced (sequences of two to four
// bytes with their lead in C0-DF, E0-EF or F0-F4 and continuation bytes 80-BF; at least one such
// sequence), with the bytes fed whole and in two pieces cut anywhere; and its finding of values
// UTF-8 forbids in well-formed bytes against the converter's need for substitutes.
// Input: one byte choosing the cut, then the bytes.

#include "codec/codec.h"
#include "codec/simd_text.h"
#include "fuzz_support.h"
#include "text/encoding_detect.h"
#include "text_models.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    pw::fuzz::Fields fields(data, size);
    const uint8_t choice = fields.byte();
    const std::string_view bytes = fields.rest();
    const bool expected = pw::fuzz::modelLooksLikeUtf8(bytes);
    FUZZ_EXPECT(pw::looksLikeUtf8(bytes) == expected, {"bytes", bytes});

    const size_t cut = bytes.empty() ? 0 : choice * 7 % bytes.size();
    pw::simd::Utf8Structure structure;
    structure.feed(bytes.data(), cut);
    structure.feed(bytes.data() + cut, bytes.size() - cut);
    FUZZ_EXPECT((structure.wellFormed() && structure.sawNonAscii()) == expected, {"bytes", bytes},
                {"cut", std::string_view(reinterpret_cast<const char*>(&choice), 1)});
    if (structure.wellFormed()) {
        size_t substitutes = 0;
        (void)pw::codec::convert(bytes, pw::codec::Charset::Utf8, pw::codec::Charset::Utf16Le,
                                 &substitutes);
        FUZZ_EXPECT(structure.sawOddValues() == (substitutes > 0), {"bytes", bytes});
    }
    return 0;
}
