#include "engine/common/OwnedArray.h"

#include "engine/common/Heap.h"

#include <cstring>

namespace Mireku::Common {

OwnedArray::OwnedArray(const void* bytes, uint32_t byteCount) {
    if (byteCount == 0)
        return;
    data_ = Heap::LockedAlloc(byteCount);
    if (!data_)
        return;
    if (bytes)
        std::memcpy(data_, bytes, byteCount);
    count_ = byteCount / 8;
}

OwnedArray::~OwnedArray() {
    Heap::LockedFree(data_);
}

} // namespace Mireku::Common
