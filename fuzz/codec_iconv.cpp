// The table-driven codec against the iconv path it replaced, on any bytes between any two of the
// program's charsets, with and without a handler for invalid input. They differ only where the
// codec is right on purpose: the GB18030 standard's codes for private-use characters glibc cannot
// convert (and the six ideographs glibc gave their codes), and Big5-HKSCS letters iconv loses
// when invalid input follows them. Inputs that hold those are skipped.
// Input: one byte choosing the charsets and the handler, then the bytes.

#include <algorithm>

#include "fuzz_support.h"
#include "platform/charset.h"
#include "platform/charset_reference.h"

using namespace pw;

namespace {

constexpr const char* kCharsets[] = {"GB18030",  "UTF-8", "UTF-16LE",
                                     "UTF-16BE", "BIG5",  "BIG5-HKSCS"};

// A handler like the native-name escape: each invalid byte becomes a marker of its own.
size_t markByte(std::string_view rest, std::string& out) {
    out += "<";
    out += rest[0];
    out += ">";
    return 1;
}

// Code points where the codec follows the standard instead of glibc, as UTF-8.
constexpr std::string_view kDeliberate[] = {
    "\xEE\x9E\x8D",     "\xEE\x9E\x8E",     "\xEE\x9E\x8F",     "\xEE\x9E\x90",
    "\xEE\x9E\x91",     "\xEE\x9E\x92",     "\xEE\x9E\x93",     "\xEE\x9E\x94",
    "\xEE\x9E\x95",     "\xEE\x9E\x96",     "\xEE\xA0\x9E",     "\xEE\xA0\xA6",
    "\xEE\xA0\xAB",     "\xEE\xA0\xAC",     "\xEE\xA0\xB2",     "\xEE\xA1\x83",
    "\xEE\xA1\x94",     "\xEE\xA1\xA4",     "\xEE\xA0\x96",     "\xEE\xA0\x97",
    "\xEE\xA0\x98",     "\xEE\xA0\xB1",     "\xEE\xA0\xBB",     "\xEE\xA1\x95",
    "\xF0\xA0\x82\x87", "\xF0\xA0\x82\x89", "\xF0\xA0\x83\x8C", "\xF0\xA1\x97\x97",
    "\xF0\xA2\xA6\x8F", "\xF0\xA4\x87\xBE",
};

bool holdsDeliberateDifference(std::string_view bytes, const char* from, const char* to) {
    const std::string utf8 = std::string_view(from) == "UTF-8"
                                 ? std::string(bytes)
                                 : convertCharset(bytes, from, "UTF-8").value_or("");
    const std::string viaIconv = std::string_view(from) == "UTF-8"
                                     ? std::string(bytes)
                                     : convertCharsetByIconv(bytes, from, "UTF-8").value_or("");
    for (const std::string& text : {utf8, viaIconv})
        for (std::string_view cp : kDeliberate)
            if (text.find(cp) != std::string::npos) return true;
    // Ê and ê wait for a combining mark on the way to Big5-HKSCS.
    return std::string_view(to) == "BIG5-HKSCS" && (utf8.find("\xC3\x8A") != std::string::npos ||
                                                    utf8.find("\xC3\xAA") != std::string::npos);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    fuzz::Fields fields(data, size);
    const uint8_t choice = fields.byte();
    const char* from = kCharsets[choice % 6];
    const char* to = kCharsets[choice / 6 % 6];
    const bool handler = choice / 36 % 2;
    const std::string_view bytes = fields.rest();
    if (std::string_view(from) == to || holdsDeliberateDifference(bytes, from, to)) return 0;

    const auto ours = convertCharset(bytes, from, to, handler ? markByte : nullptr);
    const auto theirs = convertCharsetByIconv(bytes, from, to, handler ? markByte : nullptr);
    FUZZ_EXPECT(ours && theirs, {"from", from}, {"to", to});
    FUZZ_EXPECT(*ours == *theirs, {"from", from}, {"to", to}, {"bytes", bytes}, {"codec", *ours},
                {"iconv", *theirs});
    return 0;
}
