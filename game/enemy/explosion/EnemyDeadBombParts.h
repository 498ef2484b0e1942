// One bit of explosion debris: a 16 by 16 cell of "ef_teki_baku_tb.dds"
// flying straight out, spinning and shrinking for 30 updates. Its picture,
// speed and direction are cosmetic draws from stream 0. No collision.
#pragma once

#include "engine/common/Vector2.h"
#include "game/core/GameObject.h"

#include <cstdint>

class EnemyDeadBombParts : public GameObject {
public:
    static constexpr int32_t kLife = 30;
    static constexpr float kCell = 16.0f;
    // The highest picture row of each variant (the sheet's column).
    static constexpr uint32_t kHighestImage[3] = {4, 4, 3};

    EnemyDeadBombParts(GameObjectDirector* owner, const Mireku::Common::Vector2& position,
                       uint32_t variant);

    void Update() override;
    void Draw() override;

    uint32_t GetImage() const { return image_; }
    uint32_t GetVariant() const { return variant_; }
    int32_t GetAge() const { return age_; }
    const Mireku::Common::Vector2& GetVelocity() const { return velocity_; }

private:
    int32_t age_ = 0;
    uint32_t variant_;
    uint32_t image_ = 0;
    Mireku::Common::Vector2 velocity_;
};
