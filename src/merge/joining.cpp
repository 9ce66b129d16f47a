#include "merge/joining.h"

#include <algorithm>

#include "text/encoding_convert.h"
#include "text/encoding_detect.h"

namespace pw {
namespace {

// The whole content of a file, or nothing when any of it could not be read.
std::optional<ByteBuffer> readAll(FileSystem& fs, const Text& path) {
    auto file = fs.open(path, OpenMode::Read);
    const int64_t length = file ? file->length() : -1;
    if (length < 0) return std::nullopt;
    ByteBuffer bytes = file->readBytes(length);
    if (bytes.size() != size_t(length)) return std::nullopt;
    return bytes;
}

}  // namespace

ByteBuffer intermediateData(const MergeOptions& options, FileSystem& fs) {
    switch (options.joinWith()) {
        case JoinWith::Nothing:
            return {};
        case JoinWith::Text:
            return options.joinText();
        case JoinWith::File:
            return readAll(fs, options.joinFilePath()).value_or(ByteBuffer());
    }
    return {};
}

SourceOutcome appendSource(MergeContext& ctx, SafeWriter& out, const Text& path, EncodingCode& code,
                           int64_t& written) {
    code = kEncodingUnknown;
    if (!ctx.options.handleEncoding()) {
        // Streamed: a source is never held in memory whole.
        auto file = ctx.files.open(path, OpenMode::Read);
        const int64_t length = file ? file->length() : -1;
        if (length < 0) return SourceOutcome::Unreadable;
        if (!out.copyFrom(*file, 0, length)) return SourceOutcome::WriteFailed;
        written += length;
        return SourceOutcome::Whole;
    }
    auto decoded = detectAndDecode(ctx.files, path, &ctx.form);
    if (!decoded) return SourceOutcome::Unreadable;
    code = decoded->code;
    if (!out.write(decoded->text)) return SourceOutcome::WriteFailed;
    written += int64_t(decoded->text.size());
    return decoded->cutAtNul ? SourceOutcome::Cut : SourceOutcome::Whole;
}

std::optional<ByteBuffer> reencodedOutput(FileSystem& fs, const Text& joinedPath, EncodingCode code,
                                          size_t& textLength) {
    auto bytes = readAll(fs, joinedPath);
    if (!bytes) return std::nullopt;
    textLength = std::min(bytes->find('\0'), bytes->size());
    return encodeText(*bytes, code, true);
}

}  // namespace pw
