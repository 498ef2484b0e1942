#include "game/enemy/item/ItemHyperio.h"

#include "game/core/GlobalWork.h"
#include "game/core/RandomManager.h"
#include "game/core/SoundManager.h"
#include "game/enemy/item/ItemRules.h"
#include "game/stage/GameObjectDirector.h"
#include "game/stage/StageInput.h"

namespace {

constexpr int32_t kAppearPicture = 323; // "ef_tama_haip.dds"
constexpr int32_t kBlendPicture = 98;   // "item_hyp1.dds"
constexpr int32_t kAddPicture = 99;     // "item_hyp2.dds"
constexpr float kCell = 80.0f;
constexpr uint16_t kFloatFrames = 32;
constexpr uint16_t kColumns = 6;

} // namespace

ItemHyperio::ItemHyperio(GameObjectDirector* owner, const Mireku::Common::Vector2& position,
                         uint8_t appear)
    : GameObject(owner), state_(appear ? kAppear : kFloat) {
    SetPosition(position.x, position.y);
    SetHitShapeActive(true);
    float r = 0.0f;
    if (RandomManager* random = RandomManager::GetInstance())
        r = random->RangeFloat(RandomManager::kPlay, 0.0f, 1.0f);
    velocity_ = {r * 4.0f - 2.0f, kRise};
}

void ItemHyperio::Update() {
    switch (state_) {
    case kAppear:
        if (++timer_ > 2) {
            ++frame_;
            timer_ = 0;
        }
        if (frame_ > 4) {
            frame_ = 0;
            state_ = kFloat;
        }
        break;
    case kFloat: {
        ++timer_;
        SetPositionFromVector(position_ + velocity_);
        if (position_.y < kTop || position_.y > kBottom)
            GameObject::Vanish();
        velocity_.y += kFall;
        if (velocity_.y > kFastestFall)
            velocity_.y = kFastestFall;
        const GameObjectDirector* director = GetOwner();
        if (director && (director->GetInputWord() & StageInput::kShot) == 0)
            state_ = kHoming;
        break;
    }
    case kHoming:
        ++timer_;
        ItemRules::Home(*this);
        break;
    default:
        break;
    }
    ItemRules::RegisterBox(*this, kBox, kBox);
}

void ItemHyperio::Draw() {
    const GameObjectDirector* director = GetOwner();
    if (state_ == kAppear) {
        ItemRules::Centred(director, SpriteLayer::kItemAdd2, kAppearPicture, kCell * frame_, 0.0f,
                           kCell, kCell, screenPosition_);
        return;
    }
    const uint16_t f = timer_ % kFloatFrames;
    const float u = kCell * static_cast<float>(f % kColumns);
    const float v = kCell * static_cast<float>(f / kColumns);
    ItemRules::Centred(director, SpriteLayer::kItemAdd1, kAddPicture, u, v, kCell, kCell,
                       screenPosition_);
    ItemRules::Centred(director, SpriteLayer::kItemBlend2, kBlendPicture, u, v, kCell, kCell,
                       screenPosition_);
}

void ItemHyperio::OnCollision(GameObject*) {
    ItemRules::Take(*this);
    GlobalWork* gw = GlobalWork::GetInstance();
    const SystemParamRow* row = gw ? gw->GetSystemRow() : nullptr;
    if (gw && row)
        gw->player.AddHyperioGauge(row->hyperioAmount);
    ItemRules::RefreshHyperioDisplay(GetOwner());
    if (SoundManager* s = SoundManager::GetInstance())
        s->PlaySE(kSound, false);
    if (gw && row)
        gw->player.AddScore(row->hyperioScore);
}
