// The screens drawn by OpenGL on the offscreen driver and read back: where
// their text and pictures stand in which colours, the stage screen's pause
// window and continue digits, the story window with its portraits lit and
// dimmed, an opening picture half through black, a frame of the credits.
#include "game/core/GameState.h"
#include "game/core/ScoreBlock.h"
#include "game/scene/SceneEnding.h"
#include "game/scene/SceneGotoNextLoop.h"
#include "game/scene/SceneRanking.h"
#include "game/scene/SceneSelectPilot.h"
#include "game/scene/SceneSetup.h"
#include "game/scene/SceneStory.h"
#include "game/scene/SceneStoryOpening.h"
#include "support/PixelCheck.h"
#include "support/SceneRig.h"
#include "tools/sampledata/GameScreenPictures.h"

#include <climits>
#include <cstring>
#include <functional>

namespace {

using namespace scene_test;

struct Box {
    int x0, y0, x1, y1;
};
// Pixels of a box counted: lit ones (any channel above 40, `channel` -1),
// or those whose colour is mostly `channel` (0 red, 1 green, 2 blue) and
// at least `least` in it; outside: those of the rest of the screen.
struct Count {
    const char* what;
    Box box;
    int channel, least;
    int above, atMost = INT_MAX;
    bool outside = false;
};
// One pixel's colour, 0xRRGGBB, within a tolerance.
struct Colour {
    const char* what;
    int x, y;
    uint32_t rgb;
    int tolerance = 3;
};

class ScreenPixels : public SceneRig {
protected:
    ScreenPixels() { backend = sys::gpu::Backend::OpenGL; }
    int CountOf(const Count& c) const {
        int n = 0;
        for (int y = 0; y < 720; ++y)
            for (int x = 0; x < 1280; ++x) {
                const bool in = x >= c.box.x0 && x < c.box.x1 && y >= c.box.y0 && y < c.box.y1;
                if (in == c.outside)
                    continue;
                const uint8_t* p = &pixels[(size_t(y) * 1280 + size_t(x)) * 4];
                if (c.channel < 0) {
                    n += p[0] > 40 || p[1] > 40 || p[2] > 40;
                    continue;
                }
                bool top = p[c.channel] >= c.least;
                for (int k = 0; k < 3; ++k)
                    top = top && (k == c.channel || p[k] <= p[c.channel]);
                n += top;
            }
        return n;
    }
    void Check(const std::vector<Count>& counts, const std::vector<Colour>& colours) {
        pixels = stack.ReadBackBuffer();
        ASSERT_EQ(pixels.size(), 1280u * 720u * 4u);
        for (const Count& c : counts) {
            const int n = CountOf(c);
            EXPECT_TRUE(n > c.above && n <= c.atMost) << c.what << ": " << n;
        }
        for (const Colour& c : colours)
            EXPECT_TRUE(testing_graphics::PixelIs(pixels, 1280, c.x, c.y, int(c.rgb >> 16),
                                                  int(c.rgb >> 8 & 0xFF), int(c.rgb & 0xFF),
                                                  c.tolerance))
                << c.what;
    }
    template <class T> bool Shown(int most = 300) { return Push<T>() && RunUntilState<T>(4, most); }
    std::vector<uint8_t> pixels;
};

TEST_F(ScreenPixels, TheMenuScreens) {
    const struct {
        const char* name;
        std::function<bool()> show;
        std::vector<Count> counts;
    } screens[] = {
        {"TheTitleShowsOnlyItsVersionOnBlack",
         [&] { return Shown<SceneTitle>(); },
         {{"\"v3.20\" in white", {986, 392, 1098, 424}, -1, 0, 150},
          {"the backdrop black everywhere else", {986, 392, 1098, 424}, -1, 0, -1, 0, true},
          {"v", {986, 392, 1010, 424}, -1, 0, 5},
          {"3", {1012, 392, 1040, 424}, -1, 0, 5},
          {".", {1040, 410, 1052, 424}, -1, 0, 5},
          {"2", {1044, 392, 1072, 424}, -1, 0, 5},
          {"0", {1068, 392, 1098, 424}, -1, 0, 5}}},
        {"ThePilotGridShowsTheCursorPilot",
         [&] {
             work->BeginGame(3);
             return Shown<SceneSelectPilot>();
         },
         {{"pilot 1's red plate", {90, 630, 590, 700}, 0, 60, 20000},
          {"a full screen", {0, 0, 1280, 720}, -1, 0, 400000},
          {"pilot 1's lit thumbnail", {560, 300, 720, 600}, 0, 120, 10000},
          {"pilot 2's plain one", {680, 300, 840, 600}, 2, 40, 10000},
          {"the info bar", {770, 700, 1090, 701}, -1, 0, 200}}},
        {"TheRankingShowsItsRowsInYellowGreen",
         [&] {
             const uint64_t score = 9876543210ull;
             std::memcpy(ScoreBlock::Entry(work->score, 0, 0), &score, 8);
             return Shown<SceneRanking>();
         },
         {{"place and score of row 1", {90, 155, 690, 185}, 1, 150, 500},
          {"date and time of row 2", {690, 200, 1280, 230}, 1, 150, 400},
          {"the header", {40, 20, 654, 62}, 0, 100, 500},
          {"pilot 1's icon", {555, 150, 675, 195}, 0, 150, 2000},
          {"the ok button", {1030, 645, 1202, 677}, -1, 0, 200}}},
        {"TheSetupShowsItsItemsWithTheSelectedOneInCyan",
         [&] { return Shown<SceneSetup>(); },
         {{"\"player left\" selected", {60, 95, 400, 125}, 2, 150, 250},
          {"not in the plain colour", {60, 95, 400, 125}, 1, 150, -1, 0},
          {"\"music\" not selected", {128, 173, 400, 203}, 1, 150, 100},
          {"nor in the selected colour", {128, 173, 400, 203}, 2, 150, -1, 0},
          {"its value", {480, 173, 620, 203}, 1, 150, 100},
          {"the control rows", {128, 325, 400, 600}, 1, 150, 1000},
          {"the whole", {0, 0, 1280, 720}, -1, 0, 15000}}},
        {"TheNextLoopTypesItsLine",
         [&] {
             if (!Shown<SceneGotoNextLoop>())
                 return false;
             Frames(216);
             return true;
         },
         {{"the whole line", {66, 292, 1280, 338}, -1, 0, 3000},
          {"nothing else", {66, 292, 1280, 338}, -1, 0, -1, 0, true},
          {"in the bright yellow-green", {66, 292, 1280, 338}, 1, 150, 1500},
          {"27 characters at 45 pixels", {1101, 292, 1280, 338}, -1, 0, 0}}},
    };
    for (const auto& s : screens) {
        SCOPED_TRACE(s.name);
        driver->ClearAll();
        ASSERT_TRUE(s.show());
        Frame();
        Check(s.counts, {});
    }
}

// The pause window in its 394 x 180 rectangle at (477, 270), left of the
// items, the empty stage around it; the continue digits near the top-left
// corner of each cell, clear of the ink: the units at (840, 245) full size,
// tenths and hundredths at half size.
TEST_F(ScreenPixels, TheStageScreensOverlays) {
    driver->CreateScene<SceneGame>();
    SceneGame* game = RunUntilState<SceneGame>(SceneGame::kRunning, 5);
    ASSERT_NE(game, nullptr);
    Frames(12); // past the fade-in
    Frame(kPause);
    Frames(40);
    ASSERT_EQ(game->GetPauseStep(), SceneGame::kPauseMenu);
    pixels = stack.ReadBackBuffer();
    for (const auto& [x, y] : {std::pair{490, 290}, {860, 440}})
        EXPECT_TRUE(std::any_of(
            std::begin(sampledata::kPauseWindowColours), std::end(sampledata::kPauseWindowColours),
            [this, x = x, y = y](uint32_t c) {
                return bool(testing_graphics::PixelIs(pixels, 1280, x, y, int(c >> 24),
                                                      int(c >> 16 & 0xFF), int(c >> 8 & 0xFF), 6));
            }))
            << x << ", " << y;
    Check({}, {{"left", 470, 290, 0},
               {"right", 880, 440, 0},
               {"above", 600, 262, 0},
               {"below", 600, 458, 0}});
    Frame(kPause);
    Frames(12);
    work->gameState = GameState::kContinue;
    work->continueCountdown = 300;
    Frame(); // 299 frames: 4.98 seconds
    auto digit = [](uint32_t d) { return sampledata::ContinueDigitColour(d) >> 8; };
    Check(
        {},
        {{"4", 843, 248, digit(4), 6}, {"9", 932, 268, digit(9), 6}, {"8", 962, 268, digit(8), 6}});
    EXPECT_FALSE(testing_graphics::PixelIs(pixels, 1280, 843, 248, int(digit(5) >> 16),
                                           int(digit(5) >> 8 & 0xFF), int(digit(5) & 0xFF), 6));
}

// Texture colours, 0xAABBGGRR.
constexpr uint32_t kBlue = 0xFFFF0000u;
constexpr uint32_t kRed = 0xFF0000FFu;
constexpr uint32_t kGreen = 0xFF00FF00u;

class StoryPixels : public ScreenPixels {
protected:
    StoryPixels() { loose = true; }
};

// The own pilot speaks first, then the other answers (after its 30-frame
// cut-in): the window, its line and plate, the speaker lit, the silent one
// dimmed.
TEST_F(StoryPixels, TheWindowItsLineAndPlateThePortraitsLitAndDimmed) {
    WriteStoryParts();
    Write("script/texture/ev_window_eng.dds", Dds(720, 144, kBlue));
    Write("script/texture/pcs_jap/shot1.dds", Dds(600, 40, kRed));
    Write("script/texture/pcs_jap/shot2.dds", Dds(600, 40, kRed));
    Write("script/texture/pcs_jap/ev_pc01name.dds", Dds(256, 32, kGreen));
    WriteScript("script/script/pc01/pc01stage01-01.txt",
                {MakeScriptLine(1, 1, 2, "shot1"), MakeScriptLine(2, 7, 3, "shot2")});
    work->player.ship = 0;
    driver->StartFadeDown(1, {}); // the stage under the story has faded in
    driver->CreateScene<SceneStory>(SceneStory::kBetweenStages);
    Frames(3);
    work->storyPending = 1;
    Frames(9);
    Check({}, {{"the window", 300, 540, 0x0000FF},
               {"the window's far corner", 980, 660, 0x0000FF},
               {"the line", 500, 600, 0xFF0000},
               {"the plate", 400, 560, 0x00FF00},
               {"outside", 1100, 300, 0},
               {"the own pilot speaking, lit", 50, 200, 0xFFFFFF}});
    Frame(kShot);
    Frames(31);
    Check({}, {{"the own pilot silent, dimmed", 50, 200, 0x808080},
               {"the other speaking, lit", 700, 450, 0xFFFFFF},
               {"the second line", 500, 600, 0xFF0000}});
}

TEST_F(StoryPixels, AnOpeningPictureHalfThroughBlackAndTheCreditsRollingUp) {
    WriteStoryParts();
    Write("script/texture/ev_demo_bg01.dds", Dds(1280, 720));
    work->player.ship = 0;
    auto* opening = Push<SceneStoryOpening>();
    ASSERT_NE(opening, nullptr);
    ASSERT_GT(FramesTo(opening, 2, 200), 0);
    Frames(14);
    ASSERT_EQ(opening->GetSubState(), 2u);
    const uint32_t level = static_cast<uint32_t>(opening->GetBrightness() * 255.0f);
    EXPECT_NEAR(level, 127, 10);
    Check({}, {{"the picture dimmed", 640, 360, level * 0x010101},
               {"across the whole screen", 10, 700, level * 0x010101}});

    driver->ClearAll();
    Write("texture/staff_roll/credit01.dds", Dds(1280, 512, kGreen));
    Write("texture/staff_roll/credit02.dds", Dds(1280, 512, kRed));
    Write("texture/staff_roll/credit03.dds", Dds(1280, 64, kBlue));
    work->storyMode = 0;
    auto* ending = Push<SceneEnding>();
    ASSERT_NE(ending, nullptr);
    ASSERT_GT(FramesUntil([&] { return ending->GetState() == SceneEnding::kMain; }, 600), 0);
    Frames(100);
    EXPECT_TRUE(ending->GetRollOffset() < 0.0f && ending->GetRollOffset() > -10.0f)
        << "rolling up: " << ending->GetRollOffset();
    Check({}, {{"the first page", 640, 1, 0x00FF00},
               {"the first page", 640, 400, 0x00FF00},
               {"the second page below it", 640, 600, 0xFF0000}});
}

} // namespace
