#include "game/scene/SceneSelectPilot.h"

#include "engine/renderer/SpriteRenderer.h"
#include "game/core/DrawOrder.h"
#include "game/core/GlobalWork.h"
#include "game/core/InputManager.h"
#include "game/core/ProgressBlock.h"
#include "game/core/RandomManager.h"
#include "game/core/ScreenLayout.h"
#include "game/flow/SceneDriver.h"
#include "game/flow/TextureFile.h"
#include "game/scene/HudSprite.h"
#include "game/scene/SceneGame.h"
#include "game/scene/SceneSelectGameMenu.h"
#include "game/scene/SceneStoryOpening.h"

#include <algorithm>
#include <cmath>

using Mireku::Renderer::SpriteRenderer;

namespace {

constexpr const char* kSelect = "texture/selectpilot";
constexpr const char* kGameSelect = "texture/game/selectpilot";

// The unlock flag of each pilot in the progress image.
constexpr uint32_t kUnlockOffsets[SceneSelectPilot::kPilotCount] = {
    ProgressBlock::kOffsetDefaultOnFlags,
    ProgressBlock::kOffsetDefaultOnFlags + 1,
    ProgressBlock::kOffsetDefaultOnFlags + 2,
    ProgressBlock::kOffsetDefaultOnFlags + 3,
    ProgressBlock::kOffsetUnlockA,
    ProgressBlock::kOffsetUnlockB};

// The pilot's bust: texels (184,0)-(1023,719) at 840 x 720, its left edge by
// pilot (partly beyond the screen's).
constexpr float kBustU = 184.0f;
constexpr float kBustWidth = 840.0f;
constexpr float kBustHeight = 720.0f;
constexpr float kBustX[SceneSelectPilot::kPilotCount] = {-152, -200, -256, -104, -192, -200};

// Thumbnails: 184-pixel strips of the bust texture, the plain strip from v 0
// and the highlight right under it, in this order on screen.
struct Thumbnail {
    int32_t pilot;
    float x, y, height;
};
constexpr float kThumbWidth = 184.0f;
constexpr Thumbnail kThumbnails[] = {
    {5, 16, 240, 368},  {4, 144, 296, 320}, {2, 445, 257, 352},
    {3, 368, 280, 328}, {0, 552, 272, 344}, {1, 664, 256, 360},
};

// Parts of "select_sozai1.dds", texel rectangles given by their corners
// inclusive.
constexpr float kPlateV = 208.0f;
constexpr float kPlateWidth = 520.0f;
constexpr float kPlateHeight = 104.0f;
constexpr float kPlateX = 80.0f;
constexpr float kPlateY = 616.0f;
constexpr float kCaptionV = 104.0f;
constexpr float kCaptionHeight = 40.0f;
constexpr float kCaptionY = 5.0f;
constexpr float kCaptionU[2] = {0.0f, 294.0f};
constexpr float kCaptionWidth[2] = {294.0f, 270.0f};
constexpr float kBadgeU[SceneSelectPilot::kPilotCount] = {0, 0, 200, 0, 400, 400};
constexpr float kBadgeV = 144.0f;
constexpr float kBadgeWidth = 200.0f;
constexpr float kBadgeHeight = 64.0f;
constexpr float kBadgeX = 895.0f;
constexpr float kBadgeY = 132.0f;

// Option panels: a title bar and rows of 1000 x 112 texels, three looks per
// row (plain, lit, blinking) one under the other.
constexpr float kTitleBarWidth = 569.0f;
constexpr float kTitleBarHeight = 57.0f;
constexpr float kDifficultyTitleV = 831.0f;
constexpr float kDifficultyTitleY = 98.0f;
constexpr float kChallengeTitleY = 162.0f;
constexpr float kRowWidth = 1000.0f;
constexpr float kRowHeight = 112.0f;
constexpr float kOddRowX = 280.0f;
constexpr float kDifficultyRowY[] = {158.0f, 286.0f, 414.0f};
constexpr float kChallengeRowY[] = {222.0f, 382.0f};
constexpr uint32_t kDimmed = HudSprite::Colour(128, 0, 0, 0);
constexpr float kPi = 3.14159265358979f;

} // namespace

