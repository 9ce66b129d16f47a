// The chapter mode in the real window: its controls, the preview in the input dialog, the split.

#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>

#include "app/control_table.h"
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

template <class T>
T* childOf(QObject* parent, std::string_view name) {
    return parent->findChild<T*>(QString::fromUtf8(name.data(), qsizetype(name.size())));
}

TEST_F(ChapterWindow, PreviewShowsTheChaptersAndOkSplitsWhileCancelWritesNothing) {
    const std::string_view chapterControls[] = {ctl::kChaptersPerPart, ctl::kChapterPreview,
                                                ctl::kHeadingPattern};
    for (std::string_view name : chapterControls) EXPECT_FALSE(widget(name)->isEnabled()) << name;
    widget<QRadioButton>(ctl::kByChapters)->click();
    for (std::string_view name : chapterControls) EXPECT_TRUE(widget(name)->isEnabled()) << name;
    EXPECT_FALSE(widget(ctl::kDelimiterButton)->isEnabled());
    EXPECT_EQ(widget<QLineEdit>(ctl::kChaptersPerPart)->text(), "1");

    writeFile(dir.path("book.txt"), "序\n第一章 风起\n甲\n第二章 云涌\n乙\n");
    const Text book = fromUtf8(dir.path("book.txt"));
    std::string shownText;
    bool okShown = false;
    auto answer = [&](std::string_view button) {
        whenDialogUp([&, button](InputDialogWindow* d) {
            EXPECT_EQ(d->windowTitle().toStdString(), texts::kPreviewTitle);
            auto* body = childOf<QPlainTextEdit>(d, ctl::dialog::kBody);
            shownText = body->toPlainText().toStdString();
            EXPECT_TRUE(body->isReadOnly());
            okShown = childOf<QPushButton>(d, ctl::dialog::kOk)->isVisible();
            childOf<QPushButton>(d, button)->click();
        });
    };

    shell.fileAnswers = {{book}};
    answer(ctl::dialog::kCancel);
    widget<QPushButton>(ctl::kChapterPreview)->click();
    EXPECT_TRUE(okShown);
    EXPECT_NE(shownText.find("book.txt：共 2 章，分为 3 份"), std::string::npos) << shownText;
    EXPECT_NE(shownText.find("2\t9\t第一章 风起"), std::string::npos) << shownText;
    EXPECT_FALSE(fileExists(dir.path("book")));  // cancelled: nothing written

    shell.fileAnswers = {{book}};
    answer(ctl::dialog::kOk);
    widget<QPushButton>(ctl::kChapterPreview)->click();
    const std::string mark = "\xEF\xBB\xBF";  // UTF-8 parts carry the mark
    EXPECT_EQ(readFile(dir.path("book/book_1.txt")), mark + "序\n");
    EXPECT_EQ(readFile(dir.path("book/book_2 第一章 风起.txt")), mark + "第一章 风起\n甲\n");
    EXPECT_EQ(readFile(dir.path("book/book_3 第二章 云涌.txt")), mark + "第二章 云涌\n乙\n");
    ASSERT_FALSE(boxes.messages.empty());  // the completion question of the split
    EXPECT_EQ(program.form.text(ctl::kSplitButton), lit(texts::kSplitIdle));
}

}  // namespace
}  // namespace pw::test
