#include "game/scene/StageEndFlow.h"
#include "game/core/GameState.h"
#include "game/scene/SceneEnding.h"
#include "game/scene/SceneGame.h"
#include "game/scene/SceneGotoNextLoop.h"
#include "game/scene/SceneStory.h"
#include "game/scene/SceneStoryIntermission.h"
#include "support/StoryRig.h"

namespace {

TEST(StageEndFlow, WhatFollowsEachStage) {
    for (uint32_t s = 0; s < 24; ++s) {
        const bool intermission = s == 2 || s == 5 || s == 8 || s == 14 || s == 17 || s == 20;
        const AfterStage story = s == 11 || s == 23 ? AfterStage::kEnding
                                 : intermission     ? AfterStage::kIntermission
                                                    : AfterStage::kNextStageWithStory;
        EXPECT_EQ(NextAfterStage(s, true, false), story) << "story, stage " << s;
        const AfterStage arcade = s == 11   ? AfterStage::kNextLoop
                                  : s == 23 ? AfterStage::kEnding
                                            : AfterStage::kNextStage;
        EXPECT_EQ(NextAfterStage(s, false, false), arcade) << "stage " << s;
        EXPECT_EQ(NextAfterStage(s, false, true), AfterStage::kTitle);
        EXPECT_EQ(NextAfterStage(s, true, true), AfterStage::kTitle);
    }
}

class StageEndLeaving : public story_test::StoryRig {
protected:
    // A stage screen of `stage` whose stage has ended: its stage-end wait
    // runs out and it hands the stage over.
    void EndStage(uint32_t stage, bool story) {
        driver->ClearAll();
        work->storyMode = story ? 1 : 0;
        work->stage = stage;
        driver->CreateScene<SceneGame>();
        ASSERT_NE(RunUntilState<SceneGame>(SceneGame::kRunning, 5), nullptr);
        work->gameState = GameState::kCleared;
        work->stageEndWait = 3;
        Frames(2);
        EXPECT_EQ(work->stageEndWait, 1) << "counted down once a frame";
        EXPECT_NE(Active<SceneGame>(), nullptr);
        EXPECT_EQ(driver->GetFirstActive()->nextInList, nullptr) << "nothing queued yet";
        Frame();
    }
};

TEST_F(StageEndLeaving, QueuesTheNextScreenAndMovesTheStageOn) {
    EndStage(2, true);
    EXPECT_NE(Active<SceneStoryIntermission>(), nullptr);
    EXPECT_EQ(work->stage, 2u) << "the intermission moves on itself";

    EndStage(3, true);
    EXPECT_NE(Active<SceneGame>(), nullptr);
    ASSERT_NE(Active<SceneStory>(), nullptr);
    EXPECT_EQ(Active<SceneStory>()->GetRequest(), SceneStory::kBetweenStages);
    EXPECT_EQ(work->stage, 4u);

    EndStage(23, true);
    EXPECT_NE(Active<SceneEnding>(), nullptr);
    EXPECT_EQ(work->stage, 23u);

    EndStage(11, false);
    EXPECT_NE(Active<SceneGotoNextLoop>(), nullptr);
    EXPECT_EQ(work->stage, 11u);

    EndStage(7, false);
    EXPECT_NE(Active<SceneGame>(), nullptr);
    EXPECT_EQ(Active<SceneStory>(), nullptr);
    EXPECT_EQ(work->stage, 8u);
}

} // namespace
