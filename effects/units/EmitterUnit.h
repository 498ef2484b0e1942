#pragma once

#include "effects/Core/Value/EvaluationContext.h"
#include "effects/units/EmissionTimer.h"
#include "effects/units/EmitterShapeParameters.h"
#include "effects/units/ParticleEmitterPart.h"
#include "effects/units/UnitInstance.h"

#include <cstdint>

namespace FulgorCore {

class EmitterResource;
class EmitterTransformUnit;
class InstanceRootUnit;
class ModelResource;
class ParticleInstance;
class UnitResource;
struct ParticleSpawnSettings;
struct Xorshift128;

// The emitting part of a particle instance: each frame it refreshes its
// shape and orientation, walks its timing items and spawns particles at
// the times, places and counts its data asks for; it also emits on its
// owner's birth and death. It lives in one pool block (plus one for its
// items and one per eight timers) and is driven only by its owner. The nine
// kinds (EmitterUnitT<1> to <9>) differ in the shape they emit from.
class EmitterUnit : public ParticleEmitterPart {
public:
    // (emitter, item) -> point number.
    using Picker = int32_t (*)(EmitterUnit* emitter, uint32_t item);
    // (emitter, evaluation context, point number, out position, out
    // direction, out speed).
    using Generator = void (*)(EmitterUnit* emitter, const EvaluationContext& context,
                               int32_t index, float* position, float* direction, float* speed);
    using AttachedUpdater = void (*)(EmitterUnit* emitter, float step);
    // What makes an emitted particle: (root, spawning emitter, clock, unit
    // data, the item's settings, point index, the owner's translation,
    // position, velocity, rotation, direction) -> particle or null. The
    // runtime's is the particle factory table; tests put a recording one
    // in its place.
    using ParticleFactory = UnitInstance* (*)(InstanceRootUnit* root, EmitterUnit* spawner,
                                              const UnitInstance::InitialState& state,
                                              const UnitResource* unit,
                                              const ParticleSpawnSettings* settings,
                                              int32_t pointIndex, const float* origin,
                                              const float* position, const float* velocity,
                                              const float* rotation, const float* direction);
    static ParticleFactory& Factory();
    static const ParticleFactory kBuiltInFactory;

    static constexpr uint32_t kMaxItems = EmitterItemState::kItems;
    static constexpr uint32_t kTimerBlocks = 4;
    static constexpr uint32_t kMaxTimers = kTimerBlocks * EmitterTimerBlock::kTimers;
    static constexpr uint32_t kAttached = 4;
    // Distance emissions of one timer in one frame; more than the unit pool
    // could hold particles for. Past them the last point catches up.
    static constexpr uint32_t kMaxDistanceEmissions = 4096;
    // Interval emissions of one timer in one frame, for the same reason.
    static constexpr uint32_t kMaxIntervalEmissions = 4096;
    // The most frames of a newborn's advance taken one at a time: more than
    // any start offset asks for (an event emission adds the 16-bit offset
    // twice). The rest of a longer advance, which only a newborn without end
    // or of a longer life can take, is one step.
    static constexpr int64_t kMaxSingleFrameAdvance = 65535;

    // The emitter of the data's kind for `owner` in a pool block, or null
    // when no block is free or the kind is none of 1-9. When a further block
    // (items, timers) cannot be had, or the shape data is unusable, the
    // emitter is still returned but its owner has ended.
    static EmitterUnit* Create(UnitInstance* owner, const EmitterResource* data);
    // The particle classes' creator: `noBlock` is set when the emitter's own
    // block could not be had.
    static ParticleEmitterPart* CreatePart(ParticleInstance* owner, const EmitterResource* data,
                                           bool& noBlock);

    // Deletes the attached units, gives back the timer and item blocks.
    ~EmitterUnit() override;

