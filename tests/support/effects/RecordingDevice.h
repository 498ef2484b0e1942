// A rendering device for the effects runtime's tests: it records every
// creation (with its initial bytes, or a shader's key), lock and unlock, keeps each buffer's
// bytes so locks return real memory, counts the objects alive and can be
// told to fail chosen creations. Draws are recorded with the state set
// before them.
#pragma once

#include "support/effects/CountedObject.h"

#include "effects/Core/Interface/IDevice.h"
#include "effects/Core/Interface/IIndexBuffer.h"
#include "effects/Core/Interface/IShader.h"
#include "effects/Core/Interface/ITexture.h"
#include "effects/Core/Interface/IVertexBuffer.h"
#include "effects/Core/Interface/ShaderKey.h"

#include <cstring>
#include <functional>
#include <vector>

namespace testsupport {

class FakeVertexBuffer : public CountedObject<FulgorCore::IVertexBuffer> {
public:
    using CountedObject::CountedObject;
    std::vector<uint8_t> bytes;
};

class FakeIndexBuffer : public CountedObject<FulgorCore::IIndexBuffer> {
public:
    using CountedObject::CountedObject;
    std::vector<uint8_t> bytes;
};

class FakeTexture : public CountedObject<FulgorCore::ITexture> {
public:
    using CountedObject::CountedObject;
    uint32_t GetLevelCount() override { return levels; }
    // A test sets the mip levels the texture answers.
    uint32_t levels = 1;
};

class FakeShader : public CountedObject<FulgorCore::IShader> {
public:
    using CountedObject::CountedObject;
};

class RecordingDevice : public HeldObject<FulgorCore::IDevice> {
public:
    enum class Kind { Vertex, Index, Texture, Shader };
    struct Creation {
        Kind kind;
        uint32_t size;
        bool dynamic;
        std::vector<uint8_t> initial;
    };
    struct Lock {
        Kind kind;
        const void* buffer;
        uint32_t offset;
        uint32_t size;
    };
    struct Unlock {
        Kind kind;
        const void* buffer;
        uint32_t bytes;
    };

    RecordingDevice() {
        builtin[0] = new FakeTexture(nullptr);
        builtin[1] = new FakeTexture(nullptr);
    }
    ~RecordingDevice() override {
        builtin[0]->Release();
        builtin[1]->Release();
    }

    bool CreateShader(const FulgorCore::ShaderKey* key, FulgorCore::IShader** shader) override {
        shaderKeys.push_back(*key);
        if (Fails({Kind::Shader, 0, false, {}}))
            return false;
        *shader = new FakeShader(&live);
        return true;
    }
    FulgorCore::IVertexBuffer* CreateVertexBuffer(uint32_t size, bool dynamic,
                                                  const void* initial) override {
        if (Fails({Kind::Vertex, size, dynamic, Copy(initial, size)}))
            return nullptr;
        auto* buffer = new FakeVertexBuffer(&live);
        buffer->bytes = initial ? creations.back().initial : std::vector<uint8_t>(size);
        return buffer;
    }
    FulgorCore::IIndexBuffer* CreateIndexBuffer(uint32_t size, bool dynamic,
                                                const uint16_t* initial) override {
        if (Fails({Kind::Index, size, dynamic, Copy(initial, size)}))
            return nullptr;
        auto* buffer = new FakeIndexBuffer(&live);
        buffer->bytes = initial ? creations.back().initial : std::vector<uint8_t>(size);
        return buffer;
    }
    FulgorCore::ITexture* CreateTexture(const void* image, uint32_t size) override {
        if (Fails({Kind::Texture, size, false, Copy(image, size)}))
            return nullptr;
        return new FakeTexture(&live);
    }
    FulgorCore::ITexture* GetBuiltinTexture(uint32_t kind) override {
        builtinRequests.push_back(kind);
        return kind < 2 ? builtin[kind] : nullptr;
    }

    void* LockIndexBuffer(FulgorCore::IIndexBuffer* buffer, uint32_t offset,
                          uint32_t size) override {
        locks.push_back({Kind::Index, buffer, offset, size});
        return Map(static_cast<FakeIndexBuffer*>(buffer)->bytes, offset, size);
    }
    void* LockVertexBuffer(FulgorCore::IVertexBuffer* buffer, uint32_t offset,
                           uint32_t size) override {
        locks.push_back({Kind::Vertex, buffer, offset, size});
        return Map(static_cast<FakeVertexBuffer*>(buffer)->bytes, offset, size);
    }
    void UnlockIndexBuffer(FulgorCore::IIndexBuffer* buffer, uint32_t bytes) override {
        unlocks.push_back({Kind::Index, buffer, bytes});
    }
    void UnlockVertexBuffer(FulgorCore::IVertexBuffer* buffer, uint32_t bytes) override {
        unlocks.push_back({Kind::Vertex, buffer, bytes});
    }
    void OnFrameReset() override { ++frameResets; }

