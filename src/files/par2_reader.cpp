#include "files/par2_reader.h"

#include <algorithm>
#include <cstring>

#include "platform/native_names.h"

namespace pw::par2 {
namespace {

constexpr size_t kBlock = 1 << 20;

bool readAt(FileHandle& f, int64_t offset, void* into, size_t size) {
    if (!f.seek(offset)) return false;
    auto* p = static_cast<char*>(into);
    while (size > 0) {
        const int64_t n = f.read(p, size);
        if (n <= 0) return false;
        p += n;
        size -= static_cast<size_t>(n);
    }
    return true;
}

// Where the next packet's magic starts at or after `from`; `length` when none does.
int64_t findMagic(FileHandle& f, int64_t from, int64_t length, bool& failed) {
    std::string block;
    while (from + static_cast<int64_t>(kMagic.size()) <= length) {
        const size_t want = static_cast<size_t>(std::min<int64_t>(kBlock, length - from));
        block.resize(want);
        if (!readAt(f, from, block.data(), want)) {
            failed = true;
            return length;
        }
        const size_t at = block.find(kMagic);
        if (at != std::string::npos) return from + static_cast<int64_t>(at);
        if (want < kMagic.size()) break;
        from += static_cast<int64_t>(want - kMagic.size() + 1);
    }
    return length;
}

// The MD5 of a recovery slice's packet, read through a buffer: its data may be large.
bool streamedMd5(FileHandle& f, int64_t offset, int64_t length, Md5& md5) {
    std::string block(static_cast<size_t>(std::min<int64_t>(kBlock, length)), '\0');
    while (length > 0) {
        const size_t n = static_cast<size_t>(std::min<int64_t>(kBlock, length));
        if (!readAt(f, offset, block.data(), n)) return false;
        md5.update(block.data(), n);
        offset += static_cast<int64_t>(n);
        length -= static_cast<int64_t>(n);
    }
    return true;
}

Id idAt(const unsigned char* p) {
    Id id;
    std::memcpy(id.data(), p, id.size());
    return id;
}

}  // namespace

// NOLINTNEXTLINE(readability-function-size): one pass that finds, checks and keeps each packet
ScanResult scanPackets(FileHandle& file) {
    ScanResult result;
    const int64_t length = file.length();
    if (length < 0) {
        result.readFailed = true;
        return result;
    }
    int64_t pos = 0, goodBytes = 0;
    unsigned char header[kHeaderSize];
    while (pos + static_cast<int64_t>(kHeaderSize) <= length) {
        const auto skip = [&] { pos = findMagic(file, pos + 1, length, result.readFailed); };
        if (!readAt(file, pos, header, kHeaderSize)) {
            result.readFailed = true;
            break;
        }
        if (std::memcmp(header, kMagic.data(), kMagic.size()) != 0) {
            pos = findMagic(file, pos, length, result.readFailed);
            continue;
        }
        const uint64_t size = getLe(header + 8, 8);
        const uint64_t room = static_cast<uint64_t>(length - pos);
        if (size < kHeaderSize || size % 4 != 0 || size > room) {
            skip();
            continue;
        }
        Packet p;
        p.offset = pos;
        p.setId = idAt(header + 32);
        p.type.assign(reinterpret_cast<const char*>(header + 48), 16);
        const uint64_t bodySize = size - kHeaderSize;
        Md5 md5;
        md5.update(header + 32, 32);
        if (p.type == kRecoverySliceType) {
            if (bodySize < 4 || !streamedMd5(file, pos + kHeaderSize, bodySize, md5)) {
                skip();
                continue;
            }
            unsigned char exponent[4];
            if (!readAt(file, pos + kHeaderSize, exponent, 4)) {
                skip();
                continue;
            }
            p.exponent = static_cast<uint32_t>(getLe(exponent, 4));
            p.dataOffset = pos + static_cast<int64_t>(kHeaderSize) + 4;
            p.dataLength = static_cast<int64_t>(bodySize) - 4;
        } else {
            if (bodySize > kMaxPacketBody) {
                skip();
                continue;
            }
            p.body.resize(bodySize);
            if (!readAt(file, pos + kHeaderSize, p.body.data(), bodySize)) {
                skip();
                continue;
            }
            md5.update(p.body);
        }
        if (md5.finish() != idAt(header + 16)) {
            skip();
            continue;
        }
        result.packets.push_back(std::move(p));
        pos += static_cast<int64_t>(size);
        goodBytes += static_cast<int64_t>(size);
    }
    result.skippedBytes = length - goodBytes;
    return result;
}

void RecoverySetReader::add(const Text& path, const ScanResult& scan) {
    for (const Packet& p : scan.packets) {
        Partial& set = sets_[p.setId];
        if (p.type == kMainType) {
            if (!set.main) set.main = p.body;
        } else if (p.type == kFileDescType || p.type == kSliceChecksumType) {
            if (p.body.size() < 16) continue;
            auto& into = p.type == kFileDescType ? set.descriptions : set.checksums;
            into.emplace(idAt(reinterpret_cast<const unsigned char*>(p.body.data())), p.body);
        } else if (p.type == kRecoverySliceType) {
            if (set.recovery.emplace(p.exponent, RecoverySliceRef{p.exponent, path, p.dataOffset})
                    .second)
                set.recoveryLength[p.exponent] = p.dataLength;
        }
    }
}

std::vector<Id> RecoverySetReader::setIds() const {
    std::vector<Id> ids;
    for (const auto& [id, set] : sets_)
        if (set.main) ids.push_back(id);
    return ids;
}

// NOLINTNEXTLINE(readability-function-size): every check of a received set, in the order told
std::optional<RecoverySet> RecoverySetReader::build(const Id& setId, SetProblem& problem,
                                                    std::string& detail) const {
    const auto found = sets_.find(setId);
    if (found == sets_.end() || !found->second.main) {
        problem = SetProblem::NoMainPacket;
        return std::nullopt;
    }
    const Partial& partial = found->second;
    const std::string& main = *partial.main;
    const auto* m = reinterpret_cast<const unsigned char*>(main.data());
    // The count is checked against the packet's own length before anything is sized by it.
    if (main.size() < 12 || (main.size() - 12) % 16 != 0) {
        problem = SetProblem::BadMainPacket;
        return std::nullopt;
    }
    RecoverySet set;
    set.setId = setId;
    set.sliceSize = getLe(m, 8);
    const uint64_t count = getLe(m + 8, 4);
    if (set.sliceSize == 0 || set.sliceSize % 4 != 0 || count == 0 ||
        count > (main.size() - 12) / 16) {
        problem = SetProblem::BadMainPacket;
        return std::nullopt;
    }
    uint64_t slices = 0;
    for (uint64_t i = 0; i < count; ++i) {
        const Id id = idAt(m + 12 + 16 * i);
        const auto desc = partial.descriptions.find(id);
        const auto sums = partial.checksums.find(id);
        if (desc == partial.descriptions.end() || sums == partial.checksums.end() ||
            desc->second.size() < 56) {
            problem = SetProblem::MissingFilePackets;
            return std::nullopt;
        }
        const auto* d = reinterpret_cast<const unsigned char*>(desc->second.data());
        FileDescription file;
        file.fileId = id;
        file.md5 = idAt(d + 16);
        file.headMd5 = idAt(d + 32);
        file.length = getLe(d + 48, 8);
        file.name = desc->second.substr(56);
        while (!file.name.empty() && file.name.back() == '\0') file.name.pop_back();
        if (!isPlainFileName(file.name)) {
            problem = SetProblem::BadFileName;
            detail = file.name;
            return std::nullopt;
        }
        const uint64_t fileSlices = slicesOf(file.length, set.sliceSize);
        slices += fileSlices;
        const std::string& s = sums->second;
        if (slices > kMaxInputSlices || s.size() != 16 + 20 * fileSlices) {
            problem = slices > kMaxInputSlices ? SetProblem::TooManySlices
                                               : SetProblem::MissingFilePackets;
            return std::nullopt;
        }
        std::vector<SliceChecksum> checks(fileSlices);
        const auto* c = reinterpret_cast<const unsigned char*>(s.data()) + 16;
        for (uint64_t k = 0; k < fileSlices; ++k) {
            checks[k].md5 = idAt(c + 20 * k);
            checks[k].crc32 = static_cast<uint32_t>(getLe(c + 20 * k + 16, 4));
        }
        set.names.push_back(fromNativeName(file.name));
        set.files.push_back(std::move(file));
        set.checksums.push_back(std::move(checks));
    }
    set.inputSlices = static_cast<uint32_t>(slices);
    for (const auto& [exponent, ref] : partial.recovery)
        if (exponent < kMaxRecoverySlices &&
            partial.recoveryLength.at(exponent) == static_cast<int64_t>(set.sliceSize))
            set.recovery.push_back(ref);
    return set;
}

}  // namespace pw::par2
