#include "game/enemy/map/EnemyMapObject.h"

#include "game/core/GlobalWork.h"
#include "game/core/RandomManager.h"
#include "game/core/SoundManager.h"
#include "game/core/tables/EnemyRecord.h"
#include "game/enemy/effect/SecretHamon.h"
#include "game/enemy/effect/SecretWeaponHit.h"
#include "game/enemy/effect/SecretWeaponShow.h"
#include "game/enemy/explosion/EnemyDeadBombParts.h"
#include "game/enemy/explosion/MapObjectDeadBomb.h"
#include "game/enemy/item/ItemCell.h"
#include "game/enemy/item/ItemHyperio.h"
#include "game/enemy/item/ItemMapObject.h"
#include "game/enemy/item/ItemPowerUp.h"
#include "game/enemy/item/ItemSecretWeapon.h"
#include "game/enemy/small/SmallEnemySprite.h"
#include "game/player/PlayerShotBase.h"
#include "game/stage/GameObjectDirector.h"
#include "game/stage/StageTextureTable.h"

#include <numbers>

namespace {

constexpr uint32_t kPingPong[8] = {0, 1, 2, 3, 3, 2, 1, 0};
constexpr uint32_t kHitFrames[4] = {4, 5, 6, 7};
constexpr uint32_t kWreckFrames[4] = {1, 2, 3, 4};
constexpr int32_t kDebris = 16;

bool In(int32_t type, int32_t first, int32_t last) {
    return type >= first && type <= last;
}

bool PingPongs(int32_t type) {
    return In(type, 200, 203) || In(type, 217, 221) || In(type, 224, 236) || type == 240;
}
bool ShowsHits(int32_t type) {
    return In(type, 222, 223);
}
bool Loops(int32_t type) {
    return In(type, 237, 239);
}
bool HoldsSecretWeapon(int32_t type) {
    return In(type, 241, 247);
}
bool HoldsItem(int32_t type) {
    return In(type, 254, 258);
}
bool ClanksWhenHit(int32_t type) {
    return In(type, 202, 203) || In(type, 222, 229) || In(type, 237, 239) || In(type, 241, 263);
}
constexpr int32_t kPowerUpType = 240;

void Play(int32_t id) {
    if (SoundManager* s = SoundManager::GetInstance())
        s->PlaySE(id, false);
}

uint32_t CosmeticWord() {
    RandomManager* random = RandomManager::GetInstance();
    return random ? random->Next(RandomManager::kPresentation) : 0u;
}

} // namespace

EnemyMapObject::EnemyMapObject(GameObjectDirector* owner, int32_t type, uint32_t column,
                               uint32_t cellRow)
    : EnemyDefault(owner, type, {0.0f, 0.0f}), column_(column), cellRow_(cellRow) {
    SetHitShapeActive(true);
}

bool EnemyMapObject::IsLarge(int32_t type) {
    return In(type, 237, 239) || In(type, 248, 249) || type == 263;
}

uint32_t EnemyMapObject::Clock() const {
    const GameObjectDirector* director = GetOwner();
    const uint32_t frame = director ? director->GetFrameCounter() : 0u;
    return (frame >> 2) + column_ + cellRow_;
}

uint32_t EnemyMapObject::IntactFrame(uint32_t t) const {
    const int32_t type = GetType();
    if (ShowsHits(type))
        return hitThisFrame_ ? kHitFrames[t & 3] : kPingPong[t & 7];
    if (PingPongs(type))
        return kPingPong[t & 7];
    if (Loops(type))
        return t & 7;
    return 0;
}

void EnemyMapObject::Update() {
    const Mireku::Common::Vector2 cell = ItemCell::TopLeft(GetOwner(), column_, cellRow_);
    // Wholly below the field: the object goes (this frame still runs).
    if (ItemCell::IsBelowField(cell))
        GameObject::Vanish();
    const TexelRect& body = FrameRect(0, 0);
    SetPositionFromVector({cell.x + static_cast<float>(body.right - body.left) * 0.5f,
                           cell.y + static_cast<float>(body.bottom - body.top) * 0.5f});
    if (row_)
        SetHitBox(row_->hitOffsetX, row_->hitOffsetY, row_->hitWidth, row_->hitHeight);
    if (state_ == kIntact)
        UpdateEmitters(0);
    // A destroyed object, or a type whose box is empty, is never hit.
    GameObjectDirector* director = GetOwner();
    if (director && row_ && row_->hitWidth >= 1 && row_->hitHeight >= 1 && state_ == kIntact)
        director->RegisterCollision(kGroup, this);
}

