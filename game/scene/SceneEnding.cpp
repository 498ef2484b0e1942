#include "game/scene/SceneEnding.h"

#include "engine/graphics/Texture.h"
#include "engine/renderer/SpriteRenderer.h"
#include "engine/resource/ChildResourceLoader.h"
#include "game/core/GlobalWork.h"
#include "game/core/InputManager.h"
#include "game/core/ProgressBlock.h"
#include "game/core/ScreenLayout.h"
#include "game/core/SoundManager.h"
#include "game/core/SpriteManager.h"
#include "game/core/SpriteQuad.h"
#include "game/flow/SceneDriver.h"
#include "game/flow/TextureFile.h"
#include "game/scene/RankingOrTitle.h"
#include "game/scene/StoryColour.h"
#include "game/scene/StoryScriptDriver.h"

#include <cstdio>

namespace {

using Mireku::Graphics::Texture;
using Mireku::Renderer::SpriteRenderer;

// The fifth and sixth pilots always get the true ending; the others once the
// story has been cleared with the sixth.
constexpr int32_t kFirstTrueEndingShip = 4;
constexpr uint32_t kSixthPilotStoryClear = ProgressBlock::kOffsetStoryClearedWithShip + 5;

// Credits start after 180 frames of music on a black screen, which then
// clears over 180 frames.
constexpr int32_t kCreditsDelay = 180;
constexpr int32_t kOpeningFade = 180;
// The roll moves its height less one screen over 10200 frames.
constexpr float kRollFrames = 10200.0f;

// Overlay timings in frames: the script's end fades to black over 180, a
// black-out fades over 120 each way and holds 60 per second, the credits
// fade to black over 240, a new picture crosses over 10.
constexpr int32_t kScriptEndFade = 180;
constexpr int32_t kBlackOutFade = 120;
constexpr int32_t kFramesPerSecond = 60;
constexpr int32_t kCreditsOutFade = 240;
constexpr int32_t kCrossFadeFrames = 10;

struct UnlockFlag {
    uint32_t offset;
    uint32_t bit; // 0: the byte is a flag of its own (1 when set)
};
constexpr UnlockFlag kUnlockFlags[SceneEnding::kUnlockCount] = {
    {ProgressBlock::kOffsetUnlockA, 0},
    {ProgressBlock::kOffsetUnlockB, 0},
    {kSixthPilotStoryClear, 0},
    {ProgressBlock::kOffsetUnlockBits, ProgressBlock::kUnlockBit8},
    {ProgressBlock::kOffsetUnlockBits, ProgressBlock::kUnlockBit10},
};

bool FlagSet(const uint8_t* block, const UnlockFlag& flag) {
    return flag.bit ? (block[flag.offset] & flag.bit) != 0 : block[flag.offset] == 1;
}

SpriteRenderer* Hud() {
    const SpriteManager* sprites = SpriteManager::GetInstance();
    return sprites ? sprites->GetLayer(SpriteLayer::kHud) : nullptr;
}

SoundManager* Sound() {
    return SoundManager::GetInstance();
}

uint32_t Pressed() {
    const InputManager* input = InputManager::GetInstance();
    return input ? input->GetTriggered() : 0;
}

void PlaySound(int32_t id) {
    if (SoundManager* sound = Sound())
        sound->PlaySE(id, false);
}

// A texture at its own size with its top-left corner at (x, y).
void DrawAt(Texture* t, float x, float y, uint32_t colour = SpriteQuad::kWhite) {
    if (!t)
        return;
    const float w = t->GetWidth();
    const float h = t->GetHeight();
    SpriteQuad::Place(Hud(), t, SpriteRenderer::kBlendAlpha, 0, 0, w, h, x, y, w, h, colour);
}

void DrawScreenRect(uint32_t colour) {
    SpriteQuad::Place(Hud(), nullptr, SpriteRenderer::kBlendAlpha, 0, 0, 1, 1, 0, 0,
                      ScreenLayout::kWidth, ScreenLayout::kHeight, colour);
}

} // namespace

uint32_t SceneEnding::GainedUnlocks(const uint8_t* now, const uint8_t* before,
                                    uint32_t (&pictures)[kUnlockSlots]) {
    uint32_t count = 0;
    for (uint32_t n = 0; n < kUnlockCount; ++n)
        if (FlagSet(now, kUnlockFlags[n]) && !FlagSet(before, kUnlockFlags[n]))
            pictures[count++] = n + 1;
    return count;
}

