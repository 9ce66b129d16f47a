// Conversions between the code page and each charset of the program. Code-page text survives a
// round trip through the Unicode charsets; whatever a conversion writes converts back to itself;
// a whole conversion equals the conversions of its characters one by one (for charsets without
// composed characters), and the in-place conversion equals the plain one. Text written with a
// byte-order mark is detected as what it was written in.
// Input: one byte choosing the charset, then the bytes.

#include "fuzz_support.h"
#include "platform/charset.h"
#include "text/codepage.h"
#include "text/encoding_convert.h"
#include "text/encoding_detect.h"
#include "text_models.h"

using namespace pw;

namespace {

constexpr EncodingCode kCodes[] = {kEncodingUtf8, kEncodingUtf16Le, kEncodingUtf16Be, kEncodingBig5,
                                   kEncodingBig5Hkscs};

std::vector<std::string_view> codePageCharacters(std::string_view text) {
    std::vector<std::string_view> chars;
    for (size_t pos = 0; pos < text.size();) {
        const size_t len = fuzz::searchStep(text, pos);
        chars.push_back(text.substr(pos, len));
        pos += len;
    }
    return chars;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    fuzz::Fields fields(data, size);
    const uint8_t choice = fields.byte();
    const EncodingCode code = kCodes[choice % 5];
    const char* charset = charsetNameOf(code);
    const std::string_view bytes = fields.rest();
    const Text text = bytesAsText(bytes);

    // Bytes of the charset, whatever they are, to the code page and back: stable from then on.
    const ByteBuffer decoded = convertEncoding(bytes, charset, kCodePage);
    const ByteBuffer encoded = convertEncoding(decoded, kCodePage, charset);
    const ByteBuffer again =
        convertEncoding(convertEncoding(encoded, charset, kCodePage), kCodePage, charset);
    FUZZ_EXPECT(again == encoded, {"charset", charset}, {"bytes", bytes}, {"encoded", encoded},
                {"again", again});

    // The in-place form gives the same bytes, from any start.
    const size_t start = choice / 5 % (bytes.size() + 1);
    std::string inPlace(bytes);
    FUZZ_EXPECT(convertCharsetInPlace(inPlace, start, charset, kCodePage), {"charset", charset});
    const ByteBuffer plain = convertEncoding(bytes.substr(start), charset, kCodePage);
    FUZZ_EXPECT(inPlace == plain, {"charset", charset}, {"bytes", bytes}, {"in place", inPlace},
                {"plain", plain});

    if (!fuzz::isCodePageText(text)) return 0;
    const ByteBuffer written = encodeText(text, code, false);
    const ByteBuffer back = convertEncoding(written, charset, kCodePage);
    if (code != kEncodingBig5 && code != kEncodingBig5Hkscs) {
        FUZZ_EXPECT(back == text, {"charset", charset}, {"text", text}, {"back", back});
        // With its mark the text is told apart by the detection, whatever it holds.
        const DecodedText detected = decodeContent(encodeText(text, code, true));
        if (!text.empty()) {
            FUZZ_EXPECT(detected.code == code && detected.text == text, {"charset", charset},
                        {"text", text}, {"detected", detected.text});
        }
    }
    if (code != kEncodingBig5Hkscs) {
        ByteBuffer pieces;
        for (std::string_view c : codePageCharacters(text)) pieces += encodeText(c, code, false);
        FUZZ_EXPECT(pieces == written, {"charset", charset}, {"text", text}, {"whole", written},
                    {"pieces", pieces});
    }
    return 0;
}
