// The runtime's frame: the draw entries and their camera, the layer draw's
// filter and sort, the buffer pools' locks and commits, the batch-state
// comparison, the frame list, input events, the pointer's hover test and
// the shutdown of a runtime with work in it.
#include "support/effects/RuntimeFrame.h"
#include "effects/Core/Engine/Engine.h"
#include "effects/Core/Engine/EngineInternal.h"
#include "effects/Core/Engine/EngineWorkData.h"
#include "effects/Core/Engine/InputEvent.h"
#include "effects/Core/Engine/InstanceSlot.h"
#include "effects/Core/Memory/UnitInstancePool.h"
#include "effects/render/DrawSortEntry.h"
#include "effects/render/Renderer.h"
#include "effects/render/RendererWorkData.h"
#include "effects/render/TextureSlot.h"
#include "effects/units/InstanceRootUnit.h"
#include "effects/units/NodeEventBlock.h"
#include "effects/units/ParticleInstance.h"
#include "effects/units/PickBounds.h"
#include "support/effects/EffectFiles.h"
#include "support/effects/RuntimeStartup.h"
#include "support/effects/StandInParticle.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <numbers>
#include <vector>

namespace {

using FulgorCore::InstanceHandle;
using FulgorCore::InstanceSlot;
using FulgorCore::ObjectHandle;
using testsupport::Frame;
using testsupport::kIdentity44;
using testsupport::Record;
using testsupport::SmallEffect;
using testsupport::Write;
namespace Engine = FulgorCore::Engine;
namespace Renderer = FulgorCore::Renderer;

// Row vectors, looking down -Z, clip depth 0..1.
constexpr float kProjection[16] = {2, 0, 0, 0, 0, 2, 0, 0, 0, 0, -1.0001f, -1, 0, 0, -0.10001f, 0};

class Event : public FulgorCore::InputEvent {
public:
    Event(uint32_t kind, uint16_t v, float px = 0.0f, float py = 0.0f) : kind_(kind) {
        value = v;
        x = px;
        y = py;
    }
    uint32_t GetKind() const override { return kind_; }

private:
    uint32_t kind_;
};

class RuntimeFrame : public testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(runtime_.Start());
        effecttools::EffectFileValue culled = SmallEffect("vfx/culled.vfxb", 0);
        culled.package.fields.push_back({"bFCl", 1});
        culled_ = testsupport::LoadEffect(Write(culled));
        plain_ = testsupport::LoadEffect(Write(SmallEffect("vfx/plain.vfxb", 0)));
        ASSERT_NE(culled_.serial, 0u);
        ASSERT_NE(plain_.serial, 0u);
    }

    // A playing instance at (x, y, z).
    InstanceHandle PlayAt(ObjectHandle effect, float z, float x = 0.0f, float y = 0.0f) {
        const InstanceHandle h = Engine::CreateInstance(effect.index, effect.serial, nullptr);
        float m[16] = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, x, y, z, 1};
        Engine::SetInstanceMatrix(h.index, h.serial, m);
        Engine::PlayInstance(h.index, h.serial, 1.0f, 0);
        return h;
    }
    // Draw of view `view`, then a frame, then layer 0 drawn.
    uint32_t DrawnInLayer0(uint32_t view = 0, const float* projection = kProjection,
                           const float* camera = kIdentity44) {
        const FulgorCore::DrawParameter p = testsupport::ScreenDraw(camera, projection);
        Engine::Draw(view, &p);
        Frame();
        Engine::ResetDrawState();
        Engine::Draw(view, &p);
        Engine::DrawLayer(0);
        return Engine::GetWorkData()->sortList.count;
    }

    testsupport::RuntimeStartup runtime_;
    ObjectHandle culled_;
    ObjectHandle plain_;
};

