// The root's child instances: the 16-place ring that "VFXC" fills, the
// update that ties each started child to the root, and the places freed as
// the children go.
#include "effects/Core/Engine/Engine.h"
#include "effects/Core/Engine/EngineInternal.h"
#include "effects/Core/Engine/InstanceSlot.h"
#include "effects/Core/Resource/PackageResource.h"
#include "effects/units/ChildInstanceTable.h"
#include "effects/units/InstanceRootUnit.h"

#include <cstring>

namespace FulgorCore {

namespace {

// A place whose child has not started yet still holds its handle: it is
// taken until that child goes.
bool IsFree(const ChildInstanceTable& table, uint32_t place) {
    return table.handles[place].serial == 0 && !table.roots[place];
}

} // namespace

void InstanceRootUnit::SpawnChildInstance(const char* name, const float* colour) {
    const ObjectHandle* effect = package && name ? package->FindReference(name) : nullptr;
    if (!effect || effect->serial == 0)
        return;
    if (!childInstances) {
        childInstances = ChildInstanceTable::Create();
        if (!childInstances)
            return;
        childUpdateMember = UpdateChildInstances;
    }
    ChildInstanceTable& table = *childInstances;
    uint32_t place = table.hint % ChildInstanceTable::kPlaces;
    uint32_t probed = 0;
    while (probed < ChildInstanceTable::kPlaces && !IsFree(table, place)) {
        place = (place + 1) % ChildInstanceTable::kPlaces;
        ++probed;
    }
    if (probed == ChildInstanceTable::kPlaces)
        return;
    const InstanceHandle handle = Engine::StartChildInstance(*effect, listener, layer);
    // No instance record was free: nothing started, so nothing holds the
    // root.
    if (handle.serial == 0)
        return;
    std::memcpy(table.colour[place], colour, sizeof(table.colour[place]));
    table.handles[place] = handle;
    table.roots[place] = nullptr;
    table.hint = (place + 1) % ChildInstanceTable::kPlaces;
    ++holdCount;
}

void InstanceRootUnit::OnChildInstanceEnded(InstanceRootUnit* child) {
    if (!childInstances || !child)
        return;
    ChildInstanceTable& table = *childInstances;
    for (uint32_t place = 0; place < ChildInstanceTable::kPlaces; ++place) {
        if (table.roots[place] != child)
            continue;
        table.handles[place] = InstanceHandle{};
        table.roots[place] = nullptr;
        table.hint = place;
        if (holdCount > 0)
            --holdCount;
    }
}

void InstanceRootUnit::UpdateChildInstances(UnitInstance* unit) {
    auto* root = static_cast<InstanceRootUnit*>(unit);
    ChildInstanceTable& table = *root->childInstances;
    for (uint32_t place = 0; place < ChildInstanceTable::kPlaces; ++place) {
        const InstanceHandle handle = table.handles[place];
        if (table.roots[place] || handle.serial == 0)
            continue;
        const InstanceSlot* slot = Engine::FindInstance(handle.index, handle.serial);
        if (!slot) {
            // Gone (or dead) before it ever started: no root of it will
            // tell this one, so its place and its hold are given back now.
            table.handles[place] = InstanceHandle{};
            table.hint = place;
            if (root->holdCount > 0)
                --root->holdCount;
            continue;
        }
        InstanceRootUnit* child = slot->root;
        if (!child)
            continue;
        table.roots[place] = child;
        child->parentRoot = root;
        child->SetWorldMatrix(root->worldMatrix);
        float colour[4];
        for (int i = 0; i < 4; ++i)
            colour[i] = table.colour[place][i] * root->baseColor[i];
        child->SetColor(colour);
    }
}

} // namespace FulgorCore
