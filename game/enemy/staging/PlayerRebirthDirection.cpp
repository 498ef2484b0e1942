#include "game/enemy/staging/PlayerRebirthDirection.h"

#include "game/core/GlobalWork.h"
#include "game/core/SpriteQuad.h"
#include "game/stage/GameObjectDirector.h"
#include "game/stage/StageTextureTable.h"

PlayerRebirthDirection::PlayerRebirthDirection(GameObjectDirector* owner,
                                               const Mireku::Common::Vector2& returnAt)
    : GameObject(owner), return_(returnAt) {
    if (owner)
        owner->HoldInput();
    if (GlobalWork* gw = GlobalWork::GetInstance()) {
        const SystemParamRow* system = gw->GetSystemRow();
        gw->player.invincibleTimer =
            PlayerWork::InvincibleFrames(system ? system->rebirthInvincibility : 0);
        gw->player.invincible = 1;
    }
    if (owner) {
        owner->SetPlayerPose(return_.x, kStartY, 1.0f);
        owner->FlagPlayer();
    }
}

void PlayerRebirthDirection::Update() {
    GameObjectDirector* director = GetOwner();
    ++frames_;
    switch (phase_) {
    case kWait:
        if (++timer_ > kWaitFrames) {
            timer_ = 0;
            phase_ = kSwing;
        }
        break;
    case kSwing: {
        const float t = timer_;
        float dx;
        if (timer_ < 15) {
            const float a = t / 15.0f;
            dx = 50.0f * a * a - 100.0f;
        } else {
            const float a = (30.0f - t) / 15.0f;
            dx = -50.0f * a * a;
        }
        const float q = (30.0f - t) / 30.0f;
        const float q4 = q * q * q * q;
        if (director)
            director->SetPlayerPose(return_.x + dx, kRestY + kRise * q4, 1.0f + kScaleRise * q4);
        if (++timer_ > kSwingFrames) {
            phase_ = kShown;
            timer_ = 0;
            if (director)
                director->ReleaseInput();
            if (GlobalWork* gw = GlobalWork::GetInstance())
                gw->player.down = 0;
            if (director)
                director->ClearEnemyShots();
        }
        break;
    }
    case kShown:
        if (++timer_ > kShownFrames) {
            phase_ = kOver;
            timer_ = 0;
            Vanish();
        }
        break;
    default:
        break;
    }
}

bool PlayerRebirthDirection::IsCaptionShown() const {
    return (phase_ == kSwing || phase_ == kShown) && (frames_ / kBlinkFrames) % 2 == 1;
}

void PlayerRebirthDirection::Draw() {
    if (!IsCaptionShown())
        return;
    Mireku::Renderer::SpriteRenderer* layer;
    Mireku::Graphics::Texture* texture;
    GameObjectDirector* director = GetOwner();
    if (!director ||
        !director->GetSprite(SpriteLayer::kPlayer, StageTextureSlot::kUi1, &layer, &texture))
        return;
    const Mireku::Common::Vector2 ship =
        GameObjectDirector::ToScreen(director->GetPlayerPosition());
    SpriteQuad::Place(layer, texture, SpriteQuad::kAdd, kCaptionU, kCaptionV, kCaptionWidth,
                      kCaptionHeight, ship.x - kCaptionLeft, ship.y - kCaptionUp, kCaptionWidth,
                      kCaptionHeight);
}
