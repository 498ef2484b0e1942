#pragma once

#include "effects/Core/Resource/EffectPartResource.h"
#include "effects/Core/Resource/UnitResource.h"
#include "effects/units/InstanceRootUnit.h"
#include "effects/units/ParticleDrawPart.h"
#include "effects/units/ParticleEmitterPart.h"
#include "effects/units/ParticleExtraPart.h"
#include "effects/units/ParticleInstance.h"
#include "effects/units/ParticlePartCreators.h"

#include <array>
#include <cstdint>

namespace FulgorCore {

// A particle instance with A draw units, B emitter units and C extra
// units. Each part is built from the unit data through the part creators:
// a kind not built yet is skipped and the particle lives without it; a
// part that found no block, or an extra unit of a kind other than 1 or 2,
// ends the particle at once (it is still returned to its spawner).
template <uint32_t A, uint32_t B, uint32_t C>
class ParticleInstanceT final : public ParticleInstance {
    static_assert(A <= 3 && B <= 2 && C <= 1, "the factory table's counts");

public:
    ParticleInstanceT(InstanceRootUnit* owner, ParticleEmitterPart* auxObject,
                      const InitialState& state, const UnitResource* unitData,
                      const ParticleSpawnSettings* settings, int32_t pointIndex,
                      const float* origin, const float* position, const float* velocity,
                      const float* rotation, const float* direction)
        : ParticleInstance(owner, auxObject, state, unitData, settings, pointIndex, origin,
                           position, velocity, rotation, direction) {
        if (alive && unitData)
            BuildParts(*unitData);
    }

    // The parts go before the base body: they may still read the
    // particle's blocks.
    ~ParticleInstanceT() override {
        for (ParticleDrawPart*& draw : draws_) {
            if (draw) {
                draw->ReleaseDrawListCount();
                delete draw;
                draw = nullptr;
            }
        }
        for (ParticleEmitterPart*& emitter : emitters_) {
            delete emitter;
            emitter = nullptr;
        }
        for (ParticleExtraPart*& extra : extras_) {
            if (!extra)
                continue;
            Unlink(extra);
            delete extra;
            extra = nullptr;
        }
    }

    // Each emitter's start-event children, then the base start.
    void Start() override {
        if (!alive)
            return;
        for (ParticleEmitterPart* emitter : emitters_)
            if (emitter)
                emitter->SpawnEventChildren();
        ParticleInstance::Start();
    }
    // The host object stops, then each emitter's death events.
    void OnEnd() override {
        ParticleInstance::OnEnd();
        for (ParticleEmitterPart* emitter : emitters_)
            if (emitter)
                emitter->SpawnEventChildrenType2();
    }
    // The posted events, then the emitters, then the draw units.
    void Step() override {
        ParticleInstance::Step();
        for (ParticleEmitterPart* emitter : emitters_)
            if (emitter)
                emitter->Update();
        for (ParticleDrawPart* draw : draws_)
            if (draw)
                draw->Step();
    }
    // The base step, then the draw units, then the extra unit, which joins
    // the root's list of this frame.
    void UpdateTransform() override {
        ParticleInstance::UpdateTransform();
        for (ParticleDrawPart* draw : draws_)
            if (draw)
                draw->Update();
        for (ParticleExtraPart* extra : extras_) {
            if (!extra)
                continue;
            extra->Update();
            extra->nextExtra = nullptr;
            if (owner->extraUnitTail)
                owner->extraUnitTail->nextExtra = extra;
            else
                owner->extraUnitHead = extra;
            owner->extraUnitTail = extra;
        }
    }
    void CollectDrawUnits() override {
        for (ParticleDrawPart* draw : draws_)
            if (draw)
                draw->Collect();
    }

    const std::array<ParticleDrawPart*, A>& DrawParts() const { return draws_; }
    const std::array<ParticleEmitterPart*, B>& EmitterParts() const { return emitters_; }
    const std::array<ParticleExtraPart*, C>& ExtraParts() const { return extras_; }

private:
    void BuildParts(const UnitResource& data) {
        const ParticlePartCreators& creators = ParticlePartCreators::Current();
        bool noBlock = false;
        for (uint32_t i = 0; i < A && !noBlock; ++i)
            draws_[i] = creators.draw(this, data.GetDrawPart(i), noBlock);
        for (uint32_t i = 0; i < B && !noBlock; ++i)
            emitters_[i] = creators.emitter(this, data.GetEmitterPart(i), noBlock);
        for (uint32_t i = 0; i < C && !noBlock; ++i) {
            const EffectPartResource* part = data.GetEffectPart(i);
            const uint32_t kind = part ? part->GetKind() : 0;
            if (kind != 1 && kind != 2) {
                noBlock = true;
                break;
            }
            extras_[i] = creators.extra(this, part, noBlock);
        }
        if (noBlock)
            Finish();
    }

    // The root's list of this frame's extra units must not keep a unit
    // that goes.
    void Unlink(ParticleExtraPart* extra) {
        ParticleExtraPart* previous = nullptr;
        for (ParticleExtraPart* e = owner->extraUnitHead; e; previous = e, e = e->nextExtra) {
            if (e != extra)
                continue;
            (previous ? previous->nextExtra : owner->extraUnitHead) = e->nextExtra;
            if (owner->extraUnitTail == e)
                owner->extraUnitTail = previous;
            return;
        }
    }

    std::array<ParticleDrawPart*, A> draws_{};
    std::array<ParticleEmitterPart*, B> emitters_{};
    std::array<ParticleExtraPart*, C> extras_{};
};

} // namespace FulgorCore
