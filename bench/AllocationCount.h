// The number of C++ heap allocations made so far in this program: the
// benchmarks that link AllocationCount.cpp replace operator new with one that
// counts, so their figures show that per-frame work allocates nothing.
#pragma once

#include <cstdint>

namespace bench {

uint64_t AllocationCount();

} // namespace bench
