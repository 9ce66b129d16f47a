#pragma once
// What an engine works with: the window it reads its options from, the files, the clock, and the
// process's one stop flag.

#include <csignal>

#include "platform/clock.h"
#include "platform/files.h"
#include "platform/form.h"

namespace pw {

// The stop flag. A signal handler may set it, which only this type allows.
using StopFlag = volatile std::sig_atomic_t;

struct EngineContext {
    Form& form;
    FileSystem& files;
    Clock& clock;
    StopFlag& stopRequested;
};

}  // namespace pw
