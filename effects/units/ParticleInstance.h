#pragma once

#include "effects/Core/Math/Matrix.h"
#include "effects/Core/Resource/UnitTimelineResource.h"
#include "effects/Core/Transform/EulerRotation.h"
#include "effects/Core/Value/EvaluationContext.h"
#include "effects/Core/Value/UnitClock.h"
#include "effects/units/ParticleSpawnSettings.h"
#include "effects/units/TransformBlock.h"
#include "effects/units/UnitInstance.h"

#include <cstdint>

namespace FulgorCore {

class ColorProperty;
class EmitterTransformUnit;
class FloatTripleProperty;
class ParticleEmitterPart;
class UnitEventSchedule;
class UnitResource;
struct ChildEffectLink;
struct NodeEventBlock;
struct NodeSharedBlock;
struct PickBounds;

// One live particle of an effect (unit kind 3): its own transform with two
// world matrices it flips between, its colour, the events posted to it and
// the schedules they run, a child effect it may have started, the host
// object it may stand for, and the getters its children and parts read.
// What it does each frame goes through members chosen at construction; an
// aspect that does not change costs one call of a no-op. The composed
// classes (ParticleInstanceT) add the draw, emitter and extra units.
class ParticleInstance : public UnitInstance {
public:
    // Members that take the unit's clock: the property strategies, and the
    // other per-frame steps that evaluate a property.
    using FrameMember = void (*)(ParticleInstance* node, const UnitClock& clock);
    // Where the integration takes its velocity from: three floats, which
    // need not be `buffer`.
    using VelocityMember = const float* (*)(ParticleInstance* node, float* buffer,
                                            const UnitClock& clock);
    using PlainMember = void (*)(ParticleInstance* node);
    using VectorMember = void (*)(const ParticleInstance* node, float* out);
    using ScalarMember = float (*)(const ParticleInstance* node);
    using BlockMember = void* (*)(ParticleInstance* node);

    // InheritFlags: byte 1 the colour mode, byte 2 the inherit mode, and
    // the three inherit bits of mode 3 and the spawner's position.
    static constexpr uint32_t kInheritScaleBit = 1u << 24;
    static constexpr uint32_t kInheritRotationBit = 1u << 25;
    static constexpr uint32_t kPositionFromAuxBit = 1u << 26;

    // Events posted by the particle itself.
    static constexpr uint8_t kStartEvent = 18;
    static constexpr uint8_t kLoopEndEvent = 19;

    // The eleven arguments every factory hands on: the instance's root,
    // the spawning emitter (or null), the clock with the parent, the unit
    // data, the spawn settings, the point index (-1 none), and the spawn
    // origin, position, velocity, rotation and direction (3 floats each).
    // Without a transform block the particle ends at once.
    ParticleInstance(InstanceRootUnit* owner, ParticleEmitterPart* auxObject,
                     const InitialState& state, const UnitResource* unitData,
                     const ParticleSpawnSettings* settings, int32_t pointIndex, const float* origin,
                     const float* position, const float* velocity, const float* rotation,
                     const float* direction);
    // Clears the pointer's units, sets a running child effect dead, gives
    // back the event, shared and transform blocks; then the children go.
    ~ParticleInstance() override;

    // The child effect this particle started has gone: its hold is given
    // back.
    void OnChildInstanceEnded(InstanceRootUnit* child) override;
    // The host object starts, then event 18.
    void Start() override;
    // The host object stops.
    void OnEnd() override;
    // Posted events into schedules, then the schedules.
    void Step() override;
    // The ten steps of the frame's transform.
    void UpdateTransform() override;
    // Event 19.
    void OnLoopEnd() override;
    // Final and inline: the draw units read the matrix and the colour of
    // their particle every frame, and a direct read spares them the
    // particle's first cache line.
    const float* GetWorldMatrix() const final {
        return currentWorldMatrix ? currentWorldMatrix : Math::kIdentity34;
    }
    const float* GetPreviousWorldMatrix() const override;
    // Computed at most once a frame, when first asked.
    const float* GetInverseWorldMatrix() const override;
    const float* GetColor() const final {
        static constexpr float kWhite[4] = {1.0f, 1.0f, 1.0f, 1.0f};
        return transformBlock ? transformBlock->color : kWhite;
    }
    void* GetSharedBlock() override;
    // Scale and rotation by the inherit mode.
    // Final: the draw units scale by it every frame.
    void GetVector0(float* out) const final;
    void GetVector1(float* out) const override;
    void GetVector2(float* out) const override;
    void GetVector3(float* out) const override;
    void GetVector4(float* out) const override;
    void GetVector5(float* out) const override;
    void GetVector6(float* out) const override;
    // The position, or the spawner's point `index` when the particle
    // follows its spawner.
    void GetVector7(float* out, uint32_t index) const override;
    void* GetAuxObject() override;
    uint32_t GetKind() const override { return kParticleNode; }

