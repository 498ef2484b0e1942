#pragma once

#include "effects/Core/Memory/UnitInstancePool.h"

#include <new>

namespace FulgorCore {

// Base of the parts a particle instance owns beside its units (draw,
// emitter and extra units): each lives in one block of the unit pool and
// deleting it gives the block back.
class UnitPoolPart {
public:
    // A T in a block of the unit pool, or null when the pool is exhausted.
    template <class T, class... Args> static T* Create(Args&&... args) {
        static_assert(sizeof(T) <= kUnitBlockSize, "a part must fit one pool block");
        void* block = AllocateBlock();
        return block ? new (block) T(static_cast<Args&&>(args)...) : nullptr;
    }
    static void operator delete(void* block);

    UnitPoolPart() = default;
    UnitPoolPart(const UnitPoolPart&) = delete;
    UnitPoolPart& operator=(const UnitPoolPart&) = delete;
    virtual ~UnitPoolPart() = default;

    // A block of the unit pool, or null: for a part whose class is chosen
    // before its block is taken.
    static void* AllocateBlock();
};

} // namespace FulgorCore
