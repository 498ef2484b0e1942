#pragma once

#include "engine/common/CriticalSection.h"
#include "engine/common/HeapAllocator.h"
#include "engine/common/Singleton.h"
#include "engine/common/SingletonObject.h"

#include <cstdint>
#include <functional>
#include <map>

namespace Mireku::Resource {

class ManagedResource;

// Destroys released resources a number of frames later, counted by Update
// calls from the frame loop.
class ResourceManager : public Common::SingletonObject, public Common::Singleton<ResourceManager> {
public:
    ResourceManager() = default;
    ~ResourceManager() override;

    // Null does nothing; 0 frames destroys at once; a resource already
    // pending keeps its countdown. Callable from any thread.
    void Release(ManagedResource* resource, uint32_t frames);
    // Once per frame: counts every pending resource down and destroys those
    // whose count runs out.
    void Update();
    // Repeats Update until nothing is pending.
    void Finalize();
    uint32_t GetPendingCount();

private:
    using PendingMap = std::map<ManagedResource*, uint32_t, std::less<>,
                                Common::HeapAllocator<std::pair<ManagedResource* const, uint32_t>>>;

    Common::CriticalSection lock_;
    PendingMap pending_;
};

} // namespace Mireku::Resource
