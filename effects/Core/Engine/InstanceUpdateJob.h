#pragma once

#include "effects/Core/Interface/Job.h"

namespace FulgorCore {

struct InstanceSlot;

// The evaluation pass of one instance's unit tree, submitted once per frame
// from the frame work memory (16 bytes) and run at once or by the host's
// dispatcher. It touches only its own instance's tree.
class InstanceUpdateJob final : public Job {
public:
    explicit InstanceUpdateJob(InstanceSlot* slot) : slot_(slot) {}
    void Execute() override;

private:
    InstanceSlot* slot_;
};

static_assert(sizeof(InstanceUpdateJob) == 16, "an instance job takes 16 bytes of frame memory");

} // namespace FulgorCore
