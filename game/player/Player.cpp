#include "game/player/Player.h"

#include "game/core/GlobalWork.h"
#include "game/core/SoundManager.h"

Player::Player(GameObjectDirector* owner) : GameObject(owner) {
    SetHitShapeActive(true);
    SetPosition(0.0f, 360.0f);
}

void Player::OnStageClear() {
    GlobalWork* gw = GlobalWork::GetInstance();
    if (state == kBarionLaser) {
        if (gw)
            gw->player.barionGauge = 0;
        grabStep = 0;
        state = kNormal;
    } else if (state == kGrabuster && grabPhase != kGrabWindDown) {
        if (gw)
            gw->player.hyperioGauge = 0;
        grabStep = 0;
        grabTick = 0;
        grabPhase = kGrabWindDown;
        if (SoundManager* sound = SoundManager::GetInstance()) {
            sound->PlaySE(kGrabEndSound, false);
            sound->StopSE(kGrabDrainSound);
        }
    }
}
