// What every object of the five sub weapons that meets enemies shares: the
// ship's row it reads its numbers from, the ship that fired it, the
// player-shot group and the main shot's weapon family. The weapons that the
// firing limits (the columns, lasers, shots, bombs, explosions and decoys)
// count themselves in the ship's `subCount` while they live.
#pragma once

#include "engine/common/Vector2.h"
#include "game/core/tables/ShipParamRow.h"
#include "game/player/PlayerLiveCount.h"
#include "game/player/PlayerShotBase.h"
#include "game/stage/CollisionGroups.h"

#include <cstdint>

class Player;

class SubWeaponObject : public PlayerShotBase {
public:
    SubWeaponObject(GameObjectDirector* owner, Player* player, const ShipParamRow* row)
        : PlayerShotBase(owner), player_(player), row_(row) {}
    ~SubWeaponObject() override { count_.Leave(); }

    uint32_t GetCollisionGroup() const override { return CollisionGroups::kPlayerShots; }
    uint32_t GetWeaponFamily() const override { return kFamilyShot; }
    // Most companions deal nothing of their own.
    int16_t GetAttackPower() const override { return 0; }

    Player* GetPlayer() const { return player_; }
    // The ship's row; a row of zeros when the object was given none.
    const ShipParamRow& Row() const;

protected:
    // One more in the ship's live sub-weapon count while this object lives.
    void CountOnPlayer();
    // The ship's position; this object's own without a ship.
    Mireku::Common::Vector2 PlayerPosition() const;
    // This frame's hit shape into the own group.
    void RegisterHit();

    Player* player_;
    const ShipParamRow* row_;

private:
    PlayerLiveCountOf<int16_t> count_;
};
