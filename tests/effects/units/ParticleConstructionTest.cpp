// The particle base constructor: the frame its transform mode puts the
// spawn position and velocity in, the composition that frame takes, and
// the unit its link record names.
#include "effects/Core/Noise/Xorshift128.h"
#include "effects/Core/Resource/PackageResource.h"
#include "effects/units/EmitterTransformUnit.h"
#include "effects/units/ParticleInstance.h"
#include "effects/units/ParticleSpawnSettings.h"
#include "effects/units/UnitCreators.h"
#include "support/effects/EmitterRig.h"
#include "support/effects/XorshiftSteps.h"

#include <gtest/gtest.h>

#include <array>
#include <string>
#include <vector>

namespace {

using FulgorCore::ParticleInstance;
using FulgorCore::ParticleSpawnSettings;
using testsupport::EmitterRig;

using Vec = std::array<float, 3>;

Vec Three(const float* v) {
    return {v[0], v[1], v[2]};
}

// A parent turned 90 degrees about Z and moved to (10, 0, 0): its rows and
// their inverse.
constexpr float kTurned[12] = {0, 1, 0, -1, 0, 0, 0, 0, 1, 10, 0, 0};
constexpr float kTurnedInverse[12] = {0, -1, 0, 1, 0, 0, 0, 0, 1, 0, 10, 0};

ParticleSpawnSettings Link(int8_t index, uint8_t mode, uint8_t flags) {
    return {{static_cast<uint8_t>(index), 0, 0, 0, 0, 0, mode, flags}};
}

TEST(ParticleConstruction, TheTransformModePlacesTheSpawnAndPicksTheComposition) {
    struct Case {
        const char* name;
        ParticleSpawnSettings link;
        int32_t spawnIndex;
        Vec offset;   // the spawn position kept
        Vec velocity; // the initial velocity kept
        ParticleInstance::PlainMember compose;
        bool keepsParentMatrix;
    };
    const ParticleSpawnSettings defaults = ParticleSpawnSettings::Default();
    const Case cases[] = {
        {"default record: the parent's frame",
         defaults,
         -1,
         {0, 9, 0},
         {1, 0, 0},
         ParticleInstance::ComposeTransformWithOwner,
         true},
        {"mode 1: the parent's frame too",
         Link(-1, 1, 0),
         -1,
         {0, 9, 0},
         {1, 0, 0},
         ParticleInstance::ComposeTransformWithOwner,
         true},
        {"mode 0: in world, as given",
         Link(-1, 0, 0x07),
         -1,
         {1, 0, 0},
         {0, 1, 0},
         ParticleInstance::ComposeTransformInWorld,
         false},
        {"mode 3, relative, no spawn index: less the reference",
         Link(-1, 3, 0x04),
         -1,
         {-3, 0, 0},
         {0, 1, 0},
         ParticleInstance::ComposeTransformRelative,
         false},
        {"mode 3, relative, spawn index 0: as given",
         Link(-1, 3, 0x04),
         0,
         {1, 0, 0},
         {0, 1, 0},
         ParticleInstance::ComposeTransformFromGetters,
         false},
        {"mode 3 without the relative flag",
         Link(-1, 3, 0x03),
         -1,
         {1, 0, 0},
         {0, 1, 0},
         ParticleInstance::ComposeTransformFromGetters,
         false},
        {"mode 4, past the table: as mode 0",
         Link(-1, 4, 0x07),
         -1,
         {1, 0, 0},
         {0, 1, 0},
         ParticleInstance::ComposeTransformInWorld,
         false},
    };
    EmitterRig rig;
    ASSERT_TRUE(rig.Begin(EmitterRig::EffectWith(testsupport::Emitter(2))));
    testsupport::FakeOwner* parent = rig.owner;
    std::copy(kTurned, kTurned + 12, parent->matrix);
    std::copy(kTurnedInverse, kTurnedInverse + 12, parent->inverse);
    const float reference[3] = {4, 0, 0};
    const float spawn[3] = {1, 0, 0};
    const float velocity[3] = {0, 1, 0};
    const float zero[3] = {0, 0, 0};
    const float up[3] = {0, 0, 1};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        FulgorCore::UnitInstance::InitialState state;
        state.parent = parent;
        state.timeMode = FulgorCore::UnitInstance::kEndless;
        auto* p = FulgorCore::UnitInstance::Create<ParticleInstance>(
            rig.root, nullptr, state, nullptr, &c.link, c.spawnIndex, reference, spawn, velocity,
            zero, up);
        ASSERT_NE(p, nullptr);
        ASSERT_NE(p->transformBlock, nullptr);
        EXPECT_EQ(Three(p->offset), c.offset);
        EXPECT_EQ(Three(p->transformBlock->initialVelocity), c.velocity);
        EXPECT_EQ(p->composeMember, c.compose);
        // Every composition adds the world acceleration's displacement
        // last, in world.
        p->transformBlock->worldDisplacement[2] = 7.0f;
        p->composeMember(p);
        const float withDisplacement = p->currentWorldMatrix[11];
        p->transformBlock->worldDisplacement[2] = 0.0f;
        p->composeMember(p);
        EXPECT_FLOAT_EQ(withDisplacement - p->currentWorldMatrix[11], 7.0f);
        if (c.keepsParentMatrix) {
            EXPECT_EQ(std::vector<float>(p->transformBlock->parentMatrix,
                                         p->transformBlock->parentMatrix + 12),
                      std::vector<float>(kTurned, kTurned + 12));
        }
        delete p;
    }
    EXPECT_EQ(rig.Release(), 0u);
}

