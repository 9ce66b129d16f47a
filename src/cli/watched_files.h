#pragma once
// File systems the commands put between the engines and the disk: one that counts the bytes
// written, for the progress line, and one that writes nothing and keeps what would have been
// written, for --dry-run.

#include <map>
#include <set>
#include <utility>
#include <vector>

#include "platform/files.h"

namespace pw::cli {

// Passes everything to `inner`, counting the bytes that go into files opened for writing.
class CountingFileSystem : public FileSystem {
  public:
    explicit CountingFileSystem(FileSystem& inner) : inner_(inner) {}
    int64_t bytesWritten() const { return written_; }

    std::unique_ptr<FileHandle> open(const Text& path, OpenMode mode) override;
    bool exists(const Text& path) override { return inner_.exists(path); }
    bool isFolder(const Text& path) override { return inner_.isFolder(path); }
    bool createFolder(const Text& path) override { return inner_.createFolder(path); }
    bool remove(const Text& path) override { return inner_.remove(path); }
    bool rename(const Text& from, const Text& to) override { return inner_.rename(from, to); }
    bool renameNew(const Text& from, const Text& to) override { return inner_.renameNew(from, to); }
    std::optional<FileId> fileId(const Text& path) override { return inner_.fileId(path); }
    std::optional<std::vector<FolderEntry>> listFolder(const Text& folder) override {
        return inner_.listFolder(folder);
    }
    bool removeFolder(const Text& path) override { return inner_.removeFolder(path); }
    bool isLink(const Text& path) override { return inner_.isLink(path); }
    std::optional<Text> resolvedPath(const Text& path) override {
        return inner_.resolvedPath(path);
    }
    std::error_code lastError() const override { return inner_.lastError(); }
    size_t maxNameBytes() const override { return inner_.maxNameBytes(); }
    size_t nativeNameBytes(std::string_view name) const override {
        return inner_.nativeNameBytes(name);
    }
    bool onDisk() const override { return inner_.onDisk(); }
    int64_t blockSize(const Text& path) override { return inner_.blockSize(path); }
    int64_t maxFileSize(const Text& path) override { return inner_.maxFileSize(path); }

  private:
    FileSystem& inner_;
    int64_t written_ = 0;
};

// Reads from `real`; everything that would change it is kept in memory instead: folders
// created, files written (their sizes only), moved and removed.
class DryRunFileSystem : public FileSystem {
  public:
    explicit DryRunFileSystem(FileSystem& real) : real_(real) {}

    // The files that would be in place at the end, in the order they were first written.
    std::vector<std::pair<Text, int64_t>> written() const;

    std::unique_ptr<FileHandle> open(const Text& path, OpenMode mode) override;
    bool exists(const Text& path) override;
    bool isFolder(const Text& path) override;
    bool createFolder(const Text& path) override;
    bool remove(const Text& path) override;
    bool rename(const Text& from, const Text& to) override;
    std::optional<FileId> fileId(const Text& path) override;
    std::optional<std::vector<FolderEntry>> listFolder(const Text& folder) override;
    bool removeFolder(const Text& path) override;
    // Links are only read, never written here: those of the disk.
    bool isLink(const Text& path) override { return real_.isLink(path); }
    std::optional<Text> resolvedPath(const Text& path) override { return real_.resolvedPath(path); }
    size_t maxNameBytes() const override { return real_.maxNameBytes(); }
    size_t nativeNameBytes(std::string_view name) const override {
        return real_.nativeNameBytes(name);
    }
    int64_t blockSize(const Text& path) override { return real_.blockSize(path); }
    int64_t maxFileSize(const Text& path) override { return real_.maxFileSize(path); }

    struct Written {
        int64_t size = 0;
        uint64_t order = 0;
    };

  private:
    FileSystem& real_;
    std::map<Text, std::shared_ptr<Written>> files_;
    std::set<Text> folders_;
    std::set<Text> removed_;
    uint64_t nextOrder_ = 0;
};

}  // namespace pw::cli
