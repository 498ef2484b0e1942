// The bound carriers: following one endpoint or lying between two, their
// rotation and scale modes, the camera endpoint, the child of their first
// frame, and what they do when an endpoint gives no matrix or a frame
// cannot be aimed.
#include "effects/units/ParticleSystemUnit.h"
#include "effects/Core/Math/Matrix.h"
#include "effects/Core/Resource/AttachPoint.h"
#include "effects/Core/Resource/BindResource.h"
#include "effects/Core/Resource/PackageResource.h"
#include "effects/render/Renderer.h"
#include "effects/render/RendererWorkData.h"
#include "effects/units/ChildStart.h"
#include "effects/units/InstanceRootUnit.h"
#include "effects/units/ParticleSystemUnitB.h"
#include "effects/units/UnitCreators.h"
#include "support/effects/UnitTreeRig.h"
#include "support/effects/XorshiftSteps.h"

#include <gtest/gtest.h>

#include <array>
#include <cstring>
#include <map>
#include <vector>

namespace {

using FulgorCore::InstanceRootUnit;
using FulgorCore::ParticleSystemUnit;
using FulgorCore::ParticleSystemUnitB;
using FulgorCore::UnitInstance;
using testsupport::Frame;
using Matrix = std::array<float, 12>;

constexpr Matrix kIdentity = {1, 0, 0, 0, 1, 0, 0, 0, 1, 0, 0, 0};

// Rows scaled by s, turned 90 degrees about Z, at t.
Matrix Turned(float s, float tx, float ty, float tz) {
    return {0, s, 0, -s, 0, 0, 0, 0, s, tx, ty, tz};
}

// Answers each target's matrix, or writes nothing for a silent one.
class MatrixListener : public testsupport::FakeInstanceListenner {
public:
    bool GetTargetMatrix(uint32_t target, uint32_t, uint32_t, float* out) override {
        asked.push_back(target);
        const auto found = matrices.find(target);
        if (found == matrices.end())
            return false;
        std::memcpy(out, found->second.data(), sizeof(float) * 12);
        return true;
    }
    std::map<uint32_t, Matrix> matrices;
    std::vector<uint32_t> asked;
};

effecttools::AttachPointValue Point(uint32_t kind, float offsetX = 0.0f) {
    effecttools::AttachPointValue p;
    p.targetType = kind;
    p.position.x = effecttools::Constant(offsetX);
    p.position.y = effecttools::Constant(0.0f);
    p.position.z = effecttools::Constant(0.0f);
    return p;
}

effecttools::BindValue Bind(int16_t rotation, int16_t scale, uint32_t kindA = 0,
                            std::optional<uint32_t> kindB = std::nullopt, float blend = 0.0f,
                            float offsetX = 0.0f) {
    effecttools::BindValue b;
    b.mode = kindB ? 1 : 0;
    b.brtt = rotation;
    b.bstt = scale;
    b.life = 100;
    b.first = Point(kindA, offsetX);
    if (kindB)
        b.second = Point(*kindB);
    b.trFc = effecttools::Constant(blend);
    return b;
}

std::array<float, 3> Of3(const float* v) {
    return {v[0], v[1], v[2]};
}

Matrix Of(const float* m) {
    Matrix out;
    std::memcpy(out.data(), m, sizeof(out));
    return out;
}

void ExpectNear(const float* m, const Matrix& expected, float tolerance = 1e-5f) {
    for (int i = 0; i < 12; ++i)
        EXPECT_NEAR(m[i], expected[i], tolerance) << "element " << i;
}

class BoundCarriers : public testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(rig_.Start());
        FulgorCore::UnitCreators::Current() = FulgorCore::UnitCreators::kBuiltIn;
        f_ = testsupport::TreeEffect("vfx/carriers.vfxb", 1, 100);
        testsupport::AddTimeline(f_, 500, {});
    }
    void TearDown() override { EXPECT_EQ(rig_.Release(), 0u); }

    // Loads the effect with `binds` and plays it on the matrix listener.
    void Play(std::vector<effecttools::BindValue> binds) {
        f_.package.binds = std::move(binds);
        const FulgorCore::ObjectHandle effect = rig_.Load(f_);
        ASSERT_NE(effect.serial, 0u);
        const FulgorCore::InstanceHandle h = rig_.Play(effect, &listener_);
        Frame();
        root_ = rig_.Root(h);
        ASSERT_NE(root_, nullptr);
    }
    UnitInstance::InitialState Clock(float lifetime = 0.0f) const {
        UnitInstance::InitialState s;
        s.parent = root_;
        s.lifetime = lifetime;
        s.timeMode = lifetime > 0.0f ? UnitInstance::kEndAtTime : UnitInstance::kEndless;
        return s;
    }
    FulgorCore::ChildStart NoChild() const {
        FulgorCore::ChildStart c;
        c.childKind = 7;
        return c;
    }
    ParticleSystemUnit* One(uint32_t bind, uint32_t target,
                            const FulgorCore::ChildStart* child = nullptr, float lifetime = 0.0f) {
        auto* unit = UnitInstance::Create<ParticleSystemUnit>(root_, Clock(lifetime),
                                                              root_->package->GetBind(bind), target,
                                                              child ? *child : NoChild());
        root_->AddChild(unit);
        return unit;
    }
    ParticleSystemUnitB* Two(uint32_t bind, uint32_t a, uint32_t b) {
        auto* unit = UnitInstance::Create<ParticleSystemUnitB>(
            root_, Clock(), root_->package->GetBind(bind), a, b, NoChild());
        root_->AddChild(unit);
        return unit;
    }
    static void SetCamera(const Matrix& m) {
        FulgorCore::RendererWorkData* r = FulgorCore::Renderer::GetWorkData();
        ASSERT_NE(r, nullptr);
        for (int row = 0; row < 4; ++row) {
            std::memcpy(&r->inverseView[row * 4], &m[row * 3], sizeof(float) * 3);
            r->inverseView[row * 4 + 3] = row == 3 ? 1.0f : 0.0f;
        }
        // Each frame derives the camera from the view the draw kept.
        FulgorCore::Math::Matrix44Inverse(r->view, r->inverseView);
    }

    testsupport::UnitTreeRig rig_;
    MatrixListener listener_;
    effecttools::EffectFileValue f_;
    InstanceRootUnit* root_ = nullptr;
};

