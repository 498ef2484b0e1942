// A background plane: a stage object that draws one stage texture (by its
// id in the stage's fixed texture table) on one of the background sprite
// layers. The holder of the stage's background sets each plane up after
// making it. Counts its updates; draws nothing itself.
#pragma once

#include "game/core/GameObject.h"

#include <cstdint>

namespace Mireku::Graphics {
class Texture;
}

class BG_Base : public GameObject {
public:
    static constexpr float kDefaultSpeed = 2.0f;
    static constexpr int32_t kNoTexture = -1;

    // `context` is the holder's word (the stage index), kept by every plane.
    BG_Base(GameObjectDirector* owner, uint32_t context);

    void Update() override { ++frameCounter_; }

    // The first flag, the sprite layer index and the texture id.
    virtual void Setup(uint8_t flag, uint32_t layer, int32_t textureId);
    virtual void SetSpeed(float speed);

    uint32_t GetFrameCounter() const { return frameCounter_; }
    uint32_t GetContext() const { return context_; }
    float GetSpeed() const { return speed_; }
    uint8_t GetFlag() const { return flag_; }
    uint32_t GetLayer() const { return layer_; }
    int32_t GetTextureId() const { return textureId_; }

protected:
    // The plane's texture; null for no id or an empty slot.
    Mireku::Graphics::Texture* Texture(int32_t id) const;
    // The whole texture as a w x h quad at (x, y) of the plane's layer, in
    // the layer's blend.
    void Submit(Mireku::Graphics::Texture* texture, float x, float y, uint32_t colour) const;
    // Where a texture of width w sits: centred, shifted against the ship.
    float LeftOf(float w) const;

    uint32_t frameCounter_ = 0;
    uint32_t context_;
    float speed_ = kDefaultSpeed;
    uint8_t flag_ = 1;
    uint32_t layer_ = 0;
    int32_t textureId_ = kNoTexture;
};
