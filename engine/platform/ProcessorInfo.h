#pragma once

#include "engine/common/HeapAllocator.h"
#include "engine/common/Singleton.h"
#include "engine/common/SingletonObject.h"
#include "engine/common/Thread.h"

#include <cstdint>

namespace Mireku::Platform {

// One affinity mask per processor core, so that the main thread, the render
// thread and the task workers can be spread over distinct cores.
class ProcessorInfo : public Common::SingletonObject, public Common::Singleton<ProcessorInfo> {
public:
    static constexpr uint64_t kAllProcessors = Common::Thread::kAllProcessors;
    static constexpr const char* kSysfsRoot = "/sys/devices/system/cpu";

    // Always true: without a readable topology every processor counts as a core.
    bool Initialize() { return InitializeFrom(kSysfsRoot, 0); }
    // The same over another sysfs tree and, when non-zero, another processor
    // count (tests).
    bool InitializeFrom(const char* root, uint32_t processorCount);

    uint32_t GetProcessorCount() const { return processorCount_; }
    uint32_t GetCoreCount() const { return static_cast<uint32_t>(masks_.size()); }
    // The mask of core `index`, or all processors beyond the list.
    uint64_t GetCoreMask(uint32_t index) const {
        return index < masks_.size() ? masks_[index] : kAllProcessors;
    }

private:
    uint32_t processorCount_ = 1;
    Common::Vector<uint64_t> masks_;
};

} // namespace Mireku::Platform
