#include "game/enemy/effect/PlayerExplosionSchedule.h"

#include "game/core/SoundManager.h"
#include "game/stage/GameObjectDirector.h"

namespace {

// Wherever the explosion is, the flash is centred on the ship.
void Flash(GameObjectDirector* director, float target, float zoom) {
    if (director)
        director->SetFlash(GameObjectDirector::ToScreen(director->GetPlayerPosition()), target,
                           zoom);
}

} // namespace

void PlayerExplosionSchedule::Start(GameObjectDirector* director) {
    Flash(director, kFlash, kZoom);
    if (SoundManager* sound = SoundManager::GetInstance())
        sound->PlaySE(kSound, false);
}

bool PlayerExplosionSchedule::Advance(GameObjectDirector* director) {
    if (kLengths[frame_] == kEnd || ++hold_ != kLengths[frame_])
        return false;
    hold_ = 0;
    ++frame_;
    if (frame_ == kFlashReleaseFrame)
        Flash(director, 0.0f, 1.0f);
    return kLengths[frame_] == kEnd;
}