void SceneEnding::Begin() {
    GlobalWork* work = GlobalWork::GetInstance();
    if (work)
        work->RecordClear();
    shown_ = 1;
    subState_ = kScript;
    returnSubState_ = kScript;
    std::snprintf(pictureFolder_, sizeof pictureFolder_, "%s", kPictureFolder);
    const bool trueEnding =
        work && work->storyMode &&
        (work->player.ship >= kFirstTrueEndingShip || work->progress[kSixthPilotStoryClear] == 1);
    if (!trueEnding)
        subState_ = kCredits;
    StoryScriptDriver::Instance().SetScript(trueEnding ? StoryScriptDriver::kTrueEnding
                                                       : StoryScriptDriver::kNone);
    LoadingScene::Begin();
    if (subState_ == kCredits)
        OpenMusic(kCreditsMusic);
}

void SceneEnding::LoadResources(Mireku::Resource::ChildResourceLoader& loader) {
    if (subState_ != kCredits) {
        StoryScriptDriver::Instance().Load(loader);
        SceneStoryCommon::LoadResources(loader);
        LoadCommandPicture(0);
    } else {
        LoadCredits(loader);
    }
}

void SceneEnding::LoadCredits(Mireku::Resource::ChildResourceLoader& loader) {
    rollHeight_ = 0;
    for (uint32_t i = 0; i < kCreditCount; ++i) {
        char name[32];
        std::snprintf(name, sizeof name, "credit%02u.dds", i + 1);
        ReleaseTexture(credits_[i]);
        credits_[i] = ReadTexture(loader, kCreditFolder, name);
        if (credits_[i])
            rollHeight_ += credits_[i]->GetHeight();
    }
}

bool SceneEnding::LoadCommandPicture(uint32_t slot) {
    ReleaseTexture(pictures_[slot]);
    const char* picture = StoryScriptDriver::Instance().GetCurrent().picture;
    if (picture[0] == '\0')
        return false;
    std::snprintf(pictureName_, sizeof pictureName_, "%s.dds", picture);
    Mireku::Resource::ChildResourceLoader loader;
    pictures_[slot] = ReadTexture(loader, pictureFolder_, pictureName_);
    return true;
}

void SceneEnding::ReleaseResources() {
    for (Texture*& t : pictures_)
        ReleaseTexture(t);
    for (Texture*& t : credits_)
        ReleaseTexture(t);
    for (Texture*& t : unlocks_)
        ReleaseTexture(t);
    SceneStoryCommon::ReleaseResources();
    PresentGameOver::ReleaseTextures();
    StoryScriptDriver::Instance().ClearRecords();
    if (SoundManager* sound = Sound())
        sound->ReleaseStream(&musicSlot_);
}

void SceneEnding::OpenMusic(const char* name) {
    if (SoundManager* sound = Sound()) {
        sound->ReleaseStream(&musicSlot_);
        sound->OpenStream(&musicSlot_, kMusicFolder, name);
    }
}

void SceneEnding::Update() {
    switch (GetState()) {
    case kStartMusic:
        if (subState_ == kCredits) {
            if (Sound() && !Sound()->IsStreamSettled(musicSlot_))
                return;
            if (SoundManager* sound = Sound())
                sound->PlayMusic(musicSlot_, false);
            timer_ = kCreditsDelay;
        } else {
            timer_ = 0;
        }
        SetState(kBlackHold);
        break;
    case kBlackHold:
        if (--timer_ < 1) {
            if (SceneDriver* driver = SceneDriver::GetInstance())
                driver->StartFadeDown(kOpeningFade, {});
            timer_ = 0;
            shown_ = 0;
            SetState(kWaitFade);
        }
        break;
    case kWaitFade:
        if (!SceneDriver::GetInstance() || !SceneDriver::GetInstance()->IsFading()) {
            SetHoldLength(kEndingHoldLength);
            SetState(kMain);
        }
        break;
    case kMain:
        Main();
        Draw();
        break;
    case kLeaving:
        Draw();
        break;
    default:
        break;
    }
}

