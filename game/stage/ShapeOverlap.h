// The shape-test table of the collision pass, indexed by the two shapes'
// kinds. Its circle tests are the game's own and deliberately odd (they are
// part of how it plays): two circles hit only when one lies within the other,
// and a circle hits a box only when it covers one to three of its corners.
#pragma once

#include "game/core/HitShape.h"

namespace ShapeOverlap {

using Function = bool (*)(const HitShape& a, const HitShape& b);

// The test for a pair of kinds; kinds out of range use the "miss" test.
Function For(uint32_t kindA, uint32_t kindB);
inline bool Test(const HitShape& a, const HitShape& b) {
    return For(a.kind, b.kind)(a, b);
}

// Touching boxes overlap.
bool BoxesOverlap(const HitShape& a, const HitShape& b);
bool CircleCircle(const HitShape& a, const HitShape& b);
bool CircleBox(const HitShape& circle, const HitShape& box);
bool BoxBox(const HitShape& a, const HitShape& b);
bool SegmentBox(const HitShape& a, const HitShape& b);
bool SegmentSegment(const HitShape& a, const HitShape& b);
// Distance from the centre to the nearest point of the segment within the radius.
bool CircleSegment(const HitShape& circle, const HitShape& segment);

} // namespace ShapeOverlap
