#include "text/regex_helper.h"

#include "platform/regex.h"
#include "text/chars.h"

namespace pw {

Text RegexHelper::wildcardToPattern(std::string_view text) {
    // Multi-byte characters are copied whole: their later bytes are never pattern characters.
    static constexpr std::string_view kEscaped = "\\^$+.{}[]=()-\"";
    Text out;
    out.reserve(text.size() * 2);
    for (size_t pos = 0; pos < text.size();) {
        const unsigned char c = static_cast<unsigned char>(text[pos]);
        if (c >= 0x80) {
            const size_t len = charLengthAt(text, pos);
            out.append(text.substr(pos, len));
            pos += len;
            continue;
        }
        if (kEscaped.find(char(c)) != std::string_view::npos) out += '\\';
        out += char(c);
        if (c == '*' || c == '?') out.insert(out.size() - 1, 1, '.');
        ++pos;
    }
    return out;
}

void RegexHelper::create(const Text& pattern, bool ignoreCase, bool multiLine, bool global) {
    regex_.reset();
    global_ = global;
    regex_ = CompiledRegex::compile(toUtf8(pattern), ignoreCase, multiLine);
}

Text RegexHelper::replace(const Text& subject, const Text& replacement) const {
    if (!regex_) return Text();
    auto replaced = regex_->replace(toUtf8(subject), toUtf8(replacement), global_);
    return replaced ? fromUtf8(*replaced) : Text();
}

}  // namespace pw
