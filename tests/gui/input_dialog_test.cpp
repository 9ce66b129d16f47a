// The real input dialog, driven by object names from inside its own event loop.

#include <QKeyEvent>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>

#include "app/control_table.h"
#include "app/form_options.h"
#include "app/qt/control_looks.h"
#include "app/qt/input_dialog_window.h"
#include "gui_fixture.h"
#include "text/system_texts.h"

namespace pw::test {
namespace {

QString qs(std::string_view utf8) {
    return QString::fromUtf8(utf8.data(), qsizetype(utf8.size()));
}

class InputDialogTest : public GuiTest {
  protected:
    // Opens the dialog; `inside` runs on it while it is up and must close it.
    bool open(const InputDialogArgs& args, std::function<void(InputDialogWindow*)> inside,
              Text* result = nullptr) {
        whenShown<InputDialogWindow>(std::move(inside));
        Text out;
        const bool ok = program.form.showInputDialog(args, out);
        if (result) *result = out;
        return ok;
    }
    template <class T = QWidget>
    static T* child(InputDialogWindow* d, std::string_view name) {
        T* w = d->findChild<T*>(qs(name));
        EXPECT_NE(w, nullptr) << name;
        return w;
    }
    static Text body(InputDialogWindow* d) {
        return multiLineFromQt(child<QPlainTextEdit>(d, ctl::dialog::kBody)->toPlainText());
    }
    static void setBody(InputDialogWindow* d, const std::string& utf8) {
        child<QPlainTextEdit>(d, ctl::dialog::kBody)->setPlainText(QString::fromStdString(utf8));
    }
    static void click(InputDialogWindow* d, std::string_view name) {
        child<QPushButton>(d, name)->click();
    }
    static void type(QWidget* w, Qt::Key key, const QString& text) {
        QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier, text);
        QApplication::sendEvent(w, &press);
    }
};

TEST_F(InputDialogTest, DelimiterDialogFromTheButtonStoresWhatWasTyped) {
    widget<QAbstractButton>(ctl::kByDelimiter)->click();
    program.form.setTag(ctl::kDelimiterButton, "##");
    whenShown<InputDialogWindow>([&](InputDialogWindow* d) {
        EXPECT_EQ(d->windowTitle(), qs(texts::kDelimiterPromptTitle));
        EXPECT_EQ(body(d), "##");
        EXPECT_EQ(child(d, ctl::dialog::kHint)->height(), 0);
        EXPECT_FALSE(child(d, ctl::dialog::kImportContents)->isVisible());
        EXPECT_TRUE(child<QPushButton>(d, ctl::dialog::kOk)->isDefault());
        auto* edit = child<QPlainTextEdit>(d, ctl::dialog::kBody);
        EXPECT_EQ(d->focusWidget(), edit);
        // Outer size of the form, centred with room for the taskbar (no frame offscreen).
        const QRect screen = program.window.screen()->geometry();
        EXPECT_EQ(d->frameGeometry(),
                  QRect(screen.width() / 2 - 247, (screen.height() - 30) / 2 - 196, 495, 393));
        EXPECT_EQ(edit->geometry(), QRect(5, 10, d->width() - 10, d->height() - 10 - 34));

        edit->clear();
        type(edit, Qt::Key_A, "A");
        type(edit, Qt::Key_Return, "\r");
        type(edit, Qt::Key_B, "B");
        click(d, ctl::dialog::kOk);
    });
    widget<QPushButton>(ctl::kDelimiterButton)->click();
    EXPECT_EQ(program.form.tag(ctl::kDelimiterButton), "A\r\nB");  // Enter is CR LF
    EXPECT_TRUE(boxes.messages.empty());
}

TEST_F(InputDialogTest, ChangedTextIsNotDiscardedWithoutAsking) {
    program.form.setTag(ctl::kDelimiterButton, "old");
    whenShown<InputDialogWindow>([&](InputDialogWindow* d) {
        d->close();  // unchanged: closes without a question
    });
    promptDelimiter(program.form);
    EXPECT_TRUE(boxes.messages.empty());

    whenShown<InputDialogWindow>([&](InputDialogWindow* d) {
        setBody(d, "new");
        boxes.answers = {Answer::No};
        d->close();  // the title bar's close button
        ASSERT_EQ(boxes.messages.size(), 1u);
        EXPECT_EQ(toUtf8(boxes.messages[0].text), texts::kDiscardChanges);
        EXPECT_EQ(toUtf8(boxes.messages[0].title), texts::kDialogMessageTitle);
        EXPECT_EQ(boxes.messages[0].buttons, Buttons::YesNo);
        EXPECT_TRUE(d->isVisible());
        click(d, ctl::dialog::kCancel);  // asks nothing
    });
    promptDelimiter(program.form);
    EXPECT_EQ(boxes.messages.size(), 1u);
    EXPECT_EQ(program.form.tag(ctl::kDelimiterButton), "old");

    whenShown<InputDialogWindow>([&](InputDialogWindow* d) {
        setBody(d, "");
        boxes.answers = {Answer::Yes};
        d->close();
    });
    promptDelimiter(program.form);
    EXPECT_EQ(program.form.tag(ctl::kDelimiterButton), "old");  // discarded, not accepted

    whenShown<InputDialogWindow>([&](InputDialogWindow* d) {
        setBody(d, "");
        click(d, ctl::dialog::kOk);
    });
    promptDelimiter(program.form);
    EXPECT_EQ(program.form.tag(ctl::kDelimiterButton), "");  // an empty delimiter, stored
}

TEST_F(InputDialogTest, ToolButtonsRestoreClearPasteAndImport) {
    writeFile(dir.path("a.txt"), "alpha");
    writeFile(dir.path("b.txt"), "beta");
    InputDialogArgs args;
    args.initialText = fromUtf8("起始\r\n值");
    args.importButtons = 3;
    Text result;
    const bool ok = open(
        args,
        [&](InputDialogWindow* d) {
            EXPECT_TRUE(child(d, ctl::dialog::kImportContents)->isVisible());
            EXPECT_TRUE(child(d, ctl::dialog::kImportPaths)->isVisible());
            click(d, ctl::dialog::kClear);
            EXPECT_EQ(body(d), "");
            click(d, ctl::dialog::kRestore);
            EXPECT_EQ(body(d), args.initialText);

            shell.clipboard = "clip\r\nboard";
            click(d, ctl::dialog::kPaste);
            EXPECT_EQ(body(d), "clip\r\nboard");  // the whole body replaced

            shell.fileAnswers = {{fromUtf8(dir.path("a.txt")), fromUtf8(dir.path("b.txt"))}};
            click(d, ctl::dialog::kImportContents);
            EXPECT_EQ(body(d), "clip\r\nboard\r\nalpha\r\nbeta");
            click(d, ctl::dialog::kClear);
            shell.fileAnswers = {{fromUtf8(dir.path("a.txt"))}};
            click(d, ctl::dialog::kImportPaths);
            EXPECT_EQ(toUtf8(body(d)), dir.path("a.txt"));
            click(d, ctl::dialog::kOk);
        },
        &result);
    EXPECT_TRUE(ok);
    EXPECT_EQ(toUtf8(result), dir.path("a.txt"));
    EXPECT_TRUE(boxes.messages.empty());

    // Restore without an initial text says so and leaves the body alone.
    program.form.messageScript = nullptr;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    QString title, message;
    EXPECT_FALSE(open({}, [&](InputDialogWindow* d) {
        setBody(d, "typed");
        whenShown<QMessageBox>([&](QMessageBox* box) {
            icon = box->icon();
            title = box->windowTitle();
            message = box->text();
            box->button(QMessageBox::Ok)->click();
        });
        click(d, ctl::dialog::kRestore);
        EXPECT_EQ(body(d), "typed");
        click(d, ctl::dialog::kCancel);
    }));
    EXPECT_EQ(icon, QMessageBox::Information);
    EXPECT_EQ(title, qs(texts::kDialogMessageTitle));
    EXPECT_EQ(message, qs(texts::kRestoreEmpty));
}

TEST_F(InputDialogTest, InformationModeOnlyShowsTheText) {
    InputDialogArgs args;
    args.inputMode = false;
    args.hintGiven = true;
    args.initialText = "details";
    EXPECT_FALSE(open(args, [&](InputDialogWindow* d) {
        EXPECT_EQ(d->windowTitle(), qs(texts::kInfoTitle));
        auto* hint = child<QPlainTextEdit>(d, ctl::dialog::kHint);
        EXPECT_EQ(hint->toPlainText(), qs(texts::kInformationHint));
        EXPECT_TRUE(hint->font().bold());
        EXPECT_EQ(hint->height(), 12);
        EXPECT_FALSE(child(d, ctl::dialog::kOk)->isVisible());
        EXPECT_FALSE(child(d, ctl::dialog::kTools)->isVisible());
        auto* close = child<QPushButton>(d, ctl::dialog::kCancel);
        EXPECT_EQ(close->text(), "关闭(&G)");
        EXPECT_TRUE(close->isDefault());
        EXPECT_TRUE(child<QPlainTextEdit>(d, ctl::dialog::kBody)->isReadOnly());
        setBody(d, "changed");
        d->close();  // read-only: no question
    }));
    EXPECT_TRUE(boxes.messages.empty());
}

TEST_F(InputDialogTest, RequestedSizesAndASecondCallWhileOpen) {
    InputDialogArgs args;
    args.bodyWidth = 300;
    args.bodyHeight = 100;
    args.margin = 8;
    args.bothScrollBars = true;
    args.title = "first";
    EXPECT_FALSE(open(args, [&](InputDialogWindow* d) {
        EXPECT_EQ(d->size(), QSize(300 + 16, 33 + 16 + 100 + 24 + 24));
        auto* edit = child<QPlainTextEdit>(d, ctl::dialog::kBody);
        EXPECT_EQ(edit->width(), 300);
        EXPECT_EQ(edit->lineWrapMode(), QPlainTextEdit::NoWrap);
        EXPECT_EQ(edit->horizontalScrollBarPolicy(), Qt::ScrollBarAlwaysOn);

        InputDialogArgs second;
        second.title = "second";
        Text out = "untouched";
        EXPECT_FALSE(program.form.showInputDialog(second, out));
        EXPECT_EQ(out, "untouched");
        EXPECT_EQ(program.state.inputDialog.request.title, "first");
        click(d, ctl::dialog::kCancel);
    }));
    EXPECT_FALSE(program.state.inputDialog.open);

    args.maximized = true;
    EXPECT_FALSE(open(args, [&](InputDialogWindow* d) {
        EXPECT_TRUE(d->windowState() & Qt::WindowMaximized);
        click(d, ctl::dialog::kCancel);
    }));
}

TEST_F(InputDialogTest, DialogIsBuiltFromItsTable) {
    const WindowSpec& spec = inputDialogSpec();
    EXPECT_FALSE(open({}, [&](InputDialogWindow* d) {
        EXPECT_EQ(d->objectName(), qs(spec.formName));
        for (const ControlSpec& c : spec.controls) {
            SCOPED_TRACE(std::string(c.name));
            QWidget* w = child(d, c.name);
            ASSERT_NE(w, nullptr);
            EXPECT_EQ(w->parentWidget()->objectName(),
                      qs(c.container.empty() ? spec.formName : c.container));
            EXPECT_EQ(w->isVisibleTo(d), !c.hidden);
            if (c.kind == ControlKind::Button) {
                EXPECT_EQ(captionFromQt(qobject_cast<QPushButton*>(w)->text()), qs(c.text));
                EXPECT_EQ(w->size(), QSize(c.geometry.width, c.geometry.height));
            }
            EXPECT_EQ(w->font().pixelSize(), c.fontPx ? c.fontPx : 12);
        }
        // Tool buttons keep their places in the strip.
        EXPECT_EQ(child(d, ctl::dialog::kPaste)->pos(), QPoint(107, 5));
        click(d, ctl::dialog::kCancel);
    }));
}

TEST_F(InputDialogTest, CaptionsFitAndBothModesRender) {
    // PARTWELL_SNAPSHOT=file.png keeps pictures of the dialog in both modes for a look.
    const QString snapshot = qEnvironmentVariable("PARTWELL_SNAPSHOT");
    auto check = [&](InputDialogWindow* d, const char* suffix) {
        for (const ControlSpec& c : inputDialogSpec().controls) {
            auto* b = d->findChild<QPushButton*>(qs(c.name));
            if (!b || !b->isVisible()) continue;
            const QFontMetrics metrics(b->font());
            EXPECT_LT(metrics.horizontalAdvance(captionFromQt(b->text())), b->width()) << c.name;
        }
        if (!snapshot.isEmpty()) {
            EXPECT_TRUE(d->grab().save(QString(snapshot).replace(".png", suffix)));
        }
        click(d, ctl::dialog::kCancel);
    };
    InputDialogArgs args;
    args.title = lit(texts::kDelimiterPromptTitle);
    args.initialText = fromUtf8("第一章\r\n");
    args.importButtons = 3;
    args.hintGiven = true;
    open(args, [&](InputDialogWindow* d) { check(d, "-input.png"); });
    args.inputMode = false;
    args.title.clear();
    args.initialText = fromUtf8("共 12 个分割文件。\r\n保存目录：/home/user/书/第一卷");
    open(args, [&](InputDialogWindow* d) { check(d, "-information.png"); });
}

TEST_F(InputDialogTest, SplitWithoutDelimiterAsksForOneThenSplitsWithIt) {
    writeFile(dir.path("a.txt"), "A##B");
    widget<QAbstractButton>(ctl::kByDelimiter)->click();
    shell.fileAnswers = {{fromUtf8(dir.path("a.txt"))}};
    whenShown<InputDialogWindow>([&](InputDialogWindow* d) {
        ASSERT_FALSE(boxes.messages.empty());
        EXPECT_EQ(toUtf8(boxes.messages.back().text), texts::kEnterDelimiter);
        setBody(d, "##");
        click(d, ctl::dialog::kOk);
    });
    widget<QPushButton>(ctl::kSplitButton)->click();
    EXPECT_EQ(program.form.tag(ctl::kDelimiterButton), "##");
    EXPECT_FALSE(fileExists(dir.path("a")));

    shell.fileAnswers = {{fromUtf8(dir.path("a.txt"))}};
    widget<QPushButton>(ctl::kSplitButton)->click();
    EXPECT_EQ(readFile(dir.path("a/a_1.txt")) + readFile(dir.path("a/a_2.txt")), "AB");
}

}  // namespace
}  // namespace pw::test
