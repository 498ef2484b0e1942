#include "game/scene/SceneSetup.h"

#include "engine/graphics/GraphicsDevice.h"
#include "engine/peripheral/InputDevice.h"
#include "engine/peripheral/KeyboardDevice.h"
#include "engine/peripheral/PadDevice.h"
#include "engine/renderer/SpriteRenderer.h"
#include "game/core/DrawOrder.h"
#include "game/core/GlobalWork.h"
#include "game/core/InputManager.h"
#include "game/flow/TextureFile.h"
#include "game/scene/HudSprite.h"
#include "game/scene/SceneRanking.h"
#include "game/scene/SceneSelectGameMenu.h"
#include "game/scene/SpriteFont.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <iterator>

using Mireku::Renderer::SpriteRenderer;

namespace {

constexpr uint32_t kSelected = HudSprite::Colour(255, 0x1F, 0xE7, 0xFE);
constexpr float kPi = 3.14159265358979f;
constexpr float kSwingStep = 0.1f;
constexpr float kSwingWidth = 3.0f;
constexpr float kCursorGap = 35.0f;

// Left column labels, their values at x 480; the right column's values sit
// under their labels.
constexpr float kLabelX = 100.0f;
constexpr float kIndentX = 128.0f;
constexpr float kValueX = 480.0f;
constexpr float kRightLabelX = 807.0f;
constexpr float kRightValueX = 927.0f;
constexpr float kControlTop = 325.0f;
constexpr float kControlPitch = 31.0f;

struct Position {
    float x, y;
};
// Label of each item with one (the buttons have none).
constexpr Position kLabels[] = {{kLabelX, 95},      {kIndentX, 173},    {kIndentX, 212},
                                {kIndentX, 251},    {kLabelX, 290},     {kLabelX, 602},
                                {kRightLabelX, 95}, {kRightLabelX, 175}};
constexpr const char* kLabelTexts[] = {
    "player\tleft",     "music",   "sound\teffect", "voice",
    "control\tsetting", "default", "language",      "screen\tmode"};
constexpr uint32_t kVolumeOffsets[] = {ConfigBlock::kOffsetMusicVolume,
                                       ConfigBlock::kOffsetSoundVolume,
                                       ConfigBlock::kOffsetVoiceVolume};

float ControlY(uint32_t k) {
    return kControlTop + kControlPitch * static_cast<float>(k);
}

} // namespace

const char* const SceneSetup::kControlLabels[kControlCount] = {"up",
                                                               "down",
                                                               "right",
                                                               "left",
                                                               "shot",
                                                               "shot+speed\tdown",
                                                               "baryon laser",
                                                               "sub\tweapon\tchange",
                                                               "sub\tweapon\tselect"};

const char* const SceneSetup::kTextureNames[kTextureCount] = {
    "moji_setup_ranking.dds", "set_up.dds", "achieve_icon.dds", "ok_off.dds", "ok_on.dds",
    "back_off.dds",           "back_on.dds"};

int32_t SceneSetup::LargestLives(uint64_t playFrames) {
    const uint64_t hours = playFrames / 60 / 60 / 60;
    return static_cast<int32_t>(std::min<uint64_t>(kBaseLives + hours, kMostLives));
}

void SceneSetup::SetupBindingName(uint32_t padInput, char* out) {
    const bool button = padInput < kPadButtonCount;
    const uint32_t n = button ? padInput + 1 : padInput - (kPadButtonCount - 1);
    std::snprintf(out, 16, "%s-%c%c", button ? "button" : "axis", '0' + (n / 10) % 10,
                  '0' + n % 10);
}

void SceneSetup::OnBegin() {
    item_ = kLives;
    capture_ = 0;
    swing_ = 0.0f;
    if (const GlobalWork* work = Work()) {
        std::memcpy(config_, work->config, sizeof config_);
        std::memcpy(progress_, work->progress, sizeof progress_);
    } else {
        ConfigBlock::Reset(config_);
        ProgressBlock::Reset(progress_);
    }
    uint64_t playFrames;
    std::memcpy(&playFrames, progress_ + ProgressBlock::kOffsetPlayTime, sizeof playFrames);
    largestLives_ = LargestLives(playFrames);
    // A damaged "Config.dat", or lives earned by play time before "Data.dat"
    // was lost, must not leave a value outside what left and right step
    // through: the u8 would wrap.
    uint8_t& lives = config_[ConfigBlock::kOffsetLives];
    lives = static_cast<uint8_t>(std::clamp<int32_t>(lives, kMinLives, largestLives_));
    for (uint32_t offset : kVolumeOffsets)
        config_[offset] = std::min(config_[offset], kMaxVolume);
    for (uint32_t offset : {ConfigBlock::kOffsetStoryLanguage, ConfigBlock::kOffsetScreenMode})
        config_[offset] = config_[offset] != 0 ? 1 : 0;
    OpenMusic(kMusic);
}

