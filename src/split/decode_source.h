#pragma once
// The text modes' reading of a source: its text in the code page, piece by piece through a
// bounded buffer, with the encoding found kept in the job state so the parts go back into it.

#include <memory>

#include "split/split_job_state.h"
#include "text/encoding_stream.h"

namespace pw {

// The source's text, its encoding detected; nothing when it cannot be read (counted as
// unreadable).
std::unique_ptr<TextSource> openSourceText(SplitContext& ctx, SplitJobState& state,
                                           const Text& source);

// Once the text was read to its end (or the mode stopped): a read error counts the source as
// unreadable, and a text cut at a NUL, or one that needed substitutes, keeps the source.
void finishSourceText(SplitJobState& state, const TextSource& text);

}  // namespace pw
