#include "game/vfx/VfxController.h"

#include "effects/Core/Engine/Engine.h"
#include "effects/Core/Engine/Renderer.h"
#include "engine/graphics/DrawContext.h"
#include "engine/graphics/SortKey.h"
#include "game/core/DrawOrder.h"
#include "game/core/ScreenLayout.h"

#include <cmath>

bool VfxController::Initialize() {
    scale_ = 1.0f;
    return true;
}

void VfxController::UpdateCamera() {
    screenWidth_ = ScreenLayout::kWidth;
    screenHeight_ = ScreenLayout::kHeight;

    // Eye at the origin looking down -Z with +Y up: the identity.
    for (int r = 0; r < 4; ++r)
        for (int c = 0; c < 4; ++c)
            view_[r][c] = r == c ? 1.0f : 0.0f;

    const float aspect =
        static_cast<float>(ScreenLayout::kWidth) / static_cast<float>(ScreenLayout::kHeight);
    const float yScale = 1.0f / std::tan(kFieldOfView * 0.5f);
    for (auto& row : projection_)
        for (float& v : row)
            v = 0.0f;
    projection_[0][0] = yScale / aspect;
    projection_[1][1] = yScale;
    projection_[2][2] = kFar / (kNear - kFar);
    projection_[2][3] = -1.0f;
    projection_[3][2] = kNear * kFar / (kNear - kFar);
}

void VfxController::Update() {
    // No effect instance exists until effect data can be loaded.
}

void VfxController::Draw() {
    // The runtime's draw is what takes the camera; nothing is drawn through
    // it while no effect is loaded.
}

void VfxController::RunFrame() {
    UpdateCamera();
    Update();
    FulgorCore::Renderer::ResetDrawState();
    // The effects draw with the priority alone: the three further key fields
    // a sprite layer may have left are cleared.
    Mireku::Graphics::DrawContext* context = Mireku::Graphics::GetDrawContext();
    if (context)
        context->SetKeyHigh(Mireku::Graphics::SortKey::Priority(context->GetKeyHigh()));
    Draw();
    Mireku::Graphics::SetSortPriority(DrawOrder::kEffectsUnder);
    FulgorCore::Renderer::DrawLayer(0, 0);
    Mireku::Graphics::SetSortPriority(DrawOrder::kEffectsOver);
    FulgorCore::Renderer::DrawLayer(1, 0);
}

void VfxController::Finalize() {
    FulgorCore::Engine::Finalize();
}
