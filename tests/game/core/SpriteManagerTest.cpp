#include "support/GraphicsFixture.h"

#include "engine/renderer/SpriteRenderer.h"
#include "game/core/SpriteManager.h"

#include <gtest/gtest.h>

#include <iterator>
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

// The layers as the game defines them: name, sprite capacity, blend (1 alpha,
// 2 additive) and draw priority, in drawing order.
struct ExpectedLayer {
    const char* name;
    uint32_t capacity;
    uint32_t blend;
    uint32_t priority;
};
constexpr ExpectedLayer kExpected[23] = {
    {"BG", 1000, 1, 3},
    {"BGStar", 2000, 2, 4},
    {"BGParts", 2000, 1, 5},
    {"BGGround", 1000, 1, 6},
    {"BGBomb", 1000, 1, 7},
    {"BGEffect", 1000, 1, 8},
    {"EtcUnder", 1000, 1, 9},
    {"Enemy_BombParts", 8000, 2, 10},
    {"Enemy_Bomb", 1000, 1, 11},
    {"Enemy_Blend", 1000, 1, 12},
    {"Enemy_Add", 1000, 2, 13},
    {"PlayerShot_Fx", 8000, 2, 14},
    {"PlayerShot_Blend", 8000, 1, 15},
    {"PlayerShot_Add", 5000, 2, 16},
    {"Item_Blend1", 2000, 1, 17},
    {"Item_Add1", 2000, 2, 18},
    {"Item_Blend2", 2000, 1, 19},
    {"Item_Add2", 5000, 2, 20},
    {"Player", 2000, 1, 21},
    {"Enemy_Shot_Blend", 5000, 1, 22},
    {"Enemy_Shot_Add", 5000, 2, 23},
    {"EtcOver", 1000, 1, 24},
    {"HUD", 1000, 1, 27},
};

// Each layer by its index and by its name, in drawing order.
TEST_F(SpriteLayers, LayersFollowTheTable) {
    ASSERT_EQ(SpriteManager::kLayerCount, 23u);
    for (uint32_t i = 0; i < 23; ++i) {
        const SpriteRenderer* r = sprites->GetLayerAt(i);
        ASSERT_NE(r, nullptr) << i;
        EXPECT_EQ(sprites->GetLayer(static_cast<SpriteLayer>(i)), r) << i;
        EXPECT_STREQ(r->GetName(), kExpected[i].name);
        EXPECT_EQ(r->GetCapacity(), kExpected[i].capacity) << kExpected[i].name;
    }
    EXPECT_EQ(sprites->GetLayerAt(23), nullptr);
    EXPECT_STREQ(sprites->GetLayer(SpriteLayer::kEnemyAdd)->GetName(), "Enemy_Add");
    EXPECT_STREQ(sprites->GetLayer(SpriteLayer::kPlayer)->GetName(), "Player");
    EXPECT_STREQ(sprites->GetLayer(SpriteLayer::kEnemyShotAdd)->GetName(), "Enemy_Shot_Add");
    sprites->Finalize();
    for (uint32_t i = 0; i < SpriteManager::kLayerCount; ++i)
        EXPECT_EQ(sprites->GetLayerAt(i), nullptr) << "released by Finalize";
}

TEST_F(SpriteLayers, PreparationGivesEveryLayerItsTableState) {
    // Left-over state of the previous frame is cleared.
    sprites->GetLayerAt(4)->SetBlend(3);
    sprites->GetLayerAt(4)->SetFilter(0, 0);
    sprites->PrepareLayers();
    for (uint32_t i = 0; i < SpriteManager::kLayerCount; ++i) {
        const SpriteRenderer* r = sprites->GetLayerAt(i);
        const auto& rec = r->GetCurrent();
        EXPECT_EQ(rec.blend, kExpected[i].blend) << kExpected[i].name;
        EXPECT_EQ(rec.stateWord, kExpected[i].priority) << kExpected[i].name;
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

} // namespace
