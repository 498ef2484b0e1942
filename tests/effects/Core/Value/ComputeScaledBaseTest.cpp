#include "effects/Core/Value/ComputeScaledBase.h"
#include "effects/Core/Engine/Engine.h"
#include "support/effects/DrawUnitRig.h"

#include <gtest/gtest.h>

namespace {

using FulgorCore::ComputeScaledBase;
using FulgorCore::ScaledBaseInput;

TEST(ComputeScaledBaseTest, TheFiveModes) {
    const float scale[3] = {1.5f, 3.0f, 2.0f};
    const float camera[3] = {0.0f, 0.0f, 0.0f};
    // Squared distance 16: the bit-level root of 16 is exactly 4.
    const float owner[3] = {0.0f, 0.0f, 4.0f};
    ScaledBaseInput in;
    in.instanceParameter = 2.0f;
    in.dataValue = 0.5f;
    in.ownerScale = scale;
    in.distanceFactor = 0.5f;
    in.cameraPosition = camera;
    in.ownerTranslation = owner;
    EXPECT_FLOAT_EQ(ComputeScaledBase(0, in), 2.0f);
    EXPECT_FLOAT_EQ(ComputeScaledBase(1, in), 2.5f);
    EXPECT_FLOAT_EQ(ComputeScaledBase(2, in), 2.5f * 3.0f);
    EXPECT_FLOAT_EQ(ComputeScaledBase(3, in), 2.5f * 2.0f);
    EXPECT_FLOAT_EQ(ComputeScaledBase(4, in), 2.5f * 3.0f * 2.0f);
    // Near the camera the distance term is held at 1.
    in.distanceFactor = 0.1f;
    EXPECT_FLOAT_EQ(ComputeScaledBase(3, in), 2.5f);
}

TEST(ComputeScaledBaseTest, TheDistanceIsTheBitLevelRoot) {
    const float scale[3] = {1, 1, 1};
    const float camera[3] = {1.0f, 1.0f, 1.0f};
    // Squared distance 3: the bit-level root gives 1.75, not 1.732.
    const float owner[3] = {2.0f, 2.0f, 2.0f};
    ScaledBaseInput in{1.0f, 0.0f, scale, 2.0f, camera, owner};
    EXPECT_FLOAT_EQ(ComputeScaledBase(3, in), 3.5f);
}

TEST(ComputeScaledBaseTest, ModesPastFourAreModeZeroAndTheFirstTwoReadNoPointer) {
    ScaledBaseInput in;
    in.instanceParameter = 7.0f;
    in.dataValue = 1.0f;
    EXPECT_FLOAT_EQ(ComputeScaledBase(5, in), 7.0f);
    EXPECT_FLOAT_EQ(ComputeScaledBase(0xFFFFFFFFu, in), 7.0f);
    EXPECT_FLOAT_EQ(ComputeScaledBase(1, in), 8.0f);
}

// A draw unit's base value (its vertices' fourth position component) by
// the mode its data chose from "DBis", "DBDS" and "bDBT", with the host's
// instance parameter 1, data value 2, an owner of scale (1, 3, 2) 16 from
// the camera and distance factor 0.5 where the mode reads it.
TEST(ComputeScaledBaseTest, ADrawUnitTakesItsBaseValueByTheModeOfItsData) {
    const struct {
        float bias, biasScale;
        bool byScale;
        float expected;
    } rows[] = {{0.0f, 1.0f, false, 1.0f},
                {2.0f, 1.0f, false, 3.0f},
                {2.0f, 1.0f, true, 3.0f * 3.0f},
                {2.0f, 0.5f, false, 3.0f * 8.0f},
                {2.0f, 0.5f, true, 3.0f * 3.0f * 8.0f}};
    std::vector<effecttools::DrawPartValue> parts;
    for (const auto& row : rows) {
        effecttools::DrawPartValue part;
        part.data = effecttools::DrawDataType3Value{};
        part.bias = row.bias;
        part.biasScale = row.biasScale;
        part.fields = {{"bDBT", row.byScale ? 1u : 0u}};
        parts.push_back(part);
    }
    testsupport::DrawUnitRig rig(testsupport::DrawEffect(parts));
    ASSERT_TRUE(rig.ok);
    FulgorCore::Engine::SetInstanceParameter(rig.instance.index, rig.instance.serial, 1.0f);
    testsupport::Frame();
    const float at[3] = {0.0f, 0.0f, 16.0f};
    FulgorCore::ParticleInstance* owner = rig.MakeOwner(at);
    ASSERT_NE(owner, nullptr);
    owner->scale[1] = 3.0f;
    owner->scale[2] = 2.0f;
    for (uint32_t mode = 0; mode < 5; ++mode) {
        ASSERT_EQ(rig.Part(mode)->GetBiasMode(), mode);
        FulgorCore::DrawUnit* unit =
            FulgorCore::DrawUnit::Create<testsupport::KernelUnit>(owner, rig.Part(mode));
        ASSERT_NE(unit, nullptr);
        EXPECT_FLOAT_EQ(unit->GetPolygonOffset(), rows[mode].expected) << mode;
        delete unit;
    }
}

} // namespace
