// The fades by camera distance and by view angle, on the instance root of
// written effects: the figures the fades are known by, the fast roots they
// measure with, and equal ramp ends.
#include "support/effects/UnitTreeRig.h"

#include "effects/Core/Engine/DrawParameter.h"
#include "effects/Core/Resource/PackageResource.h"
#include "effects/units/InstanceRootUnit.h"
#include "effects/units/ParticleInstance.h"
#include "effects/units/ParticleInstanceFactoryTable.h"
#include "effects/units/TransformBlock.h"
#include "effects/units/UnitCreators.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

namespace {

using FulgorCore::InstanceHandle;
using FulgorCore::InstanceRootUnit;
using FulgorCore::ParticleInstance;
using testsupport::Frame;
namespace Engine = FulgorCore::Engine;
namespace effecttools = ::effecttools;

constexpr float kProjection[16] = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};

class ViewFadeTest : public testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(rig_.Start()); }
    void TearDown() override { EXPECT_EQ(rig_.Release(), 0u); }

    // A camera at (x, y, z) with the axes of the world: the view moves the
    // world by minus its position.
    void CameraAt(float x, float y, float z) {
        const float view[16] = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, -x, -y, -z, 1};
        std::copy(view, view + 16, view_);
        const FulgorCore::DrawParameter draw = testsupport::ScreenDraw(view_, kProjection);
        Engine::Draw(1, &draw);
    }
    // The root alpha after one more frame seen from (x, y, z).
    float AlphaFrom(float x, float y, float z) {
        CameraAt(x, y, z);
        Frame(1.0f, view_);
        return root_->GetCurrentColor()[3];
    }
    void Play(const effecttools::EffectFileValue& f) {
        handle_ = rig_.Play(rig_.Load(f));
        Engine::SetPointerView(15, 0.0f);
        Frame();
        root_ = testsupport::UnitTreeRig::Root(handle_);
        ASSERT_NE(root_, nullptr);
    }
    static effecttools::EffectFileValue DistanceEffect(float d0, float d1, float d2, float d3) {
        effecttools::EffectFileValue f = testsupport::TreeEffect("vfx/distance.vfxb");
        f.package.fields.push_back({"bDsF", 1});
        f.package.distanceFade = effecttools::DistanceFadeValue{d0, d1, d2, d3};
        return f;
    }
    static effecttools::EffectFileValue AngleEffect(uint32_t mode, float a1, float b1, float a2,
                                                    float b2) {
        effecttools::EffectFileValue f = testsupport::TreeEffect("vfx/angle.vfxb");
        f.package.fields.push_back({"bAgF", 1});
        f.package.angleFade = effecttools::AngleFadeValue{mode, a1, b1, a2, b2};
        return f;
    }

    testsupport::UnitTreeRig rig_;
    InstanceHandle handle_{};
    InstanceRootUnit* root_ = nullptr;
    float view_[16] = {};
};

// A fade of the root: by distance with ends (a1, b1, a2, b2), or by angle
// in `mode` (0 view, 1 yaw and pitch, 2 yaw, 3 pitch) with ramps (a1, b1)
// and (a2, b2); the alpha seen from each camera position in turn.
constexpr uint32_t kDistance = 99;
struct Sight {
    float x, y, z, alpha, tolerance = 0.0f;
};
struct FadeRow {
    const char* name;
    uint32_t mode;
    float a1, b1, a2, b2;
    std::vector<Sight> sights;
};

