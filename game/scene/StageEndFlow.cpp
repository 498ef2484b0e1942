#include "game/scene/StageEndFlow.h"

#include "game/core/GlobalWork.h"
#include "game/flow/SceneDriver.h"
#include "game/scene/SceneEnding.h"
#include "game/scene/SceneGame.h"
#include "game/scene/SceneGotoNextLoop.h"
#include "game/scene/SceneStory.h"
#include "game/scene/SceneStoryIntermission.h"
#include "game/scene/SceneTitle.h"

namespace {

constexpr uint32_t kStagesPerLoop = 12;
constexpr uint32_t kLastStageOfFirstLoop = 11;

} // namespace

AfterStage NextAfterStage(uint32_t stage, bool story, bool attractDemo) {
    if (attractDemo)
        return AfterStage::kTitle;
    const bool lastOfLoop = stage % kStagesPerLoop == kStagesPerLoop - 1;
    if (!story) {
        if (!lastOfLoop)
            return AfterStage::kNextStage;
        return stage == kLastStageOfFirstLoop ? AfterStage::kNextLoop : AfterStage::kEnding;
    }
    // After the 3rd, 6th and 9th stage of each loop.
    if (stage % 3 == 2 && !lastOfLoop)
        return AfterStage::kIntermission;
    return lastOfLoop ? AfterStage::kEnding : AfterStage::kNextStageWithStory;
}

void LeaveFinishedStage() {
    SceneDriver* driver = SceneDriver::GetInstance();
    GlobalWork* work = GlobalWork::GetInstance();
    if (!driver || !work)
        return;
    driver->EndAllScenes();
    switch (NextAfterStage(work->stage, work->storyMode != 0, work->attractDemo != 0)) {
    case AfterStage::kTitle:
        driver->CreateScene<SceneTitle>();
        break;
    case AfterStage::kNextStage:
        driver->StartFadeUp(1, {});
        driver->CreateScene<SceneGame>();
        ++work->stage;
        break;
    case AfterStage::kNextStageWithStory:
        driver->StartFadeUp(1, {});
        driver->CreateScene<SceneGame>();
        driver->CreateScene<SceneStory>(SceneStory::kBetweenStages);
        ++work->stage;
        break;
    case AfterStage::kNextLoop:
        driver->CreateScene<SceneGotoNextLoop>();
        break;
    case AfterStage::kIntermission:
        driver->CreateScene<SceneStoryIntermission>();
        break;
    case AfterStage::kEnding:
        driver->CreateScene<SceneEnding>();
        break;
    }
}
