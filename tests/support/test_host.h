#pragma once
// A job host for engine tests: records what an engine showed and answers its questions from a
// queue, without a window.

#include <deque>
#include <functional>
#include <vector>

#include "platform/job_host.h"

namespace pw::test {

class TestJobHost : public JobHost {
  public:
    struct Message {
        Text text;
        Buttons buttons;
        Text title;
        Answer answer;
    };

    void setProgressMaximum(int64_t maximum) override { progressMaximum = maximum; }
    void setProgressPosition(int64_t position) override { progressPosition = position; }
    Answer message(const Text& text, Buttons buttons, const Text& title = {}) override {
        Answer answer = buttons == Buttons::Ok         ? Answer::Ok
                        : buttons == Buttons::OkCancel ? Answer::Cancel
                                                       : Answer::No;
        if (!answers.empty()) {
            answer = answers.front();
            answers.pop_front();
        }
        messages.push_back({text, buttons, title, answer});
        return answer;
    }
    void processEvents() override {
        ++eventRounds;
        if (onProcessEvents) onProcessEvents();
    }
    uint64_t eventRuns() const override { return uint64_t(eventRounds) + messages.size(); }
    StopFlag& stopFlag() override { return stop; }

    int64_t progressMaximum = 0;
    int64_t progressPosition = 0;
    int eventRounds = 0;
    StopFlag stop = 0;
    std::vector<Message> messages;
    // Answers for the next message boxes; when empty, OK for OK boxes and the cautious answer
    // (Cancel, No) for questions.
    std::deque<Answer> answers;
    // Runs at every event point, as a pending click would.
    std::function<void()> onProcessEvents;
};

}  // namespace pw::test
