#pragma once
// The main window, built from its control table: every control is a widget (or timer) whose
// objectName is the control's name. The layout is fixed.

#include <QWidget>
#include <functional>
#include <map>
#include <string>
#include <string_view>

#include "platform/form.h"

namespace pw {

class MainWindow : public QWidget {
    Q_OBJECT
  public:
    explicit MainWindow(const WindowSpec& spec);

    const WindowSpec& spec() const { return spec_; }
    // The control of that name, or nullptr.
    QObject* control(std::string_view name) const;
    template <class T>
    T* find(std::string_view name) const {
        return qobject_cast<T*>(control(name));
    }

    // Asked on every close request; false keeps the window open.
    std::function<bool()> closeHandler;
    // Told whenever the window comes into sight (true) or leaves it: hidden or minimised.
    std::function<void(bool)> sightHandler;
    // Called on the user's input anywhere in the program: a mouse move, click, wheel or key.
    std::function<void()> inputHandler;

  protected:
    void closeEvent(QCloseEvent* event) override;
    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void hideEvent(QHideEvent* event) override;
    void changeEvent(QEvent* event) override;

  private:
    void buildControls();
    void groupRadioButtons();
    void drawPictures();
    void raiseContainedControls();
    // Sizes the client area to the controls with an even margin around them.
    void fitClientSize();
    void tellSight(bool inSight);

    const WindowSpec& spec_;
    std::map<std::string, QObject*, std::less<>> controls_;
};

}  // namespace pw
