// The game's three random streams. Stream 0 serves presentation (effects,
// voices, the demo choice); stream 1 decides play and is reset to fixed words
// at every stage start so that a recorded input stream replays the same game;
// stream 2 is spare.
#pragma once

#include "engine/common/Random.h"
#include "engine/common/Singleton.h"
#include "engine/common/SingletonObject.h"

#include <cstdint>

class RandomManager : public Mireku::Common::SingletonObject,
                      public Mireku::Common::Singleton<RandomManager> {
public:
    static constexpr uint32_t kStreamCount = 3;
    static constexpr uint32_t kPresentation = 0;
    static constexpr uint32_t kPlay = 1;

    // Fixed words of the play stream at a stage start.
    static constexpr uint32_t kFixedX = 0x1AA61AE0u;
    static constexpr uint32_t kFixedY = 0xA40A7A62u;
    static constexpr uint32_t kFixedZ = 0x2C3FA7E3u;
    static constexpr uint32_t kFixedW = 0xE12AB793u;

    RandomManager();

    // Seeds every stream from the microsecond clock, read once per stream.
    bool Seed();
    void SeedFixed();

    uint32_t Next(uint32_t stream);
    // lo + Next % (hi - lo + 1); a span that wraps to 0 yields lo + Next.
    int32_t RangeInt(uint32_t stream, int32_t lo, int32_t hi);
    // lo + (hi - lo) x a float in [0, 1) from the word's low 23 bits. Usually
    // below hi, but the rounding can give hi itself where floats are coarse
    // (lo 100, hi 101 and all 23 bits set give 101). Replays depend on this
    // exact formula, so it stays.
    float RangeFloat(uint32_t stream, float lo, float hi);

    Mireku::Common::Random& Stream(uint32_t stream) { return streams_[stream]; }

private:
    Mireku::Common::Random streams_[kStreamCount];
};
