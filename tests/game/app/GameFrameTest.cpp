#include "support/GraphicsFixture.h"

#include "effects/render/Renderer.h"
#include "engine/renderer/SpriteRenderer.h"
#include "game/app/GameFramework.h"
#include "game/core/SpriteManager.h"
#include "game/flow/SceneBase.h"
#include "game/flow/SceneDriver.h"
#include "game/vfx/VfxController.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

namespace {

// Draws one sprite on the first background layer, the last game layer and
// the heads-up layer every frame, as a scene does.
class SpriteScene : public SceneBase {
public:
    void Update() override {
        SpriteManager* sprites = SpriteManager::GetInstance();
        for (uint32_t layer : {0u, 21u, static_cast<uint32_t>(SpriteLayer::kHud)}) {
            Mireku::Renderer::SpriteRenderer* r = sprites->GetLayerAt(layer);
            r->SetColor(0, 0xFFFFFFFFu);
            r->SetRect(10.0f, 10.0f, 4.0f, 4.0f);
            r->Submit();
        }
    }
};

// The game's frame on a graphics stack of the test's own thread: the managers
// the frame drives are created as the start-up creates them.
class GameFrame : public ::testing::Test {
protected:
    bool Start(sys::gpu::Backend backend) {
        if (!stack.Start(backend, 1280, 720))
            return false;
        game = GameFramework::CreateInstance();
        SpriteManager* sprites = SpriteManager::CreateInstance();
        sprites->Initialize();
        sprites->CreateLayers();
        VfxController::CreateInstance()->Initialize();
        // A screen that draws nothing and starts no fade.
        SceneDriver::CreateInstance()->CreateScene<SceneBase>();
        return game != nullptr;
    }
    void TearDown() override {
        // The game's own teardown: it skips the managers this test did not
        // create.
        if (game)
            game->OnFinalize();
        GameFramework::DestroyInstance();
        stack.Stop();
    }
    std::vector<uint32_t> DrawPriorities() const {
        std::vector<uint32_t> out;
        for (Mireku::Graphics::CommandHeader* h : stack.Commands())
            if (h->type == Mireku::Graphics::kCommandDrawIndexed)
                out.push_back(h->keyHigh & 0x3FFFFu);
        return out;
    }

    testing_graphics::GraphicsStack stack;
    GameFramework* game = nullptr;
};

TEST_F(GameFrame, LayersDrawInPriorityOrderWithTheFadeOverTheHud) {
    ASSERT_TRUE(Start(sys::gpu::Backend::Null));
    SceneDriver::GetInstance()->CreateScene<SpriteScene>();
    for (int frame = 0; frame < 3; ++frame) {
        game->OnFrame(1.0f);
        // Background 3, last game layer 24, heads-up 28 (whatever its table
        // says), then the black fade at 29 over all of it. The effect layers
        // at 2 and 27 hold nothing while no effect is loaded.
        EXPECT_EQ(DrawPriorities(), (std::vector<uint32_t>{3, 24, 28, 29})) << frame;
        EXPECT_EQ(FulgorCore::Renderer::GetLayerRecordCount(0), 0u);
        EXPECT_EQ(FulgorCore::Renderer::GetLayerRecordCount(1), 0u);
        const float clear[4] = {0, 0, 0, 0};
        stack.Execute(clear);
    }
    VfxController* vfx = VfxController::GetInstance();
    EXPECT_EQ(vfx->GetScreenWidth(), 1280u);
    EXPECT_EQ(vfx->GetScreenHeight(), 720u);
}

TEST_F(GameFrame, FirstFramesAreBlack) {
    if (!Start(sys::gpu::Backend::OpenGL))
        GTEST_SKIP() << "no OpenGL here";
    for (int frame = 0; frame < 3; ++frame) {
        game->OnFrame(1.0f);
        const float white[4] = {1, 1, 1, 1};
        stack.Execute(white);
        std::vector<uint8_t> rgba = stack.ReadBackBuffer();
        ASSERT_EQ(rgba.size(), 1280u * 720u * 4u);
        size_t notBlack = 0;
        for (size_t i = 0; i < rgba.size(); i += 4)
            notBlack += rgba[i] != 0 || rgba[i + 1] != 0 || rgba[i + 2] != 0;
        EXPECT_EQ(notBlack, 0u) << "frame " << frame << ": the fade at 255 covers the screen";
    }
}

} // namespace
