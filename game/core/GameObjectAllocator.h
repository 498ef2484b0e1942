// The pool every stage object lives in: 32768 fixed-size blocks taken from
// the engine heap once, a free list threaded through the free blocks, O(1)
// allocate and free. Main thread only. An exhausted pool answers null and the
// object is simply not created. Test programs can have its blocks filled with
// a pattern as they are taken and given back (ArenaFill).
#pragma once

#include "engine/common/Singleton.h"
#include "engine/common/SingletonObject.h"

#include <cstddef>
#include <cstdint>

class GameObjectAllocator : public Mireku::Common::SingletonObject,
                            public Mireku::Common::Singleton<GameObjectAllocator> {
public:
    // Twice the 512 bytes a 32-bit build needed: pointer-holding classes grow
    // on 64-bit.
    static constexpr uint32_t kBlockSize = 1024;
    static constexpr uint32_t kBlockCount = 32768;
    static constexpr uint32_t kEnd = 0xFFFFFFFFu;

    ~GameObjectAllocator() override { Destroy(); }

    bool Initialize();
    void* Allocate();
    void Free(void* block);
    void Destroy();

    uint32_t LiveCount() const { return live_; }
    uint32_t BlockCount() const { return count_; }
    bool Owns(const void* p) const {
        return base_ && p >= base_ && p < base_ + static_cast<size_t>(count_) * kBlockSize;
    }

private:
    uint8_t* base_ = nullptr;
    uint32_t count_ = 0;
    uint32_t head_ = kEnd;
    uint32_t live_ = 0;
};
