#pragma once

#include "effects/Core/Memory/UnitInstancePool.h"
#include "effects/drawunits/TrailStartValues.h"

#include <cstdint>

namespace FulgorCore {

// A trail's per-frame record, a pool block of the unit: the unit random
// values of its widths, colours and jitter (after one leading word for the
// cross and billboard trails, so the jitter's value sits at word 0 or 1);
// what the frame geometry build refreshes for the vertex writers (the
// widths, colours and deltas as a strip's record holds them, and the
// texture words of one ribbon: per point, per vertex, N words); and this
// frame's resampled positions and first and second axes, which the point
// members point into fresh frame memory each frame.
struct TrailFrameRecord {
    float startValues[1 + ParticleKernel::kTrailRandomValues] = {};
    float headWidth = 0.0f;
    float middleWidth = 0.0f;
    float tailWidth = 0.0f;
    float centreColor[4] = {};
    float middleColor[4] = {};
    float edgeColor[4] = {};
    float middleEdgeColor[4] = {};
    float firstDelta[4] = {};
    float secondDelta[4] = {};
    float thirdDelta[4] = {};
    float fourthDelta[4] = {};
    const uint32_t* textureWords = nullptr;
    float* positions = nullptr;
    float* firstAxes = nullptr;
    float* secondAxes = nullptr;
};
static_assert(sizeof(TrailFrameRecord) <= kUnitBlockSize, "a trail record is one pool block");

} // namespace FulgorCore
