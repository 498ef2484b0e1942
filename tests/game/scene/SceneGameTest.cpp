// The stage screen headless under scripted presses: its loading and fade-in,
// the pause menu's steps and cursor rules, restart and giving up, the
// continue countdown and its digits, game over to the ranking or the title,
// what follows each of the 24 stages, the story overlay, the challenge's end
// and the attract demo. Without a pool block the screen has no stage; every
// state still runs.
#include "game/scene/SceneGame.h"
#include "game/core/GameState.h"
#include "game/core/InputManager.h"
#include "game/core/StageMusicSlots.h"
#include "game/scene/SceneEnding.h"
#include "game/scene/SceneGotoNextLoop.h"
#include "game/scene/SceneRanking.h"
#include "game/scene/SceneSelectGameMenu.h"
#include "game/scene/SceneStory.h"
#include "game/scene/SceneStoryIntermission.h"
#include "game/scene/SceneTitle.h"
#include "game/stage/GameObjectDirector.h"
#include "support/FlowSceneRig.h"
#include "support/NullSound.h"

#include <cmath>

namespace {

using flow_test::Sprite;

constexpr uint32_t kShot = InputManager::kShot;
constexpr uint32_t kUp = InputManager::kUp;
constexpr uint32_t kDown = InputManager::kDown;
constexpr uint32_t kPause = InputManager::kPause;
constexpr uint32_t kEx = InputManager::kExWeapon;

class SceneGameTest : public flow_test::FlowRig {
protected:
    // A stage screen of the current game state, run until its stage runs.
    SceneGame* StartStage() {
        driver->CreateScene<SceneGame>();
        return RunUntilState<SceneGame>(SceneGame::kRunning, 5);
    }
    // The sprites of the last frame drawn with the screen's texture `slot`.
    std::vector<Sprite> Drawn(const SceneGame* game, uint32_t slot) const {
        return SpritesOf(game->GetTexture(slot));
    }
    // Opens the pause menu and runs it to its menu step.
    void OpenPause(SceneGame* game) {
        Frame(kPause);
        ASSERT_EQ(work->gameState, GameState::kPaused);
        Frames(40);
        ASSERT_EQ(game->GetPauseStep(), SceneGame::kPauseMenu);
    }
};

} // namespace

TEST_F(SceneGameTest, LoadsItsPicturesAndFadesTheStageIn) {
    work->gameState = GameState::kGameOver;
    work->misses = 3;
    work->hitsTaken = 4;
    work->stageEndWait = 7;
    work->progress[100] = 9;
    driver->CreateScene<SceneGame>();
    work->progress[100] = 1;
    EXPECT_EQ(work->progressSnapshot[100], 9) << "the progress as the stage was made";
    Frame();
    SceneGame* game = Active<SceneGame>();
    ASSERT_NE(game, nullptr);
    EXPECT_EQ(work->gameState, GameState::kPlaying);
    EXPECT_EQ(work->misses, 0u);
    EXPECT_EQ(work->hitsTaken, 0u);
    EXPECT_EQ(work->stageEndWait, 90);
    EXPECT_EQ(game->GetDirector(), nullptr) << "no pool here: a screen without a stage";
    for (uint32_t i = 0; i < SceneGame::kTextureCount; ++i)
        EXPECT_NE(game->GetTexture(i), nullptr) << SceneGame::kTextureNames[i];
    EXPECT_EQ(game->GetState(), SceneGame::kStart);
    Frame();
    EXPECT_EQ(game->GetState(), SceneGame::kRunning);
    EXPECT_TRUE(driver->IsFading());
    EXPECT_EQ(game->GetDemoCountdown(), 3600);
    Frames(9);
    EXPECT_EQ(driver->GetFadeLevel(), 0) << "a 10-frame fade in";
}

