// The effects controller on the running runtime: its start-up record, the
// fixed camera and draw settings, the frame's order of updates, the
// shutdown, effect data by name, and the path with effects off.
#include "support/effects/EffectFiles.h"
#include "support/effects/RuntimeFrame.h"
#include "support/vfx/VfxControllerRig.h"

#include "effects/Core/Engine/DrawParameter.h"
#include "effects/Core/Engine/Engine.h"
#include "effects/Core/Engine/EngineWorkData.h"
#include "effects/Core/Engine/InitializeParameter.h"
#include "effects/Core/Memory/FrameWorkMemory.h"
#include "effects/Core/Memory/UnitInstancePool.h"
#include "effects/render/Renderer.h"
#include "effects/render/RendererWorkData.h"
#include "engine/common/Heap.h"
#include "engine/graphics/DrawContext.h"
#include "engine/graphics/SortKey.h"
#include "game/core/RandomManager.h"
#include "game/vfx/VfxAlloc.h"
#include "game/vfx/VfxData.h"
#include "game/vfx/VfxInstance.h"
#include "game/vfx/VfxInstanceListenner.h"
#include "game/vfx/VfxLightListenner.h"
#include "support/RandomStreamsCheck.h"
#include "tools/effect/GameEffects.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

namespace {

namespace Engine = FulgorCore::Engine;
using testsupport::VfxControllerRig;

uint32_t Bits(float f) {
    uint32_t u;
    std::memcpy(&u, &f, sizeof u);
    return u;
}

std::vector<uint8_t> Effect(const char* name, int32_t life = 0) {
    return testsupport::Write(testsupport::SmallEffect(name, life));
}

TEST(VfxController, TheStartUpRecordHoldsThreeStaticBuffersTheCountsAndHeapCallbacksElseZero) {
    VfxLightListenner light;
    testsupport::RecordingDevice device;
    const FulgorCore::InitializeParameter p =
        VfxController::MakeInitializeParameter(&device, &light);
    ASSERT_TRUE(p.UnitInstanceMemory && p.CacheBufferMemory && p.RenderCommandBufferMemory);
    EXPECT_EQ(reinterpret_cast<uintptr_t>(p.UnitInstanceMemory) % 16, 0u);
    // 4096 unit blocks 1088 bytes apart, 8 MiB of cache, 512 KiB of commands, the
    // device, the listener, the counts, the heap callbacks; everything else
    // stays zero: no job interface, the default seed, the minimum buffer
    // sizes, no flags, no log.
    FulgorCore::InitializeParameter expected;
    std::memset(&expected, 0, sizeof expected);
    expected.UnitInstanceMemory = p.UnitInstanceMemory;
    expected.UnitInstanceMemorySize = 4096u * 1088u;
    expected.CacheBufferMemory = p.CacheBufferMemory;
    expected.CacheBufferMemorySize = 8388608u;
    expected.RenderCommandBufferMemory = p.RenderCommandBufferMemory;
    expected.RenderCommandBufferMemorySize = 524288u;
    expected.pDevice = &device;
    expected.pLightListenner = &light;
    expected.ObjectMaxCount = 100;
    expected.InstanceMaxCount = 1000;
    expected.VertexBufferTotalSize = 1048576;
    expected.IndexBufferTotalSize = 131072;
    expected.EngineInitializeParameter.pAllocator_Alloc = &VfxAlloc;
    expected.EngineInitializeParameter.pAllocator_Free = &VfxFree;
    EXPECT_EQ(std::memcmp(&p, &expected, sizeof p), 0);

    // Three distinct static blocks that do not overlap.
    const auto* units = static_cast<const uint8_t*>(p.UnitInstanceMemory);
    const auto* cache = static_cast<const uint8_t*>(p.CacheBufferMemory);
    const auto* commands = static_cast<const uint8_t*>(p.RenderCommandBufferMemory);
    auto apart = [](const uint8_t* a, uint32_t as, const uint8_t* b, uint32_t bs) {
        return a + as <= b || b + bs <= a;
    };
    EXPECT_TRUE(apart(units, p.UnitInstanceMemorySize, cache, p.CacheBufferMemorySize));
    EXPECT_TRUE(apart(units, p.UnitInstanceMemorySize, commands, 524288u));
    EXPECT_TRUE(apart(cache, p.CacheBufferMemorySize, commands, 524288u));
}

TEST(VfxController, InitializeStartsTheRuntimeWithTheMadeDeviceAndTheRecord) {
    VfxControllerRig rig;
    ASSERT_TRUE(rig.started);
    EXPECT_TRUE(Engine::IsStarted());
    ASSERT_NE(rig.Device(), nullptr);
    ASSERT_NE(rig.controller->GetLightListenner(), nullptr);
    const FulgorCore::InitializeParameter& kept = Engine::GetWorkData()->parameter;
    EXPECT_EQ(kept.pDevice, rig.Device());
    EXPECT_EQ(kept.pLightListenner, rig.controller->GetLightListenner());
    EXPECT_EQ(kept.UnitInstanceMemorySize, 4096u * 1088u);
    EXPECT_EQ(Engine::GetUnitInstancePool().GetCapacity(), 4096u);
    EXPECT_EQ(kept.EngineInitializeParameter.pLogOutput, nullptr);
    // 64 dynamic vertex buffers of 16384 bytes and 64 index buffers of 2048.
    EXPECT_EQ(rig.Device()->CountCreations(testsupport::RecordingDevice::Kind::Vertex, 16384, true),
              64u);
    EXPECT_EQ(rig.Device()->CountCreations(testsupport::RecordingDevice::Kind::Index, 2048, true),
              64u);
    EXPECT_EQ(rig.Device()->References(), 2u) << "the runtime holds its own reference";
}

// The fixed camera, the same every frame, and the draw settings of the
// screen: no depth texture, every category visible, ambient 0.2, light
// straight into the screen, white.
TEST(VfxController, TheCameraAndTheDrawSettingsOfTheScreen) {
    VfxControllerRig rig;
    std::vector<float> second;
    for (int frame = 1; frame <= 100; ++frame) {
        rig.Frame();
        const float* p = rig.controller->GetProjection();
        if (frame == 2)
            second.assign(p, p + 16);
        if (frame != 2 && frame != 100)
            continue;
        EXPECT_EQ(rig.controller->GetScreenWidth() * 10000 + rig.controller->GetScreenHeight(),
                  12800720u);
        EXPECT_FLOAT_EQ(p[0], 2.0992787f);
        EXPECT_FLOAT_EQ(p[5], 3.7320509f);
        EXPECT_EQ((std::vector<uint32_t>{Bits(p[10]), Bits(p[11]), Bits(p[14])}),
                  (std::vector<uint32_t>{0xBF800347u, Bits(-1.0f), 0xBDCCD20Bu}));
        for (int i : {1, 2, 3, 4, 6, 7, 8, 9, 12, 13, 15})
            EXPECT_EQ(Bits(p[i]), 0u) << i;
        const float* v = rig.controller->GetView();
        for (int i = 0; i < 16; ++i)
            EXPECT_EQ(v[i], i % 5 == 0 ? 1.0f : 0.0f) << i;
    }
    const float* p = rig.controller->GetProjection();
    EXPECT_EQ(std::vector<float>(p, p + 16), second);
    const FulgorCore::DrawParameter d = rig.controller->MakeDrawParameter();
    EXPECT_EQ(d.depthTexture, nullptr);
    EXPECT_EQ(d.visibilityMask, 0xFFFFFFFFu);
    EXPECT_EQ(
        (std::vector<int32_t>{d.pixelSize[0], d.pixelSize[1], d.screenSize[0], d.screenSize[1]}),
        (std::vector<int32_t>{1280, 720, 1280, 720}));
    EXPECT_EQ(d.viewMatrix, rig.controller->GetView());
    EXPECT_EQ(d.projectionMatrix, rig.controller->GetProjection());
    EXPECT_EQ(std::vector<float>(std::begin(d.ambientColour), std::end(d.ambientColour)),
              std::vector<float>(std::size(d.ambientColour), 0.2f));
    EXPECT_EQ(std::vector<float>(d.lighting, d.lighting + 6),
              (std::vector<float>{0, 0, -1, 1, 1, 1}))
        << "direction, then colour";
}

// Nothing on screen holds an instance: the runtime still runs one frame of
// 1.0 per Update.
TEST(VfxController, WithoutInstancesTheRuntimeStillAdvancesAFramePerUpdate) {
    VfxControllerRig rig;
    const std::vector<uint8_t> image = Effect("bare");
    const FulgorCore::ObjectHandle effect = testsupport::LoadEffect(image);
    const FulgorCore::InstanceHandle h =
        Engine::CreateInstance(effect.index, effect.serial, nullptr);
    Engine::PlayInstance(h.index, h.serial, 1.0f, 0);
    rig.Frame();
    const float start = Engine::GetInstanceTime(h.index, h.serial);
    const uint32_t half = Engine::GetFrameWorkMemory().GetCurrentHalf();
    for (int frame = 1; frame <= 10; ++frame) {
        rig.controller->Update();
        EXPECT_EQ(Engine::GetInstanceTime(h.index, h.serial), start + static_cast<float>(frame));
        EXPECT_EQ(Engine::GetFrameWorkMemory().GetCurrentHalf(), (half + frame) % 2) << frame;
    }
    EXPECT_TRUE(rig.controller->GetLiveInstances().empty());
}

// Instances whose update logs them.
std::vector<const VfxInstance*> g_updated;
class LoggedInstance : public VfxInstance {
public:
    using VfxInstance::VfxInstance;
    void Update() override {
        g_updated.push_back(this);
        VfxInstance::Update();
    }
};
VfxInstance* MakeLogged(VfxData* data, const VfxEventDelegate* owner) {
    return new LoggedInstance(data, owner);
}

TEST(VfxController, InstancesUpdateInAscendingAddressOrder) {
    VfxControllerRig rig;
    rig.controller->SetInstanceMaker(MakeLogged);
    VfxData* data = rig.Load(Effect("logged"), "logged");
    // A later instance may take the place of an earlier one: creation order
    // and address order then differ.
    VfxInstance* made[4];
    for (VfxInstance*& i : made)
        i = rig.controller->CreateInstance(data);
    made[0]->Release();
    made[1]->Release();
    VfxInstance* late = rig.controller->CreateInstance(data);
    const std::vector<const VfxInstance*> live = {made[2], made[3], late};
    ASSERT_LT(late, made[3]) << "a later instance at a lower address";
    g_updated.clear();
    rig.controller->Update();
    std::vector<const VfxInstance*> sorted = live;
    std::sort(sorted.begin(), sorted.end());
    EXPECT_EQ(g_updated, sorted);
    for (VfxInstance* i : {made[2], made[3], late})
        i->Release();
    data->Release();
}

// What one frame of the effects did, in order, with what was current then:
// the renderer's layer, the sort priority of the recording context, the
// frame memory's half (it flips in the runtime's update) and the screen
// width the controller's camera and the runtime's draw settings held.
struct FrameStep {
    std::string what;
    uint32_t layer;
    uint32_t priority;
    uint32_t otherKeyFields;
    uint32_t half;
    uint32_t cameraWidth;
    int32_t drawWidth;
};
std::vector<FrameStep> g_frame;

void Note(const char* what) {
    const FulgorCore::RendererWorkData* r = FulgorCore::Renderer::GetWorkData();
    const Mireku::Graphics::DrawContext* context = Mireku::Graphics::GetDrawContext();
    g_frame.push_back(
        {what, r ? r->currentLayer : 99u,
         context ? Mireku::Graphics::SortKey::Priority(context->GetKeyHigh()) : 99u,
         context ? context->GetKeyHigh() & ~Mireku::Graphics::SortKey::kPriorityMask : 99u,
         Engine::GetFrameWorkMemory().GetCurrentHalf(),
         VfxController::GetInstance() ? VfxController::GetInstance()->GetScreenWidth() : 0u,
         r ? r->drawParameter.screenSize[0] : -1});
}

class FrameLogDevice : public testsupport::OwnedRecordingDevice {
public:
    void OnFrameReset() override {
        Note("reset");
        OwnedRecordingDevice::OnFrameReset();
    }
    void ResetRenderState() override {
        Note("layer");
        OwnedRecordingDevice::ResetRenderState();
    }
    void OnLayerEnd() override {
        Note("end");
        OwnedRecordingDevice::OnLayerEnd();
    }
};
FulgorCore::IDevice* MakeFrameLogDevice() {
    return new FrameLogDevice();
}

class FrameLogInstance : public VfxInstance {
public:
    using VfxInstance::VfxInstance;
    void Update() override {
        Note("instance");
        VfxInstance::Update();
    }
};
VfxInstance* MakeFrameLogInstance(VfxData* data, const VfxEventDelegate* owner) {
    return new FrameLogInstance(data, owner);
}

// The frame's order: the camera, every instance, the runtime's update, the
// draw-state reset, the draw settings, then layer 0 at priority 2 (under
// the sprite layers, 3 to 24) and layer 1 at 27 (over them, under the HUD's
// 28), whatever priority and further key fields the context held before.
TEST(VfxController, RunFrameUpdatesThenDrawsLayerZeroUnderAndLayerOneOver) {
    VfxControllerRig rig(MakeFrameLogDevice);
    ASSERT_TRUE(rig.started);
    rig.controller->SetInstanceMaker(MakeFrameLogInstance);
    Mireku::Graphics::DrawContext* context = Mireku::Graphics::ClaimDrawContext();
    ASSERT_NE(context, nullptr);
    VfxData* data = rig.Load(Effect("framed"), "framed");
    VfxInstance* a = rig.controller->CreateInstance(data);
    VfxInstance* b = rig.controller->CreateInstance(data);
    // One instance in each layer: a layer with none is not drawn at all.
    a->Play(0);
    b->Play(1);
    context->SetKeyHigh(Mireku::Graphics::SortKey::Encode(9, 3, 4, 5));
    g_frame.clear();
    const uint32_t half = Engine::GetFrameWorkMemory().GetCurrentHalf();
    rig.Frame();

    std::vector<std::string> order;
    for (const FrameStep& step : g_frame)
        order.push_back(step.what);
    EXPECT_EQ(order, (std::vector<std::string>{"instance", "instance", "reset", "layer", "end",
                                               "layer", "end"}));
    ASSERT_EQ(g_frame.size(), 7u);
    for (int i = 0; i < 2; ++i) {
        EXPECT_EQ(g_frame[i].cameraWidth, 1280u) << "the camera is set before the instances";
        EXPECT_EQ(g_frame[i].half, half) << "the runtime updates after the instances";
    }
    EXPECT_EQ(g_frame[2].half, 1 - half) << "the reset follows the runtime's update";
    EXPECT_EQ(g_frame[2].drawWidth, 0) << "and comes before the draw settings";
    const uint32_t layers[] = {0, 0, 1, 1};
    const uint32_t priorities[] = {2, 2, 27, 27};
    for (int i = 0; i < 4; ++i) {
        const FrameStep& step = g_frame[3 + i];
        // A layer's number is taken after its render-state reset.
        if (step.what == "end") {
            EXPECT_EQ(step.layer, layers[i]) << i;
        }
        EXPECT_EQ(step.priority, priorities[i]) << i;
        EXPECT_EQ(step.otherKeyFields, 0u) << "the fields a sprite layer left are cleared";
        EXPECT_EQ(step.drawWidth, 1280) << "the draw settings precede the layers";
    }
    // The second frame runs the same way.
    g_frame.clear();
    rig.Frame();
    ASSERT_EQ(g_frame.size(), 7u);
    EXPECT_EQ(g_frame[3].priority, 2u);
    EXPECT_EQ(g_frame[5].priority, 27u);
    EXPECT_EQ(g_frame[6].layer, 1u);

    a->Release();
    b->Release();
    data->Release();
    Mireku::Graphics::ReleaseDrawContext();
}

TEST(VfxController, TheEventOwnerReachesTheInstancesListener) {
    VfxControllerRig rig;
    VfxData* data = rig.Load(Effect("owned"), "owned");
    const VfxEventDelegate owner(+[](const char* const*, const int32_t*, const float*) {});
    VfxInstance* instance = rig.controller->CreateInstance(data, &owner);
    ASSERT_NE(instance->GetListenner(), nullptr);
    EXPECT_EQ(instance->GetListenner()->GetOwner().GetHolder(), owner.GetHolder());
    VfxInstance* none = rig.controller->CreateInstance(data);
    EXPECT_TRUE(none->GetListenner()->GetOwner().IsEmpty());
    EXPECT_EQ(rig.controller->CreateInstance(static_cast<VfxData*>(nullptr)), nullptr);
    instance->Release();
    none->Release();
    data->Release();
}

TEST(VfxController, FinalizeStopsTheRuntimeThenDeletesTheListenerAndTheDevice) {
    VfxControllerRig rig;
    ASSERT_TRUE(rig.started);
    bool deleted = false;
    rig.Device()->onDelete = [&](testsupport::OwnedRecordingDevice& device) {
        deleted = true;
        EXPECT_FALSE(Engine::IsStarted()) << "the runtime is finalised first";
        EXPECT_EQ(VfxController::GetInstance()->GetLightListenner(), nullptr)
            << "the listener goes before the device";
        EXPECT_EQ(device.References(), 1u) << "the runtime gave its reference back";
        EXPECT_EQ(device.live, 0) << "and every buffer it made";
    };
    rig.controller->Finalize();
    EXPECT_TRUE(deleted);
    EXPECT_EQ(rig.controller->GetDevice(), nullptr);
    EXPECT_EQ(rig.controller->GetLightListenner(), nullptr);
}

TEST(VfxController, TheAllocationCallbacksUseTheEngineHeap) {
    EXPECT_EQ(VfxAlloc(0, 0, "Engine.cpp", 1, "Engine.WorkData"), nullptr);
    void* block = VfxAlloc(100, 0, nullptr, 0, nullptr);
    ASSERT_NE(block, nullptr);
    const uint8_t* base = Mireku::Common::Heap::Global().ArenaBase();
    EXPECT_GE(static_cast<uint8_t*>(block), base);
    EXPECT_LT(static_cast<uint8_t*>(block), base + Mireku::Common::Heap::Global().ArenaSize());
    EXPECT_FALSE(Mireku::Common::Heap::IsFree(Mireku::Common::Heap::HeaderOf(block)));
    VfxFree(block);
    EXPECT_TRUE(Mireku::Common::Heap::IsFree(Mireku::Common::Heap::HeaderOf(block)));
    VfxFree(nullptr);
}

// A screen that outlives the controller still lets go of its data and
// instance: they left the controller with it.
TEST(VfxController, DataAndInstancesMayOutliveTheController) {
    VfxData* data = nullptr;
    VfxInstance* instance = nullptr;
    {
        VfxControllerRig rig;
        data = rig.Load(Effect("orphan"), "orphan");
        instance = rig.controller->CreateInstance(data);
        instance->Play(0);
        rig.Frame();
    }
    EXPECT_EQ(VfxController::GetInstance(), nullptr);
    instance->Stop();
    instance->Release();
    data->Release();
}

// Every LoadData builds a new data and registers the image again; two data
// of one name each leave with their own entry, in either order. Names
// compare byte by byte, unsigned (a byte above 0x7F after ASCII), and keep
// 63 bytes at most; no name is "".
TEST(VfxController, TheDataMapByName) {
    VfxControllerRig rig;
    const std::vector<uint8_t> image = Effect("twin");
    const VfxController::DataMap& map = rig.controller->GetDataMap();
    for (bool firstGoesFirst : {true, false}) {
        VfxData* a = rig.Load(image, "twin");
        VfxData* b = rig.Load(image, "twin");
        ASSERT_NE(a, b);
        EXPECT_NE(a->GetHandle().serial, 0u);
        EXPECT_NE(b->GetHandle().index, a->GetHandle().index) << "registered twice";
        EXPECT_EQ(map.count("twin"), 2u);
        VfxData* kept = firstGoesFirst ? b : a;
        (firstGoesFirst ? a : b)->Release();
        ASSERT_EQ(map.size(), 1u);
        EXPECT_EQ(map.begin()->second, kept) << "the other's entry stays";
        kept->Release();
        EXPECT_TRUE(map.empty());
        EXPECT_EQ(Engine::GetWorkData()->objects.activeHead, nullptr) << "both released";
    }
    VfxData* high = rig.Load(image, "\xC3\xA9t\xC3\xA9");
    VfxData* low = rig.Load(image, "zz");
    EXPECT_EQ(map.begin()->second, low);
    high->Release();
    low->Release();
    const struct {
        std::string name;
        size_t kept;
    } names[] = {{std::string(80, 'n'), 63}, {std::string(63, 'x'), 63}};
    for (const auto& n : names) {
        VfxData* data = rig.Load(image, n.name.c_str());
        EXPECT_EQ(std::string(data->GetName()), n.name.substr(0, n.kept));
        EXPECT_EQ(data->GetNameLength(), n.kept);
        EXPECT_EQ(map.count(n.name.substr(0, n.kept).c_str()), 1u);
        data->Release();
    }
    VfxData* empty = rig.Load(image, nullptr);
    EXPECT_STREQ(empty->GetName(), "");
    EXPECT_EQ(empty->GetNameLength(), 0u);
    empty->Release();
}

// The runtime refused to start: the screens' whole use of effects still
// runs, and nothing reaches a runtime that is not there.
TEST(VfxController, WithoutADeviceEffectsAreOffAndEverythingStillRuns) {
    VfxControllerRig rig(testsupport::NoDevice);
    EXPECT_FALSE(rig.started);
    EXPECT_FALSE(Engine::IsStarted());
    EXPECT_EQ(rig.controller->GetDevice(), nullptr);
    VfxData* data = rig.Load(Effect("off"), "off");
    ASSERT_NE(data, nullptr);
    EXPECT_EQ(data->GetLoadState(), VfxData::kLoaded);
    EXPECT_EQ(data->GetHandle().serial, 0u);
    VfxInstance* instance = rig.controller->CreateInstance(data);
    ASSERT_NE(instance, nullptr);
    instance->Play(VfxInstance::kLayerOver);
    for (int frame = 0; frame < 60; ++frame) {
        rig.Frame();
        if (frame == 30)
            instance->SetParameter(1);
    }
    EXPECT_FALSE(instance->IsPlaying()) << "a play that never starts has ended";
    EXPECT_EQ(instance->GetHandle().serial, 0u);
    instance->Stop();
    EXPECT_EQ(instance->GetState(), VfxInstance::kStopped);
    rig.Frame();
    instance->Release();
    data->Release();
    rig.Frame();
    rig.controller->Finalize();
    EXPECT_EQ(rig.controller->GetLightListenner(), nullptr);
    EXPECT_TRUE(rig.controller->GetDataMap().empty());
}

// The effects draw from the runtime's own random state, never from the
// game's streams.
TEST(VfxController, SixHundredFramesOfTheTitleLeaveTheGamesRandomStreamsAlone) {
    RandomManager* random = RandomManager::CreateInstance();
    random->SeedFixed();
    const testsupport::RandomStreamsCheck streams(*random);
    {
        VfxControllerRig rig;
        ASSERT_TRUE(rig.started);
        std::vector<uint8_t> title;
        for (const effecttools::GameEffectFile& f : effecttools::GameEffectFiles())
            if (f.path == "title/title_main.vfxb")
                title = f.bytes;
        ASSERT_FALSE(title.empty());
        VfxData* data = rig.Load(title, "title/title_main.vfxb");
        VfxInstance* instance = rig.controller->CreateInstance(data);
        instance->Play(VfxInstance::kLayerUnder);
        for (int frame = 0; frame < 600; ++frame) {
            if (frame == 300)
                instance->SetParameter(1);
            rig.Frame();
        }
        EXPECT_EQ(instance->GetState(), VfxInstance::kPlaying);
        EXPECT_GT(
            Engine::GetInstanceTime(instance->GetHandle().index, instance->GetHandle().serial),
            0.0f);
        instance->Release();
        data->Release();
    }
    streams.ExpectUnchanged();
    RandomManager::DestroyInstance();
}

} // namespace
