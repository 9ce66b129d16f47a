#include <gtest/gtest.h>

#include "app/input_dialog.h"
#include "support/scripted_shell.h"
#include "support/temp_dir.h"
#include "text/codepage.h"
#include "text/system_texts.h"

namespace pw::test {
namespace {

TEST(InputDialogRequest, DefaultsDependOnTheMode) {
    InputDialogArgs args;
    args.margin = -3;
    args.importButtons = 2;
    InputDialogRequest r = makeInputDialogRequest(args);
    EXPECT_EQ(r.hint, "");  // no hint given at all
    EXPECT_EQ(toUtf8(r.title), texts::kInputTitle);
    EXPECT_FALSE(r.readOnly);
    EXPECT_EQ(r.margin, -3);
    EXPECT_EQ(marginInUse(r.margin), 5);
    EXPECT_EQ(marginInUse(1), 1);
    EXPECT_TRUE(showsPathImport(r.importButtons));
    EXPECT_FALSE(showsContentImport(r.importButtons));

    args.hintGiven = true;
    EXPECT_EQ(toUtf8(makeInputDialogRequest(args).hint), texts::kInputHint);
    args.inputMode = false;
    r = makeInputDialogRequest(args);
    EXPECT_EQ(toUtf8(r.hint), texts::kInformationHint);
    EXPECT_EQ(toUtf8(r.title), texts::kInfoTitle);
    EXPECT_TRUE(r.readOnly);
    args.hint = "h";
    args.title = "t";
    r = makeInputDialogRequest(args);
    EXPECT_EQ(r.hint + r.title, "ht");
}

TEST(InputDialogLayout, HintRowsAreCountedInSixByTwelveCells) {
    const std::string line130(130, 'x');
    EXPECT_EQ(hintHeight(line130 + "\r\n" + line130, 390), 48);  // 2 + 2 rows of 65
    EXPECT_EQ(hintHeight(std::string(131, 'x'), 390), 36);
    EXPECT_EQ(hintHeight("", 390), 0);
    EXPECT_EQ(hintHeight("a\r\n\r\nb", 390), 36);       // an empty line is a row too
    EXPECT_EQ(hintHeight(fromUtf8("一二三"), 12), 36);  // bytes, two to a Chinese character
    EXPECT_EQ(hintHeight("abc", 3), 36);                // narrower than a cell: a character a row
}

TEST(InputDialogLayout, ControlsFollowTheClientArea) {
    const Rect shape{8, 320, 336, 34}, ok{351, 328, 64, 24}, cancel{414, 328, 64, 24};
    InputDialogLayout l = layoutInputDialog(495, 393, 0, "", shape, ok, cancel);
    EXPECT_EQ(l.hint, (Rect{5, 5, 485, 0}));
    EXPECT_EQ(l.body, (Rect{5, 10, 485, 349}));
    EXPECT_EQ(l.shape, (Rect{5, 359, 336, 34}));
    EXPECT_EQ(l.cancel, (Rect{426, 364, 64, 24}));
    EXPECT_EQ(l.ok, (Rect{362, 364, 64, 24}));

    l = layoutInputDialog(400, 300, 10, std::string(100, 'h'), shape, ok, cancel);
    EXPECT_EQ(l.hint, (Rect{10, 10, 380, 24}));  // 63 to a row: two rows
    EXPECT_EQ(l.body.top, 44);
    EXPECT_EQ(l.shape.top + l.shape.height, 300);
    EXPECT_EQ(l.body.height, 300 - 44 - 34);
    EXPECT_EQ(layoutInputDialog(50, 40, 5, "", shape, ok, cancel).body.height, 0);
}

TEST(InputDialogLayout, CreatedWindowIsSizedForTheBodyAndCentred) {
    InputDialogRequest r;
    const Rect frame{0, 0, 16, 39};
    const Rect screen{0, 0, 1920, 1080};
    Rect placed = placeInputDialog(r, {50, 50, 495, 393}, frame, 33, 24, screen);
    EXPECT_EQ(placed, (Rect{960 - 247, 525 - 196, 495, 393}));

    r.bodyWidth = 300;
    r.bodyHeight = 200;
    r.margin = 4;
    placed = placeInputDialog(r, {50, 50, 495, 393}, frame, 33, 24, {1920, 0, 1280, 1024});
    EXPECT_EQ(placed.width, 16 + 300 + 8);
    EXPECT_EQ(placed.height, 39 + 33 + 8 + 200 + 12 + 24);
    EXPECT_EQ(placed.left, 1920 + 640 - placed.width / 2);  // the second screen
    EXPECT_EQ(placed.top, 497 - placed.height / 2);
}

TEST(InputDialogImport, PiecesAreSeparatedByLineBreaksAndUnreadableFilesAreEmpty) {
    TempDir dir;
    writeFile(dir.path("a.txt"), std::string("\xD6\xD0one\0tail", 9));
    writeFile(dir.path("b.txt"), "two");
    const Text a = fromUtf8(dir.path("a.txt")), b = fromUtf8(dir.path("b.txt"));
    ScriptedShell shell;
    auto run = [&](ImportMode mode, bool empty, std::vector<Text> chosen) {
        shell.fileAnswers.push_back(std::move(chosen));
        Text body;
        importFiles(shell, posixFileSystem(), mode, empty, [&](const Text& p) { body += p; });
        return body;
    };

    EXPECT_EQ(run(ImportMode::Paths, true, {a, b}), a + "\r\n" + b);
    EXPECT_EQ(toUtf8(shell.requests.back().title), "选择多个文件，将导入其文件路径");
    EXPECT_EQ(toUtf8(shell.requests.back().filter), texts::kImportFilter);
    EXPECT_EQ(run(ImportMode::Paths, false, {a}), "\r\n" + a);

    // Bytes as they are, up to the NUL; a missing file is an empty piece with its separator.
    const Text missing = fromUtf8(dir.path("missing.txt"));
    EXPECT_EQ(run(ImportMode::Contents, true, {a, missing, b}), "\xD6\xD0one\r\n\r\ntwo");
    EXPECT_EQ(toUtf8(shell.requests.back().title), "选择多个文件，将导入其文件内容");
    EXPECT_EQ(run(ImportMode::Contents, false, {}), "");  // cancelled
}

}  // namespace
}  // namespace pw::test