TEST_F(SceneGameTest, ThePauseWindowOpensShowsItsItemsAndCloses) {
    SceneGame* game = StartStage();
    ASSERT_NE(game, nullptr);
    const uint32_t pauses = SoundCount(12);
    Frame(kPause);
    EXPECT_EQ(work->gameState, GameState::kPaused);
    EXPECT_EQ(SoundCount(12), pauses + 1);
    // Opening: counter c draws the window scaled by ((10 - c) / 10)^2 x 4 + 1
    // across and (c / 10)^2 down, about (674, 360).
    Frames(6); // counters 0 to 5; c = 5: 2 across, 0.25 down
    std::vector<Sprite> window = Drawn(game, SceneGame::kPauseWindow1);
    const std::vector<Sprite> window2 = Drawn(game, SceneGame::kPauseWindow2);
    window.insert(window.end(), window2.begin(), window2.end());
    ASSERT_EQ(window.size(), 1u);
    EXPECT_FLOAT_EQ(window[0].x0, 674.0f - 197.0f * 2.0f);
    EXPECT_FLOAT_EQ(window[0].x1, 674.0f + 197.0f * 2.0f);
    EXPECT_FLOAT_EQ(window[0].y0, 360.0f - 90.0f * 0.25f);
    EXPECT_EQ(window[0].priority, 27u);
    EXPECT_EQ(window[0].u1, 394.0f);
    EXPECT_TRUE(Drawn(game, SceneGame::kPauseResume).empty()) << "no items while it opens";
    Frames(4);
    EXPECT_EQ(game->GetPauseStep(), SceneGame::kPauseItems);
    // The items appear: at rows 335, 360, 385, the cursor's row lit.
    Frames(12);
    const std::vector<Sprite> resume = Drawn(game, SceneGame::kPauseResume);
    const std::vector<Sprite> back = Drawn(game, SceneGame::kPauseBack);
    ASSERT_EQ(resume.size(), 1u);
    ASSERT_EQ(back.size(), 1u);
    EXPECT_EQ(resume[0].x0, 577.0f);
    EXPECT_EQ(resume[0].y0, 335.0f);
    EXPECT_EQ(back[0].y0, 385.0f);
    EXPECT_EQ(resume[0].colour >> 24, 255u);
    EXPECT_EQ(back[0].colour >> 24, 100u);
    const std::vector<Sprite> cursor = Drawn(game, SceneGame::kCursorRight);
    ASSERT_EQ(cursor.size(), 1u);
    EXPECT_EQ(cursor[0].x0, 545.0f);
    EXPECT_EQ(cursor[0].y0, 333.0f);
    EXPECT_EQ(cursor[0].Width(), 28.0f);
    EXPECT_EQ(cursor[0].u1 - cursor[0].u0, 40.0f);
    EXPECT_EQ(Drawn(game, SceneGame::kPauseCursorAdd).size(), 1u);
    Frames(18);
    ASSERT_EQ(game->GetPauseStep(), SceneGame::kPauseMenu);
    // Pause again in the menu: it closes over 11 frames and play goes on.
    Frame(kPause);
    EXPECT_EQ(game->GetPauseStep(), SceneGame::kPauseClosing);
    Frames(10);
    EXPECT_EQ(work->gameState, GameState::kPaused);
    Frame();
    EXPECT_EQ(work->gameState, GameState::kPlaying);
}

TEST_F(SceneGameTest, OutsideAChallengeTheCursorNeverRestsOnRestart) {
    SceneGame* game = StartStage();
    ASSERT_NE(game, nullptr);
    OpenPause(game);
    EXPECT_EQ(game->GetPauseCursor(), 0);
    const uint32_t moves = SoundCount(3);
    Frame(kDown);
    EXPECT_EQ(game->GetPauseCursor(), 2) << "down from resume to back";
    EXPECT_EQ(SoundCount(3), moves + 1);
    Frames(3);
    Frame(kDown);
    EXPECT_EQ(game->GetPauseCursor(), 0);
    Frames(3);
    Frame(kUp);
    EXPECT_EQ(game->GetPauseCursor(), 2) << "up from resume to back";
    Frames(3);
    Frame(kUp);
    EXPECT_EQ(game->GetPauseCursor(), 0);
}

