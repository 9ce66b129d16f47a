// The delimiter scan against the rule walked a character at a time: at each character start the
// delimiter either occurs there (a cut, and the walk goes on after it) or the walk steps over the
// character. The pieces, rejoined with the delimiter, give the text back (less a delimiter that
// ends it).
// Input: delimiter, NUL, text (which may hold NUL bytes).

#include <vector>

#include "fuzz_support.h"
#include "split/split_by_delimiter.h"
#include "text_models.h"

namespace {

using namespace pw;

struct Span {
    size_t start, length;
};

std::vector<Span> spansOf(std::string_view text, const std::vector<std::string_view>& pieces) {
    std::vector<Span> spans;
    for (std::string_view p : pieces) spans.push_back({size_t(p.data() - text.data()), p.size()});
    return spans;
}

std::vector<Span> modelPieces(std::string_view text, std::string_view delimiter) {
    std::vector<Span> spans;
    size_t pieceStart = 0;
    for (size_t pos = 0; !delimiter.empty() && pos < text.size();) {
        if (text.substr(pos, delimiter.size()) == delimiter) {
            spans.push_back({pieceStart, pos - pieceStart});
            pos += delimiter.size();
            pieceStart = pos;
        } else {
            // A CR is a character of its own: an LF after it may start a delimiter.
            pos += fuzz::searchStep(text, pos);
        }
    }
    if (pieceStart < text.size()) spans.push_back({pieceStart, text.size() - pieceStart});
    return spans;
}

Text rejoined(const std::vector<std::string_view>& pieces, std::string_view delimiter) {
    Text out;
    for (size_t k = 0; k < pieces.size(); ++k) out.append(k ? delimiter : "").append(pieces[k]);
    return out;
}

// The text back from its pieces: joined with the delimiter, and one more when the last
// occurrence ended the text (its empty last piece is dropped).
bool givesTextBack(std::string_view text, std::string_view delimiter,
                   const std::vector<std::string_view>& pieces) {
    const Text joined = rejoined(pieces, delimiter);
    if (joined == text) return true;
    return !delimiter.empty() && text.ends_with(delimiter) && joined + Text(delimiter) == text;
}

Text shownSpans(const std::vector<Span>& spans) {
    Text out;
    for (const Span& s : spans)
        out += std::to_string(s.start) + "+" + std::to_string(s.length) + " ";
    return out;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    pw::fuzz::Fields fields(data, size);
    const std::string_view delimiter = fields.next();
    const std::string_view text = fields.rest();

    const std::vector<std::string_view> pieces = splitAtDelimiter(text, delimiter);
    const Text got = shownSpans(spansOf(text, pieces)),
               want = shownSpans(modelPieces(text, delimiter));
    FUZZ_EXPECT(got == want, {"text", text}, {"delimiter", delimiter}, {"pieces", got},
                {"model", want});
    FUZZ_EXPECT(givesTextBack(text, delimiter, pieces), {"text", text}, {"delimiter", delimiter},
                {"rejoined", rejoined(pieces, delimiter)});
    return 0;
}
