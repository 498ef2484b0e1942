// The particle's orientation as its constructor chooses it: the builder of
// the data's orientation mode in the package's orientation set, the frame
// of the emission direction that link orientation mode 1 turns the
// particle by, and the velocity turned by the data's two angles.
#include "effects/Core/Resource/PackageResource.h"
#include "effects/render/Renderer.h"
#include "effects/units/InstanceRootUnit.h"
#include "effects/units/ParticleInstance.h"
#include "effects/units/ParticleSpawnSettings.h"
#include "effects/units/UnitCreators.h"
#include "effects/Core/Math/Matrix.h"
#include "support/effects/EmitterRig.h"
#include "support/effects/RuntimeFrame.h"
#include "support/effects/UnitTreeRig.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <numbers>
#include <string>

namespace {

using FulgorCore::ParticleInstance;
using FulgorCore::ParticleSpawnSettings;
using P = ParticleInstance;

constexpr float kQuarterTurn = std::numbers::pi_v<float> / 2.0f;
// The runtime's unit vectors come out of its fast root about 0.2% short.
constexpr float kRoot = 0.01f;

ParticleSpawnSettings Link(uint8_t orientation, uint8_t transform) {
    return {{0xFF, 0, 0, 0, orientation, 0, transform, 0x07}};
}

// A particle of unit `unit` under `parent` (the root when null), spawned at
// the origin with `velocity` and emission `direction`.
P* Spawn(FulgorCore::InstanceRootUnit* root, uint32_t unit, const ParticleSpawnSettings& link,
         const float* velocity, const float* direction,
         FulgorCore::UnitInstance* parent = nullptr) {
    FulgorCore::UnitInstance::InitialState state;
    state.parent = parent ? parent : root;
    state.timeMode = FulgorCore::UnitInstance::kEndless;
    const float zero[3] = {0, 0, 0};
    return FulgorCore::UnitInstance::Create<P>(root, nullptr, state, root->package->GetUnit(unit),
                                               &link, -1, zero, zero, velocity, zero, direction);
}

// One frame of one unit of time: the particle moves by its velocity.
FulgorCore::UnitClock OneStep() {
    FulgorCore::UnitClock clock;
    clock.timeA = 1.0f;
    clock.timeB = 1.0f;
    clock.lastStep = 1.0f;
    return clock;
}

void ExpectNear3(const float* v, float x, float y, float z) {
    EXPECT_NEAR(v[0], x, kRoot);
    EXPECT_NEAR(v[1], y, kRoot);
    EXPECT_NEAR(v[2], z, kRoot);
}

TEST(ParticleOrientationSteps, TheDataModeInTheOrientationSetPicksTheBuilder) {
    struct Case {
        const char* name;
        uint32_t set;
        uint32_t mode;
        P::PlainMember expected;
    };
    const Case cases[] = {
        {"set 0 mode 0: world", 0, 0, P::NoOpPlain},
        {"set 0 mode 1: along the motion", 0, 1, P::ComputeOrientationMatrix<1>},
        {"set 0 mode 2: screen-aligned", 0, 2, P::ComputeOrientationMatrix<2>},
        {"set 0 mode 3: point-facing", 0, 3, P::ComputeOrientationMatrix},
        {"set 0 mode 4: about its own Y", 0, 4, P::ComputeOrientationMatrix<4>},
        {"set 0 mode 5: screen-aligned upright", 0, 5, P::ComputeOrientationMatrix<5>},
        {"set 0 mode 6: facing upright", 0, 6, P::ComputeOrientationMatrix<6>},
        {"set 0 mode 7: past the modes", 0, 7, P::NoOpPlain},
        {"set 1 mode 1: along the motion", 1, 1, P::ComputeOrientationMatrix<1>},
        {"set 1 mode 2: no camera facing", 1, 2, P::NoOpPlain},
        {"set 1 mode 6", 1, 6, P::NoOpPlain},
        {"set 2 mode 1: along the motion", 2, 1, P::ComputeOrientationMatrix<1>},
        {"set 2 mode 3", 2, 3, P::NoOpPlain},
        {"set 2 mode 7: past the modes", 2, 7, P::NoOpPlain},
        {"set 3 mode 1: past the sets", 3, 1, P::NoOpPlain},
        {"set 3 mode 2: past the sets", 3, 2, P::NoOpPlain},
    };
    testsupport::UnitTreeRig rig;
    ASSERT_TRUE(rig.Start());
    FulgorCore::UnitCreators::Current() = FulgorCore::UnitCreators::kBuiltIn;
    FulgorCore::InstanceRootUnit* roots[4] = {};
    for (uint32_t set = 0; set < 4; ++set) {
        effecttools::EffectFileValue f =
            testsupport::TreeEffect("vfx/orient" + std::to_string(set) + ".vfxb", 8, 100);
        f.package.fields.push_back({"CST", set});
        for (uint32_t mode = 0; mode < 8; ++mode)
            f.package.units[mode].fields = {{"BDir", mode}};
        roots[set] = rig.PlayRoot(f);
        ASSERT_NE(roots[set], nullptr);
    }
    const float zero[3] = {0, 0, 0};
    const float up[3] = {0, 0, 1};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        P* p = Spawn(roots[c.set], c.mode, ParticleSpawnSettings::Default(), zero, up);
        ASSERT_NE(p, nullptr);
        ASSERT_NE(p->transformBlock, nullptr);
        EXPECT_EQ(p->orientationSet, c.set);
        EXPECT_EQ(p->orientationStep, c.expected);
        delete p;
    }
    EXPECT_EQ(rig.Release(), 0u);
}

