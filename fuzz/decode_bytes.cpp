// The detection cascade on raw bytes. The text never holds a NUL; ASCII comes back as it is;
// strictly valid UTF-8 that declares nothing else is read as UTF-8 and means the same
// characters, and kept as it stands, it is that text in UTF-8; gzip-compressed bytes read as the
// bytes themselves.

#include <algorithm>

#include "fuzz_support.h"
#include "support/gzip_bytes.h"
#include "text/codepage.h"
#include "text/encoding_detect.h"

using namespace pw;
using test::gzipped;

namespace {

// Well-formed UTF-8 by the standard: no overlong forms, no surrogates, nothing past U+10FFFF.
bool strictUtf8(std::string_view s, bool& anyLong) {
    anyLong = false;
    for (size_t i = 0; i < s.size();) {
        const auto b = [&](size_t k) { return static_cast<unsigned char>(s[i + k]); };
        const auto cont = [&](size_t k) { return i + k < s.size() && (b(k) & 0xC0) == 0x80; };
        size_t len = 0;
        if (b(0) < 0x80)
            len = 1;
        else if (b(0) >= 0xC2 && b(0) <= 0xDF && cont(1))
            len = 2;
        else if (b(0) >= 0xE0 && b(0) <= 0xEF && cont(1) && cont(2) &&
                 !(b(0) == 0xE0 && b(1) < 0xA0) && !(b(0) == 0xED && b(1) >= 0xA0))
            len = 3;
        else if (b(0) >= 0xF0 && b(0) <= 0xF4 && cont(1) && cont(2) && cont(3) &&
                 !(b(0) == 0xF0 && b(1) < 0x90) && !(b(0) == 0xF4 && b(1) >= 0x90))
            len = 4;
        if (len == 0) return false;
        anyLong = anyLong || len > 1;
        i += len;
    }
    return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view bytes = fuzz::asBytes(data, size);
    const DecodedText decoded = decodeContent(ByteBuffer(bytes));
    FUZZ_EXPECT(decoded.text.find('\0') == Text::npos, {"bytes", bytes});
    FUZZ_EXPECT(decodeBytes(bytes) == decoded.text, {"bytes", bytes});

    const std::string_view beforeNul = bytes.substr(0, bytes.find('\0'));
    const bool ascii = std::all_of(bytes.begin(), bytes.end(),
                                   [](char c) { return static_cast<unsigned char>(c) < 0x80; });
    if (ascii) FUZZ_EXPECT(decoded.text == beforeNul, {"bytes", bytes}, {"text", decoded.text});

    bool anyLong = false;
    const bool marked = bytes.starts_with("\xEF\xBB\xBF");
    if (!marked && beforeNul.size() == bytes.size() && strictUtf8(bytes, anyLong) && anyLong &&
        decoded.code != kEncodingBig5 && decoded.code != kEncodingBig5Hkscs) {
        FUZZ_EXPECT(decoded.code == kEncodingUtf8 && toUtf8(decoded.text) == bytes,
                    {"bytes", bytes}, {"text", decoded.text});
    }

    // Kept as it stands, the text is the decoded one in UTF-8; else it is the decoded one.
    const DecodedText kept = decodeContent(ByteBuffer(bytes), nullptr, true);
    FUZZ_EXPECT(kept.utf8 ? kept.code == kEncodingUtf8 && toUtf8(decoded.text) == kept.text
                          : kept.text == decoded.text,
                {"bytes", bytes}, {"kept", kept.text}, {"decoded", decoded.text});

    if (!bytes.starts_with("\x1F\x8B")) {
        const DecodedText unwrapped = decodeContent(gzipped(bytes, 6));
        FUZZ_EXPECT(unwrapped.text == decoded.text && unwrapped.code == decoded.code,
                    {"bytes", bytes}, {"from gzip", unwrapped.text}, {"plain", decoded.text});
    }
    return 0;
}
