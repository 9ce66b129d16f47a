#include "files/par2_builder.h"

#include <algorithm>
#include <array>
#include <condition_variable>
#include <cstdlib>
#include <cstring>
#include <mutex>
#include <optional>
#include <thread>
#include <utility>

#include "platform/gf16.h"
#include "platform/md5_pair.h"
#include "platform/native_names.h"

namespace pw::par2 {
namespace {

constexpr size_t kAlign = 64;
constexpr size_t kStage = size_t{1} << 20;
constexpr size_t kChunks = 8;  // in flight between the feeder and the workers
constexpr std::string_view kCreator = "Created by Partwell " PARTWELL_VERSION;

struct FreeAligned {
    void operator()(unsigned char* p) const { std::free(p); }
};
using AlignedBytes = std::unique_ptr<unsigned char[], FreeAligned>;

AlignedBytes alignedZeros(size_t size) {
    const size_t rounded = (std::max<size_t>(size, 1) + kAlign - 1) / kAlign * kAlign;
    auto* p = static_cast<unsigned char*>(std::aligned_alloc(kAlign, rounded));
    if (!p) throw std::bad_alloc();
    std::memset(p, 0, rounded);
    return AlignedBytes(p);
}

uint64_t roundUp(uint64_t v, uint64_t to) {
    return (v + to - 1) / to * to;
}

constexpr std::array<unsigned char, 1 << 16> kZeros{};

// Adds constant^e * data to each recovery slice e from `first` to `end` at `offset` (the same
// alignment as `data`).
void addToSome(unsigned char* recovery, uint64_t stride, uint32_t first, uint32_t end,
               uint64_t offset, const unsigned char* data, size_t bytes, uint16_t constant) {
    uint16_t factor = gf16::power(constant, first);
    for (uint32_t e = first; e < end; ++e) {
        gf16::multiplyAdd(recovery + e * stride + offset, data, bytes, factor);
        factor = gf16::multiply(factor, constant);
    }
}

void addToAll(unsigned char* recovery, uint64_t stride, uint32_t count, uint64_t offset,
              const unsigned char* data, size_t bytes, uint16_t constant) {
    addToSome(recovery, stride, 0, count, offset, data, bytes, constant);
}

// The same on both cores, half of the recovery slices each: the ranges read again after the
// pass have nothing else to do meanwhile.
void addToAllOnTwo(unsigned char* recovery, uint64_t stride, uint32_t count,
                   const unsigned char* data, size_t bytes, uint16_t constant) {
    const uint32_t half = count / 2;
    std::optional<std::thread> other;
    if (half > 0 && bytes >= (size_t{256} << 10)) {
        try {
            other.emplace(addToSome, recovery, stride, half, count, 0, data, bytes, constant);
        } catch (const std::system_error&) {
            // No thread to be had: this one does all.
        }
    }
    addToSome(recovery, stride, 0, other ? half : count, 0, data, bytes, constant);
    if (other) other->join();
}

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

// A stretch of one file's bytes on its way to the workers, never across a slice's end; placed
// at its slice offset's alignment, as the recovery slices it is added to are.
struct Chunk {
    AlignedBytes bytes = alignedZeros(kStage + 2 * kAlign);
    size_t at = 0;
    size_t length = 0;
    size_t file = 0;
    uint64_t pos = 0;  // of its first byte in the file
    bool first = false, last = false;
    const unsigned char* data() const { return bytes.get() + at; }
};

// What one worker sums of every chunk: the MD5s (the file's and its slices', side by side, and
// its head's), or the slices' CRC32s and the recovery slices. Both work on each chunk at once.
struct Lane {
    bool md5s = false;
    Md5Pair pair;  // the file's and the slice's
    std::optional<Md5> head;
    uint32_t crc = 0;
    Sha256* whole = nullptr;  // of every byte fed, for the caller
    uint32_t* wholeCrc = nullptr;
    bool sliceOpen = false;
    uint64_t done = 0;  // chunks taken
    std::thread thread;
};

struct RecoveryBuilder::State {
    uint64_t sliceSize = 0, range = 0;
    uint32_t count;
    std::vector<InputFile> files;
    std::vector<Id> ids;
    std::vector<size_t> order;         // files in the main packet's order
    std::vector<uint32_t> firstSlice;  // of each file, in the set
    std::vector<uint16_t> constants;   // of each slice in the set
    std::vector<std::vector<SliceChecksum>> checksums;
    std::vector<Md5Digest> md5s, heads;
    std::vector<uint64_t> fedLengths;
    std::vector<bool> fed;
    uint64_t stride = 0;
    AlignedBytes recovery;

    // The file being fed.
    size_t file = SIZE_MAX;
    uint64_t pos = 0;
    bool filling = false;  // the chunk `produced` is being filled
    bool firstOfFile = false;

    std::array<Chunk, kChunks> chunks;
    std::array<Lane, 2> lanes;
    std::mutex lock;
    std::condition_variable changed;
    uint64_t produced = 0;
    bool closing = false;
    bool threaded = false;

    Chunk& filled() { return chunks[produced % kChunks]; }

