#pragma once

#include <cstdint>

namespace Mireku::Graphics {
class Texture;
}
namespace Mireku::Renderer {
class SpriteRenderer;
}
namespace Mireku::Resource {
class ChildResourceLoader;
}

// The game-over presentation shared by the next-loop scene and the ending:
// a black screen with the flickering caption fading in over one second.
class PresentGameOver {
public:
    static constexpr uint32_t kTextureSlots = 8;
    static constexpr const char* kFolder = "texture/game/common";
    static constexpr const char* kTextureNames[] = {
        "gameover_ani1.dds",       "gameover_ani2.dds",       "gameover_noise_ani1.dds",
        "gameover_noise_ani2.dds", "gameover_noise_ani3.dds", nullptr};

    PresentGameOver() = default;
    virtual ~PresentGameOver();
    PresentGameOver(const PresentGameOver&) = delete;
    PresentGameOver& operator=(const PresentGameOver&) = delete;

    // From the owning scene's loader: each name into the next slot; a file
    // that cannot be read leaves its slot empty.
    void LoadTextures(Mireku::Resource::ChildResourceLoader& loader);
    void ReleaseTextures();
    // One sixtieth more of the caption; true while it is still fading in.
    bool StepFadeIn();
    // Back to the start of the presentation: no frames drawn, caption clear.
    void Restart() {
        frameCounter_ = 0;
        progress_ = 0.0f;
    }
    // The black screen and the caption on `hud` at its current priority.
    void Draw(Mireku::Renderer::SpriteRenderer* hud);

    Mireku::Graphics::Texture* GetTexture(uint32_t slot) const {
        return slot < kTextureSlots ? textures_[slot] : nullptr;
    }
    int32_t GetFrameCounter() const { return frameCounter_; }
    float GetProgress() const { return progress_; }
    // The caption's alpha: truncate(progress x 255).
    uint32_t GetCaptionAlpha() const { return static_cast<uint32_t>(progress_ * 255.0f); }

private:
    Mireku::Graphics::Texture* textures_[kTextureSlots] = {};
    int32_t frameCounter_ = 0;
    float progress_ = 0.0f;
};