    // The unit's clock: its own two times and its last step.
    UnitClock Clock() const {
        UnitClock clock;
        clock.timeA = time;
        clock.timeB = totalTime;
        clock.lastStep = lastStep;
        return clock;
    }
    uint32_t ColorMode() const { return (inheritFlags >> 8) & 0xFFu; }
    uint32_t InheritMode() const { return (inheritFlags >> 16) & 0xFFu; }

    // Queues event `event` after `delay` frames when the data takes events;
    // the ninth of a frame is dropped, and nothing happens without the
    // event block (pool exhausted).
    void PostEvent(uint16_t delay, uint8_t event);
    // The events posted since the last step become schedules (through
    // their link chains), then the schedules run.
    void ProcessPostedEvents();
    // Starts the package's referenced effect of that name as this
    // particle's child effect, which it holds until it goes; nothing when
    // the name did not resolve, the pool is exhausted or one runs already.
    void SpawnChildEffect(const char* name);
    // Clears the inverse, then the update members in their order: the two
    // accelerations, scale, rotation, translation (which integrates), then
    // the steps of the transform.
    void RunUpdateMembers(const UnitClock& clock);
    // Sets the transform-track member for the unit's animated groups.
    void SelectTransformEvaluator();
    // An own shared block when the root shares state; else the root's.
    void AttachOwnSharedBlock();

    // The one empty step of every clocked slot: PostEvent recognises a
    // constant scale, rotation or colour by it.
    static void NoOpWithArgument(ParticleInstance*, const UnitClock&) {}
    static void NoOpPlain(ParticleInstance*) {}

    // The property strategies, chosen once by SelectStrategies. "Linked"
    // is the emitter transform unit the particle was spawned on; colour and
    // scale inherit from it by product, rotation and translation by sum.
    // Colour: the property, the property times the linked colour, the
    // linked colour, or white again each frame (for what multiplies it in
    // place later in the frame).
    static void EvaluateColour(ParticleInstance* node, const UnitClock& clock);
    static void EvaluateColourInherited(ParticleInstance* node, const UnitClock& clock);
    static void InheritColour(ParticleInstance* node, const UnitClock& clock);
    static void ResetColour(ParticleInstance* node, const UnitClock& clock);
    static void EvaluateScale(ParticleInstance* node, const UnitClock& clock);
    static void EvaluateScaleInherited(ParticleInstance* node, const UnitClock& clock);
    static void InheritScale(ParticleInstance* node, const UnitClock& clock);
    // The base rotation plus the property, the linked rotation or both.
    static void EvaluateRotation(ParticleInstance* node, const UnitClock& clock);
    static void EvaluateRotationInherited(ParticleInstance* node, const UnitClock& clock);
    static void InheritRotation(ParticleInstance* node, const UnitClock& clock);
    // Each runs the integration step first; the translation is then the
    // integrated position, plus the property and/or the linked
    // translation. StepPosition alone marks a translation that nothing
    // animates.
    static void StepPosition(ParticleInstance* node, const UnitClock& clock);
    static void StepPositionInherited(ParticleInstance* node, const UnitClock& clock);
    static void StepPositionWithOffset(ParticleInstance* node, const UnitClock& clock);
    static void StepPositionWithOffsetInherited(ParticleInstance* node, const UnitClock& clock);
    // position += (velocity + local velocity) x dt, the second times the
    // speed factor.
    static void IntegratePosition(ParticleInstance* node, const UnitClock& clock);
    static void IntegratePositionScaled(ParticleInstance* node, const UnitClock& clock);
    // local velocity += acceleration x dt.
    static void IntegrateAcceleration(ParticleInstance* node, const UnitClock& clock);
    // The world acceleration, scaled by the world scale and the root's axis
    // lengths, into its own velocity and then its displacement (which the
    // compositions add to the world translation).
    static void IntegrateWorldAcceleration(ParticleInstance* node, const UnitClock& clock);
    // The default velocity source: the velocity given at the spawn.
    static const float* GetInitialVelocity(ParticleInstance* node, float* buffer,
                                           const UnitClock& clock);

