#include "merge/joining.h"

#include <algorithm>
#include <cstring>

#include "text/encoding_convert.h"
#include "text/encoding_detect.h"
#include "text/encoding_stream.h"

namespace pw {

ByteBuffer intermediateData(const MergeOptions& options, FileSystem& fs,
                            std::error_code* readError) {
    switch (options.joinWith()) {
        case JoinWith::Nothing:
            return {};
        case JoinWith::Text:
            return options.joinText();
        case JoinWith::File: {
            std::error_code error;
            auto bytes = readEntireFile(fs, options.joinFilePath(), error);
            if (!bytes && readError) *readError = error;
            return bytes.value_or(ByteBuffer());
        }
    }
    return {};
}

std::optional<Utf8Join> Utf8Join::of(std::string_view between) {
    auto utf8 = wholeUtf8Form(between);
    if (!utf8 || between.find('\0') != std::string_view::npos) return std::nullopt;
    return Utf8Join{std::move(*utf8)};
}

bool Utf8Join::write(SafeWriter& out, std::string_view text) {
    if (!text.empty() && !marked) {
        marked = true;
        if (!out.write(byteOrderMarkOf(kEncodingUtf8))) return false;
    }
    return out.write(text);
}

SourceOutcome appendSource(MergeContext& ctx, SafeWriter& out, const Text& path, EncodingCode& code,
                           int64_t& written, std::error_code& readError, Utf8Join* utf8) {
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
    // Decoded piece by piece: a source is never held in memory whole.
    auto text = TextSource::open(ctx.files, path, &ctx.host, &readError);
    if (!text) return SourceOutcome::Unreadable;
    if (utf8 && !text->validUtf8()) return SourceOutcome::NotUtf8;
    code = text->code();
    for (std::string_view piece; !(piece = utf8 ? text->nextUtf8() : text->next()).empty();) {
        if (!(utf8 ? utf8->write(out, piece) : out.write(piece))) return SourceOutcome::WriteFailed;
        written += int64_t(piece.size());
    }
    if (text->failed()) {
        // Some of its text is in the output already: the output is not kept.
        readError = text->error();
        out.failRead(readError);
        return SourceOutcome::Unreadable;
    }
    if (text->cutAtNul()) return SourceOutcome::Cut;
    return text->replacements() ? SourceOutcome::Replaced : SourceOutcome::Whole;
}

namespace {

// Converts the text of [begin, end) of `file` to `charset` a buffer at a time, handing each
// converted piece to `sink`; stops early once `enough` says so. False on a read error.
template <typename Sink, typename Enough>
bool convertRange(FileHandle& file, int64_t begin, int64_t end, StreamConverter& converter,
                  Sink&& sink, Enough&& enough) {
    if (!file.seek(begin)) return false;
    ByteBuffer buffer(textBufferSize(), '\0'), converted;
    for (int64_t at = begin; !enough();) {
        const size_t want = size_t(std::min<int64_t>(int64_t(buffer.size()), end - at));
        const int64_t got = want ? file.read(buffer.data(), want) : 0;
        if (got < 0) return false;
        at += got;
        const bool last = got == 0 || at >= end;
        converted.clear();
        converter.feed(std::string_view(buffer.data(), size_t(got)), last, converted);
        sink(std::string_view(converted));
        if (last) break;
    }
    return true;
}

// Where the text of the joined bytes ends: at their first NUL, or their end.
std::optional<int64_t> textEnd(FileHandle& file) {
    ByteBuffer buffer(textBufferSize(), '\0');
    int64_t at = 0;
    if (!file.seek(0)) return std::nullopt;
    for (;;) {
        const int64_t got = file.read(buffer.data(), buffer.size());
        if (got < 0) return std::nullopt;
        if (got == 0) return at;
        const void* nul = std::memchr(buffer.data(), '\0', size_t(got));
        if (nul) return at + (static_cast<const char*>(nul) - buffer.data());
        at += got;
    }
}

}  // namespace

bool writeCodePageOfUtf8(FileSystem& fs, const Text& joinedPath, const Utf8Join& utf8,
                         SafeWriter& out) {
    auto file = fs.open(joinedPath, OpenMode::Read);
    const int64_t length = file ? file->length() : -1;
    if (length < 0) return false;
    StreamConverter converter("UTF-8", kCodePage);
    return convertRange(
        *file, utf8.marked ? int64_t(byteOrderMarkOf(kEncodingUtf8).size()) : 0, length, converter,
        [&](std::string_view piece) { out.write(piece); }, [] { return false; });
}

bool writeReencoded(FileSystem& fs, const Text& joinedPath, EncodingCode code, SafeWriter& out,
                    size_t& textLength, const std::vector<ByteSpan>& spans,
                    std::vector<bool>& replacedIn) {
    auto file = fs.open(joinedPath, OpenMode::Read);
    if (!file) return false;
    const auto end = textEnd(*file);
    if (!end) return false;
    textLength = size_t(*end);
    replacedIn.assign(spans.size(), false);
    const char* charset = charsetNameOf(code);
    if (!charset) {
        // Nothing to convert into: the text goes as it is.
        return out.copyFrom(*file, 0, *end) || !out.readFailed();
    }
    StreamConverter converter(kCodePage, charset);
    bool marked = false;
    const bool read = convertRange(
        *file, 0, *end, converter,
        [&](std::string_view piece) {
            if (piece.empty()) return;
            if (!marked) out.write(byteOrderMarkOf(code));
            marked = true;
            out.write(piece);
        },
        [] { return false; });
    if (!read) return false;
    // Only when something was replaced is each span converted again, to find whose text it was.
    for (size_t i = 0; converter.replacements() > 0 && i < spans.size(); ++i) {
        const int64_t begin = std::min(spans[i].first, *end),
                      stop = std::min(spans[i].second, *end);
        if (begin >= stop) continue;
        StreamConverter alone(kCodePage, charset);
        if (!convertRange(
                *file, begin, stop, alone, [](std::string_view) {},
                [&] { return alone.replacements() > 0; }))
            return false;
        replacedIn[i] = alone.replacements() > 0;
    }
    return true;
}

}  // namespace pw
