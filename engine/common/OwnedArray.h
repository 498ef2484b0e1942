#pragma once

#include <cstdint>

namespace Mireku::Common {

// An array of 8-byte elements copied from a byte image into the engine heap.
class OwnedArray {
public:
    OwnedArray(const void* bytes, uint32_t byteCount);
    ~OwnedArray();
    OwnedArray(const OwnedArray&) = delete;
    OwnedArray& operator=(const OwnedArray&) = delete;
    uint32_t GetCount() const { return count_; }
    const void* GetData() const { return data_; }

private:
    void* data_ = nullptr;
    uint32_t count_ = 0;
};

} // namespace Mireku::Common
