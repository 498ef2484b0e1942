// A billboard whose material fades by the alpha light, drawn through the
// renderer, the generated programs and the game's effects device on the
// GL backend: its alpha grows from 0 at the start distance from the
// particle of the instance's kind-2 extra unit to 1 at start + range, in
// the space of that particle's inverse matrix.
#include "support/effects/DrawUnitRig.h"
#include "support/vfx/CameraPixelTest.h"

#include "effects/Core/Resource/PackageResource.h"
#include "effects/Core/Resource/UnitResource.h"
#include "effects/units/ParticleExtraUnit.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

namespace {

using testsupport::Rgb;

constexpr int kSize = 64;
constexpr int kGrey = 128;
// The billboard faces the eye at this depth and overfills the frame.
constexpr float kDepth = 4.0f;
// The kind-2 unit's two values: alpha 0 at distance 1, 1 from 1 + 2 on.
constexpr float kStart = 1.0f;
constexpr float kEnd = 3.0f;

// Unit 0: an alpha-blended billboard of a grey texture with the alpha
// light; unit 1: a kind-2 extra unit.
effecttools::EffectFileValue Effect() {
    effecttools::DrawPartValue part;
    part.data = effecttools::DrawDataType2Value{{{"DivU", 1}, {"DivV", 1}, {"AnmI", 1}}};
    part.fields = {{"DMod", 1}, {"bPDs", 1}, {"bApL", 1}};
    part.drawSize =
        effecttools::TripleValue{1, effecttools::Constant(40.0f), std::nullopt, std::nullopt};
    part.textureLayers["TCo1"] = {
        {{"bEbl", 1}}, std::vector<int8_t>{0}, std::nullopt, std::nullopt};
    effecttools::EffectFileValue f = testsupport::DrawEffect({part}, 0);
    effecttools::TextureValue t;
    t.data = testsupport::FlatTexture({kGrey, kGrey, kGrey});
    f.package.textures.push_back(t);
    effecttools::UnitValue fade;
    effecttools::EffectPartValue range;
    range.kind = 2;
    range.innerRadius = effecttools::Constant(kStart);
    range.outerRadius = effecttools::Constant(kEnd);
    fade.effectPart = range;
    f.package.units.push_back(fade);
    return f;
}

class AlphaLightPixels : public testsupport::PerspectivePixelTest<kSize> {
protected:
    void SetUp() override {
        Start(Effect());
        if (IsSkipped() || HasFatalFailure())
            return;
        SetCamera();
    }
};

// Clear within the start distance of the kind-2 unit's particle, whole past
// start + range, and in between the fraction of the range covered, with
// the particle at the billboard's middle and off it.
TEST_F(AlphaLightPixels, ABillboardFadesInFromTheStartDistanceOverTheRange) {
    struct Row {
        const char* name;
        float x, y; // the kind-2 unit's particle, in the billboard's plane
    };
    const Row rows[] = {{"at the middle", 0.0f, 0.0f}, {"off the middle", 1.5f, -0.5f}};
    const float billboard[12] = {1, 0, 0, 0, 1, 0, 0, 0, 1, 0, 0, -kDepth};
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        ASSERT_NE(Build(0, billboard), nullptr);
        const float centre[12] = {1, 0, 0, 0, 1, 0, 0, 0, 1, row.x, row.y, -kDepth};
        FulgorCore::ParticleInstance* owner = OwnerOn(LastInstance(), 1, centre);
        ASSERT_NE(owner, nullptr);
        FulgorCore::ParticleExtraUnit* fade =
            FulgorCore::ParticleExtraUnit::Create(owner, package->GetUnit(1)->GetEffectPart(0));
        ASSERT_NE(fade, nullptr);
        fade->Update();
        DrawLastAndRead();
        delete fade;
        int clear = 0, whole = 0, wrong = 0;
        for (int py = 0; py < kSize; ++py)
            for (int px = 0; px < kSize; ++px) {
                // The pixel's point on the billboard, and its distance from
                // the particle.
                const float r =
                    std::hypot(CentreX(px) * kDepth - row.x, CentreY(py) * kDepth - row.y);
                const float alpha = std::clamp((r - kStart) / (kEnd - kStart), 0.0f, 1.0f);
                const int level = static_cast<int>(std::lround(kGrey * alpha));
                clear += r <= kStart;
                whole += r >= kEnd;
                if (!Is(px, py, {level, level, level}, 3) && ++wrong <= 5) {
                    ADD_FAILURE() << px << ", " << py << " at distance " << r << " is "
                                  << int(Pixel(px, py)[0]) << ", expected " << level;
                }
            }
        EXPECT_EQ(wrong, 0);
        // Both ends of the fade are in the frame.
        EXPECT_GT(clear, 20);
        EXPECT_GT(whole, 20);
    }
}

} // namespace
