#include "support/gzip_bytes.h"

#include <zlib.h>

namespace pw::test {

std::string gzipped(std::string_view bytes, int level) {
    z_stream z{};
    if (deflateInit2(&z, level, Z_DEFLATED, 16 + MAX_WBITS, 8, Z_DEFAULT_STRATEGY) != Z_OK)
        return {};
    std::string out(deflateBound(&z, uLong(bytes.size())) + 64, '\0');
    z.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(bytes.data()));
    z.avail_in = uInt(bytes.size());
    z.next_out = reinterpret_cast<Bytef*>(out.data());
    z.avail_out = uInt(out.size());
    const bool done = deflate(&z, Z_FINISH) == Z_STREAM_END;
    out.resize(done ? z.total_out : 0);
    deflateEnd(&z);
    return out;
}

}  // namespace pw::test