TEST_F(SceneGameTest, AChallengeCanBeRestarted) {
    work->gameType = GameState::kScoreAttackType;
    SceneGame* game = StartStage();
    ASSERT_NE(game, nullptr);
    OpenPause(game);
    Frame(kDown);
    ASSERT_EQ(game->GetPauseCursor(), 1) << "restart, in a challenge";
    work->player.score = 1234;
    Frame(kShot);
    EXPECT_EQ(game->GetPauseStep(), SceneGame::kPauseClosing);
    EXPECT_TRUE(driver->IsFading());
    Frames(10);
    EXPECT_EQ(stageStarts.size(), 1u);
    Frame();
    Frame();
    ASSERT_EQ(stageStarts.size(), 2u) << "the stage again";
    EXPECT_EQ(work->player.score, 0u) << "from a fresh player record";
    EXPECT_EQ(work->gameState, GameState::kPlaying);
    EXPECT_EQ(driver->GetFirstActive()->nextInList, nullptr) << "the old screen is gone";
}

TEST_F(SceneGameTest, BackAsksFirstThenGivesTheGameUp) {
    SceneGame* game = StartStage();
    ASSERT_NE(game, nullptr);
    OpenPause(game);
    Frame(kUp);
    ASSERT_EQ(game->GetPauseCursor(), 2);
    Frame(kShot);
    EXPECT_EQ(game->GetPauseStep(), SceneGame::kPauseDialog);
    EXPECT_EQ(game->GetPauseCursor(), 1) << "on \"no\"";
    Frame();
    const std::vector<Sprite> no = Drawn(game, SceneGame::kPauseNo);
    ASSERT_EQ(no.size(), 1u);
    EXPECT_EQ(no[0].y0, 359.0f);
    EXPECT_EQ(no[0].colour >> 24, 255u);
    Frame(kShot);
    EXPECT_EQ(game->GetPauseStep(), SceneGame::kPauseMenu) << "no: back to the menu";
    EXPECT_EQ(game->GetPauseCursor(), 2);
    Frame(kShot);
    Frame(kDown);
    EXPECT_EQ(game->GetPauseCursor(), 0) << "on \"yes\"";
    Frame(kShot);
    EXPECT_EQ(game->GetPauseStep(), SceneGame::kPauseDialogClosing);
    Frames(19);
    EXPECT_EQ(Active<SceneSelectGameMenu>(), nullptr);
    Frame();
    EXPECT_NE(Active<SceneSelectGameMenu>(), nullptr);
    EXPECT_EQ(Active<SceneGame>(), nullptr);
}

TEST_F(SceneGameTest, TheContinueCountdownSkipsSecondsOnlyFromSevenAndContinuesByShot) {
    SceneGame* game = StartStage();
    ASSERT_NE(game, nullptr);
    work->gameState = GameState::kContinue;
    work->continueCountdown = 600;
    Frame(kEx);
    EXPECT_EQ(work->continueCountdown, 599) << "no skip above 7 seconds";
    work->continueCountdown = 421;
    Frame(kEx);
    EXPECT_EQ(work->continueCountdown, 360) << "7.0 seconds: one second off";
    Frame(kEx);
    EXPECT_EQ(work->continueCountdown, 299);
    // The time in three digits: the frame counts down to 298 first, and
    // 298 / 60 = 4.9666 shows 4, 9, 6.
    Frame();
    const std::vector<Sprite> digits = Drawn(game, SceneGame::kContinueDigits);
    ASSERT_EQ(digits.size(), 3u);
    EXPECT_EQ(digits[0].u0, 66.0f * 4);
    EXPECT_EQ(digits[0].x0, 840.0f);
    EXPECT_EQ(digits[0].Width(), 66.0f);
    EXPECT_EQ(digits[1].u0, 66.0f * 9);
    EXPECT_EQ(digits[1].x0, 930.0f);
    EXPECT_EQ(digits[1].Width(), 33.0f) << "tenths at half size";
    EXPECT_EQ(digits[2].u0, 66.0f * 6);
    EXPECT_EQ(digits[2].x0, 960.0f);
    EXPECT_EQ(Drawn(game, SceneGame::kContinueDot).size(), 1u);
    EXPECT_EQ(Drawn(game, SceneGame::kContinueBase1).size() +
                  Drawn(game, SceneGame::kContinueBase2).size(),
              1u);
    Frame(kShot);
    EXPECT_EQ(work->gameState, GameState::kPlaying) << "a continue";
    EXPECT_EQ(game->GetGameOverStep(), 0) << "without any game-over drawing";
}

