#pragma once

#include "engine/common/BaseObject.h"

#include <atomic>
#include <cstdint>

namespace Mireku::Common {

// A BaseObject with an atomic reference count; the creator holds the first
// reference and the Release that reaches zero deletes the object.
class ReferenceCountObject : public BaseObject {
public:
    ReferenceCountObject() = default;
    ReferenceCountObject(const ReferenceCountObject&) = delete;
    ReferenceCountObject& operator=(const ReferenceCountObject&) = delete;
    ~ReferenceCountObject() override = default;

    virtual uint32_t AddRef() { return count_.fetch_add(1, std::memory_order_relaxed) + 1; }
    virtual uint32_t Release() {
        uint32_t n = count_.fetch_sub(1, std::memory_order_acq_rel) - 1;
        if (n == 0)
            delete this;
        return n;
    }
    virtual uint32_t GetRefCount() { return count_.load(std::memory_order_relaxed); }

private:
    std::atomic<uint32_t> count_{1};
};

} // namespace Mireku::Common
