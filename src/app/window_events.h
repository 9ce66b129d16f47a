#pragma once
// The main window's own events, apart from the jobs: creation, close requests, the banner.

#include "app/job_context.h"

namespace pw {

// Derives the enabled and visible states once the window's controls exist.
void onWindowCreated(Form& form);

// True when the window may close now. While a job runs, the job is asked to stop and the close
// waits until it has returned (closeDueAfterJob).
bool onCloseRequest(Form& form, AppState& state);
bool closeDueAfterJob(const AppState& state);

void openHomepage(Shell& shell);

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
