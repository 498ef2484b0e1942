#include "game/enemy/item/ItemSecretWeapon.h"

#include "game/core/GlobalWork.h"
#include "game/core/RandomManager.h"
#include "game/core/SoundManager.h"
#include "game/core/SpriteQuad.h"
#include "game/enemy/common/EBSS_Driver.h"
#include "game/enemy/effect/PowerUpCreation.h"
#include "game/enemy/item/ItemCell.h"
#include "game/enemy/item/ItemRules.h"
#include "game/stage/FieldSprite.h"
#include "game/stage/GameObjectDirector.h"

#include <numbers>

namespace {

constexpr float kPi = std::numbers::pi_v<float>;
constexpr int32_t kPicture = 100; // "item_pow1.dds"
constexpr float kFadeStep = 0.05f;
constexpr float kPhaseStep = 0.02f;
constexpr float kFrame = 96.0f;
constexpr float kIcon = 32.0f;

} // namespace

ItemSecretWeapon::ItemSecretWeapon(GameObjectDirector* owner, uint32_t column, uint32_t row,
                                   uint32_t type)
    : GameObject(owner), column_(column), row_(row), type_(type) {
    Place();
    SetHitShapeActive(true);
}

bool ItemSecretWeapon::Place() {
    const Mireku::Common::Vector2 topLeft = ItemCell::TopLeft(GetOwner(), column_, row_);
    SetPositionFromVector(
        ItemCell::Centre(topLeft, EBSS_Driver::EnemyRowOf(static_cast<int32_t>(type_))));
    return !ItemCell::IsBelowField(topLeft);
}

void ItemSecretWeapon::Update() {
    if (!Place())
        GameObject::Vanish();
    if (fade_ < 1.0f)
        fade_ += kFadeStep;
    phase_ += kPhaseStep;
    if (phase_ > kPi)
        phase_ -= 2.0f * kPi;
    ItemRules::RegisterBox(*this, kBox, kBox);
}

void ItemSecretWeapon::Draw() {
    const SpriteLayer which = SpriteLayer::kEtcUnder;
    Mireku::Renderer::SpriteRenderer* layer = FieldSprite::Layer(which);
    Mireku::Graphics::Texture* texture = FieldSprite::Texture(GetOwner(), kPicture);
    const float x = screenPosition_.x, y = screenPosition_.y;
    SpriteQuad::Centred(layer, texture, SpriteQuad::kAlpha, 336.0f, 0.0f, kFrame, kFrame, x, y,
                        1.0f, 0.0f);
    SpriteQuad::Centred(layer, texture, SpriteQuad::kAlpha, 432.0f,
                        kIcon * static_cast<float>(GetWeapon()), kIcon, kIcon, x, y, 1.0f, 0.0f);
    // The glow: faded in by the fade and turned by the phase, one way and
    // the other.
    const uint32_t glow = SpriteQuad::WhiteWithAlpha(static_cast<int32_t>(fade_ * 255.0f));
    SpriteQuad::Centred(layer, texture, SpriteQuad::kAdd, 336.0f, 96.0f, kFrame, kFrame, x, y, 1.0f,
                        phase_, glow);
    SpriteQuad::Centred(layer, texture, SpriteQuad::kAdd, 336.0f, 192.0f, kFrame, kFrame, x, y,
                        1.0f, -phase_, glow);
}

void ItemSecretWeapon::OnCollision(GameObject*) {
    ItemRules::Take(*this);
    GlobalWork* gw = GlobalWork::GetInstance();
    GameObjectDirector* director = GetOwner();
    SoundManager* sound = SoundManager::GetInstance();
    if (!gw)
        return;
    const uint32_t weapon = GetWeapon();
    if (!gw->IsSubWeaponUnlocked(weapon)) {
        gw->SetSubWeaponUnlocked(weapon, true);
        // Types 246 and 247 set their bits but name no weapon the ship can
        // fire: it keeps the one it has rather than firing nothing.
        if (weapon < GameObjectDirector::kSubWeapons)
            gw->player.subWeapon = static_cast<uint8_t>(weapon);
        uint32_t r = 0;
        if (RandomManager* random = RandomManager::GetInstance())
            r = random->Next(RandomManager::kPresentation);
        if (sound) {
            sound->PlayVoice(gw->player.ship, kFirstVoice + static_cast<int32_t>(r % 3));
            sound->PlaySE(kSound, false);
        }
        if (director)
            director->SetSecretWeapon(1, 0);
    } else {
        gw->player.AddScore(kOwnedScore);
        if (director)
            CreatePowerUpScore(director, director->GetPlayerPosition());
        if (sound)
            sound->PlaySE(kSound, false);
    }
    ItemRules::Protect();
}
