#pragma once
// The windows' controls as data: the Qt windows and the in-memory form are built from them.

#include <string_view>

#include "platform/form.h"

namespace pw {

const WindowSpec& mainWindowSpec();
const WindowSpec& inputDialogSpec();

// The controls' names, written here once; everything else addresses a control through these.
namespace ctl {

inline constexpr std::string_view kBanner = "图片框1";
inline constexpr std::string_view kLogoTimer = "时钟官网";
inline constexpr std::string_view kBannerRule = "标签10";
inline constexpr std::string_view kLogo = "图片Corvane软件";
inline constexpr std::string_view kSaveSettingsLink = "链接保存配置";
inline constexpr std::string_view kSaveSettingsPicture = "图片保存配置";
inline constexpr std::string_view kHomepageLink = "链接软件主页";
inline constexpr std::string_view kHomepagePicture = "图片软件主页";
inline constexpr std::string_view kSplitArea = "分组框分割";
inline constexpr std::string_view kByParts = "单选框按份数";
inline constexpr std::string_view kPartCount = "编辑框份数";
inline constexpr std::string_view kByBytes = "单选框按字节";
inline constexpr std::string_view kPartSize = "编辑框字节";
inline constexpr std::string_view kPartSizeUnit = "组合框字节单位";
inline constexpr std::string_view kSizePreset = "组合框大小预设";
inline constexpr std::string_view kByLines = "单选框按行数";
inline constexpr std::string_view kLinesLow = "编辑框行数1";
inline constexpr std::string_view kLinesDash = "标签1";
inline constexpr std::string_view kLinesHigh = "编辑框行数2";
inline constexpr std::string_view kByChars = "单选框按字符数";
inline constexpr std::string_view kCharsLow = "编辑框字数1";
inline constexpr std::string_view kCharsDash = "标签2";
inline constexpr std::string_view kCharsHigh = "编辑框字数2";
inline constexpr std::string_view kByDelimiter = "单选框按字符串";
inline constexpr std::string_view kDelimiterButton = "按钮输入字符串";
inline constexpr std::string_view kByChapters = "单选框按章节";
inline constexpr std::string_view kChaptersPerPart = "编辑框每份章节";
inline constexpr std::string_view kChapterPreview = "按钮章节预览";
inline constexpr std::string_view kHeadingLabel = "标签章节标题";
inline constexpr std::string_view kHeadingPattern = "编辑框章节标题";
inline constexpr std::string_view kHeadingMaxLength = "编辑框标题长度";
inline constexpr std::string_view kDetectEncoding = "选择框识别编码";
inline constexpr std::string_view kFixLineBreaks = "选择框矫正换行";
inline constexpr std::string_view kSplitIntoSubfolder = "选择框子目录保存";
inline constexpr std::string_view kDeleteAfterSplit = "选择框分割后删除文件";
inline constexpr std::string_view kSkipBlankLines = "选择框忽略空行";
inline constexpr std::string_view kKeepHeader = "选择框每份保留表头";
inline constexpr std::string_view kNameAfterText = "选择框随机改名";
inline constexpr std::string_view kNameTemplate = "组合框文件名模板";
inline constexpr std::string_view kWriteManifest = "选择框生成校验清单";
inline constexpr std::string_view kWriteRecovery = "选择框生成恢复文件";
inline constexpr std::string_view kRecoveryParts = "编辑框恢复份数";
inline constexpr std::string_view kSplitFileTypes = "编辑框文件类型";
inline constexpr std::string_view kSplitButton = "按钮开始分割";
inline constexpr std::string_view kMergeArea = "分组框合并";
inline constexpr std::string_view kJoinWithData = "选择框合并中间";
inline constexpr std::string_view kJoinWithFile = "单选框使用文件";
inline constexpr std::string_view kJoinFilePath = "编辑框文件路径";
inline constexpr std::string_view kChooseJoinFile = "按钮选择文件";
inline constexpr std::string_view kJoinWithText = "单选框使用字符串";
inline constexpr std::string_view kJoinText = "编辑框字符串";
inline constexpr std::string_view kDeleteAfterMerge = "选择框合并后删除文件";
inline constexpr std::string_view kMergeIntoParent = "选择框父目录保存";
inline constexpr std::string_view kIncludeSubfolders = "选择框遍历子目录";
inline constexpr std::string_view kHandleEncoding = "选择框处理文本编码";
inline constexpr std::string_view kMergeFileTypes = "编辑框文件类型1";
inline constexpr std::string_view kMergeButton = "按钮开始合并";
inline constexpr std::string_view kProgressBar = "进度条";
inline constexpr std::string_view kProgressText = "透明标签";

// The input dialog.
namespace dialog {

inline constexpr std::string_view kForm = "InputDialog";
inline constexpr std::string_view kHint = "编辑框提示";
inline constexpr std::string_view kBody = "编辑框正文";
inline constexpr std::string_view kTools = "外形框";
inline constexpr std::string_view kRestore = "按钮恢复";
inline constexpr std::string_view kClear = "按钮清空";
inline constexpr std::string_view kPaste = "按钮粘贴";
inline constexpr std::string_view kImportContents = "按钮文件";
inline constexpr std::string_view kImportPaths = "按钮文件名";
inline constexpr std::string_view kOk = "按钮确定";
inline constexpr std::string_view kCancel = "按钮取消";

}  // namespace dialog
}  // namespace ctl
}  // namespace pw
