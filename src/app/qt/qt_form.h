#pragma once
// The Form port over the Qt main window. Pending events are pumped at most once per 15 ms, so
// the engines' per-line and per-byte event points cost next to nothing.

#include <deque>
#include <functional>
#include <map>

#include <QMessageBox>

#include "app/input_dialog.h"
#include "app/qt/main_window.h"
#include "platform/clock.h"
#include "platform/form.h"
#include "platform/message_queue.h"

class QWidget;

namespace pw {

class QtForm : public Form {
  public:
    static constexpr uint64_t kPumpIntervalMs = 15;

    QtForm(MainWindow& window, Clock& clock);

    bool checked(std::string_view name) const override;
    void setChecked(std::string_view name, bool on) override;
    Text text(std::string_view name) const override;
    void setText(std::string_view name, const Text& text) override;
    Text tag(std::string_view name) const override;
    void setTag(std::string_view name, const Text& tag) override;
    int selectedIndex(std::string_view name) const override;
    void setSelectedIndex(std::string_view name, int index) override;
    bool enabled(std::string_view name) const override;
    void setEnabled(std::string_view name, bool on) override;
    bool visible(std::string_view name) const override;
    void setVisible(std::string_view name, bool on) override;
    void setFocus(std::string_view name) override;
    bool editable(std::string_view name) const override;
    std::vector<std::string> controlNames() const override;
    std::string containerOf(std::string_view name) const override;
    void setProgressMaximum(int64_t maximum) override;
    void setProgressPosition(int64_t position) override;
    Answer message(const Text& text, Buttons buttons, const Text& title = {}) override;
    void processEvents() override;
    bool showInputDialog(const InputDialogArgs& args, Text& result) override;

    // A message box with the given icon; message() picks the icon by the buttons.
    Answer ask(const Text& text, Buttons buttons, const Text& title, QMessageBox::Icon icon);

    // What the input dialog works with; without it, showInputDialog answers false.
    void attachInputDialog(InputDialogState& state, Shell& shell, FileSystem& files);

    MainWindow& window() { return window_; }

    // How often pending events were actually pumped.
    int pumps() const { return pumps_; }
    // The next event point pumps whatever the time slice says (start-up's settings walk has just
    // pumped); tests use it so that events queued before a job arrive at the job's first point.
    void pumpAtNextEventPoint() { pumpedOnce_ = false; }
    uint64_t eventRuns() const override { return uint64_t(pumps_) + messagesShown_; }

    // Test hook: while set, message boxes are answered from this queue instead of shown.
    MessageQueue* messageScript = nullptr;

  private:
    QObject* object(std::string_view name) const;
    QWidget* widget(std::string_view name) const;
    Answer showMessageBox(const Text& text, Buttons buttons, const Text& title,
                          QMessageBox::Icon icon);

    MainWindow& window_;
    Clock& clock_;
    std::map<std::string, Text, std::less<>> tags_;
    bool pumpedOnce_ = false;
    uint64_t lastPumpMs_ = 0;
    int pumps_ = 0;
    InputDialogState* dialogState_ = nullptr;
    Shell* shell_ = nullptr;
    FileSystem* files_ = nullptr;
    uint64_t messagesShown_ = 0;
};

}  // namespace pw
