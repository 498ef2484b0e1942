// A beam column (sub weapon 1, and the decoys' beams of sub weapon 5): its
// head rises from the firing point at the row's head speed, the beam
// stretching behind it up to a length cap, after which the whole column
// rises; it goes once the head is a cap's length above the field. A narrow
// box (32 pixels) over the beam deals the row's total attack less the side
// attack; its side object, a wide box that moves with it, deals the rest
// and throws the sparks. Drawn additive as a head cap, a stretched body and
// a tail cap. The members differ by the constants of their Traits.
#pragma once

#include "engine/common/Vector2.h"
#include "game/player/SubWeaponBeamSide.h"
#include "game/player/SubWeaponObject.h"

#include <cstdint>

class SubWeaponBeamColumn : public SubWeaponObject {
public:
    static constexpr int16_t kWidth = 32;
    static constexpr float kDrawWidth = 240.0f;
    static constexpr float kCapHeight = 128.0f;

    struct Traits {
        int16_t (*headSpeed)(const ShipParamRow& row);
        int16_t (*totalAttack)(const ShipParamRow& row);
        int16_t (*sideAttack)(const ShipParamRow& row);
        // The longest beam, and how far above the field the head goes.
        float lengthCap;
        // The texture's first row of the tail cap (the body ends there).
        float tailTop;
        int32_t textureSlot;
        // Sub weapon 1 keeps to the ship's x; the decoys' beams stay put.
        bool followsPlayer;
        // Makes the column's side object (null when the pool has no block).
        SubWeaponBeamSide* (*makeSide)(GameObjectDirector* owner, const ShipParamRow* row);
    };

    // Counts itself on the ship and makes its side object at `position`.
    SubWeaponBeamColumn(GameObjectDirector* owner, Player* player,
                        const Mireku::Common::Vector2& position, const ShipParamRow* row,
                        const Traits& traits);
    // The side object goes too (not while the stage is torn down: it may
    // already be gone then).
    ~SubWeaponBeamColumn() override;

    void Update() override;
    void Draw() override;
    int16_t GetAttackPower() const override;

    SubWeaponBeamSide* GetSide() const { return side_; }
    const Mireku::Common::Vector2& GetSpawn() const { return spawn_; }
    // Spawn y less head y, at most the cap.
    float GetBeamLength() const;

private:
    const Traits& traits_;
    Mireku::Common::Vector2 spawn_;
    SubWeaponBeamSide* side_ = nullptr;
};
