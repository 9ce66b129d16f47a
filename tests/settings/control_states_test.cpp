#include "settings/control_states.h"

#include <gtest/gtest.h>

#include "support/plain_form.h"
#include "support/temp_dir.h"
#include "text/codepage.h"
#include "text/system_texts.h"

namespace pw::test {
namespace {

// Controls of every kind in two areas, named as a window names them; a label takes no part.
class ControlStatesTest : public ::testing::Test {
  protected:
    ControlStatesTest() {
        form.add("分组框分割");
        form.add("单选框按份数", "分组框分割").checked = true;
        form.add("编辑框份数", "分组框分割").text = "100";
        PlainForm::Control& unit = form.add("组合框字节单位", "分组框分割");
        unit.items = 4;
        unit.selected = 3;
        form.add("按钮输入字符串", "分组框分割");
        form.add("选择框子目录保存", "分组框分割").checked = true;
        form.add("按钮开始分割", "分组框分割");
        form.add("标签说明");
        form.add("分组框合并");
        form.add("选择框合并中间", "分组框合并");
        form.add("编辑框字符串", "分组框合并").text = fromUtf8("我是中间字符串");
        form.add("编辑框文件类型1", "分组框合并").text = "*.*";
    }

    Text ini() const { return fromUtf8(dir.path("Partwell.ini")); }
    std::string onDisk() const { return toUtf8(readFile(dir.path("Partwell.ini"))); }

    TempDir dir;
    PlainForm form;
};

TEST_F(ControlStatesTest, TagsAndSkipListsKeepControlsOutOrMoveThemToSideFiles) {
    form.setTag("按钮输入字符串", lit(texts::kTagNoSave));
    form.setTag("编辑框字符串", lit(texts::kTagAsBytes));
    form.setText("编辑框字符串", fromUtf8("原样\r\n字节"));
    form.setTag("按钮开始分割", lit(texts::kTagAsBytes));
    SettingsStore store;
    store.openFile(ini());
    const ControlSkips skips{{"编辑框份数"}, {"分组框合并"}};
    EXPECT_TRUE(saveControls(store, form, lit(texts::kMainSection), skips));
    EXPECT_EQ(onDisk(), "[主界面]\r\n单选框按份数=真\r\n组合框字节单位=3\r\n选择框子目录保存=真");
    EXPECT_EQ(listing(dir.path("inibin")), "主界面-按钮开始分割.标记.ibn");
    EXPECT_EQ(toUtf8(readFile(dir.path("inibin/主界面-按钮开始分割.标记.ibn"))), "字节集方式");

    // Restoring reads the same places; a skipped control keeps its state.
    PlainForm restarted;
    restarted.add("按钮输入字符串").tag = lit(texts::kTagNoSave);
    restarted.add("编辑框字符串").tag = lit(texts::kTagAsBytes);
    restarted.add("编辑框份数").text = "100";
    writeFile(dir.path("inibin/主界面-编辑框字符串.ibn"), fromUtf8("原样\r\n字节"));
    store.writeText(fromUtf8("按钮输入字符串.标记"), "ignored");
    store.writeText(fromUtf8("编辑框份数"), "5");
    restoreControls(store, restarted, lit(texts::kMainSection), {{"编辑框份数"}, {}});
    EXPECT_EQ(toUtf8(restarted.text("编辑框字符串")), "原样\r\n字节");
    EXPECT_EQ(restarted.tag("按钮输入字符串"), lit(texts::kTagNoSave));
    EXPECT_EQ(restarted.text("编辑框份数"), "100");
}

TEST_F(ControlStatesTest, BrokenValuesLeaveControlsSensible) {
    writeFile(
        dir.path("Partwell.ini"),
        fromUtf8("[主界面]\r\n选择框合并中间=真 \r\n选择框子目录保存=否\r\n组合框字节单位=99\r\n"
                 "编辑框份数=\r\n编辑框字节=") +
            "\xff\xff");
    SettingsStore store;
    store.openFile(ini());
    form.setChecked("选择框合并中间", true);
    restoreControls(store, form, lit(texts::kMainSection));
    EXPECT_FALSE(form.checked("选择框合并中间"));
    EXPECT_FALSE(form.checked("选择框子目录保存"));
    EXPECT_EQ(form.selectedIndex("组合框字节单位"), -1);
    EXPECT_EQ(form.text("编辑框份数"), "100");
}

}  // namespace
}  // namespace pw::test
