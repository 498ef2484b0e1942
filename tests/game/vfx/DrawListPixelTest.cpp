// Whole effects through the runtime's own draw road on the GL backend
// (llvmpipe under the offscreen video driver): the particles of a playing
// instance collected into its draw lists, drawn list by list and, when the
// effect sorts, by view depth, through the effects device, and read back.
#include "support/effects/RuntimeFrame.h"
#include "support/effects/UnitTreeRig.h"
#include "support/vfx/EnginePixelTest.h"

#include "effects/Core/Engine/DrawParameter.h"
#include "effects/Core/Engine/Engine.h"
#include "tools/dds/DdsWriter.h"

#include <array>
#include <cmath>
#include <utility>
#include <vector>

namespace {

namespace Engine = FulgorCore::Engine;

effecttools::TextureValue Plain(uint8_t r, uint8_t g, uint8_t b) {
    const std::vector<uint8_t> rgba = {r, g, b, 255};
    return {std::string("plain"),
            tools::WriteDds(sys::DdsFormat::R8G8B8A8, 1, 1, 1, false, rgba.data(), rgba.size()),
            std::nullopt};
}

// An opaque billboard of texture `texture` (one cell), half size `size`,
// on draw list `priority`.
effecttools::DrawPartValue Billboard(int8_t texture, float size, uint8_t priority) {
    effecttools::DrawDataType2Value grid;
    grid.fields = {{"DivU", 1}, {"DivV", 1}, {"AnmI", 1}};
    effecttools::DrawPartValue part;
    part.data = grid;
    part.priority = priority;
    part.drawSize = effecttools::TripleValue{1, effecttools::Constant(size), std::nullopt,
                                             std::nullopt};
    effecttools::TextureLayerValue layer;
    layer.fields = {{"bEbl", 1}};
    layer.list = std::vector<int8_t>{texture};
    part.textureLayers["TCo1"] = layer;
    return part;
}

// Units of one billboard each (texture k for unit k, red then green), at
// depth `depths[k]` in front of the camera, started together from the
// first place; the package's draw order `sortMode`.
effecttools::EffectFileValue TwoBillboards(uint32_t sortMode, const uint8_t (&priorities)[2],
                                           const float (&sizes)[2], const float (&depths)[2]) {
    effecttools::EffectFileValue f = testsupport::TreeEffect("vfx/lists.vfxb", 2, 0);
    f.package.fields.push_back({"DOT", sortMode});
    f.package.floats["BndR"] = 100.0f;
    f.package.textures = {Plain(255, 0, 0), Plain(0, 255, 0)};
    for (int k = 0; k < 2; ++k) {
        effecttools::UnitValue& u = f.package.units[k];
        u.drawParts.push_back(Billboard(static_cast<int8_t>(k), sizes[k], priorities[k]));
        u.triples["Pos"] = effecttools::TripleValue{0, effecttools::Constant(0.0f),
                                                    effecttools::Constant(0.0f),
                                                    effecttools::Constant(-depths[k])};
    }
    const int16_t timeline = testsupport::AddTimeline(
        f, 60, {testsupport::UnitItem(0, 0, 60), testsupport::UnitItem(1, 0, 60)});
    f.package.assignments.push_back({timeline, std::nullopt});
    return f;
}

class DrawListPixels : public testsupport::EnginePixelTest {
protected:
    DrawListPixels() { generatedShaders = true; }

    // Plays `f` for a few frames and draws its layer under a perspective
    // camera at the origin looking down -Z (60 degrees, square).
    void Show(const effecttools::EffectFileValue& f) {
        const FulgorCore::ObjectHandle effect = testsupport::LoadEffect(testsupport::Write(f));
        ASSERT_NE(effect.serial, 0u);
        const FulgorCore::InstanceHandle h = Engine::CreateInstance(effect.index, effect.serial,
                                                                    nullptr);
        Engine::PlayInstance(h.index, h.serial, 1.0f, 0);
        for (int i = 0; i < 3; ++i)
            testsupport::Frame();
        const float n = 0.1f, far = 100.0f, cot = 1.0f / std::tan(0.5235988f);
        const float projection[16] = {cot, 0, 0, 0, 0, cot, 0, 0, 0, 0, far / (n - far), -1,
                                      0, 0, n * far / (n - far), 0};
        FulgorCore::DrawParameter draw = testsupport::ScreenDraw(testsupport::kIdentity44,
                                                                 projection);
        draw.pixelSize[0] = draw.screenSize[0] = kSize;
        draw.pixelSize[1] = draw.screenSize[1] = kSize;
        Engine::Draw(0, &draw);
        Engine::ResetDrawState();
        Engine::DrawLayer(0);
        Finish();
        Engine::KillInstance(h.index, h.serial);
        testsupport::Frame();
        Engine::ReleaseResource(effect.index, effect.serial);
    }
};

// Two opaque billboards over each other at one depth: the one on list 6 is
// drawn after the one on list 0, whatever their units' order.
TEST_F(DrawListPixels, AHigherListDrawsOverALowerOne) {
    const float sizes[2] = {1.0f, 1.0f}, depths[2] = {5.0f, 5.0f};
    for (const auto& [priorities, top] :
         {std::pair{std::array<uint8_t, 2>{0, 6}, 1}, std::pair{std::array<uint8_t, 2>{6, 0}, 0}}) {
        const uint8_t p[2] = {priorities[0], priorities[1]};
        Show(TwoBillboards(0, p, sizes, depths));
        if (HasFatalFailure())
            return;
        EXPECT_TRUE(top == 1 ? At(32, 32, 0, 255, 0) : At(32, 32, 255, 0, 0))
            << int(p[0]) << " " << int(p[1]);
    }
}

// A near billboard at depth 5 and a far one at depth 10, sized to cover
// the middle alike, in either unit order: sort mode 2 draws the far one
// first (the near one on top), mode 3 the near one first (the far one on
// top).
TEST_F(DrawListPixels, SortModesTwoAndThreeDrawByViewDepth) {
    const uint8_t priorities[2] = {3, 3};
    for (const bool nearFirst : {true, false}) {
        const float sizes[2] = {nearFirst ? 1.0f : 2.0f, nearFirst ? 2.0f : 1.0f};
        const float depths[2] = {nearFirst ? 5.0f : 10.0f, nearFirst ? 10.0f : 5.0f};
        // Unit 0 is red, unit 1 green.
        const bool nearIsRed = nearFirst;
        for (const uint32_t mode : {2u, 3u}) {
            Show(TwoBillboards(mode, priorities, sizes, depths));
            if (HasFatalFailure())
                return;
            const bool redOnTop = (mode == 2) == nearIsRed;
            EXPECT_TRUE(redOnTop ? At(32, 32, 255, 0, 0) : At(32, 32, 0, 255, 0))
                << "sort mode " << mode << (nearFirst ? ", near unit first" : ", far unit first");
        }
    }
}

} // namespace
