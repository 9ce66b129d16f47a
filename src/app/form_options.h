#pragma once
// The engines' option views read from the main window's controls.

#include "merge/merge_options.h"
#include "split/split_options.h"

namespace pw {

class FormSplitOptions : public SplitOptions {
  public:
    explicit FormSplitOptions(Form& form) : form_(form) {}

    SplitMode mode() const override;
    int32_t partCount() const override;
    float partSizeNumber() const override;
    int partSizeUnit() const override;
    CountRange lineCountRange() const override;
    CountRange charCountRange() const override;
    bool detectEncoding() const override;
    bool fixLineBreaks() const override;
    bool skipBlankLines() const override;
    bool nameAfterText() const override;
    bool intoSubfolder() const override;
    bool deleteSources() const override;
    bool writeManifest() const override;
    Text delimiter() const override;
    int32_t chaptersPerPart() const override;
    Text headingPattern() const override;
    int32_t headingMaxChars() const override;
    void askDelimiter() override;
    void focus(SplitOptionBox box) override;
    void showProgressText(const Text& text) override;
    void showStage(const Text& caption) override;

  private:
    Form& form_;
};

class FormMergeOptions : public MergeOptions {
  public:
    explicit FormMergeOptions(Form& form) : form_(form) {}

    bool handleEncoding() const override;
    bool deleteSources() const override;
    bool intoParentFolder() const override;
    bool includeSubfolders() const override;
    Text fileTypes() const override;
    JoinWith joinWith() const override;
    Text joinText() const override;
    Text joinFilePath() const override;
    void showProgressText(const Text& text) override;

  private:
    Form& form_;
};

// Asks for the delimiter in the input dialog, the current one in its body; OK stores the body's
// text (even an empty one) as the new delimiter.
void promptDelimiter(Form& form);

}  // namespace pw
