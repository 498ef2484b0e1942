// The OpenGL 4.5 core backend. Everything here runs on the owner thread, which
// holds the context. Direct3D conventions are kept by rendering into textures
// whose row 0 is the top row (clip control upper-left, depth 0..1). The back
// buffer is the window's own framebuffer, drawn with a lower-left clip origin
// and y-flipped viewports so that the picture stands upright; when the
// window's drawable differs from the back buffer (full screen on a larger
// display) it becomes a texture again, scaled into the window at present.
#include "sys/gpu.h"
#include "sys/gpu/gl_functions.h"
#include "sys/gpu/objects.h"
#include "sys/window.h"

#include <SDL.h>

#include <chrono>
#include <cstdio>
#include <cstring>
#include <new>
#include <thread>
#include <vector>

namespace sys::gpu {

namespace {

struct GlFormat {
    GLenum internal;
    GLenum format;
    GLenum type;
};

GlFormat TextureFormat(Format f) {
    switch (f) {
    case Format::R8G8B8A8_UNORM:
        return {GL_RGBA8, GL_RGBA, GL_UNSIGNED_BYTE};
    case Format::B8G8R8A8_UNORM:
        return {GL_RGBA8, GL_BGRA, GL_UNSIGNED_BYTE};
    case Format::A8_UNORM:
    case Format::R8_UNORM:
        return {GL_R8, GL_RED, GL_UNSIGNED_BYTE};
    case Format::R10G10B10A2_UNORM:
        return {GL_RGB10_A2, GL_RGBA, GL_UNSIGNED_INT_2_10_10_10_REV};
    case Format::R16_FLOAT:
        return {GL_R16F, GL_RED, GL_HALF_FLOAT};
    case Format::R32_FLOAT:
        return {GL_R32F, GL_RED, GL_FLOAT};
    case Format::R16G16_FLOAT:
        return {GL_RG16F, GL_RG, GL_HALF_FLOAT};
    case Format::R16G16B16A16_FLOAT:
        return {GL_RGBA16F, GL_RGBA, GL_HALF_FLOAT};
    case Format::R32G32_FLOAT:
        return {GL_RG32F, GL_RG, GL_FLOAT};
    case Format::R32G32B32_FLOAT:
        return {GL_RGB32F, GL_RGB, GL_FLOAT};
    case Format::R32G32B32A32_FLOAT:
        return {GL_RGBA32F, GL_RGBA, GL_FLOAT};
    case Format::R8G8B8A8_UINT:
        return {GL_RGBA8UI, GL_RGBA_INTEGER, GL_UNSIGNED_BYTE};
    case Format::R16G16_UNORM:
        return {GL_RG16, GL_RG, GL_UNSIGNED_SHORT};
    case Format::R16G16B16A16_UNORM:
        return {GL_RGBA16, GL_RGBA, GL_UNSIGNED_SHORT};
    case Format::R16G16_SINT:
        return {GL_RG16I, GL_RG_INTEGER, GL_SHORT};
    case Format::R16G16B16A16_SINT:
        return {GL_RGBA16I, GL_RGBA_INTEGER, GL_SHORT};
    case Format::R16G16_SNORM:
        return {GL_RG16_SNORM, GL_RG, GL_SHORT};
    case Format::R16G16B16A16_SNORM:
        return {GL_RGBA16_SNORM, GL_RGBA, GL_SHORT};
    case Format::R32_UINT:
        return {GL_R32UI, GL_RED_INTEGER, GL_UNSIGNED_INT};
    case Format::R16_UINT:
        return {GL_R16UI, GL_RED_INTEGER, GL_UNSIGNED_SHORT};
    case Format::BC1_UNORM:
        return {0x83F1 /* RGBA S3TC DXT1 */, 0, 0};
    case Format::BC2_UNORM:
        return {0x83F2 /* RGBA S3TC DXT3 */, 0, 0};
    case Format::BC3_UNORM:
        return {0x83F3 /* RGBA S3TC DXT5 */, 0, 0};
    case Format::BC4_UNORM:
        return {GL_COMPRESSED_RED_RGTC1, 0, 0};
    case Format::BC5_UNORM:
        return {GL_COMPRESSED_RG_RGTC2, 0, 0};
    case Format::BC6H_UF16:
        return {GL_COMPRESSED_RGB_BPTC_UNSIGNED_FLOAT, 0, 0};
    case Format::BC7_UNORM:
        return {GL_COMPRESSED_RGBA_BPTC_UNORM, 0, 0};
    case Format::D24_UNORM_S8_UINT:
        return {GL_DEPTH24_STENCIL8, GL_DEPTH_STENCIL, GL_UNSIGNED_INT_24_8};
    case Format::D32_FLOAT:
        return {GL_DEPTH_COMPONENT32F, GL_DEPTH_COMPONENT, GL_FLOAT};
    default:
        return {0, 0, 0};
    }
}

struct GlAttrib {
    GLint size;
    GLenum type;
    bool normalized;
    bool integer;
};

GlAttrib AttribFormat(Format f) {
    switch (f) {
    case Format::R32_FLOAT:
        return {1, GL_FLOAT, false, false};
    case Format::R32G32_FLOAT:
        return {2, GL_FLOAT, false, false};
    case Format::R32G32B32_FLOAT:
        return {3, GL_FLOAT, false, false};
    case Format::R32G32B32A32_FLOAT:
        return {4, GL_FLOAT, false, false};
    case Format::R16G16_FLOAT:
        return {2, GL_HALF_FLOAT, false, false};
    case Format::R16G16B16A16_FLOAT:
        return {4, GL_HALF_FLOAT, false, false};
    case Format::R8G8B8A8_UINT:
        return {4, GL_UNSIGNED_BYTE, false, true};
    case Format::R8G8B8A8_UNORM:
        return {4, GL_UNSIGNED_BYTE, true, false};
    case Format::B8G8R8A8_UNORM:
        return {GL_BGRA, GL_UNSIGNED_BYTE, true, false};
    case Format::R16G16_UNORM:
        return {2, GL_UNSIGNED_SHORT, true, false};
    case Format::R16G16B16A16_UNORM:
        return {4, GL_UNSIGNED_SHORT, true, false};
    case Format::R16G16_SINT:
        return {2, GL_SHORT, false, true};
    case Format::R16G16B16A16_SINT:
        return {4, GL_SHORT, false, true};
    case Format::R16G16_SNORM:
        return {2, GL_SHORT, true, false};
    case Format::R16G16B16A16_SNORM:
        return {4, GL_SHORT, true, false};
    case Format::R32_UINT:
        return {1, GL_UNSIGNED_INT, false, true};
    default:
        return {0, 0, false, false};
    }
}

GLenum Compare(Comparison c) {
    static const GLenum k[] = {GL_NEVER,   GL_LESS,     GL_EQUAL,  GL_LEQUAL,
                               GL_GREATER, GL_NOTEQUAL, GL_GEQUAL, GL_ALWAYS};
    return k[static_cast<uint32_t>(c) & 7];
}

GLenum BlendFactorGl(BlendFactor f) {
    static const GLenum k[] = {GL_ZERO,      GL_ONE,
                               GL_SRC_COLOR, GL_ONE_MINUS_SRC_COLOR,
                               GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA,
                               GL_DST_ALPHA, GL_ONE_MINUS_DST_ALPHA,
                               GL_DST_COLOR, GL_ONE_MINUS_DST_COLOR};
    const uint32_t i = static_cast<uint32_t>(f);
    return i < 10 ? k[i] : GL_ONE;
}

GLenum BlendOpGl(BlendOp op) {
    static const GLenum k[] = {GL_FUNC_ADD, GL_FUNC_SUBTRACT, GL_FUNC_REVERSE_SUBTRACT, GL_MIN,
                               GL_MAX};
    const uint32_t i = static_cast<uint32_t>(op);
    return i < 5 ? k[i] : GL_FUNC_ADD;
}

GLenum AddressGl(AddressMode a) {
    switch (a) {
    case AddressMode::Wrap:
        return GL_REPEAT;
    case AddressMode::Mirror:
        return GL_MIRRORED_REPEAT;
    default:
        return GL_CLAMP_TO_EDGE;
    }
}

GLenum ModeGl(Topology t) {
    switch (t) {
    case Topology::LineList:
        return GL_LINES;
    case Topology::LineStrip:
        return GL_LINE_STRIP;
    case Topology::TriangleList:
        return GL_TRIANGLES;
    case Topology::TriangleStrip:
        return GL_TRIANGLE_STRIP;
    default:
        return GL_POINTS;
    }
}

constexpr GLenum kStageGl[kStageCount] = {GL_VERTEX_SHADER, GL_GEOMETRY_SHADER, GL_FRAGMENT_SHADER,
                                          GL_COMPUTE_SHADER};
constexpr GLbitfield kStageBit[kStageCount] = {GL_VERTEX_SHADER_BIT, GL_GEOMETRY_SHADER_BIT,
                                               GL_FRAGMENT_SHADER_BIT, GL_COMPUTE_SHADER_BIT};
constexpr GLenum kMaxAnisotropy = 0x84FE;

} // namespace

class GlDevice final : public Device {
public:
    explicit GlDevice(void* window) : Device(Backend::OpenGL), window_(window) {}
    ~GlDevice() override = default;

