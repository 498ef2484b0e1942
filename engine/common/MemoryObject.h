#pragma once

#include "engine/common/ReferenceCountObject.h"

#include <cstdint>

namespace Mireku::Common {

// A reference-counted copy of a byte block in the engine heap.
class MemoryObject : public ReferenceCountObject {
public:
    MemoryObject(const void* data, uint32_t size);
    ~MemoryObject() override;
    uint32_t GetSize() const { return size_; }
    const void* GetData() const { return data_; }
    void* GetData() { return data_; }

private:
    uint32_t size_ = 0;
    void* data_ = nullptr;
};

} // namespace Mireku::Common
