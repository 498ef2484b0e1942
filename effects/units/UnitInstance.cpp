#include "effects/units/UnitInstance.h"

#include "effects/Core/Engine/Engine.h"
#include "effects/Core/Math/Matrix.h"
#include "effects/Core/Math/Vector3.h"
#include "effects/Core/Value/WrapLocalTime.h"
#include "effects/units/NewbornAdvance.h"

namespace FulgorCore {

namespace {

constexpr float kWhite[4] = {1, 1, 1, 1};

void WriteVector(float* out, float x, float y, float z) {
    out[0] = x;
    out[1] = y;
    out[2] = z;
}

} // namespace

void* UnitInstance::AllocateBlock() {
    return Engine::GetUnitInstancePool().Allocate();
}

void UnitInstance::operator delete(void* block) {
    Engine::GetUnitInstancePool().Free(block);
}

UnitInstance::UnitInstance(InstanceRootUnit* owner, const InitialState& state,
                           uint32_t rotationOrder, uint32_t composeOrder)
    : evaluateMember(EvaluateDefault), collectMember(CollectDefault),
      timeStepMember(ClockStepOf(state.timeMode, state.loopEnd > 0.0f)), speed(state.speed),
      loopMember(state.loopEnd > 0.0f ? WrapLoopTime : NoOp), loopStart(state.loopStart),
      loopEnd(state.loopEnd), endTime(state.speed * state.lifetime), owner(owner),
      parent(state.parent), lifetime(state.lifetime), held(NewbornAdvance::Allowed() ? 0 : 1),
      rotationBuilder(MakeRotationByOrder(rotationOrder)),
      composeBuilder(ComposeByOrder(composeOrder)) {}

UnitInstance::~UnitInstance() {
    UnitInstance* child = firstChild;
    while (child) {
        UnitInstance* next = child->nextSibling;
        delete child;
        child = next;
    }
}

void UnitInstance::Update(float dt) {
    // Made while a new unit advanced: this update is skipped, the next one
    // is its first.
    if (held) {
        held = 0;
        return;
    }
    // The children behind this tail are added during this update. The
    // waiting unit of a delayed emission emits for its owner, so it
    // advances as its owner does.
    UnitInstance* const settledTail = lastChild;
    timeStepMember(this, dt);
    bool newborn = settledTail == nullptr;
    UnitInstance* kept = nullptr;
    UnitInstance* child = firstChild;
    while (child) {
        if (newborn && child->GetKind() != kDelayedEmit) {
            const NewbornAdvance advance;
            child->Update(dt);
        } else {
            child->Update(dt);
        }
        if (child == settledTail)
            newborn = true;
        // Read after the update: it may have appended a sibling behind the
        // tail (an extra timeline), which must stay linked.
        UnitInstance* next = child->nextSibling;
        if (!child->alive && !child->firstChild) {
            if (kept)
                kept->nextSibling = next;
            else
                firstChild = next;
            if (lastChild == child)
                lastChild = kept;
            delete child;
        } else {
            kept = child;
        }
        child = next;
    }
}

void UnitInstance::EvaluateDefault(UnitInstance* unit) {
    unit->UpdateTransform();
}

void UnitInstance::CollectDefault(UnitInstance* unit) {
    unit->CollectDrawUnits();
}

namespace {

// The passes below a unit. Only the root overrides Evaluate and Collect,
// and a root is never a child, so the walks go down without a virtual call
// and skip the no-op members.
template <UnitInstance::Member UnitInstance::*Pass> void WalkChildren(UnitInstance* unit) {
    for (UnitInstance* child = unit->firstChild; child; child = child->nextSibling) {
        const UnitInstance::Member member = child->*Pass;
        if (member != UnitInstance::NoOp)
            member(child);
        if (child->firstChild)
            WalkChildren<Pass>(child);
    }
}

} // namespace

void UnitInstance::Evaluate() {
    if (evaluateMember != NoOp)
        evaluateMember(this);
    WalkChildren<&UnitInstance::evaluateMember>(this);
}

void UnitInstance::Collect() {
    if (collectMember != NoOp)
        collectMember(this);
    WalkChildren<&UnitInstance::collectMember>(this);
}

void UnitInstance::RunFrameHooks() {
    if (alive)
        FrameHook();
    for (UnitInstance* child = firstChild; child; child = child->nextSibling)
        child->RunFrameHooks();
}

const float* UnitInstance::GetWorldMatrix() const {
    return Math::kIdentity34;
}

const float* UnitInstance::GetPreviousWorldMatrix() const {
    return Math::kIdentity34;
}

const float* UnitInstance::GetInverseWorldMatrix() const {
    return Math::kIdentity34;
}

const float* UnitInstance::GetColor() const {
    return kWhite;
}

void* UnitInstance::GetSharedBlock() {
    return parent ? parent->GetSharedBlock() : nullptr;
}

void UnitInstance::GetVector0(float* out) const {
    WriteVector(out, 1.0f, 1.0f, 1.0f);
}

void UnitInstance::GetVector1(float* out) const {
    WriteVector(out, Math::kZeroVector3[0], Math::kZeroVector3[1], Math::kZeroVector3[2]);
}

void UnitInstance::GetVector2(float* out) const {
    WriteVector(out, Math::kZeroVector3[0], Math::kZeroVector3[1], Math::kZeroVector3[2]);
}

void UnitInstance::GetVector3(float* out) const {
    WriteVector(out, Math::kZeroVector3[0], Math::kZeroVector3[1], Math::kZeroVector3[2]);
}

void UnitInstance::GetVector4(float* out) const {
    WriteVector(out, Math::kZeroVector3[0], Math::kZeroVector3[1], Math::kZeroVector3[2]);
}

void UnitInstance::GetVector5(float* out) const {
    WriteVector(out, Math::kZeroVector3[0], Math::kZeroVector3[1], Math::kZeroVector3[2]);
}

void UnitInstance::GetVector6(float* out) const {
    WriteVector(out, Math::kZeroVector3[0], Math::kZeroVector3[1], Math::kZeroVector3[2]);
}

void UnitInstance::GetVector7(float* out, uint32_t) const {
    WriteVector(out, 0.0f, 0.0f, 0.0f);
}

void UnitInstance::AddChild(UnitInstance* child) {
    if (child) {
        child->nextSibling = nullptr;
        if (lastChild)
            lastChild->nextSibling = child;
        else
            firstChild = child;
        lastChild = child;
        if (loopMember == NoOp)
            RestartSubtree(child);
        child->Start();
    }
    fadeStepMember = FadeStepOf(fadeState);
}

void UnitInstance::Finish() {
    if (!alive)
        return;
    OnEnd();
    alive = 0;
    timeStepMember = NoOpStep;
    evaluateMember = NoOp;
    collectMember = NoOp;
}

void UnitInstance::StartFadeOut(uint32_t frames) {
    OnFadeOut();
    fadeState = kFadingOut;
    fadeElapsed = 0.0f;
    fadeStepMember = StepFadeOut;
    fadeDuration = static_cast<float>(frames);
    for (UnitInstance* child = firstChild; child; child = child->nextSibling)
        child->StartFadeOut(frames);
}

void UnitInstance::StepFadeIn(UnitInstance* unit) {
    unit->fadeElapsed += unit->lastStep;
    if (unit->fadeElapsed < unit->fadeDuration) {
        unit->fadeFactor = unit->fadeElapsed / unit->fadeDuration;
        return;
    }
    unit->fadeFactor = 1.0f;
    unit->fadeStepMember = NoOp;
}

void UnitInstance::StepFadeOut(UnitInstance* unit) {
    unit->fadeElapsed += unit->lastStep;
    if (unit->fadeElapsed < unit->fadeDuration) {
        unit->fadeFactor = 1.0f - unit->fadeElapsed / unit->fadeDuration;
        return;
    }
    unit->fadeFactor = 0.0f;
    unit->fadeStepMember = NoOp;
    unit->Finish();
}

void UnitInstance::WrapLoopTime(UnitInstance* unit) {
    unit->time = WrapLocalTime(unit->time, unit->loopStart, unit->loopEnd);
}

namespace {

// Clock step of one time mode, looping or not: the step, the loop wrap, the
// end test of the mode, the fade step and the unit's own Step. The members
// are mostly the no-op; skipping the call for it keeps the clock of a
// thousand idle units cheap.
template <uint32_t Mode, bool Looping> void ClockStep(UnitInstance* unit, float dt) {
    const float step = unit->speed * dt;
    unit->lastStep = step;
    unit->time += step;
    unit->totalTime += step;
    if constexpr (Looping) {
        if (unit->loopMember != UnitInstance::NoOp)
            unit->loopMember(unit);
    }
    if constexpr (Mode == UnitInstance::kEndAtTime) {
        if (unit->holdCount == 0 && unit->time >= unit->endTime)
            unit->Finish();
    } else if constexpr (Mode == UnitInstance::kEndWhenChildless) {
        if (unit->holdCount == 0 && unit->time >= unit->endTime && !unit->firstChild)
            unit->Finish();
    }
    if (unit->fadeStepMember != UnitInstance::NoOp)
        unit->fadeStepMember(unit);
    unit->Step();
}

// Indexed by time mode x 2 + looping.
constexpr UnitInstance::TimeStepMember kClockSteps[6] = {
    ClockStep<UnitInstance::kEndAtTime, false>,
    ClockStep<UnitInstance::kEndAtTime, true>,
    ClockStep<UnitInstance::kEndless, false>,
    ClockStep<UnitInstance::kEndless, true>,
    ClockStep<UnitInstance::kEndWhenChildless, false>,
    ClockStep<UnitInstance::kEndWhenChildless, true>,
};

} // namespace

UnitInstance::TimeStepMember UnitInstance::ClockStepOf(uint32_t timeMode, bool looping) {
    // Modes come from the tree's own code; anything else never ends by time.
    const uint32_t mode = timeMode <= kEndWhenChildless ? timeMode : kEndless;
    return kClockSteps[mode * 2 + (looping ? 1 : 0)];
}

UnitInstance::Member UnitInstance::FadeStepOf(uint32_t fadeState) {
    static constexpr Member kSteps[] = {NoOp, StepFadeIn, StepFadeOut};
    return fadeState < 3 ? kSteps[fadeState] : NoOp;
}

} // namespace FulgorCore
