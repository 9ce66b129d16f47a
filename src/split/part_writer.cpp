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
    if (state.run.outputFolderReady) return;
    state.run.outputFolderReady = true;
    const Text& folder = state.run.outputFolder;
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
                std::find(state.run.createdFolders.begin(), state.run.createdFolders.end(), m) ==
                    state.run.createdFolders.end())
                state.run.createdFolders.push_back(m);
        if (made) return;
        ctx.host.processEvents();
    }
    const Text taken = folder.substr(0, folder.size() - 1);
    if (ctx.files.exists(taken) && !ctx.files.isFolder(taken))
        state.run.outputFolder = state.run.source.folder + kPathSeparator;
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
    return id && (state.tally.jobSources.contains(*id) || state.tally.jobParts.contains(*id));
}

// The first of "stem suffix", "stem suffix (2)", "stem suffix (3)" … that names no file of the job.
Text freePartPath(SplitContext& ctx, const SplitJobState& state, const Text& stem,
                  const Text& suffix, const Text& extension) {
    for (int variant = 1;; ++variant) {
        const Text tail = variant == 1 ? suffix : suffix + " (" + std::to_string(variant) + ")";
        const Text path = state.run.outputFolder +
                          withExtension(fitPartName(ctx.files, stem, tail, extension), extension);
        if (!isJobFile(ctx.files, state, path)) return path;
    }
}

// The part's text: as it is when the source was decoded (valid UTF-8 included), else decoded on
// its own, valid UTF-8 kept as it stands (`utf8`).
struct PartText {
    Text text;
    bool utf8 = false;
};

