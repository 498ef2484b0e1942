// The base of a boss body and of its parts: the emitter grid and the row of
// its boss parameter row (group x 25 + index), the open flag (open: hittable
// and firing), the boss group, the first of its textures in the stage's boss
// texture slots, and the opening sparkle's step animation. Kind 4.
#pragma once

#include "game/core/SpriteLayer.h"
#include "game/enemy/common/EBSS_Driver.h"

#include <cstdint>

struct BossRecord;
namespace Mireku::Graphics {
class Texture;
}

class EnemyBaseBoss : public EBSS_Driver {
public:
    static constexpr uint32_t kStepFrames = 10;
    // Frames each image of the sparkle stays; 0 ends the animation.
    static constexpr uint32_t kStepLengths[kStepFrames] = {1, 1, 1, 2, 2, 2, 2, 3, 3, 0};
    static constexpr int32_t kNothingDrawn = -1;

    // Row group x 25 + index of the mode's boss table; the group is a byte.
    EnemyBaseBoss(GameObjectDirector* owner, uint32_t index, uint32_t group);

    uint32_t GetKind() const override { return kKindEnemy; }

    virtual int32_t GetHealthPercent() const { return 100; }
    virtual void RemovePart(GameObject* /*part*/) {}
    virtual uint8_t GetFlag() const { return open_; }
    virtual void SetFlag(uint8_t open) { open_ = open; }
    // Called with 1 when one of the body's parts opens.
    virtual void PartOpened(int32_t /*value*/) {}

    // Advances the sparkle and, when one of its images is due, draws boss
    // texture (first + image) additively at its own size centred on (x, y)
    // of `layer`; returns the image drawn or kNothingDrawn. Once run out it
    // draws nothing until ResetStepAnimation.
    int32_t DrawStepAnimation(GameObjectDirector* director, SpriteLayer layer, float x, float y,
                              uint32_t firstTexture);
    void ResetStepAnimation();

    const BossRecord* GetRow() const { return row_; }
    uint32_t GetGroup() const { return group_; }
    uint32_t GetIndex() const { return index_; }
    uint32_t GetTextureBase() const { return textureBase_; }
    int32_t GetState() const { return state_; }

protected:
    enum Anchor : uint8_t { kCentre, kTopLeft };
    // A boss texture's size; 0 by 0 for an empty slot.
    void TextureSize(uint32_t slot, int16_t* width, int16_t* height) const;
    // Boss texture `slot` at its own size on `layer`, its centre (or its
    // top-left corner) at (x, y) of the field layer, turned and scaled as
    // this object; null (nothing drawn) for an empty slot.
    Mireku::Graphics::Texture* DrawBossTexture(SpriteLayer layer, uint32_t slot, uint32_t blend,
                                               float x, float y, Anchor anchor = kCentre,
                                               uint32_t colour = 0xFFFFFFFFu) const;

    int32_t state_ = 0;
    uint8_t open_ = 0;
    uint32_t group_;
    uint32_t textureBase_ = 0;
    uint32_t stepCountdown_ = 0;
    uint32_t stepIndex_ = 0;
    const BossRecord* row_;
    uint32_t index_;
};
