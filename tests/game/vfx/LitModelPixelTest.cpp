// Lit models of a writer-made effect drawn through the renderer, the
// generated programs and the game's effects device on the GL backend,
// under the game's own lighting: ambient 0.2 and a white light shining
// along (0, 0, -1), away from the eye, so a face toward the eye faces the
// light. A lit colour is the square root of the colour squared times the
// light: a grey of 128 gives 128 x sqrt(1.2) = 140 fully lit and
// 128 x sqrt(0.2) = 57 with the ambient alone. Then the same model under
// the effect's own light, which a kind-1 extra unit of the instance
// publishes.
#include "support/effects/DrawUnitRig.h"
#include "support/vfx/ModelQuads.h"
#include "support/vfx/CameraPixelTest.h"

#include "effects/Core/Resource/PackageResource.h"
#include "effects/Core/Resource/UnitResource.h"
#include "effects/units/ParticleExtraUnit.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

namespace {

using effecttools::Constant;
using effecttools::DrawPartValue;
using testsupport::Projected;
using testsupport::Rgb;

constexpr int kSize = 64;
constexpr Rgb kGrey = {128, 128, 128};
constexpr int kLitGrey = 140;     // 128 x sqrt(0.2 + 1)
constexpr int kAmbientGrey = 57;  // 128 x sqrt(0.2)

// The quad: half size 3, 10 in front of the eye, its normal toward the eye
// (model 0) or away from it (model 1).
constexpr float kHalf = 3.0f;
constexpr float kDistance = 10.0f;
constexpr float kAtDistance[12] = {1, 0, 0, 0, 1, 0, 0, 0, 1, 0, 0, -kDistance};
enum Model : int8_t { kTowardTheLight, kAwayFromTheLight };
enum Unit : uint32_t { kDiffuseToward, kDiffuseAway, kSpecularToward, kUnits };

effecttools::ModelValue Quad(float normalZ) {
    const float n[3] = {0.0f, 0.0f, normalZ};
    using testsupport::QuadVertex;
    const testsupport::ModelVertex corners[4] = {
        QuadVertex(-kHalf, -kHalf, 0.0f, n), QuadVertex(kHalf, -kHalf, 0.0f, n),
        QuadVertex(-kHalf, kHalf, 0.0f, n), QuadVertex(kHalf, kHalf, 0.0f, n)};
    effecttools::VertexStreamValue s;
    std::vector<uint16_t> indices;
    testsupport::AppendQuad(s.vertices, indices, corners);
    s.indices = indices;
    effecttools::ModelValue m;
    m.stream1 = s;
    return m;
}

// A lit model of the grey texture; with `specular`, roughness 0.5,
// metallic 0.5 and a reflectance of 0.04 at normal incidence.
DrawPartValue Lit(Model model, bool specular) {
    effecttools::DrawDataType5Value m;
    m.fields = {{"bLgt", 1}};
    if (specular) {
        m.fields.push_back({"bPBL", 1});
        m.floats = {
            {"MtFo", Constant(0.04f)}, {"MtRh", Constant(0.5f)}, {"MtMl", Constant(0.5f)}};
    }
    m.list = std::vector<int8_t>{model};
    DrawPartValue part;
    part.data = m;
    part.fields = {{"UvSC", 1}, {"DFac", 2}};
    part.uvLayers = {testsupport::IdentityUvSet()};
    part.textureLayers["TCo1"] = {{{"bEbl", 1}}, std::vector<int8_t>{0}, std::nullopt,
                                  std::nullopt};
    return part;
}

effecttools::EffectFileValue Effect() {
    std::vector<DrawPartValue> parts(kUnits);
    parts[kDiffuseToward] = Lit(kTowardTheLight, false);
    parts[kDiffuseAway] = Lit(kAwayFromTheLight, false);
    parts[kSpecularToward] = Lit(kTowardTheLight, true);
    effecttools::EffectFileValue f = testsupport::DrawEffect(parts, 0);
    effecttools::TextureValue t;
    t.data = testsupport::FlatTexture(kGrey);
    f.package.textures.push_back(t);
    f.package.models = {Quad(1.0f), Quad(-1.0f)};
    // The scene's light reaches the package's lit units.
    f.package.fields.push_back({"bDLS", 1});
    return f;
}

class LitModelPixels : public testsupport::PerspectivePixelTest<kSize> {
protected:
    void SetUp() override {
        Start(Effect());
        if (IsSkipped() || HasFatalFailure())
            return;
        testsupport::SceneLighting light;
        for (int k = 0; k < 3; ++k) {
            light.ambient[k] = 0.2f;
            light.colour[k] = 1.0f;
        }
        light.direction[2] = -1.0f;
        SetCamera(nullptr, light);
    }
    // The grey level at the frame point (x, y).
    int GreyAt(float x, float y) const {
        return Pixel(static_cast<int>((x + 1.0f) / kPixel), static_cast<int>((1.0f - y) / kPixel))[1];
    }
    // The quad's projected half size in the frame.
    static float Edge() { return Project(kHalf, kHalf, -kDistance).x; }
};

TEST_F(LitModelPixels, AFaceTowardTheLightIsLitAboveTheAmbient) {
    struct Row {
        const char* name;
        Unit unit;
        int grey;
    };
    const Row rows[] = {
        {"TowardTheLightTakesAmbientAndLight", kDiffuseToward, kLitGrey},
        {"AwayFromTheLightKeepsTheAmbientAlone", kDiffuseAway, kAmbientGrey},
    };
    const float edge = Edge();
    for (const Row& row : rows) {
        ASSERT_NE(Build(row.unit, kAtDistance), nullptr) << row.name;
        DrawLastAndRead();
        const Rgb c = {row.grey, row.grey, row.grey};
        ExpectOnly(row.name, {{"quad",
                               [edge](float x, float y, float m) {
                                   return std::fabs(x) <= edge - m && std::fabs(y) <= edge - m;
                               },
                               [c](float, float) { return c; }, 2}});
    }
}

// With the specular term, the light from behind the eye leaves a highlight
// where the face mirrors it to the eye (its middle), well above the plain
// lit grey, and the face is nowhere darker than the ambient alone.
TEST_F(LitModelPixels, ASpecularFaceTowardTheLightShowsAHighlight) {
    ASSERT_NE(Build(kSpecularToward, kAtDistance), nullptr);
    DrawLastAndRead();
    const float edge = Edge();
    const int middle = GreyAt(0.5f * kPixel, 0.5f * kPixel);
    EXPECT_GT(middle, kLitGrey + 40);
    const float inner = edge - 2.0f * kPixel;
    for (const float x : {-inner, 0.0f, inner})
        for (const float y : {-inner, 0.0f, inner}) {
            EXPECT_GE(GreyAt(x, y), kAmbientGrey - 2) << x << ", " << y;
            if (x != 0.0f || y != 0.0f) {
                EXPECT_LT(GreyAt(x, y), middle) << x << ", " << y;
            }
        }
}

// A package whose lit units take the effect's own light and no scene
// light: unit 0 the lit model toward the eye, unit 1 a kind-1 extra unit.
effecttools::EffectFileValue EffectLit() {
    effecttools::EffectFileValue f = testsupport::DrawEffect({Lit(kTowardTheLight, false)}, 0);
    effecttools::TextureValue t;
    t.data = testsupport::FlatTexture(kGrey);
    f.package.textures.push_back(t);
    f.package.models = {Quad(1.0f)};
    f.package.fields.push_back({"bDLV", 1});
    effecttools::UnitValue light;
    effecttools::EffectPartValue facing;
    facing.kind = 1;
    light.effectPart = facing;
    f.package.units.push_back(light);
    return f;
}

class EffectLitModelPixels : public testsupport::PerspectivePixelTest<kSize> {
protected:
    void SetUp() override {
        Start(EffectLit());
        if (IsSkipped() || HasFatalFailure())
            return;
        SetCamera(nullptr, {});
    }
};

// Without ambient or scene light, the model shows only the light of the
// kind-1 unit's particle, in that particle's colour: its negated third
// axis is the light's direction (a face toward the eye takes all of a
// light shining away from the eye, and none from behind it), its colour
// the light's. Lit is sqrt(colour squared x light): a grey of 128 under a
// light of (1, 0.25, 0) gives (128, 64, 0).
TEST_F(EffectLitModelPixels, ALitModelTakesTheColourOfTheKindOneUnitsParticle) {
    struct Row {
        const char* name;
        float thirdAxisZ;
        Rgb seen;
    };
    const Row rows[] = {
        {"a light shining away from the eye", 1.0f, {128, 64, 0}},
        {"a light from behind the face", -1.0f, {0, 0, 0}},
    };
    const float edge = Project(kHalf, kHalf, -kDistance).x;
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        ASSERT_NE(Build(0, kAtDistance), nullptr);
        const float axes[12] = {1, 0, 0, 0, 1, 0, 0, 0, row.thirdAxisZ, 0, 0, -kDistance};
        FulgorCore::ParticleInstance* owner = OwnerOn(LastInstance(), 1, axes);
        ASSERT_NE(owner, nullptr);
        testsupport::OwnerPose pose;
        std::copy(axes, axes + 12, pose.matrix);
        const float colour[4] = {1.0f, 0.25f, 0.0f, 1.0f};
        std::copy(colour, colour + 4, pose.color);
        testsupport::Pose(owner, pose);
        FulgorCore::ParticleExtraUnit* light =
            FulgorCore::ParticleExtraUnit::Create(owner, package->GetUnit(1)->GetEffectPart(0));
        ASSERT_NE(light, nullptr);
        light->Update();
        DrawLastAndRead();
        delete light;
        const Rgb c = row.seen;
        ExpectOnly(row.name, {{"quad",
                               [edge](float x, float y, float m) {
                                   return std::fabs(x) <= edge - m && std::fabs(y) <= edge - m;
                               },
                               [c](float, float) { return c; }, 2}});
    }
}

} // namespace
