// The effects runtime's own geometry on the GL backend (llvmpipe under the
// offscreen video driver): a ring, a history strip, a mesh and a particle
// field's quads of one instance, and lines between them, drawn by the
// renderer through the effects device with the generated shaders, identity
// view and projection, and read back from a 64 x 64 back buffer.
#include "support/PixelCheck.h"
#include "support/effects/DrawUnitRig.h"
#include "support/effects/EffectFiles.h"
#include "support/effects/GeometryMembers.h"
#include "support/effects/RenderRig.h"
#include "support/vfx/RuntimePixelTest.h"

#include "effects/drawunits/DrawUnitFactory.h"
#include "effects/drawunits/DrawUnitType1.h"
#include "effects/drawunits/DrawUnitType13.h"
#include "effects/drawunits/DrawUnitType4.h"
#include "effects/drawunits/DrawVertices.h"
#include "effects/drawunits/StripDrawUnit.h"
#include "game/vfx/ShaderSource.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <functional>
#include <memory>
#include <vector>

namespace {

namespace Fx = FulgorCore;
namespace geometry = testsupport::geometry;

constexpr int kSize = 64;
constexpr float kZ = 0.5f;
// The atlas's four cells (2 x 2 texels): yellow, magenta / white, cyan.
constexpr uint8_t kCells[4][3] = {{255, 255, 0}, {255, 0, 255}, {255, 255, 255}, {0, 255, 255}};

struct Rgb {
    int r, g, b;
};
constexpr Rgb kBlack = {0, 0, 0};
constexpr Rgb kRed = {255, 0, 0};
constexpr Rgb kGreen = {0, 255, 0};
constexpr Rgb kBlue = {0, 0, 255};

// The shapes in clip space. The ring about (-0.5, 0.5), radii 0.15 to
// 0.25; the strip's nodes every 0.1 from x = -0.8 as its owner moves to
// 0.8, at y = -0.5, each edge 0.05 from the line and turned toward the eye
// at the origin (so 0.05 / sqrt 2 on the screen); the mesh's triangle; the
// quads of cells 0 and 3, 0.2 wide.
constexpr float kRingCentre[2] = {-0.5f, 0.5f};
constexpr float kStripHalf = 0.05f / 1.41421356f;
constexpr float kTriangle[3][2] = {{0.2f, -0.3f}, {0.9f, -0.3f}, {0.55f, 0.2f}};
constexpr float kQuads[2][2] = {{0.3f, 0.6f}, {0.7f, 0.6f}};
constexpr float kQuadHalf = 0.1f;

bool InRing(float x, float y, float margin) {
    const float r = std::hypot(x - kRingCentre[0], y - kRingCentre[1]);
    return r >= 0.15f + margin && r <= 0.25f - margin;
}
bool InStrip(float x, float y, float margin) {
    return x >= -0.8f + margin && x <= 0.7f - margin && std::fabs(y + 0.5f) <= kStripHalf - margin;
}
bool InTriangle(float x, float y, float margin) {
    // Inside all three edges by at least the margin.
    for (int i = 0; i < 3; ++i) {
        const float* a = kTriangle[i];
        const float* b = kTriangle[(i + 1) % 3];
        const float* c = kTriangle[(i + 2) % 3];
        const float ex = b[0] - a[0], ey = b[1] - a[1];
        const float length = std::hypot(ex, ey);
        const float side = (ex * (y - a[1]) - ey * (x - a[0])) / length;
        const float inward = (ex * (c[1] - a[1]) - ey * (c[0] - a[0])) > 0 ? side : -side;
        if (inward < margin)
            return false;
    }
    return true;
}
bool InQuad(int q, float x, float y, float margin) {
    return std::fabs(x - kQuads[q][0]) <= kQuadHalf - margin &&
           std::fabs(y - kQuads[q][1]) <= kQuadHalf - margin;
}

struct Shape {
    const char* name;
    Rgb color;
    std::function<bool(float, float, float)> inside;
};

std::vector<uint8_t> Dds(uint32_t w, uint32_t h, const std::vector<uint8_t>& rgba) {
    return tools::WriteDds(sys::DdsFormat::R8G8B8A8, w, h, 1, false, rgba.data(), rgba.size());
}

// A line's length: across the frame from -0.9 to 0.9.
constexpr float kLineLength = 1.8f;

// Unit 0 a ring, 1 a strip, 2 a mesh of the triangle, 3 a quad field
// sampling the atlas, 4 a line; none culls, none blends.
effecttools::EffectFileValue ShapesEffect() {
    std::vector<effecttools::DrawPartValue> parts(5);
    parts[0].data = effecttools::DrawDataType7Value{};
    parts[1].data = effecttools::DrawDataType6Value{};
    effecttools::DrawDataType13Value mesh;
    std::vector<uint8_t> vertices(3 * 48, 0);
    for (int i = 0; i < 3; ++i) {
        const float p[3] = {kTriangle[i][0], kTriangle[i][1], kZ};
        std::memcpy(&vertices[48 * i], p, sizeof p);
        std::memset(&vertices[48 * i + 20], 255, 4); // white vertex colour
    }
    mesh.vertices = vertices;
    mesh.indices = std::vector<uint16_t>{0, 1, 2};
    parts[2].data = mesh;
    effecttools::DrawDataType4Value field;
    field.fields = {{"DTyp", 2}, {"CrCt", 1}, {"Life", 1000}, {"bOBD", 1}};
    field.bpCt = 2;
    parts[3].data = field;
    parts[3].textureLayers["TCo1"] = {
        {{"bEbl", 1}}, std::vector<int8_t>{0}, std::nullopt, std::nullopt};
    effecttools::DrawDataType1Value line;
    line.length = effecttools::Constant(kLineLength);
    parts[4].data = line;
    for (auto& part : parts)
        part.fields.push_back({"DFac", 2});
    effecttools::EffectFileValue f = testsupport::DrawEffect(parts, 0);
    std::vector<uint8_t> atlas;
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 2; ++x) {
            const uint8_t* c = kCells[y * 2 + x];
            atlas.insert(atlas.end(), {c[0], c[1], c[2], 255});
        }
    effecttools::TextureValue t;
    t.data = Dds(2, 2, atlas);
    f.package.textures.push_back(t);
    return f;
}

