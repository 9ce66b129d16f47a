#include "text/codepage.h"

#include <algorithm>
#include <mutex>
#include <shared_mutex>
#include <unordered_map>

#include "platform/charset.h"

namespace pw {
namespace {

bool isAscii(std::string_view s) {
    return std::all_of(s.begin(), s.end(),
                       [](char c) { return static_cast<unsigned char>(c) < 0x80; });
}

struct TextHash {
    using is_transparent = void;
    size_t operator()(std::string_view s) const { return std::hash<std::string_view>{}(s); }
};

}  // namespace

const Text& lit(std::string_view utf8) {
    // The program's own texts are few and fixed: each is converted once, on its first use, and
    // kept for the life of the process (never destroyed, so texts used at exit stay valid).
    static auto& table = *new std::unordered_map<std::string, Text, TextHash, std::equal_to<>>;
    static std::shared_mutex lock;
    {
        const std::shared_lock reading(lock);
        if (const auto it = table.find(utf8); it != table.end()) return it->second;
    }
    const std::unique_lock writing(lock);
    return table.try_emplace(std::string(utf8), fromUtf8(utf8)).first->second;
}

Text fromUtf8(std::string_view utf8) {
    if (isAscii(utf8)) return Text(utf8);
    return convertCharset(utf8, "UTF-8", kCodePage).value_or(Text());
}

std::string toUtf8(std::string_view text) {
    if (isAscii(text)) return std::string(text);
    return convertCharset(text, kCodePage, "UTF-8").value_or(std::string());
}

Text bytesAsText(std::string_view bytes) {
    return Text(bytes.substr(0, bytes.find('\0')));
}

}  // namespace pw
