#pragma once
// Every text the program shows or writes, in UTF-8; they become code-page text through lit().

#include <string_view>

namespace pw::texts {

// Message box titles.
inline constexpr std::string_view kInfoTitle = "信息：";

// Split options refused.
inline constexpr std::string_view kPartCountMustBePositive = "份数必须大于0";
inline constexpr std::string_view kByteLengthNotZero = "字节长度不能等于0";
inline constexpr std::string_view kLineCountAtLeastOne = "行数至少 1";
inline constexpr std::string_view kCharCountAtLeastOne = "字数至少 1 个";
inline constexpr std::string_view kTooManyParts =
    "每个文件最多分割为 1000000 份，请减少份数或加大每份的大小";
inline constexpr std::string_view kHeaderTooLong = "表头超过 1 MB，不能复制到每一份";
inline constexpr std::string_view kNameTemplateUnknown =
    "文件名模板中有无法识别的占位符（可用 {name} {ext} {n} {n:03} {count} {first}，花括号本身写作 "
    "{{ 和 }}）";
inline constexpr std::string_view kNameTemplateNoNumber = "文件名模板必须含有 {n}，否则各份同名";
inline constexpr std::string_view kNameTemplatePhraseFirst =
    "文件名模板中 {first} 必须在 {n} 之后，否则各份不按序号排列";
inline constexpr std::string_view kNameTemplatePhraseJoins =
    "文件名模板中 {n} 与 {first} 之间必须有数字以外的字符，否则不同的份可能同名";
inline constexpr std::string_view kNameTemplateSeparator = "文件名模板不能含有 / 、\\ 或控制字符";
inline constexpr std::string_view kNameTemplateCount =
    "{count} 只能用于按份数或按大小分割（其他方式事先不知道份数）";
inline constexpr std::string_view kFat32PartTooLarge =
    "目标文件夹在 FAT32 文件系统上，单个文件最大 4 GiB − 1 字节（4294967295 "
    "字节），请减小每份的大小";
inline constexpr std::string_view kEnterDelimiter = "请输入用于分割的字符串！";
inline constexpr std::string_view kChaptersPerPartAtLeastOne = "每份章节数至少 1";
inline constexpr std::string_view kBadHeadingPattern = "章节标题的正则表达式无效：";
inline constexpr std::string_view kRegexReasonBefore = "（";
inline constexpr std::string_view kRegexReasonAt = "，第 ";
inline constexpr std::string_view kRegexReasonAfter = " 个字符处）";

// The chapter preview: a summary line a source, a table of its chapters, and warnings.
inline constexpr std::string_view kPreviewTitle =
    "章节预览（确定：开始分割；取消：不写入任何文件）";
inline constexpr std::string_view kPreviewChaptersBefore = "：共 ";
inline constexpr std::string_view kPreviewChaptersMiddle = " 章，分为 ";
inline constexpr std::string_view kPreviewChaptersAfter = " 份";
inline constexpr std::string_view kPreviewColumns = "份\t字数\t章节";
inline constexpr std::string_view kPreviewBeforeFirstHeading = "（第一个标题之前的文字）";
inline constexpr std::string_view kPreviewNoHeading = "：未找到章节标题，此文件不会被分割";
inline constexpr std::string_view kPreviewUnreadable = "：无法读取";
inline constexpr std::string_view kWarningNumberSkips = "注意：编号跳跃（上一章为 ";
inline constexpr std::string_view kWarningNumberRestarts = "注意：编号重新开始（上一章为 ";
inline constexpr std::string_view kWarningNumberAfter = "）：";
inline constexpr std::string_view kWarningTooLongBefore =
    "注意：章节长度超过中位数的 5 倍，可能漏掉了标题（";
inline constexpr std::string_view kWarningTooLongAfter = " 字）：";
inline constexpr std::string_view kWarningNotAlone = "注意：标题所在行还有正文：";
inline constexpr std::string_view kWithoutHeadingsBefore = "未找到章节标题、未分割的文件 ";
inline constexpr std::string_view kWithoutHeadingsAfter = " 个：";
// A folder's split set is damaged, and its recovery files can rebuild the parts: N between these.
inline constexpr std::string_view kRepairQuestionBefore = "可用恢复文件修复 ";
inline constexpr std::string_view kRepairQuestionAfter = " 个分割文件，是否修复？";
// Sources whose own or parts' names are not UTF-8, which recovery files must name them in.
inline constexpr std::string_view kRecoveryNotUtf8Before =
    "名字不是 UTF-8、未生成恢复文件（也未删除）的文件 ";
inline constexpr std::string_view kRecoveryNotUtf8After = " 个：";

// After a split to a size preset: "每份最多 N 字节：a.iso 3 份、b.iso 1 份".
inline constexpr std::string_view kPresetPartsBefore = "每份最多 ";
inline constexpr std::string_view kPresetPartsMiddle = " 字节：";
inline constexpr std::string_view kPresetPartsAfter = " 份";

// The delimiter prompt's title.
inline constexpr std::string_view kDelimiterPromptTitle =
    "请输入用于分割的字符串，这些字符串必然多次出现在目标文件中，这样才能以此为分割点";

// The input dialog: default hints and titles, its message boxes, the close caption of
// information mode, and the import chooser (its title is the start and one of the two ends).
inline constexpr std::string_view kInputHint = "请输入数据：";
inline constexpr std::string_view kInformationHint = "以下为信息详情：";
inline constexpr std::string_view kInputTitle = "输入：";
inline constexpr std::string_view kDialogMessageTitle = "Corvane：";
inline constexpr std::string_view kRestoreEmpty = "启动值为空！";
inline constexpr std::string_view kDiscardChanges = "内容已被改动，是否要放弃？";
inline constexpr std::string_view kCloseCaption = "关闭(&G)";
inline constexpr std::string_view kImportTitle = "选择多个文件，将导入其";
inline constexpr std::string_view kImportContents = "文件内容";
inline constexpr std::string_view kImportPaths = "文件路径";
inline constexpr std::string_view kImportFilter =
    "文本文本|*.txt;*.text;*.ini;*.htn;*.html|全部文件|*.*";

// Captions of the split start button.
inline constexpr std::string_view kSplitIdle = "开始分割（选择文件）..";
inline constexpr std::string_view kSplitRunning = "正在分割，点击停止";
inline constexpr std::string_view kSplitStopping = "正在停止中";
// The stages of a line split, shown on the same button.
inline constexpr std::string_view kStageReading = "读入文件..";
inline constexpr std::string_view kStageFixingBreaks = "矫正换行..";
inline constexpr std::string_view kStageToMemory = "写到内存..";
inline constexpr std::string_view kStageSplitting = "开始分割..";

// Captions of the merge start button (each ends in five spaces).
inline constexpr std::string_view kMergeIdle = "开始合并（选择文件夹）..     ";
inline constexpr std::string_view kMergeRunning = "正在合并，点击停止";
inline constexpr std::string_view kMergeStopping = "正在停止中     ";

// The split job's file chooser.
inline constexpr std::string_view kChooseSplitFilesTitle = "选择多个文件进行分割：";
inline constexpr std::string_view kChooseSplitFilesFilter =
    "TXT文档(*.txt)|*.txt|HTML文档(*.htm;*.html)|*.htm;*.html|所有文件(*.*)|*.*";

// The split job's completion question: the text, the save folder, then what failed, if anything.
inline constexpr std::string_view kSplitDoneOpenFolder = "分割完毕！是否打开保存目录：";
// When the desktop has no program that shows a folder; the folder follows.
inline constexpr std::string_view kCannotShowFolder =
    "无法打开文件夹：系统中没有打开文件夹的程序（xdg-open）。\n"
    "请安装 xdg-utils（sudo apt-get install xdg-utils）后再试。\n";
inline constexpr std::string_view kFailedPartsBefore = "有 ";
inline constexpr std::string_view kFailedPartsAfter = " 个分割文件未能写入。";
inline constexpr std::string_view kUnreadableSourcesBefore = "有 ";
inline constexpr std::string_view kUnreadableSourcesAfter = " 个源文件无法读取。";
inline constexpr std::string_view kUndeletedSourcesBefore = "有 ";
inline constexpr std::string_view kUndeletedSourcesAfter = " 个源文件未能删除。";
inline constexpr std::string_view kDamagedPartsBefore = "有 ";
inline constexpr std::string_view kDamagedPartsAfter = " 个分块与校验清单不符，所在文件夹未合并：";
inline constexpr std::string_view kStalePartsBefore = "有 ";
inline constexpr std::string_view kStalePartsAfter = " 个旧分块不属于本次分割，已保留：";
// Files numbered as a manifest's parts that it does not list, and originals a merge restored.
inline constexpr std::string_view kUnlistedPartsBefore = "有 ";
inline constexpr std::string_view kUnlistedPartsAfter =
    " 个编号文件不在校验清单中（可能是旧分割留下的），未合并也未删除：";
inline constexpr std::string_view kRestoredOriginalsBefore = "按校验清单还原了 ";
inline constexpr std::string_view kRestoredOriginalsAfter = " 个原文件（已核对 SHA-256）：";
inline constexpr std::string_view kNameSeparator = "、";
inline constexpr std::string_view kMoreNames = "…";
// Joining a manifest's parts back into the original, in the window.
inline constexpr std::string_view kJoinDone = "还原完毕！原文件已写入：";
inline constexpr std::string_view kJoinOpenFolder = "是否打开保存目录？";
inline constexpr std::string_view kJoinUndeletedBefore = "有 ";
inline constexpr std::string_view kJoinUndeletedAfter = " 个分块或校验清单未能删除。";
inline constexpr std::string_view kJoinFailed = "未能还原，没有写入任何文件：";
inline constexpr std::string_view kJoinColon = "：";
inline constexpr std::string_view kJoinManifestUnusable = "校验清单无法使用";
inline constexpr std::string_view kJoinPartMissing = "分块缺失";
inline constexpr std::string_view kJoinPartWrongSize = "分块大小不符";
inline constexpr std::string_view kJoinPartChanged = "分块内容已改变";
inline constexpr std::string_view kJoinNotExact = "这些分块无法准确还原原文件，请用合并";
inline constexpr std::string_view kJoinUnreadable = "无法读取";
inline constexpr std::string_view kJoinWriteFailed = "无法写入";
inline constexpr std::string_view kJoinOutputChanged =
    "分块都相符，但合成结果与原文件不符（校验清单被改动）";
inline constexpr std::string_view kJoinStopped = "已停止";
inline constexpr std::string_view kJoinOutsideLink = "指向文件夹之外的链接，未读取";
inline constexpr std::string_view kJoinSizeDisagrees =
    "分块合成的正是原文件，但校验清单记录的大小不同（校验清单被改动）";
inline constexpr std::string_view kJoinUnchecked =
    "没有校验清单，无法确认分块是否齐全（缺少最后一块时看不出来）";
inline constexpr std::string_view kJoinLineBefore = "（第 ";
inline constexpr std::string_view kJoinLineAfter = " 行）";
inline constexpr std::string_view kKeptForReplacementsBefore = "有 ";
inline constexpr std::string_view kKeptForReplacementsAfter =
    " 个源文件在编码转换时有字符被替换，已保留未删除。";
// A failed file and the system's reason, then how many more failed than are shown.
inline constexpr std::string_view kFailureReasonSeparator = "：";
inline constexpr std::string_view kMoreFailuresBefore = "……另有 ";
inline constexpr std::string_view kMoreFailuresAfter = " 个文件出错。";

// The settings file, its side files of byte values and the main window's section.
inline constexpr std::string_view kSettingsFileName = "Partwell.ini";
inline constexpr std::string_view kSettingsSideFolder = "inibin";
inline constexpr std::string_view kSideFileExtension = ".ibn";
inline constexpr std::string_view kMainSection = "主界面";
// How values are written: line breaks inside a text, and the two flag values.
inline constexpr std::string_view kLineBreakMarker = "┊*┊";
inline constexpr std::string_view kFlagTrue = "真";
inline constexpr std::string_view kFlagFalse = "假";
// Control tags that steer the saving of control states, and the key suffix of a button's tag.
inline constexpr std::string_view kTagNoSave = "禁止保存";
inline constexpr std::string_view kTagAsBytes = "字节集方式";
inline constexpr std::string_view kTagKeySuffix = ".标记";
// The settings store's own message boxes.
inline constexpr std::string_view kSettingsErrorTitle = "Corvane：";
inline constexpr std::string_view kSettingsBroken =
    "配置模块出现意外，可能导致无法正常保存！详情请咨询Corvane。";
// After a save on request.
inline constexpr std::string_view kSettingsSaved = "保存完毕！";
inline constexpr std::string_view kSettingsNotSaved = "配置未能保存！应保存到：";

// The merge job's folder chooser: its title holds the text of 编辑框文件类型1 between these two.
inline constexpr std::string_view kChooseMergeFolderTitleBefore =
    "选择一个文件夹，将读入文件夹下的所有 ";
inline constexpr std::string_view kChooseMergeFolderTitleAfter =
    " 文件进行合并。你也可以直接拖放要合并的文件或文件夹到软件";
// The merge area's chooser of the intermediate data file.
inline constexpr std::string_view kChooseMergeDataTitle = "选择一个文件作为合并中间数据";
inline constexpr std::string_view kChooseMergeDataFilter = "全部文件(*.*)|*.*";

// The merge job's completion question, and its message when no question is asked but something
// failed; what failed follows as in the split's question.
inline constexpr std::string_view kMergeDoneOpenFolder = "合并完毕！是否打开保存目录：";
inline constexpr std::string_view kMergeDone = "合并完毕！";
inline constexpr std::string_view kFailedMergeOutputsBefore = "有 ";
inline constexpr std::string_view kFailedMergeOutputsAfter = " 个合并文件未能写入。";
inline constexpr std::string_view kSeparatorUnreadable =
    "合并中间文件无法读取，文件之间未插入内容。";
inline constexpr std::string_view kRenamedOutputsBefore = "有 ";
inline constexpr std::string_view kRenamedOutputsAfter =
    " 个合并文件因与本次读写的文件同名，已另取名称（加序号）。";

// A merge output is named after its first file: base name + "等" + count + "个文件." + extension.
inline constexpr std::string_view kMergeNameCountBefore = "等";
inline constexpr std::string_view kMergeNameCountAfter = "个文件";

// `partwell --version`.
inline constexpr std::string_view kProgramVersion = "partwell " PARTWELL_VERSION "\n";
// `partwell --help`.
inline constexpr std::string_view kProgramUsage =
    "Usage: partwell [--help | --version]\n"
    "Opens Partwell's window to split files into parts and join files into one.\n"
    "partwell-cli does the same from the command line; see partwell(1) and partwell-cli(1).\n";

// The maker's homepage, opened from the banner.
inline constexpr std::string_view kHomepageAddress = "https://www.corvane.example/partwell/";

// Confirmations of a drop onto an area; the counts go between the two halves.
inline constexpr std::string_view kConfirmSplitDroppedFolder = "确定分割被拖放目录下的所有文件吗？";
inline constexpr std::string_view kConfirmSplitDroppedBefore = "确定分割被拖放的 ";
inline constexpr std::string_view kConfirmSplitDroppedAfter = " 个文件吗？";
inline constexpr std::string_view kConfirmMergeDroppedBefore = "确定合并被拖放的 ";
inline constexpr std::string_view kConfirmMergeDroppedAfter = " 个吗？";

// The operating-system name when the system reports an edition the program does not know;
// the version follows.
inline constexpr std::string_view kOsNameUnknown = "获取失败，请检查版本:";

}  // namespace pw::texts

