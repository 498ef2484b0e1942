#pragma once

#include "effects/Core/Memory/UnitInstancePool.h"
#include "effects/units/TrackMorph.h"

#include <cstdint>

namespace FulgorCore {

// The events posted to a particle node in one frame, in one unit-pool block
// taken at the first event: up to eight kinds and ids, and for each of
// translation, rotation, scale and colour whether the node keeps that aspect
// constant, with its value when the first event came: the base a track
// morph combines with and puts back.
struct NodeEventBlock {
    static constexpr uint32_t kCapacity = 8;
    enum Aspect : uint32_t { kTranslation = 0, kRotation = 1, kScale = 2, kColour = 3 };

    uint8_t count;
    uint8_t kinds[kCapacity];
    uint16_t ids[kCapacity];
    uint8_t constant[4];
    float translation[3];
    float rotation[3];
    float scale[3];
    float colour[4];
    // The track morph running on the particle, if any.
    TrackMorph morph;
};

static_assert(sizeof(NodeEventBlock) <= kUnitBlockSize);

} // namespace FulgorCore
