#pragma once

#include "effects/Core/Noise/Xorshift128.h"

namespace FulgorCore::Math {

// lo + (hi - lo) * u with u in [0, 1) from one step of the state: the draw
// behind every random offset of an animated value.
inline float RandomRange(Xorshift128& state, float lo, float hi) {
    return lo + (hi - lo) * state.NextFloat01();
}

} // namespace FulgorCore::Math