// A screen-aligned particle takes the axes of the camera the runtime last
// drew with: a camera at (5, 0, 0) whose X, Y and Z axes are -Z, +Y and +X.
TEST(ParticleOrientationSteps, AScreenAlignedParticleTakesTheCamerasAxes) {
    testsupport::UnitTreeRig rig;
    ASSERT_TRUE(rig.Start());
    FulgorCore::UnitCreators::Current() = FulgorCore::UnitCreators::kBuiltIn;
    effecttools::EffectFileValue f = testsupport::TreeEffect("vfx/facing.vfxb");
    f.package.units[0].fields = {{"BDir", 2}};
    FulgorCore::InstanceRootUnit* root = rig.PlayRoot(f);
    ASSERT_NE(root, nullptr);
    const float view[16] = {0, 0, 1, 0, 0, 1, 0, 0, -1, 0, 0, 0, 0, 0, -5, 1};
    FulgorCore::Renderer::SetCamera(0, testsupport::ScreenDraw(view, testsupport::kIdentity44));
    testsupport::Frame();
    const float zero[3] = {0, 0, 0};
    P* p = Spawn(root, 0, ParticleSpawnSettings::Default(), zero, zero);
    ASSERT_NE(p, nullptr);
    ASSERT_NE(p->transformBlock, nullptr);
    ExpectNear3(&p->currentWorldMatrix[0], 0, 0, -1);
    ExpectNear3(&p->currentWorldMatrix[3], 0, 1, 0);
    ExpectNear3(&p->currentWorldMatrix[6], 1, 0, 0);
    delete p;
    EXPECT_EQ(rig.Release(), 0u);
}