const SceneSelectPilot::TextureFile SceneSelectPilot::kTextures[kTextureCount] = {
    {kSelect, "info_bar.dds"},          {kSelect, "select_bg1.dds"},
    {kSelect, "select_bg2.dds"},        {kSelect, "select_bup_pc01.dds"},
    {kSelect, "select_bup_pc02.dds"},   {kSelect, "select_bup_pc03.dds"},
    {kSelect, "select_bup_pc04.dds"},   {kSelect, "select_bup_pc05.dds"},
    {kSelect, "select_bup_pc06.dds"},   {kSelect, "select_pc1.dds"},
    {kSelect, "select_pc2.dds"},        {kSelect, "select_pc3.dds"},
    {kSelect, "select_pc4.dds"},        {kSelect, "select_pc5.dds"},
    {kSelect, "select_pc6.dds"},        {kSelect, "select_sozai1.dds"},
    {kSelect, "md_panel01.dds"},        {kSelect, "md_panel02.dds"},
    {kSelect, "md_panel_scat.dds"},     {kSelect, "sa_select_sozai.dds"},
    {kGameSelect, "md_panel03.dds"},    {kGameSelect, "md_panel04.dds"},
    {kGameSelect, "select_sozai2.dds"},
};

bool SceneSelectPilot::IsUnlocked(const uint8_t* progress, int32_t pilot) {
    return pilot >= 0 && pilot < static_cast<int32_t>(kPilotCount) &&
           progress[kUnlockOffsets[pilot]] != 0;
}

void SceneSelectPilot::OnBegin() {
    const GlobalWork* work = Work();
    optionCount_ = kDifficultyRows;
    challenge_ = work && work->gameType == kChallengeType ? 1 : 0;
    option_ = challenge_ ? 0 : 1;
    frame_ = panelTimer_ = flash_ = 0;
    cancelled_ = 0;
    panelKind_ = nextState_ = kGrid;
    // The cursor starts on the first unlocked pilot; with none unlocked
    // (damaged progress data) pilot 1 stands alone.
    pilot_ = 0;
    if (work && !IsUnlocked(work->progress, 0))
        pilot_ = StepPilot(1);
    OpenMusic(kMusic);
}

void SceneSelectPilot::LoadResources(Mireku::Resource::ChildResourceLoader& loader) {
    for (uint32_t i = 0; i < kTextureCount; ++i)
        textures_[i] = ReadTexture(loader, kTextures[i].folder, kTextures[i].name);
}

void SceneSelectPilot::ReleaseResources() {
    ReleaseAll(textures_);
    FlowScene::ReleaseResources();
}

void SceneSelectPilot::Update() {
    static constexpr void (SceneSelectPilot::*kStates[])() = {
        &SceneSelectPilot::StateLoading,
        &SceneSelectPilot::StateMusic,
        &SceneSelectPilot::StateStart,
        &SceneSelectPilot::StateFadeIn,
        &SceneSelectPilot::StateGrid,
        &SceneSelectPilot::StatePanelOpening,
        &SceneSelectPilot::StatePanelClosing,
        &SceneSelectPilot::StateDifficulty,
        &SceneSelectPilot::StateChallengeOption,
        &SceneSelectPilot::StateChallengeTime,
        &SceneSelectPilot::StateFadeOut,
        &SceneSelectPilot::StateLeave};
    RunState(this, kStates);
}

int32_t SceneSelectPilot::StepPilot(int32_t step) const {
    const GlobalWork* work = Work();
    if (!work)
        return pilot_;
    const int32_t n = static_cast<int32_t>(kPilotCount);
    for (int32_t k = 1; k < n; ++k) {
        const int32_t p = ((pilot_ + step * k) % n + n) % n;
        if (IsUnlocked(work->progress, p))
            return p;
    }
    return pilot_;
}

void SceneSelectPilot::StateAwaitMusic() {
    StateMusic();
    Draw();
}

// The fade-in's completion opens the grid.
void SceneSelectPilot::StateOpen() {
    SetState(3);
    if (SceneDriver* driver = Driver())
        driver->StartFadeDown(kFadeInFrames,
                              Mireku::Common::Delegate00(this, &SceneSelectPilot::OnFadeDone));
    Draw();
}

