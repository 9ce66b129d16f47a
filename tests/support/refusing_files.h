#pragma once
// The real file system, except that it refuses to create any file, as a full disk or a read-only
// folder would; or, as a read-only mount holding the sources would, refuses to delete.

#include <cerrno>

#include "platform/files.h"

namespace pw::test {

class RefusingFiles : public FileSystem {
  public:
    std::unique_ptr<FileHandle> open(const Text& path, OpenMode mode) override {
        if (refuseWrites && mode != OpenMode::Read) {
            fail(EROFS);
            return nullptr;
        }
        auto file = real.open(path, mode);
        if (!file) lastError_ = real.lastError();
        return file;
    }
    bool exists(const Text& p) override { return real.exists(p); }
    bool isFolder(const Text& p) override { return real.isFolder(p); }
    bool createFolder(const Text& p) override { return real.createFolder(p); }
    bool remove(const Text& p) override {
        if (refuseRemoves) return fail(EACCES);
        return real.remove(p) || fail(real.lastError().value());
    }
    bool removeFolder(const Text& p) override { return real.removeFolder(p); }
    bool isLink(const Text& p) override { return real.isLink(p); }
    std::optional<Text> resolvedPath(const Text& p) override { return real.resolvedPath(p); }
    bool rename(const Text& a, const Text& b) override { return real.rename(a, b); }
    bool renameNew(const Text& a, const Text& b) override { return real.renameNew(a, b); }
    std::optional<FileId> fileId(const Text& p) override { return real.fileId(p); }
    std::optional<std::vector<FolderEntry>> listFolder(const Text& f) override {
        return real.listFolder(f);
    }
    FileSystem& real = posixFileSystem();
    bool refuseWrites = true;
    bool refuseRemoves = false;
};

}  // namespace pw::test
