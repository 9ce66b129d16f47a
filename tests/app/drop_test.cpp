#include <gtest/gtest.h>

#include "app/control_table.h"
#include "app/drop_callbacks.h"
#include "app/memory_form.h"
#include "app/merge_job.h"
#include "support/scripted_shell.h"
#include "support/temp_dir.h"
#include "text/system_texts.h"

namespace pw::test {
namespace {

struct Call {
    int count, index;
    std::string path, extension;
    bool operator==(const Call&) const = default;
};

TEST(DropRegistry, AWindowKeepsItsFirstCallbackUntilItIsRemoved) {
    DropRegistry registry;
    int a = 0, b = 0;
    int window = 0, other = 0;
    EXPECT_TRUE(registry.add({&window, [&](int, int, const Text&, const Text&) { ++a; }, false}));
    EXPECT_FALSE(registry.add({&window, [&](int, int, const Text&, const Text&) { ++b; }, true}));
    EXPECT_EQ(registry.deliver(&window, {"/x"}), 0);
    EXPECT_EQ(a, 1);
    EXPECT_EQ(b, 0);

    EXPECT_EQ(registry.deliver(&other, {"/x"}), 1);  // no record: nothing runs
    EXPECT_FALSE(registry.remove(&other));
    const auto removed = registry.remove(&window);
    ASSERT_TRUE(removed);
    EXPECT_FALSE(removed->savedAcceptDrops);  // the first record's
    EXPECT_EQ(registry.find(&window), nullptr);
    EXPECT_EQ(registry.deliver(&window, {"/x"}), 1);
    EXPECT_EQ(a, 1);
    EXPECT_EQ(registry.drops(), 1u);
}

TEST(DropRegistry, EveryPathArrivesWholeInOrderWithTheIndexesOfTheWholeDrop) {
    DropRegistry registry;
    std::vector<Call> calls;
    int window = 0;
    registry.add({&window, [&](int count, int index, const Text& path, const Text& ext) {
                      calls.push_back({count, index, toUtf8(path), toUtf8(ext)});
                  }});
    const std::string deep = "/" + std::string(1500, 'd') + "/" + std::string(200, 'f') + ".bin";
    registry.deliver(&window, {fromUtf8("/data/notes.txt"), "", fromUtf8("/dir.old/readme"),
                               fromUtf8(deep), fromUtf8("/数据/说明"), fromUtf8("/书.tar.gz")});

    const std::vector<Call> expected = {
        {6, 1, "/data/notes.txt", "txt"},
        {6, 3, "/dir.old/readme", "old/readme"},
        {6, 4, deep, "bin"},  // never cut to a fixed buffer
        {6, 5, "/数据/说明", "/数据/说明"},
        {6, 6, "/书.tar.gz", "gz"},
    };
    EXPECT_EQ(calls, expected);
}

// Drops on both areas against the in-memory window and real files.
class DropJobs : public ::testing::Test {
  protected:
    DropJobs() : form(mainWindowSpec()) {
        form.setText(ctl::kPartCount, "2");
        state.dropRegistry.add(
            {&splitArea, [this](int count, int index, const Text& p, const Text& e) {
                 onSplitDrop(ctx, count, index, p, e);
             }});
        state.dropRegistry.add(
            {&mergeArea, [this](int count, int index, const Text& p, const Text& e) {
                 onMergeDrop(ctx, count, index, p, e);
             }});
    }

    void dropOn(const int& area, const std::vector<std::string>& names) {
        std::vector<Text> paths;
        for (const auto& n : names) paths.push_back(n.empty() ? Text() : fromUtf8(dir.path(n)));
        state.dropRegistry.deliver(&area, paths);
    }
    void drop(const std::vector<std::string>& names) { dropOn(splitArea, names); }
    void dropOnMerge(const std::vector<std::string>& names) { dropOn(mergeArea, names); }
    std::string message(size_t i) const { return toUtf8(form.messages.at(i).text); }
    static std::string completion(const std::string& folder) {
        return std::string(texts::kSplitDoneOpenFolder) + folder;
    }
    static std::string merged(const std::string& folder) {
        return std::string(texts::kMergeDoneOpenFolder) + folder;
    }
    static std::string filesQuestion(int n) {
        return "确定分割被拖放的 " + std::to_string(n) + " 个文件吗？";
    }

