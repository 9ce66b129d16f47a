#pragma once
// PAR 2.0 recovery files: the packets, their checksums and the constants of the Reed-Solomon code,
// as par2cmdline and MultiPar write and read them. All numbers are little-endian.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/hash.h"

namespace pw::par2 {

inline constexpr std::string_view kMagic{"PAR2\0PKT", 8};
inline constexpr size_t kHeaderSize = 64;
inline constexpr std::string_view kMainType{"PAR 2.0\0Main\0\0\0\0", 16};
inline constexpr std::string_view kFileDescType{"PAR 2.0\0FileDesc", 16};
inline constexpr std::string_view kSliceChecksumType{"PAR 2.0\0IFSC\0\0\0\0", 16};
inline constexpr std::string_view kRecoverySliceType{"PAR 2.0\0RecvSlic", 16};
inline constexpr std::string_view kCreatorType{"PAR 2.0\0Creator\0", 16};

// Only this many input slices have a usable constant (the powers of 2 whose exponent is prime to
// 65535), and only this many recovery exponents exist.
inline constexpr uint32_t kMaxInputSlices = 32768;
inline constexpr uint32_t kMaxRecoverySlices = 65535;
// The MD5 of a file's head that identifies it.
inline constexpr int64_t kHeadBytes = 16384;
// MultiPar refuses larger slices.
inline constexpr int64_t kMaxSliceSize = 1000000000;

using Id = Md5Digest;

struct FileDescription {
    Id fileId{};
    Md5Digest md5{};
    Md5Digest headMd5{};
    uint64_t length = 0;
    std::string name;  // UTF-8, as stored
};

struct SliceChecksum {
    Md5Digest md5{};
    uint32_t crc32 = 0;
};

// A whole packet: header and body. `setId` and `type` are 16 bytes each.
std::string packet(const Id& setId, std::string_view type, std::string_view body);

std::string mainBody(uint64_t sliceSize, const std::vector<Id>& fileIds);
std::string fileDescriptionBody(const FileDescription& file);
std::string sliceChecksumBody(const Id& fileId, const std::vector<SliceChecksum>& slices);
std::string creatorBody(std::string_view creator);

// The file ID: the MD5 of the head's MD5, the length and the name.
Id fileIdOf(const Md5Digest& headMd5, uint64_t length, std::string_view name);

// The order of files in the main packet: IDs compared as 128-bit little-endian numbers.
bool idLess(const Id& a, const Id& b);

// The constant of the input slice with this index in the set (files in main-packet order).
uint16_t sliceConstant(uint32_t index);
// All of them for `count` slices at once (cheaper than one at a time).
std::vector<uint16_t> sliceConstants(uint32_t count);

// Whether a name read from a recovery file is a plain file name: no separator, no "..", no drive
// letter, no NUL, not empty.
bool isPlainFileName(std::string_view name);

// The slice size for parts of these sizes: each of the largest parts in four equal slices, a
// multiple of 4, at most kMaxSliceSize, and no more than kMaxInputSlices slices in all.
int64_t chooseSliceSize(const std::vector<int64_t>& partSizes);

// Slices a file of `length` bytes takes.
uint64_t slicesOf(uint64_t length, uint64_t sliceSize);

// "<base>.par2" and "<base>.vol<first>+<count>.par2", the digits as wide as the set's widest.
std::string indexFileName(std::string_view base);
std::string volumeFileName(std::string_view base, uint32_t first, uint32_t count,
                           uint32_t firstDigits, uint32_t countDigits);

// Little-endian numbers in and out of packet bytes.
void putLe(std::string& out, uint64_t value, int bytes);
uint64_t getLe(const unsigned char* p, int bytes);

}  // namespace pw::par2
