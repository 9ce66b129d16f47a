// The packet reader of recovery files against a model that reads the bytes in memory, offset by
// offset; then the set reader over what was found, whose every set must be safe to use.
// Input: one flag byte, then the file. With the flag's low bit set, every packet header found is
// given the MD5 its bytes need first, so that mutations reach the set reader instead of dying at
// the checksum.

#include <cstring>

#include "files/par2_reader.h"
#include "fuzz_support.h"

namespace {

using namespace pw;
using namespace pw::par2;

struct ModelPacket {
    size_t offset;
    std::string type, body;
};

uint64_t le64(const std::string& s, size_t at) {
    return getLe(reinterpret_cast<const unsigned char*>(s.data()) + at, 8);
}

bool fits(const std::string& s, size_t pos, uint64_t& length) {
    if (s.compare(pos, kMagic.size(), kMagic) != 0) return false;
    length = le64(s, pos + 8);
    return length >= kHeaderSize && length % 4 == 0 && length <= s.size() - pos;
}

std::vector<ModelPacket> modelScan(const std::string& s) {
    std::vector<ModelPacket> out;
    size_t pos = 0;
    while (pos + kHeaderSize <= s.size()) {
        uint64_t length = 0;
        if (!fits(s, pos, length)) {
            ++pos;
            continue;
        }
        const std::string type = s.substr(pos + 48, 16);
        const Md5Digest md5 = md5Of(std::string_view(s).substr(pos + 32, length - 32));
        const bool recovery = type == kRecoverySliceType;
        const bool ok =
            std::memcmp(md5.data(), s.data() + pos + 16, 16) == 0 &&
            (recovery ? length >= kHeaderSize + 4 : length - kHeaderSize <= kMaxPacketBody);
        if (!ok) {
            ++pos;
            continue;
        }
        out.push_back({pos, type, recovery ? std::string() : s.substr(pos + 64, length - 64)});
        pos += length;
    }
    return out;
}

void fixChecksums(std::string& s) {
    for (size_t pos = 0; pos + kHeaderSize <= s.size(); ++pos) {
        uint64_t length = 0;
        if (!fits(s, pos, length)) continue;
        const Md5Digest md5 = md5Of(std::string_view(s).substr(pos + 32, length - 32));
        std::memcpy(s.data() + pos + 16, md5.data(), 16);
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size == 0) return 0;
    std::string bytes(reinterpret_cast<const char*>(data) + 1, size - 1);
    if (data[0] & 1) fixChecksums(bytes);
    auto file = makeMemoryFile(bytes);
    const ScanResult scan = scanPackets(*file);
    const std::vector<ModelPacket> model = modelScan(bytes);
    FUZZ_EXPECT(scan.packets.size() == model.size(), {"input", bytes});
    for (size_t i = 0; i < model.size(); ++i) {
        const Packet& p = scan.packets[i];
        FUZZ_EXPECT(p.offset == static_cast<int64_t>(model[i].offset) && p.type == model[i].type &&
                        p.body == model[i].body,
                    {"input", bytes}, {"type", p.type});
        if (p.type == kRecoverySliceType)
            FUZZ_EXPECT(p.dataOffset + p.dataLength <= static_cast<int64_t>(bytes.size()),
                        {"input", bytes});
    }

    RecoverySetReader reader;
    reader.add("x.par2", scan);
    for (const Id& id : reader.setIds()) {
        SetProblem problem{};
        std::string detail;
        const auto set = reader.build(id, problem, detail);
        if (!set) continue;
        FUZZ_EXPECT(
            set->sliceSize > 0 && set->sliceSize % 4 == 0 && set->inputSlices <= kMaxInputSlices,
            {"input", bytes});
        uint64_t slices = 0;
        for (size_t f = 0; f < set->files.size(); ++f) {
            FUZZ_EXPECT(isPlainFileName(set->files[f].name), {"name", set->files[f].name});
            FUZZ_EXPECT(set->checksums[f].size() == slicesOf(set->files[f].length, set->sliceSize),
                        {"name", set->files[f].name});
            slices += set->checksums[f].size();
        }
        FUZZ_EXPECT(slices == set->inputSlices, {"input", bytes});
        for (const RecoverySliceRef& r : set->recovery)
            FUZZ_EXPECT(r.offset + static_cast<int64_t>(set->sliceSize) <=
                            static_cast<int64_t>(bytes.size()),
                        {"input", bytes});
    }
    return 0;
}
