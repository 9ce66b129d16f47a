#include <gtest/gtest.h>

#include <filesystem>

#include "app/chapter_preview_job.h"
#include "app/control_table.h"
#include "app/form_options.h"
#include "app/memory_form.h"
#include "app/split_job.h"
#include "app/window_events.h"
#include "support/refusing_files.h"
#include "support/scripted_shell.h"
#include "support/temp_dir.h"
#include "text/system_texts.h"

namespace pw::test {
namespace {

namespace fs = std::filesystem;

class SplitJobTest : public ::testing::Test {
  protected:
    SplitJobTest() : form(mainWindowSpec()) { form.setText(ctl::kPartCount, "2"); }

    void run(const std::string& folder = {}, const std::vector<std::string>& natives = {}) {
        std::vector<Text> sources;
        for (const auto& n : natives) sources.push_back(fromUtf8(n));
        splitJob(ctx, fromUtf8(folder), sources);
    }
    std::string caption() const { return toUtf8(form.text(ctl::kSplitButton)); }
    std::string question(const std::string& folder) const {
        return std::string(texts::kSplitDoneOpenFolder) + folder;
    }

    TempDir dir;
    MemoryForm form;
    ScriptedShell shell;
    AppState state;
    RefusingFiles refusing;
    JobContext ctx{form, shell, posixFileSystem(), systemClock(), state};
};

TEST_F(SplitJobTest, ChooserAsksWithItsTitleAndCancelEndsQuietly) {
    std::string captionWhileAsked;
    shell.onRequest = [&](const ScriptedShell::Request&) { captionWhileAsked = caption(); };
    form.setProgressMaximum(7);
    run();

    ASSERT_EQ(shell.requests.size(), 1u);
    EXPECT_EQ(shell.requests[0].kind, ScriptedShell::Request::Files);
    EXPECT_EQ(toUtf8(shell.requests[0].title), "选择多个文件进行分割：");
    EXPECT_EQ(toUtf8(shell.requests[0].filter),
              "TXT文档(*.txt)|*.txt|HTML文档(*.htm;*.html)|*.htm;*.html|所有文件(*.*)|*.*");
    EXPECT_EQ(captionWhileAsked, texts::kSplitRunning);
    EXPECT_EQ(caption(), texts::kSplitIdle);
    EXPECT_TRUE(form.messages.empty());
    EXPECT_EQ(form.progressMaximum, 7);  // no engine work was done
    EXPECT_EQ(state.jobsRunning, 0);
}

TEST_F(SplitJobTest, ChosenFilesAreSplitAndTheFolderOpensOnYes) {
    writeFile(dir.path("a.txt"), "abcdef");
    shell.fileAnswers.push_back({fromUtf8(dir.path("a.txt"))});
    form.answers = {Answer::Yes};
    std::string captionAtQuestion;
    form.onMessage = [&](const MemoryForm::Message&) { captionAtQuestion = caption(); };
    run();

    EXPECT_EQ(readFile(dir.path("a/a_1.txt")), "abc");
    EXPECT_EQ(readFile(dir.path("a/a_2.txt")), "def");
    ASSERT_EQ(form.messages.size(), 1u);
    // The question names the subfolder that holds the parts, and opens it.
    EXPECT_EQ(toUtf8(form.messages[0].text), question(dir.path("a")));
    EXPECT_EQ(form.messages[0].buttons, Buttons::YesNo);
    EXPECT_TRUE(form.messages[0].title.empty());  // the default "信息："
    EXPECT_EQ(captionAtQuestion, texts::kSplitIdle);
    ASSERT_EQ(shell.opened.size(), 1u);
    EXPECT_EQ(toUtf8(shell.opened[0].path), dir.path("a"));
    EXPECT_TRUE(shell.opened[0].newWindow);
    EXPECT_TRUE(shell.opened[0].asFolder);
    EXPECT_FALSE(shell.opened[0].atParent);

    // Given sources skip the chooser; No opens nothing. Beside the source, the parts are in
    // its own folder.
    form.setChecked(ctl::kSplitIntoSubfolder, false);
    run({}, {dir.path("a/a_1.txt")});
    EXPECT_EQ(shell.requests.size(), 1u);
    ASSERT_EQ(form.messages.size(), 2u);
    EXPECT_EQ(toUtf8(form.messages[1].text), question(dir.path("a")));
    EXPECT_EQ(shell.opened.size(), 1u);

    // 是 on a desktop that cannot show folders says so, and what to install.
    shell.desktopOpens = false;
    form.answers = {Answer::Yes};
    run({}, {dir.path("a/a_2.txt")});
    ASSERT_EQ(form.messages.size(), 4u);
    EXPECT_EQ(toUtf8(form.messages[3].text), std::string(texts::kCannotShowFolder) + dir.path("a"));
    EXPECT_NE(toUtf8(form.messages[3].text).find("xdg-utils"), std::string::npos);
}

TEST_F(SplitJobTest, ChooserStartsWhereItWasLastUsedAndSeveralSubfoldersNameTheirFolder) {
    writeFile(dir.path("in/a.txt"), "abcd");
    writeFile(dir.path("in/b.txt"), "efgh");
    run();  // nothing used yet: the chooser picks its own start
    shell.fileAnswers.push_back({fromUtf8(dir.path("in/a.txt")), fromUtf8(dir.path("in/b.txt"))});
    run();
    run();
    ASSERT_EQ(shell.requests.size(), 3u);
    EXPECT_EQ(toUtf8(shell.requests[0].folder), "");
    EXPECT_EQ(toUtf8(shell.requests[1].folder), "");
    EXPECT_EQ(toUtf8(shell.requests[2].folder), dir.path("in"));
    // Parts in a subfolder each: the question names the folder holding both.
    ASSERT_EQ(form.messages.size(), 1u);
    EXPECT_EQ(toUtf8(form.messages[0].text), question(dir.path("in")));
    EXPECT_EQ(listing(dir.path("in")), "a.txt a/ b.txt b/");

    // Files chosen for the chapter preview move the chooser's start there too.
    writeFile(dir.path("book/b.txt"), "第一章 甲\r\n乙\r\n");
    form.setChecked(ctl::kByParts, false);
    form.setChecked(ctl::kByChapters, true);
    shell.fileAnswers.push_back({fromUtf8(dir.path("book/b.txt"))});
    form.inputAnswers.push_back(std::nullopt);  // the preview cancelled: nothing is split
    chapterPreviewJob(ctx);
    run();
    ASSERT_EQ(shell.requests.size(), 5u);
    EXPECT_EQ(toUtf8(shell.requests[4].folder), dir.path("book"));
}

TEST_F(SplitJobTest, SecondClickStopsTheRunningSplit) {
    writeFile(dir.path("a.txt"), "aaaa");
    writeFile(dir.path("b.txt"), "bbbb");
    std::vector<std::string> captions;
    form.onProcessEvents = [&] {
        if (!captions.empty()) return;
        run();  // the click arrives while the job lets events run
        captions.push_back(caption());
    };
    run({}, {dir.path("a.txt"), dir.path("b.txt")});

    ASSERT_EQ(captions.size(), 1u);
    EXPECT_EQ(captions[0], texts::kSplitStopping);
    EXPECT_TRUE(shell.requests.empty());  // the nested call only asked for a stop
    EXPECT_FALSE(fileExists(dir.path("b")));
    EXPECT_EQ(caption(), texts::kSplitIdle);
    ASSERT_EQ(form.messages.size(), 1u);  // asked although stopped
    EXPECT_EQ(toUtf8(form.messages[0].text), question(dir.path("a")));
    EXPECT_EQ(state.jobsRunning, 0);
}

TEST_F(SplitJobTest, FolderIsListedByTheTypePatterns) {
    writeFile(dir.path("in/1.txt"), "11");
    writeFile(dir.path("in/2.log"), "22");
    form.setText(ctl::kSplitFileTypes, "*.txt");
    run(dir.path("in"));

    EXPECT_EQ(listing(dir.path("in")), "1.txt 1/ 2.log");
    EXPECT_EQ(toUtf8(form.tag(ctl::kSplitButton)), dir.path("in"));
    EXPECT_EQ(toUtf8(state.splitSaveFolder), dir.path("in/1"));
    ASSERT_EQ(form.messages.size(), 1u);
    EXPECT_EQ(toUtf8(form.messages[0].text), question(dir.path("in/1")));

    // A folder with nothing to split ends without a question.
    writeFile(dir.path("none/x.log"), "x");
    run(dir.path("none"));
    EXPECT_EQ(form.messages.size(), 1u);
    EXPECT_EQ(caption(), texts::kSplitIdle);
}

TEST_F(SplitJobTest, StopWhileTheFolderIsListedSplitsNothing) {
    writeFile(dir.path("in/1.txt"), "11");
    writeFile(dir.path("in/2.txt"), "22");
    state.stopRequested = 1;  // left over from an earlier job: must not count
    run(dir.path("in"));
    EXPECT_EQ(listing(dir.path("in")), "1.txt 1/ 2.txt 2/");

    fs::remove_all(dir.path("in/1"));
    fs::remove_all(dir.path("in/2"));
    form.setText(ctl::kProgressText,
                 "");  // the split writes its progress here once listing is over
    bool clicked = false;
    form.onProcessEvents = [&] {
        if (!clicked && form.text(ctl::kProgressText).empty()) {
            clicked = true;
            run();
        }
    };
    run(dir.path("in"));
    EXPECT_TRUE(clicked);
    EXPECT_EQ(listing(dir.path("in")), "1.txt 2.txt");
    EXPECT_EQ(form.messages.size(), 2u);  // asked although stopped
}

TEST_F(SplitJobTest, QuestionCountsWhatFailed) {
    writeFile(dir.path("a.txt"), "abcd");
    JobContext refusingCtx{form, shell, refusing, systemClock(), state};
    splitJob(refusingCtx, {}, {fromUtf8(dir.path("a.txt")), fromUtf8(dir.path("missing.txt"))});

    ASSERT_EQ(form.messages.size(), 1u);
    // Each failure is named with the system's reason.
    EXPECT_EQ(toUtf8(form.messages[0].text),
              question(dir.path()) + "\n\n有 2 个分割文件未能写入。\n有 1 个源文件无法读取。\n" +
                  dir.path("a/a_1.txt") + "：Read-only file system\n" + dir.path("a/a_2.txt") +
                  "：Read-only file system\n" + dir.path("missing.txt") +
                  "：No such file or directory");
    EXPECT_EQ(readFile(dir.path("a.txt")), "abcd");

    // Parts written elsewhere, deletion refused: the source stays and the question says so.
    refusing.refuseWrites = false;
    refusing.refuseRemoves = true;
    form.setChecked(ctl::kDeleteAfterSplit, true);
    splitJob(refusingCtx, {}, {fromUtf8(dir.path("a.txt"))});
    ASSERT_EQ(form.messages.size(), 2u);
    EXPECT_EQ(toUtf8(form.messages[1].text), question(dir.path("a")) +
                                                 "\n\n有 1 个源文件未能删除。\n" +
                                                 dir.path("a.txt") + "：Permission denied");
    EXPECT_EQ(readFile(dir.path("a/a_1.txt")) + readFile(dir.path("a/a_2.txt")), "abcd");

    SplitSummary clean;
    EXPECT_EQ(toUtf8(splitCompletionText(fromUtf8("/x"), clean)), question("/x"));
}

TEST_F(SplitJobTest, PartsTooLargeToHoldAreNamedByNumberWithoutAborting) {
    writeFile(dir.path("huge.txt"), "");
    std::error_code error;
    std::filesystem::resize_file(dir.path("huge.txt"), uintmax_t(8) << 40, error);
    if (error) GTEST_SKIP() << "no sparse file of 8 TiB here";
    form.setChecked(ctl::kNameAfterText, true);
    form.setChecked(ctl::kDeleteAfterSplit, true);
    JobContext refusingCtx{form, shell, refusing, systemClock(), state};  // writes nothing
    splitJob(refusingCtx, {}, {fromUtf8(dir.path("huge.txt"))});
    ASSERT_EQ(form.messages.size(), 1u);
    EXPECT_EQ(toUtf8(form.messages[0].text),
              question(dir.path()) + "\n\n有 2 个分割文件未能写入。\n" +
                  dir.path("huge/huge_1.txt") + "：Read-only file system\n" +
                  dir.path("huge/huge_2.txt") + "：Read-only file system");
    EXPECT_TRUE(fileExists(dir.path("huge.txt")));
}

TEST_F(SplitJobTest, TheTemplateBoxNamesThePartsAndABadOneIsRefusedBeforeAnyIsWritten) {
    writeFile(dir.path("a.txt"), "abcdef");
    form.setText(ctl::kNameTemplate, "{name}.{ext}.{n:03}");
    run({}, {dir.path("a.txt")});
    EXPECT_EQ(readFile(dir.path("a/a.txt.001")) + readFile(dir.path("a/a.txt.002")), "abcdef");
    EXPECT_FALSE(fileExists(dir.path("a/a_1.txt")));

    // Refused with the engine's own reason, the box focused, no folder made.
    writeFile(dir.path("b.txt"), "abcdef");
    form.setText(ctl::kNameTemplate, "{name}_{x}.{ext}");
    run({}, {dir.path("b.txt")});
    ASSERT_EQ(form.messages.size(), 3u);  // the question follows, as after any refusal
    EXPECT_EQ(toUtf8(form.messages[1].text), texts::kNameTemplateUnknown);
    EXPECT_EQ(form.focus, ctl::kNameTemplate);
    EXPECT_FALSE(fileExists(dir.path("b")));

    // Naming after the text takes no template, not even a bad one.
    form.setChecked(ctl::kNameAfterText, true);
    run({}, {dir.path("b.txt")});
    ASSERT_EQ(form.messages.size(), 4u);
    EXPECT_EQ(toUtf8(form.messages[3].text), question(dir.path("b")));

    // The box's first item is the names of old, a chapter part's heading among them.
    form.setChecked(ctl::kNameAfterText, false);
    form.setSelectedIndex(ctl::kNameTemplate, 0);
    writeFile(dir.path("c.txt"), "第一章 风起\r\n正文\r\n");
    form.setChecked(ctl::kByChapters, true);
    run({}, {dir.path("c.txt")});
    EXPECT_TRUE(fileExists(dir.path("c/c_1 第一章 风起.txt")));
}

TEST_F(SplitJobTest, ASizePresetIsThePartSizeAndTheQuestionSaysWhatEachSourceGave) {
    std::error_code error;
    for (const char* name : {"big.bin", "small.bin"}) {
        writeFile(dir.path(name), "");
        fs::resize_file(dir.path(name), std::string_view(name) == "big.bin" ? 36000001 : 5, error);
        ASSERT_FALSE(error);
    }
    form.setChecked(ctl::kByBytes, true);
    form.setText(ctl::kPartSize, "1");  // 1 GB in the box: the preset counts instead
    form.setSelectedIndex(ctl::kSizePreset, 2);
    run({}, {dir.path("big.bin"), dir.path("small.bin")});
    EXPECT_EQ(fs::file_size(dir.path("big/big_1.bin")), 18000000u);
    EXPECT_EQ(fs::file_size(dir.path("big/big_2.bin")), 18000000u);
    EXPECT_EQ(fs::file_size(dir.path("big/big_3.bin")), 1u);
    ASSERT_EQ(form.messages.size(), 1u);
    EXPECT_EQ(toUtf8(form.messages[0].text),
              question(dir.path()) + "\n\n每份最多 18000000 字节：big.bin 3 份、small.bin 1 份");

    // The size box's own size again once the drop-down is back at its first item.
    form.setSelectedIndex(ctl::kSizePreset, 0);
    form.setText(ctl::kPartSize, "3");
    form.setSelectedIndex(ctl::kPartSizeUnit, 0);
    run({}, {dir.path("small.bin")});
    EXPECT_EQ(fs::file_size(dir.path("small/small_2.bin")), 2u);
    EXPECT_EQ(toUtf8(form.messages.back().text), question(dir.path("small")));
}

TEST_F(SplitJobTest, CloseDuringAJobStopsItAndWaits) {
    writeFile(dir.path("a.txt"), "aaaa");
    writeFile(dir.path("b.txt"), "bbbb");
    EXPECT_TRUE(onCloseRequest(form, state));  // idle: closes at once

    bool closeNow = true;
    form.onProcessEvents = [&] {
        if (state.closePending) return;
        closeNow = onCloseRequest(form, state);
        EXPECT_EQ(caption(), texts::kSplitStopping);
        EXPECT_FALSE(closeDueAfterJob(state));
    };
    run({}, {dir.path("a.txt"), dir.path("b.txt")});

    EXPECT_FALSE(closeNow);
    EXPECT_FALSE(fileExists(dir.path("b")));
    EXPECT_TRUE(form.messages.empty());  // no question for a window that is closing
    EXPECT_TRUE(closeDueAfterJob(state));
    EXPECT_TRUE(onCloseRequest(form, state));
}

TEST(DelimiterPrompt, AsksInTheInputDialogAndKeepsTheOldDelimiterOnCancel) {
    MemoryForm form(mainWindowSpec());
    FormSplitOptions options(form);
    FormSplitHost host(form);
    form.setTag(ctl::kDelimiterButton, "##");
    host.askDelimiter();  // cancelled
    EXPECT_EQ(options.delimiter(), "##");
    ASSERT_EQ(form.inputDialogs.size(), 1u);
    const InputDialogArgs& asked = form.inputDialogs[0];
    EXPECT_EQ(toUtf8(asked.title), texts::kDelimiterPromptTitle);
    EXPECT_EQ(asked.initialText, "##");
    EXPECT_FALSE(asked.hintGiven);
    EXPECT_TRUE(asked.inputMode);
    EXPECT_EQ(asked.importButtons, 0);

    form.inputAnswers.push_back(Text());  // OK on an empty body
    host.askDelimiter();
    EXPECT_EQ(options.delimiter(), "");
}

}  // namespace
}  // namespace pw::test
