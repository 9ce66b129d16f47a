#pragma once
// Work over rows that do not touch one another, split between this thread and a second one.

#include <cstddef>
#include <optional>
#include <system_error>
#include <thread>

namespace pw {

// Runs work(half, count) on a second thread and work(0, half) on this one; all on this one when
// `split` is false, when there is only one row, or when no thread can be had.
template <class Work>
void onTwoThreads(size_t count, bool split, const Work& work) {
    const size_t half = split ? count / 2 : 0;
    std::optional<std::thread> other;
    if (half > 0) {
        try {
            other.emplace([&] { work(half, count); });
        } catch (const std::system_error&) {
            // No thread to be had: this one does all.
        }
    }
    work(0, other ? half : count);
    if (other) other->join();
}

}  // namespace pw
