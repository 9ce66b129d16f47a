#pragma once
// The running program: the process-wide state, the main window and the ports over it, and the
// window's event bindings. main() builds one; GUI tests build their own.

#include "app/app_state.h"
#include "app/job_context.h"
#include "app/qt/main_window.h"
#include "app/qt/qt_form.h"
#include "app/qt/qt_shell.h"
#include "app/window_events.h"
#include "settings/settings_store.h"

class QApplication;

namespace pw {

// Style, fonts and Qt's own texts in Chinese for the whole application, message boxes and
// dialogs included.
void applyApplicationLook(QApplication& app);

class MainProgram {
  public:
    // Without a settings path the control states live in memory only.
    explicit MainProgram(const Text& settingsPath = {}, FileSystem& files = posixFileSystem(),
                         Clock& clock = systemClock());
    MainProgram(const MainProgram&) = delete;
    MainProgram& operator=(const MainProgram&) = delete;

    AppState state;
    SettingsStore settings;
    MainWindow window;
    QtForm form;
    QtShell shell;
    JobContext jobs;
    // Input-free time after which the banner logo rests.
    uint64_t logoRestAfterMs = kLogoRestAfterMs;

  private:
    void windowCreated();
    void placeProgressText();
    void registerDropAreas();
    void bindEvents();
    void bindOptionRules();
    void onSplitClicked();
    void afterJob();
    void animateLogo();

    Clock& clock_;
    LogoAnimation logo_;
    uint64_t lastInputMs_ = 0;
};

}  // namespace pw
