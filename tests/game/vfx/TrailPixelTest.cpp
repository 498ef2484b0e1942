// Trails built from their data and drawn by the runtime on the GL backend
// (llvmpipe under the offscreen video driver), identity view and
// projection, read back from a 64 x 64 back buffer: a trail along the
// owner's Y axis behind a particle crossing the screen, and a two-range
// trail red, green and blue at its head, middle and tail.
#include "support/effects/RibbonBuildValues.h"
#include "support/vfx/RuntimePixelTest.h"

#include "effects/drawunits/AxisTrailDrawUnit.h"
#include "effects/drawunits/CrossTrailDrawUnit.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

namespace Fx = FulgorCore;
using effecttools::Constant;

constexpr int kSize = 64;
constexpr float kWhite[4] = {1, 1, 1, 1};
constexpr float kHalfWidth = 0.125f;
constexpr float kTrailY = 0.25f;
// The particle steps this far along x each frame, one history point a
// frame, from kStart.
constexpr float kStep = 0.1f;
constexpr float kStart = -0.8f;
constexpr uint32_t kPoints = 9;
constexpr uint32_t kMiddle = 4;

effecttools::ColorValue Solid(float r, float g, float b) {
    return testsupport::ConstantColour(r, g, b, 1.0f);
}

// A trail of sub-kind `kind` (2: along the owner's Y axis, 4: crossed
// along its X and Y axes) of vertex format 0 that neither culls nor
// blends, kPoints points a frame apart.
effecttools::DrawPartValue TrailPart(uint32_t kind, bool midKey, effecttools::ColorValue head,
                                     effecttools::ColorValue middle,
                                     effecttools::ColorValue tail) {
    effecttools::DrawDataType12Value trail;
    trail.fields = {{"TDT", kind},  {"PtCn", kPoints}, {"PtCN", kMiddle},
                    {"PtIv", 1},    {"bCPE", midKey ? 1u : 0u}};
    trail.floats = {{"Wid", Constant(1.0f)},
                    {"WidH", Constant(kHalfWidth)},
                    {"WidC", Constant(kHalfWidth)},
                    {"WidT", Constant(kHalfWidth)}};
    trail.colors = {{"ColH", std::move(head)}, {"ColC", std::move(middle)},
                    {"ColT", std::move(tail)}};
    effecttools::DrawPartValue part;
    part.data = trail;
    part.fields = {{"UvSC", 0}, {"DFac", 2}};
    return part;
}

// Unit 0 a white trail, 1 the two-range one, 2 a white cross.
effecttools::EffectFileValue TrailsEffect() {
    const auto white = Solid(1, 1, 1);
    return testsupport::DrawEffect(
        {TrailPart(2, false, white, white, white),
         TrailPart(2, true, Solid(1, 0, 0), Solid(0, 1, 0), Solid(0, 0, 1)),
         TrailPart(4, false, white, white, white)},
        0);
}

class TrailPixels : public testsupport::RuntimePixelTest<kSize> {
protected:
    void SetUp() override { Start(TrailsEffect()); }
    // The trail of unit `unit` from its data behind a white particle that
    // crosses from kStart along x, `frames` frames; then drawn.
    Fx::DrawUnit* Cross(uint32_t unit, int frames) {
        Fx::ParticleInstance* owner = Owner(kStart, kTrailY, kWhite);
        auto* trail = runtime->AddDrawUnit(
            *instance, Fx::DrawUnit::Create<Fx::AxisTrailDrawUnit<0>>(
                           owner, package->GetUnit(unit)->GetDrawPart(0)));
        if (!trail)
            return nullptr;
        for (int f = 0; f < frames; ++f) {
            Move(owner, kStart + kStep * static_cast<float>(f), kTrailY, kWhite);
            trail->Update(testsupport::FrameClock(1.0f, static_cast<float>(f)));
        }
        DrawAndRead();
        return trail;
    }
};

