#pragma once

#include "sys/gpu.h"
#include "sys/gpu/objects.h"
#include "sys/gpu_null.h"

#include <vector>

namespace sys::gpu {

// The null backend keeps a buffer's contents itself.
struct NullBuffer final : Buffer {
    std::vector<uint8_t> shadow;
};
inline NullBuffer* Null(Buffer* b) {
    return static_cast<NullBuffer*>(b);
}
inline const NullBuffer* Null(const Buffer* b) {
    return static_cast<const NullBuffer*>(b);
}

class NullDevice final : public Device {
public:
    NullDevice();
    ~NullDevice() override;

    bool CreateContext() override;
    bool CreateSwapChain(const SwapChainDesc& desc) override;
    void DestroyContext() override;
    uint32_t GetDisplayModes(DisplayMode* modes, uint32_t capacity) override;
    void SetFullscreen(bool fullscreen) override;
    bool IsFullscreen() const override;

    void ClearState() override;
    void SetRenderTargets(uint32_t count, View* const* colour, View* depth) override;
    void SetViewport(const Viewport& viewport) override;
    void SetScissorRect(const Rect& rect) override;
    void ClearRenderTargetView(View* view, const float colour[4]) override;
    void ClearDepthStencilView(View* view, float depth, uint8_t stencil) override;
    void SetRasterizerState(RasterizerState* state) override;
    void SetDepthStencilState(DepthStencilState* state, uint32_t stencilRef) override;
    void SetBlendState(BlendState* state, const float* blendFactor, uint32_t sampleMask) override;
    void SetShader(Stage stage, Shader* shader) override;
    void SetConstantBuffers(Stage stage, uint32_t start, uint32_t count,
                            Buffer* const* buffers) override;
    void SetShaderResources(Stage stage, uint32_t start, uint32_t count,
                            View* const* views) override;
    void SetSamplers(Stage stage, uint32_t start, uint32_t count,
                     SamplerState* const* samplers) override;
    void SetUnorderedAccessViews(uint32_t start, uint32_t count, View* const* views) override;
    void SetInputLayout(InputLayout* layout) override;
    void SetVertexBuffers(uint32_t start, uint32_t count, Buffer* const* buffers,
                          const uint32_t* strides, const uint32_t* offsets) override;
    void SetIndexBuffer(Buffer* buffer, Format format, uint32_t offset) override;
    void SetTopology(Topology topology) override;
    void Draw(uint32_t vertexCount, uint32_t startVertex) override;
    void DrawIndexed(uint32_t indexCount, uint32_t startIndex, int32_t baseVertex) override;
    void* Map(Buffer* buffer, MapMode mode) override;
    void Unmap(Buffer* buffer) override;
    void UpdateSubresource(Object* resource, uint32_t subresource, const Box* box, const void* data,
                           uint32_t rowPitch) override;
    void Present(uint32_t syncInterval) override;
    bool ReadPixels(Texture* texture, const Rect& rect, void* rgba) override;

protected:
    void Realize(Object* object) override;
    void Destroy(Object* object) override;
    Buffer* NewBuffer() override;

private:
    NullCall& Record(NullOp op);
    void RecordSlots(NullOp op, Stage stage, uint32_t start, uint32_t count,
                     const void* const* objects);

    std::vector<NullCall> calls_;
    NullCall scratch_{NullOp::Present};
    uint64_t callCount_ = 0;
    bool recording_ = true;
    std::vector<DisplayMode> modes_;
    bool failContext_ = false;
    bool failSwapChain_ = false;

    friend std::vector<NullCall>* NullCalls(Device*);
    friend void SetNullRecording(Device*, bool);
    friend uint64_t NullCallCount(Device*);
    friend void SetNullDisplayModes(Device*, const DisplayMode*, uint32_t);
    friend void SetNullFailures(Device*, bool, bool);
};

} // namespace sys::gpu
