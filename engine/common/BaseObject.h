#pragma once

#include <cstddef>
#include <new>

namespace Mireku::Common {

// Root of the engine and game class trees. Objects live in the engine heap:
// `new` of a derived class takes its memory there and yields null (without
// running the constructor) when the heap is exhausted; `delete` gives it back.
class BaseObject {
public:
    virtual ~BaseObject() = default;

    static void* operator new(std::size_t size) noexcept;
    static void operator delete(void* p) noexcept;
    static void* operator new(std::size_t, void* where) noexcept { return where; }
    static void operator delete(void*, void*) noexcept {}
};

} // namespace Mireku::Common