TEST_F(RuntimeFrame, DrawTakesTheCameraAndTheScreenTerms) {
    const float view[16] = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 3, 4, 5, 1};
    FulgorCore::DrawParameter p = testsupport::ScreenDraw(view, kProjection);
    p.visibilityMask = 0x0F;
    Engine::Draw(2, &p);
    const FulgorCore::RendererWorkData* r = Renderer::GetWorkData();
    EXPECT_EQ(r->viewIndex, 2u);
    EXPECT_EQ(r->drawParameter.visibilityMask, 0x0Fu);
    EXPECT_FLOAT_EQ(r->screenMatrix[0], 2.0f / 1280.0f);
    EXPECT_FLOAT_EQ(r->screenMatrix[5], 2.0f / 720.0f);
    EXPECT_EQ(r->screenMatrix[10], 1.0f);
    EXPECT_EQ(r->screenMatrix[15], 1.0f);
    EXPECT_FLOAT_EQ(r->pixelTerms[0][0], -1.0f / 1280.0f);
    EXPECT_FLOAT_EQ(r->pixelTerms[0][1], 1.0f / 720.0f);
    EXPECT_FLOAT_EQ(r->pixelTerms[1][0], 1.0f / 1280.0f);
    // The eye is the inverse view's translation.
    ASSERT_NE(r->cameraPosition, nullptr);
    EXPECT_FLOAT_EQ(r->cameraPosition[0], -3.0f);
    EXPECT_FLOAT_EQ(r->cameraPosition[2], -5.0f);
    EXPECT_FLOAT_EQ(r->viewProjection[14], 5.0f * -1.0001f - 0.10001f);
    EXPECT_EQ(r->orthographic, 0u);
}

TEST_F(RuntimeFrame, AProjectionWithLastColumnZeroZeroZeroOneIsOrthographic) {
    const float ortho[16] = {0.01f, 0, 0, 0, 0, 0.01f, 0, 0, 0, 0, -0.001f, 0, 0, 0, 0.5f, 1};
    const FulgorCore::DrawParameter p = testsupport::ScreenDraw(kIdentity44, ortho);
    Engine::Draw(0, &p);
    EXPECT_EQ(Renderer::GetWorkData()->orthographic, 1u);
    const FulgorCore::DrawParameter q = testsupport::ScreenDraw(kIdentity44, kProjection);
    Engine::Draw(0, &q);
    EXPECT_EQ(Renderer::GetWorkData()->orthographic, 0u);
}

TEST_F(RuntimeFrame, TheCameraRotationIsTheViewsTransposedAndTheEyeFollowsTheLastDraw) {
    const float turned[16] = {0, 1, 0, 0, -1, 0, 0, 0, 0, 0, 1, 0, 0, 0, -8, 1};
    const FulgorCore::DrawParameter p = testsupport::ScreenDraw(turned, kProjection);
    Engine::Draw(0, &p);
    Frame(1.0f, kIdentity44);
    const FulgorCore::RendererWorkData* r = Renderer::GetWorkData();
    // The update's own view gives the rotation; the eye comes from the draw.
    EXPECT_EQ(r->cameraRotation[1], 0.0f);
    EXPECT_EQ(r->cameraRotation[0], 1.0f);
    EXPECT_FLOAT_EQ(r->cameraPosition[2], 8.0f);
    Engine::Draw(0, &p);
    EXPECT_EQ(r->cameraRotation[1], -1.0f);
    EXPECT_EQ(r->cameraRotation[3], 1.0f);
}

// What the layer draw leaves out (the filter's rows are the layer draw's
// own tests) still updates and waits in its layer's list.
TEST_F(RuntimeFrame, WhatTheLayerDrawLeavesOutStillUpdates) {
    const InstanceHandle shown = PlayAt(plain_, -50.0f);
    const InstanceHandle hidden = PlayAt(plain_, -50.0f);
    const InstanceHandle faint = PlayAt(plain_, -50.0f);
    Engine::SetInstanceHidden(hidden.index, hidden.serial, 1);
    Engine::SetInstanceColor(faint.index, faint.serial, 1, 1, 1, 0.001f);
    ASSERT_EQ(DrawnInLayer0(), 1u);
    EXPECT_EQ(Engine::GetWorkData()->sortList.entries[0].instance, Record(shown));
    EXPECT_EQ(Engine::GetWorkData()->layers[0].count, 3u);
    for (InstanceHandle h : {hidden, faint})
        EXPECT_EQ(Engine::GetInstanceTime(h.index, h.serial), 1.0f);
}

TEST_F(RuntimeFrame, AViewPast15PassesNoInstance) {
    PlayAt(plain_, -50.0f);
    EXPECT_EQ(DrawnInLayer0(15), 1u);
    EXPECT_EQ(DrawnInLayer0(16), 0u);
    EXPECT_EQ(DrawnInLayer0(32), 0u);
    EXPECT_EQ(DrawnInLayer0(0xFFFFFFFFu), 0u);
}

