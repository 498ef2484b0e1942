// The game's three random streams as they stood when the check was made:
// code that must not decide play (effects, cosmetic randomness) leaves
// them where they were.
#pragma once

#include "game/core/RandomManager.h"

#include <gtest/gtest.h>

#include <cstdint>

namespace testsupport {

class RandomStreamsCheck {
public:
    explicit RandomStreamsCheck(RandomManager& random)
        : random_(random), before_{random.Stream(0), random.Stream(1), random.Stream(2)} {}

    void ExpectUnchanged() const {
        for (uint32_t s = 0; s < 3; ++s) {
            EXPECT_EQ(random_.Stream(s).x, before_[s].x) << s;
            EXPECT_EQ(random_.Stream(s).y, before_[s].y) << s;
            EXPECT_EQ(random_.Stream(s).z, before_[s].z) << s;
            EXPECT_EQ(random_.Stream(s).w, before_[s].w) << s;
        }
    }

private:
    RandomManager& random_;
    Mireku::Common::Random before_[3];
};

} // namespace testsupport
