#include "sys/gpu/gl_formats.h"

namespace sys::gpu::glmap {

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

} // namespace sys::gpu::glmap