    // Virtual operations in their fixed order.
    // The attached transforms, the shape at the owner's time, the timers.
    void Update() override;
    virtual void UpdateShape(float time) = 0;
    // count particles of spawn item `item`, due `age` frames ago.
    virtual void Emit(float time, float age, uint32_t count, uint32_t item, float speedScale);
    // The same, each displaced by `point` minus the owner's position.
    virtual void EmitAt(float time, float age, uint32_t count, uint32_t item, float speedScale,
                        const float* point);
    // The world position of shape point `index`; the owner's for -1 (all
    // bits set) and for the kinds without points.
    void GetPointPosition(uint32_t index, float* out) const override;
    const EmitterTransformUnit* GetLinkedUnit(int32_t index) const override;
    virtual void Hook() {}

    // The timers at the owner's clock: end frame, interval emissions with
    // their lateness as age, then emission by distance.
    void DispatchTimedEvents();
    void EmitByDistance(EmissionTimer& timer);
    // One particle of spawn item `item`, advanced by the whole frames of
    // its age plus the item's start offset, never past its life.
    void SpawnParticle(float age, uint32_t item, const float* position, const float* direction,
                       float speed, int32_t pointIndex);
    // Birth and death emissions of the items whose trigger matches.
    void SpawnEventChildren() override;
    void SpawnEventChildrenType2() override;

    static void UpdateAttachedTransforms(EmitterUnit* emitter, float step);
    static void NoAttachedUpdate(EmitterUnit*, float) {}
    // The point pickers: "GnPT" 1 and 0.
    static int32_t PickRandomIndex(EmitterUnit* emitter, uint32_t item);
    static int32_t PickSequentialIndex(EmitterUnit* emitter, uint32_t item);
    // Kinds 2-4 have no points.
    static int32_t NoPick(EmitterUnit*, uint32_t) { return -1; }

    EmitterTimerBlock* GetTimerBlock(uint32_t i) const {
        return i < kTimerBlocks ? timerBlocks[i] : nullptr;
    }
    EmissionTimer* GetTimer(uint32_t i) const;
    // The owner's evaluation context at `time`.
    EvaluationContext ContextAt(float time) const;
    // v x the emitter rotation x the owner's world rotation.
    void RotateToWorld(float* out, const float* v) const;
    // The local point placed in world.
    void PlaceInWorld(float* out, const float* local) const;
    const float* OwnerPosition() const;

    // Fields. The shape frame holds the emitter rotation, the axis rotation,
    // the kind's per-frame values and the samples drawn at construction.
    EmitterShapeFrame shape{};
    UnitInstance* owner;
    const EmitterResource* data;
    Xorshift128* random;
    EmitterItemState* itemState = nullptr;
    EmitterTimerBlock* timerBlocks[kTimerBlocks] = {};
    EmitterTransformUnit* attached[kAttached] = {};
    uint32_t itemCount = 0;
    uint32_t timerCount = 0;
    uint32_t timerBlockCount = 0;
    AttachedUpdater attachedUpdater = NoAttachedUpdate;
    Picker picker = NoPick;
    Generator generator = nullptr;
    // The kind's points: count (0 for the kinds without), the shared
    // sequence counter, kind 7's segments and rings, kind 1's model.
    uint32_t pointCount = 0;
    uint16_t sharedCounter = 0;
    uint8_t alongAxis = 0;
    uint8_t hasPoints = 0;
    int32_t segments = 0;
    int32_t rings = 0;
    float ringStep = 0.0f;
    float segmentStep = 0.0f;
    const ModelResource* model = nullptr;
    float speedSample = 0.0f;

protected:
    // Takes the item and timer blocks and the attached units; the kind's
    // constructor then sets up its shape. `ok` is false when a block is
    // missing, and the owner has then ended.
    EmitterUnit(UnitInstance* owner, const EmitterResource* data);
    // Ends the owner: its data cannot be emitted from.
    void Refuse();
    bool ok = true;

private:
    // An EmitterTransformUnit for each attach byte that names a unit.
    void AttachUnits();
    void EmitEach(float time, float age, uint32_t count, uint32_t item, float speedScale,
                  const float* shift);
    // The spacing `times` particles of item `item` give its rotation,
    // whether they were made or not.
    void AdvanceRotation(uint32_t item, float times);
    void SpawnEventItems(uint32_t trigger, float time, bool refreshShape);
};

static_assert(sizeof(EmitterUnit) <= kUnitBlockSize);

} // namespace FulgorCore
