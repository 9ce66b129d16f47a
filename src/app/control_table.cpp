#include "app/control_table.h"

namespace pw {
namespace {

using K = ControlKind;

constexpr unsigned kIntBox = kEditInteger | kEditCentred;

WindowSpec buildMainWindow() {
    WindowSpec w;
    w.formName = "主界面";
    w.title = "Partwell v1.3.0.0 - 可以直接拖放文件或文件夹到操作区";
    w.geometry = {50, 50, 783, 637};
    auto add = [&](ControlSpec c) { w.controls.push_back(std::move(c)); };

    // Banner.
    add({.name = "图片框1", .kind = K::PictureBox, .geometry = {0, 0, 1000, 90}});
    add({.name = "时钟官网",
         .kind = K::Timer,
         .container = "图片框1",
         .geometry = {272, 32, 26, 26},
         .hidden = true,
         .intervalMs = 20});
    add({.name = "标签10",
         .kind = K::Label,
         .container = "图片框1",
         .geometry = {-1, 88, 1200, 2}});
    add({.name = "图片Corvane软件",
         .kind = K::Picture,
         .container = "图片框1",
         .geometry = {264, 12, 195, 64},
         .handCursor = true});
    add({.name = "链接保存配置",
         .kind = K::Hyperlink,
         .container = "图片框1",
         .geometry = {15, 64, 64, 24},
         .text = "保存配置",
         .fontPx = 12});
    add({.name = "图片保存配置",
         .kind = K::Picture,
         .container = "图片框1",
         .geometry = {15, 0, 64, 64},
         .handCursor = true});
    add({.name = "链接软件主页",
         .kind = K::Hyperlink,
         .container = "图片框1",
         .geometry = {93, 64, 64, 24},
         .text = "软件主页",
         .fontPx = 12});
    add({.name = "图片软件主页",
         .kind = K::Picture,
         .container = "图片框1",
         .geometry = {93, 0, 64, 64},
         .handCursor = true});

    // Split area.
    const std::string_view s = "分组框分割";
    add({.name = s,
         .kind = K::GroupBox,
         .geometry = {16, 104, 744, 224},
         .text = "分割操作区",
         .bold = true});
    add({.name = "单选框按份数",
         .kind = K::Radio,
         .container = s,
         .geometry = {16, 24, 100, 24},
         .text = "按份数",
         .checked = true});
    add({.name = "编辑框份数",
         .kind = K::Edit,
         .container = s,
         .geometry = {112, 24, 128, 24},
         .text = "100",
         .editStyle = kIntBox});
    add({.name = "单选框按字节",
         .kind = K::Radio,
         .container = s,
         .geometry = {16, 56, 100, 24},
         .text = "按字节"});
    add({.name = "编辑框字节",
         .kind = K::Edit,
         .container = s,
         .geometry = {112, 56, 61, 24},
         .text = "3.12",
         .editStyle = kEditDecimal | kEditCentred});
    add({.name = "组合框字节单位",
         .kind = K::Combo,
         .container = s,
         .geometry = {177, 56, 63, 23},
         .items = {"B", "KB", "MB", "GB"},
         .selected = 3});
    add({.name = "单选框按行数",
         .kind = K::Radio,
         .container = s,
         .geometry = {16, 88, 100, 24},
         .text = "按行数"});
    add({.name = "编辑框行数1",
         .kind = K::Edit,
         .container = s,
         .geometry = {112, 88, 50, 24},
         .text = "5",
         .editStyle = kIntBox});
    add({.name = "标签1",
         .kind = K::Label,
         .container = s,
         .geometry = {164, 88, 24, 24},
         .text = "-"});
    add({.name = "编辑框行数2",
         .kind = K::Edit,
         .container = s,
         .geometry = {190, 88, 50, 24},
         .text = "10",
         .editStyle = kIntBox});
    add({.name = "单选框按字符数",
         .kind = K::Radio,
         .container = s,
         .geometry = {16, 120, 100, 24},
         .text = "按字符数"});
    add({.name = "编辑框字数1",
         .kind = K::Edit,
         .container = s,
         .geometry = {112, 120, 50, 24},
         .text = "200",
         .editStyle = kIntBox});
    add({.name = "标签2",
         .kind = K::Label,
         .container = s,
         .geometry = {164, 120, 24, 24},
         .text = "-"});
    add({.name = "编辑框字数2",
         .kind = K::Edit,
         .container = s,
         .geometry = {190, 120, 50, 24},
         .text = "500",
         .editStyle = kIntBox});
    add({.name = "单选框按字符串",
         .kind = K::Radio,
         .container = s,
         .geometry = {16, 152, 100, 24},
         .text = "按字符串"});
    add({.name = "按钮输入字符串",
         .kind = K::Button,
         .container = s,
         .geometry = {112, 152, 128, 24},
         .text = "输入字符串"});
    // Chapters: a row of its own below the five specified modes.
    add({.name = "单选框按章节",
         .kind = K::Radio,
         .container = s,
         .geometry = {16, 184, 100, 24},
         .text = "按章节"});
    add({.name = "编辑框每份章节",
         .kind = K::Edit,
         .container = s,
         .geometry = {112, 184, 50, 24},
         .text = "1",
         .editStyle = kIntBox});
    add({.name = "按钮章节预览",
         .kind = K::Button,
         .container = s,
         .geometry = {170, 184, 70, 24},
         .text = "预览"});
    add({.name = "标签章节标题",
         .kind = K::Label,
         .container = s,
         .geometry = {312, 188, 80, 20},
         .text = "标题正则："});
    add({.name = "编辑框章节标题",
         .kind = K::Edit,
         .container = s,
         .geometry = {392, 184, 336, 24}});
    add({.name = "编辑框标题长度",
         .kind = K::Edit,
         .container = s,
         .geometry = {632, 184, 56, 24},
         .text = "40",
         .hidden = true,
         .editStyle = kIntBox});
    add({.name = "选择框识别编码",
         .kind = K::Checkbox,
         .container = s,
         .geometry = {312, 40, 176, 24},
         .text = "识别编码(效率较低)",
         .hidden = true});
    add({.name = "选择框矫正换行",
         .kind = K::Checkbox,
         .container = s,
         .geometry = {544, 40, 196, 24},
         .text = "矫正换行(不支持大文件)",
         .hidden = true});
    add({.name = "选择框子目录保存",
         .kind = K::Checkbox,
         .container = s,
         .geometry = {424, 72, 112, 24},
         .text = "分割到子目录",
         .checked = true});
    add({.name = "选择框分割后删除文件",
         .kind = K::Checkbox,
         .container = s,
         .geometry = {312, 72, 104, 24},
         .text = "分割后删除"});
    add({.name = "选择框忽略空行",
         .kind = K::Checkbox,
         .container = s,
         .geometry = {552, 72, 90, 24},
         .text = "忽略空行"});
    add({.name = "选择框随机改名",
         .kind = K::Checkbox,
         .container = s,
         .geometry = {648, 72, 90, 24},
         .text = "随机改名"});
    add({.name = "选择框生成校验清单",
         .kind = K::Checkbox,
         .container = s,
         .geometry = {312, 16, 176, 24},
         .text = "生成校验清单"});
    add({.name = "编辑框文件类型",
         .kind = K::Edit,
         .container = s,
         .geometry = {632, 128, 56, 24},
         .text = "*.*",
         .hidden = true,
         .editStyle = kEditCentred});
    add({.name = "按钮开始分割",
         .kind = K::Button,
         .container = s,
         .geometry = {312, 112, 416, 64},
         .text = "开始分割（选择文件）..",
         .fontPx = 16,
         .bold = true});

    // Merge area.
    const std::string_view m = "分组框合并";
    add({.name = m,
         .kind = K::GroupBox,
         .geometry = {16, 344, 744, 208},
         .text = "合并操作区",
         .bold = true});
    add({.name = "选择框合并中间",
         .kind = K::Checkbox,
         .container = m,
         .geometry = {16, 24, 208, 24},
         .text = "合并时使用中间数据连接"});
    add({.name = "单选框使用文件",
         .kind = K::Radio,
         .container = m,
         .geometry = {16, 56, 104, 24},
         .text = "使用文件"});
    add({.name = "编辑框文件路径",
         .kind = K::Edit,
         .container = m,
         .geometry = {16, 88, 225, 24},
         .text = "~/1.txt"});  // the window puts the home folder's path in
    add({.name = "按钮选择文件",
         .kind = K::Button,
         .container = m,
         .geometry = {214, 90, 24, 20},
         .text = ".."});
    add({.name = "单选框使用字符串",
         .kind = K::Radio,
         .container = m,
         .geometry = {16, 128, 160, 24},
         .text = "使用字符串",
         .checked = true});
    add({.name = "编辑框字符串",
         .kind = K::Edit,
         .container = m,
         .geometry = {16, 152, 225, 40},
         .text = "我是中间字符串",
         .editStyle = kEditMultiLine});
    add({.name = "选择框合并后删除文件",
         .kind = K::Checkbox,
         .container = m,
         .geometry = {312, 88, 104, 24},
         .text = "合并后删除"});
    add({.name = "选择框父目录保存",
         .kind = K::Checkbox,
         .container = m,
         .geometry = {424, 88, 112, 24},
         .text = "合并到父目录",
         .checked = true});
    add({.name = "选择框遍历子目录",
         .kind = K::Checkbox,
         .container = m,
         .geometry = {552, 88, 96, 24},
         .text = "遍历子级"});
    add({.name = "选择框处理文本编码",
         .kind = K::Checkbox,
         .container = m,
         .geometry = {648, 88, 94, 24},
         .text = "处理编码"});
    add({.name = "编辑框文件类型1",
         .kind = K::Edit,
         .container = m,
         .geometry = {644, 152, 56, 24},
         .text = "*.*",
         .editStyle = kEditCentred});
    add({.name = "按钮开始合并",
         .kind = K::Button,
         .container = m,
         .geometry = {312, 128, 416, 64},
         .text = "开始合并（选择文件夹）..     ",
         .fontPx = 16,
         .bold = true});

    // Progress.
    add({.name = "进度条", .kind = K::ProgressBar, .geometry = {16, 568, 744, 24}});
    add({.name = "透明标签", .kind = K::TransparentLabel, .geometry = {24, 568, 720, 24}});
    return w;
}

WindowSpec buildInputDialog() {
    WindowSpec w;
    w.formName = "InputDialog";
    w.geometry = {50, 50, 495, 393};
    auto add = [&](ControlSpec c) { w.controls.push_back(std::move(c)); };

    add({.name = "编辑框提示",
         .kind = K::Edit,
         .geometry = {13, 8, 395, 33},
         .fontPx = 0,
         .editStyle = kEditMultiLine | kEditReadOnly | kEditBorderless});
    add({.name = "编辑框正文",
         .kind = K::Edit,
         .geometry = {5, 56, 411, 168},
         .editStyle = kEditMultiLine});
    const std::string_view tools = "外形框";
    add({.name = tools, .kind = K::ShapeBox, .geometry = {8, 320, 336, 34}});
    add({.name = "按钮恢复",
         .kind = K::Button,
         .container = tools,
         .geometry = {0, 5, 51, 24},
         .text = "恢复"});
    add({.name = "按钮清空",
         .kind = K::Button,
         .container = tools,
         .geometry = {54, 5, 51, 24},
         .text = "清空"});
    add({.name = "按钮粘贴",
         .kind = K::Button,
         .container = tools,
         .geometry = {107, 5, 85, 24},
         .text = "粘贴"});
    add({.name = "按钮文件",
         .kind = K::Button,
         .container = tools,
         .geometry = {208, 5, 51, 24},
         .text = "内容",
         .hidden = true});
    add({.name = "按钮文件名",
         .kind = K::Button,
         .container = tools,
         .geometry = {259, 5, 69, 24},
         .text = "文件名",
         .hidden = true});
    add({.name = "按钮确定",
         .kind = K::Button,
         .geometry = {351, 328, 64, 24},
         .text = "确定",
         .defaultButton = true});
    add({.name = "按钮取消", .kind = K::Button, .geometry = {414, 328, 64, 24}, .text = "取消"});
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
