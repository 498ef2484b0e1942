#include "game/enemy/item/ItemRules.h"

#include "game/core/GlobalWork.h"
#include "game/core/SpriteQuad.h"
#include "game/player/Player.h"
#include "game/stage/FieldSprite.h"
#include "game/stage/GameObjectDirector.h"

namespace ItemRules {

uint8_t ShipState(const GameObjectDirector* director) {
    const Player* ship = director ? director->GetPlayer() : nullptr;
    return ship ? ship->state : static_cast<uint8_t>(Player::kNormal);
}

void RegisterBox(GameObject& item, int16_t w, int16_t h) {
    GameObjectDirector* director = item.GetOwner();
    if (ShipState(director) == Player::kGrabuster) {
        w = static_cast<int16_t>(w * 2);
        h = static_cast<int16_t>(h * 2);
    }
    item.SetHitBox(0, 0, w, h);
    if (director)
        director->RegisterCollision(kGroup, &item);
}

void Take(GameObject& item) {
    item.SetHitShapeActive(false);
    item.Vanish();
}

void Home(GameObject& item) {
    const GameObjectDirector* director = item.GetOwner();
    float x = 0.0f, y = 0.0f, scale = 1.0f;
    if (!director || !director->GetPlayerPose(&x, &y, &scale))
        return;
    const Mireku::Common::Vector2 to = Mireku::Common::Vector2{x, y} - *item.GetPosition();
    const float length = to.Length();
    if (!(length > 0.0f))
        return;
    item.SetPositionFromVector(*item.GetPosition() + to * (kHomingSpeed / length));
}

void Protect() {
    GlobalWork* gw = GlobalWork::GetInstance();
    if (!gw)
        return;
    const SystemParamRow* row = gw->GetSystemRow();
    gw->player.invincibleTimer = row ? row->powerUpInvincibility : 0;
    gw->player.invincible = 1;
}

void RefreshHyperioDisplay(GameObjectDirector* director) {
    if (Player* ship = director ? director->GetPlayer() : nullptr)
        ship->StartGrabusterCountdown();
}

void Centred(const GameObjectDirector* director, SpriteLayer layer, int32_t slot, float u, float v,
             float w, float h, const Mireku::Common::Vector2& centre) {
    SpriteQuad::Centred(FieldSprite::Layer(layer), FieldSprite::Texture(director, slot),
                        FieldSprite::BlendOf(layer), u, v, w, h, centre.x, centre.y, 1.0f, 0.0f);
}

} // namespace ItemRules
