#pragma once
// The parts of one split, found from its manifest, from any one part or from their folder, and
// checked against what the manifest records.

#include <optional>
#include <vector>

#include "files/manifest.h"

namespace pw {

struct PartSet {
    Text folder;              // the parts' folder, ending in a separator
    std::vector<Text> parts;  // in part order
    std::optional<Manifest> manifest;
    Text manifestPath;
    // The original's place: its name in the folder the split took it from (the parts folder's
    // parent when they sit in the split's subfolder).
    Text outputPath;
    // Files numbered as the manifest's parts are ("<stem>_<K>…") that it does not list, most
    // likely left from another split of the original: named, never joined or deleted.
    std::vector<Text> unlisted;
};

enum class SetFault {
    NoParts,          // nothing that looks like a split's parts
    SeveralSets,      // the folder holds more than one; name a manifest or a part
    ManifestDamaged,  // detail says how
    Missing,
    WrongSize,
    Changed,
    NotExact,  // the set cannot give back the original's bytes; detail says why
    Unreadable,
    WriteFailed,
    OutputChanged,  // every part matches, yet the joined bytes are not the recorded original's
    Stopped,
    OutsideLink,    // a part is a link to a file outside the set's folder: never read
    SizeDisagrees,  // the parts join into the original, but not of the size the manifest records
    Unchecked,      // no manifest: a missing last part cannot be seen
};

struct SetProblem {
    SetFault fault;
    Text path;
    std::string detail = {};
    std::error_code error = {};  // the system's reason, where one failed
};

// The set `path` names: a manifest, one part, or a folder with one set in it.
std::optional<PartSet> findPartSet(FileSystem& fs, const Text& path, SetProblem& problem);

// Every part there with its recorded size, and a set that can be joined back exactly. Reads only
// the first bytes of parts.
std::vector<SetProblem> checkPartSet(FileSystem& fs, const PartSet& set);

// Each part against its recorded size and SHA-256 (a set with a manifest), in part order, and in
// the same pass the bytes they join into against the recorded original.
enum class PartState { Ok, Missing, WrongSize, Changed, Unreadable, OutsideLink };
struct SetVerdict {
    std::vector<PartState> parts;
    std::vector<std::error_code> errors;  // why an unreadable part could not be read
    // Only when every part is Ok and the manifest is exact: the joined bytes against the
    // original's SHA-256 (OutputChanged) and size (SizeDisagrees).
    std::optional<SetFault> whole;
};
// How many of a part's first bytes `head` the split put there: its mark when it opens with it,
// then the header's copy when that follows.
size_t headerSkip(std::string_view head, std::string_view addedMark, std::string_view header);

SetVerdict verifyParts(FileSystem& fs, const Manifest& manifest, const Text& folder);

// Whether a file, a folder or a link (dangling or not) has that name: an output never follows
// or replaces a link, so one there takes the name as a file would.
bool takenName(FileSystem& fs, const Text& path);

// "name (2).ext", "name (3).ext" … the first that names nothing, `path` itself when it is free.
Text freeVariantPath(FileSystem& fs, const Text& path);

}  // namespace pw
