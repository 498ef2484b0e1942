#include "engine/common/Stopwatch.h"

#include "sys/thread.h"

namespace Mireku::Common {

uint64_t CurrentMicroseconds() {
    return sys::NowMicroseconds();
}

void FrameRateCounter::Reset() {
    watch_.Reset();
    windowStart_ = watch_.Last();
    count_ = 0;
    rate_ = 0.0f;
}

float FrameRateCounter::Tick() {
    return TickAt(watch_.Now());
}

float FrameRateCounter::TickAt(uint64_t now) {
    uint64_t span = now - windowStart_;
    if (span < 1000000u) {
        ++count_;
        return rate_;
    }
    rate_ = static_cast<float>(count_) * 1000000.0f / static_cast<float>(span);
    count_ = 0;
    windowStart_ = now;
    ++count_;
    return rate_;
}

} // namespace Mireku::Common
