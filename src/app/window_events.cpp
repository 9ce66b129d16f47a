#include "app/window_events.h"

#include "app/control_table.h"
#include "app/option_states.h"
#include "settings/control_states.h"
#include "text/system_texts.h"

namespace pw {

void onWindowCreated(Form& form, SettingsStore* settings) {
    // The enabling rules read the restored ticks, so they come second.
    if (settings) restoreControls(*settings, form, lit(texts::kMainSection));
    applySplitOptionStates(form);
    applyMergeOptionStates(form);
}

bool onCloseRequest(Form& form, AppState& state, SettingsStore* settings) {
    if (state.jobsRunning > 0) {
        state.stopRequested = 1;
        state.closePending = true;
        if (form.text(ctl::kSplitButton) != lit(texts::kSplitIdle))
            form.setText(ctl::kSplitButton, lit(texts::kSplitStopping));
        if (form.text(ctl::kMergeButton) != lit(texts::kMergeIdle))
            form.setText(ctl::kMergeButton, lit(texts::kMergeStopping));
        return false;
    }
    if (settings) saveControls(*settings, form, lit(texts::kMainSection));
    return true;
}

void onSaveSettingsClicked(Form& form, SettingsStore& settings) {
    if (saveControls(settings, form, lit(texts::kMainSection)))
        form.message(lit(texts::kSettingsSaved), Buttons::Ok);
    else
        form.message(lit(texts::kSettingsNotSaved) + settings.path(), Buttons::Ok);
}

bool closeDueAfterJob(const AppState& state) {
    return state.closePending && state.jobsRunning == 0;
}

void openHomepage(Shell& shell) {
    shell.openAddress(lit(texts::kHomepageAddress));
}

int LogoAnimation::step(int left, int width, int clientWidth, int homepageRight) {
    if (!movingLeft_) {
        ++left;
        if (left + width > clientWidth - 20) movingLeft_ = true;
    } else {
        --left;
        if (left < homepageRight + 20) movingLeft_ = false;
    }
    return left;
}

}  // namespace pw
