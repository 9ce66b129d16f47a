#pragma once
// The recovery files a split wrote beside its manifest, found and checked before its parts are
// joined or verified: what is damaged or missing, and whether they can rebuild it.

#include <optional>

#include "files/manifest.h"
#include "files/par2_reader.h"
#include "merge/par2_repair.h"

namespace pw {

struct FoundRecovery {
    par2::RecoverySet set;
    RecoveryCheck check;
    size_t badFiles() const;
};

// "<base>.par2" and "<base>.vol…par2" in `folder` (ending in a separator), when they hold one
// usable set, checked against the files they protect; nothing otherwise (no such files, damaged
// beyond use, several sets).
std::optional<FoundRecovery> findRecovery(FileSystem& fs, const Text& folder, const Text& base,
                                          const StopFlag& stop);

// Whether every file the set protects is a part the manifest lists: a repair on the way to a join
// or a verify writes nothing else.
bool protectsOnlyParts(const par2::RecoverySet& set, const Manifest& manifest);

// The recovery files' base a manifest's path gives: "x.sha256" and "x (2).sha256" name "x" and
// "x (2)".
Text recoveryBaseOf(const Text& manifestPath);

}  // namespace pw
