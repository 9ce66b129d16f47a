#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/statfs.h>
#include <sys/statvfs.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>

#include "platform/files.h"
#include "platform/native_names.h"

namespace pw {
namespace {

std::string native(const Text& path) {
    return toNativeName(path);
}

// Errors after which the kernel's copy is not possible here but a plain copy may be.
bool kernelCopyRefused(int error) {
    switch (error) {
        case ENOSYS:
        case EOPNOTSUPP:
        case EINVAL:
        case EBADF:
        case EXDEV:
        case ETXTBSY:
        case EPERM:
        case EFBIG:
            return true;
        default:
            return false;
    }
}

class PosixFile : public FileHandle {
  public:
    explicit PosixFile(int fd) : fd_(fd) {}
    ~PosixFile() override {
        if (fd_ >= 0) ::close(fd_);
    }

    int64_t read(void* buffer, size_t size) override {
        for (;;) {
            ssize_t got = ::read(fd_, buffer, size);
            if (got >= 0) {
                position_ += got;
                return got;
            }
            if (errno != EINTR) {
                fail(errno);
                return -1;
            }
        }
    }

    bool write(const void* data, size_t size) override {
        const char* p = static_cast<const char*>(data);
        while (size > 0) {
            ssize_t put = ::write(fd_, p, size);
            if (put < 0 && errno == EINTR) continue;
            if (put <= 0) return fail(put < 0 ? errno : ENOSPC);
            p += put;
            size -= size_t(put);
            position_ += put;
        }
        return true;
    }

    bool seek(int64_t position) override {
        if (::lseek(fd_, position, SEEK_SET) < 0) return fail(errno);
        position_ = position;
        return true;
    }

    int64_t position() const override { return position_; }

    int64_t length() override {
        struct stat st;
        if (::fstat(fd_, &st) == 0) return int64_t(st.st_size);
        fail(errno);
        return -1;
    }

    bool close() override {
        int fd = fd_;
        fd_ = -1;
        if (fd < 0) return fail(EBADF);
        return ::close(fd) == 0 || fail(errno);
    }

    // In-kernel copy where the file systems allow it; the buffered copy otherwise.
    bool copyFrom(FileHandle& source, int64_t offset, int64_t length) override {
        auto* src = dynamic_cast<PosixFile*>(&source);
        if (!src) return FileHandle::copyFrom(source, offset, length);
        loff_t in = offset;
        while (length > 0) {
            ssize_t n = ::copy_file_range(src->fd_, &in, fd_, nullptr, size_t(length), 0);
            if (n < 0 && errno == EINTR) continue;
            if (n == 0) return src->fail(EIO);  // the source ended early
            if (n < 0) {
                if (kernelCopyRefused(errno)) return FileHandle::copyFrom(source, in, length);
                // A full disk is the output's; other errors are taken as the source's.
                return errno == ENOSPC || errno == EDQUOT ? fail(errno) : src->fail(errno);
            }
            length -= n;
            position_ += n;
        }
        return true;
    }

  private:
    int fd_;
    int64_t position_ = 0;
};

class PosixFileSystem : public FileSystem {
  public:
    bool onDisk() const override { return true; }
    int64_t blockSize(const Text& path) override {
        struct statvfs info {};
        if (::statvfs(toNativeName(path).c_str(), &info) != 0) return 0;
        return int64_t(info.f_frsize ? info.f_frsize : info.f_bsize);
    }
    int64_t maxFileSize(const Text& path) override {
        struct statfs info {};
        if (::statfs(toNativeName(path).c_str(), &info) != 0) return 0;
        constexpr decltype(info.f_type) kMsdosMagic = 0x4d44;  // vfat and msdos alike
        return info.f_type == kMsdosMagic ? int64_t(0xFFFFFFFF) : 0;
    }
    std::unique_ptr<FileHandle> open(const Text& path, OpenMode mode) override {
        int flags = O_CLOEXEC;
        switch (mode) {
            case OpenMode::Read:
                flags |= O_RDONLY;
                break;
            case OpenMode::ReadWrite:
                flags |= O_RDWR;
                break;
            case OpenMode::Write:
                flags |= O_WRONLY | O_CREAT | O_TRUNC;
                break;
            case OpenMode::CreateNew:
                flags |= O_WRONLY | O_CREAT | O_EXCL;
                break;
        }
        // Without blocking, so a named pipe cannot hold the job; only regular files (a link to
        // one is followed) are files here: a pipe or a device gives no stable length and no parts.
        int fd = ::open(native(path).c_str(), flags | O_NONBLOCK, 0666);
        if (fd < 0) {
            fail(errno);
            return nullptr;
        }
        struct stat st;
        int error = 0;
        if (::fstat(fd, &st) != 0 ||
            (S_ISREG(st.st_mode) && ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK) != 0))
            error = errno;
        else if (!S_ISREG(st.st_mode))
            error = S_ISDIR(st.st_mode) ? EISDIR : S_ISFIFO(st.st_mode) ? ESPIPE : ENODEV;
        if (error) {
            fail(error);
            ::close(fd);
            return nullptr;
        }
        return std::make_unique<PosixFile>(fd);
    }

