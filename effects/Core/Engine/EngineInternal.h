#pragma once

#include "effects/Core/Interface/InstanceHandle.h"
#include "effects/Core/Interface/ObjectHandle.h"

#include <cstdint>

namespace FulgorCore {

class IInstanceListenner;
class ParticleInstance;
struct EngineWorkData;
struct FrameListEntry;
struct InstanceSlot;
struct ObjectSlot;

// What the runtime's own parts call of the core beside the public entry
// points.
namespace Engine {

// Makes `block` the current runtime data: the global placement allocator
// builds into it from offset 0, and it is zero-filled.
void ResetRuntimeData(void* block, uint32_t size);

// The registered effect {index, serial}, or null.
ObjectSlot* FindObject(uint32_t index, uint32_t serial);
// The instance {index, serial} when it is valid and not dead, or null.
InstanceSlot* FindInstance(uint32_t index, uint32_t serial);
// Drops one reference of a registered effect; the last one tells the
// listener, destroys the package, frees the block and the record.
void ReleaseObject(ObjectSlot& slot);
// Unlinks the record, tells and releases its listener, destroys its root
// unit, releases its effect and puts it back on the free list.
void FreeInstance(InstanceSlot& slot);

// An instance of `effect` started as a child of a playing one: the
// listener, the layer, freed once it stops, played once at speed 1.
// {0, 0} when it cannot be created.
InstanceHandle StartChildInstance(const ObjectHandle& effect, IInstanceListenner* listener,
                                  uint8_t layer);

// The two passes the frame runs over the active instances, each record's
// step chosen by its state: the first (starts, stops, frees, the changed
// transform and colour), then the second (triggers, warm-up, the tree's
// update, the draw lists and the instance jobs).
void RunFirstPass(EngineWorkData& work);
void RunSecondPass(EngineWorkData& work, float dt);

// Whether the instance's bounding sphere may be seen: always for an effect
// that does not ask for culling, else inside all six frustum planes.
bool IsSphereInFrustum(const InstanceSlot& instance);
// Adds a pickable unit to the frame list; past 128 it is dropped.
void PushFrameList(ParticleInstance* unit);
// The hover test of the pointer pass over candidates first..last of `list`
// (frame-list order), each against the pointer ray of its camera space:
// the first hit becomes the hovered unit, which is told 8 (entered) after
// the old one is told 9 (left).
void UpdatePointerHover(uint32_t first, uint32_t last, const FrameListEntry* list,
                        const float (*nearPoints)[4], const float (*farPoints)[4]);

// Shutdown: every instance freed, then every effect released whatever its
// count.
void FreeAllInstances(EngineWorkData& work);
void ReleaseAllObjects(EngineWorkData& work);

} // namespace Engine
} // namespace FulgorCore
