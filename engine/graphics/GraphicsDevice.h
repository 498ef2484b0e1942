#pragma once

#include "engine/common/Delegate.h"
#include "engine/common/Singleton.h"
#include "engine/common/SingletonObject.h"
#include "engine/graphics/NameTable.h"
#include "sys/gpu.h"

#include <cstdint>

namespace Mireku::Graphics {

class BlendState;
class ConstantBuffer;
class DepthStencilState;
class DepthStencilTexture;
class GeometryShader;
class IndexBuffer;
class PixelShader;
class RasterizerState;
class RenderTargetTexture;
class SamplerState;
class Texture;
class VertexBuffer;
class VertexLayout;
class VertexShader;
struct VertexElement;

// The engine's one graphics device with its swap chain, the state cache through
// which the render thread applies draws, and the three name tables.
//
// The cache keeps every binding in a pending slot with a changed flag; the
// flush before a draw sends only changed state, adjacent changed slots as one
// call. Creation of the device object happens on the main thread; the context
// and swap chain are made by the render thread, which owns the GL context.
class GraphicsDevice : public Common::SingletonObject, public Common::Singleton<GraphicsDevice> {
public:
    static constexpr uint32_t kStages = 4;
    static constexpr uint32_t kSlots = 16;
    static constexpr uint32_t kUavSlots = 4;
    static constexpr uint32_t kNoId = 0xFFFFFFFFu;
    // The message of a device that could not be made.
    static constexpr const char* kDeviceFailed = "Direct3Dデバイスの生成に失敗しました";

    // Backend of devices created from now on (tests choose the null one).
    static void SetBackend(sys::gpu::Backend backend);
    static sys::gpu::Backend GetBackend();
    // Whether presents wait for the vertical sync (the default) or return at
    // once, so that a scripted run plays as fast as it can draw.
    static void SetPaced(bool paced);
    // Called on the render thread with the finished back buffer just before
    // each present (null: none): tests read the frame the player would see.
    using PresentObserver = void (*)(sys::gpu::Device* gpu, void* user);
    static void SetPresentObserver(PresentObserver observer, void* user);
    // Whether frames are rasterised in full (the default) or every viewport
    // is squeezed to one pixel: a scripted run that looks at a few frames
    // still makes every call of every frame, without filling millions of
    // pixels in each. Taken at the start of a frame; the present observer
    // asks how many frames in a row, the one just finished included, were
    // drawn in full.
    static void SetFramesInFull(bool full);
    static uint32_t FramesInFullInARow();

    GraphicsDevice();
    ~GraphicsDevice() override;

    // Main thread: the device object, the display-mode choice and the swap
    // chain's description. Messages of failures go to the sink.
    bool Initialize(void* window, uint32_t width, uint32_t height, const Common::ErrorSink& sink);
    // Render thread, before its first frame: context, swap chain, back-buffer
    // view, viewport. Returns null, or the message of what failed.
    const char* InitializeRenderThread();
    // Render thread, after its last frame: every device object and the context.
    void FinalizeRenderThread();
    // Main thread, after the render thread has ended: leaves full screen and
    // releases everything.
    void Finalize();

    // The display mode for the swap chain: the first whose refresh rate is 60
    // in whole numbers, else mode 0; without modes, rate 0/0 and RGBA8.
    static sys::gpu::DisplayMode ChooseDisplayMode(const sys::gpu::DisplayMode* modes,
                                                   uint32_t count);

    void SetFullscreen(bool fullscreen);
    bool IsFullscreen() const { return fullscreen_ != 0; }
    // Present with vertical sync, then reset the context and the cache, bind
    // the back buffer and clear it to opaque black for the next frame.
    void Present();

    void SetRenderTargets(RenderTargetTexture* const colour[4], DepthStencilTexture* depth);
    void SetBackBufferTarget();
    void SetViewport(int16_t x, int16_t y, int16_t width, int16_t height);
    void SetScissor(int16_t x, int16_t y, int16_t width, int16_t height);
    void ClearBackBuffer(const float colour[4]);
    void ClearRenderTarget(RenderTargetTexture* target, const float colour[4]);
    void ClearDepth(DepthStencilTexture* target);
    sys::gpu::Rect WholeViewportRect() const;

    // Pending state (stored and flagged; sent by the next draw).
    void SetRasterizerState(RasterizerState* state);
    void SetDepthStencilState(DepthStencilState* state);
    void SetBlendState(BlendState* state);
    void SetVertexShader(VertexShader* shader);
    void SetGeometryShader(GeometryShader* shader);
    void SetPixelShader(PixelShader* shader);
    void SetInputLayout(VertexLayout* layout);
    void SetVertexBuffer(uint32_t slot, VertexBuffer* buffer, uint32_t stride, uint32_t offset);
    void SetIndexBuffer(IndexBuffer* buffer, uint8_t format, uint32_t offset);
    void SetConstantBuffer(uint32_t stage, uint32_t slot, ConstantBuffer* buffer);
    void SetShaderResource(uint32_t stage, uint32_t slot, Texture* texture);
    void SetSampler(uint32_t stage, uint32_t slot, SamplerState* sampler);
    // Applied at once: 0 point list, 1 line list, 2 line strip, 3 triangle
    // list, 4 triangle strip.
    void SetTopology(uint32_t topology);

    // mode 0: write with discard.
    void* MapBuffer(sys::gpu::Buffer* buffer, uint32_t mode);
    void UnmapBuffer(sys::gpu::Buffer* buffer);

