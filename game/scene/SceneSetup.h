#pragma once

#include "game/core/ConfigBlock.h"
#include "game/core/ProgressBlock.h"
#include "game/scene/FlowScene.h"

#include <cstdint>

namespace Mireku::Graphics {
class Texture;
}
namespace Mireku::Renderer {
class SpriteRenderer;
}

// The options screen: lives at the start, the three volumes, the pad
// bindings of nine controls (captured one after another), the story
// language and the screen mode, edited in a working copy of the
// configuration. "OK" copies it into the game's configuration, "back" drops
// it; both return to the game menu, and the screen mode applies on leaving.
class SceneSetup : public FlowScene {
public:
    enum Item : uint8_t {
        kLives = 0,
        kMusicVolume = 1,
        kSoundVolume = 2,
        kVoiceVolume = 3,
        kControls = 4,
        kDefault = 5,
        kLanguage = 6,
        kScreenMode = 7,
        kOk = 8,
        kBack = 9,
    };
    static constexpr uint8_t kItemCount = 10;
    static constexpr uint32_t kControlCount = 9;
    // The virtual button each captured control is bound to, in capture order:
    // up, down, right, left, shot, shot with speed down, baryon laser, sub
    // weapon change, sub weapon select. The configuration slot of control k
    // is the first pad code of action k.
    static constexpr uint32_t kVirtualButtons[kControlCount] = {16, 17, 19, 18, 0, 8, 1, 2, 9};
    static const char* const kControlLabels[kControlCount];
    static constexpr uint32_t kPadInputCount = 92;
    static constexpr uint32_t kPadButtonCount = 32;

    static constexpr uint8_t kMinLives = 1;
    static constexpr int32_t kBaseLives = 3;
    static constexpr int32_t kMostLives = 10;
    static constexpr uint8_t kMaxVolume = 100;
    // Lives above this are shown as 255.
    static constexpr uint8_t kLargestShownLives = 9;

    static constexpr uint32_t kTextureCount = 7;
    enum Texture : uint32_t {
        kFont = 0,
        kTitle = 1,
        kAchieveIcon = 2,
        kOkOff = 3,
        kOkOn = 4,
        kBackOff = 5,
        kBackOn = 6,
    };
    static const char* const kTextureNames[kTextureCount];
    static constexpr const char* kMusic = "ranking.ogg";
    static constexpr int32_t kFadeInFrames = 30;
    static constexpr int32_t kFadeOutFrames = 60;

    SceneSetup() : FlowScene(kFadeInFrames, true) {}

    // The largest lives setting after `playFrames` frames of play: 3, and
    // one more for each whole hour, at most 10.
    static int32_t LargestLives(uint64_t playFrames);
    // "button-NN" (pad buttons 0 to 31, NN the button's number from 1) or
    // "axis-NN" (axis directions from 32 on, NN from 1, the tens digit
    // modulo 10) into `out`, which holds at least 16 bytes.
    static void SetupBindingName(uint32_t padInput, char* out);

    uint8_t GetItem() const { return item_; }
    uint8_t GetCaptureStep() const { return capture_; }
    int32_t GetLargestLives() const { return largestLives_; }
    const uint8_t* GetWorkingConfig() const { return config_; }
    Mireku::Graphics::Texture* GetTexture(uint32_t slot) const {
        return slot < kTextureCount ? textures_[slot] : nullptr;
    }

protected:
    void StateShown() override;
    void StateLeave() override;
    void OnBegin() override;
    void LoadResources(Mireku::Resource::ChildResourceLoader& loader) override;
    void ReleaseResources() override;
    void Draw() override;

private:
    void Input();
    void Adjust(uint32_t pressed);
    void Capture();
    void StartCapture();
    void LeaveSetup(bool keep);
    bool IsCapturing() const { return item_ == kControls && capture_ != 0; }

    void DrawText(Mireku::Renderer::SpriteRenderer* hud, const char* text, float x, float y,
                  float sx, float sy, bool selected);
    void DrawCursor(Mireku::Renderer::SpriteRenderer* hud, float x, float y);

    uint8_t item_ = kLives;
    // 0 idle, 1 to 9 the control being captured.
    uint8_t capture_ = 0;
    int32_t largestLives_ = kBaseLives;
    float swing_ = 0.0f;
    Mireku::Graphics::Texture* textures_[kTextureCount] = {};
    uint8_t config_[ConfigBlock::kSize] = {};
    uint8_t progress_[ProgressBlock::kSize] = {};
};
