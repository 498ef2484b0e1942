#pragma once

#include "engine/common/BaseObject.h"

#include <atomic>
#include <cstdint>

namespace Mireku::Resource {

// Reference-counted base of the graphics and sound resources. The last
// release does not delete: it hands the resource to the resource manager,
// which destroys it after the release delay, once the render thread can no
// longer be executing commands that point to it.
class ManagedResource : public Common::BaseObject {
public:
    static constexpr uint32_t kDefaultReleaseDelay = 3;

    ManagedResource() = default;
    ~ManagedResource() override = default;
    ManagedResource(const ManagedResource&) = delete;
    ManagedResource& operator=(const ManagedResource&) = delete;

    uint32_t AddRef() { return count_.fetch_add(1, std::memory_order_relaxed) + 1; }
    uint32_t Release();
    uint32_t GetRefCount() const { return count_.load(std::memory_order_relaxed); }

    uint32_t GetReleaseDelay() const { return releaseDelay_; }
    void SetReleaseDelay(uint32_t frames) { releaseDelay_ = frames; }

private:
    std::atomic<uint32_t> count_{1};
    uint32_t releaseDelay_ = kDefaultReleaseDelay;
};

} // namespace Mireku::Resource
