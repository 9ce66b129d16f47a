#pragma once
// Splitting the decoded text of a source at every occurrence of a delimiter string.

#include <string_view>
#include <vector>

#include "split/mode_result.h"

namespace pw {

ModeResult splitByDelimiter(SplitContext& ctx, SplitJobState& state, const Text& source);

// The pieces between the occurrences of `delimiter`, taken from the left, each starting at a
// character boundary and matched byte for byte. Empty pieces are kept, except an empty last one.
// One pass over the text, whatever the delimiter.
std::vector<Text> splitAtDelimiter(std::string_view text, std::string_view delimiter);

// The same over text that comes in pieces, each ending where a character ends: only the text of
// the piece being found is held.
class DelimiterSplitter {
  public:
    // Over valid UTF-8 (`utf8`), with a delimiter in UTF-8, every occurrence starts a character.
    explicit DelimiterSplitter(std::string_view delimiter, bool utf8 = false);
    // Takes the next text; the views given out before are invalid then.
    void feed(std::string_view text);
    // The next piece found in what was fed, until the next feed; false when none is complete.
    bool take(std::string_view& piece);
    // The text after the last occurrence, once everything was fed; false when it is empty.
    bool takeLast(std::string_view& piece);

  private:
    // Moves the boundary walk up to the first character start at or after `start`.
    void walkTo(std::string_view text, size_t start);

    Text delimiter_;
    bool utf8_;
    ByteBuffer text_;
    size_t pieceStart_ = 0, scanned_ = 0, boundary_ = 0;
};

}  // namespace pw
