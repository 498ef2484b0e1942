// Recording doubles of the unit tree's creators: while one is alive, every
// carrier, particle instance and event action the tree asks for is
// recorded. Carriers and particles are built as stand-ins (a recording unit
// of kind 1, a particle node) when `build` is set, else nothing is built,
// as when the pool is exhausted.
#pragma once

#include "support/effects/RecordingUnit.h"
#include "support/effects/StandInParticle.h"

#include "effects/Core/Resource/UnitTimelineResource.h"
#include "effects/units/ChildStart.h"
#include "effects/units/InstanceRootUnit.h"
#include "effects/units/ParticleInstance.h"
#include "effects/units/UnitCreators.h"

#include <array>
#include <cstdint>
#include <vector>

namespace testsupport {

class RecordingCreators {
public:
    using InitialState = FulgorCore::UnitInstance::InitialState;

    struct CarrierCall {
        FulgorCore::InstanceRootUnit* owner;
        InitialState state;
        const FulgorCore::BindResource* binding;
        bool pair;
        uint32_t targetA;
        uint32_t targetB;
        FulgorCore::ChildStart child;
    };
    struct ParticleCall {
        FulgorCore::InstanceRootUnit* root;
        InitialState state;
        const FulgorCore::UnitResource* unit;
        std::array<float, 3> position;
    };
    struct EventCall {
        uint32_t kind;
        FulgorCore::ParticleInstance* start;
        FulgorCore::UnitTimelineResource::Item entry;
        int32_t mode;
        int32_t depth;
    };

    RecordingCreators() {
        Active() = this;
        FulgorCore::UnitCreators::Current() = {
            Carrier, CarrierPair, Particle, {Event<0>, Event<1>, Event<2>, Event<3>}};
    }
    ~RecordingCreators() {
        FulgorCore::UnitCreators::Current() = FulgorCore::UnitCreators::kBuiltIn;
        Active() = nullptr;
    }
    RecordingCreators(const RecordingCreators&) = delete;
    RecordingCreators& operator=(const RecordingCreators&) = delete;

    bool build = false;
    std::vector<CarrierCall> carriers;
    std::vector<ParticleCall> particles;
    std::vector<EventCall> events;
    // What was built, in order.
    std::vector<FulgorCore::UnitInstance*> built;

private:
    static RecordingCreators*& Active() {
        static RecordingCreators* active = nullptr;
        return active;
    }

    FulgorCore::UnitInstance* BuildCarrier(FulgorCore::InstanceRootUnit* owner,
                                           const InitialState& state) {
        if (!build)
            return nullptr;
        auto* unit = FulgorCore::UnitInstance::Create<RecordingUnit>(
            owner, state, FulgorCore::UnitInstance::kParticleSystem);
        if (unit)
            built.push_back(unit);
        return unit;
    }

    static FulgorCore::UnitInstance* Carrier(FulgorCore::InstanceRootUnit* owner,
                                             const InitialState& state,
                                             const FulgorCore::BindResource* binding,
                                             uint32_t target, const FulgorCore::ChildStart& child) {
        RecordingCreators& r = *Active();
        r.carriers.push_back({owner, state, binding, false, target, 0, child});
        return r.BuildCarrier(owner, state);
    }
    static FulgorCore::UnitInstance* CarrierPair(FulgorCore::InstanceRootUnit* owner,
                                                 const InitialState& state,
                                                 const FulgorCore::BindResource* binding,
                                                 uint32_t targetA, uint32_t targetB,
                                                 const FulgorCore::ChildStart& child) {
        RecordingCreators& r = *Active();
        r.carriers.push_back({owner, state, binding, true, targetA, targetB, child});
        return r.BuildCarrier(owner, state);
    }
    static FulgorCore::ParticleInstance* Particle(FulgorCore::InstanceRootUnit* root,
                                                  const InitialState& state,
                                                  const FulgorCore::UnitResource* unit,
                                                  const float* position) {
        RecordingCreators& r = *Active();
        r.particles.push_back({root, state, unit, {position[0], position[1], position[2]}});
        if (!r.build)
            return nullptr;
        auto* node = StandInParticle(root, state);
        if (node)
            r.built.push_back(node);
        return node;
    }
    template <uint32_t Kind>
    static void Event(FulgorCore::ParticleInstance* start,
                      const FulgorCore::UnitTimelineResource::Item& entry, int32_t mode,
                      int32_t depth) {
        Active()->events.push_back({Kind, start, entry, mode, depth});
    }
};

} // namespace testsupport
