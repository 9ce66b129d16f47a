#pragma once
// The job host: what a running engine needs of whoever started it. Progress, message boxes, the
// event pump and the stop flag; nothing about the window's controls.

#include <csignal>
#include <cstdint>

#include "platform/text_bytes.h"

namespace pw {

// The stop flag. A signal handler may set it, which only this type allows.
using StopFlag = volatile std::sig_atomic_t;

enum class Buttons { Ok, OkCancel, YesNo };
enum class Answer { Ok, Cancel, Yes, No };

class JobHost {
  public:
    virtual ~JobHost() = default;

    virtual void setProgressMaximum(int64_t maximum) = 0;
    virtual void setProgressPosition(int64_t position) = 0;
    // A line saying what the job is at: the current file, or the current part of it.
    virtual void showProgressText(const Text& text) = 0;

    // A message box with the given buttons; an empty title means "信息：".
    virtual Answer message(const Text& text, Buttons buttons, const Text& title = {}) = 0;

    // Lets pending events run (a click on a stop button may arrive here).
    virtual void processEvents() = 0;

    // How many times events have run so far. Options change only then, so a value read from one
    // stays current while this count stands still.
    virtual uint64_t eventRuns() const = 0;

    // Set when the user (or a signal) asks the running job to stop.
    virtual StopFlag& stopFlag() = 0;
};

}  // namespace pw
