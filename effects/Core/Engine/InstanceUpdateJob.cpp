#include "effects/Core/Engine/InstanceUpdateJob.h"

#include "effects/Core/Engine/InstanceSlot.h"
#include "effects/units/InstanceRootUnit.h"

namespace FulgorCore {

void InstanceUpdateJob::Execute() {
    if (slot_->root)
        slot_->root->Evaluate();
}

} // namespace FulgorCore