// A billboard quad about `centre` with half size kQuadHalf (offsets are
// halved by the program) showing the inner part of `cell` of the atlas.
void PrepareQuad(uint8_t* out, const float* centre, int cell) {
    const float u0 = 0.5f * static_cast<float>(cell % 2) + 0.05f;
    const float v0 = 0.5f * static_cast<float>(cell / 2) + 0.05f;
    const auto snorm = [](float f) { return static_cast<uint16_t>(f * 32767.0f); };
    const uint16_t white[4] = {1000, 1000, 1000, 1000};
    const float position[3] = {centre[0], centre[1], kZ};
    const float turn[3] = {};
    const Fx::BillboardShared shared{position, 0.0f, turn, white};
    const float s = 2.0f * kQuadHalf;
    auto* v = reinterpret_cast<Fx::BillboardVertex*>(out);
    Fx::WriteBillboardVertex(v[0], shared, -s, s, snorm(u0), snorm(v0));
    Fx::WriteBillboardVertex(v[1], shared, s, s, snorm(u0 + 0.4f), snorm(v0));
    Fx::WriteBillboardVertex(v[2], shared, -s, -s, snorm(u0), snorm(v0 + 0.4f));
    Fx::WriteBillboardVertex(v[3], shared, s, -s, snorm(u0 + 0.4f), snorm(v0 + 0.4f));
}

class EffectGeometryPixels : public testsupport::RuntimePixelTest<kSize> {
protected:
    void SetUp() override { Start(ShapesEffect()); }

    template <class T, class... Args>
    T* Add(Fx::ParticleInstance* owner, uint32_t unit, Args&&... args) {
        return runtime->AddDrawUnit(
            *instance, Fx::DrawUnit::Create<T>(owner, Part(unit), std::forward<Args>(args)...));
    }

    // Pixel centre in clip space.
    static float ClipX(int px) { return (static_cast<float>(px) + 0.5f) / 32.0f - 1.0f; }
    static float ClipY(int py) { return 1.0f - (static_cast<float>(py) + 0.5f) / 32.0f; }
    bool Is(int x, int y, Rgb c) const {
        const uint8_t* p = &pixels[static_cast<size_t>((y * kSize + x) * 4)];
        return std::abs(p[0] - c.r) <= 2 && std::abs(p[1] - c.g) <= 2 && std::abs(p[2] - c.b) <= 2;
    }
    ::testing::AssertionResult At(float x, float y, Rgb c) const {
        const int px = static_cast<int>((x + 1.0f) * 32.0f);
        const int py = static_cast<int>((1.0f - y) * 32.0f);
        return testing_graphics::PixelIs(pixels, kSize, px, py, c.r, c.g, c.b, 2);
    }

