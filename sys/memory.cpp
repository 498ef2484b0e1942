#include "sys/memory.h"

#include <sys/mman.h>

#include <cstdint>

namespace sys {

void AdviseLargePages(void* memory, size_t bytes) {
#if defined(MADV_HUGEPAGE)
    const auto start = reinterpret_cast<uintptr_t>(memory);
    const uintptr_t first = (start + kLargePageSize - 1) & ~uintptr_t{kLargePageSize - 1};
    const uintptr_t end = (start + bytes) & ~uintptr_t{kLargePageSize - 1};
    if (!memory || end <= first)
        return;
    madvise(reinterpret_cast<void*>(first), end - first, MADV_HUGEPAGE);
#else
    (void)memory;
    (void)bytes;
#endif
}

} // namespace sys
