#include "app/job_outcome.h"

#include <string>

#include "text/codepage.h"
#include "text/system_texts.h"

namespace pw {

OtherJobBlocked::OtherJobBlocked(Form& form, std::string_view otherButton)
    : form_(form), button_(otherButton), wasEnabled_(form.enabled(otherButton)) {
    form_.setEnabled(button_, false);
}

OtherJobBlocked::~OtherJobBlocked() {
    form_.setEnabled(button_, wasEnabled_);
}

Text failureNote(int64_t failedOutputs, std::string_view outputsBefore,
                 std::string_view outputsAfter, int64_t unreadableSources,
                 int64_t undeletedSources) {
    Text note;
    if (failedOutputs > 0)
        note += "\n" + lit(outputsBefore) + std::to_string(failedOutputs) + lit(outputsAfter);
    if (unreadableSources > 0)
        note += "\n" + lit(texts::kUnreadableSourcesBefore) + std::to_string(unreadableSources) +
                lit(texts::kUnreadableSourcesAfter);
    if (undeletedSources > 0)
        note += "\n" + lit(texts::kUndeletedSourcesBefore) + std::to_string(undeletedSources) +
                lit(texts::kUndeletedSourcesAfter);
    return note.empty() ? note : "\n" + note;
}

}  // namespace pw
