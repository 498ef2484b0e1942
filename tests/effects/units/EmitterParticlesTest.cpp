// Emitters inside real particles: built by the particle classes, spawning
// through the factory table, with their attached units, and the extra
// units' place in a particle's construction.
#include "effects/units/EmitterTransformUnit.h"
#include "effects/units/EmitterUnit.h"
#include "effects/units/ParticleInstance.h"
#include "effects/units/ParticleInstanceT.h"
#include "effects/units/UnitCreators.h"
#include "support/effects/EmitterRig.h"
#include "support/effects/EffectFileCorpus.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <optional>
#include <vector>

namespace {

using FulgorCore::EmitterUnit;
using FulgorCore::ParticleInstance;
using FulgorCore::UnitInstance;
using testsupport::UnitTreeRig;

// Unit 0 carries `emitter` and is played by the first place's timeline for
// 100 frames; unit 1 (life 20) is what it spawns.
effecttools::EffectFileValue Played(const effecttools::EmitterValue& emitter) {
    effecttools::EffectFileValue f = testsupport::EmitterRig::EffectWith(emitter);
    f.package.units[0].life = 0;
    testsupport::AddTimeline(f, 100, {testsupport::UnitItem(0, 0, 100)});
    f.package.assignments.push_back({int16_t{0}, std::nullopt});
    return f;
}

// A started rig whose tree builds real carriers and particles.
bool StartReal(UnitTreeRig& rig) {
    FulgorCore::UnitCreators::Current() = FulgorCore::UnitCreators::kBuiltIn;
    return rig.Start();
}

// The particle of unit 0 under the root's timeline.
ParticleInstance* Emitting(FulgorCore::InstanceRootUnit* root) {
    UnitInstance* timeline = root ? root->firstChild : nullptr;
    UnitInstance* p = timeline ? timeline->firstChild : nullptr;
    return p && p->GetKind() == UnitInstance::kParticleNode ? static_cast<ParticleInstance*>(p)
                                                            : nullptr;
}

uint32_t Count(const UnitInstance* parent) {
    uint32_t n = 0;
    for (const UnitInstance* c = parent->firstChild; c; c = c->nextSibling)
        ++n;
    return n;
}

TEST(EmitterParticles, AParticlesEmitterFillsTheTreeAndEverythingGoesBack) {
    UnitTreeRig rig;
    ASSERT_TRUE(StartReal(rig));
    const uint32_t start = UnitTreeRig::UsedBlocks();
    effecttools::EmitterValue v = testsupport::Emitter(5, 1.0f);
    v.shape->points = testsupport::Points({{1, 0, 0}, {0, 1, 0}, {0, 0, 1}});
    v.shape->floats.push_back({"Rad", effecttools::Constant(2.0f)});
    v.spawnEntries = {testsupport::Item({{"OvLf", 2}, {"Lif", 10}})};
    v.timedEntries = {testsupport::Timer(0, 2, 1)};
    const FulgorCore::InstanceHandle h = rig.PlayAlone(rig.Load(Played(v)));
    testsupport::Frame();
    testsupport::Frame();
    ParticleInstance* emitting = Emitting(UnitTreeRig::Root(h));
    ASSERT_NE(emitting, nullptr);
    auto* owner = dynamic_cast<FulgorCore::ParticleInstanceT<0, 1, 0>*>(emitting);
    ASSERT_NE(owner, nullptr);
    auto* emitter = static_cast<EmitterUnit*>(owner->emitterUnits[0]);
    ASSERT_NE(emitter, nullptr);
    EXPECT_EQ(emitter->owner, emitting);
    for (int f = 0; f < 30; ++f)
        testsupport::Frame();
    // Two a frame living 10 frames each: about 20 at a time, each a real
    // particle whose spawner is the emitter.
    const uint32_t live = Count(emitting);
    EXPECT_GE(live, 18u);
    EXPECT_LE(live, 24u);
    auto* child = static_cast<ParticleInstance*>(emitting->firstChild);
    EXPECT_EQ(child->GetAuxObject(), static_cast<FulgorCore::ParticleEmitterPart*>(emitter));
    EXPECT_EQ(rig.Release(), start);
}

// The built-in factory, counting what it is asked for and refusing past
// 10000 in all, so that a frame that would never end does.
int& FactoryCalls() {
    static int calls = 0;
    return calls;
}
UnitInstance* CountingFactory(FulgorCore::InstanceRootUnit* root, EmitterUnit* spawner,
                              const UnitInstance::InitialState& state,
                              const FulgorCore::UnitResource* unit,
                              const FulgorCore::ParticleSpawnSettings* settings, int32_t point,
                              const float* origin, const float* position, const float* velocity,
                              const float* rotation, const float* direction) {
    if (++FactoryCalls() > 10000)
        return nullptr;
    return EmitterUnit::kBuiltInFactory(root, spawner, state, unit, settings, point, origin,
                                        position, velocity, rotation, direction);
}

// Unit 0 emits itself every frame, 2 frames ahead, its copies living 2
// frames: each new particle would run its own emitter at once, and every
// copy that ends hands its blocks to the next.
TEST(EmitterParticles, ASelfEmittingUnitWithAStartOffsetEndsItsFrame) {
    UnitTreeRig rig;
    ASSERT_TRUE(StartReal(rig));
    const uint32_t start = UnitTreeRig::UsedBlocks();
    effecttools::EmitterValue v = testsupport::Emitter(2);
    v.spawnEntries = {testsupport::Item({{"OvLf", 2}, {"Lif", 2}, {"UST", 2}})};
    v.spawnEntries[0].fields[0] = {"TgUI", 0};
    v.timedEntries = {testsupport::Timer(0, 1, 1)};
    FactoryCalls() = 0;
    EmitterUnit::Factory() = CountingFactory;
    const FulgorCore::InstanceHandle h = rig.PlayAlone(rig.Load(Played(v)));
    // The start: the timeline's particle, new in this frame, emits.
    testsupport::Frame();
    ParticleInstance* emitting = Emitting(UnitTreeRig::Root(h));
    ASSERT_NE(emitting, nullptr);
    // Made while their emitter was new: not advanced, waiting for its next
    // update.
    EXPECT_EQ(FactoryCalls(), 2);
    ASSERT_EQ(Count(emitting), 2u);
    for (const UnitInstance* c = emitting->firstChild; c; c = c->nextSibling)
        EXPECT_EQ(c->time, 0.0f);
    for (int f = 0; f < 20; ++f) {
        const int before = FactoryCalls();
        testsupport::Frame();
        EXPECT_LT(FactoryCalls() - before, 1000) << f;
    }
    EmitterUnit::Factory() = EmitterUnit::kBuiltInFactory;
    EXPECT_EQ(rig.Release(), start);
}

// A fuzzed effect file whose emitter's start lies far in the past: some
// of its particles are due about 2^31 frames ago, in single frames.
// Replayed as the fuzz target plays it: its frames end, and once its
// instance has ended every block is back.
TEST(EmitterParticles, AFuzzedEffectOfNewbornsDuePastTheIntRangeEndsEachFrame) {
    const std::optional<uint32_t> blocks = testsupport::ReplayEffectFileCorpusInput("newborn_age");
    ASSERT_TRUE(blocks.has_value());
    EXPECT_EQ(*blocks, 0u);
}

TEST(EmitterParticles, AttachedUnitsFollowTheOwnersSteps) {
    UnitTreeRig rig;
    ASSERT_TRUE(StartReal(rig));
    effecttools::EmitterValue v = testsupport::Emitter(2, 1.0f);
    v.parentLinks = {int8_t{1}, int8_t{-1}, int8_t{9}, std::nullopt};
    const FulgorCore::InstanceHandle h = rig.PlayAlone(rig.Load(Played(v)));
    testsupport::Frame();
    testsupport::Frame();
    auto* owner =
        dynamic_cast<FulgorCore::ParticleInstanceT<0, 1, 0>*>(Emitting(UnitTreeRig::Root(h)));
    ASSERT_NE(owner, nullptr);
    auto* emitter = static_cast<EmitterUnit*>(owner->emitterUnits[0]);
    // Unit 1 is attached; -1, a unit past the table and no byte are not.
    ASSERT_NE(emitter->attached[0], nullptr);
    EXPECT_EQ(emitter->attached[1], nullptr);
    EXPECT_EQ(emitter->attached[2], nullptr);
    EXPECT_EQ(emitter->attached[3], nullptr);
    // In no tree: the emitter alone advances it, at time scale 1.
    EXPECT_EQ(emitter->attached[0]->parent, nullptr);
    EXPECT_EQ(emitter->attached[0]->speed, 1.0f);
    const float before = emitter->attached[0]->time;
    for (int f = 0; f < 3; ++f)
        testsupport::Frame(0.5f);
    EXPECT_FLOAT_EQ(emitter->attached[0]->time - before, 1.5f);
    EXPECT_EQ(rig.Release(), 0u);
}

TEST(EmitterParticles, AnExtraUnitOfAnotherKindFailsTheParticle) {
    for (uint32_t kind : {1u, 2u, 3u}) {
        UnitTreeRig rig;
        ASSERT_TRUE(StartReal(rig));
        effecttools::EffectFileValue f = Played(testsupport::Emitter(2));
        f.package.units[0].emitters.clear();
        effecttools::EffectPartValue extra;
        extra.kind = kind;
        extra.innerRadius = effecttools::Constant(1.0f);
        extra.outerRadius = effecttools::Constant(2.0f);
        f.package.units[0].effectPart = extra;
        const FulgorCore::InstanceHandle h = rig.PlayAlone(rig.Load(f));
        testsupport::Frame();
        testsupport::Frame();
        ParticleInstance* p = Emitting(UnitTreeRig::Root(h));
        if (kind == 3) {
            // Ended at once and gone from the tree.
            EXPECT_TRUE(p == nullptr || !p->alive) << kind;
        } else {
            ASSERT_NE(p, nullptr) << kind;
            EXPECT_TRUE(p->alive) << kind;
            auto* withExtra = dynamic_cast<FulgorCore::ParticleInstanceT<0, 0, 1>*>(p);
            ASSERT_NE(withExtra, nullptr);
            EXPECT_NE(withExtra->extraUnit, nullptr) << kind;
        }
        EXPECT_EQ(rig.Release(), 0u) << kind;
    }
}

} // namespace
