#include "split/split_recovery.h"

#include <algorithm>

#include "files/par2_builder.h"
#include "platform/charset.h"
#include "platform/hash.h"
#include "platform/native_names.h"

namespace pw {
namespace {

constexpr size_t kPiece = size_t{1} << 20;

// The UTF-8 name the packets hold, or nothing when the name's native bytes are no UTF-8.
std::optional<std::string> utf8NameOf(const Text& name) {
    const std::string native = toNativeName(name);
    size_t replaced = 0;
    const auto checked = convertCharset(native, "UTF-8", "UTF-8", &replaced);
    if (!checked || replaced > 0 || *checked != native || fromNativeName(native) != name)
        return std::nullopt;
    return native;
}

// A file at a recovery file's name that is not one (a file of the user's) is never replaced.
bool takenByOther(FileSystem& fs, const Text& path) {
    if (!fs.exists(path)) return false;
    auto f = fs.open(path, OpenMode::Read);
    char magic[8] = {};
    return !f || f->read(magic, sizeof magic) != int64_t(sizeof magic) ||
           std::string_view(magic, sizeof magic) != par2::kMagic;
}

std::vector<Text> recoveryNames(const Text& base, uint32_t count) {
    const auto layout = par2::RecoveryBuilder::volumeLayout(count);
    uint32_t firstDigits = 1, countDigits = 1;
    const auto digits = [](uint32_t v) { return uint32_t(std::to_string(v).size()); };
    for (const auto& [first, n] : layout) {
        firstDigits = std::max(firstDigits, digits(first));
        countDigits = std::max(countDigits, digits(n));
    }
    std::vector<Text> names{par2::indexFileName(base)};
    for (const auto& [first, n] : layout)
        names.push_back(par2::volumeFileName(base, first, n, firstDigits, countDigits));
    return names;
}

// Feeds part `index` read again from its file; false when it could not be read whole or the
// split was stopped.
bool feedPart(FileSystem& fs, const Text& path, par2::RecoveryBuilder& builder, size_t index,
              std::string& buffer, const std::function<bool()>& stopped) {
    auto f = fs.open(path, OpenMode::Read);
    if (!f) return false;
    builder.beginFile(index);
    int64_t n = 0;
    while ((n = f->read(buffer.data(), buffer.size())) > 0) {
        builder.feed(buffer.data(), static_cast<size_t>(n));
        if (stopped && stopped()) return false;
    }
    // A part that changed since it was written is not what the manifest records.
    return builder.endFile() && n == 0;
}

// A dry run's recovery files: their sizes, with nothing in them.
bool writeSizes(FileSystem& fs, const Text& folder, const std::vector<Text>& names,
                const std::vector<uint64_t>& sizes, std::vector<Text>& written, Failure& failure) {
    static const std::string zeros(size_t{1} << 16, '\0');
    std::vector<std::unique_ptr<SafeWriter>> out;
    for (size_t i = 0; i < names.size(); ++i) {
        out.push_back(std::make_unique<SafeWriter>(fs, folder + names[i]));
        for (uint64_t left = sizes[i]; left > 0;) {
            const size_t n = static_cast<size_t>(std::min<uint64_t>(left, zeros.size()));
            (void)out.back()->write(std::string_view(zeros).substr(0, n));
            left -= n;
        }
    }
    // As the builder does: the volumes, then the index.
    for (size_t k = 1; k <= names.size(); ++k) {
        const size_t i = k % names.size();
        if (!out[i]->commit()) {
            failure = {FailureKind::Write, folder + names[i], out[i]->error()};
            return false;
        }
        written.push_back(folder + names[i]);
    }
    return true;
}

}  // namespace

uint32_t recoverySliceCount(const std::vector<int64_t>& partSizes, int64_t sliceSize,
                            RecoveryAmount amount) {
    uint64_t total = 0, largest = 0;
    for (int64_t size : partSizes) {
        const uint64_t slices = par2::slicesOf(uint64_t(size), uint64_t(sliceSize));
        total += slices;
        largest = std::max(largest, slices);
    }
    uint64_t count = amount.parts > 0 ? uint64_t(amount.parts) * largest
                                      : (total * uint64_t(amount.percent) + 99) / 100;
    count = std::min({std::max<uint64_t>(count, 1), total, uint64_t(par2::kMaxRecoverySlices)});
    return static_cast<uint32_t>(count);
}

std::unique_ptr<RecoveryPass> RecoveryPass::plan(FileHandle& source, std::vector<Part> parts,
                                                 RecoveryAmount amount) {
    std::vector<par2::InputFile> inputs;
    std::vector<int64_t> sizes;
    for (const Part& part : parts) {
        auto name = utf8NameOf(part.name);
        if (!name) return nullptr;
        inputs.push_back({std::move(*name), uint64_t(part.size), {}});
        sizes.push_back(part.size);
    }
    if (std::all_of(sizes.begin(), sizes.end(), [](int64_t s) { return s == 0; })) return nullptr;
    const int64_t saved = source.position();
    std::string head(static_cast<size_t>(par2::kHeadBytes), '\0');
    for (size_t i = 0; i < parts.size(); ++i) {
        const size_t wanted = static_cast<size_t>(std::min(parts[i].size, par2::kHeadBytes));
        if (!source.seek(parts[i].offset)) return nullptr;
        for (size_t got = 0; got < wanted;) {
            const int64_t n = source.read(head.data() + got, wanted - got);
            if (n <= 0) return nullptr;
            got += size_t(n);
        }
        inputs[i].headMd5 = md5Of(std::string_view(head).substr(0, wanted));
    }
    if (!source.seek(saved)) return nullptr;
    const int64_t sliceSize = par2::chooseSliceSize(sizes);
    std::unique_ptr<RecoveryPass> pass(new RecoveryPass);
    pass->builder_ = std::make_unique<par2::RecoveryBuilder>(
        uint64_t(sliceSize), recoverySliceCount(sizes, sliceSize, amount), std::move(inputs));
    pass->parts_ = std::move(parts);
    return pass;
}

RecoveryPass::~RecoveryPass() = default;

void RecoveryPass::alsoSum(Sha256* whole, uint32_t* crc) {
    builder_->alsoSum(whole, crc);
}

void RecoveryPass::finish() {
    builder_->waitForSums();
}

ByteSink* RecoveryPass::beginPart(size_t index) {
    builder_->beginFile(index);
    return builder_.get();
}

void RecoveryPass::endPart() {
    whole_ = builder_->endFile() && whole_;
}

par2::RecoveryBuilder* RecoveryPass::builderFor(const Manifest& manifest) {
    if (!whole_ || manifest.parts.size() != parts_.size()) return nullptr;
    for (size_t i = 0; i < parts_.size(); ++i)
        if (manifest.parts[i].name != parts_[i].name || manifest.parts[i].size != parts_[i].size)
            return nullptr;
    return builder_->fedAsGiven() ? builder_.get() : nullptr;
}

namespace {

// The bytes at `offset` of the file at `path`, all of them.
bool readExactly(FileSystem& fs, const Text& path, uint64_t offset, void* into, size_t size) {
    auto f = fs.open(path, OpenMode::Read);
    if (!f || !f->seek(int64_t(offset))) return false;
    for (size_t got = 0; got < size;) {
        const int64_t n = f->read(static_cast<char*>(into) + got, size - got);
        if (n <= 0) return false;
        got += size_t(n);
    }
    return true;
}

// A builder of its own over the parts read again (they were just written: from the cache); null,
// with `result` saying why, when a part could not be read or the job was stopped.
std::unique_ptr<par2::RecoveryBuilder> sumWrittenParts(FileSystem& fs, const Text& folder,
                                                       const Manifest& manifest,
                                                       std::vector<par2::InputFile> inputs,
                                                       int64_t sliceSize, uint32_t count,
                                                       const RecoveryWriting& how,
                                                       RecoveryResult& result, Failure& failure) {
    // The file IDs fix the set's order, so every head is read before the first byte is summed.
    for (size_t i = 0; i < inputs.size(); ++i) {
        const auto head = par2::headMd5Of(fs, folder + manifest.parts[i].name);
        if (!head) {
            failure = {FailureKind::Read, folder + manifest.parts[i].name, fs.lastError()};
            return nullptr;
        }
        inputs[i].headMd5 = *head;
    }
    auto builder =
        std::make_unique<par2::RecoveryBuilder>(uint64_t(sliceSize), count, std::move(inputs));
    std::string buffer(kPiece, '\0');
    for (size_t i = 0; i < manifest.parts.size(); ++i)
        if (!feedPart(fs, folder + manifest.parts[i].name, *builder, i, buffer, how.stopped)) {
            if (how.stopped && how.stopped())
                result = RecoveryResult::Stopped;
            else
                failure = {FailureKind::Read, folder + manifest.parts[i].name, errnoCode(EIO)};
            return nullptr;
        }
    return builder;
}

}  // namespace

RecoveryResult writeRecoveryFiles(FileSystem& fs, const Text& folder, const Text& base,
                                  const Manifest& manifest, RecoveryAmount amount,
                                  const RecoveryWriting& how, std::vector<Text>& written,
                                  Failure& failure) {
    if (!utf8NameOf(base) || !utf8NameOf(manifest.sourceName)) return RecoveryResult::NotUtf8;
    std::vector<par2::InputFile> inputs;
    std::vector<int64_t> sizes;
    for (const ManifestPart& part : manifest.parts) {
        auto name = utf8NameOf(part.name);
        if (!name) return RecoveryResult::NotUtf8;
        inputs.push_back({std::move(*name), uint64_t(part.size), {}});
        sizes.push_back(part.size);
    }
    // Parts all empty: nothing to protect.
    if (std::all_of(sizes.begin(), sizes.end(), [](int64_t s) { return s == 0; }))
        return RecoveryResult::Written;
    const int64_t sliceSize = par2::chooseSliceSize(sizes);
    const uint32_t count = recoverySliceCount(sizes, sliceSize, amount);
    const std::vector<Text> names = recoveryNames(base, count);
    for (const Text& name : names)
        if (takenByOther(fs, folder + name)) {
            failure = {FailureKind::Write, folder + name, errnoCode(EEXIST)};
            return RecoveryResult::Failed;
        }
    if (how.sizesOnly)
        return writeSizes(fs, folder, names,
                          par2::recoveryFileSizes(uint64_t(sliceSize), count, inputs), written,
                          failure)
                   ? RecoveryResult::Written
                   : RecoveryResult::Failed;
    const auto stopped = [&] { return how.stopped && how.stopped(); };

    par2::RecoveryBuilder* builder = how.pass ? how.pass->builderFor(manifest) : nullptr;
    std::unique_ptr<par2::RecoveryBuilder> own;
    if (!builder) {
        RecoveryResult result = RecoveryResult::Failed;
        own = sumWrittenParts(fs, folder, manifest, std::move(inputs), sliceSize, count, how,
                              result, failure);
        if (!own) return result;
        builder = own.get();
    }
    const auto read = [&](size_t i, uint64_t offset, void* into, size_t size) {
        return readExactly(fs, folder + manifest.parts[i].name, offset, into, size);
    };
    builder->stopWhen(how.stopped);
    if (builder->write(fs, folder, base, read, written, failure)) return RecoveryResult::Written;
    return stopped() ? RecoveryResult::Stopped : RecoveryResult::Failed;
}

}  // namespace pw
