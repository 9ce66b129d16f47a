#include "files/folder_lister.h"

#include <algorithm>
#include <cerrno>

#include "text/chars.h"

namespace pw {
namespace {

char lower(char c) {
    return c >= 'A' && c <= 'Z' ? char(c - 'A' + 'a') : c;
}
bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

std::vector<Text> splitPatterns(const Text& patterns) {
    std::vector<Text> out;
    size_t start = 0;
    for (;;) {
        size_t bar = patterns.find('|', start);
        out.push_back(patterns.substr(start, bar == Text::npos ? Text::npos : bar - start));
        if (bar == Text::npos) return out;
        start = bar + 1;
    }
}

bool endsWithNoCase(std::string_view s, std::string_view tail) {
    if (s.size() < tail.size()) return false;
    return std::equal(tail.begin(), tail.end(), s.end() - tail.size(),
                      [](char a, char b) { return lower(a) == lower(b); });
}

// ASCII letters fold only where they start a character: the second byte of a double-byte
// character is not a letter.
bool sameChar(std::string_view p, std::string_view n, size_t length) {
    if (length == 1) return lower(p[0]) == lower(n[0]);
    return p.substr(0, length) == n.substr(0, length);
}

// The usual glob with one backtrack point, character by character so that "?" takes one whole
// double-byte character: linear in the name for each star of the pattern.
bool matchFrom(std::string_view p, std::string_view n) {
    size_t pi = 0, ni = 0;
    size_t starP = std::string_view::npos, starN = 0;
    while (ni < n.size()) {
        if (pi < p.size() && p[pi] == '*') {
            starP = ++pi;
            starN = ni;
            continue;
        }
        const size_t nl = charLengthAt(n, ni);
        if (pi < p.size()) {
            const size_t pl = charLengthAt(p, pi);
            if (p[pi] == '?' || (pl == nl && sameChar(p.substr(pi), n.substr(ni), pl))) {
                pi += pl;
                ni += nl;
                continue;
            }
        }
        if (starP == std::string_view::npos) return false;
        // The last star takes one more character; everything after it is tried again.
        starN += charLengthAt(n, starN);
        ni = starN;
        pi = starP;
    }
    while (pi < p.size() && p[pi] == '*') ++pi;
    return pi == p.size();
}

bool hasDot(std::string_view name) {
    for (size_t pos = 0; pos < name.size(); pos += charLengthAt(name, pos))
        if (name[pos] == '.') return true;
    return false;
}

}  // namespace

bool wildcardMatch(std::string_view pattern, std::string_view name) {
    if (pattern == "*.*" || pattern == "*") return true;
    // A final "." stands for the end of a name without extension: "*." takes "README".
    if (pattern.ends_with('.') && !hasDot(name))
        return matchFrom(pattern.substr(0, pattern.size() - 1), name);
    // "x.*" also takes "x", as the Windows search does.
    if (pattern.size() >= 2 && pattern.ends_with(".*") &&
        matchFrom(pattern.substr(0, pattern.size() - 2), name))
        return true;
    return matchFrom(pattern, name);
}

bool naturalLess(std::string_view a, std::string_view b) {
    size_t i = 0, j = 0;
    while (i < a.size() && j < b.size()) {
        if (isDigit(a[i]) && isDigit(b[j])) {
            size_t ei = i, ej = j;
            while (ei < a.size() && isDigit(a[ei])) ++ei;
            while (ej < b.size() && isDigit(b[ej])) ++ej;
            std::string_view da = a.substr(i, ei - i), db = b.substr(j, ej - j);
            while (da.size() > 1 && da[0] == '0') da.remove_prefix(1);
            while (db.size() > 1 && db[0] == '0') db.remove_prefix(1);
            if (da.size() != db.size()) return da.size() < db.size();
            if (da != db) return da < db;
            i = ei;
            j = ej;
            continue;
        }
        const auto ca = static_cast<unsigned char>(lower(a[i]));
        const auto cb = static_cast<unsigned char>(lower(b[j]));
        if (ca != cb) return ca < cb;
        ++i;
        ++j;
    }
    if (a.size() - i != b.size() - j) return a.size() - i < b.size() - j;
    return a < b;  // equal but for case or leading zeros: a stable, total order
}

std::vector<Text> FolderLister(JobHost& host, FileSystem& fs, const Text& folder,
                               const Text& patterns, ListEntries listed,
                               std::error_code* listError) {
    const bool foldersMode = listed == ListEntries::Folders;
    Text base = folder;
    if (!base.ends_with(kPathSeparator)) base += kPathSeparator;
    std::vector<Text> result;
    auto entries = fs.listFolder(base);
    if (!entries) {
        if (listError) *listError = fs.lastError() ? fs.lastError() : errnoCode(EIO);
        return result;
    }
    std::sort(entries->begin(), entries->end(), [](const FolderEntry& x, const FolderEntry& y) {
        return naturalLess(x.name, y.name);
    });

    for (const Text& pattern : splitPatterns(patterns.empty() ? Text("*.*") : patterns)) {
        const bool htmOnly = endsWithNoCase(pattern, "*.htm");
        for (const FolderEntry& e : *entries) {
            host.processEvents();
            if (e.isFolder != foldersMode || !wildcardMatch(pattern, e.name)) continue;
            // Another job's file being written, or one a killed job left: never a source.
            if (!foldersMode && isTemporaryFileName(e.name)) continue;
            if (!foldersMode && htmOnly && !endsWithNoCase(e.name, ".htm")) continue;
            result.push_back(base + e.name);
        }
    }
    return result;
}

}  // namespace pw
