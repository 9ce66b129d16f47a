#pragma once
// SHA-256 through libcrypto (which uses the CPU's SHA instructions where it has them); MD5 and
// CRC32 for recovery files (libcrypto, zlib).

#include <array>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

namespace pw {

using Sha256Digest = std::array<uint8_t, 32>;

class Sha256 {
  public:
    Sha256();
    ~Sha256();
    Sha256(const Sha256& other);  // the state so far, to finish two ways
    Sha256& operator=(const Sha256&) = delete;

    void update(const void* data, size_t size);
    void update(std::string_view bytes) { update(bytes.data(), bytes.size()); }
    // The digest of everything fed; the object must not be fed afterwards.
    Sha256Digest finish();

  private:
    struct State;
    std::unique_ptr<State> state_;
};

using Md5Digest = std::array<uint8_t, 16>;

class Md5 {
  public:
    Md5();
    ~Md5();
    Md5(const Md5& other);
    Md5& operator=(const Md5&) = delete;

    void update(const void* data, size_t size);
    void update(std::string_view bytes) { update(bytes.data(), bytes.size()); }
    Md5Digest finish();

  private:
    struct State;
    std::unique_ptr<State> state_;
};

Md5Digest md5Of(std::string_view bytes);

// The CRC-32 of zlib and zip, continued from `crc` (0 to start).
uint32_t crc32Update(uint32_t crc, const void* data, size_t size);
// The CRC-32 of two runs of bytes one after the other, from the CRC-32 of each.
uint32_t crc32Combine(uint32_t first, uint32_t second, int64_t secondLength);

// 64 lower-case hex digits.
std::string hexDigest(const Sha256Digest& digest);
std::string sha256Hex(std::string_view bytes);

}  // namespace pw
