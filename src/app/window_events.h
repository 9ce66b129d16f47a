#pragma once
// The main window's own events, apart from the jobs: creation, close requests, the banner.

#include "app/job_context.h"

namespace pw {

class SettingsStore;

// Restores the saved control states (when there is a store), then derives the enabled and
// visible states from them.
void onWindowCreated(Form& form, SettingsStore* settings = nullptr);

// True when the window may close now; the control states are saved then. While a job runs, the
// job is asked to stop and the close waits until it has returned (closeDueAfterJob).
bool onCloseRequest(Form& form, AppState& state, SettingsStore* settings = nullptr);
bool closeDueAfterJob(const AppState& state);

// The save link and picture: saves the control states and says whether they reached the disk.
void onSaveSettingsClicked(Form& form, SettingsStore& settings);

void openHomepage(Shell& shell);

// The logo's pace is one pixel per step of 20 ms. A frame shows two steps at once: the eye cannot
// tell, and half the wake-ups cost half the processor time.
inline constexpr int kLogoStepMs = 20;
inline constexpr int kLogoFrameMs = 40;
// After this long without input the logo rests where it is, until the user is back.
inline constexpr uint64_t kLogoRestAfterMs = 60'000;

// The banner logo wanders between the homepage picture and the window's right edge.
class LogoAnimation {
  public:
    // The logo's next left edge.
    int step(int left, int width, int clientWidth, int homepageRight);
    bool movingLeft() const { return movingLeft_; }

  private:
    bool movingLeft_ = false;
};

}  // namespace pw
