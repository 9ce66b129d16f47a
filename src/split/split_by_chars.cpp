#include "split/split_by_chars.h"

#include <cstring>

#include "split/decode_source.h"
#include "split/part_writer.h"
#include "text/chars.h"
#include "text/numeric_text.h"
#include "text/system_texts.h"

namespace pw {
namespace {

// Eight ASCII bytes without a CR are eight characters.
bool eightPlainChars(const char* p) {
    constexpr uint64_t kOnes = 0x0101010101010101ull, kHighs = 0x8080808080808080ull;
    uint64_t word;
    std::memcpy(&word, p, 8);
    const uint64_t cr = word ^ (kOnes * '\r');
    return (word & kHighs) == 0 && ((cr - kOnes) & ~cr & kHighs) == 0;
}

int64_t drawCount(SplitContext& ctx, SplitJobState& state) {
    const CountRange range = ctx.options.charCountRange();
    return random(state.rng, range.low, range.high);
}

}  // namespace

TakenChars takeChars(std::string_view content, int64_t n, size_t& position) {
    if (n < 1) return {{}, false};
    const size_t start = position;
    size_t pos = start;
    for (int64_t count = 0; count < n && pos < content.size(); ++count) {
        if (n - count >= 8 && content.size() - pos >= 8 && eightPlainChars(content.data() + pos)) {
            pos += 8;
            count += 7;
        } else {
            pos += charLengthAt(content, pos);
        }
    }
    position = pos;
    return {content.substr(start, pos - start), pos < content.size()};
}

ModeResult splitByCharacters(SplitContext& ctx, SplitJobState& state, const Text& source) {
    const CountRange range = ctx.options.charCountRange();
    if (range.low < 1 || range.high < 1)
        return refuseOption(ctx, texts::kCharCountAtLeastOne, SplitOptionBox::CharCount);

    const std::optional<Text> text = decodeSource(ctx, state, source);
    if (!text || text->empty()) return ModeResult::Done;
    size_t position = 0;
    state.partNumber = 0;
    state.rng.seed(ctx.clock);
    bool more = true;
    while (more) {
        const TakenChars taken = takeChars(*text, drawCount(ctx, state), position);
        more = taken.more;
        ++state.partNumber;
        state.partContent.setBytes(ByteBuffer(taken.part));
        writePart(ctx, state);
        ctx.host.processEvents();
        if (ctx.stopRequested) break;
    }
    // A stop, or a count drawn below 1, leaves the rest of the text in no part.
    if (position < text->size()) state.sourceIntact = false;
    return ModeResult::Done;
}

}  // namespace pw
