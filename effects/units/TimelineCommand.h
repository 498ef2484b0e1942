#pragma once

#include "effects/units/UnitInstance.h"

#include <cstdint>

namespace FulgorCore {

class TimelineUnit;
struct TimelineClip;

// A command a timeline runs: a unit that acts once, in its constructor,
// and ends at once, so the timeline removes it in its next update. The
// commands: "RNTK" starts a random extra timeline, "KILL" fades out timeline
// units, "ULLP" stops them looping, "SKFR" fast-forwards the instance,
// "EVCB" tells the host an event, "VFXC" starts a child effect by name.
class TimelineCommand : public UnitInstance {
public:
    // The four 16-byte text fields from byte 36 of the record.
    static constexpr uint32_t kTextOffset = 36;
    static constexpr uint32_t kTextFields = 4;
    static constexpr uint32_t kTextSize = 16;
    // A child effect's name joins the four fields, cut at this length.
    static constexpr uint32_t kNameLength = 63;
    // The highest frame "SKFR" fast-forwards to: timeline frames are 16-bit.
    static constexpr int32_t kMaxSkipFrame = 32767;

    // Whether `tag` is one of the six commands.
    static bool Knows(uint32_t tag);

    // Runs the command of `record` for the timeline unit `issuer`, which
    // becomes its parent, then ends.
    TimelineCommand(InstanceRootUnit* owner, TimelineUnit* issuer, const TimelineClip& record);

    uint32_t GetKind() const override { return kTimelineCommand; }

private:
    void StartRandomTimeline(const TimelineClip& record);
    void FadeOutTimelines(const TimelineClip& record);
    void StopTimelinesLooping(const TimelineClip& record);
    void SkipToFrame(const TimelineClip& record);
    void SendEvent(const TimelineClip& record);
    void StartChildInstance(const TimelineClip& record);
};

static_assert(sizeof(TimelineCommand) <= kUnitBlockSize);

} // namespace FulgorCore
