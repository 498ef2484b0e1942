#include "game/scene/SceneStoryOpening.h"

#include "game/core/GlobalWork.h"
#include "game/flow/SceneDriver.h"
#include "game/scene/SceneGame.h"

void SceneStoryOpening::Begin() {
    if (const GlobalWork* work = GlobalWork::GetInstance())
        pilot_ = work->player.ship;
    ++s_starts;
}

void SceneStoryOpening::Update() {
    if (IsFinished() || (s_held && !endRequested_))
        return;
    Finish();
    if (SceneDriver* driver = SceneDriver::GetInstance())
        driver->CreateScene<SceneGame>();
}
