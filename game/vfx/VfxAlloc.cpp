#include "game/vfx/VfxAlloc.h"

#include "engine/common/Heap.h"

void* VfxAlloc(uint32_t size, uint32_t, const char*, uint32_t, const char*) {
    return size ? Mireku::Common::Heap::LockedAlloc(size) : nullptr;
}

void VfxFree(void* block) {
    if (block)
        Mireku::Common::Heap::LockedFree(block);
}