    // The inherit bits of the link record, one per property.
    static constexpr uint32_t kInheritsColour = 1u << 0;
    static constexpr uint32_t kInheritsScale = 1u << 1;
    static constexpr uint32_t kInheritsRotation = 1u << 2;
    static constexpr uint32_t kInheritsTranslation = 1u << 3;
    // Chooses every strategy slot from the unit data, the shared-data unit
    // (`shared`, the data itself when it names none) and the inherit bits
    // (ignored without a linked unit), takes each chosen property's object
    // and draws its random state, in the order colour, scale, rotation,
    // translation, local acceleration, world acceleration, speed factor.
    void SelectStrategies(const UnitResource& data, const UnitResource& shared,
                          uint32_t inheritBits);

    // Colour modes 1 (times the colour kept at spawn) and 2, 3 (times the
    // parent's colour).
    static void MultiplyBaseColor(ParticleInstance* node);
    static void MultiplyParentColor(ParticleInstance* node);
    // The transform tracks of each non-empty choice of groups.
    static void EvaluateTracksS(ParticleInstance* node, const UnitClock& clock);
    static void EvaluateTracksR(ParticleInstance* node, const UnitClock& clock);
    static void EvaluateTracksT(ParticleInstance* node, const UnitClock& clock);
    static void EvaluateTracksSR(ParticleInstance* node, const UnitClock& clock);
    static void EvaluateTracksST(ParticleInstance* node, const UnitClock& clock);
    static void EvaluateTracksRT(ParticleInstance* node, const UnitClock& clock);
    static void EvaluateTracksSRT(ParticleInstance* node, const UnitClock& clock);
    // M = M x the parent's matrix.
    static void ComposeWithOwner(ParticleInstance* node);
    // The compositions of scale, rotation and translation: in world (the
    // spawn position added as it is), over the parent, over the shared
    // block, over the root, from the getters, and the last for a node that
    // keeps its offset from its owner.
    static void ComposeTransformInWorld(ParticleInstance* node);
    static void ComposeTransformWithOwner(ParticleInstance* node);
    static void ComposeTransformWithBlock(ParticleInstance* node);
    static void ComposeTransformWithRoot(ParticleInstance* node);
    static void ComposeTransformFromGetters(ParticleInstance* node);
    static void ComposeTransformRelative(ParticleInstance* node);
    // The parameter block the particle shares, or null.
    static NodeSharedBlock* GetSharedParameters(ParticleInstance* node);
    // Whole-frame steps of the three value and rate pairs while the node's
    // time is ahead of its integration time, then the motion and flag
    // members.
    static void IntegrateMotion(ParticleInstance* node);
    // The orientation: a frame whose Z axis is the emission direction,
    // which turns the particle (link orientation mode 1) or the axes its
    // velocity is turned about (velocity rotation); and the camera- or
    // motion-facing builders the data's orientation mode picks each frame.
    // `direction` gives Z; X is square to the parent's Y axis (its Z axis
    // when nearly parallel); the identity for a direction of squared
    // length 0.0001 or less.
    void MakeDirection(const float* direction);
    // The frame composed after scale, rotation and translation, before
    // the parent: the particle's axes and its integrated motion (held in
    // the frame) turn with it.
    static void ApplyOrientationBasis(ParticleInstance* node);
    // Orientation modes 1-6 (1 along the motion; 2-6 facing the camera),
    // and mode 3 under its own name: point-facing, which leaves the axes
    // as they are when the camera is straight above.
    template <uint32_t Mode> static void ComputeOrientationMatrix(ParticleInstance* node);
    static void ComputeOrientationMatrix(ParticleInstance* node);
    // The initial velocity turned by the two angles (about the frame's X,
    // then its Y axis): link orientation mode 0 takes the velocity into the
    // frame and back, mode 1 holds it in the frame already.
    template <uint32_t Mode>
    static const float* RotateVelocity(ParticleInstance* node, float* buffer,
                                       const UnitClock& clock);
    // The builders by the data's orientation mode + 7 x the package's
    // orientation set; the velocity sources by link orientation mode. A
    // mode or set past them turns nothing (and a link mode past its table
    // reads as 0).
    static PlainMember OrientationBuilder(uint32_t mode, uint32_t set);
    static VelocityMember VelocityRotationSource(uint32_t linkMode);
    static uint32_t LinkOrientationMode(const ParticleSpawnSettings& link);
    // Listener slot 14 with the current translation.
    static void NotifyListenerPosition(ParticleInstance* node);
    // The current translation moved back toward the previous one by the
    // lag property.
    static void InterpolatePosition(ParticleInstance* node, const UnitClock& clock);
    // Axis members (rows 0-2 of the current matrix, or the zero vector)
    // and plane-scale members (the mean approximate length of two rows).
    static void GetAxisX(const ParticleInstance* node, float* out);
    static void GetAxisY(const ParticleInstance* node, float* out);
    static void GetAxisZ(const ParticleInstance* node, float* out);
    static void GetDefaultAxis(const ParticleInstance* node, float* out);
    static float GetPlaneScaleYZ(const ParticleInstance* node);
    static float GetPlaneScaleXZ(const ParticleInstance* node);
    static float GetPlaneScaleXY(const ParticleInstance* node);
    // Shared-block members.
    static void* GetSharedBlockFromOwner(ParticleInstance* node);
    static void* GetOwnSharedBlock(ParticleInstance* node);
    // The world-matrix forwarder of a particle with its own shared block:
    // the block's transform follows the particle.
    static void ForwardWorldMatrix(ParticleInstance* node);
    // Ties the running child effect to the particle each frame.
    static void FollowChildEffect(ParticleInstance* node);
    // Registers the particle for the pointer.
    static void PushFrameList(ParticleInstance* node);

