// The property strategies of a particle instance: which one each slot gets
// from the data and the link, what they compute (inheritance by product for
// colour and scale, by sum for rotation and translation), and the
// integrations of position, local and world acceleration.
#include "effects/Core/Resource/PackageResource.h"
#include "effects/units/EmitterTransformUnit.h"
#include "effects/units/InstanceRootUnit.h"
#include "effects/units/NodeEventBlock.h"
#include "effects/units/ParticleInstance.h"
#include "effects/units/TransformBlock.h"
#include "support/effects/RuntimeFrame.h"
#include "support/effects/StandInParticle.h"
#include "support/effects/UnitTreeRig.h"
#include "tools/effect/EffectComposition.h"

#include <gtest/gtest.h>

#include <array>
#include <string>

namespace {

using effecttools::ColourPlan;
using effecttools::UnitPlan;
using effecttools::Vector3Plan;
using FulgorCore::ParticleInstance;
using FulgorCore::UnitClock;
using FulgorCore::UnitInstance;
using Vec3 = std::array<float, 3>;
using Vec4 = std::array<float, 4>;
namespace Animates = effecttools::UnitAnimates;

// Package units of the effect the tests play.
enum : uint32_t { kPlain, kAnimated, kLinked, kAccelerating };

constexpr Vec3 kBaseRotation{1, 2, 3};
constexpr Vec3 kVelocity{1, 1, 1};

Vector3Plan Constant3(Vec3 v) {
    return Vector3Plan{v, std::nullopt, 60.0f};
}

effecttools::EffectFileValue StrategyEffect() {
    effecttools::EffectPlan plan;
    plan.name = "vfx/strategies.vfxb";
    plan.endless = true;
    UnitPlan plain;
    plain.life = 0;
    // Values a non-animated property must never read.
    plain.scale = Constant3({9, 9, 9});
    plain.rotation = Constant3({9, 9, 9});
    plain.translation = Constant3({9, 9, 9});
    plain.colour = ColourPlan{{0.5f, 0.5f, 0.5f, 0.5f}, std::nullopt, 60.0f};
    UnitPlan animated = plain;
    animated.animated =
        Animates::kColour | Animates::kScale | Animates::kRotation | Animates::kTranslation;
    animated.scale = Constant3({2, 2, 2});
    animated.rotation = Constant3({10, 20, 30});
    animated.translation = Constant3({10, 20, 30});
    UnitPlan linked = animated;
    linked.scale = Constant3({2, 3, 4});
    linked.rotation = Constant3({100, 200, 300});
    linked.translation = Constant3({100, 200, 300});
    linked.colour = ColourPlan{{0.5f, 0.25f, 1.0f, 0.5f}, std::nullopt, 60.0f};
    UnitPlan accelerating;
    accelerating.life = 0;
    accelerating.acceleration = Constant3({0, 4, 0});
    accelerating.worldAcceleration = Constant3({0, -10, 0});
    accelerating.speedFactor = Constant3({2, 3, 4});
    plan.units = {plain, animated, linked, accelerating};
    return effecttools::ComposeEffect(plan);
}

class Strategies : public testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(rig_.Start());
        handle_ = rig_.Play(rig_.Load(StrategyEffect()));
        testsupport::Frame();
        root_ = testsupport::UnitTreeRig::Root(handle_);
        ASSERT_NE(root_, nullptr);
    }
    void TearDown() override {
        for (UnitInstance* u : made_)
            delete u;
        EXPECT_EQ(rig_.Release(), 0u);
    }

    const FulgorCore::UnitResource* Data(uint32_t unit) { return root_->package->GetUnit(unit); }

    // A particle of package unit `unit` spawned with the base rotation and
    // the velocity, linked to `linked` (none when null), its strategies
    // chosen with `inheritBits`.
    ParticleInstance* Spawn(uint32_t unit, const FulgorCore::EmitterTransformUnit* linked,
                            uint32_t inheritBits) {
        UnitInstance::InitialState endless;
        endless.parent = root_;
        endless.timeMode = UnitInstance::kEndless;
        auto* p = UnitInstance::Create<ParticleInstance>(
            root_, nullptr, endless, Data(unit), nullptr, -1, nullptr, nullptr, kVelocity.data(),
            kBaseRotation.data(), nullptr);
        EXPECT_NE(p, nullptr);
        made_.push_back(p);
        p->linkedUnit = linked;
        p->SelectStrategies(*Data(unit), *Data(unit), inheritBits);
        return p;
    }
    FulgorCore::EmitterTransformUnit* Transform(uint32_t unit) {
        auto* t = UnitInstance::Create<FulgorCore::EmitterTransformUnit>(
            root_, FulgorCore::EmitterTransformUnit::kDefaultStart, Data(unit));
        EXPECT_NE(t, nullptr);
        made_.push_back(t);
        return t;
    }

    testsupport::UnitTreeRig rig_;
    FulgorCore::InstanceHandle handle_{};
    FulgorCore::InstanceRootUnit* root_ = nullptr;
    std::vector<UnitInstance*> made_;
};

