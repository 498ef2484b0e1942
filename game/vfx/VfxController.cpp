#include "game/vfx/VfxController.h"

#include "effects/Core/Engine/Engine.h"
#include "effects/Core/Engine/Renderer.h"
#include "engine/graphics/DrawContext.h"
#include "engine/graphics/SortKey.h"
#include "game/core/DrawOrder.h"
#include "game/core/ScreenLayout.h"
#include "game/vfx/VfxData.h"
#include "game/vfx/VfxInstance.h"

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

VfxController::~VfxController() {
    while (live_)
        Forget(live_);
}

VfxData* VfxController::LoadData(const void* image, uint32_t size, const char* name) {
    if (!image || size == 0)
        return nullptr;
    return new VfxData(name);
}

VfxInstance* VfxController::CreateInstance(VfxData* data) {
    if (!data)
        return nullptr;
    VfxInstance* instance = maker_ ? maker_(data) : new VfxInstance(data);
    if (!instance)
        return nullptr;
    instance->owner_ = this;
    instance->next_ = live_;
    if (live_)
        live_->prev_ = instance;
    live_ = instance;
    return instance;
}

void VfxController::Forget(VfxInstance* instance) {
    if (instance->prev_)
        instance->prev_->next_ = instance->next_;
    else if (live_ == instance)
        live_ = instance->next_;
    if (instance->next_)
        instance->next_->prev_ = instance->prev_;
    instance->prev_ = instance->next_ = nullptr;
    instance->owner_ = nullptr;
}

void VfxController::Update() {
    for (VfxInstance* instance = live_; instance; instance = instance->next_)
        instance->Step();
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
