#include "effects/units/ParticleInstance.h"

#include "effects/Core/Engine/Engine.h"
#include "effects/Core/Engine/EngineInternal.h"
#include "effects/Core/Engine/EngineWorkData.h"
#include "effects/Core/Math/Matrix.h"
#include "effects/Core/Resource/FloatPairProperty.h"
#include "effects/Core/Resource/PackageResource.h"
#include "effects/units/ChildInstanceTable.h"
#include "effects/units/InstanceRootUnit.h"
#include "effects/units/NodeEventBlock.h"
#include "effects/units/NodeSharedBlock.h"

#include <cmath>
#include <cstring>

namespace FulgorCore {

namespace {

constexpr uint32_t kInverseValid = 1u << 1;

void Copy3(float* out, const float* in) {
    std::memcpy(out, in, 3 * sizeof(float));
}

void Add3(float* out, const float* v) {
    out[0] += v[0];
    out[1] += v[1];
    out[2] += v[2];
}

// M = C(S, R, T) by the node's composition order, then its finish member.
void ComposeScaleRotationTranslation(ParticleInstance* node) {
    float s[12] = {};
    s[0] = node->scale[0];
    s[4] = node->scale[1];
    s[8] = node->scale[2];
    float r[12];
    node->rotationBuilder(r, node->rotation[0], node->rotation[1], node->rotation[2]);
    float t[12];
    Math::Matrix34Identity(t);
    Copy3(&t[9], node->position);
    node->composer(node->matrix, s, r, t);
    node->finishMember(node);
}

// Rotation rows from the node's rotation getter, each scaled by its scale
// getter; the translation is the node's position.
void ComposeFromGetters(ParticleInstance* node) {
    float angles[3];
    float scale[3];
    node->GetVector1(angles);
    node->GetVector0(scale);
    node->rotationBuilder(node->matrix, angles[0], angles[1], angles[2]);
    for (int row = 0; row < 3; ++row)
        for (int c = 0; c < 3; ++c)
            node->matrix[row * 3 + c] *= scale[row];
    Copy3(&node->matrix[9], node->position);
    node->finishMember(node);
}

const float* RootTransform(const ParticleInstance* node) {
    return node->owner->GetWorldMatrix();
}

void AddBlockVector(ParticleInstance* node) {
    if (const NodeSharedBlock* block = ParticleInstance::GetSharedBlock(node))
        Add3(&node->matrix[9], block->vector);
}

void AddOwnerVector(ParticleInstance* node) {
    const NodeSharedBlock* block = ParticleInstance::GetSharedBlock(node);
    float v[3];
    node->ownerUnit->GetVector7(v, block ? block->index : 0);
    Add3(&node->matrix[9], v);
}

void RotateAboutY(float* v, float angle) {
    const float c = std::cos(angle);
    const float s = std::sin(angle);
    const float x = v[0];
    const float z = v[2];
    v[0] = x * c + z * s;
    v[2] = -x * s + z * c;
}

void RotateAboutX(float* v, float angle) {
    const float c = std::cos(angle);
    const float s = std::sin(angle);
    const float y = v[1];
    const float z = v[2];
    v[1] = y * c - z * s;
    v[2] = y * s + z * c;
}

// The angle pair at the frame's times, or (0, 0) without one.
void EvaluateAngles(ParticleInstance* node, const EvaluationContext& frame, float* angles) {
    angles[0] = angles[1] = 0.0f;
    if (node->anglePair)
        node->anglePair->Evaluate(frame, node->angleSamples, node->owner->random, angles);
    if (node->ownerDirection)
        Copy3(node->direction, node->ownerDirection);
}

} // namespace

ParticleInstance::ParticleInstance(InstanceRootUnit* owner, const InitialState& state,
                                   UnitInstance* ownerUnit, bool takesEvents)
    : UnitInstance(owner, state), ownerUnit(ownerUnit), rotationBuilder(MakeRotationByOrder(0)),
      composer(ComposeByOrder(0)), takesEvents(takesEvents ? 1 : 0) {
    Math::Matrix34Identity(matrix);
    for (FrameMember& member : frameMembers)
        member = NoOpFrame;
    for (PlainMember& member : plainMembers)
        member = NoOpPlain;
}

ParticleInstance::~ParticleInstance() {
    // The hovered unit outlives no frame of its own: a later hover change
    // must not post to the freed block.
    if (EngineWorkData* work = Engine::GetWorkData()) {
        if (work->hoveredUnit == this)
            work->hoveredUnit = nullptr;
        if (work->pressedUnit == this)
            work->pressedUnit = nullptr;
    }
    UnitInstancePool& pool = Engine::GetUnitInstancePool();
    if (events)
        pool.Free(events);
    if (children) {
        children->KillChildren();
        pool.Free(children);
    }
}

void ParticleInstance::GetVector0(float* out) const {
    Copy3(out, scale);
}

void ParticleInstance::GetVector1(float* out) const {
    Copy3(out, rotation);
}

void ParticleInstance::Step() {
    childMember(this);
}

void ParticleInstance::PostEvent(uint16_t id, uint8_t kind) {
    if (!takesEvents)
        return;
    if (!events) {
        void* block = Engine::GetUnitInstancePool().Allocate();
        if (!block)
            return;
        std::memset(block, 0, sizeof(NodeEventBlock));
        events = static_cast<NodeEventBlock*>(block);
        const FrameMember aspects[4] = {frameMembers[kTranslationMember],
                                        frameMembers[kRotationMember], frameMembers[kScaleMember],
                                        frameMembers[kColourMember]};
        for (uint32_t i = 0; i < 4; ++i)
            events->constant[i] = aspects[i] == NoOpFrame ? 1 : 0;
        if (events->constant[NodeEventBlock::kTranslation])
            Copy3(events->translation, position);
        if (events->constant[NodeEventBlock::kRotation])
            Copy3(events->rotation, rotation);
        if (events->constant[NodeEventBlock::kScale])
            Copy3(events->scale, scale);
        if (events->constant[NodeEventBlock::kColour])
            std::memcpy(events->colour, colour, sizeof(colour));
    }
    if (events->count >= NodeEventBlock::kCapacity)
        return;
    events->kinds[events->count] = kind;
    events->ids[events->count] = id;
    ++events->count;
}

void ParticleInstance::SpawnChildEffect(const char* name) {
    const PackageResource* package = owner->package;
    const ObjectHandle* effect = package ? package->FindReference(name) : nullptr;
    if (!effect || effect->serial == 0)
        return;
    if (!children) {
        children = ChildInstanceTable::Create();
        if (!children)
            return;
        childMember = ResolveChildren;
    }
    if (childCount >= ChildInstanceTable::kPlaces)
        return;
    children->handles[childCount] =
        Engine::StartChildInstance(*effect, owner->listener, owner->layer);
    children->roots[childCount] = nullptr;
    ++childCount;
}

void ParticleInstance::ResolveChildren(ParticleInstance* node) {
    node->children->ResolveRoots();
}

void ParticleInstance::RunUpdateMembers(const EvaluationContext& frame) {
    ownerState &= ~kInverseValid;
    for (uint32_t i = 0; i < 5; ++i)
        frameMembers[i](this, frame);
    plainMembers[0](this);
    frameMembers[5](this, frame);
    plainMembers[1](this);
    plainMembers[2](this);
    frameMembers[6](this, frame);
    plainMembers[3](this);
}

void ParticleInstance::MultiplyBaseColor(ParticleInstance* node) {
    for (int i = 0; i < 4; ++i)
        node->colour[i] *= node->baseColour[i];
}

void ParticleInstance::MultiplyParentColor(ParticleInstance* node) {
    const float* parentColour = node->ownerUnit->GetColor();
    for (int i = 0; i < 4; ++i)
        node->colour[i] *= parentColour[i];
}

void ParticleInstance::ComposeWithOwner(ParticleInstance* node) {
    Math::Matrix34Multiply(node->matrix, node->matrix, node->ownerUnit->GetWorldMatrix());
}

void ParticleInstance::ComposeTransformWithOwner(ParticleInstance* node) {
    ComposeScaleRotationTranslation(node);
    Add3(&node->matrix[9], node->offset);
    Math::Matrix34Multiply(node->matrix, node->matrix, node->ownerUnit->GetWorldMatrix());
    AddBlockVector(node);
}

void ParticleInstance::ComposeTransformWithBlock(ParticleInstance* node) {
    ComposeScaleRotationTranslation(node);
    Add3(&node->matrix[9], node->offset);
    if (const NodeSharedBlock* block = GetSharedBlock(node)) {
        Math::Matrix34Multiply(node->matrix, node->matrix, block->transform);
        Add3(&node->matrix[9], block->vector);
    }
}

void ParticleInstance::ComposeTransformWithRoot(ParticleInstance* node) {
    ComposeScaleRotationTranslation(node);
    Math::Matrix34Multiply(node->matrix, node->matrix, RootTransform(node));
    Add3(&node->matrix[9], node->offset);
    AddBlockVector(node);
}

void ParticleInstance::ComposeTransformFromGetters(ParticleInstance* node) {
    ComposeFromGetters(node);
    Math::Matrix34Multiply(node->matrix, node->matrix, RootTransform(node));
    AddOwnerVector(node);
}

void ParticleInstance::ComposeTransformRelative(ParticleInstance* node) {
    ComposeFromGetters(node);
    Math::Matrix34Multiply(node->matrix, node->matrix, RootTransform(node));
    Add3(&node->matrix[9], node->offset);
    AddOwnerVector(node);
}

void ParticleInstance::RotateDirectionByAnglesYX(ParticleInstance* node,
                                                 const EvaluationContext& frame) {
    float angles[2];
    EvaluateAngles(node, frame, angles);
    RotateAboutY(node->direction, angles[0]);
    RotateAboutX(node->direction, angles[1]);
}

void ParticleInstance::RotateDirectionByAnglesXY(ParticleInstance* node,
                                                 const EvaluationContext& frame) {
    float angles[2];
    EvaluateAngles(node, frame, angles);
    RotateAboutX(node->direction, angles[0]);
    RotateAboutY(node->direction, angles[1]);
}

NodeSharedBlock* ParticleInstance::GetSharedBlock(ParticleInstance* node) {
    return static_cast<NodeSharedBlock*>(node->ownerUnit->GetSharedBlock());
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

} // namespace FulgorCore
