// The pointer over particle instances in tests: pickable particles under a
// playing root, the host's pointer calls, one pass of the pointer view, and
// the events each particle was posted.
#pragma once

#include "support/effects/StandInParticle.h"
#include "support/effects/UnitTreeRig.h"

#include "effects/Core/Engine/DrawParameter.h"
#include "effects/Core/Engine/Engine.h"
#include "effects/Core/Engine/EngineInternal.h"
#include "effects/Core/Engine/EngineWorkData.h"
#include "effects/Core/Engine/InputEvent.h"
#include "effects/units/InstanceRootUnit.h"
#include "effects/units/NodeEventBlock.h"
#include "effects/units/ParticleInstance.h"
#include "effects/units/PickBounds.h"

#include <cstdint>
#include <deque>
#include <map>
#include <vector>

namespace testsupport {

// One host pointer call: commands 0-5 with a value, 6 a position.
class PointerCall : public FulgorCore::InputEvent {
public:
    PointerCall(uint32_t kind, float px = 0.0f, float py = 0.0f) : kind_(kind) {
        x = px;
        y = py;
    }
    uint32_t GetKind() const override { return kind_; }

private:
    uint32_t kind_;
};

class PointerRig {
public:
    static constexpr uint32_t kPointerView = 2;

    // The effect's camera space is `space`.
    bool Start(uint32_t space = 0) {
        // Room for more pickable particles than the frame list holds.
        tree.runtime.units.assign(1u << 20, 0);
        tree.runtime.parameter.UnitInstanceMemory = tree.runtime.units.data();
        tree.runtime.parameter.UnitInstanceMemorySize = 1u << 20;
        if (!tree.Start())
            return false;
        effecttools::EffectFileValue f = TreeEffect("vfx/pointer.vfxb");
        f.package.fields.push_back({"CST", space});
        instance = tree.Play(tree.Load(f));
        Frame();
        root = UnitTreeRig::Root(instance);
        FulgorCore::Engine::SetPointerView(kPointerView, 100.0f);
        return root != nullptr;
    }

    // A particle that takes events, under `parent` (the root when null),
    // at z on the view axis (its translation once a frame has composed it), hit by rays passing
    // within `radius` of that axis.
    FulgorCore::ParticleInstance* Pickable(float z, float radius,
                                           FulgorCore::UnitInstance* parent = nullptr) {
        return Pickable(z, {FulgorCore::PickBounds::kSphere, {0.0f, radius * radius, 0.0f}},
                        parent);
    }
    // The same with bounds of its own (a box's half extents, a sphere's
    // squared radius second).
    FulgorCore::ParticleInstance* Pickable(float z, const FulgorCore::PickBounds& shape,
                                           FulgorCore::UnitInstance* parent = nullptr) {
        FulgorCore::UnitInstance* under = parent ? parent : root;
        FulgorCore::UnitInstance::InitialState endless;
        endless.parent = under;
        endless.timeMode = FulgorCore::UnitInstance::kEndless;
        FulgorCore::ParticleInstance* node = StandInParticle(root, endless);
        if (!node)
            return nullptr;
        // The translation each frame is the integrated position.
        node->transformBlock->integratedPosition[2] = z;
        bounds.push_back(shape);
        node->pickBounds = &bounds.back();
        under->AddChild(node);
        // The pointer's events only, not the start's own.
        node->takesEvents = 1;
        pickable.push_back(node);
        return node;
    }

    // A test that lets pickable particle i go says so: it is pushed no
    // more, and a particle made later in its block starts with no events.
    void Forget(size_t i) {
        events.erase(pickable[i]);
        pickable[i] = nullptr;
    }

    // The host's calls.
    static void Point(float u, float v) {
        const PointerCall call(FulgorCore::InputEvent::kPointerPosition, u, v);
        FulgorCore::Engine::PostInputEvent(&call);
    }
    static void Command(uint32_t command) {
        const PointerCall call(command);
        FulgorCore::Engine::PostInputEvent(&call);
    }

    // One frame: the update, the pickable units pushed in order, then the pointer view's draw
    // (identity camera: view depth is z, the pointer's ray runs along z through its position).
    void Pass() {
        Frame();
        for (FulgorCore::ParticleInstance* node : pickable)
            if (node)
                FulgorCore::Engine::PushFrameList(node);
        const FulgorCore::DrawParameter draw = ScreenDraw(kIdentity44, kIdentity44);
        FulgorCore::Engine::Draw(kPointerView, &draw);
        TakeEvents();
    }

    // The events a particle was posted since it was made, in order.
    std::vector<int> Events(const FulgorCore::ParticleInstance* node) const {
        const auto it = events.find(node);
        return it == events.end() ? std::vector<int>{} : it->second;
    }

    UnitTreeRig tree;
    FulgorCore::InstanceHandle instance{};
    FulgorCore::InstanceRootUnit* root = nullptr;
    std::vector<FulgorCore::ParticleInstance*> pickable;
    std::deque<FulgorCore::PickBounds> bounds;
    std::map<const FulgorCore::ParticleInstance*, std::vector<int>> events;

private:
    // Posted events are read and cleared after each pass, so no particle
    // runs into the eight a frame holds.
    void TakeEvents() {
        for (FulgorCore::ParticleInstance* node : pickable) {
            FulgorCore::NodeEventBlock* block = node ? node->postedEvents : nullptr;
            if (!block)
                continue;
            for (uint32_t i = 0; i < block->count; ++i)
                events[node].push_back(block->kinds[i]);
            block->count = 0;
        }
    }
};

} // namespace testsupport
