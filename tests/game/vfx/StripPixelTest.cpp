// Strips built from their data and drawn by the runtime on the GL backend
// (llvmpipe under the offscreen video driver), identity view and
// projection, read back from a 64 x 64 back buffer: a generated line across
// the screen, the same with a centre line of its own colour, and a history
// behind a particle going round a circle.
#include "support/PixelCheck.h"
#include "support/effects/RibbonBuildValues.h"
#include "support/vfx/RuntimePixelTest.h"

#include "effects/drawunits/StripDrawUnit.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstring>
#include <vector>

namespace {

namespace Fx = FulgorCore;
using effecttools::Constant;

constexpr int kSize = 64;
// The line's half width, its y, and where it starts and how long it runs.
constexpr float kHalfWidth = 0.125f;
constexpr float kLineY = 0.25f;
constexpr float kLineStart = -0.8f;
constexpr float kLineLength = 1.6f;
// The circle the history's owner goes round, a node every 0.05.
constexpr float kRadius = 0.5f;
constexpr float kHistoryHalfWidth = 0.08f;

effecttools::ColorValue Solid(float r, float g, float b) {
    return testsupport::ConstantColour(r, g, b, 1.0f);
}

// A strip of vertex format 0 that neither culls nor blends: its point
// source, half width, the strip's colour and (CentreLine) the edges'.
effecttools::DrawPartValue StripPart(uint32_t source, float halfWidth,
                                     std::vector<effecttools::FieldValue> fields) {
    effecttools::DrawDataType6Value strip;
    strip.fields = {{"Type", source}};
    strip.fields.insert(strip.fields.end(), fields.begin(), fields.end());
    strip.floats = {{"Wid", Constant(1.0f)},
                    {"WidH", Constant(halfWidth)},
                    {"WidT", Constant(halfWidth)},
                    {"Len", Constant(kLineLength)}};
    strip.crIv = std::bit_cast<uint32_t>(0.05f);
    const bool centre = std::find_if(fields.begin(), fields.end(), [](const auto& f) {
                            return f.tag == "bECE" && f.value;
                        }) != fields.end();
    const auto body = centre ? Solid(0, 1, 0) : Solid(1, 0, 0);
    strip.colors = {
        {"ColH", body}, {"ColT", body}, {"CoEH", Solid(1, 0, 0)}, {"CoET", Solid(1, 0, 0)}};
    effecttools::DrawPartValue part;
    part.data = strip;
    part.fields = {{"UvSC", 0}, {"DFac", 2}};
    return part;
}

// Unit 0 a generated line of 9 points, 1 the same with a centre line, 2 a
// history.
effecttools::EffectFileValue StripsEffect() {
    return testsupport::DrawEffect({StripPart(0, kHalfWidth, {{"PtCn", 9}}),
                                    StripPart(0, kHalfWidth, {{"PtCn", 9}, {"bECE", 1}}),
                                    StripPart(3, kHistoryHalfWidth, {})},
                                   0);
}

class StripPixels : public testsupport::RuntimePixelTest<kSize> {
protected:
    void SetUp() override { Start(StripsEffect()); }

