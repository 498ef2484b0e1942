#pragma once

namespace FulgorCore::Math {

// The pointer-picking shape tests, both over a segment already taken into
// the shape's local space (shape centred at the origin). They share one
// signature so that a table indexed by the shape kind (0 box, 1 sphere) can
// hold them.

// halfExtents: hx, hy, hz. Axes whose segment delta is at most 0.005 in
// magnitude are skipped; faces are tested on the segment's whole line.
bool SegmentHitsBox(const float* start, const float* end, const float* halfExtents);
// bounds[1] holds the squared radius. The test is on the ray's whole line.
bool RayHitsSphere(const float* start, const float* end, const float* bounds);

} // namespace FulgorCore::Math
