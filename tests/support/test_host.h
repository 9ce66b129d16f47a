#pragma once
// A job host for engine tests: records what an engine showed and answers its questions from a
// queue, without a window.

#include <functional>

#include "platform/job_host.h"
#include "platform/message_queue.h"

namespace pw::test {

class TestJobHost : public JobHost, public MessageQueue {
  public:
    void setProgressMaximum(int64_t maximum) override { progressMaximum = maximum; }
    void setProgressPosition(int64_t position) override { progressPosition = position; }
    void showProgressText(const Text& text) override { progressText = text; }
    Answer message(const Text& text, Buttons buttons, const Text& title = {}) override {
        return answer(text, buttons, title);
    }
    void processEvents() override {
        ++eventRounds;
        if (onProcessEvents) onProcessEvents();
    }
    uint64_t eventRuns() const override { return uint64_t(eventRounds) + messages.size(); }
    StopFlag& stopFlag() override { return stop; }

    int64_t progressMaximum = 0;
    int64_t progressPosition = 0;
    Text progressText;
    int eventRounds = 0;
    StopFlag stop = 0;
    // Runs at every event point, as a pending click would.
    std::function<void()> onProcessEvents;
};

}  // namespace pw::test
