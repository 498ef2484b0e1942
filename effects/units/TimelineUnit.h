#pragma once

#include "effects/units/UnitInstance.h"

#include <cstdint>

namespace FulgorCore {

class TimelineResource;
struct TimelineItem;

// A unit that plays one package timeline: each entry that takes part (its
// "bEna" set and its flag mask sharing a bit with the instance's flag word)
// holds the unit until its start frame comes, then starts a package unit
// (kind 0) or runs a command (kind 1), once; a loop does not re-arm it.
// Entries at index 64 and above never take part.
class TimelineUnit : public UnitInstance {
public:
    static constexpr uint32_t kMaxEntries = 64;
    // Entry kinds.
    static constexpr uint16_t kStartUnit = 0;
    static constexpr uint16_t kRunCommand = 1;

    TimelineUnit(InstanceRootUnit* owner, const InitialState& state,
                 const TimelineResource* timeline, int8_t id);

    uint32_t GetKind() const override { return kTimeline; }
    // A timeline unit takes its position from its parent: its matrices are
    // the parent's.
    const float* GetWorldMatrix() const override {
        return parent ? parent->GetWorldMatrix() : UnitInstance::GetWorldMatrix();
    }
    const float* GetPreviousWorldMatrix() const override {
        return parent ? parent->GetPreviousWorldMatrix() : UnitInstance::GetPreviousWorldMatrix();
    }
    const float* GetInverseWorldMatrix() const override {
        return parent ? parent->GetInverseWorldMatrix() : UnitInstance::GetInverseWorldMatrix();
    }
    // Fires every pending entry whose start frame has come, in index order.
    void Step() override;

    // Runs command `index` of the timeline as a command unit under this
    // one; an index without a command, or a tag the tree does not know,
    // runs nothing.
    void CreateCommand(int32_t index);
    // Starts package unit `unitIndex` for `span` frames by the fit mode:
    // one particle instance at `position`, or, with a binding, the
    // binding's carriers each starting it. An index the package does not
    // hold starts nothing.
    void StartUnit(const float* position, int32_t unitIndex, int32_t span, int32_t fitMode,
                   int32_t bindingIndex);

    // The clock of a timeline of length L under `parent`: its length,
    // endless when L is 0 or less.
    static InitialState StateFor(UnitInstance* parent, float length);

    const TimelineResource* timeline;
    // Bit i set: entry i is done or takes no part.
    uint64_t doneMask = ~uint64_t{0};
    // The earliest start frame among the entries still to fire: before it
    // a step has nothing to look at.
    float nextStart = 0.0f;

private:
    void Fire(const float* position, const TimelineItem& entry);
    // nextStart from the entries whose bits are clear.
    void FindNextStart();
};

static_assert(sizeof(TimelineUnit) <= kUnitBlockSize);

} // namespace FulgorCore
