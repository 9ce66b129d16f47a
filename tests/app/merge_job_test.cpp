#include <gtest/gtest.h>

#include <filesystem>

#include "app/control_table.h"
#include "app/form_options.h"
#include "app/join_job.h"
#include "app/memory_form.h"
#include "app/merge_job.h"
#include "app/split_job.h"
#include "split/split_files.h"
#include "support/refusing_files.h"
#include "support/scripted_shell.h"
#include "support/temp_dir.h"
#include "support/test_host.h"
#include "support/test_options.h"
#include "text/system_texts.h"

namespace pw::test {
namespace {

class MergeJobTest : public ::testing::Test {
  protected:
    MergeJobTest() : form(mainWindowSpec()) {}

    void run(const std::vector<std::string>& natives = {}, MergeItems kind = MergeItems::Files,
             DoneQuestion question = DoneQuestion::Ask) {
        std::vector<Text> items;
        for (const auto& n : natives) items.push_back(fromUtf8(n));
        mergeJob(ctx, {}, items, kind, question);
    }
    std::string caption() const { return toUtf8(form.text(ctl::kMergeButton)); }
    std::string question(const std::string& folder) const {
        return std::string(texts::kMergeDoneOpenFolder) + folder;
    }

    TempDir dir;
    MemoryForm form;
    ScriptedShell shell;
    AppState state;
    JobContext ctx{form, shell, posixFileSystem(), systemClock(), state};
};

TEST_F(MergeJobTest, ChooserPathRemembersTheFolderAndAsksNoQuestion) {
    writeFile(dir.path("d/1.txt"), "1");
    writeFile(dir.path("d/2.txt"), "2");
    form.setTag(ctl::kSplitButton, fromUtf8(dir.path("split")));
    form.setText(ctl::kMergeFileTypes, "*.txt");
    std::string captionWhileAsked;
    bool typesShownWhileAsked = true, splitEnabledWhileAsked = true;
    shell.onRequest = [&](const ScriptedShell::Request&) {
        captionWhileAsked = caption();
        typesShownWhileAsked = form.visible(ctl::kMergeFileTypes);
        splitEnabledWhileAsked = form.enabled(ctl::kSplitButton);
    };
    run();  // cancelled

    ASSERT_EQ(shell.requests.size(), 1u);
    EXPECT_EQ(shell.requests[0].kind, ScriptedShell::Request::Folder);
    EXPECT_EQ(toUtf8(shell.requests[0].folder), dir.path("split"));
    EXPECT_EQ(toUtf8(shell.requests[0].title),
              "选择一个文件夹，将读入文件夹下的所有 *.txt "
              "文件进行合并。你也可以直接拖放要合并的文件或文件夹到软件");
    EXPECT_EQ(captionWhileAsked, texts::kMergeRunning);
    EXPECT_FALSE(typesShownWhileAsked);
    EXPECT_FALSE(splitEnabledWhileAsked);
    EXPECT_EQ(caption(), texts::kMergeIdle);
    EXPECT_TRUE(form.visible(ctl::kMergeFileTypes));
    EXPECT_TRUE(form.enabled(ctl::kSplitButton));
    EXPECT_TRUE(form.messages.empty());

    shell.folderAnswers.push_back(fromUtf8(dir.path("d")));
    run();
    EXPECT_EQ(readFile(dir.path("1等2个文件.txt")), "12");
    EXPECT_EQ(toUtf8(form.tag(ctl::kMergeButton)), dir.path("d"));
    EXPECT_TRUE(form.messages.empty());  // no question from the chooser

    // The next chooser starts from the folder last merged.
    run();
    EXPECT_EQ(toUtf8(shell.requests[2].folder), dir.path("d"));

    // Without a question, a failure is still said, with OK.
    RefusingFiles noNewFiles;
    JobContext failing{form, shell, noNewFiles, systemClock(), state};
    shell.folderAnswers.push_back(fromUtf8(dir.path("d")));
    mergeJob(failing, {}, {}, MergeItems::Files, DoneQuestion::Ask);
    ASSERT_EQ(form.messages.size(), 1u);
    EXPECT_EQ(toUtf8(form.messages[0].text), "合并完毕！\n\n有 1 个合并文件未能写入。\n" +
                                                 dir.path("1等2个文件.txt") +
                                                 "：Read-only file system");
    EXPECT_EQ(form.messages[0].buttons, Buttons::Ok);
}

TEST_F(MergeJobTest, QuestionNamesTheFolderHoldingTheOutput) {
    writeFile(dir.path("a/b/1.txt"), "1");
    writeFile(dir.path("a/b/2.txt"), "2");
    form.answers = {Answer::Yes};
    std::string captionAtQuestion;
    form.onMessage = [&](const MemoryForm::Message&) { captionAtQuestion = caption(); };
    run({dir.path("a/b/1.txt"), dir.path("a/b/2.txt")});

    EXPECT_TRUE(fileExists(dir.path("a/1等2个文件.txt")));
    ASSERT_EQ(form.messages.size(), 1u);
    EXPECT_EQ(toUtf8(form.messages[0].text), question(dir.path("a")));
    EXPECT_EQ(form.messages[0].buttons, Buttons::YesNo);
    EXPECT_EQ(captionAtQuestion, texts::kMergeIdle);
    ASSERT_EQ(shell.opened.size(), 1u);
    EXPECT_EQ(toUtf8(shell.opened[0].path), dir.path("a"));
    EXPECT_TRUE(shell.opened[0].newWindow && shell.opened[0].asFolder);

    // Without the parent rule, beside the files; a dropped folder names itself.
    form.setChecked(ctl::kMergeIntoParent, false);
    run({dir.path("a/b/1.txt"), dir.path("a/b/2.txt")});
    EXPECT_EQ(toUtf8(form.messages[1].text), question(dir.path("a/b")));
    EXPECT_TRUE(fileExists(dir.path("a/b/1等2个文件.txt")));
    run({dir.path("a/b")}, MergeItems::Folders);
    EXPECT_EQ(toUtf8(form.messages[2].text), question(dir.path("a/b")));
    EXPECT_EQ(shell.opened.size(), 1u);  // answered No

    // Suppressed: no question, and nothing failed, so no message either.
    run({dir.path("a/b/1.txt")}, MergeItems::Files, DoneQuestion::Skip);
    EXPECT_EQ(form.messages.size(), 3u);
    EXPECT_TRUE(fileExists(dir.path("a/b/1等1个文件.txt")));

    // Failures are added to the question.
    run({dir.path("a/b/1.txt"), dir.path("a/b/none.txt")});
    EXPECT_EQ(toUtf8(form.messages[3].text),
              question(dir.path("a/b")) + "\n\n有 1 个源文件无法读取。\n" +
                  dir.path("a/b/none.txt") + "：No such file or directory");
}

TEST_F(MergeJobTest, AChapterSplitsFolderGivesBackTheOriginalAndTheQuestionSaysSo) {
    std::string text = "\xEF\xBB\xBF";
    for (int i = 1; i <= 5; ++i)
        text += "第" + std::to_string(i) + "章 标题\n内容内容内容 " + std::to_string(i) + "\n";
    writeFile(dir.path("novel.txt"), text);
    TestSplitOptions split;
    split.set.mode = SplitMode::Chapters;
    split.set.writeManifest = true;
    TestJobHost host;
    TestSplitHost splitHost(split);
    SplitContext splitting{{host, posixFileSystem(), systemClock()}, split, splitHost};
    ASSERT_EQ(splitFiles(splitting, {fromUtf8(dir.path("novel.txt"))}).partsWritten, 5);
    std::filesystem::rename(dir.path("novel.txt"), dir.path("source.txt"));
    writeFile(dir.path("novel/novel_6 第6章 旧.txt"), "left from an earlier split");

    // Every part opens with a mark the split added: only a join gives the original's bytes.
    run({dir.path("novel")}, MergeItems::Folders);
    EXPECT_EQ(readFile(dir.path("novel.txt")), text);
    ASSERT_EQ(form.messages.size(), 1u);
    EXPECT_EQ(toUtf8(form.messages[0].text),
              question(dir.path()) + "\n按校验清单还原了 1 个原文件（已核对 SHA-256）：novel.txt" +
                  "\n\n有 1 个编号文件不在校验清单中（可能是旧分割留下的），未合并也未删除：" +
                  "novel_6 第6章 旧.txt");

    // With encoding handling, the listed parts' texts are merged; the leftover is not.
    form.setChecked(ctl::kHandleEncoding, true);
    run({dir.path("novel")}, MergeItems::Folders);
    EXPECT_EQ(readFile(dir.path("novel_1 第1章 标题等5个文件.txt")), text);
    EXPECT_EQ(toUtf8(form.messages[1].text).find("按校验清单"), std::string::npos);

    // A join names the leftover too, and is not stopped by it.
    joinJob(ctx, fromUtf8(dir.path("novel/novel.sha256")));
    EXPECT_EQ(readFile(dir.path("novel (2).txt")), text);
    EXPECT_NE(toUtf8(form.messages[2].text).find("未合并也未删除：novel_6 第6章 旧.txt"),
              std::string::npos);

    // A manifest naming a file outside its folder: the folder is not merged, the line is named.
    std::string manifest = readFile(dir.path("novel/novel.sha256"));
    const size_t name = manifest.find("  novel_2");
    manifest.replace(name + 2, manifest.find('\n', name) - name - 2, "../source.txt");
    writeFile(dir.path("novel/novel.sha256"), manifest);
    form.setChecked(ctl::kHandleEncoding, false);
    run({dir.path("novel")}, MergeItems::Folders);
    ASSERT_EQ(form.messages.size(), 4u);
    EXPECT_NE(toUtf8(form.messages[3].text).find("novel.sha256：校验清单无法使用（第 "),
              std::string::npos)
        << toUtf8(form.messages[3].text);
    EXPECT_FALSE(fileExists(dir.path("novel (3).txt")));
}

TEST_F(MergeJobTest, ADamagedSetWithRecoveryFilesIsRepairedWhenTheUserSaysYes) {
    std::string data;
    for (unsigned i = 0; i < 120000; ++i) data += char(i * 13 % 251);
    writeFile(dir.path("d.bin"), data);
    TestSplitOptions split;
    split.set.partCount = 4;
    split.set.recovery = {1, 0};
    TestJobHost host;
    TestSplitHost splitHost(split);
    SplitContext splitting{{host, posixFileSystem(), systemClock()}, split, splitHost};
    ASSERT_EQ(splitFiles(splitting, {fromUtf8(dir.path("d.bin"))}).partsWritten, 4);
    std::filesystem::rename(dir.path("d.bin"), dir.path("source.bin"));
    const std::string lost = readFile(dir.path("d/d_3.bin"));
    std::filesystem::remove(dir.path("d/d_3.bin"));

    // No: nothing is rebuilt, and the set cannot be joined.
    form.answers.push_back(Answer::No);
    run({dir.path("d")}, MergeItems::Folders);
    ASSERT_GE(form.messages.size(), 1u);
    EXPECT_EQ(toUtf8(form.messages[0].text), "可用恢复文件修复 1 个分割文件，是否修复？");
    EXPECT_EQ(form.messages[0].buttons, Buttons::YesNo);
    EXPECT_FALSE(fileExists(dir.path("d/d_3.bin")));
    EXPECT_FALSE(fileExists(dir.path("d.bin")));

    // Yes: the part comes back, and the folder's set is joined into the original.
    const size_t before = form.messages.size();
    form.answers.push_back(Answer::Yes);
    run({dir.path("d")}, MergeItems::Folders);
    EXPECT_EQ(toUtf8(form.messages[before].text), "可用恢复文件修复 1 个分割文件，是否修复？");
    EXPECT_TRUE(readFile(dir.path("d/d_3.bin")) == lost);
    EXPECT_TRUE(readFile(dir.path("d.bin")) == data);
}

TEST_F(MergeJobTest, SecondClickStopsBetweenFoldersAndTheQuestionIsStillAsked) {
    writeFile(dir.path("x/1.txt"), "1");
    writeFile(dir.path("x/2.txt"), "2");
    writeFile(dir.path("y/3.txt"), "3");
    form.setChecked(ctl::kMergeIntoParent, false);
    std::string captionAfterClick;
    bool splitButtonEnabled = true;
    form.onProcessEvents = [&] {
        if (!captionAfterClick.empty()) return;
        splitButtonEnabled = form.enabled(ctl::kSplitButton);
        run();  // the click arrives while the job lets events run
        captionAfterClick = caption();
    };
    run({dir.path("x"), dir.path("y")}, MergeItems::Folders);

    EXPECT_EQ(captionAfterClick, texts::kMergeStopping);
    EXPECT_FALSE(splitButtonEnabled);
    EXPECT_TRUE(shell.requests.empty());  // the nested call only asked for a stop
    EXPECT_EQ(readFile(dir.path("x/1等2个文件.txt")), "1");  // stopped after the first file
    EXPECT_EQ(listing(dir.path("y")), "3.txt");              // the next folder never started
    EXPECT_EQ(caption(), texts::kMergeIdle);
    ASSERT_EQ(form.messages.size(), 1u);
    EXPECT_EQ(toUtf8(form.messages[0].text), question(dir.path("x")));
    EXPECT_EQ(state.jobsRunning, 0);

    // A stop left over from earlier does not stop the next merge.
    form.onProcessEvents = nullptr;
    state.stopRequested = 1;
    run({dir.path("y")}, MergeItems::Folders);
    EXPECT_TRUE(fileExists(dir.path("y/3等1个文件.txt")));
}

TEST_F(MergeJobTest, OneJobAtATimeAndNoQuestionWhileClosing) {
    // In a subfolder: the merge writes into the folder above the file's.
    writeFile(dir.path("d/s.txt"), "abcd");
    form.setText(ctl::kPartCount, "2");
    bool mergeEnabledDuringSplit = true;
    form.onProcessEvents = [&] { mergeEnabledDuringSplit = form.enabled(ctl::kMergeButton); };
    splitJob(ctx, {}, {fromUtf8(dir.path("d/s.txt"))});
    EXPECT_FALSE(mergeEnabledDuringSplit);
    EXPECT_TRUE(form.enabled(ctl::kMergeButton));

    form.onProcessEvents = [&] { state.closePending = true; };
    const size_t asked = form.messages.size();
    run({dir.path("d/s.txt")});
    EXPECT_EQ(form.messages.size(), asked);
    EXPECT_TRUE(fileExists(dir.path("s等1个文件.txt")));
}

TEST_F(MergeJobTest, FileChooserFillsTheIntermediateDataPath) {
    form.setText(ctl::kJoinFilePath, fromUtf8(dir.path("old.bin")));
    chooseMergeDataFile(ctx);  // cancelled
    ASSERT_EQ(shell.requests.size(), 1u);
    EXPECT_EQ(shell.requests[0].kind, ScriptedShell::Request::File);
    EXPECT_EQ(toUtf8(shell.requests[0].title), "选择一个文件作为合并中间数据");
    EXPECT_EQ(toUtf8(shell.requests[0].filter), "全部文件(*.*)|*.*");
    EXPECT_EQ(toUtf8(shell.requests[0].folder), dir.path("old.bin"));
    EXPECT_EQ(toUtf8(form.text(ctl::kJoinFilePath)), dir.path("old.bin"));

    shell.pathAnswers.push_back(fromUtf8(dir.path("新.bin")));
    chooseMergeDataFile(ctx);
    EXPECT_EQ(toUtf8(form.text(ctl::kJoinFilePath)), dir.path("新.bin"));
}

}  // namespace
}  // namespace pw::test

namespace pw::test {
namespace {

// The join option as the window's three controls give it: only a ticked box with a chosen radio
// joins with anything.
TEST(FormMergeOptionsTest, JoinsWithDataOnlyWhenTheBoxIsTickedAndARadioChosen) {
    MemoryForm form(mainWindowSpec());
    FormMergeOptions options(form);
    form.setChecked(ctl::kJoinWithData, true);
    form.setChecked(ctl::kJoinWithText, false);
    form.setChecked(ctl::kJoinWithFile, false);
    EXPECT_EQ(options.joinWith(), JoinWith::Nothing);
    form.setChecked(ctl::kJoinWithFile, true);
    EXPECT_EQ(options.joinWith(), JoinWith::File);
    form.setChecked(ctl::kJoinWithFile, false);
    form.setChecked(ctl::kJoinWithText, true);
    EXPECT_EQ(options.joinWith(), JoinWith::Text);
    form.setChecked(ctl::kJoinWithData, false);
    EXPECT_EQ(options.joinWith(), JoinWith::Nothing);
}

}  // namespace
}  // namespace pw::test
