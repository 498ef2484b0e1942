#include "game/scene/SceneRanking.h"

#include "engine/renderer/SpriteRenderer.h"
#include "game/core/DrawOrder.h"
#include "game/core/GlobalWork.h"
#include "game/core/InputManager.h"
#include "game/core/RandomManager.h"
#include "game/core/ScoreBlock.h"
#include "game/core/ScreenLayout.h"
#include "game/flow/TextureFile.h"
#include "game/scene/HudSprite.h"
#include "game/scene/SceneSelectGameMenu.h"
#include "game/scene/SceneSelectPilot.h"
#include "game/scene/SpriteFont.h"

#include <cinttypes>
#include <cstdarg>
#include <cstdio>
#include <cstring>

using Mireku::Renderer::SpriteRenderer;

namespace {

// A ranking entry: u64 score, then u16 year, month, day, hour, minute,
// second and pilot.
constexpr uint32_t kEntryDate = 8;
constexpr uint32_t kEntryFields = 7;

// A glint starts on a frame with a chance of 2 in 121.
constexpr uint32_t kGlintOdds = 121;
constexpr uint32_t kGlintHits = 2;

constexpr float kRowPitch = 45.0f;
constexpr float kTextTop = 155.0f;
constexpr float kLabelX = 90.0f;
constexpr float kScoreX = 235.0f;
constexpr float kDateX = 690.0f;
constexpr float kTimeX = 1030.0f;
constexpr float kIconU = 390.0f;
constexpr float kIconWidth = 120.0f;
constexpr float kIconX = 555.0f;
constexpr float kIconTop = 150.0f;
constexpr float kCursorTop = 158.0f;
constexpr float kCursorHeight = 48.0f;

} // namespace

const char* const SceneRanking::kTextureNames[kTextureCount] = {"moji_setup_ranking.dds",
                                                                "ranking_replay.dds",
                                                                "replay_cursor1.dds",
                                                                "replay_cursor2.dds",
                                                                "replay_cursor3.dds",
                                                                "replay_cursor4.dds",
                                                                "replay_cursor5.dds",
                                                                "replay_cursor6.dds",
                                                                "replay_cursor7.dds",
                                                                "replay_cursor8.dds",
                                                                "replay_cursor9.dds",
                                                                "ok_off.dds",
                                                                "ok_on.dds"};

const char* const SceneRanking::kPageTitles[kPageCount] = {"game\tmode:arcade", "game\tmode:story",
                                                           "game\tmode:challenge\tmode\t2min",
                                                           "game\tmode:challenge\tmode\t5min"};

const char* const SceneRanking::kRowLabels[kRows] = {" 1st", " 2nd", " 3rd", " 4th", " 5th",
                                                     " 6th", " 7th", " 8th", " 9th", "10th"};

uint32_t SceneRanking::PageOfMode(uint32_t mode) {
    const int32_t table = ScoreBlock::TableOfMode(mode);
    return table >= 0 && table < static_cast<int32_t>(kPageCount) ? static_cast<uint32_t>(table)
                                                                  : 0;
}

void SceneRanking::OnBegin() {
    page_ = 0;
    cursor_ = 0;
    if (const GlobalWork* work = Work(); work && work->rankingPlace != -1) {
        page_ = static_cast<int32_t>(PageOfMode(work->rankingMode));
        // Only a row of the page can be highlighted.
        if (work->rankingPlace >= 0 && work->rankingPlace < kRows)
            cursor_ = work->rankingPlace;
    }
    glintDelay_ = kGlintDelay;
    glintStep_ = -1;
    glintFrame_ = kFirstGlintFrame;
    OpenMusic(kMusic);
}

void SceneRanking::LoadResources(Mireku::Resource::ChildResourceLoader& loader) {
    LoadEffect(loader, kEffectFolder, kEffectFile, kEffectName);
    ReadTextures(loader, kTextureFolder, kTextureNames, textures_);
}

void SceneRanking::ReleaseResources() {
    ReleaseAll(textures_);
    FlowScene::ReleaseResources();
}

void SceneRanking::Glint() {
    if (glintStep_ >= 0) {
        if (++glintStep_ % kGlintStepsPerFrame == 0) {
            if (glintFrame_ + 1 > kLastGlintFrame) {
                glintFrame_ = kFirstGlintFrame;
                glintStep_ = -1;
                glintDelay_ = kGlintDelay;
            } else {
                ++glintFrame_;
            }
        }
        return;
    }
    if (glintDelay_ > 0) {
        --glintDelay_;
        return;
    }
    // A cosmetic draw: the presentation stream, never the play stream.
    RandomManager* random = RandomManager::GetInstance();
    if (random && random->Next(RandomManager::kPresentation) % kGlintOdds < kGlintHits)
        glintStep_ = 0;
}

