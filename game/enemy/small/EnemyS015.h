// Type 24: warps in where it was placed through eight pictures in 38 frames,
// standing still; then aims at the player (only then) and flies straight on
// as type 75 does.
#pragma once

#include "game/enemy/large/EnemyL015.h"

#include <cstdint>

class EnemyS015 : public EnemyL015 {
public:
    static constexpr int32_t kWarpIn = 0;
    static constexpr int32_t kWarpTextureBase = 85; // pictures 1-8: textures 86-93
    static constexpr int32_t kLastAddImage = 4;
    static constexpr int32_t kAppearSound = 74;
    static constexpr int32_t kDeathSound = 72;

    EnemyS015(GameObjectDirector* owner, int32_t type, const Mireku::Common::Vector2& spawn);

    void Move() override;
    void Draw() override;
    void PlayDeathSound() override;

    int32_t GetWarpStep() const { return warpStep_; }
    int32_t GetWarpImage() const { return warpImage_; }

private:
    int32_t warpStep_ = 0;
    // The table value the last move read (the picture number, 0 for none).
    int32_t warpImage_ = 0;
};
