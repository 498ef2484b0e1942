#include "game/stage/StageHud.h"

#include "engine/graphics/RenderTargetTexture.h"
#include "game/core/DrawOrder.h"
#include "game/core/GameState.h"
#include "game/core/GlobalWork.h"
#include "game/core/RandomManager.h"
#include "game/core/ScreenLayout.h"
#include "game/core/SoundManager.h"
#include "game/core/SpriteQuad.h"
#include "game/enemy/common/BossGauge.h"
#include "game/player/Player.h"
#include "game/stage/GameObjectDirector.h"
#include "game/stage/StageTextureTable.h"

#include <cmath>
#include <cstdio>
#include <cstring>
#include <numbers>

using Mireku::Graphics::Texture;
using Mireku::Renderer::SpriteRenderer;

namespace {

constexpr float kFieldLeft = ScreenLayout::kFieldLeft;
constexpr float kDigitCell = 24.0f;
constexpr float kDigitAdvance = kDigitCell * 0.9f;
constexpr float kDigitSourceX = 144.0f;
constexpr float kNumberCell = 48.0f;

// The gauges: one 93 by 521 frame; a fill shows its texture's rows from
// kEmptyRow - kFillRows x ratio down to the bottom.
constexpr float kGaugeX = 1024.0f;
constexpr float kGaugeY = 192.0f;
constexpr float kGaugeWidth = 93.0f;
constexpr float kGaugeHeight = 521.0f;
constexpr float kEmptyRow = 472.0f;
constexpr float kFillRows = 300.0f;
constexpr float kGaugeShake = 16.0f;

// The sub-weapon list of the left panel: one 256 by 48 entry per weapon, in
// "sys_ui2.dds" beside the panels: normal entries from row 0, highlighted
// ones from row 240, and the one greyed entry.
constexpr float kListEntryWidth = 256.0f;
constexpr float kListEntryHeight = 48.0f;
constexpr float kListSourceX = 560.0f;
constexpr float kListHighlightRow = 240.0f;
constexpr float kListGreyedRow = 480.0f;

// The sub-weapon name plates of "sys_ui1.dds", one per sub weapon 0-4.
constexpr float kPlateWidth = 152.0f;
constexpr float kPlateHeight = 40.0f;
constexpr float kPlateSource[GameObjectDirector::kSubWeapons][2] = {
    {0, 128}, {152, 128}, {304, 128}, {0, 168}, {152, 168}};

// The score-attack clock's four characters.
constexpr float kClockX[4] = {1075.0f, 1129.0f, 1148.0f, 1201.0f};
constexpr float kClockY = 42.0f;
constexpr float kClockHeight = 55.0f;
constexpr float kClockDigitWidth = 54.0f;
constexpr float kClockColonX = 540.0f;
constexpr float kClockColonWidth = 18.0f;
constexpr float kClockWarningRow = 60.0f;

void PlaySound(int32_t id) {
    if (SoundManager* s = SoundManager::GetInstance())
        s->PlaySE(id, false);
}

// A ratio of a gauge to its maximum within 0-1; an empty gauge without a
// maximum.
float GaugeRatio(int32_t value, int32_t maximum) {
    if (maximum <= 0)
        return 0.0f;
    const float r = static_cast<float>(value) / static_cast<float>(maximum);
    return r < 0.0f ? 0.0f : (r > 1.0f ? 1.0f : r);
}

} // namespace

void StageHud::DrawDigits(SpriteRenderer* layer, Texture* texture, uint32_t colour, uint64_t value,
                          uint32_t count, float x, float y) {
    if (!texture)
        return;
    for (uint32_t i = 0; i < count; ++i) {
        const auto digit = static_cast<float>(value % 10);
        value /= 10;
        SpriteQuad::Place(layer, texture, SpriteQuad::kAlpha, kDigitSourceX + kDigitCell * digit,
                          0.0f, kDigitCell, kDigitCell,
                          x + static_cast<float>(count - 1 - i) * kDigitAdvance, y, kDigitCell,
                          kDigitCell, colour);
    }
}

