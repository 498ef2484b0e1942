#include "engine/graphics/GraphicsDevice.h"

#include "engine/common/Heap.h"
#include "engine/graphics/BlendState.h"
#include "engine/graphics/ConstantBuffer.h"
#include "engine/graphics/DepthStencilState.h"
#include "engine/graphics/DepthStencilTexture.h"
#include "engine/graphics/IndexBuffer.h"
#include "engine/graphics/RasterizerState.h"
#include "engine/graphics/RenderTargetTexture.h"
#include "engine/graphics/SamplerState.h"
#include "engine/graphics/ShaderBase.h"
#include "engine/graphics/VertexBuffer.h"
#include "engine/graphics/VertexLayout.h"

#include <atomic>
#include <cstring>

namespace Mireku::Graphics {

namespace {

std::atomic<sys::gpu::Backend> g_backend{sys::gpu::Backend::OpenGL};
std::atomic<bool> g_paced{true};
std::atomic<GraphicsDevice::PresentObserver> g_presentObserver{nullptr};
std::atomic<void*> g_presentObserverUser{nullptr};
std::atomic<bool> g_framesInFull{true};
std::atomic<uint32_t> g_framesInFullInARow{0};

constexpr const char* kSwapChainFailed = "スワップチェインの生成に失敗しました";

constexpr sys::gpu::Stage kStageOf[3] = {sys::gpu::Stage::Vertex, sys::gpu::Stage::Geometry,
                                         sys::gpu::Stage::Pixel};

} // namespace

void GraphicsDevice::SetBackend(sys::gpu::Backend backend) {
    g_backend.store(backend);
}
sys::gpu::Backend GraphicsDevice::GetBackend() {
    return g_backend.load();
}
void GraphicsDevice::SetPaced(bool paced) {
    g_paced.store(paced);
}
void GraphicsDevice::SetFramesInFull(bool full) {
    g_framesInFull.store(full);
}
uint32_t GraphicsDevice::FramesInFullInARow() {
    return g_framesInFullInARow.load();
}
void GraphicsDevice::SetPresentObserver(PresentObserver observer, void* user) {
    g_presentObserver.store(nullptr);
    g_presentObserverUser.store(user);
    g_presentObserver.store(observer);
}

GraphicsDevice::GraphicsDevice() = default;

GraphicsDevice::~GraphicsDevice() {
    Finalize();
}

sys::gpu::DisplayMode GraphicsDevice::ChooseDisplayMode(const sys::gpu::DisplayMode* modes,
                                                        uint32_t count) {
    sys::gpu::DisplayMode chosen;
    chosen.format = sys::gpu::Format::R8G8B8A8_UNORM;
    if (!modes || count == 0)
        return chosen;
    chosen = modes[0];
    for (uint32_t i = 0; i < count; ++i) {
        const sys::gpu::DisplayMode& m = modes[i];
        if (m.refreshDenominator != 0 && m.refreshNumerator / m.refreshDenominator == 60) {
            chosen = m;
            break;
        }
    }
    return chosen;
}

bool GraphicsDevice::Initialize(void* window, uint32_t width, uint32_t height,
                                const Common::ErrorSink& sink) {
    gpu_ = sys::gpu::CreateDevice(g_backend.load(), window);
    if (!gpu_) {
        if (!sink.IsEmpty())
            sink.Invoke(kDeviceFailed);
        return false;
    }
    // The mode list lives on the engine heap for as long as the choice takes.
    const uint32_t count = gpu_->GetDisplayModes(nullptr, 0);
    sys::gpu::DisplayMode* modes = nullptr;
    uint32_t got = 0;
    if (count) {
        modes = static_cast<sys::gpu::DisplayMode*>(
            Common::Heap::LockedAlloc(count * sizeof(sys::gpu::DisplayMode)));
        if (modes)
            got = gpu_->GetDisplayModes(modes, count);
        if (got > count)
            got = count;
    }
    const sys::gpu::DisplayMode mode = ChooseDisplayMode(modes, got);
    if (modes)
        Common::Heap::LockedFree(modes);

    swapChainDesc_ = {};
    swapChainDesc_.width = width;
    swapChainDesc_.height = height;
    swapChainDesc_.mode = mode;
    swapChainDesc_.mode.width = width;
    swapChainDesc_.mode.height = height;
    swapChainDesc_.window = window;
    swapChainDesc_.windowed = true;
    viewport_ = {0.0f, 0.0f, static_cast<float>(width), static_cast<float>(height), 0.0f, 1.0f};
    return true;
}

const char* GraphicsDevice::InitializeRenderThread() {
    if (!gpu_ || !gpu_->CreateContext())
        return kDeviceFailed;
    if (!gpu_->CreateSwapChain(swapChainDesc_))
        return kSwapChainFailed;
    sys::gpu::Texture* backBuffer = gpu_->GetBackBuffer();
    backBufferView_ = backBuffer ? gpu_->CreateRenderTargetView(backBuffer) : nullptr;
    if (!backBufferView_)
        return kSwapChainFailed;
    gpu_->ClearState();
    SetBackBufferTarget();
    // The first frame starts from black, as every later one does after a present.
    const float black[4] = {0.0f, 0.0f, 0.0f, 1.0f};
    ClearBackBuffer(black);
    return nullptr;
}

void GraphicsDevice::FinalizeRenderThread() {
    if (!gpu_)
        return;
    gpu_->DestroyContext();
    backBufferView_ = nullptr;
}

void GraphicsDevice::Finalize() {
    if (!gpu_)
        return;
    if (gpu_->IsFullscreen())
        gpu_->SetFullscreen(false);
    sys::gpu::DestroyDevice(gpu_);
    gpu_ = nullptr;
    backBufferView_ = nullptr;
}

void GraphicsDevice::SetFullscreen(bool fullscreen) {
    fullscreen_ = fullscreen ? 1 : 0;
    if (gpu_)
        gpu_->SetFullscreen(fullscreen);
}

sys::gpu::Rect GraphicsDevice::WholeViewportRect() const {
    return {static_cast<int32_t>(viewport_.x), static_cast<int32_t>(viewport_.y),
            static_cast<int32_t>(viewport_.x + viewport_.width),
            static_cast<int32_t>(viewport_.y + viewport_.height)};
}

void GraphicsDevice::Present() {
    if (!gpu_)
        return;
    g_framesInFullInARow.store(frameInFull_ ? g_framesInFullInARow.load() + 1 : 0);
    if (PresentObserver observer = g_presentObserver.load())
        observer(gpu_, g_presentObserverUser.load());
    gpu_->Present(g_paced.load() ? 1 : 0);
    gpu_->ClearState();
    frameInFull_ = g_framesInFull.load();
    SetBackBufferTarget();
    EmptyCache();
    const float black[4] = {0.0f, 0.0f, 0.0f, 1.0f};
    ClearBackBuffer(black);
}

void GraphicsDevice::SetRenderTargets(RenderTargetTexture* const colour[4],
                                      DepthStencilTexture* depth) {
    sys::gpu::View* views[4];
    for (int i = 0; i < 4; ++i)
        views[i] = colour[i] ? colour[i]->GetRenderTargetView() : nullptr;
    gpu_->SetRenderTargets(4, views, depth ? depth->GetDepthStencilView() : nullptr);
    if (colour[0]) {
        ApplyViewport({0.0f, 0.0f, static_cast<float>(colour[0]->GetWidth()),
                       static_cast<float>(colour[0]->GetHeight()), 0.0f, 1.0f});
    }
    gpu_->SetScissorRect(WholeViewportRect());
}

void GraphicsDevice::SetBackBufferTarget() {
    sys::gpu::View* views[4] = {backBufferView_, nullptr, nullptr, nullptr};
    gpu_->SetRenderTargets(4, views, nullptr);
    ApplyViewport(viewport_);
    gpu_->SetScissorRect(WholeViewportRect());
}

void GraphicsDevice::SetViewport(int16_t x, int16_t y, int16_t width, int16_t height) {
    ApplyViewport({static_cast<float>(x), static_cast<float>(y), static_cast<float>(width),
                   static_cast<float>(height), 0.0f, 1.0f});
}

void GraphicsDevice::ApplyViewport(const sys::gpu::Viewport& viewport) {
    if (frameInFull_) {
        gpu_->SetViewport(viewport);
        return;
    }
    sys::gpu::Viewport pixel = viewport;
    pixel.width = pixel.height = 1.0f;
    gpu_->SetViewport(pixel);
}

void GraphicsDevice::SetScissor(int16_t x, int16_t y, int16_t width, int16_t height) {
    if (x == 0 && y == 0 && width == 0 && height == 0) {
        gpu_->SetScissorRect(WholeViewportRect());
        return;
    }
    gpu_->SetScissorRect({x, y, x + width, y + height});
}

void GraphicsDevice::ClearBackBuffer(const float colour[4]) {
    gpu_->ClearRenderTargetView(backBufferView_, colour);
}

void GraphicsDevice::ClearRenderTarget(RenderTargetTexture* target, const float colour[4]) {
    if (target && target->GetRenderTargetView())
        gpu_->ClearRenderTargetView(target->GetRenderTargetView(), colour);
}

void GraphicsDevice::ClearDepth(DepthStencilTexture* target) {
    if (target && target->GetDepthStencilView())
        gpu_->ClearDepthStencilView(target->GetDepthStencilView(), 1.0f, 0);
}

void GraphicsDevice::SetRasterizerState(RasterizerState* state) {
    pendingRasterizer_ = state ? state->GetState() : nullptr;
}

void GraphicsDevice::SetDepthStencilState(DepthStencilState* state) {
    pendingDepthStencil_ = state ? state->GetState() : nullptr;
}

void GraphicsDevice::SetBlendState(BlendState* state) {
    pendingBlend_ = state ? state->GetState() : nullptr;
}

void GraphicsDevice::SetVertexShader(VertexShader* shader) {
    shaders_[0] = shader ? shader->GetShader() : nullptr;
    shaderFlags_[0] = true;
}

void GraphicsDevice::SetGeometryShader(GeometryShader* shader) {
    shaders_[1] = shader ? shader->GetShader() : nullptr;
    shaderFlags_[1] = true;
}

void GraphicsDevice::SetPixelShader(PixelShader* shader) {
    shaders_[2] = shader ? shader->GetShader() : nullptr;
    shaderFlags_[2] = true;
}

void GraphicsDevice::SetInputLayout(VertexLayout* layout) {
    inputLayout_ = layout ? layout->GetLayout() : nullptr;
    inputLayoutFlag_ = true;
}

void GraphicsDevice::SetVertexBuffer(uint32_t slot, VertexBuffer* buffer, uint32_t stride,
                                     uint32_t offset) {
    if (slot >= 2)
        return;
    vertexBuffers_[slot] = buffer ? buffer->GetBuffer() : nullptr;
    vertexStrides_[slot] = stride;
    vertexOffsets_[slot] = offset;
    vertexBufferFlags_[slot] = true;
}

void GraphicsDevice::SetIndexBuffer(IndexBuffer* buffer, uint8_t format, uint32_t offset) {
    indexBuffer_ = buffer ? buffer->GetBuffer() : nullptr;
    indexFormat_ = format;
    indexOffset_ = offset;
    indexBufferFlag_ = true;
}

void GraphicsDevice::SetConstantBuffer(uint32_t stage, uint32_t slot, ConstantBuffer* buffer) {
    if (stage >= kStages || slot >= kSlots)
        return;
    constantBuffers_[stage][slot] = buffer ? buffer->GetBuffer() : nullptr;
    constantBufferFlags_[stage][slot] = true;
}

void GraphicsDevice::SetShaderResource(uint32_t stage, uint32_t slot, Texture* texture) {
    if (stage >= kStages || slot >= kSlots)
        return;
    views_[stage][slot] = texture ? texture->GetShaderResourceView() : nullptr;
    viewFlags_[stage][slot] = true;
}

void GraphicsDevice::SetSampler(uint32_t stage, uint32_t slot, SamplerState* sampler) {
    if (stage >= kStages || slot >= kSlots)
        return;
    samplers_[stage][slot] = sampler ? sampler->GetState() : nullptr;
    samplerFlags_[stage][slot] = true;
}

void GraphicsDevice::SetTopology(uint32_t topology) {
    if (topology > 4)
        return;
    gpu_->SetTopology(static_cast<sys::gpu::Topology>(topology));
}

void* GraphicsDevice::MapBuffer(sys::gpu::Buffer* buffer, uint32_t mode) {
    if (!gpu_ || !buffer)
        return nullptr;
    return gpu_->Map(buffer, mode == 0 ? sys::gpu::MapMode::WriteDiscard
                                       : sys::gpu::MapMode::WriteNoOverwrite);
}

void GraphicsDevice::UnmapBuffer(sys::gpu::Buffer* buffer) {
    if (gpu_ && buffer)
        gpu_->Unmap(buffer);
}

template <class T, class Send>
void GraphicsDevice::SendRuns(T* const* slots, bool* flags, uint32_t count, Send send) {
    // The flag table ends with a sentinel that is never set, so a run always stops.
    uint32_t i = 0;
    while (i < count) {
        if (!flags[i]) {
            ++i;
            continue;
        }
        const uint32_t start = i;
        while (flags[i]) {
            flags[i] = false;
            ++i;
        }
        send(start, i - start, slots + start);
    }
}

void GraphicsDevice::Flush(bool indexed) {
    sys::gpu::Device* g = gpu_;
    SendRuns(unorderedAccessViews_, unorderedAccessFlags_, kUavSlots,
             [g](uint32_t s, uint32_t n, sys::gpu::View* const* v) {
                 g->SetUnorderedAccessViews(s, n, v);
             });
    if (pendingRasterizer_ != appliedRasterizer_) {
        appliedRasterizer_ = pendingRasterizer_;
        g->SetRasterizerState(appliedRasterizer_);
    }
    if (pendingDepthStencil_ != appliedDepthStencil_) {
        appliedDepthStencil_ = pendingDepthStencil_;
        g->SetDepthStencilState(appliedDepthStencil_, 0);
    }
    if (pendingBlend_ != appliedBlend_) {
        appliedBlend_ = pendingBlend_;
        g->SetBlendState(appliedBlend_, nullptr, 0xFFFFFFFFu);
    }
    for (uint32_t st = 0; st < 3; ++st)
        SendRuns(views_[st], viewFlags_[st], kSlots,
                 [g, st](uint32_t s, uint32_t n, sys::gpu::View* const* v) {
                     g->SetShaderResources(kStageOf[st], s, n, v);
                 });
    for (uint32_t st = 0; st < 3; ++st)
        SendRuns(samplers_[st], samplerFlags_[st], kSlots,
                 [g, st](uint32_t s, uint32_t n, sys::gpu::SamplerState* const* v) {
                     g->SetSamplers(kStageOf[st], s, n, v);
                 });
    if (inputLayoutFlag_) {
        inputLayoutFlag_ = false;
        g->SetInputLayout(inputLayout_);
    }
    SendRuns(vertexBuffers_, vertexBufferFlags_, 2,
             [this, g](uint32_t s, uint32_t n, sys::gpu::Buffer* const* v) {
                 g->SetVertexBuffers(s, n, v, vertexStrides_ + s, vertexOffsets_ + s);
             });
    if (indexed && indexBufferFlag_) {
        indexBufferFlag_ = false;
        g->SetIndexBuffer(indexBuffer_,
                          indexFormat_ ? sys::gpu::Format::R32_UINT : sys::gpu::Format::R16_UINT,
                          indexOffset_);
    }
    // Geometry, vertex, pixel.
    static constexpr uint32_t kShaderOrder[3] = {1, 0, 2};
    for (uint32_t k : kShaderOrder) {
        if (shaderFlags_[k]) {
            shaderFlags_[k] = false;
            g->SetShader(kStageOf[k], shaders_[k]);
        }
    }
    for (uint32_t st = 0; st < 3; ++st)
        SendRuns(constantBuffers_[st], constantBufferFlags_[st], kSlots,
                 [g, st](uint32_t s, uint32_t n, sys::gpu::Buffer* const* v) {
                     g->SetConstantBuffers(kStageOf[st], s, n, v);
                 });
}

void GraphicsDevice::Draw(uint32_t vertexCount, uint32_t startVertex) {
    Flush(false);
    gpu_->Draw(vertexCount, startVertex);
}

void GraphicsDevice::DrawIndexed(uint32_t indexCount, uint32_t startIndex, int32_t baseVertex) {
    Flush(true);
    gpu_->DrawIndexed(indexCount, startIndex, baseVertex);
}

void GraphicsDevice::EmptyCache() {
    std::memset(views_, 0, sizeof(views_));
    std::memset(viewFlags_, 0, sizeof(viewFlags_));
    std::memset(samplers_, 0, sizeof(samplers_));
    std::memset(samplerFlags_, 0, sizeof(samplerFlags_));
    std::memset(constantBuffers_, 0, sizeof(constantBuffers_));
    std::memset(constantBufferFlags_, 0, sizeof(constantBufferFlags_));
    inputLayout_ = nullptr;
    inputLayoutFlag_ = false;
    std::memset(vertexBuffers_, 0, sizeof(vertexBuffers_));
    std::memset(vertexOffsets_, 0, sizeof(vertexOffsets_));
    std::memset(vertexStrides_, 0, sizeof(vertexStrides_));
    std::memset(vertexBufferFlags_, 0, sizeof(vertexBufferFlags_));
    indexBuffer_ = nullptr;
    indexOffset_ = 0;
    indexFormat_ = 0;
    indexBufferFlag_ = false;
    std::memset(shaders_, 0, sizeof(shaders_));
    std::memset(shaderFlags_, 0, sizeof(shaderFlags_));
    std::memset(unorderedAccessViews_, 0, sizeof(unorderedAccessViews_));
    std::memset(unorderedAccessFlags_, 0, sizeof(unorderedAccessFlags_));
    appliedRasterizer_ = pendingRasterizer_ = nullptr;
    appliedDepthStencil_ = pendingDepthStencil_ = nullptr;
    appliedBlend_ = pendingBlend_ = nullptr;
}

void Present() {
    if (GraphicsDevice* d = GraphicsDevice::GetInstance())
        d->Present();
}

void SetFullscreen(bool fullscreen) {
    if (GraphicsDevice* d = GraphicsDevice::GetInstance())
        d->SetFullscreen(fullscreen);
}

uint32_t GetConstantBufferId(const char* name) {
    GraphicsDevice* d = GraphicsDevice::GetInstance();
    return d ? d->GetConstantBufferId(name) : GraphicsDevice::kNoId;
}

uint32_t GetTextureId(const char* name) {
    GraphicsDevice* d = GraphicsDevice::GetInstance();
    return d ? d->GetTextureId(name) : GraphicsDevice::kNoId;
}

uint32_t GetSamplerId(const char* name) {
    GraphicsDevice* d = GraphicsDevice::GetInstance();
    return d ? d->GetSamplerId(name) : GraphicsDevice::kNoId;
}

} // namespace Mireku::Graphics