void SceneEnding::Main() {
    switch (subState_) {
    case kScript:
        StepScript();
        break;
    case kPicture:
        TakePicture();
        break;
    case kPictureLoaded:
        overlay_ = 0.0f;
        overlayColour_ = SpriteQuad::kWhite;
        fadeFrame_ = 0;
        subState_ = kCrossFade;
        returnSubState_ = kScript;
        break;
    case kCredits:
        StepCredits(false);
        break;
    case kCreditsOut:
        StepCredits(true);
        break;
    case kUnlocks:
        NextUnlock();
        break;
    case kGameOverIn:
        if (!StepFadeIn())
            subState_ = kGameOver;
        break;
    case kGameOver:
        if ((Pressed() & (InputManager::kShot | InputManager::kExWeapon)) ||
            PresentGameOver::GetFrameCounter() >= kCaptionFrames)
            Leave();
        break;
    case kCrossFade:
        CrossFade();
        break;
    case kOverlayIn:
        OverlayIn();
        break;
    case kOverlayHold:
        OverlayHold();
        break;
    case kOverlayOut:
        OverlayOut();
        break;
    default:
        break;
    }
    UpdateVoice();
}

void SceneEnding::StepScript() {
    StoryScriptDriver& script = StoryScriptDriver::Instance();
    bool ended = !script.Step(IsVoiceBusy() ? 0 : 1);
    if (!ended) {
        const uint32_t pressed = Pressed();
        if (pressed & InputManager::kExWeapon) {
            PlaySound(kCancelSound);
            ended = true;
        } else if ((pressed & InputManager::kShot) || script.HasNewCommand()) {
            StopVoice();
            SetVoiceBusy(true);
            SetVoiceHold(GetHoldLength());
            subState_ = kPicture;
        }
    }
    if (ended) {
        StopVoice();
        StartOverlay(StoryColour::kBlack, kScriptEndFade, kFramesPerSecond, kBlackOutFade,
                     kCredits);
    }
}

void SceneEnding::TakePicture() {
    const StoryCommand& command = StoryScriptDriver::Instance().GetCurrent();
    if (command.pictureMode >= 0) {
        if (command.picture[0] == '\0') {
            subState_ = kScript;
            return;
        }
        LoadCommandPicture(shown_ ^ 1);
        subState_ = kPictureLoaded;
        return;
    }
    // -n: n seconds of black between fades.
    const int64_t seconds = -static_cast<int64_t>(command.pictureMode);
    const int64_t hold = seconds * kFramesPerSecond;
    StartOverlay(StoryColour::kBlack, kBlackOutFade,
                 static_cast<int32_t>(hold < INT32_MAX ? hold : INT32_MAX), kBlackOutFade, kScript);
}

void SceneEnding::StepCredits(bool ending) {
    const float over = static_cast<float>(ScreenLayout::kHeight - rollHeight_);
    rollOffset_ -= static_cast<float>(rollHeight_ - ScreenLayout::kHeight) / kRollFrames;
    bool rolledOut = false;
    if (rollOffset_ < over) {
        rollOffset_ = over;
        rolledOut = true;
    }
    if (!ending) {
        if (rolledOut || (Pressed() & (InputManager::kShot | InputManager::kExWeapon))) {
            overlay_ = 0.0f;
            fadeFrame_ = 0;
            fadeInFrames_ = kCreditsOutFade;
            subState_ = kCreditsOut;
        }
        return;
    }
    overlay_ = static_cast<float>(++fadeFrame_) / static_cast<float>(fadeInFrames_);
    if (fadeFrame_ >= fadeInFrames_) {
        overlay_ = 1.0f;
        ShowUnlocksOrCaption();
    }
}

void SceneEnding::ShowUnlocksOrCaption() {
    const GlobalWork* work = GlobalWork::GetInstance();
    unlockCount_ = work ? GainedUnlocks(work->progress, work->progressSnapshot, unlockList_) : 0;
    Mireku::Resource::ChildResourceLoader loader;
    for (uint32_t i = 0; i < unlockCount_; ++i) {
        char name[32];
        std::snprintf(name, sizeof name, "update%02u.dds", unlockList_[i]);
        ReleaseTexture(unlocks_[i]);
        unlocks_[i] = ReadTexture(loader, kUnlockFolder, name);
    }
    LoadTextures(loader);
    if (unlockCount_ > 0) {
        unlockShown_ = 0;
        PlaySound(kUnlockSound);
        subState_ = kUnlocks;
    } else {
        Restart();
        subState_ = kGameOverIn;
    }
}

void SceneEnding::NextUnlock() {
    if (!(Pressed() & (InputManager::kShot | InputManager::kExWeapon)))
        return;
    if (++unlockShown_ < unlockCount_) {
        PlaySound(kUnlockSound);
        return;
    }
    Restart();
    subState_ = kGameOverIn;
}