TEST_F(BoundCarriers, NoScaleNoRotationIsTheIdentityAtTheOffsetPosition) {
    Play({Bind(1, 1, 0, std::nullopt, 0.0f, 1.0f)});
    listener_.matrices[3] = Turned(2.0f, 5.0f, 6.0f, 7.0f);
    ParticleSystemUnit* unit = One(0, 3);
    Frame();
    // The offset (1, 0, 0) goes along the endpoint's X row (0, 2, 0).
    ExpectNear(unit->GetWorldMatrix(), {1, 0, 0, 0, 1, 0, 0, 0, 1, 5, 8, 7});
    EXPECT_EQ(listener_.asked, (std::vector<uint32_t>{3}));
}

TEST_F(BoundCarriers, FollowingModesReproduceTheEndpointsAxes) {
    Play({Bind(0, 0)});
    listener_.matrices[3] = {0, 3, 0, -1.5f, 0, 0, 0, 0, 0.7f, 1, 2, 3};
    ParticleSystemUnit* unit = One(0, 3);
    Frame();
    // Each row divided and multiplied by the same approximate length.
    ExpectNear(unit->GetWorldMatrix(), listener_.matrices[3], 1e-5f);
}

TEST_F(BoundCarriers, FixedModesKeepTheFirstFramesScaleAndOrientation) {
    Play({Bind(2, 2)});
    listener_.matrices[3] = Turned(2.0f, 0, 0, 0);
    ParticleSystemUnit* unit = One(0, 3);
    Frame();
    const Matrix first = Of(unit->GetWorldMatrix());
    // The endpoint grows and turns back; the carrier moves only.
    listener_.matrices[3] = {4, 0, 0, 0, 4, 0, 0, 0, 4, 9, 9, 9};
    Frame();
    Matrix expected = first;
    expected[9] = expected[10] = expected[11] = 9.0f;
    // The fast reciprocal root is about 0.2% short of a unit row.
    ExpectNear(unit->GetWorldMatrix(), expected, 1e-2f);
    EXPECT_NEAR(unit->GetWorldMatrix()[1], 2.0f, 1e-2f);
}

