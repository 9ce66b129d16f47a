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
inline constexpr std::string_view kEnterDelimiter = "请输入用于分割的字符串！";
inline constexpr std::string_view kChaptersPerPartAtLeastOne = "每份章节数至少 1";
inline constexpr std::string_view kBadHeadingPattern = "章节标题的正则表达式无效：";

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
inline constexpr std::string_view kJoinPartExtra = "多出的编号分块（可能是旧分割留下的）";
inline constexpr std::string_view kJoinPartWrongSize = "分块大小不符";
inline constexpr std::string_view kJoinPartChanged = "分块内容已改变";
inline constexpr std::string_view kJoinNotExact = "这些分块无法准确还原原文件，请用合并";
inline constexpr std::string_view kJoinUnreadable = "无法读取";
inline constexpr std::string_view kJoinWriteFailed = "无法写入";
inline constexpr std::string_view kJoinOutputChanged =
    "分块都相符，但合成结果与原文件不符（校验清单被改动）";
inline constexpr std::string_view kJoinStopped = "已停止";
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

namespace pw::texts::cli {

inline constexpr std::string_view kUsage =
    "Usage: partwell-cli COMMAND [OPTIONS] PATH...\n"
    "\n"
    "Commands:\n"
    "  split    cut files into parts\n"
    "  merge    join files into one\n"
    "  detect   tell the text encoding of files\n"
    "  join     join a split's parts back into the original, checked by its manifest\n"
    "  verify   check parts against their manifest\n"
    "\n"
    "Run 'partwell-cli COMMAND --help' for a command's options, 'partwell-cli --version' for\n"
    "the version.\n";
inline constexpr std::string_view kVersion = "partwell-cli " PARTWELL_VERSION "\n";

inline constexpr std::string_view kSplitUsage =
    "Usage: partwell-cli split [OPTIONS] PATH...\n"
    "\n"
    "Cuts every file into parts. A PATH that is a folder stands for the files in it that match\n"
    "--types (subfolders are not entered). Parts go into a subfolder named after the file.\n"
    "\n"
    "Modes (the last of --parts, --size, --lines, --chars and --delimiter(-file) wins):\n"
    "  --parts N              N parts of equal size, the last takes the rest (default: 100)\n"
    "  --size NUMBER[UNIT]    parts of NUMBER units; UNIT is B, KB, MB or GB (default GB);\n"
    "                         NUMBER may have a fraction, e.g. 1.5MB\n"
    "  --lines LOW[-HIGH]     parts of LOW to HIGH lines, drawn anew for every part; lines\n"
    "                         are joined by CR LF, with no line break after a part's last line\n"
    "  --chars LOW[-HIGH]     parts of LOW to HIGH characters of the decoded text, drawn anew\n"
    "                         for every part; a CR LF or a multi-byte character is never cut\n"
    "  --delimiter TEXT       cut the file's text at every occurrence of TEXT, which is left\n"
    "                         out; a line break in TEXT matches CR LF. The text is decoded\n"
    "                         first (GBK, UTF-8, UTF-16, Big5) and parts keep its encoding\n"
    "  --delimiter-file PATH  the same, with the whole text of that file (line breaks as they\n"
    "                         are in it) as the delimiter\n"
    "\n"
    "Text options:\n"
    "  --detect-encoding      with --lines: read the file in its own encoding (held in memory)\n"
    "                         and write the parts back in it; --chars always does\n"
    "  --fix-line-breaks      with --detect-encoding: a lone CR or LF is a line break too\n"
    "  --skip-blank-lines     with --lines: lines of only spaces and tabs are left out\n"
    "\n"
    "Other options:\n"
    "  --no-subfolder         write the parts beside the file\n"
    "  --delete-source        delete each file once all of it is in parts that were written\n"
    "  --rename-by-content    name each part after a phrase of its own text\n"
    "  --manifest             write <name>.sha256 beside the parts: their SHA-256 sums (for\n"
    "                         sha256sum -c) and what 'partwell-cli join' needs\n"
    "  --types PATTERNS       file-name patterns for folders, separated by '|' (default *.*)\n"
    "  --help                 show this text\n"
    "\n"
    "Exit status: 0 when every part was written, 1 when a file could not be read or deleted or\n"
    "a part could not be written, 2 when an option was refused; 130 or 143 when stopped by\n"
    "Ctrl-C or SIGTERM (a second one ends at once).\n";

inline constexpr std::string_view kUnknownCommand = "partwell-cli: unknown command: ";
inline constexpr std::string_view kUnknownOption = "partwell-cli: unknown option: ";
inline constexpr std::string_view kMissingValue = "partwell-cli: the option needs a value: ";
inline constexpr std::string_view kBadUnit = "partwell-cli: the unit must be B, KB, MB or GB: ";
inline constexpr std::string_view kBadRange =
    "partwell-cli: a count must be a whole number N or a range LOW-HIGH: ";
inline constexpr std::string_view kFixNeedsDetect =
    "partwell-cli: --fix-line-breaks needs --detect-encoding";
inline constexpr std::string_view kNoPaths = "partwell-cli: no file or folder given\n";
inline constexpr std::string_view kSplitSummary = "parts written: ";
inline constexpr std::string_view kFailedParts = ", parts that could not be written: ";
inline constexpr std::string_view kUnreadable = ", files that could not be read: ";
inline constexpr std::string_view kUndeleted = ", files that could not be deleted: ";
inline constexpr std::string_view kKeptForReplacements =
    ", files kept because characters were replaced in a conversion: ";
inline constexpr std::string_view kProgramPrefix = "partwell-cli: ";
inline constexpr std::string_view kWriteError = "partwell-cli: write error: ";
inline constexpr std::string_view kBadNumber = "partwell-cli: not a usable number: ";
inline constexpr std::string_view kNoPatterns = "partwell-cli: --types holds no pattern: ";

}  // namespace pw::texts::cli

