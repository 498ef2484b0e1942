// The secret-weapon container being hit: the flip-book of
// "secret_hit_ani1.dds" to "secret_hit_ani8.dds".
#pragma once

#include "game/enemy/effect/SecretWeaponFlipBook.h"
#include "game/stage/StageTextureTable.h"

class SecretWeaponHit : public SecretWeaponFlipBook {
public:
    SecretWeaponHit(GameObjectDirector* owner, const Mireku::Common::Vector2& position)
        : SecretWeaponFlipBook(owner, position, StageTextureSlot::kSecretHit,
                               StageTextureSlot::kSecretShow - 1) {}
};
