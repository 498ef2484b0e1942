// Particles under a playing root for the tests of unit events: units of a
// written package built through the factory table where a test wants
// them, and the 14-byte event entries the schedules hand to the actions.
#pragma once

#include "support/effects/UnitTreeRig.h"

#include "effects/Core/Engine/EngineWorkData.h"
#include "effects/Core/Engine/ObjectSlot.h"
#include "effects/Core/Resource/PackageResource.h"
#include "effects/Core/Resource/UnitTimelineResource.h"
#include "effects/units/InstanceRootUnit.h"
#include "effects/units/ParticleInstance.h"
#include "effects/units/ParticleInstanceFactoryTable.h"
#include "effects/units/UnitCreators.h"

#include <cstdint>
#include <cstring>
#include <vector>

namespace testsupport {

// A unit event entry: time, kind, target mode, depth, index (or event)
// byte, bytes 7-11, and the i16 of bytes 12-13; `delay` (bytes 8-9) over
// bytes 8 and 9 when given.
inline FulgorCore::UnitTimelineResource::Item EventEntry(uint16_t kind, int8_t mode, int8_t depth,
                                                         int8_t index,
                                                         std::vector<uint8_t> bytes7to11 = {},
                                                         int16_t last = 0) {
    FulgorCore::UnitTimelineResource::Item e{};
    e.bytes[2] = static_cast<uint8_t>(kind);
    e.bytes[4] = static_cast<uint8_t>(mode);
    e.bytes[5] = static_cast<uint8_t>(depth);
    e.bytes[6] = static_cast<uint8_t>(index);
    for (size_t i = 0; i < bytes7to11.size() && i < 5; ++i)
        e.bytes[7 + i] = bytes7to11[i];
    std::memcpy(&e.bytes[12], &last, 2);
    return e;
}

// The same as the raw bytes an effect file holds.
inline std::vector<uint8_t> EventBytes(uint16_t time,
                                       const FulgorCore::UnitTimelineResource::Item& e) {
    std::vector<uint8_t> bytes(e.bytes, e.bytes + FulgorCore::UnitTimelineResource::kItemSize);
    std::memcpy(bytes.data(), &time, 2);
    return bytes;
}

class EventTreeRig {
public:
    // Plays `f` and keeps its root.
    bool Start(const effecttools::EffectFileValue& f) {
        if (!tree.Start())
            return false;
        // The tree's own creators and event actions, not the recorders.
        FulgorCore::UnitCreators::Current() = FulgorCore::UnitCreators::kBuiltIn;
        handle = tree.Play(tree.Load(f));
        Frame();
        root = UnitTreeRig::Root(handle);
        return root != nullptr;
    }
    const FulgorCore::PackageResource* Package() const { return root->package; }
    // A particle of package unit `unit` under `parent` (the root when
    // null), built by its factory as a timeline would, never ending by
    // time.
    FulgorCore::ParticleInstance* Particle(uint32_t unit,
                                           FulgorCore::UnitInstance* parent = nullptr,
                                           const float* position = nullptr) {
        FulgorCore::UnitInstance* under = parent ? parent : root;
        const FulgorCore::UnitResource* data = Package()->GetUnit(unit);
        const auto factory = FulgorCore::ParticleInstanceFactoryTable::For(data);
        if (!factory)
            return nullptr;
        FulgorCore::UnitInstance::InitialState state;
        state.parent = under;
        state.timeMode = FulgorCore::UnitInstance::kEndless;
        FulgorCore::ParticleInstance* p = factory(root, nullptr, state, data, nullptr, -1, position,
                                                  position, nullptr, nullptr, nullptr);
        under->AddChild(p);
        return p;
    }
    // The action of the entry's kind, as a due schedule entry runs it.
    static void Act(FulgorCore::ParticleInstance* start,
                    const FulgorCore::UnitTimelineResource::Item& entry) {
        const uint16_t kind = static_cast<uint16_t>(entry.bytes[2] | entry.bytes[3] << 8);
        FulgorCore::UnitCreators::Current().eventActions[kind](
            start, entry, static_cast<int8_t>(entry.bytes[4]), static_cast<int8_t>(entry.bytes[5]));
    }

    UnitTreeRig tree;
    FulgorCore::InstanceHandle handle{};
    FulgorCore::InstanceRootUnit* root = nullptr;
};

} // namespace testsupport