// Link orientation mode 1 turns the particle's Z axis onto the emission
// direction and holds its velocity in that frame: a particle emitted along
// +X (in world) with velocity (2, 0, 0) faces +X and moves 2 along +X a
// frame, also under a parent turned 90 degrees about Z at (10, 0, 0), and
// one scaled 2 as well (whose scale the particle takes once). Mode 0 and
// modes past the table keep the parent's axes.
TEST(ParticleOrientationSteps, LinkModeOneTurnsTheParticleAlongItsEmission) {
    struct Case {
        const char* name;
        uint8_t linkMode;
        uint8_t transformMode;
        float parentScale; // 0: the identity parent; else turned and scaled
        bool turned;
        float x[3]; // the world's X and Z rows
        float z[3];
    };
    const Case cases[] = {
        {"mode 1 in world", 1, 0, 0, true, {0, 0, -1}, {1, 0, 0}},
        {"mode 1 in the parent's frame", 1, 2, 0, true, {0, 0, -1}, {1, 0, 0}},
        {"mode 1 in world, turned parent", 1, 0, 1, true, {0, 1, 0}, {1, 0, 0}},
        {"mode 1 in the turned parent's frame", 1, 2, 1, true, {0, 1, 0}, {1, 0, 0}},
        {"mode 1 in the frame of a parent scaled 2", 1, 2, 2, true, {0, 2, 0}, {2, 0, 0}},
        {"mode 0: the parent's axes", 0, 2, 1, false, {0, 1, 0}, {0, 0, 1}},
        {"mode 2: past the table, as 0", 2, 0, 0, false, {1, 0, 0}, {0, 0, 1}},
        {"mode 255: past the table, as 0", 255, 2, 1, false, {0, 1, 0}, {0, 0, 1}},
    };
    testsupport::EmitterRig rig;
    ASSERT_TRUE(rig.Begin(testsupport::EmitterRig::EffectWith(testsupport::Emitter(2))));
    testsupport::FakeOwner* parent = rig.owner;
    const float velocity[3] = {2, 0, 0};
    const float alongX[3] = {1, 0, 0};
    const float zero[3] = {0, 0, 0};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const float s = c.parentScale;
        const float r = s == 0 ? 0 : 1 / s;
        const float turned[12] = {0, s, 0, -s, 0, 0, 0, 0, s, 10, 0, 0};
        const float turnedInverse[12] = {0, -r, 0, r, 0, 0, 0, 0, r, 0, 10 * r, 0};
        const float* m = s == 0 ? FulgorCore::Math::kIdentity34 : turned;
        const float* inverse = s == 0 ? FulgorCore::Math::kIdentity34 : turnedInverse;
        std::copy(m, m + 12, parent->matrix);
        std::copy(inverse, inverse + 12, parent->inverse);
        FulgorCore::UnitInstance::InitialState state;
        state.parent = parent;
        state.timeMode = FulgorCore::UnitInstance::kEndless;
        const ParticleSpawnSettings link = Link(c.linkMode, c.transformMode);
        P* p = FulgorCore::UnitInstance::Create<P>(rig.root, nullptr, state, nullptr, &link, -1,
                                                   zero, zero, velocity, zero, alongX);
        ASSERT_NE(p, nullptr);
        ASSERT_NE(p->transformBlock, nullptr);
        EXPECT_EQ(p->orientationBasisStep, c.turned ? P::ApplyOrientationBasis : P::NoOpPlain);
        // Spawned at the world's origin.
        p->RunUpdateMembers(OneStep());
        ExpectNear3(&p->currentWorldMatrix[0], c.x[0], c.x[1], c.x[2]);
        ExpectNear3(&p->currentWorldMatrix[6], c.z[0], c.z[1], c.z[2]);
        ExpectNear3(&p->currentWorldMatrix[9], 2, 0, 0);
        delete p;
    }
    EXPECT_EQ(rig.Release(), 0u);
}

