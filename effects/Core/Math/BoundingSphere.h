#pragma once

namespace FulgorCore {

// World bounding sphere (cx, cy, cz, radius) of a unit whose resource gives
// a local centre and radius, under a 3x4 world transform: the centre is
// transformed as a point, the radius scaled by the approximate root of the
// largest squared axis length.
void ComputeBoundingRadius(float* sphere, const float* localCentre, float localRadius,
                           const float* world);

} // namespace FulgorCore
