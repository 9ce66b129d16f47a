// The marker walk and the text search against their slow models: every span a walk visits, and
// the position after it, must agree. A walk ends at the first empty result.
// Input: text, NUL, left marker, NUL, right marker, NUL, one
// byte of flags (keep quotes; start below 1 or inside the text).

#include "text/text_between.h"
#include "fuzz_support.h"
#include "text/system_texts.h"
#include "text_models.h"

using namespace pw;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    fuzz::Fields fields(data, size);
    const std::string_view text = fields.next(), left = fields.next(), right = fields.next();
    const uint8_t flags = fields.byte();
    const bool keepQuotes = flags & 1;

    for (size_t from = 0; from <= text.size() + 1; from += 1 + text.size() / 8) {
        const size_t got = findText(text, left, from);
        FUZZ_EXPECT(got == fuzz::naiveFind(text, left, from), {"text", text}, {"needle", left});
    }

    // Written with double quotes as two apostrophes, a text without apostrophes comes back.
    if (text.find('\'') == std::string_view::npos) {
        Text written;
        for (char c : text) written += c == '"' ? std::string("''") : std::string(1, c);
        FUZZ_EXPECT(expandQuotes(written) == text, {"text", text});
    }
    FUZZ_EXPECT(expandQuotes(left) == fuzz::naiveExpandQuotes(left), {"text", left});

    const Text head = lit(texts::kHeadSentinel), tail = lit(texts::kTailSentinel);
    int64_t position = (flags >> 1) % 4 == 0 ? 0 : int64_t(flags >> 1) % int64_t(text.size() + 2);
    int64_t modelPosition = position;
    // A walk goes on while it finds text, and each find moves the position on.
    for (;;) {
        const int64_t before = position;
        const Text got = textBetween(text, left, right, position, keepQuotes);
        const Text want =
            fuzz::modelTextBetween(text, left, right, modelPosition, keepQuotes, head, tail);
        const std::string gotAt = std::to_string(position), wantAt = std::to_string(modelPosition);
        FUZZ_EXPECT(got == want && position == modelPosition, {"text", text}, {"left", left},
                    {"right", right}, {"got", got}, {"want", want}, {"position", gotAt},
                    {"model position", wantAt});
        if (got.empty()) return 0;
        FUZZ_EXPECT(position > before, {"text", text}, {"left", left}, {"right", right});
    }
}
