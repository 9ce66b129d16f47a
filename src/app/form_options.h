#pragma once
// The engines' option views read from the main window's controls.

#include "merge/merge_options.h"
#include "platform/form.h"
#include "split/split_options.h"

namespace pw {

// The window as the host of a job: its progress bar, its message boxes and its event loop.
class FormJobHost : public JobHost {
  public:
    FormJobHost(Form& form, StopFlag& stop) : form_(form), stop_(stop) {}

    void setProgressMaximum(int64_t maximum) override { form_.setProgressMaximum(maximum); }
    void setProgressPosition(int64_t position) override { form_.setProgressPosition(position); }
    void showProgressText(const Text& text) override;
    Answer message(const Text& text, Buttons buttons, const Text& title = {}) override {
        return form_.message(text, buttons, title);
    }
    void processEvents() override { form_.processEvents(); }
    uint64_t eventRuns() const override { return form_.eventRuns(); }
    StopFlag& stopFlag() override { return stop_; }

  private:
    Form& form_;
    StopFlag& stop_;
};

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
    int32_t headerLines() const override;
    bool nameAfterText() const override;
    bool intoSubfolder() const override;
    bool deleteSources() const override;
    bool writeManifest() const override;
    RecoveryAmount recovery() const override;
    Text nameTemplate() const override;
    int64_t presetPartSize() const override;
    Text delimiter() const override;
    int32_t chaptersPerPart() const override;
    Text headingPattern() const override;
    int32_t headingMaxChars() const override;

  private:
    Form& form_;
};

// The window as a split's host: the input dialog, the option boxes, the split button's caption.
class FormSplitHost : public SplitHost {
  public:
    explicit FormSplitHost(Form& form) : form_(form) {}

    void askDelimiter() override;
    void focus(SplitOptionBox box) override;
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

  private:
    Form& form_;
};

// Asks for the delimiter in the input dialog, the current one in its body; OK stores the body's
// text (even an empty one) as the new delimiter.
void promptDelimiter(Form& form);

}  // namespace pw
