#include "platform/charset.h"

#include <iconv.h>

#include <cerrno>
#include <cstring>
#include <map>
#include <optional>
#include <utility>

#include "codec/codec.h"
#include "platform/charset_reference.h"

namespace pw {
namespace {

// NOLINTNEXTLINE(misc-misplaced-const): iconv_t is a pointer, and the pointer is what is constant
const iconv_t kInvalid = iconv_t(-1);

// iconv_open is costly next to converting a file name, so descriptors are kept per pair.
class DescriptorCache {
  public:
    ~DescriptorCache() {
        for (auto& [key, cd] : cache_)
            if (cd != kInvalid) iconv_close(cd);
    }
    iconv_t get(const char* from, const char* to) {
        auto key = std::make_pair(std::string(from), std::string(to));
        auto it = cache_.find(key);
        if (it == cache_.end()) it = cache_.emplace(key, iconv_open(to, from)).first;
        if (it->second != kInvalid) iconv(it->second, nullptr, nullptr, nullptr, nullptr);
        return it->second;
    }

  private:
    std::map<std::pair<std::string, std::string>, iconv_t> cache_;
};

DescriptorCache& descriptors() {
    thread_local DescriptorCache cache;
    return cache;
}

// Runs one conversion without any substitution; false on the first problem.
bool convertExactly(std::string_view input, const char* from, const char* to, std::string& out) {
    iconv_t cd = descriptors().get(from, to);
    if (cd == kInvalid) return false;
    out.assign(input.size() * 4 + 8, '\0');
    char* in = const_cast<char*>(input.data());
    size_t inLeft = input.size();
    char* o = out.data();
    size_t outLeft = out.size();
    if (iconv(cd, &in, &inLeft, &o, &outLeft) == static_cast<size_t>(-1)) return false;
    if (iconv(cd, nullptr, nullptr, &o, &outLeft) == static_cast<size_t>(-1)) return false;
    out.resize(out.size() - outLeft);
    return true;
}

size_t unitSize(std::string_view charset) {
    return charset.starts_with("UTF-16") ? 2 : charset.starts_with("UTF-32") ? 4 : 1;
}

// Targets that hold every character: whatever they refuse is invalid input.
bool holdsEveryCharacter(std::string_view charset) {
    return charset.starts_with("UTF-") || charset == "GB18030";
}

}  // namespace

bool charsetKnown(const char* name) {
    return descriptors().get(name, "UTF-8") != kInvalid;
}

namespace {

constexpr size_t kPiece = 256 * 1024;

// Bytes the converter puts in place of what it cannot convert.
struct Substitutes {
    std::string question;     // a character the target cannot hold
    std::string replacement;  // input that is not valid in the source charset
    std::string custom;       // what stands for the input skipped last
    explicit Substitutes(const char* to) {
        convertExactly("?", "UTF-8", to, question);
        if (!convertExactly("\xEF\xBF\xBD", "UTF-8", to, replacement)) replacement = question;
    }
};

// Length of the character at the start of `in` when it is a valid one of `from`; 0 otherwise.
size_t validCharLength(const char* in, size_t inLeft, const char* from) {
    const size_t unit = unitSize(from);
    std::string probe;
    for (size_t n = unit; n <= 4 * unit && n <= inLeft; n += unit)
        if (convertExactly(std::string_view(in, n), from, "UTF-32LE", probe) && probe.size() == 4)
            return n;
    return 0;
}

enum class Family { Other, Gb18030, Utf8 };

// Whether the byte at `p` surely starts no character; false where iconv has to decide.
bool surelyInvalid(Family family, const unsigned char* p, size_t left) {
    const unsigned char b = p[0];
    if (family == Family::Gb18030) {
        if (b == 0x80 || b == 0xFF) return true;
        if (b < 0x81 || left < 2) return false;
        const unsigned char t = p[1];
        return t < 0x30 || (t > 0x39 && t < 0x40) || t == 0x7F || t == 0xFF;
    }
    if (family == Family::Utf8) {
        if ((b >= 0x80 && b <= 0xC1) || b >= 0xF5) return true;
        return b >= 0xC2 && left >= 2 && (p[1] & 0xC0) != 0x80;
    }
    return false;
}

// Bytes from `in` on that are not valid input, the first known to be so; at most one piece.
size_t invalidRunLength(const char* from, const char* in, size_t inLeft) {
    const std::string_view name = from;
    const Family family = name == "GB18030" ? Family::Gb18030
                          : name == "UTF-8" ? Family::Utf8
                                            : Family::Other;
    const auto* p = reinterpret_cast<const unsigned char*>(in);
    size_t n = std::min(unitSize(from), inLeft);
    const size_t limit = std::min(inLeft, kPiece / 4);
    while (n < limit && surelyInvalid(family, p + n, inLeft - n)) ++n;
    return n;
}

// The table-driven codec takes the charsets it has tables for; false when it has none.
template <typename Sink>
bool convertByTables(std::string_view input, const char* from, const char* to, Sink&& sink,
                     InvalidInput onInvalid, size_t& replacements) {
    const auto source = codec::charsetNamed(from), target = codec::charsetNamed(to);
    if (!source || !target || !codec::converts(*source, *target)) return false;
    replacements += codec::convert(input, *source, *target, sink, onInvalid);
    return true;
}

// What stands for the bytes at `in` that did not convert, in `substitutes.custom`, and how many of
// them it stands for: "?" for a character the target cannot hold, else the replacement for a run
// of invalid bytes (or what `onInvalid` makes of them).
size_t substitute(const char* in, size_t inLeft, const char* from, const char* to,
                  InvalidInput onInvalid, Substitutes& substitutes, size_t& replacements) {
    // Probing costs several conversions; skip it where the answer is known.
    const size_t charLength = holdsEveryCharacter(to) ? 0 : validCharLength(in, inLeft, from);
    std::string& sub = substitutes.custom;
    if (charLength) {
        sub = substitutes.question;
        ++replacements;
        return charLength;
    }
    // A run of invalid bytes goes in one step: a conversion for each byte would be slow.
    const size_t run = invalidRunLength(from, in, inLeft);
    sub.clear();
    size_t skip = 0;
    if (onInvalid) {
        while (skip < run) {
            skip += std::max<size_t>(1, onInvalid({in + skip, inLeft - skip}, sub));
            ++replacements;
        }
    } else {
        // One replacement per unit, written by doubling what is there.
        const size_t unit = unitSize(from);
        const size_t units = (run + unit - 1) / unit;
        const size_t total = units * substitutes.replacement.size();
        replacements += units;
        sub = substitutes.replacement;
        while (sub.size() * 2 <= total) sub += sub;
        sub.append(sub, 0, total - sub.size());
        skip = run;
    }
    return std::min(skip, inLeft);
}

enum class Route { Tables, IconvOnly };

// Converts the input a piece at a time. `sink` gets each piece of output with the count of input
// bytes consumed up to the end of that piece; `replacements` counts the substitutes. False only
// for an unknown charset.
template <typename Sink>
bool convertPieces(std::string_view input, const char* from, const char* to, Sink&& sink,
                   InvalidInput onInvalid, size_t& replacements, Route route = Route::Tables) {
    if (route == Route::Tables && convertByTables(input, from, to, sink, onInvalid, replacements))
        return true;
    iconv_t cd = descriptors().get(from, to);
    if (cd == kInvalid) return false;
    std::optional<Substitutes> substitutes;
    std::string piece(std::min(kPiece, input.size() * 4 + 64), '\0');
    char* in = const_cast<char*>(input.data());
    size_t inLeft = input.size();
    for (bool flushed = false; !flushed;) {
        char* o = piece.data();
        size_t outLeft = piece.size();
        flushed = inLeft == 0;
        const size_t r = flushed ? iconv(cd, nullptr, nullptr, &o, &outLeft)
                                 : iconv(cd, &in, &inLeft, &o, &outLeft);
        const int error = r == static_cast<size_t>(-1) ? errno : 0;
        const size_t consumed = input.size() - inLeft;
        if (outLeft < piece.size())
            sink(std::string_view(piece.data(), piece.size() - outLeft), consumed);
        if (error == 0 || error == E2BIG) {
            flushed = flushed && error == 0;
            continue;
        }
        // EILSEQ or EINVAL: either the source bytes are invalid, or the target lacks the character.
        // A character that decodes on its own is one the target cannot hold.
        if (inLeft == 0) break;
        flushed = false;
        if (!substitutes) substitutes.emplace(to);
        const size_t skip = substitute(in, inLeft, from, to, onInvalid, *substitutes, replacements);
        in += skip;
        inLeft -= skip;
        sink(std::string_view(substitutes->custom), input.size() - inLeft);
        iconv(cd, nullptr, nullptr, nullptr, nullptr);
    }
    return true;
}

}  // namespace

std::optional<std::string> convertCharset(std::string_view input, const char* from, const char* to,
                                          size_t* replacements) {
    return convertCharset(input, from, to, nullptr, replacements);
}

bool appendConvertedCharset(std::string_view input, const char* from, const char* to,
                            std::string& out, size_t* replacements) {
    const size_t before = out.size();
    out.reserve(before + input.size() + input.size() / 2 + 16);
    size_t count = 0;
    if (!convertPieces(
            input, from, to, [&](std::string_view piece, size_t) { out += piece; }, nullptr,
            count)) {
        out.resize(before);
        return false;
    }
    if (replacements) *replacements = count;
    return true;
}

std::optional<std::string> convertCharset(std::string_view input, const char* from, const char* to,
                                          InvalidInput onInvalid, size_t* replacements) {
    std::string out;
    out.reserve(input.size() + input.size() / 2 + 16);  // address space only, until written
    size_t count = 0;
    if (!convertPieces(
            input, from, to, [&](std::string_view piece, size_t) { out += piece; }, onInvalid,
            count))
        return std::nullopt;
    if (replacements) *replacements = count;
    return out;
}

std::optional<std::string> convertCharsetByIconv(std::string_view input, const char* from,
                                                 const char* to, InvalidInput onInvalid) {
    std::string out;
    size_t count = 0;
    if (!convertPieces(
            input, from, to, [&](std::string_view piece, size_t) { out += piece; }, onInvalid,
            count, Route::IconvOnly))
        return std::nullopt;
    return out;
}

bool convertCharsetInPlace(std::string& buffer, size_t start, const char* from, const char* to,
                           size_t* replacements) {
    // Output goes over input already read while it fits there; past that point it is collected
    // aside and appended at the end.
    size_t written = 0;
    std::string overflow;
    const std::string_view input = std::string_view(buffer).substr(std::min(start, buffer.size()));
    size_t count = 0;
    const bool ok = convertPieces(
        input, from, to,
        [&](std::string_view piece, size_t consumed) {
            if (overflow.empty() && written + piece.size() <= start + consumed) {
                std::memcpy(buffer.data() + written, piece.data(), piece.size());
                written += piece.size();
            } else {
                overflow += piece;
            }
        },
        nullptr, count);
    if (!ok) return false;
    if (replacements) *replacements = count;
    buffer.resize(written);
    buffer += overflow;
    return true;
}

}  // namespace pw
