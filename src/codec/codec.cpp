#include "codec/codec.h"

#include <strings.h>

#include <cstring>
#include <memory>
#include <type_traits>

#include "codec/codec_charsets.h"
#include "codec/codec_chinese.h"
#include "codec/kernels.h"

namespace pw::codec {
namespace {

constexpr size_t kPiece = 256 * 1024;
constexpr size_t kSlack = 64;  // room for one character, or a composed pair, at any time

size_t unitOf(Charset c) {
    return c == Charset::Utf16Le || c == Charset::Utf16Be ? 2 : 1;
}

bool holdsEveryCharacter(Charset c) {
    return c != Charset::Big5 && c != Charset::Big5Hkscs;
}

// Whether the byte at `p` surely starts no character: the iconv path takes such bytes together
// with the invalid byte before them, and so does the codec.
bool surelyInvalid(Charset from, const unsigned char* p, size_t left) {
    const unsigned char b = p[0];
    if (from == Charset::Gb18030) {
        if (b == 0x80 || b == 0xFF) return true;
        if (b < 0x81 || left < 2) return false;
        const unsigned char t = p[1];
        return t < 0x30 || (t > 0x39 && t < 0x40) || t == 0x7F || t == 0xFF;
    }
    if (from == Charset::Utf8) {
        if ((b >= 0x80 && b <= 0xC1) || b >= 0xF5) return true;
        return b >= 0xC2 && left >= 2 && !isContinuation(p[1]);
    }
    return false;
}

size_t invalidRunLength(Charset from, const unsigned char* p, size_t left) {
    size_t n = std::min(unitOf(from), left);
    const size_t limit = std::min(left, kPiece / 4);
    while (n < limit && surelyInvalid(from, p + n, left - n)) ++n;
    return n;
}

// The output buffer: handed to the sink a piece at a time, each piece with the input read before
// it, so that the in-place conversion may write over what was read.
class Output {
  public:
    Output(const PieceSink& sink, size_t inputSize)
        : sink_(sink),
          size_(std::min(kPiece, inputSize * 2 + 16)),
          buffer_(new char[size_ + kSlack]) {
        at = buffer_.get();
    }
    char* at;
    size_t room() const { return size_t(buffer_.get() + size_ - at); }
    void makeRoom(size_t consumed) {
        if (at >= buffer_.get() + size_) flush(consumed);
    }
    void flush(size_t consumed) {
        if (at != buffer_.get())
            sink_(std::string_view(buffer_.get(), size_t(at - buffer_.get())), consumed);
        at = buffer_.get();
    }
    void append(std::string_view bytes, size_t consumed) {
        while (!bytes.empty()) {
            makeRoom(consumed);
            const size_t n = std::min(room(), bytes.size());
            std::memcpy(at, bytes.data(), n);
            at += n;
            bytes.remove_prefix(n);
        }
    }

