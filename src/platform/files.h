#pragma once
// The Files port. Paths are code-page text; every failure is returned, nothing is thrown.

#include <cstdint>
#include <memory>
#include <optional>
#include <string_view>
#include <system_error>
#include <vector>

#include "platform/hash.h"
#include "platform/text_bytes.h"

namespace pw {

inline constexpr char kPathSeparator = '/';

class FileHandle {
  public:
    virtual ~FileHandle() = default;
    // Bytes read (0 at the end), -1 on error.
    [[nodiscard]] virtual int64_t read(void* buffer, size_t size) = 0;
    // All of it or false: a short write is an error.
    [[nodiscard]] virtual bool write(const void* data, size_t size) = 0;
    [[nodiscard]] virtual bool seek(int64_t position) = 0;
    virtual int64_t position() const = 0;
    virtual int64_t length() = 0;  // -1 on error
    // False when the data may not have reached the file.
    [[nodiscard]] virtual bool close() = 0;
    // Appends `length` bytes of `source` starting at `offset`; leaves the source's position alone.
    [[nodiscard]] virtual bool copyFrom(FileHandle& source, int64_t offset, int64_t length);
    // Reads up to `size` bytes from the current position into a buffer.
    ByteBuffer readBytes(int64_t size);
    // Why the last call that failed failed (the system's errno); empty while none did.
    std::error_code error() const { return error_; }

  protected:
    // Keeps `errnoValue` as the reason and returns false, for `return fail(errno);`.
    bool fail(int errnoValue);
    std::error_code error_;
};

// The reason errno gives, as an error code.
std::error_code errnoCode(int errnoValue);

enum class OpenMode {
    Read,
    ReadWrite,  // an existing file, shared
    Write,      // created or truncated
    CreateNew,  // created; fails when the path exists
};

struct FileId {
    uint64_t device = 0, inode = 0;
    // clang-tidy 14 takes the defaulted comparison for one with the literal 0.
    auto operator<=>(const FileId&) const = default;  // NOLINT(modernize-use-nullptr)
};

struct FolderEntry {
    Text name;
    bool isFolder;
};

class FileSystem {
  public:
    virtual ~FileSystem() = default;
    [[nodiscard]] virtual std::unique_ptr<FileHandle> open(const Text& path, OpenMode mode) = 0;
    virtual bool exists(const Text& path) = 0;  // files and folders
    virtual bool isFolder(const Text& path) = 0;
    [[nodiscard]] virtual bool createFolder(const Text& path) = 0;
    [[nodiscard]] virtual bool remove(const Text& path) = 0;
    // Moves `from` to `to`, replacing a file at `to`.
    [[nodiscard]] virtual bool rename(const Text& from, const Text& to) = 0;
    // Moves `from` to `to` only while nothing has that name (no file, folder or link, dangling
    // or not); false with EEXIST when something does. Atomic where the file system allows.
    [[nodiscard]] virtual bool renameNew(const Text& from, const Text& to);
    // Identifies an existing file across its names (device and inode); nothing when it is missing.
    virtual std::optional<FileId> fileId(const Text& path) = 0;
    // Entries of one folder (without "." and ".."); nothing when the folder cannot be read.
    virtual std::optional<std::vector<FolderEntry>> listFolder(const Text& folder) = 0;
    // Removes a folder that is empty; false for any other.
    [[nodiscard]] virtual bool removeFolder(const Text& path) = 0;
    // Whether `path` itself is a symbolic link, dangling or not (the link is not followed).
    virtual bool isLink(const Text& path) {
        (void)path;
        return false;
    }
    // `path` with every link in it followed, absolute; nothing when that leads nowhere.
    virtual std::optional<Text> resolvedPath(const Text& path) { return path; }
    // Why the last call that failed failed (the system's errno); empty while none did.
    virtual std::error_code lastError() const { return lastError_; }
    // Longest file name the folder's file system takes, in bytes of its native names.
    virtual size_t maxNameBytes() const { return 255; }
    // Bytes a code-page file name takes as a native name.
    virtual size_t nativeNameBytes(std::string_view name) const;
    // Whether the files are on disk, where a signal may have to remove a temporary file.
    virtual bool onDisk() const { return false; }
    // The block size of the file system holding `path`; 0 when unknown.
    virtual int64_t blockSize(const Text& path) {
        (void)path;
        return 0;
    }
    // The largest file the file system holding `path` takes (FAT32: 4 GiB - 1); 0: no limit
    // known.
    virtual int64_t maxFileSize(const Text& path) {
        (void)path;
        return 0;
    }

