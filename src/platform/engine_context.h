#pragma once
// What an engine works with: the window it reads its options from, the files, the clock, and the
// process's one stop flag.

#include "platform/clock.h"
#include "platform/files.h"
#include "platform/form.h"

namespace pw {

struct EngineContext {
    Form& form;
    FileSystem& files;
    Clock& clock;
    int& stopRequested;
};

}  // namespace pw
