#pragma once
// A window without a display: the controls of a WindowSpec held in memory. The app's tests run
// the jobs against it; message boxes are answered from a queue.

#include <deque>
#include <functional>
#include <map>
#include <optional>

#include "platform/form.h"
#include "platform/message_queue.h"

namespace pw {

class MemoryForm : public Form, public MessageQueue {
  public:
    struct Control {
        const ControlSpec* spec;
        bool checked;
        Text text;
        Text tag;
        int selected;
        bool enabled = true;
        bool visible;
    };

    explicit MemoryForm(const WindowSpec& spec);

    bool checked(std::string_view name) const override { return at(name).checked; }
    void setChecked(std::string_view name, bool on) override;
    Text text(std::string_view name) const override { return at(name).text; }
    void setText(std::string_view name, const Text& text) override { at(name).text = text; }
    Text tag(std::string_view name) const override { return at(name).tag; }
    void setTag(std::string_view name, const Text& tag) override { at(name).tag = tag; }
    int selectedIndex(std::string_view name) const override { return at(name).selected; }
    void setSelectedIndex(std::string_view name, int index) override;
    bool enabled(std::string_view name) const override { return at(name).enabled; }
    void setEnabled(std::string_view name, bool on) override { at(name).enabled = on; }
    bool visible(std::string_view name) const override { return at(name).visible; }
    void setVisible(std::string_view name, bool on) override { at(name).visible = on; }
    void setFocus(std::string_view name) override;
    bool editable(std::string_view name) const override { return at(name).spec->editable; }
    std::vector<std::string> controlNames() const override;
    std::string containerOf(std::string_view name) const override {
        return std::string(at(name).spec->container);
    }
    void setProgressMaximum(int64_t maximum) override { progressMaximum = maximum; }
    void setProgressPosition(int64_t position) override { progressPosition = position; }
    Answer message(const Text& text, Buttons buttons, const Text& title = {}) override {
        return answer(text, buttons, title);
    }
    void processEvents() override;
    bool showInputDialog(const InputDialogArgs& args, Text& result) override;
    // Only the hooks below can change a control here.
    uint64_t eventRuns() const override {
        return hookRuns_ + messages.size() + inputDialogs.size();
    }

    const Control& control(std::string_view name) const { return at(name); }

    // What the engines did to the window.
    std::string focus;
    int64_t progressMaximum = 0;
    int64_t progressPosition = 0;
    int eventRounds = 0;

    // Runs at every event point, as a pending click would.
    std::function<void()> onProcessEvents;

    // Answers for the next input dialogs: a text is OK with that body, nothing is Cancel. When
    // empty, the dialog is cancelled.
    std::deque<std::optional<Text>> inputAnswers;
    std::vector<InputDialogArgs> inputDialogs;

  private:
    Control& at(std::string_view name);
    const Control& at(std::string_view name) const;

    const WindowSpec& spec_;
    uint64_t hookRuns_ = 0;
    std::vector<Control> controls_;
    std::map<std::string, size_t, std::less<>> index_;
};

}  // namespace pw
