#include "files/path_ops.h"

#include "platform/files.h"
#include "text/chars.h"

namespace pw {
namespace {

// Position of the last `c` that starts a character, or npos.
size_t lastChar(std::string_view text, char c) {
    size_t found = std::string_view::npos;
    for (size_t pos = 0; pos < text.size(); pos += charLengthAt(text, pos))
        if (text[pos] == c) found = pos;
    return found;
}

}  // namespace

Text folderOf(std::string_view path) {
    size_t sep = lastChar(path, kPathSeparator);
    return sep == std::string_view::npos ? Text() : Text(path.substr(0, sep));
}

Text fileNameOf(std::string_view path) {
    size_t sep = lastChar(path, kPathSeparator);
    return Text(sep == std::string_view::npos ? path : path.substr(sep + 1));
}

Text baseNameOf(std::string_view path) {
    Text name = fileNameOf(path);
    size_t dot = lastChar(name, '.');
    return dot == Text::npos ? name : name.substr(0, dot);
}

Text extensionOf(std::string_view path) {
    Text name = fileNameOf(path);
    size_t dot = lastChar(name, '.');
    return dot == Text::npos ? Text() : name.substr(dot + 1);
}

Text fitFileName(FileSystem& fs, std::string_view stem, std::string_view tail) {
    Text cut(stem);
    while (!cut.empty() && fs.nativeNameBytes(cut + Text(tail)) > fs.maxNameBytes())
        cut = leftChars(cut, countChars(cut) - 1);
    return cut;
}

bool inSetFolder(FileSystem& fs, const Text& folder, const Text& path) {
    if (!fs.isLink(path)) return true;
    const auto target = fs.resolvedPath(path);
    const auto home = fs.resolvedPath(
        folder.ends_with(kPathSeparator) ? folder.substr(0, folder.size() - 1) : folder);
    // A link that leads nowhere cannot be opened either: it is a missing part, not an outside one.
    if (!target) return true;
    return home && folderOf(*target) == *home;
}

bool ensureFolder(FileSystem& fs, const Text& path) {
    for (size_t sep = path.find(kPathSeparator); sep != Text::npos;
         sep = path.find(kPathSeparator, sep + 1)) {
        const Text prefix = path.substr(0, sep);
        if (prefix.empty() || fs.isFolder(prefix)) continue;
        if (!fs.createFolder(prefix)) return false;
    }
    return true;
}

}  // namespace pw
