#include "game/enemy/explosion/EnemyDeadBomb.h"

#include "game/core/RandomManager.h"
#include "game/core/SpriteQuad.h"
#include "game/enemy/explosion/EnemyDeadBombParts.h"
#include "game/stage/GameObjectDirector.h"
#include "game/stage/StageTextureTable.h"

#include <numbers>
#include <utility>

namespace {

struct SizeLook {
    int32_t texture;
    SpriteLayer layer;
    float scale; // 0: the scale given
    uint32_t debrisVariant;
};

constexpr SizeLook kLooks[EnemyDeadBomb::kSizeCount] = {
    {StageTextureSlot::kExplosion, SpriteLayer::kEnemyBomb, 1.0f, 0},
    {StageTextureSlot::kExplosionB, SpriteLayer::kEnemyBomb, 1.5f, 1},
    {StageTextureSlot::kBossExplosion, SpriteLayer::kEnemyBlend, 0.0f, 0},
    {StageTextureSlot::kExplosionMiddle, SpriteLayer::kEnemyBomb, 1.0f, 0},
    {StageTextureSlot::kIceExplosion, SpriteLayer::kEnemyBomb, 1.0f, 0},
};

float Cosmetic(float low, float high) {
    RandomManager* random = RandomManager::GetInstance();
    return random ? random->RangeFloat(RandomManager::kPresentation, low, high) : low;
}

// Takes the block before anything is drawn, so that a full pool draws no
// numbers; `draw` yields the scale and angle.
template <class Draw>
EnemyDeadBomb* Make(GameObjectDirector* owner, uint32_t size,
                    const Mireku::Common::Vector2& position,
                    const Mireku::Common::Vector2& velocity, Draw draw) {
    if (!owner || !owner->IsAcceptingChildren())
        return nullptr;
    void* block = GameObjectAllocatorObject::operator new(sizeof(EnemyDeadBomb));
    if (!block)
        return nullptr;
    const auto [scale, angle] = draw();
    auto* bomb = ::new (block) EnemyDeadBomb(owner, size, position, velocity, angle, scale);
    owner->AddChild(bomb);
    return bomb;
}

} // namespace

EnemyDeadBomb::EnemyDeadBomb(GameObjectDirector* owner, uint32_t size,
                             const Mireku::Common::Vector2& position,
                             const Mireku::Common::Vector2& velocity, float angle, float scale)
    : GameObject(owner), velocity_(velocity), size_(size) {
    SetAngle(angle);
    SetScale(scale);
    SetPosition(position.x, position.y);
    if (size_ >= kSizeCount)
        return;
    if (kLooks[size_].scale > 0.0f)
        SetScale(kLooks[size_].scale);
    for (uint32_t i = 0; i < kDebrisCount; ++i)
        GameObject::Create<EnemyDeadBombParts>(owner, owner, position, kLooks[size_].debrisVariant);
}

EnemyDeadBomb* EnemyDeadBomb::CreateTurned(GameObjectDirector* owner, uint32_t size,
                                           const Mireku::Common::Vector2& position,
                                           const Mireku::Common::Vector2& velocity, float scale) {
    return Make(owner, size, position, velocity, [scale] {
        return std::pair{scale, Cosmetic(-std::numbers::pi_v<float>, std::numbers::pi_v<float>)};
    });
}

EnemyDeadBomb* EnemyDeadBomb::CreateScaledTurned(GameObjectDirector* owner, uint32_t size,
                                                 const Mireku::Common::Vector2& position,
                                                 const Mireku::Common::Vector2& velocity,
                                                 float scaleLow, float scaleHigh) {
    return Make(owner, size, position, velocity, [scaleLow, scaleHigh] {
        const float scale = Cosmetic(scaleLow, scaleHigh);
        return std::pair{scale, Cosmetic(-std::numbers::pi_v<float>, std::numbers::pi_v<float>)};
    });
}

void EnemyDeadBomb::Update() {
    // The explosion keeps its maker's last motion, fading, but does not move
    // by it: the pictures burst where the maker died.
    velocity_ = velocity_ * kDrag;
    if (++frameCounter_ > Lengths()[image_]) {
        frameCounter_ = 0;
        ++image_;
        if (Lengths()[image_] == kEnd)
            Vanish();
    }
}

void EnemyDeadBomb::Draw() {
    if (size_ >= kSizeCount || Lengths()[image_] == kEnd)
        return;
    const SizeLook& look = kLooks[size_];
    Mireku::Renderer::SpriteRenderer* layer;
    Mireku::Graphics::Texture* texture;
    if (!GetOwner()->GetSprite(look.layer, look.texture, &layer, &texture))
        return;
    SpriteQuad::Centred(layer, texture, SpriteQuad::kAlpha, static_cast<float>(image_ % 4) * kCell,
                        static_cast<float>(image_ / 4) * kCell, kCell, kCell, screenPosition_.x,
                        screenPosition_.y, scale_, angle_);
}
