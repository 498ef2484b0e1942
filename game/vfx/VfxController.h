#pragma once

#include "engine/common/HeapAllocator.h"
#include "engine/common/Singleton.h"
#include "engine/common/SingletonObject.h"
#include "game/vfx/VfxEventDelegate.h"

#include <cstdint>
#include <map>
#include <set>

namespace FulgorCore {
class IDevice;
class ILightListenner;
struct DrawParameter;
struct InitializeParameter;
} // namespace FulgorCore

class VfxData;
class VfxInstance;
class VfxLightListenner;

// The game's one owner of the effects runtime. It starts the runtime with
// its work buffers, the allocation callbacks, the rendering device and the
// light listener; turns effect files into VfxData and makes VfxInstance
// objects of them; each frame sets the fixed camera, advances every
// instance and the runtime, and draws the two effect layers; at shutdown it
// stops the runtime and deletes the device.
class VfxController : public Mireku::Common::SingletonObject,
                      public Mireku::Common::Singleton<VfxController> {
public:
    // Work buffers, static and never freed. Their records hold pointers, so
    // on 64-bit the unit memory keeps its 4096 blocks at the doubled block
    // size (1024 bytes, laid 1088 bytes apart) and the cache and
    // render-command buffers double too.
    static constexpr uint32_t kUnitInstanceMemorySize = 4096 * 1088;
    static constexpr uint32_t kCacheBufferMemorySize = 8u << 20;
    static constexpr uint32_t kRenderCommandBufferMemorySize = 512u << 10;
    static constexpr uint32_t kObjectMaxCount = 100;
    static constexpr uint32_t kInstanceMaxCount = 1000;
    // Pools of the runtime's minimum buffer sizes: 64 vertex buffers of
    // 16384 bytes and 64 index buffers of 2048.
    static constexpr int32_t kVertexBufferTotalSize = 1 << 20;
    static constexpr int32_t kIndexBufferTotalSize = 128 << 10;

    static constexpr float kFieldOfView = 0.5235988f; // 30 degrees
    static constexpr float kNear = 0.1f;
    static constexpr float kFar = 1000.0f;

    // Live instances by address, and loaded data by name (byte-wise,
    // unsigned; two data of one name may be loaded). Neither holds a
    // reference: each object joins when made and leaves when destroyed.
    using InstanceSet = std::set<VfxInstance*, std::less<VfxInstance*>,
                                 Mireku::Common::HeapAllocator<VfxInstance*>>;
    struct NameLess {
        bool operator()(const char* a, const char* b) const;
    };
    using DataMap =
        std::multimap<const char*, VfxData*, NameLess,
                      Mireku::Common::HeapAllocator<std::pair<const char* const, VfxData*>>>;

    // Makes the instance CreateInstance hands out (the screens' tests put
    // recording doubles in); null makes VfxInstance.
    using InstanceMaker = VfxInstance* (*)(VfxData* data, const VfxEventDelegate* owner);

    // The singleton's own creation stays reachable beside the instance
    // creation below.
    using Mireku::Common::Singleton<VfxController>::CreateInstance;

    VfxController() = default;
    // Frees the map and set nodes; the runtime is not touched, and data and
    // instances still alive outlive it unregistered.
    ~VfxController() override = default;

    // The runtime's start-up record with the given device and light
    // listener.
    static FulgorCore::InitializeParameter
    MakeInitializeParameter(FulgorCore::IDevice* device, FulgorCore::ILightListenner* light);

    // Makes the device (through VfxDeviceMaker) and the light listener and
    // starts the runtime with them. False when the runtime refuses, a null
    // device or listener included; the game then runs with effects off.
    bool Initialize();
    // The camera of a 1280 by 720 screen: identity view, right-handed
    // perspective projection (row vectors, translation in the fourth row).
    void UpdateCamera();
    // Each live instance in ascending address order, then one runtime frame.
    void Update();
    // The draw settings of the screen's one view.
    FulgorCore::DrawParameter MakeDrawParameter() const;
    // Hands them to the runtime's draw of view 0.
    void Draw();
    // The frame's effects: camera, update, the draw state reset, the draw,
    // then layer 0 under the sprite layers and layer 1 over the game's.
    void RunFrame();
    // A new VfxData of the image under `name`; the image is handed to the
    // runtime again on every call (names are not looked up), and the caller
    // may free it on return. Null only when the heap is exhausted.
    VfxData* LoadData(const void* image, uint32_t size, const char* name);
    // A new instance of `data` whose listener tells `owner` (null for none)
    // of the effect's events. Null for null data or an exhausted heap.
    VfxInstance* CreateInstance(VfxData* data, const VfxEventDelegate* owner = nullptr);
    void SetInstanceMaker(InstanceMaker maker) { maker_ = maker; }
    // Stops the runtime, then deletes the light listener and the device.
    void Finalize();

    FulgorCore::IDevice* GetDevice() const { return device_; }
    VfxLightListenner* GetLightListenner() const { return light_; }
    uint32_t GetScreenWidth() const { return screenWidth_; }
    uint32_t GetScreenHeight() const { return screenHeight_; }
    const float* GetView() const { return &view_[0][0]; }
    const float* GetProjection() const { return &projection_[0][0]; }
    const InstanceSet& GetLiveInstances() const { return live_; }
    const DataMap& GetDataMap() const { return data_; }

private:
    friend class VfxData;
    friend class VfxInstance;
    void AddData(VfxData* data);
    // Erases the entry of `data` itself, never another of the same name.
    void RemoveData(VfxData* data);
    void AddInstance(VfxInstance* instance);
    void RemoveInstance(VfxInstance* instance);

    InstanceSet live_;
    DataMap data_;
    FulgorCore::IDevice* device_ = nullptr;
    VfxLightListenner* light_ = nullptr;
    InstanceMaker maker_ = nullptr;
    uint32_t screenWidth_ = 0;
    uint32_t screenHeight_ = 0;
    float view_[4][4] = {};
    float projection_[4][4] = {};
};
