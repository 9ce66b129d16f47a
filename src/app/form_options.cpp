#include "app/form_options.h"

#include "text/codepage.h"
#include "text/numeric_text.h"
#include "text/system_texts.h"

namespace pw {
namespace {

constexpr std::string_view kDelimiterButton = "按钮输入字符串";
constexpr std::string_view kProgressText = "透明标签";

CountRange rangeOf(const Form& form, std::string_view low, std::string_view high) {
    return {textToInt(form.text(low)), textToInt(form.text(high))};
}

}  // namespace

SplitMode FormSplitOptions::mode() const {
    if (form_.checked("单选框按份数")) return SplitMode::Parts;
    if (form_.checked("单选框按字节")) return SplitMode::Bytes;
    if (form_.checked("单选框按行数")) return SplitMode::Lines;
    if (form_.checked("单选框按字符数")) return SplitMode::Characters;
    if (form_.checked("单选框按字符串")) return SplitMode::Delimiter;
    if (form_.checked("单选框按章节")) return SplitMode::Chapters;
    return SplitMode::Parts;
}

int32_t FormSplitOptions::partCount() const {
    return textToInt(form_.text("编辑框份数"));
}
float FormSplitOptions::partSizeNumber() const {
    return textToFloat(form_.text("编辑框字节"));
}
int FormSplitOptions::partSizeUnit() const {
    return form_.selectedIndex("组合框字节单位");
}
CountRange FormSplitOptions::lineCountRange() const {
    return rangeOf(form_, "编辑框行数1", "编辑框行数2");
}
CountRange FormSplitOptions::charCountRange() const {
    return rangeOf(form_, "编辑框字数1", "编辑框字数2");
}
bool FormSplitOptions::detectEncoding() const {
    return form_.checked("选择框识别编码");
}
bool FormSplitOptions::fixLineBreaks() const {
    return form_.checked("选择框矫正换行");
}
bool FormSplitOptions::skipBlankLines() const {
    return form_.checked("选择框忽略空行");
}
bool FormSplitOptions::nameAfterText() const {
    return form_.checked("选择框随机改名");
}
bool FormSplitOptions::intoSubfolder() const {
    return form_.checked("选择框子目录保存");
}
bool FormSplitOptions::deleteSources() const {
    return form_.checked("选择框分割后删除文件");
}
bool FormSplitOptions::writeManifest() const {
    return form_.checked("选择框生成校验清单");
}
Text FormSplitOptions::delimiter() const {
    return form_.tag(kDelimiterButton);
}
int32_t FormSplitOptions::chaptersPerPart() const {
    return textToInt(form_.text("编辑框每份章节"));
}
Text FormSplitOptions::headingPattern() const {
    return form_.text("编辑框章节标题");
}
int32_t FormSplitOptions::headingMaxChars() const {
    return textToInt(form_.text("编辑框标题长度"));
}
void FormSplitOptions::askDelimiter() {
    promptDelimiter(form_);
}

void FormSplitOptions::focus(SplitOptionBox box) {
    switch (box) {
        case SplitOptionBox::PartCount:
            return form_.setFocus("编辑框份数");
        case SplitOptionBox::PartSize:
            return form_.setFocus("编辑框字节");
        case SplitOptionBox::LineCount:
            return form_.setFocus("编辑框行数1");
        case SplitOptionBox::CharCount:
            return form_.setFocus("编辑框字数1");
        case SplitOptionBox::ChapterCount:
            return form_.setFocus("编辑框每份章节");
        case SplitOptionBox::HeadingPattern:
            return form_.setFocus("编辑框章节标题");
    }
}

void FormSplitOptions::showProgressText(const Text& text) {
    form_.setText(kProgressText, text);
}
void FormSplitOptions::showStage(const Text& caption) {
    form_.setText("按钮开始分割", caption);
}

bool FormMergeOptions::handleEncoding() const {
    return form_.checked("选择框处理文本编码");
}
bool FormMergeOptions::deleteSources() const {
    return form_.checked("选择框合并后删除文件");
}
bool FormMergeOptions::intoParentFolder() const {
    return form_.checked("选择框父目录保存");
}
bool FormMergeOptions::includeSubfolders() const {
    return form_.checked("选择框遍历子目录");
}
Text FormMergeOptions::fileTypes() const {
    return form_.text("编辑框文件类型1");
}
JoinWith FormMergeOptions::joinWith() const {
    if (!form_.checked("选择框合并中间")) return JoinWith::Nothing;
    if (form_.checked("单选框使用字符串")) return JoinWith::Text;
    if (form_.checked("单选框使用文件")) return JoinWith::File;
    return JoinWith::Nothing;
}
Text FormMergeOptions::joinText() const {
    return form_.text("编辑框字符串");
}
Text FormMergeOptions::joinFilePath() const {
    return form_.text("编辑框文件路径");
}
void FormMergeOptions::showProgressText(const Text& text) {
    form_.setText(kProgressText, text);
}

void promptDelimiter(Form& form) {
    InputDialogArgs args;
    args.initialText = form.tag(kDelimiterButton);
    args.title = lit(texts::kDelimiterPromptTitle);
    Text result;
    if (form.showInputDialog(args, result)) form.setTag(kDelimiterButton, result);
}

}  // namespace pw
