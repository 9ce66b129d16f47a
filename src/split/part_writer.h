#pragma once
// Naming and writing one part of a split source.

#include <cstdint>
#include <memory>

#include "split/part_content.h"
#include "split/split_job_state.h"
#include "text/encoding_stream.h"

namespace pw {

// Writes `part` as the current part of the state's source into the output folder and shows it in
// the progress text. False when the part could not be written (the failure is counted in the
// state). `written`, when given, gets the part's path.
bool writePart(SplitContext& ctx, SplitJobState& state, const PartContent& part,
               Text* written = nullptr);

// The path writePart gives the current part when it is not named after its text; the output
// folder is made first.
Text plainPartPath(SplitContext& ctx, SplitJobState& state);

// The current part (the state's part number and heading) written while its bytes come, through a
// bounded buffer: named before the first of them, so never after its text; turned back into the
// source's encoding and hashed for the manifest on the way. Its bytes are those writePart gives
// for the same content. A part not finished is dropped: its file never appears, nothing is counted.
class PartStream {
  public:
    // `utf8`: the bytes to come are the source's own valid UTF-8, not code-page text.
    PartStream(SplitContext& ctx, SplitJobState& state, bool utf8);
    PartStream(SplitContext& ctx, SplitJobState& state, const Text& path, bool utf8);
    ~PartStream();
    PartStream(const PartStream&) = delete;
    PartStream& operator=(const PartStream&) = delete;

    void write(std::string_view bytes) {
        // Most writes are a line or less of bytes that go out as they are: gathered here.
        if (gathers_ && buffer_.size() + bytes.size() <= capacity_)
            buffer_.append(bytes);
        else
            writeSlowly(bytes);
    }
    // `length` bytes of `file` from `offset` (the source's text as it stands), not held; the file's
    // position stays.
    void copy(FileHandle& file, int64_t offset, int64_t length);
    // Bytes that are none of the source's (a header's copy): in the part and its digest, not in
    // the source's digest nor its rebuild; the manifest records them as written.
    void writeCopy(std::string_view bytes);
    // Moves the part into place, counts it and shows it; false when it could not be written.
    bool finish();
    const Text& path() const { return path_; }

  private:
    void writeSlowly(std::string_view bytes);
    void emit(std::string_view bytes);
    void flush();
    void record(std::string_view written);
    void markFirst();

    SplitContext& ctx_;
    SplitJobState& state_;
    Text path_;
    SafeWriter out_;
    ManifestRecording* recording_;  // when the part's text bytes are hashed for the manifest
    bool text_, utf8_;
    bool marked_ = false;   // the byte-order mark went out (before the first byte of text)
    bool gathers_ = false;  // bytes go out as they are, the mark (if any) before them
    bool cut_ = false;      // the text ended at a NUL: the rest of the part is left out
    bool copying_ = false;  // writeCopy's bytes are going out
    std::unique_ptr<StreamConverter> converter_;
    size_t capacity_;  // what is gathered before it goes to the file (the text's buffer size)
    ByteBuffer buffer_;
    int64_t size_ = 0;
};

// A name the file system takes: the eight characters it refuses become their full-width forms,
// double quotes, CR, LF and TAB are removed. At most `maxChars` characters are made.
Text cleanFileName(std::string_view text, size_t maxChars = SIZE_MAX);

// Cuts `stem` (keeping `suffix` whole) to at most 100 characters and then until
// stem + suffix + "." + extension fits the file system's name limit.
Text fitPartName(FileSystem& fs, std::string_view stem, std::string_view suffix,
                 std::string_view extension);

}  // namespace pw