// Held skips may take the countdown below 0 on the way out: it is a signed
// count and reaches the game over all the same.
TEST_F(SceneGameTest, SkippingPastZeroStillEndsInGameOver) {
    SceneGame* game = StartStage();
    ASSERT_NE(game, nullptr);
    work->gameState = GameState::kContinue;
    work->continueCountdown = 30;
    Frame(kEx);
    EXPECT_EQ(work->continueCountdown, -31);
    Frame(kEx);
    EXPECT_EQ(work->gameState, GameState::kGameOver);
}

class SceneGameOverTest : public SceneGameTest,
                          public ::testing::WithParamInterface<std::tuple<int, bool>> {
protected:
    void SetUp() override {
        withSound = true;
        SceneGameTest::SetUp();
    }
};

// Game over with a top-ten score (the ranking with its row lit), with a
// continue used (the title) and in the attract demo (the title, unranked).
TEST_P(SceneGameOverTest, GameOverLeadsToTheRankingOrTheTitle) {
    const auto [kind, demo] = GetParam();
    work->mode = 2;
    work->attractDemo = demo ? 1 : 0;
    SceneGame* game = StartStage();
    ASSERT_NE(game, nullptr);
    work->player.score = 999999999;
    work->player.continues = kind == 1 ? 1 : 0;
    work->gameState = GameState::kContinue;
    work->continueCountdown = 1;
    Frame();
    ASSERT_EQ(work->gameState, GameState::kGameOver);
    EXPECT_STREQ(sound->GetStreamName(game->GetMusicSlot()), "gameover.ogg");
    Frame();
    soundtest::WaitIdle(sound->GetStream(game->GetMusicSlot()));
    EXPECT_TRUE(sound->IsStreamPlaying(game->GetMusicSlot())) << "once, as it loaded";
    Frames(118);
    EXPECT_EQ(game->GetGameOverStep(), 0);
    EXPECT_EQ(game->GetDarkening(), 119);
    Frame(); // 120 frames of darkening, then the caption
    EXPECT_EQ(game->GetGameOverStep(), 1);
    EXPECT_EQ(game->GetDarkening(), 120);
    Frame();
    EXPECT_EQ(Drawn(game, SceneGame::kGameOver1).size() + Drawn(game, SceneGame::kGameOver2).size(),
              1u);
    // 300 frames of caption, 24 of noise.
    Frames(300 + 22);
    EXPECT_NE(Active<SceneGame>(), nullptr);
    Frame();
    EXPECT_EQ(Active<SceneGame>(), nullptr);
    if (kind == 0 && !demo) {
        ASSERT_NE(Active<SceneRanking>(), nullptr);
        EXPECT_EQ(work->rankingMode, 2u);
        EXPECT_EQ(work->rankingPlace, 0);
    } else {
        EXPECT_NE(Active<SceneTitle>(), nullptr);
        EXPECT_EQ(Active<SceneRanking>(), nullptr);
    }
}

INSTANTIATE_TEST_SUITE_P(Outcomes, SceneGameOverTest,
                         ::testing::Values(std::tuple{0, false}, std::tuple{1, false},
                                           std::tuple{0, true}));