// The owner's Y axis is the screen's up: the band covers the rows kTrailY
// +- kHalfWidth (within 2 pixels) from the particle back along its path,
// and nothing ahead of the particle.
TEST_F(TrailPixels, AnAxisTrailDrawsABandAsHighAsItsWidth) {
    constexpr int kFrames = 12;
    ASSERT_NE(Cross(0, kFrames), nullptr);
    const float head = kStart + kStep * (kFrames - 1);
    const float tail = head - kStep * (kPoints - 2);
    const int top = Row(kTrailY + kHalfWidth), bottom = Row(kTrailY - kHalfWidth);
    for (int px = Column(tail) + 2; px <= Column(head) - 2; ++px) {
        const auto [first, last] = LitRows(px);
        ASSERT_GE(first, 0) << px;
        EXPECT_NEAR(first, top, 2) << px;
        EXPECT_NEAR(last, bottom, 2) << px;
    }
    EXPECT_FALSE(Lit(Column(head) + 3, Row(kTrailY)));
    EXPECT_FALSE(Lit(Column(tail - kStep) - 3, Row(kTrailY)));
}

// Red at the head, green at point kMiddle, blue towards the tail.
TEST_F(TrailPixels, AMidKeyTrailIsGreenAtItsMiddlePoint) {
    constexpr int kFrames = 12;
    ASSERT_NE(Cross(1, kFrames), nullptr);
    const float head = kStart + kStep * (kFrames - 1);
    const float length = kStep * (kPoints - 2);
    const auto at = [&](float share) {
        return Pixel(Column(head - length * share), Row(kTrailY));
    };
    const uint8_t* middle = at(static_cast<float>(kMiddle) / (kPoints - 1));
    EXPECT_GT(middle[1], 150) << "green " << int(middle[1]);
    EXPECT_LT(middle[0], 100) << "red " << int(middle[0]);
    EXPECT_LT(middle[2], 100) << "blue " << int(middle[2]);
    const uint8_t* nearHead = at(0.05f);
    EXPECT_GT(nearHead[0], nearHead[1]);
    EXPECT_GT(nearHead[0], nearHead[2]);
    const uint8_t* nearTail = at(0.95f);
    EXPECT_GT(nearTail[2], nearTail[0]);
    EXPECT_GT(nearTail[2], nearTail[1]);
}

// A perspective looking down -z (near 0.1, far 10, depth 0 to 1) and a
// cross trail coming towards the eye at (0.3, 0.3) from z -3 to -1: seen
// end-on its two ribbons are the arms of a cross, swept towards the
// vanishing point; the corners between the arms stay dark but the one the
// sweep goes over.
TEST_F(TrailPixels, ACrossTrailSeenEndOnShowsACross) {
    constexpr float kNear = 0.1f, kFar = 10.0f;
    const float a = kFar / (kNear - kFar), b = kNear * kFar / (kNear - kFar);
    const float projection[16] = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, a, -1, 0, 0, b, 0};
    runtime->SetCamera(testsupport::RenderRig::kIdentity, projection);
    constexpr float kAt = 0.3f;
    Fx::ParticleInstance* owner = Owner(kAt, kAt, kWhite);
    auto* trail = runtime->AddDrawUnit(
        *instance, Fx::DrawUnit::Create<Fx::CrossTrailDrawUnit<0>>(
                       owner, package->GetUnit(2)->GetDrawPart(0)));
    ASSERT_NE(trail, nullptr);
    for (int f = 0; f <= 10; ++f) {
        Move(owner, kAt, kAt, kWhite);
        owner->currentWorldMatrix[11] = -3.0f + 0.2f * static_cast<float>(f);
        trail->Update(testsupport::FrameClock(1.0f, static_cast<float>(f)));
    }
    DrawAndRead();
    // The arms at the nearest point (depth 1): x or y at kAt, the other
    // out to kAt +- kHalfWidth.
    for (float along : {kAt - 0.1f, kAt + 0.1f}) {
        EXPECT_TRUE(Lit(Column(along), Row(kAt))) << along;
        EXPECT_TRUE(Lit(Column(kAt), Row(along))) << along;
    }
    // The corners away from the vanishing point: the arms sweep over the
    // one towards it.
    const float corners[3][2] = {
        {kAt + 0.1f, kAt + 0.1f}, {kAt - 0.1f, kAt + 0.1f}, {kAt + 0.1f, kAt - 0.1f}};
    for (const auto& c : corners)
        EXPECT_FALSE(Lit(Column(c[0]), Row(c[1]))) << c[0] << " " << c[1];
    EXPECT_TRUE(Lit(Column(kAt - 0.1f), Row(kAt - 0.1f)));
    // Nothing outside the nearest cross.
    EXPECT_FALSE(Lit(Column(kAt + kHalfWidth + 0.1f), Row(kAt)));
    EXPECT_FALSE(Lit(Column(-0.5f), Row(-0.5f)));
}

} // namespace