TEST_F(RuntimeFrame, OnlyAnEffectThatAsksForCullingLeavesOutWhatIsBehindTheCamera) {
    const InstanceHandle plainBehind = PlayAt(plain_, 200.0f);
    const InstanceHandle culledBehind = PlayAt(culled_, 200.0f);
    const InstanceHandle culledFront = PlayAt(culled_, -200.0f);
    // Just behind the near plane, within its radius of 10: still seen.
    const InstanceHandle culledEdge = PlayAt(culled_, 5.0f);
    ASSERT_EQ(DrawnInLayer0(), 3u);
    std::vector<const InstanceSlot*> drawn;
    for (uint32_t i = 0; i < 3; ++i)
        drawn.push_back(Engine::GetWorkData()->sortList.entries[i].instance);
    EXPECT_NE(std::find(drawn.begin(), drawn.end(), Record(plainBehind)), drawn.end());
    EXPECT_NE(std::find(drawn.begin(), drawn.end(), Record(culledFront)), drawn.end());
    EXPECT_NE(std::find(drawn.begin(), drawn.end(), Record(culledEdge)), drawn.end());
    EXPECT_EQ(std::find(drawn.begin(), drawn.end(), Record(culledBehind)), drawn.end());
    // Far to the side is out as well.
    float side[16] = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 5000, 0, -50, 1};
    Engine::SetInstanceMatrix(culledFront.index, culledFront.serial, side);
    EXPECT_EQ(DrawnInLayer0(), 2u);
}

// Spheres of radius 10 about a camera at the origin seeing 90 degrees
// from depth 1 to 100, given with +z ahead: inside the volume or touching
// a plane they are drawn, 2% of the radius past one they are not.
struct FrustumRow {
    const char* name;
    float x, y, z;
    bool drawn;
};
constexpr float kPast = 10.2f / std::numbers::sqrt2_v<float>;
constexpr float kTouching = 9.8f / std::numbers::sqrt2_v<float>;
constexpr FrustumRow kFrustumRows[] = {
    {"ten ahead", 0, 0, 10, true},
    {"past the near plane", 0, 0, 1 - 10.2f, false},
    {"touching the near plane", 0, 0, 1 - 9.8f, true},
    {"past the far plane", 0, 0, 110.2f, false},
    {"touching the far plane", 0, 0, 109.8f, true},
    {"past the right plane", 50 + kPast, 0, 50 - kPast, false},
    {"touching the right plane", 50 + kTouching, 0, 50 - kTouching, true},
    {"past the left plane", -50 - kPast, 0, 50 - kPast, false},
    {"touching the left plane", -50 - kTouching, 0, 50 - kTouching, true},
    {"past the top plane", 0, 50 + kPast, 50 - kPast, false},
    {"touching the top plane", 0, 50 + kTouching, 50 - kTouching, true},
    {"past the bottom plane", 0, -50 - kPast, 50 - kPast, false},
    {"touching the bottom plane", 0, -50 - kTouching, 50 - kTouching, true},
};

TEST_F(RuntimeFrame, CullingKeepsWhatTouchesTheVolumeWhicheverHandTheCameraIs) {
    constexpr float a = 100.0f / 99.0f, b = -100.0f / 99.0f;
    // Looking down +z; the right-handed one looks down -z (its z row
    // negated).
    const float leftHanded[16] = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, a, 1, 0, 0, b, 0};
    const float rightHanded[16] = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, -a, -1, 0, 0, b, 0};
    for (const float* projection : {leftHanded, rightHanded}) {
        const float ahead = projection == leftHanded ? 1.0f : -1.0f;
        for (const FrustumRow& row : kFrustumRows) {
            const InstanceHandle h = PlayAt(culled_, row.z * ahead, row.x, row.y);
            EXPECT_EQ(DrawnInLayer0(0, projection), row.drawn ? 1u : 0u)
                << row.name << (ahead > 0 ? ", left-handed" : ", right-handed");
            Engine::KillInstance(h.index, h.serial);
            Frame();
        }
    }
}

TEST_F(RuntimeFrame, EntriesSortByDrawOrderThenDepth) {
    const InstanceHandle far = PlayAt(plain_, -300.0f);
    const InstanceHandle near = PlayAt(plain_, -20.0f);
    const InstanceHandle first = PlayAt(plain_, -20.0f);
    Engine::SetInstanceDrawOrder(first.index, first.serial, 3);
    ASSERT_EQ(DrawnInLayer0(), 3u);
    const FulgorCore::DrawSortEntry* e = Engine::GetWorkData()->sortList.entries;
    EXPECT_EQ(e[0].instance, Record(first));
    EXPECT_EQ(e[1].instance, Record(near));
    EXPECT_EQ(e[2].instance, Record(far));
    EXPECT_EQ(e[0].key >> 48, 65532u);
    EXPECT_EQ(e[2].key & 0xFFFF, Record(far)->index);
    // Depth: the clip z of the position, 300 x 1.0001 - 0.10001, plus 3000,
    // in thousandths.
    EXPECT_NEAR(static_cast<double>((e[2].key >> 16) & 0xFFFFFFFFu), 3299930.0, 2.0);
}