    // The particle's own fades (alpha of its colour), chosen once from its
    // data: by camera distance, and by view angle in one of four modes.
    void SelectFadeMembers();
    static void ApplyDistanceFade(ParticleInstance* node);
    static void ApplyViewAngleFade(ParticleInstance* node);
    static void ApplyYawPitchAngleFade(ParticleInstance* node);
    static void ApplyYawAngleFade(ParticleInstance* node);
    static void ApplyPitchAngleFade(ParticleInstance* node);

    // Unit events of kinds 0-3. An action takes one unit the entry
    // selected; ForEachEventTarget selects them around `start` by the
    // target mode (0 and 1 from the particle, 2 from the root) and the
    // depth (the units that many levels below, or at 0 the unit itself).
    using EventAction = void (*)(UnitInstance* target, const UnitTimelineResource::Item& entry);
    template <EventAction Action>
    static void ForEachEventTarget(ParticleInstance* start, const UnitTimelineResource::Item& entry,
                                   int32_t mode, int32_t depth);
    // The four actions: kinds 0-2 act on particles only, kind 3 on any
    // unit that has not ended.
    static void MorphOn(UnitInstance* unit, const UnitTimelineResource::Item& entry);
    static void SpawnChildOn(UnitInstance* unit, const UnitTimelineResource::Item& entry);
    static void TriggerOn(UnitInstance* unit, const UnitTimelineResource::Item& entry);
    static void FinishOn(UnitInstance* unit, const UnitTimelineResource::Item& entry);
    // Kind 0: plays the tracks of the entry's unit on `target` for the
    // entry's duration, completing a morph that runs first. Nothing for a
    // particle without an event block or a unit the package lacks.
    static void MorphTracks(ParticleInstance* target, const UnitTimelineResource::Item& entry);
    // Kind 1: a particle of the entry's unit under `target`, at its
    // translation.
    static void SpawnChildParticle(ParticleInstance* target,
                                   const UnitTimelineResource::Item& entry);
    // Kind 2: event `event` on `target` as if posted with `delay`.
    static void TriggerEvent(ParticleInstance* target, int32_t delay, uint8_t event);
    // The morph step (TrackMorphMember while a morph runs) and its
    // completion, which puts back every aspect with a restore flag.
    static void StepTrackMorph(ParticleInstance* node, const UnitClock& clock);
    static void EndTrackMorph(ParticleInstance* node);
    // Event `event`'s record through its link chain into one schedule on
    // this particle, `delay` frames late; nothing for a record that is
    // missing or holds no events, or with the pool exhausted.
    void QueueSchedule(uint32_t event, float delay);

    // Fields: what the draw units read every frame first, in one cache
    // line: the current matrix, the axis member, the inherit flags and the
    // scale the scale getter reads; then the transform block, the
    // plane-scale member, the data and what the frame's transform step
    // reads.
    float* currentWorldMatrix = nullptr;
    VectorMember axisMember = GetDefaultAxis;
    uint32_t inheritFlags;
    // The scale the composition reads (with the translation and rotation
    // below).
    float scale[3] = {1.0f, 1.0f, 1.0f};
    TransformBlock* transformBlock = nullptr;
    ScalarMember planeScaleMember = GetPlaneScaleXY;
    const UnitResource* unitData;
    uint8_t takesEvents;
    float inheritedScale[3] = {1.0f, 1.0f, 1.0f};
    float inheritedRotation[3] = {};
    // The translation and rotation the composition reads, and the rotation
    // given at the spawn that the rotation strategies add to.
    float position[3] = {};
    float rotation[3] = {};
    float baseRotation[3] = {};
    float* previousWorldMatrix = nullptr;
    // The emitter transform unit the particle inherits from: the spawner's
    // attached unit its link index names; null for none.
    const EmitterTransformUnit* linkedUnit = nullptr;
    // The property objects of the animated properties (own or shared
    // data); unset for the others.
    const ColorProperty* colourProperty = nullptr;
    const FloatTripleProperty* scaleProperty = nullptr;
    const FloatTripleProperty* rotationProperty = nullptr;
    const FloatTripleProperty* translationProperty = nullptr;
    ChildEffectLink* childEffectLink = nullptr;
    UnitEventSchedule* scheduleHead = nullptr;
    UnitEventSchedule* scheduleTail = nullptr;
    NodeEventBlock* postedEvents = nullptr;
    ParticleEmitterPart* auxObject;
    // The link record the spawn handed over, and of its flags the aspects
    // taken from the linked unit (none without one).
    ParticleSpawnSettings link = ParticleSpawnSettings::Default();
    uint8_t inheritBits = 0;

