// The GL backend's pipeline state, bindings and draws.
#include "sys/gpu/gl_device.h"

#include "sys/gpu/gl_formats.h"

#include <cstring>

namespace sys::gpu {

using namespace glmap;

void GlDevice::ClearState() {
    // Draw straight into the window while its drawable matches the back buffer.
    int dw = 0, dh = 0;
    if (backBuffer_)
        SDL_GL_GetDrawableSize(static_cast<SDL_Window*>(window_), &dw, &dh);
    direct_ =
        backBuffer_ && static_cast<uint32_t>(dw) == width_ && static_cast<uint32_t>(dh) == height_;
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

void GlDevice::SetRenderTargets(uint32_t count, View* const* colour, View* depth) {
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
        const GLuint tex = v && v->texture ? Gl(v->texture)->gl : 0;
        if (attached_[i] != tex) {
            gl::NamedFramebufferTexture(drawFbo_, GL_COLOR_ATTACHMENT0 + i, tex, 0);
            attached_[i] = tex;
        }
        buffers[i] = tex ? GL_COLOR_ATTACHMENT0 + i : GL_NONE;
    }
    gl::NamedFramebufferDrawBuffers(drawFbo_, kColourTargets, buffers);
    const GLuint dtex = depth && depth->texture ? Gl(depth->texture)->gl : 0;
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

void GlDevice::SetViewport(const Viewport& v) {
    viewport_ = v;
    ApplyViewport();
}

// The window's rows count from the bottom.
void GlDevice::ApplyViewport() {
    const Viewport& v = viewport_;
    const float y = onWindow_ ? static_cast<float>(height_) - (v.y + v.height) : v.y;
    gl::ViewportIndexedf(0, v.x, y, v.width, v.height);
    gl::DepthRangef(v.minDepth, v.maxDepth);
}

void GlDevice::SetScissorRect(const Rect& r) {
    scissor_ = r;
    ApplyScissor();
}

void GlDevice::ApplyScissor() {
    const Rect& r = scissor_;
    const int32_t w = r.right > r.left ? r.right - r.left : 0;
    const int32_t h = r.bottom > r.top ? r.bottom - r.top : 0;
    const int32_t y = onWindow_ ? static_cast<int32_t>(height_) - (r.top + h) : r.top;
    gl::Scissor(r.left, y, w, h);
}

void GlDevice::ClearRenderTargetView(View* view, const float colour[4]) {
    if (!view || !view->texture || !Gl(view->texture)->gl)
        return;
    // A view clear ignores the scissor and the write mask.
    const bool window = direct_ && view->texture == backBuffer_;
    if (!window && clearAttached_ != Gl(view->texture)->gl) {
        gl::NamedFramebufferTexture(clearFbo_, GL_COLOR_ATTACHMENT0, Gl(view->texture)->gl, 0);
        clearAttached_ = Gl(view->texture)->gl;
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

void GlDevice::ClearDepthStencilView(View* view, float depth, uint8_t stencil) {
    if (!view || !view->texture || !Gl(view->texture)->gl)
        return;
    const bool hasStencil = view->texture->desc.format == Format::D24_UNORM_S8_UINT;
    if (depthAttached_ != Gl(view->texture)->gl) {
        gl::NamedFramebufferTexture(depthFbo_, GL_DEPTH_STENCIL_ATTACHMENT, 0, 0);
        gl::NamedFramebufferTexture(depthFbo_, GL_DEPTH_ATTACHMENT, 0, 0);
        gl::NamedFramebufferTexture(depthFbo_,
                                    hasStencil ? GL_DEPTH_STENCIL_ATTACHMENT : GL_DEPTH_ATTACHMENT,
                                    Gl(view->texture)->gl, 0);
        depthAttached_ = Gl(view->texture)->gl;
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

void GlDevice::SetRasterizerState(RasterizerState* state) {
    rasterizer_ = state ? state->desc : RasterizerDesc{};
    ApplyRasterizer();
}

void GlDevice::SetDepthStencilState(DepthStencilState* state, uint32_t) {
    depth_ = state ? state->desc : DepthStencilDesc{};
    ApplyDepth();
}

void GlDevice::SetBlendState(BlendState* state, const float* factor, uint32_t sampleMask) {
    blend_ = state ? state->desc : BlendDesc{};
    ApplyBlend();
    const float one[4] = {1, 1, 1, 1};
    const float* f = factor ? factor : one;
    gl::BlendColor(f[0], f[1], f[2], f[3]);
    gl::SampleMaski(0, sampleMask);
}

void GlDevice::SetShader(Stage stage, Shader* shader) {
    const uint32_t s = static_cast<uint32_t>(stage);
    if (s >= kStageCount)
        return;
    shaders_[s] = shader;
    gl::UseProgramStages(pipeline_, kStageBit[s],
                         shader && Gl(shader)->compiled ? Gl(shader)->gl : 0);
    // Texture units follow the shader's own declarations.
    texturesDirty_ = true;
}

void GlDevice::SetConstantBuffers(Stage stage, uint32_t start, uint32_t count,
                                  Buffer* const* buffers) {
    const uint32_t s = static_cast<uint32_t>(stage);
    for (uint32_t i = 0; i < count && start + i < kSlotsPerStage; ++i) {
        Buffer* b = buffers ? buffers[i] : nullptr;
        gl::BindBufferBase(GL_UNIFORM_BUFFER, s * kSlotsPerStage + start + i, b ? Gl(b)->gl : 0);
    }
}

void GlDevice::SetShaderResources(Stage stage, uint32_t start, uint32_t count, View* const* views) {
    const uint32_t s = static_cast<uint32_t>(stage);
    for (uint32_t i = 0; i < count && start + i < kSlotsPerStage; ++i)
        views_[s][start + i] = views ? views[i] : nullptr;
    texturesDirty_ = true;
}

void GlDevice::SetSamplers(Stage stage, uint32_t start, uint32_t count,
                           SamplerState* const* samplers) {
    const uint32_t s = static_cast<uint32_t>(stage);
    for (uint32_t i = 0; i < count && start + i < kSlotsPerStage; ++i)
        samplers_[s][start + i] = samplers ? samplers[i] : nullptr;
    texturesDirty_ = true;
}

void GlDevice::SetUnorderedAccessViews(uint32_t start, uint32_t count, View* const* views) {
    for (uint32_t i = 0; i < count; ++i) {
        View* v = views ? views[i] : nullptr;
        gl::BindBufferBase(GL_SHADER_STORAGE_BUFFER, start + i,
                           v && v->buffer ? Gl(v->buffer)->gl : 0);
    }
}

void GlDevice::SetInputLayout(InputLayout* layout) {
    layout_ = layout;
    gl::BindVertexArray(layout && Gl(layout)->gl ? Gl(layout)->gl : emptyVao_);
    streamsDirty_ = true;
}

void GlDevice::SetVertexBuffers(uint32_t start, uint32_t count, Buffer* const* buffers,
                                const uint32_t* strides, const uint32_t* offsets) {
    for (uint32_t i = 0; i < count && start + i < kVertexStreams; ++i) {
        vertexBuffers_[start + i] = buffers ? buffers[i] : nullptr;
        strides_[start + i] = strides ? strides[i] : 0;
        offsets_[start + i] = offsets ? offsets[i] : 0;
    }
    streamsDirty_ = true;
}

void GlDevice::SetIndexBuffer(Buffer* buffer, Format format, uint32_t offset) {
    indexBuffer_ = buffer;
    indexType_ = format == Format::R32_UINT ? GL_UNSIGNED_INT : GL_UNSIGNED_SHORT;
    indexOffset_ = offset;
    streamsDirty_ = true;
}

void GlDevice::SetTopology(Topology topology) {
    topology_ = ModeGl(topology);
}

void GlDevice::Draw(uint32_t vertexCount, uint32_t startVertex) {
    Resolve();
    gl::DrawArrays(topology_, static_cast<GLint>(startVertex), static_cast<GLsizei>(vertexCount));
}

void GlDevice::DrawIndexed(uint32_t indexCount, uint32_t startIndex, int32_t baseVertex) {
    Resolve();
    const uintptr_t size = indexType_ == GL_UNSIGNED_INT ? 4 : 2;
    const uintptr_t at = indexOffset_ + startIndex * size;
    gl::DrawElementsBaseVertex(topology_, static_cast<GLsizei>(indexCount), indexType_,
                               reinterpret_cast<const void*>(at), baseVertex);
}

void GlDevice::RealizeSampler(SamplerState* s) {
    const SamplerDesc& d = s->desc;
    gl::CreateSamplers(1, &Gl(s)->gl);
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
    gl::SamplerParameteri(Gl(s)->gl, GL_TEXTURE_MIN_FILTER, static_cast<GLint>(minF));
    gl::SamplerParameteri(Gl(s)->gl, GL_TEXTURE_MAG_FILTER, static_cast<GLint>(magF));
    if (d.filter == Filter::Anisotropic)
        gl::SamplerParameterf(Gl(s)->gl, kMaxAnisotropy, static_cast<float>(d.maxAnisotropy));
    gl::SamplerParameteri(Gl(s)->gl, GL_TEXTURE_WRAP_S, static_cast<GLint>(AddressGl(d.addressU)));
    gl::SamplerParameteri(Gl(s)->gl, GL_TEXTURE_WRAP_T, static_cast<GLint>(AddressGl(d.addressV)));
    gl::SamplerParameteri(Gl(s)->gl, GL_TEXTURE_WRAP_R, static_cast<GLint>(AddressGl(d.addressW)));
    gl::SamplerParameterf(Gl(s)->gl, GL_TEXTURE_LOD_BIAS, d.mipLodBias);
    gl::SamplerParameterf(Gl(s)->gl, GL_TEXTURE_MIN_LOD, d.minLod);
    gl::SamplerParameterf(Gl(s)->gl, GL_TEXTURE_MAX_LOD, d.maxLod);
    gl::SamplerParameterfv(Gl(s)->gl, GL_TEXTURE_BORDER_COLOR, d.borderColour);
    gl::GetError(); // anisotropy may be absent; its error is of no consequence
}

void GlDevice::ApplyRasterizer() {
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

void GlDevice::ApplyDepth() {
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

void GlDevice::ApplyBlend() {
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
void GlDevice::Resolve() {
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
                    v && v->texture && Gl(v->texture)->gl ? Gl(v->texture)->gl : nullTexture_;
                const SamplerState* smp =
                    b.samplerSlot < kSlotsPerStage ? samplers_[s][b.samplerSlot] : nullptr;
                const GLuint sampler = smp ? Gl(smp)->gl : 0;
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
    if (streamsDirty_ && layout_ && Gl(layout_)->gl) {
        streamsDirty_ = false;
        for (uint32_t i = 0; i < kVertexStreams; ++i) {
            const Buffer* b = vertexBuffers_[i];
            gl::VertexArrayVertexBuffer(Gl(layout_)->gl, i, b ? Gl(b)->gl : 0, offsets_[i],
                                        static_cast<GLsizei>(strides_[i]));
        }
        gl::VertexArrayElementBuffer(Gl(layout_)->gl, indexBuffer_ ? Gl(indexBuffer_)->gl : 0);
    }
}

} // namespace sys::gpu
