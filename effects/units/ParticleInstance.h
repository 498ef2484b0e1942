#pragma once

#include "effects/Core/Transform/EulerRotation.h"
#include "effects/Core/Value/EvaluationContext.h"
#include "effects/units/UnitInstance.h"

#include <cstdint>

namespace FulgorCore {

class FloatPairProperty;
struct ChildInstanceTable;
struct NodeEventBlock;
struct NodeSharedBlock;
struct PickBounds;

// A particle node of the unit tree. Least form until the node classes
// replace it: the fields its update members work on, the members
// themselves, posting events and spawning child effects. The node class
// that constructs a node installs its members from its data.
class ParticleInstance : public UnitInstance {
public:
    // Members that take the frame's evaluation times, and those that take
    // none.
    using FrameMember = void (*)(ParticleInstance* node, const EvaluationContext& frame);
    using PlainMember = void (*)(ParticleInstance* node);

    // The eleven update members run in a fixed order: frame members 0-4,
    // plain 0, frame 5, plain 1 and 2, frame 6, plain 3. The first four
    // frame members are the scale, rotation, translation and colour
    // members; one that is NoOpFrame keeps its aspect constant.
    static constexpr uint32_t kFrameMembers = 7;
    static constexpr uint32_t kPlainMembers = 4;
    static constexpr uint32_t kScaleMember = 0;
    static constexpr uint32_t kRotationMember = 1;
    static constexpr uint32_t kTranslationMember = 2;
    static constexpr uint32_t kColourMember = 3;

    // `ownerUnit` is the unit whose colour, matrix and shared block the node
    // composes with (its parent). A node whose data takes no events ignores
    // posted ones.
    ParticleInstance(InstanceRootUnit* owner, const InitialState& state, UnitInstance* ownerUnit,
                     bool takesEvents);
    // Gives back the event block and the child-instance record, setting the
    // child instances still valid dead; the pointer forgets the node.
    ~ParticleInstance() override;

    uint32_t GetKind() const override { return kParticleNode; }
    const float* GetWorldMatrix() const override { return matrix; }
    const float* GetColor() const override { return colour; }
    void GetVector0(float* out) const override;
    void GetVector1(float* out) const override;
    // Runs the child-resolution member.
    void Step() override;

    // Queues event `kind` with `id`; the ninth of a frame is dropped, and
    // nothing happens without the event block (pool exhausted).
    void PostEvent(uint16_t id, uint8_t kind);
    // Starts the package's referenced effect of that name as a child
    // instance on the root's layer, freed once it stops; nothing when the
    // name did not resolve, the pool is exhausted or 16 children run.
    void SpawnChildEffect(const char* name);
    // Clears bit 1 of the owner's state word, then the eleven members.
    void RunUpdateMembers(const EvaluationContext& frame);

    static void NoOpFrame(ParticleInstance*, const EvaluationContext&) {}
    static void NoOpPlain(ParticleInstance*) {}

    // Colour modes 1 (times the stored base colour) and 2, 3 (times the
    // owner's colour).
    static void MultiplyBaseColor(ParticleInstance* node);
    static void MultiplyParentColor(ParticleInstance* node);
    // M = M x the owner's matrix.
    static void ComposeWithOwner(ParticleInstance* node);
    // The four compositions of scale, rotation and translation, and the
    // fifth for a node that keeps its offset from its owner.
    static void ComposeTransformWithOwner(ParticleInstance* node);
    static void ComposeTransformWithBlock(ParticleInstance* node);
    static void ComposeTransformWithRoot(ParticleInstance* node);
    static void ComposeTransformFromGetters(ParticleInstance* node);
    static void ComposeTransformRelative(ParticleInstance* node);
    // Turns the owner's direction by the two angles of the data's angle
    // pair: about Y then X, or about X then Y.
    static void RotateDirectionByAnglesYX(ParticleInstance* node, const EvaluationContext& frame);
    static void RotateDirectionByAnglesXY(ParticleInstance* node, const EvaluationContext& frame);
    // The parameter block inside the node's owner, or null.
    static NodeSharedBlock* GetSharedBlock(ParticleInstance* node);
    using UnitInstance::GetSharedBlock;
    // Whole-frame steps of the three value and rate pairs while the node's
    // time is ahead of its integration time, then the motion and flag
    // members.
    static void IntegrateMotion(ParticleInstance* node);

    UnitInstance* ownerUnit;
    uint32_t ownerState = 0; // bit 1: the owner's inverse is valid
    float matrix[12];
    float colour[4] = {1.0f, 1.0f, 1.0f, 1.0f};
    float baseColour[4] = {1.0f, 1.0f, 1.0f, 1.0f};
    float scale[3] = {1.0f, 1.0f, 1.0f};
    float rotation[3] = {};
    float position[3] = {};
    float offset[3] = {};
    float direction[3] = {};
    // The owner's direction the angle pair turns, and the pair with its
    // two samples.
    const float* ownerDirection = nullptr;
    const FloatPairProperty* anglePair = nullptr;
    float angleSamples[2] = {};
    // Three (value, rate) pairs, the damping of the rates per axis, and the
    // time integrated up to.
    float motion[3][2][3] = {};
    float damping[3] = {1.0f, 1.0f, 1.0f};
    float integrationTime = 0.0f;
    PlainMember motionMember = NoOpPlain;
    PlainMember flagMember = NoOpPlain;
    EulerBuilder rotationBuilder;
    Composer composer;
    PlainMember finishMember = NoOpPlain;
    NodeEventBlock* events = nullptr;
    ChildInstanceTable* children = nullptr;
    uint8_t childCount = 0;
    uint8_t takesEvents;
    PlainMember childMember = NoOpPlain;
    // The shape the pointer is tested against; null when not pickable.
    const PickBounds* pickBounds = nullptr;
    FrameMember frameMembers[kFrameMembers];
    PlainMember plainMembers[kPlainMembers];

private:
    static void ResolveChildren(ParticleInstance* node);
};

} // namespace FulgorCore
