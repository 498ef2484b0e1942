// The short flash that replaces an erased enemy bullet: five 80 by 80 cells
// of "ef_tama_haip.dds" in a row, three frames each. No collision.
#pragma once

#include "engine/common/Vector2.h"
#include "game/core/GameObject.h"

#include <cstdint>

class EnemyShotDelete : public GameObject {
public:
    static constexpr uint16_t kImages = 5;
    static constexpr uint16_t kFramesPerImage = 3;
    static constexpr float kCell = 80.0f;

    EnemyShotDelete(GameObjectDirector* owner, const Mireku::Common::Vector2& position);

    void Update() override;
    void Draw() override;

    uint16_t GetImage() const { return image_; }

private:
    uint16_t frameCounter_ = 0;
    uint16_t image_ = 0;
};
