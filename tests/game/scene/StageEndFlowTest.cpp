#include "game/scene/StageEndFlow.h"
#include "game/core/GameState.h"
#include "game/scene/SceneEnding.h"
#include "game/scene/SceneGame.h"
#include "game/scene/SceneGotoNextLoop.h"
#include "game/scene/SceneStory.h"
#include "game/scene/SceneStoryIntermission.h"
#include "support/StoryRig.h"

namespace {

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
