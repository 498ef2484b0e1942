#pragma once

#include "effects/Core/Value/UnitClock.h"

namespace FulgorCore {

// What a draw unit's update is given: a copy of its particle's clock at the
// call. Its first two words are the evaluation times every animated value
// of the unit is evaluated at (Time, TotalTime), so the clock is passed
// wherever an evaluation context is asked; the step is the particle's last.
using DrawClock = UnitClock;

} // namespace FulgorCore
