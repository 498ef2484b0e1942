// The stage screen's overlays drawn by OpenGL and read back: the pause
// window where it stands, and the continue counter's digits in their cells.
#include "game/core/GameState.h"
#include "game/core/InputManager.h"
#include "game/scene/SceneGame.h"
#include "support/FlowSceneRig.h"
#include "support/PixelCheck.h"
#include "tools/sampledata/GameScreenPictures.h"

namespace {

using testing_graphics::PixelIs;

class SceneGamePixels : public flow_test::FlowRig {
protected:
    void SetUp() override {
        backend = sys::gpu::Backend::OpenGL;
        FlowRig::SetUp();
    }
    SceneGame* StartStage() {
        driver->CreateScene<SceneGame>();
        SceneGame* game = RunUntilState<SceneGame>(SceneGame::kRunning, 5);
        Frames(12); // past the fade-in
        return game;
    }
    ::testing::AssertionResult Is(int x, int y, uint32_t rgba, int tolerance = 6) const {
        return PixelIs(pixels, 1280, x, y, static_cast<int>(rgba >> 24),
                       static_cast<int>(rgba >> 16 & 0xFF), static_cast<int>(rgba >> 8 & 0xFF),
                       tolerance);
    }
    bool IsEither(int x, int y, const uint32_t (&colours)[2]) const {
        return Is(x, y, colours[0]) || Is(x, y, colours[1]);
    }
    std::vector<uint8_t> pixels;
};

} // namespace

TEST_F(SceneGamePixels, ThePauseWindowStandsInTheMiddleOfTheField) {
    SceneGame* game = StartStage();
    ASSERT_NE(game, nullptr);
    Frame(InputManager::kPause);
    Frames(40);
    ASSERT_EQ(game->GetPauseStep(), SceneGame::kPauseMenu);
    pixels = stack.ReadBackBuffer();
    ASSERT_EQ(pixels.size(), 1280u * 720u * 4u);
    // Inside its 394 x 180 rectangle at (477, 270), left of the items.
    EXPECT_TRUE(IsEither(490, 290, sampledata::kPauseWindowColours));
    EXPECT_TRUE(IsEither(860, 440, sampledata::kPauseWindowColours));
    // Outside it, the empty stage.
    EXPECT_TRUE(Is(470, 290, 0x000000FF, 2));
    EXPECT_TRUE(Is(880, 440, 0x000000FF, 2));
    EXPECT_TRUE(Is(600, 262, 0x000000FF, 2));
    EXPECT_TRUE(Is(600, 458, 0x000000FF, 2));
}

TEST_F(SceneGamePixels, TheContinueCounterShowsItsDigits) {
    SceneGame* game = StartStage();
    ASSERT_NE(game, nullptr);
    work->gameState = GameState::kContinue;
    work->continueCountdown = 300;
    Frame(); // 299 frames: 4.98 seconds
    pixels = stack.ReadBackBuffer();
    ASSERT_EQ(pixels.size(), 1280u * 720u * 4u);
    // Near the top-left corner of each cell, clear of the digit's ink: the
    // units at (840, 245) full size, tenths and hundredths at half size.
    EXPECT_TRUE(Is(843, 248, sampledata::ContinueDigitColour(4)));
    EXPECT_TRUE(Is(932, 268, sampledata::ContinueDigitColour(9)));
    EXPECT_TRUE(Is(962, 268, sampledata::ContinueDigitColour(8)));
    EXPECT_FALSE(Is(843, 248, sampledata::ContinueDigitColour(5)));
}
