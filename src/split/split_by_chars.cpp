#include "split/split_by_chars.h"

#include <cstring>
#include <optional>

#include "codec/byte_words.h"
#include "codec/simd_text.h"
#include "split/decode_source.h"
#include "split/part_writer.h"
#include "text/chars.h"
#include "text/numeric_text.h"
#include "text/system_texts.h"

namespace pw {
namespace {

using simd::kHighs;
using simd::kOnes;
using simd::wordAt;

// Eight ASCII bytes without a CR are eight characters.
bool eightPlainChars(const unsigned char* p) {
    const uint64_t word = wordAt(p), cr = word ^ (kOnes * '\r');
    return (word & kHighs) == 0 && ((cr - kOnes) & ~cr & kHighs) == 0;
}

int64_t drawCount(SplitContext& ctx, SplitJobState& state) {
    const CountRange range = ctx.options.charCountRange();
    return random(state.rng, range.low, range.high);
}

}  // namespace

int64_t skipChars(std::string_view content, int64_t n, size_t& position) {
    const size_t size = content.size();
    size_t pos = position;
    size_t scalarUntil = 0;  // the end of a block that may hold a four-byte character
    int64_t count = 0;
    const auto* p = reinterpret_cast<const unsigned char*>(content.data());
    while (count < n && pos < size) {
        if (pos >= scalarUntil && n - count >= 64 && size - pos > 64) {
            size_t chars = 0;
            const size_t blocks = std::min(size_t(n - count) / 64, (size - pos - 1) / 64);
            pos += simd::countCodePageStarts(content.data() + pos, blocks, chars);
            count += int64_t(chars);
            scalarUntil = pos + 64;
            continue;
        }
        // Chinese text is mostly two-byte characters: a lead byte not followed by a digit.
        if (n - count >= 4 && size - pos >= 8 && fourTwoByteChars(p + pos)) {
            pos += 8;
            count += 4;
        } else if (p[pos] >= 0x80 && size - pos >= 4 && (p[pos + 1] < '0' || p[pos + 1] > '9')) {
            pos += 2;
            ++count;
        } else if (n - count >= 8 && size - pos >= 8 && eightPlainChars(p + pos)) {
            pos += 8;
            count += 8;
        } else {
            pos += charLengthAt(content, pos);
            ++count;
        }
    }
    position = pos;
    return count;
}

int64_t skipUtf8Chars(std::string_view content, int64_t n, size_t& position) {
    size_t pos = position;
    int64_t count = 0;
    const auto* p = reinterpret_cast<const unsigned char*>(content.data());
    // Whole blocks, as many as cannot hold more characters than are still wanted, again and
    // again: in Chinese text one pass takes only a third of them.
    for (size_t blocks; (blocks = std::min(size_t(n - count) / 64, (content.size() - pos) / 64));
         pos += blocks * 64)
        count += int64_t(simd::countUtf8Starts(content.data() + pos, blocks,
                                               pos > position && p[pos - 1] == '\r'));
    // Eight bytes at a time; the last character counted may run on past the eight bytes.
    uint64_t crBefore = pos > position && p[pos - 1] == '\r' ? 0x80 : 0;
    for (; n - count >= 8 && content.size() - pos >= 8; pos += 8)
        count += int64_t(simd::utf8StartsInWord(wordAt(p + pos), crBefore));
    while (pos < content.size() &&
           ((p[pos] & 0xC0) == 0x80 || (crBefore && p[pos] == '\n' && p[pos - 1] == '\r')))
        ++pos;
    for (; count < n && pos < content.size(); ++count) {
        if (p[pos] >= 0x80)
            pos += utf8LengthOf(p[pos]);
        else
            pos += p[pos] == '\r' && content.size() - pos >= 2 && p[pos + 1] == '\n' ? 2 : 1;
    }
    position = std::min(pos, content.size());
    return count;
}

TakenChars takeChars(std::string_view content, int64_t n, size_t& position) {
    if (n < 1) return {{}, false};
    const size_t start = position;
    skipChars(content, n, position);
    return {content.substr(start, position - start), position < content.size()};
}

ModeResult splitByCharacters(SplitContext& ctx, SplitJobState& state, const Text& source) {
    const CountRange range = ctx.options.charCountRange();
    if (range.low < 1 || range.high < 1)
        return refuseOption(ctx, texts::kCharCountAtLeastOne, SplitOptionBox::CharCount);

    const std::unique_ptr<TextSource> text = openSourceText(ctx, state, source);
    if (!text) return ModeResult::Done;
    // The text comes in pieces that end where characters end; a part may span many of them.
    // Valid UTF-8 is counted and cut as it stands, as the same text in the code page would be.
    const bool utf8 = text->validUtf8();
    const auto next = [&] { return utf8 ? text->nextUtf8() : text->next(); };
    const auto skip = utf8 ? skipUtf8Chars : skipChars;
    std::string_view piece = next();
    size_t position = 0;
    const auto atEnd = [&] {
        if (position == piece.size()) {
            piece = next();
            position = 0;
        }
        return piece.empty();
    };
    state.run.partNumber = 0;
    state.rng.seed(ctx.clock);
    ByteBuffer part;  // a part held whole, to be named after its text
    for (bool more = !piece.empty(); more;) {
        const int64_t n = drawCount(ctx, state);
        ++state.run.partNumber;
        // A part is written while its characters are read, unless its name is taken from them.
        std::optional<PartStream> stream;
        if (!namesPartsAfterText(ctx.options)) stream.emplace(ctx, state, utf8);
        part.clear();
        for (int64_t taken = 0; taken < n && !atEnd();) {
            const size_t start = position;
            taken += skip(piece, n - taken, position);
            const std::string_view chars = piece.substr(start, position - start);
            if (stream)
                stream->write(chars);
            else
                part.append(chars);
        }
        more = !atEnd();
        // A read error cut the part short: it, and the rest, go in no part.
        if (text->failed()) break;
        if (stream) {
            stream->finish();
        } else {
            PartContent content;
            content.setBytes(std::move(part), utf8);
            writePart(ctx, state, content);
            part = std::move(content.bytes);
        }
        ctx.host.processEvents();
        if (ctx.stopRequested) break;
    }
    // A stop leaves the rest of the text in no part.
    if (!atEnd()) state.run.sourceIntact = false;
    finishSourceText(state, *text);
    return ModeResult::Done;
}

}  // namespace pw
