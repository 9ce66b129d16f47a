#include "platform/message_queue.h"

namespace pw {

Answer MessageQueue::answer(const Text& text, Buttons buttons, const Text& title) {
    Answer answer = buttons == Buttons::Ok         ? Answer::Ok
                    : buttons == Buttons::OkCancel ? Answer::Cancel
                                                   : Answer::No;
    if (!answers.empty()) {
        answer = answers.front();
        answers.pop_front();
    }
    messages.push_back({text, buttons, title, answer});
    if (onMessage) onMessage(messages.back());
    return answer;
}

}  // namespace pw
