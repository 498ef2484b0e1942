#include "support/GraphicsFixture.h"

#include "engine/renderer/SpriteRenderer.h"
#include "game/core/SpriteManager.h"

#include <gtest/gtest.h>

#include <iterator>
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
        SpriteRenderer* r = sprites->GetLayerAt(layer);
        r->SetRect(10, 10, 4, 4);
        r->Submit();
    }

    testing_graphics::GraphicsStack stack;
    SpriteManager* sprites = nullptr;
};

TEST_F(SpriteLayers, LayersFollowTheTable) {
    std::set<std::string> names;
    for (uint32_t i = 0; i < SpriteManager::kLayerCount; ++i) {
        const SpriteRenderer* r = sprites->GetLayerAt(i);
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
    EXPECT_STREQ(sprites->GetLayerAt(0)->GetName(), "BG");
    EXPECT_STREQ(sprites->GetLayerAt(22)->GetName(), "HUD");
    EXPECT_EQ(sprites->GetLayerAt(23), nullptr);
}

TEST_F(SpriteLayers, EveryLayerNameReachesItsLayer) {
    // The overview's layer names in drawing order.
    const char* const kNames[] = {"BG",
                                  "BGStar",
                                  "BGParts",
                                  "BGGround",
                                  "BGBomb",
                                  "BGEffect",
                                  "EtcUnder",
                                  "Enemy_BombParts",
                                  "Enemy_Bomb",
                                  "Enemy_Blend",
                                  "Enemy_Add",
                                  "PlayerShot_Fx",
                                  "PlayerShot_Blend",
                                  "PlayerShot_Add",
                                  "Item_Blend1",
                                  "Item_Add1",
                                  "Item_Blend2",
                                  "Item_Add2",
                                  "Player",
                                  "Enemy_Shot_Blend",
                                  "Enemy_Shot_Add",
                                  "EtcOver",
                                  "HUD"};
    static_assert(std::size(kNames) == kSpriteLayerCount);
    for (uint32_t i = 0; i < kSpriteLayerCount; ++i)
        EXPECT_STREQ(sprites->GetLayer(static_cast<SpriteLayer>(i))->GetName(), kNames[i]) << i;
    EXPECT_STREQ(sprites->GetLayer(SpriteLayer::kEnemyAdd)->GetName(), "Enemy_Add");
    EXPECT_STREQ(sprites->GetLayer(SpriteLayer::kPlayer)->GetName(), "Player");
    EXPECT_STREQ(sprites->GetLayer(SpriteLayer::kEnemyShotAdd)->GetName(), "Enemy_Shot_Add");
    // The field layers draw at 3 to 24, the heads-up layer's table entry at 27.
    EXPECT_EQ(SpriteManager::kLayers[0].priority, 3u);
    EXPECT_EQ(SpriteManager::kLayers[21].priority, 24u);
    EXPECT_EQ(SpriteManager::kLayers[22].priority, 27u);
}

TEST_F(SpriteLayers, PreparationGivesEveryLayerItsTableState) {
    // Left-over state of the previous frame is cleared.
    sprites->GetLayerAt(4)->SetBlend(3);
    sprites->GetLayerAt(4)->SetFilter(0, 0);
    sprites->PrepareLayers();
    for (uint32_t i = 0; i < SpriteManager::kLayerCount; ++i) {
        const SpriteRenderer* r = sprites->GetLayerAt(i);
        const auto& rec = r->GetCurrent();
        EXPECT_EQ(rec.blend, SpriteManager::kLayers[i].blend) << i;
        EXPECT_EQ(rec.stateWord, SpriteManager::kLayers[i].priority) << i;
        EXPECT_EQ(rec.filter[0], 1);
        EXPECT_EQ(rec.filter[1], 1);
        EXPECT_EQ(rec.address[0], 0);
        EXPECT_EQ(rec.address[1], 0);
        EXPECT_EQ(rec.pixelShader, r->GetStandardPixelShader());
    }
    EXPECT_EQ(sprites->GetLayerAt(22)->GetCurrent().stateWord, 27u);
    sprites->RaiseHudLayer();
    EXPECT_EQ(sprites->GetLayerAt(22)->GetCurrent().stateWord, 28u);
}

TEST_F(SpriteLayers, HudDrawsLastAndEmptyLayersDrawNothing) {
    sprites->PrepareLayers();
    sprites->RaiseHudLayer();
    sprites->FlushLayers();
    EXPECT_TRUE(stack.Draws().empty());

    sprites->PrepareLayers();
    sprites->RaiseHudLayer();
    SubmitOne(static_cast<uint32_t>(SpriteLayer::kHud));
    SubmitOne(21); // "EtcOver"
    SubmitOne(0);  // "BG"
    sprites->FlushLayers();

    uint32_t hudPriority = 0, highestOther = 0, draws = 0;
    for (const auto* h : stack.Commands()) {
        if (h->type != Mireku::Graphics::kCommandDrawIndexed)
            continue;
        ++draws;
        const uint32_t priority = h->keyHigh & 0x3FFFFu;
        if (priority == 28u)
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
        EXPECT_EQ(sprites->GetLayerAt(i), nullptr);
}

} // namespace