// The data's two angles turn the velocity about the emission frame's X
// axis, then its Y axis (right-handed: y' = y cos a - z sin a, z' = y sin a
// + z cos a, then x' = x cos b + z sin b, z' = -x sin b + z cos b): under
// link mode 0 through the frame and back, under mode 1 within the frame
// the velocity is held in. Angles that are always 0 leave the plain
// velocity and draw nothing. With both angles at 30 and 60 degrees, (1, 2,
// 3) turns to (1, 0.2320508, 3.5980762), then (3.6160254, 0.2320508,
// 0.9330127). Emitted along +Y the frame's rows are X (-1, 0, 0), Y (0, 0,
// 1), Z (0, 1, 0): (1, 2, 3) is (-1, 3, 2) in it, turns to (-1, 1.5980762,
// 3.2320508), then (2.2990381, 1.5980762, 2.4820508), which is (-2.2990381,
// 2.4820508, 1.5980762) in the world, the same move in either mode. Under
// a parent turned 90 degrees about Z the frame is built on the parent's Y
// axis (-1, 0, 0): rows X (0, 0, -1), Y (-1, 0, 0), Z (0, 1, 0); (1, 2, 3)
// is (-3, -1, 2) in it, turns to (-3, -1.8660254, 1.2320508), then
// (-0.4330127, -1.8660254, 3.2141016), which is (1.8660254, 3.2141016,
// 0.4330127) in the world, whether the particle moves in the world or in
// the parent's frame.
TEST(ParticleOrientationSteps, VelocityRotationTurnsTheVelocityAboutTheEmissionFrame) {
    struct Case {
        const char* name;
        uint32_t unit; // 0: angles (90, 0) degrees; 1: (0, 90); 2: always 0; 3: (30, 60)
        uint8_t linkMode;
        float velocity[3];
        float direction[3];
        P::VelocityMember source;
        float moved[3];
        uint8_t transformMode = 0;
        bool turnedParent = false;
    };
    const Case cases[] = {
        {"mode 0, about X: +Z turns to -Y", 0, 0, {0, 0, 5}, {0, 0, 1}, P::RotateVelocity<0>,
         {0, -5, 0}},
        {"mode 0, about the frame's X when emitted along +X", 0, 0, {5, 0, 0}, {1, 0, 0},
         P::RotateVelocity<0>, {0, -5, 0}},
        {"mode 0, about Y: +Z turns to +X", 1, 0, {0, 0, 5}, {0, 0, 1}, P::RotateVelocity<0>,
         {5, 0, 0}},
        {"mode 1, about the frame's Y: along +X turns to -Z", 1, 1, {5, 0, 0}, {1, 0, 0},
         P::RotateVelocity<1>, {0, 0, -5}},
        {"link mode 7 reads as 0", 1, 7, {0, 0, 5}, {0, 0, 1}, P::RotateVelocity<0>, {5, 0, 0}},
        {"angles always 0: the plain velocity", 2, 1, {0, 0, 5}, {0, 0, 1},
         P::GetInitialVelocity, {0, 0, 5}},
        {"mode 0, both angles: about X, then about Y", 3, 0, {1, 2, 3}, {0, 0, 1},
         P::RotateVelocity<0>, {3.6160254f, 0.2320508f, 0.9330127f}},
        {"mode 0, both angles in the frame of an emission along +Y", 3, 0, {1, 2, 3}, {0, 1, 0},
         P::RotateVelocity<0>, {-2.2990381f, 2.4820508f, 1.5980762f}},
        {"mode 1, both angles within the frame of an emission along +Y", 3, 1, {1, 2, 3},
         {0, 1, 0}, P::RotateVelocity<1>, {-2.2990381f, 2.4820508f, 1.5980762f}},
        {"mode 0 in the world, the frame on a turned parent's Y axis", 3, 0, {1, 2, 3},
         {0, 1, 0}, P::RotateVelocity<0>, {1.8660254f, 3.2141016f, 0.4330127f}, 0, true},
        {"mode 0 in the turned parent's frame", 3, 0, {1, 2, 3}, {0, 1, 0}, P::RotateVelocity<0>,
         {1.8660254f, 3.2141016f, 0.4330127f}, 2, true},
        {"mode 1 in the turned parent's frame", 3, 1, {1, 2, 3}, {0, 1, 0}, P::RotateVelocity<1>,
         {1.8660254f, 3.2141016f, 0.4330127f}, 2, true},
    };
    testsupport::UnitTreeRig rig;
    ASSERT_TRUE(rig.Start());
    FulgorCore::UnitCreators::Current() = FulgorCore::UnitCreators::kBuiltIn;
    effecttools::EffectFileValue f = testsupport::TreeEffect("vfx/turning.vfxb", 4, 100);
    const float angles[4][2] = {
        {kQuarterTurn, 0}, {0, kQuarterTurn}, {0, 0}, {kQuarterTurn / 3, kQuarterTurn * 2 / 3}};
    for (uint32_t u = 0; u < 4; ++u) {
        f.package.units[u].fields = {{"bPVr", 1}};
        effecttools::PairValue pair;
        pair.x = effecttools::Constant(angles[u][0]);
        pair.y = effecttools::Constant(angles[u][1]);
        f.package.units[u].vlRt = pair;
    }
    FulgorCore::InstanceRootUnit* root = rig.PlayRoot(f);
    ASSERT_NE(root, nullptr);
    // 90 degrees about Z, at the origin.
    FulgorCore::UnitInstance::InitialState ownerState;
    ownerState.parent = root;
    auto* turned = FulgorCore::UnitInstance::Create<testsupport::FakeOwner>(root, ownerState);
    ASSERT_NE(turned, nullptr);
    const float turn[12] = {0, 1, 0, -1, 0, 0, 0, 0, 1, 0, 0, 0};
    const float turnBack[12] = {0, -1, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0};
    std::copy(turn, turn + 12, turned->matrix);
    std::copy(turnBack, turnBack + 12, turned->inverse);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        P* p = Spawn(root, c.unit, Link(c.linkMode, c.transformMode), c.velocity, c.direction,
                     c.turnedParent ? turned : nullptr);
        ASSERT_NE(p, nullptr);
        ASSERT_NE(p->transformBlock, nullptr);
        EXPECT_EQ(p->velocitySource, c.source);
        p->RunUpdateMembers(OneStep());
        ExpectNear3(&p->currentWorldMatrix[9], c.moved[0], c.moved[1], c.moved[2]);
        delete p;
    }
    delete turned;
    EXPECT_EQ(rig.Release(), 0u);
}

} // namespace
