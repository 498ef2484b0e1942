#pragma once

#include "effects/Core/Memory/UnitInstancePool.h"
#include "effects/drawunits/TrailStartValues.h"

#include <cstdint>

namespace FulgorCore {

// A trail's per-frame record, a pool block of the unit: the unit random
// values of its widths, colours and jitter (after one leading word for the
// cross and billboard trails, so the jitter's value sits at word 0 or 1),
// and this frame's resampled positions and first and second axes, which
// the point members point into fresh frame memory each frame.
struct TrailFrameRecord {
    float startValues[1 + ParticleKernel::kTrailRandomValues] = {};
    float* positions = nullptr;
    float* firstAxes = nullptr;
    float* secondAxes = nullptr;
};
static_assert(sizeof(TrailFrameRecord) <= kUnitBlockSize, "a trail record is one pool block");

} // namespace FulgorCore