UnitClock Step(float dt) {
    UnitClock clock;
    clock.lastStep = dt;
    return clock;
}

Vec3 V3(const float* v) {
    return {v[0], v[1], v[2]};
}
Vec4 V4(const float* v) {
    return {v[0], v[1], v[2], v[3]};
}

constexpr uint32_t kAllInherit =
    ParticleInstance::kInheritsColour | ParticleInstance::kInheritsScale |
    ParticleInstance::kInheritsRotation | ParticleInstance::kInheritsTranslation;

// One frame's colour and transform steps with dt 1 (the integrated
// position becomes the velocity (1, 1, 1)).
struct InheritCase {
    const char* name;
    uint32_t unit;
    bool linked;
    uint32_t inheritBits;
    Vec3 scale;
    Vec3 rotation;
    Vec3 translation;
    Vec4 colour;
};

const InheritCase kInheritCases[] = {
    // Linked (2, 3, 4), (100, 200, 300), (100, 200, 300), (0.5, 0.25, 1,
    // 0.5); own (2, 2, 2), (10, 20, 30), (10, 20, 30), 0.5 each.
    {"AnimatedAndInheritedMultipliesColourAndScaleAddsRotationAndTranslation",
     kAnimated,
     true,
     kAllInherit,
     {4, 6, 8},
     {111, 222, 333},
     {111, 221, 331},
     {0.25f, 0.125f, 0.5f, 0.25f}},
    {"InheritedAloneCopiesTheLinkedValuesOverTheBase",
     kPlain,
     true,
     kAllInherit,
     {2, 3, 4},
     {101, 202, 303},
     {101, 201, 301},
     {0.5f, 0.25f, 1.0f, 0.5f}},
    {"AnimatedAloneTakesTheOwnProperties",
     kAnimated,
     true,
     0,
     {2, 2, 2},
     {11, 22, 33},
     {11, 21, 31},
     {0.5f, 0.5f, 0.5f, 0.5f}},
    {"WithoutALinkedUnitTheInheritBitsAreIgnored",
     kAnimated,
     false,
     kAllInherit,
     {2, 2, 2},
     {11, 22, 33},
     {11, 21, 31},
     {0.5f, 0.5f, 0.5f, 0.5f}},
    {"NothingAnimatedKeepsOneTheBaseRotationAndTheIntegratedPosition",
     kPlain,
     false,
     kAllInherit,
     {1, 1, 1},
     {1, 2, 3},
     {1, 1, 1},
     {1, 1, 1, 1}},
};

class InheritStrategies : public Strategies, public testing::WithParamInterface<InheritCase> {};

TEST_P(InheritStrategies, OneStepGivesTheStatedValues) {
    const InheritCase& c = GetParam();
    ParticleInstance* p = Spawn(c.unit, c.linked ? Transform(kLinked) : nullptr, c.inheritBits);
    const UnitClock clock = Step(1.0f);
    p->colourStep(p, clock);
    p->RunUpdateMembers(clock);
    EXPECT_EQ(V3(p->scale), c.scale);
    EXPECT_EQ(V3(p->rotation), c.rotation);
    EXPECT_EQ(V3(p->position), c.translation);
    EXPECT_EQ(V4(p->transformBlock->color), c.colour);
    // The integrated position never holds an offset or the link.
    EXPECT_EQ(V3(p->transformBlock->integratedPosition), (Vec3{1, 1, 1}));
}

