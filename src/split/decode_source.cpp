#include "split/decode_source.h"

#include <new>

#include "text/encoding_detect.h"

namespace pw {

std::optional<Text> decodeSource(EngineContext& ctx, SplitJobState& state, const Text& source) {
    std::optional<DecodedText> decoded;
    try {
        decoded = detectAndDecode(ctx.files, source, &ctx.form);
    } catch (const std::bad_alloc&) {
        // A file too large to hold in memory is as unreadable as a missing one.
        decoded.reset();
    }
    if (!decoded) {
        state.sourceUnreadable = true;
        state.sourceIntact = false;
        return std::nullopt;
    }
    state.sourceEncoding = decoded->code;
    if (decoded->cutAtNul) state.sourceIntact = false;
    return std::move(decoded->text);
}

}  // namespace pw
