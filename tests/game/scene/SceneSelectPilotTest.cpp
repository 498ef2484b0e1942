#include "support/FlowSceneRig.h"

#include "engine/sound/StaticSound.h"
#include "game/core/InputManager.h"
#include "game/core/ProgressBlock.h"
#include "game/scene/SceneGame.h"
#include "game/scene/SceneSelectGameMenu.h"
#include "game/scene/SceneSelectPilot.h"
#include "game/scene/SceneStoryOpening.h"
#include "sys/audio.h"

#include <cstring>

namespace {

constexpr uint32_t kShot = InputManager::kShot;
constexpr uint32_t kBack = InputManager::kExWeapon;

class PilotTest : public flow_test::FlowRig {
protected:
    // The pilot grid of a game of `type`, flags as the progress data holds
    // them (pilots 1 to 6).
    SceneSelectPilot* ToGrid(uint32_t type) {
        work->BeginGame(type);
        work->storyMode = type == 4 ? 1 : 0;
        select = Push<SceneSelectPilot>();
        return select ? RunUntilState<SceneSelectPilot>(4, 100) : nullptr;
    }
    void SetPilotFlags(const uint8_t (&flags)[6]) {
        std::memcpy(work->progress + ProgressBlock::kOffsetDefaultOnFlags, flags, 4);
        work->progress[ProgressBlock::kOffsetUnlockA] = flags[4];
        work->progress[ProgressBlock::kOffsetUnlockB] = flags[5];
    }
    // The pilots the cursor visits going right (or left) from the start.
    std::vector<int32_t> Visit(uint32_t button, int presses) {
        std::vector<int32_t> seen{select->GetPilot()};
        for (int i = 0; i < presses; ++i) {
            Frame(button);
            seen.push_back(select->GetPilot());
        }
        return seen;
    }
    // Grid shot, then the frames of the panel opening: the panel's state.
    int32_t OpenPanel() {
        Frame(kShot);
        Frames(29);
        return select->GetState();
    }
    // The final choice and the fade out: the next screen begins.
    void ChooseAndFade() {
        Frame(kShot);
        Frames(60);
    }

