#include "game/scene/SpriteFont.h"
#include "engine/graphics/VertexBuffer.h"
#include "engine/renderer/SpriteRenderer.h"
#include "game/scene/SceneRanking.h"
#include "game/scene/SceneSetup.h"
#include "support/GraphicsFixture.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

using Mireku::Renderer::SpriteVertex;

class SpriteFontTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(stack.Start(sys::gpu::Backend::Null, 1280, 720));
        layer = new Mireku::Renderer::SpriteRenderer(256, 4, "HUD");
    }
    void TearDown() override {
        layer->Release();
        stack.Stop();
    }
    // Each glyph's top-left and bottom-right vertex.
    struct Glyph {
        SpriteVertex tl, br;
    };
    std::vector<Glyph> Flush() {
        const uint32_t n = layer->GetCount();
        layer->Flush(1280, 720);
        const auto* v =
            reinterpret_cast<const SpriteVertex*>(layer->GetVertexBuffer()->GetStaging(0));
        std::vector<Glyph> out;
        for (uint32_t i = 0; i < n; ++i)
            out.push_back({v[i * 4], v[i * 4 + 3]});
        const float clear[4] = {0, 0, 0, 0};
        stack.Execute(clear);
        return out;
    }

    testing_graphics::GraphicsStack stack;
    Mireku::Renderer::SpriteRenderer* layer = nullptr;
};

TEST_F(SpriteFontTest, EachGlyphClassHasItsCellAndAdvance) {
    // digit, first and last of both letter rows, punctuation, colon, tab,
    // space (half a cell in the ranking), and capitals, '^' and a high byte
    // passed over.
    SceneRanking::DrawSpriteText(layer, "7aAmn^z!\xC3:\t ~_+", 100, 50, 2.0f, 0.5f);
    const std::vector<Glyph> g = Flush();
    ASSERT_EQ(g.size(), 10u);
    const struct {
        float u, v, x;
    } expected[] = {
        {210, 0, 100}, {0, 30, 160},   {360, 30, 220}, {0, 60, 280},  {360, 60, 340},
        {0, 90, 400},  {30, 120, 450}, {300, 90, 530}, {0, 150, 590}, {90, 150, 650},
    };
    for (size_t i = 0; i < g.size(); ++i) {
        EXPECT_EQ(g[i].tl.u0, expected[i].u) << i;
        EXPECT_EQ(g[i].tl.v0, expected[i].v) << i;
        EXPECT_EQ(g[i].br.u0, expected[i].u + 30) << i;
        EXPECT_EQ(g[i].br.v0, expected[i].v + 30) << i;
        EXPECT_EQ(g[i].tl.x, expected[i].x) << i;
        EXPECT_EQ(g[i].br.x, expected[i].x + 60) << i << ": 30 x the horizontal scale wide";
        EXPECT_EQ(g[i].tl.y, 50.0f);
        EXPECT_EQ(g[i].br.y, 65.0f) << "30 x the vertical scale high";
    }
}

TEST_F(SpriteFontTest, TheSetupSetsSpacesAWholeCellWide) {
    EXPECT_EQ(SpriteFont::Draw(layer, "a b", 0, 0, 1.0f, 1.0f, SpriteFont::kWideSpace), 90.0f);
    EXPECT_EQ(SpriteFont::Draw(layer, "a b", 0, 0, 1.0f, 1.0f, SpriteFont::kNarrowSpace), 75.0f);
    EXPECT_EQ(SpriteFont::Draw(layer, "A:\tB", 0, 0, 1.0f, 1.0f, SpriteFont::kWideSpace), 20.0f)
        << "capitals do not move the pen; ':' and tab 10 each";
    EXPECT_EQ(Flush().size(), 5u);
}

} // namespace
