#pragma once
// A checksum manifest chosen or dropped on the merge area: its parts are joined back into the
// original, with the merge button as the stop button and the usual completion question.

#include "app/job_context.h"
#include "merge/join_parts.h"

namespace pw {

void joinJob(JobContext& ctx, const Text& manifestPath);

// What the window says after a join: where the original went, or which parts kept it from being
// written.
Text joinCompletionText(const JoinOutcome& outcome);

// "name：reason", with the manifest's line and the system's reason where there are.
Text setProblemLine(const SetProblem& problem);

}  // namespace pw
