// Creation of the graphics wrappers from the engine's small enumerations. Each
// function is the free twin of the GraphicsDevice member of the same name and
// calls it on the device singleton (null without a device).
#pragma once

#include <cstdint>

namespace Mireku::Graphics {

class BlendState;
class ConstantBuffer;
class DepthStencilState;
class IndexBuffer;
class PixelShader;
class RasterizerState;
class RenderTargetTexture;
class SamplerState;
class Texture;
class VertexBuffer;
class VertexLayout;
class VertexShader;

// One input element of CreateVertexLayout. A list ends with an element whose
// input slot is kVertexElementEnd; at most kMaxVertexElements are read.
struct VertexElement {
    uint32_t inputSlot;
    uint32_t alignedByteOffset;
    uint32_t format; // VertexFormat
    const char* semanticName;
    uint32_t semanticIndex;
    uint32_t classification; // 0 per vertex, 1 per instance
};
constexpr uint32_t kVertexElementEnd = 0xFFFFFFFFu;
constexpr uint32_t kMaxVertexElements = 32;

enum VertexFormat : uint32_t {
    kVertexR32Float,
    kVertexR32G32Float,
    kVertexR32G32B32Float,
    kVertexR32G32B32A32Float,
    kVertexR16G16Float,
    kVertexR16G16B16A16Float,
    kVertexR8G8B8A8Uint,
    kVertexR8G8B8A8Unorm,
    kVertexR16G16Unorm,
    kVertexR16G16B16A16Unorm,
    kVertexR16G16Sint,
    kVertexR16G16B16A16Sint,
    kVertexR16G16Snorm,
    kVertexR16G16B16A16Snorm,
    kVertexFormatCount
};

// Format index of CreateTextureFromMemory; kTextureFormatFromFile keeps the
// file's own format.
enum TextureFormat : uint32_t {
    kTextureA8Unorm,
    kTextureR8G8B8A8Unorm,
    kTextureR10G10B10A2Unorm,
    kTextureR16Float,
    kTextureR32Float,
    kTextureR16G16B16A16Float,
    kTextureR32G32B32A32Float,
    kTextureBC1,
    kTextureBC2,
    kTextureBC3,
    kTextureBC4,
    kTextureBC5,
    kTextureBC6H,
    kTextureBC7,
    kTextureFormatFromFile,
};

// Format index of CreateRenderTargetTexture.
enum RenderTargetFormat : uint32_t {
    kTargetR8G8B8A8Unorm,
    kTargetR10G10B10A2Unorm,
    kTargetR16G16B16A16Float,
    kTargetR32G32B32A32Float,
    kTargetR16Float,
    kTargetR32Float,
    kTargetFormatCount
};

// The DXGI format number a texture records for a format index (0 for
// kTextureFormatFromFile and for indices out of range).
uint32_t TextureFormatCode(uint32_t formatIndex);
uint32_t RenderTargetFormatCode(uint32_t formatIndex);

RasterizerState* CreateRasterizerState(uint32_t fill, uint32_t cull, uint32_t scissor);
DepthStencilState* CreateDepthStencilState(uint32_t write, uint32_t comparison);
BlendState* CreateBlendState(uint8_t enable, uint32_t unused0, uint32_t unused1, uint32_t destAlpha,
                             uint32_t srcAlpha, uint32_t alphaOp, uint32_t destColour,
                             uint32_t srcColour, uint32_t colourOp);
SamplerState* CreateSamplerState(uint32_t filterKind, uint32_t linearMip, uint32_t anisotropy,
                                 uint32_t addressU, uint32_t addressV, uint32_t comparison);
VertexLayout* CreateVertexLayout(const VertexElement* elements, const void* code,
                                 uint32_t codeLength);
VertexBuffer* CreateVertexBuffer(uint32_t byteSize, uint32_t usage, uint32_t option);
VertexBuffer* CreateVertexBufferWithData(const void* data, uint32_t byteSize, uint32_t usage,
                                         uint32_t option);
IndexBuffer* CreateIndexBuffer(uint32_t byteSize, uint32_t usage, uint32_t option);
IndexBuffer* CreateIndexBufferWithData(const void* data, uint32_t byteSize, uint32_t usage,
                                       uint32_t option);
ConstantBuffer* CreateConstantBuffer(uint32_t byteSize, uint32_t usage, uint32_t option);
VertexShader* CreateVertexShader(const void* code, uint32_t codeLength);
PixelShader* CreatePixelShader(const void* code, uint32_t codeLength);
Texture* CreateTextureFromMemory(const void* data, uint32_t size, uint32_t formatIndex);
RenderTargetTexture* CreateRenderTargetTexture(int16_t width, int16_t height, uint32_t formatIndex);

} // namespace Mireku::Graphics