// What follows each of the 24 stages in an arcade game, a story game and
// the attract demo, when the stage-end wait runs out.
TEST_F(SceneGameTest, TheNextScreenOfEveryStage) {
    for (int kind = 0; kind < 3; ++kind) {
        for (uint32_t s = 0; s < 24; ++s) {
            SCOPED_TRACE(testing::Message() << "kind " << kind << ", stage " << s);
            driver->ClearAll();
            work->storyMode = kind == 1 ? 1 : 0;
            work->attractDemo = kind == 2 ? 1 : 0;
            work->stage = s;
            ASSERT_NE(StartStage(), nullptr);
            work->gameState = GameState::kCleared;
            work->stageEndWait = 1;
            Frame();
            const bool last = s % 12 == 11;
            const bool intermission = s % 3 == 2 && !last;
            if (kind == 2) {
                EXPECT_NE(Active<SceneTitle>(), nullptr);
                EXPECT_EQ(work->stage, s);
            } else if (kind == 0 && !last) {
                EXPECT_NE(Active<SceneGame>(), nullptr);
                EXPECT_EQ(work->stage, s + 1);
                EXPECT_EQ(driver->GetFadeLevel(), 255) << "a one-frame fade to black";
            } else if (kind == 0) {
                if (s == 11) {
                    EXPECT_NE(Active<SceneGotoNextLoop>(), nullptr);
                } else {
                    EXPECT_NE(Active<SceneEnding>(), nullptr);
                }
                EXPECT_EQ(work->stage, s);
            } else if (intermission) {
                EXPECT_NE(Active<SceneStoryIntermission>(), nullptr);
                EXPECT_EQ(work->stage, s);
            } else if (!last) {
                EXPECT_NE(Active<SceneGame>(), nullptr);
                ASSERT_NE(Active<SceneStory>(), nullptr);
                EXPECT_EQ(Active<SceneStory>()->GetRequest(), SceneStory::kBetweenStages);
                EXPECT_EQ(work->stage, s + 1);
            } else {
                EXPECT_NE(Active<SceneEnding>(), nullptr);
                EXPECT_EQ(work->stage, s);
            }
        }
    }
}

TEST_F(SceneGameTest, AChallengeEndsByAButtonAfter80FramesOrAt1201) {
    work->gameType = GameState::kScoreAttackType;
    work->mode = 8;
    for (bool press : {true, false}) {
        driver->ClearAll();
        SceneGame* game = StartStage();
        ASSERT_NE(game, nullptr);
        work->player.score = 0;
        work->player.continues = 1; // no ranking: the game menu next
        work->gameState = GameState::kTimeUp;
        Frames(78);
        Frame(kShot);
        EXPECT_EQ(game->GetChallengeCounter(), 79);
        EXPECT_EQ(game->GetChallengeStep(), 1) << "too early for a button";
        if (press) {
            Frame(kEx);
        } else {
            Frames(1201 - 80);
            EXPECT_EQ(game->GetChallengeStep(), 1);
            Frame();
        }
        EXPECT_EQ(game->GetChallengeStep(), 2);
        EXPECT_TRUE(driver->IsFading());
        Frames(14);
        EXPECT_EQ(Active<SceneSelectGameMenu>(), nullptr);
        Frame();
        EXPECT_NE(Active<SceneSelectGameMenu>(), nullptr) << (press ? "pressed" : "timed out");
    }
}

TEST_F(SceneGameTest, TheAttractDemoShowsItsCaptionAndEndsAfter3600Frames) {
    work->attractDemo = 1;
    work->playing = 1;
    SceneGame* game = StartStage();
    ASSERT_NE(game, nullptr);
    Frame();
    const std::vector<Sprite> one = Drawn(game, SceneGame::kDemonstration1);
    const std::vector<Sprite> two = Drawn(game, SceneGame::kDemonstration2);
    ASSERT_EQ(one.size() + two.size(), 1u);
    const Sprite& caption = one.empty() ? two[0] : one[0];
    EXPECT_EQ(caption.x0, 285.0f);
    EXPECT_EQ(caption.y0, 295.0f);
    EXPECT_EQ(caption.x1, 983.0f);
    EXPECT_EQ(caption.y1, 337.0f);
    Frame();
    EXPECT_EQ(
        Drawn(game, one.empty() ? SceneGame::kDemonstration1 : SceneGame::kDemonstration2).size(),
        1u)
        << "the other picture on the next frame";
    while (game->GetDemoCountdown() > 0)
        Frame();
    EXPECT_EQ(input->GetLockCount(), 1);
    EXPECT_TRUE(driver->IsFading());
    Frames(15);
    EXPECT_EQ(input->GetLockCount(), 0) << "lowered by the fade's completion";
    Frame();
    EXPECT_NE(Active<SceneTitle>(), nullptr);
    // Outside the demo no caption.
    work->attractDemo = 0;
    work->playing = 0;
    driver->ClearAll();
    game = StartStage();
    Frame();
    EXPECT_TRUE(Drawn(game, SceneGame::kDemonstration1).empty());
    EXPECT_TRUE(Drawn(game, SceneGame::kDemonstration2).empty());
}

