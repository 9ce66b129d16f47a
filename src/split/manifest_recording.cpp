#include "split/manifest_recording.h"

#include "files/path_ops.h"
#include "split/split_files.h"
#include "text/encoding_convert.h"

namespace pw {
namespace {

std::string_view modeName(SplitMode mode) {
    switch (mode) {
        case SplitMode::Parts:
            return "parts";
        case SplitMode::Bytes:
            return "size";
        case SplitMode::Lines:
            return "lines";
        case SplitMode::Characters:
            return "chars";
        case SplitMode::Delimiter:
            return "delimiter";
        case SplitMode::Chapters:
            return "chapters";
    }
    return "parts";
}

// What stood between two parts in the source's text: the delimiter, the line break the line
// mode joins a part's lines with, or nothing.
Text joinerText(const SplitOptions& options) {
    const SplitMode mode = options.mode();
    if (mode == SplitMode::Delimiter) return options.delimiter();
    if (mode == SplitMode::Lines) return "\r\n";
    return Text();
}

}  // namespace

ManifestRecording::ManifestRecording(const SplitOptions& options, bool textMode)
    : options_(options), textMode_(textMode) {
    manifest_.mode = modeName(options.mode());
}

void ManifestRecording::prepareText(EncodingCode code) {
    if (textReady_) return;
    textReady_ = true;
    if (code >= kEncodingUtf8) manifest_.addedMark = ByteBuffer(byteOrderMarkOf(code));
    manifest_.joiner = encodeText(joinerText(options_), code, false);
    marked_.update(manifest_.addedMark);
}

void ManifestRecording::beginTextPart(EncodingCode code) {
    prepareText(code);
    if (textParts_++ > 0) {
        plain_.update(manifest_.joiner);
        marked_.update(manifest_.joiner);
    }
}

void ManifestRecording::addTextBytes(std::string_view written) {
    plain_.update(written);
    marked_.update(written);
}

void ManifestRecording::noteHeader(std::string_view written) {
    if (!headerDone_) manifest_.header += written;
    copiedBytes_ += int64_t(written.size());
}

void ManifestRecording::recordPart(const Text& name, int64_t size) {
    if (!manifest_.header.empty()) headerDone_ = true;
    manifest_.parts.push_back({fileNameOf(name), size, hexDigest(partHash_->finish())});
    wholeBytes_ += size - copiedBytes_;  // a header's copy is none of the source's bytes
    copiedBytes_ = 0;
    partHash_ = std::make_unique<Sha256>();
}

std::optional<Manifest> ManifestRecording::finish(FileSystem& fs, const Text& source) {
    Manifest m = std::move(manifest_);
    m.sourceName = fileNameOf(source);
    if (!textMode_) {
        m.sourceSize = wholeBytes_;
        m.sourceSha256 = hexDigest(whole_.finish());
        return m;
    }
    auto digest = hashFile(fs, source, &m.sourceSize);
    if (!digest) return std::nullopt;
    m.sourceSha256 = hexDigest(*digest);
    const bool lines = m.mode == "lines";
    m.fixedLineBreaks = lines && options_.detectEncoding() && options_.fixLineBreaks();
    m.skippedBlankLines = lines && options_.skipBlankLines();

    // The parts go back to the source only if one of these rebuilds gives its very bytes.
    m.exact = false;
    for (bool withMark : {false, true}) {
        if (withMark && m.addedMark.empty()) break;
        Sha256& rebuilt = withMark ? marked_ : plain_;
        Sha256 trailing(rebuilt);
        trailing.update(m.joiner);
        const bool bare = hexDigest(rebuilt.finish()) == m.sourceSha256;
        const bool withJoiner = !m.joiner.empty() && hexDigest(trailing.finish()) == m.sourceSha256;
        if (bare || withJoiner) {
            m.exact = true;
            m.sourceMark = withMark;
            m.trailingJoiner = !bare;
            break;
        }
    }
    return m;
}

}  // namespace pw
