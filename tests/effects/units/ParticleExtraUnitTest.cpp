// Particle extra units: what they publish to the instance's root.
#include "effects/units/ParticleExtraUnit.h"
#include "support/effects/EmitterRig.h"

#include <gtest/gtest.h>

namespace {

using FulgorCore::ParticleExtraUnit;
using FulgorCore::ParticleExtraUnitT;
using testsupport::EmitterRig;

class ExtraUnits : public testing::Test {
protected:
    // An effect whose unit 0 has an extra part of `kind` (kind 2 with the
    // values 5 and 3).
    void Begin(uint32_t kind) {
        effecttools::EffectFileValue f = EmitterRig::EffectWith(testsupport::Emitter(2));
        effecttools::EffectPartValue part;
        part.kind = kind;
        part.innerRadius = effecttools::Constant(5.0f);
        part.outerRadius = effecttools::Constant(3.0f);
        f.package.units[0].effectPart = part;
        ASSERT_TRUE(rig.Begin(f));
    }
    ParticleExtraUnit* Make() {
        return ParticleExtraUnit::Create(rig.owner, rig.root->package->GetUnit(0)->GetEffectPart(0));
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
    // A zero third row: the zero direction.
    for (int i = 6; i < 9; ++i)
        rig.owner->matrix[i] = 0.0f;
    unit->Update();
    EXPECT_EQ(facing->direction[0], 0.0f);
    EXPECT_EQ(facing->direction[1], 0.0f);
    EXPECT_EQ(facing->direction[2], 0.0f);
    delete unit;
}

TEST_F(ExtraUnits, ARangeUnitPublishesStartAndRangeWithTheInverseMatrix) {
    Begin(2);
    ParticleExtraUnit* unit = Make();
    ASSERT_NE(unit, nullptr);
    unit->Update();
    ASSERT_NE(rig.root->publishedRange, nullptr);
    EXPECT_EQ(rig.root->publishedRange[0], 5.0f);
    EXPECT_EQ(rig.root->publishedRange[1], -2.0f);
    EXPECT_EQ(rig.root->publishedInverseMatrix, rig.owner->inverse);
    delete unit;
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
