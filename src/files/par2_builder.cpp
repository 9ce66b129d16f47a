#include "files/par2_builder_state.h"

#include <algorithm>
#include <cstring>
#include <optional>

#include "platform/native_names.h"

namespace pw::par2 {
namespace {

constexpr std::string_view kCreator = "Created by Partwell " PARTWELL_VERSION;

}  // namespace

std::optional<Md5Digest> headMd5Of(FileSystem& fs, const Text& path) {
    auto f = fs.open(path, OpenMode::Read);
    if (!f) return std::nullopt;
    std::string head(static_cast<size_t>(kHeadBytes), '\0');
    size_t got = 0;
    while (got < head.size()) {
        const int64_t n = f->read(head.data() + got, head.size() - got);
        if (n < 0) return std::nullopt;
        if (n == 0) break;
        got += static_cast<size_t>(n);
    }
    head.resize(got);
    return md5Of(head);
}

RecoveryBuilder::RecoveryBuilder(uint64_t sliceSize, uint32_t recoveryCount,
                                 std::vector<InputFile> files, uint64_t memoryBudget)
    : s_(std::make_unique<State>()), sliceSize_(sliceSize) {
    State& s = *s_;
    s.count = recoveryCount;
    s.files = std::move(files);
    for (const InputFile& f : s.files) s.ids.push_back(fileIdOf(f.headMd5, f.length, f.name));
    // An empty file has no slice to protect; par2cmdline leaves such files out of a set too.
    for (size_t i = 0; i < s.files.size(); ++i)
        if (s.files[i].length > 0) s.order.push_back(i);
    std::sort(s.order.begin(), s.order.end(),
              [&](size_t a, size_t b) { return idLess(s.ids[a], s.ids[b]); });
    s.firstSlice.resize(s.files.size());
    uint32_t slices = 0;
    for (size_t i : s.order) {
        s.firstSlice[i] = slices;
        slices += static_cast<uint32_t>(slicesOf(s.files[i].length, sliceSize));
    }
    s.constants = sliceConstants(slices);
    s.checksums.resize(s.files.size());
    for (size_t i = 0; i < s.files.size(); ++i)
        s.checksums[i].resize(slicesOf(s.files[i].length, sliceSize));
    s.md5s.resize(s.files.size());
    s.heads.resize(s.files.size());
    s.fedLengths.resize(s.files.size());
    s.fed.resize(s.files.size());
    // The whole slices when they fit the budget, else the same first range of each.
    const uint64_t perSlice = recoveryCount ? memoryBudget / recoveryCount : sliceSize;
    range_ = std::min(sliceSize, std::max<uint64_t>(kAlign, perSlice / kAlign * kAlign));
    s.sliceSize = sliceSize;
    s.range = range_;
    s.stride = roundUp(range_, kAlign);
    s.recovery = alignedZeros(s.stride * std::max<uint32_t>(recoveryCount, 1));
    s.startLanes();
}

RecoveryBuilder::~RecoveryBuilder() {
    s_->stopLanes();
}

void RecoveryBuilder::beginFile(size_t index) {
    State& s = *s_;
    if (s.filling) s.publish();
    s.file = index;
    s.pos = 0;
    s.firstOfFile = true;
    s.fed[index] = true;
}

void RecoveryBuilder::feed(const void* data, size_t size) {
    State& s = *s_;
    auto* p = static_cast<const unsigned char*>(data);
    while (size > 0) {
        s.take();
        Chunk& c = s.filled();
        const uint64_t offset = s.pos % sliceSize_;
        const size_t n =
            static_cast<size_t>(std::min<uint64_t>({size, kStage - c.length, sliceSize_ - offset}));
        std::memcpy(c.bytes.get() + c.at + c.length, p, n);
        c.length += n;
        s.pos += n;
        p += n;
        size -= n;
        if (c.length == kStage || s.pos % sliceSize_ == 0) s.publish();
    }
}

bool RecoveryBuilder::endFile() {
    State& s = *s_;
    s.take();
    s.filled().last = true;
    s.publish();
    const bool whole = s.pos == s.files[s.file].length;
    s.file = SIZE_MAX;
    return whole;
}

void RecoveryBuilder::alsoSum(Sha256* whole, uint32_t* crc) {
    s_->drain();
    s_->lanes[1].whole = whole;
    s_->lanes[1].wholeCrc = crc;
}

void RecoveryBuilder::waitForSums() {
    s_->drain();
}

size_t RecoveryBuilder::firstFedOtherwise() {
    State& s = *s_;
    s.drain();
    for (size_t i = 0; i < s.files.size(); ++i)
        if (!s.fed[i] || s.fedLengths[i] != s.files[i].length || s.heads[i] != s.files[i].headMd5)
            return i;
    return SIZE_MAX;
}

std::vector<uint64_t> recoveryFileSizes(uint64_t sliceSize, uint32_t recoveryCount,
                                        const std::vector<InputFile>& files) {
    const Id none{};
    std::vector<Id> ids;
    uint64_t critical = 0;
    for (const InputFile& f : files) {
        if (f.length == 0) continue;
        ids.push_back(none);
        critical +=
            packet(none, kFileDescType, fileDescriptionBody({none, {}, {}, f.length, f.name}))
                .size();
        const std::vector<SliceChecksum> slices(slicesOf(f.length, sliceSize));
        critical += packet(none, kSliceChecksumType, sliceChecksumBody(none, slices)).size();
    }
    critical += packet(none, kMainType, mainBody(sliceSize, ids)).size() +
                packet(none, kCreatorType, creatorBody(kCreator)).size();
    std::vector<uint64_t> sizes{critical};
    for (const auto& [first, n] : RecoveryBuilder::volumeLayout(recoveryCount))
        sizes.push_back(critical + n * (kHeaderSize + 4 + sliceSize));
    return sizes;
}

std::vector<std::pair<uint32_t, uint32_t>> RecoveryBuilder::volumeLayout(uint32_t count) {
    std::vector<std::pair<uint32_t, uint32_t>> out;
    for (uint32_t first = 0, size = 1; first < count; first += size, size *= 2)
        out.emplace_back(first, std::min(size, count - first));
    return out;
}

namespace {

bool writeAt(FileHandle& f, int64_t offset, const void* data, size_t size) {
    return f.seek(offset) && f.write(data, size);
}

uint32_t digits(uint32_t v) {
    uint32_t d = 1;
    while (v >= 10) v /= 10, ++d;
    return d;
}

}  // namespace

// The recovery files on their way: each through a temporary file, with a second handle that
// places the slices' data, which may come a range at a time, at their offsets; the packet
// headers go last, once their MD5s are known.
class RecoveryBuilder::Files {
  public:
    Files(FileSystem& fs, const Text& folder, const std::string& base, Failure& failure)
        : fs_(fs),
          failure_(failure),
          base_(base),
          prefix_(folder.empty() || folder.back() == kPathSeparator ? folder
                                                                    : folder + kPathSeparator) {}

