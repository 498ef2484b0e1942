#include "game/enemy/staging/StageClearDirection.h"

#include "game/core/GameState.h"
#include "game/core/GlobalWork.h"
#include "game/core/RandomManager.h"
#include "game/core/SoundManager.h"
#include "game/enemy/effect/PlayerFlyHamon.h"
#include "game/flow/SceneDriver.h"
#include "game/stage/GameObjectDirector.h"

StageClearDirection::StageClearDirection(GameObjectDirector* owner, bool flyOut)
    : GameObject(owner), flyOut_(flyOut ? 1 : 0) {
    if (owner)
        owner->HoldInput();
    GlobalWork* gw = GlobalWork::GetInstance();
    if (!gw)
        return;
    gw->player.invincibleTimer = -1;
    gw->player.invincible = 1;
    // The last boss of a loop hands over to its own scenes: no line here.
    if (gw->stage % 12 == kLastStageOfLoop)
        return;
    RandomManager* random = RandomManager::GetInstance();
    const uint32_t r = random ? random->Next(RandomManager::kPlay) : 0;
    if (SoundManager* sound = SoundManager::GetInstance())
        sound->PlayVoice(gw->player.ship, kFirstVoice + static_cast<int32_t>(r % 3));
}

void StageClearDirection::Update() {
    GameObjectDirector* director = GetOwner();
    if (flyOut_ && counter_ >= kFlyOutFrom && director) {
        if (counter_ == kFlyOutFrom)
            if (SoundManager* sound = SoundManager::GetInstance())
                sound->PlaySE(kFlyOutSound, false);
        float x = 0.0f, y = 0.0f, scale = 1.0f;
        if (director->GetPlayerPose(&x, &y, &scale))
            director->SetPlayerPose(x, y - kFlyOutStep, 1.0f);
        const Mireku::Common::Vector2 ship = director->GetPlayerPosition();
        director->SetFlash(GameObjectDirector::ToScreen(ship), kFlashTarget, kFlashZoom);
        if (counter_ % kRingEvery == 0)
            GameObject::Create<PlayerFlyHamon>(director, director, ship);
    }
    if (counter_ == kFadeAt) {
        GlobalWork* gw = GlobalWork::GetInstance();
        const bool story = gw && gw->storyMode;
        const int32_t frames = story ? kStoryFadeFrames : kFadeFrames;
        if (SceneDriver* scenes = SceneDriver::GetInstance())
            scenes->StartFadeUp(frames, Mireku::Common::Delegate00());
        if (gw) {
            gw->stageEndWait = frames;
            gw->gameState = GameState::kCleared;
            if (!story)
                gw->FreeReplayBuffer();
        }
    }
    ++counter_;
}
