// The delimiter scan against the rule walked a character at a time: at each character start the
// delimiter either occurs there (a cut, and the walk goes on after it) or the walk steps over the
// character. The text is fed to the scan in pieces of a few bytes that end where a character ends,
// as a streamed source gives them, keeping the text, handing it on as the scan passes it, or
// keeping only the pieces' places, and the pieces,
// rejoined with the delimiter, give the text back (less a delimiter that ends it). Input:
// delimiter, NUL, text (which may hold NUL bytes).

#include <algorithm>
#include <vector>

#include "fuzz_support.h"
#include "split/split_by_delimiter.h"
#include "text/encoding_stream.h"
#include "text_models.h"

namespace {

using namespace pw;

std::vector<Text> modelPieces(std::string_view text, std::string_view delimiter) {
    std::vector<Text> pieces;
    size_t pieceStart = 0;
    for (size_t pos = 0; !delimiter.empty() && pos < text.size();) {
        if (text.substr(pos, delimiter.size()) == delimiter) {
            pieces.emplace_back(text.substr(pieceStart, pos - pieceStart));
            pos += delimiter.size();
            pieceStart = pos;
        } else {
            // A CR is a character of its own: an LF after it may start a delimiter.
            pos += fuzz::searchStep(text, pos);
        }
    }
    if (pieceStart < text.size()) pieces.emplace_back(text.substr(pieceStart));
    return pieces;
}

// The scan fed about `step` bytes at a time, each piece cut where a character ends; without the
// text kept, a piece is what was handed on of it and its rest, or is taken from the text by its
// place.
std::vector<Text> scannedPieces(std::string_view text, std::string_view delimiter, size_t step,
                                PieceText keep) {
    DelimiterSplitter splitter(delimiter, false, keep);
    std::vector<Text> pieces;
    Text passed;
    std::string_view piece;
    const auto add = [&] {
        const DelimiterSplitter::Range r = splitter.lastRange();
        pieces.emplace_back(keep == PieceText::None ? text.substr(r.from, r.to - r.from)
                                                    : passed + Text(piece));
        passed.clear();
    };
    const auto handOn = [&] {
        if (keep == PieceText::Passed) passed += splitter.passed();
    };
    for (size_t fed = 0, read = 0; fed < text.size();) {
        read = std::min(text.size(), read + step);
        const std::string_view window = text.substr(fed, read - fed);
        const size_t whole = read == text.size() ? window.size() : wholeCodePagePrefix(window);
        handOn();
        splitter.feed(window.substr(0, whole));
        fed += whole;
        while (splitter.take(piece)) add();
    }
    handOn();
    splitter.feed({});
    if (splitter.takeLast(piece)) add();
    return pieces;
}

Text rejoined(const std::vector<Text>& pieces, std::string_view delimiter) {
    Text out;
    for (size_t k = 0; k < pieces.size(); ++k) out.append(k ? delimiter : "").append(pieces[k]);
    return out;
}

// The text back from its pieces: joined with the delimiter, and one more when the last
// occurrence ended the text (its empty last piece is dropped).
bool givesTextBack(std::string_view text, std::string_view delimiter,
                   const std::vector<Text>& pieces) {
    const Text joined = rejoined(pieces, delimiter);
    if (joined == text) return true;
    return !delimiter.empty() && text.ends_with(delimiter) && joined + Text(delimiter) == text;
}

Text shown(const std::vector<Text>& pieces) {
    Text out;
    for (const Text& p : pieces) out += std::to_string(p.size()) + ":" + p + " ";
    return out;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    pw::fuzz::Fields fields(data, size);
    const std::string_view delimiter = fields.next();
    const std::string_view text = fields.rest();

    const std::vector<Text> whole = splitAtDelimiter(text, delimiter);
    const PieceText keep =
        std::vector{PieceText::Kept, PieceText::Passed, PieceText::None}[size % 3];
    const std::vector<Text> fed = scannedPieces(text, delimiter, 1 + size % 7, keep);
    const std::vector<Text> model = modelPieces(text, delimiter);
    FUZZ_EXPECT(whole == model, {"text", text}, {"delimiter", delimiter}, {"pieces", shown(whole)},
                {"model", shown(model)});
    FUZZ_EXPECT(fed == model, {"text", text}, {"delimiter", delimiter}, {"fed", shown(fed)},
                {"model", shown(model)});
    FUZZ_EXPECT(givesTextBack(text, delimiter, whole), {"text", text}, {"delimiter", delimiter},
                {"rejoined", rejoined(whole, delimiter)});
    return 0;
}
