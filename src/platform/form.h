#pragma once
// The Form port: what the engines and jobs need of a window. Controls are addressed by their
// names (UTF-8, as the control table spells them); texts crossing the port are code-page text.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "platform/input_dialog_args.h"
#include "platform/job_host.h"
#include "platform/text_bytes.h"

namespace pw {

enum class ControlKind {
    PictureBox,
    Timer,
    Label,
    TransparentLabel,
    ShapeBox,
    Picture,
    Hyperlink,
    GroupBox,
    Radio,
    Checkbox,
    Edit,
    Combo,
    Button,
    ProgressBar,
};

struct Rect {
    int left = 0, top = 0, width = 0, height = 0;
    bool operator==(const Rect&) const = default;
};

// Input restrictions and looks of an edit box.
enum EditStyle : unsigned {
    kEditPlain = 0,
    kEditInteger = 1,  // digits only
    kEditDecimal = 2,  // a decimal number
    kEditCentred = 4,
    kEditMultiLine = 8,  // with a vertical scroll bar
    kEditReadOnly = 16,
    kEditBorderless = 32,  // no frame and no scroll bar, the window's background
};

// One control of a window, as it is when the window opens. Texts are UTF-8.
struct ControlSpec {
    std::string_view name = {};
    ControlKind kind = ControlKind::Label;
    std::string_view container = {};  // empty: directly on the window
    Rect geometry = {};
    std::string_view text = {};  // caption or default text
    bool checked = false;
    bool hidden = false;
    int fontPx = 15;  // 0: the window's default font
    bool bold = false;
    unsigned editStyle = kEditPlain;
    std::vector<std::string_view> items = {};  // combo box items
    int selected = -1;                         // combo box selection
    bool editable = false;  // a combo box whose text can be typed; `text` is its default
    bool handCursor = false;
    int intervalMs = 0;  // timers
    bool defaultButton = false;
};

// A window's title, outer geometry, form name and controls in window order.
struct WindowSpec {
    std::string_view formName;
    std::string_view title;
    Rect geometry;
    std::vector<ControlSpec> controls;
    const ControlSpec* find(std::string_view name) const;
};

class Form {
  public:
    virtual ~Form() = default;

    virtual bool checked(std::string_view name) const = 0;
    virtual void setChecked(std::string_view name, bool on) = 0;
    virtual Text text(std::string_view name) const = 0;  // caption of buttons, text of edits
    virtual void setText(std::string_view name, const Text& text) = 0;
    virtual Text tag(std::string_view name) const = 0;
    virtual void setTag(std::string_view name, const Text& tag) = 0;
    virtual int selectedIndex(std::string_view name) const = 0;  // -1: nothing selected
    virtual void setSelectedIndex(std::string_view name, int index) = 0;
    virtual bool enabled(std::string_view name) const = 0;
    virtual void setEnabled(std::string_view name, bool on) = 0;
    virtual bool visible(std::string_view name) const = 0;
    virtual void setVisible(std::string_view name, bool on) = 0;
    virtual void setFocus(std::string_view name) = 0;
    // A combo box whose text the user can type (its state is that text, not an index).
    virtual bool editable(std::string_view name) const = 0;

    // Control names in window order.
    virtual std::vector<std::string> controlNames() const = 0;
    // The name of the control directly holding this one; empty for the window itself.
    virtual std::string containerOf(std::string_view name) const = 0;

    virtual void setProgressMaximum(int64_t maximum) = 0;
    virtual void setProgressPosition(int64_t position) = 0;

    // A message box with the given buttons; an empty title means "信息：".
    virtual Answer message(const Text& text, Buttons buttons, const Text& title = {}) = 0;

    // Lets pending window events run (a click on a start button may arrive here).
    virtual void processEvents() = 0;

    // The modal input dialog. True when it was closed with OK; `result` then holds the body's
    // text. False at once while the dialog is already open.
    virtual bool showInputDialog(const InputDialogArgs& args, Text& result) = 0;

    // How many times events have run so far, by processEvents or inside a message box. Controls
    // change only then, so a state read from one stays current while this count stands still.
    virtual uint64_t eventRuns() const = 0;
};

}  // namespace pw
