#include "merge/recovery_lookup.h"

#include <algorithm>

#include "files/manifest.h"
#include "files/par2_format.h"
#include "files/path_ops.h"

namespace pw {
namespace {

// "x.par2" and "x.vol03+04.par2" (the extension in any case) belong to the set "x".
std::optional<Text> setBaseOf(const Text& name) {
    if (name.size() < 5) return std::nullopt;
    Text tail = name.substr(name.size() - 5);
    std::transform(tail.begin(), tail.end(), tail.begin(),
                   [](unsigned char c) { return char(std::tolower(c)); });
    if (tail != ".par2") return std::nullopt;
    Text base = name.substr(0, name.size() - 5);
    const size_t vol = base.rfind(".vol");
    if (vol != Text::npos && base.find('+', vol) != Text::npos) base.resize(vol);
    return base;
}

}  // namespace

size_t FoundRecovery::badFiles() const {
    return size_t(std::count_if(check.states.begin(), check.states.end(),
                                [](RecoveryFileState s) { return s != RecoveryFileState::Ok; }));
}

bool protectsOnlyParts(const par2::RecoverySet& set, const Manifest& manifest) {
    return std::all_of(set.names.begin(), set.names.end(), [&](const Text& name) {
        return std::any_of(manifest.parts.begin(), manifest.parts.end(),
                           [&](const ManifestPart& p) { return p.name == name; });
    });
}

Text recoveryBaseOf(const Text& manifestPath) {
    const Text name = fileNameOf(manifestPath);
    const Text tail = "." + Text(kManifestExtension);
    return name.ends_with(tail) ? name.substr(0, name.size() - tail.size()) : name;
}

std::optional<FoundRecovery> findRecovery(FileSystem& fs, const Text& folder, const Text& base,
                                          const StopFlag& stop) {
    const auto entries = fs.listFolder(folder);
    if (!entries) return std::nullopt;
    par2::RecoverySetReader reader, index;
    for (const FolderEntry& e : *entries) {
        if (e.isFolder || setBaseOf(e.name) != base) continue;
        // A link out of the folder is not read.
        if (!inSetFolder(fs, folder, folder + e.name)) continue;
        auto handle = fs.open(folder + e.name, OpenMode::Read);
        if (!handle) continue;
        const par2::ScanResult scan = par2::scanPackets(*handle);
        reader.add(folder + e.name, scan);
        if (e.name == par2::indexFileName(base)) index.add(folder + e.name, scan);
    }
    // Volumes left from an earlier split of the same name belong to another set: the index
    // names the one that counts.
    std::vector<par2::Id> ids = index.setIds();
    if (ids.size() != 1) ids = reader.setIds();
    if (ids.size() != 1) return std::nullopt;
    par2::SetProblem problem = par2::SetProblem::None;
    std::string detail;
    auto set = reader.build(ids.front(), problem, detail);
    if (!set) return std::nullopt;
    RecoveryCheck check = checkRecoverySet(fs, folder, *set, stop);
    return FoundRecovery{std::move(*set), std::move(check)};
}

}  // namespace pw
