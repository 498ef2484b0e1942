// The engine heap against glibc malloc on one mixed workload: sizes from 16 B
// to 64 KiB, a long-lived population with short-lived churn, every call under
// the heap's lock as the engine makes it.
#include "engine/common/Heap.h"
#include "sys/thread.h"

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <random>
#include <vector>

namespace {

struct Op {
    uint32_t size;
    uint32_t slot;
    bool alloc;
};

// Two populations: a large live set (thousands of blocks, a deep free tree)
// and a small one (the common case once a scene has loaded).
std::vector<Op> MakeWorkload(size_t kSlots) {
    {
        std::vector<Op> v;
        std::mt19937 rng(7);
        std::vector<bool> used(kSlots, false);
        for (int i = 0; i < 200000; ++i) {
            uint32_t slot = rng() % kSlots;
            // Slots below 1024 hold long-lived data: rarely freed once taken.
            bool longLived = slot < kSlots / 4;
            if (used[slot]) {
                if (longLived && rng() % 16 != 0)
                    continue;
                v.push_back({0, slot, false});
                used[slot] = false;
            } else {
                // Mostly small, a tail of large buffers up to 64 KiB.
                uint32_t size = (rng() % 10 < 8) ? 16 + rng() % 496 : 512 + rng() % (65536 - 512);
                v.push_back({size, slot, true});
                used[slot] = true;
            }
        }
        for (uint32_t s = 0; s < kSlots; ++s)
            if (used[s])
                v.push_back({0, s, false});
        return v;
    }
}

const std::vector<Op>& Workload(size_t slots) {
    static std::vector<Op> large = MakeWorkload(4096);
    static std::vector<Op> small = MakeWorkload(256);
    return slots == 4096 ? large : small;
}

void BM_EngineHeap(benchmark::State& state) {
    const auto& ops = Workload(static_cast<size_t>(state.range(0)));
    std::vector<void*> slots(static_cast<size_t>(state.range(0)), nullptr);
    for (auto _ : state) {
        for (const Op& op : ops) {
            if (op.alloc)
                slots[op.slot] = Mireku::Common::Heap::LockedAlloc(op.size);
            else
                Mireku::Common::Heap::LockedFree(slots[op.slot]);
        }
    }
    state.SetItemsProcessed(static_cast<int64_t>(state.iterations() * ops.size()));
}

void BM_Malloc(benchmark::State& state) {
    const auto& ops = Workload(static_cast<size_t>(state.range(0)));
    std::vector<void*> slots(static_cast<size_t>(state.range(0)), nullptr);
    sys::Mutex& lock = Mireku::Common::Heap::Lock();
    for (auto _ : state) {
        for (const Op& op : ops) {
            lock.Lock();
            if (op.alloc)
                slots[op.slot] = std::malloc(op.size);
            else
                std::free(slots[op.slot]);
            lock.Unlock();
        }
    }
    state.SetItemsProcessed(static_cast<int64_t>(state.iterations() * ops.size()));
}

} // namespace

BENCHMARK(BM_EngineHeap)->Arg(4096)->Arg(256)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Malloc)->Arg(4096)->Arg(256)->Unit(benchmark::kMillisecond);

int main(int argc, char** argv) {
    Mireku::Common::Heap::LockedInitialize();
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
