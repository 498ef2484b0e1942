// A spark the Barion shield scatters around itself every third frame: one of
// four star pictures at a random spot and angle within the shield's size,
// flashing up to the shield's scale and back over four frames. Its
// randomness is cosmetic (stream 0). No collision.
#pragma once

#include "engine/common/Vector2.h"
#include "game/core/GameObject.h"

#include <cstdint>

class PlayerExWeapon_BarionShieldFx : public GameObject {
public:
    enum Phase : uint32_t { kOpening = 0, kClosing = 1 };
    static constexpr int16_t kFramesPerPhase = 2;
    // The four pictures, from the slot of the first.
    static constexpr uint32_t kPictures = 4;

    PlayerExWeapon_BarionShieldFx(GameObjectDirector* owner,
                                  const Mireku::Common::Vector2& position, float baseScale);

    void Update() override;
    void Draw() override;

    uint32_t GetTextureSlot() const { return textureSlot_; }
    float GetBaseScale() const { return baseScale_; }
    // The square of a picture's texels, by its slot.
    static float PictureSize(uint32_t slot);

private:
    uint32_t phase_ = kOpening;
    float baseScale_;
    int16_t counter_ = 0;
    uint32_t textureSlot_ = 0;
};
