#include "split/random_draw.h"

#include <algorithm>

namespace pw {

void RandomSource::seed(Clock& clock) {
    state_ = uint32_t(clock.tickMs()) + 7919u * ++seedings_;
}

int RandomSource::next() {
    state_ = state_ * 214013u + 2531011u;
    return int((state_ >> 16) & 0x7FFF);
}

int64_t random(RandomSource& rng, int64_t a, int64_t b) {
    a = std::max<int64_t>(a, 0);
    b = std::max<int64_t>(b, 0);
    const int64_t low = std::min(a, b);
    const int64_t high = std::max(a, b);
    return low + rng.next() % (high - low + 1);
}

}  // namespace pw
