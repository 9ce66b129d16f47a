#pragma once
// The split job: every source of a list is cut by the mode the split area selects.

#include <cstdint>
#include <vector>

#include "files/failure.h"
#include "split/split_options.h"

namespace pw {

// What a split job did, for the completion question and the command line's exit status.
// A source and the parts written of it.
struct SourceParts {
    Text source;
    int64_t parts = 0;
};

struct SplitSummary {
    int64_t sourcesDone = 0;  // sources whose mode routine ran to its end
    int64_t partsWritten = 0;
    int64_t failedOutputs = 0;        // parts that could not be written
    int64_t unreadableSources = 0;    // sources that could not be opened or read
    int64_t undeletedSources = 0;     // sources due for deletion that the file system kept
    int64_t keptForReplacements = 0;  // sources due for deletion whose text needed substitutes
    Failures failures;                // every failure with its path, in order
    int64_t manifestsWritten = 0;
    std::vector<Text> recoveryIndexes;  // each "<name>.par2" written (its volumes beside it)
    int64_t recoveryVolumes = 0;        // the volumes written with them
    std::vector<Text> recoveryRefused;  // sources whose own or parts' names are not UTF-8
    int64_t staleRemoved = 0;           // unchanged parts of an earlier split of the same source
    std::vector<Text> staleKept;  // earlier parts left in place: changed, or without a manifest
    std::vector<Text> withoutHeadings;  // chapter mode: sources left alone for want of a heading
    std::vector<Text> oversizedParts;   // whole-line size mode: parts of one record over the size
    int64_t presetBytes = 0;            // the size preset's limit the parts keep to; 0: none
    std::vector<SourceParts> presetParts;  // with a preset: how many parts each source gave
    bool aborted = false;                  // an option was refused
    bool stopped = false;
    // The one folder that holds every part written, without a trailing separator; empty when
    // the parts went into several folders or none was written.
    Text partsFolder;
};

SplitSummary splitFiles(SplitContext& ctx, const std::vector<Text>& files);

}  // namespace pw