    const int splitArea = 0, mergeArea = 0;
    TempDir dir;
    MemoryForm form;
    ScriptedShell shell;
    AppState state;
    JobContext ctx{form, shell, posixFileSystem(), systemClock(), state};
};

using SplitDrop = DropJobs;
using MergeDrop = DropJobs;

TEST_F(SplitDrop, OneFileIsConfirmedThenSplitAndTheCompletionQuestionFollows) {
    writeFile(dir.path("a.txt"), "abcd");
    form.answers = {Answer::Ok};
    drop({"a.txt"});

    ASSERT_EQ(form.messages.size(), 2u);
    EXPECT_EQ(message(0), filesQuestion(1));
    EXPECT_EQ(form.messages[0].buttons, Buttons::OkCancel);
    EXPECT_TRUE(form.messages[0].title.empty());
    EXPECT_EQ(readFile(dir.path("a/a_1.txt")), "ab");
    EXPECT_EQ(readFile(dir.path("a/a_2.txt")), "cd");
    EXPECT_EQ(message(1), completion(dir.path("a")));
    EXPECT_TRUE(shell.requests.empty());

    // Cancel does nothing at all.
    writeFile(dir.path("b.txt"), "abcd");
    drop({"b.txt"});
    EXPECT_EQ(form.messages.size(), 3u);
    EXPECT_FALSE(fileExists(dir.path("b")));
    EXPECT_EQ(toUtf8(form.text(ctl::kSplitButton)), texts::kSplitIdle);
}

TEST_F(SplitDrop, OneFolderSplitsItsFilesOfTheChosenTypes) {
    writeFile(dir.path("in/1.txt"), "11");
    writeFile(dir.path("in/2.log"), "22");
    form.setText(ctl::kSplitFileTypes, "*.txt");
    form.answers = {Answer::Ok};
    drop({"in"});

    ASSERT_EQ(form.messages.size(), 2u);
    EXPECT_EQ(message(0), texts::kConfirmSplitDroppedFolder);
    EXPECT_EQ(form.messages[0].buttons, Buttons::OkCancel);
    EXPECT_EQ(listing(dir.path("in")), "1.txt 1/ 2.log");
    EXPECT_EQ(toUtf8(form.tag(ctl::kSplitButton)), dir.path("in"));
    EXPECT_EQ(message(1), completion(dir.path("in/1")));

    // Cancelled, the folder is left alone and not remembered.
    form.setTag(ctl::kSplitButton, "");
    form.setText(ctl::kSplitFileTypes, "*.*");
    drop({"in"});
    EXPECT_EQ(form.messages.size(), 3u);
    EXPECT_EQ(listing(dir.path("in")), "1.txt 1/ 2.log");
    EXPECT_TRUE(form.tag(ctl::kSplitButton).empty());

    // A path whose kind cannot be read counts as a folder: the folder question, nothing to split,
    // and a completion question that names the folder that could not be listed.
    form.answers = {Answer::Ok, Answer::No};
    drop({"gone"});
    ASSERT_EQ(form.messages.size(), 5u);
    EXPECT_EQ(message(3), texts::kConfirmSplitDroppedFolder);
    EXPECT_EQ(message(4), completion(dir.path("gone")) + "\n\n有 1 个源文件无法读取。\n" +
                              dir.path("gone") + "：No such file or directory");
    EXPECT_FALSE(fileExists(dir.path("gone")));
}

TEST_F(SplitDrop, SeveralItemsCollectTheFilesAndPassFoldersOver) {
    writeFile(dir.path("a.txt"), "aa");
    writeFile(dir.path("sub/x.txt"), "xx");
    writeFile(dir.path("b.txt"), "bb");
    form.answers = {Answer::Ok};
    drop({"a.txt", "sub", "b.txt"});

    ASSERT_EQ(form.messages.size(), 2u);
    EXPECT_EQ(message(0), filesQuestion(2));
    EXPECT_EQ(readFile(dir.path("a/a_1.txt")), "a");
    EXPECT_EQ(readFile(dir.path("b/b_2.txt")), "b");
    EXPECT_EQ(listing(dir.path("sub")), "x.txt");

    // Only folders: a question about 0 files, then OK asks for files as a click would.
    form.answers = {Answer::Ok};
    drop({"sub", "a"});
    ASSERT_EQ(form.messages.size(), 3u);
    EXPECT_EQ(message(2), filesQuestion(0));
    ASSERT_EQ(shell.requests.size(), 1u);
    EXPECT_EQ(shell.requests[0].kind, ScriptedShell::Request::Files);
    EXPECT_EQ(toUtf8(shell.requests[0].title), texts::kChooseSplitFilesTitle);
    EXPECT_EQ(toUtf8(form.text(ctl::kSplitButton)), texts::kSplitIdle);
}

TEST_F(SplitDrop, PassedOverPathsNeitherStartNorLeakIntoTheNextDrop) {
    writeFile(dir.path("a.txt"), "aa");
    writeFile(dir.path("b.txt"), "bb");
    // The last path passed over: no call sees the last index, so nothing is asked.
    drop({"a.txt", ""});
    EXPECT_TRUE(form.messages.empty());

    // The next drop's first path passed over: it still starts afresh.
    form.answers = {Answer::Ok};
    drop({"", "b.txt"});
    ASSERT_EQ(form.messages.size(), 2u);
    EXPECT_EQ(message(0), filesQuestion(1));
    EXPECT_TRUE(fileExists(dir.path("b/b_1.txt")));
    EXPECT_FALSE(fileExists(dir.path("a")));
}

TEST_F(SplitDrop, DropsWhileAJobRunsAreIgnoredWithoutAQuestion) {
    writeFile(dir.path("a.txt"), "aa");
    writeFile(dir.path("b.txt"), "bb");
    writeFile(dir.path("c.txt"), "cc");
    writeFile(dir.path("in/d.txt"), "dd");
    size_t messagesInside = 0;
    bool dropped = false;
    form.onProcessEvents = [&] {
        if (dropped) return;
        dropped = true;
        form.answers = {Answer::Ok, Answer::Ok};  // would start jobs, were they asked
        drop({"c.txt"});
        drop({"in"});
        drop({"c.txt", "in"});
        messagesInside = form.messages.size();
    };
    form.answers = {Answer::Ok};
    drop({"a.txt", "b.txt"});

    EXPECT_TRUE(dropped);
    EXPECT_EQ(messagesInside, 1u);  // only the outer drop's question
    EXPECT_FALSE(fileExists(dir.path("c")));
    EXPECT_FALSE(fileExists(dir.path("in/d")));
    // The running job went on with its own files and was not stopped.
    EXPECT_TRUE(fileExists(dir.path("a/a_2.txt")));
    EXPECT_TRUE(fileExists(dir.path("b/b_2.txt")));
    ASSERT_EQ(form.messages.size(), 2u);
    EXPECT_EQ(message(1), completion(dir.path()));
    EXPECT_EQ(state.jobsRunning, 0);
}

TEST_F(MergeDrop, FilesBecomeOneBatchWithoutAQuestionThenTheFoldersAreMerged) {
    writeFile(dir.path("w/a.txt"), "A");
    writeFile(dir.path("w/b.txt"), "B");
    writeFile(dir.path("w/f/1.txt"), "1");
    writeFile(dir.path("w/f/2.txt"), "2");
    form.answers = {Answer::Ok};
    dropOnMerge({"w/a.txt", "w/f", "w/b.txt"});

    ASSERT_EQ(form.messages.size(), 2u);
    EXPECT_EQ(message(0), "确定合并被拖放的 3 个吗？");
    EXPECT_EQ(form.messages[0].buttons, Buttons::OkCancel);
    // One folder up, as 选择框父目录保存 is checked.
    EXPECT_EQ(readFile(dir.path("a等2个文件.txt")), "AB");
    EXPECT_EQ(readFile(dir.path("w/1等2个文件.txt")), "12");
    EXPECT_EQ(message(1), merged(dir.path("w")));
    EXPECT_EQ(form.messages[1].buttons, Buttons::YesNo);

    // Without it, the question names the dropped folder; files alone get their own question.
    form.setChecked(ctl::kMergeIntoParent, false);
    form.answers = {Answer::Ok};
    dropOnMerge({"w/f"});
    EXPECT_EQ(readFile(dir.path("w/f/1等2个文件.txt")), "12");
    ASSERT_EQ(form.messages.size(), 4u);
    EXPECT_EQ(message(2), "确定合并被拖放的 1 个吗？");
    EXPECT_EQ(message(3), merged(dir.path("w/f")));
    form.answers = {Answer::Ok};
    dropOnMerge({"w/b.txt", "w/a.txt"});
    EXPECT_EQ(readFile(dir.path("w/b等2个文件.txt")), "BA");
    ASSERT_EQ(form.messages.size(), 6u);
    EXPECT_EQ(message(5), merged(dir.path("w")));

    // Cancel merges nothing.
    dropOnMerge({"w/a.txt", "w/b.txt"});
    EXPECT_EQ(form.messages.size(), 7u);
    EXPECT_FALSE(fileExists(dir.path("w/a等2个文件.txt")));
}

TEST_F(MergeDrop, AStopDuringTheFilesPassesTheFoldersOverButAnOldStopDoesNot) {
    writeFile(dir.path("w/a.txt"), "A");
    writeFile(dir.path("w/b.txt"), "B");
    writeFile(dir.path("w/f/1.txt"), "1");
    writeFile(dir.path("c.txt"), "C");
    bool clicked = false;
    form.onProcessEvents = [&] {
        if (clicked) return;
        clicked = true;
        // Drops on either area start nothing while the merge runs; the click stops it.
        form.answers.push_front(Answer::Ok);
        dropOnMerge({"c.txt"});
        drop({"c.txt"});
        mergeJob(ctx, {}, {}, MergeItems::Files, DoneQuestion::Ask);
    };
    form.answers = {Answer::Ok};
    dropOnMerge({"w/a.txt", "w/b.txt", "w/f"});

    EXPECT_TRUE(clicked);
    ASSERT_EQ(form.messages.size(), 1u);  // the drop's question only
    EXPECT_FALSE(fileExists(dir.path("w/1等1个文件.txt")));
    EXPECT_FALSE(fileExists(dir.path("c")));
    EXPECT_EQ(toUtf8(form.text(ctl::kMergeButton)), texts::kMergeIdle);

    // The stop is left set; a later drop of folders alone is merged all the same.
    form.onProcessEvents = nullptr;
    form.answers = {Answer::Ok};
    dropOnMerge({"w/f"});
    EXPECT_EQ(readFile(dir.path("w/1等1个文件.txt")), "1");
    EXPECT_EQ(form.messages.size(), 3u);
}

}  // namespace
}  // namespace pw::test
