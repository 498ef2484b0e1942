#pragma once

#include "game/scene/FlowScene.h"

#include <cstdint>

namespace Mireku::Graphics {
class Texture;
}
namespace Mireku::Renderer {
class SpriteRenderer;
}

// The score rankings, one page per ranking table: the top ten entries with
// place, score, pilot, date and time in the sprite font. Left and right turn
// pages, up and down move the cursor, "ok" returns to the game menu.
class SceneRanking : public FlowScene {
public:
    static constexpr uint32_t kPageCount = 4;
    static constexpr int32_t kRows = 10;
    static constexpr int32_t kOkButton = 10;
    static constexpr uint32_t kTextureCount = 13;
    enum Texture : uint32_t {
        kGlyphs = 0,
        kHeader = 1,
        kFirstCursor = 2, // glint frames 2 to 10 show cursors 1 to 9
        kOkOff = 11,
        kOkOn = 12,
    };
    static constexpr const char* kTextureFolder = "texture/setup_ranking";
    static const char* const kTextureNames[kTextureCount];
    // The setup screen's background effect.
    static constexpr const char* kEffectFolder = "setup";
    static constexpr const char* kEffectFile = "setup.vfxb";
    static constexpr const char* kEffectName = "setup/setup.vfxb";
    static constexpr const char* kMusic = "ranking.ogg";

    static const char* const kPageTitles[kPageCount];
    static const char* const kRowLabels[kRows];

    static constexpr int32_t kGlintDelay = 60;
    static constexpr int32_t kFirstGlintFrame = 2;
    static constexpr int32_t kLastGlintFrame = 10;
    static constexpr int32_t kGlintStepsPerFrame = 3;
    static constexpr int32_t kFadeInFrames = 30;
    static constexpr int32_t kFadeOutFrames = 60;

    SceneRanking() : FlowScene(kFadeInFrames, true) {}

    // The ranking page of a game mode.
    static uint32_t PageOfMode(uint32_t mode);

    // The sprite-font text of the ranking and next-loop screens, a space
    // being half a cell wide. Draws with the layer's current texture, colour
    // and blend.
    static void DrawSpriteText(Mireku::Renderer::SpriteRenderer* layer, const char* text, float x,
                               float y, float sx, float sy);
    // Formats with printf rules into a bounded local buffer (longer text is
    // cut) and draws it.
    static void DrawPrintf(Mireku::Renderer::SpriteRenderer* layer, float x, float y, float sx,
                           float sy, const char* format, ...) __attribute__((format(printf, 6, 7)));

    int32_t GetPage() const { return page_; }
    int32_t GetCursor() const { return cursor_; }
    int32_t GetGlintStep() const { return glintStep_; }
    int32_t GetGlintFrame() const { return glintFrame_; }
    int32_t GetGlintDelay() const { return glintDelay_; }
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
    void Glint();
    void DrawRows(Mireku::Renderer::SpriteRenderer* hud);

    int32_t page_ = 0;
    int32_t cursor_ = 0;
    int32_t glintDelay_ = kGlintDelay;
    int32_t glintStep_ = -1;
    int32_t glintFrame_ = kFirstGlintFrame;
    Mireku::Graphics::Texture* textures_[kTextureCount] = {};
};
