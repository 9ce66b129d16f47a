#pragma once
// A Files port that passes every call to the real one, except that the k-th call of one kind
// fails the way a real system call fails: a write on a full disk leaves part of its bytes behind,
// a close after such a write may have lost data, the other calls change nothing.

#include <atomic>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "platform/files.h"

namespace pw::test {

enum class FaultCall { Open, Read, Write, Close, Rename, Remove, CreateFolder, List };
enum class FaultError { NoSpace, NoPermission, NameTooLong, Io };

struct Fault {
    FaultCall call;
    FaultError error;
};
// Every kind of call, each with the errors the system really gives it.
inline constexpr Fault kFaults[] = {
    {FaultCall::Open, FaultError::NoPermission},
    {FaultCall::Open, FaultError::NameTooLong},
    {FaultCall::Open, FaultError::NoSpace},
    {FaultCall::Read, FaultError::Io},
    {FaultCall::Write, FaultError::NoSpace},
    {FaultCall::Write, FaultError::Io},
    {FaultCall::Close, FaultError::Io},
    {FaultCall::Close, FaultError::NoSpace},
    {FaultCall::Rename, FaultError::NameTooLong},
    {FaultCall::Rename, FaultError::NoPermission},
    {FaultCall::Remove, FaultError::NoPermission},
    {FaultCall::Remove, FaultError::Io},
    {FaultCall::CreateFolder, FaultError::NoSpace},
    {FaultCall::CreateFolder, FaultError::NoPermission},
    {FaultCall::List, FaultError::NoPermission},
    {FaultCall::List, FaultError::Io},
};

std::string faultName(FaultCall call, FaultError error);

class FaultyFiles : public FileSystem {
  public:
    FaultyFiles(FileSystem& real, FaultCall call, int64_t failingCall, FaultError error)
        : real_(real), call_(call), failingCall_(failingCall), error_(error) {}

    // Whether the chosen call was reached (and failed), and the path it was about.
    bool fired() const { return calls_ >= failingCall_; }
    const Text& failedPath() const { return failedPath_; }

    std::unique_ptr<FileHandle> open(const Text& path, OpenMode mode) override;
    bool exists(const Text& path) override { return real_.exists(path); }
    bool isFolder(const Text& path) override { return real_.isFolder(path); }
    bool createFolder(const Text& path) override;
    bool remove(const Text& path) override;
    bool rename(const Text& from, const Text& to) override;
    bool renameNew(const Text& from, const Text& to) override;
    std::optional<FileId> fileId(const Text& path) override { return real_.fileId(path); }
    std::optional<std::vector<FolderEntry>> listFolder(const Text& folder) override;
    bool removeFolder(const Text& path) override { return real_.removeFolder(path); }
    bool isLink(const Text& path) override { return real_.isLink(path); }
    std::optional<Text> resolvedPath(const Text& path) override { return real_.resolvedPath(path); }
    std::error_code lastError() const override;
    size_t maxNameBytes() const override { return real_.maxNameBytes(); }

    // True, with errno set, when this call of `call` is the one to fail.
    bool failsNow(FaultCall call, const Text& path);
    FaultError error() const { return error_; }

  private:
    FileSystem& real_;
    FaultCall call_;
    int64_t failingCall_;
    FaultError error_;
    std::atomic<int64_t> calls_ = 0;  // the checks of a recovery set read on two threads
    Text failedPath_;
    bool injectedLast_ = false;
};

// Calls `attempt` with a file system whose k-th call of one kind of kFaults fails, for every kind
// and k = 1, 2, ... until an attempt no longer reaches that call; stops at the first failed
// expectation. Returns the number of attempts.
int64_t forEveryFault(const std::function<void(FaultyFiles& files)>& attempt);

// The temporary files that outputs are written to before they take their final name.
bool isTemporaryName(const std::string& name);

// Every regular file below the folder but temporaries, as "path<TAB>content" (or, without
// names, "folder<TAB>content": what a user finds whatever the files are called), sorted.
class TempDir;
std::vector<std::string> treeContents(const TempDir& dir, bool withNames);

}  // namespace pw::test
