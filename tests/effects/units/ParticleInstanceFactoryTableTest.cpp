// The particle factories: the class a unit's counts choose, what a
// composed class builds and calls on its parts, the root's spawn and its
// default settings, and a pool that runs out.
#include "effects/units/ParticleInstanceFactoryTable.h"
#include "effects/Core/Engine/Engine.h"
#include "effects/Core/Engine/EngineWorkData.h"
#include "effects/Core/Resource/PackageResource.h"
#include "effects/Core/Resource/UnitResource.h"
#include "effects/units/InstanceRootUnit.h"
#include "effects/units/ParticleInstance.h"
#include "effects/units/ParticleInstanceT.h"
#include "effects/units/ParticleSpawnSettings.h"
#include "effects/units/UnitCreators.h"
#include "support/effects/RecordingParts.h"
#include "support/effects/UnitTreeRig.h"

#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <cstring>
#include <limits>
#include <string>
#include <vector>

namespace {

using FulgorCore::InstanceRootUnit;
using FulgorCore::ParticleInstance;
using FulgorCore::ParticleInstanceFactoryTable;
using FulgorCore::UnitInstance;
using FulgorCore::UnitResource;
using testsupport::RecordingParts;
namespace Engine = FulgorCore::Engine;

// A unit with `draws` draw parts, `emitters` emitters and `extra` effect
// parts of kind `extraKind`.
effecttools::UnitValue PartsUnit(int draws, int emitters, int extra, uint32_t extraKind = 1) {
    effecttools::UnitValue unit;
    unit.life = 60;
    for (int i = 0; i < draws; ++i)
        unit.drawParts.emplace_back();
    for (int i = 0; i < emitters; ++i) {
        effecttools::EmitterValue e;
        e.kind = 2;
        unit.emitters.push_back(e);
    }
    if (extra) {
        effecttools::EffectPartValue part;
        part.kind = extraKind;
        unit.effectPart = part;
    }
    return unit;
}

class Factories : public testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(rig_.Start());
        FulgorCore::UnitCreators::Current() = FulgorCore::UnitCreators::kBuiltIn;
        effecttools::EffectFileValue f = testsupport::TreeEffect("vfx/factories.vfxb", 0);
        for (int a = 0; a <= 3; ++a)
            for (int b = 0; b <= 2; ++b)
                for (int c = 0; c <= 1; ++c)
                    f.package.units.push_back(PartsUnit(a, b, c));
        f.package.units.push_back(PartsUnit(0, 0, 1, 3)); // 24: an extra unit of kind 3
        const FulgorCore::ObjectHandle effect = rig_.Load(f);
        ASSERT_NE(effect.serial, 0u);
        const FulgorCore::InstanceHandle h = rig_.Play(effect);
        testsupport::Frame();
        root_ = rig_.Root(h);
        ASSERT_NE(root_, nullptr);
        start_ = rig_.UsedBlocks();
    }
    void TearDown() override { EXPECT_EQ(rig_.Release(), 0u); }

    const UnitResource* Unit(uint32_t i) const { return root_->package->GetUnit(i); }
    ParticleInstance* Spawn(uint32_t unit, float lifetime = 10.0f) {
        const float at[3] = {1.0f, 2.0f, 3.0f};
        ParticleInstance* p = root_->SpawnParticleInstance(root_, Unit(unit), at, lifetime, 1.0f);
        root_->AddChild(p);
        return p;
    }

    testsupport::UnitTreeRig rig_;
    InstanceRootUnit* root_ = nullptr;
    uint32_t start_ = 0;
};

