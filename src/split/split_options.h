#pragma once
// What a split reads of its options, typed. Every value is read when it is asked for, so a
// change made while a job runs (at one of its event points) counts from the next read.

#include <cstdint>

#include "platform/engine_context.h"
#include "split/split_host.h"

namespace pw {

enum class SplitMode { Parts, Bytes, Lines, Characters, Delimiter, Chapters };

// How much recovery data a split writes beside its parts: enough to rebuild `parts` whole parts,
// or `percent` of the data; neither set: none.
struct RecoveryAmount {
    int32_t parts = 0;
    int32_t percent = 0;
    bool wanted() const { return parts > 0 || percent > 0; }
};

// A count drawn at random between two bounds; either bound below 1 is refused.
struct CountRange {
    int32_t low = 0;
    int32_t high = 0;
};

class SplitOptions {
  public:
    virtual ~SplitOptions() = default;

    virtual SplitMode mode() const = 0;
    virtual int32_t partCount() const = 0;
    virtual float partSizeNumber() const = 0;
    virtual int partSizeUnit() const = 0;  // 0 B, 1 KB, 2 MB, 3 GB
    virtual CountRange lineCountRange() const = 0;
    virtual CountRange charCountRange() const = 0;
    virtual bool detectEncoding() const = 0;
    virtual bool fixLineBreaks() const = 0;
    virtual bool skipBlankLines() const = 0;
    virtual bool nameAfterText() const = 0;
    virtual bool intoSubfolder() const = 0;
    virtual bool deleteSources() const = 0;
    virtual bool writeManifest() const = 0;
    // PAR 2.0 recovery files over the parts (a manifest is written with them).
    virtual RecoveryAmount recovery() const { return {}; }
    // Files are written only to be counted (a dry run): recovery files get their sizes, and
    // nothing is summed for them.
    virtual bool countsOnly() const { return false; }
    virtual Text delimiter() const = 0;
    // The folder the parts go to (or their subfolder goes into); empty: the source's folder.
    virtual Text outputFolder() const { return {}; }
    // Whether the count mode rounds the part size up to the file system's block size, so that
    // a copy that shares blocks can share all of them.
    virtual bool alignToBlocks() const { return false; }
    // The count and the size mode end every part at a line end (a record end with csv).
    virtual bool wholeLines() const { return false; }
    // The first this many lines (records) go again at the head of every part; 0: none.
    virtual int32_t headerLines() const { return 0; }
    // Line ends inside a double-quoted field end no record (RFC 4180).
    virtual bool csvRecords() const { return false; }
    // The part names' template ("{name}.{ext}.{n:03}"); empty: "<name>_<n>.<ext>" as ever.
    virtual Text nameTemplate() const { return {}; }
    // A preset's exact part size in bytes (FAT32's 4 GiB − 1), which the size box's number
    // cannot hold; 0: the number and unit count.
    virtual int64_t presetPartSize() const { return 0; }
    // With the manifest: join.sh and join.cmd beside the parts, to join them without us.
    virtual bool writeJoinScripts() const { return false; }
    // A Total Commander / Krusader ".crc" file beside the parts.
    virtual bool writeCrcFile() const { return false; }
    virtual int32_t chaptersPerPart() const = 0;
    // The user's heading pattern (empty: the built-in rule) and the longest heading line.
    virtual Text headingPattern() const = 0;
    virtual int32_t headingMaxChars() const = 0;
};

// Whether a part is held whole before it is named: its name comes from its text.
bool namesPartsAfterText(const SplitOptions& options);

// An engine context with the split's options and what the split asks of its host.
struct SplitContext : EngineContext {
    SplitOptions& options;
    SplitHost& splitHost;
};

}  // namespace pw
