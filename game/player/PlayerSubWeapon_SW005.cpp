#include "game/player/PlayerSubWeapon_SW005.h"

#include "game/player/PlayerSubWeapon_SW005Side.h"
#include "game/stage/StageTextureTable.h"

namespace {

const SubWeaponBeamColumn::Traits kTraits = {
    [](const ShipParamRow& row) { return row.sub5HeadSpeed; },
    [](const ShipParamRow& row) { return row.sub5Attack[0]; },
    [](const ShipParamRow& row) { return row.sub5Attack[1]; },
    PlayerSubWeapon_SW005::kLengthCap,
    1120.0f,
    StageTextureSlot::kSub5Column,
    false,
    [](GameObjectDirector* owner, const ShipParamRow* row) -> SubWeaponBeamSide* {
        return GameObject::Create<PlayerSubWeapon_SW005Side>(owner, owner, row);
    },
};

} // namespace

PlayerSubWeapon_SW005::PlayerSubWeapon_SW005(GameObjectDirector* owner, Player* player,
                                             GameObject* source, const ShipParamRow* row)
    : SubWeaponBeamColumn(owner, player,
                          source ? *source->GetPosition() : Mireku::Common::Vector2{}, row,
                          kTraits) {}
