#include "settings/settings_store.h"

#include <charconv>
#include <cmath>
#include <optional>

#include "files/path_ops.h"
#include "settings/settings_format.h"
#include "text/system_texts.h"

namespace pw {
namespace {

using settings_format::kLineBreak;

// Appends to a section before giving up on it; only a broken text makes this run out.
constexpr int kMaxSectionAppends = 10;
// Inserting a missing key always makes it findable; the bound guards against a loop regardless.
constexpr int kMaxKeyInserts = 2;

Text replaceAll(std::string_view text, std::string_view from, std::string_view to) {
    Text out;
    out.reserve(text.size());
    for (size_t at = 0;;) {
        const size_t hit = text.find(from, at);
        if (hit == std::string_view::npos) {
            out.append(text.substr(at));
            return out;
        }
        out.append(text.substr(at, hit - at)).append(to);
        at = hit + from.size();
    }
}

Text folderOrCurrent(const Text& path) {
    const Text folder = folderOf(path);
    return folder.empty() ? Text(".") : folder;
}

std::optional<ByteBuffer> readWhole(FileSystem& fs, const Text& path) {
    std::error_code ignored;
    return readEntireFile(fs, path, ignored, SettingsStore::kMaxFileBytes);
}

bool writeWhole(FileSystem& fs, const Text& path, std::string_view bytes) {
    SafeWriter out(fs, path);
    return out.write(bytes) && out.commit();
}

Text formatNumber(double number) {
    char buffer[64];
    // Whole numbers print without a decimal point; the shortest form round-trips the rest.
    const auto [end, ec] = std::abs(number) < 1e15 && number == std::trunc(number)
                               ? std::to_chars(buffer, buffer + sizeof buffer, int64_t(number))
                               : std::to_chars(buffer, buffer + sizeof buffer, number);
    return ec == std::errc() ? Text(buffer, end) : Text("0");
}

double parseNumber(std::string_view text) {
    double number = 0;
    const char* begin = text.data();
    if (!text.empty() && *begin == '+') ++begin;
    // Locale-independent; the leading number counts, no number reads as 0.
    const auto [end, ec] = std::from_chars(begin, text.data() + text.size(), number);
    return ec == std::errc() && std::isfinite(number) ? number : 0;
}

}  // namespace

SettingsStore::SettingsStore(FileSystem& fs) : fs_(fs) {}

bool SettingsStore::openFile(const Text& path) {
    lock_.reset();
    text_.clear();
    cache_ = {};
    dirty_ = false;
    path_ = path;
    // Locked before reading, so no other instance replaces the file between the read and our
    // first write.
    lock_ = tryLockExclusive(folderOrCurrent(path));
    if (fs_.exists(path)) {
        auto bytes = readWhole(fs_, path);
        // A file that cannot be read whole is left as it is: never replaced by our copy.
        if (bytes)
            text_ = std::move(*bytes);
        else
            lock_.reset();
    }
    return canWrite();
}

void SettingsStore::processEvents() {
    if (form_) form_->processEvents();
}

// The position of the section's "]" (where its body starts), or npos when it is missing.
size_t SettingsStore::locateSection(const Text& section, size_t searchFrom) {
    const Text header = "[" + section + "]";
    for (;;) {
        processEvents();
        if (cache_.name == section && cache_.header != npos && cache_.bodyStart != npos) {
            cache_.fromCache = true;
            return cache_.bodyStart;
        }
        const size_t found = text_.find(header, searchFrom);
        cache_ = {section, found, npos, false};
        if (found == npos) return npos;
        // A header counts only at the start of the text or of a line.
        if (found > 0 && (found < 2 || text_.compare(found - 2, 2, kLineBreak) != 0)) {
            searchFrom = found + 1;
            continue;
        }
        cache_.bodyStart = found + header.size() - 1;
        return cache_.bodyStart;
    }
}

Text SettingsStore::readValue(const Text& key, const Text& fallback, bool emptyIsMissing) {
    const size_t body = locateSection(section_, 0);
    if (body == npos) return fallback;
    const size_t start = settings_format::findValue(text_, body, key);
    if (start == npos) return fallback;
    const size_t end = settings_format::valueEnd(text_, start);
    if (end == start && emptyIsMissing) return fallback;
    return text_.substr(start, end - start);
}

bool SettingsStore::writeValue(const Text& key, const Text& value) {
    queue_.push_back({section_, key, value});
    if (busy_) return false;  // the write running now applies it next
    bool firstResult = false, first = true;
    while (!queue_.empty()) {
        const PendingWrite write = queue_.front();
        busy_ = true;
        const bool applied = apply(write);
        queue_.pop_front();
        busy_ = false;
        if (first) firstResult = applied;
        first = false;
    }
    if (batches_ > 0) return firstResult;
    return commit() && firstResult;
}

bool SettingsStore::apply(const PendingWrite& write) {
    size_t searchFrom = 0;
    int appends = 0, inserts = 0;
    for (;;) {
        const size_t body = locateSection(write.section, searchFrom);
        if (body == npos) {
            searchFrom = text_.size();
            const Text header = "[" + write.section + "]";
            edit(text_.size(), 0, text_.empty() ? header : Text(kLineBreak) + header);
            if (++appends > kMaxSectionAppends) {
                reportBroken();
                return false;
            }
            continue;
        }
        const size_t start = settings_format::findValue(text_, body, write.key);
        if (start == npos) {
            if (++inserts > kMaxKeyInserts) {
                reportBroken();
                return false;
            }
            // The new entry becomes the last line of its section.
            const size_t next = text_.find("\r\n[", body);
            edit(next == npos ? text_.size() : next, 0, Text(kLineBreak) + write.key + "=");
            continue;
        }
        edit(start, settings_format::valueEnd(text_, start) - start, write.value);
        return true;
    }
}

void SettingsStore::edit(size_t at, size_t erase, std::string_view insert) {
    text_.replace(at, erase, insert);
    dirty_ = true;
}

void SettingsStore::reportBroken() {
    ++failures_;
    if (!form_) return;
    const Text title = lit(texts::kSettingsErrorTitle);
    form_->message(lit(texts::kSettingsBroken), Buttons::Ok, title);
    form_->message(bytesAsText(text_), Buttons::Ok, title);
}

bool SettingsStore::commit() {
    if (!canWrite()) return false;
    if (!dirty_) return true;
    if (!writeWhole(fs_, path_, text_)) return false;
    dirty_ = false;
    return true;
}

Text SettingsStore::readText(const Text& key, const Text& fallback) {
    const Text marker = lit(texts::kLineBreakMarker);
    const Text stored = readValue(key, replaceAll(fallback, kLineBreak, marker), true);
    return replaceAll(stored, marker, kLineBreak);
}

bool SettingsStore::writeText(const Text& key, const Text& text) {
    return writeValue(key, replaceAll(text, kLineBreak, lit(texts::kLineBreakMarker)));
}

double SettingsStore::readNumber(const Text& key, double fallback) {
    return parseNumber(readValue(key, formatNumber(fallback), true));
}

bool SettingsStore::writeNumber(const Text& key, double number) {
    return writeValue(key, formatNumber(number));
}

bool SettingsStore::readFlag(const Text& key, bool fallback) {
    const Text yes = lit(texts::kFlagTrue);
    return readValue(key, fallback ? yes : lit(texts::kFlagFalse), true) == yes;
}

bool SettingsStore::writeFlag(const Text& key, bool flag) {
    return writeValue(key, lit(flag ? texts::kFlagTrue : texts::kFlagFalse));
}

Text SettingsStore::sideFilePath(const Text& key) const {
    return folderOrCurrent(path_) + kPathSeparator + lit(texts::kSettingsSideFolder) +
           kPathSeparator + section_ + "-" + key + lit(texts::kSideFileExtension);
}

ByteBuffer SettingsStore::readBytes(const Text& key, const ByteBuffer& fallback) {
    auto bytes = readWhole(fs_, sideFilePath(key));
    return bytes && !bytes->empty() ? *bytes : fallback;
}

bool SettingsStore::writeBytes(const Text& key, const ByteBuffer& bytes) {
    const Text path = sideFilePath(key);
    const Text folder = folderOf(path);
    const bool written = canWrite() && (fs_.isFolder(folder) || fs_.createFolder(folder)) &&
                         writeWhole(fs_, path, bytes);
    if (!written) ++failures_;
    return written;
}

}  // namespace pw
