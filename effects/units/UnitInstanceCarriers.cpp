// The carriers of a binding, built under a unit for the targets the
// instance's listener names.
#include "effects/Core/Interface/IInstanceListenner.h"
#include "effects/Core/Resource/AttachPoint.h"
#include "effects/Core/Resource/BindResource.h"
#include "effects/Core/Resource/PackageResource.h"
#include "effects/units/ChildStart.h"
#include "effects/units/InstanceRootUnit.h"
#include "effects/units/UnitCreators.h"
#include "effects/units/UnitInstance.h"

namespace FulgorCore {

namespace {

// The targets of one endpoint: every element of the listener's list X
// (kind 0) or list Y (kind 1), or one null target (kind 2, the camera).
class EndpointTargets {
public:
    enum Kind : uint32_t { kListX = 0, kListY = 1, kCamera = 2 };

    EndpointTargets(const BindResource& binding, uint32_t endpoint, IInstanceListenner& listener)
        : listener_(listener) {
        const AttachPoint* point = binding.GetAttachPoint(endpoint);
        kind_ = point ? point->GetField(AttachPoint::kTargetType) : ~0u;
        switch (kind_) {
        case kListX:
            count_ = listener.GetTargetCountX();
            break;
        case kListY:
            count_ = listener.GetTargetCountY();
            break;
        case kCamera:
            count_ = 1;
            break;
        default: // no endpoint, or a kind that names nothing
            count_ = 0;
            break;
        }
    }

    uint32_t Count() const { return count_; }
    uint32_t Target(uint32_t i) const {
        if (kind_ == kListX)
            return listener_.GetTargetX(i);
        if (kind_ == kListY)
            return listener_.GetTargetY(i);
        return 0;
    }

private:
    IInstanceListenner& listener_;
    uint32_t kind_;
    uint32_t count_;
};

} // namespace

void UnitInstance::CreateChildren(const BindResource* binding, const InitialState& state, int8_t id,
                                  uint32_t timelineIndex) {
    const PackageResource* package = owner->package;
    ChildStart child;
    child.childKind = ChildStart::kTimeline;
    child.timeline = package ? package->GetTimeline(timelineIndex) : nullptr;
    child.id = id;
    // A timeline index past the package's table plays nothing.
    if (child.timeline)
        CreateCarriers(binding, state, child);
}

void UnitInstance::CreateCarriers(const BindResource* binding, const InitialState& state,
                                  const ChildStart& child) {
    IInstanceListenner* listener = owner->listener;
    if (!binding || !listener)
        return;
    const UnitCreators& creators = UnitCreators::Current();
    // A carrier the pool has no block for is skipped: AddChild gets null.
    switch (binding->GetBnV1()) {
    case 0: {
        const EndpointTargets targets(*binding, 0, *listener);
        for (uint32_t i = 0; i < targets.Count(); ++i)
            AddChild(creators.carrier(owner, state, binding, targets.Target(i), child));
        break;
    }
    case 1: {
        const EndpointTargets first(*binding, 0, *listener);
        const EndpointTargets second(*binding, 1, *listener);
        for (uint32_t i = 0; i < first.Count(); ++i)
            for (uint32_t j = 0; j < second.Count(); ++j)
                AddChild(creators.carrierPair(owner, state, binding, first.Target(i),
                                              second.Target(j), child));
        break;
    }
    default:
        break;
    }
}

} // namespace FulgorCore
