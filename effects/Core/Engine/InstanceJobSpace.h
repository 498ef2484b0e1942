#pragma once

#include "effects/Core/Memory/FrameWorkMemory.h"

#include <cstdint>

namespace FulgorCore {

// The frame memory the instance pass hands out for its instance jobs, 16
// bytes each. It reserves room for several jobs with one atomic operation
// (the jobs of instances already submitted may be taking frame memory on
// other threads meanwhile); once a reservation no longer fits, each job
// asks the frame memory on its own, so exhaustion still skips exactly the
// jobs that do not fit.
class InstanceJobSpace {
public:
    static constexpr uint32_t kJobSize = 16;
    static constexpr uint32_t kJobsReserved = 16;

    explicit InstanceJobSpace(FrameWorkMemory& memory) : memory_(memory) {}

    void* Take() {
        if (left_ == 0) {
            next_ = static_cast<uint8_t*>(memory_.Reserve(kJobSize * kJobsReserved));
            left_ = next_ ? kJobsReserved : 0;
        }
        if (left_ == 0)
            return memory_.Allocate(kJobSize);
        void* job = next_;
        next_ += kJobSize;
        --left_;
        return job;
    }

private:
    FrameWorkMemory& memory_;
    uint8_t* next_ = nullptr;
    uint32_t left_ = 0;
};

} // namespace FulgorCore
