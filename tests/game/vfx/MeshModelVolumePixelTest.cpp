// Meshes, morphing models and projection volumes of a writer-made effect,
// each built from its data by the runtime's factory, updated and drawn by
// its own members through the renderer, the generated programs and the
// game's effects device on the GL backend (llvmpipe under the offscreen
// video driver), under a perspective camera, read back from a 64 x 64
// back buffer. Expected regions come from the written geometry projected
// through the camera.
#include "support/effects/DrawUnitRig.h"
#include "support/vfx/EffectVertices.h"
#include "support/vfx/ModelQuads.h"
#include "support/vfx/CameraPixelTest.h"

#include "tools/dds/DdsWriter.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <vector>

namespace {

namespace Fx = FulgorCore;
using effecttools::Constant;
using effecttools::DrawPartValue;
using testsupport::FlatTexture;
using testsupport::FrameShape;
using testsupport::InConvex;
using testsupport::AppendQuad;
using testsupport::Projected;
using testsupport::Rgb;

constexpr int kSize = 64;
constexpr float kPi = 3.14159265f;

constexpr Rgb kWhite = {255, 255, 255};
constexpr Rgb kAmber = {240, 160, 32};
enum Texture : int8_t { kWhiteTexture, kAmberTexture };

// Everything stands 10 in front of the eye.
constexpr float kDistance = 10.0f;
// An owner at the distance, axes unscaled.
constexpr float kAtDistance[12] = {1, 0, 0, 0, 1, 0, 0, 0, 1, 0, 0, -kDistance};

// The mesh: two square faces of half size 2 about (-3, 0) and (3, 0), each
// turned about y by its angle (normal (sin a, 0, cos a)). The first faces
// the eye from its centre; the second is 60 degrees off the eye there.
constexpr float kFaceHalf = 2.0f;
constexpr float kFaceX[2] = {-3.0f, 3.0f};
const float kFaceAngle[2] = {std::atan2(3.0f, kDistance),
                             std::atan2(-3.0f, kDistance) + kPi / 3.0f};

// The morph's two models' second buffer sets: a rectangle from x = -4 to
// kEdgeA and from y = -2 to 2, and the same with its right edge at
// kEdgeB, and grey where the first is white, so the colour blends too; the
// first sets are a square well above, which shows only when the morph is
// not taken.
constexpr uint8_t kTargetShade = 128;
constexpr float kLeft = -4.0f;
constexpr float kEdgeA = 0.0f;
constexpr float kEdgeB = 4.0f;
constexpr float kHalfHeight = 2.0f;

// The volumes: a box of edge 8 about the point 10 in front of the eye,
// its projection axis (local y) along the view axis, over a plane at
// z = -10; the ring's radius and width.
constexpr float kBoxEdge = 8.0f;
constexpr float kBox[12] = {kBoxEdge, 0, 0, 0, 0, kBoxEdge, 0, -kBoxEdge, 0, 0, 0, -kDistance};
constexpr float kRingRadius = 1.0f;
constexpr float kRingWidth = 0.5f;

enum Unit : uint32_t {
    kPlainMesh,
    kFalloffMesh,
    kMorphAt0,
    kMorphAtQuarter,
    kMorphAtHalf,
    kBoxMode0,
    kBoxMode1,
    kBoxMode2,
    kBoxMode3,
    kUnits
};

// Corner k (0-3: -u -v, +u -v, -u +v, +u +v) of face f, in the owner's
// space (z about 0).
void FaceCorner(int f, int k, float* out) {
    const float a = kFaceAngle[f];
    const float u = (k % 2 ? 1.0f : -1.0f) * kFaceHalf;
    const float v = (k / 2 ? 1.0f : -1.0f) * kFaceHalf;
    out[0] = kFaceX[f] + u * std::cos(a);
    out[1] = v;
    out[2] = -u * std::sin(a);
}

effecttools::ColorValue Grey(float level) {
    effecttools::ColorValue c;
    c.red = c.green = c.blue = Constant(level);
    return c;
}

DrawPartValue Textured(effecttools::DrawDataValue data, Texture texture) {
    DrawPartValue part;
    part.data = std::move(data);
    part.fields = {{"UvSC", 1}, {"DFac", 2}};
    part.uvLayers = {testsupport::IdentityUvSet()};
    part.textureLayers["TCo1"] = {
        {{"bEbl", 1}}, std::vector<int8_t>{texture}, std::nullopt, std::nullopt};
    return part;
}

DrawPartValue Mesh(uint16_t falloffMode, Texture texture) {
    effecttools::DrawDataType13Value m;
    m.rimType = falloffMode;
    std::vector<uint8_t> vertices;
    std::vector<uint16_t> indices;
    for (int f = 0; f < 2; ++f) {
        const float n[3] = {std::sin(kFaceAngle[f]), 0.0f, std::cos(kFaceAngle[f])};
        testsupport::ModelVertex corners[4];
        for (int k = 0; k < 4; ++k) {
            float p[3];
            FaceCorner(f, k, p);
            corners[k] = testsupport::QuadVertex(p[0], p[1], p[2], n);
        }
        AppendQuad(vertices, indices, corners);
    }
    m.vertices = vertices;
    m.indices = indices;
    // Black to white by the rate, power 1, no offset.
    m.colors = {{"FrCB", Grey(0.0f)}, {"FrCE", Grey(1.0f)}};
    m.floats = {{"FrC", Constant(1.0f)}, {"FrO", Constant(0.0f)}};
    m.rimDirection = effecttools::TripleValue{0, Constant(0.0f), Constant(0.0f), Constant(0.0f)};
    return Textured(m, texture);
}

// One rectangle from (left, bottom) to (right, top) at z = 0, of grey
// level `shade`.
effecttools::VertexStreamValue Rectangle(float left, float bottom, float right, float top,
                                         uint8_t shade = 255) {
    effecttools::VertexStreamValue s;
    std::vector<uint16_t> indices;
    using testsupport::QuadVertex;
    const testsupport::ModelVertex corners[4] = {QuadVertex(left, bottom, 0.0f, nullptr, shade),
                                                 QuadVertex(right, bottom, 0.0f, nullptr, shade),
                                                 QuadVertex(left, top, 0.0f, nullptr, shade),
                                                 QuadVertex(right, top, 0.0f, nullptr, shade)};
    AppendQuad(s.vertices, indices, corners);
    s.indices = indices;
    return s;
}

effecttools::ModelValue MorphModel(float rightEdge, uint8_t shade) {
    effecttools::ModelValue m;
    m.stream1 = Rectangle(-1.0f, 5.0f, 1.0f, 7.0f);
    m.stream2 = Rectangle(kLeft, -kHalfHeight, rightEdge, kHalfHeight, shade);
    return m;
}

// The list (0, 1) morphed at a constant position.
DrawPartValue Morph(float weight) {
    effecttools::DrawDataType5Value m;
    m.fields = {{"bMrf", 1}};
    m.list = std::vector<int8_t>{0, 1};
    m.floats["MrBR"] = Constant(weight);
    return Textured(m, kAmberTexture);
}

DrawPartValue Box(uint32_t mode) {
    effecttools::DrawDataType10Value v;
    v.projectionType = mode;
    v.rangeR = Constant(kRingRadius);
    v.rangeW = Constant(kRingWidth);
    return Textured(v, kAmberTexture);
}

effecttools::EffectFileValue Effect() {
    std::vector<DrawPartValue> parts(kUnits);
    parts[kPlainMesh] = Mesh(0, kAmberTexture);
    parts[kFalloffMesh] = Mesh(1, kWhiteTexture);
    parts[kMorphAt0] = Morph(0.0f);
    parts[kMorphAtQuarter] = Morph(0.25f);
    parts[kMorphAtHalf] = Morph(0.5f);
    parts[kBoxMode0] = Box(0);
    parts[kBoxMode1] = Box(1);
    parts[kBoxMode2] = Box(2);
    parts[kBoxMode3] = Box(3);
    effecttools::EffectFileValue f = testsupport::DrawEffect(parts, 0);
    for (Rgb c : {kWhite, kAmber}) {
        effecttools::TextureValue t;
        t.data = FlatTexture(c);
        f.package.textures.push_back(t);
    }
    f.package.models = {MorphModel(kEdgeA, 255), MorphModel(kEdgeB, kTargetShade)};
    return f;
}

class MeshModelVolumePixels : public testsupport::PerspectivePixelTest<kSize> {
protected:
    void SetUp() override {
        Start(Effect());
        if (IsSkipped() || HasFatalFailure())
            return;
        SetCamera();
    }

