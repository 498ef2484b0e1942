#include "game/enemy/background/BG_UpperPlane.h"

#include "engine/graphics/Texture.h"
#include "game/core/ScreenLayout.h"
#include "game/core/SpriteQuad.h"
#include "game/stage/GameObjectDirector.h"

void BG_UpperPlane::SetTextures(const int32_t* ids, int32_t count, int32_t runFrames) {
    textureCount_ =
        count < 0 ? 0
                  : (count > static_cast<int32_t>(kMaxTextures) ? static_cast<int32_t>(kMaxTextures)
                                                                : count);
    for (int32_t i = 0; i < textureCount_; ++i)
        textures_[i] = ids[i];
    currentTexture_ = textureCount_ > 0 ? textures_[0] : kNoTexture;
    runFrames_ = runFrames;
}

float BG_UpperPlane::ScrollOf(float total) const {
    if (runFrames_ <= 0)
        return 0.0f;
    const float extra = total - static_cast<float>(ScreenLayout::kFieldSize);
    return extra / static_cast<float>(runFrames_) * static_cast<float>(frameCounter_);
}

void BG_UpperPlane::Draw() {
    float total = 0.0f;
    for (int32_t i = 0; i < textureCount_; ++i)
        if (Mireku::Graphics::Texture* t = Texture(textures_[i]))
            total += t->GetHeight();
    const float scroll = ScrollOf(total);
    // Everything fixed to the map is placed by this scroll (no upper limit:
    // the map keeps moving after its run). A stack without pictures moves
    // nothing.
    GameObjectDirector* director = GetOwner();
    if (director && total > 0.0f)
        director->SetMapScroll(scroll);
    constexpr float kField = ScreenLayout::kFieldSize;
    float bottom = kField + scroll;
    for (int32_t i = 0; i < textureCount_; ++i) {
        Mireku::Graphics::Texture* t = Texture(textures_[i]);
        if (!t)
            continue;
        const float w = t->GetWidth(), h = t->GetHeight();
        const float top = bottom - h;
        // Only the pictures that reach into the field are drawn.
        if (top < kField && bottom > 0.0f)
            Submit(t, LeftOf(w), top, SpriteQuad::kWhite);
        bottom = top;
    }
}
