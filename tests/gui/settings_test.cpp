// The real window keeps its control states across runs of the program.

#include <QAbstractButton>
#include <QCheckBox>
#include <QCoreApplication>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QRadioButton>

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
        program.form.messageScript = &messages;
        program.shell.script = &shell;
    }
    template <class T = QWidget>
    T* widget(const char* name) {
        return program.window.findChild<T*>(QString::fromUtf8(name));
    }

    MainProgram program;
    MessageScript messages;
    ScriptedShell shell;
};

TEST(GuiSettings, ARestartedWindowShowsWhatTheLastRunLeft) {
    TempDir dir;
    const std::string ini = dir.path("Partwell.ini");
    {
        SettingsRun run(ini);
        run.widget<QCheckBox>("选择框合并中间")->click();
        run.widget<QRadioButton>("单选框按行数")->click();
        run.widget<QLineEdit>("编辑框行数1")->setText("3");
        run.widget<QLineEdit>("编辑框行数2")->setText("7");
        run.widget<QPlainTextEdit>("编辑框字符串")->setPlainText("第一行\n第二行");
        run.widget<QLineEdit>("编辑框文件类型")->clear();
        run.program.form.setTag("按钮输入字符串", fromUtf8("分隔符"));
        EXPECT_TRUE(run.program.window.close());
    }
    EXPECT_NE(toUtf8(readFile(ini)).find("编辑框字符串=第一行┊*┊第二行\r\n"), std::string::npos);

    SettingsRun next(ini);
    Form& form = next.program.form;
    EXPECT_TRUE(form.checked("选择框合并中间"));
    EXPECT_TRUE(form.checked("单选框按行数"));
    EXPECT_FALSE(form.checked("单选框按份数"));
    EXPECT_EQ(next.widget<QLineEdit>("编辑框行数1")->text(), "3");
    EXPECT_EQ(next.widget<QLineEdit>("编辑框行数2")->text(), "7");
    EXPECT_EQ(next.widget<QPlainTextEdit>("编辑框字符串")->toPlainText(), "第一行\n第二行");
    EXPECT_EQ(next.widget<QLineEdit>("编辑框文件类型")->text(), "*.*");
    EXPECT_EQ(toUtf8(form.tag("按钮输入字符串")), "分隔符");
    // The enabling rules followed the restored states.
    EXPECT_TRUE(form.enabled("编辑框字符串"));
    EXPECT_TRUE(form.enabled("单选框使用文件"));
    EXPECT_TRUE(form.visible("选择框识别编码"));
    EXPECT_TRUE(form.visible("选择框矫正换行"));
    EXPECT_FALSE(form.enabled("编辑框份数"));
}

TEST(GuiSettings, TheSplitChooserStartsInTheFolderLastUsedAfterARestart) {
    TempDir dir;
    const std::string ini = dir.path("Partwell.ini");
    writeFile(dir.path("书/a.txt"), "abcd");
    {
        SettingsRun run(ini);
        run.shell.fileAnswers.push_back({fromUtf8(dir.path("书/a.txt"))});
        run.widget<QAbstractButton>("按钮开始分割")->click();
        ASSERT_EQ(run.shell.requests.size(), 1u);
        EXPECT_TRUE(fileExists(dir.path("书/a/a_1.txt")));
        EXPECT_TRUE(run.program.window.close());
    }
    SettingsRun next(ini);
    next.widget<QAbstractButton>("按钮开始分割")->click();  // cancelled
    ASSERT_EQ(next.shell.requests.size(), 1u);
    EXPECT_EQ(toUtf8(next.shell.requests[0].folder), dir.path("书"));
}

TEST(GuiSettings, TheSaveLinkAndPictureSaveAndSaySo) {
    TempDir dir;
    const std::string ini = dir.path("Partwell.ini");
    SettingsRun run(ini);
    run.widget<QRadioButton>("单选框按字节")->click();
    leftPress(run.widget("链接保存配置"));
    ASSERT_EQ(run.messages.shown.size(), 1u);
    EXPECT_EQ(toUtf8(run.messages.shown[0].text), "保存完毕！");
    EXPECT_NE(toUtf8(readFile(ini)).find("单选框按字节=真"), std::string::npos);

    run.widget<QRadioButton>("单选框按字符数")->click();
    leftClick(run.widget("图片保存配置"));
    ASSERT_EQ(run.messages.shown.size(), 2u);
    EXPECT_EQ(toUtf8(run.messages.shown[1].text), "保存完毕！");
    EXPECT_NE(toUtf8(readFile(ini)).find("单选框按字符数=真"), std::string::npos);

    // A second instance on the same file cannot save and says where the file is.
    SettingsRun second(ini);
    leftPress(second.widget("链接保存配置"));
    ASSERT_EQ(second.messages.shown.size(), 1u);
    EXPECT_EQ(toUtf8(second.messages.shown[0].text), "配置未能保存！应保存到：" + ini);
}

}  // namespace
}  // namespace pw::test
