#include "engine/platform/ProcessorInfo.h"

#include "sys/thread.h"
#include "sys/topology.h"

namespace Mireku::Platform {

bool ProcessorInfo::InitializeFrom(const char* root, uint32_t processorCount) {
    const uint32_t n = processorCount ? processorCount : sys::ProcessorCount();
    processorCount_ = n >= 2 ? n : 1;
    masks_.clear();
    constexpr uint32_t kMaxCores = 64;
    uint64_t found[kMaxCores];
    uint32_t cores = sys::ReadCoreMasks(root, found, kMaxCores);
    if (cores > kMaxCores)
        cores = kMaxCores;
    for (uint32_t i = 0; i < cores; ++i)
        masks_.push_back(found[i]);
    if (masks_.empty()) {
        for (uint32_t i = 0; i < processorCount_ && i < 64; ++i)
            masks_.push_back(1ull << i);
    }
    return true;
}

} // namespace Mireku::Platform
