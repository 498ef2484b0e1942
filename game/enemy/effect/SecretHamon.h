// The ring that spreads where a hidden sub weapon is revealed: "secret_hamon
// .dds" growing to five times its size while it fades over 60 updates, on
// "Item_Add2". No collision.
#pragma once

#include "engine/common/Vector2.h"
#include "game/core/GameObject.h"

#include <cstdint>

class SecretHamon : public GameObject {
public:
    static constexpr uint32_t kLife = 60;
    static constexpr float kSize = 512.0f;
    static constexpr float kGrowth = 5.0f;

    SecretHamon(GameObjectDirector* owner, const Mireku::Common::Vector2& position);

    void Update() override;
    void Draw() override;

    uint32_t GetAlpha() const { return alpha_; }

private:
    uint32_t age_ = 0;
    uint32_t alpha_ = 255;
};
