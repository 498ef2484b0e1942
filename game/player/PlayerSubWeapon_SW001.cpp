#include "game/player/PlayerSubWeapon_SW001.h"

#include "game/player/Player.h"
#include "game/player/PlayerSubWeapon_SW001Fx.h"
#include "game/player/PlayerSubWeapon_SW001Side.h"
#include "game/stage/StageTextureTable.h"

namespace {

const SubWeaponBeamColumn::Traits kTraits = {
    [](const ShipParamRow& row) { return row.sub1Rise; },
    [](const ShipParamRow& row) { return row.sub1Attack[0]; },
    [](const ShipParamRow& row) { return row.sub1Attack[1]; },
    PlayerSubWeapon_SW001::kLengthCap,
    1552.0f,
    StageTextureSlot::kSub1Column,
    true,
    [](GameObjectDirector* owner, const ShipParamRow* row) -> SubWeaponBeamSide* {
        return GameObject::Create<PlayerSubWeapon_SW001Side>(owner, owner, row);
    },
};

} // namespace

PlayerSubWeapon_SW001::PlayerSubWeapon_SW001(GameObjectDirector* owner, Player* player,
                                             const Mireku::Common::Vector2& position,
                                             const ShipParamRow* row)
    : SubWeaponBeamColumn(owner, player, position, row, kTraits) {
    GameObject::Create<PlayerSubWeapon_SW001Fx>(owner, owner, player);
}
