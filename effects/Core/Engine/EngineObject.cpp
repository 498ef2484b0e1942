#include "effects/Core/Engine/Engine.h"
#include "effects/Core/Engine/EngineWorkData.h"
#include "effects/Core/Engine/ObjectSlot.h"
#include "effects/Core/Memory/RuntimeDataAllocator.h"

#include <cstring>

namespace FulgorCore::Engine {

void ReleaseResource(uint32_t index, uint32_t serial) {
    EngineWorkData* work = GetWorkData();
    if (!work || serial == 0 || index >= work->parameter.ObjectMaxCount || !work->objects.base)
        return;
    std::lock_guard<std::recursive_mutex> lock(work->objectLock);
    ObjectSlot& slot = work->objects.base[index];
    if (slot.index != index || slot.serial != serial || slot.referenceCount <= 0)
        return;
    --slot.referenceCount;
}

void ResetRuntimeData(void* block, uint32_t size) {
    RuntimeDataAllocator::Global().BeginBuild(block, size);
    if (block && size)
        std::memset(block, 0, size);
}

} // namespace FulgorCore::Engine