void SceneSelectPilot::OnFadeDone() {
    if (GetState() == 3)
        SetState(4);
    else if (GetState() == 10)
        SetState(11);
}

void SceneSelectPilot::StateGrid() {
    const uint32_t pressed = Pressed();
    if (pressed & InputManager::kShot) {
        cancelled_ = 0;
        frame_ = panelTimer_ = flash_ = 0;
        SetState(5);
        panelKind_ = nextState_ = kChallengeOption;
        // A cursor left on the time panel's second row has no row to stand on
        // in an option panel without the second-loop start.
        if (challenge_ && option_ >= ChallengeOptionRows())
            option_ = 0;
        PlaySound(kSoundChoose);
        RandomManager* random = RandomManager::GetInstance();
        const uint32_t r = random ? random->Next(RandomManager::kPresentation) : 0;
        PlayVoice(pilot_, kFirstChoiceVoice + static_cast<int32_t>(r % kChoiceVoices));
        if (GlobalWork* work = Work()) {
            work->player.ship = static_cast<int8_t>(pilot_);
            work->ResetPlayerWork();
        }
    } else if (pressed & InputManager::kExWeapon) {
        cancelled_ = 1;
        FadeOut();
    } else if (pressed & InputManager::kLeft) {
        pilot_ = StepPilot(-1);
        PlaySound(kSoundMove);
    } else if (pressed & InputManager::kRight) {
        pilot_ = StepPilot(1);
        PlaySound(kSoundMove);
    }
    Draw();
}

void SceneSelectPilot::StatePanelOpening() {
    if (++panelTimer_ >= optionCount_ * kRowDelay + kRowSlideFrames) {
        if (!challenge_) {
            SetState(7);
        } else {
            panelKind_ = nextState_;
            SetState(nextState_);
        }
    }
    Draw();
}

void SceneSelectPilot::StatePanelClosing() {
    if (--panelTimer_ < 1) {
        panelKind_ = nextState_;
        SetState(nextState_ == kGrid ? kGrid : 5);
    }
    Draw();
}

void SceneSelectPilot::ClosePanel(int32_t next) {
    SetState(6);
    nextState_ = next;
    PlaySound(kSoundChoose);
}

void SceneSelectPilot::MoveOption(int32_t cursor) {
    option_ = cursor;
    flash_ = kFlashFrames;
    PlaySound(kSoundMove);
}

void SceneSelectPilot::FadeOut() {
    SetState(10);
    PlaySound(kSoundChoose);
    ReleaseMusic();
    if (SceneDriver* driver = Driver())
        driver->StartFadeUp(kFadeOutFrames,
                            Mireku::Common::Delegate00(this, &SceneSelectPilot::OnFadeDone));
}

void SceneSelectPilot::Choose() {
    FadeOut();
    if (GlobalWork* work = Work()) {
        work->lastPilot = pilot_;
        // A game starts with the first sub weapon only.
        for (uint32_t n = 0; n < kSubWeaponCount; ++n)
            work->SetSubWeaponUnlocked(n, n == 0);
    }
}

void SceneSelectPilot::CountFlashDown() {
    if (flash_ > 0)
        --flash_;
}

void SceneSelectPilot::StateDifficulty() {
    const uint32_t pressed = Pressed();
    if (pressed & InputManager::kShot) {
        if (GlobalWork* work = Work())
            work->mode = static_cast<uint32_t>(option_) + (work->storyMode ? kStoryModeOffset : 0);
        Choose();
    } else if (pressed & InputManager::kExWeapon) {
        ClosePanel(kGrid);
    } else if (pressed & InputManager::kUp) {
        MoveOption((option_ - 1 + optionCount_) % optionCount_);
    } else if (pressed & InputManager::kDown) {
        MoveOption((option_ + 1) % optionCount_);
    }
    Draw();
    CountFlashDown();
}

int32_t SceneSelectPilot::ChallengeOptionRows() const {
    const GlobalWork* work = Work();
    return work && work->progress[ProgressBlock::kOffsetProgressFlag] == 1 ? 2 : 1;
}

