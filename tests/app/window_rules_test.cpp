#include <gtest/gtest.h>

#include "app/control_table.h"
#include "app/memory_form.h"
#include "app/option_states.h"
#include "app/window_events.h"
#include "support/scripted_shell.h"
#include "text/system_texts.h"

namespace pw::test {
namespace {

// Names of the split area's inputs that are enabled, in table order.
std::string enabledSplitInputs(const MemoryForm& form) {
    const char* const inputs[] = {"编辑框份数",  "编辑框字节",  "组合框字节单位",
                                  "编辑框行数1", "编辑框行数2", "选择框忽略空行",
                                  "编辑框字数1", "编辑框字数2", "按钮输入字符串"};
    std::string out;
    for (const char* name : inputs)
        if (form.enabled(name)) out += std::string(out.empty() ? "" : " ") + name;
    return out;
}

TEST(OptionStates, EachSplitModeEnablesOnlyItsInputs) {
    MemoryForm form(mainWindowSpec());
    onWindowCreated(form);
    EXPECT_EQ(enabledSplitInputs(form), "编辑框份数");
    EXPECT_FALSE(form.visible("选择框识别编码"));
    EXPECT_FALSE(form.visible("选择框矫正换行"));

    const std::pair<const char*, const char*> modes[] = {
        {"单选框按字节", "编辑框字节 组合框字节单位"},
        {"单选框按行数", "编辑框行数1 编辑框行数2 选择框忽略空行"},
        {"单选框按字符数", "编辑框字数1 编辑框字数2"},
        {"单选框按字符串", "按钮输入字符串"},
        {"单选框按份数", "编辑框份数"},
    };
    for (const auto& [radio, inputs] : modes) {
        form.setChecked(radio, true);
        applySplitOptionStates(form);
        EXPECT_EQ(enabledSplitInputs(form), inputs) << radio;
        const bool lines = std::string_view(radio) == "单选框按行数";
        EXPECT_EQ(form.visible("选择框识别编码"), lines) << radio;
        EXPECT_EQ(form.visible("选择框矫正换行"), lines) << radio;
    }
}

TEST(OptionStates, LineEndingFixFollowsDetectionAndKeepsCheckedStates) {
    MemoryForm form(mainWindowSpec());
    form.setChecked("单选框按行数", true);
    applySplitOptionStates(form);
    EXPECT_FALSE(form.enabled("选择框矫正换行"));
    form.setChecked("选择框识别编码", true);
    form.setChecked("选择框矫正换行", true);
    applySplitOptionStates(form);
    EXPECT_TRUE(form.enabled("选择框矫正换行"));

    // Hidden in another mode, still enabled and still checked.
    form.setChecked("单选框按字节", true);
    applySplitOptionStates(form);
    EXPECT_FALSE(form.visible("选择框矫正换行"));
    EXPECT_TRUE(form.enabled("选择框矫正换行"));
    EXPECT_TRUE(form.checked("选择框识别编码"));
    EXPECT_TRUE(form.checked("选择框矫正换行"));
}

TEST(OptionStates, IntermediateDataInputsFollowTheMergeChoices) {
    MemoryForm form(mainWindowSpec());
    onWindowCreated(form);
    const char* const inputs[] = {"单选框使用字符串", "单选框使用文件", "编辑框字符串",
                                  "编辑框文件路径", "按钮选择文件"};
    auto enabled = [&] {
        std::string out;
        for (const char* name : inputs) out += form.enabled(name) ? '1' : '0';
        return out;
    };
    EXPECT_EQ(enabled(), "00000");
    form.setChecked("选择框合并中间", true);
    applyMergeOptionStates(form);
    EXPECT_EQ(enabled(), "11100");
    form.setChecked("单选框使用文件", true);
    applyMergeOptionStates(form);
    EXPECT_EQ(enabled(), "11011");
    form.setChecked("选择框合并中间", false);
    applyMergeOptionStates(form);
    EXPECT_EQ(enabled(), "00000");
    EXPECT_TRUE(form.checked("单选框使用文件"));
}

TEST(LogoAnimation, BouncesBetweenTheHomepagePictureAndTheRightMargin) {
    LogoAnimation logo;
    int left = 264, steps = 0;
    while (!logo.movingLeft() && steps < 1000) left = logo.step(left, 195, 783, 157), ++steps;
    EXPECT_EQ(left, 569);  // 569 + 195 > 783 - 20
    EXPECT_EQ(steps, 305);
    while (logo.movingLeft() && steps < 2000) left = logo.step(left, 195, 783, 157), ++steps;
    EXPECT_EQ(left, 176);  // less than 157 + 20
    EXPECT_EQ(logo.step(left, 195, 783, 157), 177);
}

TEST(Shell, FileManagerTargets) {
    auto t = fileManagerTarget(fromUtf8("/home/u/分割"), true, false);
    EXPECT_EQ(toUtf8(t.path), "/home/u/分割");
    EXPECT_FALSE(t.startProgram);
    EXPECT_FALSE(t.selectItem);

    t = fileManagerTarget("/opt/tool/Setup.EXE", true, false);
    EXPECT_TRUE(t.startProgram);
    t = fileManagerTarget("/opt/tool/a.txt", false, false);
    EXPECT_TRUE(t.selectItem);
    EXPECT_EQ(t.path, "/opt/tool/a.txt");
    t = fileManagerTarget("/opt/tool/a.txt", false, true);
    EXPECT_EQ(t.path, "/opt/tool");
    EXPECT_FALSE(t.selectItem);
    EXPECT_EQ(fileManagerTarget("a.exe", true, true).path, "a.exe");  // no separator to cut at

    ScriptedShell shell;
    openHomepage(shell);
    ASSERT_EQ(shell.opened.size(), 1u);
    EXPECT_TRUE(shell.opened[0].isAddress);
    EXPECT_EQ(shell.opened[0].path, lit(texts::kHomepageAddress));
}

}  // namespace
}  // namespace pw::test