void StageHud::DrawCentredNumber(SpriteRenderer* layer, Texture* digits, Texture* times,
                                 const char* text, float y) {
    const size_t length = std::strlen(text);
    float x = (static_cast<float>(ScreenLayout::kWidth) - kNumberCell * length) * 0.5f;
    for (size_t i = 0; i < length; ++i, x += kNumberCell) {
        const char c = text[i];
        if (c == 'X' && times)
            SpriteQuad::Place(layer, times, SpriteQuad::kAlpha, 0.0f, 0.0f, kNumberCell,
                              kNumberCell, x, y, kNumberCell, kNumberCell);
        else if (c >= '0' && c <= '9' && digits)
            SpriteQuad::Place(layer, digits, SpriteQuad::kAlpha,
                              kNumberCell * static_cast<float>(c - '0'), 0.0f, kNumberCell,
                              kNumberCell, x, y, kNumberCell, kNumberCell);
    }
}

void StageHud::DrawPicture(SpriteRenderer* layer, Texture* texture, float y, float x) {
    if (!texture)
        return;
    const float w = texture->GetWidth(), h = texture->GetHeight();
    SpriteQuad::Place(layer, texture, SpriteQuad::kAlpha, 0.0f, 0.0f, w, h, x + kFieldLeft, y, w,
                      h);
}

int32_t StageHud::ClockRemaining(uint32_t mode, uint32_t frameCounter, bool tallyActive) {
    // The clock shows a second more than the limit, so it reads 2:00 on the
    // first frame of a two-minute run and 0:00 only when time is up.
    const int64_t remaining =
        static_cast<int64_t>(GameObjectDirector::ScoreAttackLength(mode)) - frameCounter + 60;
    return tallyActive || remaining < 0 ? 0 : static_cast<int32_t>(remaining);
}

void StageHud::ClockText(int32_t remaining, char* out, uint32_t size) {
    const int32_t seconds = remaining / 60;
    std::snprintf(out, size, "%d:%02d", seconds / 60, seconds % 60);
}

int32_t StageHud::TopBarAlpha(float playerY) {
    const int32_t alpha = playerY < 150.0f ? static_cast<int32_t>(255.0f * playerY / 150.0f) : 255;
    return alpha < 48 ? 48 : (alpha > 255 ? 255 : alpha);
}

uint32_t StageHud::RankOf(uint64_t score) {
    static constexpr uint64_t kBelow[10] = {10000,     1000000,   10000000,  50000000,  100000000,
                                            150000000, 200000000, 250000000, 300000000, 400000000};
    if (score >= (uint64_t{1} << 32))
        return 10;
    for (uint32_t rank = 0; rank < 10; ++rank)
        if (score < kBelow[rank])
            return rank;
    return 10;
}

void StageHud::StartShake(int32_t frames, float amplitude, float cycles) {
    shakeFrames_ = frames;
    shakeAmplitude_ = amplitude;
    shakeCycles_ = cycles;
    shakeElapsed_ = 0;
}

void StageHud::StartShieldHit() {
    shieldHit_ = 1;
    shieldHitCounter_ = 0;
    shieldHitImage_ = kShieldHitFirstImage;
}

void StageHud::Draw(GameObjectDirector& director, SpriteRenderer* layer) {
    GlobalWork* gw = GlobalWork::GetInstance();
    if (!layer || !gw)
        return;
    const bool scoreAttack = gw->gameType == GameState::kScoreAttackType;
    DrawField(director, layer);

    Player* player = director.GetPlayer();
    const uint32_t topBar =
        SpriteQuad::WhiteWithAlpha(TopBarAlpha(player ? player->GetPosition()->y : 360.0f));
    DrawTopBar(director, layer, topBar);
    DrawSubWeaponPlate(director, layer);
    BossGauge::Shared().Draw(layer, director, topBar);
    if (director.GetTally().IsActive()) {
        if (scoreAttack)
            DrawScoreAttackResult(director, layer);
        else
            DrawStageResult(director, layer);
    }
    if (scoreAttack && director.GetFrameCounter() <= 120)
        SpriteQuad::Place(layer, director.GetTexture(StageTextureSlot::kStartCaption),
                          SpriteQuad::kAlpha, 0.0f, 0.0f, ScreenLayout::kFieldSize,
                          ScreenLayout::kFieldSize, kFieldLeft, 0.0f, ScreenLayout::kFieldSize,
                          ScreenLayout::kFieldSize);
    DrawPanels(director, layer);
    DrawSubWeaponList(director, layer);
    DrawGauges(director, layer);
    if (Texture* ui2 = director.GetTexture(StageTextureSlot::kUi2))
        SpriteQuad::Place(layer, ui2, SpriteQuad::kAlpha, 0.0f, 720.0f, 208.0f, 48.0f, 1016.0f,
                          624.0f, 208.0f, 48.0f);
    if (scoreAttack)
        DrawClock(director, layer);
    BossGauge::Shared().DrawScreenFlash(layer);
}

