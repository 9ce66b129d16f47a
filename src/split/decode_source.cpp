#include "split/decode_source.h"

#include <new>

#include "text/encoding_detect.h"

namespace pw {

std::optional<Text> decodeSource(EngineContext& ctx, SplitJobState& state, const Text& source) {
    std::optional<DecodedText> decoded;
    std::error_code error;
    try {
        decoded = detectAndDecode(ctx.files, source, &ctx.form, &error);
    } catch (const std::bad_alloc&) {
        // A file too large to hold in memory is as unreadable as a missing one.
        decoded.reset();
        error = std::make_error_code(std::errc::not_enough_memory);
    }
    if (!decoded) {
        state.sourceFailed(source, error);
        return std::nullopt;
    }
    state.sourceEncoding = decoded->code;
    if (decoded->cutAtNul) state.sourceIntact = false;
    state.noteReplacements(decoded->replacements);
    return std::move(decoded->text);
}

}  // namespace pw
