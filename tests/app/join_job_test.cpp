#include <gtest/gtest.h>

#include <cerrno>

#include "app/job_outcome.h"
#include "app/join_job.h"
#include "text/system_texts.h"

namespace pw::test {
namespace {

// The window says what the command line says: a set joined without a manifest was not checked
// for completeness, a refused manifest's line, and the system's reason for a failure.
TEST(JoinCompletion, NamesTheUncheckedSetTheLineAndTheReason) {
    JoinOutcome joined;
    joined.outputPath = "/d/book.bin";
    joined.notes.push_back({SetFault::Unchecked, {}, {}});
    Text text = joinCompletionText(joined);
    EXPECT_NE(text.find(lit(texts::kJoinDone) + "/d/book.bin\n" + lit(texts::kJoinUnchecked)),
              Text::npos);
    EXPECT_EQ(text.find(lit(texts::kJoinUnchecked), text.find(lit(texts::kJoinUnchecked)) + 1),
              Text::npos);

    JoinOutcome refused;
    refused.problems.push_back({SetFault::ManifestDamaged, "/d/book/book.sha256",
                                "line 11: a part's name is not a plain file name"});
    refused.problems.push_back({SetFault::WriteFailed,
                                "/d/book.bin",
                                {},
                                std::error_code(ENOSPC, std::generic_category())});
    text = joinCompletionText(refused);
    EXPECT_NE(text.find("book.sha256" + lit(texts::kJoinColon) + lit(texts::kJoinManifestUnusable) +
                        lit(texts::kJoinLineBefore) + "11" + lit(texts::kJoinLineAfter)),
              Text::npos);
    EXPECT_NE(text.find("book.bin" + lit(texts::kJoinColon) + lit(texts::kJoinWriteFailed) +
                        lit(texts::kJoinColon) +
                        reasonText(std::error_code(ENOSPC, std::generic_category()))),
              Text::npos);
}

}  // namespace
}  // namespace pw::test
