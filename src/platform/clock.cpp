#include "platform/clock.h"

#include <chrono>

namespace pw {
namespace {

class SteadyClock : public Clock {
  public:
    uint64_t tickMs() override {
        using namespace std::chrono;
        return uint64_t(
            duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count());
    }
};

}  // namespace

Clock& systemClock() {
    static SteadyClock clock;
    return clock;
}

}  // namespace pw
