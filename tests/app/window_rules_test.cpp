#include <gtest/gtest.h>

#include "app/control_table.h"
#include "app/form_options.h"
#include "app/memory_form.h"
#include "app/option_states.h"
#include "app/window_events.h"
#include "support/scripted_shell.h"
#include "text/system_texts.h"

namespace pw::test {
namespace {

// Names of the split area's inputs that are enabled, in table order.
std::string enabledSplitInputs(const MemoryForm& form) {
    const std::string_view inputs[] = {ctl::kPartCount,  ctl::kPartSize,       ctl::kPartSizeUnit,
                                       ctl::kSizePreset, ctl::kLinesLow,       ctl::kLinesHigh,
                                       ctl::kKeepHeader, ctl::kSkipBlankLines, ctl::kCharsLow,
                                       ctl::kCharsHigh,  ctl::kDelimiterButton};
    std::string out;
    for (std::string_view name : inputs)
        if (form.enabled(name)) (out += out.empty() ? "" : " ") += name;
    return out;
}

TEST(OptionStates, EachSplitModeEnablesOnlyItsInputs) {
    MemoryForm form(mainWindowSpec());
    onWindowCreated(form);
    EXPECT_EQ(enabledSplitInputs(form), ctl::kPartCount);
    EXPECT_FALSE(form.visible(ctl::kDetectEncoding));
    EXPECT_FALSE(form.visible(ctl::kFixLineBreaks));

    const std::pair<std::string_view, std::string_view> modes[] = {
        {ctl::kByBytes, "编辑框字节 组合框字节单位 组合框大小预设"},
        {ctl::kByLines, "编辑框行数1 编辑框行数2 选择框每份保留表头 选择框忽略空行"},
        {ctl::kByChars, "编辑框字数1 编辑框字数2"},
        {ctl::kByDelimiter, ctl::kDelimiterButton},
        {ctl::kByParts, ctl::kPartCount},
    };
    for (const auto& [radio, inputs] : modes) {
        form.setChecked(radio, true);
        applySplitOptionStates(form);
        EXPECT_EQ(enabledSplitInputs(form), inputs) << radio;
        const bool lines = std::string_view(radio) == ctl::kByLines;
        EXPECT_EQ(form.visible(ctl::kDetectEncoding), lines) << radio;
        EXPECT_EQ(form.visible(ctl::kFixLineBreaks), lines) << radio;
    }
}

TEST(OptionStates, LineEndingFixFollowsDetectionAndKeepsCheckedStates) {
    MemoryForm form(mainWindowSpec());
    form.setChecked(ctl::kByLines, true);
    applySplitOptionStates(form);
    EXPECT_FALSE(form.enabled(ctl::kFixLineBreaks));
    form.setChecked(ctl::kDetectEncoding, true);
    form.setChecked(ctl::kFixLineBreaks, true);
    applySplitOptionStates(form);
    EXPECT_TRUE(form.enabled(ctl::kFixLineBreaks));

    // Hidden in another mode, still enabled and still checked.
    form.setChecked(ctl::kByBytes, true);
    applySplitOptionStates(form);
    EXPECT_FALSE(form.visible(ctl::kFixLineBreaks));
    EXPECT_TRUE(form.enabled(ctl::kFixLineBreaks));
    EXPECT_TRUE(form.checked(ctl::kDetectEncoding));
    EXPECT_TRUE(form.checked(ctl::kFixLineBreaks));
}

TEST(OptionStates, IntermediateDataInputsFollowTheMergeChoices) {
    MemoryForm form(mainWindowSpec());
    onWindowCreated(form);
    const std::string_view inputs[] = {ctl::kJoinWithText, ctl::kJoinWithFile, ctl::kJoinText,
                                       ctl::kJoinFilePath, ctl::kChooseJoinFile};
    auto enabled = [&] {
        std::string out;
        for (std::string_view name : inputs) out += form.enabled(name) ? '1' : '0';
        return out;
    };
    EXPECT_EQ(enabled(), "00000");
    form.setChecked(ctl::kJoinWithData, true);
    applyMergeOptionStates(form);
    EXPECT_EQ(enabled(), "11100");
    form.setChecked(ctl::kJoinWithFile, true);
    applyMergeOptionStates(form);
    EXPECT_EQ(enabled(), "11011");
    form.setChecked(ctl::kJoinWithData, false);
    applyMergeOptionStates(form);
    EXPECT_EQ(enabled(), "00000");
    EXPECT_TRUE(form.checked(ctl::kJoinWithFile));
}

TEST(OptionStates, RecoveryCountIsEnabledOnlyWhileRecoveryIsTickedAndReadAsWholeParts) {
    MemoryForm form(mainWindowSpec());
    onWindowCreated(form);
    FormSplitOptions options(form);
    EXPECT_FALSE(form.checked(ctl::kWriteRecovery));
    EXPECT_FALSE(form.enabled(ctl::kRecoveryParts));
    EXPECT_FALSE(options.recovery().wanted());

    form.setChecked(ctl::kWriteRecovery, true);
    form.setText(ctl::kRecoveryParts, "3");
    applySplitOptionStates(form);
    EXPECT_TRUE(form.enabled(ctl::kRecoveryParts));
    EXPECT_EQ(options.recovery().parts, 3);
    EXPECT_EQ(options.recovery().percent, 0);
    // An empty box still protects one part rather than none.
    form.setText(ctl::kRecoveryParts, "");
    EXPECT_EQ(options.recovery().parts, 1);

    form.setChecked(ctl::kWriteRecovery, false);
    applySplitOptionStates(form);
    EXPECT_FALSE(form.enabled(ctl::kRecoveryParts));
    EXPECT_FALSE(options.recovery().wanted());
}

TEST(OptionStates, APresetStandsInForTheSizeBoxAndTheTemplateGivesWayToNamingAfterText) {
    MemoryForm form(mainWindowSpec());
    onWindowCreated(form);
    FormSplitOptions options(form);
    FormSplitHost host(form);
    EXPECT_TRUE(form.enabled(ctl::kNameTemplate));
    EXPECT_TRUE(options.nameTemplate().empty());  // the first item: the names of old

    form.setChecked(ctl::kByBytes, true);
    const std::pair<int, int64_t> presets[] = {
        {1, 4294967295}, {2, 18000000}, {3, 4700000000}, {4, 734003200}};
    for (const auto& [index, bytes] : presets) {
        form.setSelectedIndex(ctl::kSizePreset, index);
        applySplitOptionStates(form);
        EXPECT_EQ(options.presetPartSize(), bytes) << index;
        EXPECT_FALSE(form.enabled(ctl::kPartSize));
        EXPECT_FALSE(form.enabled(ctl::kPartSizeUnit));
    }
    // A refusal of the size points to the drop-down while it holds the size.
    host.focus(SplitOptionBox::PartSize);
    EXPECT_EQ(form.focus, ctl::kSizePreset);
    form.setChecked(ctl::kByLines, true);
    applySplitOptionStates(form);
    EXPECT_EQ(options.presetPartSize(), 0);
    EXPECT_FALSE(form.enabled(ctl::kSizePreset));
    form.setChecked(ctl::kByBytes, true);
    form.setSelectedIndex(ctl::kSizePreset, 0);
    applySplitOptionStates(form);
    EXPECT_EQ(options.presetPartSize(), 0);
    EXPECT_TRUE(form.enabled(ctl::kPartSize));
    host.focus(SplitOptionBox::PartSize);
    EXPECT_EQ(form.focus, ctl::kPartSize);

    form.setSelectedIndex(ctl::kNameTemplate, 1);
    EXPECT_EQ(options.nameTemplate(), "{name}.{ext}.{n:03}");
    host.focus(SplitOptionBox::NameTemplate);
    EXPECT_EQ(form.focus, ctl::kNameTemplate);
    form.setChecked(ctl::kNameAfterText, true);
    applySplitOptionStates(form);
    EXPECT_FALSE(form.enabled(ctl::kNameTemplate));
    EXPECT_TRUE(options.nameTemplate().empty());
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
    auto t = fileManagerTarget(fromUtf8("/home/u/分割"), ShowPathAs::Folder, ShowPathAt::Path);
    EXPECT_EQ(toUtf8(t.path), "/home/u/分割");
    EXPECT_FALSE(t.startProgram);
    EXPECT_FALSE(t.selectItem);

    t = fileManagerTarget("/opt/tool/Setup.EXE", ShowPathAs::Folder, ShowPathAt::Path);
    EXPECT_TRUE(t.startProgram);
    t = fileManagerTarget("/opt/tool/a.txt", ShowPathAs::Item, ShowPathAt::Path);
    EXPECT_TRUE(t.selectItem);
    EXPECT_EQ(t.path, "/opt/tool/a.txt");
    t = fileManagerTarget("/opt/tool/a.txt", ShowPathAs::Item, ShowPathAt::Parent);
    EXPECT_EQ(t.path, "/opt/tool");
    EXPECT_FALSE(t.selectItem);
    EXPECT_EQ(fileManagerTarget("a.exe", ShowPathAs::Folder, ShowPathAt::Parent).path,
              "a.exe");  // no separator to cut at

    ScriptedShell shell;
    openHomepage(shell);
    ASSERT_EQ(shell.opened.size(), 1u);
    EXPECT_TRUE(shell.opened[0].isAddress);
    EXPECT_EQ(shell.opened[0].path, lit(texts::kHomepageAddress));
}

}  // namespace
}  // namespace pw::test
