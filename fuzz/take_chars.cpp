// Taking characters a part at a time against the character rule applied one character at a
// time: the same cuts, and the pieces rejoin to the text.
// Input: one byte for the first count (later counts follow from it), then the text.

#include "fuzz_support.h"
#include "split/split_by_chars.h"
#include "text/chars.h"

using namespace pw;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    fuzz::Fields fields(data, size);
    const int first = fields.byte();
    const std::string_view content = fields.rest();

    size_t position = 0, modelPosition = 0;
    std::string rejoined;
    for (int round = 0; round < 100000; ++round) {
        const int64_t n = (first + 7 * round) % 24 - 1;
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
    return 0;
}