void SceneSelectPilot::StateChallengeOption() {
    const uint32_t pressed = Pressed();
    const int32_t rows = ChallengeOptionRows();
    if (pressed & InputManager::kShot) {
        if (option_ == 1) {
            // The second-loop start: an ordinary game from its first stage.
            if (GlobalWork* work = Work()) {
                work->BeginGame(kSecondLoopType);
                work->mode = kSecondLoopMode;
                work->stage = kSecondLoopStage;
            }
            Choose();
        } else {
            ClosePanel(kChallengeTime);
        }
    } else if (pressed & InputManager::kExWeapon) {
        ClosePanel(kGrid);
    } else if (pressed & InputManager::kUp) {
        MoveOption((option_ - 1 + rows) % rows);
    } else if (pressed & InputManager::kDown) {
        MoveOption((option_ + 1) % rows);
    }
    Draw();
    CountFlashDown();
}

void SceneSelectPilot::StateChallengeTime() {
    const uint32_t pressed = Pressed();
    if (pressed & InputManager::kShot) {
        if (GlobalWork* work = Work())
            work->mode = static_cast<uint32_t>(option_) + kChallengeTimeMode;
        Choose();
    } else if (pressed & InputManager::kExWeapon) {
        ClosePanel(kGrid);
    } else if (pressed & (InputManager::kUp | InputManager::kDown)) {
        MoveOption((option_ + 1) % kTimeRows);
    }
    Draw();
    CountFlashDown();
}

void SceneSelectPilot::StateFadeOut() {
    ++frame_;
    Draw();
}

void SceneSelectPilot::StateLeave() {
    const GlobalWork* work = Work();
    if (cancelled_)
        LeaveFor<SceneSelectGameMenu>();
    else if (work && work->storyMode)
        LeaveFor<SceneStoryOpening>();
    else
        LeaveFor<SceneGame>();
}

void SceneSelectPilot::Draw() {
    SpriteRenderer* hud = Hud();
    if (!hud)
        return;
    const GlobalWork* work = Work();
    DrawGrid(work && work->storyMode);
    if (!cancelled_ && GetState() > 4)
        DrawPanel();
    hud->SetTexture(textures_[kInfoBar]);
    HudSprite::TexelsAt(hud, 0, 128, 336, 32, 761, 689);
}

void SceneSelectPilot::DrawGrid(bool story) {
    SpriteRenderer* hud = Hud();
    const GlobalWork* work = Work();
    const uint8_t* progress = work ? work->progress : nullptr;
    const bool unlocked = progress && IsUnlocked(progress, pilot_);
    const float screenW = ScreenLayout::kWidth;
    const float screenH = ScreenLayout::kHeight;

    hud->SetPriority(DrawOrder::kBackdrop);
    hud->SetBlend(SpriteRenderer::kBlendNone);
    hud->SetFilter(0, SpriteRenderer::kFilterPoint);
    hud->SetColor(0, HudSprite::kWhite);
    hud->SetTexture(textures_[kBackground1]);
    HudSprite::TexelsAt(hud, 0, 0, screenW, screenH, 0, 0);

    hud->SetBlend(SpriteRenderer::kBlendAlpha);
    hud->SetTexture(textures_[kFirstPicture + pilot_]);
    HudSprite::TexelsAt(hud, 0, 0, 800, 480, 480, 120);

    Mireku::Graphics::Texture* bust = textures_[kFirstBust + pilot_];
    if (unlocked) {
        hud->SetTexture(bust);
        HudSprite::TexelsAt(hud, kBustU, 0, kBustWidth, kBustHeight, kBustX[pilot_], 0);
    }
    for (const Thumbnail& t : kThumbnails) {
        if (!progress || !IsUnlocked(progress, t.pilot))
            continue;
        hud->SetTexture(textures_[kFirstBust + t.pilot]);
        // The pilot under the cursor: the highlight strip under the plain one.
        if (t.pilot == pilot_)
            HudSprite::TexelsAt(hud, 0, t.height, kThumbWidth, t.height, t.x, t.y);
        HudSprite::TexelsAt(hud, 0, 0, kThumbWidth, t.height, t.x, t.y);
    }

    hud->SetBlend(SpriteRenderer::kBlendAdd);
    hud->SetTexture(textures_[kBackground2]);
    HudSprite::TexelsAt(hud, 0, 0, screenW, screenH, 0, 0);

    hud->SetBlend(SpriteRenderer::kBlendAlpha);
    hud->SetTexture(textures_[kParts1]);
    HudSprite::TexelsAt(hud, 0, kPlateV + kPlateHeight * static_cast<float>(pilot_), kPlateWidth,
                        kPlateHeight, kPlateX, kPlateY);
    const int32_t caption = story ? 1 : 0;
    HudSprite::TexelsAt(hud, kCaptionU[caption], kCaptionV, kCaptionWidth[caption], kCaptionHeight,
                        (screenW - kCaptionWidth[caption]) * 0.5f, kCaptionY);
    HudSprite::TexelsAt(hud, kBadgeU[pilot_], kBadgeV, kBadgeWidth, kBadgeHeight, kBadgeX, kBadgeY);
    hud->SetBlend(SpriteRenderer::kBlendAdd);
    HudSprite::TexelsAt(hud, 0, 0, 672, 104, 384, 48);
    hud->SetBlend(SpriteRenderer::kBlendAlpha);
    HudSprite::TexelsAt(hud, 520, 208, 392, 312, 872, 384);

    hud->SetTexture(bust);
    HudSprite::TexelsAt(hud, 0, 736, 288, 224, 928, 440);
}

