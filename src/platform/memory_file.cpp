#include <algorithm>
#include <cerrno>
#include <cstring>
#include <utility>

#include "platform/files.h"

namespace pw {
namespace {

class MemoryFile : public FileHandle {
  public:
    explicit MemoryFile(ByteBuffer bytes) : bytes_(std::move(bytes)) {}

    int64_t read(void* buffer, size_t size) override {
        if (closed_) {
            fail(EBADF);
            return -1;
        }
        size_t n = position_ < bytes_.size() ? std::min(size, bytes_.size() - position_) : 0;
        std::memcpy(buffer, bytes_.data() + position_, n);
        position_ += n;
        return int64_t(n);
    }

    bool write(const void* data, size_t size) override {
        if (closed_) return fail(EBADF);
        if (position_ + size > bytes_.size()) bytes_.resize(position_ + size);
        std::memcpy(bytes_.data() + position_, data, size);
        position_ += size;
        return true;
    }

    bool seek(int64_t position) override {
        if (closed_ || position < 0) return fail(closed_ ? EBADF : EINVAL);
        position_ = size_t(position);
        return true;
    }

    int64_t position() const override { return int64_t(position_); }
    int64_t length() override { return closed_ ? -1 : int64_t(bytes_.size()); }
    bool close() override { return !std::exchange(closed_, true) || fail(EBADF); }

  private:
    ByteBuffer bytes_;
    size_t position_ = 0;
    bool closed_ = false;
};

}  // namespace

std::unique_ptr<FileHandle> makeMemoryFile(ByteBuffer initial) {
    return std::make_unique<MemoryFile>(std::move(initial));
}

}  // namespace pw