    void startLanes() {
        lanes[0].md5s = true;
        try {
            for (Lane& lane : lanes) lane.thread = std::thread([this, &lane] { run(lane); });
            threaded = true;
        } catch (const std::system_error&) {
            // No threads to be had: the feeder works the chunks itself.
            {
                std::lock_guard<std::mutex> guard(lock);
                closing = true;
            }
            changed.notify_all();
            for (Lane& lane : lanes)
                if (lane.thread.joinable()) lane.thread.join();
            closing = false;
        }
    }

    void stopLanes() {
        {
            std::lock_guard<std::mutex> guard(lock);
            closing = true;
        }
        changed.notify_all();
        for (Lane& lane : lanes)
            if (lane.thread.joinable()) lane.thread.join();
    }

    void run(Lane& lane) {
        for (;;) {
            {
                std::unique_lock<std::mutex> guard(lock);
                changed.wait(guard, [&] { return lane.done < produced || closing; });
                if (lane.done == produced) return;
            }
            work(lane, chunks[lane.done % kChunks]);
            {
                std::lock_guard<std::mutex> guard(lock);
                ++lane.done;
            }
            changed.notify_all();
        }
    }

    // Waits for a free chunk to fill.
    void take() {
        if (filling) return;
        if (threaded) {
            std::unique_lock<std::mutex> guard(lock);
            changed.wait(
                guard, [&] { return produced - std::min(lanes[0].done, lanes[1].done) < kChunks; });
        }
        filling = true;
        Chunk& c = filled();
        c.length = 0;
        c.file = file;
        c.pos = pos;
        c.at = static_cast<size_t>(pos % sliceSize % kAlign);
        c.first = std::exchange(firstOfFile, false);
        c.last = false;
    }

    void publish() {
        Chunk& c = filled();
        c.bytes[c.at + c.length] = 0;  // pads an odd last byte of a file to a whole word
        filling = false;
        if (!threaded) {
            for (Lane& lane : lanes) work(lane, c);
            ++produced;
            return;
        }
        {
            std::lock_guard<std::mutex> guard(lock);
            ++produced;
        }
        changed.notify_all();
    }

    // Waits until the workers took every chunk.
    void drain() {
        if (filling) publish();
        if (!threaded) return;
        std::unique_lock<std::mutex> guard(lock);
        changed.wait(guard, [&] { return lanes[0].done == produced && lanes[1].done == produced; });
    }

    // Each lane fills its own field of a slice's checksum (the MD5, or the CRC32).
    void work(Lane& lane, const Chunk& c) {
        if (c.first) {
            lane.pair = Md5Pair{};
            lane.head.emplace();
            lane.crc = 0;
            lane.sliceOpen = false;
        }
        if (c.length > 0) {
            lane.sliceOpen = true;
            if (lane.md5s) {
                lane.pair.update(c.data(), c.length);
                if (c.pos < static_cast<uint64_t>(kHeadBytes))
                    lane.head->update(c.data(), static_cast<size_t>(std::min<uint64_t>(
                                                    c.length, kHeadBytes - c.pos)));
            } else {
                // One CRC32 of the chunk gives the slice's and the caller's.
                const uint32_t crc = crc32Update(0, c.data(), c.length);
                lane.crc = crc32Combine(lane.crc, crc, int64_t(c.length));
                if (lane.wholeCrc)
                    *lane.wholeCrc = crc32Combine(*lane.wholeCrc, crc, int64_t(c.length));
                if (lane.whole) lane.whole->update(c.data(), c.length);
                sum(c);
            }
        }
        const uint64_t end = c.pos + c.length;
        const uint64_t k = c.pos / sliceSize;
        if (lane.sliceOpen && (end % sliceSize == 0 || c.last) && k < checksums[c.file].size()) {
            // A file's short last slice is summed as if padded with zeros.
            SliceChecksum& slice = checksums[c.file][k];
            for (uint64_t left = (sliceSize - end % sliceSize) % sliceSize; left > 0;) {
                const size_t n = static_cast<size_t>(std::min<uint64_t>(left, kZeros.size()));
                if (lane.md5s)
                    lane.pair.updateSecond(kZeros.data(), n);
                else
                    lane.crc = crc32Update(lane.crc, kZeros.data(), n);
                left -= n;
            }
            if (lane.md5s)
                slice.md5 = lane.pair.finishSecond();
            else
                slice.crc32 = std::exchange(lane.crc, 0);
            lane.sliceOpen = false;
        }
        if (c.last && lane.md5s) {
            md5s[c.file] = lane.pair.finishFirst();
            heads[c.file] = lane.head->finish();
            fedLengths[c.file] = end;
        }
    }

    // Adds the chunk, times each recovery slice's factor, to every recovery slice.
    void sum(const Chunk& c) {
        const uint64_t offset = c.pos % sliceSize;
        if (offset >= range || count == 0) return;
        const size_t bytes =
            static_cast<size_t>(roundUp(std::min<uint64_t>(c.length, range - offset), 2));
        addToAll(recovery.get(), stride, count, offset, c.data(), bytes,
                 constants[firstSlice[c.file] + static_cast<uint32_t>(c.pos / sliceSize)]);
    }
};

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
