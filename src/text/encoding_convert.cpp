#include "text/encoding_convert.h"

#include "platform/charset.h"

namespace pw {

const char* charsetNameOf(EncodingCode code) {
    switch (code) {
        case kEncodingUtf8:
            return "UTF-8";
        case kEncodingUtf16Le:
            return "UTF-16LE";
        case kEncodingUtf16Be:
            return "UTF-16BE";
        case kEncodingBig5:
            return "BIG5";
        case kEncodingBig5Hkscs:
            return "BIG5-HKSCS";
        default:
            return nullptr;
    }
}

std::string_view byteOrderMarkOf(EncodingCode code) {
    switch (code) {
        case kEncodingUtf8:
            return "\xEF\xBB\xBF";
        case kEncodingUtf16Le:
            return "\xFF\xFE";
        case kEncodingUtf16Be:
            return "\xFE\xFF";
        default:
            return {};
    }
}

ByteBuffer convertEncoding(std::string_view bytes, const char* from, const char* to,
                           size_t* replacements) {
    if (replacements) *replacements = 0;
    if (bytes.empty()) return ByteBuffer();
    return convertCharset(bytes, from, to, replacements).value_or(ByteBuffer());
}

std::optional<ByteBuffer> wholeUtf8Form(std::string_view codePageText) {
    ByteBuffer utf8 = convertEncoding(codePageText, kCodePage, "UTF-8");
    if (convertEncoding(utf8, "UTF-8", kCodePage) != codePageText) return std::nullopt;
    return utf8;
}

void encodeTextInto(std::string_view text, EncodingCode code, bool writeMark, ByteBuffer& out,
                    size_t* replacements) {
    out.clear();
    if (replacements) *replacements = 0;
    text = text.substr(0, text.find('\0'));
    const char* charset = charsetNameOf(code);
    if (charset && !text.empty()) {
        if (writeMark) out.assign(byteOrderMarkOf(code));
        if (appendConvertedCharset(text, kCodePage, charset, out, replacements)) return;
        out.clear();
    }
    out.assign(text);
}

ByteBuffer encodeText(std::string_view text, EncodingCode code, bool writeMark,
                      size_t* replacements) {
    ByteBuffer out;
    encodeTextInto(text, code, writeMark, out, replacements);
    return out;
}

bool writeTextInEncoding(FileSystem& fs, const Text& path, std::string_view text, EncodingCode code,
                         bool writeMark) {
    SafeWriter out(fs, path);
    out.write(encodeText(text, code, writeMark));
    return out.commit();
}

}  // namespace pw