void SceneRanking::StateShown() {
    Glint();
    const uint32_t pressed = Pressed();
    if (pressed & InputManager::kShot) {
        if (cursor_ == kOkButton)
            LeaveByFade(kFadeOutFrames, kSoundDecide);
    } else if (pressed & InputManager::kUp) {
        cursor_ = (cursor_ + 10) % 11;
        PlaySound(kSoundCursor);
    } else if (pressed & InputManager::kDown) {
        cursor_ = (cursor_ + 1) % 11;
        PlaySound(kSoundCursor);
    } else if (pressed & InputManager::kLeft) {
        page_ = (page_ + 3) % 4;
        PlaySound(kSoundCursor);
    } else if (pressed & InputManager::kRight) {
        page_ = (page_ + 1) % 4;
        PlaySound(kSoundCursor);
    }
    Draw();
}

void SceneRanking::StateLeave() {
    LeaveFor<SceneSelectGameMenu>();
}

void SceneRanking::DrawSpriteText(SpriteRenderer* layer, const char* text, float x, float y,
                                  float sx, float sy) {
    SpriteFont::Draw(layer, text, x, y, sx, sy, SpriteFont::kNarrowSpace);
}

void SceneRanking::DrawPrintf(SpriteRenderer* layer, float x, float y, float sx, float sy,
                              const char* format, ...) {
    char text[128];
    va_list args;
    va_start(args, format);
    std::vsnprintf(text, sizeof text, format, args);
    va_end(args);
    DrawSpriteText(layer, text, x, y, sx, sy);
}

void SceneRanking::Draw() {
    SpriteRenderer* hud = Hud();
    if (!hud)
        return;
    HudSprite::BeginMenu(hud);
    hud->SetTexture(textures_[kHeader]);
    HudSprite::Texels(hud, 0, 0, 614, 42, 40, 20, 614, 42);
    hud->SetTexture(textures_[cursor_ == kOkButton ? kOkOn : kOkOff]);
    HudSprite::Texels(hud, 0, 0, 172, 32, 1030, 645, 172, 32);
    if (cursor_ >= 0 && cursor_ < kRows) {
        hud->SetTexture(textures_[glintFrame_]);
        // The glint spans the screen; its picture is as wide as the screen.
        HudSprite::Texels(hud, 0, 0, ScreenLayout::kWidth, kCursorHeight, 0,
                          kCursorTop + kRowPitch * static_cast<float>(cursor_),
                          ScreenLayout::kWidth, kCursorHeight);
    }
    DrawRows(hud);
}

void SceneRanking::DrawRows(SpriteRenderer* hud) {
    hud->SetTexture(textures_[kGlyphs]);
    hud->SetFilter(0, SpriteRenderer::kFilterLinear);
    hud->SetColor(0, HudSprite::kTextBright);
    DrawSpriteText(hud, kPageTitles[page_], 30, 105, 1.0f, 1.0f);
    const GlobalWork* work = Work();
    if (!work)
        return;
    const uint8_t* table = work->score + ScoreBlock::kOffsetTables +
                           static_cast<uint32_t>(page_) * ScoreBlock::kTableSize;
    uint16_t pilots[kRows];
    for (int32_t i = 0; i < kRows; ++i) {
        const uint8_t* entry = table + static_cast<uint32_t>(i) * ScoreBlock::kEntrySize;
        uint64_t score;
        uint16_t f[kEntryFields];
        std::memcpy(&score, entry, sizeof score);
        std::memcpy(f, entry + kEntryDate, sizeof f);
        pilots[i] = f[6];
        const float y = kTextTop + kRowPitch * static_cast<float>(i);
        DrawSpriteText(hud, kRowLabels[i], kLabelX, y, 1.0f, 1.0f);
        // The whole 64-bit score, unsigned: at least ten digits.
        DrawPrintf(hud, kScoreX, y, 1.0f, 1.0f, "%010" PRIu64, score);
        DrawPrintf(hud, kDateX, y, 1.0f, 1.0f, "%04d/%02d/%02d", f[0], f[1], f[2]);
        DrawPrintf(hud, kTimeX, y, 1.0f, 1.0f, "%02d:%02d:%02d", f[3], f[4], f[5]);
    }
    hud->SetColor(0, HudSprite::kWhite);
    for (int32_t i = 0; i < kRows; ++i) {
        // The pilot comes from the save: one outside the icon column has no
        // icon to show.
        if (pilots[i] >= SceneSelectPilot::kPilotCount)
            continue;
        const float v = kRowPitch * static_cast<float>(pilots[i]);
        HudSprite::Texels(hud, kIconU, v, kIconWidth, kRowPitch, kIconX,
                          kIconTop + kRowPitch * static_cast<float>(i), kIconWidth, kRowPitch);
    }
}
