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
    state.sourceEncoding = text->code();
    return text;
}

std::optional<Text> decodeSource(SplitContext& ctx, SplitJobState& state, const Text& source) {
    const std::unique_ptr<TextSource> text = openSourceText(ctx, state, source);
    if (!text) return std::nullopt;
    Text whole;
    for (std::string_view piece; !(piece = text->next()).empty();) whole += piece;
    finishSourceText(state, *text);
    if (text->failed()) return std::nullopt;
    return whole;
}

void finishSourceText(SplitJobState& state, const TextSource& text) {
    if (text.failed()) state.markUnreadable(text.error());
    if (text.cutAtNul()) state.sourceIntact = false;
    state.noteReplacements(text.replacements());
}

}  // namespace pw