// clang-format off
const FadeRow kFadeRows[] = {
    // Distances by the fast root: 15 is measured as 15.03125, 40 as 41.
    {"distance ramps up and down", kDistance, 8, 24, 40, 72,
     {{0, 0, 16, 0.5f}, {0, 32, 0, 1}, {64, 0, 0, 0.25f}, {0, 0, 4, 0}, {0, 0, 128, 0},
      {0, 0, 15, 0.439453125f}, {0, 0, 8, 0}, {0, 0, 40, 0.96875f}}},
    // A camera on the unit: yaw and pitch give 1 + A1 / (B1 - A1), the view
    // 1 - clamp(-A2 / (B2 - A2)).
    {"on the unit, yaw", 2, 0.25f, 0.75f, -0.5f, 0.5f, {{0, 0, 0, 1.5f}}},
    {"on the unit, pitch", 3, 0.25f, 0.75f, -0.5f, 0.5f, {{0, 0, 0, 1.5f}}},
    {"on the unit, yaw and pitch", 1, 0.25f, 0.75f, -0.5f, 0.5f, {{0, 0, 0, 2.25f}}},
    {"on the unit, view", 0, 0.25f, 0.75f, -0.5f, 0.5f, {{0, 0, 0, 0.5f}}},
    {"on the unit, view of another ramp", 0, 0.25f, 0.75f, -0.25f, 0.75f, {{0, 0, 0, 0.75f}}},
    // The unit faces +z; from behind s is negative and clamps; 60 degrees
    // off the axis s = 0.5, the ramp's start.
    {"view head on, side on, behind", 0, 0, 1, 0.5f, 1,
     {{0, 0, 10, 0, 0.01f}, {10, 0, 0, 1}, {0, -10, 0, 1}, {0, 0, -10, 1}, {0, 8.660254f, 5, 1, 0.01f}}},
    // Yaw unclamped: side on 1 + 0.25 / 0.5, head on about 1 - 0.75 / 0.5,
    // straight up from there the same.
    {"yaw is not clamped and ignores height", 2, 0.25f, 0.75f, 0, 1,
     {{10, 0, 0, 1.5f}, {0, 0, 10, -0.5f, 0.01f}, {0, 25, 10, -0.5f, 0.01f}}},
    {"pitch ignores x", 3, 0.25f, 0.75f, 0, 1, {{30, 0, 10, -0.5f, 0.01f}, {5, 10, 0, 1.5f}}},
    // From (10, 0, 10): yaw s = cos 45 degrees, pitch s = 1, each through
    // 1 - s / 2, multiplied.
    {"yaw and pitch multiply", 1, 0, 2, 0, 1, {{10, 0, 10, (1.0f - 0.70710678f / 2.0f) * 0.5f, 0.005f}}},
    // Equal ends are a step, not a NaN.
    {"equal yaw ends", 2, 0.5f, 0.5f, 0, 1, {{10, 0, 0, 1}, {0, 0, 10, 0}, {0, 0, 0, 1}}},
    {"equal view ends", 0, 0, 1, 0.5f, 0.5f, {{10, 0, 0, 1}, {0, 0, 10, 0}, {0, 0, -10, 1}}},
    {"equal distance ends", kDistance, 8, 8, 40, 40, {{0, 0, 8, 0}, {0, 0, 16, 1}, {0, 0, 64, 0}, {0, 0, 40, 0}}},
    {"angle modes past 3 have no fade", 4, 0.5f, 0.5f, 0.5f, 0.5f, {{0, 0, 10, 1}}},
};
// clang-format on

TEST_F(ViewFadeTest, TheAlphaFromEachCameraPosition) {
    for (const FadeRow& row : kFadeRows) {
        SCOPED_TRACE(row.name);
        Play(row.mode == kDistance ? DistanceEffect(row.a1, row.b1, row.a2, row.b2)
                                   : AngleEffect(row.mode, row.a1, row.b1, row.a2, row.b2));
        for (const Sight& s : row.sights) {
            SCOPED_TRACE(testing::Message() << s.x << " " << s.y << " " << s.z);
            if (s.tolerance > 0.0f)
                EXPECT_NEAR(AlphaFrom(s.x, s.y, s.z), s.alpha, s.tolerance);
            else
                EXPECT_EQ(AlphaFrom(s.x, s.y, s.z), s.alpha);
        }
        rig_.Release();
    }
}

TEST_F(ViewFadeTest, FadesActOnAFreshAlphaEveryFrame) {
    Play(DistanceEffect(8, 24, 40, 72));
    for (int i = 0; i < 3; ++i)
        EXPECT_EQ(AlphaFrom(0, 0, 16), 0.5f);
    // The instance's own alpha is what the fade scales.
    Engine::SetInstanceColor(handle_.index, handle_.serial, 1, 1, 1, 0.5f);
    EXPECT_EQ(AlphaFrom(0, 0, 16), 0.25f);
    EXPECT_EQ(AlphaFrom(0, 0, 16), 0.25f);
}

