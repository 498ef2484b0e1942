// Particle extra units: what they publish to the instance's root.
#include "effects/units/ParticleExtraUnit.h"
#include "support/effects/EmitterRig.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <utility>
#include <vector>

namespace {

using FulgorCore::ParticleExtraUnit;
using FulgorCore::ParticleExtraUnitT;
using testsupport::EmitterRig;

class ExtraUnits : public testing::Test {
protected:
    // An effect whose unit 0 has an extra part of `kind` (kind 2 with the
    // values inner and outer); each further pair of values an extra part of
    // a unit of its own, from unit 2 on.
    void Begin(uint32_t kind, std::vector<std::pair<float, float>> radii = {{5.0f, 3.0f}}) {
        effecttools::EffectFileValue f = EmitterRig::EffectWith(testsupport::Emitter(2));
        effecttools::EffectPartValue part;
        part.kind = kind;
        for (size_t i = 0; i < radii.size(); ++i) {
            part.innerRadius = effecttools::Constant(radii[i].first);
            part.outerRadius = effecttools::Constant(radii[i].second);
            if (i > 0)
                f.package.units.push_back(f.package.units[0]);
            f.package.units[i == 0 ? 0 : f.package.units.size() - 1].effectPart = part;
        }
        ASSERT_TRUE(rig.Begin(f));
    }
    ParticleExtraUnit* Make(uint32_t unit = 0) {
        return ParticleExtraUnit::Create(rig.owner,
                                         rig.root->package->GetUnit(unit)->GetEffectPart(0));
    }
    void TearDown() override {
        if (rig.root) {
            EXPECT_EQ(rig.Release(), 0u);
        }
    }

