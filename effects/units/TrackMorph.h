#pragma once

#include <cstdint>

namespace FulgorCore {

class ColorProperty;
class FloatTripleProperty;

// A running track morph: the scale, rotation, translation and colour
// tracks of another unit of the package that a particle plays on top of
// its own values for a while, with their unit random values, its clock and
// whether the tracks replace the particle's values or combine with them.
// It lies in the particle's posted-events block, beside the base values
// and restore flags the block took when it was created.
struct TrackMorph {
    const FloatTripleProperty* scaleTrack;
    const FloatTripleProperty* rotationTrack;
    const FloatTripleProperty* translationTrack;
    const ColorProperty* colorTrack;
    float scaleSamples[3];
    float rotationSamples[3];
    float translationSamples[3];
    float colorSamples[5];
    float time;
    // 0 or less: it never completes by itself.
    float duration;
    uint8_t replace;
};

} // namespace FulgorCore