void SceneSetup::LoadResources(Mireku::Resource::ChildResourceLoader& loader) {
    LoadEffect(loader, SceneRanking::kEffectFolder, SceneRanking::kEffectFile,
               SceneRanking::kEffectName);
    ReadTextures(loader, SceneRanking::kTextureFolder, kTextureNames, textures_);
}

void SceneSetup::ReleaseResources() {
    ReleaseAll(textures_);
    FlowScene::ReleaseResources();
}

void SceneSetup::StateShown() {
    Input();
    Draw();
}

void SceneSetup::StateLeave() {
    // The screen mode applies as start-up applies it.
    const GlobalWork* work = Work();
    const uint8_t* config = work ? work->config : config_;
    Mireku::Graphics::SetFullscreen(config[ConfigBlock::kOffsetScreenMode] != 0);
    LeaveFor<SceneSelectGameMenu>();
}

void SceneSetup::LeaveSetup(bool keep) {
    if (keep)
        if (GlobalWork* work = Work())
            std::memcpy(work->config, config_, sizeof config_);
    LeaveByFade(kFadeOutFrames, kSoundDecide);
}

void SceneSetup::StartCapture() {
    using Mireku::Peripheral::InputDevice;
    InputDevice* input = InputDevice::GetInstance();
    const InputManager* manager = InputManager::GetInstance();
    if (input && manager)
        for (uint32_t button : kVirtualButtons)
            input->GetVirtualButtons().ClearPadBindings(manager->GetRecord(), button);
    capture_ = 1;
}

void SceneSetup::Input() {
    const uint32_t pressed = Pressed();
    if (pressed & InputManager::kShot) {
        switch (item_) {
        case kControls:
            StartCapture();
            break;
        case kDefault:
            PlaySound(kSoundCursor);
            if (GlobalWork* work = Work()) {
                work->ResetConfig();
                std::memcpy(config_, work->config, sizeof config_);
            }
            break;
        case kOk:
            LeaveSetup(true);
            break;
        case kBack:
            LeaveSetup(false);
            break;
        default:
            break;
        }
    } else if (pressed & InputManager::kExWeapon) {
        if (item_ == kControls)
            capture_ = 0;
    } else if (pressed & InputManager::kUp) {
        if (!IsCapturing()) {
            item_ = static_cast<uint8_t>((item_ + kItemCount - 1) % kItemCount);
            PlaySound(kSoundCursor);
        }
    } else if (pressed & InputManager::kDown) {
        if (!IsCapturing()) {
            item_ = static_cast<uint8_t>((item_ + 1) % kItemCount);
            PlaySound(kSoundCursor);
        }
    } else {
        Adjust(pressed);
    }
}

void SceneSetup::Adjust(uint32_t pressed) {
    const bool left = pressed & InputManager::kLeft;
    const bool right = pressed & InputManager::kRight;
    switch (item_) {
    case kLives: {
        uint8_t& lives = config_[ConfigBlock::kOffsetLives];
        if (left) {
            PlaySound(kSoundCursor);
            if (lives != kMinLives)
                --lives;
        }
        if (right) {
            PlaySound(kSoundCursor);
            if (lives != largestLives_)
                ++lives;
        }
        break;
    }
    case kMusicVolume:
    case kSoundVolume:
    case kVoiceVolume: {
        uint8_t& volume = config_[kVolumeOffsets[item_ - kMusicVolume]];
        if (left && volume != 0)
            --volume;
        if (right && volume != kMaxVolume)
            ++volume;
        break;
    }
    case kControls:
        Capture();
        break;
    case kLanguage:
    case kScreenMode:
        if (left || right) {
            uint8_t& value = config_[item_ == kLanguage ? ConfigBlock::kOffsetStoryLanguage
                                                        : ConfigBlock::kOffsetScreenMode];
            value = value == 0 ? 1 : 0;
            PlaySound(kSoundCursor);
        }
        break;
    case kOk:
    case kBack:
        if (left || right) {
            item_ = item_ == kOk ? kBack : kOk;
            PlaySound(kSoundCursor);
        }
        break;
    default:
        break;
    }
}