  protected:
    bool fail(int errnoValue);
    std::error_code lastError_;
};

// The local file system; native names are UTF-8.
FileSystem& posixFileSystem();

// A file held in memory, with the operations of a file on disk.
std::unique_ptr<FileHandle> makeMemoryFile(ByteBuffer initial = {});

// Whether `bytes` could be held in memory at all (no more than the machine's physical memory): a
// larger file is not read whole, it counts as unreadable.
bool fitsInMemory(int64_t bytes);

// A whole file's bytes. Nothing when it cannot be opened or read, is larger than `maxBytes`, or
// could not be held in memory; `error` then says why (file_too_large for the last two).
std::optional<ByteBuffer> readEntireFile(FileSystem& fs, const Text& path, std::error_code& error,
                                         int64_t maxBytes = INT64_MAX);

// Whether `name` is one of the temporary files SafeWriter writes (".~partwell-PID-N.tmp"): never
// a source, a part or the name of an output, whichever process is writing it.
bool isTemporaryFileName(std::string_view name);

// Removes the temporary file of the SafeWriter now open, if any. Safe inside a signal handler.
void removeOpenTemporaryFile();

// Takes the bytes a writer writes, as they go out (the recovery sums of a split's parts).
class ByteSink {
  public:
    virtual ~ByteSink() = default;
    virtual void take(const void* data, size_t size) = 0;
};

// Writes a new file beside its final place and moves it there only when everything was written,
// so a failure never leaves a half-written file under the final name nor harms one already there.
class SafeWriter {
  public:
    SafeWriter(FileSystem& fs, const Text& finalPath);
    ~SafeWriter();  // drops the temporary file unless committed
    SafeWriter(const SafeWriter&) = delete;
    SafeWriter& operator=(const SafeWriter&) = delete;

    bool ok() const { return ok_; }
    // Why the first step that failed failed, and whether it was reading the source of a copy
    // (the output itself was then fine).
    std::error_code error() const { return error_; }
    bool readFailed() const { return readFailed_; }
    bool write(std::string_view bytes);
    bool copyFrom(FileHandle& source, int64_t offset, int64_t length);
    // A source whose bytes were being written could not be read to its end: the output is not to
    // be kept, as after a copy whose source failed.
    void failRead(std::error_code error);
    // Every byte written from now on also goes into these digests (a null one is skipped). A copy
    // then runs through a buffer instead of the kernel, so each byte is read once and hashed.
    void hashInto(Sha256* first, Sha256* second = nullptr);
    // The same for a running CRC32 (zlib's), when not null.
    void crcInto(uint32_t* crc) { crc_ = crc; }
    // And into this sink, when not null.
    void feedInto(ByteSink* sink) { sink_ = sink; }
    // Where the bytes go until the commit; they may be read back from there meanwhile.
    const Text& temporaryPath() const { return tempPath_; }
    // Closes and moves the file into place; false when any step failed.
    [[nodiscard]] bool commit();
    // The same, but only while nothing has the final name: what appeared there meanwhile, a link
    // too, is never replaced (the error is then EEXIST).
    [[nodiscard]] bool commitNew();

  private:
    FileSystem& fs_;
    Text finalPath_;
    Text tempPath_;
    std::unique_ptr<FileHandle> file_;
    bool registered_ = false;
    bool ok_ = false;
    Sha256* hashes_[2] = {nullptr, nullptr};
    uint32_t* crc_ = nullptr;
    ByteSink* sink_ = nullptr;
    bool readFailed_ = false;
    std::error_code error_;

    void keepError(std::error_code error);
    bool place(bool replacing);
};

// Appends `length` bytes of `source` from `offset` to `out` through a buffer, feeding `hash`.
bool copyHashing(FileHandle& source, int64_t offset, int64_t length, FileHandle& out,
                 Sha256* const (&hashes)[2], uint32_t* crc = nullptr, ByteSink* sink = nullptr);

// The SHA-256 of a whole file and its length; nothing when it cannot be read.
std::optional<Sha256Digest> hashFile(FileSystem& fs, const Text& path, int64_t* length = nullptr);

}  // namespace pw