TEST(FactoryIndex, CountsChooseTheirPlaceAndCountsOutsideChooseNone) {
    EXPECT_EQ(ParticleInstanceFactoryTable::IndexOf(0, 0, 0), 0);
    EXPECT_EQ(ParticleInstanceFactoryTable::IndexOf(0, 0, 1), 1);
    EXPECT_EQ(ParticleInstanceFactoryTable::IndexOf(0, 1, 0), 2);
    EXPECT_EQ(ParticleInstanceFactoryTable::IndexOf(1, 0, 0), 6);
    EXPECT_EQ(ParticleInstanceFactoryTable::IndexOf(2, 1, 1), 15);
    EXPECT_EQ(ParticleInstanceFactoryTable::IndexOf(3, 2, 1), 23);
    // Past the table: no class holds such counts.
    EXPECT_EQ(ParticleInstanceFactoryTable::IndexOf(4, 0, 0), -1);
    EXPECT_EQ(ParticleInstanceFactoryTable::IndexOf(0, 3, 0), -1);
    EXPECT_EQ(ParticleInstanceFactoryTable::IndexOf(0, 0, 2), -1);
    EXPECT_EQ(ParticleInstanceFactoryTable::IndexOf(3, 2, 2), -1);
    EXPECT_EQ(ParticleInstanceFactoryTable::IndexOf(nullptr), -1);
    EXPECT_EQ(ParticleInstanceFactoryTable::For(nullptr), nullptr);
}

TEST_F(Factories, EveryClassBuildsItsPartsInOrder) {
    RecordingParts parts;
    for (int a = 0; a <= 3; ++a) {
        for (int b = 0; b <= 2; ++b) {
            for (int c = 0; c <= 1; ++c) {
                const uint32_t k = static_cast<uint32_t>((a * 3 + b) * 2 + c);
                EXPECT_EQ(ParticleInstanceFactoryTable::IndexOf(Unit(k)), static_cast<int32_t>(k));
                parts.drawsBuilt = parts.emittersBuilt = parts.extrasBuilt = 0;
                ParticleInstance* p = Spawn(k);
                ASSERT_NE(p, nullptr) << k;
                EXPECT_TRUE(p->alive) << k;
                EXPECT_EQ(parts.drawsBuilt, a) << k;
                EXPECT_EQ(parts.emittersBuilt, b) << k;
                EXPECT_EQ(parts.extrasBuilt, c) << k;
                // The particle, its transform block, its parts.
                EXPECT_EQ(rig_.UsedBlocks(), start_ + 2 + a + b + c) << k;
                p->Finish();
                testsupport::Frame();
                EXPECT_EQ(rig_.UsedBlocks(), start_) << k;
            }
        }
    }
}

TEST_F(Factories, NoPartsIsTheBaseClassWithTransformColourAndEvents) {
    ParticleInstance* p = Spawn(0);
    ASSERT_NE(p, nullptr);
    using Bare = FulgorCore::ParticleInstanceT<0, 0, 0>;
    EXPECT_NE(dynamic_cast<Bare*>(p), nullptr);
    EXPECT_EQ(p->GetKind(), UnitInstance::kParticleNode);
    EXPECT_NE(p->transformBlock, nullptr);
    EXPECT_EQ(rig_.UsedBlocks(), start_ + 2);
    testsupport::Frame();
    EXPECT_FLOAT_EQ(p->GetWorldMatrix()[9], 1.0f);
    EXPECT_FLOAT_EQ(p->GetWorldMatrix()[11], 3.0f);
    // No colour in the data: white.
    EXPECT_EQ(std::vector<float>(p->GetColor(), p->GetColor() + 4),
              (std::vector<float>{1.0f, 1.0f, 1.0f, 1.0f}));
}

// A draw unit not built, for want of a class or of a block, ends the
// particle, and nothing after it is built; so does an extra unit of a kind
// other than 1 or 2.
TEST_F(Factories, APartNotBuiltEndsTheParticle) {
    struct Row {
        const char* name;
        RecordingParts::Mode drawMode;
        uint32_t unit;
    };
    const Row rows[] = {
        {"draw without a class", RecordingParts::Mode::kSkip, 7}, // 1 draw, 1 extra
        {"draw without a block", RecordingParts::Mode::kNoBlock, 7},
        {"extra of kind 3", RecordingParts::Mode::kBuild, 24},
    };
    for (const Row& row : rows) {
        RecordingParts parts;
        parts.drawMode = row.drawMode;
        ParticleInstance* p = Spawn(row.unit);
        ASSERT_NE(p, nullptr) << row.name; // returned all the same
        EXPECT_FALSE(p->alive) << row.name;
        EXPECT_EQ(parts.extrasBuilt, 0) << row.name;
        testsupport::Frame();
        EXPECT_EQ(rig_.UsedBlocks(), start_) << row.name;
    }
}

