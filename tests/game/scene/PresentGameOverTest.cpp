#include "support/SceneTestSupport.h"

#include "engine/graphics/Texture.h"
#include "engine/renderer/SpriteRenderer.h"
#include "engine/resource/ChildResourceLoader.h"
#include "game/scene/PresentGameOver.h"

namespace {

TEST(PresentGameOverFade, SixtyStepsFadeInThenItStays) {
    PresentGameOver p;
    for (int i = 0; i < 60; ++i)
        EXPECT_TRUE(p.StepFadeIn()) << i;
    EXPECT_FLOAT_EQ(p.GetProgress(), 0.9999997f);
    EXPECT_LT(p.GetProgress(), 1.0f);
    EXPECT_EQ(p.GetCaptionAlpha(), 254u);
    EXPECT_FALSE(p.StepFadeIn());
    EXPECT_EQ(p.GetProgress(), 1.0f);
    EXPECT_EQ(p.GetCaptionAlpha(), 255u);
    EXPECT_FALSE(p.StepFadeIn());
}

TEST(PresentGameOverFade, ArrivalKeepsOnlyTheFrameParity) {
    PresentGameOver p;
    for (int i = 0; i < 7; ++i)
        p.Draw(nullptr);
    EXPECT_EQ(p.GetFrameCounter(), 7);
    while (p.StepFadeIn()) {
    }
    EXPECT_EQ(p.GetFrameCounter(), 1);
}

using PresentGameOverDraw = testing_scene::LooseFiles;

TEST_F(PresentGameOverDraw, TexturesByNameAndTheCaptionFlickers) {
    Write("texture/game/common/gameover_ani1.dds", Dds(8));
    Write("texture/game/common/gameover_ani2.dds", Dds(16));
    Write("texture/game/common/gameover_noise_ani3.dds", Dds(4));
    PresentGameOver p;
    Mireku::Resource::ChildResourceLoader child;
    p.LoadTextures(child);
    ASSERT_NE(p.GetTexture(0), nullptr);
    ASSERT_NE(p.GetTexture(1), nullptr);
    EXPECT_EQ(p.GetTexture(2), nullptr) << "a missing file leaves its slot empty";
    EXPECT_EQ(p.GetTexture(3), nullptr);
    EXPECT_NE(p.GetTexture(4), nullptr);
    for (uint32_t i = 5; i < PresentGameOver::kTextureSlots; ++i)
        EXPECT_EQ(p.GetTexture(i), nullptr);

    auto* hud = new Mireku::Renderer::SpriteRenderer(16, 8, "HUD");
    for (int frame = 1; frame <= 2; ++frame) {
        hud->SetPriority(27); // the flush resets the record every frame
        p.StepFadeIn();
        p.Draw(hud);
        const auto& caption = hud->GetCurrent();
        EXPECT_EQ(hud->GetCount(), 2u);
        EXPECT_EQ(caption.textures[0], frame == 1 ? p.GetTexture(0) : p.GetTexture(1));
        EXPECT_EQ(caption.vertices[0].x, 280.0f);
        EXPECT_EQ(caption.vertices[3].x, 1000.0f);
        EXPECT_EQ(caption.vertices[3].y, 360.0f);
        EXPECT_EQ(caption.vertices[3].u0, 720.0f);
        EXPECT_EQ(caption.vertices[0].colour0 >> 24, p.GetCaptionAlpha());
        EXPECT_EQ(caption.stateWord & 0x3FFFFu, 27u) << "the layer's own priority";
        hud->Flush(1280, 720);
    }
    hud->Release();
    p.ReleaseTextures();
    EXPECT_EQ(p.GetTexture(0), nullptr);
}

} // namespace
