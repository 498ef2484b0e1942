// Rings, circles and quads built from their data and drawn by the
// runtime on the GL backend (llvmpipe under the offscreen video driver),
// each facing the camera (facing axis Z) under an identity view and
// projection, read back from a 64 x 64 back buffer (32 pixels a unit).
#include "support/PixelCheck.h"
#include "support/effects/DrawUnitRig.h"
#include "support/vfx/RuntimePixelTest.h"

#include "effects/drawunits/DrawUnitFactory.h"
#include "tools/dds/DdsWriter.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

namespace {

namespace Fx = FulgorCore;
using effecttools::Constant;
using effecttools::DrawPartValue;

constexpr int kSize = 64;
// The plain ring's radius and half width; the centre-line ring's.
constexpr float kRadius = 0.5f;
constexpr float kHalfWidth = 0.125f;
constexpr float kCentreHalfWidth = 0.25f;
// The texture's four texels, row by row: red, green / blue, white.
constexpr uint8_t kTexels[4][3] = {{255, 0, 0}, {0, 255, 0}, {0, 0, 255}, {255, 255, 255}};

enum Unit : uint32_t { kPlainRing, kCentreRing, kCircle, kQuad, kUnits };

effecttools::ColorValue Rgb(float r, float g, float b) {
    effecttools::ColorValue c;
    c.red = Constant(r);
    c.green = Constant(g);
    c.blue = Constant(b);
    return c;
}

DrawPartValue Ring(bool centre, float halfWidth) {
    effecttools::DrawDataType7Value ring;
    ring.pointCount = 64;
    ring.ece = centre;
    ring.floats = {{"Rad", Constant(kRadius)}, {"Wid", Constant(halfWidth)},
                   {"Hei", Constant(0.0f)},    {"WidI", Constant(1.0f)},
                   {"WidO", Constant(1.0f)},   {"HeiI", Constant(1.0f)},
                   {"HeiO", Constant(1.0f)}};
    ring.colors = {{"ColO", Rgb(1, 0, 0)}, {"ColC", Rgb(0, 1, 0)}, {"ColI", Rgb(0, 0, 1)}};
    DrawPartValue part;
    part.data = ring;
    return part;
}

effecttools::EffectFileValue Effect() {
    std::vector<DrawPartValue> parts(kUnits);
    parts[kPlainRing] = Ring(false, kHalfWidth);
    parts[kCentreRing] = Ring(true, kCentreHalfWidth);
    effecttools::DrawDataType8Value circle;
    circle.count = Constant(32.0f);
    parts[kCircle].data = circle;
    // The default quad, 1 x 1, one texture set of identity transform over
    // the package's texture.
    parts[kQuad].data = effecttools::DrawDataType9Value{};
    parts[kQuad].fields = {{"UvSC", 1}};
    parts[kQuad].uvLayers = {testsupport::IdentityUvSet()};
    parts[kQuad].textureLayers["TCo1"] = {
        {{"bEbl", 1}}, std::vector<int8_t>{0}, std::nullopt, std::nullopt};
    for (DrawPartValue& part : parts)
        part.fields.push_back({"DFac", 2}); // no culling, no blending
    effecttools::EffectFileValue f = testsupport::DrawEffect(parts, 0);
    for (effecttools::UnitValue& unit : f.package.units)
        unit.fields.push_back({"BAxs", 2});
    std::vector<uint8_t> rgba;
    for (const auto& t : kTexels)
        rgba.insert(rgba.end(), {t[0], t[1], t[2], 255});
    effecttools::TextureValue texture;
    texture.data =
        tools::WriteDds(sys::DdsFormat::R8G8B8A8, 2, 2, 1, false, rgba.data(), rgba.size());
    f.package.textures.push_back(texture);
    return f;
}

class RingCircleQuadPixels : public testsupport::RuntimePixelTest<kSize> {
protected:
    void SetUp() override { Start(Effect()); }

