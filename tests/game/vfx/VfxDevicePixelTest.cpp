// The effects device drawing through the GL backend (llvmpipe under the
// offscreen video driver), read back from the back buffer.
#include "support/vfx/EffectVertices.h"
#include "support/vfx/VfxDeviceRig.h"

#include "game/vfx/ShaderSource.h"

#include <algorithm>
#include <cstring>
#include <initializer_list>

namespace {

using FulgorCore::IShader;
using FulgorCore::ITexture;
using FulgorCore::ShaderKey;
using testsupport::ModelVertex;
using testsupport::ProjectionVertex;
using testsupport::ShapeVertex;
using testsupport::SimpleVertex;

// Rectangles in clip space, x to the right and y up.
struct Box {
    float left, top, right, bottom;
};

class VfxDevicePixels : public testsupport::VfxPixelTest {
protected:
    IShader* Shader(uint32_t word0) { return rig.Shader(word0); }
    ITexture* Texture1x1(uint8_t r, uint8_t g, uint8_t b, uint8_t a) {
        return rig.Texture(1, 1, {r, g, b, a});
    }
    // A billboard over the box: its centre shifted by `shift` (undone by the
    // view-projection), the texture's row 0 at the top.
    void Billboard(const Box& box, std::initializer_list<int16_t> colour, float shift = 0) {
        const float cx = (box.left + box.right) / 2 - shift;
        const float cy = (box.top + box.bottom) / 2;
        SimpleVertex v[4] = {};
        const float corners[4][2] = {{-1, 1}, {1, 1}, {-1, -1}, {1, -1}};
        const int16_t uv[4][2] = {{0, 0}, {32767, 0}, {0, 32767}, {32767, 32767}};
        for (int i = 0; i < 4; ++i) {
            v[i].position[0] = cx;
            v[i].position[1] = cy;
            v[i].position[2] = 0.5f;
            v[i].offset[0] = corners[i][0] * (box.right - box.left); // halved by the program
            v[i].offset[1] = corners[i][1] * (box.top - box.bottom);
            std::memcpy(v[i].texCoord, uv[i], sizeof uv[i]);
            std::copy(colour.begin(), colour.end(), v[i].colour);
        }
        DrawVertices(v, 4, sizeof(SimpleVertex));
    }