void StageHud::DrawField(GameObjectDirector& director, SpriteRenderer* layer) {
    shakeOffset_ = 0.0f;
    if (shakeFrames_ > 0) {
        const float t = static_cast<float>(shakeElapsed_) / static_cast<float>(shakeFrames_);
        shakeOffset_ = std::sin(shakeCycles_ * 2.0f * std::numbers::pi_v<float> * t) *
                       shakeAmplitude_ * (1.0f - t);
        if (++shakeElapsed_ >= shakeFrames_)
            shakeFrames_ = shakeElapsed_ = 0;
    }
    Texture* target = director.GetTarget(director.GetTargetIndex());
    if (!target)
        return;
    // The picture is copied, not blended: the field is opaque. It goes under
    // the stage screen's overlays, which would be hidden at the layer's own
    // priority.
    constexpr float kSize = ScreenLayout::kFieldSize;
    layer->SetPriority(DrawOrder::kStageField);
    SpriteQuad::Place(layer, target, SpriteRenderer::kBlendNone, 0.0f, 0.0f, kSize, kSize,
                      kFieldLeft, shakeOffset_, kSize, kSize);
    layer->SetPriority(DrawOrder::kHud);
}

void StageHud::DrawTopBar(GameObjectDirector& director, SpriteRenderer* layer, uint32_t colour) {
    const GlobalWork& gw = *GlobalWork::GetInstance();
    Texture* ui1 = director.GetTexture(StageTextureSlot::kUi1);
    if (!ui1)
        return;
    SpriteQuad::Place(layer, ui1, SpriteQuad::kAlpha, 0.0f, 0.0f, 104.0f, 24.0f, 280.0f, 0.0f,
                      104.0f, 24.0f, colour);
    DrawDigits(layer, ui1, colour, gw.player.score, 10, 384.0f, 0.0f);
    SpriteQuad::Place(layer, ui1, SpriteQuad::kAlpha, 104.0f, 0.0f, 40.0f, 24.0f, 740.0f, 0.0f,
                      40.0f, 24.0f, colour);
    DrawDigits(layer, ui1, colour, gw.player.hiScore, 10, 780.0f, 0.0f);
    if (gw.gameType == GameState::kScoreAttackType) {
        SpriteQuad::Place(layer, ui1, SpriteQuad::kAlpha, 408.0f, 0.0f, 24.0f, 24.0f, 282.0f, 24.0f,
                          24.0f, 24.0f, colour);
        return;
    }
    const int32_t lives = gw.player.lives < 0 ? 0 : (gw.player.lives > 30 ? 30 : gw.player.lives);
    for (int32_t i = 0; i < lives; ++i)
        SpriteQuad::Place(layer, ui1, SpriteQuad::kAlpha, 96.0f, 64.0f, 24.0f, 24.0f,
                          282.0f + 24.0f * static_cast<float>(i), 24.0f, 24.0f, 24.0f, colour);
}

