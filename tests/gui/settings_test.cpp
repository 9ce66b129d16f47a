// The real window keeps its control states across runs of the program.

#include <QAbstractButton>
#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QRadioButton>

#include "app/control_table.h"
#include "app/qt/control_widgets.h"
#include "gui_fixture.h"

namespace pw::test {
namespace {

void leftPress(QWidget* w) {
    const QPointF at(2, 2);
    QMouseEvent press(QEvent::MouseButtonPress, at, w->mapToGlobal(at), Qt::LeftButton,
                      Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(w, &press);
}

void leftClick(QWidget* w) {
    leftPress(w);
    const QPointF at(2, 2);
    QMouseEvent release(QEvent::MouseButtonRelease, at, w->mapToGlobal(at), Qt::LeftButton,
                        Qt::NoButton, Qt::NoModifier);
    QCoreApplication::sendEvent(w, &release);
}

class SettingsRun {
  public:
    explicit SettingsRun(const std::string& ini) : program(fromUtf8(ini)) {
        program.form.messageScript = &boxes;
        program.shell.script = &shell;
    }
    template <class T = QWidget>
    T* widget(std::string_view name) {
        return program.window.findChild<T*>(QString::fromUtf8(name.data(), qsizetype(name.size())));
    }

    MainProgram program;
    MessageQueue boxes;
    ScriptedShell shell;
};

TEST(GuiSettings, ARestartedWindowShowsWhatTheLastRunLeft) {
    TempDir dir;
    const std::string ini = dir.path("Partwell.ini");
    {
        SettingsRun run(ini);
        run.widget<QCheckBox>(ctl::kJoinWithData)->click();
        run.widget<QRadioButton>(ctl::kByLines)->click();
        run.widget<QLineEdit>(ctl::kLinesLow)->setText("3");
        run.widget<QLineEdit>(ctl::kLinesHigh)->setText("7");
        run.widget<QPlainTextEdit>(ctl::kJoinText)->setPlainText("第一行\n第二行");
        run.widget<QLineEdit>(ctl::kSplitFileTypes)->clear();
        run.program.form.setTag(ctl::kDelimiterButton, fromUtf8("分隔符"));
        run.widget<QComboBox>(ctl::kSizePreset)->setCurrentIndex(1);
        run.widget<QComboBox>(ctl::kNameTemplate)->lineEdit()->setText("{n:03}-{name}.{ext}");
        EXPECT_TRUE(run.program.window.close());
    }
    EXPECT_NE(toUtf8(readFile(ini)).find("编辑框字符串=第一行┊*┊第二行\r\n"), std::string::npos);

    SettingsRun next(ini);
    Form& form = next.program.form;
    EXPECT_TRUE(form.checked(ctl::kJoinWithData));
    EXPECT_TRUE(form.checked(ctl::kByLines));
    EXPECT_FALSE(form.checked(ctl::kByParts));
    EXPECT_EQ(next.widget<QLineEdit>(ctl::kLinesLow)->text(), "3");
    EXPECT_EQ(next.widget<QLineEdit>(ctl::kLinesHigh)->text(), "7");
    EXPECT_EQ(next.widget<QPlainTextEdit>(ctl::kJoinText)->toPlainText(), "第一行\n第二行");
    EXPECT_EQ(next.widget<QLineEdit>(ctl::kSplitFileTypes)->text(), "*.*");
    EXPECT_EQ(toUtf8(form.tag(ctl::kDelimiterButton)), "分隔符");
    // The enabling rules followed the restored states.
    EXPECT_TRUE(form.enabled(ctl::kJoinText));
    EXPECT_TRUE(form.enabled(ctl::kJoinWithFile));
    EXPECT_TRUE(form.visible(ctl::kDetectEncoding));
    EXPECT_TRUE(form.visible(ctl::kFixLineBreaks));
    EXPECT_FALSE(form.enabled(ctl::kPartCount));

    // The typed template and the preset came back; choosing in the drop-down applies the rules.
    auto* preset = next.widget<QComboBox>(ctl::kSizePreset);
    EXPECT_EQ(next.widget<QComboBox>(ctl::kNameTemplate)->currentText(), "{n:03}-{name}.{ext}");
    EXPECT_EQ(preset->currentIndex(), 1);
    next.widget<QRadioButton>(ctl::kByBytes)->click();
    EXPECT_TRUE(form.enabled(ctl::kSizePreset));
    EXPECT_FALSE(form.enabled(ctl::kPartSize));
    preset->setCurrentIndex(0);
    EXPECT_TRUE(form.enabled(ctl::kPartSize));
}

TEST(GuiSettings, TheSplitChooserStartsInTheFolderLastUsedAfterARestart) {
    TempDir dir;
    const std::string ini = dir.path("Partwell.ini");
    writeFile(dir.path("书/a.txt"), "abcd");
    {
        SettingsRun run(ini);
        run.shell.fileAnswers.push_back({fromUtf8(dir.path("书/a.txt"))});
        run.widget<QAbstractButton>(ctl::kSplitButton)->click();
        ASSERT_EQ(run.shell.requests.size(), 1u);
        EXPECT_TRUE(fileExists(dir.path("书/a/a_1.txt")));
        EXPECT_TRUE(run.program.window.close());
    }
    SettingsRun next(ini);
    next.widget<QAbstractButton>(ctl::kSplitButton)->click();  // cancelled
    ASSERT_EQ(next.shell.requests.size(), 1u);
    EXPECT_EQ(toUtf8(next.shell.requests[0].folder), dir.path("书"));
}

TEST(GuiSettings, TheSaveLinkAndPictureSaveAndSaySo) {
    TempDir dir;
    const std::string ini = dir.path("Partwell.ini");
    SettingsRun run(ini);
    run.widget<QRadioButton>(ctl::kByBytes)->click();
    leftPress(run.widget(ctl::kSaveSettingsLink));
    ASSERT_EQ(run.boxes.messages.size(), 1u);
    EXPECT_EQ(toUtf8(run.boxes.messages[0].text), "保存完毕！");
    EXPECT_NE(toUtf8(readFile(ini)).find("单选框按字节=真"), std::string::npos);

    run.widget<QRadioButton>(ctl::kByChars)->click();
    leftClick(run.widget(ctl::kSaveSettingsPicture));
    ASSERT_EQ(run.boxes.messages.size(), 2u);
    EXPECT_EQ(toUtf8(run.boxes.messages[1].text), "保存完毕！");
    EXPECT_NE(toUtf8(readFile(ini)).find("单选框按字符数=真"), std::string::npos);

    // A second instance on the same file cannot save and says where the file is.
    SettingsRun second(ini);
    leftPress(second.widget(ctl::kSaveSettingsLink));
    ASSERT_EQ(second.boxes.messages.size(), 1u);
    EXPECT_EQ(toUtf8(second.boxes.messages[0].text), "配置未能保存！应保存到：" + ini);
}

}  // namespace
}  // namespace pw::test