TEST_F(BoundCarriers, ACameraEndpointFollowsTheCameraAndModeFourTakesItsAxes) {
    Play({Bind(1, 1, 2), Bind(4, 1, 0)});
    SetCamera({0, 0, -1, 0, 1, 0, 1, 0, 0, 10, 20, 30});
    listener_.matrices[3] = Turned(1.0f, 1, 1, 1);
    ParticleSystemUnit* camera = One(0, 0);
    ParticleSystemUnit* facing = One(1, 3);
    Frame();
    ExpectNear(camera->GetWorldMatrix(), {1, 0, 0, 0, 1, 0, 0, 0, 1, 10, 20, 30});
    ExpectNear(facing->GetWorldMatrix(), {0, 0, -1, 0, 1, 0, 1, 0, 0, 1, 1, 1});
    // The camera moves; the carrier with it.
    SetCamera({1, 0, 0, 0, 1, 0, 0, 0, 1, -5, 0, 0});
    Frame();
    EXPECT_FLOAT_EQ(camera->GetWorldMatrix()[9], -5.0f);
    // No listener is asked for a camera endpoint.
    EXPECT_EQ(listener_.asked, (std::vector<uint32_t>{3, 3}));
}

// Between A = 2 x identity at the origin and B with rows (0, 4, 0), (-1,
// 0, 0), (0, 0, 16) at (8, 0, 0): row lengths (2, 2, 2) and (4, 1, 16)
// (exact in the fast root), the position A3 + (B3 - A3) t.
TEST_F(BoundCarriers, TwoEndpointCarriersBlendPositionScaleAndRotation) {
    const struct {
        const char* name;
        int16_t rotation, scale;
        float blend;
        Matrix expected;
    } rows[] = {
        {"on A at 0", 1, 1, 0.0f, {1, 0, 0, 0, 1, 0, 0, 0, 1, 0, 0, 0}},
        {"on B at 1", 1, 1, 1.0f, {1, 0, 0, 0, 1, 0, 0, 0, 1, 8, 0, 0}},
        // Scale k = len(Ak) + (len(Bk) - len(Ak)) t: 2.5, 1.75, 5.5.
        {"following scale at 0.25", 1, 0, 0.25f, {2.5f, 0, 0, 0, 1.75f, 0, 0, 0, 5.5f, 2, 0, 0}},
        // Row k = normalise(Ak + (Bk - Ak) t) x scale k: (1.5, 1, 0),
        // (-0.25, 1.5, 0), (0, 0, 5.5) normalised.
        {"following rotation and scale at 0.25",
         0,
         0,
         0.25f,
         {2.0801f, 1.3868f, 0, -0.2877f, 1.7262f, 0, 0, 0, 5.5f, 2, 0, 0}},
        {"following scale at 0.75", 1, 0, 0.75f, {3.5f, 0, 0, 0, 1.25f, 0, 0, 0, 12.5f, 6, 0, 0}},
    };
    std::vector<effecttools::BindValue> binds;
    for (const auto& row : rows)
        binds.push_back(Bind(row.rotation, row.scale, 0, 1u, row.blend));
    Play(binds);
    listener_.matrices[1] = {2, 0, 0, 0, 2, 0, 0, 0, 2, 0, 0, 0};
    listener_.matrices[2] = {0, 4, 0, -1, 0, 0, 0, 0, 16, 8, 0, 0};
    std::vector<ParticleSystemUnitB*> units;
    for (uint32_t i = 0; i < std::size(rows); ++i)
        units.push_back(Two(i, 1, 2));
    Frame();
    for (uint32_t i = 0; i < std::size(rows); ++i) {
        SCOPED_TRACE(rows[i].name);
        ExpectNear(units[i]->GetWorldMatrix(), rows[i].expected, 1e-2f);
    }
}

TEST_F(BoundCarriers, AimingWithCancellingUpAxesTakesThePreviousY) {
    Play({Bind(3, 1, 0, 1u, 0.5f)});
    listener_.matrices[1] = {1, 0, 0, 0, 1, 0, 0, 0, 1, 0, 0, 0};
    listener_.matrices[2] = {1, 0, 0, 0, -1, 0, 0, 0, 1, 10, 0, 0};
    ParticleSystemUnitB* unit = Two(0, 1, 2);
    Frame();
    // The matrix about to become the previous one says Y is +Z.
    float* current = unit->worldMatrices[unit->currentIndex];
    current[3] = 0.0f;
    current[4] = 0.0f;
    current[5] = 1.0f;
    Frame();
    const float* w = unit->GetWorldMatrix();
    EXPECT_NEAR(w[3], 0.0f, 1e-6f);
    EXPECT_NEAR(w[4], 0.0f, 1e-6f);
    EXPECT_NEAR(w[5], 1.0f, 1e-2f);
    // Aimed from A to B.
    EXPECT_NEAR(w[6], 1.0f, 1e-2f);
    EXPECT_FLOAT_EQ(w[9], 5.0f);
}