// The chapter mode of partwell-cli split.
namespace pw::texts::cli::chapters {

inline constexpr std::string_view kUsage =
    "\n"
    "Chapters (decoded text, cut before every chapter heading; parts are named\n"
    "<name>_<k> <heading>.<ext>, the text before the first heading is part 1):\n"
    "  --chapters [N]         N chapters a part (default 1). Headings: 第…章/回/节/卷/部/集/\n"
    "                         篇/话/幕 with Chinese or Arabic numbers, 序章 楔子 引子 序言 前言\n"
    "                         尾声 后记 终章 番外, Chapter N, also in 【】 or 〔〕, at the start\n"
    "                         of a line of at most 40 characters\n"
    "  --heading-regex RE     a line matching the PCRE2 pattern RE is a heading instead\n"
    "  --heading-max-length N longest heading line, in characters (default 40)\n"
    "  --dry-run              write nothing; print the chapters, their parts and sizes in\n"
    "                         characters, and warnings (numbers that skip or restart,\n"
    "                         chapters over 5 times the median, text after a heading)\n"
    "A file without any heading is left alone and named on standard error.\n";
inline constexpr std::string_view kBadCount = "partwell-cli: not a whole number above 0: ";
inline constexpr std::string_view kDryRunNeedsChapters = "partwell-cli: --dry-run needs --chapters";
inline constexpr std::string_view kNoHeadings = ": no chapter heading found, nothing written\n";

}  // namespace pw::texts::cli::chapters

// Checksum manifests, join and verify (partwell-cli, English).
namespace pw::texts::roundtrip {

inline constexpr std::string_view kStaleRemoved =
    "partwell-cli: unchanged parts of an earlier split removed: ";
inline constexpr std::string_view kStaleKept =
    ": left from an earlier split, kept (it is no part of this split)\n";
inline constexpr std::string_view kJoinUsage =
    "Usage: partwell-cli join [--delete-parts] PATH\n"
    "\n"
    "Joins a split's parts back into the original file. PATH is the split's manifest\n"
    "(<name>.sha256), any one of its parts, or the folder that holds them. Without a manifest\n"
    "the parts are the files <stem>_1.<ext>, <stem>_2.<ext> ... beside the one given.\n"
    "\n"
    "Every part must be there with its recorded size before anything is written; the joined\n"
    "file is checked against the original's SHA-256 before it takes the original's name in\n"
    "the folder the split took it from. An existing file is never replaced: the next free\n"
    "name 'name (2).ext' is taken, and said so. Parts written by a text mode that changed the\n"
    "text (or without a manifest) are refused: 'partwell-cli merge' joins them.\n"
    "\n"
    "  --delete-parts  delete the parts and the manifest once the original is in place\n"
    "  --help          show this text\n"
    "\n"
    "Exit status: 0 when the original was written, 1 when not (each reason on standard error),\n"
    "2 when an option was refused.\n";
inline constexpr std::string_view kVerifyUsage =
    "Usage: partwell-cli verify [--source FILE] PATH\n"
    "\n"
    "Checks every part a manifest lists (PATH is the manifest or the folder that holds it),\n"
    "as sha256sum -c does: one line a part (OK, MISSING, WRONG SIZE, CHANGED) and a summary.\n"
    "\n"
    "  --source FILE  also check FILE against the original the manifest records\n"
    "  --help         show this text\n"
    "\n"
    "Exit status: 0 when everything checked is OK, 1 otherwise, 2 when an option was refused.\n";
inline constexpr std::string_view kOnePath = "partwell-cli: give one path only: ";
inline constexpr std::string_view kNameTaken = " exists; the original was written as ";
inline constexpr std::string_view kUndeletedParts =
    "partwell-cli: parts or manifest that could not be deleted: ";
inline constexpr std::string_view kNoParts = "no split parts found";
inline constexpr std::string_view kSeveralSets =
    "holds the parts of more than one split; name a manifest or a part";
inline constexpr std::string_view kManifestDamaged = "the manifest cannot be used";
inline constexpr std::string_view kPartMissing = "missing part";
inline constexpr std::string_view kPartExtra =
    "a numbered part beyond the set (left from an earlier split?)";
inline constexpr std::string_view kPartWrongSize = "the part does not have its recorded size";
inline constexpr std::string_view kPartChanged = "the part was changed since the split";
inline constexpr std::string_view kNotExact = "these parts cannot give back the original exactly";
inline constexpr std::string_view kUseMerge = "; 'partwell-cli merge' joins them as they are";
inline constexpr std::string_view kUnreadable = "cannot be read";
inline constexpr std::string_view kWriteFailed = "could not be written";
inline constexpr std::string_view kOutputChanged =
    "every part matches, yet the joined file is not the recorded original: the manifest was "
    "changed";
inline constexpr std::string_view kStopped = "stopped";
inline constexpr std::string_view kNothingWritten = "partwell-cli: nothing was written\n";
inline constexpr std::string_view kDamagedPart =
    ": does not hold what the split's manifest records; its folder was not merged\n";
inline constexpr std::string_view kOk = "OK";
inline constexpr std::string_view kMissing = "MISSING";
inline constexpr std::string_view kWrongSize = "WRONG SIZE";
inline constexpr std::string_view kChanged = "CHANGED";
inline constexpr std::string_view kVerifySummaryBefore = "parts OK: ";
inline constexpr std::string_view kVerifySummaryOf = " of ";
inline constexpr std::string_view kVerifySummaryAfter = "\n";

}  // namespace pw::texts::roundtrip

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

