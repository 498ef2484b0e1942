#include "engine/resource/ManagedResource.h"

#include "engine/resource/ResourceManager.h"

namespace Mireku::Resource {

uint32_t ManagedResource::Release() {
    const uint32_t n = count_.fetch_sub(1, std::memory_order_acq_rel) - 1;
    if (n != 0)
        return n;
    // Without a manager (before start-up or after teardown) nothing can still
    // be drawing, so the resource goes at once.
    if (ResourceManager* manager = ResourceManager::GetInstance())
        manager->Release(this, releaseDelay_);
    else
        delete this;
    return 0;
}

} // namespace Mireku::Resource
