#pragma once
// What the split job keeps: its tally, and the run of the source it is at.

#include <cstdint>
#include <set>
#include <system_error>
#include <vector>

#include "files/failure.h"
#include "split/manifest_recording.h"
#include "split/name_template.h"
#include "split/random_draw.h"
#include "split/split_options.h"
#include "split/split_recovery.h"
#include "text/encoding_code.h"

namespace pw {

// The source's path and the pieces of it that part names and folders are made of.
struct SourceNames {
    Text path;
    Text folder;  // without a separator at the end
    Text stem;    // the file name before its last "."
    Text extension;
};

// What the whole job did: handed to its summary at the end.
struct SplitTally {
    // Every source of the job, and every part it wrote: no part may replace one of them.
    std::set<FileId> jobSources;
    std::set<FileId> jobParts;
    int64_t partsWritten = 0;
    int64_t failedOutputs = 0;
    Failures failures;
    std::vector<Text> withoutHeadings;  // sources the chapter mode found no heading in
    std::vector<Text> oversizedParts;   // parts of one record longer than the part size
};

// The source being split, the part it is at and the safety account of what became of it.
struct SourceRun {
    SourceNames source;
    Text outputFolder;              // ends in a separator
    bool outputFolderReady = true;  // false until the folder was created (or found taken)
    EncodingCode sourceEncoding = kEncodingUnknown;
    int64_t partNumber = 0;
    Text progressText;
    Text partHeading;          // a chapter part is named after its first heading
    int64_t partCount = 0;     // the source's part count where known before its parts
    bool sourceIntact = true;  // false once any of the source failed to reach a written part
    bool sourceUnreadable = false;
    bool sourceReplaced = false;  // its text was converted with a substitute somewhere
    int64_t partsOfSource = 0;
    std::set<Text> partNamesOfSource;
    std::vector<Text> createdFolders;  // made for the current source, outermost first
    // The current source's manifest while one is asked for.
    std::unique_ptr<ManifestRecording> recording;
    // The recovery sums a byte mode takes as it writes the source's parts; `recoveryFeed` takes
    // the bytes of the part being written.
    std::unique_ptr<RecoveryPass> recoveryPass;
    ByteSink* recoveryFeed = nullptr;
};

struct SplitJobState {
    std::optional<NameTemplate> names;  // the user's part names, checked for the job
    RandomSource rng;
    ByteBuffer encodedPart;  // a streamed part's bytes on their way out, kept between parts
    SplitTally tally;
    SourceRun run;

    // Takes up the next source: its names, and a clean account of what became of it.
    void startSource(const Text& path);
    // Some of the source could not be read (to its end): it is in no part and must stay; none of
    // it may be deleted. The reason is told once a source.
    void markUnreadable(std::error_code reason) {
        if (!reason) reason = std::make_error_code(std::errc::io_error);
        if (!run.sourceUnreadable)
            tally.failures.push_back({FailureKind::Read, run.source.path, reason});
        run.sourceUnreadable = true;
        run.sourceIntact = false;
    }
    // A conversion of the source's text put in substitutes: its content is not whole in parts.
    void noteReplacements(size_t count) {
        if (count == 0) return;
        run.sourceReplaced = true;
        run.sourceIntact = false;
    }
};

}  // namespace pw
