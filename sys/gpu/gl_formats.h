// How the device's formats, comparisons, blend factors, addressing and
// topologies map to OpenGL, shared by the parts of the GL backend.
#pragma once

#include "sys/gpu.h"
#include "sys/gpu/gl_functions.h"

namespace sys::gpu::glmap {

struct GlFormat {
    GLenum internal;
    GLenum format;
    GLenum type;
};

GlFormat TextureFormat(Format f);
struct GlAttrib {
    GLint size;
    GLenum type;
    bool normalized;
    bool integer;
};

GlAttrib AttribFormat(Format f);
GLenum Compare(Comparison c);
GLenum BlendFactorGl(BlendFactor f);
GLenum BlendOpGl(BlendOp op);
GLenum AddressGl(AddressMode a);
GLenum ModeGl(Topology t);
constexpr GLenum kStageGl[kStageCount] = {GL_VERTEX_SHADER, GL_GEOMETRY_SHADER, GL_FRAGMENT_SHADER,
                                          GL_COMPUTE_SHADER};
constexpr GLbitfield kStageBit[kStageCount] = {GL_VERTEX_SHADER_BIT, GL_GEOMETRY_SHADER_BIT,
                                               GL_FRAGMENT_SHADER_BIT, GL_COMPUTE_SHADER_BIT};
constexpr GLenum kMaxAnisotropy = 0x84FE;

} // namespace sys::gpu::glmap
