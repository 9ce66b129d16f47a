#pragma once
// What a split asks of whoever started it beyond the job host: the user's attention on an
// option, a new delimiter, a long step's stage. The options themselves only answer values.

#include "platform/text_bytes.h"

namespace pw {

// The option a refusal points the user to.
enum class SplitOptionBox {
    PartCount,
    PartSize,
    LineCount,
    CharCount,
    ChapterCount,
    HeadingPattern,
    NameTemplate
};

class SplitHost {
  public:
    virtual ~SplitHost() = default;

    // Asks the user for the delimiter; an answer becomes the options' new delimiter.
    virtual void askDelimiter() = 0;
    virtual void focus(SplitOptionBox box) = 0;
    // Where the split says which stage a long step is at.
    virtual void showStage(const Text& caption) = 0;
};

}  // namespace pw
