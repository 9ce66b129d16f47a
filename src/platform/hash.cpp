#include "platform/hash.h"

#include <openssl/evp.h>
#include <zlib.h>

#include <new>

#include "platform/crc32_fold.h"

namespace pw {

struct Sha256::State {
    EVP_MD_CTX* ctx = EVP_MD_CTX_new();
    ~State() { EVP_MD_CTX_free(ctx); }
};

Sha256::Sha256() : state_(std::make_unique<State>()) {
    if (!state_->ctx || EVP_DigestInit_ex(state_->ctx, EVP_sha256(), nullptr) != 1)
        throw std::bad_alloc();
}

Sha256::Sha256(const Sha256& other) : state_(std::make_unique<State>()) {
    if (!state_->ctx || EVP_MD_CTX_copy_ex(state_->ctx, other.state_->ctx) != 1)
        throw std::bad_alloc();
}

Sha256::~Sha256() = default;

void Sha256::update(const void* data, size_t size) {
    if (size > 0) EVP_DigestUpdate(state_->ctx, data, size);
}

Sha256Digest Sha256::finish() {
    Sha256Digest digest{};
    unsigned int length = 0;
    EVP_DigestFinal_ex(state_->ctx, digest.data(), &length);
    return digest;
}

struct Md5::State {
    EVP_MD_CTX* ctx = EVP_MD_CTX_new();
    ~State() { EVP_MD_CTX_free(ctx); }
};

Md5::Md5() : state_(std::make_unique<State>()) {
    if (!state_->ctx || EVP_DigestInit_ex(state_->ctx, EVP_md5(), nullptr) != 1)
        throw std::bad_alloc();
}

Md5::Md5(const Md5& other) : state_(std::make_unique<State>()) {
    if (!state_->ctx || EVP_MD_CTX_copy_ex(state_->ctx, other.state_->ctx) != 1)
        throw std::bad_alloc();
}

Md5::~Md5() = default;

void Md5::update(const void* data, size_t size) {
    if (size > 0) EVP_DigestUpdate(state_->ctx, data, size);
}

Md5Digest Md5::finish() {
    Md5Digest digest{};
    unsigned int length = 0;
    EVP_DigestFinal_ex(state_->ctx, digest.data(), &length);
    return digest;
}

Md5Digest md5Of(std::string_view bytes) {
    Md5 h;
    h.update(bytes);
    return h.finish();
}

uint32_t crc32Combine(uint32_t first, uint32_t second, int64_t secondLength) {
    return static_cast<uint32_t>(crc32_combine64(first, second, secondLength));
}

uint32_t crc32Update(uint32_t crc, const void* data, size_t size) {
    if (crc32FoldRuns()) return crc32Folded(crc, static_cast<const unsigned char*>(data), size);
    return static_cast<uint32_t>(
        crc32_z(crc, static_cast<const Bytef*>(data), static_cast<z_size_t>(size)));
}

std::string hexDigest(const Sha256Digest& digest) {
    static constexpr char kDigits[] = "0123456789abcdef";
    std::string hex;
    hex.reserve(64);
    for (uint8_t b : digest) {
        hex += kDigits[b >> 4];
        hex += kDigits[b & 15];
    }
    return hex;
}

std::string sha256Hex(std::string_view bytes) {
    Sha256 h;
    h.update(bytes);
    return hexDigest(h.finish());
}

}  // namespace pw