    // The ring about kRingCentre, radii 0.15 to 0.25, made for a frame.
    Fx::RingDrawUnit* AddRing(const float* color) {
        geometry::Shapes::ringInner = 0.15f;
        geometry::Shapes::ringOuter = 0.25f;
        Fx::RingDrawUnit::Values values;
        values.segmentCount = 32;
        values.ops = geometry::RingMembers<0>();
        auto* ring = Add<Fx::RingDrawUnit>(Owner(kRingCentre[0], kRingCentre[1], color), 0, values);
        if (ring)
            ring->Update(testsupport::FrameClock());
        return ring;
    }
    // The particle field with the quads of cells 0 and 3 at kQuads.
    Fx::DrawUnitType4* AddQuads() {
        static constexpr float kWhite[4] = {1, 1, 1, 1};
        auto* field = Add<Fx::DrawUnitType4>(Owner(0, 0, kWhite), 3);
        if (!field)
            return nullptr;
        prepared.resize(2 * Fx::DrawUnitType4::kQuadVertexBytes);
        PrepareQuad(prepared.data(), kQuads[0], 0);
        PrepareQuad(prepared.data() + Fx::DrawUnitType4::kQuadVertexBytes, kQuads[1], 3);
        field->prepared = prepared.data();
        field->pointCount = 2;
        return field;
    }
    // The two quads as shapes, in the colours of their cells.
    static std::vector<Shape> QuadShapes() {
        const auto rgb = [](int cell) {
            return Rgb{kCells[cell][0], kCells[cell][1], kCells[cell][2]};
        };
        return {
            {"quad 0", rgb(0), [](float x, float y, float m) { return InQuad(0, x, y, m); }},
            {"quad 3", rgb(3), [](float x, float y, float m) { return InQuad(1, x, y, m); }},
        };
    }

    // Every pixel well inside a shape has its colour, every pixel well
    // outside them all is black, one on an edge is one or the other; each
    // shape covers within 10% of the pixel centres its exact outline holds.
    void ExpectOnly(const std::vector<Shape>& shapes) const {
        constexpr float kEdge = 1.5f / 32.0f;
        std::vector<int> covered(shapes.size()), outlined(shapes.size());
        for (int py = 0; py < kSize; ++py)
            for (int px = 0; px < kSize; ++px) {
                const float x = ClipX(px), y = ClipY(py);
                bool near = false, matched = Is(px, py, kBlack);
                for (size_t s = 0; s < shapes.size(); ++s) {
                    const Shape& shape = shapes[s];
                    outlined[s] += shape.inside(x, y, 0.0f) ? 1 : 0;
                    covered[s] += Is(px, py, shape.color) ? 1 : 0;
                    if (shape.inside(x, y, kEdge)) {
                        EXPECT_TRUE(Is(px, py, shape.color))
                            << shape.name << " " << px << " " << py;
                    }
                    if (shape.inside(x, y, -kEdge)) {
                        near = true;
                        matched = matched || Is(px, py, shape.color);
                    }
                }
                EXPECT_TRUE(near ? matched : Is(px, py, kBlack)) << px << " " << py;
            }
        for (size_t s = 0; s < shapes.size(); ++s) {
            EXPECT_GT(outlined[s], 0) << shapes[s].name;
            EXPECT_NEAR(covered[s], outlined[s], 0.1 * outlined[s]) << shapes[s].name;
        }
    }

    std::vector<uint8_t> prepared; // the quads' vertices
};

