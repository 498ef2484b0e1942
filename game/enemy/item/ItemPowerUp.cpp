#include "game/enemy/item/ItemPowerUp.h"

#include "game/enemy/item/ItemRules.h"
#include "game/stage/GameObjectDirector.h"

namespace {

constexpr int32_t kPicture = 100;        // "item_pow1.dds"
constexpr int32_t kRestorePicture = 101; // "item_pow2.dds"
constexpr uint32_t kSequence[4] = {0, 1, 2, 1};
constexpr float kFrameWidth = 112.0f;
constexpr float kFrameTop = 80.0f;
constexpr float kFrameHeight = 80.0f;

} // namespace

ItemPowerUp::ItemPowerUp(GameObjectDirector* owner, const Mireku::Common::Vector2& position)
    : GameObject(owner) {
    SetPosition(position.x, position.y);
    SetHitShapeActive(true);
}

uint32_t ItemPowerUp::GetFrame() const {
    return kSequence[counter_ / 4 % 4];
}

void ItemPowerUp::Update() {
    float x = position_.x;
    if (state_ == kRight) {
        x += kSway;
        if (x > kEdge) {
            x = kEdge;
            state_ = kLeft;
        }
    } else {
        x -= kSway;
        if (x < -kEdge) {
            x = -kEdge;
            state_ = kRight;
        }
    }
    SetPosition(x, position_.y + kSink);
    ++counter_;
    ItemRules::RegisterBox(*this, kBoxWidth, kBoxHeight);
}

void ItemPowerUp::Draw() {
    const int32_t picture = carried ? kRestorePicture : kPicture;
    const float u = kFrameWidth * static_cast<float>(GetFrame());
    for (SpriteLayer layer : {SpriteLayer::kItemAdd1, SpriteLayer::kItemBlend2})
        ItemRules::Centred(GetOwner(), layer, picture, u, kFrameTop, kFrameWidth, kFrameHeight,
                           screenPosition_);
}

void ItemPowerUp::OnCollision(GameObject*) {
    ItemRules::Take(*this);
    if (GameObjectDirector* director = GetOwner())
        director->CollectPowerUp(this, carried != 0);
    ItemRules::Protect();
}
