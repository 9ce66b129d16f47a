#include "app/option_states.h"
#include "app/control_table.h"

namespace pw {

void applySplitOptionStates(Form& form) {
    form.setEnabled(ctl::kPartCount, form.checked(ctl::kByParts));

    // A preset is the size while it is chosen: the number and unit wait for "none" again.
    const bool bytes = form.checked(ctl::kByBytes);
    const bool ownSize = form.selectedIndex(ctl::kSizePreset) <= 0;
    form.setEnabled(ctl::kPartSize, bytes && ownSize);
    form.setEnabled(ctl::kPartSizeUnit, bytes && ownSize);
    form.setEnabled(ctl::kSizePreset, bytes);

    const bool chars = form.checked(ctl::kByChars);
    form.setEnabled(ctl::kCharsLow, chars);
    form.setEnabled(ctl::kCharsHigh, chars);

    const bool lines = form.checked(ctl::kByLines);
    form.setEnabled(ctl::kLinesLow, lines);
    form.setEnabled(ctl::kLinesHigh, lines);
    form.setEnabled(ctl::kSkipBlankLines, lines);
    form.setEnabled(ctl::kKeepHeader, lines);
    form.setVisible(ctl::kDetectEncoding, lines);
    form.setVisible(ctl::kFixLineBreaks, lines);

    form.setEnabled(ctl::kFixLineBreaks, form.checked(ctl::kDetectEncoding));
    form.setEnabled(ctl::kDelimiterButton, form.checked(ctl::kByDelimiter));

    form.setEnabled(ctl::kRecoveryParts, form.checked(ctl::kWriteRecovery));
    // Parts named after their text take no template.
    form.setEnabled(ctl::kNameTemplate, !form.checked(ctl::kNameAfterText));

    const bool chapters = form.checked(ctl::kByChapters);
    for (std::string_view name :
         {ctl::kChaptersPerPart, ctl::kChapterPreview, ctl::kHeadingPattern})
        form.setEnabled(name, chapters);
}

void applyMergeOptionStates(Form& form) {
    const bool joined = form.checked(ctl::kJoinWithData);
    form.setEnabled(ctl::kJoinWithText, joined);
    form.setEnabled(ctl::kJoinWithFile, joined);
    form.setEnabled(ctl::kJoinText, joined && form.checked(ctl::kJoinWithText));
    const bool file = joined && form.checked(ctl::kJoinWithFile);
    form.setEnabled(ctl::kJoinFilePath, file);
    form.setEnabled(ctl::kChooseJoinFile, file);
}

}  // namespace pw
