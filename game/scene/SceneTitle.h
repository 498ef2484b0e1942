#pragma once

#include "game/scene/FlowScene.h"

#include <cstdint>

namespace Mireku::Graphics {
class Texture;
}

// The title: its effect and music, the version text, the shot button to the
// game menu, and after a long wait the attract demo.
class SceneTitle : public FlowScene {
public:
    static constexpr const char* kEffectFolder = "title";
    static constexpr const char* kEffectFile = "title_main.vfxb";
    static constexpr const char* kEffectName = "title/title_main.vfxb";
    static constexpr const char* kGlyphFolder = "texture/game/common";
    static constexpr const char* kGlyphFile = "game_moji1.dds";
    static constexpr const char* kMusic = "title.ogg";
    static constexpr const char* kMusicAllPilots = "title2.ogg";

    static constexpr int32_t kIntroFrames = 150;
    static constexpr int32_t kDemoWait = 8100;
    static constexpr int32_t kDemoWaitAllPilots = 9000;
    static constexpr int32_t kDemoWaitAfterDemo = 1800;
    static constexpr int32_t kFadeInFrames = 10;
    static constexpr int32_t kFadeOutFrames = 30;
    // The intro's skip: the effect jumps to its idle part.
    static constexpr uint32_t kSkipIntroTrigger = 1;
    // Sound of the shot that leaves the title; the last pilot's title call.
    static constexpr int32_t kSoundStart = 2;
    static constexpr int32_t kVoiceTitleCall = 31;

    // The version text "v3.20": 32 by 32 cells of the glyph texture, by
    // column and row, each at its x on the line from y 392 to 424.
    static constexpr float kGlyphCell = 32.0f;
    static constexpr float kVersionTop = 392.0f;
    struct VersionGlyph {
        int32_t column, row;
        float x;
    };
    static constexpr VersionGlyph kVersion[] = {
        {5, 4, 986.0f}, {3, 0, 1010.0f}, {14, 5, 1030.0f}, {2, 0, 1042.0f}, {0, 0, 1066.0f}};

    SceneTitle() : FlowScene(kFadeInFrames, false) {}

    void Update() override;
    // Fade completion: the game menu, or the demo stage.
    void OnFadedOut();

    // Set when the title starts a demo, cleared when the player leaves with
    // shot: the title that follows a demo is silent and starts the next demo
    // sooner.
    static bool HasDemoReturned() { return s_demoReturned != 0; }
    static void SetDemoReturned(bool returned) { s_demoReturned = returned ? 1 : 0; }

    int32_t GetCounter() const { return counter_; }
    int32_t GetDemoCountdown() const { return countdown_; }
    Mireku::Graphics::Texture* GetGlyphTexture() const { return glyphs_; }

protected:
    void OnBegin() override;
    void LoadResources(Mireku::Resource::ChildResourceLoader& loader) override;
    void ReleaseResources() override;

private:
    void StateIntro();
    void StateWaiting();
    void StateNothing() {}
    void LeaveTitle();
    void CallTitle();
    // The backdrop and the version text.
    void Draw() override;

    static inline uint8_t s_demoReturned = 0;

    int32_t counter_ = 0;
    int32_t countdown_ = 0;
    Mireku::Graphics::Texture* glyphs_ = nullptr;
    // The last pilot has called the title since the effect last stopped.
    bool called_ = false;
};
