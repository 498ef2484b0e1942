// Particle extra units: what they publish to the instance's root.
#include "effects/units/ParticleExtraUnit.h"
#include "support/effects/EmitterRig.h"

#include <gtest/gtest.h>

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
    EXPECT_EQ(rig.root->publishedDirection, facing->direction);
    EXPECT_NEAR(facing->direction[2], -1.0f, 2e-3f);
    EXPECT_EQ(facing->direction[0], 0.0f);
    EXPECT_EQ(facing->colour[1], 0.25f);
    // A third row of (0, 0, -2): one Newton step of the reciprocal square
    // root in single precision.
    rig.owner->matrix[8] = -2.0f;
    unit->Update();
    EXPECT_NEAR(facing->direction[2], 0.99831f, 5e-6f);
    // A zero third row: the zero direction.
    for (int i = 6; i < 9; ++i)
        rig.owner->matrix[i] = 0.0f;
    unit->Update();
    EXPECT_EQ(facing->direction[0], 0.0f);
    EXPECT_EQ(facing->direction[1], 0.0f);
    EXPECT_EQ(facing->direction[2], 0.0f);
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
    EXPECT_EQ(rig.root->publishedDirection, static_cast<ParticleExtraUnitT<1>*>(b)->direction);
    b->Update();
    a->Update();
    EXPECT_EQ(rig.root->publishedDirection, static_cast<ParticleExtraUnitT<1>*>(a)->direction);
    // The root clears what was published at the start of its evaluation.
    rig.root->Evaluate();
    EXPECT_EQ(rig.root->publishedDirection, nullptr);
    delete a;
    delete b;
}

TEST_F(ExtraUnits, OtherKindsMakeNoUnit) {
    Begin(3);
    const uint32_t used = EmitterRig::UsedBlocks();
    EXPECT_EQ(Make(), nullptr);
    EXPECT_EQ(EmitterRig::UsedBlocks(), used);
}

} // namespace
