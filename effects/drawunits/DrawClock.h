#pragma once

#include "effects/Core/Value/EvaluationContext.h"

namespace FulgorCore {

// What a draw unit's update is given: a copy of its particle's clock at the
// call. Its first two words are the evaluation times every animated value
// of the unit is evaluated at (Time, TotalTime), so the clock is passed
// wherever an evaluation context is asked; the step is the particle's last.
struct DrawClock : EvaluationContext {
    float lastStep = 0.0f;
};

} // namespace FulgorCore
