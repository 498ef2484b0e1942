// Effect data registration: the two passes over an effect file, the effect
// table with its handles, and the resolution of referenced effects.
#include "effects/Core/Data/ChunkTag.h"
#include "effects/Core/Data/ChunkWalker.h"
#include "effects/Core/Data/RecordPlacement.h"
#include "effects/Core/Engine/Engine.h"
#include "effects/Core/Engine/EngineInternal.h"
#include "effects/Core/Engine/EngineWorkData.h"
#include "effects/Core/Engine/ObjectSlot.h"
#include "effects/Core/Engine/RuntimeGlobals.h"
#include "effects/Core/Interface/IObjectListenner.h"
#include "effects/Core/Memory/RuntimeDataAllocator.h"
#include "effects/Core/Resource/PackageResource.h"
#include "effects/render/RendererWorkData.h"

#include <cstring>
#include <mutex>

namespace FulgorCore::Engine {

namespace {

constexpr uint32_t kAcceptedVersion = 0x01010101u;

// The host hears of every refused file: the caller only sees {0, 0}.
const char kNoPackage[] = "Failed to load effect data: no package of an accepted version.\n";
const char kDamaged[] = "Failed to load effect data: damaged package.\n";
const char kNoObjectSlot[] = "Failed to load effect data: ObjectMemory is full.\n";
const char kNoBlock[] = "Failed to allocate Runtime.Data.\n";
const char kBuildPastMeasure[] = "Failed to load effect data: the build exceeds its measure.\n";

// The "Pack" the registration builds: the last one that follows an
// accepted "Ver" (a later "Ver" replaces the verdict). Earlier ones are
// neither measured nor built, since only the last would be kept.
bool FindLastCountedPack(const void* image, uint32_t size, Chunk& pack) {
    bool accepted = false;
    bool found = false;
    ChunkWalker walker(image, size);
    Chunk chunk;
    while (walker.Next(chunk)) {
        if (chunk.tag == MakeChunkTag("Ver")) {
            accepted = chunk.size >= 4 && chunk.U32() == kAcceptedVersion;
        } else if (chunk.tag == MakeChunkTag("Pack") && accepted) {
            pack = chunk;
            found = true;
        }
    }
    return found;
}

// The whole "Name" text would not fit: the record keeps 47 characters.
void CopyName(ObjectSlot& slot, const void* image, uint32_t size) {
    ChunkWalker walker(image, size);
    Chunk chunk;
    while (walker.Next(chunk))
        if (chunk.tag == MakeChunkTag("Name"))
            chunk.CopyText(slot.name, ObjectSlot::kNameSize);
}

// Pops the free head onto the tail of the active list with one reference
// and the next serial (which skips 0).
ObjectSlot* AllocObject(EngineWorkData& work) {
    std::lock_guard<std::recursive_mutex> lock(work.objectLock);
    EngineWorkData::SlotTable<ObjectSlot>& table = work.objects;
    ObjectSlot* slot = table.freeHead;
    if (!slot)
        return nullptr;
    table.freeHead = slot->next;
    slot->previous = table.activeTail;
    slot->next = nullptr;
    if (table.activeTail)
        table.activeTail->next = slot;
    else
        table.activeHead = slot;
    table.activeTail = slot;
    slot->referenceCount = 1;
    if (++work.objectSerial == 0)
        work.objectSerial = 1;
    slot->serial = work.objectSerial;
    return slot;
}

void Unlink(EngineWorkData::SlotTable<ObjectSlot>& table, ObjectSlot& slot) {
    if (slot.previous)
        slot.previous->next = slot.next;
    else
        table.activeHead = slot.next;
    if (slot.next)
        slot.next->previous = slot.previous;
    else
        table.activeTail = slot.previous;
}

// Zeroes the record but its index and makes it the next one reused.
void PushFree(EngineWorkData::SlotTable<ObjectSlot>& table, ObjectSlot& slot) {
    const uint32_t index = slot.index;
    slot = ObjectSlot{};
    slot.index = index;
    slot.next = table.freeHead;
    table.freeHead = &slot;
}

// A record whose build failed: back to the free list with nothing told.
void DropObject(EngineWorkData& work, ObjectSlot& slot) {
    std::lock_guard<std::recursive_mutex> lock(work.objectLock);
    Unlink(work.objects, slot);
    PushFree(work.objects, slot);
}

// The package of the last counted "Pack" built in `block`; null when the
// build placed past the measure (the block is then left to the caller).
// A package that fails gives back everything its build took from the
// listener and the device, the sounds its units were handed included.
PackageResource* BuildPackage(const void* image, uint32_t size, const Chunk& pack, ObjectSlot& slot,
                              void* block, IObjectListenner* listener) {
    RuntimeGlobals& g = RuntimeGlobals::Get();
    RuntimeDataAllocator& allocator = RuntimeDataAllocator::Global();
    std::lock_guard<std::recursive_mutex> lock(RuntimeDataAllocator::LoadingMutex());
    ResetRuntimeData(block, slot.runtimeDataSize);
    CopyName(slot, image, size);
    BuildContext context{allocator, g.renderer->device, listener};
    PackageResource* package = PlaceAndRead<PackageResource>(context, pack.payload, pack.size);
    if (package && !allocator.HasFailed())
        return package;
    if (package) {
        package->ReleaseUnitSounds(listener);
        package->Destroy();
    }
    return nullptr;
}

// The last step of a registration, run outside the loading mutex so that the
// listener may register further effects: each referenced name is looked for
// among the registered effects (one reference more on a match) or asked of
// the listener. A file naming itself keeps its own handle without a
// reference, or it could never be released.
void ResolveReferences(EngineWorkData& work, ObjectSlot& slot, IObjectListenner* listener) {
    PackageResource* package = slot.package;
    for (uint32_t i = 0; i < package->GetReferenceCount(); ++i) {
        ReferenceEntry* entry = package->GetReference(i);
        if (!entry || !entry->name)
            continue;
        ObjectSlot* found = work.objects.activeHead;
        while (found && std::strcmp(found->name, entry->name) != 0)
            found = found->next;
        if (found == &slot) {
            entry->handle = {slot.index, slot.serial};
            entry->namesItself = 1;
        } else if (found) {
            ++found->referenceCount;
            entry->handle = {found->index, found->serial};
        } else {
            entry->handle = listener->LoadReferencedEffect(entry->name);
        }
    }
}

} // namespace

ObjectHandle LoadResource(const void* image, uint32_t size, IObjectListenner* listener) {
    EngineWorkData* work = GetWorkData();
    if (!work || !image)
        return {};
    RuntimeGlobals& g = RuntimeGlobals::Get();
    RuntimeDataAllocator& allocator = RuntimeDataAllocator::Global();

    Chunk pack;
    uint32_t measured = 0;
    {
        std::lock_guard<std::recursive_mutex> lock(RuntimeDataAllocator::LoadingMutex());
        if (!FindLastCountedPack(image, size, pack)) {
            g.Log(kNoPackage);
            return {};
        }
        allocator.BeginMeasure();
        BuildContext context{allocator, g.renderer->device, listener};
        PlaceAndRead<PackageResource>(context, pack.payload, pack.size);
        measured = allocator.GetSize();
        const bool damaged = allocator.HasFailed();
        allocator.EndMeasure();
        if (damaged) {
            g.Log(kDamaged);
            return {};
        }
    }

    ObjectSlot* slot = AllocObject(*work);
    if (!slot) {
        g.Log(kNoObjectSlot);
        return {};
    }
    slot->runtimeDataSize = measured;
    void* block = g.Allocate(measured, "Runtime.Data");
    // A missing block, or a build that does not fit what was measured, gives
    // the record back: nothing half-built is ever registered.
    PackageResource* package =
        block ? BuildPackage(image, size, pack, *slot, block, listener) : nullptr;
    if (!package) {
        g.Log(block ? kBuildPastMeasure : kNoBlock);
        g.Free(block);
        DropObject(*work, *slot);
        return {};
    }
    slot->runtimeData = block;
    slot->listener = listener;
    slot->package = package;
    const ObjectHandle handle{slot->index, slot->serial};
    if (listener) {
        listener->AddRef();
        listener->OnCreate(handle);
        ResolveReferences(*work, *slot, listener);
    }
    return handle;
}

ObjectSlot* FindObject(uint32_t index, uint32_t serial) {
    EngineWorkData* work = GetWorkData();
    if (!work || serial == 0 || index >= work->parameter.ObjectMaxCount)
        return nullptr;
    ObjectSlot& slot = work->objects.base[index];
    return slot.index == index && slot.serial == serial ? &slot : nullptr;
}

void ReleaseObject(ObjectSlot& slot) {
    const RuntimeGlobals& g = RuntimeGlobals::Get();
    EngineWorkData& work = *g.engine;
    std::lock_guard<std::recursive_mutex> lock(work.objectLock);
    if (--slot.referenceCount >= 1)
        return;
    Unlink(work.objects, slot);
    if (IObjectListenner* listener = slot.listener) {
        listener->OnRelease({slot.index, slot.serial});
        if (slot.package)
            slot.package->ReleaseUnitSounds(listener);
        listener->Release();
    }
    if (slot.package)
        slot.package->Destroy();
    g.Free(slot.runtimeData);
    PushFree(work.objects, slot);
}

void ReleaseResource(uint32_t index, uint32_t serial) {
    if (ObjectSlot* slot = FindObject(index, serial))
        ReleaseObject(*slot);
}

void AddResourceRef(uint32_t index, uint32_t serial) {
    if (ObjectSlot* slot = FindObject(index, serial))
        ++slot->referenceCount;
}

uint32_t GetResourceDataSize(uint32_t index, uint32_t serial) {
    const ObjectSlot* slot = FindObject(index, serial);
    return slot ? slot->runtimeDataSize : 0;
}

uint32_t FindTextureNameChunks(const void* stream, uint32_t size, const void** out) {
    uint32_t count = 0;
    ChunkWalker walker(stream, size);
    Chunk chunk;
    while (walker.Next(chunk)) {
        if (chunk.tag != MakeChunkTag("TexN"))
            continue;
        if (out)
            out[count] = chunk.payload;
        ++count;
    }
    return count;
}

void ReleaseAllObjects(EngineWorkData& work) {
    // A package's destruction may release other effects too, so the head
    // is taken afresh each time.
    while (ObjectSlot* slot = work.objects.activeHead) {
        slot->referenceCount = 1;
        ReleaseObject(*slot);
    }
}

void ResetRuntimeData(void* block, uint32_t size) {
    RuntimeDataAllocator::Global().BeginBuild(block, size);
    if (block && size)
        std::memset(block, 0, size);
}

} // namespace FulgorCore::Engine
