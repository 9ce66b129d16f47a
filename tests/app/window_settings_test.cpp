// The main window's controls saved and restored: the whole walk over its table, and the window's
// events that save and restore.

#include <gtest/gtest.h>

#include "app/control_table.h"
#include "app/memory_form.h"
#include "app/window_events.h"
#include "settings/control_states.h"
#include "support/temp_dir.h"
#include "text/system_texts.h"

namespace pw::test {
namespace {

class WindowSettingsTest : public ::testing::Test {
  protected:
    WindowSettingsTest() : form(mainWindowSpec()) {}

    Text ini() const { return fromUtf8(dir.path("Partwell.ini")); }
    // Saves `from` with a store of its own, then restores a window as it opens from the file.
    void saveAndRestart(MemoryForm& from, MemoryForm& to) {
        {
            SettingsStore store;
            store.openFile(ini());
            EXPECT_TRUE(saveControls(store, from, lit(texts::kMainSection)));
        }
        SettingsStore store;
        store.openFile(ini());
        onWindowCreated(to, &store);
    }
    std::string onDisk() const { return toUtf8(readFile(dir.path("Partwell.ini"))); }

    TempDir dir;
    MemoryForm form;
};

TEST_F(WindowSettingsTest, AFreshSaveWritesEveryTakingPartControlInWindowOrder) {
    SettingsStore store;
    store.openFile(ini());
    form.setTag(ctl::kMergeButton, fromUtf8("/最后的/文件夹"));
    EXPECT_TRUE(saveControls(store, form, lit(texts::kMainSection)));
    EXPECT_EQ(
        onDisk(),
        "[主界面]\r\n单选框按份数=真\r\n编辑框份数=100\r\n单选框按字节=假\r\n编辑框字节=3.12\r\n"
        "组合框字节单位=3\r\n组合框大小预设=0\r\n单选框按行数=假\r\n编辑框行数1=5\r\n编辑框行数2="
        "10\r\n"
        "选择框每份保留表头=假\r\n单选框按字符数=假\r\n编辑框字数1=200\r\n编辑框字数2="
        "500\r\n单选框按字符串=假\r\n"
        "按钮输入字符串.标记=\r\n单选框按章节=假\r\n编辑框每份章节=1\r\n按钮章节预览.标记=\r\n"
        "编辑框章节标题=\r\n编辑框标题长度=40\r\n选择框识别编码=假\r\n选择框矫正换行=假\r\n"
        "选择框子目录保存=真\r\n选择框分割后删除文件=假\r\n选择框忽略空行=假\r\n"
        "选择框随机改名=假\r\n组合框文件名模板={name}_{n}.{ext}\r\n选择框生成校验清单="
        "假\r\n选择框生成恢复文件=假\r\n编辑框恢复份数="
        "1\r\n"
        "编辑框文件类型=*.*\r\n按钮开始分割.标记=\r\n"
        "选择框合并中间=假\r\n单选框使用文件=假\r\n编辑框文件路径=~/1.txt\r\n按钮选择文件.标记="
        "\r\n"
        "单选框使用字符串=真\r\n编辑框字符串=我是中间字符串\r\n选择框合并后删除文件=假\r\n"
        "选择框父目录保存=真\r\n选择框遍历子目录=假\r\n选择框处理文本编码=假\r\n"
        "编辑框文件类型1=*.*\r\n按钮开始合并.标记=/最后的/文件夹");
    // A second save changes values in place and adds nothing.
    form.setChecked(ctl::kJoinWithData, true);
    const size_t length = store.text().size();
    EXPECT_TRUE(saveControls(store, form, lit(texts::kMainSection)));
    EXPECT_EQ(store.text().size(), length);
    EXPECT_NE(onDisk().find("选择框合并中间=真\r\n"), std::string::npos);
}

TEST_F(WindowSettingsTest, ARestartBringsBackTheStatesAndTheEnablingFollowsThem) {
    form.setChecked(ctl::kJoinWithData, true);
    form.setChecked(ctl::kByLines, true);
    form.setText(ctl::kLinesLow, "3");
    form.setText(ctl::kLinesHigh, "7");
    form.setText(ctl::kJoinText, fromUtf8("第一行\r\n第二行"));
    form.setSelectedIndex(ctl::kPartSizeUnit, 1);
    form.setSelectedIndex(ctl::kSizePreset, 2);
    form.setText(ctl::kNameTemplate, fromUtf8("{n:02} 卷.{ext}"));  // typed, in no list
    form.setTag(ctl::kDelimiterButton, fromUtf8("分隔\r\n符"));
    form.setTag(ctl::kSplitButton, fromUtf8("/某/文件夹"));
    form.setText(ctl::kSplitFileTypes, "");  // saved empty: the design-time text comes back

    MemoryForm restarted(mainWindowSpec());
    saveAndRestart(form, restarted);
    EXPECT_TRUE(restarted.checked(ctl::kJoinWithData));
    EXPECT_TRUE(restarted.checked(ctl::kByLines));
    EXPECT_FALSE(restarted.checked(ctl::kByParts));
    EXPECT_EQ(restarted.text(ctl::kLinesLow), "3");
    EXPECT_EQ(restarted.text(ctl::kLinesHigh), "7");
    EXPECT_EQ(toUtf8(restarted.text(ctl::kJoinText)), "第一行\r\n第二行");
    EXPECT_EQ(restarted.selectedIndex(ctl::kPartSizeUnit), 1);
    EXPECT_EQ(restarted.selectedIndex(ctl::kSizePreset), 2);
    EXPECT_EQ(toUtf8(restarted.text(ctl::kNameTemplate)), "{n:02} 卷.{ext}");
    EXPECT_EQ(toUtf8(restarted.tag(ctl::kDelimiterButton)), "分隔\r\n符");
    EXPECT_EQ(toUtf8(restarted.tag(ctl::kSplitButton)), "/某/文件夹");
    EXPECT_EQ(toUtf8(restarted.text(ctl::kSplitFileTypes)), "*.*");
    // The enabling rules ran on the restored ticks.
    EXPECT_TRUE(restarted.enabled(ctl::kJoinText));
    EXPECT_TRUE(restarted.enabled(ctl::kJoinWithFile));
    EXPECT_TRUE(restarted.enabled(ctl::kLinesLow));
    EXPECT_FALSE(restarted.enabled(ctl::kPartCount));
    EXPECT_TRUE(restarted.visible(ctl::kDetectEncoding));

    // Cleared, saved and restarted: the box shows its design-time text again.
    restarted.setText(ctl::kJoinText, "");
    MemoryForm third(mainWindowSpec());
    saveAndRestart(restarted, third);
    EXPECT_EQ(toUtf8(third.text(ctl::kJoinText)), "我是中间字符串");
    EXPECT_TRUE(third.checked(ctl::kJoinWithData));
}

TEST_F(WindowSettingsTest, TheSaveLinkSaysWhetherTheSettingsReachedTheDisk) {
    SettingsStore store;
    store.setForm(&form);
    store.openFile(ini());
    onSaveSettingsClicked(form, store);
    ASSERT_EQ(form.messages.size(), 1u);
    EXPECT_EQ(toUtf8(form.messages[0].text), "保存完毕！");
    EXPECT_NE(onDisk().find("单选框按份数=真"), std::string::npos);

    // A second instance keeps its changes in memory and says where they should have gone.
    SettingsStore second;
    second.setForm(&form);
    second.openFile(ini());
    form.setChecked(ctl::kByParts, false);
    form.setChecked(ctl::kByBytes, true);
    onSaveSettingsClicked(form, second);
    ASSERT_EQ(form.messages.size(), 2u);
    EXPECT_EQ(toUtf8(form.messages[1].text), "配置未能保存！应保存到：" + dir.path("Partwell.ini"));
    EXPECT_NE(onDisk().find("单选框按份数=真"), std::string::npos);

    // A close saves silently.
    AppState state;
    EXPECT_TRUE(onCloseRequest(form, state, &store));
    EXPECT_NE(onDisk().find("单选框按字节=真"), std::string::npos);
    EXPECT_EQ(form.messages.size(), 2u);
}

}  // namespace
}  // namespace pw::test
