#pragma once
// How a split mode's routine ends for one source, and the refusal of an option it cannot use.

#include <string_view>

#include "split/split_job_state.h"

namespace pw {

// Abort ends the whole job (an option was refused); Done goes on with the next source.
enum class ModeResult { Done, Abort };

// An option refused: the message, the focus on its box, and the job ends.
ModeResult refuseOption(SplitContext& ctx, std::string_view message, SplitOptionBox box);

}  // namespace pw