// The link index names one of the spawning emitter's attached units; only
// with one does the particle take the inherit flags of its record.
TEST(ParticleConstruction, TheLinkIndexNamesTheSpawnersAttachedUnit) {
    effecttools::EmitterValue emitter = testsupport::Emitter(2);
    emitter.parentLinks = {int8_t{-1}, int8_t{1}, int8_t{-1}, int8_t{-1}};
    EmitterRig rig;
    ASSERT_TRUE(rig.Begin(EmitterRig::EffectWith(emitter)));
    FulgorCore::EmitterUnit* spawner = rig.owner->emitter;
    ASSERT_NE(spawner->attached[1], nullptr);
    struct Case {
        const char* name;
        bool withSpawner;
        int8_t index;
        bool linked;
        uint8_t inherits;
    };
    const Case cases[] = {
        {"index 1: the attached unit and its flags", true, 1, true, 0x78},
        {"index 0: no unit there", true, 0, false, 0},
        {"index -1: none", true, -1, false, 0},
        {"index 4: past the four", true, 4, false, 0},
        {"no spawner", false, 1, false, 0},
    };
    const float zero[3] = {0, 0, 0};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        FulgorCore::UnitInstance::InitialState state;
        state.parent = rig.owner;
        const ParticleSpawnSettings link = Link(c.index, 2, 0x7F);
        auto* p = FulgorCore::UnitInstance::Create<ParticleInstance>(
            rig.root, c.withSpawner ? spawner : nullptr, state, nullptr, &link, -1, zero, zero,
            zero, zero, zero);
        ASSERT_NE(p, nullptr);
        EXPECT_EQ(p->linkedUnit, c.linked ? spawner->attached[1] : nullptr);
        EXPECT_EQ(p->inheritBits, c.inherits);
        delete p;
    }
    EXPECT_EQ(rig.Release(), 0u);
}

// A particle emitted at speed 5 along +Z (a kind-2 emitter emits along
// its Z axis) moves 5 along +Z each frame, in world.
TEST(ParticleConstruction, EmittedParticlesMoveAtTheirSpeed) {
    effecttools::EmitterValue emitter = testsupport::Emitter(2, 5.0f);
    emitter.spawnEntries = {testsupport::Item()};
    emitter.timedEntries = {testsupport::Timer(0, 1, 1000)};
    EmitterRig rig;
    ASSERT_TRUE(rig.Begin(EmitterRig::EffectWith(emitter)));
    // Real particles, not the rig's recordings.
    FulgorCore::EmitterUnit::Factory() = FulgorCore::EmitterUnit::kBuiltInFactory;
    testsupport::Frame();
    const std::vector<FulgorCore::UnitInstance*> emitted = testsupport::Children(rig.owner);
    ASSERT_EQ(emitted.size(), 1u);
    const float* m = emitted[0]->GetWorldMatrix();
    float z = m[11];
    for (int frame = 0; frame < 3; ++frame) {
        testsupport::Frame();
        m = emitted[0]->GetWorldMatrix();
        EXPECT_FLOAT_EQ(m[11] - z, 5.0f) << frame;
        EXPECT_EQ(m[9], 0.0f);
        EXPECT_EQ(m[10], 0.0f);
        z = m[11];
    }
    EXPECT_EQ(rig.Release(), 0u);
}

// A unit random value in [base, base + 1): which draw gave it is read back
// from the fraction.
effecttools::ConstantValue Ranged(float base) {
    return effecttools::ConstantValue{1.0f, base, base + 1.0f};
}

effecttools::TripleValue RangedTriple(float base) {
    return effecttools::TripleValue{0, Ranged(base), Ranged(base + 100), Ranged(base + 200)};
}