// A two-point unit draws from the instance's random state once, at its
// construction, in the order offset of point 0, offset of point 1, blend.
TEST_F(BoundCarriers, ATwoPointUnitDrawsOffsetZeroOffsetOneThenBlend) {
    const effecttools::ConstantValue spread{0.0f, -1.0f, 1.0f};
    effecttools::BindValue b = Bind(1, 1, 0, 0);
    for (effecttools::AttachPointValue* p : {&*b.first, &*b.second})
        p->position.x = p->position.y = p->position.z = spread;
    b.trFc = effecttools::ConstantValue{0.5f, -0.5f, 0.5f};
    Play({b});
    const FulgorCore::BindResource* bind = root_->package->GetBind(0);
    FulgorCore::Xorshift128 expected = root_->random;
    ParticleSystemUnitB* unit = Two(0, 1, 2);
    float offset0[3];
    float offset1[3];
    bind->GetAttachPoint(0)->GetPosition().SampleRandom(expected, offset0);
    bind->GetAttachPoint(1)->GetPosition().SampleRandom(expected, offset1);
    const float blend = bind->GetTrFc().SampleRandom(expected);
    EXPECT_EQ(Of3(unit->offsetSamplesA), Of3(offset0));
    EXPECT_EQ(Of3(unit->offsetSamplesB), Of3(offset1));
    EXPECT_EQ(unit->blendSample, blend);
    EXPECT_NE(Of3(offset0), Of3(offset1));
    EXPECT_TRUE(testsupport::Same(root_->random, expected));
}

TEST_F(BoundCarriers, TheChildStartsInTheFirstStepOnce) {
    Play({Bind(1, 1)});
    FulgorCore::ChildStart timeline;
    timeline.childKind = FulgorCore::ChildStart::kTimeline;
    timeline.timeline = root_->package->GetTimeline(0);
    timeline.id = 4;
    ParticleSystemUnit* unit = One(0, 3, &timeline);
    EXPECT_EQ(unit->firstChild, nullptr);
    Frame();
    EXPECT_EQ(testsupport::ChildIds(unit), (std::vector<int>{5}));
    Frame();
    Frame();
    EXPECT_EQ(testsupport::ChildIds(unit), (std::vector<int>{5}));
}

TEST_F(BoundCarriers, WithThePoolExhaustedAParticleCarrierStaysChildlessAndEndsByItsClock) {
    Play({Bind(1, 1)});
    FulgorCore::ChildStart particle;
    particle.childKind = FulgorCore::ChildStart::kParticle;
    particle.unit = root_->package->GetUnit(0);
    particle.childLifetime = 50.0f;
    ParticleSystemUnit* unit = One(0, 3, &particle, 4.0f);
    FulgorCore::UnitInstancePool& pool = FulgorCore::Engine::GetUnitInstancePool();
    std::vector<void*> taken;
    while (void* block = pool.Allocate())
        taken.push_back(block);
    Frame();
    for (void* block : taken)
        pool.Free(block);
    EXPECT_EQ(unit->firstChild, nullptr);
    Frame();
    Frame();
    EXPECT_EQ(unit->firstChild, nullptr);
    for (int i = 0; i < 4; ++i)
        Frame();
    EXPECT_TRUE(testsupport::Children(root_).empty());
}

TEST_F(BoundCarriers, AParticleChildStartsAtTheCarriersPosition) {
    Play({Bind(1, 1)});
    listener_.matrices[3] = Turned(1.0f, 4, 5, 6);
    FulgorCore::ChildStart particle;
    particle.childKind = FulgorCore::ChildStart::kParticle;
    particle.unit = root_->package->GetUnit(0);
    particle.childLifetime = 50.0f;
    ParticleSystemUnit* unit = One(0, 3, &particle);
    Frame();
    ASSERT_NE(unit->firstChild, nullptr);
    EXPECT_EQ(unit->firstChild->GetKind(), UnitInstance::kParticleNode);
    EXPECT_FLOAT_EQ(unit->firstChild->GetWorldMatrix()[9], 4.0f);
    EXPECT_FLOAT_EQ(unit->firstChild->GetWorldMatrix()[11], 6.0f);
}

