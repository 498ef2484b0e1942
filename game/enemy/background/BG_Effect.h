// A star layer: its texture tiled two across and four down, scrolling down
// by its speed factor x its speed every drawn frame (wrapping every 512
// pixels). Once boosted (ObjBG::Activate) it fades in over 60 frames and
// speeds up to 3.5 times its speed; until then, after its countdown, a fast
// start slows to its plain speed.
#pragma once

#include "game/enemy/background/BG_Base.h"

#include <cstdint>

class BG_Effect : public BG_Base {
public:
    static constexpr float kFastFactor = 3.5f;
    static constexpr float kFactorRise = 0.025f;
    static constexpr float kFactorFall = 1.0f / 24.0f;
    static constexpr float kAlphaRise = 1.0f / 60.0f;
    static constexpr float kWrap = 512.0f;
    static constexpr int32_t kColumns = 2;
    static constexpr int32_t kRows = 4;

    using BG_Base::BG_Base;
    // Leaves the current holder's star list, so that Activate never boosts
    // a plane whose block is gone.
    ~BG_Effect() override;

    void Draw() override;

    // The animation state the holder starts it with.
    void Start(bool visible, int32_t countdown, float factor, float alpha);
    // Shown and boosted.
    void Boost();

    bool IsVisible() const { return visible_ != 0; }
    bool IsBoosted() const { return boosted_ != 0; }
    int32_t GetCountdown() const { return countdown_; }
    float GetFactor() const { return factor_; }
    float GetScroll() const { return scroll_; }
    float GetAlpha() const { return alpha_; }

private:
    // One drawn frame of the factor, the opacity and the scroll.
    void Step();

    uint8_t visible_ = 0;
    uint8_t boosted_ = 0;
    int32_t countdown_ = 0;
    float factor_ = 1.0f;
    float scroll_ = 0.0f;
    float alpha_ = 0.0f;
};
