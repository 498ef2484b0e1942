#pragma once

#include "effects/units/UnitInstance.h"

namespace FulgorCore {

class TimelineResource;

// A unit that plays one package timeline. Least form: it keeps its
// timeline and id and runs the base clock over the timeline's length; its
// entries fire with the unit tree.
class TimelineUnit : public UnitInstance {
public:
    TimelineUnit(InstanceRootUnit* owner, const InitialState& state,
                 const TimelineResource* timeline, int8_t id)
        : UnitInstance(owner, state), timeline(timeline) {
        timelineId = id;
    }

    uint32_t GetKind() const override { return kTimeline; }
    // A timeline unit takes its position from its parent.
    const float* GetWorldMatrix() const override {
        return parent ? parent->GetWorldMatrix() : UnitInstance::GetWorldMatrix();
    }

    // The clock of a timeline of length L: its length, endless when L is
    // 0 or less.
    static InitialState StateFor(UnitInstance* parent, float length) {
        InitialState state;
        state.parent = parent;
        state.lifetime = length;
        state.timeMode = length <= 0.0f ? kEndless : kEndAtTime;
        return state;
    }

    const TimelineResource* timeline;
};

} // namespace FulgorCore
