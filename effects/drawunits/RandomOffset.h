#pragma once

#include "effects/Core/Noise/Xorshift128.h"

namespace FulgorCore {

// Jitter of amplitude r: x, y and z each moved by -r + 2r u, u drawn from
// the owner's random state in that order.
inline void AddRandomOffset(float* p, float r, Xorshift128& random) {
    for (int c = 0; c < 3; ++c)
        p[c] += -r + 2.0f * r * random.NextFloat01();
}

} // namespace FulgorCore
