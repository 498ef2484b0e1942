// Player::Draw: the ship on the "Player" layer, from the ship's own folder
// ("player.dds", "player_ef1.dds" to "player_ef3.dds") and the common
// overlays.
#include "engine/renderer/SpriteRenderer.h"
#include "game/core/GlobalWork.h"
#include "game/core/SoundManager.h"
#include "game/core/SpriteQuad.h"
#include "game/player/Player.h"
#include "game/player/PlayerExWeapon_Grabuster.h"
#include "game/stage/FieldSprite.h"
#include "game/stage/GameObjectDirector.h"
#include "game/stage/StageTextureTable.h"

#include <cmath>
#include <numbers>

namespace {

using Mireku::Renderer::SpriteRenderer;

constexpr float kBody = 96.0f;
// Exhaust: 16 frames in a 4 by 4 grid of 224 by 112 cells; the third
// column is a texel narrower. Banks 0 and 1 use the sheet's lower half.
constexpr float kExhaustColumns[4] = {0.0f, 224.0f, 449.0f, 672.0f};
constexpr float kExhaustWidths[4] = {224.0f, 224.0f, 223.0f, 224.0f};
constexpr float kExhaustHeight = 112.0f;
constexpr float kExhaustLowerHalf = 448.0f;
constexpr float kExhaustBelow = 24.0f;
constexpr int32_t kExhaustSheet[5] = {1, 0, 0, 1, 2}; // "player_ef1.dds" + n, by bank frame
// Rows of "player.dds": body, glow, then both again for the Grabuster.
constexpr float kGrabusterRows = 192.0f;
constexpr float kGlowRow = 96.0f;
constexpr int32_t kGuardImages = 4;
constexpr int32_t kInvincibleImages = 5;
constexpr float kAuraCell = 256.0f;
constexpr float kHitIndicator = 32.0f;
// The Grabuster countdown, in layer pixels.
constexpr float kDigitWidth = 72.0f;
constexpr float kDigitHeight = 80.0f;
constexpr float kDigitStep = 70.0f;
constexpr float kDigitTop = 320.0f;
constexpr float kPointWidth = 24.0f;
constexpr float kPointTop = 304.0f;
constexpr float kPointStep = 18.0f;
constexpr float kCountLeft = 120.0f;
constexpr int32_t kUrgentSeconds = 3;

// Image k of an overlay column from a counter that may have wrapped below 0.
int32_t OverlayImage(int16_t counter, int32_t images) {
    const int32_t k = (counter / 4) % images;
    return k < 0 ? k + images : k;
}

int16_t Next(int16_t counter) {
    return static_cast<int16_t>(counter + 1);
}

// Frame f (0-15) of a 4 by 4 sheet of 256 by 256 cells, centred and scaled.
void AuraFrame(SpriteRenderer* layer, Mireku::Graphics::Texture* texture, int32_t f,
               const Mireku::Common::Vector2& at, float scale) {
    if (f < 0 || f > 15)
        return;
    SpriteQuad::Centred(layer, texture, SpriteQuad::kAdd, kAuraCell * (f % 4), kAuraCell * (f / 4),
                        kAuraCell, kAuraCell, at.x, at.y, scale, 0.0f);
}

} // namespace

Player::DrawCounters& Player::SharedDrawCounters() {
    static DrawCounters counters;
    return counters;
}

int32_t Player::BankFrame(float bank) {
    const auto b =
        2 + static_cast<int32_t>(2.0f * std::sin(bank * 0.5f * std::numbers::pi_v<float>));
    return b < 0 ? 0 : (b > 4 ? 4 : b);
}

void Player::Draw() {
    if (!visible)
        return;
    const int32_t b = BankFrame(bank);
    DrawExhaust(b);
    DrawAura();
    DrawBody(b);
    DrawHitIndicator();
    DrawCountdown();
}

void Player::DrawExhaust(int32_t b) const {
    const int32_t column = cycle % 4, row = cycle / 4;
    const float w = kExhaustWidths[column];
    const float v = (b <= 1 ? kExhaustLowerHalf : 0.0f) + kExhaustHeight * static_cast<float>(row);
    SpriteQuad::Place(
        FieldSprite::Layer(SpriteLayer::kPlayer),
        FieldSprite::Texture(owner_, StageTextureSlot::kShipExhaust + kExhaustSheet[b]),
        SpriteQuad::kAdd, kExhaustColumns[column], v, w, kExhaustHeight,
        screenPosition_.x - w * 0.5f, screenPosition_.y + kExhaustBelow, w, kExhaustHeight);
}

void Player::DrawAura() const {
    if (state != kGrabuster)
        return;
    SpriteRenderer* layer = FieldSprite::Layer(SpriteLayer::kPlayer);
    // Without a Grabuster object (the pool had no block) the aura keeps its
    // own size.
    const float scale = grabuster ? grabuster->GetScale() : 1.0f;
    const auto add = [this](int32_t n) {
        return FieldSprite::Texture(owner_, StageTextureSlot::kGrabusterAdd + n);
    };
    const auto sub = [this](int32_t n) {
        return FieldSprite::Texture(owner_, StageTextureSlot::kGrabusterSub + n);
    };
    const Mireku::Common::Vector2& at = screenPosition_;
    switch (grabPhase) {
    case kGrabStartUp:
        AuraFrame(layer, add(grabStep <= 15 ? 0 : 1), grabStep % 16, at, scale);
        if (grabStep >= 16)
            AuraFrame(layer, sub(0), grabStep - 16, at, scale);
        break;
    case kGrabDrain:
        AuraFrame(layer, sub(1), grabStep % 16, at, scale);
        break;
    case kGrabWindDown:
        AuraFrame(layer, add(2), grabStep / 2, at, scale);
        if (grabStep <= 15)
            AuraFrame(layer, sub(2), grabStep, at, scale);
        break;
    default:
        break;
    }
}

