#pragma once
// Reading PAR 2.0 recovery files received from anyone: every length, size and count is checked
// before it is used, a packet whose MD5 does not match is skipped, and reading goes on at the next
// packet as par2cmdline does, so a damaged file still gives its good packets.

#include <cstdint>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "files/par2_format.h"
#include "platform/files.h"

namespace pw::par2 {

// Larger packets other than recovery slices are taken as damage (a main packet of 262,000 files
// fits).
inline constexpr uint64_t kMaxPacketBody = 4 << 20;

struct Packet {
    int64_t offset = 0;  // of its header in the file
    Id setId{};
    std::string type;       // 16 bytes
    std::string body;       // empty for a recovery slice, whose data stays in the file
    uint32_t exponent = 0;  // of a recovery slice
    int64_t dataOffset = 0, dataLength = 0;
};

struct ScanResult {
    std::vector<Packet> packets;
    int64_t skippedBytes = 0;  // not part of any good packet
    bool readFailed = false;
};

// The good packets of one file, in order.
ScanResult scanPackets(FileHandle& file);

struct RecoverySliceRef {
    uint32_t exponent = 0;
    Text file;  // the recovery file holding it
    int64_t offset = 0;
};

// One recovery set, put together from the packets of its files and checked whole.
struct RecoverySet {
    Id setId{};
    uint64_t sliceSize = 0;
    std::vector<FileDescription> files;  // in the main packet's order
    std::vector<Text> names;             // the same, as code-page file names
    std::vector<std::vector<SliceChecksum>> checksums;
    std::vector<RecoverySliceRef> recovery;  // one for each exponent found
    uint32_t inputSlices = 0;
};

enum class SetProblem {
    None,
    NoMainPacket,
    BadMainPacket,
    MissingFilePackets,
    BadFileName,
    TooManySlices
};

// Gathers the packets of several files; `build` then gives each complete set it found.
class RecoverySetReader {
  public:
    void add(const Text& path, const ScanResult& scan);
    std::vector<Id> setIds() const;
    // Nothing when the set is not usable; `problem` then says why, with the offending name in
    // `detail` when a name is the reason.
    std::optional<RecoverySet> build(const Id& setId, SetProblem& problem,
                                     std::string& detail) const;

  private:
    struct Partial {
        std::optional<std::string> main;
        std::map<Id, std::string> descriptions, checksums;
        std::map<uint32_t, RecoverySliceRef> recovery;
        std::map<uint32_t, int64_t> recoveryLength;
    };
    std::map<Id, Partial> sets_;
};

}  // namespace pw::par2
