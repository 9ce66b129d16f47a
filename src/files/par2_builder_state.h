#pragma once
// The inside of a RecoveryBuilder: the set's order and sums, and the two lanes that take the bytes
// fed a chunk at a time on threads of their own. Only the builder's own sources include it.

#include <array>
#include <condition_variable>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <mutex>
#include <optional>
#include <thread>
#include <vector>

#include "files/par2_builder.h"
#include "platform/md5_pair.h"

namespace pw::par2 {

inline constexpr size_t kAlign = 64;
inline constexpr size_t kStage = size_t{1} << 20;
inline constexpr size_t kChunks = 8;  // in flight between the feeder and the workers

struct FreeAligned {
    void operator()(unsigned char* p) const { std::free(p); }
};
using AlignedBytes = std::unique_ptr<unsigned char[], FreeAligned>;

inline AlignedBytes alignedZeros(size_t size) {
    const size_t rounded = (std::max<size_t>(size, 1) + kAlign - 1) / kAlign * kAlign;
    auto* p = static_cast<unsigned char*>(std::aligned_alloc(kAlign, rounded));
    if (!p) throw std::bad_alloc();
    std::memset(p, 0, rounded);
    return AlignedBytes(p);
}

inline uint64_t roundUp(uint64_t v, uint64_t to) {
    return (v + to - 1) / to * to;
}

// Adds constant^e * data to every recovery slice e at the start of each, on both cores, half of
// the slices each: the ranges read again after the pass have nothing else to do meanwhile.
void addToAllOnTwo(unsigned char* recovery, uint64_t stride, uint32_t count,
                   const unsigned char* data, size_t bytes, uint16_t constant);

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
    void startLanes();
    void stopLanes();
    void run(Lane& lane);
    // Waits for a free chunk to fill.
    void take();
    void publish();
    // Waits until the workers took every chunk.
    void drain();
    // Each lane fills its own field of a slice's checksum (the MD5, or the CRC32).
    void work(Lane& lane, const Chunk& c);
    // Adds the chunk, times each recovery slice's factor, to every recovery slice.
    void sum(const Chunk& c);
};

}  // namespace pw::par2
