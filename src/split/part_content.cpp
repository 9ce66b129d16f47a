#include "split/part_content.h"

namespace pw {

std::optional<ByteBuffer> PartContent::load() const {
    if (!source) return bytes;
    if (!fitsInMemory(length)) return std::nullopt;
    const int64_t saved = source->position();
    if (!source->seek(offset)) return std::nullopt;
    ByteBuffer b = source->readBytes(length);
    if (!source->seek(saved) || int64_t(b.size()) != length) return std::nullopt;
    return b;
}

}  // namespace pw
