#pragma once
// Part sizes for real limits, exact in bytes: the command line's --size names and the window's
// drop-down beside the size box (whose items follow this order after its first, "none").

#include <cstdint>
#include <string_view>

namespace pw {

struct SizePreset {
    std::string_view name;
    int64_t bytes;
};

inline constexpr SizePreset kSizePresets[] = {
    {"fat32", 4294967295},  // FAT32's largest file: 4 GiB - 1
    {"mail", 18000000},     // 24.6 MB in base64 with line breaks: under a 25 MB limit
    {"dvd", 4700000000},    // a single-layer DVD as its label counts: 4.7 GB
    {"cd", 734003200},      // a 700 MB CD-R: 700 MiB
};

}  // namespace pw
