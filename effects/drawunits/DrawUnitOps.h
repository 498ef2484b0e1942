#pragma once

#include "effects/drawunits/DrawClock.h"

#include <cstdint>

namespace FulgorCore {

class DrawUnit;

// The four members through which a strip, ring or trail reaches the work
// of its source, variant and vertex format; the constructor stores them and
// the per-frame code calls them without testing the data again. A unit
// that has no use for an entry keeps the no-op.
struct DrawUnitOps {
    // The frame's points: returns the distance array a trail resamples
    // with, written the share of the sample interval passed (null for
    // strips, and for a trail out of frame memory).
    using Generate = float* (*)(DrawUnit* unit, const DrawClock& clock, float* headFraction);
    // The frame geometry: the N texture transforms, and for trails the
    // width scale.
    using Build = void (*)(DrawUnit* unit, const DrawClock& clock, const float* transforms,
                           float widthScale);
    // Reserves render space and pushes the frame's command.
    using Submit = void (*)(DrawUnit* unit);
    // The vertices, called by the command's geometry callback.
    using Write = void (*)(DrawUnit* unit, void* vertices);

    static float* GenerateNothing(DrawUnit*, const DrawClock&, float*) { return nullptr; }
    static void BuildNothing(DrawUnit*, const DrawClock&, const float*, float) {}
    static void SubmitNothing(DrawUnit*) {}
    static void WriteNothing(DrawUnit*, void*) {}

    Generate generate = GenerateNothing;
    Build build = BuildNothing;
    Submit submit = SubmitNothing;
    Write write = WriteNothing;
};
static_assert(sizeof(DrawUnitOps) == 32, "four plain function pointers");

} // namespace FulgorCore