    void Draw(uint32_t vertexCount, uint32_t startVertex);
    void DrawIndexed(uint32_t indexCount, uint32_t startIndex, int32_t baseVertex);

    // Resource creation (any thread; the device objects are made by the render
    // thread before its next frame). Null only when the engine heap is full.
    RasterizerState* CreateRasterizerState(uint32_t fill, uint32_t cull, uint32_t scissor);
    DepthStencilState* CreateDepthStencilState(uint32_t write, uint32_t comparison);
    BlendState* CreateBlendState(uint8_t enable, uint32_t unused0, uint32_t unused1,
                                 uint32_t destAlpha, uint32_t srcAlpha, uint32_t alphaOp,
                                 uint32_t destColour, uint32_t srcColour, uint32_t colourOp);
    SamplerState* CreateSamplerState(uint32_t filterKind, uint32_t linearMip, uint32_t anisotropy,
                                     uint32_t addressU, uint32_t addressV, uint32_t comparison);
    VertexLayout* CreateVertexLayout(const VertexElement* elements, const void* code,
                                     uint32_t codeLength);
    VertexBuffer* CreateVertexBuffer(uint32_t byteSize, uint32_t usage, uint32_t option);
    VertexBuffer* CreateVertexBufferWithData(const void* data, uint32_t byteSize, uint32_t usage,
                                             uint32_t option);
    IndexBuffer* CreateIndexBuffer(uint32_t byteSize, uint32_t usage, uint32_t option);
    IndexBuffer* CreateIndexBufferWithData(const void* data, uint32_t byteSize, uint32_t usage,
                                           uint32_t option);
    ConstantBuffer* CreateConstantBuffer(uint32_t byteSize, uint32_t usage, uint32_t option);
    VertexShader* CreateVertexShader(const void* code, uint32_t codeLength);
    PixelShader* CreatePixelShader(const void* code, uint32_t codeLength);
    Texture* CreateTextureFromMemory(const void* data, uint32_t size, uint32_t formatIndex);
    RenderTargetTexture* CreateRenderTargetTexture(int16_t width, int16_t height,
                                                   uint32_t formatIndex);
    // A raw unordered-access view over the whole buffer (32-bit elements).
    sys::gpu::View* CreateUnorderedAccessView(sys::gpu::Buffer* buffer);

    uint32_t GetConstantBufferId(const char* name) { return constantBufferNames_.GetId(name); }
    uint32_t GetTextureId(const char* name) { return textureNames_.GetId(name); }
    uint32_t GetSamplerId(const char* name) { return samplerNames_.GetId(name); }

    sys::gpu::Device* GetGpu() const { return gpu_; }
    sys::gpu::View* GetBackBufferView() const { return backBufferView_; }

private:
    void Flush(bool indexed);
    void EmptyCache();
    // Sends runs of flagged slots of one table; clears the flags it sends.
    template <class T, class Send>
    static void SendRuns(T* const* slots, bool* flags, uint32_t count, Send send);

    sys::gpu::Device* gpu_ = nullptr;
    sys::gpu::View* backBufferView_ = nullptr;
    sys::gpu::SwapChainDesc swapChainDesc_;
    sys::gpu::Viewport viewport_;
    // Every viewport goes to the device through here (see SetFramesInFull).
    void ApplyViewport(const sys::gpu::Viewport& viewport);
    bool frameInFull_ = true;

    // State cache. Each flag table ends with a sentinel that is never set.
    sys::gpu::View* views_[kStages][kSlots] = {};
    bool viewFlags_[kStages][kSlots + 1] = {};
    sys::gpu::SamplerState* samplers_[kStages][kSlots] = {};
    bool samplerFlags_[kStages][kSlots + 1] = {};
    sys::gpu::Buffer* constantBuffers_[kStages][kSlots] = {};
    bool constantBufferFlags_[kStages][kSlots + 1] = {};
    sys::gpu::InputLayout* inputLayout_ = nullptr;
    bool inputLayoutFlag_ = false;
    sys::gpu::Buffer* vertexBuffers_[2] = {};
    uint32_t vertexOffsets_[2] = {};
    uint32_t vertexStrides_[2] = {};
    bool vertexBufferFlags_[3] = {};
    sys::gpu::Buffer* indexBuffer_ = nullptr;
    uint32_t indexOffset_ = 0;
    uint8_t indexFormat_ = 0;
    bool indexBufferFlag_ = false;
    sys::gpu::Shader* shaders_[3] = {}; // vertex, geometry, pixel
    bool shaderFlags_[3] = {};
    sys::gpu::View* unorderedAccessViews_[kUavSlots] = {};
    bool unorderedAccessFlags_[kUavSlots + 1] = {};
    sys::gpu::RasterizerState* appliedRasterizer_ = nullptr;
    sys::gpu::DepthStencilState* appliedDepthStencil_ = nullptr;
    sys::gpu::BlendState* appliedBlend_ = nullptr;
    sys::gpu::RasterizerState* pendingRasterizer_ = nullptr;
    sys::gpu::DepthStencilState* pendingDepthStencil_ = nullptr;
    sys::gpu::BlendState* pendingBlend_ = nullptr;

    NameTable<128> constantBufferNames_;
    NameTable<64> textureNames_;
    NameTable<64> samplerNames_;
    uint8_t fullscreen_ = 0;
};

void Present();
void SetFullscreen(bool fullscreen);
// Ids of shader resource names; the largest u32 value when a table is full or
// no device exists.
uint32_t GetConstantBufferId(const char* name);
uint32_t GetTextureId(const char* name);
uint32_t GetSamplerId(const char* name);

} // namespace Mireku::Graphics