    bool CreateContext() override {
        TakeOwnership();
        SDL_Window* w = static_cast<SDL_Window*>(window_);
        if (!w)
            return false;
        SDL_GL_SetAttribute(SDL_GL_CONTEXT_MAJOR_VERSION, 4);
        SDL_GL_SetAttribute(SDL_GL_CONTEXT_MINOR_VERSION, 5);
        SDL_GL_SetAttribute(SDL_GL_CONTEXT_PROFILE_MASK, SDL_GL_CONTEXT_PROFILE_CORE);
        context_ = SDL_GL_CreateContext(w);
        if (!context_) {
            std::fprintf(stderr, "OpenGL 4.5 core context: %s\n", SDL_GetError());
            return false;
        }
        if (SDL_GL_MakeCurrent(w, context_) != 0)
            return false;
        const char* missing = nullptr;
        if (!gl::Load(&missing)) {
            std::fprintf(stderr, "OpenGL entry point missing: %s\n", missing);
            return false;
        }
        glLoaded_ = true;
        GLint major = 0, minor = 0;
        gl::GetIntegerv(GL_MAJOR_VERSION, &major);
        gl::GetIntegerv(GL_MINOR_VERSION, &minor);
        if (major * 10 + minor < 45)
            return false;
        gl::ClipControl(GL_UPPER_LEFT, GL_ZERO_TO_ONE);
        gl::Enable(GL_TEXTURE_CUBE_MAP_SEAMLESS);
        gl::CreateProgramPipelines(1, &pipeline_);
        gl::BindProgramPipeline(pipeline_);
        gl::CreateVertexArrays(1, &emptyVao_);
        gl::CreateFramebuffers(1, &drawFbo_);
        gl::CreateFramebuffers(1, &clearFbo_);
        gl::CreateFramebuffers(1, &depthFbo_);
        gl::CreateFramebuffers(1, &readFbo_);
        gl::BindFramebuffer(GL_DRAW_FRAMEBUFFER, drawFbo_);
        // What an unbound texture reads: zero in every channel.
        gl::CreateTextures(GL_TEXTURE_2D, 1, &nullTexture_);
        gl::TextureStorage2D(nullTexture_, 1, GL_RGBA8, 1, 1);
        const uint32_t zero = 0;
        gl::TextureSubImage2D(nullTexture_, 0, 0, 0, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, &zero);
        ClearState();
        return true;
    }

    bool CreateSwapChain(const SwapChainDesc& desc) override {
        if (!context_ || desc.width == 0 || desc.height == 0)
            return false;
        Texture* t = new (std::nothrow) Texture;
        if (!t)
            return false;
        t->desc.width = desc.width;
        t->desc.height = desc.height;
        t->desc.format = Format::R8G8B8A8_UNORM;
        t->desc.bindFlags = kBindRenderTarget | kBindShaderResource;
        t->backBuffer = true;
        Realize(t);
        backBuffer_ = t;
        width_ = desc.width;
        height_ = desc.height;
        // Adaptive sync where offered, else plain vsync; pacing covers the rest.
        if (SDL_GL_SetSwapInterval(1) != 0)
            SDL_GL_SetSwapInterval(0);
        uint32_t hz = 60;
        if (desc.mode.refreshDenominator &&
            desc.mode.refreshNumerator / desc.mode.refreshDenominator)
            hz = desc.mode.refreshNumerator / desc.mode.refreshDenominator;
        period_ = std::chrono::microseconds(1000000 / hz);
        showOnWindow_ = HasDisplay();
        return true;
    }

