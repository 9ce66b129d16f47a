#pragma once
// Random numbers for part lengths and phrase picking: a generator of 0..32767 seeded from the
// clock.

#include <cstdint>
#include <vector>

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

// Draws every number of a range once, in random order, then starts over.
class NonRepeatingDraw {
  public:
    int64_t draw(RandomSource& rng, Clock& clock, int64_t low, int64_t high);

  private:
    std::vector<int64_t> pool_;
};

}  // namespace pw
