// The OpenGL 4.5 core backend. Everything here runs on the owner thread, which
// holds the context. Direct3D conventions are kept by rendering into textures
// whose row 0 is the top row (clip control upper-left, depth 0..1). The back
// buffer is the window's own framebuffer, drawn with a lower-left clip origin
// and y-flipped viewports so that the picture stands upright; when the
// window's drawable differs from the back buffer (full screen on a larger
// display) it becomes a texture again, scaled into the window at present.
//
// The backend is split by resource: the context and object life here and in
// gl_device.cpp, buffers and textures in gl_resources.cpp, shaders and vertex
// layouts in gl_shaders.cpp, state and drawing in gl_draw.cpp, presentation
// in gl_present.cpp, the enum mappings in gl_formats.cpp.
#pragma once

#include "sys/gpu.h"
#include "sys/gpu/gl_functions.h"
#include "sys/gpu/objects.h"

#include <SDL.h>

#include <chrono>

namespace sys::gpu {

// The GL names of the objects that have them; the shared structs keep only
// what the creation queue needs.
struct GlBuffer final : Buffer {
    GLuint gl = 0;
};
struct GlTexture final : Texture {
    GLuint gl = 0;
};
struct GlShader final : Shader {
    GLuint gl = 0; // separable program
    bool compiled = false;
};
struct GlInputLayout final : InputLayout {
    GLuint gl = 0; // vertex array object
};
struct GlSamplerState final : SamplerState {
    GLuint gl = 0;
};

// Every object this backend sees was made by its own factories below.
inline GlBuffer* Gl(Buffer* o) {
    return static_cast<GlBuffer*>(o);
}
inline const GlBuffer* Gl(const Buffer* o) {
    return static_cast<const GlBuffer*>(o);
}
inline GlTexture* Gl(Texture* o) {
    return static_cast<GlTexture*>(o);
}
inline const GlTexture* Gl(const Texture* o) {
    return static_cast<const GlTexture*>(o);
}
inline GlShader* Gl(Shader* o) {
    return static_cast<GlShader*>(o);
}
inline const GlShader* Gl(const Shader* o) {
    return static_cast<const GlShader*>(o);
}
inline GlInputLayout* Gl(InputLayout* o) {
    return static_cast<GlInputLayout*>(o);
}
inline GlSamplerState* Gl(SamplerState* o) {
    return static_cast<GlSamplerState*>(o);
}
inline const GlSamplerState* Gl(const SamplerState* o) {
    return static_cast<const GlSamplerState*>(o);
}

class GlDevice final : public Device {
public:
    explicit GlDevice(void* window) : Device(Backend::OpenGL), window_(window) {}
    ~GlDevice() override = default;

    bool CreateContext() override;
    bool CreateSwapChain(const SwapChainDesc& desc) override;
    void DestroyContext() override;
    uint32_t GetDisplayModes(DisplayMode* modes, uint32_t capacity) override;
    void SetFullscreen(bool fullscreen) override;
    bool IsFullscreen() const override;
    void ClearState() override;
    void SetRenderTargets(uint32_t count, View* const* colour, View* depth) override;
    void SetViewport(const Viewport& v) override;
    void SetScissorRect(const Rect& r) override;
    void ClearRenderTargetView(View* view, const float colour[4]) override;
    void ClearDepthStencilView(View* view, float depth, uint8_t stencil) override;
    void SetRasterizerState(RasterizerState* state) override;
    void SetDepthStencilState(DepthStencilState* state, uint32_t) override;
    void SetBlendState(BlendState* state, const float* factor, uint32_t sampleMask) override;
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
    bool ReadPixels(Texture* texture, const Rect& r, void* rgba) override;

    // Presented frames the GPU may still be working on, as a swap chain's
    // maximum frame latency: each present waits for the frame this many
    // presents back before it returns.
    static constexpr uint32_t kMaxFramesInFlight = 3;
    // The presented frames whose completion is not yet known (at most
    // kMaxFramesInFlight).
    uint32_t FramesInFlight() const;

protected:
    void Realize(Object* object) override;
    void Destroy(Object* object) override;
    Buffer* NewBuffer() override;
    Texture* NewTexture() override;
    Shader* NewShader() override;
    InputLayout* NewInputLayout() override;
    SamplerState* NewSamplerState() override;

private:
    void RealizeBuffer(Buffer* b);
    void DestroyBuffer(Buffer* b);
    void DestroyTexture(Texture* t);
    // The window's rows count from the bottom.
    void ApplyViewport();
    void ApplyScissor();
    void CopyToWindow();
    // Waits for a presented frame's fence, then lets it go.
    void AwaitFrame(GLsync& fence);
    // A texture about to be deleted leaves every attachment and binding.
    void ForgetTexture(GLuint tex);
    void RealizeTexture(Texture* t);
    void Upload(Texture* t, uint32_t mip, uint32_t slice, const Box& b, const void* data,
                uint32_t rowPitch);
    void RealizeShader(Shader* s);
    void RealizeLayout(InputLayout* l);
    void RealizeSampler(SamplerState* s);
    void ApplyRasterizer();
    void ApplyDepth();
    void ApplyBlend();
    // Binds what the current shaders sample and the vertex streams.
    void Resolve();
    void Pace();

    void* window_;
    SDL_GLContext context_ = nullptr;
    bool glLoaded_ = false;
    uint32_t width_ = 0, height_ = 0;
    GLuint pipeline_ = 0, emptyVao_ = 0, nullTexture_ = 0;
    GLuint drawFbo_ = 0, clearFbo_ = 0, depthFbo_ = 0, readFbo_ = 0;
    GLuint attached_[kColourTargets] = {};
    GLuint attachedDepth_ = 0;
    GLenum attachedDepthPoint_ = 0;
    GLuint clearAttached_ = 0, depthAttached_ = 0, readAttached_ = 0;
    Shader* shaders_[kStageCount] = {};
    View* views_[kStageCount][kSlotsPerStage] = {};
    SamplerState* samplers_[kStageCount][kSlotsPerStage] = {};
    GLuint unitTexture_[kStageCount * kSlotsPerStage] = {};
    GLuint unitSampler_[kStageCount * kSlotsPerStage] = {};
    bool texturesDirty_ = true;
    InputLayout* layout_ = nullptr;
    Buffer* vertexBuffers_[kVertexStreams] = {};
    uint32_t strides_[kVertexStreams] = {};
    uint32_t offsets_[kVertexStreams] = {};
    Buffer* indexBuffer_ = nullptr;
    GLenum indexType_ = GL_UNSIGNED_SHORT;
    uint32_t indexOffset_ = 0;
    bool streamsDirty_ = true;
    GLenum topology_ = GL_POINTS;
    bool showOnWindow_ = true;
    bool direct_ = false;   // the back buffer is the window's framebuffer this frame
    bool onWindow_ = false; // and it is the current target
    Viewport viewport_;
    Rect scissor_;
    RasterizerDesc rasterizer_;
    DepthStencilDesc depth_;
    BlendDesc blend_;
    // One fence a presented frame, in a ring: the slot a present fills holds
    // the fence of the frame kMaxFramesInFlight presents back.
    GLsync frameFences_[kMaxFramesInFlight] = {};
    uint32_t nextFence_ = 0;
    std::chrono::steady_clock::duration period_ = std::chrono::microseconds(16667);
    std::chrono::steady_clock::time_point deadline_{};
};

} // namespace sys::gpu
