#include "files/manifest.h"

#include <charconv>

#include "platform/native_names.h"

namespace pw {
namespace {

constexpr std::string_view kFirstLine = "# Partwell checksum manifest";
constexpr int64_t kMaxManifestBytes = 512 << 20;
#ifdef _WIN32
constexpr char kForbiddenInNames[] = "/\\:";  // a separator or a drive
#else
constexpr char kForbiddenInNames[] = "/";
#endif

std::string toHex(std::string_view bytes) {
    static constexpr char kDigits[] = "0123456789abcdef";
    std::string hex;
    for (unsigned char b : bytes) {
        hex += kDigits[b >> 4];
        hex += kDigits[b & 15];
    }
    return hex;
}

std::optional<ByteBuffer> fromHex(std::string_view hex) {
    if (hex.size() % 2) return std::nullopt;
    ByteBuffer bytes;
    for (size_t i = 0; i < hex.size(); i += 2) {
        unsigned value = 0;
        auto r = std::from_chars(hex.data() + i, hex.data() + i + 2, value, 16);
        if (r.ec != std::errc() || r.ptr != hex.data() + i + 2) return std::nullopt;
        bytes += char(value);
    }
    return bytes;
}

bool isDigest(std::string_view s) {
    return s.size() == 64 && s.find_first_not_of("0123456789abcdef") == std::string_view::npos;
}

// sha256sum's escaping: a name holding a backslash or a line break is written with "\\" and
// "\n", and its line starts with a backslash.
bool needsEscape(std::string_view name) {
    return name.find_first_of("\\\n\r") != std::string_view::npos;
}
std::string escaped(std::string_view name) {
    std::string out;
    for (char c : name) {
        if (c == '\\')
            out += "\\\\";
        else if (c == '\n')
            out += "\\n";
        else if (c == '\r')
            out += "\\r";
        else
            out += c;
    }
    return out;
}
std::optional<std::string> unescaped(std::string_view name) {
    std::string out;
    for (size_t i = 0; i < name.size(); ++i) {
        if (name[i] != '\\') {
            out += name[i];
            continue;
        }
        if (++i == name.size()) return std::nullopt;
        if (name[i] == '\\')
            out += '\\';
        else if (name[i] == 'n')
            out += '\n';
        else if (name[i] == 'r')
            out += '\r';
        else
            return std::nullopt;
    }
    return out;
}

const char* yesNo(bool value) {
    return value ? "yes" : "no";
}

}  // namespace

bool isPlainFileName(std::string_view native) {
    if (native.empty() || native == "." || native == ".." ||
        native.find('\0') != std::string_view::npos ||
        native.find_first_of(kForbiddenInNames) != std::string_view::npos)
        return false;
#ifdef _WIN32
    // Windows drops trailing dots and spaces: "..." and ". " would name the parent or the folder.
    if (native.back() == '.' || native.back() == ' ') return false;
#endif
    return true;
}

namespace {

bool parseNumber(std::string_view text, int64_t& value) {
    auto r = std::from_chars(text.data(), text.data() + text.size(), value);
    return r.ec == std::errc() && r.ptr == text.data() + text.size() && value >= 0;
}

// One "# key: value" line into the manifest; false when the value makes no sense.
bool readField(Manifest& m, std::string_view key, std::string_view value, int64_t& pendingSize,
               std::string& problem) {
    if (key == "format") {
        int64_t format = 0;
        if (!parseNumber(value, format)) return false;
        if (format > kManifestFormatWithHeader) {
            problem = "written by a newer Partwell (format " + std::string(value) + ")";
            return false;
        }
    } else if (key == "source") {
        auto name = unescaped(value);
        if (!name) return false;
        if (!isPlainFileName(*name)) {
            problem = kUnsafeSourceName;
            return false;
        }
        m.sourceName = fromNativeName(*name);
    } else if (key == "source-size") {
        return parseNumber(value, m.sourceSize);
    } else if (key == "source-sha256") {
        m.sourceSha256 = value;
        return isDigest(value);
    } else if (key == "mode") {
        m.mode = value;
    } else if (key == "added-mark" || key == "joiner" || key == "header") {
        auto bytes = fromHex(value);
        if (!bytes) return false;
        (key == "joiner" ? m.joiner : key == "header" ? m.header : m.addedMark) = *bytes;
    } else if (key == "size") {
        return parseNumber(value, pendingSize);
    } else {
        // yes/no flags; unknown keys of a later minor change are passed over.
        bool* flag = key == "exact"                 ? &m.exact
                     : key == "source-mark"         ? &m.sourceMark
                     : key == "trailing-joiner"     ? &m.trailingJoiner
                     : key == "fixed-line-breaks"   ? &m.fixedLineBreaks
                     : key == "skipped-blank-lines" ? &m.skippedBlankLines
                                                    : nullptr;
        if (flag) {
            if (value != "yes" && value != "no") return false;
            *flag = value == "yes";
        }
    }
    return true;
}

bool readPartLine(Manifest& m, std::string_view line, int64_t& pendingSize, std::string& problem) {
    const bool escapedLine = line.starts_with('\\');
    if (escapedLine) line.remove_prefix(1);
    if (line.size() < 67 || !isDigest(line.substr(0, 64)) || line[64] != ' ' ||
        (line[65] != ' ' && line[65] != '*'))
        return false;
    std::optional<std::string> name = std::string(line.substr(66));
    if (escapedLine) name = unescaped(*name);
    if (!name || pendingSize < 0) return false;
    if (m.parts.size() >= kMaxManifestParts) {
        problem = kTooManyParts;
        return false;
    }
    if (!isPlainFileName(*name)) {
        problem = kUnsafePartName;
        return false;
    }
    m.parts.push_back({fromNativeName(*name), pendingSize, std::string(line.substr(0, 64))});
    pendingSize = -1;
    return true;
}

}  // namespace

std::string formatManifest(const Manifest& m) {
    std::string out =
        std::string(kFirstLine) + "; check the parts with: sha256sum -c " + "<this file>\n";
    const auto field = [&](std::string_view key, std::string_view value) {
        out += "# " + std::string(key) + ": " + std::string(value) + "\n";
    };
    field("format", std::to_string(m.header.empty() ? kManifestFormat : kManifestFormatWithHeader));
    field("source", escaped(toNativeName(m.sourceName)));
    field("source-size", std::to_string(m.sourceSize));
    field("source-sha256", m.sourceSha256);
    field("mode", m.mode);
    field("exact", yesNo(m.exact));
    if (m.mode != "parts" && m.mode != "size") {
        field("added-mark", toHex(m.addedMark));
        field("source-mark", yesNo(m.sourceMark));
        field("joiner", toHex(m.joiner));
        field("trailing-joiner", yesNo(m.trailingJoiner));
        field("fixed-line-breaks", yesNo(m.fixedLineBreaks));
        field("skipped-blank-lines", yesNo(m.skippedBlankLines));
    }
    if (!m.header.empty()) field("header", toHex(m.header));
    for (const ManifestPart& p : m.parts) {
        field("size", std::to_string(p.size));
        const std::string name = toNativeName(p.name);
        if (needsEscape(name))
            out += "\\" + p.sha256 + "  " + escaped(name) + "\n";
        else
            out += p.sha256 + "  " + name + "\n";
    }
    return out;
}

bool looksLikeManifest(std::string_view head) {
    return head.starts_with(kFirstLine);
}

std::optional<Manifest> parseManifest(std::string_view content, std::string& problem) {
    if (!looksLikeManifest(content)) {
        problem = "not a Partwell checksum manifest";
        return std::nullopt;
    }
    Manifest m;
    int64_t pendingSize = -1;
    size_t lineNumber = 0;
    bool sawSource = false;
    for (size_t pos = 0; pos < content.size();) {
        size_t end = content.find('\n', pos);
        if (end == std::string_view::npos) end = content.size();
        std::string_view line = content.substr(pos, end - pos);
        pos = end + 1;
        ++lineNumber;
        if (line.ends_with('\r')) line.remove_suffix(1);
        if (lineNumber == 1 || line.empty()) continue;
        bool ok;
        if (line.starts_with("# ")) {
            const size_t colon = line.find(": ");
            const std::string_view key = line.substr(2, colon == line.npos ? 0 : colon - 2);
            ok = colon != line.npos &&
                 readField(m, key, line.substr(colon + 2), pendingSize, problem);
            sawSource = sawSource || key == "source-sha256";
        } else {
            ok = readPartLine(m, line, pendingSize, problem);
        }
        if (!ok) {
            // A name that leads out of the folder makes the whole manifest unusable, as damage
            // does.
            const std::string at = "line " + std::to_string(lineNumber);
            problem = problem.empty() ? at + " is damaged" : at + ": " + problem;
            return std::nullopt;
        }
    }
    if (!sawSource || m.parts.empty() || m.sourceName.empty()) {
        problem = "the manifest is incomplete";
        return std::nullopt;
    }
    return m;
}

std::optional<Manifest> readManifest(FileSystem& fs, const Text& path, std::string& problem) {
    auto file = fs.open(path, OpenMode::Read);
    const int64_t length = file ? file->length() : -1;
    if (length < 0 || length > kMaxManifestBytes) {
        problem = length < 0 ? "cannot be read" : "too large for a manifest";
        return std::nullopt;
    }
    const ByteBuffer content = file->readBytes(length);
    return parseManifest(content, problem);
}

bool isManifestFile(FileSystem& fs, const Text& path) {
    auto file = fs.open(path, OpenMode::Read);
    return file && looksLikeManifest(file->readBytes(int64_t(kFirstLine.size())));
}

bool writeManifest(FileSystem& fs, const Text& path, const Manifest& manifest,
                   std::error_code* error) {
    SafeWriter out(fs, path);
    out.write(formatManifest(manifest));
    const bool written = out.commit();
    if (!written && error) *error = out.error();
    return written;
}

}  // namespace pw