    bool exists(const Text& path) override {
        struct stat st;
        return ::stat(native(path).c_str(), &st) == 0;
    }

    bool isFolder(const Text& path) override {
        struct stat st;
        return ::stat(native(path).c_str(), &st) == 0 && S_ISDIR(st.st_mode);
    }

    bool createFolder(const Text& path) override {
        return ::mkdir(native(path).c_str(), 0777) == 0 || fail(errno);
    }

    bool remove(const Text& path) override {
        return ::unlink(native(path).c_str()) == 0 || fail(errno);
    }

    bool isLink(const Text& path) override {
        struct stat st;
        return ::lstat(native(path).c_str(), &st) == 0 && S_ISLNK(st.st_mode);
    }

    std::optional<Text> resolvedPath(const Text& path) override {
        char* resolved = ::realpath(native(path).c_str(), nullptr);
        if (!resolved) {
            fail(errno);
            return std::nullopt;
        }
        Text text = fromNativeName(resolved);
        std::free(resolved);
        return text;
    }

    bool removeFolder(const Text& path) override {
        return ::rmdir(native(path).c_str()) == 0 || fail(errno);
    }

    bool rename(const Text& from, const Text& to) override {
        return ::rename(native(from).c_str(), native(to).c_str()) == 0 || fail(errno);
    }

    bool renameNew(const Text& from, const Text& to) override {
        const std::string a = native(from), b = native(to);
        if (::renameat2(AT_FDCWD, a.c_str(), AT_FDCWD, b.c_str(), RENAME_NOREPLACE) == 0)
            return true;
        if (errno != EINVAL && errno != ENOSYS && errno != ENOTSUP) return fail(errno);
        // A file system without it: a hard link is made only under a free name, as atomically.
        if (::link(a.c_str(), b.c_str()) == 0) {
            (void)::unlink(a.c_str());
            return true;
        }
        if (errno == EEXIST) return fail(errno);
        return FileSystem::renameNew(from, to);  // no hard links either (FAT)
    }

    std::optional<FileId> fileId(const Text& path) override {
        struct stat st;
        if (::stat(native(path).c_str(), &st) != 0) {
            fail(errno);
            return std::nullopt;
        }
        return FileId{uint64_t(st.st_dev), uint64_t(st.st_ino)};
    }

    std::optional<std::vector<FolderEntry>> listFolder(const Text& folder) override {
        const std::string base = native(folder);
        DIR* dir = ::opendir(base.empty() ? "." : base.c_str());
        if (!dir) {
            fail(errno);
            return std::nullopt;
        }
        std::vector<FolderEntry> entries;
        for (;;) {
            errno = 0;
            const dirent* e = ::readdir(dir);
            if (!e) {
                // The end of the listing, or an error that leaves it incomplete.
                const int error = errno;
                ::closedir(dir);
                if (error == 0) return entries;
                fail(error);
                return std::nullopt;
            }
            const std::string name = e->d_name;
            if (name == "." || name == "..") continue;
            bool folder = e->d_type == DT_DIR;
            if (e->d_type == DT_UNKNOWN || e->d_type == DT_LNK) {
                struct stat st;
                std::string full = base + (base.ends_with('/') ? "" : "/") + name;
                folder = ::stat(full.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
            }
            entries.push_back({fromNativeName(name), folder});
        }
    }
};

}  // namespace

FileSystem& posixFileSystem() {
    static PosixFileSystem fs;
    return fs;
}

}  // namespace pw
