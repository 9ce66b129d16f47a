#pragma once
// What a job started from the window works with.

#include "app/app_state.h"
#include "platform/clock.h"
#include "platform/files.h"
#include "platform/form.h"
#include "platform/shell.h"

namespace pw {

struct JobContext {
    Form& form;
    Shell& shell;
    FileSystem& files;
    Clock& clock;
    AppState& state;
};

}  // namespace pw
