#include "game/enemy/staging/StageStartDirection.h"

#include "game/core/GlobalWork.h"
#include "game/core/SoundManager.h"
#include "game/stage/GameObjectDirector.h"

StageStartDirection::StageStartDirection(GameObjectDirector* owner) : GameObject(owner) {
    if (owner)
        owner->HoldInput();
    if (GlobalWork* gw = GlobalWork::GetInstance()) {
        gw->player.invincibleTimer = -1; // until further notice
        gw->player.invincible = 1;
    }
    if (SoundManager* sound = SoundManager::GetInstance())
        sound->PlaySE(kSound, false);
}

void StageStartDirection::Update() {
    GameObjectDirector* director = GetOwner();
    if (counter_ < kFrames) {
        const float q = static_cast<float>(kFrames - counter_) / kFrames;
        const float q4 = q * q * q * q;
        if (director) {
            director->SetPlayerPose(0.0f, kRestY + kRise * q4, 1.0f);
            director->SetStagingScale(1.0f + kScaleRise * q4);
        }
        ++counter_;
    }
    if (counter_ != kFrames)
        return;
    GlobalWork* gw = GlobalWork::GetInstance();
    if (gw) {
        if (gw->storyMode && gw->storyFlag2)
            gw->storyPending = 1;
        gw->player.invincibleTimer = kAfterInvincibility;
    }
    if (director)
        director->ReleaseInput();
    Vanish();
}