    bool start(const std::string& critical, const Id& setId, uint32_t count, uint64_t sliceSize) {
        packetSize_ = static_cast<int64_t>(kHeaderSize + 4 + sliceSize);
        setId_ = setId;
        index_ = std::make_unique<SafeWriter>(fs_, prefix_ + indexFileName(base_));
        if (!index_->write(critical)) return fail(prefix_ + indexFileName(base_), index_->error());
        const auto layout = volumeLayout(count);
        for (const auto& [first, n] : layout) {
            firstDigits_ = std::max(firstDigits_, digits(first));
            countDigits_ = std::max(countDigits_, digits(n));
        }
        place_.resize(count);
        for (const auto& [first, n] : layout) {
            Volume v{pathOf(first, n), nullptr, nullptr};
            v.writer = std::make_unique<SafeWriter>(fs_, v.path);
            if (!v.writer->write(critical)) return fail(v.path, v.writer->error());
            v.handle = fs_.open(v.writer->temporaryPath(), OpenMode::ReadWrite);
            if (!v.handle) return fail(v.path, fs_.lastError());
            for (uint32_t j = 0; j < n; ++j)
                place_[first + j] = {volumes_.size(), static_cast<int64_t>(critical.size()) +
                                                          static_cast<int64_t>(j) * packetSize_};
            volumes_.push_back(std::move(v));
        }
        // Each packet's MD5 runs over its set ID, type, exponent and data, in the data's order.
        sums_.resize(count);
        for (uint32_t e = 0; e < count; ++e) sums_[e].update(std::string_view(lead(e)).substr(32));
        return true;
    }

    // Bytes `at` to `at + length` of recovery slice `e`.
    bool place(uint32_t e, uint64_t at, const unsigned char* data, uint64_t length) {
        const auto& [vi, offset] = place_[e];
        sums_[e].update(data, static_cast<size_t>(length));
        Volume& v = volumes_[vi];
        if (!writeAt(*v.handle, offset + static_cast<int64_t>(kHeaderSize + 4 + at), data,
                     static_cast<size_t>(length)))
            return fail(v.path, v.handle->error());
        return true;
    }

    bool commit(std::vector<Text>& written) {
        for (uint32_t e = 0; e < sums_.size(); ++e) {
            const auto& [vi, offset] = place_[e];
            const Md5Digest digest = sums_[e].finish();
            std::string header = lead(e);
            std::memcpy(header.data() + 16, digest.data(), digest.size());
            if (!writeAt(*volumes_[vi].handle, offset, header.data(), header.size()))
                return fail(volumes_[vi].path, volumes_[vi].handle->error());
        }
        for (Volume& v : volumes_) {
            const bool closed = v.handle->close();
            if (!closed || !v.writer->commit())
                return fail(v.path, closed ? v.writer->error() : v.handle->error());
            written.push_back(v.path);
        }
        if (!index_->commit()) return fail(prefix_ + indexFileName(base_), index_->error());
        written.push_back(prefix_ + indexFileName(base_));
        return true;
    }