// Every property of a fully animated unit draws its values from the
// instance's generator in one order: colour (red, green, blue, alpha,
// brightness), scale, rotation, translation, the two accelerations, the
// speed factor, then the lag after the first evaluation.
TEST(ParticleConstruction, AFullyAnimatedUnitDrawsInItsOrder) {
    testsupport::UnitTreeRig rig;
    ASSERT_TRUE(rig.Start());
    FulgorCore::UnitCreators::Current() = FulgorCore::UnitCreators::kBuiltIn;
    effecttools::EffectFileValue f = testsupport::TreeEffect("vfx/drawn.vfxb", 1, 100);
    effecttools::UnitValue& u = f.package.units[0];
    u.fields = {{"bPCo", 1}, {"bPSc", 1}, {"bPRo", 1}, {"bPPo", 1},
                {"bPGL", 1}, {"bPGG", 1}, {"bPRe", 1}, {"bPFc", 1}};
    effecttools::ColorValue colour;
    colour.red = Ranged(100);
    colour.green = Ranged(200);
    colour.blue = Ranged(300);
    colour.alpha = Ranged(400);
    colour.brightness = Ranged(500);
    u.color = colour;
    u.triples["Scl"] = RangedTriple(600);
    u.triples["Rot"] = RangedTriple(900);
    u.triples["Pos"] = RangedTriple(1200);
    u.triples["GraL"] = RangedTriple(1500);
    u.triples["GraG"] = RangedTriple(1800);
    u.triples["Res"] = RangedTriple(2100);
    u.fuCt = Ranged(2400);
    FulgorCore::InstanceRootUnit* root = rig.PlayRoot(f);
    ASSERT_NE(root, nullptr);
    const FulgorCore::Xorshift128 before = root->random;
    const float at[3] = {0, 0, 0};
    ParticleInstance* p =
        root->SpawnParticleInstance(root, root->package->GetUnit(0), at, 50.0f, 1.0f);
    ASSERT_NE(p, nullptr);
    ASSERT_NE(p->transformBlock, nullptr);
    const FulgorCore::TransformBlock& b = *p->transformBlock;
    std::vector<float> drawn(b.colorSamples, b.colorSamples + 5);
    for (const float* samples :
         {b.scaleSamples, b.rotationSamples, b.translationSamples, b.accelerationSamples,
          b.worldAccelerationSamples, b.speedFactorSamples})
        drawn.insert(drawn.end(), samples, samples + 3);
    drawn.push_back(b.interpolationSample);
    FulgorCore::Xorshift128 reference = before;
    ASSERT_EQ(drawn.size(), 24u);
    for (size_t i = 0; i < drawn.size(); ++i)
        EXPECT_FLOAT_EQ(drawn[i], 100.0f * static_cast<float>(i + 1) + reference.NextFloat01())
            << "draw " << i;
    EXPECT_TRUE(testsupport::Same(root->random, reference));
    delete p;
    EXPECT_EQ(rig.Release(), 0u);
}

// The colour mode and the angle-fade type index tables of members; a value
// past either table does nothing.
TEST(ParticleConstruction, ColourModesAndAngleFadesPastTheirTablesDoNothing) {
    using P = ParticleInstance;
    struct Case {
        const char* name;
        uint32_t unit;
        uint8_t colourMode;
        P::PlainMember colour;
        P::PlainMember angleFade;
    };
    const Case cases[] = {
        {"colour mode 0", 0, 0, P::NoOpPlain, P::NoOpPlain},
        {"colour mode 1: the colour kept at spawn", 0, 1, P::MultiplyBaseColor, P::NoOpPlain},
        {"colour mode 3: the parent's", 0, 3, P::MultiplyParentColor, P::NoOpPlain},
        {"colour mode 4", 0, 4, P::NoOpPlain, P::NoOpPlain},
        {"colour mode 255", 0, 255, P::NoOpPlain, P::NoOpPlain},
        {"angle fade 3: pitch", 1, 0, P::NoOpPlain, P::ApplyPitchAngleFade},
        {"angle fade 4", 2, 0, P::NoOpPlain, P::NoOpPlain},
    };
    testsupport::UnitTreeRig rig;
    ASSERT_TRUE(rig.Start());
    FulgorCore::UnitCreators::Current() = FulgorCore::UnitCreators::kBuiltIn;
    effecttools::EffectFileValue f = testsupport::TreeEffect("vfx/modes.vfxb", 3, 100);
    for (uint32_t type : {3u, 4u}) {
        effecttools::UnitValue& u = f.package.units[type - 2];
        u.fields = {{"bPAf", 1}};
        u.angleFade = effecttools::AngleFadeValue{type, 0.0f, 1.0f, 0.0f, 1.0f};
    }
    FulgorCore::InstanceRootUnit* root = rig.PlayRoot(f);
    ASSERT_NE(root, nullptr);
    const float zero[3] = {0, 0, 0};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        FulgorCore::UnitInstance::InitialState state;
        state.parent = root;
        ParticleSpawnSettings link = ParticleSpawnSettings::Default();
        link.bytes[5] = c.colourMode;
        auto* p = FulgorCore::UnitInstance::Create<ParticleInstance>(
            root, nullptr, state, root->package->GetUnit(c.unit), &link, -1, zero, zero, zero, zero,
            zero);
        ASSERT_NE(p, nullptr);
        EXPECT_EQ(p->colorInheritMember, c.colour);
        EXPECT_EQ(p->viewAngleFadeMember, c.angleFade);
        delete p;
    }
    EXPECT_EQ(rig.Release(), 0u);
}

} // namespace