void Player::DrawBody(int32_t b) const {
    const GlobalWork* gw = GlobalWork::GetInstance();
    if (!gw)
        return;
    SpriteRenderer* layer = FieldSprite::Layer(SpriteLayer::kPlayer);
    DrawCounters& counters = SharedDrawCounters();
    const float u = kBody * static_cast<float>(b);
    const float sx = screenPosition_.x, sy = screenPosition_.y;
    const auto part = [&](int32_t slot, uint32_t blend, float v) {
        SpriteQuad::Centred(layer, FieldSprite::Texture(owner_, slot), blend, u, v, kBody, kBody,
                            sx, sy, scale_, 0.0f);
    };
    if (gw->player.guard) {
        part(StageTextureSlot::kGuard, SpriteQuad::kAdd,
             kBody * static_cast<float>(OverlayImage(counters.guard, kGuardImages)));
        counters.guard = Next(counters.guard);
    }
    const float bodyRow = state == kGrabuster ? kGrabusterRows : 0.0f;
    part(StageTextureSlot::kShip, SpriteQuad::kAlpha, bodyRow);
    part(StageTextureSlot::kShip, SpriteQuad::kAdd, bodyRow + kGlowRow);
    if (gw->player.invincible) {
        part(StageTextureSlot::kInvincible, SpriteQuad::kAdd,
             kBody * static_cast<float>(OverlayImage(counters.invincible, kInvincibleImages)));
        counters.invincible = Next(counters.invincible);
    }
}

void Player::DrawHitIndicator() const {
    SpriteRenderer* layer = FieldSprite::Layer(SpriteLayer::kPlayer);
    DrawCounters& counters = SharedDrawCounters();
    const float u = kHitIndicator * counters.hitIndicator;
    Mireku::Graphics::Texture* sheet = FieldSprite::Texture(owner_, StageTextureSlot::kUi1);
    const float x = screenPosition_.x - 1.0f, y = screenPosition_.y;
    SpriteQuad::Centred(layer, sheet, SpriteQuad::kAlpha, u, 64.0f, kHitIndicator, kHitIndicator, x,
                        y, 1.0f, 0.0f);
    SpriteQuad::Centred(layer, sheet, SpriteQuad::kAdd, u, 96.0f, kHitIndicator, kHitIndicator, x,
                        y, 1.0f, 0.0f);
    counters.hitIndicator = static_cast<uint8_t>((counters.hitIndicator + 1) % 3);
}

void Player::DrawCountdown() {
    if (state != kGrabuster || grabPhase != kGrabDrain)
        return;
    const int32_t t = grabFramesLeft > 0 ? grabFramesLeft : 0;
    const int32_t seconds = t / 60;
    const int32_t hundredths = (t % 60) * 100 / 60;
    const int32_t tenths = hundredths / 10 % 10;
    // Three beeps in the last second, as the tenths fall past 9, 6 and 3.
    if (seconds < 1 && ((grabLastBeep > 9 && tenths <= 9) || (grabLastBeep > 6 && tenths <= 6) ||
                        (grabLastBeep > 3 && tenths <= 3))) {
        if (SoundManager* sound = SoundManager::GetInstance())
            sound->PlaySE(kCountdownBeep, false);
        grabLastBeep = static_cast<int16_t>(tenths);
    }
    SpriteRenderer* layer = FieldSprite::Layer(SpriteLayer::kPlayer);
    Mireku::Graphics::Texture* sheet =
        FieldSprite::Texture(owner_, StageTextureSlot::kGrabusterCount);
    const float r = seconds < kUrgentSeconds ? kDigitHeight : 0.0f;
    float x = kCountLeft;
    const auto digit = [&](int32_t d) {
        SpriteQuad::Place(layer, sheet, SpriteQuad::kAlpha, kDigitWidth * d + 24.0f, r, kDigitWidth,
                          kDigitHeight, x, kDigitTop, kDigitWidth, kDigitHeight);
    };
    const int32_t secondsDigits[3] = {seconds / 100 % 10, seconds / 10 % 10, seconds % 10};
    bool drawn = false;
    for (int32_t i = 0; i < 3; ++i) {
        // Leading zeros keep their place but are not drawn; the units always are.
        if (drawn || secondsDigits[i] != 0 || i == 2) {
            digit(secondsDigits[i]);
            drawn = true;
        }
        x += kDigitStep;
    }
    SpriteQuad::Place(layer, sheet, SpriteQuad::kAlpha, 0.0f, r, kPointWidth, kDigitHeight, x,
                      kPointTop, kPointWidth, kDigitHeight);
    x += kPointStep;
    digit(tenths);
    x += kDigitStep;
    digit(hundredths % 10);
}