    SceneSelectPilot* select = nullptr;
};

TEST_F(PilotTest, FourPilotsInFreshDataWrapBothWays) {
    ASSERT_NE(ToGrid(3), nullptr);
    EXPECT_EQ(select->GetPilot(), 0);
    const uint32_t moved = SoundCount(5);
    EXPECT_EQ(Visit(InputManager::kLeft, 1), (std::vector<int32_t>{0, 3}));
    EXPECT_EQ(Visit(InputManager::kRight, 1), (std::vector<int32_t>{3, 0}));
    EXPECT_EQ(SoundCount(5), moved + 1) << "the second move came too soon after the first";
}

TEST_F(PilotTest, AllSixPilotsAreVisitedInOrder) {
    SetPilotFlags({1, 1, 1, 1, 1, 1});
    ASSERT_NE(ToGrid(3), nullptr);
    EXPECT_EQ(Visit(InputManager::kRight, 6), (std::vector<int32_t>{0, 1, 2, 3, 4, 5, 0}));
}

// Damaged progress data: without any flag the count was 0 and the step
// divided by it; with a gap a locked pilot was selectable.
TEST_F(PilotTest, NoPilotFlagLeavesPilotOneAlone) {
    SetPilotFlags({0, 0, 0, 0, 0, 0});
    ASSERT_NE(ToGrid(3), nullptr);
    EXPECT_EQ(Visit(InputManager::kRight, 2), (std::vector<int32_t>{0, 0, 0}));
    EXPECT_EQ(Visit(InputManager::kLeft, 1), (std::vector<int32_t>{0, 0}));
    EXPECT_EQ(OpenPanel(), 7);
    ChooseAndFade();
    ASSERT_EQ(stageStarts.size(), 1u);
    EXPECT_EQ(LastStageStart().ship, 0);
}

TEST_F(PilotTest, LockedPilotsAreSteppedOver) {
    SetPilotFlags({0, 1, 0, 1, 0, 1});
    ASSERT_NE(ToGrid(3), nullptr);
    EXPECT_EQ(select->GetPilot(), 1) << "the first unlocked pilot";
    EXPECT_EQ(Visit(InputManager::kRight, 3), (std::vector<int32_t>{1, 3, 5, 1}));
    EXPECT_EQ(Visit(InputManager::kLeft, 3), (std::vector<int32_t>{1, 5, 3, 1}));
}

TEST_F(PilotTest, TheDifficultyPanelOpensClosesAndBacksOutToTheMenu) {
    ASSERT_NE(ToGrid(3), nullptr);
    EXPECT_EQ(select->GetOptionCursor(), 1) << "the middle row";
    Frame(kShot);
    EXPECT_EQ(select->GetState(), 5);
    Frames(28);
    EXPECT_EQ(select->GetState(), 5);
    Frame();
    EXPECT_EQ(select->GetState(), 7) << "29 frames for three rows";
    EXPECT_EQ(select->GetPanelTimer(), 29);

    Frame(InputManager::kUp);
    EXPECT_EQ(select->GetOptionCursor(), 0);
    EXPECT_EQ(select->GetCursorFlash(), 19) << "20, counted down once after the draw";
    Frames(3);
    Frame(InputManager::kUp);
    EXPECT_EQ(select->GetOptionCursor(), 2);
    Frames(3);
    Frame(InputManager::kDown);
    EXPECT_EQ(select->GetOptionCursor(), 0);

    Frame(kBack);
    EXPECT_EQ(select->GetState(), 6);
    Frames(28);
    EXPECT_EQ(select->GetState(), 6);
    Frame();
    EXPECT_EQ(select->GetState(), 4) << "back on the grid";

    Frame(kBack);
    EXPECT_EQ(select->GetState(), 10);
    EXPECT_TRUE(select->IsCancelled());
    EXPECT_EQ(select->GetMusicSlot(), -1);
    Frames(60);
    EXPECT_NE(Active<SceneSelectGameMenu>(), nullptr);
    EXPECT_EQ(stageStarts.size(), 0u);
}

// Difficulty rows 0 to 2 start modes 0 to 2, or 4 to 6 in story mode; the
// story goes through its opening.
class PilotDifficulty : public PilotTest,
                        public ::testing::WithParamInterface<std::tuple<bool, int>> {};

TEST_P(PilotDifficulty, ModeOfTheRow) {
    const auto [story, row] = GetParam();
    ASSERT_NE(ToGrid(story ? 4 : 3), nullptr);
    Frame(InputManager::kRight);
    ASSERT_EQ(OpenPanel(), 7);
    if (row == 0)
        Frame(InputManager::kUp);
    if (row == 2)
        Frame(InputManager::kDown);
    Frames(3);
    work->subWeaponUnlocked = 0x1E;
    ChooseAndFade();
    EXPECT_EQ(work->mode, static_cast<uint32_t>(row + (story ? 4 : 0)));
    EXPECT_EQ(work->lastPilot, 1);
    EXPECT_EQ(work->subWeaponUnlocked, 1u) << "the first sub weapon only";
    if (story) {
        EXPECT_NE(Active<SceneStoryOpening>(), nullptr);
        EXPECT_EQ(stageStarts.size(), 0u);
    } else {
        ASSERT_EQ(stageStarts.size(), 1u);
        EXPECT_EQ(LastStageStart().ship, 1);
        EXPECT_EQ(LastStageStart().mode, static_cast<uint32_t>(row));
    }
}

INSTANTIATE_TEST_SUITE_P(ArcadeAndStory, PilotDifficulty,
                         ::testing::Combine(::testing::Bool(), ::testing::Range(0, 3)));

TEST_F(PilotTest, ChallengeTimesAreModesEightAndNine) {
    for (int row = 0; row < 2; ++row) {
        stageStarts.clear();
        ASSERT_NE(ToGrid(5), nullptr);
        EXPECT_EQ(select->GetOptionCursor(), 0);
        ASSERT_EQ(OpenPanel(), 8);
        Frame(InputManager::kDown);
        EXPECT_EQ(select->GetOptionCursor(), 0) << "without the second loop: one row";
        Frames(3);
        Frame(kShot);
        EXPECT_EQ(select->GetState(), 6);
        Frames(29);
        EXPECT_EQ(select->GetState(), 5) << "the option panel closed, the time panel opens";
        EXPECT_EQ(select->GetPanelKind(), 9);
        Frames(29);
        ASSERT_EQ(select->GetState(), 9);
        if (row == 1)
            Frame(InputManager::kUp);
        Frames(3);
        ChooseAndFade();
        EXPECT_EQ(work->mode, static_cast<uint32_t>(8 + row));
        EXPECT_EQ(LastStageStart().mode, static_cast<uint32_t>(8 + row));
        EXPECT_EQ(work->gameType, 5u);
        ASSERT_NE(Active<SceneGame>(), nullptr);
        driver->EndAllScenes();
        Frames(2);
    }
}

TEST_F(PilotTest, TheSecondLoopStartsAtStageTwelveAsAnOrdinaryGame) {
    work->SetProgressFlag();
    ASSERT_NE(ToGrid(5), nullptr);
    ASSERT_EQ(OpenPanel(), 8);
    Frame(InputManager::kDown);
    EXPECT_EQ(select->GetOptionCursor(), 1);
    Frames(3);
    ChooseAndFade();
    ASSERT_EQ(stageStarts.size(), 1u);
    const flow_test::StageStart& start = LastStageStart();
    EXPECT_EQ(start.stage, 12u);
    EXPECT_EQ(start.gameType, 3u);
    EXPECT_EQ(start.mode, 1u);
    EXPECT_EQ(start.subWeapons, 1u);
}

// A cursor left on the time panel's second row must not stand on the option
// panel's missing second-loop row.
TEST_F(PilotTest, BackFromTheTimePanelTheOptionCursorIsOnARow) {
    ASSERT_NE(ToGrid(5), nullptr);
    ASSERT_EQ(OpenPanel(), 8);
    Frame(kShot);
    Frames(58);
    ASSERT_EQ(select->GetState(), 9);
    Frame(InputManager::kDown);
    ASSERT_EQ(select->GetOptionCursor(), 1);
    Frame(kBack);
    Frames(29);
    ASSERT_EQ(select->GetState(), 4);
    ASSERT_EQ(OpenPanel(), 8);
    EXPECT_EQ(select->GetOptionCursor(), 0);
    Frame(kShot);
    EXPECT_EQ(select->GetState(), 6) << "row 0 closes into the time panel; no second loop";
    EXPECT_NE(work->stage, 12u);
}

TEST_F(PilotTest, TheGridDrawsTheUnlockedPilotsWithTheCursorHighlighted) {
    ASSERT_NE(ToGrid(3), nullptr);
    Frame(InputManager::kRight);
    const Mireku::Graphics::Texture* bust = select->GetTexture(SceneSelectPilot::kFirstBust + 1);
    ASSERT_NE(bust, nullptr);
    std::vector<flow_test::Sprite> parts = SpritesOf(bust);
    // The bust, the highlight and plain thumbnail strips, the name part.
    ASSERT_EQ(parts.size(), 4u);
    EXPECT_EQ(parts[0].x0, -200.0f);
    EXPECT_EQ(parts[0].u0, 184.0f);
    EXPECT_EQ(parts[0].x1 - parts[0].x0, 840.0f);
    EXPECT_EQ(parts[1].v0, 360.0f) << "highlight strip first";
    EXPECT_EQ(parts[2].v0, 0.0f);
    EXPECT_EQ(parts[1].x0, 664.0f);
    EXPECT_EQ(parts[2].y1 - parts[2].y0, 360.0f);
    EXPECT_EQ(parts[3].x0, 928.0f);
    for (uint32_t p : {0u, 2u, 3u})
        EXPECT_EQ(SpritesOf(select->GetTexture(SceneSelectPilot::kFirstBust + p)).size(), 1u)
            << "a plain thumbnail of pilot " << p + 1;
    for (uint32_t p : {4u, 5u})
        EXPECT_TRUE(SpritesOf(select->GetTexture(SceneSelectPilot::kFirstBust + p)).empty());
    EXPECT_EQ(hud.front().texture, select->GetTexture(SceneSelectPilot::kBackground1));
    EXPECT_EQ(hud.front().blend, 0u);
    EXPECT_EQ(hud.back().texture, select->GetTexture(SceneSelectPilot::kInfoBar));
    EXPECT_EQ(hud.back().x0, 761.0f);
}

TEST_F(PilotTest, PanelRowsSlideInFromBothSides) {
    ASSERT_NE(ToGrid(3), nullptr);
    Frame(kShot);
    Frames(10); // panel timer 10
    const Mireku::Graphics::Texture* rows = select->GetTexture(SceneSelectPilot::kDifficultyPanel);
    std::vector<flow_test::Sprite> drawn = SpritesOf(rows);
    ASSERT_EQ(drawn.size(), 3u);
    // k = timer - 3 row: 10, 7, 4; slide = 1000 ((20 - k) / 20)^2.
    EXPECT_FLOAT_EQ(drawn[0].x0, -250.0f);
    EXPECT_FLOAT_EQ(drawn[1].x0, 280.0f + 422.5f);
    EXPECT_FLOAT_EQ(drawn[2].x0, -640.0f);
    EXPECT_EQ(drawn[0].y0, 158.0f);
    EXPECT_EQ(drawn[1].v0, 112.0f * 4) << "the cursor row lit: look 1 of row 1";
    EXPECT_EQ(drawn[2].v0, 112.0f * 6);
    Frames(19);
    drawn = SpritesOf(rows);
    EXPECT_EQ(select->GetState(), 7);
    EXPECT_EQ(drawn[0].x0, 0.0f);
    EXPECT_EQ(drawn[1].x0, 280.0f);
    EXPECT_EQ(drawn[2].y0, 414.0f);
}

class PilotWithSound : public PilotTest {
protected:
    void SetUp() override {
        withSound = true;
        PilotTest::SetUp();
    }
};

TEST_F(PilotWithSound, ChoosingAPilotResetsThePlayerAndThePilotSpeaks) {
    work->config[ConfigBlock::kOffsetLives] = 5;
    work->player.score = 1234;
    ASSERT_NE(ToGrid(3), nullptr);
    Frame(InputManager::kRight);
    Frame(InputManager::kRight);
    Frames(3);
    Frame(kShot);
    EXPECT_EQ(work->player.ship, 2);
    EXPECT_EQ(work->player.score, 0u);
    EXPECT_EQ(work->player.lives, 4);
    int spoken = 0;
    for (uint32_t line = 1; line <= 3; ++line)
        spoken += sound->GetPilotVoice(2, line)->GetVoice()->IsStarted();
    EXPECT_EQ(spoken, 1) << "one of lines 1 to 3 of the pilot";
}

} // namespace
