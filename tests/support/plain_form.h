#pragma once
// A window without a control table, for the tests of the layers below app/: the controls a test
// adds, in the order added, each holding what the Form port reads and writes. Message boxes are
// answered from a queue; nothing ties one control to another (no radio groups).

#include <functional>
#include <string>
#include <vector>

#include "platform/form.h"
#include "platform/message_queue.h"

namespace pw::test {

class PlainForm : public Form, public MessageQueue {
  public:
    struct Control {
        std::string name;
        std::string container;
        bool checked = false;
        Text text;
        Text tag;
        int selected = -1;
        int items = 0;  // a combo box's: an index outside them selects nothing
        bool editable = false;
        bool enabled = true;
        bool visible = true;
    };

    // Adds a control at the end of the window order; the reference stays valid until the next.
    Control& add(std::string name, std::string container = {});

    bool checked(std::string_view name) const override { return at(name).checked; }
    void setChecked(std::string_view name, bool on) override { at(name).checked = on; }
    Text text(std::string_view name) const override { return at(name).text; }
    void setText(std::string_view name, const Text& text) override { at(name).text = text; }
    Text tag(std::string_view name) const override { return at(name).tag; }
    void setTag(std::string_view name, const Text& tag) override { at(name).tag = tag; }
    int selectedIndex(std::string_view name) const override { return at(name).selected; }
    void setSelectedIndex(std::string_view name, int index) override;
    bool enabled(std::string_view name) const override { return at(name).enabled; }
    void setEnabled(std::string_view name, bool on) override { at(name).enabled = on; }
    bool visible(std::string_view name) const override { return at(name).visible; }
    bool editable(std::string_view name) const override { return at(name).editable; }
    void setVisible(std::string_view name, bool on) override { at(name).visible = on; }
    void setFocus(std::string_view name) override { at(name); }
    std::vector<std::string> controlNames() const override;
    std::string containerOf(std::string_view name) const override { return at(name).container; }
    void setProgressMaximum(int64_t) override {}
    void setProgressPosition(int64_t) override {}
    Answer message(const Text& text, Buttons buttons, const Text& title = {}) override {
        return answer(text, buttons, title);
    }
    void processEvents() override;
    bool showInputDialog(const InputDialogArgs&, Text&) override { return false; }
    uint64_t eventRuns() const override { return hookRuns_ + messages.size(); }

    int eventRounds = 0;
    // Runs at every event point, as a pending click would.
    std::function<void()> onProcessEvents;

  private:
    Control& at(std::string_view name);
    const Control& at(std::string_view name) const;

    std::vector<Control> controls_;
    uint64_t hookRuns_ = 0;
};

}  // namespace pw::test