void StageHud::DrawSubWeaponPlate(GameObjectDirector& director, SpriteRenderer* layer) {
    const PlayerWork& player = GlobalWork::GetInstance()->player;
    // The items give sub weapons 5 and 6 too, which have no plate.
    if (player.subWeapon >= GameObjectDirector::kSubWeapons)
        return;
    Texture* ui1 = director.GetTexture(StageTextureSlot::kUi1);
    if (!ui1)
        return;
    const float d = static_cast<float>(director.GetSubWeaponDisplay()) /
                    GameObjectDirector::kSubWeaponDisplayFrames;
    const float x = 288.0f - 100.0f * d * d;
    const float* source = kPlateSource[player.subWeapon];
    SpriteQuad::Place(layer, ui1, SpriteQuad::kAlpha, source[0], source[1], kPlateWidth,
                      kPlateHeight, x, 57.0f, kPlateWidth, kPlateHeight);
    if (player.subWeaponMode == 1)
        SpriteQuad::Place(layer, ui1, SpriteQuad::kAdd, 0.0f, 208.0f, 152.0f, 40.0f, x, 57.0f,
                          150.0f, 40.0f);
}

void StageHud::DrawStageResult(GameObjectDirector& director, SpriteRenderer* layer) {
    ResultTally& tally = director.GetTally();
    tally.Step();
    const int32_t timer = tally.GetTimer();
    // Each line sounds once as it appears.
    if (timer == 0 || timer == -41 || timer == -81 || timer == -121 || timer == -161)
        PlaySound(kResultSound);
    if (timer > 0)
        return;
    Texture* digits = director.GetTexture(StageTextureSlot::kResultDigits);
    Texture* times = director.GetTexture(StageTextureSlot::kResultTimes);
    char text[40];
    DrawPicture(layer, director.GetTexture(StageTextureSlot::kResult), 92.0f, 168.0f);
    if (timer <= -40) {
        DrawPicture(layer, director.GetTexture(StageTextureSlot::kResultNoMiss), 196.0f, 196.0f);
        std::snprintf(text, sizeof text, "%7d", tally.GetNoMissBonus());
        DrawCentredNumber(layer, digits, times, text, 246.0f);
    }
    if (timer <= -80) {
        DrawPicture(layer, director.GetTexture(StageTextureSlot::kResultNoDamage), 316.0f, 128.0f);
        std::snprintf(text, sizeof text, "%7d", tally.GetNoDamageBonus());
        DrawCentredNumber(layer, digits, times, text, 366.0f);
    }
    if (timer <= -120) {
        DrawPicture(layer, director.GetTexture(StageTextureSlot::kResultRemain), 436.0f, 176.0f);
        std::snprintf(text, sizeof text, "%d X %d",
                      tally.IsHighRate() ? ResultTally::kHighLifeRate : ResultTally::kLowLifeRate,
                      tally.GetShips());
        DrawCentredNumber(layer, digits, times, text, 486.0f);
    }
    tally.PayOut(GlobalWork::GetInstance()->player);
    if (timer <= -160)
        DrawPicture(layer, director.GetTexture(StageTextureSlot::kResultBonusNote), 558.0f, 208.0f);
}

void StageHud::DrawScoreAttackResult(GameObjectDirector& director, SpriteRenderer* layer) {
    ResultTally& tally = director.GetTally();
    tally.Step();
    const int32_t timer = tally.GetTimer();
    if (timer == 0 || timer == -41 || timer == -81)
        PlaySound(kResultSound);
    if (timer > 0)
        return;
    DrawPicture(layer, director.GetTexture(StageTextureSlot::kTimeUp), 148.0f, 120.0f);
    const uint64_t score = GlobalWork::GetInstance()->player.score;
    if (timer <= -40) {
        char text[32];
        std::snprintf(text, sizeof text, "%llu", static_cast<unsigned long long>(score));
        DrawCentredNumber(layer, director.GetTexture(StageTextureSlot::kResultDigits),
                          director.GetTexture(StageTextureSlot::kResultTimes), text, 398.0f);
    }
    if (timer <= -80) {
        Texture* rank =
            director.GetTexture(StageTextureSlot::kFirstRank + static_cast<int32_t>(RankOf(score)));
        if (rank)
            DrawPicture(layer, rank, 480.0f,
                        (static_cast<float>(ScreenLayout::kFieldSize) - rank->GetWidth()) * 0.5f);
    }
}

