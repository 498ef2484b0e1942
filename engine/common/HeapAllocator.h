// Standard-container allocator over the engine heap, so that the engine's
// vectors and strings live in the arena like everything else it owns.
#pragma once

#include "engine/common/Heap.h"

#include <cstddef>
#include <new>
#include <string>
#include <vector>

namespace Mireku::Common {

template <class T> class HeapAllocator {
public:
    using value_type = T;
    HeapAllocator() noexcept = default;
    template <class U> HeapAllocator(const HeapAllocator<U>&) noexcept {}
    T* allocate(std::size_t n) {
        if (n > static_cast<std::size_t>(-1) / sizeof(T))
            throw std::bad_array_new_length();
        void* p = Heap::LockedAlloc(n * sizeof(T));
        if (!p)
            throw std::bad_alloc();
        return static_cast<T*>(p);
    }
    void deallocate(T* p, std::size_t) noexcept { Heap::LockedFree(p); }
    template <class U> bool operator==(const HeapAllocator<U>&) const noexcept { return true; }
};

using String = std::basic_string<char, std::char_traits<char>, HeapAllocator<char>>;
template <class T> using Vector = std::vector<T, HeapAllocator<T>>;

} // namespace Mireku::Common
