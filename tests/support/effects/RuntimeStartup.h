// A complete start-up record for the effects runtime over test buffers, the
// recording device, a light listener and the counting allocator. Finalizes
// the runtime when it goes.
#pragma once

#include "support/effects/CountingAllocator.h"
#include "support/effects/FakeListeners.h"
#include "support/effects/RecordingDevice.h"

#include "effects/Core/Engine/Engine.h"
#include "effects/Core/Engine/InitializeParameter.h"

#include <vector>

namespace testsupport {

class RuntimeStartup {
public:
    RuntimeStartup() {
        CountingAllocator::Reset();
        LogCapture::Reset();
        FulgorCore::InitializeParameter& p = parameter;
        p.UnitInstanceMemory = units.data();
        p.UnitInstanceMemorySize = static_cast<uint32_t>(units.size());
        p.CacheBufferMemory = cache.data();
        p.CacheBufferMemorySize = static_cast<uint32_t>(cache.size());
        p.RenderCommandBufferMemory = commands.data();
        p.RenderCommandBufferMemorySize = static_cast<uint32_t>(commands.size());
        p.pDevice = &device;
        p.pLightListenner = &light;
        p.ObjectMaxCount = 4;
        p.InstanceMaxCount = 8;
        p.VertexBufferTotalSize = 1048576;
        p.IndexBufferTotalSize = 131072;
        p.EngineInitializeParameter.pAllocator_Alloc = CountingAllocator::Alloc;
        p.EngineInitializeParameter.pAllocator_Free = CountingAllocator::Free;
        p.EngineInitializeParameter.pLogOutput = LogCapture::Output;
    }
    ~RuntimeStartup() { FulgorCore::Engine::Finalize(); }
    RuntimeStartup(const RuntimeStartup&) = delete;
    RuntimeStartup& operator=(const RuntimeStartup&) = delete;

    bool Start() { return FulgorCore::Engine::Initialize(&parameter); }
    // Unit and frame memory of the given sizes, set before Start.
    void Resize(uint32_t unitBytes, uint32_t cacheBytes) {
        units.assign(unitBytes, 0);
        parameter.UnitInstanceMemory = units.data();
        parameter.UnitInstanceMemorySize = unitBytes;
        cache.assign(cacheBytes, 0);
        parameter.CacheBufferMemory = cache.data();
        parameter.CacheBufferMemorySize = cacheBytes;
    }

    RecordingDevice device;
    FakeLightListenner light;
    std::vector<uint8_t> units = std::vector<uint8_t>(262144);
    std::vector<uint8_t> cache = std::vector<uint8_t>(4096);
    std::vector<uint8_t> commands = std::vector<uint8_t>(1024);
    FulgorCore::InitializeParameter parameter{};
};

} // namespace testsupport
