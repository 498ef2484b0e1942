#include "effects/units/ChildInstanceTable.h"

#include "effects/Core/Engine/Engine.h"
#include "effects/Core/Engine/EngineInternal.h"
#include "effects/Core/Engine/InstanceSlot.h"
#include "effects/Core/Memory/UnitInstancePool.h"

#include <cstring>

namespace FulgorCore {

ChildInstanceTable* ChildInstanceTable::Create() {
    void* block = Engine::GetUnitInstancePool().Allocate();
    if (!block)
        return nullptr;
    std::memset(block, 0, sizeof(ChildInstanceTable));
    return static_cast<ChildInstanceTable*>(block);
}

void ChildInstanceTable::ResolveRoots() {
    for (uint32_t i = 0; i < kPlaces; ++i) {
        if (handles[i].serial == 0)
            continue;
        const InstanceSlot* slot = Engine::FindInstance(handles[i].index, handles[i].serial);
        // A child that has gone (or restarted) takes its cached root with
        // it, so no stale pointer stays behind.
        if (roots[i] && (!slot || slot->root != roots[i]))
            roots[i] = nullptr;
        if (!roots[i])
            roots[i] = slot ? slot->root : nullptr;
    }
}

void ChildInstanceTable::KillChildren() {
    for (uint32_t i = 0; i < kPlaces; ++i) {
        if (handles[i].serial != 0)
            Engine::KillInstance(handles[i].index, handles[i].serial);
        handles[i] = InstanceHandle{};
        roots[i] = nullptr;
    }
}

void ChildInstanceTable::SetLayer(uint8_t layer) const {
    for (uint32_t i = 0; i < kPlaces; ++i)
        if (handles[i].serial != 0)
            Engine::SetInstanceLayer(handles[i].index, handles[i].serial, layer);
}

} // namespace FulgorCore
