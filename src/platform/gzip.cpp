#include "platform/gzip.h"

#include <zlib.h>

#include <algorithm>

namespace pw {
namespace {

class Inflater {
  public:
    Inflater() { ok_ = inflateInit2(&stream_, 16 + MAX_WBITS) == Z_OK; }
    ~Inflater() {
        if (ok_) inflateEnd(&stream_);
    }
    bool ok() const { return ok_; }
    z_stream& stream() { return stream_; }

  private:
    z_stream stream_{};
    bool ok_ = false;
};

constexpr size_t kChunk = 256 * 1024;
constexpr size_t kFirstChunk = 16 * 1024;
constexpr size_t kFirstRoom = kChunk;

}  // namespace

std::optional<std::string> gunzip(std::string_view input, size_t limit) {
    Inflater inflater;
    if (!inflater.ok()) return std::nullopt;
    z_stream& z = inflater.stream();
    // The first member's header tells gzip from other bytes that begin like it.
    gz_header header{};
    inflateGetHeader(&z, &header);
    std::string out;
    // Room for a small output first, then address space for the whole limit at once: memory is
    // taken only as it is written, and the string never doubles past the limit nor copies more
    // than the first piece while growing. Reserving the whole limit for every small stream costs
    // more than inflating it.
    out.reserve(std::min(limit + 1, kFirstRoom));
    size_t consumed = 0;
    bool outputFull = false;  // zlib may still hold output for a full window
    while (consumed < input.size() || outputFull) {
        const size_t piece = std::min<size_t>(input.size() - consumed, 1u << 30);
        z.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(input.data() + consumed));
        z.avail_in = uInt(piece);
        // One byte of room past the limit tells a stream that overflows from one that fits.
        const size_t before = out.size();
        // Pieces grow with the output, so a small stream fills little memory.
        const size_t room = std::min({kChunk, limit + 1 - before, std::max(before, kFirstChunk)});
        if (before + room > out.capacity()) out.reserve(limit + 1);
        out.resize(before + room);
        z.next_out = reinterpret_cast<Bytef*>(out.data() + before);
        z.avail_out = uInt(room);
        const int rc = inflate(&z, Z_NO_FLUSH);
        outputFull = z.avail_out == 0;
        out.resize(out.size() - z.avail_out);
        consumed += piece - z.avail_in;
        if (out.size() > limit) return std::nullopt;
        if (rc == Z_OK || (rc == Z_BUF_ERROR && outputFull)) continue;
        if (rc == Z_STREAM_END) {
            // Another member may follow; bytes after the last one that are no member end it.
            outputFull = false;
            if (inflateReset(&z) != Z_OK) break;
            continue;
        }
        break;  // damaged here: keep what came before
    }
    if (header.done != 1) return std::nullopt;
    return out;
}

}  // namespace pw
