// The buffered line reader against its rule taken byte by byte, whatever the buffer size: a line
// ends at LF (consumed, a CR just before it dropped) or before a NUL or Ctrl-Z byte, which the
// caller steps over. A line is read whole or in pieces, none longer than the buffer (two bytes at
// least: a CR at its end waits there for an LF). Input: one byte choosing the buffer size, then
// the bytes.

#include "split/line_reader.h"

#include <algorithm>

#include "fuzz_support.h"

using namespace pw;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    fuzz::Fields fields(data, size);
    const uint8_t choice = fields.byte();
    const size_t bufferSize = 1 + choice % 64;
    const bool inPieces = choice >= 128;
    const std::string_view bytes = fields.rest();
    auto file = makeMemoryFile(ByteBuffer(bytes));
    LineReader reader(*file, bufferSize);

    size_t pos = 0;
    while (!reader.atEnd()) {
        FUZZ_EXPECT(pos < bytes.size(), {"bytes", bytes});
        const size_t end = bytes.find_first_of(std::string_view("\n\0\x1A", 3), pos);
        std::string_view want = bytes.substr(pos, end == std::string_view::npos ? end : end - pos);
        size_t next = end == std::string_view::npos ? bytes.size() : end;
        if (next < bytes.size() && bytes[next] == '\n') {
            if (want.ends_with('\r')) want.remove_suffix(1);
            ++next;
        }
        std::string got;
        if (inPieces) {
            for (bool ends = false; !ends;) {
                const std::string_view piece = reader.readPiece(ends);
                FUZZ_EXPECT(piece.size() <= std::max<size_t>(bufferSize, 2), {"bytes", bytes});
                got += piece;
            }
        } else {
            got = reader.readLine();
        }
        const std::string at = std::to_string(reader.position());
        FUZZ_EXPECT(got == want && reader.position() == int64_t(next), {"bytes", bytes},
                    {"line", got}, {"want", want}, {"position", at});
        if (next < bytes.size() && bytes[next] != '\n' && next == end) {
            reader.skipByte();
            ++next;
        }
        pos = next;
    }
    FUZZ_EXPECT(pos == bytes.size() && !reader.failed(), {"bytes", bytes});
    return 0;
}