    static FrameShape Flat(const std::string& name, std::function<bool(float, float, float)> in,
                           Rgb c) {
        return {name, std::move(in), [c](float, float) { return c; }};
    }
    // Face f of the mesh owned at kAtDistance, projected.
    static std::vector<Projected> FaceOutline(int f) {
        std::vector<Projected> outline;
        for (int k : {0, 1, 3, 2}) {
            float p[3];
            FaceCorner(f, k, p);
            outline.push_back(Project(p[0], p[1], p[2] - kDistance));
        }
        return outline;
    }
    // The falloff's rate where the eye sees (x, y) on face f: the eye
    // vector there is the reversed view ray, (-x, -y, 1) normalised.
    static float Rate(int f, float x, float y) {
        const float a = kFaceAngle[f];
        return std::fabs(-x * std::sin(a) + std::cos(a)) / std::sqrt(x * x + y * y + 1.0f);
    }
    // A white face's brightness at its centre.
    int Brightness(int f) const {
        const Projected c = Project(kFaceX[f], 0.0f, -kDistance);
        return Pixel(static_cast<int>((c.x + 1.0f) / kPixel),
                     static_cast<int>((1.0f - c.y) / kPixel))[1];
    }
};

TEST_F(MeshModelVolumePixels, AMeshShowsItsTextureOverItsFacesAndItsFalloffDimsTheTurnedFace) {
    struct Row {
        const char* name;
        Unit unit;
        Rgb texture;
        bool falloff;
    };
    const Row rows[] = {
        {"FalloffOffShowsTheTextureColour", kPlainMesh, kAmber, false},
        {"FalloffBlackToWhiteScalesByTheAngleToTheEye", kFalloffMesh, kWhite, true},
    };
    for (const Row& row : rows) {
        ASSERT_NE(Build(row.unit, kAtDistance), nullptr) << row.name;
        DrawLastAndRead();
        std::vector<FrameShape> faces;
        for (int f = 0; f < 2; ++f) {
            const std::vector<Projected> outline = FaceOutline(f);
            FrameShape face;
            face.name = f == 0 ? "face to the eye" : "face at 60 degrees";
            face.inside = [outline](float x, float y, float m) {
                return InConvex(outline, x, y, m);
            };
            const Rgb t = row.texture;
            const bool falloff = row.falloff;
            face.colour = [t, f, falloff](float x, float y) {
                const float rate = falloff ? Rate(f, x, y) : 1.0f;
                const auto scale = [rate](int c) {
                    return static_cast<int>(std::lround(static_cast<float>(c) * rate));
                };
                return Rgb{scale(t.r), scale(t.g), scale(t.b)};
            };
            face.tolerance = falloff ? 6 : 2;
            faces.push_back(face);
        }
        ExpectOnly(row.name, faces);
        if (row.falloff) {
            // Full white facing the eye, half at 60 degrees.
            EXPECT_NEAR(Brightness(0), 255, 6) << row.name;
            EXPECT_NEAR(Brightness(1), 128, 6) << row.name;
            EXPECT_GT(Brightness(0), Brightness(1) + 100) << row.name;
        }
    }
}

TEST_F(MeshModelVolumePixels, AMorphPutsTheMovedEdgeAndTheColourAtItsWeight) {
    struct Row {
        const char* name;
        Unit unit;
        float weight;
    };
    const Row rows[] = {
        {"WeightZeroKeepsTheFirstModelsEdge", kMorphAt0, 0.0f},
        {"AQuarterMovesTheEdgeAQuarterOfTheWay", kMorphAtQuarter, 0.25f},
        {"HalfPutsTheEdgeHalfway", kMorphAtHalf, 0.5f},
    };
    for (const Row& row : rows) {
        ASSERT_NE(Build(row.unit, kAtDistance), nullptr) << row.name;
        DrawLastAndRead();
        const float edge = kEdgeA + row.weight * (kEdgeB - kEdgeA);
        const Projected low = Project(kLeft, -kHalfHeight, -kDistance);
        const Projected high = Project(edge, kHalfHeight, -kDistance);
        // The vertex colour from white toward the target's grey.
        const float shade = 1.0f - row.weight * (1.0f - kTargetShade / 255.0f);
        const auto scale = [shade](int c) {
            return static_cast<int>(std::lround(static_cast<float>(c) * shade));
        };
        ExpectOnly(row.name, {Flat(
                                 "morphed rectangle",
                                 [low, high](float x, float y, float m) {
                                     return x >= low.x + m && x <= high.x - m && y >= low.y + m &&
                                            y <= high.y - m;
                                 },
                                 {scale(kAmber.r), scale(kAmber.g), scale(kAmber.b)})});
    }
}

TEST_F(MeshModelVolumePixels, AProjectionBoxColoursWhatLiesInItsFootprint) {
    // The scene: a plane across the view at z = -10, one depth for every
    // pixel.
    const float depth = Project(0.0f, 0.0f, -kDistance).depth;
    const std::vector<float> plane(static_cast<size_t>(kSize * kSize), depth);
    const std::vector<uint8_t> dds = tools::WriteDds(
        sys::DdsFormat::R32Float, kSize, kSize, 1, false, plane.data(), plane.size() * 4);
    Fx::ITexture* scene =
        rig.Keep(rig.device->CreateTexture(dds.data(), static_cast<uint32_t>(dds.size())));
    ASSERT_NE(scene, nullptr);
    SetCamera(scene);

    // Where the box meets the plane, in the frame: its half edge and, for
    // the ring, its outer and inner radius (the box widened by R + W / 2,
    // the hole (1 - W) / 2 of it).
    const float half = Project(0.5f * kBoxEdge, 0.0f, -kDistance).x;
    const float widened = kRingRadius + 0.5f * kRingWidth;
    const float outer = half * widened;
    const float inner = half * widened * (1.0f - kRingWidth);
    const auto square = [half](float x, float y, float m) {
        return std::fabs(x) <= half - m && std::fabs(y) <= half - m;
    };
    const auto disc = [half](float x, float y, float m) { return std::hypot(x, y) <= half - m; };
    const auto ring = [outer, inner](float x, float y, float m) {
        const float r = std::hypot(x, y);
        return r <= outer - m && r >= inner + m;
    };
    struct Row {
        const char* name;
        Unit unit;
        std::function<bool(float, float, float)> footprint;
    };
    const Row rows[] = {
        {"Mode0ColoursTheSquareFootprint", kBoxMode0, square},
        {"Mode1ColoursTheDiscInTheSquare", kBoxMode1, disc},
        {"Mode2ColoursTheRingAndLeavesItsHoleClear", kBoxMode2, ring},
        {"Mode3ColoursTheSquareAsMode0", kBoxMode3, square},
    };
    for (const Row& row : rows) {
        ASSERT_NE(Build(row.unit, kBox, 1), nullptr) << row.name;
        DrawLastAndRead(true);
        ExpectOnly(row.name, {Flat("footprint", row.footprint, kAmber)});
    }
}

} // namespace
