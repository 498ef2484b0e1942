#include "game/enemy/boss01/EnemyBossBarrel.h"

#include "engine/graphics/Texture.h"
#include "game/core/RandomManager.h"
#include "game/core/SoundManager.h"
#include "game/core/SpriteManager.h"
#include "game/core/SpriteQuad.h"
#include "game/core/tables/BossRecord.h"
#include "game/enemy/boss01/BossReward.h"
#include "game/enemy/common/BossGauge.h"
#include "game/enemy/explosion/EnemyDeadBomb.h"
#include "game/player/PlayerShotBase.h"
#include "game/stage/GameObjectDirector.h"

namespace {

constexpr int32_t kSecondFormType = 292;
constexpr uint32_t kSecondFormTextures = 58;

} // namespace

EnemyBossBarrel::EnemyBossBarrel(GameObjectDirector* owner, int32_t type,
                                 const Mireku::Common::Vector2& /*home*/, uint32_t partIndex,
                                 uint32_t group)
    : EnemyBaseBoss(owner, partIndex, group), type_(type), partIndex_(partIndex) {
    textureBase_ = type == kSecondFormType ? kSecondFormTextures : 0;
    int16_t bodyWidth = 0, bodyHeight = 0;
    TextureSize(textureBase_, &bodyWidth, &bodyHeight);
    home_ = {0.0f, static_cast<float>(bodyHeight) * 0.5f};
    SetPosition(home_.x, home_.y);
    previous_ = home_;
    TextureSize(textureBase_ + kClosedTexture + partIndex_, &width_, &height_);
    ResetStepAnimation();
}

EnemyBossBarrel::~EnemyBossBarrel() {
    if (parent_)
        parent_->RemovePart(this);
}

int8_t EnemyBossBarrel::GetThreshold() const {
    return row_ ? row_->openThreshold : 0;
}

void EnemyBossBarrel::SetGauge(float health) const {
    // Part indexes run from 1; the body makes no more parts than the block holds.
    if (partIndex_ >= 1 && partIndex_ <= BossGauge::kMaxParts)
        BossGauge::Shared().bossPartHealth[partIndex_ - 1] = health;
}

void EnemyBossBarrel::PlaceOnParent(int16_t bodyWidth, int16_t bodyHeight, float bodyX,
                                    float bodyY) {
    const float ox = row_ ? row_->offsetX : 0.0f, oy = row_ ? row_->offsetY : 0.0f;
    bodyWidth_ = bodyWidth;
    bodyHeight_ = bodyHeight;
    SetPositionFromVector(
        {bodyX - static_cast<float>(bodyWidth) / 2.0f + ox + static_cast<float>(width_) / 2.0f,
         bodyY - static_cast<float>(bodyHeight) / 2.0f + oy + static_cast<float>(height_) / 2.0f});
}

bool EnemyBossBarrel::TryOpen(bool apply) {
    if (!parent_ || parent_->GetHealthPercent() > GetThreshold() || open_)
        return false;
    if (!apply)
        return true;
    parent_->PartOpened(1);
    open_ = firing_ = parent_->GetFlag();
    if (open_ && GetThreshold() != kSilentThreshold)
        if (SoundManager* sound = SoundManager::GetInstance())
            sound->PlaySE(kOpenSound, false);
    return true;
}

void EnemyBossBarrel::Explode(const float* angle) {
    GameObjectDirector* director = GetOwner();
    const Mireku::Common::Vector2 velocity = position_ - previous_;
    if (angle) {
        if (director)
            GameObject::Create<EnemyDeadBomb>(director, director, BossReward::kExplosionSize,
                                              position_, velocity, *angle, 1.0f);
        return;
    }
    EnemyDeadBomb::CreateTurned(director, BossReward::kExplosionSize, position_, velocity, 1.0f);
}

void EnemyBossBarrel::DestroyPart() {
    Vanish();
    uint32_t r = 0;
    if (RandomManager* random = RandomManager::GetInstance())
        r = random->Next(RandomManager::kPresentation);
    if (SoundManager* sound = SoundManager::GetInstance())
        sound->PlaySE(kFirstDeathSound + static_cast<int32_t>(r & 3), false);
    Explode(nullptr);
    SetGauge(0.0f);
}

void EnemyBossBarrel::Detach() {
    Vanish();
    parent_ = nullptr;
    SetGauge(0.0f);
}

void EnemyBossBarrel::Update() {
    previous_ = position_;
    if (firing_)
        UpdateEmitters(0);
    SetHitShapeActive(open_ != 0);
    SetHitBox(0, 0, width_, height_);
    if (GameObjectDirector* director = GetOwner())
        director->RegisterCollision(GetCollisionGroup(), this);
}

void EnemyBossBarrel::OnCollision(GameObject* other) {
    if (!other || other->GetKind() != kKindPlayerShot)
        return;
    const int32_t health = row_ ? row_->health : 0;
    damage_ += static_cast<PlayerShotBase*>(other)->GetAttackPower();
    const int32_t left = health - damage_;
    SetGauge(left > 0 ? static_cast<float>(left) : 0.0f);
    if (damage_ < health) {
        if (SoundManager* sound = SoundManager::GetInstance())
            sound->PlaySE(kHitSound, false);
        return;
    }
    SetHitShapeActive(false);
    Vanish();
    static constexpr BossReward kReward = {kKillScore, kKillSound, kGaugeShare, false};
    kReward.Pay(*this, *other, position_ - previous_);
}

void EnemyBossBarrel::Draw() {
    const float x = screenPosition_.x, y = screenPosition_.y;
    DrawBossTexture(SpriteLayer::kEnemyBlend,
                    textureBase_ + (open_ ? kOpenTexture : kClosedTexture) + partIndex_,
                    SpriteQuad::kAlpha, x, y);
    DrawBossTexture(SpriteLayer::kEnemyBlend, open_ ? kOpenRing : kClosedRing, SpriteQuad::kAdd, x,
                    y);
    if (open_)
        DrawStepAnimation(GetOwner(), SpriteLayer::kPlayerShotBlend, x, y, kFirstSparkle);
}
