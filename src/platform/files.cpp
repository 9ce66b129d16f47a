#include "platform/files.h"

#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <vector>

namespace pw {

bool FileHandle::copyFrom(FileHandle& source, int64_t offset, int64_t length) {
    const int64_t saved = source.position();
    if (!source.seek(offset)) return false;
    std::vector<char> buffer(size_t(std::min<int64_t>(length, 1 << 20)));
    bool ok = true;
    while (length > 0 && ok) {
        int64_t got = source.read(buffer.data(), size_t(std::min<int64_t>(length, buffer.size())));
        ok = got > 0 && write(buffer.data(), size_t(got));
        length -= got;
    }
    return source.seek(saved) && ok;
}

ByteBuffer FileHandle::readBytes(int64_t size) {
    ByteBuffer bytes(size_t(std::max<int64_t>(size, 0)), '\0');
    size_t filled = 0;
    while (filled < bytes.size()) {
        int64_t got = read(bytes.data() + filled, bytes.size() - filled);
        if (got <= 0) break;
        filled += size_t(got);
    }
    bytes.resize(filled);
    return bytes;
}

size_t FileSystem::nativeNameBytes(std::string_view name) const {
    return toNativeName(name).size();
}

SafeWriter::SafeWriter(FileSystem& fs, const Text& finalPath) : fs_(fs), finalPath_(finalPath) {
    static std::atomic<unsigned> counter{0};
    const size_t slash = finalPath.rfind(kPathSeparator);
    const Text folder = slash == Text::npos ? Text() : finalPath.substr(0, slash + 1);
    for (int attempt = 0; attempt < 100 && !file_; ++attempt) {
        tempPath_ = folder + ".~partwell-" + std::to_string(getpid()) + "-" +
                    std::to_string(counter++) + ".tmp";
        file_ = fs_.open(tempPath_, OpenMode::CreateNew);
        if (!file_ && !fs_.exists(tempPath_)) break;  // the folder refuses files: no use retrying
    }
    ok_ = file_ != nullptr;
}

SafeWriter::~SafeWriter() {
    if (file_) {
        file_->close();
        fs_.remove(tempPath_);
    }
}

bool SafeWriter::write(std::string_view bytes) {
    ok_ = ok_ && file_->write(bytes.data(), bytes.size());
    return ok_;
}

bool SafeWriter::copyFrom(FileHandle& source, int64_t offset, int64_t length) {
    ok_ = ok_ && (length == 0 || file_->copyFrom(source, offset, length));
    return ok_;
}

bool SafeWriter::commit() {
    if (!file_) return false;
    ok_ = file_->close() && ok_;
    file_.reset();
    if (ok_) ok_ = fs_.rename(tempPath_, finalPath_);
    if (!ok_) fs_.remove(tempPath_);
    return ok_;
}

}  // namespace pw
