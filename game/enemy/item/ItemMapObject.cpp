#include "game/enemy/item/ItemMapObject.h"

#include "game/core/GlobalWork.h"
#include "game/core/RandomManager.h"
#include "game/core/SoundManager.h"
#include "game/enemy/common/EBSS_Driver.h"
#include "game/enemy/item/ItemCell.h"
#include "game/enemy/item/ItemRules.h"
#include "game/player/Player.h"
#include "game/stage/GameObjectDirector.h"

namespace {

enum Reward : uint32_t {
    kOneLife = 254,
    kThreeLives = 255,
    kFiveLives = 256,
    kBothGauges = 257,
    kHyperioGauge = 258,
};

} // namespace

ItemMapObject::ItemMapObject(GameObjectDirector* owner, GameObject* carrier, uint32_t column,
                             uint32_t row, uint32_t type)
    : GameObject(owner), carrier_(carrier),
      rowRecord_(EBSS_Driver::EnemyRowOf(static_cast<int32_t>(type))), type_(type), column_(column),
      row_(row) {
    SetPositionFromVector(ItemCell::Centre(ItemCell::TopLeft(owner, column_, row_), rowRecord_));
    SetHitShapeActive(true);
}

void ItemMapObject::Update() {
    const Mireku::Common::Vector2 topLeft = ItemCell::TopLeft(GetOwner(), column_, row_);
    SetPositionFromVector(ItemCell::Centre(topLeft, rowRecord_));
    if (ItemCell::IsBelowField(topLeft))
        GameObject::Vanish();
    ItemRules::RegisterBox(*this, kBox, kBox);
}

void ItemMapObject::OnCollision(GameObject*) {
    GlobalWork* gw = GlobalWork::GetInstance();
    GameObjectDirector* director = GetOwner();
    SoundManager* sound = SoundManager::GetInstance();
    uint32_t r = 0;
    if (RandomManager* random = RandomManager::GetInstance())
        r = random->Next(RandomManager::kPresentation);
    const int32_t voice = kFirstVoice + static_cast<int32_t>(r % 3);
    if (gw && type_ >= kOneLife && type_ <= kHyperioGauge) {
        PlayerWork& p = gw->player;
        const uint8_t ship = ItemRules::ShipState(director);
        bool full = false;
        switch (type_) {
        case kOneLife:
            p.AddLives(1);
            break;
        case kThreeLives:
            p.AddLives(3);
            break;
        case kFiveLives:
            p.AddLives(5);
            break;
        case kBothGauges:
            if (director)
                director->AddBarionGauge(p, gw->BarionGaugeMax(p));
            p.AddHyperioGauge(gw->HyperioGaugeMax(p));
            ItemRules::RefreshHyperioDisplay(director);
            full = ship == Player::kBarionLaser;
            break;
        default: // the Hyperio gauge
            p.AddHyperioGauge(gw->HyperioGaugeMax(p));
            ItemRules::RefreshHyperioDisplay(director);
            full = ship == Player::kGrabuster;
            break;
        }
        if (sound) {
            sound->PlayVoice(p.ship, voice);
            if (full)
                sound->PlaySE(kFullSound, false);
        }
    }
    // The carrier and the item go; the item's shape stays on until then. A
    // carrier that has already gone from the stage is not touched: the
    // pointer may name a freed block.
    if (IsStageObject(carrier_))
        carrier_->Vanish();
    GameObject::Vanish();
}

bool ItemMapObject::IsStageObject(const GameObject* object) const {
    const GameObjectDirector* director = GetOwner();
    if (!object || !director)
        return false;
    for (const GameObject* c = director->GetFirstChild(); c; c = c->GetNextSibling())
        if (c == object)
            return true;
    return false;
}
