#include "platform/files.h"

#include <signal.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <climits>
#include <cstring>
#include <mutex>
#include <set>
#include <vector>

#include "platform/allocator.h"
#include "platform/native_names.h"

namespace pw {
namespace {

constexpr std::string_view kTempPrefix = ".~partwell-";
constexpr std::string_view kTempSuffix = ".tmp";

// The native path of the temporary file being written, for a signal handler to remove.
char openTemporary[4096];
std::atomic<bool> openTemporarySet{false};

void registerTemporary(const std::string& native) {
    if (native.size() >= sizeof openTemporary) return;
    openTemporarySet = false;
    std::memcpy(openTemporary, native.c_str(), native.size() + 1);
    openTemporarySet = true;
}

// The process that named a temporary file "<prefix><pid>-<n><suffix>", nothing when `name` is
// not exactly of that form: a name that only starts like one (a merge output named after a
// temporary file, say) is a user's file.
std::optional<long> ownerOf(std::string_view name) {
    if (!name.starts_with(kTempPrefix) || !name.ends_with(kTempSuffix)) return std::nullopt;
    name.remove_prefix(kTempPrefix.size());
    name.remove_suffix(kTempSuffix.size());
    const auto number = [&](long limit) -> std::optional<long> {
        long value = 0;
        size_t i = 0;
        for (; i < name.size() && name[i] >= '0' && name[i] <= '9'; ++i) {
            value = value * 10 + (name[i] - '0');
            if (value > limit) return std::nullopt;
        }
        if (i == 0) return std::nullopt;
        name.remove_prefix(i);
        return value;
    };
    const auto pid = number(1L << 30);
    if (!pid || !name.starts_with('-')) return std::nullopt;
    name.remove_prefix(1);
    // A long-running writer's counter passes any small limit.
    if (!number((LONG_MAX - 9) / 10) || !name.empty()) return std::nullopt;
    return pid;
}

// Temporary files left by processes that were killed are removed the first time this process
// writes into their folder.
void removeStaleTemporaries(FileSystem& fs, const Text& folder) {
    static std::mutex lock;
    static std::set<Text> cleaned;
    {
        std::lock_guard<std::mutex> guard(lock);
        if (!cleaned.insert(folder).second) return;
    }
    auto entries = fs.listFolder(folder.empty() ? Text(".") : folder);
    if (!entries) return;
    for (const FolderEntry& e : *entries) {
        // Only a writer that is gone leaves its file behind for good; a live one is still at it.
        const auto pid = ownerOf(e.name);
        if (!e.isFolder && pid && *pid > 0 && ::kill(pid_t(*pid), 0) != 0 && errno == ESRCH)
            (void)fs.remove(folder + e.name);
    }
}

}  // namespace

bool isTemporaryFileName(std::string_view name) {
    return ownerOf(name).has_value();
}

bool fitsInMemory(int64_t bytes) {
    static const int64_t physical = int64_t(::sysconf(_SC_PHYS_PAGES)) * ::sysconf(_SC_PAGESIZE);
    return bytes <= physical || physical <= 0;
}

std::optional<ByteBuffer> readEntireFile(FileSystem& fs, const Text& path, std::error_code& error,
                                         int64_t maxBytes) {
    auto file = fs.open(path, OpenMode::Read);
    const int64_t length = file ? file->length() : -1;
    if (length < 0) {
        error = file ? file->error() : fs.lastError();
        if (!error) error = std::make_error_code(std::errc::io_error);
        return std::nullopt;
    }
    if (length > maxBytes || !fitsInMemory(length)) {
        error = std::make_error_code(std::errc::file_too_large);
        return std::nullopt;
    }
    ByteBuffer bytes = file->readBytes(length);
    // One more read tells the end of the file from an error that cut it short.
    char probe;
    if (bytes.size() != size_t(length) || file->read(&probe, 1) < 0) {
        error = file->error() ? file->error() : std::make_error_code(std::errc::io_error);
        return std::nullopt;
    }
    return bytes;
}

void removeOpenTemporaryFile() {
    if (openTemporarySet) ::unlink(openTemporary);
}

std::error_code errnoCode(int errnoValue) {
    return std::error_code(errnoValue, std::generic_category());
}

bool FileHandle::fail(int errnoValue) {
    error_ = errnoCode(errnoValue);
    return false;
}

bool FileSystem::fail(int errnoValue) {
    lastError_ = errnoCode(errnoValue);
    return false;
}

bool FileHandle::copyFrom(FileHandle& source, int64_t offset, int64_t length) {
    const int64_t saved = source.position();
    if (!source.seek(offset)) return false;
    std::vector<char> buffer(size_t(std::min<int64_t>(length, 1 << 20)));
    bool ok = true;
    while (length > 0 && ok) {
        int64_t got = source.read(buffer.data(), size_t(std::min<int64_t>(length, buffer.size())));
        // A source that ends before its length was read is as incomplete as an unreadable one.
        if (got == 0) source.fail(EIO);
        ok = got > 0 && write(buffer.data(), size_t(got));
        length -= got;
    }
    return source.seek(saved) && ok;
}

ByteBuffer FileHandle::readBytes(int64_t size) {
    // Read through a small buffer and appended, the bytes are written once, not zero-filled first.
    const size_t wanted = size_t(std::max<int64_t>(size, 0));
    ByteBuffer bytes;
    bytes.reserve(wanted);
    adviseLargePages(bytes.data(), wanted);
    std::vector<char> chunk(std::min(wanted, size_t(256) << 10));
    while (bytes.size() < wanted) {
        const int64_t got = read(chunk.data(), std::min(chunk.size(), wanted - bytes.size()));
        if (got <= 0) break;
        bytes.append(chunk.data(), size_t(got));
    }
    return bytes;
}

size_t FileSystem::nativeNameBytes(std::string_view name) const {
    return toNativeName(name).size();
}

SafeWriter::SafeWriter(FileSystem& fs, const Text& finalPath) : fs_(fs), finalPath_(finalPath) {
    static std::atomic<unsigned> counter{0};
    const size_t slash = finalPath.rfind(kPathSeparator);
    const Text folder = slash == Text::npos ? Text() : finalPath.substr(0, slash + 1);
    removeStaleTemporaries(fs_, folder);
    for (int attempt = 0; attempt < 100 && !file_; ++attempt) {
        // The process id in the name tells a later job whether the writer is still alive.
        tempPath_ = folder + Text(kTempPrefix) + std::to_string(getpid()) + "-" +
                    std::to_string(counter++) + Text(kTempSuffix);
        file_ = fs_.open(tempPath_, OpenMode::CreateNew);
        if (!file_) keepError(fs_.lastError());
        if (!file_ && !fs_.exists(tempPath_)) break;  // the folder refuses files: no use retrying
    }
    ok_ = file_ != nullptr;
    if (ok_) error_.clear();
    if (ok_ && fs_.onDisk()) {
        registerTemporary(toNativeName(tempPath_));
        registered_ = true;
    }
}

SafeWriter::~SafeWriter() {
    if (file_) {
        (void)file_->close();
        (void)fs_.remove(tempPath_);
    }
    if (registered_) openTemporarySet = false;
}

void SafeWriter::keepError(std::error_code error) {
    // The first failure is the one to tell; an unknown reason is still a failure.
    if (!error_) error_ = error ? error : errnoCode(EIO);
}

bool SafeWriter::write(std::string_view bytes) {
    if (ok_ && !file_->write(bytes.data(), bytes.size())) {
        ok_ = false;
        keepError(file_->error());
    }
    if (ok_) {
        for (Sha256* h : hashes_)
            if (h) h->update(bytes);
        if (crc_) *crc_ = crc32Update(*crc_, bytes.data(), bytes.size());
        if (sink_) sink_->take(bytes.data(), bytes.size());
    }
    return ok_;
}

bool SafeWriter::copyFrom(FileHandle& source, int64_t offset, int64_t length) {
    const bool hashing = hashes_[0] || hashes_[1] || crc_ || sink_;
    if (ok_ && length > 0 &&
        !(hashing ? copyHashing(source, offset, length, *file_, hashes_, crc_, sink_)
                  : file_->copyFrom(source, offset, length))) {
        ok_ = false;
        // The output kept no error of its own: the source was what failed.
        readFailed_ = !file_->error();
        keepError(readFailed_ ? source.error() : file_->error());
    }
    return ok_;
}

void SafeWriter::failRead(std::error_code error) {
    if (!ok_) return;
    ok_ = false;
    readFailed_ = true;
    keepError(error);
}

void SafeWriter::hashInto(Sha256* first, Sha256* second) {
    hashes_[0] = first;
    hashes_[1] = second;
}

bool copyHashing(FileHandle& source, int64_t offset, int64_t length, FileHandle& out,
                 Sha256* const (&hashes)[2], uint32_t* crc, ByteSink* sink) {
    const int64_t saved = source.position();
    if (!source.seek(offset)) return false;
    static constexpr int64_t kBuffer = 1 << 20;
    std::vector<char> buffer(size_t(std::min(length, kBuffer)));
    bool ok = true;
    while (length > 0 && ok) {
        const int64_t got = source.read(buffer.data(), size_t(std::min<int64_t>(length, kBuffer)));
        ok = got > 0 && out.write(buffer.data(), size_t(got));
        if (!ok) break;
        for (Sha256* h : hashes)
            if (h) h->update(buffer.data(), size_t(got));
        if (crc) *crc = crc32Update(*crc, buffer.data(), size_t(got));
        if (sink) sink->take(buffer.data(), size_t(got));
        length -= got;
    }
    return source.seek(saved) && ok;
}

std::optional<Sha256Digest> hashFile(FileSystem& fs, const Text& path, int64_t* length) {
    auto file = fs.open(path, OpenMode::Read);
    if (!file) return std::nullopt;
    Sha256 hash;
    std::vector<char> buffer(1 << 20);
    int64_t total = 0;
    for (;;) {
        const int64_t got = file->read(buffer.data(), buffer.size());
        if (got < 0) return std::nullopt;
        if (got == 0) break;
        hash.update(buffer.data(), size_t(got));
        total += got;
    }
    if (length) *length = total;
    return hash.finish();
}

bool FileSystem::renameNew(const Text& from, const Text& to) {
    if (exists(to) || isLink(to)) return fail(EEXIST);
    return rename(from, to);
}

bool SafeWriter::commit() {
    return place(true);
}

bool SafeWriter::commitNew() {
    return place(false);
}

bool SafeWriter::place(bool replacing) {
    if (!file_) return false;
    if (!file_->close() && ok_) {
        ok_ = false;
        keepError(file_->error());
    }
    file_.reset();
    if (ok_ &&
        !(replacing ? fs_.rename(tempPath_, finalPath_) : fs_.renameNew(tempPath_, finalPath_))) {
        ok_ = false;
        keepError(fs_.lastError());
    }
    if (!ok_) (void)fs_.remove(tempPath_);
    if (registered_) openTemporarySet = false;
    registered_ = false;
    return ok_;
}

}  // namespace pw