namespace pw::texts::cli {

// partwell-cli detect.
inline constexpr std::string_view kDetectUsage =
    "Usage: partwell-cli detect [--decode] PATH...\n"
    "\n"
    "Prints the text encoding of every file: the name (GBK, UTF-8, UTF-16LE, UTF-16BE, BIG5 or\n"
    "BIG5-HKSCS), a tab and the path. gzip-compressed files are looked into.\n"
    "\n"
    "Options:\n"
    "  --decode   write the text of the one file given to standard output in UTF-8; the\n"
    "             encoding line then goes to standard error\n"
    "  --help     show this text\n"
    "\n"
    "Exit status: 0 when every file was read, 1 when a file could not be read, 2 when an\n"
    "option was refused.\n";
inline constexpr std::string_view kDecodeNeedsOneFile =
    "partwell-cli: --decode takes exactly one file\n";
inline constexpr std::string_view kCannotRead = "partwell-cli: cannot read: ";

// partwell-cli merge.
inline constexpr std::string_view kMergeUsage =
    "Usage: partwell-cli merge [OPTIONS] PATH...\n"
    "\n"
    "Joins files into one. The FILE paths given form one batch, joined in the order given; each\n"
    "FOLDER is merged on its own: its files that match --types, in natural order (book_2 before\n"
    "book_10), and with --recursive each matching subfolder the same way. An output is named "
    "after\n"
    "its batch's first file and the count of files (a.txt, b.txt -> a等2个文件.txt) and goes into\n"
    "the folder above the first file's folder; its path is printed on standard output.\n"
    "\n"
    "Options:\n"
    "  --types PATTERNS       file-name patterns for folders, separated by '|' (default *.*);\n"
    "                         with --recursive only subfolders that match them are entered\n"
    "  --recursive            also merge every matching subfolder, each into an output of its own\n"
    "  --no-parent-folder     write each output beside its first file\n"
    "  --delete-sources       delete every file once the output holding all of it is in place\n"
    "  --handle-encoding      join the files' texts (UTF-8, UTF-16, BIG5, GBK; gzip too) and "
    "write\n"
    "                         the output in the encoding of the last file; a text ends at a NUL\n"
    "  --separator TEXT       put TEXT between two files (in GB18030; a line break becomes CR LF)\n"
    "  --separator-file PATH  put the bytes of the file PATH between two files\n"
    "  --help                 show this text\n"
    "\n"
    "Exit status: 0 when every output was written, 1 when an output could not be written or a\n"
    "file could not be read or deleted, 2 when an option was refused.\n";
inline constexpr std::string_view kMergeSummary = "files written: ";
inline constexpr std::string_view kFailedOutputs = ", files that could not be written: ";

}  // namespace pw::texts::cli