    // The members of the frame's transform step, in their order.
    FrameMember colourStep = NoOpWithArgument;
    PlainMember colorInheritMember = NoOpPlain;
    PlainMember distanceFadeMember = NoOpPlain;
    PlainMember viewAngleFadeMember = NoOpPlain;
    PlainMember sharedTransformMember = NoOpPlain;
    PlainMember postTransformMember = NoOpPlain;
    PlainMember frameListMember = NoOpPlain;
    PlainMember runSchedulesMember = NoOpPlain;
    // The update members RunUpdateMembers calls, in their order: world and
    // local acceleration, scale, rotation, translation (which runs the
    // integration step), track morph, transform tracks (clocked);
    // integrate (plain); direction (clocked); compose, orientation
    // (plain); interpolate (clocked); notify position (plain).
    FrameMember worldAccelerationStep = NoOpWithArgument;
    FrameMember localAccelerationStep = NoOpWithArgument;
    FrameMember scaleStep = NoOpWithArgument;
    FrameMember rotationStep = NoOpWithArgument;
    FrameMember translationStep = StepPosition;
    FrameMember integrationStep = IntegratePosition;
    VelocityMember velocitySource = GetInitialVelocity;
    FrameMember trackMorphMember = NoOpWithArgument;
    FrameMember transformTracksMember = NoOpWithArgument;
    PlainMember integrateMember = NoOpPlain;
    PlainMember composeMember;
    PlainMember orientationStep = NoOpPlain;
    FrameMember interpolateMember = NoOpWithArgument;
    PlainMember notifyPositionMember = NoOpPlain;
    // Run by every composition right after C(S, R, T): the orientation
    // basis, or nothing.
    PlainMember orientationBasisStep = NoOpPlain;
    // The package's orientation set (which builders the modes have).
    uint32_t orientationSet = 0;
    // What IntegrateMotion runs after the integration: the data's motion
    // member and the one its flags choose.
    PlainMember motionMember = NoOpPlain;
    PlainMember flagMember = NoOpPlain;
    BlockMember sharedBlockMember;

    // The translation offset the compositions add, and the direction the
    // particle was emitted along (its orientation basis's Z).
    float offset[3] = {};
    float direction[3] = {0.0f, 0.0f, 1.0f};
    // Three (value, rate) pairs, the damping of the rates per axis, and the
    // time integrated up to.
    float motion[3][2][3] = {};
    float damping[3] = {1.0f, 1.0f, 1.0f};
    float integrationTime = 0.0f;
    int32_t pointIndex;
    // The shape the pointer is tested against; null when not pickable.
    const PickBounds* pickBounds = nullptr;

private:
    static void RunSchedules(ParticleInstance* node);
    void StartHostObject();
    void StopHostObject();
    // The spawn position and velocity in the frame of the transform mode,
    // and the composition that frame takes.
    void TakeSpawnFrame(const float* origin, const float* positionIn, const float* velocity,
                        const float* rotationIn);
    // Velocity rotation wanted: the data turns it by angles not always 0.
    bool WantsVelocityRotation() const;
    // The basis in the parent's frame (`toParent` its inverse world
    // matrix), rows renormalised.
    void ComposeBasisWithParent(const float* toParent);
    // Link orientation mode 1: the particle turns by the basis, and its
    // velocity `v` is held in the basis's frame.
    void HoldVelocityInBasis(float* v);
    // The velocity source that turns the velocity, its random values and
    // the basis inverse.
    void StartVelocityRotation();
    void InstallMembers();
};

static_assert(sizeof(ParticleInstance) <= kUnitBlockSize);

} // namespace FulgorCore
