// The GL backend's context, swap chain, display modes and object life.
#include "sys/gpu/gl_device.h"

#include "sys/gpu/gl_formats.h"
#include "sys/thread.h"
#include "sys/window.h"

#include <cstdio>
#include <new>

namespace sys::gpu {

using namespace glmap;

bool GlDevice::CreateContext() {
    TakeOwnership();
    SDL_Window* w = static_cast<SDL_Window*>(window_);
    if (!w)
        return false;
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_MAJOR_VERSION, 4);
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_MINOR_VERSION, 5);
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_PROFILE_MASK, SDL_GL_CONTEXT_PROFILE_CORE);
    {
        // Software GL starts its rasteriser's threads with each context, and
        // they take the creating thread's affinity. The render thread is held
        // to one processor, but the GPU the rasteriser stands for is not:
        // held with it, every frame would be rasterised on that processor.
        sys::AllProcessorsScope rasteriser;
        context_ = SDL_GL_CreateContext(w);
    }
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

bool GlDevice::CreateSwapChain(const SwapChainDesc& desc) {
    if (!context_ || desc.width == 0 || desc.height == 0)
        return false;
    Texture* t = new (std::nothrow) GlTexture;
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
    if (desc.mode.refreshDenominator && desc.mode.refreshNumerator / desc.mode.refreshDenominator)
        hz = desc.mode.refreshNumerator / desc.mode.refreshDenominator;
    period_ = std::chrono::microseconds(1000000 / hz);
    showOnWindow_ = HasDisplay();
    return true;
}

void GlDevice::DestroyContext() {
    if (!context_) {
        DestroyAllObjects();
        return;
    }
    // A context whose functions never loaded (start-up failed half way)
    // has no GL objects to delete and no entry points to call.
    if (glLoaded_) {
        // The frames still in flight need not finish: the context goes.
        for (GLsync& fence : frameFences_) {
            if (fence)
                gl::DeleteSync(fence);
            fence = nullptr;
        }
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

uint32_t GlDevice::GetDisplayModes(DisplayMode* modes, uint32_t capacity) {
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

void GlDevice::SetFullscreen(bool fullscreen) {
    PostFullscreen(fullscreen);
}

bool GlDevice::IsFullscreen() const {
    return sys::IsFullscreen();
}

void GlDevice::Realize(Object* object) {
    object->realized = true;
    if (!context_)
        return;
    switch (object->kind) {
    case ObjectKind::Buffer:
        RealizeBuffer(static_cast<Buffer*>(object));
        break;
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

void GlDevice::Destroy(Object* object) {
    if (!context_)
        return;
    switch (object->kind) {
    case ObjectKind::Buffer:
        DestroyBuffer(static_cast<Buffer*>(object));
        break;
    case ObjectKind::Texture:
        DestroyTexture(static_cast<Texture*>(object));
        break;
    case ObjectKind::Shader: {
        Shader* s = static_cast<Shader*>(object);
        for (Shader*& cur : shaders_)
            if (cur == s)
                cur = nullptr;
        gl::DeleteProgram(Gl(s)->gl);
        break;
    }
    case ObjectKind::InputLayout: {
        InputLayout* l = static_cast<InputLayout*>(object);
        if (layout_ == l) {
            layout_ = nullptr;
            gl::BindVertexArray(emptyVao_);
        }
        gl::DeleteVertexArrays(1, &Gl(l)->gl);
        break;
    }
    case ObjectKind::SamplerState:
        gl::DeleteSamplers(1, &Gl(static_cast<SamplerState*>(object))->gl);
        break;
    default:
        break;
    }
}

Buffer* GlDevice::NewBuffer() {
    return new (std::nothrow) GlBuffer;
}

Texture* GlDevice::NewTexture() {
    return new (std::nothrow) GlTexture;
}

Shader* GlDevice::NewShader() {
    return new (std::nothrow) GlShader;
}

InputLayout* GlDevice::NewInputLayout() {
    return new (std::nothrow) GlInputLayout;
}

SamplerState* GlDevice::NewSamplerState() {
    return new (std::nothrow) GlSamplerState;
}

Device* CreateGLDevice(void* window) {
    return new (std::nothrow) GlDevice(window);
}

} // namespace sys::gpu
