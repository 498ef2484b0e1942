// A unit of the effects runtime's unit tree for tests: it counts the calls
// the tree makes on it and answers the kind and timeline id it was given.
#pragma once

#include "effects/units/UnitInstance.h"

#include <atomic>
#include <cstdint>

namespace testsupport {

// Numbers the per-frame hooks in the order the tree's pass reaches them.
inline int& FrameHookClock() {
    static int clock = 0;
    return clock;
}

class RecordingUnit : public FulgorCore::UnitInstance {
public:
    RecordingUnit(FulgorCore::InstanceRootUnit* owner, const InitialState& state,
                  uint32_t kind = kTimeline, int8_t id = 0)
        : UnitInstance(owner, state), kind_(kind) {
        timelineId = id;
    }
    // A unit of `lifetime` frames (endless for 0) under `parent`.
    static InitialState Clock(UnitInstance* parent, float lifetime, float loopEnd = 0.0f) {
        InitialState s;
        s.parent = parent;
        s.lifetime = lifetime;
        s.loopEnd = loopEnd;
        s.timeMode = lifetime > 0.0f ? kEndAtTime : kEndless;
        return s;
    }

    uint32_t GetKind() const override { return kind_; }
    void OnFadeOut() override { ++fadeOuts; }
    void Start() override { ++starts; }
    void OnEnd() override { ++ends; }
    void OnLoopEnd() override { ++loopEnds; }
    void UpdateTransform() override { ++evaluations; }
    void CollectDrawUnits() override { ++collections; }
    void FrameHook() override { frameHookAt = ++FrameHookClock(); }
    void Update(float dt) override {
        ++updates;
        UnitInstance::Update(dt);
    }

    int fadeOuts = 0;
    int starts = 0;
    int ends = 0;
    int loopEnds = 0;
    int updates = 0;
    int collections = 0;
    // The hook clock's number at this unit's last per-frame hook; 0: none.
    int frameHookAt = 0;
    // Counted from the evaluation pass, which may run on a job thread.
    std::atomic<int> evaluations{0};

private:
    uint32_t kind_;
};

} // namespace testsupport