PartText partText(const SplitJobState& state, const PartContent& part) {
    auto bytes = part.load();
    if (!bytes) return {};
    if (part.validUtf8) return {std::move(*bytes), true};
    // The loaded bytes are decoded in place: a large part is not held twice.
    if (state.run.sourceEncoding == kEncodingUnknown) {
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

// The file name the template gives the current part, with `first` cut until the name fits.
Text templatedName(SplitContext& ctx, const SplitJobState& state, Text first) {
    const auto name = [&] {
        return state.names->expand(state.run.source.stem, state.run.source.extension,
                                   state.run.partNumber, state.run.partCount, first);
    };
    while (!first.empty() && ctx.files.nativeNameBytes(name()) > ctx.files.maxNameBytes())
        first = leftChars(first, countChars(first) - 1);
    return name();
}

// A name after a phrase of the part's text, settling for shorter phrases when longer ones give
// names already taken. Empty when no attempt gives a free name: the numbered name is used then,
// so a part never replaces an earlier one, nor a source of the job. With a template, the whole
// file name with the phrase in it.
Text phraseName(SplitContext& ctx, SplitJobState& state, const PartContent& part,
                const Text& extension) {
    TitlePhrases phrases;
    try {
        PartText text = partText(state, part);
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
        if (state.names) {
            const Text name = templatedName(ctx, state, candidate);
            if (!ctx.files.exists(state.run.outputFolder + name)) return name;
            continue;
        }
        const Text name = fitPartName(ctx.files, candidate, "", extension);
        if (usableName(name) &&
            !ctx.files.exists(state.run.outputFolder + withExtension(name, extension)))
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

namespace {

// The template's name (`stem` holds it whole when the part was named after its text), with
// " (2)" … at its end when a file of the job has it.
Text templatedPath(SplitContext& ctx, const SplitJobState& state, const Text& stem) {
    const Text name = usableName(stem) ? stem : templatedName(ctx, state, Text());
    for (int variant = 1;; ++variant) {
        const Text path = state.run.outputFolder +
                          (variant == 1 ? name : name + " (" + std::to_string(variant) + ")");
        if (!isJobFile(ctx.files, state, path)) return path;
    }
}

// The part's path: after `stem` when it is usable, else after the part's heading, else its number.
Text partPath(SplitContext& ctx, const SplitJobState& state, Text stem) {
    if (state.names) return templatedPath(ctx, state, stem);
    Text suffix;
    if (!usableName(stem) && !state.run.partHeading.empty()) {
        // "book_3 第三章 风起": the number stays, the heading is cut to fit.
        stem = state.run.source.stem + numberSuffix(state.run.partNumber) + " " +
               cleanFileName(state.run.partHeading, kMaxNameChars);
    }
    if (!usableName(stem)) {
        stem = state.run.source.stem;
        suffix = numberSuffix(state.run.partNumber);
    }
    return freePartPath(ctx, state, stem, suffix, state.run.source.extension);
}

}  // namespace

Text plainPartPath(SplitContext& ctx, SplitJobState& state) {
    prepareFolder(ctx, state);
    return partPath(ctx, state, Text());
}

bool namesPartsAfterText(const SplitOptions& options) {
    if (options.nameAfterText()) return true;
    const auto names = NameTemplate::parse(options.nameTemplate());
    return names && names->usesFirst();
}

bool writePart(SplitContext& ctx, SplitJobState& state, const PartContent& part, Text* written) {
    prepareFolder(ctx, state);
    Text stem;
    if (namesPartsAfterText(ctx.options))
        stem = phraseName(ctx, state, part, state.run.source.extension);
    PartStream stream(ctx, state, partPath(ctx, state, stem), part.validUtf8);
    if (part.source)
        stream.copy(*part.source, part.offset, part.length);
    else
        stream.write(part.bytes);
    if (written) *written = stream.path();
    return stream.finish();
}

PartStream::PartStream(SplitContext& ctx, SplitJobState& state, bool utf8)
    : PartStream(ctx, state, plainPartPath(ctx, state), utf8) {}

PartStream::PartStream(SplitContext& ctx, SplitJobState& state, const Text& path, bool utf8)
    : ctx_(ctx),
      state_(state),
      path_(path),
      out_(ctx.files, path),
      recording_(state.run.recording && state.run.recording->textMode() ? state.run.recording.get()
                                                                        : nullptr),
      text_(state.run.sourceEncoding >= kEncodingUtf8),
      utf8_(utf8),
      capacity_(textBufferSize()),
      buffer_(std::move(state.encodedPart)) {
    buffer_.clear();
    if (ManifestRecording* recording = state.run.recording.get()) {
        // With recovery sums taken as the part is written, they take the source's digests too.
        out_.hashInto(&recording->partHash(),
                      state.run.recoveryFeed ? nullptr : recording->wholeHash());
        out_.crcInto(state.run.recoveryFeed ? nullptr : recording->wholeCrc());
        out_.feedInto(state.run.recoveryFeed);
        if (recording_) recording_->beginTextPart(state.run.sourceEncoding);
    }
    // Code-page text goes back into the source's encoding.
    if (text_ && !utf8_)
        converter_ =
            std::make_unique<StreamConverter>(kCodePage, charsetNameOf(state.run.sourceEncoding));
}

PartStream::~PartStream() {
    state_.encodedPart = std::move(buffer_);  // the next part reuses the memory
}

void PartStream::markFirst() {
    // Bytes that go out as they are need no check for a NUL, unless they are text a manifest
    // hashes.
    gathers_ = !converter_ && !(recording_ && text_);
    if (marked_ || !text_) return;
    marked_ = true;
    const std::string_view mark =
        byteOrderMarkOf(utf8_ ? kEncodingUtf8 : state_.run.sourceEncoding);
    (void)out_.write(mark);
    size_ += int64_t(mark.size());
}

void PartStream::record(std::string_view written) {
    if (copying_)
        state_.run.recording->noteHeader(written);
    else if (recording_)
        recording_->addTextBytes(written);
}

void PartStream::flush() {
    if (buffer_.empty()) return;
    (void)out_.write(buffer_);
    record(buffer_);
    size_ += int64_t(buffer_.size());
    buffer_.clear();
}

void PartStream::emit(std::string_view bytes) {
    if (buffer_.size() + bytes.size() > capacity_) flush();
    if (bytes.size() < capacity_) {
        buffer_.append(bytes);
        return;
    }
    (void)out_.write(bytes);
    record(bytes);
    size_ += int64_t(bytes.size());
}

void PartStream::writeSlowly(std::string_view bytes) {
    if (cut_) return;
    if (!converter_) {
        if (recording_ && text_ && bytes.find('\0') != std::string_view::npos)
            state_.run.sourceIntact = false;
        if (bytes.empty()) return;
        markFirst();
        emit(bytes);
        return;
    }
    // The text ends at a NUL; what comes after it is in no part.
    if (const size_t nul = bytes.find('\0'); nul != std::string_view::npos) {
        state_.run.sourceIntact = false;
        cut_ = true;
        bytes = bytes.substr(0, nul);
    }
    if (bytes.empty()) return;
    markFirst();
    // A slice at a time, so that a part held whole is not held converted as well.
    for (size_t at = 0; at < bytes.size(); at += capacity_) {
        converter_->feed(bytes.substr(at, capacity_), false, buffer_);
        if (buffer_.size() >= capacity_) flush();
    }
}

void PartStream::copy(FileHandle& file, int64_t offset, int64_t length) {
    if (length <= 0 || cut_) return;
    if (!converter_ && !recording_) {
        // The file's bytes as they stand: the kernel copies them.
        markFirst();
        flush();
        (void)out_.copyFrom(file, offset, length);
        size_ += length;
        return;
    }
    const int64_t saved = file.position();
    if (!file.seek(offset)) {
        out_.failRead(file.error());
        return;
    }
    ByteBuffer chunk(size_t(std::min<int64_t>(length, int64_t(capacity_))), '\0');
    while (length > 0) {
        const int64_t got =
            file.read(chunk.data(), size_t(std::min<int64_t>(length, int64_t(chunk.size()))));
        if (got <= 0) {
            out_.failRead(file.error());
            break;
        }
        // A whole buffer goes out without being gathered first.
        if (gathers_)
            emit(std::string_view(chunk.data(), size_t(got)));
        else
            writeSlowly(std::string_view(chunk.data(), size_t(got)));
        length -= got;
    }
    if (!file.seek(saved)) out_.failRead(file.error());
}

void PartStream::writeCopy(std::string_view bytes) {
    ManifestRecording* recording = state_.run.recording.get();
    flush();
    if (recording) {
        out_.hashInto(&recording->partHash());
        copying_ = true;
    }
    // After any mark, and out before the source's next bytes. Converted on its own and whole: the
    // part's converter may hold back the end of what it was fed, which would then be recorded as
    // the source's.
    if (converter_) {
        ByteBuffer encoded;
        StreamConverter(kCodePage, charsetNameOf(state_.run.sourceEncoding))
            .feed(bytes, true, encoded);
        markFirst();
        emit(encoded);
    } else {
        write(bytes);
    }
    flush();
    if (recording) {
        copying_ = false;
        out_.hashInto(&recording->partHash(),
                      state_.run.recoveryFeed ? nullptr : recording->wholeHash());
    }
}

bool PartStream::finish() {
    if (converter_) {
        converter_->feed({}, true, buffer_);
        state_.noteReplacements(converter_->replacements());
    }
    flush();
    const bool ok = out_.commit();
    if (ok && state_.run.recording) state_.run.recording->recordPart(path_, size_);
    if (ok) {
        ++state_.tally.partsWritten;
        ++state_.run.partsOfSource;
        state_.run.partNamesOfSource.insert(fileNameOf(path_));
        if (auto id = ctx_.files.fileId(path_)) state_.tally.jobParts.insert(*id);
    } else if (out_.readFailed()) {
        // The part was not written because its bytes could not be read: a read error.
        state_.markUnreadable(out_.error());
    } else {
        ++state_.tally.failedOutputs;
        state_.run.sourceIntact = false;
        state_.tally.failures.push_back({FailureKind::Write, path_, out_.error()});
    }
    ctx_.host.showProgressText("[" + std::to_string(state_.run.partNumber) + "] " +
                               state_.run.progressText);
    return ok;
}

}  // namespace pw
