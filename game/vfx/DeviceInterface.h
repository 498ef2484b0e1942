#pragma once

#include "effects/Core/Interface/IDevice.h"

// The host's form of the runtime's device: every operation up to the last
// one the runtime calls is left to the implementation, including the ones
// that have no caller, so that a device states its answer to each; the five
// after them keep empty bodies.
class DeviceInterface : public FulgorCore::IDevice {
public:
    uint32_t Release() override = 0;
    uint32_t AddRef() override = 0;
    bool CreateShader(const FulgorCore::ShaderKey* key, FulgorCore::IShader** shader) override = 0;
    FulgorCore::IVertexBuffer* CreateVertexBuffer(uint32_t size, bool dynamic,
                                                  const void* initial) override = 0;
    FulgorCore::IIndexBuffer* CreateIndexBuffer(uint32_t size, bool dynamic,
                                                const uint16_t* initial) override = 0;
    FulgorCore::ITexture* CreateTexture(const void* image, uint32_t size) override = 0;
    uint32_t Reserved7(uint32_t, uint32_t) override = 0;
    FulgorCore::ITexture* GetBuiltinTexture(uint32_t kind) override = 0;
    void SetCullMode(uint32_t mode) override = 0;
    void SetBlendMode(uint32_t mode, bool wireframe) override = 0;
    void SetDepthState(uint8_t compareKind, uint8_t depthWrite, uint8_t depthTest) override = 0;
    void SetTexture(uint32_t stage, FulgorCore::ITexture* texture, uint32_t filter,
                    uint32_t addressU, uint32_t addressV, uint32_t flag) override = 0;
    void SetShader(FulgorCore::IShader* shader) override = 0;
    void OnDrawPhase(uint32_t phase) override = 0;
    void SetVertexShaderConstants(uint32_t firstRegister, const void* data, uint32_t registerCount,
                                  uint32_t stride) override = 0;
    void SetPixelShaderConstants(uint32_t firstRegister, const void* data, uint32_t registerCount,
                                 uint32_t stride) override = 0;
    void SetVertexBuffer(uint32_t stream, FulgorCore::IVertexBuffer* buffer, uint32_t offset,
                         uint32_t stride) override = 0;
    void SetIndexBuffer(FulgorCore::IIndexBuffer* buffer) override = 0;
    void Draw(uint32_t primitive, uint32_t vertexCount) override = 0;
    void DrawIndexed(uint32_t primitive, uint32_t firstIndex, uint32_t indexCount,
                     uint32_t vertexCount) override = 0;
    void* LockIndexBuffer(FulgorCore::IIndexBuffer* buffer, uint32_t offset,
                          uint32_t size) override = 0;
    void* LockVertexBuffer(FulgorCore::IVertexBuffer* buffer, uint32_t offset,
                           uint32_t size) override = 0;
    void UnlockIndexBuffer(FulgorCore::IIndexBuffer* buffer, uint32_t bytesUsed) override = 0;
    void UnlockVertexBuffer(FulgorCore::IVertexBuffer* buffer, uint32_t bytesUsed) override = 0;
    void OnFrameReset() override = 0;
    void ResetRenderState() override = 0;
    void OnLayerEnd() override = 0;
    void Reserved28() override = 0;
    void Reserved29() override = 0;
    bool Reserved30(uint32_t) override = 0;
    void OnBatchesBegin(uint32_t layer) override = 0;
    void OnBatchesEnd(uint32_t layer) override = 0;
    uint32_t Reserved33(uint32_t) override = 0;
    void Reserved34(uint32_t, uint32_t, uint32_t, uint32_t, uint32_t) override {}
    void Reserved35(uint32_t, uint32_t, uint32_t, uint32_t, uint32_t, uint32_t) override {}
    void Reserved36(uint32_t, uint32_t, uint32_t, uint32_t) override {}
    void Reserved37() override {}
    void Reserved38() override {}
};
