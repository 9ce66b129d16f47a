#include "support/faulty_files.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <filesystem>

#include "support/temp_dir.h"

namespace pw::test {
namespace {

int errnoOf(FaultError error) {
    switch (error) {
        case FaultError::NoSpace:
            return ENOSPC;
        case FaultError::NoPermission:
            return EACCES;
        case FaultError::NameTooLong:
            return ENAMETOOLONG;
        case FaultError::Io:
            break;
    }
    return EIO;
}

class FaultyHandle : public FileHandle {
  public:
    FaultyHandle(std::unique_ptr<FileHandle> real, FaultyFiles& files, Text path)
        : real_(std::move(real)), files_(files), path_(std::move(path)) {}

    int64_t read(void* buffer, size_t size) override {
        if (files_.failsNow(FaultCall::Read, path_)) {
            fail(errno);
            return -1;
        }
        const int64_t got = real_->read(buffer, size);
        if (got < 0) error_ = real_->error();
        return got;
    }
    bool write(const void* data, size_t size) override {
        if (!files_.failsNow(FaultCall::Write, path_))
            return real_->write(data, size) || fail(real_->error().value());
        const int error = errno;
        // A full disk takes what fits before it refuses the rest.
        if (files_.error() == FaultError::NoSpace) (void)real_->write(data, size / 2);
        return fail(error);
    }
    bool seek(int64_t position) override { return real_->seek(position); }
    int64_t position() const override { return real_->position(); }
    int64_t length() override { return real_->length(); }
    bool close() override {
        const bool closed = real_->close();
        if (files_.failsNow(FaultCall::Close, path_)) return fail(errno);
        return closed || fail(real_->error().value());
    }
    // Through read and write, so that both sides of a copy can fail.
    bool copyFrom(FileHandle& source, int64_t offset, int64_t length) override {
        return FileHandle::copyFrom(source, offset, length);
    }

  private:
    std::unique_ptr<FileHandle> real_;
    FaultyFiles& files_;
    Text path_;
};

}  // namespace

std::string faultName(FaultCall call, FaultError error) {
    static const char* const kCalls[] = {"open",   "read",   "write",         "close",
                                         "rename", "remove", "create folder", "list"};
    static const char* const kErrors[] = {"no space", "no permission", "name too long",
                                          "I/O error"};
    return std::string(kCalls[int(call)]) + " fails with " + kErrors[int(error)];
}

bool FaultyFiles::failsNow(FaultCall call, const Text& path) {
    injectedLast_ = false;
    if (call != call_ || ++calls_ != failingCall_) return false;
    failedPath_ = path;
    errno = errnoOf(error_);
    lastError_ = errnoCode(errno);
    injectedLast_ = true;
    return true;
}

std::error_code FaultyFiles::lastError() const {
    return injectedLast_ ? lastError_ : real_.lastError();
}

std::unique_ptr<FileHandle> FaultyFiles::open(const Text& path, OpenMode mode) {
    if (failsNow(FaultCall::Open, path)) return nullptr;
    auto real = real_.open(path, mode);
    if (!real) return nullptr;
    return std::make_unique<FaultyHandle>(std::move(real), *this, path);
}

bool FaultyFiles::createFolder(const Text& path) {
    return !failsNow(FaultCall::CreateFolder, path) && real_.createFolder(path);
}

bool FaultyFiles::remove(const Text& path) {
    return !failsNow(FaultCall::Remove, path) && real_.remove(path);
}

bool FaultyFiles::rename(const Text& from, const Text& to) {
    return !failsNow(FaultCall::Rename, to) && real_.rename(from, to);
}

bool FaultyFiles::renameNew(const Text& from, const Text& to) {
    return !failsNow(FaultCall::Rename, to) && real_.renameNew(from, to);
}

std::optional<std::vector<FolderEntry>> FaultyFiles::listFolder(const Text& folder) {
    if (failsNow(FaultCall::List, folder)) return std::nullopt;
    return real_.listFolder(folder);
}

int64_t forEveryFault(const std::function<void(FaultyFiles& files)>& attempt) {
    int64_t runs = 0;
    for (const auto [call, error] : kFaults) {
        for (int64_t k = 1;; ++k) {
            SCOPED_TRACE("call " + std::to_string(k) + ": " + faultName(call, error));
            FaultyFiles files(posixFileSystem(), call, k, error);
            attempt(files);
            ++runs;
            if (!files.fired() || ::testing::Test::HasFailure()) break;
        }
        if (::testing::Test::HasFailure()) break;
    }
    return runs;
}

bool isTemporaryName(const std::string& name) {
    return pw::isTemporaryFileName(name);
}

std::vector<std::string> treeContents(const TempDir& dir, bool withNames) {
    namespace stdfs = std::filesystem;
    std::vector<std::string> out;
    for (const auto& e : stdfs::recursive_directory_iterator(dir.path())) {
        if (!e.is_regular_file() || isTemporaryName(e.path().filename().string())) continue;
        const stdfs::path shown = withNames ? e.path() : e.path().parent_path();
        out.push_back(shown.string().substr(dir.path().size()) + "\t" +
                      readFile(e.path().string()));
    }
    std::sort(out.begin(), out.end());
    return out;
}

}  // namespace pw::test