// With a stage: the story overlay updates the stage unless the staging
// objects have frozen it, and the sub-weapon button still changes weapons.
class SceneGameStageTest : public SceneGameTest {
protected:
    void SetUp() override {
        withStages = true;
        SceneGameTest::SetUp();
    }
};

TEST_F(SceneGameStageTest, TheStoryOverlayUpdatesTheStageUnlessItIsFrozen) {
    const uint32_t before = pool->LiveCount();
    SceneGame* game = StartStage();
    ASSERT_NE(game, nullptr);
    GameObjectDirector* director = game->GetDirector();
    ASSERT_NE(director, nullptr);
    ASSERT_TRUE(RunUntil([&] { return director->GetState() == GameObjectDirector::kPlay; }, 10));
    work->gameState = GameState::kStory;
    uint32_t updates = director->GetUpdateCounter();
    Frame();
    EXPECT_EQ(director->GetUpdateCounter(), updates + 1);
    work->stageFreeze = 1;
    Frame();
    EXPECT_EQ(director->GetUpdateCounter(), updates + 1) << "frozen: ticked and drawn only";
    work->stageFreeze = 0;
    work->subWeaponUnlocked = 0x3;
    work->player.subWeapon = 0;
    Frame(InputManager::kSceneAction);
    EXPECT_EQ(work->player.subWeapon, 1);
    EXPECT_GT(pool->LiveCount(), before);
    driver->ClearAll();
    EXPECT_EQ(pool->LiveCount(), before) << "the stage's whole tree went with the screen";
}

TEST_F(SceneGameStageTest, TheAttractDemoCountsOnlyItsStagesFramesOfPlay) {
    work->attractDemo = 1;
    work->playing = 1;
    SceneGame* game = StartStage();
    ASSERT_NE(game, nullptr);
    ASSERT_NE(game->GetDirector(), nullptr);
    int32_t played = 0;
    for (int i = 0; i < 8; ++i) {
        Frame();
        played += game->GetDirector()->GetState() == GameObjectDirector::kPlay;
        EXPECT_EQ(game->GetDemoCountdown(), SceneGame::kDemoFrames - played) << i;
    }
    EXPECT_LT(played, 8) << "the stage waited for its music first";
}

// Without a pool block there is no director: every play state still runs
// its overlays and counters and leaves as it would.
TEST_F(SceneGameTest, WithoutAStageEveryPlayStateRuns) {
    SceneGame* game = StartStage();
    ASSERT_NE(game, nullptr);
    ASSERT_EQ(game->GetDirector(), nullptr);
    work->continueCountdown = 600;
    for (uint32_t state = 0; state < 8; ++state) {
        work->gameState = state;
        Frame(InputManager::kSceneAction);
        Frame();
    }
    EXPECT_EQ(work->continueCountdown, 598) << "the countdown ran its two frames";
    EXPECT_EQ(game->GetDarkening(), 2) << "so did the game over";
    EXPECT_EQ(game->GetChallengeCounter(), 2);
    ASSERT_NE(Active<SceneGame>(), nullptr);
    work->gameState = GameState::kContinue;
    Frame(kShot);
    EXPECT_EQ(work->gameState, GameState::kPlaying) << "a continue without a stage";
}
