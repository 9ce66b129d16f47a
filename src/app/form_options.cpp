#include "app/form_options.h"

#include <algorithm>

#include "app/control_table.h"
#include "split/name_template.h"
#include "split/size_presets.h"
#include "text/codepage.h"
#include "text/numeric_text.h"
#include "text/system_texts.h"

namespace pw {
namespace {

CountRange rangeOf(const Form& form, std::string_view low, std::string_view high) {
    return {textToInt(form.text(low)), textToInt(form.text(high))};
}

}  // namespace

SplitMode FormSplitOptions::mode() const {
    if (form_.checked(ctl::kByParts)) return SplitMode::Parts;
    if (form_.checked(ctl::kByBytes)) return SplitMode::Bytes;
    if (form_.checked(ctl::kByLines)) return SplitMode::Lines;
    if (form_.checked(ctl::kByChars)) return SplitMode::Characters;
    if (form_.checked(ctl::kByDelimiter)) return SplitMode::Delimiter;
    if (form_.checked(ctl::kByChapters)) return SplitMode::Chapters;
    return SplitMode::Parts;
}

int32_t FormSplitOptions::partCount() const {
    return textToInt(form_.text(ctl::kPartCount));
}
float FormSplitOptions::partSizeNumber() const {
    return textToFloat(form_.text(ctl::kPartSize));
}
int FormSplitOptions::partSizeUnit() const {
    return form_.selectedIndex(ctl::kPartSizeUnit);
}
CountRange FormSplitOptions::lineCountRange() const {
    return rangeOf(form_, ctl::kLinesLow, ctl::kLinesHigh);
}
CountRange FormSplitOptions::charCountRange() const {
    return rangeOf(form_, ctl::kCharsLow, ctl::kCharsHigh);
}
bool FormSplitOptions::detectEncoding() const {
    return form_.checked(ctl::kDetectEncoding);
}
bool FormSplitOptions::fixLineBreaks() const {
    return form_.checked(ctl::kFixLineBreaks);
}
bool FormSplitOptions::skipBlankLines() const {
    return form_.checked(ctl::kSkipBlankLines);
}
// Only the line mode has the box: a count or size split never copies a header.
int32_t FormSplitOptions::headerLines() const {
    return form_.checked(ctl::kByLines) && form_.checked(ctl::kKeepHeader) ? 1 : 0;
}
bool FormSplitOptions::nameAfterText() const {
    return form_.checked(ctl::kNameAfterText);
}
bool FormSplitOptions::intoSubfolder() const {
    return form_.checked(ctl::kSplitIntoSubfolder);
}
bool FormSplitOptions::deleteSources() const {
    return form_.checked(ctl::kDeleteAfterSplit);
}
bool FormSplitOptions::writeManifest() const {
    return form_.checked(ctl::kWriteManifest);
}
RecoveryAmount FormSplitOptions::recovery() const {
    if (!form_.checked(ctl::kWriteRecovery)) return {};
    return {std::max(1, textToInt(form_.text(ctl::kRecoveryParts))), 0};
}
// The default template stands for the names parts get without one (a chapter part's heading
// among them); naming after the text takes none.
Text FormSplitOptions::nameTemplate() const {
    if (form_.checked(ctl::kNameAfterText)) return {};
    const Text typed = form_.text(ctl::kNameTemplate);
    return typed == lit(kDefaultNameTemplate) ? Text() : typed;
}
int64_t FormSplitOptions::presetPartSize() const {
    const int index = form_.selectedIndex(ctl::kSizePreset);
    if (mode() != SplitMode::Bytes || index < 1 || index > int(std::size(kSizePresets))) return 0;
    return kSizePresets[index - 1].bytes;
}
Text FormSplitOptions::delimiter() const {
    return form_.tag(ctl::kDelimiterButton);
}
int32_t FormSplitOptions::chaptersPerPart() const {
    return textToInt(form_.text(ctl::kChaptersPerPart));
}
Text FormSplitOptions::headingPattern() const {
    return form_.text(ctl::kHeadingPattern);
}
int32_t FormSplitOptions::headingMaxChars() const {
    return textToInt(form_.text(ctl::kHeadingMaxLength));
}

bool FormMergeOptions::handleEncoding() const {
    return form_.checked(ctl::kHandleEncoding);
}
bool FormMergeOptions::deleteSources() const {
    return form_.checked(ctl::kDeleteAfterMerge);
}
bool FormMergeOptions::intoParentFolder() const {
    return form_.checked(ctl::kMergeIntoParent);
}
bool FormMergeOptions::includeSubfolders() const {
    return form_.checked(ctl::kIncludeSubfolders);
}
Text FormMergeOptions::fileTypes() const {
    return form_.text(ctl::kMergeFileTypes);
}
JoinWith FormMergeOptions::joinWith() const {
    if (!form_.checked(ctl::kJoinWithData)) return JoinWith::Nothing;
    if (form_.checked(ctl::kJoinWithText)) return JoinWith::Text;
    if (form_.checked(ctl::kJoinWithFile)) return JoinWith::File;
    return JoinWith::Nothing;
}
Text FormMergeOptions::joinText() const {
    return form_.text(ctl::kJoinText);
}
Text FormMergeOptions::joinFilePath() const {
    return form_.text(ctl::kJoinFilePath);
}

void FormJobHost::showProgressText(const Text& text) {
    form_.setText(ctl::kProgressText, text);
}

void FormSplitHost::askDelimiter() {
    promptDelimiter(form_);
}

void FormSplitHost::focus(SplitOptionBox box) {
    switch (box) {
        case SplitOptionBox::PartCount:
            return form_.setFocus(ctl::kPartCount);
        case SplitOptionBox::PartSize:
            return form_.setFocus(FormSplitOptions(form_).presetPartSize() > 0 ? ctl::kSizePreset
                                                                               : ctl::kPartSize);
        case SplitOptionBox::LineCount:
            return form_.setFocus(ctl::kLinesLow);
        case SplitOptionBox::CharCount:
            return form_.setFocus(ctl::kCharsLow);
        case SplitOptionBox::ChapterCount:
            return form_.setFocus(ctl::kChaptersPerPart);
        case SplitOptionBox::HeadingPattern:
            return form_.setFocus(ctl::kHeadingPattern);
        case SplitOptionBox::NameTemplate:
            return form_.setFocus(ctl::kNameTemplate);
    }
}

void FormSplitHost::showStage(const Text& caption) {
    form_.setText(ctl::kSplitButton, caption);
}

void promptDelimiter(Form& form) {
    InputDialogArgs args;
    args.initialText = form.tag(ctl::kDelimiterButton);
    args.title = lit(texts::kDelimiterPromptTitle);
    Text result;
    if (form.showInputDialog(args, result)) form.setTag(ctl::kDelimiterButton, result);
}

}  // namespace pw
