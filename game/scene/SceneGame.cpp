#include "game/scene/SceneGame.h"

#include "game/core/GlobalWork.h"
#include "game/flow/SceneDriver.h"
#include "game/scene/SceneTitle.h"

namespace {

uint32_t g_starts = 0;
SceneGame::Start g_last;
bool g_held = false;

} // namespace

uint32_t SceneGame::GetStartCount() {
    return g_starts;
}

const SceneGame::Start& SceneGame::GetLastStart() {
    return g_last;
}

void SceneGame::ClearStarts() {
    g_starts = 0;
    g_last = Start{};
}

void SceneGame::SetHeld(bool held) {
    g_held = held;
}

SceneGame::SceneGame() {
    if (GlobalWork* work = GlobalWork::GetInstance())
        work->TakeProgressSnapshot();
}

void SceneGame::Begin() {
    if (const GlobalWork* work = GlobalWork::GetInstance()) {
        start_.ship = work->player.ship;
        start_.mode = work->mode;
        start_.stage = work->stage;
        start_.gameType = work->gameType;
        start_.story = work->storyMode;
        start_.demo = work->attractDemo;
        start_.subWeapons = work->subWeaponUnlocked;
        start_.lastPilot = work->lastPilot;
    }
    ++g_starts;
    g_last = start_;
}

void SceneGame::Update() {
    if (IsFinished() || (g_held && !endRequested_))
        return;
    // A stage left without play ends as a demo or a game over without a
    // ranking does: at the title, with every screen over it (a story).
    Finish();
    if (SceneDriver* driver = SceneDriver::GetInstance()) {
        driver->EndAllScenes();
        driver->CreateScene<SceneTitle>();
    }
}