    void SetCullMode(uint32_t mode) override { state.cullMode = mode; }
    void SetBlendMode(uint32_t mode, bool wireframe) override {
        state.blendMode = mode;
        state.wireframe = wireframe;
    }
    void SetDepthState(uint8_t compareKind, uint8_t depthWrite, uint8_t depthTest) override {
        state.depth[0] = compareKind;
        state.depth[1] = depthWrite;
        state.depth[2] = depthTest;
    }
    void SetTexture(uint32_t stage, FulgorCore::ITexture* texture, uint32_t filter,
                    uint32_t addressU, uint32_t addressV, uint32_t) override {
        if (stage < 9)
            state.textures[stage] = {texture, filter, addressU, addressV};
    }
    void SetShader(FulgorCore::IShader* shader) override { state.shader = shader; }
    void OnDrawPhase(uint32_t phase) override { phases.push_back(phase); }
    void SetVertexShaderConstants(uint32_t first, const void*, uint32_t count,
                                  uint32_t stride) override {
        constants.push_back({false, first, count, stride});
    }
    void SetPixelShaderConstants(uint32_t first, const void*, uint32_t count,
                                 uint32_t stride) override {
        constants.push_back({true, first, count, stride});
    }
    void SetVertexBuffer(uint32_t stream, FulgorCore::IVertexBuffer* buffer, uint32_t offset,
                         uint32_t stride) override {
        if (stream < 2)
            state.streams[stream] = {buffer, offset, stride};
    }
    void SetIndexBuffer(FulgorCore::IIndexBuffer* buffer) override { state.indices = buffer; }
    void Draw(uint32_t primitive, uint32_t vertexCount) override {
        draws.push_back({false, primitive, 0, vertexCount, state});
    }
    void DrawIndexed(uint32_t primitive, uint32_t firstIndex, uint32_t indexCount,
                     uint32_t) override {
        draws.push_back({true, primitive, firstIndex, indexCount, state});
    }
    void ResetRenderState() override {
        state = {};
        ++renderStateResets;
    }
    void OnLayerEnd() override { ++layerEnds; }
    void OnBatchesBegin(uint32_t layer) override { batchLayers.push_back(layer); }
    void OnBatchesEnd(uint32_t) override {}

    struct TextureStage {
        const FulgorCore::ITexture* texture;
        uint32_t filter;
        uint32_t addressU;
        uint32_t addressV;
    };
    struct Stream {
        const FulgorCore::IVertexBuffer* buffer;
        uint32_t offset;
        uint32_t stride;
    };
    struct RenderState {
        uint32_t cullMode = 0;
        uint32_t blendMode = 0;
        bool wireframe = false;
        uint8_t depth[3] = {0, 0, 0};
        TextureStage textures[9] = {};
        const FulgorCore::IShader* shader = nullptr;
        Stream streams[2] = {};
        const FulgorCore::IIndexBuffer* indices = nullptr;
    };
    struct DrawCall {
        bool indexed;
        uint32_t primitive;
        uint32_t first;
        uint32_t count;
        RenderState state;
    };
    struct ConstantCall {
        bool pixel;
        uint32_t first;
        uint32_t count;
        uint32_t stride;
    };

    size_t CountCreations(Kind kind, uint32_t size, bool dynamic) const {
        size_t n = 0;
        for (const Creation& c : creations)
            n += c.kind == kind && c.size == size && c.dynamic == dynamic;
        return n;
    }

    // Objects created and not yet released to zero.
    int live = 0;
    std::vector<Creation> creations;
    // The key of every shader request, in order.
    std::vector<FulgorCore::ShaderKey> shaderKeys;
    std::vector<Lock> locks;
    std::vector<Unlock> unlocks;
    std::vector<uint32_t> builtinRequests;
    int frameResets = 0;
    RenderState state;
    std::vector<DrawCall> draws;
    std::vector<ConstantCall> constants;
    std::vector<uint32_t> phases;
    std::vector<uint32_t> batchLayers;
    int renderStateResets = 0;
    int layerEnds = 0;
    // Creation number k (0-based, every kind counted) fails.
    int failCreationAt = -1;
    // Creations for which this answers true fail.
    std::function<bool(const Creation&)> failWhen;
    FakeTexture* builtin[2];

private:
    static std::vector<uint8_t> Copy(const void* data, uint32_t size) {
        if (!data)
            return {};
        const auto* bytes = static_cast<const uint8_t*>(data);
        return std::vector<uint8_t>(bytes, bytes + size);
    }
    bool Fails(Creation creation) {
        const int number = static_cast<int>(creations.size());
        creations.push_back(std::move(creation));
        return number == failCreationAt || (failWhen && failWhen(creations.back()));
    }
    static void* Map(std::vector<uint8_t>& bytes, uint32_t offset, uint32_t size) {
        if (uint64_t{offset} + size > bytes.size())
            return nullptr;
        return bytes.data() + offset;
    }
};

} // namespace testsupport
