#pragma once
// Split and merge options held as plain values, for engine tests that need no window. The
// defaults are the window's start values.

#include <deque>
#include <optional>
#include <string>
#include <vector>

#include "merge/merge_options.h"
#include "split/split_options.h"

namespace pw::test {

class TestSplitOptions : public SplitOptions {
  public:
    struct Values {
        SplitMode mode = SplitMode::Parts;
        int32_t partCount = 100;
        float partSizeNumber = 3.12f;
        int partSizeUnit = 3;
        CountRange lines{5, 10};
        CountRange chars{200, 500};
        bool detectEncoding = false;
        bool fixLineBreaks = false;
        bool skipBlankLines = false;
        bool nameAfterText = false;
        bool intoSubfolder = true;
        bool deleteSources = false;
        bool writeManifest = false;
        RecoveryAmount recovery;
        Text delimiter;
        int32_t chaptersPerPart = 1;
        Text headingPattern;
        int32_t headingMaxChars = 40;
        bool wholeLines = false;
        int32_t headerLines = 0;
        bool csv = false;
        Text nameTemplate;
        int64_t presetPartSize = 0;
        bool writeJoinScripts = false, writeCrcFile = false;
    } set;

    SplitMode mode() const override { return set.mode; }
    int32_t partCount() const override { return set.partCount; }
    float partSizeNumber() const override { return set.partSizeNumber; }
    int partSizeUnit() const override { return set.partSizeUnit; }
    CountRange lineCountRange() const override { return set.lines; }
    CountRange charCountRange() const override { return set.chars; }
    bool detectEncoding() const override { return set.detectEncoding; }
    bool fixLineBreaks() const override { return set.fixLineBreaks; }
    bool skipBlankLines() const override { return set.skipBlankLines; }
    bool nameAfterText() const override { return set.nameAfterText; }
    bool intoSubfolder() const override { return set.intoSubfolder; }
    bool deleteSources() const override { return set.deleteSources; }
    bool writeManifest() const override { return set.writeManifest; }
    RecoveryAmount recovery() const override { return set.recovery; }
    Text delimiter() const override { return set.delimiter; }
    int32_t chaptersPerPart() const override { return set.chaptersPerPart; }
    Text headingPattern() const override { return set.headingPattern; }
    int32_t headingMaxChars() const override { return set.headingMaxChars; }
    bool wholeLines() const override { return set.wholeLines; }
    int32_t headerLines() const override { return set.headerLines; }
    bool csvRecords() const override { return set.csv; }
    Text nameTemplate() const override { return set.nameTemplate; }
    int64_t presetPartSize() const override { return set.presetPartSize; }
    bool writeJoinScripts() const override { return set.writeJoinScripts; }
    bool writeCrcFile() const override { return set.writeCrcFile; }
};

// A split's host that records where it pointed and what it showed, and answers the delimiter
// question from a queue into `options`.
class TestSplitHost : public SplitHost {
  public:
    explicit TestSplitHost(TestSplitOptions& options) : options_(options) {}

    // An answer becomes the delimiter; with none left the question is cancelled.
    void askDelimiter() override {
        ++delimiterAsks;
        if (delimiterAnswers.empty()) return;
        options_.set.delimiter = delimiterAnswers.front();
        delimiterAnswers.pop_front();
    }
    void focus(SplitOptionBox box) override { focused = box; }
    void showStage(const Text& caption) override { stage = caption; }

    std::deque<Text> delimiterAnswers;
    int delimiterAsks = 0;
    std::optional<SplitOptionBox> focused;
    Text stage;

  private:
    TestSplitOptions& options_;
};

class TestMergeOptions : public MergeOptions {
  public:
    struct Values {
        bool handleEncoding = false;
        bool deleteSources = false;
        bool intoParentFolder = true;
        bool includeSubfolders = false;
        Text fileTypes = "*.*";
        JoinWith joinWith = JoinWith::Nothing;
        Text joinText;
        Text joinFilePath;
    } set;

    bool handleEncoding() const override { return set.handleEncoding; }
    bool deleteSources() const override { return set.deleteSources; }
    bool intoParentFolder() const override { return set.intoParentFolder; }
    bool includeSubfolders() const override { return set.includeSubfolders; }
    Text fileTypes() const override { return set.fileTypes; }
    JoinWith joinWith() const override { return set.joinWith; }
    Text joinText() const override { return set.joinText; }
    Text joinFilePath() const override { return set.joinFilePath; }
};

}  // namespace pw::test
