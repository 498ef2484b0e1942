#include "game/vfx/VfxController.h"

#include "effects/Core/Engine/DrawParameter.h"
#include "effects/Core/Engine/Engine.h"
#include "effects/Core/Engine/InitializeParameter.h"
#include "effects/Core/Engine/UpdateParameter.h"
#include "effects/Core/Interface/IDevice.h"
#include "effects/Core/Memory/UnitInstancePool.h"
#include "effects/render/Renderer.h"
#include "engine/graphics/DrawContext.h"
#include "engine/graphics/SortKey.h"
#include "game/core/DrawOrder.h"
#include "game/core/ScreenLayout.h"
#include "game/vfx/VfxAlloc.h"
#include "game/vfx/VfxData.h"
#include "game/vfx/VfxDeviceMaker.h"
#include "game/vfx/VfxInstance.h"
#include "game/vfx/VfxLightListenner.h"
#include "sys/memory.h"

#include <cmath>
#include <cstring>
#include <new>

// The unit pool keeps its 4096 blocks at the 64-bit block size.
static_assert(VfxController::kUnitInstanceMemorySize == 4096 * FulgorCore::kUnitBlockStride);

namespace {

// The units' blocks start on cache lines (the effect units lay out the
// fields they read every frame by line), and the memory on large pages: a
// frame reads a few lines of each of thousands of blocks.
alignas(sys::kLargePageSize) uint8_t g_unitInstanceMemory[VfxController::kUnitInstanceMemorySize];
alignas(16) uint8_t g_cacheBufferMemory[VfxController::kCacheBufferMemorySize];
alignas(16) uint8_t g_renderCommandBufferMemory[VfxController::kRenderCommandBufferMemorySize];

} // namespace

bool VfxController::NameLess::operator()(const char* a, const char* b) const {
    // strcmp compares as unsigned char.
    return std::strcmp(a, b) < 0;
}

FulgorCore::InitializeParameter
VfxController::MakeInitializeParameter(FulgorCore::IDevice* device,
                                       FulgorCore::ILightListenner* light) {
    FulgorCore::InitializeParameter p;
    std::memset(&p, 0, sizeof p);
    p.UnitInstanceMemory = g_unitInstanceMemory;
    p.UnitInstanceMemorySize = kUnitInstanceMemorySize;
    p.CacheBufferMemory = g_cacheBufferMemory;
    p.CacheBufferMemorySize = kCacheBufferMemorySize;
    p.RenderCommandBufferMemory = g_renderCommandBufferMemory;
    p.RenderCommandBufferMemorySize = kRenderCommandBufferMemorySize;
    p.pDevice = device;
    p.pLightListenner = light;
    p.ObjectMaxCount = kObjectMaxCount;
    p.InstanceMaxCount = kInstanceMaxCount;
    // The buffer sizes stay 0: the runtime's minimums.
    p.VertexBufferTotalSize = kVertexBufferTotalSize;
    p.IndexBufferTotalSize = kIndexBufferTotalSize;
    p.EngineInitializeParameter.pAllocator_Alloc = VfxAlloc;
    p.EngineInitializeParameter.pAllocator_Free = VfxFree;
    // No log callback: the runtime's messages are not printed.
    return p;
}

bool VfxController::Initialize() {
    device_ = VfxDeviceMaker::Make();
    light_ = new VfxLightListenner();
    const FulgorCore::InitializeParameter parameter = MakeInitializeParameter(device_, light_);
    // Before the pool links its blocks, which is their first touch.
    sys::AdviseLargePages(g_unitInstanceMemory, kUnitInstanceMemorySize);
    return FulgorCore::Engine::Initialize(&parameter);
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
    // An instance released by what its update set off leaves the set; the
    // walk has its successor already.
    for (auto it = live_.begin(); it != live_.end();) {
        VfxInstance* instance = *it++;
        instance->Update();
    }
    const FulgorCore::UpdateParameter parameter{1.0f, &view_[0][0]};
    FulgorCore::Engine::Update(&parameter);
}

FulgorCore::DrawParameter VfxController::MakeDrawParameter() const {
    FulgorCore::DrawParameter p;
    std::memset(&p, 0, sizeof p);
    p.depthTexture = nullptr;
    p.visibilityMask = 0xFFFFFFFFu;
    p.pixelSize[0] = p.screenSize[0] = static_cast<int32_t>(screenWidth_);
    p.pixelSize[1] = p.screenSize[1] = static_cast<int32_t>(screenHeight_);
    p.viewMatrix = &view_[0][0];
    p.projectionMatrix = &projection_[0][0];
    for (float& c : p.ambientColour)
        c = 0.2f;
    // The light's direction (0, 0, -1), then its colour (1, 1, 1).
    const float lighting[6] = {0.0f, 0.0f, -1.0f, 1.0f, 1.0f, 1.0f};
    std::memcpy(p.lighting, lighting, sizeof lighting);
    return p;
}

void VfxController::Draw() {
    const FulgorCore::DrawParameter parameter = MakeDrawParameter();
    FulgorCore::Engine::Draw(0, &parameter);
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

VfxData* VfxController::LoadData(const void* image, uint32_t size, const char* name) {
    return new VfxData(image, size, name);
}

VfxInstance* VfxController::CreateInstance(VfxData* data, const VfxEventDelegate* owner) {
    if (!data)
        return nullptr;
    return maker_ ? maker_(data, owner) : new VfxInstance(data, owner);
}

void VfxController::Finalize() {
    FulgorCore::Engine::Finalize();
    delete light_;
    light_ = nullptr;
    delete device_;
    device_ = nullptr;
}

void VfxController::AddData(VfxData* data) {
    try {
        data_.emplace(data->GetName(), data);
    } catch (const std::bad_alloc&) {
        // Unlisted: nothing looks data up by name.
    }
}

void VfxController::RemoveData(VfxData* data) {
    auto [first, last] = data_.equal_range(data->GetName());
    for (auto it = first; it != last; ++it) {
        if (it->second == data) {
            data_.erase(it);
            return;
        }
    }
}

void VfxController::AddInstance(VfxInstance* instance) {
    try {
        live_.insert(instance);
    } catch (const std::bad_alloc&) {
        // Unlisted: never stepped, so a play it is asked for never reaches
        // the runtime.
    }
}

void VfxController::RemoveInstance(VfxInstance* instance) {
    live_.erase(instance);
}
