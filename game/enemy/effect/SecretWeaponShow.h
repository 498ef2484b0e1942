// The secret-weapon container opening: the flip-book of
// "secret_upin_ani1.dds" to "secret_upin_ani8.dds".
#pragma once

#include "game/enemy/effect/SecretWeaponFlipBook.h"
#include "game/stage/StageTextureTable.h"

class SecretWeaponShow : public SecretWeaponFlipBook {
public:
    SecretWeaponShow(GameObjectDirector* owner, const Mireku::Common::Vector2& position)
        : SecretWeaponFlipBook(owner, position, StageTextureSlot::kSecretShow,
                               StageTextureSlot::kLastSecretShow) {}
};