void SceneSelectPilot::DrawPanel() {
    SpriteRenderer* hud = Hud();
    hud->SetTexture(nullptr);
    hud->SetBlend(SpriteRenderer::kBlendAlpha);
    hud->SetColor(0, kDimmed);
    hud->SetTexCoord0(0.0f, 0.0f, 1.0f, 1.0f);
    hud->SetRect(0.0f, 0.0f, ScreenLayout::kWidth, ScreenLayout::kHeight);
    hud->Submit();
    hud->SetColor(0, HudSprite::kWhite);

    const bool option = challenge_ && panelKind_ != kChallengeTime;
    const bool time = challenge_ && panelKind_ == kChallengeTime;
    Mireku::Graphics::Texture* title = !challenge_ ? textures_[kParts1]
                                       : time      ? textures_[kTimeTitle]
                                                   : textures_[kChallengeTitle];
    const float titleV = challenge_ ? 0.0f : kDifficultyTitleV;
    const float titleY = challenge_ ? kChallengeTitleY : kDifficultyTitleY;
    const float titleX = (static_cast<float>(ScreenLayout::kWidth) - kTitleBarWidth) * 0.5f;
    hud->SetTexture(title);
    for (uint32_t blend : {SpriteRenderer::kBlendAlpha, SpriteRenderer::kBlendAdd}) {
        hud->SetBlend(blend);
        HudSprite::TexelsAt(hud, 0, titleV, kTitleBarWidth, kTitleBarHeight, titleX, titleY);
    }
    hud->SetBlend(SpriteRenderer::kBlendAlpha);
    hud->SetTexture(!challenge_ ? textures_[kDifficultyPanel]
                    : option    ? textures_[kChallengePanel]
                                : textures_[kTimePanel]);
    const int32_t rows = !challenge_ ? kDifficultyRows : option ? ChallengeOptionRows() : kTimeRows;
    for (int32_t row = 0; row < rows; ++row) {
        const int32_t k = std::clamp(panelTimer_ - kRowDelay * row, 0, kRowSlideFrames);
        const float ease = static_cast<float>(kRowSlideFrames - k) * 0.05f;
        DrawOptionRow(row, challenge_ != 0, 1000.0f * ease * ease);
    }
}

void SceneSelectPilot::DrawOptionRow(int32_t row, bool challenge, float slide) {
    SpriteRenderer* hud = Hud();
    int32_t look = 0;
    if (row == option_)
        look = GetState() == 10 && frame_ % 10 >= 5 ? 2 : 1;
    const float v = kRowHeight * static_cast<float>(look + 3 * (row % 3));
    float y = challenge ? kChallengeRowY[std::min(row, 1)] : kDifficultyRowY[std::min(row, 2)];
    if (row == option_) {
        // A short decaying wobble after each cursor move.
        const float t = static_cast<float>(flash_) * 0.05f;
        y += 16.0f * t * std::sin(-4.0f * kPi * t);
    }
    const float x = row % 2 == 0 ? -slide : kOddRowX + slide;
    HudSprite::TexelsAt(hud, 0, v, kRowWidth, kRowHeight, x, y);
}