void SceneSetup::Capture() {
    using namespace Mireku::Peripheral;
    const KeyboardDevice* keyboard = KeyboardDevice::GetInstance();
    if (keyboard && keyboard->IsDown(kKeyEscape))
        capture_ = 0;
    if (capture_ < 1 || capture_ > kControlCount)
        return;
    const PadDevice* pads = PadDevice::GetInstance();
    const PadRecord* pad =
        pads ? pads->GetPad(ConfigBlock::ReadU32(config_, ConfigBlock::kOffsetPadNumber)) : nullptr;
    if (!pad)
        return;
    uint32_t found = kPadInputCount;
    for (uint32_t code = 0; code < kPadInputCount; ++code) {
        if (pad->GetState(code) == kButtonPressed) {
            found = code;
            break;
        }
    }
    if (found == kPadInputCount)
        return;
    ConfigBlock::SetBinding(config_, capture_ - 1u, 0, static_cast<int32_t>(found));
    if (++capture_ <= kControlCount)
        return;
    capture_ = 0;
    InputDevice* input = InputDevice::GetInstance();
    const InputManager* manager = InputManager::GetInstance();
    if (!input || !manager)
        return;
    for (uint32_t k = 0; k < kControlCount; ++k) {
        const int32_t code = ConfigBlock::Binding(config_, k, 0);
        input->GetVirtualButtons().BindPad(manager->GetRecord(), kVirtualButtons[k],
                                           static_cast<uint32_t>(code));
    }
}

void SceneSetup::DrawText(SpriteRenderer* hud, const char* text, float x, float y, float sx,
                          float sy, bool selected) {
    hud->SetColor(0, selected ? kSelected : HudSprite::kTextBright);
    SpriteFont::Draw(hud, text, x, y, sx, sy, SpriteFont::kWideSpace);
}

void SceneSetup::DrawCursor(SpriteRenderer* hud, float x, float y) {
    const float swing = kSwingWidth * std::sin(swing_);
    DrawText(hud, ">", x - kCursorGap + swing, y, 1.0f, 1.0f, true);
}

void SceneSetup::Draw() {
    SpriteRenderer* hud = Hud();
    if (!hud)
        return;
    HudSprite::BeginMenu(hud);
    hud->SetTexture(textures_[kTitle]);
    HudSprite::TexelsAt(hud, 0, 0, 236, 42, 120, 20);
    hud->SetTexture(textures_[item_ == kOk ? kOkOn : kOkOff]);
    HudSprite::TexelsAt(hud, 0, 0, 90, 32, 902, 645);
    hud->SetTexture(textures_[item_ == kBack ? kBackOn : kBackOff]);
    HudSprite::TexelsAt(hud, 0, 0, 172, 32, 1050, 645);

    hud->SetTexture(textures_[kFont]);
    hud->SetFilter(0, SpriteRenderer::kFilterLinear);
    for (uint8_t item = 0; item < std::size(kLabels); ++item)
        DrawText(hud, kLabelTexts[item], kLabels[item].x, kLabels[item].y, 1.0f, 1.0f,
                 item == item_);
    DrawText(hud, "sound\tvolume", kLabelX, 134, 1.0f, 1.0f, false);

    char value[32];
    const uint8_t lives = config_[ConfigBlock::kOffsetLives];
    std::snprintf(value, sizeof value, "%02d", lives > kLargestShownLives ? 255 : lives);
    DrawText(hud, value, kValueX, kLabels[kLives].y, 1.0f, 1.0f, item_ == kLives);
    for (uint8_t v = 0; v < 3; ++v) {
        const uint8_t item = static_cast<uint8_t>(kMusicVolume + v);
        std::snprintf(value, sizeof value, "%3d%%", config_[kVolumeOffsets[v]]);
        DrawText(hud, value, kValueX, kLabels[item].y, 1.0f, 1.0f, item_ == item);
    }
    for (uint32_t k = 0; k < kControlCount; ++k) {
        const bool captured = IsCapturing() && capture_ - 1u == k;
        const float sx = k >= 5 ? 0.7f : 1.0f;
        DrawText(hud, kControlLabels[k], kIndentX, ControlY(k), sx, 0.9f, captured);
        SetupBindingName(static_cast<uint32_t>(ConfigBlock::Binding(config_, k, 0)), value);
        DrawText(hud, value, kValueX, ControlY(k), 0.8f, 0.9f, captured);
    }
    DrawText(hud, config_[ConfigBlock::kOffsetStoryLanguage] == 0 ? "japanese" : "english",
             kRightValueX, 134, 1.0f, 1.0f, item_ == kLanguage);
    DrawText(hud, config_[ConfigBlock::kOffsetScreenMode] == 0 ? "window" : "fullscreen",
             kRightValueX, 214, 1.0f, 1.0f, item_ == kScreenMode);

    if (IsCapturing())
        DrawCursor(hud, kIndentX, ControlY(capture_ - 1u));
    else if (item_ < std::size(kLabels))
        DrawCursor(hud, kLabels[item_].x, kLabels[item_].y);
    swing_ += kSwingStep;
    if (swing_ >= kPi)
        swing_ -= kPi;
}