namespace pw::texts {

// Text between markers: stand-ins for the start and the end of a text when a marker is empty.
inline constexpr std::string_view kHeadSentinel = "#Corvane头#";
inline constexpr std::string_view kTailSentinel = "#Corvane尾#";

// The HTML charset check: the spans it looks in, and the declarations it knows. Items of a list
// are separated by kListSeparator; two apostrophes stand for a double quote.
inline constexpr std::string_view kListSeparator = "[fg]";
inline constexpr std::string_view kHeadOpen = "<head>";
inline constexpr std::string_view kHeadClose = "</head>";
inline constexpr std::string_view kMetaOpen = "<meta";
inline constexpr std::string_view kMetaClose = ">";
inline constexpr std::string_view kUtf8Declarations =
    "charset=UTF-8[fg]charset=''UTF-8''[fg]charset='UTF-8'";
inline constexpr std::string_view kBig5Declarations =
    "charset=Big5[fg]charset=''Big5''[fg]charset='Big5'";
inline constexpr std::string_view kBig5HkscsDeclarations =
    "charset=Big5-HKSCS[fg]charset=''Big5-HKSCS''[fg]charset='Big5-HKSCS'";

// Blank lines with their CR LF, and the blanks at both ends of every line.
inline constexpr std::string_view kBlankTrimPattern = R"(^[　 \t]*$(\r\n)|^[ 　\t]+|[ 　\t]+$)";

// Part names taken from the part's text: the characters that end a phrase, and the marker that
// stands for them while the text is cut.
inline constexpr std::string_view kTitleSeparators =
    ",，。！!？?;；<>/:：()='. {}《》（）、‘’- \"“”\r\n";
inline constexpr std::string_view kPhraseMarker = "[⊥]";
inline constexpr std::string_view kFullWidthSpace = "　";

}  // namespace pw::texts
