#include "game/player/PlayerDead.h"

#include "game/core/SpriteQuad.h"
#include "game/core/tables/ShipParamRow.h"
#include "game/core/tables/TexelRect.h"
#include "game/enemy/effect/PlayerDeadBomb.h"
#include "game/enemy/effect/PlayerDeadBombHamon.h"
#include "game/enemy/effect/PlayerDeadBombParts.h"
#include "game/enemy/effect/PlayerDeadPod.h"
#include "game/enemy/staging/StagingCreation.h"
#include "game/player/Player.h"
#include "game/stage/FieldSprite.h"
#include "game/stage/GameObjectDirector.h"
#include "game/stage/StageTextureTable.h"

namespace {

// The warning's two images in "sys_ui1.dds".
constexpr TexelRect kWarning[2] = {{0, 344, 71, 416}, {72, 344, 143, 416}};

} // namespace

PlayerDead::PlayerDead(GameObjectDirector* owner, Player* player, uint8_t gameOver,
                       uint8_t playerIndex)
    : GameObject(owner), gameOver_(gameOver), playerIndex_(playerIndex), player_(player) {
    if (owner)
        owner->HoldInput();
}

void PlayerDead::Update() {
    ++frames_;
    const ShipParamRow* row = Player::ShipRow();
    const int32_t delay = row ? row->deathDelay : 0;
    if (frames_ < delay)
        return;
    GameObjectDirector* director = owner_;
    if (director)
        director->ReleaseInput();
    const Mireku::Common::Vector2 at = player_ ? *player_->GetPosition() : position_;
    if (player_)
        player_->visible = 0;
    GameObject::Create<PlayerDeadPod>(director, director, at, playerIndex_, gameOver_);
    GameObject::Create<PlayerDeadBomb>(director, director, at,
                                       static_cast<uint16_t>(row ? row->deathAttack : 0));
    GameObject::Create<PlayerDeadBombHamon>(director, director, at);
    for (uint32_t i = 0; i < kDebrisCount; ++i)
        GameObject::Create<PlayerDeadBombParts>(director, director, at);
    if (!gameOver_)
        CreatePlayerRebirthDirection(director, at);
    Vanish();
    if (director)
        director->StartShake(kShakeFrames, kShakeAmplitude, kShakeCycles);
}

int32_t PlayerDead::WarningImage(uint8_t frames) {
    // Blinks between its two images for as long as the delay lasts.
    if (frames < kWarningFrom)
        return -1;
    return (frames / kWarningFrames) % 2;
}

void PlayerDead::Draw() {
    const int32_t image = WarningImage(frames_);
    if (image < 0 || !player_)
        return;
    const TexelRect& r = kWarning[image];
    const Mireku::Common::Vector2* at = player_->GetScreenPosition();
    SpriteQuad::Centred(FieldSprite::Layer(SpriteLayer::kPlayer),
                        FieldSprite::Texture(owner_, StageTextureSlot::kUi1), SpriteQuad::kAlpha,
                        r.left, r.top, r.Width(), r.Height(), at->x, at->y, 1.0f, 0.0f);
}
