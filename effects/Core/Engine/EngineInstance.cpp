// Effect instances: the table with its handles, the public operations on
// instances, and the two per-frame steps of each state.
#include "effects/Core/Engine/Engine.h"
#include "effects/Core/Engine/EngineInternal.h"
#include "effects/Core/Engine/EngineWorkData.h"
#include "effects/Core/Engine/FrameListPause.h"
#include "effects/Core/Engine/InstanceSlot.h"
#include "effects/Core/Engine/InstanceUpdateJob.h"
#include "effects/Core/Engine/ObjectSlot.h"
#include "effects/Core/Engine/RuntimeGlobals.h"
#include "effects/Core/Interface/IInstanceListenner.h"
#include "effects/Core/Math/BoundingSphere.h"
#include "effects/Core/Resource/PackageResource.h"
#include "effects/units/InstanceRootUnit.h"

#include <cstring>
#include <mutex>
#include <new>

namespace FulgorCore::Engine {

namespace {

constexpr uint32_t kLastLayer = EngineWorkData::kLayerCount - 1;
constexpr uint32_t kTriggerBits = 14;

void SetIdentity(float* transform) {
    std::memset(transform, 0, 12 * sizeof(float));
    transform[0] = transform[4] = transform[8] = 1.0f;
}

// Pops the free head onto the tail of the active list, idle, with the
// values of a new instance and the next serial (which skips 0).
InstanceSlot* AllocInstance(EngineWorkData& work) {
    std::lock_guard<std::recursive_mutex> lock(work.instanceLock);
    EngineWorkData::SlotTable<InstanceSlot>& table = work.instances;
    InstanceSlot* slot = table.freeHead;
    if (!slot)
        return nullptr;
    table.freeHead = slot->next;
    slot->previous = table.activeTail;
    slot->next = nullptr;
    if (table.activeTail)
        table.activeTail->next = slot;
    else
        table.activeHead = slot;
    table.activeTail = slot;
    slot->flags &=
        static_cast<uint16_t>(~(InstanceSlot::kTransformChanged | InstanceSlot::kColourChanged |
                                InstanceSlot::kComeUpPaused | InstanceSlot::kFreeWhenStopped));
    slot->state = InstanceSlot::kIdle;
    slot->hidden = 0;
    slot->pendingSteps = 0;
    slot->startScale = 0.0f;
    slot->speed = 1.0f;
    slot->drawOffset = 0.0f;
    slot->rootParameter = 0.0f;
    slot->triggers = 0;
    slot->viewMask = 0xFFFF;
    slot->visibilityMask = 0xFFFFFFFFu;
    SetIdentity(slot->transform);
    for (float& c : slot->colour)
        c = 1.0f;
    slot->timelineFlags = work.defaultInstanceFlags;
    if (++work.instanceSerial == 0)
        work.instanceSerial = 1;
    slot->serial = work.instanceSerial;
    ++work.liveInstanceCount;
    return slot;
}

// The world bounding sphere of the package's bounds under the transform.
void UpdateBounds(InstanceSlot& slot) {
    const PackageResource* package = slot.effect ? slot.effect->package : nullptr;
    if (!package)
        return;
    const float centre[3] = {package->GetBoundX(), package->GetBoundY(), package->GetBoundZ()};
    ComputeBoundingRadius(slot.bounds, centre, package->GetBoundRadius(), slot.transform);
}

void DestroyRoot(InstanceSlot& slot) {
    delete slot.root;
    slot.root = nullptr;
}

// State 4: the root unit is (re)built; without a free unit block for the
// root or its draw lists the start is tried again next frame.
void StartInstance(EngineWorkData& work, InstanceSlot& slot) {
    DestroyRoot(slot);
    const PackageResource* package = slot.effect->package;
    if (!package) {
        slot.state = InstanceSlot::kIdle;
        return;
    }
    const uint32_t seed = work.random.Next();
    UpdateBounds(slot);
    UnitInstance::InitialState start;
    start.speed = 1.0f;
    start.lifetime = slot.startScale > 1.0f ? slot.startScale : 1.0f;
    start.timeMode =
        package->GetFlagPIT() ? UnitInstance::kEndless : UnitInstance::kEndWhenChildless;
    InstanceRootUnit* root = UnitInstance::Create<InstanceRootUnit>(
        package, start, slot.listener, slot.transform, seed, slot.timelineFlags);
    if (!root)
        return;
    // A root without its draw lists has ended as it was built: it gives its
    // block back rather than play an instance that stops at once.
    if (!root->alive) {
        delete root;
        return;
    }
    slot.root = root;
    root->SetColor(slot.colour);
    root->SetLayer(slot.layer);
    root->Start();
    slot.flags &=
        static_cast<uint16_t>(~(InstanceSlot::kHasProjectionUnits | InstanceSlot::kHasDrawnUnits));
    if (package->UsesProjectionDraw())
        slot.flags |= InstanceSlot::kHasProjectionUnits;
    if (package->UsesOtherDraws())
        slot.flags |= InstanceSlot::kHasDrawnUnits;
    slot.state =
        (slot.flags & InstanceSlot::kComeUpPaused) ? InstanceSlot::kPaused : InstanceSlot::kPlaying;
    slot.flags &= static_cast<uint16_t>(~InstanceSlot::kComeUpPaused);
}

// Trigger bit n starts extra timeline n (trigger entry n - 1); bit 0 would
// name entry -1, which the root refuses, so it starts nothing.
void FireTrigger(InstanceSlot& slot, uint32_t bit) {
    slot.root->StartExtraTimeline(static_cast<int32_t>(bit));
}

void AppendTo(EngineWorkData::InstanceList& list, InstanceSlot& slot, uint32_t capacity) {
    if (list.count < capacity)
        list.instances[list.count++] = &slot;
}

// States 2 and 3.
void UpdateInstance(EngineWorkData& work, InstanceSlot& slot, float dt, FrameWorkMemory& frame) {
    InstanceRootUnit* root = slot.root;
    if (slot.triggers) {
        for (uint32_t bit = 0; bit < kTriggerBits; ++bit)
            if (slot.triggers & (1u << bit))
                FireTrigger(slot, bit);
        slot.triggers = 0;
    }
    const bool paused = slot.state == InstanceSlot::kPaused;
    root->paused = paused ? 1 : 0;
    const int32_t target =
        slot.pendingSteps > root->skipToFrame ? slot.pendingSteps : root->skipToFrame;
    if (target > 0) {
        const int32_t steps = target - root->GetCurrentFrame();
        const FrameListPause pause;
        for (int32_t i = 0; i < steps; ++i) {
            root->Update(1.0f);
            root->Evaluate();
        }
        slot.pendingSteps = 0;
        root->skipToFrame = 0;
    }
    root->Update(paused ? 0.0f : slot.speed * dt);
    if (!root->alive) {
        slot.state =
            (slot.flags & InstanceSlot::kLoop) ? InstanceSlot::kStarting : InstanceSlot::kStopping;
        return;
    }
    root->rootParameter = slot.rootParameter;
    // 16 bytes per job, taken as each is submitted. Without frame memory
    // this frame's evaluation is skipped, and so is the draw: the units
    // this update made have no frame arrays yet. The job is taken before
    // the instance is listed, so a listed instance is always evaluated.
    static_assert(sizeof(InstanceUpdateJob) == 16);
    void* job = frame.Allocate(sizeof(InstanceUpdateJob));
    if (!job)
        return;
    const uint32_t capacity = work.parameter.InstanceMaxCount;
    if (slot.flags & InstanceSlot::kHasDrawnUnits)
        AppendTo(work.layers[slot.layer], slot, capacity);
    if (slot.flags & InstanceSlot::kHasProjectionUnits)
        AppendTo(work.projectionList, slot, capacity);
    slot.flags |= InstanceSlot::kEvaluated;
    work.submitJob(new (job) InstanceUpdateJob(&slot));
}

void RunFirstStep(EngineWorkData& work, InstanceSlot& slot) {
    switch (slot.state) {
    case InstanceSlot::kStopping:
        DestroyRoot(slot);
        slot.state = InstanceSlot::kIdle;
        if (slot.flags & InstanceSlot::kFreeWhenStopped)
            FreeInstance(slot);
        break;
    case InstanceSlot::kPlaying:
        if (slot.flags & InstanceSlot::kTransformChanged) {
            UpdateBounds(slot);
            slot.root->SetWorldMatrix(slot.transform);
            slot.flags &= static_cast<uint16_t>(~InstanceSlot::kTransformChanged);
        }
        if (slot.flags & InstanceSlot::kColourChanged) {
            slot.root->SetColor(slot.colour);
            slot.flags &= static_cast<uint16_t>(~InstanceSlot::kColourChanged);
        }
        break;
    case InstanceSlot::kStarting:
        StartInstance(work, slot);
        break;
    case InstanceSlot::kDead:
        FreeInstance(slot);
        break;
    default:
        break;
    }
}

} // namespace

void RunFirstPass(EngineWorkData& work) {
    // A step may free its record, so each successor is read first.
    for (InstanceSlot* slot = work.instances.activeHead; slot;) {
        InstanceSlot* next = slot->next;
        RunFirstStep(work, *slot);
        slot = next;
    }
}

void RunSecondPass(EngineWorkData& work, float dt) {
    FrameWorkMemory& frame = RuntimeGlobals::Get().frameMemory;
    for (InstanceSlot* slot = work.instances.activeHead; slot; slot = slot->next) {
        slot->flags &= static_cast<uint16_t>(~InstanceSlot::kEvaluated);
        if (slot->state == InstanceSlot::kPaused || slot->state == InstanceSlot::kPlaying)
            UpdateInstance(work, *slot, dt, frame);
    }
}

InstanceSlot* FindInstance(uint32_t index, uint32_t serial) {
    EngineWorkData* work = GetWorkData();
    if (!work || serial == 0 || index >= work->parameter.InstanceMaxCount)
        return nullptr;
    InstanceSlot& slot = work->instances.base[index];
    if (slot.index != index || slot.serial != serial || slot.state == InstanceSlot::kDead)
        return nullptr;
    return &slot;
}

InstanceHandle CreateInstance(uint32_t effectIndex, uint32_t effectSerial,
                              IInstanceListenner* listener) {
    EngineWorkData* work = GetWorkData();
    ObjectSlot* effect = FindObject(effectIndex, effectSerial);
    if (!work || !effect)
        return {};
    InstanceSlot* slot = AllocInstance(*work);
    if (!slot)
        return {};
    const InstanceHandle handle{slot->index, slot->serial};
    slot->listener = listener;
    if (listener) {
        listener->AddRef();
        listener->OnCreate(handle);
    }
    slot->layer = effect->package ? static_cast<uint8_t>(effect->package->GetDTLT()) : 0;
    slot->drawOrder = 0;
    slot->effect = effect;
    ++effect->referenceCount;
    return handle;
}

void FreeInstance(InstanceSlot& slot) {
    const RuntimeGlobals& g = RuntimeGlobals::Get();
    EngineWorkData& work = *g.engine;
    EngineWorkData::SlotTable<InstanceSlot>& table = work.instances;
    if (slot.previous)
        slot.previous->next = slot.next;
    else
        table.activeHead = slot.next;
    if (slot.next)
        slot.next->previous = slot.previous;
    else
        table.activeTail = slot.previous;
    IInstanceListenner* listener = slot.listener;
    if (listener)
        listener->OnRelease({slot.index, slot.serial});
    DestroyRoot(slot);
    if (slot.effect)
        ReleaseObject(*slot.effect);
    if (listener)
        listener->Release();
    const uint32_t index = slot.index;
    slot = InstanceSlot{};
    slot.index = index;
    slot.next = table.freeHead;
    table.freeHead = &slot;
    --work.liveInstanceCount;
}

void FreeAllInstances(EngineWorkData& work) {
    std::lock_guard<std::recursive_mutex> lock(work.instanceLock);
    while (InstanceSlot* slot = work.instances.activeHead)
        FreeInstance(*slot);
}

InstanceHandle StartChildInstance(const ObjectHandle& effect, IInstanceListenner* listener,
                                  uint8_t layer) {
    const InstanceHandle handle = CreateInstance(effect.index, effect.serial, listener);
    if (InstanceSlot* slot = FindInstance(handle.index, handle.serial)) {
        SetInstanceLayer(handle.index, handle.serial, layer);
        slot->flags |= InstanceSlot::kFreeWhenStopped;
        PlayInstance(handle.index, handle.serial, 1.0f, 0);
    }
    return handle;
}

void KillInstance(uint32_t index, uint32_t serial) {
    if (InstanceSlot* slot = FindInstance(index, serial))
        slot->state = InstanceSlot::kDead;
}

void SetInstanceMatrix(uint32_t index, uint32_t serial, const float* matrix44) {
    InstanceSlot* slot = FindInstance(index, serial);
    if (!slot || !matrix44)
        return;
    for (int row = 0; row < 4; ++row)
        std::memcpy(&slot->transform[row * 3], &matrix44[row * 4], 3 * sizeof(float));
    slot->flags |= InstanceSlot::kTransformChanged;
}

void SetInstanceColor(uint32_t index, uint32_t serial, float r, float g, float b, float a) {
    if (InstanceSlot* slot = FindInstance(index, serial)) {
        slot->colour[0] = r;
        slot->colour[1] = g;
        slot->colour[2] = b;
        slot->colour[3] = a;
        slot->flags |= InstanceSlot::kColourChanged;
    }
}

void SetInstanceSpeed(uint32_t index, uint32_t serial, float speed) {
    if (InstanceSlot* slot = FindInstance(index, serial))
        slot->speed = speed;
}

void SetInstanceDrawOffset(uint32_t index, uint32_t serial, float offset) {
    if (InstanceSlot* slot = FindInstance(index, serial))
        slot->drawOffset = offset;
}

void SetInstanceParameter(uint32_t index, uint32_t serial, float value) {
    if (InstanceSlot* slot = FindInstance(index, serial))
        slot->rootParameter = value;
}

void SetInstanceViewVisible(uint32_t index, uint32_t serial, uint32_t view, bool visible) {
    InstanceSlot* slot = FindInstance(index, serial);
    if (!slot || view > kLastLayer)
        return;
    if (visible)
        slot->viewMask |= static_cast<uint16_t>(1u << view);
    else
        slot->viewMask &= static_cast<uint16_t>(~(1u << view));
}

void SetInstanceVisibilityMask(uint32_t index, uint32_t serial, uint32_t mask) {
    if (InstanceSlot* slot = FindInstance(index, serial))
        slot->visibilityMask = mask;
}

void SetEffectTexture(uint32_t index, uint32_t serial, const char* name, ITexture* texture) {
    InstanceSlot* slot = FindInstance(index, serial);
    if (slot && slot->effect->package)
        slot->effect->package->ReplaceTextureByLabel(name, texture);
}

void SetInstanceHidden(uint32_t index, uint32_t serial, uint16_t hidden) {
    if (InstanceSlot* slot = FindInstance(index, serial))
        slot->hidden = hidden;
}

void SetInstanceTimelineFlags(uint32_t index, uint32_t serial, const uint8_t* flags8) {
    InstanceSlot* slot = FindInstance(index, serial);
    if (!slot || !flags8)
        return;
    slot->timelineFlags = 0;
    for (uint32_t i = 0; i < 8; ++i)
        if (flags8[i] == 0)
            slot->timelineFlags |= static_cast<uint16_t>(1u << i);
}

void PlayInstance(uint32_t index, uint32_t serial, float speed, uint8_t loop) {
    InstanceSlot* slot = FindInstance(index, serial);
    if (!slot)
        return;
    slot->state = InstanceSlot::kStarting;
    slot->speed = speed;
    if (loop & 1u)
        slot->flags |= InstanceSlot::kLoop;
    else
        slot->flags &= static_cast<uint16_t>(~InstanceSlot::kLoop);
}

void StopInstance(uint32_t index, uint32_t serial) {
    InstanceSlot* slot = FindInstance(index, serial);
    if (!slot)
        return;
    if (slot->state == InstanceSlot::kPlaying)
        slot->state = InstanceSlot::kStopping;
    else if (slot->state == InstanceSlot::kStarting)
        slot->state = InstanceSlot::kIdle;
}

bool IsInstancePlaying(uint32_t index, uint32_t serial) {
    const InstanceSlot* slot = FindInstance(index, serial);
    return slot && (slot->state == InstanceSlot::kPaused || slot->state == InstanceSlot::kPlaying ||
                    slot->state == InstanceSlot::kStarting);
}

float GetInstanceTime(uint32_t index, uint32_t serial) {
    const InstanceSlot* slot = FindInstance(index, serial);
    return slot && slot->root ? slot->root->time : 0.0f;
}

void SetInstanceLayer(uint32_t index, uint32_t serial, uint32_t layer) {
    InstanceSlot* slot = FindInstance(index, serial);
    if (!slot || layer > kLastLayer)
        return;
    slot->layer = static_cast<uint8_t>(layer);
    if (slot->root)
        slot->root->SetLayer(slot->layer);
}

void SetInstanceDrawOrder(uint32_t index, uint32_t serial, uint16_t order) {
    if (InstanceSlot* slot = FindInstance(index, serial))
        slot->drawOrder = order;
}

void SetInstanceFlagBit(uint32_t index, uint32_t serial, uint32_t bit) {
    InstanceSlot* slot = FindInstance(index, serial);
    if (slot && bit < 16)
        slot->triggers |= static_cast<uint16_t>(1u << bit);
}

void ToggleInstancePause(uint32_t index, uint32_t serial) {
    InstanceSlot* slot = FindInstance(index, serial);
    if (!slot)
        return;
    if (slot->state == InstanceSlot::kPlaying)
        slot->state = InstanceSlot::kPaused;
    else if (slot->state == InstanceSlot::kPaused)
        slot->state = InstanceSlot::kPlaying;
    else if (slot->state == InstanceSlot::kStarting)
        slot->flags |= InstanceSlot::kComeUpPaused;
}

} // namespace FulgorCore::Engine