INSTANTIATE_TEST_SUITE_P(Strategies, InheritStrategies, testing::ValuesIn(kInheritCases),
                         [](const testing::TestParamInfo<InheritCase>& info) {
                             return std::string(info.param.name);
                         });

// The integrations over the accelerating unit: local acceleration (0, 4,
// 0), world acceleration (0, -10, 0), speed factor (2, 3, 4), spawn velocity
// (1, 1, 1), root axis lengths 2.
struct Motion {
    Vec3 position;
    Vec3 localVelocity;
    Vec3 worldVelocity;
    Vec3 worldDisplacement;
};

struct IntegrationCase {
    const char* name;
    ParticleInstance::FrameMember step;
    float dt;
    uint32_t steps;
    Motion start;
    Motion expected;
};

constexpr Motion kAtRest{};
constexpr Motion kMoving{{10, 11, 12}, {1, 2, 3}, {4, 5, 6}, {7, 8, 9}};

const IntegrationCase kIntegrationCases[] = {
    {"WorldAccelerationScaledByTheRootAxesOneStep",
     ParticleInstance::IntegrateWorldAcceleration,
     0.5f,
     1,
     kAtRest,
     {{}, {}, {0, -10, 0}, {0, -5, 0}}},
    {"WorldAccelerationMovesByTheVelocityJustUpdated",
     ParticleInstance::IntegrateWorldAcceleration,
     0.5f,
     2,
     kAtRest,
     {{}, {}, {0, -20, 0}, {0, -15, 0}}},
    {"LocalAccelerationFeedsTheLocalVelocity",
     ParticleInstance::IntegrateAcceleration,
     0.5f,
     2,
     kAtRest,
     {{}, {0, 4, 0}, {}, {}}},
    {"PositionAddsVelocityAndLocalVelocityTimesDt",
     ParticleInstance::IntegratePosition,
     0.5f,
     2,
     {{}, {1, 2, 3}, {}, {}},
     {{2, 3, 4}, {1, 2, 3}, {}, {}}},
    {"ScaledPositionMultipliesBySpeedFactor",
     ParticleInstance::IntegratePositionScaled,
     0.5f,
     2,
     {{}, {1, 2, 3}, {}, {}},
     {{4, 9, 16}, {1, 2, 3}, {}, {}}},
    {"DtZeroLeavesWorldAccelerationAlone", ParticleInstance::IntegrateWorldAcceleration, 0.0f, 3,
     kMoving, kMoving},
    {"DtZeroLeavesLocalAccelerationAlone", ParticleInstance::IntegrateAcceleration, 0.0f, 3,
     kMoving, kMoving},
    {"DtZeroLeavesThePositionAlone", ParticleInstance::IntegratePosition, 0.0f, 3, kMoving,
     kMoving},
    {"DtZeroLeavesTheScaledPositionAlone", ParticleInstance::IntegratePositionScaled, 0.0f, 3,
     kMoving, kMoving},
};

class IntegrationStrategies : public Strategies,
                              public testing::WithParamInterface<IntegrationCase> {};

void Put(float* out, const Vec3& v) {
    std::copy(v.begin(), v.end(), out);
}

TEST_P(IntegrationStrategies, StepsGiveTheStatedMotion) {
    const IntegrationCase& c = GetParam();
    std::fill(std::begin(root_->axisLengths), std::end(root_->axisLengths), 2.0f);
    ParticleInstance* p = Spawn(kAccelerating, nullptr, 0);
    FulgorCore::TransformBlock& b = *p->transformBlock;
    Put(b.integratedPosition, c.start.position);
    Put(b.localVelocity, c.start.localVelocity);
    Put(b.worldVelocity, c.start.worldVelocity);
    Put(b.worldDisplacement, c.start.worldDisplacement);
    for (uint32_t i = 0; i < c.steps; ++i)
        c.step(p, Step(c.dt));
    EXPECT_EQ(V3(b.integratedPosition), c.expected.position);
    EXPECT_EQ(V3(b.localVelocity), c.expected.localVelocity);
    EXPECT_EQ(V3(b.worldVelocity), c.expected.worldVelocity);
    EXPECT_EQ(V3(b.worldDisplacement), c.expected.worldDisplacement);
}

