#pragma once
// The bytes of a merge output: what each source contributes, what stands between two sources,
// and the final encoding step.

#include <optional>

#include "merge/merge_options.h"
#include "text/encoding_code.h"

namespace pw {

// What stands between two files of a batch, from the merge's options: the text (line breaks as
// CR LF), a file's whole content, or nothing.
ByteBuffer intermediateData(const MergeOptions& options, FileSystem& fs);

enum class SourceOutcome {
    Whole,       // every byte (or all of its text) reached the output
    Cut,         // its text ended at a NUL, so only a part reached the output
    Unreadable,  // it gave nothing
    WriteFailed  // the output could not take it
};

// Appends one source to the output: byte for byte, or with encoding handling its text in the code
// page. `code` becomes the encoding the text was found in (0 when it was not decoded).
SourceOutcome appendSource(MergeContext& ctx, SafeWriter& out, const Text& path, EncodingCode& code,
                           int64_t& written);

// The output's final content when its text must go back into the encoding `code`: the bytes read
// back up to their first NUL (`textLength`), converted, with a byte-order mark where it has one.
std::optional<ByteBuffer> reencodedOutput(FileSystem& fs, const Text& joinedPath, EncodingCode code,
                                          size_t& textLength);

}  // namespace pw