    // One white triangle of billboard vertices with no offset, in the given
    // order.
    void Triangle(std::initializer_list<std::pair<float, float>> points) {
        SimpleVertex v[3] = {};
        int i = 0;
        for (const auto& [x, y] : points) {
            v[i].position[0] = x;
            v[i].position[1] = y;
            v[i].position[2] = 0.5f;
            for (int16_t& c : v[i].colour)
                c = 1000;
            ++i;
        }
        DrawVertices(v, 3, sizeof(SimpleVertex));
    }
};

// With the sample program and with the runtime's generated one sampling
// colour layer 1.
TEST_F(VfxDevicePixels, EachTexelLandsInItsQuadrant) {
    // Row 0: red, green; row 1: blue, white.
    ITexture* four =
        rig.Texture(2, 2, {255, 0, 0, 255, 0, 255, 0, 255, 0, 0, 255, 255, 255, 255, 255, 255});
    ASSERT_NE(four, nullptr);
    ShaderSource::Install(nullptr);
    IShader* generated = Shader(ShaderKey::kSimple | 1u << 21);
    ASSERT_NE(generated, nullptr);
    for (IShader* program : {simple, generated}) {
        SCOPED_TRACE(program == simple ? "sample" : "generated");
        // The view-projection moves everything a quarter of the screen to the
        // right: in the row-vector convention its translation is the fourth row.
        const float viewProjection[4][4] = {
            {1, 0, 0, 0}, {0, 1, 0, 0}, {0, 0, 1, 0}, {0.25f, 0, 0, 1}};
        Begin(program, viewProjection);
        device->SetTexture(0, four, 0, 0, 0, 0);
        Billboard({-0.5f, 0.5f, 0.5f, -0.5f}, {1000, 1000, 1000, 1000}, 0.25f);
        Finish(0.25f, 0.25f, 0.25f);
        EXPECT_TRUE(At(20, 20, 255, 0, 0, 0));
        EXPECT_TRUE(At(43, 20, 0, 255, 0, 0));
        EXPECT_TRUE(At(20, 43, 0, 0, 255, 0));
        EXPECT_TRUE(At(43, 43, 255, 255, 255, 0)); // colour 1000 reads as 1.0
        // x -0.5..0.5 covers pixels 16 to 47 of 64, and y likewise.
        EXPECT_TRUE(At(16, 30, 255, 0, 0, 0));
        EXPECT_TRUE(At(15, 30, 64, 64, 64));
        EXPECT_TRUE(At(47, 30, 0, 255, 0, 0));
        EXPECT_TRUE(At(48, 30, 64, 64, 64));
        EXPECT_TRUE(At(20, 16, 255, 0, 0, 0));
        EXPECT_TRUE(At(20, 15, 64, 64, 64));
        EXPECT_TRUE(At(20, 47, 0, 0, 255, 0));
        EXPECT_TRUE(At(20, 48, 64, 64, 64));
    }
}

// The generated program of generated geometry: the vertex colour (times
// 1000) times the root colour, white where colour layer 1 is off.
TEST_F(VfxDevicePixels, AGeneratedShapeShowsVertexTimesRootColour) {
    ShaderSource::Install(nullptr);
    IShader* shape = Shader(ShaderKey::kShape);
    ASSERT_NE(shape, nullptr);
    Begin(shape);
    SetRootColour(0.5f, 1, 1, 1);
    ShapeVertex s[4] = {};
    const float corners[4][2] = {{-1, 1}, {1, 1}, {-1, -1}, {1, -1}};
    for (int i = 0; i < 4; ++i) {
        s[i].position[0] = corners[i][0] * 0.5f;
        s[i].position[1] = corners[i][1] * 0.5f;
        s[i].position[2] = 0.5f;
        for (int16_t& c : s[i].colour)
            c = 1000;
    }
    DrawVertices(s, 4, sizeof(ShapeVertex));
    Finish();
    EXPECT_TRUE(At(32, 32, 128, 255, 255));
    EXPECT_TRUE(At(20, 44, 128, 255, 255));
    EXPECT_TRUE(At(8, 8, 0, 0, 0));
}

TEST_F(VfxDevicePixels, BlendModesAddAndSubtract) {
    Begin(simple);
    device->SetTexture(0, Texture1x1(255, 255, 255, 255), 0, 0, 0, 0);
    // Opaque blue on the left, white on the right, a scaled colour below.
    Billboard({-1, 1, 0, 0}, {0, 0, 1000, 1000});
    Billboard({0, 1, 1, 0}, {1000, 1000, 1000, 1000});
    Billboard({-1, 0, 0, -1}, {500, 1000, 250, 1000});
    // Half-alpha red added over the blue, subtracted from the white.
    device->SetBlendMode(2, false);
    Billboard({-1, 1, 0, 0}, {1000, 0, 0, 500});
    device->SetBlendMode(3, false);
    Billboard({0, 1, 1, 0}, {1000, 0, 0, 500});
    Finish();
    EXPECT_TRUE(At(16, 16, 128, 0, 255));
    EXPECT_TRUE(At(48, 16, 128, 255, 255));
    EXPECT_TRUE(At(16, 48, 128, 255, 64));
    EXPECT_TRUE(At(48, 48, 0, 0, 0));
}

TEST_F(VfxDevicePixels, CullModeZeroDropsClockwiseTrianglesAndThreeDrawsBoth) {
    Begin(simple);
    device->SetTexture(0, Texture1x1(255, 255, 255, 255), 0, 0, 0, 0);
    // Top half with cull mode 0: on the left clockwise on screen (top-left,
    // top-right, bottom-left), on the right counter-clockwise.
    device->SetCullMode(0);
    Triangle({{-1, 1}, {0, 1}, {-1, 0}});
    Triangle({{0, 1}, {0, 0}, {1, 1}});
    // Bottom half with cull mode 3: both.
    device->SetCullMode(3);
    Triangle({{-1, 0}, {0, 0}, {-1, -1}});
    Triangle({{0, 0}, {0, -1}, {1, 0}});
    Finish(0.25f, 0.25f, 0.25f);
    EXPECT_TRUE(At(8, 8, 64, 64, 64));
    EXPECT_TRUE(At(40, 8, 255, 255, 255));
    EXPECT_TRUE(At(8, 40, 255, 255, 255));
    EXPECT_TRUE(At(40, 40, 255, 255, 255));
}

// A stage left without a texture samples nothing, not the texture an
// earlier draw of the frame bound under its name.
TEST_F(VfxDevicePixels, AStageWithoutATextureReadsBlack) {
    ITexture* red = Texture1x1(255, 0, 0, 255);
    ASSERT_NE(red, nullptr);
    Begin(simple);
    device->SetTexture(0, red, 0, 0, 0, 0);
    Billboard({-1, 1, 0, -1}, {1000, 1000, 1000, 1000});
    device->SetTexture(0, nullptr, 0, 0, 0, 0);
    Billboard({0, 1, 1, -1}, {1000, 1000, 1000, 1000});
    Finish(0.5f, 0.5f, 0.5f);
    EXPECT_TRUE(At(16, 32, 255, 0, 0));
    EXPECT_TRUE(At(48, 32, 0, 0, 0));
}

// The other three kinds draw with their layouts, the morph targets from
// stream 1: one quad per quadrant.
TEST_F(VfxDevicePixels, EveryKindDrawsThroughItsLayout) {
    IShader* shape = Shader(ShaderKey::kShape);
    IShader* model = Shader(ShaderKey::kModel);
    IShader* morph = Shader(ShaderKey::kModel | ShaderKey::kMorphTargetBit);
    IShader* projection = Shader(ShaderKey::kProjection);
    ASSERT_TRUE(shape && model && morph && projection);
    const float corners[4][2] = {{-1, 1}, {1, 1}, {-1, -1}, {1, -1}};
    auto place = [&](const Box& b, int i, float* to) {
        to[0] = corners[i][0] < 0 ? b.left : b.right;
        to[1] = corners[i][1] > 0 ? b.top : b.bottom;
        to[2] = 0.5f;
    };

    // Generated geometry, red, top left.
    Begin(shape);
    ShapeVertex s[4] = {};
    for (int i = 0; i < 4; ++i) {
        place({-1, 1, 0, 0}, i, s[i].position);
        s[i].colour[0] = s[i].colour[3] = 1000;
    }
    DrawVertices(s, 4, sizeof(ShapeVertex));

    // A model, green, top right.
    device->SetShader(model);
    ModelVertex m[4] = {};
    for (int i = 0; i < 4; ++i) {
        place({0, 1, 1, 0}, i, m[i].position);
        m[i].colour[1] = m[i].colour[3] = 255;
    }
    DrawVertices(m, 4, sizeof(ModelVertex));

    // A morphing model, bottom left, halfway between its two shapes: the
    // positions meet there, and white meets the targets' blue halfway.
    device->SetShader(morph);
    const float halfway[4] = {0, 0.5f, 0, 0};
    device->SetVertexShaderConstants(15, halfway, 1, 16);
    ModelVertex from[4] = {};
    ModelVertex to[4] = {};
    for (int i = 0; i < 4; ++i) {
        place({-1, 0, 0, -1}, i, from[i].position);
        place({-1, 0, 0, -1}, i, to[i].position);
        from[i].position[0] += 0.5f;
        to[i].position[0] -= 0.5f;
        for (uint8_t& c : from[i].colour)
            c = 255;
        to[i].colour[2] = to[i].colour[3] = 255;
    }
    device->SetVertexBuffer(1, vertices, PutVertices(to, sizeof to), sizeof(ModelVertex));
    DrawVertices(from, 4, sizeof(ModelVertex));

    // A projection volume's face, blue from the root colour, bottom right.
    device->SetShader(projection);
    device->SetVertexBuffer(1, nullptr, 0, 0);
    SetRootColour(0, 0, 1, 1);
    ProjectionVertex p[4] = {};
    for (int i = 0; i < 4; ++i)
        place({0, 0, 1, -1}, i, p[i].position);
    DrawVertices(p, 4, sizeof(ProjectionVertex));

    Finish();
    EXPECT_TRUE(At(16, 16, 255, 0, 0));
    EXPECT_TRUE(At(48, 16, 0, 255, 0));
    EXPECT_TRUE(At(16, 48, 128, 128, 255));
    EXPECT_TRUE(At(4, 48, 128, 128, 255));
    EXPECT_TRUE(At(48, 48, 0, 0, 255));
}

} // namespace
