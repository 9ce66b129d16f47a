#include "split/decode_source.h"

namespace pw {

std::unique_ptr<TextSource> openSourceText(SplitContext& ctx, SplitJobState& state,
                                           const Text& source) {
    std::error_code error;
    auto text = TextSource::open(ctx.files, source, &ctx.host, &error);
    if (!text) {
        state.markUnreadable(error);
        return nullptr;
    }
    state.run.sourceEncoding = text->code();
    return text;
}

void finishSourceText(SplitJobState& state, const TextSource& text) {
    if (text.failed()) state.markUnreadable(text.error());
    if (text.cutAtNul()) state.run.sourceIntact = false;
    state.noteReplacements(text.replacements());
}

}  // namespace pw
