#include "game/scene/RankingOrTitle.h"

#include "game/core/GlobalWork.h"
#include "game/core/SoundManager.h"
#include "game/flow/SceneDriver.h"
#include "game/scene/SceneRanking.h"
#include "game/scene/SceneTitle.h"

namespace {

constexpr int32_t kVoiceFirstPlace = 29;

} // namespace

bool PushRankingIfPlaced() {
    SceneDriver* driver = SceneDriver::GetInstance();
    GlobalWork* work = GlobalWork::GetInstance();
    if (!driver || !work)
        return false;
    const int32_t place = work->InsertRanking();
    if (place < 0 || place >= SceneRanking::kRows)
        return false;
    if (place == 0)
        if (SoundManager* sound = SoundManager::GetInstance())
            sound->PlayVoice(work->player.ship, kVoiceFirstPlace);
    work->SetSceneArgs(work->mode, place);
    driver->CreateScene<SceneRanking>();
    return true;
}

void PushRankingOrTitle() {
    SceneDriver* driver = SceneDriver::GetInstance();
    if (!driver || !GlobalWork::GetInstance() || PushRankingIfPlaced())
        return;
    driver->CreateScene<SceneTitle>();
}
