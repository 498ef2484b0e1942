#include "engine/common/BaseObject.h"

#include "engine/common/Heap.h"

namespace Mireku::Common {

void* BaseObject::operator new(std::size_t size) noexcept {
    return Heap::LockedAlloc(size);
}

void BaseObject::operator delete(void* p) noexcept {
    Heap::LockedFree(p);
}

} // namespace Mireku::Common
