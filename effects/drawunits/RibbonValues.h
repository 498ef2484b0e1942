#pragma once

#include "effects/Core/Noise/Xorshift128.h"
#include "effects/drawunits/DrawClock.h"
#include "effects/drawunits/RibbonFrameValues.h"

#include <cstdint>
#include <cstring>

namespace FulgorCore {

// The unit random values a strip's or trail's widths and colours are
// evaluated with: the width scale, then the head, middle and tail widths;
// the head, middle and tail colours, then the edges' (five values each).
struct RibbonSamples {
    float widths[4];
    const float* colours[6];
};

// The widths and colours of one frame of a ribbon of the given variant,
// from data that names its properties as the strip and trail data do
// (kWid, kWidH, kWidC, kWidT; kColH, kColC, kColT, kCoEH, kCoEC, kCoET).
// In the data's order and only what the variant draws: the width scale
// times `scaleFactor`, the head, [middle,] tail widths times it; the
// colours head, [middle,] tail, [edge head, [edge middle,] edge tail].
// Then `modulate(out)` gives the colour each one is multiplied by, and the
// colours and their deltas are stored as the variant's vertex writer reads
// them: a tail colour is never stored itself, only inside its delta.
template <class Variant, class Data, class Modulate>
void EvaluateRibbonValues(RibbonFrameValues& r, const Data& data, const RibbonSamples& s,
                          const DrawClock& clock, Xorshift128& random, float scaleFactor,
                          Modulate&& modulate) {
    constexpr bool kCentre = Variant::kVerticesPerPoint == 3;
    constexpr bool kTwoRanges = Variant::kTwoRanges;
    const auto width = [&](typename Data::Float f, float sample) {
        return data.GetFloat(f).Evaluate(clock, sample, random);
    };
    const float scale = width(Data::kWid, s.widths[0]) * scaleFactor;
    r.headWidth = width(Data::kWidH, s.widths[1]) * scale;
    if constexpr (kTwoRanges)
        r.middleWidth = width(Data::kWidC, s.widths[2]) * scale;
    r.tailWidth = width(Data::kWidT, s.widths[3]) * scale;

    float colours[6][4] = {};
    const auto colour = [&](typename Data::Color c) {
        data.GetColor(c).Evaluate(clock, s.colours[c], random, colours[c]);
    };
    colour(Data::kColH);
    if constexpr (kTwoRanges)
        colour(Data::kColC);
    colour(Data::kColT);
    if constexpr (kCentre) {
        colour(Data::kCoEH);
        if constexpr (kTwoRanges)
            colour(Data::kCoEC);
        colour(Data::kCoET);
    }
    float by[4];
    modulate(by);
    for (auto& c : colours)
        for (uint32_t k = 0; k < 4; ++k)
            c[k] *= by[k];

    const auto difference = [](float* out, const float* to, const float* from) {
        for (uint32_t k = 0; k < 4; ++k)
            out[k] = to[k] - from[k];
    };
    const float* head = colours[Data::kColH];
    const float* middle = colours[Data::kColC];
    const float* tail = colours[Data::kColT];
    const float* edgeHead = colours[Data::kCoEH];
    const float* edgeMiddle = colours[Data::kCoEC];
    const float* edgeTail = colours[Data::kCoET];
    std::memcpy(r.centreColor, head, sizeof r.centreColor);
    if constexpr (kCentre)
        std::memcpy(r.edgeColor, edgeHead, sizeof r.edgeColor);
    if constexpr (kTwoRanges) {
        std::memcpy(r.middleColor, middle, sizeof r.middleColor);
        difference(r.firstDelta, middle, head);
        if constexpr (kCentre) {
            std::memcpy(r.middleEdgeColor, edgeMiddle, sizeof r.middleEdgeColor);
            difference(r.secondDelta, edgeMiddle, edgeHead);
            difference(r.thirdDelta, tail, middle);
            difference(r.fourthDelta, edgeTail, edgeMiddle);
        } else {
            difference(r.secondDelta, tail, middle);
        }
    } else {
        difference(r.firstDelta, tail, head);
        if constexpr (kCentre)
            difference(r.secondDelta, edgeTail, edgeHead);
    }
}

} // namespace FulgorCore
