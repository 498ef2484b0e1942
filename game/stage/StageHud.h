// The heads-up display of a stage, drawn on the "HUD" layer over the whole
// 1280 by 720 screen after the object tree: the play-field picture (shaken
// when asked), score bar, lives, sub weapon, side panels, stage number,
// gauges, the score-attack clock and, at the end of a stage or a score
// attack, the result tally. It keeps the display's own state: the screen
// shake, the gauges' shield-hit indicator and the clock's last second.
#pragma once

#include <cstdint>

namespace Mireku::Graphics {
class Texture;
}
namespace Mireku::Renderer {
class SpriteRenderer;
}
class GameObjectDirector;

class StageHud {
public:
    static constexpr int32_t kShieldHitFrames = 60;
    static constexpr int32_t kShieldHitShakeFrames = 15; // counter 0-14
    static constexpr int32_t kShieldHitFirstImage = 7;
    static constexpr int32_t kResultSound = 98;
    static constexpr int32_t kClockSound = 99;
    static constexpr int32_t kClockWarningFrames = 600;

    // Exactly `count` digits of `value`, leading zeros included: the digit of
    // weight 10^i is the 24 by 24 cell at source x 144 + 24 x digit of
    // `texture`, placed at x + (count - 1 - i) x 21.6.
    static void DrawDigits(Mireku::Renderer::SpriteRenderer* layer,
                           Mireku::Graphics::Texture* texture, uint32_t colour, uint64_t value,
                           uint32_t count, float x, float y);
    // A line of 48 by 48 cells centred on the screen: digits from `digits`,
    // "X" from `times`; a space only advances.
    static void DrawCentredNumber(Mireku::Renderer::SpriteRenderer* layer,
                                  Mireku::Graphics::Texture* digits,
                                  Mireku::Graphics::Texture* times, const char* text, float y);
    // The whole texture at its own size with its corner at field (x, y).
    static void DrawPicture(Mireku::Renderer::SpriteRenderer* layer,
                            Mireku::Graphics::Texture* texture, float y, float x);

    // Frames of the score attack left on the clock (0 once run out or while
    // the tally runs), and the clock's text "m:ss".
    static int32_t ClockRemaining(uint32_t mode, uint32_t frameCounter, bool tallyActive);
    static void ClockText(int32_t remaining, char* out, uint32_t size);
    // The top bar fades out while the ship flies under it (y below 150).
    static int32_t TopBarAlpha(float playerY);
    // The rank picture (0-10) of a score-attack score.
    static uint32_t RankOf(uint64_t score);

    void StartShake(int32_t frames, float amplitude, float cycles);
    void StartShieldHit();
    // The whole display, in drawing order.
    void Draw(GameObjectDirector& director, Mireku::Renderer::SpriteRenderer* layer);

    // Inspection.
    int32_t GetShakeFrames() const { return shakeFrames_; }
    int32_t GetShakeElapsed() const { return shakeElapsed_; }
    float GetShakeOffset() const { return shakeOffset_; }
    bool IsShieldHitShown() const { return shieldHit_ != 0; }
    int32_t GetShieldHitCounter() const { return shieldHitCounter_; }
    int32_t GetShieldHitImage() const { return shieldHitImage_; }
    // The gauges' offset of the last drawn frame.
    float GetGaugeOffsetX() const { return gaugeOffsetX_; }
    float GetGaugeOffsetY() const { return gaugeOffsetY_; }
    int32_t GetLastClockSecond() const { return lastClockSecond_; }

private:
    void DrawField(GameObjectDirector& director, Mireku::Renderer::SpriteRenderer* layer);
    void DrawTopBar(GameObjectDirector& director, Mireku::Renderer::SpriteRenderer* layer,
                    uint32_t colour);
    void DrawSubWeaponPlate(GameObjectDirector& director, Mireku::Renderer::SpriteRenderer* layer);
    void DrawStageResult(GameObjectDirector& director, Mireku::Renderer::SpriteRenderer* layer);
    void DrawScoreAttackResult(GameObjectDirector& director,
                               Mireku::Renderer::SpriteRenderer* layer);
    void DrawPanels(GameObjectDirector& director, Mireku::Renderer::SpriteRenderer* layer);
    void DrawSubWeaponList(GameObjectDirector& director, Mireku::Renderer::SpriteRenderer* layer);
    void DrawGauges(GameObjectDirector& director, Mireku::Renderer::SpriteRenderer* layer);
    void DrawClock(GameObjectDirector& director, Mireku::Renderer::SpriteRenderer* layer);

    int32_t shakeFrames_ = 0;
    int32_t shakeElapsed_ = 0;
    float shakeAmplitude_ = 0.0f;
    float shakeCycles_ = 0.0f;
    float shakeOffset_ = 0.0f;
    uint8_t shieldHit_ = 0;
    int32_t shieldHitCounter_ = 0;
    int32_t shieldHitImage_ = 0;
    float gaugeOffsetX_ = 0.0f;
    float gaugeOffsetY_ = 0.0f;
    int32_t lastClockSecond_ = -1;
};