    // The unit of `unit`'s data on a white particle at the origin, scaled
    // by `scale`, facing the camera; updated for one frame.
    Fx::DrawUnit* Add(uint32_t unit, float scale = 1.0f) {
        Fx::ParticleInstance* owner = Owner(0.0f, 0.0f);
        if (!owner)
            return nullptr;
        owner->unitData = package->GetUnit(unit);
        testsupport::OwnerPose pose;
        pose.matrix[0] = pose.matrix[4] = pose.matrix[8] = scale;
        pose.matrix[11] = kZ;
        testsupport::Pose(owner, pose);
        bool stop = false;
        Fx::DrawUnit* u =
            runtime->AddDrawUnit(*instance, Fx::CreateDrawUnit(owner, Part(unit), stop));
        if (u)
            u->Update(testsupport::FrameClock());
        return u;
    }
    const uint8_t* Pixel(float x, float y) const {
        const int px = static_cast<int>((x + 1.0f) * 32.0f);
        const int py = static_cast<int>((1.0f - y) * 32.0f);
        return &pixels[static_cast<size_t>((py * kSize + px) * 4)];
    }
    bool Drawn(float x, float y) const {
        const uint8_t* p = Pixel(x, y);
        return p[0] + p[1] + p[2] > 600;
    }
    bool Clear(float x, float y) const {
        const uint8_t* p = Pixel(x, y);
        return p[0] + p[1] + p[2] == 0;
    }
};

constexpr float kPixel = 1.0f / 32.0f;

TEST_F(RingCircleQuadPixels, ARingFacingTheCameraIsAnAnnulus) {
    ASSERT_NE(Add(kPlainRing), nullptr);
    DrawAndRead();
    for (int a = 0; a < 16; ++a) {
        const float t = 0.3926991f * static_cast<float>(a) + 0.1f;
        const float c = std::cos(t), s = std::sin(t);
        EXPECT_TRUE(Drawn(kRadius * c, kRadius * s)) << a;
        const float beyond = kRadius + kHalfWidth + 2 * kPixel;
        const float within = kRadius - kHalfWidth - 2 * kPixel;
        EXPECT_TRUE(Clear(beyond * c, beyond * s)) << a;
        EXPECT_TRUE(Clear(within * c, within * s)) << a;
    }
    EXPECT_TRUE(Clear(0.0f, 0.0f));
}

TEST_F(RingCircleQuadPixels, ACentreLineRingIsRedOutsideGreenInTheMiddleBlueInside) {
    ASSERT_NE(Add(kCentreRing), nullptr);
    DrawAndRead();
    // Along +x, where the ring has a point (a quarter of its 64).
    const float outer = kRadius + kCentreHalfWidth - 1.5f * kPixel;
    const float inner = kRadius - kCentreHalfWidth + 1.5f * kPixel;
    const uint8_t* o = Pixel(outer, 0.0f);
    const uint8_t* m = Pixel(kRadius, 0.0f);
    const uint8_t* i = Pixel(inner, 0.0f);
    EXPECT_TRUE(o[0] > 190 && o[1] < 70 && o[2] == 0) << int(o[0]) << " " << int(o[1]);
    EXPECT_TRUE(m[1] > 230 && m[0] < 30 && m[2] < 30) << int(m[0]) << " " << int(m[1]);
    EXPECT_TRUE(i[2] > 190 && i[1] < 70 && i[0] == 0) << int(i[2]) << " " << int(i[1]);
}

TEST_F(RingCircleQuadPixels, ACircleCoversItsDisc) {
    // Radius 0.5 through the owner's scale.
    ASSERT_NE(Add(kCircle, 0.5f), nullptr);
    DrawAndRead();
    int inside = 0, drawn = 0;
    for (int py = 0; py < kSize; ++py)
        for (int px = 0; px < kSize; ++px) {
            const float x = (static_cast<float>(px) + 0.5f) * kPixel - 1.0f;
            const float y = 1.0f - (static_cast<float>(py) + 0.5f) * kPixel;
            const float r = std::hypot(x, y);
            if (r < 0.5f - 2 * kPixel) {
                ++inside;
                drawn += Drawn(x, y) ? 1 : 0;
            } else if (r > 0.5f + 2 * kPixel) {
                EXPECT_TRUE(Clear(x, y)) << px << " " << py;
            }
        }
    EXPECT_GT(inside, 500);
    EXPECT_EQ(drawn, inside);
}

TEST_F(RingCircleQuadPixels, AQuadShowsTexelZeroAtItsFirstCornerTopLeft) {
    ASSERT_NE(Add(kQuad), nullptr);
    DrawAndRead();
    // The 1 x 1 quad from -0.5 to 0.5; each texel's centre a quarter in.
    const float at[4][2] = {{-0.25f, 0.25f}, {0.25f, 0.25f}, {-0.25f, -0.25f}, {0.25f, -0.25f}};
    for (int k = 0; k < 4; ++k) {
        const int px = static_cast<int>((at[k][0] + 1.0f) * 32.0f);
        const int py = static_cast<int>((1.0f - at[k][1]) * 32.0f);
        EXPECT_TRUE(testing_graphics::PixelIs(pixels, kSize, px, py, kTexels[k][0], kTexels[k][1],
                                              kTexels[k][2], 8))
            << k;
    }
    EXPECT_TRUE(Clear(-0.5f - 2 * kPixel, 0.0f));
    EXPECT_TRUE(Clear(0.5f + 2 * kPixel, 0.0f));
}

} // namespace
