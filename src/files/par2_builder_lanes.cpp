// The two lanes of a RecoveryBuilder: one takes the MD5s of every chunk fed, the other its CRC32s
// and the recovery sums, each on a thread of its own, or on the feeder's when there is none.

#include <algorithm>
#include <utility>

#include "files/par2_builder_state.h"
#include "platform/gf16.h"
#include "platform/two_halves.h"

namespace pw::par2 {
namespace {

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

}  // namespace

void addToAllOnTwo(unsigned char* recovery, uint64_t stride, uint32_t count,
                   const unsigned char* data, size_t bytes, uint16_t constant) {
    onTwoThreads(count, bytes >= (size_t{256} << 10), [&](size_t first, size_t end) {
        addToSome(recovery, stride, static_cast<uint32_t>(first), static_cast<uint32_t>(end), 0,
                  data, bytes, constant);
    });
}

void RecoveryBuilder::State::startLanes() {
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

void RecoveryBuilder::State::stopLanes() {
    {
        std::lock_guard<std::mutex> guard(lock);
        closing = true;
    }
    changed.notify_all();
    for (Lane& lane : lanes)
        if (lane.thread.joinable()) lane.thread.join();
}

void RecoveryBuilder::State::run(Lane& lane) {
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

void RecoveryBuilder::State::take() {
    if (filling) return;
    if (threaded) {
        std::unique_lock<std::mutex> guard(lock);
        changed.wait(guard,
                     [&] { return produced - std::min(lanes[0].done, lanes[1].done) < kChunks; });
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

void RecoveryBuilder::State::publish() {
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

void RecoveryBuilder::State::drain() {
    if (filling) publish();
    if (!threaded) return;
    std::unique_lock<std::mutex> guard(lock);
    changed.wait(guard, [&] { return lanes[0].done == produced && lanes[1].done == produced; });
}

void RecoveryBuilder::State::work(Lane& lane, const Chunk& c) {
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
                lane.head->update(c.data(), static_cast<size_t>(
                                                std::min<uint64_t>(c.length, kHeadBytes - c.pos)));
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

void RecoveryBuilder::State::sum(const Chunk& c) {
    const uint64_t offset = c.pos % sliceSize;
    if (offset >= range || count == 0) return;
    const size_t bytes =
        static_cast<size_t>(roundUp(std::min<uint64_t>(c.length, range - offset), 2));
    addToAll(recovery.get(), stride, count, offset, c.data(), bytes,
             constants[firstSlice[c.file] + static_cast<uint32_t>(c.pos / sliceSize)]);
}

}  // namespace pw::par2
