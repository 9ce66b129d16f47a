// Taking characters a part at a time against the character rule applied one character at a
// time: the same cuts, and the pieces rejoin to the text. Counting over the text's UTF-8 form,
// when it has one, stops where counting over the text stops.
// Input: one byte for the first count (later counts follow from it; with its high bit, counts
// of 63 and more, which go 64 bytes at a time), then the text.

#include "fuzz_support.h"
#include "split/split_by_chars.h"
#include "text/chars.h"
#include "text/encoding_convert.h"
#include "text_models.h"

using namespace pw;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    fuzz::Fields fields(data, size);
    const int first = fields.byte();
    const std::string_view content = fields.rest();

    size_t position = 0, modelPosition = 0;
    std::string rejoined;
    for (int round = 0; round < 100000; ++round) {
        const int64_t n = (first + 7 * round) % 24 - 1 + (first & 0x80 ? 64 : 0);
        const TakenChars got = takeChars(content, n, position);
        size_t end = modelPosition;
        for (int64_t count = 0; count < n && end < content.size(); ++count)
            end += charLengthAt(content, end);
        const std::string_view want = content.substr(modelPosition, end - modelPosition);
        const bool wantMore = n >= 1 && end < content.size();
        FUZZ_EXPECT(got.part == want && got.more == wantMore && position == end,
                    {"content", content}, {"n", std::to_string(n)}, {"part", got.part},
                    {"want", want});
        rejoined += got.part;
        modelPosition = end;
        if (n >= 1 && !got.more) break;
    }
    FUZZ_EXPECT(rejoined == content, {"content", content}, {"rejoined", rejoined});

    if (!fuzz::isCodePageText(content)) return 0;
    const Text utf8 = convertEncoding(content, kCodePage, "UTF-8");
    size_t inCodePage = 0, inUtf8 = 0;
    for (int round = 0; inCodePage < content.size(); ++round) {
        const int64_t n = 1 + (first + 7 * round) % 40;
        const int64_t counted = skipChars(content, n, inCodePage);
        FUZZ_EXPECT(
            skipUtf8Chars(utf8, n, inUtf8) == counted &&
                inUtf8 == convertEncoding(content.substr(0, inCodePage), kCodePage, "UTF-8").size(),
            {"content", content}, {"n", std::to_string(n)});
    }
    return 0;
}
