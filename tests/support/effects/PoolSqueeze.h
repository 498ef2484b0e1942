// Holds unit-pool blocks so that exactly a given number stay free, and gives
// them back when it goes: a build tried with the pool running dry at each
// block in turn.
#pragma once

#include "effects/Core/Engine/Engine.h"
#include "effects/Core/Memory/UnitInstancePool.h"

#include <cstdint>
#include <vector>

namespace testsupport {

class PoolSqueeze {
public:
    explicit PoolSqueeze(uint32_t free) {
        FulgorCore::UnitInstancePool& pool = FulgorCore::Engine::GetUnitInstancePool();
        while (pool.GetCapacity() - pool.GetUsedCount() > free)
            held_.push_back(pool.Allocate());
    }
    ~PoolSqueeze() {
        for (void* block : held_)
            FulgorCore::Engine::GetUnitInstancePool().Free(block);
    }
    PoolSqueeze(const PoolSqueeze&) = delete;
    PoolSqueeze& operator=(const PoolSqueeze&) = delete;

private:
    std::vector<void*> held_;
};

} // namespace testsupport
