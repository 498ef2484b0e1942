// The timed loop of the geometry benchmarks that measure the runtime's
// frame against a plain loop writing the same bytes in the same iteration:
// the frame's time is the iteration's, "ratio" the plain loop's time over
// the frame's (the goal is at least 0.5), "allocations" the operator new
// calls of the timed frames (the goal is 0), and `rateName` the units
// drawn a second.
#pragma once

#include "bench/AllocationCount.h"
#include "bench/support/PlainLayerCalls.h"

#include <benchmark/benchmark.h>

#include <cstdint>

namespace bench {

// `between` runs after both, untimed: what the host does between frames.
template <class Frame, class Plain, class Between>
void RunAgainstPlain(benchmark::State& state, Frame&& frame, Plain&& plain, uint32_t units,
                     const char* rateName, Between&& between) {
    uint64_t allocations = 0;
    double frameSeconds = 0.0, plainSeconds = 0.0;
    for (auto _ : state) {
        const uint64_t before = AllocationCount();
        const double start = ThreadSeconds();
        frame();
        const double drawn = ThreadSeconds();
        allocations += AllocationCount() - before;
        plain();
        benchmark::ClobberMemory();
        const double end = ThreadSeconds();
        frameSeconds += drawn - start;
        plainSeconds += end - drawn;
        state.SetIterationTime(drawn - start);
        between();
    }
    state.counters[rateName] = benchmark::Counter(static_cast<double>(state.iterations()) * units,
                                                  benchmark::Counter::kIsRate);
    state.counters["ratio"] = frameSeconds > 0.0 ? plainSeconds / frameSeconds : 0.0;
    state.counters["allocations"] = static_cast<double>(allocations);
}

template <class Frame, class Plain>
void RunAgainstPlain(benchmark::State& state, Frame&& frame, Plain&& plain, uint32_t units,
                     const char* rateName) {
    RunAgainstPlain(state, frame, plain, units, rateName, [] {});
}

} // namespace bench
