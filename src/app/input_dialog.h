#pragma once
// The input dialog without its window: the request a call fills, the process-wide outcome, the
// layout arithmetic and the import of files. The Qt dialog is built on these.

#include <functional>
#include <string_view>

#include "platform/files.h"
#include "platform/form.h"
#include "platform/shell.h"

namespace pw {

// What the open dialog shows and how, with the defaults of the call resolved.
struct InputDialogRequest {
    Text hint;
    Text title;
    Text initialText;
    int bodyInputMode = 0;
    int bodyWidth = 0;
    int bodyHeight = 0;
    bool readOnly = false;
    bool confirm = false;  // read-only, answered with OK or Cancel
    bool bothScrollBars = false;
    int margin = 0;
    bool maximized = false;
    int importButtons = 0;
};

// The process-wide record: the last request, and how the dialog was left.
struct InputDialogState {
    InputDialogRequest request;
    bool open = false;
    bool ok = false;
    Text result;
};

InputDialogRequest makeInputDialogRequest(const InputDialogArgs& args);

// The margin in use: values below 1 mean 5.
int marginInUse(int margin);

// Height of the hint box for a text laid out `width` pixels wide, in cells of 6 × 12 pixels.
int hintHeight(std::string_view hint, int width);

// Where the controls go in a client area of `clientWidth` × `clientHeight`. The sizes of the
// shape box and the two buttons are their current ones; only their positions change.
struct InputDialogLayout {
    Rect hint, body, shape, ok, cancel;
};
InputDialogLayout layoutInputDialog(int clientWidth, int clientHeight, int margin,
                                    std::string_view hint, Rect shape, Rect ok, Rect cancel);

// The window's outer geometry once the dialog is created: sized for the requested body, then
// centred on `screen` with 30 pixels left for the taskbar. `frame` is the outer size minus the
// client size.
Rect placeInputDialog(const InputDialogRequest& request, Rect outer, Rect frame, int hintBoxHeight,
                      int okHeight, Rect screen);

bool showsContentImport(int importButtons);
bool showsPathImport(int importButtons);

// Asks for files and hands each one's piece, with its separator, to `append` in order: the
// file's bytes up to their first NUL (as they are, no change of encoding) or its full path. An
// unreadable file gives an empty piece.
enum class ImportMode { Contents, Paths };
void importFiles(Shell& shell, FileSystem& files, ImportMode mode, bool bodyWasEmpty,
                 const std::function<void(const Text&)>& append);

}  // namespace pw
