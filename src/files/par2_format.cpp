#include "files/par2_format.h"

#include <algorithm>
#include <cstdio>
#include <numeric>

#include "platform/gf16.h"

namespace pw::par2 {

void putLe(std::string& out, uint64_t value, int bytes) {
    for (int i = 0; i < bytes; ++i) out += static_cast<char>((value >> (8 * i)) & 0xFF);
}

uint64_t getLe(const unsigned char* p, int bytes) {
    uint64_t v = 0;
    for (int i = bytes - 1; i >= 0; --i) v = (v << 8) | p[i];
    return v;
}

namespace {

std::string_view bytesOf(const Md5Digest& d) {
    return {reinterpret_cast<const char*>(d.data()), d.size()};
}

void padTo4(std::string& s) {
    while (s.size() % 4) s += '\0';
}

}  // namespace

std::string packet(const Id& setId, std::string_view type, std::string_view body) {
    std::string tail;  // what the packet's MD5 covers: from the set ID to the end
    tail.reserve(32 + body.size());
    tail += bytesOf(setId);
    tail += type;
    tail += body;
    std::string out;
    out.reserve(kHeaderSize + body.size());
    out += kMagic;
    putLe(out, kHeaderSize + body.size(), 8);
    out += bytesOf(md5Of(tail));
    out += tail;
    return out;
}

std::string mainBody(uint64_t sliceSize, const std::vector<Id>& fileIds) {
    std::string body;
    putLe(body, sliceSize, 8);
    putLe(body, fileIds.size(), 4);
    for (const Id& id : fileIds) body += bytesOf(id);
    return body;
}

std::string fileDescriptionBody(const FileDescription& file) {
    std::string body;
    body += bytesOf(file.fileId);
    body += bytesOf(file.md5);
    body += bytesOf(file.headMd5);
    putLe(body, file.length, 8);
    body += file.name;
    padTo4(body);
    return body;
}

std::string sliceChecksumBody(const Id& fileId, const std::vector<SliceChecksum>& slices) {
    std::string body(bytesOf(fileId));
    for (const SliceChecksum& s : slices) {
        body += bytesOf(s.md5);
        putLe(body, s.crc32, 4);
    }
    return body;
}

std::string creatorBody(std::string_view creator) {
    std::string body(creator);
    padTo4(body);
    return body;
}

Id fileIdOf(const Md5Digest& headMd5, uint64_t length, std::string_view name) {
    Md5 h;
    h.update(headMd5.data(), headMd5.size());
    std::string len;
    putLe(len, length, 8);
    h.update(len);
    h.update(name);
    return h.finish();
}

bool idLess(const Id& a, const Id& b) {
    for (int i = 15; i >= 0; --i)
        if (a[i] != b[i]) return a[i] < b[i];
    return false;
}

std::vector<uint16_t> sliceConstants(uint32_t count) {
    std::vector<uint16_t> out;
    out.reserve(count);
    for (uint32_t n = 1; out.size() < count && n < 65535; ++n)
        if (std::gcd(n, 65535u) == 1) out.push_back(gf16::exp2(n));
    return out;
}

uint16_t sliceConstant(uint32_t index) {
    uint32_t seen = 0;
    for (uint32_t n = 1; n < 65535; ++n)
        if (std::gcd(n, 65535u) == 1 && seen++ == index) return gf16::exp2(n);
    return 0;
}

bool isPlainFileName(std::string_view name) {
    if (name.empty() || name == "." || name == "..") return false;
    if (name.find_first_of(std::string_view("/\\\0", 3)) != std::string_view::npos) return false;
    const auto letter = [](char c) { return (c | 0x20) >= 'a' && (c | 0x20) <= 'z'; };
    if (name.size() >= 2 && letter(name[0]) && name[1] == ':') return false;
    return true;
}

uint64_t slicesOf(uint64_t length, uint64_t sliceSize) {
    return sliceSize == 0 ? 0 : length / sliceSize + (length % sliceSize != 0);
}

int64_t chooseSliceSize(const std::vector<int64_t>& partSizes) {
    const int64_t largest =
        partSizes.empty() ? 0 : *std::max_element(partSizes.begin(), partSizes.end());
    const auto roundUp4 = [](int64_t v) { return std::max<int64_t>(4, (v + 3) / 4 * 4); };
    int64_t size = std::min(kMaxSliceSize, roundUp4((largest + 3) / 4));
    const auto total = [&](int64_t s) {
        uint64_t n = 0;
        for (int64_t p : partSizes)
            n += slicesOf(static_cast<uint64_t>(p), static_cast<uint64_t>(s));
        return n;
    };
    // Many parts: fewer slices each, up to one slice a part (a slice size no larger than needed).
    if (total(size) > kMaxInputSlices) {
        int64_t low = size, high = roundUp4(largest);
        while (low < high) {
            const int64_t mid = low + (high - low) / 8 * 4;
            if (total(mid) <= kMaxInputSlices)
                high = mid;
            else
                low = mid + 4;
        }
        size = std::min(high, kMaxSliceSize);
    }
    return size;
}

std::string indexFileName(std::string_view base) {
    return std::string(base) + ".par2";
}

std::string volumeFileName(std::string_view base, uint32_t first, uint32_t count,
                           uint32_t firstDigits, uint32_t countDigits) {
    char tail[64];
    std::snprintf(tail, sizeof tail, ".vol%0*u+%0*u.par2", static_cast<int>(firstDigits), first,
                  static_cast<int>(countDigits), count);
    return std::string(base) + tail;
}

}  // namespace pw::par2
