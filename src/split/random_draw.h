#pragma once
// Random numbers for part lengths and phrase picking: a generator of 0..32767 seeded from the
// clock.

#include <cstdint>

#include "platform/clock.h"

namespace pw {

class RandomSource {
  public:
    // Seeds from the tick count plus a counter, so two seedings in one millisecond still differ.
    void seed(Clock& clock);
    int next();  // 0 .. 32767

  private:
    uint32_t state_ = 1;
    uint32_t seedings_ = 0;
};

// An integer between the smaller and the larger bound, negative bounds counting as 0.
int64_t random(RandomSource& rng, int64_t a, int64_t b);

}  // namespace pw
