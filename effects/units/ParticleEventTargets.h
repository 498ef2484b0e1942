#pragma once

#include "effects/Core/Resource/UnitTimelineResource.h"
#include "effects/units/InstanceRootUnit.h"
#include "effects/units/ParticleInstance.h"

#include <cstdint>

namespace FulgorCore {

namespace EventTargets {

// Every unit exactly `depth` levels below `from`, depth first in list
// order. The action may add children to the unit it is given, never to a
// list being walked above it.
template <ParticleInstance::EventAction Action>
void Descend(UnitInstance* from, int32_t depth, const UnitTimelineResource::Item& entry) {
    for (UnitInstance* child = from->firstChild; child; child = child->nextSibling) {
        if (depth == 1)
            Action(child, entry);
        else
            Descend<Action>(child, depth - 1, entry);
    }
}

} // namespace EventTargets

template <ParticleInstance::EventAction Action>
void ParticleInstance::ForEachEventTarget(ParticleInstance* start,
                                          const UnitTimelineResource::Item& entry, int32_t mode,
                                          int32_t depth) {
    UnitInstance* from = nullptr;
    if (mode == 0 || mode == 1)
        from = start;
    else if (mode == 2)
        from = start->owner;
    if (!from)
        return;
    if (depth > 0) {
        EventTargets::Descend<Action>(from, depth, entry);
        return;
    }
    // Modes 0 and 1 walk up one parent per count until the count is 0;
    // from a negative count it never is, and the walk ends at the root with
    // no target. Mode 2 takes the root itself.
    if (depth == 0 || mode == 2)
        Action(from, entry);
}

} // namespace FulgorCore
