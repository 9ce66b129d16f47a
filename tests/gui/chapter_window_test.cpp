// The chapter mode in the real window: its controls, the preview in the input dialog, the split.

#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>

#include "app/qt/input_dialog_window.h"
#include "gui_fixture.h"
#include "text/system_texts.h"

namespace pw::test {
namespace {

class ChapterWindow : public GuiTest {};

// Answers the input dialog once it is up: the preview lets events run while it reads the files,
// so a one-shot timer would fire before the dialog exists.
template <class F>
void whenDialogUp(F answer) {
    auto* timer = new QTimer;
    timer->setInterval(5);
    QObject::connect(timer, &QTimer::timeout, [timer, answer] {
        auto* dialog = qobject_cast<InputDialogWindow*>(QApplication::activeModalWidget());
        if (!dialog) return;
        timer->stop();
        timer->deleteLater();
        answer(dialog);
    });
    timer->start();
}

TEST_F(ChapterWindow, PreviewShowsTheChaptersAndOkSplitsWhileCancelWritesNothing) {
    const char* chapterControls[] = {"编辑框每份章节", "按钮章节预览", "编辑框章节标题"};
    for (const char* name : chapterControls) EXPECT_FALSE(widget(name)->isEnabled()) << name;
    widget<QRadioButton>("单选框按章节")->click();
    for (const char* name : chapterControls) EXPECT_TRUE(widget(name)->isEnabled()) << name;
    EXPECT_FALSE(widget("按钮输入字符串")->isEnabled());
    EXPECT_EQ(widget<QLineEdit>("编辑框每份章节")->text(), "1");

    writeFile(dir.path("book.txt"), "序\n第一章 风起\n甲\n第二章 云涌\n乙\n");
    const Text book = fromUtf8(dir.path("book.txt"));
    std::string shownText;
    bool okShown = false;
    auto answer = [&](const char* button) {
        whenDialogUp([&, button](InputDialogWindow* d) {
            EXPECT_EQ(d->windowTitle().toStdString(), texts::kPreviewTitle);
            auto* body = d->findChild<QPlainTextEdit*>("编辑框正文");
            shownText = body->toPlainText().toStdString();
            EXPECT_TRUE(body->isReadOnly());
            okShown = d->findChild<QPushButton*>("按钮确定")->isVisible();
            d->findChild<QPushButton*>(button)->click();
        });
    };

    shell.fileAnswers = {{book}};
    answer("按钮取消");
    widget<QPushButton>("按钮章节预览")->click();
    EXPECT_TRUE(okShown);
    EXPECT_NE(shownText.find("book.txt：共 2 章，分为 3 份"), std::string::npos) << shownText;
    EXPECT_NE(shownText.find("2\t9\t第一章 风起"), std::string::npos) << shownText;
    EXPECT_FALSE(fileExists(dir.path("book")));  // cancelled: nothing written

    shell.fileAnswers = {{book}};
    answer("按钮确定");
    widget<QPushButton>("按钮章节预览")->click();
    const std::string mark = "\xEF\xBB\xBF";  // UTF-8 parts carry the mark
    EXPECT_EQ(readFile(dir.path("book/book_1.txt")), mark + "序\n");
    EXPECT_EQ(readFile(dir.path("book/book_2 第一章 风起.txt")), mark + "第一章 风起\n甲\n");
    EXPECT_EQ(readFile(dir.path("book/book_3 第二章 云涌.txt")), mark + "第二章 云涌\n乙\n");
    ASSERT_FALSE(messages.shown.empty());  // the completion question of the split
    EXPECT_EQ(program.form.text("按钮开始分割"), lit(texts::kSplitIdle));
}

}  // namespace
}  // namespace pw::test
