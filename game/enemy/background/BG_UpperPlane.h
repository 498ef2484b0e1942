// The map plane: the stage's map pictures stacked upwards from the bottom of
// the field (the first lowest), scrolled down at a fixed speed so that the
// stack's extra height passes in its run length of frames, shifted against
// the ship like the far plane.
#pragma once

#include "game/enemy/background/BG_Plane.h"

#include <cstdint>

class BG_UpperPlane : public BG_Plane {
public:
    static constexpr uint32_t kMaxTextures = 16;

    using BG_Plane::BG_Plane;

    void Draw() override;

    // The pictures (at most 16) and the frames their run takes.
    void SetTextures(const int32_t* ids, int32_t count, int32_t runFrames);
    // The stack's scroll at the current frame, for a stack of height total.
    float ScrollOf(float total) const;

    int32_t GetCurrentTexture() const { return currentTexture_; }
    int32_t GetTextureCount() const { return textureCount_; }
    int32_t GetTexture(uint32_t i) const { return i < kMaxTextures ? textures_[i] : kNoTexture; }
    int32_t GetRunFrames() const { return runFrames_; }

private:
    int32_t currentTexture_ = kNoTexture;
    int32_t textures_[kMaxTextures] = {};
    int32_t textureCount_ = 0;
    int32_t runFrames_ = 0;
};