TEST_F(ViewFadeTest, AFadeThatIsOffOrHasNoRecordDoesNothing) {
    effecttools::EffectFileValue f = DistanceEffect(8, 24, 40, 72);
    f.package.fields.clear();
    f.package.fields.push_back({"bPIT", 1});
    Play(f);
    EXPECT_EQ(AlphaFrom(0, 0, 4), 1.0f);
    rig_.Release();
    effecttools::EffectFileValue g = testsupport::TreeEffect("vfx/none.vfxb");
    g.package.fields.push_back({"bDsF", 1});
    g.package.fields.push_back({"bAgF", 1});
    Play(g);
    EXPECT_EQ(AlphaFrom(0, 0, 4), 1.0f);
}

// The particle's own fades: the same formulas on the alpha of its colour,
// after its FadeFactor, each frame afresh.
class ParticleFadeTest : public ViewFadeTest {
protected:
    ParticleInstance* PlayParticle(effecttools::UnitValue unit) {
        effecttools::EffectFileValue f = testsupport::TreeEffect("vfx/particle.vfxb", 0);
        f.package.units.push_back(unit);
        Play(f);
        FulgorCore::UnitCreators::Current() = FulgorCore::UnitCreators::kBuiltIn;
        FulgorCore::UnitInstance::InitialState endless;
        endless.parent = root_;
        endless.timeMode = FulgorCore::UnitInstance::kEndless;
        const FulgorCore::UnitResource* data = root_->package->GetUnit(0);
        ParticleInstance* p = FulgorCore::ParticleInstanceFactoryTable::For(data)(
            root_, nullptr, endless, data, nullptr, -1, nullptr, nullptr, nullptr, nullptr,
            nullptr);
        root_->AddChild(p);
        return p;
    }
    float ParticleAlphaFrom(ParticleInstance* p, float x, float y, float z) {
        AlphaFrom(x, y, z);
        return p->GetColor()[3];
    }
};

TEST_F(ParticleFadeTest, DistanceAndAngleActAfterTheFadeFactor) {
    effecttools::UnitValue unit;
    unit.fields = {{"bPDf", 1}, {"bPAf", 1}};
    unit.distanceFade = effecttools::DistanceFadeValue{8, 24, 40, 72};
    unit.angleFade = effecttools::AngleFadeValue{2, 0.25f, 0.75f, 0.0f, 1.0f};
    ParticleInstance* p = PlayParticle(unit);
    // 16 away side on: 0.5 by distance, 1.5 by yaw.
    EXPECT_EQ(ParticleAlphaFrom(p, 16, 0, 0), 0.75f);
    EXPECT_EQ(ParticleAlphaFrom(p, 16, 0, 0), 0.75f);
    // The unit's own fade-in scales first.
    p->fadeFactor = 0.5f;
    EXPECT_EQ(ParticleAlphaFrom(p, 16, 0, 0), 0.375f);
    // 15 away is measured as 15.03125.
    p->fadeFactor = 1.0f;
    EXPECT_EQ(ParticleAlphaFrom(p, 15, 0, 0), 0.439453125f * 1.5f);
    // The root of the same effect has no fade.
    EXPECT_EQ(root_->GetCurrentColor()[3], 1.0f);
}

TEST_F(ParticleFadeTest, EqualRampEndsOnAParticleAreAStep) {
    effecttools::UnitValue unit;
    unit.fields = {{"bPAf", 1}};
    unit.angleFade = effecttools::AngleFadeValue{3, 0.5f, 0.5f, 0.0f, 1.0f};
    ParticleInstance* p = PlayParticle(unit);
    EXPECT_EQ(ParticleAlphaFrom(p, 0, 10, 0), 1.0f);
    EXPECT_EQ(ParticleAlphaFrom(p, 0, 0, 10), 0.0f);
}

TEST_F(ParticleFadeTest, FadesThatAreOffDoNothing) {
    effecttools::UnitValue unit;
    unit.distanceFade = effecttools::DistanceFadeValue{8, 24, 40, 72};
    unit.angleFade = effecttools::AngleFadeValue{0, 0.0f, 1.0f, 0.5f, 1.0f};
    ParticleInstance* p = PlayParticle(unit);
    EXPECT_EQ(ParticleAlphaFrom(p, 0, 0, 4), 1.0f);
}

} // namespace
