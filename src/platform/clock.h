#pragma once

#include <cstdint>

namespace pw {

class Clock {
  public:
    virtual ~Clock() = default;
    // Milliseconds since some fixed moment, like the system's tick count.
    virtual uint64_t tickMs() = 0;
};

Clock& systemClock();

}  // namespace pw
