// The stage screen headless under scripted presses: its loading and fade-in,
// the pause menu's steps and cursor rules, restart and giving up, the
// continue countdown and its digits, game over to the ranking or the title,
// what follows each of the 24 stages, the story overlay, the challenge's end
// with its result and the attract demo. Without a pool block the screen has
// no stage; every state still runs.
#include "game/scene/SceneGame.h"
#include "engine/graphics/Texture.h"
#include "game/core/GameState.h"
#include "game/scene/SceneEnding.h"
#include "game/scene/SceneGotoNextLoop.h"
#include "game/scene/SceneRanking.h"
#include "game/scene/SceneSelectGameMenu.h"
#include "game/scene/SceneStory.h"
#include "game/scene/SceneStoryIntermission.h"
#include "game/stage/GameObjectDirector.h"
#include "game/stage/StageTextureTable.h"
#include "support/SceneRig.h"

namespace {

using namespace scene_test;

class SceneGameTest : public SceneRig {
protected:
    // A stage screen of the current game state, run until its stage runs.
    SceneGame* StartStage() {
        driver->ClearAll();
        driver->CreateScene<SceneGame>();
        return game = RunUntilState<SceneGame>(SceneGame::kRunning, 5);
    }
    // The sprites of the last frame drawn with the screen's texture `slot`.
    std::vector<Sprite> Drawn(uint32_t slot) const { return SpritesOf(game->GetTexture(slot)); }
    // Of one of two alternating textures, the one drawn.
    Sprite Either(uint32_t a, uint32_t b) const {
        std::vector<Sprite> both = Drawn(a);
        for (const Sprite& s : Drawn(b))
            both.push_back(s);
        EXPECT_EQ(both.size(), 1u);
        return both.empty() ? Sprite{} : both[0];
    }
    // Opens the pause menu and runs it to its menu step.
    void OpenPause() {
        Frame(kPause);
        ASSERT_EQ(work->gameState, GameState::kPaused);
        Frames(40);
        ASSERT_EQ(game->GetPauseStep(), SceneGame::kPauseMenu);
    }
    // The full-screen darkening rectangle of the last frame.
    Sprite Darkening() const {
        for (const Sprite& s : SpritesOf(DefaultTexture()))
            if (s.Rect() == Box{0, 0, 1280, 720})
                return s;
        ADD_FAILURE() << "no darkening";
        return {};
    }

