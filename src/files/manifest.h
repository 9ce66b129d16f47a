#pragma once
// The checksum manifest a split writes beside its parts: lines that `sha256sum -c` reads as they
// are, and "#" lines recording what a join needs to give back the source's bytes.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "platform/files.h"

namespace pw {

inline constexpr int kManifestFormat = 1;
// A manifest recording a header: a reader of format 1 would join its copies in, so it refuses.
inline constexpr int kManifestFormatWithHeader = 2;
inline constexpr std::string_view kManifestExtension = "sha256";
// No split writes more parts of one file; a manifest listing more is refused before it is held.
inline constexpr size_t kMaxManifestParts = 1000000;

struct ManifestPart {
    Text name;  // a file name beside the manifest
    int64_t size = 0;
    std::string sha256;  // 64 lower-case hex digits
};

struct Manifest {
    Text sourceName;
    int64_t sourceSize = 0;
    std::string sourceSha256;
    std::string mode;  // parts, size, lines, chars or delimiter
    // Joining the parts as recorded gives back the source's bytes (proved when it was written).
    bool exact = true;
    ByteBuffer addedMark;         // put before each non-empty part by the split
    bool sourceMark = false;      // the source itself began with that mark
    ByteBuffer joiner;            // what stood between two parts in the source
    bool trailingJoiner = false;  // the source ended with the joiner
    // What the split put at the head of every non-empty part after the first (after any mark):
    // a copy of the source's header, none of the source's bytes there.
    ByteBuffer header;
    bool fixedLineBreaks = false;
    bool skippedBlankLines = false;
    std::vector<ManifestPart> parts;
};

// Whether a native name (after unescaping) names a file in the manifest's own folder: not
// empty, no separator, no NUL, not "." or "..". A received manifest is a stranger's input.
bool isPlainFileName(std::string_view native);

// Why parseManifest refused a line (after "line N: "): a name leading outside the manifest's
// folder, or more parts than a split writes.
inline constexpr const char* kUnsafePartName =
    "a part's name is not a plain file name in the manifest's folder";
inline constexpr const char* kUnsafeSourceName = "the original's name is not a plain file name";
inline constexpr const char* kTooManyParts = "more parts than any split writes";

// The manifest's file content (native names, UTF-8).
std::string formatManifest(const Manifest& manifest);

// Nothing, with the reason in `problem`, when the content is no manifest of ours or of a newer
// format, or names a file outside its folder (a part, the original): "line N: WHY".
std::optional<Manifest> parseManifest(std::string_view content, std::string& problem);

// Whether a file's first bytes open a manifest of ours.
bool looksLikeManifest(std::string_view head);

// Reads and parses the file at `path`; `problem` says why when it gives nothing.
std::optional<Manifest> readManifest(FileSystem& fs, const Text& path, std::string& problem);

// Whether `path` is a manifest of ours (reads its first line only).
bool isManifestFile(FileSystem& fs, const Text& path);

// Written through a temporary file; false when it could not be, with why in `error` when given.
bool writeManifest(FileSystem& fs, const Text& path, const Manifest& manifest,
                   std::error_code* error = nullptr);

}  // namespace pw
