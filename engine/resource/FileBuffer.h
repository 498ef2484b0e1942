#pragma once

#include <cstdint>

namespace Mireku::Resource {

// A block of file bytes in the engine heap and its size. The holder owns the
// block; Release gives it back under the heap lock.
struct FileBuffer {
    void* data = nullptr;
    uint32_t size = 0;

    void Release();
};

} // namespace Mireku::Resource
