// Drags from a file manager, as the window system hands them to the real window: the window
// routes each event to the widget under the cursor, as it does for a real drag.

#include <QAbstractButton>
#include <QApplication>
#include <QDropEvent>
#include <QGroupBox>
#include <QLineEdit>
#include <QMimeData>
#include <QUrl>
#include <QWindow>

#include "app/control_table.h"
#include "app/qt/drop_target.h"
#include "gui_fixture.h"
#include "platform/native_names.h"
#include "text/system_texts.h"

namespace pw::test {
namespace {

struct DragResult {
    bool entered = false;
    Qt::DropAction enterAction = Qt::IgnoreAction;
    bool moved = false;
    bool dropped = false;
    Qt::DropAction dropAction = Qt::IgnoreAction;
};

// As file managers offer them: addresses, and the paths as plain text for editors.
QMimeData* files(const std::vector<std::string>& paths) {
    auto* data = new QMimeData;
    QList<QUrl> urls;
    QStringList lines;
    for (const auto& p : paths) {
        urls.push_back(QUrl::fromLocalFile(QString::fromStdString(p)));
        lines.push_back(QString::fromStdString(p));
    }
    data->setUrls(urls);
    data->setText(lines.join('\n'));
    return data;
}

constexpr Qt::DropActions kAnyAction = Qt::CopyAction | Qt::MoveAction | Qt::LinkAction;

// Enter, move and drop at `at` (in the window's coordinates), then lets the queued delivery run.
DragResult dragOnto(QWidget& top, QMimeData* data, QPoint at, Qt::DropActions actions) {
    std::unique_ptr<QMimeData> owned(data);
    QWindow* window = top.windowHandle();
    DragResult r;
    QDragEnterEvent enter(at, actions, data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(window, &enter);
    r.entered = enter.isAccepted();
    r.enterAction = enter.dropAction();
    QDragMoveEvent move(at + QPoint(1, 0), actions, data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(window, &move);
    r.moved = move.isAccepted();
    if (!r.entered) {
        QDragLeaveEvent leave;
        QApplication::sendEvent(window, &leave);
        return r;
    }
    QDropEvent drop(at + QPoint(1, 0), actions, data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(window, &drop);
    r.dropped = drop.isAccepted();
    r.dropAction = drop.dropAction();
    QApplication::processEvents();
    return r;
}

class DropGui : public GuiTest {
  protected:
    DropGui() {
        program.window.show();
        program.form.setText(ctl::kPartCount, "2");
    }

    DragResult drag(QMimeData* data, QPoint at, Qt::DropActions actions = kAnyAction) {
        return dragOnto(program.window, data, at, actions);
    }

    // The centre of a control, in window coordinates.
    QPoint over(std::string_view name) {
        QWidget* w = widget(name);
        return w->mapTo(&program.window, w->rect().center());
    }
    // A spot of a group box with no control on it.
    QPoint bareSpotOf(std::string_view box) {
        auto* group = widget<QGroupBox>(box);
        const QPoint local(280, group->height() - 12);
        EXPECT_EQ(group->childAt(local), nullptr);
        return group->mapTo(&program.window, local);
    }
    std::string shown(size_t i) { return toUtf8(boxes.messages.at(i).text); }
};

TEST_F(DropGui, FilesDroppedAnywhereOnTheSplitAreaAreAskedAboutAndSplit) {
    writeFile(dir.path("a.txt"), "abcd");
    boxes.answers = {Answer::Ok};
    DragResult r = drag(files({dir.path("a.txt")}), bareSpotOf(ctl::kSplitArea));
    EXPECT_TRUE(r.entered && r.moved && r.dropped);
    EXPECT_EQ(r.enterAction, Qt::CopyAction);  // never a move: the file manager would delete
    EXPECT_EQ(r.dropAction, Qt::CopyAction);
    ASSERT_EQ(boxes.messages.size(), 2u);
    EXPECT_EQ(shown(0), "确定分割被拖放的 1 个文件吗？");
    EXPECT_EQ(boxes.messages[0].buttons, Buttons::OkCancel);
    EXPECT_EQ(readFile(dir.path("a/a_1.txt")), "ab");
    EXPECT_EQ(shown(1), std::string(texts::kSplitDoneOpenFolder) + dir.path("a"));

    // Over an edit box (enabled or not), a button, a combo box: the area takes the drop, and no
    // edit box takes the path as text.
    for (std::string_view control : {ctl::kPartCount, ctl::kPartSize, ctl::kDelimiterButton,
                                     ctl::kPartSizeUnit, ctl::kSplitButton}) {
        const size_t before = boxes.messages.size();
        r = drag(files({dir.path("a.txt"), dir.path("a")}), over(control));
        EXPECT_TRUE(r.entered && r.dropped) << control;
        ASSERT_EQ(boxes.messages.size(), before + 1) << control;
        EXPECT_EQ(shown(before), "确定分割被拖放的 1 个文件吗？") << control;
    }
    EXPECT_EQ(text(ctl::kPartCount), "2");
    EXPECT_EQ(text(ctl::kPartSize), "3.12");
}

TEST_F(DropGui, OnlyLocalFilesAreTakenAndNeverAsAMove) {
    writeFile(dir.path("a.txt"), "abcd");
    const QPoint spot = bareSpotOf(ctl::kSplitArea);
    auto* words = new QMimeData;
    words->setText("plain words");
    EXPECT_FALSE(drag(words, spot).entered);
    auto* web = new QMimeData;
    web->setUrls({QUrl("https://example.org/a.txt")});
    EXPECT_FALSE(drag(web, spot).entered);
    // A source that offers nothing but a move is refused, also over an edit box.
    EXPECT_FALSE(drag(files({dir.path("a.txt")}), spot, Qt::MoveAction).entered);
    EXPECT_FALSE(drag(files({dir.path("a.txt")}), over(ctl::kPartCount), Qt::MoveAction).entered);
    EXPECT_EQ(text(ctl::kPartCount), "2");
    EXPECT_TRUE(boxes.messages.empty());
    EXPECT_TRUE(fileExists(dir.path("a.txt")));

    // A web address among local files is passed over; the indexes stay those of the whole drop.
    auto* mixed = files({dir.path("a.txt")});
    mixed->setUrls({QUrl("https://example.org/x"),
                    QUrl::fromLocalFile(QString::fromStdString(dir.path("a.txt")))});
    EXPECT_EQ(drag(mixed, spot, Qt::LinkAction).dropAction, Qt::LinkAction);
    ASSERT_EQ(boxes.messages.size(), 1u);
    EXPECT_EQ(shown(0), "确定分割被拖放的 1 个文件吗？");
}

TEST_F(DropGui, LongAndNonAsciiPathsArriveWhole) {
    std::string deep = dir.path();
    for (int i = 0; i < 6; ++i) deep += "/" + std::string(200, 'a' + i);
    const std::string file = deep + "/书 名.txt";
    writeFile(file, "0123");
    ASSERT_GT(file.size(), 1000u);
    boxes.answers = {Answer::Ok};
    drag(files({file}), bareSpotOf(ctl::kSplitArea));
    ASSERT_EQ(boxes.messages.size(), 2u);
    EXPECT_EQ(readFile(deep + "/书 名/书 名_2.txt"), "23");
    EXPECT_EQ(shown(1), std::string(texts::kSplitDoneOpenFolder) + deep + "/书 名");
}

TEST(DroppedPaths, NativeNamesArriveByteForByte) {
    QMimeData data;
    data.setUrls({QUrl::fromEncoded("file:///tmp/x/bad%FF%FE.txt"),
                  QUrl::fromEncoded("file:///tmp/x/%E4%B9%A6%20dir/"),
                  QUrl("https://example.org/a.txt")});
    const std::vector<Text> paths = droppedPaths(data);
    ASSERT_EQ(paths.size(), 3u);
    EXPECT_EQ(toNativeName(paths[0]), "/tmp/x/bad\xFF\xFE.txt");
    EXPECT_EQ(toNativeName(paths[1]), "/tmp/x/书 dir");
    EXPECT_EQ(paths[2], "");
}

TEST_F(DropGui, DropsWhileAJobRunsAreIgnored) {
    writeFile(dir.path("a.txt"), "abcd");
    writeFile(dir.path("b.txt"), "abcd");
    DragResult during;
    size_t questionsDuring = 99;
    shell.onRequest = [&](const ScriptedShell::Request&) {
        // The chooser is open inside the running job.
        boxes.answers = {Answer::Ok};
        during = drag(files({dir.path("b.txt")}), bareSpotOf(ctl::kSplitArea));
        questionsDuring = boxes.messages.size();
        boxes.answers.clear();
    };
    shell.fileAnswers.push_back({fromUtf8(dir.path("a.txt"))});
    widget<QAbstractButton>(ctl::kSplitButton)->click();

    EXPECT_TRUE(during.dropped);  // taken, but it starts nothing
    EXPECT_EQ(questionsDuring, 0u);
    EXPECT_TRUE(fileExists(dir.path("a/a_2.txt")));
    EXPECT_FALSE(fileExists(dir.path("b")));
    ASSERT_EQ(boxes.messages.size(), 1u);
    EXPECT_EQ(shown(0), std::string(texts::kSplitDoneOpenFolder) + dir.path("a"));
}

TEST_F(DropGui, FilesAndAFolderOnTheMergeAreaAreAskedAboutOnce) {
    writeFile(dir.path("w/a.txt"), "A");
    writeFile(dir.path("w/b.txt"), "B");
    writeFile(dir.path("w/f/1.txt"), "1");
    boxes.answers = {Answer::Ok};
    // Over the multi-line box, which is disabled until 选择框合并中间 is checked.
    const DragResult r = drag(files({dir.path("w/a.txt"), dir.path("w/b.txt"), dir.path("w/f")}),
                              over(ctl::kJoinText));
    EXPECT_TRUE(r.entered && r.dropped);
    ASSERT_EQ(boxes.messages.size(), 2u);
    EXPECT_EQ(shown(0), "确定合并被拖放的 3 个吗？");
    EXPECT_EQ(readFile(dir.path("a等2个文件.txt")), "AB");
    EXPECT_EQ(readFile(dir.path("w/1等1个文件.txt")), "1");
    EXPECT_EQ(shown(1), std::string(texts::kMergeDoneOpenFolder) + dir.path("w"));
    EXPECT_EQ(text(ctl::kJoinText), "我是中间字符串");

    // Text is not taken by the area.
    auto* words = new QMimeData;
    words->setText("plain words");
    EXPECT_FALSE(drag(words, bareSpotOf(ctl::kMergeArea)).entered);
}

TEST_F(DropGui, TheManifestCheckboxWritesOneAndADroppedManifestJoinsItsSet) {
    // Unticked at first, in the split area, over no other control.
    auto* box = widget<QAbstractButton>(ctl::kWriteManifest);
    ASSERT_NE(box, nullptr);
    EXPECT_FALSE(box->isChecked());
    EXPECT_EQ(box->parentWidget(), widget(ctl::kSplitArea));
    for (QWidget* sibling : box->parentWidget()->findChildren<QWidget*>()) {
        if (sibling == box || sibling->parentWidget() != box->parentWidget()) continue;
        EXPECT_FALSE(sibling->geometry().intersects(box->geometry()))
            << sibling->objectName().toStdString();
    }

    std::string data;
    for (int i = 0; i < 10'000; ++i) data += char(i * 31);
    writeFile(dir.path("book.bin"), data);
    box->click();
    boxes.answers = {Answer::Ok, Answer::No};
    drag(files({dir.path("book.bin")}), bareSpotOf(ctl::kSplitArea));
    ASSERT_TRUE(fileExists(dir.path("book/book.sha256")));
    std::remove(dir.path("book.bin").c_str());

    // The manifest dropped on the merge area gives back the original, named as it was.
    boxes.messages.clear();
    boxes.answers = {Answer::Ok, Answer::No};
    drag(files({dir.path("book/book.sha256")}), bareSpotOf(ctl::kMergeArea));
    ASSERT_EQ(boxes.messages.size(), 2u);
    EXPECT_EQ(readFile(dir.path("book.bin")), data);
    EXPECT_EQ(shown(1).rfind(std::string(texts::kJoinDone) + dir.path("book.bin"), 0), 0u)
        << shown(1);
    EXPECT_EQ(boxes.messages[1].buttons, Buttons::YesNo);

    // A changed part: nothing written, the part named.
    std::remove(dir.path("book.bin").c_str());
    writeFile(dir.path("book/book_2.bin"), std::string(data.size() / 2, 'x'));
    boxes.messages.clear();
    boxes.answers = {Answer::Ok, Answer::Ok};
    drag(files({dir.path("book/book.sha256")}), bareSpotOf(ctl::kMergeArea));
    ASSERT_EQ(boxes.messages.size(), 2u);
    EXPECT_NE(shown(1).find(std::string("book_2.bin：") + std::string(texts::kJoinPartChanged)),
              std::string::npos)
        << shown(1);
    EXPECT_FALSE(fileExists(dir.path("book.bin")));
}

TEST(DropTargetQt, RegistrationIsKeptOnceAndUndoneWhole) {
    DropRegistry registry;
    QWidget area;
    auto* edit = new QLineEdit(&area);
    edit->setGeometry(10, 10, 100, 24);
    area.resize(200, 100);
    area.show();
    const QPoint onEdit(20, 20);
    std::vector<std::string> got;
    DropTarget first(registry);
    first.registerWindow(&area, [&](int, int, const Text& path, const Text&) {
        got.push_back("first " + toUtf8(path));
    });
    DropTarget(registry).registerWindow(&area, [&](int, int, const Text& path, const Text&) {
        got.push_back("second " + toUtf8(path));
    });
    EXPECT_TRUE(area.acceptDrops());

    EXPECT_TRUE(dragOnto(area, files({"/tmp/x.txt"}), onEdit, kAnyAction).dropped);
    EXPECT_EQ(got, std::vector<std::string>{"first /tmp/x.txt"});
    EXPECT_TRUE(edit->text().isEmpty());

    EXPECT_EQ(first.unregisterWindow(&area), 1);
    EXPECT_EQ(first.unregisterWindow(&area), 0);
    EXPECT_FALSE(area.acceptDrops());
    EXPECT_EQ(registry.find(&area), nullptr);
    // The edit box is on its own again: whatever it makes of the drag, the area sees nothing.
    dragOnto(area, files({"/tmp/y.txt"}), onEdit, kAnyAction);
    EXPECT_EQ(got.size(), 1u);
}

}  // namespace
}  // namespace pw::test
