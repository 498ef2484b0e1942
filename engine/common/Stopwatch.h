#pragma once

#include <cstdint>

namespace Mireku::Common {

// Microseconds from the monotonic clock.
uint64_t CurrentMicroseconds();

class Stopwatch {
public:
    void Reset() { last_ = CurrentMicroseconds(); }
    uint64_t Now() { return last_ = CurrentMicroseconds(); }
    uint64_t Lap() {
        uint64_t now = CurrentMicroseconds();
        uint64_t d = now - last_;
        last_ = now;
        return d;
    }
    uint64_t Last() const { return last_; }

private:
    uint64_t last_ = 0;
};

// Frames per second over one-second windows.
class FrameRateCounter {
public:
    FrameRateCounter() { Reset(); }
    void Reset();
    float Tick();
    // The counting step on a given time, so that it can be tested without a clock.
    float TickAt(uint64_t now);
    float GetRate() const { return rate_; }

private:
    Stopwatch watch_;
    uint64_t windowStart_ = 0;
    uint32_t count_ = 0;
    float rate_ = 0.0f;
};

} // namespace Mireku::Common
