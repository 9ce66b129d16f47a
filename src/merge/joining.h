#pragma once
// The bytes of a merge output: what each source contributes, what stands between two sources,
// and the final encoding step.

#include <optional>
#include <system_error>
#include <utility>
#include <vector>

#include "merge/merge_options.h"
#include "text/encoding_code.h"

namespace pw {

// What stands between two files of a batch, from the merge's options: the text (line breaks as
// CR LF), a file's whole content, or nothing. A file that cannot be read gives nothing, and
// `readError`, when given, receives why.
ByteBuffer intermediateData(const MergeOptions& options, FileSystem& fs,
                            std::error_code* readError = nullptr);

enum class SourceOutcome {
    Whole,        // every byte (or all of its text) reached the output
    Cut,          // its text ended at a NUL, so only a part reached the output
    Replaced,     // its text needed substitutes ("?", U+FFFD) in a conversion
    Unreadable,   // it gave nothing
    WriteFailed,  // the output could not take it
    NotUtf8       // joining in UTF-8, its text is not valid UTF-8: nothing was written
};

// Text joined in UTF-8 instead of the code page: while every source is valid UTF-8, its own bytes
// are joined, and an output that goes back into UTF-8 is then written once. The byte-order mark
// goes first, before the first text.
struct Utf8Join {
    ByteBuffer between;  // the intermediate data in UTF-8
    bool marked = false;

    // Only intermediate data that converts to UTF-8 and back unchanged, without a NUL, allows it.
    static std::optional<Utf8Join> of(std::string_view between);
    bool write(SafeWriter& out, std::string_view text);
};

// Appends one source to the output: byte for byte, or with encoding handling its text in the code
// page, or in UTF-8 when `utf8` is given. `code` becomes the encoding the text was found in (0
// when it was not decoded). For an unreadable source `readError` receives why.
SourceOutcome appendSource(MergeContext& ctx, SafeWriter& out, const Text& path, EncodingCode& code,
                           int64_t& written, std::error_code& readError, Utf8Join* utf8 = nullptr);

// Writes the code-page text of what was joined in UTF-8 (its mark skipped) to `out`. False when the
// joined bytes could not be read back.
bool writeCodePageOfUtf8(FileSystem& fs, const Text& joinedPath, const Utf8Join& utf8,
                         SafeWriter& out);

// Writes the output's final content to `out` when its text must go back into the encoding `code`:
// the joined bytes up to their first NUL (`textLength`), converted, with a byte-order mark where it
// has one; read and converted through a bounded buffer. `replacedIn` gets, for each span
// [begin, end) of the joined bytes, whether its text needed a substitute ("?") in the conversion.
// False when the joined bytes could not be read back.
using ByteSpan = std::pair<int64_t, int64_t>;
bool writeReencoded(FileSystem& fs, const Text& joinedPath, EncodingCode code, SafeWriter& out,
                    size_t& textLength, const std::vector<ByteSpan>& spans,
                    std::vector<bool>& replacedIn);

}  // namespace pw
