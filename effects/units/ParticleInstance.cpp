#include "effects/units/ParticleInstance.h"

#include "effects/Core/Engine/Engine.h"
#include "effects/Core/Engine/EngineInternal.h"
#include "effects/Core/Engine/EngineWorkData.h"
#include "effects/Core/Engine/InstanceSlot.h"
#include "effects/Core/Interface/IInstanceListenner.h"
#include "effects/Core/Math/FastRoot.h"
#include "effects/Core/Math/Matrix.h"
#include "effects/Core/Math/Vector3.h"
#include "effects/Core/Resource/PackageResource.h"
#include "effects/Core/Resource/UnitResource.h"
#include "effects/Core/Resource/UnitTimelineResource.h"
#include "effects/units/ChildEffectLink.h"
#include "effects/units/EmitterTransformUnit.h"
#include "effects/units/InstanceRootUnit.h"
#include "effects/units/NodeEventBlock.h"
#include "effects/units/NodeSharedBlock.h"
#include "effects/units/ParticleEmitterPart.h"
#include "effects/units/PickBounds.h"
#include "effects/units/UnitEventSchedule.h"

#include <cmath>
#include <cstring>

namespace FulgorCore {

// The particle and its transform block are one pool block each.
static_assert(sizeof(ParticleInstance) <= kUnitBlockSize);
static_assert(sizeof(TransformBlock) <= kUnitBlockSize);

namespace {

// A link chain longer than this is a loop in the data: the event is
// dropped rather than followed for ever.
constexpr uint32_t kMaxLinkHops = 64;

void Copy3(float* out, const float* in) {
    std::memcpy(out, in, 3 * sizeof(float));
}

void Add3(float* out, const float* v) {
    out[0] += v[0];
    out[1] += v[1];
    out[2] += v[2];
}

float RowLength(const float* row) {
    return Math::ApproxSqrt(row[0] * row[0] + row[1] * row[1] + row[2] * row[2]);
}

// Most members of most particles are the no-ops: a comparison skips the
// call.
inline void RunMember(ParticleInstance::PlainMember member, ParticleInstance* node) {
    if (member != ParticleInstance::NoOpPlain)
        member(node);
}

inline void RunMember(ParticleInstance::FrameMember member, ParticleInstance* node,
                      const UnitClock& clock) {
    if (member != ParticleInstance::NoOpWithArgument)
        member(node, clock);
}

// M = C(S, R, T) by the node's composition order, then its finish member.
void ComposeScaleRotationTranslation(ParticleInstance* node) {
    float s[12] = {};
    s[0] = node->scale[0];
    s[4] = node->scale[1];
    s[8] = node->scale[2];
    TransformBlock& block = *node->transformBlock;
    if (!(block.transformFlags & TransformBlock::kRotationBuilt) ||
        std::memcmp(block.rotationAngles, node->rotation, sizeof(block.rotationAngles)) != 0) {
        node->rotationBuilder(block.rotationMatrix, node->rotation[0], node->rotation[1],
                              node->rotation[2]);
        Copy3(block.rotationAngles, node->rotation);
        block.transformFlags |= TransformBlock::kRotationBuilt;
    }
    float t[12];
    Math::Matrix34Identity(t);
    Copy3(&t[9], node->position);
    node->composeBuilder(node->currentWorldMatrix, s, block.rotationMatrix, t);
    RunMember(node->orientationBasisStep, node);
}

// Rotation rows from the node's rotation getter, each scaled by its scale
// getter; the translation is the node's position.
void ComposeFromGetters(ParticleInstance* node) {
    float angles[3];
    float scale[3];
    node->GetVector1(angles);
    node->GetVector0(scale);
    float* m = node->currentWorldMatrix;
    node->rotationBuilder(m, angles[0], angles[1], angles[2]);
    for (int row = 0; row < 3; ++row)
        for (int c = 0; c < 3; ++c)
            m[row * 3 + c] *= scale[row];
    Copy3(&m[9], node->position);
    RunMember(node->orientationBasisStep, node);
}

const float* ParentMatrix(const ParticleInstance* node) {
    return node->parent ? node->parent->GetWorldMatrix() : Math::kIdentity34;
}

void AddBlockVector(ParticleInstance* node) {
    if (const NodeSharedBlock* block = ParticleInstance::GetSharedParameters(node))
        Add3(&node->currentWorldMatrix[9], block->vector);
}

void AddOwnerVector(ParticleInstance* node) {
    const NodeSharedBlock* block = ParticleInstance::GetSharedParameters(node);
    float v[3] = {};
    if (node->parent)
        node->parent->GetVector7(v, block ? block->index : 0);
    Add3(&node->currentWorldMatrix[9], v);
}

// The world acceleration's displacement moves the composed particle in
// world space, after everything else.
void AddWorldDisplacement(ParticleInstance* node) {
    Add3(&node->currentWorldMatrix[9], node->transformBlock->worldDisplacement);
}

// Tracks 0-2 scale, 3-5 rotation, 6-8 translation.
void EvaluateTrackGroup(ParticleInstance* node, const UnitClock& clock, uint32_t group,
                        float* out) {
    for (uint32_t i = 0; i < 3; ++i)
        out[i] = node->unitData->GetTrack(group * 3 + i)->Evaluate(clock);
}

template <bool S, bool R, bool T>
void EvaluateTracks(ParticleInstance* node, const UnitClock& clock) {
    if constexpr (S)
        EvaluateTrackGroup(node, clock, 0, node->scale);
    if constexpr (R)
        EvaluateTrackGroup(node, clock, 1, node->rotation);
    if constexpr (T)
        EvaluateTrackGroup(node, clock, 2, node->position);
}

// The event record `number` of the unit's data, or null.
const UnitTimelineResource* EventRecord(const UnitResource* data, uint32_t number) {
    return data ? data->GetUnitTimeline(number) : nullptr;
}

} // namespace

ParticleInstance::ParticleInstance(InstanceRootUnit* owner, ParticleEmitterPart* auxObject,
                                   const InitialState& state, const UnitResource* unitData,
                                   const ParticleSpawnSettings* settings, int32_t pointIndex,
                                   const float* origin, const float* positionIn,
                                   const float* velocity, const float* rotationIn,
                                   const float* directionIn)
    : UnitInstance(owner, state, unitData ? unitData->GetRotO() : 0,
                   unitData ? unitData->GetTrsO() : 0),
      inheritFlags((settings ? *settings : ParticleSpawnSettings::Default()).InheritFlags()),
      unitData(unitData),
      takesEvents(unitData && unitData->GetFlagECE() ? 1 : 0), auxObject(auxObject),
      composeMember(ComposeTransformWithOwner), sharedBlockMember(GetSharedBlockFromOwner),
      pointIndex(pointIndex) {
    if (directionIn)
        Copy3(direction, directionIn);
    orientationSet = owner && owner->package ? owner->package->GetOrientationSet() : 0;
    void* block = Engine::GetUnitInstancePool().Allocate();
    if (!block) {
        Finish();
        return;
    }
    transformBlock = static_cast<TransformBlock*>(block);
    std::memset(transformBlock, 0, sizeof(TransformBlock));
    currentWorldMatrix = transformBlock->worldMatrices[0];
    previousWorldMatrix = transformBlock->worldMatrices[1];
    for (float& c : transformBlock->color)
        c = 1.0f;
    if (settings)
        link = *settings;
    // The attached unit the link names; only with one are aspects taken
    // from it.
    linkedUnit = auxObject ? auxObject->GetLinkedUnit(link.LinkIndex()) : nullptr;
    inheritBits = linkedUnit
                      ? static_cast<uint8_t>(link.LinkFlags() & ParticleSpawnSettings::kInheritAll)
                      : 0;
    TakeSpawnFrame(origin, positionIn, velocity, rotationIn);
    InstallMembers();
    if (unitData && unitData->GetReferenceName())
        SpawnChildEffect(unitData->GetReferenceName());
}

void ParticleInstance::TakeSpawnFrame(const float* origin, const float* positionIn,
                                      const float* velocity, const float* rotationIn) {
    // Until the first composition both matrices say where the particle
    // was spawned: anything asking for "previous" reads that, not old
    // memory.
    float* m = transformBlock->worldMatrices[0];
    Math::Matrix34Identity(m);
    if (positionIn)
        Copy3(&m[9], positionIn);
    else if (origin)
        Copy3(&m[9], origin);
    std::memcpy(transformBlock->worldMatrices[1], m, sizeof(float) * 12);
    if (rotationIn) {
        Copy3(baseRotation, rotationIn);
        Copy3(rotation, rotationIn);
    }
    float p[3] = {};
    float v[3] = {};
    if (positionIn)
        Copy3(p, positionIn);
    if (velocity)
        Copy3(v, velocity);
    // Modes past the table place the particle as mode 0 does.
    const uint32_t mode = link.TransformMode() < 4 ? link.TransformMode() : 0;
    static constexpr PlainMember kComposers[4] = {
        ComposeTransformInWorld, ComposeTransformWithOwner, ComposeTransformWithOwner,
        ComposeTransformFromGetters};
    composeMember = kComposers[mode];
    // The emission direction's frame, for a particle turned along it or
    // whose velocity turns about it.
    const bool oriented = LinkOrientationMode(link) == 1;
    const bool basis = oriented || WantsVelocityRotation();
    if (basis)
        MakeDirection(direction);
    switch (mode) {
    case 1:
        if (parent) {
            parent->GetVector0(inheritedScale);
            parent->GetVector1(inheritedRotation);
        }
        [[fallthrough]];
    case 2: {
        // Position and velocity in the parent's frame (rows times its
        // inverse), which the composition takes back out each frame. The
        // inverse is taken from the parent's matrix itself: not every unit
        // kind answers its own inverse.
        float inverse[12];
        Math::Matrix34Inverse(inverse, ParentMatrix(this));
        const float world[3] = {p[0], p[1], p[2]};
        Math::TransformPoint34(p, world, inverse);
        const float moving[3] = {v[0], v[1], v[2]};
        for (int c = 0; c < 3; ++c)
            v[c] = moving[0] * inverse[c] + moving[1] * inverse[3 + c] + moving[2] * inverse[6 + c];
        std::memcpy(transformBlock->parentMatrix, ParentMatrix(this), sizeof(float) * 12);
        if (basis)
            ComposeBasisWithParent(inverse);
        break;
    }
    case 3:
        // Placed from the spawner's reference point, when the spawn gave
        // no point of its own.
        if ((link.LinkFlags() & ParticleSpawnSettings::kRelative) && pointIndex == -1) {
            if (origin)
                for (int c = 0; c < 3; ++c)
                    p[c] -= origin[c];
            composeMember = ComposeTransformRelative;
        }
        break;
    default:
        break;
    }
    if (oriented)
        HoldVelocityInBasis(v);
    Copy3(offset, p);
    Copy3(transformBlock->initialVelocity, v);
    const float* parentColor = parent ? parent->GetColor() : nullptr;
    for (int i = 0; i < 4; ++i)
        transformBlock->spawnColor[i] = parentColor ? parentColor[i] : 1.0f;
}

void ParticleInstance::InstallMembers() {
    if (!unitData)
        return;
    const UnitResource& data = *unitData;
    // The link's inherit flags in the order the strategies take them.
    const uint32_t flags = link.LinkFlags();
    const uint32_t inherits =
        (flags & ParticleSpawnSettings::kInheritColour ? kInheritsColour : 0u) |
        (flags & ParticleSpawnSettings::kInheritScale ? kInheritsScale : 0u) |
        (flags & ParticleSpawnSettings::kInheritRotation ? kInheritsRotation : 0u) |
        (flags & ParticleSpawnSettings::kInheritTranslation ? kInheritsTranslation : 0u);
    SelectStrategies(data, data.GetSharedDataUnit(owner->package), inherits);
    switch (ColorMode()) {
    case 1:
        colorInheritMember = MultiplyBaseColor;
        break;
    case 2:
    case 3:
        colorInheritMember = MultiplyParentColor;
        break;
    default:
        break;
    }
    // The tracks play only where the data has them: the group flags of a
    // unit without an "Anim" part say nothing.
    if (data.GetFlagAME())
        SelectTransformEvaluator();
    // "BAxs": the X, Y or Z row with the plane of the other two; 3 keeps
    // the default axis and the XY plane.
    static constexpr VectorMember kAxes[3] = {GetAxisX, GetAxisY, GetAxisZ};
    static constexpr ScalarMember kPlanes[3] = {GetPlaneScaleYZ, GetPlaneScaleXZ, GetPlaneScaleXY};
    if (const uint32_t axis = data.GetBAxs(); axis < 3) {
        axisMember = kAxes[axis];
        planeScaleMember = kPlanes[axis];
    }
    // "bFGr": the listener hears where the particle is.
    if (data.GetFlagFGr() && owner->listener)
        notifyPositionMember = NotifyListenerPosition;
    SelectFadeMembers();
    orientationStep = OrientationBuilder(data.GetOrientationMode(), orientationSet);

    // The particle starts from a finished frame at time zero: its first
    // drawn frame has a colour and a matrix, and the previous matrix is the
    // same one.
    colourStep(this, kZeroClock);
    colorInheritMember(this);
    transformBlock->color[3] *= fadeFactor;
    RunUpdateMembers(kZeroClock);

    // "bPFc": the position lags behind by the "FuCt" factor; a factor of
    // constant 1 does not lag, and draws no value.
    if (data.GetFlagPFc() && !data.GetFuCt().IsOne()) {
        transformBlock->interpolationSample = data.GetFuCt().SampleRandom(owner->random);
        interpolateMember = InterpolatePosition;
    }
    if (WantsVelocityRotation())
        StartVelocityRotation();
    // "bSPT": a shared block of the particle's own.
    if (data.GetFlagSPT())
        AttachOwnSharedBlock();
    // "bIEE": a target of the pointer, registered every frame; "UIC1" (kind,
    // then three floats) is the shape it is hit in, none when absent.
    pickBounds = reinterpret_cast<const PickBounds*>(data.GetUIC1());
    if (data.GetFlagIEE())
        frameListMember = PushFrameList;
}

ParticleInstance::~ParticleInstance() {
    if (EngineWorkData* work = Engine::GetWorkData()) {
        if (work->pressedUnit == this)
            work->pressedUnit = nullptr;
        if (work->hoveredUnit == this)
            work->hoveredUnit = nullptr;
    }
    UnitInstancePool& pool = Engine::GetUnitInstancePool();
    if (childEffectLink) {
        if (childEffectLink->root)
            childEffectLink->root->parentRoot = nullptr;
        // A handle whose record has been reused since belongs to another
        // instance: KillInstance leaves that one alone.
        if (childEffectLink->serial != 0)
            Engine::KillInstance(childEffectLink->index, childEffectLink->serial);
        pool.Free(childEffectLink);
        childEffectLink = nullptr;
    }
    while (UnitEventSchedule* schedule = scheduleHead) {
        scheduleHead = schedule->next;
        delete schedule;
    }
    scheduleTail = nullptr;
    if (postedEvents) {
        pool.Free(postedEvents);
        postedEvents = nullptr;
    }
    if (transformBlock) {
        if (transformBlock->ownSharedBlock)
            pool.Free(transformBlock->ownSharedBlock);
        pool.Free(transformBlock);
        transformBlock = nullptr;
    }
}

void ParticleInstance::OnChildInstanceEnded(InstanceRootUnit* child) {
    if (!childEffectLink || childEffectLink->root != child || !child)
        return;
    childEffectLink->index = 0;
    childEffectLink->serial = 0;
    childEffectLink->root = nullptr;
    if (holdCount > 0)
        --holdCount;
}

void ParticleInstance::Start() {
    // A particle that ended while it was built starts nothing it could
    // not stop.
    if (!alive)
        return;
    StartHostObject();
    PostEvent(0, kStartEvent);
}

void ParticleInstance::OnEnd() {
    StopHostObject();
}

void ParticleInstance::OnLoopEnd() {
    PostEvent(0, kLoopEndEvent);
}

void ParticleInstance::StartHostObject() {
    IInstanceListenner* listener = owner->listener;
    if (!listener || !unitData || unitData->GetSoundHandle() == 0 || !transformBlock)
        return;
    transformBlock->listenerHandle =
        listener->StartHostObject(unitData->GetSoundHandle(), unitData->GetSoundName(),
                                  unitData->GetSoundParameter(), &currentWorldMatrix[9]);
    transformBlock->transformFlags |= TransformBlock::kHostObjectStarted;
}

void ParticleInstance::StopHostObject() {
    IInstanceListenner* listener = owner->listener;
    if (!listener || !transformBlock ||
        !(transformBlock->transformFlags & TransformBlock::kHostObjectStarted))
        return;
    transformBlock->transformFlags &= ~TransformBlock::kHostObjectStarted;
    listener->StopHostObject(unitData->GetSoundHandle(), transformBlock->listenerHandle);
}

void ParticleInstance::Step() {
    ProcessPostedEvents();
}

void ParticleInstance::PostEvent(uint16_t delay, uint8_t event) {
    if (!takesEvents)
        return;
    if (!postedEvents) {
        void* block = Engine::GetUnitInstancePool().Allocate();
        if (!block)
            return;
        std::memset(block, 0, sizeof(NodeEventBlock));
        postedEvents = static_cast<NodeEventBlock*>(block);
        // Without a transform block the particle has no colour to put back.
        // What no strategy animates is recognised by its slot: the one
        // no-op, and for the translation the plain integration.
        const bool constant[4] = {translationStep == StepPosition, rotationStep == NoOpWithArgument,
                                  scaleStep == NoOpWithArgument,
                                  colourStep == NoOpWithArgument && transformBlock};
        for (uint32_t i = 0; i < 4; ++i)
            postedEvents->constant[i] = constant[i] ? 1 : 0;
        if (constant[NodeEventBlock::kTranslation])
            Copy3(postedEvents->translation, position);
        if (constant[NodeEventBlock::kRotation])
            Copy3(postedEvents->rotation, rotation);
        if (constant[NodeEventBlock::kScale])
            Copy3(postedEvents->scale, scale);
        if (constant[NodeEventBlock::kColour])
            std::memcpy(postedEvents->colour, transformBlock->color, sizeof(float) * 4);
    }
    if (postedEvents->count >= NodeEventBlock::kCapacity)
        return;
    postedEvents->kinds[postedEvents->count] = event;
    postedEvents->ids[postedEvents->count] = delay;
    ++postedEvents->count;
}

void ParticleInstance::QueueSchedule(uint32_t event, float delay) {
    IInstanceListenner* listener = owner->listener;
    const PackageResource* package = owner->package;
    const UnitTimelineResource* record = EventRecord(unitData, event);
    if (!record)
        return;
    if (listener)
        listener->OnUnitEvent(event, record->GetLife());
    uint32_t hops = 0;
    while (record && record->GetFlagOTU()) {
        if (++hops > kMaxLinkHops || !package) {
            record = nullptr;
            break;
        }
        delay += static_cast<float>(record->GetOTD());
        record = EventRecord(package->GetUnit(record->GetOTU()), record->GetOTUT());
    }
    if (!record || record->GetItemCount() == 0)
        return;
    UnitEventSchedule* schedule = UnitEventSchedule::Create(record, this, delay);
    if (!schedule)
        return;
    if (!scheduleHead) {
        scheduleHead = scheduleTail = schedule;
        ++holdCount;
        runSchedulesMember = RunSchedules;
    } else {
        scheduleTail->next = schedule;
        scheduleTail = schedule;
    }
}

void ParticleInstance::ProcessPostedEvents() {
    if (postedEvents) {
        for (uint32_t i = 0; i < postedEvents->count; ++i)
            QueueSchedule(postedEvents->kinds[i], static_cast<float>(postedEvents->ids[i]));
        postedEvents->count = 0;
    }
    runSchedulesMember(this);
}

void ParticleInstance::RunSchedules(ParticleInstance* node) {
    // A step may queue schedules on this particle (a kind-2 event aimed at
    // it): they are appended behind the tail, so each link is read after
    // its step, and the walk ends with the schedules that were queued when
    // it began; the new ones first run in the next frame.
    UnitEventSchedule* const last = node->scheduleTail;
    UnitEventSchedule* previous = nullptr;
    UnitEventSchedule* schedule = node->scheduleHead;
    while (schedule) {
        const bool pending = schedule->Step(node->lastStep);
        UnitEventSchedule* next = schedule->next;
        const bool wasLast = schedule == last;
        if (pending) {
            previous = schedule;
        } else {
            if (previous)
                previous->next = next;
            else
                node->scheduleHead = next;
            if (node->scheduleTail == schedule)
                node->scheduleTail = previous;
            delete schedule;
        }
        if (wasLast)
            break;
        schedule = next;
    }
    if (!node->scheduleHead) {
        if (node->holdCount > 0)
            --node->holdCount;
        node->runSchedulesMember = NoOpPlain;
    }
}

void ParticleInstance::UpdateTransform() {
    if (!transformBlock)
        return;
    TransformBlock& block = *transformBlock;
    block.transformFlags ^= TransformBlock::kCurrentIndex;
    const uint32_t current = block.transformFlags & TransformBlock::kCurrentIndex;
    currentWorldMatrix = block.worldMatrices[current];
    previousWorldMatrix = block.worldMatrices[current ^ 1u];
    const UnitClock clock = Clock();
    RunMember(colourStep, this, clock);
    RunMember(colorInheritMember, this);
    block.color[3] *= fadeFactor;
    RunUpdateMembers(clock);
    RunMember(distanceFadeMember, this);
    RunMember(viewAngleFadeMember, this);
    RunMember(sharedTransformMember, this);
    RunMember(postTransformMember, this);
    RunMember(frameListMember, this);
}

void ParticleInstance::RunUpdateMembers(const UnitClock& clock) {
    if (transformBlock)
        transformBlock->transformFlags &= ~TransformBlock::kInverseValid;
    RunMember(worldAccelerationStep, this, clock);
    RunMember(localAccelerationStep, this, clock);
    RunMember(scaleStep, this, clock);
    RunMember(rotationStep, this, clock);
    translationStep(this, clock);
    RunMember(trackMorphMember, this, clock);
    RunMember(transformTracksMember, this, clock);
    RunMember(integrateMember, this);
    composeMember(this);
    // The first matrix composed is also the previous one: before it the
    // other entry held only the spawn point.
    if (transformBlock && !(transformBlock->transformFlags & TransformBlock::kComposed)) {
        std::memcpy(previousWorldMatrix, currentWorldMatrix, sizeof(float) * 12);
        transformBlock->transformFlags |= TransformBlock::kComposed;
    }
    RunMember(orientationStep, this);
    RunMember(interpolateMember, this, clock);
    RunMember(notifyPositionMember, this);
}

void ParticleInstance::SelectTransformEvaluator() {
    if (!unitData)
        return;
    static constexpr FrameMember kEvaluators[8] = {
        NoOpWithArgument, EvaluateTracksS,  EvaluateTracksR,  EvaluateTracksSR,
        EvaluateTracksT,  EvaluateTracksST, EvaluateTracksRT, EvaluateTracksSRT,
    };
    const uint32_t groups = unitData->GetAnimScale() | unitData->GetAnimRotation() << 1 |
                            unitData->GetAnimTranslate() << 2;
    if (groups != 0)
        transformTracksMember = kEvaluators[groups];
}

void ParticleInstance::AttachOwnSharedBlock() {
    if (!transformBlock)
        return;
    uint32_t modes = 0;
    for (uint8_t mode : owner->sharedModes)
        modes |= mode;
    if (modes == 0)
        return;
    void* block = Engine::GetUnitInstancePool().Allocate();
    if (!block)
        return;
    std::memset(block, 0, sizeof(NodeSharedBlock));
    transformBlock->ownSharedBlock = block;
    sharedTransformMember = ForwardWorldMatrix;
    sharedBlockMember = GetOwnSharedBlock;
}

void ParticleInstance::SpawnChildEffect(const char* name) {
    if (childEffectLink)
        return;
    const PackageResource* package = owner->package;
    const ObjectHandle* effect = package ? package->FindReference(name) : nullptr;
    if (!effect || effect->serial == 0)
        return;
    void* block = Engine::GetUnitInstancePool().Allocate();
    if (!block)
        return;
    const InstanceHandle handle =
        Engine::StartChildInstance(*effect, owner->listener, owner->layer);
    if (handle.serial == 0) {
        Engine::GetUnitInstancePool().Free(block);
        return;
    }
    childEffectLink = static_cast<ChildEffectLink*>(block);
    childEffectLink->index = handle.index;
    childEffectLink->serial = handle.serial;
    childEffectLink->root = nullptr;
    // The particle stays while its child effect plays.
    ++holdCount;
    postTransformMember = FollowChildEffect;
}

void ParticleInstance::FollowChildEffect(ParticleInstance* node) {
    ChildEffectLink* link = node->childEffectLink;
    if (link->serial == 0)
        return;
    if (!link->root) {
        const InstanceSlot* slot = Engine::FindInstance(link->index, link->serial);
        if (!slot) {
            // Gone before it ever ran: nothing will tell the particle.
            link->index = 0;
            link->serial = 0;
            if (node->holdCount > 0)
                --node->holdCount;
            return;
        }
        if (!slot->root)
            return;
        link->root = slot->root;
        link->root->parentRoot = node;
    }
    link->root->SetWorldMatrix(node->currentWorldMatrix);
}

const float* ParticleInstance::GetPreviousWorldMatrix() const {
    return previousWorldMatrix ? previousWorldMatrix : Math::kIdentity34;
}

const float* ParticleInstance::GetInverseWorldMatrix() const {
    if (!transformBlock)
        return Math::kIdentity34;
    if (!(transformBlock->transformFlags & TransformBlock::kInverseValid)) {
        Math::Matrix34Inverse(transformBlock->inverseWorldMatrix, currentWorldMatrix);
        transformBlock->transformFlags |= TransformBlock::kInverseValid;
    }
    return transformBlock->inverseWorldMatrix;
}

void* ParticleInstance::GetSharedBlock() {
    return sharedBlockMember(this);
}

void ParticleInstance::GetVector0(float* out) const {
    switch (InheritMode()) {
    case 0:
        Copy3(out, scale);
        break;
    case 1:
        Math::Vector3Mul(out, scale, inheritedScale);
        break;
    case 3:
        if (!(inheritFlags & kInheritScaleBit)) {
            Copy3(out, scale);
            break;
        }
        [[fallthrough]];
    case 2: {
        float p[3] = {1.0f, 1.0f, 1.0f};
        if (parent)
            parent->GetVector0(p);
        Math::Vector3Mul(out, p, scale);
        break;
    }
    default:
        break;
    }
}

namespace {

// The rotation getters' inheritance over components [first, last) of the
// own rotation; `ask` is the parent's getter of the same slot.
template <class Ask>
void InheritRotationByMode(const ParticleInstance& node, float* out, int first, int last, Ask ask) {
    switch (node.InheritMode()) {
    case 0:
        for (int i = first; i < last; ++i)
            out[i] = node.rotation[i];
        break;
    case 1:
        for (int i = first; i < last; ++i)
            out[i] = node.rotation[i] + node.inheritedRotation[i];
        break;
    case 2:
        // The parent's answer, then the own components written over it:
        // effects authored for this mode look the way they do because of it.
        if (node.parent)
            ask(*node.parent, out);
        for (int i = first; i < last; ++i)
            out[i] = node.rotation[i];
        break;
    case 3:
        if (node.inheritFlags & ParticleInstance::kInheritRotationBit) {
            if (node.parent)
                ask(*node.parent, out);
            else
                for (int i = first; i < last; ++i)
                    out[i] = 0.0f;
            for (int i = first; i < last; ++i)
                out[i] += node.rotation[i];
        } else {
            for (int i = first; i < last; ++i)
                out[i] = node.rotation[i];
        }
        break;
    default:
        break;
    }
}

} // namespace

void ParticleInstance::GetVector1(float* out) const {
    InheritRotationByMode(*this, out, 0, 3,
                          [](const UnitInstance& p, float* o) { p.GetVector1(o); });
}

void ParticleInstance::GetVector2(float* out) const {
    InheritRotationByMode(*this, out, 0, 2,
                          [](const UnitInstance& p, float* o) { p.GetVector2(o); });
}

void ParticleInstance::GetVector3(float* out) const {
    InheritRotationByMode(*this, out, 2, 3,
                          [](const UnitInstance& p, float* o) { p.GetVector3(o); });
}

void ParticleInstance::GetVector4(float* out) const {
    GetVector1(out);
    out[0] = rotation[0];
    out[1] = rotation[1];
}

void ParticleInstance::GetVector5(float* out) const {
    GetVector2(out);
    out[2] = 0.0f;
}

void ParticleInstance::GetVector6(float* out) const {
    GetVector3(out);
    out[0] = 0.0f;
    out[1] = 0.0f;
}

void ParticleInstance::GetVector7(float* out, uint32_t index) const {
    if ((inheritFlags & kPositionFromAuxBit) && auxObject)
        auxObject->GetPointPosition(index, out);
    else
        Copy3(out, position);
}

void* ParticleInstance::GetAuxObject() {
    return auxObject;
}

void ParticleInstance::MultiplyBaseColor(ParticleInstance* node) {
    for (int i = 0; i < 4; ++i)
        node->transformBlock->color[i] *= node->transformBlock->spawnColor[i];
}

void ParticleInstance::MultiplyParentColor(ParticleInstance* node) {
    if (!node->parent)
        return;
    const float* parentColour = node->parent->GetColor();
    for (int i = 0; i < 4; ++i)
        node->transformBlock->color[i] *= parentColour[i];
}

void ParticleInstance::EvaluateTracksS(ParticleInstance* node, const UnitClock& clock) {
    EvaluateTracks<true, false, false>(node, clock);
}
void ParticleInstance::EvaluateTracksR(ParticleInstance* node, const UnitClock& clock) {
    EvaluateTracks<false, true, false>(node, clock);
}
void ParticleInstance::EvaluateTracksT(ParticleInstance* node, const UnitClock& clock) {
    EvaluateTracks<false, false, true>(node, clock);
}
void ParticleInstance::EvaluateTracksSR(ParticleInstance* node, const UnitClock& clock) {
    EvaluateTracks<true, true, false>(node, clock);
}
void ParticleInstance::EvaluateTracksST(ParticleInstance* node, const UnitClock& clock) {
    EvaluateTracks<true, false, true>(node, clock);
}
void ParticleInstance::EvaluateTracksRT(ParticleInstance* node, const UnitClock& clock) {
    EvaluateTracks<false, true, true>(node, clock);
}
void ParticleInstance::EvaluateTracksSRT(ParticleInstance* node, const UnitClock& clock) {
    EvaluateTracks<true, true, true>(node, clock);
}

void ParticleInstance::ComposeWithOwner(ParticleInstance* node) {
    Math::Matrix34Multiply(node->currentWorldMatrix, node->currentWorldMatrix, ParentMatrix(node));
}

void ParticleInstance::ComposeTransformWithOwner(ParticleInstance* node) {
    ComposeScaleRotationTranslation(node);
    Add3(&node->currentWorldMatrix[9], node->offset);
    Math::Matrix34Multiply(node->currentWorldMatrix, node->currentWorldMatrix, ParentMatrix(node));
    AddBlockVector(node);
    AddWorldDisplacement(node);
}

void ParticleInstance::ComposeTransformInWorld(ParticleInstance* node) {
    ComposeScaleRotationTranslation(node);
    Add3(&node->currentWorldMatrix[9], node->offset);
    AddBlockVector(node);
    AddWorldDisplacement(node);
}

void ParticleInstance::ComposeTransformWithBlock(ParticleInstance* node) {
    ComposeScaleRotationTranslation(node);
    Add3(&node->currentWorldMatrix[9], node->offset);
    if (const NodeSharedBlock* block = GetSharedParameters(node)) {
        Math::Matrix34Multiply(node->currentWorldMatrix, node->currentWorldMatrix,
                               block->transform);
        Add3(&node->currentWorldMatrix[9], block->vector);
    }
    AddWorldDisplacement(node);
}

void ParticleInstance::ComposeTransformWithRoot(ParticleInstance* node) {
    ComposeScaleRotationTranslation(node);
    Math::Matrix34Multiply(node->currentWorldMatrix, node->currentWorldMatrix,
                           node->owner->GetWorldMatrix());
    Add3(&node->currentWorldMatrix[9], node->offset);
    AddBlockVector(node);
    AddWorldDisplacement(node);
}

void ParticleInstance::ComposeTransformFromGetters(ParticleInstance* node) {
    ComposeFromGetters(node);
    Math::Matrix34Multiply(node->currentWorldMatrix, node->currentWorldMatrix,
                           node->owner->GetWorldMatrix());
    AddOwnerVector(node);
    AddWorldDisplacement(node);
}

void ParticleInstance::ComposeTransformRelative(ParticleInstance* node) {
    ComposeFromGetters(node);
    Math::Matrix34Multiply(node->currentWorldMatrix, node->currentWorldMatrix,
                           node->owner->GetWorldMatrix());
    Add3(&node->currentWorldMatrix[9], node->offset);
    AddOwnerVector(node);
    AddWorldDisplacement(node);
}

NodeSharedBlock* ParticleInstance::GetSharedParameters(ParticleInstance* node) {
    return static_cast<NodeSharedBlock*>(node->GetSharedBlock());
}

void ParticleInstance::IntegrateMotion(ParticleInstance* node) {
    while (node->time > node->integrationTime) {
        for (auto& pair : node->motion) {
            for (int axis = 0; axis < 3; ++axis) {
                pair[1][axis] *= node->damping[axis];
                pair[0][axis] += pair[1][axis];
            }
        }
        const float next = node->integrationTime + 1.0f;
        // Past 2^24 frames a whole frame no longer moves the float: stop
        // rather than spin.
        if (next == node->integrationTime)
            break;
        node->integrationTime = next;
    }
    node->motionMember(node);
    node->flagMember(node);
}

void ParticleInstance::NotifyListenerPosition(ParticleInstance* node) {
    if (IInstanceListenner* listener = node->owner->listener)
        listener->OnPosition(&node->currentWorldMatrix[9]);
}

void ParticleInstance::InterpolatePosition(ParticleInstance* node, const UnitClock& clock) {
    const float t = node->unitData->GetFuCt().Evaluate(
        clock, node->transformBlock->interpolationSample, node->owner->random);
    float* current = &node->currentWorldMatrix[9];
    const float* previous = &node->previousWorldMatrix[9];
    for (int i = 0; i < 3; ++i)
        current[i] = previous[i] + (current[i] - previous[i]) * t;
}

void ParticleInstance::GetAxisX(const ParticleInstance* node, float* out) {
    Copy3(out, &node->currentWorldMatrix[0]);
}

void ParticleInstance::GetAxisY(const ParticleInstance* node, float* out) {
    Copy3(out, &node->currentWorldMatrix[3]);
}

void ParticleInstance::GetAxisZ(const ParticleInstance* node, float* out) {
    Copy3(out, &node->currentWorldMatrix[6]);
}

void ParticleInstance::GetDefaultAxis(const ParticleInstance*, float* out) {
    Copy3(out, Math::kZeroVector3);
}

float ParticleInstance::GetPlaneScaleYZ(const ParticleInstance* node) {
    return (RowLength(&node->currentWorldMatrix[3]) + RowLength(&node->currentWorldMatrix[6])) *
           0.5f;
}

float ParticleInstance::GetPlaneScaleXZ(const ParticleInstance* node) {
    return (RowLength(&node->currentWorldMatrix[0]) + RowLength(&node->currentWorldMatrix[6])) *
           0.5f;
}

float ParticleInstance::GetPlaneScaleXY(const ParticleInstance* node) {
    return (RowLength(&node->currentWorldMatrix[0]) + RowLength(&node->currentWorldMatrix[3])) *
           0.5f;
}

void* ParticleInstance::GetSharedBlockFromOwner(ParticleInstance* node) {
    return node->parent ? node->parent->GetSharedBlock() : nullptr;
}

void* ParticleInstance::GetOwnSharedBlock(ParticleInstance* node) {
    return node->transformBlock->ownSharedBlock;
}

void ParticleInstance::ForwardWorldMatrix(ParticleInstance* node) {
    auto* block = static_cast<NodeSharedBlock*>(node->transformBlock->ownSharedBlock);
    std::memcpy(block->transform, GetWorldMatrixThunk(node), sizeof(block->transform));
}

void ParticleInstance::PushFrameList(ParticleInstance* node) {
    Engine::PushFrameList(node);
}

} // namespace FulgorCore