    // A white particle of the root at (x, y, kZ), its line along its X axis.
    Fx::ParticleInstance* Owner(float x, float y) {
        Fx::ParticleInstance* p = RuntimePixelTest::Owner(x, y);
        if (p) {
            p->axisMember = Fx::ParticleInstance::GetAxisX;
            p->planeScaleMember = Fx::ParticleInstance::GetPlaneScaleYZ;
        }
        return p;
    }
    static void Move(Fx::ParticleInstance* p, float x, float y) {
        RuntimePixelTest::Move(p, x, y);
    }
    // The strip of unit `unit` from its data, on `owner`.
    Fx::DrawUnit* AddStrip(Fx::ParticleInstance* owner, uint32_t unit) {
        return runtime->AddDrawUnit(*instance, Fx::DrawUnit::Create<Fx::StripDrawUnit<0>>(
                                                   owner, package->GetUnit(unit)->GetDrawPart(0)));
    }
    static void Frame(Fx::DrawUnit* strip) {
        strip->Step();
        strip->Update(testsupport::FrameClock());
    }
};

// Facing the eye at the origin, a line along x at depth kZ spreads straight
// up and down: the rows kLineY +- kHalfWidth, within 2 pixels, along the
// line's run.
TEST_F(StripPixels, AGeneratedLineCoversTheRowsOfItsWidth) {
    Fx::DrawUnit* strip = AddStrip(Owner(kLineStart, kLineY), 0);
    ASSERT_NE(strip, nullptr);
    Frame(strip);
    DrawAndRead();
    const int top = Row(kLineY + kHalfWidth), bottom = Row(kLineY - kHalfWidth);
    for (int px = Column(kLineStart) + 2; px <= Column(kLineStart + kLineLength) - 2; ++px) {
        const auto [first, last] = LitRows(px);
        ASSERT_GE(first, 0) << px;
        EXPECT_NEAR(first, top, 2) << px;
        EXPECT_NEAR(last, bottom, 2) << px;
        EXPECT_TRUE(testing_graphics::PixelIs(pixels, kSize, px, Row(kLineY), 255, 0, 0, 2)) << px;
    }
    // Nothing before its start or past its end.
    EXPECT_FALSE(Lit(Column(kLineStart) - 3, Row(kLineY)));
    EXPECT_FALSE(Lit(Column(kLineStart + kLineLength) + 3, Row(kLineY)));
}

// Red edges and a green centre: green on the centre row, red at the edges.
TEST_F(StripPixels, ACentreLineIsGreenInTheMiddleAndRedAtTheEdges) {
    Fx::DrawUnit* strip = AddStrip(Owner(kLineStart, kLineY), 1);
    ASSERT_NE(strip, nullptr);
    Frame(strip);
    DrawAndRead();
    const int px = Column(0.0f);
    const uint8_t* centre = Pixel(px, Row(kLineY));
    EXPECT_GT(centre[1], 200) << "green " << int(centre[1]);
    EXPECT_LT(centre[0], 60) << "red " << int(centre[0]);
    for (float y : {kLineY + kHalfWidth - 0.02f, kLineY - kHalfWidth + 0.02f}) {
        const uint8_t* edge = Pixel(px, Row(y));
        EXPECT_GT(edge[0], 150) << y;
        EXPECT_LT(edge[1], 100) << y;
    }
}

// The owner goes three quarters round the circle: the history draws the
// arc it went along, and nothing on the quarter it has not reached nor at
// the centre.
TEST_F(StripPixels, AHistoryBehindACirclingParticleDrawsTheArc) {
    Fx::ParticleInstance* owner = Owner(kRadius, 0.0f);
    Fx::DrawUnit* strip = AddStrip(owner, 2);
    ASSERT_NE(strip, nullptr);
    constexpr int kSteps = 90; // three quarters at 3 degrees a frame
    for (int k = 0; k <= kSteps; ++k) {
        const float a = 0.05235988f * static_cast<float>(k);
        Move(owner, kRadius * std::cos(a), kRadius * std::sin(a));
        Frame(strip);
    }
    DrawAndRead();
    const auto lit = [&](float degrees) {
        const float a = degrees * 0.017453292f;
        return Lit(Column(kRadius * std::cos(a)), Row(kRadius * std::sin(a)));
    };
    for (float d = 10.0f; d <= 250.0f; d += 20.0f)
        EXPECT_TRUE(lit(d)) << d;
    for (float d = 290.0f; d <= 340.0f; d += 25.0f)
        EXPECT_FALSE(lit(d)) << d;
    EXPECT_FALSE(Lit(Column(0.0f), Row(0.0f)));
}

} // namespace
