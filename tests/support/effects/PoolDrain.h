// Takes every block of the runtime's unit pool but `room`, so that the
// next construction runs dry where a test wants; the blocks go back at
// Refill() or when the drain goes.
#pragma once

#include "effects/Core/Engine/Engine.h"
#include "effects/Core/Memory/UnitInstancePool.h"

#include <cstdint>
#include <vector>

namespace testsupport {

class PoolDrain {
public:
    explicit PoolDrain(uint32_t room) {
        FulgorCore::UnitInstancePool& pool = FulgorCore::Engine::GetUnitInstancePool();
        while (void* block = pool.Allocate())
            taken_.push_back(block);
        for (uint32_t i = 0; i < room && !taken_.empty(); ++i) {
            pool.Free(taken_.back());
            taken_.pop_back();
        }
    }
    ~PoolDrain() { Refill(); }
    PoolDrain(const PoolDrain&) = delete;
    PoolDrain& operator=(const PoolDrain&) = delete;

    void Refill() {
        FulgorCore::UnitInstancePool& pool = FulgorCore::Engine::GetUnitInstancePool();
        for (void* block : taken_)
            pool.Free(block);
        taken_.clear();
    }

private:
    std::vector<void*> taken_;
};

} // namespace testsupport
