#pragma once
// The input dialog in Qt, built from its control table: a hint, a multi-line body, tool buttons
// for restore, clear, paste and import, and OK and Cancel (or only Close, in information mode).

#include <QDialog>
#include <map>
#include <string>
#include <string_view>

#include "app/input_dialog.h"

class QPlainTextEdit;

namespace pw {

class QtForm;

// What the dialog works with: the main window's form (its message boxes, its event pump and its
// screen), the process-wide record, and the shell and files for paste and import.
struct InputDialogServices {
    QtForm& form;
    InputDialogState& state;
    Shell& shell;
    FileSystem& files;
};

class InputDialogWindow : public QDialog {
    Q_OBJECT
  public:
    InputDialogWindow(const InputDialogServices& services, QWidget* owner);

    template <class T = QWidget>
    T* find(std::string_view name) const {
        auto it = controls_.find(name);
        return it == controls_.end() ? nullptr : qobject_cast<T*>(it->second);
    }

  protected:
    void resizeEvent(QResizeEvent* event) override;
    // Close requests from the title bar, the system menu or the keyboard.
    void reject() override;

  private:
    void buildControls();
    void bindButtons();
    void applyRequest();
    void placeWindow();
    void layOut();

    Text bodyText() const;
    void setBodyText(const Text& text);
    bool mayClose();
    void restore();
    void importInto(ImportMode mode);
    Answer ask(std::string_view text, Buttons buttons);

    InputDialogServices services_;
    const InputDialogRequest& request_;
    std::map<std::string, QWidget*, std::less<>> controls_;
    QPlainTextEdit* body_ = nullptr;
    Text initialShown_;  // the initial text as the body gives it back
};

// showInputDialog over the Qt dialog: fills the request, runs the dialog modally and hands back
// the body's text when it was closed with OK. False at once while a dialog is open.
bool runInputDialog(const InputDialogServices& services, const InputDialogArgs& args, Text& result);

}  // namespace pw
