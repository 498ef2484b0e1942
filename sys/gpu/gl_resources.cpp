// The GL backend's buffers and textures: mapping, uploads and read-back.
#include "sys/gpu/gl_device.h"

#include "sys/gpu/gl_formats.h"

#include <cstring>
#include <vector>

namespace sys::gpu {

using namespace glmap;

void GlDevice::RealizeBuffer(Buffer* b) {
    gl::CreateBuffers(1, &Gl(b)->gl);
    const GLenum usage = b->desc.usage == Usage::Dynamic ? GL_STREAM_DRAW : GL_STATIC_DRAW;
    gl::NamedBufferData(Gl(b)->gl, b->desc.byteWidth,
                        b->initial.empty() ? nullptr : b->initial.data(), usage);
    b->initial.clear();
    b->initial.shrink_to_fit();
}

void GlDevice::DestroyBuffer(Buffer* b) {
    if (b->mapped)
        gl::UnmapNamedBuffer(Gl(b)->gl);
    gl::DeleteBuffers(1, &Gl(b)->gl);
}

void GlDevice::DestroyTexture(Texture* t) {
    ForgetTexture(Gl(t)->gl);
    gl::DeleteTextures(1, &Gl(t)->gl);
}

void* GlDevice::Map(Buffer* buffer, MapMode mode) {
    if (!buffer || !Gl(buffer)->gl || buffer->mapped)
        return nullptr;
    const GLbitfield access =
        GL_MAP_WRITE_BIT |
        (mode == MapMode::WriteDiscard ? GL_MAP_INVALIDATE_BUFFER_BIT : GL_MAP_UNSYNCHRONIZED_BIT);
    void* p = gl::MapNamedBufferRange(Gl(buffer)->gl, 0, buffer->desc.byteWidth, access);
    buffer->mapped = p != nullptr;
    return p;
}

void GlDevice::Unmap(Buffer* buffer) {
    if (!buffer || !buffer->mapped)
        return;
    gl::UnmapNamedBuffer(Gl(buffer)->gl);
    buffer->mapped = false;
}

void GlDevice::UpdateSubresource(Object* resource, uint32_t subresource, const Box* box,
                                 const void* data, uint32_t rowPitch) {
    if (!resource || !data)
        return;
    if (resource->kind == ObjectKind::Buffer) {
        Buffer* b = static_cast<Buffer*>(resource);
        uint32_t left = box ? box->left : 0;
        uint32_t right = box ? box->right : b->desc.byteWidth;
        if (right > b->desc.byteWidth)
            right = b->desc.byteWidth;
        if (Gl(b)->gl && left < right)
            gl::NamedBufferSubData(Gl(b)->gl, left, right - left, data);
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

bool GlDevice::ReadPixels(Texture* texture, const Rect& r, void* rgba) {
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
    if (!Gl(texture)->gl)
        return false;
    if (readAttached_ != Gl(texture)->gl) {
        gl::NamedFramebufferTexture(readFbo_, GL_COLOR_ATTACHMENT0, Gl(texture)->gl, 0);
        readAttached_ = Gl(texture)->gl;
    }
    gl::NamedFramebufferReadBuffer(readFbo_, GL_COLOR_ATTACHMENT0);
    gl::BindFramebuffer(GL_READ_FRAMEBUFFER, readFbo_);
    gl::ReadPixels(r.left, r.top, w, h, GL_RGBA, GL_UNSIGNED_BYTE, rgba);
    gl::BindFramebuffer(GL_READ_FRAMEBUFFER, 0);
    return gl::GetError() == GL_NO_ERROR;
}

// A texture about to be deleted leaves every attachment and binding.
void GlDevice::ForgetTexture(GLuint tex) {
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

void GlDevice::RealizeTexture(Texture* t) {
    const TextureDesc& d = t->desc;
    const GlFormat f = TextureFormat(d.format);
    if (!f.internal)
        return;
    const bool cube = (d.miscFlags & kMiscTextureCube) != 0;
    gl::CreateTextures(cube ? GL_TEXTURE_CUBE_MAP : GL_TEXTURE_2D, 1, &Gl(t)->gl);
    gl::TextureStorage2D(Gl(t)->gl, static_cast<GLsizei>(d.mipLevels), f.internal,
                         static_cast<GLsizei>(d.width), static_cast<GLsizei>(d.height));
    gl::TextureParameteri(Gl(t)->gl, GL_TEXTURE_MAX_LEVEL, static_cast<GLint>(d.mipLevels - 1));
    gl::TextureParameteri(Gl(t)->gl, GL_TEXTURE_MIN_FILTER,
                          d.mipLevels > 1 ? GL_LINEAR_MIPMAP_LINEAR : GL_LINEAR);
    gl::TextureParameteri(Gl(t)->gl, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    gl::TextureParameteri(Gl(t)->gl, GL_TEXTURE_WRAP_S, GL_CLAMP_TO_EDGE);
    gl::TextureParameteri(Gl(t)->gl, GL_TEXTURE_WRAP_T, GL_CLAMP_TO_EDGE);
    gl::TextureParameteri(Gl(t)->gl, GL_TEXTURE_WRAP_R, GL_CLAMP_TO_EDGE);
    if (d.format == Format::A8_UNORM) {
        const GLint swizzle[4] = {GL_ZERO, GL_ZERO, GL_ZERO, GL_RED};
        gl::TextureParameteriv(Gl(t)->gl, GL_TEXTURE_SWIZZLE_RGBA, swizzle);
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

void GlDevice::Upload(Texture* t, uint32_t mip, uint32_t slice, const Box& b, const void* data,
                      uint32_t rowPitch) {
    const GlFormat f = TextureFormat(t->desc.format);
    if (!Gl(t)->gl || !f.internal || b.right <= b.left || b.bottom <= b.top)
        return;
    const bool cube = (t->desc.miscFlags & kMiscTextureCube) != 0;
    const GLsizei w = static_cast<GLsizei>(b.right - b.left);
    const GLsizei h = static_cast<GLsizei>(b.bottom - b.top);
    if (IsBlockCompressed(t->desc.format)) {
        const uint32_t pitch = rowPitch ? rowPitch : RowPitch(t->desc.format, b.right - b.left);
        const GLsizei bytes = static_cast<GLsizei>(pitch * ((b.bottom - b.top + 3) / 4));
        if (cube)
            gl::CompressedTextureSubImage3D(Gl(t)->gl, mip, b.left, b.top, slice, w, h, 1,
                                            f.internal, bytes, data);
        else
            gl::CompressedTextureSubImage2D(Gl(t)->gl, mip, b.left, b.top, w, h, f.internal, bytes,
                                            data);
        return;
    }
    const uint32_t px = FormatBytes(t->desc.format);
    gl::PixelStorei(GL_UNPACK_ALIGNMENT, 1);
    gl::PixelStorei(GL_UNPACK_ROW_LENGTH, rowPitch && px ? static_cast<GLint>(rowPitch / px) : 0);
    if (cube)
        gl::TextureSubImage3D(Gl(t)->gl, mip, b.left, b.top, slice, w, h, 1, f.format, f.type,
                              data);
    else
        gl::TextureSubImage2D(Gl(t)->gl, mip, b.left, b.top, w, h, f.format, f.type, data);
    gl::PixelStorei(GL_UNPACK_ROW_LENGTH, 0);
}

} // namespace sys::gpu