    void DestroyContext() override {
        if (!context_) {
            DestroyAllObjects();
            return;
        }
        // A context whose functions never loaded (start-up failed half way)
        // has no GL objects to delete and no entry points to call.
        if (glLoaded_) {
            DestroyAllObjects();
            GLuint fbos[4] = {drawFbo_, clearFbo_, depthFbo_, readFbo_};
            gl::DeleteFramebuffers(4, fbos);
            gl::DeleteVertexArrays(1, &emptyVao_);
            gl::DeleteProgramPipelines(1, &pipeline_);
            gl::DeleteTextures(1, &nullTexture_);
        }
        glLoaded_ = false;
        SDL_GL_MakeCurrent(static_cast<SDL_Window*>(window_), nullptr);
        SDL_GL_DeleteContext(context_);
        context_ = nullptr;
    }

    uint32_t GetDisplayModes(DisplayMode* modes, uint32_t capacity) override {
        if (!SDL_WasInit(SDL_INIT_VIDEO))
            return 0;
        const int n = SDL_GetNumDisplayModes(0);
        if (n <= 0)
            return 0;
        if (!modes || capacity == 0)
            return static_cast<uint32_t>(n); // the caller asks how many to expect
        // Only the modes SDL could describe are listed, packed from the start.
        uint32_t count = 0;
        for (int i = 0; i < n && count < capacity; ++i) {
            SDL_DisplayMode m;
            if (SDL_GetDisplayMode(0, i, &m) != 0)
                continue;
            DisplayMode& d = modes[count++];
            d = DisplayMode{};
            d.width = static_cast<uint32_t>(m.w);
            d.height = static_cast<uint32_t>(m.h);
            d.refreshNumerator = static_cast<uint32_t>(m.refresh_rate);
            d.refreshDenominator = m.refresh_rate ? 1 : 0;
        }
        return count;
    }

    void SetFullscreen(bool fullscreen) override { PostFullscreen(fullscreen); }
    bool IsFullscreen() const override { return sys::IsFullscreen(); }

    void ClearState() override {
        // Draw straight into the window while its drawable matches the back buffer.
        int dw = 0, dh = 0;
        if (backBuffer_)
            SDL_GL_GetDrawableSize(static_cast<SDL_Window*>(window_), &dw, &dh);
        direct_ = backBuffer_ && static_cast<uint32_t>(dw) == width_ &&
                  static_cast<uint32_t>(dh) == height_;
        for (uint32_t s = 0; s < kStageCount; ++s)
            shaders_[s] = nullptr;
        gl::UseProgramStages(pipeline_, GL_ALL_SHADER_BITS, 0);
        for (GLuint u = 0; u < kStageCount * kSlotsPerStage; ++u) {
            gl::BindTextureUnit(u, 0);
            gl::BindSampler(u, 0);
            gl::BindBufferBase(GL_UNIFORM_BUFFER, u, 0);
        }
        std::memset(views_, 0, sizeof(views_));
        std::memset(samplers_, 0, sizeof(samplers_));
        std::memset(unitTexture_, 0xFF, sizeof(unitTexture_));
        std::memset(unitSampler_, 0xFF, sizeof(unitSampler_));
        layout_ = nullptr;
        std::memset(vertexBuffers_, 0, sizeof(vertexBuffers_));
        indexBuffer_ = nullptr;
        streamsDirty_ = true;
        gl::BindVertexArray(emptyVao_);
        topology_ = GL_POINTS;
        SetRasterizerState(nullptr);
        SetDepthStencilState(nullptr, 0);
        SetBlendState(nullptr, nullptr, 0xFFFFFFFFu);
        SetRenderTargets(0, nullptr, nullptr);
        SetViewport(Viewport{0, 0, 0, 0, 0, 1});
        SetScissorRect(Rect{});
    }

    void SetRenderTargets(uint32_t count, View* const* colour, View* depth) override {
        const bool toWindow =
            direct_ && colour && count > 0 && colour[0] && colour[0]->texture == backBuffer_;
        if (toWindow != onWindow_) {
            onWindow_ = toWindow;
            gl::BindFramebuffer(GL_DRAW_FRAMEBUFFER, onWindow_ ? 0 : drawFbo_);
            gl::ClipControl(onWindow_ ? GL_LOWER_LEFT : GL_UPPER_LEFT, GL_ZERO_TO_ONE);
            ApplyViewport();
            ApplyScissor();
            ApplyDepth();
        }
        if (onWindow_)
            return;
        GLenum buffers[kColourTargets];
        for (uint32_t i = 0; i < kColourTargets; ++i) {
            View* v = (colour && i < count) ? colour[i] : nullptr;
            const GLuint tex = v && v->texture ? v->texture->gl : 0;
            if (attached_[i] != tex) {
                gl::NamedFramebufferTexture(drawFbo_, GL_COLOR_ATTACHMENT0 + i, tex, 0);
                attached_[i] = tex;
            }
            buffers[i] = tex ? GL_COLOR_ATTACHMENT0 + i : GL_NONE;
        }
        gl::NamedFramebufferDrawBuffers(drawFbo_, kColourTargets, buffers);
        const GLuint dtex = depth && depth->texture ? depth->texture->gl : 0;
        if (attachedDepth_ != dtex) {
            const bool stencil =
                depth && depth->texture && depth->texture->desc.format == Format::D24_UNORM_S8_UINT;
            if (attachedDepthPoint_)
                gl::NamedFramebufferTexture(drawFbo_, attachedDepthPoint_, 0, 0);
            attachedDepthPoint_ = 0;
            if (dtex) {
                attachedDepthPoint_ = stencil ? GL_DEPTH_STENCIL_ATTACHMENT : GL_DEPTH_ATTACHMENT;
                gl::NamedFramebufferTexture(drawFbo_, attachedDepthPoint_, dtex, 0);
            }
            attachedDepth_ = dtex;
            ApplyDepth();
        }
    }

    void SetViewport(const Viewport& v) override {
        viewport_ = v;
        ApplyViewport();
    }

    // The window's rows count from the bottom.
    void ApplyViewport() {
        const Viewport& v = viewport_;
        const float y = onWindow_ ? static_cast<float>(height_) - (v.y + v.height) : v.y;
        gl::ViewportIndexedf(0, v.x, y, v.width, v.height);
        gl::DepthRangef(v.minDepth, v.maxDepth);
    }