void SceneEnding::CrossFade() {
    overlay_ = static_cast<float>(++fadeFrame_) / static_cast<float>(kCrossFadeFrames);
    if (fadeFrame_ < kCrossFadeFrames)
        return;
    overlay_ = 1.0f;
    ReleaseTexture(pictures_[shown_]);
    shown_ ^= 1;
    subState_ = returnSubState_;
}

void SceneEnding::StartOverlay(uint32_t colour, int32_t inFrames, int32_t hold, int32_t outFrames,
                               uint32_t next) {
    overlay_ = 0.0f;
    overlayColour_ = colour;
    fadeInFrames_ = inFrames;
    fadeOutFrames_ = outFrames;
    fadeFrame_ = 0;
    hold_ = hold;
    returnSubState_ = next;
    subState_ = kOverlayIn;
}

void SceneEnding::OverlayIn() {
    overlay_ = static_cast<float>(++fadeFrame_) / static_cast<float>(fadeInFrames_);
    if (fadeFrame_ < fadeInFrames_)
        return;
    overlay_ = 1.0f;
    subState_ = kOverlayHold;
    ReleaseTexture(pictures_[shown_]);
    shown_ ^= 1;
    if (returnSubState_ != kCredits) {
        // The next command's picture shows at once behind the overlay.
        StoryScriptDriver::Instance().Step(1);
        LoadCommandPicture(shown_);
        return;
    }
    SceneStoryCommon::ReleaseResources();
    StoryScriptDriver::Instance().ClearRecords();
    OpenMusic(kTrueCreditsMusic);
    Mireku::Resource::ChildResourceLoader loader;
    LoadCredits(loader);
    if (SoundManager* sound = Sound()) {
        sound->WaitStream(musicSlot_);
        sound->PlayMusic(musicSlot_, false);
    }
    subState_ = kCredits;
}

void SceneEnding::OverlayHold() {
    if (--hold_ > 0)
        return;
    fadeFrame_ = 0;
    subState_ = kOverlayOut;
    OverlayOut();
}

void SceneEnding::OverlayOut() {
    overlay_ = 1.0f - static_cast<float>(++fadeFrame_) / static_cast<float>(fadeOutFrames_);
    if (fadeFrame_ < fadeOutFrames_)
        return;
    overlay_ = 0.0f;
    subState_ = returnSubState_;
}

void SceneEnding::Leave() {
    SetState(kLeaving);
    if (SoundManager* sound = Sound())
        sound->ReleaseStream(&musicSlot_);
    if (SceneDriver* driver = SceneDriver::GetInstance())
        driver->StartFadeUp(
            kFadeOutFrames,
            Mireku::Common::Delegate00(static_cast<SceneEnding*>(this), &SceneEnding::OnFadedOut));
}

void SceneEnding::OnFadedOut() {
    if (GetState() != kLeaving)
        return;
    Finish();
    PushRankingOrTitle();
}

void SceneEnding::Draw() {
    switch (subState_) {
    case kCredits:
    case kCreditsOut: {
        float y = rollOffset_;
        for (Texture* credit : credits_) {
            if (!credit)
                continue;
            DrawAt(credit, 0, y);
            y += static_cast<float>(credit->GetHeight());
        }
        if (subState_ == kCreditsOut)
            DrawScreenRect(StoryColour::WithAlpha(StoryColour::kBlack, overlay_));
        return;
    }
    case kUnlocks:
        if (Texture* unlock = GetUnlock(unlockShown_))
            SpriteQuad::Place(Hud(), unlock, SpriteRenderer::kBlendAlpha, 0, 0,
                              ScreenLayout::kWidth, ScreenLayout::kHeight, 0, 0,
                              ScreenLayout::kWidth, ScreenLayout::kHeight);
        return;
    case kGameOverIn:
    case kGameOver:
        PresentGameOver::Draw(Hud());
        return;
    default:
        break;
    }
    DrawAt(pictures_[shown_], 0, 0);
    if (subState_ == kCrossFade)
        DrawAt(pictures_[shown_ ^ 1], 0, 0, StoryColour::WithAlpha(overlayColour_, overlay_));
    if (subState_ >= kOverlayIn && subState_ <= kOverlayOut)
        DrawScreenRect(StoryColour::WithAlpha(overlayColour_, overlay_));
    else
        DrawLineById();
}
