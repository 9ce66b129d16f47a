#include "merge/part_set.h"

#include <algorithm>
#include <charconv>
#include <map>
#include <string>
#include <tuple>

#include "files/folder_lister.h"
#include "files/path_ops.h"

namespace pw {
namespace {

constexpr std::string_view kMarks[] = {"\xEF\xBB\xBF", "\xFF\xFE", "\xFE\xFF"};

struct NumberedName {
    Text stem, extension;
    int64_t number = 0;
    // "<original>.<K>" with K zero-padded to `width` digits ("file.txt.001"): stem holds the
    // original's name, extension is empty.
    int width = 0;
};

constexpr size_t kMinDottedDigits = 3;

// "<original>.001", "<original>.002" …: at least three digits, from 1, padded.
std::optional<NumberedName> dottedName(const Text& name) {
    const size_t dot = name.rfind('.');
    if (dot == Text::npos || dot == 0) return std::nullopt;
    const std::string_view digits = std::string_view(name).substr(dot + 1);
    if (digits.size() < kMinDottedDigits) return std::nullopt;
    NumberedName n;
    auto r = std::from_chars(digits.data(), digits.data() + digits.size(), n.number);
    if (r.ec != std::errc() || r.ptr != digits.data() + digits.size() || n.number < 1)
        return std::nullopt;
    // Padded to its width, or wider only when the number needs it.
    n.width = digits[0] == '0' ? int(digits.size()) : int(kMinDottedDigits);
    n.stem = name.substr(0, dot);
    return n;
}

Text dottedPartName(const Text& original, int64_t number, int width) {
    Text digits = std::to_string(number);
    if (int(digits.size()) < width) digits.insert(0, size_t(width) - digits.size(), '0');
    return original + "." + digits;
}

// "<stem>_<K>.<ext>" with K from 1 and no leading zero.
std::optional<NumberedName> underscoredName(const Text& name) {
    NumberedName n;
    n.extension = extensionOf(name);
    const Text base = baseNameOf(name);
    const size_t underscore = base.rfind('_');
    if (underscore == Text::npos || underscore == 0) return std::nullopt;
    const std::string_view digits = std::string_view(base).substr(underscore + 1);
    auto r = std::from_chars(digits.data(), digits.data() + digits.size(), n.number);
    if (digits.empty() || digits[0] == '0' || r.ec != std::errc() ||
        r.ptr != digits.data() + digits.size())
        return std::nullopt;
    n.stem = base.substr(0, underscore);
    return n;
}

// A "<stem>_<K>.<ext>" part first ("log_1.2024" of log.2024), else one of a "<original>.001" set.
std::optional<NumberedName> numberedName(const Text& name) {
    if (auto n = underscoredName(name)) return n;
    return dottedName(name);
}

// Whether `name` is numbered as the parts of "<stem>.<extension>" are: "<stem>_<K>", K from 1
// without a leading zero, then the end or a space (a chapter's heading, a variant "(2)").
bool numberedAsPart(const Text& name, const Text& stem, const Text& extension) {
    const Text base = baseNameOf(name);
    if (extensionOf(name) != extension || !base.starts_with(stem + "_")) return false;
    const std::string_view rest = std::string_view(base).substr(stem.size() + 1);
    size_t digits = 0;
    while (digits < rest.size() && rest[digits] >= '0' && rest[digits] <= '9') ++digits;
    return digits > 0 && rest[0] != '0' && (digits == rest.size() || rest[digits] == ' ');
}

Text withExtension(const Text& base, const Text& extension) {
    return extension.empty() ? base : base + "." + extension;
}

// The split's subfolder is named after the original; the original sat in its parent.
Text outputPathFor(const Text& folder, const Text& name) {
    const Text parent = folderOf(folder.substr(0, folder.size() - 1));
    const Text base = baseNameOf(name);
    const Text folderName = fileNameOf(folder.substr(0, folder.size() - 1));
    if (!parent.empty() && (folderName == base || folderName == "_" + base))
        return parent + kPathSeparator + name;
    return folder + name;
}

std::vector<Text> manifestsIn(FileSystem& fs, const Text& folder,
                              const std::vector<FolderEntry>& entries) {
    std::vector<Text> found;
    for (const FolderEntry& e : entries)
        if (!e.isFolder && extensionOf(e.name) == kManifestExtension &&
            isManifestFile(fs, folder + e.name))
            found.push_back(folder + e.name);
    return found;
}

std::optional<PartSet> fromManifest(FileSystem& fs, const Text& path, SetProblem& problem) {
    PartSet set;
    set.folder = folderOf(path) + kPathSeparator;
    set.manifestPath = path;
    std::string why;
    set.manifest = readManifest(fs, path, why);
    if (!set.manifest) {
        problem = {SetFault::ManifestDamaged, path, why};
        return std::nullopt;
    }
    for (const ManifestPart& p : set.manifest->parts) {
        // Such a file is another job's output being written, never a part.
        if (isTemporaryFileName(p.name)) {
            problem = {SetFault::ManifestDamaged, path, "it lists a temporary file as a part"};
            return std::nullopt;
        }
        set.parts.push_back(set.folder + p.name);
    }
    set.outputPath = outputPathFor(set.folder, set.manifest->sourceName);
    const Text stem = baseNameOf(set.manifest->sourceName);
    const Text extension = extensionOf(set.manifest->sourceName);
    if (auto entries = fs.listFolder(set.folder))
        for (const FolderEntry& e : *entries)
            if (!e.isFolder && numberedAsPart(e.name, stem, extension) &&
                std::find(set.parts.begin(), set.parts.end(), set.folder + e.name) ==
                    set.parts.end())
                set.unlisted.push_back(set.folder + e.name);
    std::sort(set.unlisted.begin(), set.unlisted.end(),
              [](const Text& a, const Text& b) { return naturalLess(a, b); });
    return set;
}

// The files "<stem>_1.<ext>" (or "<original>.001") … up to the highest number in the folder; a
// gap is a missing part.
PartSet numberedSet(const Text& folder, const std::vector<FolderEntry>& entries,
                    const NumberedName& of) {
    PartSet set;
    set.folder = folder;
    int64_t highest = 0;
    for (const FolderEntry& e : entries)
        if (auto n = numberedName(e.name); n && !e.isFolder && n->stem == of.stem &&
                                           n->extension == of.extension && n->width == of.width)
            highest = std::max(highest, n->number);
    for (int64_t k = 1; k <= highest; ++k)
        set.parts.push_back(folder +
                            (of.width > 0
                                 ? dottedPartName(of.stem, k, of.width)
                                 : withExtension(of.stem + "_" + std::to_string(k), of.extension)));
    set.outputPath =
        outputPathFor(folder, of.width > 0 ? of.stem : withExtension(of.stem, of.extension));
    return set;
}

}  // namespace

std::optional<PartSet> findPartSet(FileSystem& fs, const Text& path, SetProblem& problem) {
    const bool folderGiven = fs.isFolder(path);
    if (!folderGiven && !fs.exists(path)) {
        problem = {SetFault::Missing, path, {}};
        return std::nullopt;
    }
    if (!folderGiven && isManifestFile(fs, path)) return fromManifest(fs, path, problem);
    const Text folder = (folderGiven ? path : folderOf(path)) + kPathSeparator;
    const auto entries = fs.listFolder(folder);
    if (!entries) {
        problem = {SetFault::Unreadable, folder, {}, fs.lastError()};
        return std::nullopt;
    }
    const std::vector<Text> manifests = manifestsIn(fs, folder, *entries);
    if (folderGiven) {
        if (manifests.size() == 1) return fromManifest(fs, manifests[0], problem);
        if (manifests.size() > 1) {
            problem = {SetFault::SeveralSets, path, {}};
            return std::nullopt;
        }
        std::map<std::tuple<Text, Text, int>, NumberedName> groups;
        for (const FolderEntry& e : *entries)
            if (auto n = numberedName(e.name); n && !e.isFolder)
                groups.emplace(std::tuple(n->stem, n->extension, n->width), *n);
        // "backup.2024" alone is no set: a ".001" set has its first part.
        std::erase_if(groups, [&](const auto& g) {
            const NumberedName& n = g.second;
            return n.width > 0 &&
                   std::none_of(entries->begin(), entries->end(), [&](const FolderEntry& e) {
                       return e.name == dottedPartName(n.stem, 1, n.width);
                   });
        });
        if (groups.size() != 1) {
            problem = {groups.empty() ? SetFault::NoParts : SetFault::SeveralSets, path, {}};
            return std::nullopt;
        }
        return numberedSet(folder, *entries, groups.begin()->second);
    }
    // One part: the manifest that lists it, else its numbered siblings. A manifest of ours that
    // cannot be used may list it: the set is then not guessed from the numbers.
    const Text name = fileNameOf(path);
    for (const Text& m : manifests) {
        std::string why;
        const auto manifest = readManifest(fs, m, why);
        if (!manifest) {
            problem = {SetFault::ManifestDamaged, m, why};
            return std::nullopt;
        }
        if (std::any_of(manifest->parts.begin(), manifest->parts.end(),
                        [&](const ManifestPart& p) { return p.name == name; }))
            return fromManifest(fs, m, problem);
    }
    const auto numbered = numberedName(name);
    if (!numbered || isTemporaryFileName(name)) {
        problem = {SetFault::NoParts, path, {}};
        return std::nullopt;
    }
    return numberedSet(folder, *entries, *numbered);
}

std::vector<SetProblem> checkPartSet(FileSystem& fs, const PartSet& set) {
    std::vector<SetProblem> problems;
    std::vector<int64_t> sizes;
    for (size_t i = 0; i < set.parts.size(); ++i) {
        if (!inSetFolder(fs, set.folder, set.parts[i])) {
            problems.push_back({SetFault::OutsideLink, set.parts[i], {}});
            sizes.push_back(-1);
            continue;
        }
        auto file = fs.open(set.parts[i], OpenMode::Read);
        const int64_t size = file ? file->length() : -1;
        sizes.push_back(size);
        if (!file) {
            const std::error_code error = fs.lastError();
            if (fs.exists(set.parts[i]))
                problems.push_back({SetFault::Unreadable, set.parts[i], {}, error});
            else
                problems.push_back({SetFault::Missing, set.parts[i], {}});
        } else if (set.manifest && size != set.manifest->parts[i].size)
            problems.push_back({SetFault::WrongSize, set.parts[i], {}});
    }
    if (set.manifest) {
        const Manifest& m = *set.manifest;
        if (!m.exact)
            problems.push_back({SetFault::NotExact, set.manifestPath,
                                m.fixedLineBreaks || m.skippedBlankLines
                                    ? "line breaks were corrected or blank lines skipped"
                                    : "the split changed the text"});
        return problems;
    }
    if (!problems.empty()) return problems;
    // Without a manifest only a cut by count or size joins back: all but the last part are of one
    // size, and no part after the first opens with the mark a text split puts on each.
    for (size_t i = 1; i + 1 < sizes.size(); ++i)
        if (sizes[i] != sizes[0]) {
            problems.push_back({SetFault::NotExact, set.parts[i], "the parts differ in size"});
            return problems;
        }
    for (std::string_view mark : kMarks) {
        bool everyPart = set.parts.size() > 1;
        for (size_t i = 1; i < set.parts.size() && everyPart; ++i) {
            auto file = fs.open(set.parts[i], OpenMode::Read);
            everyPart = file && file->readBytes(int64_t(mark.size())) == mark;
        }
        if (everyPart)
            problems.push_back(
                {SetFault::NotExact, set.parts[1], "each part opens with a text mark"});
    }
    return problems;
}

size_t headerSkip(std::string_view head, std::string_view addedMark, std::string_view header) {
    const size_t mark = head.starts_with(addedMark) ? addedMark.size() : 0;
    return !header.empty() && head.substr(mark).starts_with(header) ? mark + header.size() : mark;
}

namespace {

// One part read through once: its own digest and length, and the bytes it adds to the joined
// original (less the mark and the header's copy the split put on it) into `whole`.
PartState hashPart(FileSystem& fs, const Text& folder, const ManifestPart& p,
                   std::string_view addedMark, std::string_view header, Sha256& whole,
                   int64_t& joinedLength, std::error_code& error) {
    const Text path = folder + p.name;
    if (!inSetFolder(fs, folder, path)) return PartState::OutsideLink;
    auto file = fs.open(path, OpenMode::Read);
    if (!file) {
        if (!fs.exists(path)) return PartState::Missing;
        error = fs.lastError();
        return PartState::Unreadable;
    }
    Sha256 own;
    std::vector<char> buffer(1 << 20);
    int64_t length = 0;
    ByteBuffer head;  // the part's first bytes, until they tell whether it opens with the mark
    bool headDone = addedMark.empty() && header.empty();
    for (;;) {
        const int64_t got = file->read(buffer.data(), buffer.size());
        if (got < 0) {
            error = file->error();
            return PartState::Unreadable;
        }
        if (got == 0) break;
        const std::string_view bytes(buffer.data(), size_t(got));
        own.update(bytes);
        length += got;
        if (headDone) {
            whole.update(bytes);
            joinedLength += got;
            continue;
        }
        head += bytes;
        if (head.size() < addedMark.size() + header.size()) continue;
        headDone = true;
        const size_t skip = headerSkip(head, addedMark, header);
        whole.update(std::string_view(head).substr(skip));
        joinedLength += int64_t(head.size() - skip);
    }
    if (!headDone) {
        whole.update(head);
        joinedLength += int64_t(head.size());
    }
    return length != p.size                      ? PartState::WrongSize
           : hexDigest(own.finish()) != p.sha256 ? PartState::Changed
                                                 : PartState::Ok;
}

}  // namespace

SetVerdict verifyParts(FileSystem& fs, const Manifest& manifest, const Text& folder) {
    SetVerdict verdict;
    Sha256 whole;
    int64_t joinedLength = 0;
    if (manifest.sourceMark) {
        whole.update(manifest.addedMark);
        joinedLength += int64_t(manifest.addedMark.size());
    }
    for (size_t i = 0; i < manifest.parts.size(); ++i) {
        if (i > 0) {
            whole.update(manifest.joiner);
            joinedLength += int64_t(manifest.joiner.size());
        }
        std::error_code error;
        verdict.parts.push_back(hashPart(fs, folder, manifest.parts[i], manifest.addedMark,
                                         i > 0 ? manifest.header : ByteBuffer(), whole,
                                         joinedLength, error));
        verdict.errors.push_back(error);
    }
    if (manifest.trailingJoiner) {
        whole.update(manifest.joiner);
        joinedLength += int64_t(manifest.joiner.size());
    }
    const bool allOk = std::all_of(verdict.parts.begin(), verdict.parts.end(),
                                   [](PartState s) { return s == PartState::Ok; });
    if (allOk && manifest.exact) {
        if (hexDigest(whole.finish()) != manifest.sourceSha256)
            verdict.whole = SetFault::OutputChanged;
        else if (joinedLength != manifest.sourceSize)
            verdict.whole = SetFault::SizeDisagrees;
    }
    return verdict;
}

bool takenName(FileSystem& fs, const Text& path) {
    return fs.exists(path) || fs.isLink(path);
}

Text freeVariantPath(FileSystem& fs, const Text& path) {
    const Text folder = folderOf(path), name = fileNameOf(path);
    const Text base = baseNameOf(name), extension = extensionOf(name);
    const Text prefix =
        folder.empty() && !path.starts_with(kPathSeparator) ? Text() : folder + kPathSeparator;
    for (int variant = 1;; ++variant) {
        const Text candidate =
            variant == 1
                ? path
                : prefix + withExtension(base + " (" + std::to_string(variant) + ")", extension);
        if (!takenName(fs, candidate)) return candidate;
    }
}

}  // namespace pw
