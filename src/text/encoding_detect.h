#pragma once
// Reading text of any supported encoding into the code page, and telling which encoding it was.
// The cascade: gzip unwrapping, byte-order marks, an HTML charset declaration, a UTF-8 test, and
// the code page itself as the fallback.

#include <optional>

#include "platform/files.h"
#include "platform/job_host.h"
#include "text/encoding_code.h"

namespace pw {

struct DecodedText {
    Text text;
    EncodingCode code = kEncodingUnknown;
    bool cutAtNul = false;    // the text ends at a NUL before the end of the content
    size_t replacements = 0;  // substitutes the conversion put in for what it could not convert
    bool utf8 = false;        // the text is the content's own valid UTF-8 (keepValidUtf8)
};

// The file's text and the encoding found; nothing when the file cannot be opened or read, or its
// text is too large to hold.
// `host`, when given, lets pending events run during long tests; `error`, when given,
// receives why the file could not be read.
std::optional<DecodedText> detectAndDecode(FileSystem& fs, const Text& path,
                                           JobHost* host = nullptr,
                                           std::error_code* error = nullptr);

// The same cascade over bytes already in memory. With `keepValidUtf8`, UTF-8 found by the UTF-8
// test without values that convert to replacements stays as it is: each of its characters is one
// of the code page that converts back to itself.
DecodedText decodeContent(ByteBuffer content, JobHost* host = nullptr, bool keepValidUtf8 = false);
Text decodeBytes(std::string_view bytes, JobHost* host = nullptr);

// True when the bytes are well-formed UTF-8 sequences of one to four bytes and at least one of
// them is longer than one byte.
bool looksLikeUtf8(std::string_view bytes, JobHost* host = nullptr);

// The decompressed bytes of every member of a gzip stream; nothing when the bytes are not gzip or
// would unpack to more than gzipLimitFor(their size).
std::optional<ByteBuffer> unwrapGzip(std::string_view bytes);
size_t gzipLimitFor(size_t compressedSize);

// The encoding a byte-order mark at the start of `content` tells, with `dataStart` set past the
// mark; unknown (and 0) without one.
EncodingCode markedEncoding(std::string_view content, size_t& dataStart);
// The encoding an HTML declaration in the text of `content` names; unknown without one.
EncodingCode declaredEncoding(std::string_view content);

// Length of the content read as text for the declaration check: up to a NUL or 1A byte at a
// character start, or a lead byte followed by NUL.
size_t declarationTextLength(std::string_view content);

}  // namespace pw
