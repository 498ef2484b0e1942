#include "game/enemy/item/ItemGrabuster.h"

#include "game/core/GlobalWork.h"
#include "game/core/SoundManager.h"
#include "game/core/SpriteQuad.h"
#include "game/enemy/item/ItemRules.h"
#include "game/stage/FieldSprite.h"

namespace {

// The pictures of each chain level: the appearing medal's size, the first
// score caption and the first level picture with its size.
constexpr float kMedalSizes[5] = {100.0f, 120.0f, 140.0f, 160.0f, 240.0f};
constexpr int32_t kCaptions[5] = {273, 283, 293, 303, 313};
constexpr int32_t kLevelPictures[5] = {168, 189, 210, 231, 252};
constexpr float kLevelSizes[5] = {96.0f, 96.0f, 128.0f, 128.0f, 160.0f};
constexpr int32_t kMedal = 35; // "ef_tama_medal.dds"
constexpr float kMedalCell = 160.0f;
constexpr float kCaptionWidth = 261.0f;
constexpr float kCaptionHeight = 61.0f;
constexpr uint16_t kLevelFrames = 21;

} // namespace

ItemGrabuster::ItemGrabuster(GameObjectDirector* owner, const Mireku::Common::Vector2& position,
                             uint32_t chainLevel, int32_t delay)
    : GameObject(owner), delay_(static_cast<uint16_t>(delay)) {
    chainLevel_ = chainLevel;
    SetPosition(position.x, position.y);
    SetHitShapeActive(false);
}

void ItemGrabuster::Update() {
    switch (state_) {
    case kDelay:
        if (++timer_ > delay_) {
            state_ = kAppear;
            timer_ = 0;
        }
        break;
    case kAppear:
        if (++timer_ > 2) {
            ++frame_;
            timer_ = 0;
        }
        if (frame_ > 5) {
            frame_ = 0;
            state_ = kCaption;
        }
        break;
    case kCaption:
        SetPosition(position_.x, position_.y + 1.0f);
        if (++timer_ > 1) {
            ++frame_;
            timer_ = 0;
        }
        if (frame_ == 10) {
            frame_ = 0;
            state_ = kWait;
        }
        break;
    case kWait:
        if (++timer_ == 10) {
            SetHitShapeActive(true);
            state_ = kHoming;
        }
        break;
    case kHoming: {
        ++timer_;
        const GlobalWork* gw = GlobalWork::GetInstance();
        if (gw && gw->player.down)
            SetPosition(position_.x, position_.y + kDownWhileDown);
        else
            ItemRules::Home(*this);
        break;
    }
    default:
        break;
    }
    ItemRules::RegisterBox(*this, kBox, kBox);
}

void ItemGrabuster::Draw() {
    const GameObjectDirector* director = GetOwner();
    const uint32_t level = Level();
    const Mireku::Common::Vector2& at = screenPosition_;
    switch (state_) {
    case kAppear: {
        // Its top-left 80 above and 80 left of the item, whatever its size.
        const SpriteLayer layer = SpriteLayer::kItemAdd1;
        const float size = kMedalSizes[level];
        SpriteQuad::Place(FieldSprite::Layer(layer), FieldSprite::Texture(director, kMedal),
                          FieldSprite::BlendOf(layer), kMedalCell * frame_, 0.0f, kMedalCell,
                          kMedalCell, at.x - 80.0f, at.y - 80.0f, size, size);
        break;
    }
    case kCaption:
        ItemRules::Centred(director, SpriteLayer::kItemBlend2, kCaptions[level] + frame_, 0.0f,
                           0.0f, kCaptionWidth, kCaptionHeight, at);
        break;
    case kWait:
    case kHoming: {
        const float size = kLevelSizes[level] + 1.0f;
        ItemRules::Centred(director, SpriteLayer::kItemBlend2,
                           kLevelPictures[level] + timer_ % kLevelFrames, 0.0f, 0.0f, size, size,
                           at);
        break;
    }
    default:
        break;
    }
}

void ItemGrabuster::OnCollision(GameObject*) {
    ItemRules::Take(*this);
    if (GlobalWork* gw = GlobalWork::GetInstance())
        gw->player.AddScore(uint64_t{ChainScore(Level())} * kScoreFactor);
    if (SoundManager* s = SoundManager::GetInstance())
        s->PlaySE(kSound, false);
}