void EnemyMapObject::Draw() {
    const uint32_t t = Clock();
    const int32_t type = GetType();
    Mireku::Graphics::Texture* sheet =
        FieldSprite::Texture(GetOwner(), StageTextureSlot::kMapObjectSheet);
    if (state_ == kIntact)
        SmallEnemySprite::Rect(SpriteLayer::kBGGround, sheet, FrameRect(0, IntactFrame(t)),
                               screenPosition_, 1.0f, 0.0f);
    else if (HoldsItem(type))
        SmallEnemySprite::Rect(SpriteLayer::kItemBlend2, sheet, FrameRect(0, kWreckFrames[t & 3]),
                               screenPosition_, 1.0f, 0.0f);
    else
        SmallEnemySprite::Rect(SpriteLayer::kBGGround, sheet, FrameRect(1, 0), screenPosition_,
                               1.0f, 0.0f);
    hitThisFrame_ = 0;
}

void EnemyMapObject::OnCollision(GameObject* other) {
    if (!other || other->GetKind() != kKindPlayerShot)
        return;
    hitThisFrame_ = 1;
    bool killed = false;
    if (state_ == kIntact && row_) {
        auto* weapon = static_cast<PlayerShotBase*>(other);
        damage_ = static_cast<uint16_t>(damage_ + weapon->GetAttackPower());
        if (static_cast<int32_t>(damage_) >= row_->health) {
            killed = true;
            PayReward(other);
        }
    }
    const int32_t type = GetType();
    GameObjectDirector* director = GetOwner();
    if (ClanksWhenHit(type))
        Play(kHitSound);
    if (HoldsSecretWeapon(type) || HoldsItem(type))
        GameObject::Create<SecretWeaponHit>(director, director, position_);
    if (!killed)
        return;
    state_ = kDestroyed;
    SetHitShapeActive(false);
    Destroy();
}

void EnemyMapObject::PayReward(GameObject* killer) {
    auto* weapon = static_cast<PlayerShotBase*>(killer);
    GlobalWork* gw = GlobalWork::GetInstance();
    GameObjectDirector* director = GetOwner();
    if (!gw)
        return;
    PlayerWork& player = gw->player;
    const auto score = static_cast<int64_t>(row_->score);
    switch (weapon->GetWeaponFamily()) {
    case PlayerShotBase::kFamilyShot:
        player.AddScore(score);
        if (director)
            director->AddBarionGauge(player, row_->barionReward);
        break;
    case PlayerShotBase::kFamilyBarionLaser:
        player.AddScore(score);
        GameObject::Create<ItemHyperio>(director, director, position_, uint8_t{0});
        break;
    case PlayerShotBase::kFamilyGrabuster:
        ++player.grabusterHits;
        SetChainLevel(player.grabusterHits);
        player.AddScore(score * static_cast<int64_t>(GetChainScore()));
        break;
    default: // the Barion shield destroys but pays nothing
        break;
    }
}

void EnemyMapObject::Destroy() {
    const int32_t type = GetType();
    GameObjectDirector* director = GetOwner();
    if (HoldsSecretWeapon(type) || HoldsItem(type)) {
        if (HoldsSecretWeapon(type))
            GameObject::Create<ItemSecretWeapon>(director, director, column_, cellRow_,
                                                 static_cast<uint32_t>(type));
        else
            GameObject::Create<ItemMapObject>(director, director, this, column_, cellRow_,
                                              static_cast<uint32_t>(type));
        GameObject::Create<SecretWeaponShow>(director, director, position_);
        GameObject::Create<SecretHamon>(director, director, position_);
    }
    const bool large = IsLarge(type);
    if (large)
        Play(kLargeSound);
    else
        Play(kFirstSmallSound + static_cast<int32_t>(CosmeticWord() & 1));
    if (type == kPowerUpType)
        GameObject::Create<ItemPowerUp>(director, director, position_);
    const TexelRect& body = FrameRect(0, 0);
    const int32_t halfWidth = (body.right - body.left + 1) / 2;
    const int32_t halfHeight = (body.bottom - body.top + 1) / 2;
    RandomManager* random = RandomManager::GetInstance();
    const float pi = std::numbers::pi_v<float>;
    const float angle = random ? random->RangeFloat(RandomManager::kPresentation, -pi, pi) : 0.0f;
    GameObject::Create<MapObjectDeadBomb>(director, director, column_, cellRow_, halfWidth,
                                          halfHeight, angle, large ? 1.0f : 0.5f);
    if (large)
        for (int32_t i = 0; i < kDebris; ++i)
            GameObject::Create<EnemyDeadBombParts>(director, director, position_, 0u);
}