    void SetScissorRect(const Rect& r) override {
        scissor_ = r;
        ApplyScissor();
    }

    void ApplyScissor() {
        const Rect& r = scissor_;
        const int32_t w = r.right > r.left ? r.right - r.left : 0;
        const int32_t h = r.bottom > r.top ? r.bottom - r.top : 0;
        const int32_t y = onWindow_ ? static_cast<int32_t>(height_) - (r.top + h) : r.top;
        gl::Scissor(r.left, y, w, h);
    }

    void ClearRenderTargetView(View* view, const float colour[4]) override {
        if (!view || !view->texture || !view->texture->gl)
            return;
        // A view clear ignores the scissor and the write mask.
        const bool window = direct_ && view->texture == backBuffer_;
        if (!window && clearAttached_ != view->texture->gl) {
            gl::NamedFramebufferTexture(clearFbo_, GL_COLOR_ATTACHMENT0, view->texture->gl, 0);
            clearAttached_ = view->texture->gl;
        }
        gl::Disable(GL_SCISSOR_TEST);
        gl::ColorMaski(0, GL_TRUE, GL_TRUE, GL_TRUE, GL_TRUE);
        if (window) {
            // The window's framebuffer takes the plain clear: Mesa's offscreen
            // surfaces ignore the per-buffer clears.
            gl::BindFramebuffer(GL_DRAW_FRAMEBUFFER, 0);
            gl::ClearColor(colour[0], colour[1], colour[2], colour[3]);
            gl::Clear(GL_COLOR_BUFFER_BIT);
            gl::BindFramebuffer(GL_DRAW_FRAMEBUFFER, onWindow_ ? 0 : drawFbo_);
        } else {
            gl::ClearNamedFramebufferfv(clearFbo_, GL_COLOR, 0, colour);
        }
        ApplyRasterizer();
        ApplyBlend();
    }

    void ClearDepthStencilView(View* view, float depth, uint8_t stencil) override {
        if (!view || !view->texture || !view->texture->gl)
            return;
        const bool hasStencil = view->texture->desc.format == Format::D24_UNORM_S8_UINT;
        if (depthAttached_ != view->texture->gl) {
            gl::NamedFramebufferTexture(depthFbo_, GL_DEPTH_STENCIL_ATTACHMENT, 0, 0);
            gl::NamedFramebufferTexture(depthFbo_, GL_DEPTH_ATTACHMENT, 0, 0);
            gl::NamedFramebufferTexture(
                depthFbo_, hasStencil ? GL_DEPTH_STENCIL_ATTACHMENT : GL_DEPTH_ATTACHMENT,
                view->texture->gl, 0);
            depthAttached_ = view->texture->gl;
        }
        gl::Disable(GL_SCISSOR_TEST);
        gl::DepthMask(GL_TRUE);
        if (hasStencil)
            gl::ClearNamedFramebufferfi(depthFbo_, GL_DEPTH_STENCIL, 0, depth, stencil);
        else
            gl::ClearNamedFramebufferfv(depthFbo_, GL_DEPTH, 0, &depth);
        ApplyRasterizer();
        ApplyDepth();
    }

    void SetRasterizerState(RasterizerState* state) override {
        rasterizer_ = state ? state->desc : RasterizerDesc{};
        ApplyRasterizer();
    }

    void SetDepthStencilState(DepthStencilState* state, uint32_t) override {
        depth_ = state ? state->desc : DepthStencilDesc{};
        ApplyDepth();
    }

    void SetBlendState(BlendState* state, const float* factor, uint32_t sampleMask) override {
        blend_ = state ? state->desc : BlendDesc{};
        ApplyBlend();
        const float one[4] = {1, 1, 1, 1};
        const float* f = factor ? factor : one;
        gl::BlendColor(f[0], f[1], f[2], f[3]);
        gl::SampleMaski(0, sampleMask);
    }

    void SetShader(Stage stage, Shader* shader) override {
        const uint32_t s = static_cast<uint32_t>(stage);
        if (s >= kStageCount)
            return;
        shaders_[s] = shader;
        gl::UseProgramStages(pipeline_, kStageBit[s], shader && shader->compiled ? shader->gl : 0);
        // Texture units follow the shader's own declarations.
        texturesDirty_ = true;
    }

    void SetConstantBuffers(Stage stage, uint32_t start, uint32_t count,
                            Buffer* const* buffers) override {
        const uint32_t s = static_cast<uint32_t>(stage);
        for (uint32_t i = 0; i < count && start + i < kSlotsPerStage; ++i) {
            Buffer* b = buffers ? buffers[i] : nullptr;
            gl::BindBufferBase(GL_UNIFORM_BUFFER, s * kSlotsPerStage + start + i, b ? b->gl : 0);
        }
    }

    void SetShaderResources(Stage stage, uint32_t start, uint32_t count,
                            View* const* views) override {
        const uint32_t s = static_cast<uint32_t>(stage);
        for (uint32_t i = 0; i < count && start + i < kSlotsPerStage; ++i)
            views_[s][start + i] = views ? views[i] : nullptr;
        texturesDirty_ = true;
    }

    void SetSamplers(Stage stage, uint32_t start, uint32_t count,
                     SamplerState* const* samplers) override {
        const uint32_t s = static_cast<uint32_t>(stage);
        for (uint32_t i = 0; i < count && start + i < kSlotsPerStage; ++i)
            samplers_[s][start + i] = samplers ? samplers[i] : nullptr;
        texturesDirty_ = true;
    }

    void SetUnorderedAccessViews(uint32_t start, uint32_t count, View* const* views) override {
        for (uint32_t i = 0; i < count; ++i) {
            View* v = views ? views[i] : nullptr;
            gl::BindBufferBase(GL_SHADER_STORAGE_BUFFER, start + i,
                               v && v->buffer ? v->buffer->gl : 0);
        }
    }

    void SetInputLayout(InputLayout* layout) override {
        layout_ = layout;
        gl::BindVertexArray(layout && layout->gl ? layout->gl : emptyVao_);
        streamsDirty_ = true;
    }

