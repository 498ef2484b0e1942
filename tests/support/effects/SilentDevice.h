// A rendering device that does nothing per call, for measuring the
// renderer and proving it allocates nothing per frame: its buffers are
// allocated when created and its locks return their memory; it only
// counts calls and draws. Its per-draw operations are never inlined, so a
// loop that calls it directly pays a call per operation as the renderer
// does.
#pragma once

#include "support/effects/CountedObject.h"

#include "effects/Core/Interface/IDevice.h"
#include "effects/Core/Interface/IIndexBuffer.h"
#include "effects/Core/Interface/IVertexBuffer.h"

#include <cstring>
#include <vector>

namespace testsupport {

template <class Interface> class SilentBuffer : public CountedObject<Interface> {
public:
    SilentBuffer(uint32_t size, const void* initial)
        : CountedObject<Interface>(nullptr), bytes(size) {
        if (initial)
            std::memcpy(bytes.data(), initial, size);
    }
    void* At(uint32_t offset, uint32_t size) {
        return uint64_t{offset} + size <= bytes.size() ? bytes.data() + offset : nullptr;
    }
    std::vector<uint8_t> bytes;
};

class SilentDevice : public HeldObject<FulgorCore::IDevice> {
public:
    using VertexBuffer = SilentBuffer<FulgorCore::IVertexBuffer>;
    using IndexBuffer = SilentBuffer<FulgorCore::IIndexBuffer>;

    bool CreateShader(const FulgorCore::ShaderKey*, FulgorCore::IShader** shader) override {
        *shader = nullptr;
        return false;
    }
    FulgorCore::IVertexBuffer* CreateVertexBuffer(uint32_t size, bool,
                                                  const void* initial) override {
        return new VertexBuffer(size, initial);
    }
    FulgorCore::IIndexBuffer* CreateIndexBuffer(uint32_t size, bool,
                                                const uint16_t* initial) override {
        return new IndexBuffer(size, initial);
    }
    FulgorCore::ITexture* CreateTexture(const void*, uint32_t) override { return nullptr; }
    FulgorCore::ITexture* GetBuiltinTexture(uint32_t) override { return nullptr; }

    [[gnu::noinline]] void SetCullMode(uint32_t) override { ++calls; }
    [[gnu::noinline]] void SetBlendMode(uint32_t, bool) override { ++calls; }
    [[gnu::noinline]] void SetDepthState(uint8_t, uint8_t, uint8_t) override { ++calls; }
    [[gnu::noinline]] void SetTexture(uint32_t, FulgorCore::ITexture*, uint32_t, uint32_t, uint32_t,
                                      uint32_t) override {
        ++calls;
    }
    [[gnu::noinline]] void SetShader(FulgorCore::IShader*) override { ++calls; }
    [[gnu::noinline]] void OnDrawPhase(uint32_t) override { ++calls; }
    [[gnu::noinline]] void SetVertexShaderConstants(uint32_t, const void*, uint32_t,
                                                    uint32_t) override {
        ++calls;
    }
    [[gnu::noinline]] void SetPixelShaderConstants(uint32_t, const void*, uint32_t,
                                                   uint32_t) override {
        ++calls;
    }
    [[gnu::noinline]] void SetVertexBuffer(uint32_t, FulgorCore::IVertexBuffer*, uint32_t,
                                           uint32_t) override {
        ++calls;
    }
    [[gnu::noinline]] void SetIndexBuffer(FulgorCore::IIndexBuffer*) override { ++calls; }
    [[gnu::noinline]] void Draw(uint32_t, uint32_t) override { ++draws; }
    [[gnu::noinline]] void DrawIndexed(uint32_t, uint32_t, uint32_t, uint32_t) override { ++draws; }
    void* LockIndexBuffer(FulgorCore::IIndexBuffer* buffer, uint32_t offset,
                          uint32_t size) override {
        return static_cast<IndexBuffer*>(buffer)->At(offset, size);
    }
    void* LockVertexBuffer(FulgorCore::IVertexBuffer* buffer, uint32_t offset,
                           uint32_t size) override {
        return static_cast<VertexBuffer*>(buffer)->At(offset, size);
    }
    void UnlockIndexBuffer(FulgorCore::IIndexBuffer*, uint32_t) override {}
    void UnlockVertexBuffer(FulgorCore::IVertexBuffer*, uint32_t) override {}
    void OnFrameReset() override {}
    [[gnu::noinline]] void ResetRenderState() override { ++calls; }
    [[gnu::noinline]] void OnLayerEnd() override { ++calls; }
    [[gnu::noinline]] void OnBatchesBegin(uint32_t) override { ++calls; }
    [[gnu::noinline]] void OnBatchesEnd(uint32_t) override { ++calls; }

    uint64_t calls = 0;
    uint64_t draws = 0;
};

} // namespace testsupport
