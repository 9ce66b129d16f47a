#pragma once
// Re-encoding bytes between charsets, and writing code-page text in a source's encoding.

#include <optional>
#include <string_view>

#include "platform/files.h"
#include "text/encoding_code.h"

namespace pw {

// The converter's name of a convertible code (2 to 6); nullptr for the others.
const char* charsetNameOf(EncodingCode code);

// The byte-order mark written for a code: UTF-8 and both UTF-16 forms have one.
std::string_view byteOrderMarkOf(EncodingCode code);

// Bytes of charset `from` re-encoded in charset `to`, never with a byte-order mark. A character
// `to` cannot hold becomes "?", invalid input becomes the replacement character; the empty
// buffer only when a charset is unknown (or the input is empty). `replacements` as for
// convertCharset.
ByteBuffer convertEncoding(std::string_view bytes, const char* from, const char* to,
                           size_t* replacements = nullptr);

// The UTF-8 form of code-page text that is whole, valid characters: one that converts back to
// the same bytes. Nothing for text that holds invalid or cut characters.
std::optional<ByteBuffer> wholeUtf8Form(std::string_view codePageText);

// The file content for a code-page text in the encoding of `code` (its text up to a NUL). Codes 0
// and 1, and a conversion that gives nothing, leave the code-page bytes without a mark.
ByteBuffer encodeText(std::string_view text, EncodingCode code, bool writeMark,
                      size_t* replacements = nullptr);
// The same into `out`, whose memory is reused: a part after part does not allocate each anew.
void encodeTextInto(std::string_view text, EncodingCode code, bool writeMark, ByteBuffer& out,
                    size_t* replacements = nullptr);

// Writes encodeText's bytes as the whole file at `path`, through a temporary file that replaces
// the path only when all of it was written. False when the file could not be written.
bool writeTextInEncoding(FileSystem& fs, const Text& path, std::string_view text, EncodingCode code,
                         bool writeMark);

}  // namespace pw