    SceneGame* game = nullptr;
};

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
    game = Active<SceneGame>();
    ASSERT_NE(game, nullptr);
    EXPECT_EQ((std::vector<uint32_t>{work->gameState, work->misses, work->hitsTaken}),
              (std::vector<uint32_t>{GameState::kPlaying, 0, 0}));
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
    ASSERT_NE(StartStage(), nullptr);
    const uint32_t pauses = SoundCount(12);
    Frame(kPause);
    EXPECT_EQ(work->gameState, GameState::kPaused);
    EXPECT_EQ(SoundCount(12), pauses + 1);
    // Opening: counter c draws the window scaled by ((10 - c) / 10)^2 x 4 + 1
    // across and (c / 10)^2 down about (674, 360); c = 5: 2 across, 0.25 down.
    Frames(6);
    const Sprite window = Either(SceneGame::kPauseWindow1, SceneGame::kPauseWindow2);
    EXPECT_EQ(window.Rect(),
              (Box{674 - 197 * 2, 360 - 90 * 0.25f, 674 + 197 * 2, 360 + 90 * 0.25f}));
    EXPECT_EQ(window.priority, 27u);
    EXPECT_EQ(window.u1, 394.0f);
    EXPECT_TRUE(Drawn(SceneGame::kPauseResume).empty()) << "no items while it opens";
    Frames(4);
    EXPECT_EQ(game->GetPauseStep(), SceneGame::kPauseItems);
    // The items appear at rows 335, 360, 385, the cursor's row lit.
    Frames(12);
    const Sprite resume = One(game->GetTexture(SceneGame::kPauseResume));
    const Sprite restart = One(game->GetTexture(SceneGame::kPauseRestart));
    const Sprite back = One(game->GetTexture(SceneGame::kPauseBack));
    EXPECT_EQ(resume.Rect(), (Box{577, 335, 971, 515}));
    EXPECT_EQ(restart.Rect(), (Box{577, 360, 971, 540}));
    EXPECT_EQ(back.y0, 385.0f);
    EXPECT_EQ((std::vector<uint32_t>{resume.Alpha(), restart.Alpha(), back.Alpha()}),
              (std::vector<uint32_t>{255, 100, 100}));
    const Sprite cursor = One(game->GetTexture(SceneGame::kCursorRight));
    EXPECT_EQ(cursor.Rect(), (Box{545, 333, 573, 361}));
    EXPECT_EQ(cursor.u1 - cursor.u0, 40.0f);
    EXPECT_EQ(Drawn(SceneGame::kPauseCursorAdd).size(), 1u);
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

// Outside a challenge up and down from "resume" both go to "back": the
// cursor never rests on "restart". Back asks first; "no" returns to the
// menu, "yes" gives the game up for the game menu.
TEST_F(SceneGameTest, ThePauseMenusCursorAndGivingUp) {
    ASSERT_NE(StartStage(), nullptr);
    OpenPause();
    EXPECT_EQ(game->GetPauseCursor(), 0);
    const uint32_t moves = SoundCount(3);
    for (uint32_t button : {kDown, kDown, kUp, kUp}) {
        const int32_t before = game->GetPauseCursor();
        Press(button);
        EXPECT_EQ(game->GetPauseCursor(), before == 0 ? 2 : 0) << button;
    }
    EXPECT_EQ(SoundCount(3), moves + 4);
    Frame(kUp);
    ASSERT_EQ(game->GetPauseCursor(), 2);
    Frame(kShot);
    EXPECT_EQ(game->GetPauseStep(), SceneGame::kPauseDialog);
    EXPECT_EQ(game->GetPauseCursor(), 1) << "on \"no\"";
    Frame();
    const Sprite no = One(game->GetTexture(SceneGame::kPauseNo));
    EXPECT_EQ(no.Rect(), (Box{555, 359, 584, 383}));
    EXPECT_EQ(no.Alpha(), 255u);
    // The dialog's two rows, the cursor at "no" on the second.
    const Sprite yes = One(game->GetTexture(SceneGame::kPauseYes));
    EXPECT_EQ(yes.Rect(), (Box{555, 331, 596, 355}));
    EXPECT_EQ(yes.Alpha(), 100u);
    EXPECT_EQ(One(game->GetTexture(SceneGame::kCursorRight)).Rect(), (Box{523, 357, 551, 385}));
    EXPECT_TRUE(Drawn(SceneGame::kPauseResume).empty()) << "no menu items in the dialog";
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

TEST_F(SceneGameTest, AChallengeCanBeRestarted) {
    work->gameType = GameState::kScoreAttackType;
    ASSERT_NE(StartStage(), nullptr);
    OpenPause();
    Frame(kDown);
    ASSERT_EQ(game->GetPauseCursor(), 1) << "restart, in a challenge";
    work->player.score = 1234;
    Frame(kShot);
    EXPECT_EQ(game->GetPauseStep(), SceneGame::kPauseClosing);
    EXPECT_TRUE(driver->IsFading());
    Frames(10);
    EXPECT_EQ(stageStarts.size(), 1u);
    Frames(2);
    ASSERT_EQ(stageStarts.size(), 2u) << "the stage again";
    EXPECT_EQ(work->player.score, 0u) << "from a fresh player record";
    EXPECT_EQ(work->gameState, GameState::kPlaying);
    EXPECT_EQ(driver->GetFirstActive()->nextInList, nullptr) << "the old screen is gone";
}

// Ex weapon skips a second only from 7 seconds on; held skips may take the
// countdown below 0 on the way out (a signed count), which still ends in
// the game over; shot continues. The time shows in three digits.
TEST_F(SceneGameTest, TheContinueCountdownSkipsSecondsOnlyFromSevenAndContinuesByShot) {
    ASSERT_NE(StartStage(), nullptr);
    work->gameState = GameState::kContinue;
    const int32_t rows[][2] = {{600, 599}, {421, 360}, {360, 299}, {30, -31}};
    for (const auto& r : rows) {
        work->continueCountdown = r[0];
        Frame(kEx);
        EXPECT_EQ(work->continueCountdown, r[1]) << r[0];
    }
    Frame(kEx);
    EXPECT_EQ(work->gameState, GameState::kGameOver);
    work->gameState = GameState::kContinue;
    work->continueCountdown = 299;
    // The frame counts down to 298 first: 298 / 60 = 4.9666 shows 4, 9, 6,
    // the tenths and hundredths at half size.
    Frame();
    const std::vector<Sprite> digits = Drawn(SceneGame::kContinueDigits);
    ASSERT_EQ(digits.size(), 3u);
    EXPECT_EQ(digits[0].Rect(), (Box{840, 245, 906, 293}));
    EXPECT_EQ(digits[1].Rect(), (Box{930, 267, 963, 291}));
    EXPECT_EQ(digits[2].Rect(), (Box{960, 267, 993, 291}));
    EXPECT_EQ((std::vector<float>{digits[0].u0, digits[1].u0, digits[2].u0}),
              (std::vector<float>{66 * 4, 66 * 9, 66 * 6}));
    EXPECT_EQ(One(game->GetTexture(SceneGame::kContinueDot)).Rect(), (Box{910, 270, 929, 289}));
    EXPECT_EQ(Either(SceneGame::kContinueBase1, SceneGame::kContinueBase2).Rect(),
              (Box{280, 150, 1000, 386}));
    Frame(kShot);
    EXPECT_EQ(work->gameState, GameState::kPlaying) << "a continue";
    EXPECT_EQ(game->GetGameOverStep(), 0) << "without any game-over drawing";
}

class SceneGameOverTest : public SceneGameTest,
                          public ::testing::WithParamInterface<std::tuple<int, bool>> {
protected:
    SceneGameOverTest() { withSound = true; }
};

// Game over with a top-ten score (the ranking with its row lit), with a
// continue used (the title) and in the attract demo (the title, unranked):
// the music once, 120 frames of darkening to black, 300 of the caption, 24
// of noise.
TEST_P(SceneGameOverTest, GameOverLeadsToTheRankingOrTheTitle) {
    const auto [continues, demo] = GetParam();
    work->mode = 2;
    work->attractDemo = demo ? 1 : 0;
    ASSERT_NE(StartStage(), nullptr);
    work->player.score = 999999999;
    work->player.continues = static_cast<uint8_t>(continues);
    work->gameState = GameState::kContinue;
    work->continueCountdown = 1;
    Frame();
    ASSERT_EQ(work->gameState, GameState::kGameOver);
    EXPECT_EQ(MusicOf(game->GetMusicSlot()), "gameover.ogg");
    Frame();
    EXPECT_TRUE(Playing(game->GetMusicSlot())) << "once, as it loaded";
    EXPECT_EQ(Darkening().Alpha(), 2u) << "1 x 255 / 120";
    Frames(59);
    EXPECT_EQ(game->GetDarkening(), 60);
    EXPECT_EQ(Darkening().Alpha(), 127u);
    EXPECT_EQ(Darkening().colour & 0xFFFFFF, 0u) << "black";
    Frames(59);
    EXPECT_EQ(game->GetGameOverStep(), 0);
    Frame(); // 120 frames of darkening, then the caption
    EXPECT_EQ(game->GetGameOverStep(), 1);
    EXPECT_EQ(game->GetDarkening(), 120);
    Frame();
    EXPECT_EQ(Darkening().Alpha(), 255u) << "it stays at 120";
    EXPECT_EQ(Either(SceneGame::kGameOver1, SceneGame::kGameOver2).Rect(),
              (Box{280, 300, 1000, 360}));
    Frames(300 + 22);
    EXPECT_NE(Active<SceneGame>(), nullptr);
    Frame();
    EXPECT_EQ(Active<SceneGame>(), nullptr);
    if (continues == 0 && !demo) {
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
// the attract demo, when the stage-end wait runs out (counted down once a
// frame, nothing queued before).
TEST_F(SceneGameTest, TheNextScreenOfEveryStage) {
    for (int kind = 0; kind < 3; ++kind) {
        for (uint32_t s = 0; s < 24; ++s) {
            SCOPED_TRACE(testing::Message() << "kind " << kind << ", stage " << s);
            work->storyMode = kind == 1 ? 1 : 0;
            work->attractDemo = kind == 2 ? 1 : 0;
            work->stage = s;
            ASSERT_NE(StartStage(), nullptr);
            work->gameState = GameState::kCleared;
            work->stageEndWait = 2;
            Frame();
            EXPECT_EQ(work->stageEndWait, 1);
            EXPECT_EQ(driver->GetFirstActive()->nextInList, nullptr) << "nothing queued yet";
            Frame();
            const bool last = s % 12 == 11;
            const bool intermission = s % 3 == 2 && !last;
            uint32_t stage = s;
            if (kind == 2) {
                EXPECT_NE(Active<SceneTitle>(), nullptr);
            } else if (kind == 0 && !last) {
                EXPECT_NE(Active<SceneGame>(), nullptr);
                EXPECT_EQ(Active<SceneStory>(), nullptr);
                EXPECT_EQ(driver->GetFadeLevel(), 255) << "a one-frame fade to black";
                stage = s + 1;
            } else if (kind == 0) {
                EXPECT_TRUE(s == 11 ? Active<SceneGotoNextLoop>() != nullptr
                                    : Active<SceneEnding>() != nullptr);
            } else if (intermission) {
                EXPECT_NE(Active<SceneStoryIntermission>(), nullptr) << "it moves on itself";
            } else if (!last) {
                EXPECT_NE(Active<SceneGame>(), nullptr);
                ASSERT_NE(Active<SceneStory>(), nullptr);
                EXPECT_EQ(Active<SceneStory>()->GetRequest(), SceneStory::kBetweenStages);
                stage = s + 1;
            } else {
                EXPECT_NE(Active<SceneEnding>(), nullptr);
            }
            EXPECT_EQ(work->stage, stage);
        }
    }
}

// No button counts before 80 frames; then a button ends the challenge, or
// frame 1201 does.
TEST_F(SceneGameTest, AChallengeEndsByAButtonAfter80FramesOrAt1201) {
    work->gameType = GameState::kScoreAttackType;
    work->mode = 8;
    for (bool press : {true, false}) {
        ASSERT_NE(StartStage(), nullptr);
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
    for (uint8_t demo : {0, 1}) {
        work->attractDemo = work->playing = demo;
        ASSERT_NE(StartStage(), nullptr);
        Frame();
        if (!demo) {
            EXPECT_TRUE(Drawn(SceneGame::kDemonstration1).empty() &&
                        Drawn(SceneGame::kDemonstration2).empty())
                << "outside the demo no caption";
            continue;
        }
        const bool first = Drawn(SceneGame::kDemonstration1).size() == 1;
        EXPECT_EQ(Either(SceneGame::kDemonstration1, SceneGame::kDemonstration2).Rect(),
                  (Box{285, 295, 983, 337}));
        Frame();
        EXPECT_EQ(Drawn(first ? SceneGame::kDemonstration2 : SceneGame::kDemonstration1).size(), 1u)
            << "the other picture on the next frame";
        while (game->GetDemoCountdown() > 0)
            Frame();
        EXPECT_EQ(input->GetLockCount(), 1);
        EXPECT_TRUE(driver->IsFading());
        Frames(15);
        EXPECT_EQ(input->GetLockCount(), 0) << "lowered by the fade's completion";
        Frame();
        EXPECT_NE(Active<SceneTitle>(), nullptr);
    }
}

// Without a pool block there is no director: every play state still runs
// its overlays and counters and leaves as it would.
TEST_F(SceneGameTest, WithoutAStageEveryPlayStateRuns) {
    ASSERT_NE(StartStage(), nullptr);
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

// With a stage: the story overlay updates the stage unless the staging
// objects have frozen it, the sub-weapon button still changes weapons, the
// demo counts only its stage's frames of play, and a challenge's end shows
// its result.
class SceneGameStageTest : public SceneGameTest {
protected:
    SceneGameStageTest() { withStages = true; }
    GameObjectDirector* PlayingStage() {
        GameObjectDirector* director = game ? game->GetDirector() : nullptr;
        return director &&
                       RunUntil([&] { return director->GetState() == GameObjectDirector::kPlay; },
                                10)
                   ? director
                   : nullptr;
    }
};

TEST_F(SceneGameStageTest, TheStoryOverlayUpdatesTheStageUnlessItIsFrozen) {
    const uint32_t before = pool->LiveCount();
    ASSERT_NE(StartStage(), nullptr);
    GameObjectDirector* director = PlayingStage();
    ASSERT_NE(director, nullptr);
    work->gameState = GameState::kStory;
    const uint32_t updates = director->GetUpdateCounter();
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
    ASSERT_NE(StartStage(), nullptr);
    ASSERT_NE(game->GetDirector(), nullptr);
    int32_t played = 0;
    for (int i = 0; i < 8; ++i) {
        Frame();
        played += game->GetDirector()->GetState() == GameObjectDirector::kPlay;
        EXPECT_EQ(game->GetDemoCountdown(), SceneGame::kDemoFrames - played) << i;
    }
    EXPECT_LT(played, 8) << "the stage waited for its music first";
}

// The time-up picture 60 drawn frames after the time ran out, with sound
// 98; from 40 frames later the score centred in 48-pixel cells at y 398,
// from 80 the rank picture centred on the field at y 480 by the score, each
// with the sound again. The field starts at x 280.
TEST_F(SceneGameStageTest, AChallengesEndShowsItsResultWithItsSounds) {
    work->gameType = GameState::kScoreAttackType;
    work->mode = 9;
    ASSERT_NE(StartStage(), nullptr);
    GameObjectDirector* director = PlayingStage();
    ASSERT_NE(director, nullptr);
    work->player.score = 123456789;
    work->gameState = GameState::kTimeUp;
    director->StartResultTally(false);
    const uint32_t sounds = SoundCount(98);
    Frames(59);
    EXPECT_TRUE(SpritesOf(director->GetTexture(StageTextureSlot::kTimeUp)).empty());
    EXPECT_EQ(SoundCount(98), sounds);
    Frame();
    EXPECT_EQ(SoundCount(98), sounds + 1) << "at 0";
    const auto* timeUp = director->GetTexture(StageTextureSlot::kTimeUp);
    ASSERT_NE(timeUp, nullptr);
    EXPECT_EQ(One(timeUp).Rect(),
              (Box{400, 148, 400.0f + timeUp->GetWidth(), 148.0f + timeUp->GetHeight()}));
    const auto* digits = director->GetTexture(StageTextureSlot::kResultDigits);
    Frames(39);
    EXPECT_TRUE(SpritesOf(digits).empty());
    Frame();
    std::vector<Sprite> score = SpritesOf(digits);
    ASSERT_EQ(score.size(), 9u) << "at -40 \"%d\" of 123456789";
    EXPECT_EQ(score[0].Rect(), (Box{424, 398, 472, 446})) << "(1280 - 9 x 48) / 2";
    EXPECT_EQ((std::vector<float>{score[0].u0, score[8].u0, score[8].x0}),
              (std::vector<float>{48, 48 * 9, 424 + 8 * 48}));
    EXPECT_EQ(SoundCount(98), sounds + 1);
    Frame();
    EXPECT_EQ(SoundCount(98), sounds + 2) << "at -41";
    Frames(39);
    EXPECT_EQ(SoundCount(98), sounds + 2);
    EXPECT_EQ(SpritesOf(director->GetTexture(StageTextureSlot::kFirstRank + 5)).size(), 1u)
        << "at -80 the rank picture: below 150000000, \"sam_06.dds\"";
    Frame();
    EXPECT_EQ(SoundCount(98), sounds + 3) << "at -81";
    // The rank of the score in the frame it is drawn.
    const struct {
        uint64_t score;
        int32_t rank; // "sam_01.dds" is 0
    } ranks[] = {{0, 0},         {9999, 0},       {10000, 1},       {999999, 1},
                 {1000000, 2},   {9999999, 2},    {10000000, 3},    {49999999, 3},
                 {50000000, 4},  {99999999, 4},   {100000000, 5},   {149999999, 5},
                 {150000000, 6}, {200000000, 7},  {250000000, 8},   {300000000, 9},
                 {399999999, 9}, {400000000, 10}, {4294967295, 10}, {4294967296ull + 5, 10}};
    for (const auto& r : ranks) {
        work->player.score = r.score;
        Frame();
        const auto* rank = director->GetTexture(StageTextureSlot::kFirstRank + r.rank);
        ASSERT_NE(rank, nullptr);
        const float x = 280.0f + (720.0f - float(rank->GetWidth())) / 2;
        EXPECT_EQ(One(rank).Rect(), (Box{x, 480, x + rank->GetWidth(), 480.0f + rank->GetHeight()}))
            << r.score;
    }
    EXPECT_EQ(SoundCount(98), sounds + 3) << "three sounds in all";
}

} // namespace
