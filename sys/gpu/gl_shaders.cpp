// The GL backend's shaders (separable programs) and vertex layouts.
#include "sys/gpu/gl_device.h"

#include "sys/gpu/gl_formats.h"

#include <cstdio>

namespace sys::gpu {

using namespace glmap;

void GlDevice::RealizeShader(Shader* s) {
    const uint32_t st = static_cast<uint32_t>(s->stage);
    if (st >= kStageCount)
        return;
    const char* src = s->source.c_str();
    Gl(s)->gl = gl::CreateShaderProgramv(kStageGl[st], 1, &src);
    GLint ok = 0;
    if (Gl(s)->gl)
        gl::GetProgramiv(Gl(s)->gl, GL_LINK_STATUS, &ok);
    if (!ok) {
        char log[1024] = {};
        if (Gl(s)->gl)
            gl::GetProgramInfoLog(Gl(s)->gl, sizeof(log) - 1, nullptr, log);
        std::fprintf(stderr, "shader build failed: %s\n", log);
        return;
    }
    Gl(s)->compiled = true;
    uint32_t unit = 0;
    for (const Shader::Binding& b : s->bindings) {
        switch (b.kind) {
        case BindingKind::ConstantBuffer: {
            const GLuint idx = gl::GetUniformBlockIndex(Gl(s)->gl, b.name.c_str());
            if (idx != GL_INVALID_INDEX && b.slot < kSlotsPerStage)
                gl::UniformBlockBinding(Gl(s)->gl, idx, st * kSlotsPerStage + b.slot);
            break;
        }
        case BindingKind::Texture: {
            const GLint loc = gl::GetUniformLocation(Gl(s)->gl, b.name.c_str());
            if (loc >= 0)
                gl::ProgramUniform1i(Gl(s)->gl, loc,
                                     static_cast<GLint>(st * kSlotsPerStage + unit));
            ++unit;
            break;
        }
        case BindingKind::StorageBuffer: {
            const GLuint idx =
                gl::GetProgramResourceIndex(Gl(s)->gl, GL_SHADER_STORAGE_BLOCK, b.name.c_str());
            if (idx != GL_INVALID_INDEX)
                gl::ShaderStorageBlockBinding(Gl(s)->gl, idx, b.slot);
            break;
        }
        }
    }
}

void GlDevice::RealizeLayout(InputLayout* l) {
    gl::CreateVertexArrays(1, &Gl(l)->gl);
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
        gl::EnableVertexArrayAttrib(Gl(l)->gl, e.location);
        if (a.integer)
            gl::VertexArrayAttribIFormat(Gl(l)->gl, e.location, a.size, a.type, offset);
        else
            gl::VertexArrayAttribFormat(Gl(l)->gl, e.location, a.size, a.type,
                                        a.normalized ? GL_TRUE : GL_FALSE, offset);
        gl::VertexArrayAttribBinding(Gl(l)->gl, e.location, slot);
        gl::VertexArrayBindingDivisor(Gl(l)->gl, slot, ie.perInstance ? ie.instanceStepRate : 0);
    }
}

} // namespace sys::gpu
