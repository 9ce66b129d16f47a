#include "split/decode_source.h"

#include "text/encoding_detect.h"

namespace pw {

std::optional<Text> decodeSource(SplitContext& ctx, SplitJobState& state, const Text& source) {
    // A file too large to hold in memory comes back as nothing, like a missing one.
    std::error_code error;
    std::optional<DecodedText> decoded = detectAndDecode(ctx.files, source, &ctx.host, &error);
    if (!decoded) {
        state.markUnreadable(error);
        return std::nullopt;
    }
    state.sourceEncoding = decoded->code;
    if (decoded->cutAtNul) state.sourceIntact = false;
    state.noteReplacements(decoded->replacements);
    return std::move(decoded->text);
}

}  // namespace pw
