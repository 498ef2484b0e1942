// A stage caption (a, b or c), made at stage start for each caption picture
// that loaded, shown after its delay. Kept as its fields only: it does not
// draw yet.
#pragma once

#include "game/core/GameObject.h"

#include <cstdint>

class StageTelop : public GameObject {
public:
    StageTelop(GameObjectDirector* owner, uint32_t caption, int32_t delay);

    uint32_t GetCaption() const { return caption_; }
    int32_t GetDelay() const { return delay_; }

private:
    uint32_t caption_;
    int32_t delay_;
};
