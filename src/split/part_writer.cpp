#include "split/part_writer.h"

#include <algorithm>
#include <new>
#include <set>
#include <stdexcept>

#include "files/path_ops.h"
#include "split/title_phrase.h"
#include "text/chars.h"
#include "text/encoding_convert.h"
#include "text/encoding_detect.h"

namespace pw {
namespace {

constexpr size_t kMaxNameChars = 100;
constexpr int kPhraseAttempts = 10;
constexpr int kFolderAttempts = 3;

// Creates the output folder before the first part goes in. A source without extension has a
// subfolder name that is taken by the source itself; its parts then go beside it.
void prepareFolder(SplitContext& ctx, SplitJobState& state) {
    if (state.outputFolderReady) return;
    state.outputFolderReady = true;
    const Text& folder = state.outputFolder;
    // The folders this source makes are noted, so that they go again if no part lands in them.
    std::vector<Text> missing;
    for (size_t sep = folder.find(kPathSeparator); sep != Text::npos;
         sep = folder.find(kPathSeparator, sep + 1))
        if (sep > 0 && !ctx.files.isFolder(folder.substr(0, sep)))
            missing.push_back(folder.substr(0, sep));
    for (int attempt = 1; attempt <= kFolderAttempts; ++attempt) {
        const bool made = ensureFolder(ctx.files, folder);
        for (const Text& m : missing)
            if (ctx.files.isFolder(m) &&
                std::find(state.createdFolders.begin(), state.createdFolders.end(), m) ==
                    state.createdFolders.end())
                state.createdFolders.push_back(m);
        if (made) return;
        ctx.host.processEvents();
    }
    const Text taken = folder.substr(0, folder.size() - 1);
    if (ctx.files.exists(taken) && !ctx.files.isFolder(taken))
        state.outputFolder = state.source.folder + kPathSeparator;
}

Text numberSuffix(int64_t partNumber) {
    return "_" + std::to_string(partNumber);
}

bool usableName(const Text& name) {
    return !name.empty() && name != "." && name != "..";
}

Text withExtension(const Text& name, const Text& extension) {
    return extension.empty() ? name : name + "." + extension;
}

// A file the job read or wrote; no part may replace one.
bool isJobFile(FileSystem& fs, const SplitJobState& state, const Text& path) {
    auto id = fs.fileId(path);
    return id && (state.jobSources.contains(*id) || state.jobParts.contains(*id));
}

// The first of "stem suffix", "stem suffix (2)", "stem suffix (3)" … that names no file of the job.
Text freePartPath(SplitContext& ctx, const SplitJobState& state, const Text& stem,
                  const Text& suffix, const Text& extension) {
    for (int variant = 1;; ++variant) {
        const Text tail = variant == 1 ? suffix : suffix + " (" + std::to_string(variant) + ")";
        const Text path = state.outputFolder +
                          withExtension(fitPartName(ctx.files, stem, tail, extension), extension);
        if (!isJobFile(ctx.files, state, path)) return path;
    }
}

struct PartWrite {
    bool ok = false;
    bool readFailed = false;  // the source, not the part, failed
    std::error_code error;
};

PartWrite writeContent(SplitContext& ctx, SplitJobState& state, const Text& path) {
    const PartContent& part = state.partContent;
    ManifestRecording* recording = state.recording.get();
    SafeWriter out(ctx.files, path);
    if (recording) out.hashInto(&recording->partHash(), recording->wholeHash());
    int64_t size = 0;
    const bool text = state.sourceEncoding >= kEncodingUtf8;
    if (text && part.validUtf8 && !recording) {
        // The mark, then the source's own bytes: the part is not copied behind it.
        const int64_t length = part.source ? part.length : int64_t(part.bytes.size());
        const std::string_view mark = byteOrderMarkOf(kEncodingUtf8);
        if (length > 0 && out.write(mark)) {
            if (part.source)
                out.copyFrom(*part.source, part.offset, length);
            else
                out.write(part.bytes);
        }
        size = length > 0 ? int64_t(mark.size()) + length : 0;
    } else if (text) {
        // Text parts go back into the source's encoding.
        std::optional<ByteBuffer> loaded;
        if (part.source && !(loaded = part.load())) return {false, true, part.source->error()};
        const std::string_view bytes = loaded ? *loaded : part.bytes;
        if (bytes.find('\0') != std::string_view::npos)
            state.sourceIntact = false;  // cut short at a NUL
        size_t replaced = 0;
        ByteBuffer& encoded = state.encodedPart;
        if (part.validUtf8) {
            encoded.clear();
            if (!bytes.empty()) encoded.assign(byteOrderMarkOf(kEncodingUtf8)).append(bytes);
        } else {
            encodeTextInto(bytes, state.sourceEncoding, true, encoded, &replaced);
        }
        state.noteReplacements(replaced);
        out.write(encoded);
        size = int64_t(encoded.size());
        if (recording) recording->addTextPart(encoded, state.sourceEncoding);
    } else if (part.source) {
        out.copyFrom(*part.source, part.offset, part.length);
        size = part.length;
    } else {
        out.write(part.bytes);
        size = int64_t(part.bytes.size());
        if (recording) recording->addTextPart(part.bytes, state.sourceEncoding);
    }
    const bool ok = out.commit();
    if (ok && recording) recording->recordPart(path, size);
    return {ok, !ok && out.readFailed(), out.error()};
}

// The part's text: as it is when the source was decoded (valid UTF-8 included), else decoded on
// its own, valid UTF-8 kept as it stands (`utf8`).
struct PartText {
    Text text;
    bool utf8 = false;
};

PartText partText(const SplitJobState& state) {
    const PartContent& part = state.partContent;
    if (part.validUtf8) return {part.bytes, true};
    auto bytes = part.load();
    if (!bytes) return {};
    // The loaded bytes are decoded in place: a large part is not held twice.
    if (state.sourceEncoding == kEncodingUnknown) {
        DecodedText decoded = decodeContent(std::move(*bytes), nullptr, true);
        return {std::move(decoded.text), decoded.utf8};
    }
    bytes->resize(std::min(bytes->size(), bytes->find('\0')));  // the text ends at a NUL
    return {std::move(*bytes)};
}

// The name phrase `number` gives. A name is the phrase's first characters after its leading
// spaces: a head of a long phrase that fills one gives the same name, without copying the rest.
Text nameAfterPhrase(const TitlePhrases& phrases, size_t number) {
    constexpr size_t kHeadBytes = 4096;
    const TitlePhrases::Head head = phrases.head(number, kHeadBytes);
    Text name = cleanFileName(trimmedSpaces(head.text), kMaxNameChars);
    if (head.whole || countChars(name) >= kMaxNameChars) return name;
    return cleanFileName(trimmedSpaces(phrases[number]), kMaxNameChars);
}

// A name after a phrase of the part's text, settling for shorter phrases when longer ones give
// names already taken. Empty when no attempt gives a free name: the numbered name is used then,
// so a part never replaces an earlier one, nor a source of the job.
Text phraseName(SplitContext& ctx, SplitJobState& state, const Text& extension) {
    TitlePhrases phrases;
    try {
        PartText text = partText(state);
        phrases = titlePhrases(std::move(text.text), text.utf8);
    } catch (const std::bad_alloc&) {
        return Text();  // a part too large to hold as text is named by its number
    } catch (const std::length_error&) {
        return Text();
    }
    PhrasePicker picker{state.rng, ctx.clock, ctx.host};
    std::set<size_t> tried;
    for (int attempt = 1; attempt <= kPhraseAttempts && !phrases.empty(); ++attempt) {
        const int minChars = attempt <= 3 ? 15 : attempt <= 6 ? 10 : 5;
        const size_t number = pickTitlePhraseNumber(phrases, minChars, picker);
        if (!tried.insert(number).second) continue;  // a phrase drawn again gives the same name
        const Text candidate = nameAfterPhrase(phrases, number);
        if (!usableName(candidate)) continue;
        const Text name = fitPartName(ctx.files, candidate, "", extension);
        if (usableName(name) &&
            !ctx.files.exists(state.outputFolder + withExtension(name, extension)))
            return name;
    }
    return Text();
}

}  // namespace

Text cleanFileName(std::string_view text, size_t maxChars) {
    static constexpr std::string_view kRefused = "\\/:*?|<>";
    Text out;
    out.reserve(std::min(text.size(), maxChars * 4));
    size_t chars = 0;
    for (size_t pos = 0; pos < text.size() && chars < maxChars;) {
        const size_t len = charLengthAt(text, pos);
        const char c = text[pos];
        if (len == 1 && kRefused.find(c) != std::string_view::npos) {
            out += '\xA3';
            out += char(static_cast<unsigned char>(c) + 0x80);
            ++chars;
        } else if (!(len == 1 && (c == '"' || c == '\r' || c == '\n' || c == '\t')) &&
                   !(len == 2 && c == '\r')) {
            out.append(text.substr(pos, len));
            ++chars;
        }
        pos += len;
    }
    return out;
}

Text fitPartName(FileSystem& fs, std::string_view stem, std::string_view suffix,
                 std::string_view extension) {
    const size_t suffixChars = countChars(suffix);
    const Text cut = leftChars(stem, kMaxNameChars > suffixChars ? kMaxNameChars - suffixChars : 0);
    const Text tail = Text(suffix) + (extension.empty() ? "" : "." + Text(extension));
    return fitFileName(fs, cut, tail) + Text(suffix);
}

bool writePart(SplitContext& ctx, SplitJobState& state) {
    prepareFolder(ctx, state);
    const Text& extension = state.source.extension;
    Text stem, suffix;
    if (ctx.options.nameAfterText()) stem = phraseName(ctx, state, extension);
    if (!usableName(stem) && !state.partHeading.empty()) {
        // "book_3 第三章 风起": the number stays, the heading is cut to fit.
        stem = state.source.stem + numberSuffix(state.partNumber) + " " +
               cleanFileName(state.partHeading, kMaxNameChars);
    }
    if (!usableName(stem)) {
        stem = state.source.stem;
        suffix = numberSuffix(state.partNumber);
    }
    const Text path = freePartPath(ctx, state, stem, suffix, extension);

    const PartWrite written = writeContent(ctx, state, path);
    const bool ok = written.ok;
    if (ok) {
        ++state.partsWritten;
        ++state.partsOfSource;
        state.partNamesOfSource.insert(fileNameOf(path));
        if (auto id = ctx.files.fileId(path)) state.jobParts.insert(*id);
    } else if (written.readFailed) {
        // The part was not written because its bytes could not be read: a read error.
        state.markUnreadable(written.error);
    } else {
        ++state.failedOutputs;
        state.sourceIntact = false;
        state.failures.push_back({FailureKind::Write, path, written.error});
    }
    ctx.options.showProgressText("[" + std::to_string(state.partNumber) + "] " +
                                 state.progressText);
    return ok;
}

}  // namespace pw