// The depth is the clip z under view x projection; the draw offset moves
// the soft-particle distance of the record, not the sort key.
TEST_F(RuntimeFrame, TheSortDepthComesThroughTheViewAndIgnoresTheDrawOffset) {
    const InstanceHandle h = PlayAt(plain_, -20.0f, 10.0f);
    Engine::SetInstanceDrawOffset(h.index, h.serial, 50.0f);
    // Turned about y (cos 0.8, sin 0.6) and 50 back: view z = 10 x -0.6 +
    // -20 x 0.8 - 50 = -72; clip z = 72 x 1.0001 - 0.10001.
    const float view[16] = {0.8f, 0, -0.6f, 0, 0, 1, 0, 0, 0.6f, 0, 0.8f, 0, 0, 0, -50, 1};
    ASSERT_EQ(DrawnInLayer0(0, kProjection, view), 1u);
    const uint64_t key = Engine::GetWorkData()->sortList.entries[0].key;
    EXPECT_NEAR(static_cast<double>((key >> 16) & 0xFFFFFFFFu), 3071907.0, 2.0);
}

TEST_F(RuntimeFrame, ADisabledLayerIsNotBegun) {
    PlayAt(plain_, -50.0f);
    Engine::SetLayerEnabled(0, 0);
    Engine::SetLayerEnabled(16, 1); // no such layer: ignored
    runtime_.device.locks.clear();
    EXPECT_EQ(Engine::GetWorkData()->sortList.count, 0u);
    DrawnInLayer0();
    EXPECT_TRUE(runtime_.device.locks.empty());
    Engine::SetLayerEnabled(0, 1);
    EXPECT_EQ(DrawnInLayer0(), 1u);
    EXPECT_EQ(runtime_.device.renderStateResets, 1);
    EXPECT_EQ(runtime_.device.layerEnds, 1);
}

TEST_F(RuntimeFrame, LayersContinueInTheBufferWhereTheLastStoppedAndCommitWhatWasUsed) {
    FulgorCore::RendererWorkData* r = Renderer::GetWorkData();
    Engine::ResetDrawState();
    runtime_.device.locks.clear();
    runtime_.device.unlocks.clear();
    const uint32_t size = r->vertexPool.size;
    Renderer::BeginFrame(0);
    ASSERT_EQ(runtime_.device.locks.size(), 2u);
    EXPECT_EQ(runtime_.device.locks[0].kind, testsupport::RecordingDevice::Kind::Vertex);
    EXPECT_EQ(runtime_.device.locks[0].offset, 0u);
    EXPECT_EQ(runtime_.device.locks[0].size, size);
    EXPECT_EQ(runtime_.device.locks[1].kind, testsupport::RecordingDevice::Kind::Index);
    EXPECT_EQ(runtime_.device.locks[1].size, r->indexPool.size);
    // The layer wrote 400 bytes, then moved to the next buffer and wrote 64.
    r->vertexPool.entries[0].committed = 400;
    ASSERT_NE(r->vertexPool.LockNext(r->device), nullptr);
    EXPECT_EQ(runtime_.device.locks[2].offset, 0u);
    EXPECT_EQ(runtime_.device.locks[2].size, size);
    r->vertexPool.entries[1].committed = 64;
    Renderer::CommitDirtyRanges();
    ASSERT_EQ(runtime_.device.unlocks.size(), 3u);
    EXPECT_EQ(runtime_.device.unlocks[0].bytes, 400u);
    EXPECT_EQ(runtime_.device.unlocks[1].bytes, 64u);
    EXPECT_EQ(runtime_.device.unlocks[1].buffer, r->vertexPool.entries[1].buffer);
    EXPECT_EQ(runtime_.device.unlocks[2].kind, testsupport::RecordingDevice::Kind::Index);
    // The next layer locks the rest of buffer 1.
    Renderer::BeginFrame(1);
    EXPECT_EQ(runtime_.device.locks[3].offset, 64u);
    EXPECT_EQ(runtime_.device.locks[3].size, size - 64);
    EXPECT_EQ(r->vertexPool.first, 1u);
    Renderer::CommitDirtyRanges();
    EXPECT_EQ(runtime_.device.unlocks.size(), 5u);
    // A full buffer is not locked again; the pool's last buffer has no next.
    r->vertexPool.entries[1].committed = size;
    const size_t locks = runtime_.device.locks.size();
    Renderer::BeginFrame(2);
    EXPECT_EQ(runtime_.device.locks.size(), locks + 1); // the index pool only
    r->vertexPool.current = r->vertexPool.count - 1;
    EXPECT_EQ(r->vertexPool.LockNext(r->device), nullptr);
}

