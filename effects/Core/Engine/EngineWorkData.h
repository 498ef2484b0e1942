#pragma once

#include "effects/Core/Engine/Engine.h"
#include "effects/Core/Engine/FrameListEntry.h"
#include "effects/Core/Engine/InitializeParameter.h"
#include "effects/Core/Noise/PerlinNoise.h"
#include "effects/Core/Noise/Xorshift128.h"

#include <atomic>
#include <cstdint>
#include <mutex>

namespace FulgorCore {

class ILightListenner;
class ITexture;
class Job;
class ParticleInstance;
struct DrawSortEntry;
struct InstanceSlot;
struct ObjectSlot;

// The engine's state, one block allocated at start-up ("Engine.WorkData").
struct EngineWorkData {
    static constexpr uint32_t kLayerCount = Engine::kLayerCount;
    static constexpr uint32_t kCircleTableCount = 62;
    static constexpr uint32_t kFrameListSize = 128;
    static constexpr uint32_t kInputQueueSize = 16;
    static constexpr uint32_t kDefaultSeed = 87654321u;
    // The permutation built when the block is constructed, and the one the
    // start-up puts in its place.
    static constexpr uint32_t kNoiseSeed = 0x0F0F0F0Fu;

    template <class Slot> struct SlotTable {
        Slot* base = nullptr;
        Slot* freeHead = nullptr;
        Slot* activeHead = nullptr;
        Slot* activeTail = nullptr;
    };
    // A draw layer's list (and the projection list): up to InstanceMaxCount
    // instances.
    struct InstanceList {
        uint32_t count = 0;
        InstanceSlot** instances = nullptr;
    };
    struct SortList {
        uint32_t count = 0;
        DrawSortEntry* entries = nullptr;
    };
    struct InputEvent {
        uint32_t kind;
        uint16_t value;
    };

    InitializeParameter parameter{};
    std::recursive_mutex objectLock;   // over the effect records
    std::recursive_mutex instanceLock; // over the instance records and the frame update
    SlotTable<ObjectSlot> objects;
    SlotTable<InstanceSlot> instances;
    SortList sortList;
    InstanceList layers[kLayerCount];
    InstanceList projectionList;
    float frustumPlanes[6][4] = {};
    uint16_t defaultInstanceFlags = 0;
    uint32_t liveInstanceCount = 0;
    uint32_t instanceSerial = 0;
    uint32_t objectSerial = 0;
    uint32_t lightQueryInterval[2] = {1, 1};
    Xorshift128 random;
    uint8_t layerEnabled[kLayerCount] = {};
    // Whether a layer orders its instances by depth (after priority);
    // every layer does from start-up.
    uint8_t layerDepthSort[kLayerCount] = {1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1};
    ITexture* defaultTextures[2] = {nullptr, nullptr}; // one reference each
    ILightListenner* lightListenner = nullptr;         // one reference
    float* circleTables[kCircleTableCount] = {};
    FrameListEntry frameList[kFrameListSize] = {};
    InputEvent inputQueue[kInputQueueSize] = {};
    std::atomic<uint32_t> frameListCount{0};
    uint32_t inputQueueCount = 0;
    float pointerPosition[2] = {};
    float pointerParameter = 0.0f;
    uint32_t pointerView = 0;
    uint8_t pointerValid = 0;
    // The unit the pointer was over after the last hover test.
    ParticleInstance* hoveredUnit = nullptr;
    // The unit a press went down on, until it is released.
    ParticleInstance* pressedUnit = nullptr;
    PerlinNoise noise;
    void (*submitJob)(Job* job) = nullptr;
};

} // namespace FulgorCore
