#pragma once

#include "effects/Core/Interface/ShaderKey.h"
#include "effects/Core/Interface/ShaderSourceBuffer.h"
#include "engine/common/HeapAllocator.h"
#include "game/vfx/CountedInterface.h"
#include "game/vfx/DeviceInterface.h"

#include <cstddef>
#include <map>

namespace Mireku::Graphics {
class BlendState;
class ConstantBuffer;
class DepthStencilState;
class DrawContext;
class IndexBuffer;
class RasterizerState;
class SamplerState;
class VertexBuffer;
} // namespace Mireku::Graphics

class Shader;

// The effects runtime's rendering device on the engine's graphics layer. The
// setters only store what the runtime asks for; each draw writes the stored
// settings into the calling thread's draw context, with a snapshot of all
// shader constants, and has the engine record the draw for the render
// thread. Every state object is made once, here, and picked by index.
class VfxDevice : public CountedInterface<DeviceInterface> {
public:
    static constexpr uint32_t kStages = 9; // texture stage 8 is the depth texture
    static constexpr uint32_t kVertexRegisters = 22;
    static constexpr uint32_t kPixelRegisters = 49;
    static constexpr uint32_t kRegisterBytes = 16;
    static constexpr uint32_t kFilters = 4;
    static constexpr uint32_t kAddressModes = 3;
    static constexpr uint32_t kSamplerStates = kFilters * kAddressModes * kAddressModes;
    static constexpr uint32_t kDepthStates = 8;
    static constexpr uint32_t kRasterizerStates = 8;
    static constexpr uint32_t kBlendStates = 6;

    VfxDevice();
    ~VfxDevice() override;

    bool CreateShader(const FulgorCore::ShaderKey* key, FulgorCore::IShader** shader) override;
    FulgorCore::IVertexBuffer* CreateVertexBuffer(uint32_t size, bool dynamic,
                                                  const void* initial) override;
    FulgorCore::IIndexBuffer* CreateIndexBuffer(uint32_t size, bool dynamic,
                                                const uint16_t* initial) override;
    FulgorCore::ITexture* CreateTexture(const void* image, uint32_t size) override;
    uint32_t Reserved7(uint32_t, uint32_t) override { return 0; }
    // This game has no built-in textures.
    FulgorCore::ITexture* GetBuiltinTexture(uint32_t) override { return nullptr; }

    void SetCullMode(uint32_t mode) override { settings_.cullMode = mode; }
    void SetBlendMode(uint32_t mode, bool wireframe) override;
    void SetDepthState(uint8_t compareKind, uint8_t depthWrite, uint8_t depthTest) override;
    // The flag of the sampler word is not used.
    void SetTexture(uint32_t stage, FulgorCore::ITexture* texture, uint32_t filter,
                    uint32_t addressU, uint32_t addressV, uint32_t flag) override;
    void SetShader(FulgorCore::IShader* shader) override { settings_.shader = shader; }
    void OnDrawPhase(uint32_t) override {}
    // Registers past the shadow's end are cut off; a stride above 16 bytes
    // copies the first 16 bytes of each element.
    void SetVertexShaderConstants(uint32_t firstRegister, const void* data, uint32_t registerCount,
                                  uint32_t stride) override;
    void SetPixelShaderConstants(uint32_t firstRegister, const void* data, uint32_t registerCount,
                                 uint32_t stride) override;
    void SetVertexBuffer(uint32_t stream, FulgorCore::IVertexBuffer* buffer, uint32_t offset,
                         uint32_t stride) override;
    void SetIndexBuffer(FulgorCore::IIndexBuffer* buffer) override;
    void Draw(uint32_t primitive, uint32_t vertexCount) override;
    // The vertex count is not needed: the engine draws from base vertex 0.
    void DrawIndexed(uint32_t primitive, uint32_t firstIndex, uint32_t indexCount,
                     uint32_t vertexCount) override;
    // The staging memory of the half being recorded, at the offset; null
    // when the range passes the buffer or the buffer has no staging memory.
    void* LockIndexBuffer(FulgorCore::IIndexBuffer* buffer, uint32_t offset,
                          uint32_t size) override;
    void* LockVertexBuffer(FulgorCore::IVertexBuffer* buffer, uint32_t offset,
                           uint32_t size) override;
    // Raises the half's pending bytes to lock offset + bytes written, never
    // past the buffer's size.
    void UnlockIndexBuffer(FulgorCore::IIndexBuffer* buffer, uint32_t bytesUsed) override;
    void UnlockVertexBuffer(FulgorCore::IVertexBuffer* buffer, uint32_t bytesUsed) override;
    void OnFrameReset() override {}
    // Depth state 0, solid, back faces culled, blending off, no shader,
    // streams, index buffer or textures.
    void ResetRenderState() override { settings_ = {}; }
    void OnLayerEnd() override {}
    void Reserved28() override {}
    void Reserved29() override {}
    bool Reserved30(uint32_t) override { return false; }
    void OnBatchesBegin(uint32_t) override {}
    void OnBatchesEnd(uint32_t) override {}
    uint32_t Reserved33(uint32_t) override { return 0; }
    virtual void Reserved39() {}
    virtual void Reserved40() {}
    // Stage 8 with point filtering and mirrored addressing.
    virtual void SetDepthTexture(FulgorCore::ITexture* texture);