    void SetVertexBuffers(uint32_t start, uint32_t count, Buffer* const* buffers,
                          const uint32_t* strides, const uint32_t* offsets) override {
        for (uint32_t i = 0; i < count && start + i < kVertexStreams; ++i) {
            vertexBuffers_[start + i] = buffers ? buffers[i] : nullptr;
            strides_[start + i] = strides ? strides[i] : 0;
            offsets_[start + i] = offsets ? offsets[i] : 0;
        }
        streamsDirty_ = true;
    }

    void SetIndexBuffer(Buffer* buffer, Format format, uint32_t offset) override {
        indexBuffer_ = buffer;
        indexType_ = format == Format::R32_UINT ? GL_UNSIGNED_INT : GL_UNSIGNED_SHORT;
        indexOffset_ = offset;
        streamsDirty_ = true;
    }

    void SetTopology(Topology topology) override { topology_ = ModeGl(topology); }

    void Draw(uint32_t vertexCount, uint32_t startVertex) override {
        Resolve();
        gl::DrawArrays(topology_, static_cast<GLint>(startVertex),
                       static_cast<GLsizei>(vertexCount));
    }

    void DrawIndexed(uint32_t indexCount, uint32_t startIndex, int32_t baseVertex) override {
        Resolve();
        const uintptr_t size = indexType_ == GL_UNSIGNED_INT ? 4 : 2;
        const uintptr_t at = indexOffset_ + startIndex * size;
        gl::DrawElementsBaseVertex(topology_, static_cast<GLsizei>(indexCount), indexType_,
                                   reinterpret_cast<const void*>(at), baseVertex);
    }

    void* Map(Buffer* buffer, MapMode mode) override {
        if (!buffer || !buffer->gl || buffer->mapped)
            return nullptr;
        const GLbitfield access =
            GL_MAP_WRITE_BIT | (mode == MapMode::WriteDiscard ? GL_MAP_INVALIDATE_BUFFER_BIT
                                                              : GL_MAP_UNSYNCHRONIZED_BIT);
        void* p = gl::MapNamedBufferRange(buffer->gl, 0, buffer->desc.byteWidth, access);
        buffer->mapped = p != nullptr;
        return p;
    }

    void Unmap(Buffer* buffer) override {
        if (!buffer || !buffer->mapped)
            return;
        gl::UnmapNamedBuffer(buffer->gl);
        buffer->mapped = false;
    }

    void UpdateSubresource(Object* resource, uint32_t subresource, const Box* box, const void* data,
                           uint32_t rowPitch) override {
        if (!resource || !data)
            return;
        if (resource->kind == ObjectKind::Buffer) {
            Buffer* b = static_cast<Buffer*>(resource);
            uint32_t left = box ? box->left : 0;
            uint32_t right = box ? box->right : b->desc.byteWidth;
            if (right > b->desc.byteWidth)
                right = b->desc.byteWidth;
            if (b->gl && left < right)
                gl::NamedBufferSubData(b->gl, left, right - left, data);
            return;
        }
        if (resource->kind != ObjectKind::Texture)
            return;
        Texture* t = static_cast<Texture*>(resource);
        const uint32_t mips = t->desc.mipLevels;
        const uint32_t mip = subresource % mips;
        const uint32_t slice = subresource / mips;
        const uint32_t w = t->desc.width >> mip ? t->desc.width >> mip : 1;
        const uint32_t h = t->desc.height >> mip ? t->desc.height >> mip : 1;
        Box b = box ? *box : Box{0, 0, w, h};
        Upload(t, mip, slice, b, data, rowPitch);
    }

    void Present(uint32_t syncInterval) override {
        SDL_Window* w = static_cast<SDL_Window*>(window_);
        if (!context_ || !backBuffer_)
            return;
        // The back buffer's row 0 is the top of the picture; the window's is
        // the bottom, so the copy flips. Without a display nobody can see the
        // window, and the copy (a full-screen draw in software GL) is skipped.
        if (!direct_ && showOnWindow_)
            CopyToWindow();
        SDL_GL_SwapWindow(w);
        gl::BindFramebuffer(GL_DRAW_FRAMEBUFFER, onWindow_ ? 0 : drawFbo_);
        if (syncInterval)
            Pace();
    }

    void CopyToWindow() {
        if (readAttached_ != backBuffer_->gl) {
            gl::NamedFramebufferTexture(readFbo_, GL_COLOR_ATTACHMENT0, backBuffer_->gl, 0);
            readAttached_ = backBuffer_->gl;
        }
        gl::Disable(GL_SCISSOR_TEST);
        gl::BindFramebuffer(GL_DRAW_FRAMEBUFFER, 0);
        gl::ColorMaski(0, GL_TRUE, GL_TRUE, GL_TRUE, GL_TRUE);
        // The picture fills the window's drawable, which full screen enlarges.
        int dw = 0, dh = 0;
        SDL_GL_GetDrawableSize(static_cast<SDL_Window*>(window_), &dw, &dh);
        const GLint wi = static_cast<GLint>(width_), hi = static_cast<GLint>(height_);
        if (dw <= 0 || dh <= 0) {
            dw = wi;
            dh = hi;
        }
        gl::BlitNamedFramebuffer(readFbo_, 0, 0, 0, wi, hi, 0, dh, dw, 0, GL_COLOR_BUFFER_BIT,
                                 dw == wi && dh == hi ? GL_NEAREST : GL_LINEAR);
    }

