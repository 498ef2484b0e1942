#pragma once

#include "effects/Core/Resource/EffectPartResource.h"
#include "effects/Core/Resource/ParticleResource.h"
#include "effects/Core/Resource/UnitResource.h"
#include "effects/render/Renderer.h"
#include "effects/render/RenderStateWord.h"
#include "effects/units/DrawLists.h"
#include "effects/units/InstanceRootUnit.h"
#include "effects/units/ParticleDrawPart.h"
#include "effects/units/ParticleEmitterPart.h"
#include "effects/units/ParticleExtraPart.h"
#include "effects/units/ParticleInstance.h"
#include "effects/units/ParticlePartCreators.h"

#include <cstdint>

namespace FulgorCore {

// A particle instance with A draw units, B emitter units and C extra
// units: one class per combination, so that each frame's steps visit
// exactly the parts the class has, without reading a count or testing a
// pointer. The parts are built from the unit data, in that order, through
// the part creators; a part that cannot be built (no class, no block)
// ends the particle at once, keeping what was built before it.
//
// Each draw unit is counted in the root's draw lists by its category and
// list before it is built, and given back when the particle goes, so the
// root sizes each frame's lists from the counts alone.
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

    // The draw units' counts and the parts go before the base body: the
    // parts may still read the particle's blocks.
    ~ParticleInstanceT() override {
        for (uint32_t k = 0; k < A; ++k) {
            Count(k, false);
            delete drawUnits[k];
            drawUnits[k] = nullptr;
        }
        for (uint32_t k = 0; k < B; ++k) {
            delete emitterUnits[k];
            emitterUnits[k] = nullptr;
        }
        if constexpr (C == 1) {
            if (extraUnit) {
                owner->extraUnits.Remove(extraUnit);
                delete extraUnit;
                extraUnit = nullptr;
            }
        }
    }

    // A fade-out begins: opaque draw units blend by alpha from now on. A
    // particle that ended while it was built may reach here with places
    // never filled.
    void OnFadeOut() override {
        for (uint32_t k = 0; k < A; ++k) {
            ParticleDrawPart* draw = drawUnits[k];
            if (!draw)
                continue;
            if (RenderStateWord::BlendMode(draw->stateWord) == 0)
                draw->stateWord |= 1u << RenderStateWord::kBlendShift;
        }
    }
    // Each emitter's start-event children, then the base start. A particle
    // that ended while it was built gets it too, from the emitters built.
    void Start() override {
        for (uint32_t k = 0; k < B; ++k)
            if (emitterUnits[k])
                emitterUnits[k]->SpawnEventChildren();
        ParticleInstance::Start();
    }
    // The listener is told, then each emitter's death-event children.
    void OnEnd() override {
        ParticleInstance::OnEnd();
        for (uint32_t k = 0; k < B; ++k)
            if (emitterUnits[k])
                emitterUnits[k]->SpawnEventChildrenType2();
    }
    // The posted events, then the emitters, then the draw units: every
    // call is made, even when an earlier one ended the particle.
    void Step() override {
        ParticleInstance::Step();
        for (uint32_t k = 0; k < B; ++k)
            emitterUnits[k]->Update();
        for (uint32_t k = 0; k < A; ++k)
            drawUnits[k]->Step();
    }
    // The base step; the extra unit publishes and joins the root's list of
    // this frame (once, however often a newborn's advance runs the step
    // before the list is emptied); then every draw unit updates from one
    // copy of the clock, which none of them can change for the others or
    // for the particle.
    void UpdateTransform() override {
        ParticleInstance::UpdateTransform();
        DrawClock clock;
        clock.timeA = time;
        clock.timeB = totalTime;
        clock.lastStep = lastStep;
        if constexpr (C == 1) {
            extraUnit->Update();
            owner->extraUnits.Append(extraUnit);
        }
        for (uint32_t k = 0; k < A; ++k)
            drawUnits[k]->Update(clock);
    }
    // Each listed draw unit into the root's list of its category and
    // layer, with the particle's view depth when the package sorts. A list
    // holds as many entries as units were counted for it when it was
    // taken: one more is dropped.
    void CollectDrawUnits() override {
        if constexpr (A > 0) {
            DrawLists* lists = owner->drawLists;
            if (!lists)
                return;
            const bool keyed = owner->sorted != 0;
            const float key = keyed ? Renderer::ComputeViewDepth(GetWorldMatrix() + 9) : 0.0f;
            for (uint32_t k = 0; k < A; ++k) {
                const int8_t c = drawCategory[k];
                if (c == DrawLists::kNotListed)
                    continue;
                const int8_t l = drawLayer[k];
                DrawListEntry* list = lists->arrays[c][l];
                uint32_t& fill = lists->fillCounts[c][l];
                if (!list || fill >= lists->sizes[c][l])
                    continue;
                list[fill].unit = drawUnits[k];
                if (keyed)
                    list[fill].key = key;
                ++fill;
            }
        }
    }

    // Category (0, 1, or 2 for none), list and unit of each draw place,
    // then the emitter units and the extra unit. Places past the counts are
    // never used.
    int8_t drawCategory[3] = {DrawLists::kNotListed, DrawLists::kNotListed,
                              DrawLists::kNotListed};
    int8_t drawLayer[3] = {};
    ParticleDrawPart* drawUnits[3] = {};
    ParticleEmitterPart* emitterUnits[2] = {};
    ParticleExtraPart* extraUnit = nullptr;

private:
    // The draw units, the emitter units, the extra unit; the first that
    // cannot be built ends the particle and nothing after it is built.
    void BuildParts(const UnitResource& data) {
        const ParticlePartCreators& creators = ParticlePartCreators::Current();
        bool stop = false;
        for (uint32_t k = 0; k < A && !stop; ++k)
            stop = !BuildDrawUnit(k, data.GetDrawPart(k), creators);
        for (uint32_t k = 0; k < B && !stop; ++k) {
            emitterUnits[k] = creators.emitter(this, data.GetEmitterPart(k), stop);
            stop = stop || !emitterUnits[k];
        }
        if constexpr (C == 1) {
            if (!stop) {
                const EffectPartResource* part = data.GetEffectPart(0);
                const uint32_t kind = part ? part->GetKind() : 0;
                if (kind == 1 || kind == 2)
                    extraUnit = creators.extra(this, part, stop);
                stop = stop || !extraUnit;
            }
        }
        if (stop)
            Finish();
    }

    // Counts draw place k, then builds its unit; false when the particle
    // must end (no class, no block).
    bool BuildDrawUnit(uint32_t k, const ParticleResource* part,
                       const ParticlePartCreators& creators) {
        const uint32_t type = part ? part->GetDrawType() & 15u : 0u;
        drawLayer[k] = DrawLists::ListOf(
            part ? static_cast<int8_t>(static_cast<uint8_t>(part->GetDrawPriority())) : 0);
        drawCategory[k] = DrawLists::kCategoryByType[type];
        Count(k, true);
        bool stop = false;
        drawUnits[k] = creators.draw(this, part, stop);
        return drawUnits[k] && !stop;
    }

    void Count(uint32_t k, bool add) {
        if (!owner->drawLists || drawCategory[k] == DrawLists::kNotListed)
            return;
        uint32_t& count = owner->drawLists->capacities[drawCategory[k]][drawLayer[k]];
        count = add ? count + 1 : count - 1;
    }
};

} // namespace FulgorCore
