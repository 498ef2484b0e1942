#include "engine/resource/ResourceManager.h"

#include "engine/resource/ManagedResource.h"

#include <new>

namespace Mireku::Resource {

ResourceManager::~ResourceManager() {
    Finalize();
}

void ResourceManager::Release(ManagedResource* resource, uint32_t frames) {
    if (!resource)
        return;
    if (frames == 0) {
        delete resource;
        return;
    }
    Common::ScopedLock lock(lock_);
    try {
        pending_.emplace(resource, frames);
    } catch (const std::bad_alloc&) {
        // No room to remember it: the render thread may still use it, so it
        // is leaked rather than destroyed early.
        Common::ReportHeapExhausted(sizeof(PendingMap::value_type));
    }
}

void ResourceManager::Update() {
    Common::ScopedLock lock(lock_);
    for (auto it = pending_.begin(); it != pending_.end();) {
        if (--it->second == 0) {
            ManagedResource* resource = it->first;
            it = pending_.erase(it);
            delete resource;
        } else {
            ++it;
        }
    }
}

void ResourceManager::Finalize() {
    while (GetPendingCount() != 0)
        Update();
}

uint32_t ResourceManager::GetPendingCount() {
    Common::ScopedLock lock(lock_);
    return static_cast<uint32_t>(pending_.size());
}

} // namespace Mireku::Resource