    bool ReadPixels(Texture* texture, const Rect& r, void* rgba) override {
        if (!texture || !rgba || r.right <= r.left || r.bottom <= r.top)
            return false;
        const GLsizei w = r.right - r.left, h = r.bottom - r.top;
        gl::PixelStorei(GL_PACK_ALIGNMENT, 1);
        if (direct_ && texture == backBuffer_) {
            // The window's rows run bottom-up: read them, then turn them over.
            gl::NamedFramebufferReadBuffer(0, GL_BACK);
            gl::BindFramebuffer(GL_READ_FRAMEBUFFER, 0);
            gl::ReadPixels(r.left, static_cast<GLint>(height_) - r.bottom, w, h, GL_RGBA,
                           GL_UNSIGNED_BYTE, rgba);
            uint8_t* rows = static_cast<uint8_t*>(rgba);
            const size_t pitch = static_cast<size_t>(w) * 4;
            std::vector<uint8_t> line(pitch);
            for (GLsizei y = 0; y < h / 2; ++y) {
                uint8_t* a = rows + y * pitch;
                uint8_t* b = rows + (h - 1 - y) * pitch;
                std::memcpy(line.data(), a, pitch);
                std::memcpy(a, b, pitch);
                std::memcpy(b, line.data(), pitch);
            }
            return gl::GetError() == GL_NO_ERROR;
        }
        if (!texture->gl)
            return false;
        if (readAttached_ != texture->gl) {
            gl::NamedFramebufferTexture(readFbo_, GL_COLOR_ATTACHMENT0, texture->gl, 0);
            readAttached_ = texture->gl;
        }
        gl::NamedFramebufferReadBuffer(readFbo_, GL_COLOR_ATTACHMENT0);
        gl::BindFramebuffer(GL_READ_FRAMEBUFFER, readFbo_);
        gl::ReadPixels(r.left, r.top, w, h, GL_RGBA, GL_UNSIGNED_BYTE, rgba);
        gl::BindFramebuffer(GL_READ_FRAMEBUFFER, 0);
        return gl::GetError() == GL_NO_ERROR;
    }

protected:
    void Realize(Object* object) override {
        object->realized = true;
        if (!context_)
            return;
        switch (object->kind) {
        case ObjectKind::Buffer: {
            Buffer* b = static_cast<Buffer*>(object);
            gl::CreateBuffers(1, &b->gl);
            const GLenum usage = b->desc.usage == Usage::Dynamic ? GL_STREAM_DRAW : GL_STATIC_DRAW;
            gl::NamedBufferData(b->gl, b->desc.byteWidth,
                                b->initial.empty() ? nullptr : b->initial.data(), usage);
            b->initial.clear();
            b->initial.shrink_to_fit();
            break;
        }
        case ObjectKind::Texture:
            RealizeTexture(static_cast<Texture*>(object));
            break;
        case ObjectKind::Shader:
            RealizeShader(static_cast<Shader*>(object));
            break;
        case ObjectKind::InputLayout:
            RealizeLayout(static_cast<InputLayout*>(object));
            break;
        case ObjectKind::SamplerState:
            RealizeSampler(static_cast<SamplerState*>(object));
            break;
        default:
            break;
        }
    }

    void Destroy(Object* object) override {
        if (!context_)
            return;
        switch (object->kind) {
        case ObjectKind::Buffer: {
            Buffer* b = static_cast<Buffer*>(object);
            if (b->mapped)
                gl::UnmapNamedBuffer(b->gl);
            gl::DeleteBuffers(1, &b->gl);
            break;
        }
        case ObjectKind::Texture: {
            Texture* t = static_cast<Texture*>(object);
            ForgetTexture(t->gl);
            gl::DeleteTextures(1, &t->gl);
            break;
        }
        case ObjectKind::Shader: {
            Shader* s = static_cast<Shader*>(object);
            for (Shader*& cur : shaders_)
                if (cur == s)
                    cur = nullptr;
            gl::DeleteProgram(s->gl);
            break;
        }
        case ObjectKind::InputLayout: {
            InputLayout* l = static_cast<InputLayout*>(object);
            if (layout_ == l) {
                layout_ = nullptr;
                gl::BindVertexArray(emptyVao_);
            }
            gl::DeleteVertexArrays(1, &l->gl);
            break;
        }
        case ObjectKind::SamplerState:
            gl::DeleteSamplers(1, &static_cast<SamplerState*>(object)->gl);
            break;
        default:
            break;
        }
    }

private:
    // A texture about to be deleted leaves every attachment and binding.
    void ForgetTexture(GLuint tex) {
        for (GLuint i = 0; i < kColourTargets; ++i) {
            if (attached_[i] == tex) {
                gl::NamedFramebufferTexture(drawFbo_, GL_COLOR_ATTACHMENT0 + i, 0, 0);
                attached_[i] = 0;
            }
        }
        if (attachedDepth_ == tex) {
            gl::NamedFramebufferTexture(drawFbo_, attachedDepthPoint_, 0, 0);
            attachedDepth_ = 0;
            attachedDepthPoint_ = 0;
        }
        if (clearAttached_ == tex)
            clearAttached_ = 0;
        if (depthAttached_ == tex)
            depthAttached_ = 0;
        if (readAttached_ == tex)
            readAttached_ = 0;
        for (GLuint& u : unitTexture_)
            if (u == tex)
                u = static_cast<GLuint>(-1);
    }