    // Fill the shader's ShaderObject from the text the source writes for the
    // key: the vertex program with its input layout, the pixel program.
    bool CompileVertexShader(const FulgorCore::ShaderKey& key, Shader& shader);
    bool CompilePixelShader(const FulgorCore::ShaderKey& key, Shader& shader);
    bool CreateInputLayout(const FulgorCore::ShaderKey& key, const void* code, uint32_t size,
                           Shader& shader);

    // The prebuilt states and the constant shadows, as the draws use them.
    Mireku::Graphics::SamplerState* GetSamplerState(uint32_t index) const;
    Mireku::Graphics::DepthStencilState* GetDepthState(uint32_t index) const;
    Mireku::Graphics::RasterizerState* GetRasterizerState(uint32_t index) const;
    Mireku::Graphics::BlendState* GetBlendState(uint32_t index) const;
    const float* GetVertexConstants() const { return vertexConstants_[0]; }
    // The shader pairs kept for keys already asked for (kept until the
    // device goes).
    size_t GetCachedShaderCount() const { return cache_.size(); }
    const float* GetPixelConstants() const { return pixelConstants_[0]; }

private:
    struct KeyLess {
        bool operator()(const FulgorCore::ShaderKey& a, const FulgorCore::ShaderKey& b) const;
    };
    using ShaderCache =
        std::map<FulgorCore::ShaderKey, Shader*, KeyLess,
                 Mireku::Common::HeapAllocator<std::pair<const FulgorCore::ShaderKey, Shader*>>>;

    // What the runtime has set since the last reset; all zero is the reset
    // state.
    struct Settings {
        uint8_t depthCompare;
        uint8_t depthWrite;
        uint8_t depthTest;
        uint8_t wireframe;
        uint32_t cullMode;
        uint32_t blendMode;
        FulgorCore::IShader* shader; // no reference held
        uint32_t streamOffsets[2];
        uint32_t streamStrides[2];
        Mireku::Graphics::VertexBuffer* streamBuffers[2]; // no reference held
        Mireku::Graphics::IndexBuffer* indexBuffer;       // no reference held
        FulgorCore::ITexture* textures[kStages];          // no reference held
        uint32_t filters[kStages];
        uint32_t addressU[kStages];
        uint32_t addressV[kStages];
    };

    // Writes the stored settings and the constant snapshots into the
    // context; false (nothing to draw) without a shader or constant memory.
    bool FlushState(Mireku::Graphics::DrawContext& context);
    // Gives `buffer` a copy of `constants` unless it holds this frame's
    // copy of them as they stand; false when the frame's memory is spent.
    static bool CopyConstants(Mireku::Graphics::ConstantBuffer& buffer, const void* constants,
                              uint32_t bytes, bool& copied);
    void Submit(uint32_t primitive, uint32_t firstIndex, uint32_t count, bool indexed);
    // One program of the key: text, SPIR-V, then the engine object.
    bool Compile(const FulgorCore::ShaderKey& key, bool pixel, Shader& shader);

    ShaderCache cache_;
    FulgorCore::ShaderSourceBuffer vertexSource_{};
    FulgorCore::ShaderSourceBuffer pixelSource_{};
    Settings settings_{};
    Mireku::Graphics::RasterizerState* rasterizerStates_[kRasterizerStates] = {};
    Mireku::Graphics::BlendState* blendStates_[kBlendStates] = {};
    Mireku::Graphics::DepthStencilState* depthStates_[kDepthStates] = {};
    Mireku::Graphics::SamplerState* samplerStates_[kSamplerStates] = {};
    Mireku::Graphics::ConstantBuffer* vertexConstantBuffer_ = nullptr;
    Mireku::Graphics::ConstantBuffer* pixelConstantBuffer_ = nullptr;
    float vertexConstants_[kVertexRegisters][4] = {};
    float pixelConstants_[kPixelRegisters][4] = {};
    // Whether the constant buffer holds a copy of this frame of the
    // constants as they stand.
    bool vertexConstantsCopied_ = false;
    bool pixelConstantsCopied_ = false;
    uint32_t textureIds_[kStages];
    uint32_t samplerIds_[kStages];
    uint32_t vertexConstantId_;
    uint32_t pixelConstantId_;
};
