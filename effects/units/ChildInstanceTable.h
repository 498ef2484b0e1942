#pragma once

#include "effects/Core/Interface/InstanceHandle.h"

#include <cstdint>

namespace FulgorCore {

class InstanceRootUnit;

// The child effect instances a unit started, in one unit-pool block: a
// colour multiplier, the handle and the cached root unit of each of 16
// places, and the place the next start tries first (the root's ring).
struct ChildInstanceTable {
    static constexpr uint32_t kPlaces = 16;

    float colour[kPlaces][4];
    InstanceHandle handles[kPlaces];
    InstanceRootUnit* roots[kPlaces];
    uint32_t hint;

    // A zeroed table in a block of the unit pool, or null when it is
    // exhausted.
    static ChildInstanceTable* Create();

    // Caches the root unit of each place that has a handle but no root yet,
    // once its instance is valid, not dead and started; a cached root whose
    // instance has gone or restarted is dropped first.
    void ResolveRoots();
    // Every child still valid is set dead (a child outlives nothing that
    // started it); the places are cleared.
    void KillChildren();
    // Sets the layer of every valid child, which passes it on to its own.
    void SetLayer(uint8_t layer) const;
};

} // namespace FulgorCore