TEST(RuntimeFrameDevice, APoolBufferTheDeviceCouldNotMakeIsNeverLocked) {
    testsupport::RuntimeStartup runtime;
    // The first vertex buffer of the pool fails.
    runtime.device.failCreationAt = 0;
    ASSERT_TRUE(runtime.Start());
    FulgorCore::RendererWorkData* r = Renderer::GetWorkData();
    ASSERT_EQ(r->vertexPool.entries[0].buffer, nullptr);
    r->exhausted = 1;
    Renderer::BeginFrame(0);
    EXPECT_EQ(r->vertexWrite, nullptr);
    EXPECT_EQ(r->exhausted, 0);
    for (const auto& lock : runtime.device.locks)
        EXPECT_NE(lock.buffer, nullptr);
    Renderer::CommitDirtyRanges();
    for (const auto& unlock : runtime.device.unlocks)
        EXPECT_NE(unlock.buffer, nullptr);
    // The next buffer is there and locks.
    EXPECT_NE(r->vertexPool.LockNext(r->device), nullptr);
}

TEST_F(RuntimeFrame, TheFrameListKeepsTheFirst128AndEmptiesEachUpdate) {
    std::vector<FulgorCore::ParticleInstance*> units(130);
    for (size_t i = 0; i < units.size(); ++i) {
        units[i] = reinterpret_cast<FulgorCore::ParticleInstance*>(0x1000 + i * 16);
        Engine::PushFrameList(units[i]);
    }
    FulgorCore::EngineWorkData* work = Engine::GetWorkData();
    EXPECT_EQ(work->frameListCount.load(), 130u);
    EXPECT_EQ(work->frameList[0].unit, units[0]);
    EXPECT_EQ(work->frameList[127].unit, units[127]);
    Frame();
    EXPECT_EQ(work->frameListCount.load(), 0u);
    Engine::PushFrameList(units[129]);
    EXPECT_EQ(work->frameList[0].unit, units[129]);
}

TEST_F(RuntimeFrame, InputEventsQueueSixteenAndThePointerPositionIsInClipSpace) {
    FulgorCore::EngineWorkData* work = Engine::GetWorkData();
    const Event centre(6, 0, 0.5f, 0.5f);
    Engine::PostInputEvent(&centre);
    EXPECT_EQ(work->pointerPosition[0], 0.0f);
    EXPECT_EQ(work->pointerPosition[1], 0.0f);
    EXPECT_EQ(work->pointerValid, 1);
    const Event corner(6, 0, 0.0f, 0.0f);
    Engine::PostInputEvent(&corner);
    EXPECT_EQ(work->pointerPosition[0], -1.0f);
    EXPECT_EQ(work->pointerPosition[1], 1.0f);
    EXPECT_EQ(work->inputQueueCount, 0u);

    for (uint16_t i = 0; i < 17; ++i) {
        const Event e(i % 6, static_cast<uint16_t>(100 + i));
        Engine::PostInputEvent(&e);
    }
    ASSERT_EQ(work->inputQueueCount, 16u);
    EXPECT_EQ(work->inputQueue[0].value, 101);
    EXPECT_EQ(work->inputQueue[0].kind, 1u);
    EXPECT_EQ(work->inputQueue[15].value, 116);
    // An unknown kind is dropped, after the oldest went.
    const Event unknown(7, 999);
    Engine::PostInputEvent(&unknown);
    EXPECT_EQ(work->inputQueueCount, 15u);
    EXPECT_EQ(work->inputQueue[0].value, 102);
}

TEST_F(RuntimeFrame, PointerViewAndVersion) {
    Engine::SetPointerView(3, 0.5f);
    EXPECT_EQ(Engine::GetWorkData()->pointerView, 3u);
    EXPECT_EQ(Engine::GetWorkData()->pointerParameter, 0.5f);
    EXPECT_STREQ(Engine::GetVersionString(), "ver.1.0.0 rev.2251");
}

