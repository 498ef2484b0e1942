#include "engine/resource/FileBuffer.h"

#include "engine/common/Heap.h"

namespace Mireku::Resource {

void FileBuffer::Release() {
    if (data)
        Common::Heap::LockedFree(data);
    data = nullptr;
    size = 0;
}

} // namespace Mireku::Resource
