#pragma once
// Shared pieces of the fuzz targets: cutting one input into fields, and failing with the values
// that disagree, so that the reproducer explains itself.

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <initializer_list>
#include <string>
#include <string_view>
#include <utility>

namespace pw::fuzz {

// The fuzzer's bytes, taken field by field: a field ends at a zero byte, so every field is a text
// that holds no NUL, as the program's texts never do.
class Fields {
  public:
    Fields(const uint8_t* data, size_t size) : rest_(reinterpret_cast<const char*>(data), size) {}

    std::string_view next() {
        const size_t end = rest_.find('\0');
        const std::string_view field = rest_.substr(0, end);
        rest_.remove_prefix(end == std::string_view::npos ? rest_.size() : end + 1);
        return field;
    }
    // One byte (0 when nothing is left).
    uint8_t byte() {
        if (rest_.empty()) return 0;
        const auto b = static_cast<uint8_t>(rest_[0]);
        rest_.remove_prefix(1);
        return b;
    }
    std::string_view rest() const { return rest_; }

  private:
    std::string_view rest_;
};

inline std::string_view asBytes(const uint8_t* data, size_t size) {
    return {reinterpret_cast<const char*>(data), size};
}

// Printable ASCII as it is, everything else as \xHH.
inline std::string escaped(std::string_view bytes) {
    static constexpr char kHex[] = "0123456789ABCDEF";
    std::string out;
    for (char c : bytes) {
        const auto b = static_cast<unsigned char>(c);
        if (b >= 0x20 && b < 0x7F && b != '\\') {
            out += c;
        } else {
            out += "\\x";
            out += kHex[b >> 4];
            out += kHex[b & 15];
        }
    }
    return out;
}

using Shown = std::initializer_list<std::pair<const char*, std::string_view>>;

// Reports a broken expectation with the values involved; abort() makes libFuzzer keep the input.
[[noreturn]] inline void fail(const char* file, int line, const char* what, Shown values) {
    std::fprintf(stderr, "\n==== model mismatch at %s:%d: %s\n", file, line, what);
    for (const auto& [name, value] : values)
        std::fprintf(stderr, "  %s = \"%s\"\n", name, escaped(value).c_str());
    std::fflush(stderr);
    std::abort();
}

}  // namespace pw::fuzz

// FUZZ_EXPECT(condition, {"name", value}, ...): the values are shown when the condition fails.
#define FUZZ_EXPECT(condition, ...)                                                        \
    do {                                                                                   \
        if (!(condition)) ::pw::fuzz::fail(__FILE__, __LINE__, #condition, {__VA_ARGS__}); \
    } while (0)
