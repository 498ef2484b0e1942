// A rendering device for the effects runtime's tests: it records every
// creation (with its initial bytes), lock and unlock, keeps each buffer's
// bytes so locks return real memory, counts the objects alive and can be
// told to fail chosen creations.
#pragma once

#include "support/effects/CountedObject.h"

#include "effects/Core/Interface/IDevice.h"
#include "effects/Core/Interface/IIndexBuffer.h"
#include "effects/Core/Interface/IShader.h"
#include "effects/Core/Interface/ITexture.h"
#include "effects/Core/Interface/IVertexBuffer.h"

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

    bool CreateShader(const FulgorCore::ShaderKey*, FulgorCore::IShader** shader) override {
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

    size_t CountCreations(Kind kind, uint32_t size, bool dynamic) const {
        size_t n = 0;
        for (const Creation& c : creations)
            n += c.kind == kind && c.size == size && c.dynamic == dynamic;
        return n;
    }

    // Objects created and not yet released to zero.
    int live = 0;
    std::vector<Creation> creations;
    std::vector<Lock> locks;
    std::vector<Unlock> unlocks;
    std::vector<uint32_t> builtinRequests;
    int frameResets = 0;
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
