#pragma once
// Named values in a sectioned text file (code-page bytes, CR LF lines, "[section]" headers,
// "key=value" entries). The whole file is kept in memory; every write edits the memory copy,
// and the copy reaches the disk whole: written beside the file and renamed over it, so the file
// on disk is always one complete memory copy, whenever the process may die.
//
// The first store to open a file locks its folder; any other store on that folder reads the
// file but keeps its writes in memory.

#include <cstdint>
#include <deque>
#include <memory>

#include "platform/file_lock.h"
#include "platform/files.h"
#include "platform/form.h"

namespace pw {

class SettingsStore {
  public:
    // Files larger than this are not taken for settings: they are neither read nor replaced.
    static constexpr int64_t kMaxFileBytes = 16 << 20;

    explicit SettingsStore(FileSystem& fs = posixFileSystem());
    SettingsStore(const SettingsStore&) = delete;
    SettingsStore& operator=(const SettingsStore&) = delete;

    // Where pending window events run during reads and writes, and where failures are shown.
    void setForm(Form* form) { form_ = form; }

    // Loads the file (a missing one gives an empty store). True when writes can reach the disk.
    bool openFile(const Text& path);
    void selectSection(const Text& section) { section_ = section; }

    // The stored value, or `fallback` when the section or key is missing (or the value is empty
    // and `emptyIsMissing`).
    Text readValue(const Text& key, const Text& fallback, bool emptyIsMissing);
    // Queues the write and applies the queue unless a write is already being applied (a write
    // made from the event processing of another one). True when this write was applied, and
    // reached the disk unless a Batch is open.
    bool writeValue(const Text& key, const Text& value);

    Text readText(const Text& key, const Text& fallback);
    bool writeText(const Text& key, const Text& text);
    double readNumber(const Text& key, double fallback);
    bool writeNumber(const Text& key, double number);
    bool readFlag(const Text& key, bool fallback);
    bool writeFlag(const Text& key, bool flag);
    // Byte values live in side files: <folder>/inibin/<section>-<key>.ibn.
    ByteBuffer readBytes(const Text& key, const ByteBuffer& fallback);
    bool writeBytes(const Text& key, const ByteBuffer& bytes);

    // Brings the disk up to the memory copy; false when it could not be written there.
    bool commit();
    // While a Batch lives, writes stay in memory until commit(): a save of many values replaces
    // the file once.
    class Batch {
      public:
        explicit Batch(SettingsStore& store) : store_(store) { ++store_.batches_; }
        ~Batch() { --store_.batches_; }
        Batch(const Batch&) = delete;
        Batch& operator=(const Batch&) = delete;

      private:
        SettingsStore& store_;
    };

    const Text& path() const { return path_; }
    const ByteBuffer& text() const { return text_; }
    bool canWrite() const { return lock_ != nullptr; }
    // Writes that failed so far (a section that could not be placed, a side file not written).
    uint64_t failures() const { return failures_; }
    Text sideFilePath(const Text& key) const;

  private:
    struct PendingWrite {
        Text section, key, value;
    };
    // The last section located.
    struct SectionCache {
        Text name;
        size_t header = npos;     // its "["
        size_t bodyStart = npos;  // its "]"
        bool fromCache = false;
    };
    static constexpr size_t npos = Text::npos;

    size_t locateSection(const Text& section, size_t searchFrom);
    bool apply(const PendingWrite& write);
    void edit(size_t at, size_t erase, std::string_view insert);
    void reportBroken();
    void processEvents();

    FileSystem& fs_;
    Form* form_ = nullptr;
    Text path_;
    ByteBuffer text_;
    std::unique_ptr<FileLock> lock_;
    Text section_;
    SectionCache cache_;
    std::deque<PendingWrite> queue_;
    bool busy_ = false;
    bool dirty_ = false;
    int batches_ = 0;
    uint64_t failures_ = 0;
};

}  // namespace pw
