#include "split/strip_tags.h"

namespace pw {
namespace {

// Spans are first overwritten by this mark, then every occurrence of it is removed; a run of
// ten 0xFF bytes in the text goes with them.
const std::string_view kPlaceholder = "\xFF\xFF\xFF\xFF\xFF\xFF\xFF\xFF\xFF\xFF";

}  // namespace

Text stripTags(std::string_view text) {
    // "<" and ">" never occur inside a multi-byte character, so bytes can be scanned directly.
    Text marked;
    marked.reserve(text.size());
    size_t open = std::string_view::npos;  // the last "<" since the last ">"
    size_t copied = 0;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '<') {
            open = i;
        } else if (text[i] == '>') {
            if (open != std::string_view::npos) {
                marked.append(text.substr(copied, open - copied));
                marked.append(kPlaceholder);
                copied = i + 1;
            }
            open = std::string_view::npos;
        }
    }
    marked.append(text.substr(copied));

    Text out;
    out.reserve(marked.size());
    for (size_t pos = 0;;) {
        size_t hit = marked.find(kPlaceholder, pos);
        out.append(marked, pos, hit == Text::npos ? Text::npos : hit - pos);
        if (hit == Text::npos) break;
        pos = hit + kPlaceholder.size();
    }
    return out;
}

}  // namespace pw
