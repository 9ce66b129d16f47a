#include "app/input_dialog.h"

#include <cmath>

#include "text/codepage.h"
#include "text/system_texts.h"

namespace pw {
namespace {

constexpr int kCellWidth = 6;
constexpr int kCellHeight = 12;
constexpr int kDefaultMargin = 5;
constexpr int kTaskbarAllowance = 30;

Text fileTextUpToNul(FileSystem& files, const Text& path) {
    std::error_code ignored;
    const auto bytes = readEntireFile(files, path, ignored);
    return bytes ? bytesAsText(*bytes) : Text();
}

}  // namespace

InputDialogRequest makeInputDialogRequest(const InputDialogArgs& args) {
    InputDialogRequest r;
    if (args.hintGiven)
        r.hint = !args.hint.empty() ? args.hint
                 : args.inputMode   ? lit(texts::kInputHint)
                                    : lit(texts::kInformationHint);
    r.title = !args.title.empty() ? args.title
              : args.inputMode    ? lit(texts::kInputTitle)
                                  : lit(texts::kInfoTitle);
    r.initialText = args.initialText;
    r.bodyInputMode = args.bodyInputMode;
    r.bodyWidth = args.bodyWidth;
    r.bodyHeight = args.bodyHeight;
    r.readOnly = !args.inputMode;
    r.confirm = r.readOnly && args.confirm;
    r.bothScrollBars = args.bothScrollBars;
    r.margin = args.margin;
    r.maximized = args.maximized;
    r.importButtons = args.importButtons;
    return r;
}

int marginInUse(int margin) {
    return margin < 1 ? kDefaultMargin : margin;
}

int hintHeight(std::string_view hint, int width) {
    // A box narrower than one cell still shows a character a row.
    const int perRow = std::max(1, width / kCellWidth);
    int rows = 0;
    for (size_t start = 0; !hint.empty();) {
        const size_t end = hint.find("\r\n", start);
        const size_t length = (end == std::string_view::npos ? hint.size() : end) - start;
        rows += length == 0 ? 1 : int(std::ceil(float(length) / float(perRow)));
        if (end == std::string_view::npos) break;
        start = end + 2;
    }
    return rows * kCellHeight;
}

InputDialogLayout layoutInputDialog(int clientWidth, int clientHeight, int margin,
                                    std::string_view hint, Rect shape, Rect ok, Rect cancel) {
    const int m = marginInUse(margin);
    InputDialogLayout l;
    const int width = std::max(0, clientWidth - 2 * m);
    l.hint = {m, m, width, hintHeight(hint, width)};
    const int bodyTop = l.hint.top + l.hint.height + m;
    l.body = {m, bodyTop, width, std::max(0, clientHeight - bodyTop - shape.height)};
    l.shape = {m, l.body.top + l.body.height, shape.width, shape.height};
    const int buttonTop = l.shape.top + l.shape.height / 2 - cancel.height / 2;
    l.cancel = {clientWidth - m - cancel.width, buttonTop, cancel.width, cancel.height};
    l.ok = {l.cancel.left - ok.width, buttonTop, ok.width, ok.height};
    return l;
}

Rect placeInputDialog(const InputDialogRequest& request, Rect outer, Rect frame, int hintBoxHeight,
                      int okHeight, Rect screen) {
    const int m = marginInUse(request.margin);
    if (request.bodyWidth != 0) outer.width = frame.width + request.bodyWidth + 2 * m;
    if (request.bodyHeight != 0)
        outer.height = frame.height + hintBoxHeight + 2 * m + request.bodyHeight + 3 * m + okHeight;
    outer.left = screen.left + screen.width / 2 - outer.width / 2;
    outer.top = screen.top + (screen.height - kTaskbarAllowance) / 2 - outer.height / 2;
    return outer;
}

bool showsContentImport(int importButtons) {
    return importButtons == 1 || importButtons == 3;
}
bool showsPathImport(int importButtons) {
    return importButtons == 2 || importButtons == 3;
}

void importFiles(Shell& shell, FileSystem& files, ImportMode mode, bool bodyWasEmpty,
                 const std::function<void(const Text&)>& append) {
    const Text title =
        lit(texts::kImportTitle) +
        lit(mode == ImportMode::Contents ? texts::kImportContents : texts::kImportPaths);
    const std::vector<Text> chosen = shell.chooseFiles(title, lit(texts::kImportFilter), {});
    for (size_t i = 0; i < chosen.size(); ++i) {
        const Text separator = i == 0 && bodyWasEmpty ? Text() : Text("\r\n");
        append(separator +
               (mode == ImportMode::Contents ? fileTextUpToNul(files, chosen[i]) : chosen[i]));
    }
}

}  // namespace pw