TEST_F(EffectGeometryPixels, RingStripMeshAndQuadsCoverTheirShapes) {
    const float red[4] = {1, 0, 0, 1}, green[4] = {0, 1, 0, 1};
    geometry::Shapes::stripHead = geometry::Shapes::stripTail = 0.05f;
    ASSERT_NE(AddRing(red), nullptr);

    // The strip grows a node a frame as its owner moves 0.1 along y = -0.5.
    Fx::StripDrawUnitBase::Values stripValues;
    stripValues.pointSource = Fx::StripDrawUnitBase::kHistory;
    stripValues.spacing = 0.08f;
    stripValues.ops = geometry::StripMembers<0, Fx::History>();
    Fx::ParticleInstance* mover = Owner(-0.8f, -0.5f, green);
    auto* strip = Add<Fx::StripDrawUnit<0>>(mover, 1, stripValues);
    ASSERT_NE(strip, nullptr);
    for (int k = 0; k <= 16; ++k) {
        Move(mover, -0.8f + 0.1f * static_cast<float>(k), -0.5f, green);
        strip->Step();
        strip->Update(testsupport::FrameClock());
    }

    // The mesh built from its data (falloff off) takes its owner's place
    // and colour in its own update.
    const float blue[4] = {0, 0, 1, 1};
    auto* mesh = Add<Fx::DrawUnitType13<0>>(Owner(0, 0, blue), 2);
    ASSERT_NE(mesh, nullptr);
    ASSERT_EQ(mesh->evaluatorFlag, 0);
    mesh->Update(testsupport::FrameClock());

    ASSERT_NE(AddQuads(), nullptr);

    DrawAndRead();

    // The ring at radius 0.2, its centre clear.
    for (int a = 0; a < 8; ++a) {
        const float t = 0.785398f * static_cast<float>(a) + 0.2f;
        EXPECT_TRUE(
            At(kRingCentre[0] + 0.2f * std::cos(t), kRingCentre[1] + 0.2f * std::sin(t), kRed))
            << a;
    }
    EXPECT_TRUE(At(kRingCentre[0], kRingCentre[1], kBlack));
    // The band on row 48 from the first node to the one before the owner.
    for (int px = 8; px <= 52; ++px)
        EXPECT_TRUE(Is(px, 48, kGreen)) << px;
    EXPECT_TRUE(At(0.75f, -0.5f, kBlack));
    EXPECT_TRUE(At(0.85f, -0.5f, kBlack));
    EXPECT_TRUE(At(0.55f, -0.1f, kBlue));
    const std::vector<Shape> quads = QuadShapes();
    for (int q = 0; q < 2; ++q)
        EXPECT_TRUE(At(kQuads[q][0], kQuads[q][1], quads[q].color)) << q;

    // Every pixel: well inside a shape its colour, well outside them all
    // black, on an edge one or the other.
    std::vector<Shape> shapes = {
        {"ring", kRed, InRing}, {"strip", kGreen, InStrip}, {"triangle", kBlue, InTriangle}};
    shapes.insert(shapes.end(), quads.begin(), quads.end());
    ExpectOnly(shapes);
}

// Kept as the effect data was authored: a line (draw type 1) reserves its
// vertices but no indices under the indexed batch kind, so it never shows.
// Its bytes never reach the batches after it: the quads after the first
// line (another stride and state) start past its vertices, and a ring of
// the same program and state as the second line shares its batch and
// skips them.
TEST_F(EffectGeometryPixels, LinesNeverShowAndTheBatchesAfterThemDrawWhole) {
    const float red[4] = {1, 0, 0, 1}, white[4] = {1, 1, 1, 1};
    ASSERT_EQ(Part(4)->GetShader(), Part(0)->GetShader()); // one batch for the line and ring
    ASSERT_EQ(Part(4)->GetRenderStateWord(), Part(0)->GetRenderStateWord());

    // Along x through the middle, then along y.
    auto line = [&](float x, float y, Fx::ParticleInstance::VectorMember axis) {
        Fx::ParticleInstance* owner = Owner(x, y, white);
        ASSERT_NE(owner, nullptr);
        owner->axisMember = axis;
        bool noBlock = false;
        Fx::DrawUnit* unit =
            runtime->AddDrawUnit(*instance, Fx::CreateDrawUnit(owner, Part(4), noBlock));
        ASSERT_NE(dynamic_cast<Fx::DrawUnitType1*>(unit), nullptr);
        unit->Update(testsupport::FrameClock());
    };
    line(-0.9f, 0.0f, Fx::ParticleInstance::GetAxisX);
    ASSERT_NE(AddQuads(), nullptr);
    line(0.0f, -0.9f, Fx::ParticleInstance::GetAxisY);
    ASSERT_NE(AddRing(red), nullptr);

    DrawAndRead();
    for (int p = 4; p < kSize - 4; ++p) {
        EXPECT_TRUE(Is(p, 31, kBlack) && Is(p, 32, kBlack)) << "row pixel " << p;
        EXPECT_TRUE(Is(31, p, kBlack) && Is(32, p, kBlack)) << "column pixel " << p;
    }
    std::vector<Shape> shapes = QuadShapes();
    shapes.push_back({"ring", kRed, InRing});
    ExpectOnly(shapes);
}

} // namespace
