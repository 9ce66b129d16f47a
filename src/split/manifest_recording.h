#pragma once
// What a split's checksum manifest records, gathered while the parts are written: each part's
// digest, and the source's digest from the same pass (byte modes) or a check that joining the
// parts back gives the source's bytes (text modes).

#include <memory>

#include "files/manifest.h"
#include "split/split_options.h"
#include "text/encoding_code.h"

namespace pw {

class ManifestRecording {
  public:
    ManifestRecording(const SplitOptions& options, bool textMode);

    // Digests the part file gets while it is written, and the source's digest as the parts carry
    // it (byte modes); null when it does not apply.
    Sha256& partHash() { return *partHash_; }
    Sha256* wholeHash() { return textMode_ ? nullptr : &whole_; }
    // The parts' CRC32 in order (byte modes), when a ".crc" file is asked for.
    uint32_t* wholeCrc() { return textMode_ || !options_.writeCrcFile() ? nullptr : &crc_; }
    uint32_t crc() const { return crc_; }
    bool textMode() const { return textMode_; }
    // A part of a text mode begins, in the encoding `code` of the source; its bytes as written,
    // after any mark, follow in pieces.
    void beginTextPart(EncodingCode code);
    void addTextBytes(std::string_view written);
    // Bytes of the header's copy at the head of a part (after any mark), as written.
    void noteHeader(std::string_view written);
    // The part written last gets its entry (call after partHash() was fed with all of it).
    void recordPart(const Text& name, int64_t size);

    // The manifest of a source whose parts were all written; `source` is read again in text modes.
    std::optional<Manifest> finish(FileSystem& fs, const Text& source);

  private:
    void prepareText(EncodingCode code);

    const SplitOptions& options_;
    bool textMode_;
    Manifest manifest_;
    std::unique_ptr<Sha256> partHash_ = std::make_unique<Sha256>();
    Sha256 whole_;           // byte modes: the parts in order
    Sha256 plain_, marked_;  // text modes: the parts joined back, without and with a leading mark
    int64_t wholeBytes_ = 0;
    uint32_t crc_ = 0;
    bool textReady_ = false;
    int64_t textParts_ = 0;
    bool headerDone_ = false;  // the first part with a header's copy is recorded
    int64_t copiedBytes_ = 0;  // the header's copy in the part being written
};

}  // namespace pw
