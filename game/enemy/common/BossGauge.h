// The shared boss block: one game-wide record that the boss body and its
// parts write and the heads-up display reads and draws: the body and part
// health gauges (filling when a boss arrives, emptying as it is hurt) and the
// white-out over the whole screen.
#pragma once

#include <cstdint>

namespace Mireku::Renderer {
class SpriteRenderer;
}
class GameObjectDirector;

class BossGauge {
public:
    static constexpr uint32_t kMaxParts = 24;
    static constexpr int32_t kFillFrames = 60;
    static constexpr int32_t kFadeFrames = 60;
    static constexpr int32_t kAnimationFrames = 9;
    enum State : int32_t { kFilling = 0, kFull = 1, kFading = 2, kDone = 3 };
    // Boss texture slots of the gauge pictures.
    static constexpr uint16_t kFrameTexture = 116;
    static constexpr uint16_t kFillTexture = 117; // nine frames
    static constexpr uint16_t kPartTexture = 126;

    // The one block of the game.
    static BossGauge& Shared();

    // Everything 0, hidden (the director does this when a stage is made).
    void Reset();
    // A boss arrives: shown, filling from 0 towards `maximum`, with
    // `partCount` part gauges (within 0-24), all cleared, the animation at
    // its first frame.
    void Start(float maximum, int32_t partCount);
    // Part `part` (0-based; outside 0-23 ignored) fills from 0 towards
    // `target`.
    void SetPartTarget(int32_t part, int32_t target);
    void Hide() { bossGaugeVisible = 0; }
    bool IsFull() const { return bossGaugeState == kFull; }
    // One drawn frame, while shown: the gauges fill by 1/60 of their maximum
    // until all are full (state 1); once the body's shown health has reached
    // 0 they fade for 60 frames (state 2) and are done (state 3); the
    // animation frame steps modulo 9; then the body gauge and one gauge per
    // part are drawn on `layer` with `colour`.
    void Draw(Mireku::Renderer::SpriteRenderer* layer, const GameObjectDirector& director,
              uint32_t colour);
    // A white quad over the whole screen at the white-out's opacity.
    void DrawScreenFlash(Mireku::Renderer::SpriteRenderer* layer) const;

    // The part count the gauges use: bossPartCount within 0-24.
    uint32_t PartCount() const;
    // part / whole within 0-1; 0 when the whole is not positive (a boss row
    // without hit points), so a bar never divides by 0.
    static float Ratio(float part, float whole);

    uint8_t bossGaugeVisible = 0;
    int32_t bossGaugeState = kFilling;
    float bossHealthShown = 0.0f;
    float bossHealthMax = 0.0f;
    int32_t bossPartCount = 0;
    float bossPartHealth[kMaxParts] = {};
    float bossPartHealthMax[kMaxParts] = {};
    int32_t bossGaugeFrame = 0;
    float bossWhiteOut = 0.0f;
    int32_t fadeCounter = 0;

private:
    void Step();
    void DrawBar(Mireku::Renderer::SpriteRenderer* layer, const GameObjectDirector& director,
                 uint32_t colour, uint16_t texture, float x, float y, float ratio,
                 bool cropped) const;

    float frameRatio_ = 0.0f;
};
