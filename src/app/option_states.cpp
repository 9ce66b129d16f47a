#include "app/option_states.h"

namespace pw {

void applySplitOptionStates(Form& form) {
    form.setEnabled("编辑框份数", form.checked("单选框按份数"));

    const bool bytes = form.checked("单选框按字节");
    form.setEnabled("编辑框字节", bytes);
    form.setEnabled("组合框字节单位", bytes);

    const bool chars = form.checked("单选框按字符数");
    form.setEnabled("编辑框字数1", chars);
    form.setEnabled("编辑框字数2", chars);

    const bool lines = form.checked("单选框按行数");
    form.setEnabled("编辑框行数1", lines);
    form.setEnabled("编辑框行数2", lines);
    form.setEnabled("选择框忽略空行", lines);
    form.setVisible("选择框识别编码", lines);
    form.setVisible("选择框矫正换行", lines);

    form.setEnabled("选择框矫正换行", form.checked("选择框识别编码"));
    form.setEnabled("按钮输入字符串", form.checked("单选框按字符串"));

    const bool chapters = form.checked("单选框按章节");
    for (std::string_view name : {"编辑框每份章节", "按钮章节预览", "编辑框章节标题"})
        form.setEnabled(name, chapters);
}

void applyMergeOptionStates(Form& form) {
    const bool joined = form.checked("选择框合并中间");
    form.setEnabled("单选框使用字符串", joined);
    form.setEnabled("单选框使用文件", joined);
    form.setEnabled("编辑框字符串", joined && form.checked("单选框使用字符串"));
    const bool file = joined && form.checked("单选框使用文件");
    form.setEnabled("编辑框文件路径", file);
    form.setEnabled("按钮选择文件", file);
}

}  // namespace pw
