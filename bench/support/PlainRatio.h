// The goal of the effects benchmarks: the runtime at no less than half the
// rate of a plain loop doing the same work. The runtime's benchmark keeps
// its processor time per iteration under a name; the plain loop's, which is
// registered after it, prints "ratio": its own time per iteration over the
// runtime's, that is the runtime's rate over the plain loop's (no counter
// when the runtime's benchmark did not run first).
#pragma once

#include "bench/support/ThreadSeconds.h"

#include <benchmark/benchmark.h>

#include <map>
#include <string>

namespace bench {

inline std::map<std::string, double>& RuntimeSecondsPerIteration() {
    static std::map<std::string, double> seconds;
    return seconds;
}

inline double PerIteration(const benchmark::State& state, double seconds) {
    const double iterations = static_cast<double>(state.iterations());
    return iterations > 0.0 ? seconds / iterations : 0.0;
}

// After the runtime's timed loop, which took `seconds` of processor time in
// all (for a loop that pauses its timing).
inline void KeepRuntimeSeconds(const std::string& name, const benchmark::State& state,
                               double seconds) {
    RuntimeSecondsPerIteration()[name] = PerIteration(state, seconds);
}

// After the runtime's timed loop, which began at `start` (ThreadSeconds).
inline void KeepRuntimeTime(const std::string& name, const benchmark::State& state, double start) {
    KeepRuntimeSeconds(name, state, ThreadSeconds() - start);
}

// After the plain loop's timed loop, which began at `start`.
inline void PrintRatio(const std::string& name, benchmark::State& state, double start) {
    const double plain = PerIteration(state, ThreadSeconds() - start);
    const auto runtime = RuntimeSecondsPerIteration().find(name);
    if (runtime != RuntimeSecondsPerIteration().end() && runtime->second > 0.0)
        state.counters["ratio"] = plain / runtime->second;
}

} // namespace bench
