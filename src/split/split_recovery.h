#pragma once
// PAR 2.0 recovery files over the parts a split writes, named after its manifest.

#include <functional>
#include <memory>
#include <vector>

#include "files/failure.h"
#include "files/manifest.h"
#include "split/split_options.h"

namespace pw {

namespace par2 {
class RecoveryBuilder;
}

enum class RecoveryResult { Written, NotUtf8, Failed, Stopped };

// The recovery slices for `amount`, with parts of these sizes cut into slices of `sliceSize`:
// `parts` times the slices of the largest part, or `percent` of all slices (at least one), never
// more than the set has slices nor more than the format allows.
uint32_t recoverySliceCount(const std::vector<int64_t>& partSizes, int64_t sliceSize,
                            RecoveryAmount amount);

// The recovery sums taken while a byte mode writes its parts: their names and sizes are known
// before the first is written, so their heads (read from the source), the file IDs and the set's
// order are too, and every byte is summed as it passes on its way into its part.
class RecoveryPass {
  public:
    struct Part {
        Text name;  // the part's file name
        int64_t offset = 0;
        int64_t size = 0;
    };
    // Nothing when the parts give no such pass (a name that is not UTF-8, nothing to protect, a
    // head that cannot be read): the recovery files then come from the parts read again.
    static std::unique_ptr<RecoveryPass> plan(FileHandle& source, std::vector<Part> parts,
                                              RecoveryAmount amount);
    ~RecoveryPass();

    // Where the source's SHA-256 and CRC32 are summed, on the pass's threads, instead of by the
    // part writer; they are whole once finish() returned.
    void alsoSum(Sha256* whole, uint32_t* crc);
    void finish();
    // Where part `index`'s bytes go as it is written, until endPart.
    ByteSink* beginPart(size_t index);
    void endPart();
    // The builder, fed with all of the parts, when they are the ones `manifest` lists.
    par2::RecoveryBuilder* builderFor(const Manifest& manifest);

  private:
    RecoveryPass() = default;
    std::vector<Part> parts_;
    std::unique_ptr<par2::RecoveryBuilder> builder_;
    bool whole_ = true;
};

// How the recovery files are written.
struct RecoveryWriting {
    RecoveryPass* pass = nullptr;   // the sums the split took as it wrote the parts, if any
    std::function<bool()> stopped;  // asked between pieces of the work; true drops it
    bool sizesOnly = false;         // a dry run: files of the right sizes, nothing summed
};

// Writes "<base>.par2" and its volumes into `folder` (ending in a separator) over the parts
// `manifest` lists there, from the split's pass or read again. Names that are not UTF-8 are
// refused before anything is written; a file of the same name that is no recovery file is never
// replaced. `written` gets the files' paths. Stopped, nothing of them is left.
RecoveryResult writeRecoveryFiles(FileSystem& fs, const Text& folder, const Text& base,
                                  const Manifest& manifest, RecoveryAmount amount,
                                  const RecoveryWriting& how, std::vector<Text>& written,
                                  Failure& failure);

}  // namespace pw
