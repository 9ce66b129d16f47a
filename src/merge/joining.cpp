#include "merge/joining.h"

#include <algorithm>

#include "text/encoding_convert.h"
#include "text/encoding_detect.h"

namespace pw {

std::optional<ByteBuffer> readAllBytes(FileSystem& fs, const Text& path, std::error_code& error) {
    auto file = fs.open(path, OpenMode::Read);
    const int64_t length = file ? file->length() : -1;
    if (length < 0) {
        error = file ? file->error() : fs.lastError();
        return std::nullopt;
    }
    ByteBuffer bytes = file->readBytes(length);
    // One more read tells the end of the file from an error that cut it short.
    char probe;
    if (bytes.size() != size_t(length) || file->read(&probe, 1) < 0) {
        error = file->error() ? file->error() : std::make_error_code(std::errc::io_error);
        return std::nullopt;
    }
    return bytes;
}

ByteBuffer intermediateData(const MergeOptions& options, FileSystem& fs,
                            std::error_code* readError) {
    switch (options.joinWith()) {
        case JoinWith::Nothing:
            return {};
        case JoinWith::Text:
            return options.joinText();
        case JoinWith::File: {
            std::error_code error;
            auto bytes = readAllBytes(fs, options.joinFilePath(), error);
            if (!bytes && readError) *readError = error;
            return bytes.value_or(ByteBuffer());
        }
    }
    return {};
}

SourceOutcome appendSource(MergeContext& ctx, SafeWriter& out, const Text& path, EncodingCode& code,
                           int64_t& written, std::error_code& readError) {
    code = kEncodingUnknown;
    if (!ctx.options.handleEncoding()) {
        // Streamed: a source is never held in memory whole.
        auto file = ctx.files.open(path, OpenMode::Read);
        const int64_t length = file ? file->length() : -1;
        if (length < 0) {
            readError = file ? file->error() : ctx.files.lastError();
            return SourceOutcome::Unreadable;
        }
        if (!out.copyFrom(*file, 0, length)) {
            if (!out.readFailed()) return SourceOutcome::WriteFailed;
            readError = out.error();
            return SourceOutcome::Unreadable;
        }
        written += length;
        return SourceOutcome::Whole;
    }
    auto decoded = detectAndDecode(ctx.files, path, &ctx.host, &readError);
    if (!decoded) return SourceOutcome::Unreadable;
    code = decoded->code;
    if (!out.write(decoded->text)) return SourceOutcome::WriteFailed;
    written += int64_t(decoded->text.size());
    if (decoded->cutAtNul) return SourceOutcome::Cut;
    return decoded->replacements ? SourceOutcome::Replaced : SourceOutcome::Whole;
}

std::optional<ByteBuffer> reencodedOutput(FileSystem& fs, const Text& joinedPath, EncodingCode code,
                                          size_t& textLength, const std::vector<ByteSpan>& spans,
                                          std::vector<bool>& replacedIn) {
    std::error_code error;
    auto bytes = readAllBytes(fs, joinedPath, error);
    if (!bytes) return std::nullopt;
    textLength = std::min(bytes->find('\0'), bytes->size());
    size_t replaced = 0;
    ByteBuffer content = encodeText(*bytes, code, true, &replaced);
    replacedIn.assign(spans.size(), false);
    // Only when something was replaced is each span converted again, to find whose text it was.
    const std::string_view text = std::string_view(*bytes).substr(0, textLength);
    for (size_t i = 0; replaced > 0 && i < spans.size(); ++i) {
        const size_t begin = std::min(size_t(spans[i].first), text.size());
        const size_t end = std::min(size_t(spans[i].second), text.size());
        size_t inSpan = 0;
        encodeText(text.substr(begin, end - begin), code, false, &inSpan);
        replacedIn[i] = inSpan > 0;
    }
    return content;
}

}  // namespace pw
