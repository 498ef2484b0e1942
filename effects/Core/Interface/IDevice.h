#pragma once

#include "effects/Core/Interface/InterfaceBase.h"

#include <cstdint>

namespace FulgorCore {

class IIndexBuffer;
class IShader;
class ITexture;
class IVertexBuffer;
struct ShaderKey;

// The rendering device the host lends the runtime. Created objects come back
// with one reference, owned by the runtime.
class IDevice : public InterfaceBase {
public:
    // A shader for a material key; false when the host cannot make one.
    virtual bool CreateShader(const ShaderKey* key, IShader** shader) = 0;
    // A vertex buffer of size bytes, filled from initial when given.
    virtual IVertexBuffer* CreateVertexBuffer(uint32_t size, bool dynamic, const void* initial) = 0;
    // An index buffer of size bytes (16-bit indices).
    virtual IIndexBuffer* CreateIndexBuffer(uint32_t size, bool dynamic,
                                            const uint16_t* initial) = 0;
    // A texture from the image bytes of an effect file.
    virtual ITexture* CreateTexture(const void* image, uint32_t size) = 0;
    // The default textures, kinds 0 and 1 (effect texture indices -2 and -3).
    virtual ITexture* GetBuiltinTexture(uint32_t kind) = 0;

    // Maps size bytes of the buffer from offset; null when it cannot.
    virtual void* LockIndexBuffer(IIndexBuffer* buffer, uint32_t offset, uint32_t size) = 0;
    virtual void* LockVertexBuffer(IVertexBuffer* buffer, uint32_t offset, uint32_t size) = 0;
    // Hands the mapped range back with the bytes written from its offset.
    virtual void UnlockIndexBuffer(IIndexBuffer* buffer, uint32_t bytesUsed) = 0;
    virtual void UnlockVertexBuffer(IVertexBuffer* buffer, uint32_t bytesUsed) = 0;

    // Once per frame, at the end of the draw-state reset.
    virtual void OnFrameReset() = 0;
};

} // namespace FulgorCore
