#include <QAbstractButton>
#include <QCheckBox>
#include <QDir>
#include <QLineEdit>

#include "app/control_table.h"
#include "gui_fixture.h"
#include "text/system_texts.h"

namespace pw::test {
namespace {

using MergeWindow = GuiTest;

TEST_F(MergeWindow, AClickAsksForAFolderAndMergesItAndItsSubfolders) {
    writeFile(dir.path("top/in/1.txt"), "1");
    writeFile(dir.path("top/in/2.txt"), "2");
    writeFile(dir.path("top/in/sub/3.txt"), "3");
    widget<QCheckBox>(ctl::kIncludeSubfolders)->click();
    bool typesShownAtChooser = true;
    shell.onRequest = [&](const ScriptedShell::Request&) {
        typesShownAtChooser = widget(ctl::kMergeFileTypes)->isVisible();
    };
    program.window.show();
    shell.folderAnswers.push_back(fromUtf8(dir.path("top/in")));
    widget<QAbstractButton>(ctl::kMergeButton)->click();

    ASSERT_EQ(shell.requests.size(), 1u);
    EXPECT_EQ(shell.requests[0].kind, ScriptedShell::Request::Folder);
    EXPECT_FALSE(typesShownAtChooser);
    EXPECT_TRUE(widget(ctl::kMergeFileTypes)->isVisible());
    // 合并到父目录 is on as the window opens: each output one folder up.
    EXPECT_EQ(readFile(dir.path("top/1等2个文件.txt")), "12");
    EXPECT_EQ(readFile(dir.path("top/in/3等1个文件.txt")), "3");
    EXPECT_TRUE(boxes.messages.empty());  // no question for a folder from the chooser
    EXPECT_EQ(text(ctl::kMergeButton), texts::kMergeIdle);
    EXPECT_EQ(text(ctl::kProgressText), "(1/1)3.txt");
}

TEST_F(MergeWindow, SecondClickStopsAfterTheCurrentFileKeepingAValidOutput) {
    for (int i = 1; i <= 4; ++i) writeFile(dir.path("in/" + std::to_string(i) + ".txt"), "xy");
    auto* button = widget<QAbstractButton>(ctl::kMergeButton);
    std::string captionAfterStop;
    bool splitEnabled = true;
    shell.onRequest = [&](const ScriptedShell::Request&) {
        // Waits in the queue until the job lets events run.
        QMetaObject::invokeMethod(button, &QAbstractButton::click, Qt::QueuedConnection);
        QMetaObject::invokeMethod(
            &program.window,
            [&] {
                captionAfterStop = text(ctl::kMergeButton);
                splitEnabled = widget(ctl::kSplitButton)->isEnabled();
            },
            Qt::QueuedConnection);
    };
    shell.folderAnswers.push_back(fromUtf8(dir.path("in")));
    button->click();

    EXPECT_EQ(captionAfterStop, texts::kMergeStopping);
    EXPECT_FALSE(splitEnabled);
    EXPECT_TRUE(widget(ctl::kSplitButton)->isEnabled());
    EXPECT_EQ(shell.requests.size(), 1u);
    EXPECT_EQ(readFile(dir.path("1等4个文件.txt")), "xy");
    EXPECT_EQ(text(ctl::kMergeButton), texts::kMergeIdle);
}

TEST_F(MergeWindow, TheDataFileChooserFillsThePathBox) {
    widget<QCheckBox>(ctl::kJoinWithData)->click();
    widget<QAbstractButton>(ctl::kJoinWithFile)->click();
    shell.pathAnswers.push_back(fromUtf8(dir.path("中间.bin")));
    widget<QAbstractButton>(ctl::kChooseJoinFile)->click();
    ASSERT_EQ(shell.requests.size(), 1u);
    EXPECT_EQ(toUtf8(shell.requests[0].title), texts::kChooseMergeDataTitle);
    EXPECT_EQ(toUtf8(shell.requests[0].folder), QDir::homePath().toStdString() + "/1.txt");
    EXPECT_EQ(widget<QLineEdit>(ctl::kJoinFilePath)->text().toStdString(), dir.path("中间.bin"));

    widget<QAbstractButton>(ctl::kChooseJoinFile)->click();  // cancelled: unchanged
    EXPECT_EQ(text(ctl::kJoinFilePath), dir.path("中间.bin"));
}

}  // namespace
}  // namespace pw::test
