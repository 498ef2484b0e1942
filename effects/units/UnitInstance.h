#pragma once

#include "effects/Core/Memory/UnitInstancePool.h"
#include "effects/Core/Transform/EulerRotation.h"

#include <cstddef>
#include <cstdint>
#include <new>

namespace FulgorCore {

class BindResource;
class InstanceRootUnit;
struct ChildStart;

// A live unit of a playing effect: one block of the unit pool, a place in
// its instance's tree (parent, child list), a local clock, a fade, and the
// replaceable members that decide what the unit does each frame. Members
// are plain function pointers taking the unit; the no-ops are shared, and
// per-frame code calls a member without testing the data again.
class UnitInstance {
public:
    using Member = void (*)(UnitInstance* unit);
    using TimeStepMember = void (*)(UnitInstance* unit, float dt);

    enum Kind : uint32_t {
        kRoot = 0,
        kParticleSystem = 1,
        kTimeline = 2,
        kParticleNode = 3,
        kTimelineCommand = 4,
        kDelayedEmit = 5,
    };
    enum FadeState : uint32_t { kNoFade = 0, kFadingIn = 1, kFadingOut = 2 };
    // TimeMode 0 ends the unit at its end time, 1 never by time, 2 at its
    // end time once it has no children.
    enum TimeMode : uint32_t { kEndAtTime = 0, kEndless = 1, kEndWhenChildless = 2 };

    // The six words a unit starts from.
    struct InitialState {
        UnitInstance* parent = nullptr;
        float loopStart = 0.0f;
        float loopEnd = 0.0f;
        float speed = 1.0f;
        float lifetime = 0.0f;
        uint32_t timeMode = kEndAtTime;
    };

    static void NoOp(UnitInstance*) {}
    static void NoOpStep(UnitInstance*, float) {}

    // A T in a block of the unit pool, or null when the pool is exhausted.
    template <class T, class... Args> static T* Create(Args&&... args) {
        static_assert(sizeof(T) <= kUnitBlockSize, "a unit must fit one pool block");
        void* block = AllocateBlock();
        return block ? new (block) T(static_cast<Args&&>(args)...) : nullptr;
    }
    // Deleting a unit returns its block to the pool.
    static void operator delete(void* block);

    // The orders pick the unit's rotation and composition builders (0-5).
    UnitInstance(InstanceRootUnit* owner, const InitialState& state, uint32_t rotationOrder = 0,
                 uint32_t composeOrder = 0);
    UnitInstance(const UnitInstance&) = delete;
    UnitInstance& operator=(const UnitInstance&) = delete;
    // Destroys every child, in list order.
    virtual ~UnitInstance();

    // Virtual operations in their fixed order.
    virtual void OnChildInstanceEnded(InstanceRootUnit*) {}
    virtual void OnFadeOut() {}
    virtual void Start() {}
    virtual void OnEnd() {}
    virtual void Step() {}
    virtual void UpdateTransform() {}
    virtual void CollectDrawUnits() {}
    virtual void FrameHook() {}
    virtual void OnLoopEnd() {}
    // The clock step, then each child's Update; a child that has ended and
    // has no children left is unlinked and deleted. Children added during
    // the call are advanced as new units (NewbornAdvance).
    virtual void Update(float dt);
    // Pass A: EvaluateMember, then each child's.
    virtual void Evaluate();
    // Pass B: CollectMember, then each child's.
    virtual void Collect();
    virtual void RunFrameHooks();
    virtual const float* GetWorldMatrix() const;
    // The world matrix through the unit's own class, for the plain members
    // stored per unit that must reach the override.
    static const float* GetWorldMatrixThunk(const UnitInstance* unit) {
        return unit->GetWorldMatrix();
    }
    virtual const float* GetPreviousWorldMatrix() const;
    virtual const float* GetInverseWorldMatrix() const;
    virtual const float* GetColor() const;
    // Asks the parent; the root answers with its shared block.
    virtual void* GetSharedBlock();
    // The unit's evaluated scale; (1, 1, 1) for the base.
    virtual void GetVector0(float* out) const;
    // The unit's rotation angles; the shared zero vector for the base, as
    // for the getters after it.
    virtual void GetVector1(float* out) const;
    virtual void GetVector2(float* out) const;
    virtual void GetVector3(float* out) const;
    virtual void GetVector4(float* out) const;
    virtual void GetVector5(float* out) const;
    virtual void GetVector6(float* out) const;
    // Takes an index the base ignores.
    virtual void GetVector7(float* out, uint32_t index) const;
    virtual void* GetAuxObject() { return nullptr; }
    virtual uint32_t GetKind() const = 0;