  private:
    struct Volume {
        Text path;
        std::unique_ptr<SafeWriter> writer;
        std::unique_ptr<FileHandle> handle;
    };

    Text pathOf(uint32_t first, uint32_t count) const {
        return prefix_ + volumeFileName(base_, first, count, firstDigits_, countDigits_);
    }

    // A recovery slice packet's header (its MD5 still zero) and exponent.
    std::string lead(uint32_t e) const {
        std::string out(kMagic);
        putLe(out, static_cast<uint64_t>(packetSize_), 8);
        out.append(16, '\0');
        out.append(reinterpret_cast<const char*>(setId_.data()), setId_.size());
        out += kRecoverySliceType;
        putLe(out, e, 4);
        return out;
    }

    bool fail(const Text& path, std::error_code reason) {
        failure_ = {FailureKind::Write, path, reason ? reason : errnoCode(EIO)};
        return false;
    }

    FileSystem& fs_;
    Failure& failure_;
    std::string base_;
    Text prefix_;
    Id setId_{};
    int64_t packetSize_ = 0;
    uint32_t firstDigits_ = 1, countDigits_ = 1;
    std::unique_ptr<SafeWriter> index_;
    std::vector<Volume> volumes_;
    std::vector<std::pair<size_t, int64_t>> place_;  // each slice's volume and packet offset
    std::vector<Md5> sums_;
};

std::string RecoveryBuilder::criticalPackets(Id& setId) const {
    const State& s = *s_;
    std::vector<Id> ordered;
    for (size_t i : s.order) ordered.push_back(s.ids[i]);
    const std::string main = mainBody(sliceSize_, ordered);
    setId = md5Of(main);
    std::string out = packet(setId, kMainType, main);
    for (size_t i : s.order) {
        const InputFile& f = s.files[i];
        out += packet(setId, kFileDescType,
                      fileDescriptionBody({s.ids[i], s.md5s[i], f.headMd5, f.length, f.name}));
        out += packet(setId, kSliceChecksumType, sliceChecksumBody(s.ids[i], s.checksums[i]));
    }
    return out + packet(setId, kCreatorType, creatorBody(kCreator));
}

// Sums one later range of every recovery slice from the files' bytes, read again.
bool RecoveryBuilder::sumRange(uint64_t at, uint64_t length, const ReadAt& read,
                               unsigned char* input, Failure& failure) {
    State& s = *s_;
    std::memset(s.recovery.get(), 0, static_cast<size_t>(s.stride * s.count));
    for (size_t i = 0; i < s.files.size(); ++i) {
        const uint64_t fileLength = s.files[i].length;
        for (uint64_t k = 0; k * sliceSize_ < fileLength; ++k) {
            const uint64_t from = k * sliceSize_ + at;
            const uint64_t have = from >= fileLength ? 0 : std::min(length, fileLength - from);
            if (have == 0) continue;
            if (stopped()) return false;
            std::memset(input, 0, static_cast<size_t>(roundUp(length, 2)));
            if (!read(i, from, input, static_cast<size_t>(have))) {
                failure = {FailureKind::Read, fromNativeName(s.files[i].name), errnoCode(EIO)};
                return false;
            }
            addToAllOnTwo(s.recovery.get(), s.stride, s.count, input,
                          static_cast<size_t>(roundUp(have, 2)),
                          s.constants[s.firstSlice[i] + static_cast<uint32_t>(k)]);
        }
    }
    return true;
}

bool RecoveryBuilder::write(FileSystem& fs, const Text& folder, const std::string& base,
                            const ReadAt& read, std::vector<Text>& written, Failure& failure) {
    State& s = *s_;
    if (const size_t other = firstFedOtherwise(); other != SIZE_MAX) {
        failure = {FailureKind::Read, fromNativeName(s.files[other].name), errnoCode(EIO)};
        return false;
    }
    Id setId{};
    const std::string critical = criticalPackets(setId);
    Files files(fs, folder, base, failure);
    if (!files.start(critical, setId, s.count, sliceSize_)) return false;
    const auto placeAll = [&](uint64_t at, uint64_t length) {
        for (uint32_t e = 0; e < s.count; ++e)
            if (stopped() || !files.place(e, at, s.recovery.get() + e * s.stride, length))
                return false;
        return true;
    };
    if (!placeAll(0, range_)) return false;
    AlignedBytes input = needsSecondRead() ? alignedZeros(s.stride) : nullptr;
    for (uint64_t at = range_; at < sliceSize_; at += range_) {
        const uint64_t length = std::min(range_, sliceSize_ - at);
        if (!sumRange(at, length, read, input.get(), failure) || !placeAll(at, length))
            return false;
    }
    return !stopped() && files.commit(written);
}

}  // namespace pw::par2
