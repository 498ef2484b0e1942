#include "game/core/SpriteManager.h"

#include "engine/renderer/SpriteRenderer.h"
#include "game/core/DrawOrder.h"
#include "game/core/ScreenLayout.h"

using Mireku::Renderer::SpriteRenderer;

namespace {

constexpr uint32_t kAlpha = SpriteRenderer::kBlendAlpha;
constexpr uint32_t kAdd = SpriteRenderer::kBlendAdd;
constexpr uint32_t kLinear = SpriteRenderer::kFilterLinear;
constexpr uint32_t kHud = static_cast<uint32_t>(SpriteLayer::kHud);

} // namespace

// In drawing order (SpriteLayer), the field layers at DrawOrder's 3 to 24.
// The effects runtime draws its two layers at DrawOrder::kEffectsUnder
// (under "BG") and DrawOrder::kEffectsOver (over "EtcOver").
const SpriteManager::LayerInfo SpriteManager::kLayers[kLayerCount] = {
    {"BG", 1000, kAlpha, 3},
    {"BGStar", 2000, kAdd, 4},
    {"BGParts", 2000, kAlpha, 5},
    {"BGGround", 1000, kAlpha, 6},
    {"BGBomb", 1000, kAlpha, 7},
    {"BGEffect", 1000, kAlpha, 8},
    {"EtcUnder", 1000, kAlpha, 9},
    {"Enemy_BombParts", 8000, kAdd, 10},
    {"Enemy_Bomb", 1000, kAlpha, 11},
    {"Enemy_Blend", 1000, kAlpha, 12},
    {"Enemy_Add", 1000, kAdd, 13},
    {"PlayerShot_Fx", 8000, kAdd, 14},
    {"PlayerShot_Blend", 8000, kAlpha, 15},
    {"PlayerShot_Add", 5000, kAdd, 16},
    {"Item_Blend1", 2000, kAlpha, 17},
    {"Item_Add1", 2000, kAdd, 18},
    {"Item_Blend2", 2000, kAlpha, 19},
    {"Item_Add2", 5000, kAdd, 20},
    {"Player", 2000, kAlpha, 21},
    {"Enemy_Shot_Blend", 5000, kAlpha, 22},
    {"Enemy_Shot_Add", 5000, kAdd, 23},
    {"EtcOver", 1000, kAlpha, 24},
    {"HUD", 1000, kAlpha, DrawOrder::kEffectsOver},
};

SpriteManager::SpriteManager() : layers_{} {}

SpriteManager::~SpriteManager() {
    Finalize();
}

bool SpriteManager::Initialize() {
    for (SpriteRenderer*& layer : layers_)
        layer = nullptr;
    return true;
}

void SpriteManager::CreateLayer(uint32_t index, uint32_t capacity, uint32_t blockCount,
                                const char* name) {
    if (index >= kLayerCount)
        return;
    // new of an engine object yields null when the heap is exhausted.
    layers_[index] = new SpriteRenderer(capacity, blockCount, name);
}

void SpriteManager::CreateLayers() {
    for (uint32_t i = 0; i < kLayerCount; ++i)
        CreateLayer(i, kLayers[i].capacity, kBlockCount, kLayers[i].name);
}

SpriteRenderer* SpriteManager::GetLayerAt(uint32_t index) const {
    return index < kLayerCount ? layers_[index] : nullptr;
}

void SpriteManager::FlushLayer(uint32_t index, int16_t width, int16_t height) {
    if (SpriteRenderer* layer = GetLayerAt(index))
        layer->Flush(width, height);
}

void SpriteManager::Finalize() {
    for (SpriteRenderer*& layer : layers_) {
        if (layer)
            layer->Release();
        layer = nullptr;
    }
}

void SpriteManager::PrepareLayers() {
    for (uint32_t i = 0; i < kLayerCount; ++i) {
        SpriteRenderer* layer = layers_[i];
        if (!layer)
            continue;
        layer->ResetState();
        layer->SetPixelShader(nullptr);
        layer->SetFilter(0, kLinear);
        layer->SetFilter(1, kLinear);
        layer->SetClamp(0);
        layer->SetClamp(1);
        layer->SetBlend(kLayers[i].blend);
        layer->ClearSortField3();
        layer->ClearSortField2();
        layer->ClearSortField1();
        layer->SetPriority(kLayers[i].priority);
    }
}

void SpriteManager::RaiseHudLayer() {
    if (SpriteRenderer* hud = layers_[kHud])
        hud->SetPriority(DrawOrder::kHud);
}

void SpriteManager::FlushLayers() {
    for (uint32_t i = 0; i < kLayerCount; ++i) {
        if (i == kHud)
            FlushLayer(i, ScreenLayout::kWidth, ScreenLayout::kHeight);
        else
            FlushLayer(i, ScreenLayout::kFieldSize, ScreenLayout::kFieldSize);
    }
}