TEST_F(RuntimeFrame, FinalizeReleasesInstancesAndEffectsWithTheirListenersCalls) {
    testsupport::FakeObjectListenner objects;
    testsupport::FakeInstanceListenner instances;
    effecttools::EffectFileValue user = SmallEffect("vfx/user.vfxb", 0);
    testsupport::AddReference(user, "vfx/plain.vfxb");
    const ObjectHandle u = testsupport::LoadEffect(Write(user), &objects);
    std::vector<InstanceHandle> handles;
    for (int i = 0; i < 3; ++i) {
        handles.push_back(Engine::CreateInstance(u.index, u.serial, &instances));
        Engine::PlayInstance(handles.back().index, handles.back().serial, 1.0f, 0);
    }
    Engine::KillInstance(handles[1].index, handles[1].serial);
    Frame();
    Engine::Finalize();
    EXPECT_EQ(instances.released.size(), 3u);
    EXPECT_EQ(instances.References(), 1u);
    ASSERT_EQ(objects.released.size(), 1u);
    EXPECT_EQ(objects.released[0].serial, u.serial);
    EXPECT_EQ(objects.References(), 1u);
    EXPECT_EQ(testsupport::CountingAllocator::LiveCount(), 0u);
    EXPECT_EQ(Engine::GetUnitInstancePool().GetUsedCount(), 0u);
    EXPECT_EQ(runtime_.device.live, 0);
    EXPECT_EQ(runtime_.device.References(), 1u);
    EXPECT_EQ(runtime_.light.References(), 1u);
}

// Before start-up (and after finalize) every entry point of the runtime
// returns without touching anything.
TEST(RuntimeNotStarted, EveryEntryPointIsSafe) {
    const FulgorCore::UpdateParameter update{1.0f, kIdentity44};
    const FulgorCore::DrawParameter draw = testsupport::ScreenDraw(kIdentity44, kProjection);
    const Event e(6, 0, 0.5f, 0.5f);
    Engine::Update(&update);
    Engine::ResetDrawState();
    Engine::Draw(0, &draw);
    Engine::DrawLayer(0);
    Engine::DrawProjectionList();
    Engine::DrawInstance(0, 1);
    Engine::SetLayerEnabled(0, 0);
    Engine::SetPointerView(0, 0.0f);
    Engine::PostInputEvent(&e);
    Engine::PushFrameList(nullptr);
    EXPECT_STREQ(Engine::GetVersionString(), "ver.1.0.0 rev.2251");
    // Effects.
    const std::vector<uint8_t> image = Write(SmallEffect("vfx/a.vfxb", 60));
    EXPECT_EQ(
        Engine::LoadResource(image.data(), static_cast<uint32_t>(image.size()), nullptr).serial,
        0u);
    Engine::ReleaseResource(0, 1);
    Engine::AddResourceRef(0, 1);
    EXPECT_EQ(Engine::GetResourceDataSize(0, 1), 0u);
    // Instances.
    const float m[16] = {};
    const uint8_t flags[8] = {};
    EXPECT_EQ(Engine::CreateInstance(0, 1, nullptr).serial, 0u);
    Engine::KillInstance(0, 1);
    Engine::SetInstanceMatrix(0, 1, m);
    Engine::SetInstanceColor(0, 1, 1, 1, 1, 1);
    Engine::SetInstanceSpeed(0, 1, 2);
    Engine::SetInstanceDrawOffset(0, 1, 2);
    Engine::SetInstanceParameter(0, 1, 2);
    Engine::SetInstanceViewVisible(0, 1, 2, true);
    Engine::SetInstanceVisibilityMask(0, 1, 2);
    Engine::SetEffectTexture(0, 1, "t", nullptr);
    Engine::SetInstanceHidden(0, 1, 1);
    Engine::SetInstanceTimelineFlags(0, 1, flags);
    Engine::PlayInstance(0, 1, 1, 1);
    Engine::StopInstance(0, 1);
    EXPECT_FALSE(Engine::IsInstancePlaying(0, 1));
    EXPECT_EQ(Engine::GetInstanceTime(0, 1), 0.0f);
    Engine::SetInstanceLayer(0, 1, 1);
    Engine::SetInstanceDrawOrder(0, 1, 1);
    Engine::SetInstanceFlagBit(0, 1, 1);
    Engine::ToggleInstancePause(0, 1);
}

} // namespace
