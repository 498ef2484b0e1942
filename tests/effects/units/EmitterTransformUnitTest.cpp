// The emitter's attached transform unit: constants where nothing animates,
// the share flags that take a property from the shared-data unit (or the
// unit itself) whatever the animated flags say, the colour through the
// colour getter, and the values at time 0 before the first frame.
#include "effects/units/EmitterTransformUnit.h"
#include "effects/Core/Resource/PackageResource.h"
#include "effects/units/InstanceRootUnit.h"
#include "support/effects/RuntimeFrame.h"
#include "support/effects/UnitTreeRig.h"
#include "tools/effect/EffectComposition.h"

#include <gtest/gtest.h>

#include <array>
#include <string>

namespace {

using effecttools::ColourPlan;
using effecttools::UnitPlan;
using effecttools::Vector3Plan;
using FulgorCore::EmitterTransformUnit;
using FulgorCore::UnitInstance;
using Vec3 = std::array<float, 3>;
using Vec4 = std::array<float, 4>;
namespace Animates = effecttools::UnitAnimates;
namespace Shares = effecttools::UnitShares;

// Every property eases over 10 frames; the tests read it at 0 and at 10.
constexpr float kFrames = 10.0f;

Vector3Plan Ease3(Vec3 from, Vec3 to) {
    return Vector3Plan{from, to, kFrames};
}

UnitPlan Eased() {
    UnitPlan u;
    u.life = 0;
    u.scale = Ease3({2, 2, 2}, {4, 6, 8});
    u.rotation = Ease3({0.5f, 0, 0}, {1, 1, 1});
    u.translation = Ease3({5, 6, 7}, {15, 16, 17});
    u.colour = ColourPlan{{0.5f, 0.5f, 0.5f, 0.5f}, Vec4{0.25f, 0.5f, 1.0f, 0}, kFrames};
    return u;
}

struct TransformCase {
    const char* name;
    UnitPlan unit;
    // Each (scale, rotation, translation, colour) at time 0 and after the
    // emitter advanced it by 10 frames.
    Vec3 scale0, scale10;
    Vec3 rotation0, rotation10;
    Vec3 translation0, translation10;
    Vec4 colour0, colour10;
};

constexpr Vec3 kOne{1, 1, 1};
constexpr Vec3 kZero{0, 0, 0};
constexpr Vec4 kWhite{1, 1, 1, 1};

UnitPlan With(uint32_t animated, uint32_t shares, int8_t sharedUnit = -1) {
    UnitPlan u = Eased();
    u.animated = animated;
    u.shares = shares;
    u.sharedUnit = sharedUnit;
    return u;
}

// The unit another one shares from: package unit 0, other values.
UnitPlan SharedSource() {
    UnitPlan u;
    u.life = 0;
    u.scale = Ease3({3, 3, 3}, {9, 9, 9});
    return u;
}

const TransformCase kCases[] = {
    {"NothingAnimatedGivesTheConstantsForEver", With(0, 0), kOne, kOne, kZero, kZero, kZero, kZero,
     kWhite, kWhite},
    {"EverythingAnimatedFollowsItsProperties",
     With(Animates::kScale | Animates::kRotation | Animates::kTranslation | Animates::kColour, 0),
     {2, 2, 2},
     {4, 6, 8},
     {0.5f, 0, 0},
     {1, 1, 1},
     {5, 6, 7},
     {15, 16, 17},
     {0.5f, 0.5f, 0.5f, 0.5f},
     {0.25f, 0.5f, 1.0f, 0}},
    {"AShareFlagWithANegativeIndexAnimatesFromTheOwnData",
     With(0, Shares::kScale),
     {2, 2, 2},
     {4, 6, 8},
     kZero,
     kZero,
     kZero,
     kZero,
     kWhite,
     kWhite},
    {"AShareFlagTakesThePropertyOfTheNamedUnit",
     With(0, Shares::kScale, 0),
     {3, 3, 3},
     {9, 9, 9},
     kZero,
     kZero,
     kZero,
     kZero,
     kWhite,
     kWhite},
    {"AShareFlagNamingAUnitPastThePackageTakesTheOwnData",
     With(0, Shares::kScale, 9),
     {2, 2, 2},
     {4, 6, 8},
     kZero,
     kZero,
     kZero,
     kZero,
     kWhite,
     kWhite},
    {"TheColourAloneAnimatedComesBackFromTheColourGetter",
     With(Animates::kColour, 0),
     kOne,
     kOne,
     kZero,
     kZero,
     kZero,
     kZero,
     {0.5f, 0.5f, 0.5f, 0.5f},
     {0.25f, 0.5f, 1.0f, 0}},
    {"ASharedColourIsAnimatedWithoutItsFlag",
     With(0, Shares::kColour),
     kOne,
     kOne,
     kZero,
     kZero,
     kZero,
     kZero,
     {0.5f, 0.5f, 0.5f, 0.5f},
     {0.25f, 0.5f, 1.0f, 0}},
};

class EmitterTransforms : public testing::TestWithParam<TransformCase> {
protected:
    void SetUp() override {
        ASSERT_TRUE(rig_.Start());
        effecttools::EffectPlan plan;
        plan.name = "vfx/transform.vfxb";
        plan.endless = true;
        plan.units = {SharedSource(), GetParam().unit};
        handle_ = rig_.Play(rig_.Load(effecttools::ComposeEffect(plan)));
        testsupport::Frame();
        root_ = testsupport::UnitTreeRig::Root(handle_);
        ASSERT_NE(root_, nullptr);
    }
    void TearDown() override { EXPECT_EQ(rig_.Release(), 0u); }

    testsupport::UnitTreeRig rig_;
    FulgorCore::InstanceHandle handle_{};
    FulgorCore::InstanceRootUnit* root_ = nullptr;
};

Vec3 V3(const float* v) {
    return {v[0], v[1], v[2]};
}
Vec4 V4(const float* v) {
    return {v[0], v[1], v[2], v[3]};
}

TEST_P(EmitterTransforms, TimeZeroValuesThenTheAdvancedOnes) {
    const TransformCase& c = GetParam();
    auto* unit = UnitInstance::Create<EmitterTransformUnit>(
        root_, EmitterTransformUnit::kDefaultStart, root_->package->GetUnit(1));
    ASSERT_NE(unit, nullptr);
    EXPECT_EQ(unit->GetKind(), 3u);
    // Before any frame.
    EXPECT_EQ(V3(unit->scale), c.scale0);
    EXPECT_EQ(V3(unit->rotation), c.rotation0);
    EXPECT_EQ(V3(unit->translation), c.translation0);
    EXPECT_EQ(V4(unit->GetColor()), c.colour0);
    // The emitter's step, at the unit's own rate.
    unit->Advance(4.0f);
    unit->Advance(6.0f);
    EXPECT_EQ(unit->lastStep, 6.0f);
    EXPECT_EQ(unit->time, 10.0f);
    EXPECT_EQ(V3(unit->scale), c.scale10);
    EXPECT_EQ(V3(unit->rotation), c.rotation10);
    EXPECT_EQ(V3(unit->translation), c.translation10);
    EXPECT_EQ(V4(unit->GetColor()), c.colour10);
    delete unit;
}

INSTANTIATE_TEST_SUITE_P(EmitterTransformUnit, EmitterTransforms, testing::ValuesIn(kCases),
                         [](const testing::TestParamInfo<TransformCase>& info) {
                             return std::string(info.param.name);
                         });

} // namespace
