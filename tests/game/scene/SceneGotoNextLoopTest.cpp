#include "support/FlowSceneRig.h"

#include "game/core/InputManager.h"
#include "game/core/ProgressBlock.h"
#include "game/scene/SceneGame.h"
#include "game/scene/SceneGotoNextLoop.h"
#include "game/scene/SceneRanking.h"
#include "game/scene/SceneTitle.h"

namespace {

using Step = SceneGotoNextLoop::Step;

class NextLoopTest : public flow_test::FlowRig {
protected:
    void SetUp() override {
        FlowRig::SetUp();
        work->stage = 11;
        work->mode = 2;
        work->player.ship = 3;
    }
    SceneGotoNextLoop* ToQuestion() {
        next = Push<SceneGotoNextLoop>();
        if (!next || !RunUntilState<SceneGotoNextLoop>(4, 100))
            return nullptr;
        RunUntil([this] { return next->GetStep() == SceneGotoNextLoop::kOnNo; }, 400);
        return next->GetStep() == SceneGotoNextLoop::kOnNo ? next : nullptr;
    }
    // Frames until the step changes; how many.
    int FramesInStep() {
        const int32_t step = next->GetStep();
        int n = 0;
        while (next->GetStep() == step && n < 1000) {
            Frame();
            ++n;
        }
        return n;
    }
    size_t GlyphsDrawn() const { return SpritesOf(next->GetGlyphTexture()).size(); }

    SceneGotoNextLoop* next = nullptr;
};

TEST_F(NextLoopTest, TheLineTypesIn216FramesAndTheQuestionFollows92Later) {
    work->progress[ProgressBlock::kOffsetProgressFlag] = 0;
    next = Push<SceneGotoNextLoop>();
    ASSERT_NE(next, nullptr);
    EXPECT_EQ(work->progress[ProgressBlock::kOffsetProgressFlag], 1)
        << "reaching the screen unlocks the second-loop start";
    ASSERT_NE(RunUntilState<SceneGotoNextLoop>(4, 100), nullptr);
    EXPECT_EQ(FramesInStep(), 216);
    EXPECT_EQ(next->GetShown(), 27);
    EXPECT_EQ(FramesInStep() + FramesInStep(), 92);
    EXPECT_EQ(next->GetStep(), SceneGotoNextLoop::kOnNo);
    Frame();
    // 24 glyphs of the line (its three spaces draw nothing), "yes" and "no".
    const std::vector<flow_test::Sprite> glyphs = SpritesOf(next->GetGlyphTexture());
    ASSERT_EQ(glyphs.size(), 24u + 3u + 2u);
    EXPECT_EQ(glyphs[0].x0, 66.25f);
    EXPECT_EQ(glyphs[0].y0, 292.5f);
    EXPECT_EQ(glyphs[0].x1 - glyphs[0].x0, 45.0f) << "scale 1.5";
    EXPECT_EQ(glyphs[0].u0, 30.0f * ('w' - 'n'));
    EXPECT_EQ(glyphs[24].x0, 252.5f);
    EXPECT_EQ(glyphs[24].colour, 0xFF0A553Eu) << "yes, not under the cursor: dim";
    EXPECT_EQ(glyphs[27].x0, 915.0f);
    EXPECT_EQ(glyphs[27].y0, 382.5f);
    EXPECT_EQ(glyphs[27].colour, 0xFF20FFBAu) << "no, under the cursor: bright";
}

TEST_F(NextLoopTest, HalfwayTheLineShowsItsFirstCharacters) {
    next = Push<SceneGotoNextLoop>();
    ASSERT_NE(RunUntilState<SceneGotoNextLoop>(4, 100), nullptr);
    Frames(8 * 9);
    EXPECT_EQ(next->GetShown(), 9);
    EXPECT_EQ(GlyphsDrawn(), 8u) << "\"welcom to\": eight glyphs and a space";
}

TEST_F(NextLoopTest, YesGoesOnToStageTwelve) {
    ASSERT_NE(ToQuestion(), nullptr);
    const uint32_t moved = SoundCount(3);
    Frame(InputManager::kRight);
    EXPECT_EQ(next->GetStep(), SceneGotoNextLoop::kOnYes);
    EXPECT_EQ(SoundCount(3), moved + 1);
    Frames(3);
    Frame(InputManager::kShot);
    EXPECT_TRUE(next->GetAnswer());
    EXPECT_EQ(next->GetState(), 5);
    Frames(30);
    ASSERT_EQ(stageStarts.size(), 1u);
    EXPECT_EQ(LastStageStart().stage, 12u);
    EXPECT_EQ(work->stage, 12u);
}

TEST_F(NextLoopTest, NoOnTheStartShowsTheCaptionThenTheRankingOfANewFirstPlace) {
    work->player.score = 5000;
    ASSERT_NE(ToQuestion(), nullptr);
    const uint32_t decided = SoundCount(4);
    Frame(InputManager::kShot);
    EXPECT_FALSE(next->GetAnswer());
    EXPECT_EQ(SoundCount(4), decided + 1);
    EXPECT_EQ(next->GetStep(), SceneGotoNextLoop::kCaptionFadeIn);
    EXPECT_EQ(FramesInStep(), 61) << "the caption fades in over 61 frames";
    EXPECT_LE(next->GetFrameCounter(), 2) << "only the parity kept, and this frame's draw";
    Frame();
    EXPECT_EQ(GlyphsDrawn(), 0u) << "the caption alone";
    ASSERT_EQ(SpritesOf(next->GetTexture(0)).size() + SpritesOf(next->GetTexture(1)).size(), 1u);
    Frame(InputManager::kExWeapon);
    EXPECT_EQ(next->GetState(), 5) << "a button leaves at once";
    Frames(30);
    ASSERT_NE(Active<SceneRanking>(), nullptr);
    EXPECT_EQ(work->rankingMode, 2u);
    EXPECT_EQ(work->rankingPlace, 0);
    EXPECT_EQ(ScoreBlock::EntryScore(work->score, 0, 0), 5000u);
}

TEST_F(NextLoopTest, ExWeaponAnswersNoAndWithoutARankTheTitleFollowsTheCaption) {
    work->player.score = 0;
    ASSERT_NE(ToQuestion(), nullptr);
    Frame(InputManager::kLeft);
    ASSERT_EQ(next->GetStep(), SceneGotoNextLoop::kOnYes);
    const uint32_t back = SoundCount(9);
    Frame(InputManager::kExWeapon);
    EXPECT_FALSE(next->GetAnswer());
    EXPECT_EQ(SoundCount(9), back + 1);
    // 61 frames of fade-in; the frame counter then counts from its parity to
    // 301 before the scene leaves by itself.
    Frames(61);
    ASSERT_EQ(next->GetStep(), SceneGotoNextLoop::kCaption);
    int frames = 0;
    while (next->GetState() == 4 && frames < 1000) {
        Frame();
        ++frames;
    }
    EXPECT_GE(frames, 299);
    EXPECT_LE(frames, 300);
    Frames(30);
    EXPECT_NE(Active<SceneTitle>(), nullptr);
    EXPECT_EQ(stageStarts.size(), 0u);
    EXPECT_EQ(work->stage, 11u);
}

} // namespace
