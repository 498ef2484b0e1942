// The explosion of a destroyed map object: sixteen 256 by 256 cells of
// "ef_teki_baku2.dds" on "BGBomb", turned by its angle, fixed to a cell of
// the stage map (with an offset inside it) so that it scrolls with the map
// and shifts with the ship's parallax; 63 frames in all. Its own position
// stays at 0. No collision.
#pragma once

#include "game/core/GameObject.h"

#include <cstdint>

class MapObjectDeadBomb : public GameObject {
public:
    static constexpr int16_t kImages = 16;
    static constexpr float kCell = 256.0f;

    // Offsets in field units inside the cell; the scale is kept but not drawn.
    MapObjectDeadBomb(GameObjectDirector* owner, uint32_t cellX, uint32_t cellY, int32_t offsetX,
                      int32_t offsetY, float angle, float scale);

    void Update() override;
    void Draw() override;

    int16_t GetImage() const { return image_; }
    int16_t GetCounter() const { return counter_; }
    // Updates image i lasts past its first: 1, 2 or 3.
    static int16_t Length(int16_t image);
    // The screen position of the cell's top-left corner this frame.
    Mireku::Common::Vector2 TopLeft() const;

private:
    int16_t counter_ = -1;
    int16_t image_ = 0;
    uint32_t cellX_;
    uint32_t cellY_;
    int32_t offsetX_;
    int32_t offsetY_;
};
