#pragma once
// Message boxes answered from a queue instead of shown: always in the in-memory form and the
// engine tests' host, and in the Qt form while a test sets one.

#include <deque>
#include <functional>
#include <vector>

#include "platform/job_host.h"

namespace pw {

struct MessageQueue {
    struct Message {
        Text text;
        Buttons buttons;
        Text title;
        Answer answer;
    };

    // Takes the next answer, or when none is queued OK for OK boxes and the cautious answer
    // (Cancel, No) for questions; records the box and tells onMessage.
    Answer answer(const Text& text, Buttons buttons, const Text& title);

    std::deque<Answer> answers;
    std::vector<Message> messages;
    std::function<void(const Message&)> onMessage;
};

}  // namespace pw