  private:
    const PieceSink& sink_;
    const size_t size_;  // a piece, or less for a short input
    std::unique_ptr<char[]> buffer_;
};

// Encoders keep no state except Big5-HKSCS's, which holds back Ê and ê to see whether a
// combining mark follows that makes one character with them.
template <typename Charset_>
struct Encoder {
    bool put(uint32_t cp, char*& o) { return Charset_::encode(cp, o); }
    void finish(char*&) {}
};

template <>
struct Encoder<Big5Hkscs> {
    uint32_t held = 0;
    bool put(uint32_t cp, char*& o) {
        if (held) {
            for (size_t i = 0; i < std::size(tables::kHkscsComposed); i += 3) {
                if (tables::kHkscsComposed[i] == held && tables::kHkscsComposed[i + 1] == cp) {
                    Big5Hkscs::putCode(uint16_t(tables::kHkscsComposed[i + 2]), o);
                    held = 0;
                    return true;
                }
            }
            finish(o);
        }
        for (size_t i = 0; i < std::size(tables::kHkscsComposed); i += 3) {
            if (tables::kHkscsComposed[i] == cp) {
                held = cp;
                return true;
            }
        }
        return Big5Hkscs::encode(cp, o);
    }
    void finish(char*& o) {
        if (held) Big5Hkscs::encode(held, o);
        held = 0;
    }
};

template <typename C>
constexpr bool kUtf16 = std::is_same_v<C, Utf16<false>> || std::is_same_v<C, Utf16<true>>;
template <typename C>
constexpr bool kBigEndian = std::is_same_v<C, Utf16<true>>;

// What the target writes for a character it cannot hold, and for invalid input.
template <typename To>
struct Substitutes {
    std::string question, replacement;
    Substitutes() {
        char bytes[8];
        char* o = bytes;
        To::encode('?', o);
        question.assign(bytes, size_t(o - bytes));
        o = bytes;
        replacement = To::encode(0xFFFD, o) ? std::string(bytes, size_t(o - bytes)) : question;
    }
};

// Writes what stands for the invalid input at `at` and returns how many of its bytes that took.
size_t replaceInvalid(std::string_view input, size_t at, Charset from, InvalidInput onInvalid,
                      const std::string& replacement, Output& out, size_t& replaced) {
    const auto* p = reinterpret_cast<const unsigned char*>(input.data());
    const size_t left = input.size() - at;
    const size_t invalid = invalidRunLength(from, p + at, left);
    if (!onInvalid) {
        const size_t units = (invalid + unitOf(from) - 1) / unitOf(from);
        // A long run goes in blocks of many replacements, not one call for each.
        std::string block;
        for (size_t k = 0; k < std::min<size_t>(units, 1024); ++k) block += replacement;
        for (size_t left = units; left > 0;) {
            const size_t k = std::min<size_t>(left, 1024);
            out.append(std::string_view(block).substr(0, k * replacement.size()), at);
            left -= k;
        }
        replaced += units;
        return invalid;
    }
    std::string custom;
    size_t skip = 0;
    for (; skip < invalid; ++replaced)
        skip += std::max<size_t>(1, onInvalid({input.data() + at + skip, left - skip}, custom));
    out.append(custom, at);
    return std::min(skip, left);
}

// The two conversions that go through the tight loops for Chinese text first.
template <typename From, typename To>
constexpr bool kGbToUtf8 = std::conjunction_v<std::is_same<From, Gb18030>, std::is_same<To, Utf8>>;
template <typename From, typename To>
constexpr bool kUtf8ToGb = std::conjunction_v<std::is_same<From, Utf8>, std::is_same<To, Gb18030>>;

template <typename From, typename To>
// NOLINTNEXTLINE(readability-function-size): the converter's one loop, kept whole for speed
size_t run(std::string_view input, Charset from, Charset to, const PieceSink& sink,
           InvalidInput onInvalid) {
    static const Substitutes<To> substitutes;
    Output out(sink, input.size());
    Encoder<To> encoder;
    const simd::Kernels& kernels = simd::kernels();  // once, not for every run of ASCII
    const auto* p = reinterpret_cast<const unsigned char*>(input.data());
    const size_t n = input.size();
    size_t replaced = 0;
    for (size_t i = 0; i < n;) {
        out.makeRoom(i);
        // Runs of ASCII go through vector loads, as many as the piece has room for.
        if constexpr (!kUtf16<From>) {
            if (p[i] < 0x80) {
                encoder.finish(out.at);
                const size_t width = kUtf16<To> ? 2 : 1;
                const size_t k =
                    kernels.asciiPrefix(input.data() + i, std::min(n - i, out.room() / width + 1));
                if constexpr (kUtf16<To>)
                    kernels.widenAscii(input.data() + i, k, kBigEndian<To>, out.at);
                else
                    std::memcpy(out.at, input.data() + i, k);
                out.at += k * width;
                i += k;
                continue;
            }
        } else if constexpr (!kUtf16<To>) {
            if (n - i >= 2 && From::unitAt(p + i) < 0x80) {
                encoder.finish(out.at);
                const size_t k = kernels.narrowAsciiUtf16(input.data() + i,
                                                          std::min((n - i) / 2, out.room() + 1),
                                                          kBigEndian<From>, out.at);
                out.at += k;
                i += 2 * k;
                continue;
            }
        }
        if constexpr (kGbToUtf8<From, To> || kUtf8ToGb<From, To>) {
            const char* end = out.at + out.room();
            const size_t k = kGbToUtf8<From, To>
                                 ? chinese::gbTwoBytesToUtf8(p + i, n - i, out.at, end)
                                 : chinese::utf8ThreeBytesToGb(p + i, n - i, out.at, end);
            if (k) {
                i += k;
                continue;
            }
        }
        uint32_t cp;
        const size_t length = From::decode(p + i, n - i, cp);
        if (length) {
            bool mapped = true;
            if (cp >= kPairBase) {
                const uint32_t* pair = tables::kHkscsPairs + 2 * (cp - kPairBase);
                mapped = encoder.put(pair[0], out.at) && encoder.put(pair[1], out.at);
            } else {
                mapped = encoder.put(cp, out.at);
            }
            // What a charset that holds every character refuses counts as invalid input.
            if (mapped || !holdsEveryCharacter(to)) {
                if (!mapped) {
                    out.append(substitutes.question, i);
                    ++replaced;
                }
                i += length;
                continue;
            }
        }
        encoder.finish(out.at);
        i += replaceInvalid(input, i, from, onInvalid, substitutes.replacement, out, replaced);
    }
    encoder.finish(out.at);
    out.flush(n);
    return replaced;
}

template <typename From>
size_t runFrom(std::string_view input, Charset from, Charset to, const PieceSink& sink,
               InvalidInput onInvalid) {
    switch (to) {
        case Charset::Gb18030:
            return run<From, Gb18030>(input, from, to, sink, onInvalid);
        case Charset::Utf8:
            return run<From, Utf8>(input, from, to, sink, onInvalid);
        case Charset::Utf16Le:
            return run<From, Utf16<false>>(input, from, to, sink, onInvalid);
        case Charset::Utf16Be:
            return run<From, Utf16<true>>(input, from, to, sink, onInvalid);
        case Charset::Big5:
            return run<From, Big5>(input, from, to, sink, onInvalid);
        case Charset::Big5Hkscs:
            return run<From, Big5Hkscs>(input, from, to, sink, onInvalid);
    }
    return 0;
}

// Walks the characters from the start, as the conversion does, up to the last start that leaves
// a whole character after it (a piece never ends inside a letter-and-mark pair for HKSCS).
template <typename From>
size_t walkPrefix(const unsigned char* p, size_t n, Charset from, Charset to) {
    size_t i = 0, cut = 0;
    while (n - i >= 4) {
        uint32_t cp = 0;
        const size_t length = From::decode(p + i, n - i, cp);
        i += length ? length : unitOf(from);
        if (!(to == Charset::Big5Hkscs && length && (cp == 0xCA || cp == 0xEA))) cut = i;
    }
    return cut;
}

}  // namespace

size_t wholePrefix(std::string_view input, Charset from, Charset to) {
    const auto* p = reinterpret_cast<const unsigned char*>(input.data());
    const size_t n = input.size();
    if ((from == Charset::Utf16Le || from == Charset::Utf16Be) && to != Charset::Big5Hkscs) {
        // Even, and never between the two halves of a surrogate pair.
        size_t cut = n & ~size_t(1);
        if (cut >= 2) {
            const unsigned unit = from == Charset::Utf16Le ? unsigned(p[cut - 1]) << 8 | p[cut - 2]
                                                           : unsigned(p[cut - 2]) << 8 | p[cut - 1];
            if (unit >= 0xD800 && unit < 0xDC00) cut -= 2;
        }
        return cut;
    }
    // A byte below this is never inside a character, so a character starts there; in UTF-8 so
    // does every byte but a continuation byte. The search looks back a long way, as the walk below
    // decodes everything again.
    const unsigned char sync = from == Charset::Gb18030 ? 0x30
                               : from == Charset::Utf8  ? 0x80
                                                        : 0x40;
    const auto starts = [&](unsigned char b) {
        // (not before a mark Big5-HKSCS would join with the letter before it)
        return b < sync || (from == Charset::Utf8 && to != Charset::Big5Hkscs && b >= 0xC0);
    };
    for (size_t k = n; k > 1 && n - k < kPiece / 4; --k)
        if (starts(p[k - 1])) return k - 1;
    switch (from) {
        case Charset::Gb18030:
            return walkPrefix<Gb18030>(p, n, from, to);
        case Charset::Utf8:
            return walkPrefix<Utf8>(p, n, from, to);
        case Charset::Utf16Le:
            return walkPrefix<Utf16<false>>(p, n, from, to);
        case Charset::Utf16Be:
            return walkPrefix<Utf16<true>>(p, n, from, to);
        case Charset::Big5:
            return walkPrefix<Big5>(p, n, from, to);
        case Charset::Big5Hkscs:
            return walkPrefix<Big5Hkscs>(p, n, from, to);
    }
    return 0;
}

std::optional<Charset> charsetNamed(std::string_view name) {
    static constexpr std::pair<std::string_view, Charset> kNames[] = {
        {"GB18030", Charset::Gb18030},  {"UTF-8", Charset::Utf8},
        {"UTF-16LE", Charset::Utf16Le}, {"UTF-16BE", Charset::Utf16Be},
        {"BIG5", Charset::Big5},        {"BIG5-HKSCS", Charset::Big5Hkscs},
    };
    for (const auto& [known, charset] : kNames)
        if (known.size() == name.size() && strncasecmp(known.data(), name.data(), name.size()) == 0)
            return charset;
    return std::nullopt;
}

bool converts(Charset from, Charset to) {
    // iconv passes some invalid UTF-8 through unchanged to UTF-8, and judges a Big5-HKSCS pair a
    // target cannot hold in its own way; the program never converts either way.
    return from != to && (from != Charset::Big5Hkscs || holdsEveryCharacter(to));
}

size_t convert(std::string_view input, Charset from, Charset to, const PieceSink& sink,
               InvalidInput onInvalid) {
    switch (from) {
        case Charset::Gb18030:
            return runFrom<Gb18030>(input, from, to, sink, onInvalid);
        case Charset::Utf8:
            return runFrom<Utf8>(input, from, to, sink, onInvalid);
        case Charset::Utf16Le:
            return runFrom<Utf16<false>>(input, from, to, sink, onInvalid);
        case Charset::Utf16Be:
            return runFrom<Utf16<true>>(input, from, to, sink, onInvalid);
        case Charset::Big5:
            return runFrom<Big5>(input, from, to, sink, onInvalid);
        case Charset::Big5Hkscs:
            return runFrom<Big5Hkscs>(input, from, to, sink, onInvalid);
    }
    return 0;
}

std::string convert(std::string_view input, Charset from, Charset to, size_t* replacements) {
    std::string out;
    out.reserve(input.size() + input.size() / 2 + 16);
    const size_t replaced =
        convert(input, from, to, [&](std::string_view piece, size_t) { out += piece; });
    if (replacements) *replacements = replaced;
    return out;
}

}  // namespace pw::codec
