// The far plane: the stage picture, centred and shifted against the ship,
// starting with its bottom edge at the bottom of the field and sliding down
// by its extra height over 7440 frames (stopping there while its first flag
// is set).
#pragma once

#include "game/enemy/background/BG_Base.h"

class BG_Plane : public BG_Base {
public:
    static constexpr float kSlideFrames = 7440.0f;

    using BG_Base::BG_Base;

    void Draw() override;
    // The picture's top edge on the field at the current frame.
    float TopOf(float height) const;
};
