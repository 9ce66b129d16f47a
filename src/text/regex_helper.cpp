#include "text/regex_helper.h"

#include "platform/charset.h"
#include "platform/regex.h"
#include "text/chars.h"

namespace pw {
namespace {

// A code-page byte that forms no character crosses to UTF-8 as an overlong two-byte form (C0 or
// C1, then a continuation byte): never valid UTF-8, so no match takes it, and it comes back as
// the same byte. Only matched text may change.
size_t escapeStrayByte(std::string_view rest, std::string& out) {
    const auto b = static_cast<unsigned char>(rest[0]);
    out += char(0xC0 | ((b >> 6) & 1));
    out += char(0x80 | (b & 0x3F));
    return 1;
}

size_t unescapeStrayByte(std::string_view rest, std::string& out) {
    const auto lead = static_cast<unsigned char>(rest[0]);
    if ((lead == 0xC0 || lead == 0xC1) && rest.size() >= 2 &&
        (static_cast<unsigned char>(rest[1]) & 0xC0) == 0x80) {
        out += char(((lead & 1) << 6) | 0x80 | (rest[1] & 0x3F));
        return 2;
    }
    out += "\x84\x31\xA4\x37";  // U+FFFD
    return 1;
}

std::string toMatchable(const Text& text) {
    return convertCharset(text, kCodePage, "UTF-8", escapeStrayByte).value_or(std::string());
}

Text fromMatchable(const std::string& utf8) {
    return convertCharset(utf8, "UTF-8", kCodePage, unescapeStrayByte).value_or(Text());
}

}  // namespace

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

void RegexHelper::create(const Text& pattern, RegexCase letterCase, RegexLines lines,
                         RegexMatches matches) {
    regex_.reset();
    global_ = matches == RegexMatches::All;
    regex_ = CompiledRegex::compile(toUtf8(pattern), letterCase, lines);
}

Text RegexHelper::replace(const Text& subject, const Text& replacement) const {
    if (!regex_) return Text();
    auto replaced = regex_->replace(toMatchable(subject), toMatchable(replacement), global_);
    return replaced ? fromMatchable(*replaced) : Text();
}

}  // namespace pw
