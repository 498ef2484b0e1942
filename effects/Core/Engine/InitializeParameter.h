#pragma once

#include "effects/Core/Engine/EngineInitializeParameter.h"

#include <cstdint>

namespace FulgorCore {

class IDevice;
class ILightListenner;
class JobDispatcher;

// The start-up record the host hands to Engine::Initialize, read once and
// copied whole into the work data. An in-memory record, never read from a
// file.
struct InitializeParameter {
    void* UnitInstanceMemory; // unit blocks; at least 262144 bytes
    uint32_t UnitInstanceMemorySize;
    void* CacheBufferMemory; // per-frame work memory; at least 1024 bytes
    uint32_t CacheBufferMemorySize;
    void* RenderCommandBufferMemory; // renderer records; at least 1024 bytes
    uint32_t RenderCommandBufferMemorySize;
    IDevice* pDevice;                 // required
    ILightListenner* pLightListenner; // required
    JobDispatcher* pJobDispatcher;    // optional: null runs every job at once
    uint32_t RandomSeed;              // 0 means 87654321
    uint32_t ObjectMaxCount;          // effect records; at least 1
    uint32_t InstanceMaxCount;        // instance records and draw-list capacity; at least 1
    int32_t VertexBufferSize;         // below 16384 taken as 16384
    int32_t VertexBufferTotalSize;    // below 65536 taken as 65536
    int32_t IndexBufferSize;          // below 2048 taken as 2048
    int32_t IndexBufferTotalSize;     // below 8192 taken as 8192
    uint8_t RendererFlagA;
    uint8_t RendererFlagB;
    uint8_t InstanceFlagDefaults[8]; // byte i == 0 sets bit i of the default flag word
    FulgorCore::EngineInitializeParameter EngineInitializeParameter;
};

} // namespace FulgorCore
