#pragma once

#include "effects/Core/Interface/InterfaceBase.h"

#include <cstdint>

namespace FulgorCore {

class IIndexBuffer;
class IShader;
class ITexture;
class IVertexBuffer;
struct ShaderKey;

// The rendering device the host lends the runtime. The runtime sets render
// state, textures, a shader, buffers and constants through it and then draws;
// everything it creates comes back with one reference, owned by the runtime.
// The operations are declared in the order the runtime knows them. The ones
// without a name have no caller and answer neutrally by default.
class IDevice : public InterfaceBase {
public:
    // A shader pair for a material key, with a reference for the caller;
    // false (and null) when the host cannot make one.
    virtual bool CreateShader(const ShaderKey* key, IShader** shader) = 0;
    // A vertex buffer of size bytes, filled from initial when given; null on
    // failure.
    virtual IVertexBuffer* CreateVertexBuffer(uint32_t size, bool dynamic, const void* initial) = 0;
    // An index buffer of size bytes (16-bit indices).
    virtual IIndexBuffer* CreateIndexBuffer(uint32_t size, bool dynamic,
                                            const uint16_t* initial) = 0;
    // A texture from the image bytes of an effect file.
    virtual ITexture* CreateTexture(const void* image, uint32_t size) = 0;
    virtual uint32_t Reserved7(uint32_t, uint32_t) { return 0; }
    // The default textures, kinds 0 and 1 (effect texture indices -2 and -3).
    virtual ITexture* GetBuiltinTexture(uint32_t kind) = 0;

    // Render state of the next draws. Cull mode 0 to 3; blend mode from three
    // bits of the render flags, wireframe for one kind of model batch.
    virtual void SetCullMode(uint32_t mode) = 0;
    virtual void SetBlendMode(uint32_t mode, bool wireframe) = 0;
    virtual void SetDepthState(uint8_t compareKind, uint8_t depthWrite, uint8_t depthTest) = 0;
    // Stage 0 to 8 (8 is the depth texture) with the sampler word's fields:
    // filter, address U and V (two bits each) and a flag bit.
    virtual void SetTexture(uint32_t stage, ITexture* texture, uint32_t filter, uint32_t addressU,
                            uint32_t addressV, uint32_t flag) = 0;
    virtual void SetShader(IShader* shader) = 0;
    // 0 after the frame constants, 1 before each draw record, 2 before each
    // batch.
    virtual void OnDrawPhase(uint32_t phase) = 0;
    // count registers from firstRegister, each from stride bytes of data.
    virtual void SetVertexShaderConstants(uint32_t firstRegister, const void* data,
                                          uint32_t registerCount, uint32_t stride) = 0;
    virtual void SetPixelShaderConstants(uint32_t firstRegister, const void* data,
                                         uint32_t registerCount, uint32_t stride) = 0;
    // Stream 0, or 1 for model batches; null clears the stream.
    virtual void SetVertexBuffer(uint32_t stream, IVertexBuffer* buffer, uint32_t offset,
                                 uint32_t stride) = 0;
    virtual void SetIndexBuffer(IIndexBuffer* buffer) = 0;
    // Primitive 0 line list, 1 triangle list.
    virtual void Draw(uint32_t primitive, uint32_t vertexCount) = 0;
    virtual void DrawIndexed(uint32_t primitive, uint32_t firstIndex, uint32_t indexCount,
                             uint32_t vertexCount) = 0;

    // Maps size bytes of the buffer from offset; null when it cannot.
    virtual void* LockIndexBuffer(IIndexBuffer* buffer, uint32_t offset, uint32_t size) = 0;
    virtual void* LockVertexBuffer(IVertexBuffer* buffer, uint32_t offset, uint32_t size) = 0;
    // Hands the mapped range back with the bytes written from its offset.
    virtual void UnlockIndexBuffer(IIndexBuffer* buffer, uint32_t bytesUsed) = 0;
    virtual void UnlockVertexBuffer(IVertexBuffer* buffer, uint32_t bytesUsed) = 0;

    // Once per frame, at the end of the draw-state reset.
    virtual void OnFrameReset() = 0;
    // At the start of each layer draw, projection-list draw and single
    // instance draw: every stored setting back to its default.
    virtual void ResetRenderState() = 0;
    // At the end of each layer draw.
    virtual void OnLayerEnd() = 0;
    virtual void Reserved28() {}
    virtual void Reserved29() {}
    virtual bool Reserved30(uint32_t) { return false; }
    // Around the batch flush of a layer.
    virtual void OnBatchesBegin(uint32_t layer) = 0;
    virtual void OnBatchesEnd(uint32_t layer) = 0;
    virtual uint32_t Reserved33(uint32_t) { return 0; }
    virtual void Reserved34(uint32_t, uint32_t, uint32_t, uint32_t, uint32_t) {}
    virtual void Reserved35(uint32_t, uint32_t, uint32_t, uint32_t, uint32_t, uint32_t) {}
    virtual void Reserved36(uint32_t, uint32_t, uint32_t, uint32_t) {}
    virtual void Reserved37() {}
    virtual void Reserved38() {}
};

} // namespace FulgorCore
