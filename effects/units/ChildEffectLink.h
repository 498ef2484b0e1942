#pragma once

#include "effects/Core/Memory/UnitInstancePool.h"

#include <cstdint>

namespace FulgorCore {

class InstanceRootUnit;

// The child effect instance a particle started, in a unit-pool block: its
// handle and, once it runs, its root unit. The particle holds its parent
// while the child lives, and sets the child dead when it goes first.
struct ChildEffectLink {
    uint32_t index;
    uint32_t serial;
    InstanceRootUnit* root;
};

static_assert(sizeof(ChildEffectLink) <= kUnitBlockSize);

} // namespace FulgorCore