    void RealizeTexture(Texture* t) {
        const TextureDesc& d = t->desc;
        const GlFormat f = TextureFormat(d.format);
        if (!f.internal)
            return;
        const bool cube = (d.miscFlags & kMiscTextureCube) != 0;
        gl::CreateTextures(cube ? GL_TEXTURE_CUBE_MAP : GL_TEXTURE_2D, 1, &t->gl);
        gl::TextureStorage2D(t->gl, static_cast<GLsizei>(d.mipLevels), f.internal,
                             static_cast<GLsizei>(d.width), static_cast<GLsizei>(d.height));
        gl::TextureParameteri(t->gl, GL_TEXTURE_MAX_LEVEL, static_cast<GLint>(d.mipLevels - 1));
        gl::TextureParameteri(t->gl, GL_TEXTURE_MIN_FILTER,
                              d.mipLevels > 1 ? GL_LINEAR_MIPMAP_LINEAR : GL_LINEAR);
        gl::TextureParameteri(t->gl, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
        gl::TextureParameteri(t->gl, GL_TEXTURE_WRAP_S, GL_CLAMP_TO_EDGE);
        gl::TextureParameteri(t->gl, GL_TEXTURE_WRAP_T, GL_CLAMP_TO_EDGE);
        gl::TextureParameteri(t->gl, GL_TEXTURE_WRAP_R, GL_CLAMP_TO_EDGE);
        if (d.format == Format::A8_UNORM) {
            const GLint swizzle[4] = {GL_ZERO, GL_ZERO, GL_ZERO, GL_RED};
            gl::TextureParameteriv(t->gl, GL_TEXTURE_SWIZZLE_RGBA, swizzle);
        }
        for (size_t i = 0; i < t->initial.size(); ++i) {
            if (t->initial[i].empty())
                continue;
            const uint32_t mip = static_cast<uint32_t>(i) % d.mipLevels;
            const uint32_t slice = static_cast<uint32_t>(i) / d.mipLevels;
            const uint32_t w = d.width >> mip ? d.width >> mip : 1;
            const uint32_t h = d.height >> mip ? d.height >> mip : 1;
            Upload(t, mip, slice, Box{0, 0, w, h}, t->initial[i].data(), 0);
        }
        t->initial.clear();
        t->initial.shrink_to_fit();
    }

    void Upload(Texture* t, uint32_t mip, uint32_t slice, const Box& b, const void* data,
                uint32_t rowPitch) {
        const GlFormat f = TextureFormat(t->desc.format);
        if (!t->gl || !f.internal || b.right <= b.left || b.bottom <= b.top)
            return;
        const bool cube = (t->desc.miscFlags & kMiscTextureCube) != 0;
        const GLsizei w = static_cast<GLsizei>(b.right - b.left);
        const GLsizei h = static_cast<GLsizei>(b.bottom - b.top);
        if (IsBlockCompressed(t->desc.format)) {
            const uint32_t pitch = rowPitch ? rowPitch : RowPitch(t->desc.format, b.right - b.left);
            const GLsizei bytes = static_cast<GLsizei>(pitch * ((b.bottom - b.top + 3) / 4));
            if (cube)
                gl::CompressedTextureSubImage3D(t->gl, mip, b.left, b.top, slice, w, h, 1,
                                                f.internal, bytes, data);
            else
                gl::CompressedTextureSubImage2D(t->gl, mip, b.left, b.top, w, h, f.internal, bytes,
                                                data);
            return;
        }
        const uint32_t px = FormatBytes(t->desc.format);
        gl::PixelStorei(GL_UNPACK_ALIGNMENT, 1);
        gl::PixelStorei(GL_UNPACK_ROW_LENGTH,
                        rowPitch && px ? static_cast<GLint>(rowPitch / px) : 0);
        if (cube)
            gl::TextureSubImage3D(t->gl, mip, b.left, b.top, slice, w, h, 1, f.format, f.type,
                                  data);
        else
            gl::TextureSubImage2D(t->gl, mip, b.left, b.top, w, h, f.format, f.type, data);
        gl::PixelStorei(GL_UNPACK_ROW_LENGTH, 0);
    }

    void RealizeShader(Shader* s) {
        const uint32_t st = static_cast<uint32_t>(s->stage);
        if (st >= kStageCount)
            return;
        const char* src = s->source.c_str();
        s->gl = gl::CreateShaderProgramv(kStageGl[st], 1, &src);
        GLint ok = 0;
        if (s->gl)
            gl::GetProgramiv(s->gl, GL_LINK_STATUS, &ok);
        if (!ok) {
            char log[1024] = {};
            if (s->gl)
                gl::GetProgramInfoLog(s->gl, sizeof(log) - 1, nullptr, log);
            std::fprintf(stderr, "shader build failed: %s\n", log);
            return;
        }
        s->compiled = true;
        uint32_t unit = 0;
        for (const Shader::Binding& b : s->bindings) {
            switch (b.kind) {
            case BindingKind::ConstantBuffer: {
                const GLuint idx = gl::GetUniformBlockIndex(s->gl, b.name.c_str());
                if (idx != GL_INVALID_INDEX && b.slot < kSlotsPerStage)
                    gl::UniformBlockBinding(s->gl, idx, st * kSlotsPerStage + b.slot);
                break;
            }
            case BindingKind::Texture: {
                const GLint loc = gl::GetUniformLocation(s->gl, b.name.c_str());
                if (loc >= 0)
                    gl::ProgramUniform1i(s->gl, loc,
                                         static_cast<GLint>(st * kSlotsPerStage + unit));
                ++unit;
                break;
            }
            case BindingKind::StorageBuffer: {
                const GLuint idx =
                    gl::GetProgramResourceIndex(s->gl, GL_SHADER_STORAGE_BLOCK, b.name.c_str());
                if (idx != GL_INVALID_INDEX)
                    gl::ShaderStorageBlockBinding(s->gl, idx, b.slot);
                break;
            }
            }
        }
    }

    void RealizeLayout(InputLayout* l) {
        gl::CreateVertexArrays(1, &l->gl);
        uint32_t next[32] = {};
        for (const InputLayout::Element& e : l->elements) {
            const InputElement& ie = e.element;
            const uint32_t slot = ie.inputSlot & 31;
            // 0xFFFFFFFF places the element right after the previous one of its slot.
            const uint32_t offset =
                ie.alignedByteOffset == 0xFFFFFFFFu ? next[slot] : ie.alignedByteOffset;
            next[slot] = offset + FormatBytes(ie.format);
            const GlAttrib a = AttribFormat(ie.format);
            if (!a.size)
                continue;
            gl::EnableVertexArrayAttrib(l->gl, e.location);
            if (a.integer)
                gl::VertexArrayAttribIFormat(l->gl, e.location, a.size, a.type, offset);
            else
                gl::VertexArrayAttribFormat(l->gl, e.location, a.size, a.type,
                                            a.normalized ? GL_TRUE : GL_FALSE, offset);
            gl::VertexArrayAttribBinding(l->gl, e.location, slot);
            gl::VertexArrayBindingDivisor(l->gl, slot, ie.perInstance ? ie.instanceStepRate : 0);
        }
    }

    void RealizeSampler(SamplerState* s) {
        const SamplerDesc& d = s->desc;
        gl::CreateSamplers(1, &s->gl);
        GLenum minF = GL_LINEAR_MIPMAP_LINEAR, magF = GL_LINEAR;
        switch (d.filter) {
        case Filter::MinMagMipPoint:
            minF = GL_NEAREST_MIPMAP_NEAREST;
            magF = GL_NEAREST;
            break;
        case Filter::MinMagPointMipLinear:
            minF = GL_NEAREST_MIPMAP_LINEAR;
            magF = GL_NEAREST;
            break;
        case Filter::MinMagLinearMipPoint:
            minF = GL_LINEAR_MIPMAP_NEAREST;
            break;
        default:
            break;
        }
        gl::SamplerParameteri(s->gl, GL_TEXTURE_MIN_FILTER, static_cast<GLint>(minF));
        gl::SamplerParameteri(s->gl, GL_TEXTURE_MAG_FILTER, static_cast<GLint>(magF));
        if (d.filter == Filter::Anisotropic)
            gl::SamplerParameterf(s->gl, kMaxAnisotropy, static_cast<float>(d.maxAnisotropy));
        gl::SamplerParameteri(s->gl, GL_TEXTURE_WRAP_S, static_cast<GLint>(AddressGl(d.addressU)));
        gl::SamplerParameteri(s->gl, GL_TEXTURE_WRAP_T, static_cast<GLint>(AddressGl(d.addressV)));
        gl::SamplerParameteri(s->gl, GL_TEXTURE_WRAP_R, static_cast<GLint>(AddressGl(d.addressW)));
        gl::SamplerParameterf(s->gl, GL_TEXTURE_LOD_BIAS, d.mipLodBias);
        gl::SamplerParameterf(s->gl, GL_TEXTURE_MIN_LOD, d.minLod);
        gl::SamplerParameterf(s->gl, GL_TEXTURE_MAX_LOD, d.maxLod);
        gl::SamplerParameterfv(s->gl, GL_TEXTURE_BORDER_COLOR, d.borderColour);
        gl::GetError(); // anisotropy may be absent; its error is of no consequence
    }

    void ApplyRasterizer() {
        const RasterizerDesc& r = rasterizer_;
        gl::PolygonMode(GL_FRONT_AND_BACK, r.fill == FillMode::Wireframe ? GL_LINE : GL_FILL);
        if (r.cull == CullMode::None) {
            gl::Disable(GL_CULL_FACE);
        } else {
            gl::Enable(GL_CULL_FACE);
            gl::CullFace(r.cull == CullMode::Front ? GL_FRONT : GL_BACK);
        }
        // The upper-left clip origin flips y and the facing rule with it, so
        // windings read as they appear in the top-left space.
        gl::FrontFace(r.frontCounterClockwise ? GL_CCW : GL_CW);
        if (r.depthBias != 0 || r.slopeScaledDepthBias != 0.0f) {
            gl::Enable(GL_POLYGON_OFFSET_FILL);
            gl::PolygonOffset(r.slopeScaledDepthBias, static_cast<float>(r.depthBias));
        } else {
            gl::Disable(GL_POLYGON_OFFSET_FILL);
        }
        if (r.depthClip)
            gl::Disable(GL_DEPTH_CLAMP);
        else
            gl::Enable(GL_DEPTH_CLAMP);
        if (r.scissor)
            gl::Enable(GL_SCISSOR_TEST);
        else
            gl::Disable(GL_SCISSOR_TEST);
    }

    void ApplyDepth() {
        // Without a depth view nothing is tested (the window's own depth
        // buffer, if any, is never the engine's).
        const bool hasDepth = !onWindow_ && attachedDepth_ != 0;
        if (depth_.depthEnable && hasDepth)
            gl::Enable(GL_DEPTH_TEST);
        else
            gl::Disable(GL_DEPTH_TEST);
        gl::DepthMask(depth_.depthWrite ? GL_TRUE : GL_FALSE);
        gl::DepthFunc(Compare(depth_.depthFunc));
    }

    void ApplyBlend() {
        for (GLuint i = 0; i < 8; ++i) {
            const RenderTargetBlendDesc& t = blend_.target[blend_.independentBlend ? i : 0];
            if (t.enable)
                gl::Enablei(GL_BLEND, i);
            else
                gl::Disablei(GL_BLEND, i);
            gl::BlendFuncSeparatei(i, BlendFactorGl(t.srcColour), BlendFactorGl(t.destColour),
                                   BlendFactorGl(t.srcAlpha), BlendFactorGl(t.destAlpha));
            gl::BlendEquationSeparatei(i, BlendOpGl(t.colourOp), BlendOpGl(t.alphaOp));
            gl::ColorMaski(i, t.writeMask & 1, (t.writeMask >> 1) & 1, (t.writeMask >> 2) & 1,
                           (t.writeMask >> 3) & 1);
        }
        if (blend_.alphaToCoverage)
            gl::Enable(GL_SAMPLE_ALPHA_TO_COVERAGE);
        else
            gl::Disable(GL_SAMPLE_ALPHA_TO_COVERAGE);
    }

    // Binds what the current shaders sample and the vertex streams.
    void Resolve() {
        if (texturesDirty_) {
            texturesDirty_ = false;
            for (uint32_t s = 0; s < kStageCount; ++s) {
                const Shader* sh = shaders_[s];
                if (!sh)
                    continue;
                uint32_t k = 0;
                for (uint32_t bi : sh->textureBindings) {
                    const Shader::Binding& b = sh->bindings[bi];
                    const GLuint unit = s * kSlotsPerStage + k++;
                    if (unit >= kStageCount * kSlotsPerStage)
                        break;
                    const View* v = b.slot < kSlotsPerStage ? views_[s][b.slot] : nullptr;
                    const GLuint tex =
                        v && v->texture && v->texture->gl ? v->texture->gl : nullTexture_;
                    const SamplerState* smp =
                        b.samplerSlot < kSlotsPerStage ? samplers_[s][b.samplerSlot] : nullptr;
                    const GLuint sampler = smp ? smp->gl : 0;
                    if (unitTexture_[unit] != tex) {
                        gl::BindTextureUnit(unit, tex);
                        unitTexture_[unit] = tex;
                    }
                    if (unitSampler_[unit] != sampler) {
                        gl::BindSampler(unit, sampler);
                        unitSampler_[unit] = sampler;
                    }
                }
            }
        }
        if (streamsDirty_ && layout_ && layout_->gl) {
            streamsDirty_ = false;
            for (uint32_t i = 0; i < kVertexStreams; ++i) {
                const Buffer* b = vertexBuffers_[i];
                gl::VertexArrayVertexBuffer(layout_->gl, i, b ? b->gl : 0, offsets_[i],
                                            static_cast<GLsizei>(strides_[i]));
            }
            gl::VertexArrayElementBuffer(layout_->gl, indexBuffer_ ? indexBuffer_->gl : 0);
        }
    }

    void Pace() {
        using Clock = std::chrono::steady_clock;
        const Clock::time_point now = Clock::now();
        if (deadline_.time_since_epoch().count() == 0 || now > deadline_ + period_ * 2) {
            deadline_ = now + period_;
            return;
        }
        if (now < deadline_)
            std::this_thread::sleep_until(deadline_);
        deadline_ += period_;
    }

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
    std::chrono::steady_clock::duration period_ = std::chrono::microseconds(16667);
    std::chrono::steady_clock::time_point deadline_{};
};

Device* CreateGLDevice(void* window) {
    return new (std::nothrow) GlDevice(window);
}

} // namespace sys::gpu
