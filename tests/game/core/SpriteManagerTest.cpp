#include "engine/renderer/GraphicsFixture.h"

#include "engine/renderer/SpriteRenderer.h"
#include "game/core/SpriteManager.h"

#include <gtest/gtest.h>

#include <set>
#include <string>

using Mireku::Renderer::SpriteRenderer;

namespace {

class SpriteLayers : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(stack.Start(sys::gpu::Backend::Null, 1280, 720));
        sprites = SpriteManager::CreateInstance();
        ASSERT_NE(sprites, nullptr);
        ASSERT_TRUE(sprites->Initialize());
        sprites->CreateLayers();
    }
    void TearDown() override {
        if (sprites)
            sprites->Finalize();
        SpriteManager::DestroyInstance();
        stack.Stop();
    }
    void SubmitOne(uint32_t layer) {
        SpriteRenderer* r = sprites->GetLayer(layer);
        r->SetRect(10, 10, 4, 4);
        r->Submit();
    }

    testing_graphics::GraphicsStack stack;
    SpriteManager* sprites = nullptr;
};

TEST_F(SpriteLayers, LayersFollowTheTable) {
    std::set<std::string> names;
    for (uint32_t i = 0; i < SpriteManager::kLayerCount; ++i) {
        const SpriteRenderer* r = sprites->GetLayer(i);
        ASSERT_NE(r, nullptr) << i;
        EXPECT_STREQ(r->GetName(), SpriteManager::kLayers[i].name);
        EXPECT_EQ(r->GetCapacity(), SpriteManager::kLayers[i].capacity);
        names.insert(r->GetName());
        // Drawing order is layer order.
        if (i > 0) {
            EXPECT_GT(SpriteManager::kLayers[i].priority, SpriteManager::kLayers[i - 1].priority);
        }
    }
    EXPECT_EQ(names.size(), 23u);
    EXPECT_STREQ(sprites->GetLayer(0)->GetName(), "BG");
    EXPECT_STREQ(sprites->GetLayer(22)->GetName(), "HUD");
    EXPECT_EQ(sprites->GetLayer(23), nullptr);
}

TEST_F(SpriteLayers, PreparationGivesEveryLayerItsTableState) {
    // Left-over state of the previous frame is cleared.
    sprites->GetLayer(4)->SetBlend(3);
    sprites->GetLayer(4)->SetFilter(0, 0);
    sprites->PrepareLayers();
    for (uint32_t i = 0; i < SpriteManager::kLayerCount; ++i) {
        const SpriteRenderer* r = sprites->GetLayer(i);
        const auto& rec = r->GetCurrent();
        EXPECT_EQ(rec.blend, SpriteManager::kLayers[i].blend) << i;
        EXPECT_EQ(rec.stateWord, SpriteManager::kLayers[i].priority) << i;
        EXPECT_EQ(rec.filter[0], 1);
        EXPECT_EQ(rec.filter[1], 1);
        EXPECT_EQ(rec.address[0], 0);
        EXPECT_EQ(rec.address[1], 0);
        EXPECT_EQ(rec.pixelShader, r->GetStandardPixelShader());
    }
    EXPECT_EQ(sprites->GetLayer(22)->GetCurrent().stateWord, 27u);
    sprites->RaiseHudLayer();
    EXPECT_EQ(sprites->GetLayer(22)->GetCurrent().stateWord, SpriteManager::kHudPriority);
}

TEST_F(SpriteLayers, HudDrawsLastAndEmptyLayersDrawNothing) {
    sprites->PrepareLayers();
    sprites->RaiseHudLayer();
    sprites->FlushLayers();
    EXPECT_TRUE(stack.Draws().empty());

    sprites->PrepareLayers();
    sprites->RaiseHudLayer();
    SubmitOne(SpriteManager::kHudLayer);
    SubmitOne(21); // "EtcOver"
    SubmitOne(0);  // "BG"
    sprites->FlushLayers();

    uint32_t hudPriority = 0, highestOther = 0, draws = 0;
    for (const auto* h : stack.Commands()) {
        if (h->type != Mireku::Graphics::kCommandDrawIndexed)
            continue;
        ++draws;
        const uint32_t priority = h->keyHigh & 0x3FFFFu;
        if (priority == SpriteManager::kHudPriority)
            hudPriority = priority;
        else if (priority > highestOther)
            highestOther = priority;
    }
    EXPECT_EQ(draws, 3u);
    EXPECT_EQ(hudPriority, 28u);
    EXPECT_EQ(highestOther, 24u);
}

TEST_F(SpriteLayers, FinalizeReleasesEveryLayer) {
    sprites->Finalize();
    for (uint32_t i = 0; i < SpriteManager::kLayerCount; ++i)
        EXPECT_EQ(sprites->GetLayer(i), nullptr);
}

} // namespace
