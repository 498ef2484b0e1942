// The story screens drawn by OpenGL on the offscreen driver and read back:
// the window with its line and plate, the two portraits lit and dimmed, an
// opening picture half through black, a frame of the credits.
#include "game/scene/SceneEnding.h"
#include "game/scene/SceneStory.h"
#include "game/scene/SceneStoryOpening.h"
#include "game/scene/StoryScriptDriver.h"
#include "support/StoryRig.h"

#include <array>
#include <cstdio>

namespace {

using sampledata::MakeScriptLine;
using story_test::Dds;

// Texture colours, 0xAABBGGRR.
constexpr uint32_t kBlue = 0xFFFF0000u;
constexpr uint32_t kRed = 0xFF0000FFu;
constexpr uint32_t kGreen = 0xFF00FF00u;

class StoryScreenshot : public story_test::StoryRig {
protected:
    void SetUp() override {
        backend = sys::gpu::Backend::OpenGL;
        StoryRig::SetUp();
    }
    void Shoot() { pixels = stack.ReadBackBuffer(); }
    // Red, green and blue of the pixel.
    std::array<int, 3> At(int x, int y) const {
        const uint8_t* p = &pixels[(static_cast<size_t>(y) * 1280 + static_cast<size_t>(x)) * 4];
        return {p[0], p[1], p[2]};
    }
    void ExpectColour(int x, int y, int r, int g, int b, const char* what) const {
        const auto c = At(x, y);
        EXPECT_NEAR(c[0], r, 3) << what << " at " << x << "," << y;
        EXPECT_NEAR(c[1], g, 3) << what << " at " << x << "," << y;
        EXPECT_NEAR(c[2], b, 3) << what << " at " << x << "," << y;
    }
    std::vector<uint8_t> pixels;
};

// The window, its line and plate, and the two portraits: the own pilot
// speaks first, then the other answers.
class StoryWindowScreenshot : public StoryScreenshot {
protected:
    void SetUp() override {
        StoryScreenshot::SetUp();
        if (!work)
            return;
        WriteStoryParts();
        Write("script/texture/ev_window_eng.dds", Dds(720, 144, kBlue));
        Write("script/texture/pcs_jap/shot1.dds", Dds(600, 40, kRed));
        Write("script/texture/pcs_jap/shot2.dds", Dds(600, 40, kRed));
        Write("script/texture/pcs_jap/ev_pc01name.dds", Dds(256, 32, kGreen));
        WriteScript("script/script/pc01/pc01stage01-01.txt",
                    {MakeScriptLine(1, 1, 2, "shot1"), MakeScriptLine(2, 7, 3, "shot2")});
        work->player.ship = 0;
        // The stage under the story has faded the screen in.
        driver->StartFadeDown(1, {});
        driver->CreateScene<SceneStory>(SceneStory::kBetweenStages);
        Frames(3);
        work->storyPending = 1;
        Frames(9);
    }
};

TEST_F(StoryWindowScreenshot, LineAndPlateInTheWindowTheSpeakerLit) {
    Shoot();
    ASSERT_EQ(pixels.size(), 1280u * 720u * 4u);
    ExpectColour(300, 540, 0, 0, 255, "the window");
    ExpectColour(980, 660, 0, 0, 255, "the window's far corner");
    ExpectColour(500, 600, 255, 0, 0, "the line");
    ExpectColour(400, 560, 0, 255, 0, "the plate");
    ExpectColour(1100, 300, 0, 0, 0, "outside");
    ExpectColour(50, 200, 255, 255, 255, "the own pilot speaking, lit");
}

TEST_F(StoryWindowScreenshot, TheSilentOneDimmed) {
    // The other speaker answers; its 30-frame cut-in passes.
    Frame(InputManager::kShot);
    Frames(31);
    Shoot();
    ASSERT_EQ(pixels.size(), 1280u * 720u * 4u);
    ExpectColour(50, 200, 128, 128, 128, "the own pilot silent, dimmed");
    ExpectColour(700, 450, 255, 255, 255, "the other speaking, lit");
    ExpectColour(500, 600, 255, 0, 0, "the second line");
}

TEST_F(StoryScreenshot, OpeningPictureHalfThroughBlack) {
    WriteStoryParts();
    Write("script/texture/ev_demo_bg01.dds", Dds(1280, 720, 0xFFFFFFFFu));
    work->player.ship = 0;
    auto* opening = Push<SceneStoryOpening>();
    ASSERT_NE(opening, nullptr);
    int frames = 0;
    while (opening->GetSubState() != 2 && frames++ < 200)
        Frame();
    Frames(14);
    ASSERT_EQ(opening->GetSubState(), 2u);
    Shoot();
    const int level = static_cast<int>(opening->GetBrightness() * 255.0f);
    EXPECT_NEAR(level, 127, 10);
    ExpectColour(640, 360, level, level, level, "the picture dimmed");
    ExpectColour(10, 700, level, level, level, "across the whole screen");
}

TEST_F(StoryScreenshot, CreditsRollUpOnBlack) {
    Write("texture/staff_roll/credit01.dds", Dds(1280, 512, kGreen));
    Write("texture/staff_roll/credit02.dds", Dds(1280, 512, kRed));
    Write("texture/staff_roll/credit03.dds", Dds(1280, 64, kBlue));
    work->storyMode = 0;
    auto* ending = Push<SceneEnding>();
    ASSERT_NE(ending, nullptr);
    int frames = 0;
    while (ending->GetState() != SceneEnding::kMain && frames++ < 600)
        Frame();
    Frames(100);
    Shoot();
    const float y = ending->GetRollOffset();
    EXPECT_LT(y, 0.0f) << "rolling up";
    EXPECT_GT(y, -10.0f);
    ExpectColour(640, 1, 0, 255, 0, "the first page");
    ExpectColour(640, 400, 0, 255, 0, "the first page");
    ExpectColour(640, 600, 255, 0, 0, "the second page below it");
}

} // namespace
