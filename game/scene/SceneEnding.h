#pragma once

#include "game/flow/LoadingScene.h"
#include "game/scene/PresentGameOver.h"
#include "game/scene/SceneStoryCommon.h"

#include <cstdint>

namespace Mireku::Graphics {
class Texture;
}

// After the last stage: the clear is recorded; in story mode, with the fifth
// or sixth pilot or once the story was cleared with the sixth, the true
// ending plays with its pictures and black-outs; then the staff credits roll,
// a picture is shown for each unlock gained in this game, the game-over
// caption comes, and the game leaves for the ranking or the title.
class SceneEnding : public LoadingScene, public SceneStoryCommon, public PresentGameOver {
public:
    static constexpr const char* kMusicFolder = "sound/bgm";
    static constexpr const char* kCreditsMusic = "vam_027.ogg";
    static constexpr const char* kTrueCreditsMusic = "vam_028.ogg";
    static constexpr const char* kPictureFolder = "texture/ending";
    static constexpr const char* kCreditFolder = "texture/staff_roll";
    static constexpr const char* kUnlockFolder = "texture/secret";
    static constexpr uint32_t kCreditSlots = 8;
    static constexpr uint32_t kCreditCount = 5;
    static constexpr uint32_t kUnlockSlots = 8;
    static constexpr uint32_t kUnlockCount = 5;
    // A picture name is the script's 31 bytes and ".dds".
    static constexpr uint32_t kPictureNameSize = StoryCommand::kStringSize + 4;
    static constexpr uint32_t kEndingHoldLength = 150;
    static constexpr int32_t kCaptionFrames = 301;
    static constexpr int32_t kFadeOutFrames = 30;
    static constexpr int32_t kCancelSound = 9;
    static constexpr int32_t kUnlockSound = 100;

    enum State : int32_t {
        kStartMusic = 1,
        kBlackHold = 2,
        kWaitFade = 3,
        kMain = 4,
        kLeaving = 5,
    };
    enum SubState : uint32_t {
        kScript = 0,
        kPicture = 1,
        kPictureLoaded = 2,
        kCredits = 3,
        kCreditsOut = 4,
        kUnlocks = 6,
        kGameOverIn = 7,
        kGameOver = 8,
        kCrossFade = 10,
        kOverlayIn = 11,
        kOverlayHold = 12,
        kOverlayOut = 13,
    };

    // The unlock pictures (1-5, "update01.dds" to "update05.dds") whose
    // flags the progress image `now` has and `before` had not, in order.
    static uint32_t GainedUnlocks(const uint8_t* now, const uint8_t* before,
                                  uint32_t (&pictures)[kUnlockSlots]);

    SceneEnding() = default;

    void Begin() override;
    void Update() override;
    // The fade-out's completion: the ranking or the title.
    void OnFadedOut();

    uint32_t GetSubState() const { return subState_; }
    uint32_t GetReturnSubState() const { return returnSubState_; }
    float GetOverlay() const { return overlay_; }
    uint32_t GetOverlayColour() const { return overlayColour_; }
    int32_t GetTimer() const { return timer_; }
    int32_t GetMusicSlot() const { return musicSlot_; }
    float GetRollOffset() const { return rollOffset_; }
    int32_t GetRollHeight() const { return rollHeight_; }
    uint32_t GetShownPicture() const { return shown_; }
    Mireku::Graphics::Texture* GetPicture(uint32_t slot) const {
        return slot < 2 ? pictures_[slot] : nullptr;
    }
    Mireku::Graphics::Texture* GetCredit(uint32_t slot) const {
        return slot < kCreditSlots ? credits_[slot] : nullptr;
    }
    uint32_t GetUnlockCount() const { return unlockCount_; }
    uint32_t GetUnlockPicture(uint32_t i) const { return i < kUnlockSlots ? unlockList_[i] : 0; }
    uint32_t GetUnlockShown() const { return unlockShown_; }
    Mireku::Graphics::Texture* GetUnlock(uint32_t i) const {
        return i < kUnlockSlots ? unlocks_[i] : nullptr;
    }

protected:
    void LoadResources(Mireku::Resource::ChildResourceLoader& loader) override;
    void ReleaseResources() override;

private:
    void Main();
    void StepScript();
    void TakePicture();
    void StepCredits(bool ending);
    void ShowUnlocksOrCaption();
    void NextUnlock();
    void CrossFade();
    void OverlayIn();
    void OverlayHold();
    void OverlayOut();
    void Leave();
    void Draw();

    // A fade to `colour` over `inFrames`, a hold, a fade back over
    // `outFrames`, then `next`.
    void StartOverlay(uint32_t colour, int32_t inFrames, int32_t hold, int32_t outFrames,
                      uint32_t next);
    // "<picture>.dds" of the current command into `slot`; false for none.
    bool LoadCommandPicture(uint32_t slot);
    void LoadCredits(Mireku::Resource::ChildResourceLoader& loader);
    void OpenMusic(const char* name);

    uint32_t subState_ = kScript;
    uint32_t returnSubState_ = kScript;
    int32_t timer_ = 0;
    int32_t musicSlot_ = -1;
    Mireku::Graphics::Texture* pictures_[2] = {};
    uint32_t shown_ = 1;
    char pictureFolder_[48] = {};
    char pictureName_[kPictureNameSize] = {};
    float overlay_ = 0.0f;
    uint32_t overlayColour_ = 0;
    // The overlay's fades counted in frames, so that each takes exactly its
    // length.
    int32_t fadeInFrames_ = 1;
    int32_t fadeOutFrames_ = 1;
    int32_t fadeFrame_ = 0;
    int32_t hold_ = 0;
    Mireku::Graphics::Texture* credits_[kCreditSlots] = {};
    float rollOffset_ = 0.0f;
    int32_t rollHeight_ = 0;
    Mireku::Graphics::Texture* unlocks_[kUnlockSlots] = {};
    uint32_t unlockList_[kUnlockSlots] = {};
    uint32_t unlockCount_ = 0;
    uint32_t unlockShown_ = 0;
};