TEST_F(Factories, AnExhaustedPoolGivesNullAndTakesNothing) {
    FulgorCore::UnitInstancePool& pool = Engine::GetUnitInstancePool();
    std::vector<void*> taken;
    while (void* block = pool.Allocate())
        taken.push_back(block);
    const uint32_t used = rig_.UsedBlocks();
    EXPECT_EQ(Spawn(23), nullptr);
    EXPECT_EQ(Spawn(0), nullptr);
    EXPECT_EQ(rig_.UsedBlocks(), used);
    // One block: the particle, but no transform block: it ends at once.
    pool.Free(taken.back());
    taken.pop_back();
    ParticleInstance* p = Spawn(0);
    ASSERT_NE(p, nullptr);
    EXPECT_FALSE(p->alive);
    for (void* block : taken)
        pool.Free(block);
}

TEST_F(Factories, ALifetimeOfZeroOrNotANumberNeverEndsByTime) {
    ParticleInstance* zero = Spawn(0, 0.0f);
    ParticleInstance* nan = Spawn(0, std::numeric_limits<float>::quiet_NaN());
    ParticleInstance* timed = Spawn(0, 3.0f);
    ASSERT_NE(zero, nullptr);
    ASSERT_NE(nan, nullptr);
    EXPECT_EQ(zero->timeStepMember, UnitInstance::ClockStepOf(UnitInstance::kEndless, false));
    EXPECT_EQ(nan->timeStepMember, UnitInstance::ClockStepOf(UnitInstance::kEndless, false));
    for (int i = 0; i < 10; ++i)
        testsupport::Frame();
    EXPECT_TRUE(zero->alive);
    EXPECT_TRUE(nan->alive);
    EXPECT_EQ(testsupport::Children(root_).size(), 2u); // the timed one has gone
    (void)timed;
}

std::array<uint8_t, 8>& SeenSettings() {
    static std::array<uint8_t, 8> seen;
    return seen;
}

TEST_F(Factories, TheSpawnPassesTheDefaultSettingsAndNoSpawner) {
    ParticleInstanceFactoryTable::Factory* table = ParticleInstanceFactoryTable::Current();
    static ParticleInstanceFactoryTable::Factory real;
    static int32_t point;
    static FulgorCore::ParticleEmitterPart* spawner;
    real = table[0];
    table[0] = [](InstanceRootUnit* owner, FulgorCore::ParticleEmitterPart* aux,
                  const UnitInstance::InitialState& state, const UnitResource* unit,
                  const FulgorCore::ParticleSpawnSettings* settings, int32_t pointIndex,
                  const float* origin, const float* position, const float* velocity,
                  const float* rotation, const float* direction) -> ParticleInstance* {
        std::memcpy(SeenSettings().data(), settings->bytes, 8);
        point = pointIndex;
        spawner = aux;
        return real(owner, aux, state, unit, settings, pointIndex, origin, position, velocity,
                    rotation, direction);
    };
    ParticleInstance* p = Spawn(0);
    table[0] = real;
    ASSERT_NE(p, nullptr);
    EXPECT_EQ(SeenSettings(), (std::array<uint8_t, 8>{0xFF, 0, 0, 0, 0, 0, 0x02, 0x07}));
    EXPECT_EQ(point, -1);
    EXPECT_EQ(spawner, nullptr);
    // Inherit mode 2, colour mode 0, the three inherit bits.
    EXPECT_EQ(p->InheritMode(), 2u);
    EXPECT_EQ(p->ColorMode(), 0u);
    EXPECT_EQ(p->inheritFlags, 0x07020000u);
}

} // namespace