INSTANTIATE_TEST_SUITE_P(Strategies, IntegrationStrategies, testing::ValuesIn(kIntegrationCases),
                         [](const testing::TestParamInfo<IntegrationCase>& info) {
                             return std::string(info.param.name);
                         });

// The slots the data chooses, as the per-frame code and PostEvent's
// identity test see them.
TEST_F(Strategies, TheDataChoosesEachSlotOnce) {
    ParticleInstance* plain = Spawn(kPlain, nullptr, 0);
    EXPECT_EQ(plain->colourStep, ParticleInstance::NoOpWithArgument);
    EXPECT_EQ(plain->scaleStep, ParticleInstance::NoOpWithArgument);
    EXPECT_EQ(plain->rotationStep, ParticleInstance::NoOpWithArgument);
    EXPECT_EQ(plain->translationStep, ParticleInstance::StepPosition);
    EXPECT_EQ(plain->integrationStep, ParticleInstance::IntegratePosition);
    EXPECT_EQ(plain->localAccelerationStep, ParticleInstance::NoOpWithArgument);
    EXPECT_EQ(plain->worldAccelerationStep, ParticleInstance::NoOpWithArgument);
    ParticleInstance* moving = Spawn(kAccelerating, nullptr, 0);
    EXPECT_EQ(moving->integrationStep, ParticleInstance::IntegratePositionScaled);
    EXPECT_EQ(moving->localAccelerationStep, ParticleInstance::IntegrateAcceleration);
    EXPECT_EQ(moving->worldAccelerationStep, ParticleInstance::IntegrateWorldAcceleration);
    // The posted-event record keeps the values of what no strategy
    // animates, and not of the animated ones.
    ParticleInstance* animated = Spawn(kAnimated, nullptr, 0);
    for (ParticleInstance* p : {plain, animated}) {
        p->takesEvents = 1;
        p->PostEvent(0, 1);
        ASSERT_NE(p->postedEvents, nullptr);
    }
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(plain->postedEvents->constant), 4),
              std::string("\1\1\1\1", 4));
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(animated->postedEvents->constant), 4),
              std::string("\0\0\0\0", 4));
}

// A rotation that changes after a composition is composed anew: the same
// matrix as a particle that had it from the start.
TEST_F(Strategies, AChangedRotationIsComposedAnew) {
    ParticleInstance* turned = Spawn(kPlain, nullptr, 0);
    ParticleInstance* fresh = Spawn(kPlain, nullptr, 0);
    const UnitClock still = Step(0.0f);
    turned->RunUpdateMembers(still);
    const Vec3 angles{0.5f, -1.0f, 2.0f};
    for (ParticleInstance* p : {turned, fresh})
        std::copy(angles.begin(), angles.end(), p->rotation);
    turned->RunUpdateMembers(still);
    fresh->RunUpdateMembers(still);
    const std::vector<float> expected(fresh->currentWorldMatrix, fresh->currentWorldMatrix + 12);
    EXPECT_EQ(std::vector<float>(turned->currentWorldMatrix, turned->currentWorldMatrix + 12),
              expected);
    EXPECT_NE(expected[0], 1.0f);
}

// A constant colour keeps its alpha product from frame to frame unless
// something multiplies it later in the frame; then it starts white again.
TEST_F(Strategies, AFadeRunsOnTheAccumulatedAlphaOfAConstantColour) {
    ParticleInstance* p = Spawn(kPlain, nullptr, 0);
    std::vector<float> alphas;
    for (float factor : {0.75f, 0.5f, 0.25f}) {
        p->fadeFactor = factor;
        p->UpdateTransform();
        alphas.push_back(p->transformBlock->color[3]);
    }
    EXPECT_EQ(alphas, (std::vector<float>{0.75f, 0.375f, 0.09375f}));
    p->colourStep = ParticleInstance::ResetColour;
    p->UpdateTransform();
    EXPECT_EQ(p->transformBlock->color[3], 0.25f);
}

} // namespace
