#pragma once
// Checks the files of a PAR 2.0 recovery set (size, then each slice's MD5) and rebuilds the
// damaged and missing ones from the recovery slices. Nothing outside the set's folder is read or
// written; a rebuilt file takes its name only once its MD5 matches the recorded one.

#include <cstdint>
#include <vector>

#include "files/failure.h"
#include "files/par2_reader.h"
#include "platform/job_host.h"

namespace pw {

enum class RecoveryFileState { Ok, Missing, Damaged };

struct RecoveryCheck {
    std::vector<RecoveryFileState> states;      // for each file of the set
    std::vector<std::vector<bool>> goodSlices;  // for each file, each slice
    uint32_t badSlices = 0;
    uint32_t recoverySlices = 0;  // usable ones found
    bool repairable() const { return badSlices <= recoverySlices; }
};

RecoveryCheck checkRecoverySet(FileSystem& fs, const Text& folder, const par2::RecoverySet& set,
                               const StopFlag& stop);

struct RepairOutcome {
    std::vector<Text> rebuilt;  // file names
    Failures failures;
    std::vector<Text> mismatched;  // rebuilt, yet not the recorded bytes: not kept
    bool stopped = false;
    bool singular = false;  // the recovery slices found cannot solve for these slices
};

// Rebuilds what `check` found bad; call only when it is repairable. At most `memory` bytes of
// slice data are held at once (the work goes a range of every slice at a time).
RepairOutcome repairRecoverySet(FileSystem& fs, const Text& folder, const par2::RecoverySet& set,
                                const RecoveryCheck& check, const StopFlag& stop,
                                uint64_t memory = uint64_t{256} << 20);

}  // namespace pw
