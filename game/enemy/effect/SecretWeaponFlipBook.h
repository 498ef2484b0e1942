// What the two flip-books of the secret-weapon container share: each image
// is a stage texture slot of its own, the first shown for two updates and
// each following one for three, drawn white at the texture's own size (plus
// one texel) centred on the object, on "Item_Add2". No collision.
#pragma once

#include "engine/common/Vector2.h"
#include "game/core/GameObject.h"

#include <cstdint>

class SecretWeaponFlipBook : public GameObject {
public:
    static constexpr int16_t kLastTick = 2;

    void Update() override;
    void Draw() override;

    // The stage texture slot now shown.
    int16_t GetFrame() const { return frame_; }

protected:
    // Shows slots `first` to `last`.
    SecretWeaponFlipBook(GameObjectDirector* owner, const Mireku::Common::Vector2& position,
                         int16_t first, int16_t last);

private:
    int16_t tick_ = 0;
    int16_t frame_;
    int16_t last_;
};
