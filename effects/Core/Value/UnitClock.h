#pragma once

#include "effects/Core/Value/EvaluationContext.h"

namespace FulgorCore {

// A unit's clock as its per-frame members receive it: the two times its
// animated values are evaluated at, then the step of its last advance (its
// speed times the frame's step), which the integrating members read.
struct UnitClock : EvaluationContext {
    float lastStep = 0.0f;
};

// The clock constructors run members with once, so that integrations change
// nothing and every value takes its time-zero value.
inline constexpr UnitClock kZeroClock{};

} // namespace FulgorCore