void StageHud::DrawPanels(GameObjectDirector& director, SpriteRenderer* layer) {
    constexpr float kH = ScreenLayout::kHeight;
    if (Texture* ui2 = director.GetTexture(StageTextureSlot::kUi2)) {
        SpriteQuad::Place(layer, ui2, SpriteQuad::kAlpha, 0.0f, 0.0f, kFieldLeft, kH, 0.0f, 0.0f,
                          kFieldLeft, kH);
        SpriteQuad::Place(layer, ui2, SpriteQuad::kAlpha, kFieldLeft, 0.0f, kFieldLeft, kH,
                          ScreenLayout::kFieldRight, 0.0f, kFieldLeft, kH);
    }
    if (Texture* ui1 = director.GetTexture(StageTextureSlot::kUi1)) {
        SpriteQuad::Place(layer, ui1, SpriteQuad::kAlpha, 0.0f, 32.0f, 96.0f, 32.0f, 76.0f, 676.0f,
                          96.0f, 32.0f);
        DrawDigits(layer, ui1, SpriteQuad::kWhite, GlobalWork::GetInstance()->stage + 1u, 2, 172.0f,
                   676.0f);
    }
}

void StageHud::DrawSubWeaponList(GameObjectDirector& director, SpriteRenderer* layer) {
    Texture* ui2 = director.GetTexture(StageTextureSlot::kUi2);
    if (!ui2)
        return;
    const GlobalWork& gw = *GlobalWork::GetInstance();
    const Player* player = director.GetPlayer();
    const bool greyed = !player || player->IsInSpecialMode();
    for (uint32_t i = 0; i < GameObjectDirector::kSubWeapons; ++i) {
        if (!gw.IsSubWeaponUnlocked(i))
            continue;
        float row = kListEntryHeight * static_cast<float>(i);
        if (greyed)
            row = kListGreyedRow;
        else if (i == gw.player.subWeapon)
            row += kListHighlightRow;
        SpriteQuad::Place(layer, ui2, SpriteQuad::kAlpha, kListSourceX, row, kListEntryWidth,
                          kListEntryHeight, 16.0f,
                          176.0f + kListEntryHeight * static_cast<float>(i), kListEntryWidth,
                          kListEntryHeight);
    }
}

