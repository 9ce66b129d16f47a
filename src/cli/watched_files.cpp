#include "cli/watched_files.h"

#include <algorithm>
#include <cerrno>

namespace pw::cli {
namespace {

// A file opened for writing whose bytes are counted on their way through.
class CountingHandle : public FileHandle {
  public:
    CountingHandle(std::unique_ptr<FileHandle> inner, int64_t& counter)
        : inner_(std::move(inner)), counter_(counter) {}
    int64_t read(void* buffer, size_t size) override { return check(inner_->read(buffer, size)); }
    bool write(const void* data, size_t size) override {
        if (!check(inner_->write(data, size))) return false;
        counter_ += int64_t(size);
        return true;
    }
    bool seek(int64_t position) override { return check(inner_->seek(position)); }
    int64_t position() const override { return inner_->position(); }
    int64_t length() override { return check(inner_->length()); }
    bool close() override { return check(inner_->close()); }
    bool copyFrom(FileHandle& source, int64_t offset, int64_t length) override {
        if (!check(inner_->copyFrom(source, offset, length))) return false;
        counter_ += length;
        return true;
    }

  private:
    // The reason of a failure is the inner file's.
    template <class T>
    T check(T result) {
        if (result < T(1)) error_ = inner_->error();
        return result;
    }
    std::unique_ptr<FileHandle> inner_;
    int64_t& counter_;
};

// A file that would have been written: only its size is kept.
class SizeOnlyHandle : public FileHandle {
  public:
    explicit SizeOnlyHandle(std::shared_ptr<DryRunFileSystem::Written> file)
        : file_(std::move(file)) {}
    int64_t read(void*, size_t) override { return 0; }
    bool write(const void*, size_t size) override {
        grow(int64_t(size));
        return true;
    }
    bool seek(int64_t position) override {
        position_ = position;
        return true;
    }
    int64_t position() const override { return position_; }
    int64_t length() override { return file_->size; }
    bool close() override { return true; }
    bool copyFrom(FileHandle& source, int64_t offset, int64_t length) override {
        // The source must still be readable there, or the real copy would fail.
        if (!source.seek(offset)) return fail(EIO);
        grow(length);
        return true;
    }

  private:
    void grow(int64_t n) {
        position_ += n;
        file_->size = std::max(file_->size, position_);
    }
    std::shared_ptr<DryRunFileSystem::Written> file_;
    int64_t position_ = 0;
};

Text withoutTrailingSeparator(Text path) {
    while (path.size() > 1 && path.back() == kPathSeparator) path.pop_back();
    return path;
}

Text parentOf(const Text& path) {
    const size_t slash = path.rfind(kPathSeparator);
    return slash == Text::npos ? Text() : path.substr(0, slash == 0 ? 1 : slash);
}

}  // namespace

std::unique_ptr<FileHandle> CountingFileSystem::open(const Text& path, OpenMode mode) {
    auto file = inner_.open(path, mode);
    if (!file || mode == OpenMode::Read) return file;
    return std::make_unique<CountingHandle>(std::move(file), written_);
}

std::vector<std::pair<Text, int64_t>> DryRunFileSystem::written() const {
    std::vector<std::pair<uint64_t, std::pair<Text, int64_t>>> ordered;
    ordered.reserve(files_.size());
    for (const auto& [path, file] : files_) ordered.push_back({file->order, {path, file->size}});
    std::sort(ordered.begin(), ordered.end(),
              [](const auto& a, const auto& b) { return a.first < b.first; });
    std::vector<std::pair<Text, int64_t>> out;
    out.reserve(ordered.size());
    for (auto& entry : ordered) out.push_back(std::move(entry.second));
    return out;
}

std::unique_ptr<FileHandle> DryRunFileSystem::open(const Text& path, OpenMode mode) {
    const auto kept = files_.find(path);
    if (mode == OpenMode::Read) {
        if (kept != files_.end()) return makeMemoryFile();
        if (removed_.contains(path)) return fail(ENOENT), nullptr;
        auto file = real_.open(path, mode);
        if (!file) lastError_ = real_.lastError();
        return file;
    }
    if (mode == OpenMode::CreateNew && exists(path)) return fail(EEXIST), nullptr;
    if (!isFolder(parentOf(path))) return fail(ENOENT), nullptr;
    auto& file = files_[path];
    if (!file || mode == OpenMode::Write)
        file = std::make_shared<Written>(Written{0, nextOrder_++});
    removed_.erase(path);
    return std::make_unique<SizeOnlyHandle>(file);
}

bool DryRunFileSystem::exists(const Text& path) {
    const Text p = withoutTrailingSeparator(path);
    if (files_.contains(p) || folders_.contains(p)) return true;
    return !removed_.contains(p) && real_.exists(path);
}

bool DryRunFileSystem::isFolder(const Text& path) {
    const Text p = withoutTrailingSeparator(path);
    if (folders_.contains(p)) return true;
    return !files_.contains(p) && !removed_.contains(p) && real_.isFolder(path);
}

bool DryRunFileSystem::createFolder(const Text& path) {
    if (exists(path)) return fail(EEXIST);
    if (!isFolder(parentOf(withoutTrailingSeparator(path)))) return fail(ENOENT);
    folders_.insert(withoutTrailingSeparator(path));
    return true;
}

bool DryRunFileSystem::remove(const Text& path) {
    if (files_.erase(path)) return true;
    if (removed_.contains(path) || !real_.exists(path)) return fail(ENOENT);
    removed_.insert(path);
    return true;
}

bool DryRunFileSystem::rename(const Text& from, const Text& to) {
    auto kept = files_.find(from);
    std::shared_ptr<Written> moved;
    if (kept != files_.end()) {
        moved = kept->second;
        files_.erase(kept);
    } else {
        auto file = removed_.contains(from) ? nullptr : real_.open(from, OpenMode::Read);
        if (!file) return fail(ENOENT);
        moved = std::make_shared<Written>(Written{file->length(), nextOrder_++});
        removed_.insert(from);
    }
    files_[to] = moved;
    removed_.erase(to);
    return true;
}

std::optional<FileId> DryRunFileSystem::fileId(const Text& path) {
    if (files_.contains(path) || removed_.contains(path)) return std::nullopt;
    return real_.fileId(path);
}

std::optional<std::vector<FolderEntry>> DryRunFileSystem::listFolder(const Text& folder) {
    const Text f = withoutTrailingSeparator(folder);
    std::optional<std::vector<FolderEntry>> entries;
    if (folders_.contains(f)) {
        entries.emplace();
    } else {
        entries = real_.listFolder(folder);
        if (!entries) return lastError_ = real_.lastError(), std::nullopt;
        std::erase_if(*entries, [&](const FolderEntry& e) {
            return removed_.contains(f + kPathSeparator + e.name) ||
                   files_.contains(f + kPathSeparator + e.name);
        });
    }
    const auto add = [&](const Text& path, bool folder) {
        if (parentOf(path) == f) entries->push_back({path.substr(f.size() + 1), folder});
    };
    for (const auto& [path, file] : files_) add(path, false);
    for (const Text& path : folders_) add(path, true);
    return entries;
}

bool DryRunFileSystem::removeFolder(const Text& path) {
    const Text p = withoutTrailingSeparator(path);
    if (!folders_.contains(p)) return fail(ENOTEMPTY);  // a real folder stays
    const auto children = listFolder(p);
    if (children && !children->empty()) return fail(ENOTEMPTY);
    folders_.erase(p);
    return true;
}

}  // namespace pw::cli
