#include "engine/common/MemoryObject.h"

#include "engine/common/Heap.h"

#include <cstring>

namespace Mireku::Common {

MemoryObject::MemoryObject(const void* data, uint32_t size) {
    if (size == 0)
        return;
    data_ = Heap::LockedAlloc(size);
    if (!data_)
        return;
    size_ = size;
    if (data)
        std::memcpy(data_, data, size);
}

MemoryObject::~MemoryObject() {
    if (data_)
        Heap::LockedFree(data_);
}

} // namespace Mireku::Common
