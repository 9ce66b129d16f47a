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

int64_t NonRepeatingDraw::draw(RandomSource& rng, Clock& clock, int64_t low, int64_t high) {
    if (pool_.empty()) {
        for (int64_t v = high; v >= low; --v) pool_.push_back(v);
        if (pool_.empty()) return low;
    }
    rng.seed(clock);
    // The pool is kept reversed so that taking from its end is cheap; any index is as good.
    const size_t index = size_t(random(rng, 1, int64_t(pool_.size())) - 1);
    const size_t at = pool_.size() - 1 - index;
    const int64_t value = pool_[at];
    pool_[at] = pool_.back();
    pool_.pop_back();
    return value;
}

}  // namespace pw
