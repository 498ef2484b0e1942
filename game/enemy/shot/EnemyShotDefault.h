// The enemy bullet every emitter fires: its look comes from its row of the
// mode's bullet table (two animated sprite tracks, alpha-blended and
// additive, and an optional spin) and its texture from the bullet texture
// index. It leaves the field on the left, right, bottom and top, moves,
// spins, and registers a 4 by 4 box centred on itself.
#pragma once

#include "game/enemy/shot/EnemyShotBase.h"

#include <cstdint>

struct BulletParamRow;
struct TexelRect;

class EnemyShotDefault : public EnemyShotBase {
public:
    static constexpr uint8_t kTracks = 2;
    // A track's counter shows frame counter / 4 and wraps at 16 at most.
    static constexpr uint8_t kCounterWrap = 16;
    static constexpr uint8_t kCounterPerFrame = 4;
    static constexpr int16_t kHitBox = 4;
    static constexpr int32_t kNoTexture = -1;

    EnemyShotDefault(GameObjectDirector* owner, GameObject* source, int32_t bullet,
                     const Mireku::Common::Vector2& position);
    // Leaves the registry, then the base.
    ~EnemyShotDefault() override;

    void Update() override;
    void Draw() override;

    // Enters the shot into the live-shot registry (once).
    void RegisterShot();
    void UnregisterShot();
    bool IsRegistered() const { return registered_ != 0; }

    // The row of a bullet number in the mode's bullet table; null when absent.
    static const BulletParamRow* BulletRowOf(int32_t bullet);
    // The bullet texture slot of a bullet number: the signed 10-bit texture
    // field of its "ebss_res_index.tsb" entry, kNoTexture when the entry is
    // absent or the slot lies outside the 32 bullet slots.
    static int32_t TextureSlotOf(int32_t bullet);
    // Width and height of an inclusive texel rectangle.
    static float Width(const TexelRect& r);
    static float Height(const TexelRect& r);

    const BulletParamRow* GetRow() const { return row_; }
    uint8_t GetCounter(uint32_t track) const { return track < kTracks ? counters_[track] : 0; }
    int32_t GetTextureSlot() const { return textureSlot_; }

private:
    void Animate();
    // The frame a track shows now (null without a row).
    const TexelRect* CurrentFrame(uint32_t track) const;

    const BulletParamRow* row_;
    uint8_t counters_[kTracks] = {};
    uint8_t registered_ = 0;
    int32_t textureSlot_;
};
