// A particle instance built with the unit pool running dry at every block:
// built whole, or ended at once; and whatever it took given back, both when
// it is deleted on its own and when its instance is killed under a full pool.
#include "effects/Core/Engine/Engine.h"
#include "effects/Core/Resource/PackageResource.h"
#include "effects/units/ChildEffectLink.h"
#include "effects/units/InstanceRootUnit.h"
#include "effects/units/ParticleInstance.h"
#include "effects/units/UnitCreators.h"
#include "support/effects/EmitterRig.h"
#include "support/effects/PoolSqueeze.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>

namespace {

using FulgorCore::InstanceRootUnit;
using FulgorCore::ParticleInstance;
using testsupport::PoolSqueeze;
using testsupport::UnitTreeRig;

// Unit 0 is the particle: it has its own shared block, a host object,
// starts "vfx/child.vfxb" as its child effect and carries an emitter of
// nine timers emitting unit 1 every frame, on its birth and on its death.
effecttools::EffectFileValue Effect() {
    effecttools::EmitterValue emitter = testsupport::Emitter(2);
    emitter.spawnEntries = {testsupport::Item(),
                            testsupport::Item({{"GeIT", 1}, {"GeIP", 100}, {"GeIC", 2}}),
                            testsupport::Item({{"GeIT", 2}, {"GeIP", 100}, {"GeIC", 2}})};
    for (int i = 0; i < 9; ++i)
        emitter.timedEntries.push_back(testsupport::Timer(0, 1, 1));
    effecttools::EffectFileValue f = testsupport::EmitterRig::EffectWith(emitter);
    f.name = "vfx/particle.vfxb";
    f.package.fields.push_back({"PCo1", 1});
    f.package.units[0].fields = {{"bSPT", 1}, {"bFGr", 1}};
    f.package.units[0].reference = "vfx/child.vfxb";
    f.package.units[0].sound = "se/ping";
    f.package.referenceCapacity = 1;
    return f;
}

// Blocks of a whole build: the particle, its transform block, its own
// shared block, its child effect's record, the emitter, its item block and
// two timer blocks.
constexpr uint32_t kWhole = 8;

// Plays the effect (after its child) on the built-in creators; its root.
InstanceRootUnit* Play(UnitTreeRig& rig, FulgorCore::InstanceHandle& instance) {
    if (!rig.Start())
        return nullptr;
    FulgorCore::UnitCreators::Current() = FulgorCore::UnitCreators::kBuiltIn;
    rig.objects.soundAnswer = 40;
    rig.Load(testsupport::TreeEffect("vfx/child.vfxb", 1, 500));
    const FulgorCore::ObjectHandle h = rig.Load(Effect());
    if (h.serial == 0)
        return nullptr;
    instance = rig.Play(h);
    testsupport::Frame();
    return UnitTreeRig::Root(instance);
}

ParticleInstance* Spawn(InstanceRootUnit* root) {
    const float at[3] = {1.0f, 2.0f, 3.0f};
    return root->SpawnParticleInstance(root, root->package->GetUnit(0), at, 0.0f, 1.0f);
}

TEST(ParticleExhaustion, EveryBlockShortEndsTheParticleAndDeletingGivesAllBack) {
    UnitTreeRig rig;
    FulgorCore::InstanceHandle instance;
    InstanceRootUnit* root = Play(rig, instance);
    ASSERT_NE(root, nullptr);
    for (uint32_t free = 0; free <= kWhole; ++free) {
        SCOPED_TRACE("free " + std::to_string(free));
        PoolSqueeze squeeze(free);
        const uint32_t floor = UnitTreeRig::UsedBlocks();
        ParticleInstance* p = Spawn(root);
        if (free == 0) {
            EXPECT_EQ(p, nullptr);
            continue;
        }
        ASSERT_NE(p, nullptr);
        EXPECT_EQ(p->alive != 0, free >= kWhole);
        // The particle lives on without its shared block or child effect
        // but not without its emitter; without its transform block it took
        // nothing else.
        EXPECT_EQ(p->transformBlock != nullptr, free >= 2);
        if (free == 1) {
            EXPECT_EQ(UnitTreeRig::UsedBlocks(), floor + 1);
        }
        if (p->transformBlock) {
            EXPECT_EQ(p->transformBlock->ownSharedBlock != nullptr, free >= 3);
        }
        EXPECT_EQ(p->childEffectLink != nullptr, free >= 4);
        delete p;
        EXPECT_EQ(UnitTreeRig::UsedBlocks(), floor);
        // Never started, so never stopped: an ended particle without its
        // transform block has no listener token to hand back.
        EXPECT_TRUE(rig.listener.hostStops.empty());
    }
    EXPECT_EQ(rig.Release(), 0u);
}

// The instance plays on with the pool full from its first frame on, is
// killed and its effects released: no block stays taken.
TEST(ParticleExhaustion, KillingAnInstanceUnderAFullPoolLeavesNoBlockTaken) {
    for (uint32_t free = 0; free <= kWhole + 3; ++free) {
        SCOPED_TRACE("free " + std::to_string(free));
        UnitTreeRig rig;
        FulgorCore::InstanceHandle instance;
        InstanceRootUnit* root = Play(rig, instance);
        ASSERT_NE(root, nullptr);
        {
            PoolSqueeze squeeze(free);
            root->AddChild(Spawn(root));
            for (int frame = 0; frame < 12; ++frame)
                testsupport::Frame();
            FulgorCore::Engine::KillInstance(instance.index, instance.serial);
            testsupport::Frame();
        }
        EXPECT_EQ(UnitTreeRig::UsedBlocks(), 0u);
        EXPECT_EQ(rig.Release(), 0u);
    }
}

// The same effect started by its own timeline with the pool short from its
// first frame on, the root included: whatever was built, killing the
// instance gives every block back.
TEST(ParticleExhaustion, StartingUnderAFullPoolLeavesNoBlockTaken) {
    effecttools::EffectFileValue f = Effect();
    const int16_t timeline = testsupport::AddTimeline(f, 100, {testsupport::UnitItem(0, 0, 100)});
    f.package.assignments.push_back({timeline, std::nullopt});
    // 40 free blocks: the root, its timeline and system, and the particle
    // whole, with room for what it emits.
    for (uint32_t free = 0; free <= 40; ++free) {
        SCOPED_TRACE("free " + std::to_string(free));
        UnitTreeRig rig;
        ASSERT_TRUE(rig.Start());
        FulgorCore::UnitCreators::Current() = FulgorCore::UnitCreators::kBuiltIn;
        rig.objects.soundAnswer = 40;
        rig.Load(testsupport::TreeEffect("vfx/child.vfxb", 1, 500));
        const FulgorCore::ObjectHandle h = rig.Load(f);
        ASSERT_NE(h.serial, 0u);
        {
            PoolSqueeze squeeze(free);
            const FulgorCore::InstanceHandle instance = rig.Play(h);
            for (int frame = 0; frame < 12; ++frame)
                testsupport::Frame();
            if (free == 40) {
                EXPECT_GT(UnitTreeRig::UsedBlocks(), 0u);
                EXPECT_FALSE(rig.listener.hostStarts.empty()); // the particle started
            }
            FulgorCore::Engine::KillInstance(instance.index, instance.serial);
            testsupport::Frame();
        }
        EXPECT_EQ(UnitTreeRig::UsedBlocks(), 0u);
        EXPECT_EQ(rig.Release(), 0u);
    }
}

} // namespace