TEST_F(BoundCarriers, BeforeTheSecondFramePreviousIsTheFirstMatrix) {
    Play({Bind(0, 0), Bind(0, 0, 0, 1u, 0.5f)});
    listener_.matrices[3] = Turned(2.0f, 1, 2, 3);
    ParticleSystemUnit* one = One(0, 3);
    ParticleSystemUnitB* two = Two(1, 3, 3);
    Frame();
    ExpectNear(one->GetPreviousWorldMatrix(), Of(one->GetWorldMatrix()), 0.0f);
    ExpectNear(two->GetPreviousWorldMatrix(), Of(two->GetWorldMatrix()), 0.0f);
}

TEST_F(BoundCarriers, RotationModesFiveAndAboveActAsModeOne) {
    Play({Bind(5, 1), Bind(7, 1, 0, 1u, 0.5f)});
    listener_.matrices[3] = Turned(2.0f, 1, 2, 3);
    ParticleSystemUnit* one = One(0, 3);
    ParticleSystemUnitB* two = Two(1, 3, 3);
    Frame();
    ExpectNear(one->GetWorldMatrix(), {1, 0, 0, 0, 1, 0, 0, 0, 1, 1, 2, 3});
    ExpectNear(two->GetWorldMatrix(), {1, 0, 0, 0, 1, 0, 0, 0, 1, 1, 2, 3});
}

TEST_F(BoundCarriers, AnEndpointWithoutAMatrixKeepsTheLastOne) {
    Play({Bind(0, 0), Bind(0, 0, 3)});
    ParticleSystemUnit* silent = One(0, 8); // the listener writes nothing for 8
    ParticleSystemUnit* noKind = One(1, 3); // endpoint kind 3 names nothing
    Frame();
    // Nothing written yet: the identity.
    ExpectNear(silent->GetWorldMatrix(), kIdentity);
    ExpectNear(noKind->GetWorldMatrix(), kIdentity);
    listener_.matrices[8] = Turned(1.0f, 1, 2, 3);
    Frame();
    listener_.matrices.erase(8);
    Frame();
    ExpectNear(silent->GetWorldMatrix(), Turned(1.0f, 1, 2, 3));
}

TEST_F(BoundCarriers, AFailedAimKeepsThePreviousRows) {
    Play({Bind(3, 1, 0, 1u, 0.0f)});
    // A's Y axis points from A to B: no frame can be aimed.
    listener_.matrices[1] = {0, 1, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0};
    listener_.matrices[2] = {0, 1, 0, 1, 0, 0, 0, 0, 1, 10, 0, 0};
    ParticleSystemUnitB* unit = Two(0, 1, 2);
    Frame();
    float* current = unit->worldMatrices[unit->currentIndex];
    const Matrix kept = {0, 0, 1, 0, 1, 0, -1, 0, 0, 0, 0, 0};
    std::memcpy(current, kept.data(), sizeof(float) * 9);
    Frame();
    const float* w = unit->GetWorldMatrix();
    for (int i = 0; i < 9; ++i)
        EXPECT_EQ(w[i], kept[i]) << i;
    EXPECT_EQ(w[9], 0.0f);
}

TEST_F(BoundCarriers, TheInverseIsComputedWhenFirstAskedInAFrame) {
    Play({Bind(1, 1)});
    listener_.matrices[3] = Turned(1.0f, 4, 0, 0);
    ParticleSystemUnit* unit = One(0, 3);
    Frame();
    EXPECT_FLOAT_EQ(unit->GetInverseWorldMatrix()[9], -4.0f);
    unit->worldMatrices[unit->currentIndex][9] = 6.0f;
    EXPECT_FLOAT_EQ(unit->GetInverseWorldMatrix()[9], -4.0f); // cached this frame
    listener_.matrices[3] = Turned(1.0f, 6, 0, 0);
    Frame();
    EXPECT_FLOAT_EQ(unit->GetInverseWorldMatrix()[9], -6.0f);
}

} // namespace