void StageHud::DrawGauges(GameObjectDirector& director, SpriteRenderer* layer) {
    const GlobalWork& gw = *GlobalWork::GetInstance();
    gaugeOffsetX_ = gaugeOffsetY_ = 0.0f;
    // The shake is cosmetic and this runs while paused too: it must not draw
    // from the play stream, or a replay would part from its recording.
    if (shieldHit_ && shieldHitCounter_ < kShieldHitShakeFrames) {
        if (RandomManager* random = RandomManager::GetInstance()) {
            gaugeOffsetX_ =
                random->RangeFloat(RandomManager::kPresentation, -kGaugeShake, kGaugeShake);
            gaugeOffsetY_ =
                random->RangeFloat(RandomManager::kPresentation, -kGaugeShake, kGaugeShake);
        }
    }
    const float x = kGaugeX + gaugeOffsetX_, y = kGaugeY + gaugeOffsetY_;
    auto whole = [&](int32_t slot, uint32_t blend) {
        SpriteQuad::Place(layer, director.GetTexture(slot), blend, 0.0f, 0.0f, kGaugeWidth,
                          kGaugeHeight, x, y, kGaugeWidth, kGaugeHeight);
    };
    // A fill shows its rows from the level down; the same rows of the frame.
    auto fill = [&](int32_t slot, uint32_t blend, float ratio) {
        const float top = kEmptyRow - kFillRows * ratio;
        SpriteQuad::Place(layer, director.GetTexture(slot), blend, 0.0f, top, kGaugeWidth,
                          kGaugeHeight - top, x, y + top, kGaugeWidth, kGaugeHeight - top);
    };
    auto drawIf = [&](bool on, int32_t slot, uint32_t blend) {
        if (on && director.GetTexture(slot))
            whole(slot, blend);
    };

    const PlayerWork& p = gw.player;
    const int32_t barionMax = gw.BarionGaugeMax(p), hyperioMax = gw.HyperioGaugeMax(p);
    const float barion = GaugeRatio(p.barionGauge, barionMax);
    const float hyperio = GaugeRatio(p.hyperioGauge, hyperioMax);
    const bool barionFull = barionMax > 0 && p.barionGauge >= barionMax;
    const bool hyperioFull = hyperioMax > 0 && p.hyperioGauge >= hyperioMax;

    drawIf(true, StageTextureSlot::kGaugeBack, SpriteQuad::kAlpha);
    if (director.GetTexture(StageTextureSlot::kGaugeBarion))
        fill(StageTextureSlot::kGaugeBarion, SpriteQuad::kAlpha, barion);
    if (barionFull && director.GetTexture(StageTextureSlot::kGaugeBarionAdd))
        fill(StageTextureSlot::kGaugeBarionAdd, SpriteQuad::kAdd, barion);
    if (director.GetTexture(StageTextureSlot::kGaugeGrabuster))
        fill(StageTextureSlot::kGaugeGrabuster, SpriteQuad::kAlpha, hyperio);
    if (hyperioFull && director.GetTexture(StageTextureSlot::kGaugeGrabusterAdd))
        fill(StageTextureSlot::kGaugeGrabusterAdd, SpriteQuad::kAdd, hyperio);
    drawIf(true, StageTextureSlot::kGaugeFrame, SpriteQuad::kAlpha);
    // Ready marks: the laser with a full Barion gauge, the shield with a
    // step of it, the Grabuster with any Hyperio and at its maximum.
    drawIf(barionFull, StageTextureSlot::kGaugeBarionOk, SpriteQuad::kAdd);
    drawIf(barionFull, StageTextureSlot::kGaugeLaserOk, SpriteQuad::kAdd);
    drawIf(barionMax > 0 && gw.HasBarionStep(p), StageTextureSlot::kGaugeShieldOk,
           SpriteQuad::kAdd);
    drawIf(p.hyperioGauge > 0, StageTextureSlot::kGaugeGrabusterOk, SpriteQuad::kAdd);
    drawIf(hyperioFull, StageTextureSlot::kGaugeGrabusterMax, SpriteQuad::kAdd);
    if (shieldHit_) {
        drawIf(true, StageTextureSlot::kGaugeShieldHit, SpriteQuad::kAlpha);
        drawIf(true, StageTextureSlot::kGaugeShieldHitFrames + shieldHitImage_, SpriteQuad::kAdd);
        // The indicator's pictures run from the eighth down to the first.
        ++shieldHitCounter_;
        shieldHitImage_ = kShieldHitFirstImage - shieldHitCounter_ / 2;
        if (shieldHitImage_ < 0)
            shieldHitImage_ = 0;
        if (shieldHitCounter_ >= kShieldHitFrames)
            shieldHit_ = 0;
    }
}

void StageHud::DrawClock(GameObjectDirector& director, SpriteRenderer* layer) {
    const GlobalWork& gw = *GlobalWork::GetInstance();
    const int32_t remaining =
        ClockRemaining(gw.mode, director.GetFrameCounter(), director.GetTally().IsActive());
    const int32_t seconds = remaining / 60;
    const bool warning = remaining < kClockWarningFrames;
    if (seconds != lastClockSecond_ && warning) {
        if (SoundManager* s = SoundManager::GetInstance()) {
            s->StopSE(kClockSound);
            s->PlaySE(kClockSound, false);
        }
    }
    lastClockSecond_ = seconds;
    Texture* digits = director.GetTexture(StageTextureSlot::kClockDigits);
    if (!digits)
        return;
    char text[16];
    ClockText(remaining, text, sizeof text);
    const float row = warning ? kClockWarningRow : 0.0f;
    for (uint32_t i = 0; i < 4 && text[i]; ++i) {
        const bool colon = text[i] == ':';
        const float u = colon ? kClockColonX : kClockDigitWidth * static_cast<float>(text[i] - '0');
        const float w = colon ? kClockColonWidth : kClockDigitWidth;
        SpriteQuad::Place(layer, digits, SpriteQuad::kAlpha, u, row, w, kClockHeight, kClockX[i],
                          kClockY, w, kClockHeight);
    }
}
