// Class-level placement of game objects in the pool: `new` takes one pool
// block (null when the pool is exhausted or missing, or the class is too big
// for a block; the constructor then does not run) and `delete` gives it back.
#pragma once

#include "game/core/GameObjectAllocator.h"

#include <cstddef>

class GameObjectAllocatorObject {
public:
    static void* operator new(std::size_t size) noexcept {
        GameObjectAllocator* pool = GameObjectAllocator::GetInstance();
        if (!pool || size > GameObjectAllocator::kBlockSize)
            return nullptr;
        return pool->Allocate();
    }
    static void operator delete(void* p) noexcept {
        if (GameObjectAllocator* pool = GameObjectAllocator::GetInstance())
            pool->Free(p);
    }
};