    EmitterRig rig;
};

TEST_F(ExtraUnits, AFacingUnitPublishesItsNegatedThirdAxisAndColour) {
    Begin(1);
    ParticleExtraUnit* unit = Make();
    ASSERT_NE(unit, nullptr);
    auto* facing = static_cast<ParticleExtraUnitT<1>*>(unit);
    const float m[12] = {1, 0, 0, 0, 1, 0, 0, 0, 4, 0, 0, 0};
    std::copy(m, m + 12, rig.owner->matrix);
    rig.owner->colour[1] = 0.25f;
    unit->Update();
    EXPECT_EQ(rig.root->publishedDirection, facing->light.direction);
    EXPECT_NEAR(facing->light.direction[2], -1.0f, 2e-3f);
    EXPECT_EQ(facing->light.direction[0], 0.0f);
    EXPECT_EQ(facing->light.colour[1], 0.25f);
    // A third row of (0, 0, -2): one Newton step of the reciprocal square
    // root in single precision.
    rig.owner->matrix[8] = -2.0f;
    unit->Update();
    EXPECT_NEAR(facing->light.direction[2], 0.99831f, 5e-6f);
    // A zero third row: the zero direction.
    for (int i = 6; i < 9; ++i)
        rig.owner->matrix[i] = 0.0f;
    unit->Update();
    EXPECT_EQ(facing->light.direction[0], 0.0f);
    EXPECT_EQ(facing->light.direction[1], 0.0f);
    EXPECT_EQ(facing->light.direction[2], 0.0f);
    delete unit;
}

// Start a and range b - a, each value first raised to 0 when negative.
TEST_F(ExtraUnits, ARangeUnitPublishesStartAndRangeWithTheInverseMatrix) {
    const struct {
        float inner, outer, start, range;
    } rows[] = {{5, 3, 5, -2}, {-2, 3, 0, 3}, {2, -4, 2, -2}, {-1, -6, 0, 0}, {-3, 5, 0, 5}};
    std::vector<std::pair<float, float>> radii;
    for (const auto& row : rows)
        radii.push_back({row.inner, row.outer});
    Begin(2, radii);
    for (uint32_t i = 0; i < std::size(rows); ++i) {
        SCOPED_TRACE(testing::Message() << rows[i].inner << " " << rows[i].outer);
        ParticleExtraUnit* unit = Make(i == 0 ? 0 : i + 1);
        ASSERT_NE(unit, nullptr);
        unit->Update();
        ASSERT_NE(rig.root->publishedRange, nullptr);
        EXPECT_EQ(rig.root->publishedRange[0], rows[i].start);
        EXPECT_EQ(rig.root->publishedRange[1], rows[i].range);
        EXPECT_EQ(rig.root->publishedInverseMatrix, rig.owner->inverse);
        delete unit;
    }
}

TEST_F(ExtraUnits, OfTwoFacingUnitsTheRootHoldsTheLastUpdated) {
    Begin(1);
    ParticleExtraUnit* a = Make();
    ParticleExtraUnit* b = Make();
    ASSERT_TRUE(a && b);
    a->Update();
    b->Update();
    EXPECT_EQ(rig.root->publishedDirection,
              static_cast<ParticleExtraUnitT<1>*>(b)->light.direction);
    b->Update();
    a->Update();
    EXPECT_EQ(rig.root->publishedDirection,
              static_cast<ParticleExtraUnitT<1>*>(a)->light.direction);
    // The root clears what was published at the start of its evaluation.
    rig.root->Evaluate();
    EXPECT_EQ(rig.root->publishedDirection, nullptr);
    delete a;
    delete b;
}

// The block the root points at is the renderer's effect light: two float4,
// the direction and then the colour, each with a fourth float of 0.
TEST_F(ExtraUnits, TheFacingBlockIsTwoFloat4OfDirectionThenColour) {
    Begin(1);
    ParticleExtraUnit* unit = Make();
    ASSERT_NE(unit, nullptr);
    rig.owner->matrix[8] = 2.0f;
    const float colour[4] = {0.25f, 0.5f, 0.75f, 0.125f};
    std::copy(colour, colour + 4, rig.owner->colour);
    unit->Update();
    const auto* block = static_cast<const float*>(rig.root->publishedDirection);
    ASSERT_NE(block, nullptr);
    const std::vector<float> seen(block, block + 8);
    // (0, 0, 2) negated and normalised by one Newton step.
    EXPECT_EQ(seen,
              (std::vector<float>{0.0f, 0.0f, -0.998308122f, 0.0f, 0.25f, 0.5f, 0.75f, 0.0f}));
    delete unit;
}

// What a unit published goes with it; what another unit published stays.
TEST_F(ExtraUnits, AUnitThatGoesTakesWhatItPublishedWithIt) {
    // Unit 0 with a facing unit, unit 2 with a range unit.
    effecttools::EffectFileValue f = EmitterRig::EffectWith(testsupport::Emitter(2));
    f.package.units.push_back(f.package.units[0]);
    effecttools::EffectPartValue part;
    part.kind = 1;
    f.package.units[0].effectPart = part;
    part.kind = 2;
    part.innerRadius = effecttools::Constant(1.0f);
    part.outerRadius = effecttools::Constant(2.0f);
    f.package.units[2].effectPart = part;
    ASSERT_TRUE(rig.Begin(f));
    struct Row {
        const char* name;
        uint32_t unit;
        bool publishedLast; // the unit deleted is the one the root names
    };
    const Row rows[] = {{"facing, published last", 0, true},
                        {"facing, published before another", 0, false},
                        {"range, published last", 2, true},
                        {"range, published before another", 2, false}};
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        rig.root->Evaluate();
        ParticleExtraUnit* going = Make(row.unit);
        ParticleExtraUnit* staying = Make(row.unit);
        ASSERT_TRUE(going && staying);
        if (row.publishedLast) {
            staying->Update();
            going->Update();
        } else {
            going->Update();
            staying->Update();
        }
        const void* direction = rig.root->publishedDirection;
        const float* range = rig.root->publishedRange;
        const float* matrix = rig.root->publishedInverseMatrix;
        delete going;
        if (row.publishedLast) {
            EXPECT_EQ(rig.root->publishedDirection, nullptr);
            EXPECT_EQ(rig.root->publishedRange, nullptr);
            EXPECT_EQ(rig.root->publishedInverseMatrix, nullptr);
        } else {
            EXPECT_EQ(rig.root->publishedDirection, direction);
            EXPECT_EQ(rig.root->publishedRange, range);
            EXPECT_EQ(rig.root->publishedInverseMatrix, matrix);
        }
        delete staying;
    }
}

TEST_F(ExtraUnits, OtherKindsMakeNoUnit) {
    Begin(3);
    const uint32_t used = EmitterRig::UsedBlocks();
    EXPECT_EQ(Make(), nullptr);
    EXPECT_EQ(EmitterRig::UsedBlocks(), used);
}

} // namespace
