#pragma once
// Creates PAR 2.0 recovery files over a set of files as their bytes pass by once (a split feeds
// it while it writes its parts, as it feeds the manifest's SHA-256).
//
// Every file's ID must be known before the first byte is fed: the files' order in the set, and so
// every slice's constant, follows from the IDs, which hash the first 16 KiB of each file. The
// recovery slices are accumulated in memory up to a budget; beyond it only the first bytes of
// every slice are summed as the data passes, and the rest is computed a range at a time from a
// second read of the files (in `write`).

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "files/failure.h"
#include "files/par2_format.h"
#include "platform/files.h"

namespace pw::par2 {

inline constexpr uint64_t kRecoveryMemory = uint64_t{256} << 20;

struct InputFile {
    std::string name;  // UTF-8, a plain file name
    uint64_t length = 0;
    Md5Digest headMd5{};  // of the first 16 KiB (or the whole of a shorter file)
};

// The MD5 of a file's first 16 KiB, read from the file itself.
std::optional<Md5Digest> headMd5Of(FileSystem& fs, const Text& path);

// The sizes of "<base>.par2" and of each volume (in volumeLayout's order) that a builder of
// these files writes: what a dry run lists, without summing anything.
std::vector<uint64_t> recoveryFileSizes(uint64_t sliceSize, uint32_t recoveryCount,
                                        const std::vector<InputFile>& files);

class RecoveryBuilder : public ByteSink {
  public:
    RecoveryBuilder(uint64_t sliceSize, uint32_t recoveryCount, std::vector<InputFile> files,
                    uint64_t memoryBudget = kRecoveryMemory);
    ~RecoveryBuilder() override;
    RecoveryBuilder(const RecoveryBuilder&) = delete;
    RecoveryBuilder& operator=(const RecoveryBuilder&) = delete;

    // Each file given is fed once, whole, in any order of files. Two threads of the builder's
    // own sum the bytes while the next ones come.
    void beginFile(size_t index);
    void feed(const void* data, size_t size);
    void take(const void* data, size_t size) override { feed(data, size); }
    // False when the bytes fed were not the length given for the file.
    bool endFile();
    // The bytes fed, in the order fed, also go into these (when not null) on the builder's
    // threads; they may be read once waitForSums() returned.
    void alsoSum(Sha256* whole, uint32_t* crc);
    void waitForSums();
    // Waits for the sums; false when a file was not fed, or not with the length and head given.
    bool fedAsGiven() { return firstFedOtherwise() == SIZE_MAX; }

    // Bytes of each recovery slice summed as the data passed (the whole slice when it fitted).
    uint64_t rangeInMemory() const { return range_; }
    bool needsSecondRead() const { return range_ < sliceSize_; }
    // Reads `size` bytes at `offset` of the file given as `index`; false when it cannot.
    using ReadAt = std::function<bool(size_t index, uint64_t offset, void* into, size_t size)>;

    // Asked between pieces of the writing: true drops what was written so far, and write()
    // returns false without a failure.
    void stopWhen(std::function<bool()> stopped) { stopped_ = std::move(stopped); }

    // Writes "<base>.par2" and the volumes into `folder` (`base` is code-page text), each through
    // a temporary file. With
    // slices beyond the memory budget, `read` gives the files' bytes for the later ranges.
    // False, with the failure, when a file could not be written or read.
    bool write(FileSystem& fs, const Text& folder, const std::string& base, const ReadAt& read,
               std::vector<Text>& written, Failure& failure);

    // Volumes: 1, 2, 4 ... recovery slices each, the last one holding what is left.
    static std::vector<std::pair<uint32_t, uint32_t>> volumeLayout(uint32_t count);

  private:
    struct State;
    class Files;
    size_t firstFedOtherwise();
    std::string criticalPackets(Id& setId) const;
    bool sumRange(uint64_t at, uint64_t length, const ReadAt& read, unsigned char* input,
                  Failure& failure);
    bool stopped() const { return stopped_ && stopped_(); }
    std::unique_ptr<State> s_;
    std::function<bool()> stopped_;
    uint64_t sliceSize_;
    uint64_t range_;
};

}  // namespace pw::par2
