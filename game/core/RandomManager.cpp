#include "game/core/RandomManager.h"

#include "sys/thread.h"

RandomManager::RandomManager() {
    for (auto& s : streams_)
        s.Seed(0);
}

bool RandomManager::Seed() {
    for (auto& s : streams_)
        s.Seed(static_cast<uint32_t>(sys::NowMicroseconds()));
    return true;
}

void RandomManager::SeedFixed() {
    Mireku::Common::Random& s = streams_[kPlay];
    s.x = kFixedX;
    s.y = kFixedY;
    s.z = kFixedZ;
    s.w = kFixedW;
}

uint32_t RandomManager::Next(uint32_t stream) {
    return streams_[stream].Next();
}

int32_t RandomManager::RangeInt(uint32_t stream, int32_t lo, int32_t hi) {
    return streams_[stream].Range(lo, hi);
}

float RandomManager::RangeFloat(uint32_t stream, float lo, float hi) {
    return streams_[stream].RangeFloat(lo, hi);
}
