// Counts every C++ heap allocation of a benchmark program, so that its
// figures can show that per-frame work allocates nothing. It replaces the
// global operator new and delete: include it in the program's one source
// file.
#pragma once

#include <atomic>
#include <cstdint>
#include <cstdlib>
#include <new>

namespace benchsupport {

inline std::atomic<uint64_t> g_allocations{0};

inline uint64_t AllocationCount() {
    return g_allocations.load();
}

} // namespace benchsupport

void* operator new(std::size_t size) {
    benchsupport::g_allocations.fetch_add(1, std::memory_order_relaxed);
    if (void* p = std::malloc(size ? size : 1))
        return p;
    throw std::bad_alloc();
}
// The replacement pair is malloc and free underneath; the compiler cannot
// see that the two belong together.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wmismatched-new-delete"
void operator delete(void* p) noexcept {
    std::free(p);
}
void operator delete(void* p, std::size_t) noexcept {
    std::free(p);
}
#pragma GCC diagnostic pop
