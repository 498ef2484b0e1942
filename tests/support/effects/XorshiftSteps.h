// Comparing a random state with another stepped on: how many draws a call
// made.
#pragma once

#include "effects/Core/Noise/Xorshift128.h"

#include <cstdint>

namespace testsupport {

inline FulgorCore::Xorshift128 Advanced(FulgorCore::Xorshift128 s, uint32_t steps) {
    for (uint32_t i = 0; i < steps; ++i)
        s.Next();
    return s;
}

inline bool Same(const FulgorCore::Xorshift128& a, const FulgorCore::Xorshift128& b) {
    return a.x == b.x && a.y == b.y && a.z == b.z && a.w == b.w;
}

} // namespace testsupport
