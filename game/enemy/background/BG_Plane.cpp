#include "game/enemy/background/BG_Plane.h"

#include "engine/graphics/Texture.h"
#include "game/core/ScreenLayout.h"
#include "game/core/SpriteQuad.h"

float BG_Plane::TopOf(float height) const {
    const float extra = height - static_cast<float>(ScreenLayout::kFieldSize);
    float travel = extra * (1.0f / kSlideFrames) * static_cast<float>(frameCounter_);
    if (flag_ && travel > extra)
        travel = extra;
    return travel - extra;
}

void BG_Plane::Draw() {
    Mireku::Graphics::Texture* texture = Texture(textureId_);
    if (!texture)
        return;
    const float w = texture->GetWidth(), h = texture->GetHeight();
    Submit(texture, LeftOf(w), TopOf(h), SpriteQuad::kWhite);
}