    // Appends a child (null links nothing). Under a parent that does not
    // loop, the child and its subtree are switched to not looping (OnLoopEnd
    // each); then the child's Start runs. In every case the parent's fade
    // step is set again from its fade state.
    void AddChild(UnitInstance* child);
    // Ends the unit once: OnEnd, alive cleared, its clock and passes idle.
    // It stays in the tree until its parent removes it.
    void Finish();
    // OnFadeOut, then a fade-out over `frames` on this unit and its subtree.
    void StartFadeOut(uint32_t frames);
    // The carriers of a bound timeline under this unit: one per target of
    // the binding's endpoint, or one per pair of targets of its two, in
    // outer-inner order, each playing the package's timeline
    // `timelineIndex` under the id `id`. The targets come from the
    // instance's listener; nothing without one.
    void CreateChildren(const BindResource* binding, const InitialState& state, int8_t id,
                        uint32_t timelineIndex);
    // The same carriers, each starting `child`.
    void CreateCarriers(const BindResource* binding, const InitialState& state,
                        const ChildStart& child);

    static void StepFadeIn(UnitInstance* unit);
    static void StepFadeOut(UnitInstance* unit);
    // The loop wrap: by whole loop spans once Time reaches LoopEnd; a span
    // under one frame wraps by the float remainder, none does not wrap.
    static void WrapLoopTime(UnitInstance* unit);
    // The fade step of each fade state.
    static Member FadeStepOf(uint32_t fadeState);
    // The clock step of a time mode, looping or not.
    static TimeStepMember ClockStepOf(uint32_t timeMode, bool looping);

    // KILL: fades out the timeline units among `unit`'s children that the
    // criterion (0-7) chooses. `issuer` is the timeline unit that ran the
    // command, `id` the id kinds 3 and 4 compare with.
    static void FadeOutTimelineUnitsBy(UnitInstance* unit, uint32_t criterion,
                                       const UnitInstance* issuer, int8_t id, uint32_t frames);
    static void FadeOutTimelineUnits(UnitInstance* unit, uint32_t frames);
    static void FadeOutTimelineUnitsWithPositiveId(UnitInstance* unit, uint32_t frames);
    static void FadeOutTimelineUnitsWithNegativeId(UnitInstance* unit, uint32_t frames);
    static void FadeOutTimelineUnitsWithId(UnitInstance* unit, int8_t id, uint32_t frames);
    static void FadeOutTimelineUnitsExcept(UnitInstance* unit, const UnitInstance* issuer,
                                           uint32_t frames);
    static void FadeOutTimelineUnitsWithPositiveIdExcept(UnitInstance* unit,
                                                         const UnitInstance* issuer,
                                                         uint32_t frames);
    static void FadeOutTimelineUnitsWithNegativeIdExcept(UnitInstance* unit,
                                                         const UnitInstance* issuer,
                                                         uint32_t frames);
    // Switches `unit` and its subtree to not looping, depth first.
    static void RestartSubtree(UnitInstance* unit);
    // ULLP: the same choice of children as the KILL walks, each switched to
    // not looping with its subtree.
    static void RestartTimelineUnitsBy(UnitInstance* unit, uint32_t criterion,
                                       const UnitInstance* issuer, int8_t id);
    static void RestartTimelineUnits(UnitInstance* unit);
    static void RestartTimelineUnitsWithPositiveId(UnitInstance* unit);
    static void RestartTimelineUnitsWithNegativeId(UnitInstance* unit);
    static void RestartTimelineUnitsWithId(UnitInstance* unit, int8_t id);
    static void RestartTimelineUnitsExcept(UnitInstance* unit, const UnitInstance* issuer);
    static void RestartTimelineUnitsWithPositiveIdExcept(UnitInstance* unit,
                                                         const UnitInstance* issuer);
    static void RestartTimelineUnitsWithNegativeIdExcept(UnitInstance* unit,
                                                         const UnitInstance* issuer);

    // Fields. Pool blocks are 1088 bytes apart, so every unit a walk
    // visits costs a cache miss per line it reads: the first line holds what
    // both passes read of every unit, the second what the clock step adds,
    // the rest is cold.
    UnitInstance* nextSibling = nullptr;
    UnitInstance* firstChild = nullptr;
    Member evaluateMember;
    Member collectMember;
    TimeStepMember timeStepMember;
    uint8_t alive = 1;
    // A timeline unit's id (place + 1, -n for extra timeline n); 0 for the
    // other kinds.
    int8_t timelineId = 0;
    uint16_t holdCount = 0;
    float time = 0.0f;
    float speed;
    float lastStep = 0.0f;
    // The loop wrap while the unit loops; the no-op once it does not (or
    // when its parent does not).
    Member loopMember;
    Member fadeStepMember = NoOp;
    float totalTime = 0.0f;
    float loopStart;
    float loopEnd;
    float endTime;
    UnitInstance* lastChild = nullptr;
    InstanceRootUnit* owner;
    UnitInstance* parent;
    float lifetime;
    // 1 for a unit made while a new unit advanced: its first update call
    // is skipped (see NewbornAdvance).
    uint8_t held;
    uint32_t fadeState = kNoFade;
    float fadeFactor = 1.0f;
    float fadeElapsed = 0.0f;
    float fadeDuration = 0.0f;
    EulerBuilder rotationBuilder;
    Composer composeBuilder;

private:
    static void* AllocateBlock();
    static void EvaluateDefault(UnitInstance* unit);
    static void CollectDefault(UnitInstance* unit);
};

} // namespace FulgorCore
