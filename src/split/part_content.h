#pragma once
// The bytes of one part as a mode hands them to the part writer.

#include <cstdint>
#include <optional>

#include "platform/files.h"
#include "platform/text_bytes.h"

namespace pw {

// The bytes of one part handed to writePart whole: either held in memory (a part named after its
// text), or a range of the open source that is copied straight to the part file. Other parts are
// streamed (PartStream) and never held.
struct PartContent {
    ByteBuffer bytes;
    bool validUtf8 = false;  // the bytes are the source's own valid UTF-8, not code-page text
    FileHandle* source = nullptr;
    int64_t offset = 0;
    int64_t length = 0;

    void setBytes(ByteBuffer b, bool utf8 = false) {
        bytes = std::move(b);
        validUtf8 = utf8;
        source = nullptr;
    }
    void setRange(FileHandle& file, int64_t from, int64_t count, bool utf8 = false) {
        bytes.clear();
        validUtf8 = utf8;
        source = &file;
        offset = from;
        length = count;
    }
    // The bytes themselves, read from the source if the part is a range; nothing on a read error.
    std::optional<ByteBuffer> load() const;
};

}  // namespace pw
