#pragma once
// Splitting the decoded text of a source at every occurrence of a delimiter string.

#include <cstdint>
#include <string_view>
#include <vector>

#include "split/mode_result.h"

namespace pw {

ModeResult splitByDelimiter(SplitContext& ctx, SplitJobState& state, const Text& source);

// The pieces between the occurrences of `delimiter`, taken from the left, each starting at a
// character boundary and matched byte for byte. Empty pieces are kept, except an empty last one.
// One pass over the text, whatever the delimiter.
std::vector<Text> splitAtDelimiter(std::string_view text, std::string_view delimiter);

// The same over text that comes in pieces, each ending where a character ends; each piece is known
// by its place in the whole text. What is held of the text depends on what the caller needs of it.
enum class PieceText {
    Kept,    // the text of the piece being found is held, and given whole
    Passed,  // only what the search still needs: the rest is handed on as it is passed
    None,    // only what the search still needs; lastRange() tells each piece
};

class DelimiterSplitter {
  public:
    // Over valid UTF-8 (`utf8`), with a delimiter in UTF-8, every occurrence starts a character.
    explicit DelimiterSplitter(std::string_view delimiter, bool utf8 = false,
                               PieceText text = PieceText::Kept);
    // Takes the next text; the views given out before are invalid then.
    void feed(std::string_view text);
    // The next piece found in what was fed, until the next feed; false when none is complete.
    // Without the text kept, `piece` is left alone (None), or is the piece's text after what
    // passed() handed on of it (Passed).
    bool take(std::string_view& piece);
    // The text after the last occurrence, once everything was fed; false when it is empty.
    bool takeLast(std::string_view& piece);
    // (Passed) The text of the piece being found that the search has passed and that was not
    // handed on yet: it belongs to that piece whatever comes. Asked for before each feed.
    std::string_view passed();
    // Where the piece taken last begins and ends in the whole text fed.
    struct Range {
        uint64_t from = 0, to = 0;
    };
    Range lastRange() const { return last_; }

  private:
    // Moves the boundary walk up to the first character start at or after `start` (in text_).
    void walkTo(std::string_view text, size_t start);
    // The piece from pieceStart_ to `end` (in text_), given out.
    void giveOut(std::string_view& piece, size_t end);
    // Where the text the search no longer needs ends, the boundary walk moved up to it.
    uint64_t settled();

    Text delimiter_;
    bool utf8_;
    PieceText keep_;
    ByteBuffer text_;
    // Places in the whole text fed: text_ holds it from base_ on; handed_: passed() gave it out.
    uint64_t base_ = 0, pieceStart_ = 0, scanned_ = 0, boundary_ = 0, handed_ = 0;
    Range last_;
};

}  // namespace pw
