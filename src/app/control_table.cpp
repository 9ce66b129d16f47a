#include "app/control_table.h"

#include "app/window_events.h"
#include "split/name_template.h"
#include "text/system_texts.h"

namespace pw {
namespace {

using K = ControlKind;

constexpr unsigned kIntBox = kEditInteger | kEditCentred;

// NOLINTNEXTLINE(readability-function-size): the window's controls are data, one entry each
WindowSpec buildMainWindow() {
    WindowSpec w;
    w.formName = texts::kMainSection;
    w.title = "Partwell v1.3.0.0 - 可以直接拖放文件或文件夹到操作区";
    w.geometry = {50, 50, 783, 669};
    auto add = [&](ControlSpec c) { w.controls.push_back(std::move(c)); };

    // Banner.
    add({.name = ctl::kBanner, .kind = K::PictureBox, .geometry = {0, 0, 1000, 90}});
    add({.name = ctl::kLogoTimer,
         .kind = K::Timer,
         .container = ctl::kBanner,
         .geometry = {272, 32, 26, 26},
         .hidden = true,
         .intervalMs = kLogoFrameMs});
    add({.name = ctl::kBannerRule,
         .kind = K::Label,
         .container = ctl::kBanner,
         .geometry = {-1, 88, 1200, 2}});
    add({.name = ctl::kLogo,
         .kind = K::Picture,
         .container = ctl::kBanner,
         .geometry = {264, 12, 195, 64},
         .handCursor = true});
    add({.name = ctl::kSaveSettingsLink,
         .kind = K::Hyperlink,
         .container = ctl::kBanner,
         .geometry = {15, 64, 64, 24},
         .text = "保存配置",
         .fontPx = 12});
    add({.name = ctl::kSaveSettingsPicture,
         .kind = K::Picture,
         .container = ctl::kBanner,
         .geometry = {15, 0, 64, 64},
         .handCursor = true});
    add({.name = ctl::kHomepageLink,
         .kind = K::Hyperlink,
         .container = ctl::kBanner,
         .geometry = {93, 64, 64, 24},
         .text = "软件主页",
         .fontPx = 12});
    add({.name = ctl::kHomepagePicture,
         .kind = K::Picture,
         .container = ctl::kBanner,
         .geometry = {93, 0, 64, 64},
         .handCursor = true});

    // Split area.
    const std::string_view s = ctl::kSplitArea;
    add({.name = s,
         .kind = K::GroupBox,
         .geometry = {16, 104, 744, 256},
         .text = "分割操作区",
         .bold = true});
    add({.name = ctl::kByParts,
         .kind = K::Radio,
         .container = s,
         .geometry = {16, 24, 100, 24},
         .text = "按份数",
         .checked = true});
    add({.name = ctl::kPartCount,
         .kind = K::Edit,
         .container = s,
         .geometry = {112, 24, 128, 24},
         .text = "100",
         .editStyle = kIntBox});
    add({.name = ctl::kByBytes,
         .kind = K::Radio,
         .container = s,
         .geometry = {16, 56, 100, 24},
         .text = "按字节"});
    add({.name = ctl::kPartSize,
         .kind = K::Edit,
         .container = s,
         .geometry = {112, 56, 61, 24},
         .text = "3.12",
         .editStyle = kEditDecimal | kEditCentred});
    add({.name = ctl::kPartSizeUnit,
         .kind = K::Combo,
         .container = s,
         .geometry = {177, 56, 63, 23},
         .items = {"B", "KB", "MB", "GB"},
         .selected = 3});
    // A real limit instead of the number and unit; the items after the first follow the presets.
    add({.name = ctl::kSizePreset,
         .kind = K::Combo,
         .container = s,
         .geometry = {244, 56, 60, 23},
         .fontPx = 12,
         .items = {"预设", "FAT32", "邮件", "DVD", "CD"},
         .selected = 0});
    add({.name = ctl::kByLines,
         .kind = K::Radio,
         .container = s,
         .geometry = {16, 88, 100, 24},
         .text = "按行数"});
    add({.name = ctl::kLinesLow,
         .kind = K::Edit,
         .container = s,
         .geometry = {112, 88, 50, 24},
         .text = "5",
         .editStyle = kIntBox});
    add({.name = ctl::kLinesDash,
         .kind = K::Label,
         .container = s,
         .geometry = {164, 88, 24, 24},
         .text = "-"});
    add({.name = ctl::kLinesHigh,
         .kind = K::Edit,
         .container = s,
         .geometry = {190, 88, 50, 24},
         .text = "10",
         .editStyle = kIntBox});
    add({.name = ctl::kKeepHeader,
         .kind = K::Checkbox,
         .container = s,
         .geometry = {16, 216, 120, 24},
         .text = "每份保留表头"});
    add({.name = ctl::kByChars,
         .kind = K::Radio,
         .container = s,
         .geometry = {16, 120, 100, 24},
         .text = "按字符数"});
    add({.name = ctl::kCharsLow,
         .kind = K::Edit,
         .container = s,
         .geometry = {112, 120, 50, 24},
         .text = "200",
         .editStyle = kIntBox});
    add({.name = ctl::kCharsDash,
         .kind = K::Label,
         .container = s,
         .geometry = {164, 120, 24, 24},
         .text = "-"});
    add({.name = ctl::kCharsHigh,
         .kind = K::Edit,
         .container = s,
         .geometry = {190, 120, 50, 24},
         .text = "500",
         .editStyle = kIntBox});
    add({.name = ctl::kByDelimiter,
         .kind = K::Radio,
         .container = s,
         .geometry = {16, 152, 100, 24},
         .text = "按字符串"});
    add({.name = ctl::kDelimiterButton,
         .kind = K::Button,
         .container = s,
         .geometry = {112, 152, 128, 24},
         .text = "输入字符串"});
    // Chapters: a row of its own below the five specified modes.
    add({.name = ctl::kByChapters,
         .kind = K::Radio,
         .container = s,
         .geometry = {16, 184, 100, 24},
         .text = "按章节"});
    add({.name = ctl::kChaptersPerPart,
         .kind = K::Edit,
         .container = s,
         .geometry = {112, 184, 50, 24},
         .text = "1",
         .editStyle = kIntBox});
    add({.name = ctl::kChapterPreview,
         .kind = K::Button,
         .container = s,
         .geometry = {170, 184, 70, 24},
         .text = "预览"});
    add({.name = ctl::kHeadingLabel,
         .kind = K::Label,
         .container = s,
         .geometry = {312, 188, 80, 20},
         .text = "标题正则："});
    add({.name = ctl::kHeadingPattern,
         .kind = K::Edit,
         .container = s,
         .geometry = {392, 184, 336, 24}});
    add({.name = ctl::kHeadingMaxLength,
         .kind = K::Edit,
         .container = s,
         .geometry = {632, 184, 56, 24},
         .text = "40",
         .hidden = true,
         .editStyle = kIntBox});
    add({.name = ctl::kDetectEncoding,
         .kind = K::Checkbox,
         .container = s,
         .geometry = {312, 40, 176, 24},
         .text = "识别编码(效率较低)",
         .hidden = true});
    add({.name = ctl::kFixLineBreaks,
         .kind = K::Checkbox,
         .container = s,
         .geometry = {544, 40, 196, 24},
         .text = "矫正换行(不支持大文件)",
         .hidden = true});
    add({.name = ctl::kSplitIntoSubfolder,
         .kind = K::Checkbox,
         .container = s,
         .geometry = {424, 72, 112, 24},
         .text = "分割到子目录",
         .checked = true});
    add({.name = ctl::kDeleteAfterSplit,
         .kind = K::Checkbox,
         .container = s,
         .geometry = {312, 72, 104, 24},
         .text = "分割后删除"});
    add({.name = ctl::kSkipBlankLines,
         .kind = K::Checkbox,
         .container = s,
         .geometry = {552, 72, 90, 24},
         .text = "忽略空行"});
    add({.name = ctl::kNameAfterText,
         .kind = K::Checkbox,
         .container = s,
         .geometry = {648, 72, 90, 24},
         .text = "随机改名"});
    // Part names after a template; the first item is the names the parts get without one.
    add({.name = ctl::kNameTemplate,
         .kind = K::Combo,
         .container = s,
         .geometry = {144, 216, 152, 24},
         .text = kDefaultNameTemplate,
         .fontPx = 12,
         .items = {kDefaultNameTemplate, "{name}.{ext}.{n:03}", "{name}_{n:03}.{ext}",
                   "{name}_{n:03}_{first}.{ext}"},
         .selected = 0,
         .editable = true});
    add({.name = ctl::kWriteManifest,
         .kind = K::Checkbox,
         .container = s,
         .geometry = {312, 216, 176, 24},
         .text = "生成校验清单"});
    add({.name = ctl::kWriteRecovery,
         .kind = K::Checkbox,
         .container = s,
         .geometry = {496, 216, 112, 24},
         .text = "生成恢复文件"});
    // How many whole parts the recovery files can rebuild.
    add({.name = ctl::kRecoveryParts,
         .kind = K::Edit,
         .container = s,
         .geometry = {612, 216, 48, 24},
         .text = "1",
         .editStyle = kIntBox});
    add({.name = ctl::kSplitFileTypes,
         .kind = K::Edit,
         .container = s,
         .geometry = {632, 128, 56, 24},
         .text = "*.*",
         .hidden = true,
         .editStyle = kEditCentred});
    add({.name = ctl::kSplitButton,
         .kind = K::Button,
         .container = s,
         .geometry = {312, 112, 416, 64},
         .text = "开始分割（选择文件）..",
         .fontPx = 16,
         .bold = true});

    // Merge area.
    const std::string_view m = ctl::kMergeArea;
    add({.name = m,
         .kind = K::GroupBox,
         .geometry = {16, 376, 744, 208},
         .text = "合并操作区",
         .bold = true});
    add({.name = ctl::kJoinWithData,
         .kind = K::Checkbox,
         .container = m,
         .geometry = {16, 24, 208, 24},
         .text = "合并时使用中间数据连接"});
    add({.name = ctl::kJoinWithFile,
         .kind = K::Radio,
         .container = m,
         .geometry = {16, 56, 104, 24},
         .text = "使用文件"});
    add({.name = ctl::kJoinFilePath,
         .kind = K::Edit,
         .container = m,
         .geometry = {16, 88, 225, 24},
         .text = "~/1.txt"});  // the window puts the home folder's path in
    add({.name = ctl::kChooseJoinFile,
         .kind = K::Button,
         .container = m,
         .geometry = {214, 90, 24, 20},
         .text = ".."});
    add({.name = ctl::kJoinWithText,
         .kind = K::Radio,
         .container = m,
         .geometry = {16, 128, 160, 24},
         .text = "使用字符串",
         .checked = true});
    add({.name = ctl::kJoinText,
         .kind = K::Edit,
         .container = m,
         .geometry = {16, 152, 225, 40},
         .text = "我是中间字符串",
         .editStyle = kEditMultiLine});
    add({.name = ctl::kDeleteAfterMerge,
         .kind = K::Checkbox,
         .container = m,
         .geometry = {312, 88, 104, 24},
         .text = "合并后删除"});
    add({.name = ctl::kMergeIntoParent,
         .kind = K::Checkbox,
         .container = m,
         .geometry = {424, 88, 112, 24},
         .text = "合并到父目录",
         .checked = true});
    add({.name = ctl::kIncludeSubfolders,
         .kind = K::Checkbox,
         .container = m,
         .geometry = {552, 88, 96, 24},
         .text = "遍历子级"});
    add({.name = ctl::kHandleEncoding,
         .kind = K::Checkbox,
         .container = m,
         .geometry = {648, 88, 94, 24},
         .text = "处理编码"});
    add({.name = ctl::kMergeFileTypes,
         .kind = K::Edit,
         .container = m,
         .geometry = {644, 152, 56, 24},
         .text = "*.*",
         .editStyle = kEditCentred});
    add({.name = ctl::kMergeButton,
         .kind = K::Button,
         .container = m,
         .geometry = {312, 128, 416, 64},
         .text = "开始合并（选择文件夹）..     ",
         .fontPx = 16,
         .bold = true});

    // Progress.
    add({.name = ctl::kProgressBar, .kind = K::ProgressBar, .geometry = {16, 600, 744, 24}});
    add({.name = ctl::kProgressText, .kind = K::TransparentLabel, .geometry = {24, 600, 720, 24}});
    return w;
}

WindowSpec buildInputDialog() {
    WindowSpec w;
    w.formName = ctl::dialog::kForm;
    w.geometry = {50, 50, 495, 393};
    auto add = [&](ControlSpec c) { w.controls.push_back(std::move(c)); };

    add({.name = ctl::dialog::kHint,
         .kind = K::Edit,
         .geometry = {13, 8, 395, 33},
         .fontPx = 0,
         .editStyle = kEditMultiLine | kEditReadOnly | kEditBorderless});
    add({.name = ctl::dialog::kBody,
         .kind = K::Edit,
         .geometry = {5, 56, 411, 168},
         .editStyle = kEditMultiLine});
    const std::string_view tools = ctl::dialog::kTools;
    add({.name = tools, .kind = K::ShapeBox, .geometry = {8, 320, 336, 34}});
    add({.name = ctl::dialog::kRestore,
         .kind = K::Button,
         .container = tools,
         .geometry = {0, 5, 51, 24},
         .text = "恢复"});
    add({.name = ctl::dialog::kClear,
         .kind = K::Button,
         .container = tools,
         .geometry = {54, 5, 51, 24},
         .text = "清空"});
    add({.name = ctl::dialog::kPaste,
         .kind = K::Button,
         .container = tools,
         .geometry = {107, 5, 85, 24},
         .text = "粘贴"});
    add({.name = ctl::dialog::kImportContents,
         .kind = K::Button,
         .container = tools,
         .geometry = {208, 5, 51, 24},
         .text = "内容",
         .hidden = true});
    add({.name = ctl::dialog::kImportPaths,
         .kind = K::Button,
         .container = tools,
         .geometry = {259, 5, 69, 24},
         .text = "文件名",
         .hidden = true});
    add({.name = ctl::dialog::kOk,
         .kind = K::Button,
         .geometry = {351, 328, 64, 24},
         .text = "确定",
         .defaultButton = true});
    add({.name = ctl::dialog::kCancel,
         .kind = K::Button,
         .geometry = {414, 328, 64, 24},
         .text = "取消"});
    return w;
}

}  // namespace

const WindowSpec& mainWindowSpec() {
    static const WindowSpec spec = buildMainWindow();
    return spec;
}

const WindowSpec& inputDialogSpec() {
    static const WindowSpec spec = buildInputDialog();
    return spec;
}

}  // namespace pw
