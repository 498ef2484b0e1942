// Effect instances on the running runtime (recording device, effects made by
// the effect-file writer): the state table, the requests carried over to the
// lazily made runtime instance, and what the runtime is told at the end.
#include "support/effects/EffectFiles.h"
#include "support/effects/RuntimeFrame.h"
#include "support/vfx/VfxControllerRig.h"

#include "effects/Core/Engine/Engine.h"
#include "effects/Core/Engine/EngineWorkData.h"
#include "effects/Core/Engine/InstanceSlot.h"
#include "game/vfx/VfxData.h"
#include "game/vfx/VfxInstance.h"
#include "game/vfx/VfxInstanceListenner.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

namespace Engine = FulgorCore::Engine;
using FulgorCore::InstanceSlot;
using testsupport::Record;

// An instance whose placement, speed and state a test may set.
class PlacedInstance : public VfxInstance {
public:
    using VfxInstance::VfxInstance;
    void Place(const float (&scale)[3], const float (&position)[3], float speed) {
        for (int i = 0; i < 3; ++i) {
            scale_[i] = scale[i];
            position_[i] = position[i];
        }
        speed_ = speed;
    }
    void Force(uint32_t state) { state_ = state; }
};

class VfxInstanceTest : public testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(rig.started);
        forever = rig.Load(testsupport::Write(testsupport::SmallEffect("forever", 0)), "forever");
        brief = rig.Load(testsupport::Write(testsupport::SmallEffect("brief", 5)), "brief");
        ASSERT_NE(forever->GetHandle().serial, 0u);
        ASSERT_NE(brief->GetHandle().serial, 0u);
    }
    void TearDown() override {
        for (VfxInstance* i : instances)
            i->Release();
        forever->Release();
        brief->Release();
    }
    PlacedInstance* Make(VfxData* data) {
        auto* instance = new PlacedInstance(data, nullptr);
        instances.push_back(instance);
        return instance;
    }
    // The runtime's record of the instance, null before it has one.
    static InstanceSlot* Slot(const VfxInstance* i) {
        return i->GetHandle().serial ? Record(i->GetHandle()) : nullptr;
    }
    void Update() { rig.controller->Update(); }

    testsupport::VfxControllerRig rig;
    VfxData* forever = nullptr;
    VfxData* brief = nullptr;
    std::vector<VfxInstance*> instances;
};

// The state (0 stop pending, 1 stopped, 2 play requested, 3 playing) after
// a Play or a Stop, without a runtime instance and with one (which every
// Stop stops).
TEST_F(VfxInstanceTest, TheStateTable) {
    constexpr uint32_t kPending = VfxInstance::kStopPending, kStopped = VfxInstance::kStopped,
                       kRequested = VfxInstance::kPlayRequested, kPlaying = VfxInstance::kPlaying;
    const struct {
        uint32_t from;
        char call;
        bool runtime;
        uint32_t to;
    } rows[] = {{kStopped, 'S', false, kStopped},     {kStopped, 'P', false, kRequested},
                {kRequested, 'P', false, kRequested}, {kRequested, 'S', false, kPending},
                {kPending, 'S', false, kPending},     {kPending, 'P', false, kRequested},
                {kPlaying, 'S', false, kPending},     {kPlaying, 'P', true, kPlaying},
                {kPlaying, 'S', true, kStopped},      {kRequested, 'S', true, kStopped},
                {kStopped, 'S', true, kStopped},      {kPending, 'S', true, kStopped}};
    for (const auto& r : rows) {
        PlacedInstance* i = Make(forever);
        EXPECT_EQ(i->GetState(), kStopped) << "idle after construction";
        if (r.runtime) {
            i->Play(1);
            Update();
            Update();
            ASSERT_EQ(Slot(i)->state, InstanceSlot::kPlaying);
        }
        i->Force(r.from);
        if (r.call == 'P')
            i->Play(r.runtime ? 0 : 7);
        else
            i->Stop();
        EXPECT_EQ(i->GetState(), r.to) << r.from << " " << r.call << " " << r.runtime;
        EXPECT_EQ(i->IsPlaying(), r.to >= kRequested);
        EXPECT_EQ(i->GetLayer(), r.call == 'P' && r.from != kPlaying ? 7u
                                 : r.runtime                         ? 1u
                                                                     : 0u)
            << "a play request takes its layer, a running play keeps its own";
        if (r.runtime && r.call == 'S') {
            EXPECT_EQ(Slot(i)->state, InstanceSlot::kStopping) << "the runtime stops it";
        }
        EXPECT_EQ(i->GetHandle().serial != 0, r.runtime);
    }
}

// The requests reach the runtime at the update that makes its instance; the
// five-frame effect ends and the update after the runtime says so turns the
// state to 1. A play stopped before any update is never sent.
TEST_F(VfxInstanceTest, UpdatesCarryTheRequestsOverAndNoticeTheEnd) {
    PlacedInstance* i = Make(brief);
    i->Play(1);
    Update();
    InstanceSlot* slot = Slot(i);
    ASSERT_NE(slot, nullptr);
    EXPECT_EQ(i->GetState(), VfxInstance::kPlaying) << "2, update with a runtime instance: 3";
    EXPECT_TRUE(Engine::IsInstancePlaying(i->GetHandle().index, i->GetHandle().serial));
    EXPECT_EQ(slot->layer, 1u);
    int frames = 1;
    while (i->GetState() == VfxInstance::kPlaying && frames < 20) {
        Update();
        ++frames;
    }
    EXPECT_EQ(i->GetState(), VfxInstance::kStopped) << "3, not playing any more: 1";
    EXPECT_FALSE(Engine::IsInstancePlaying(i->GetHandle().index, i->GetHandle().serial));
    EXPECT_TRUE(frames >= 5 && frames <= 8) << frames;
    i->Play(0);
    i->Stop();
    Update();
    EXPECT_FALSE(Engine::IsInstancePlaying(i->GetHandle().index, i->GetHandle().serial))
        << "the play was never sent";
}

TEST_F(VfxInstanceTest, PlayThenStopBeforeTheFirstUpdateStartsNothing) {
    PlacedInstance* i = Make(forever);
    i->Play(1);
    i->Stop();
    EXPECT_EQ(i->GetState(), VfxInstance::kStopPending);
    Update();
    InstanceSlot* slot = Slot(i);
    ASSERT_NE(slot, nullptr) << "the runtime instance is made";
    EXPECT_EQ(i->GetState(), VfxInstance::kStopPending) << "and nothing more that frame";
    EXPECT_EQ(slot->state, InstanceSlot::kIdle);
    EXPECT_EQ(slot->root, nullptr);
    Update();
    EXPECT_EQ(i->GetState(), VfxInstance::kStopped) << "0, update with a runtime instance: 1";
    EXPECT_EQ(slot->state, InstanceSlot::kIdle);
    EXPECT_EQ(slot->root, nullptr);
}

TEST_F(VfxInstanceTest, TheLastLayerRequestedBeforeTheFirstUpdateReachesTheRuntime) {
    PlacedInstance* i = Make(forever);
    i->Play(3);
    i->Play(7);
    EXPECT_TRUE(i->IsPlaying());
    Update();
    ASSERT_NE(Slot(i), nullptr);
    EXPECT_EQ(Slot(i)->layer, 7u);
}

// The runtime draws layers 0-15: a play on a layer past them is refused
// whole (256 must not wrap to layer 0), whatever was asked before stays.
TEST_F(VfxInstanceTest, APlayOnALayerTheRuntimeDoesNotDrawIsRefused) {
    PlacedInstance* i = Make(forever);
    for (uint32_t layer : {16u, 256u, 0xFFFFFFFFu}) {
        i->Play(layer);
        EXPECT_EQ(i->GetState(), VfxInstance::kStopped) << layer;
        EXPECT_EQ(i->GetLayer(), VfxInstance::kLayerUnder) << layer;
    }
    i->Play(15);
    i->Play(256);
    EXPECT_EQ(i->GetState(), VfxInstance::kPlayRequested);
    EXPECT_EQ(i->GetLayer(), 15u);
    Update();
    ASSERT_NE(Slot(i), nullptr);
    EXPECT_EQ(Slot(i)->layer, 15u) << "the last layer, 15, is drawn";
}

// Layer, the matrix of scale and position, then the start with the speed,
// as the runtime's record keeps them.
TEST_F(VfxInstanceTest, ApplyRequestsSendsLayerMatrixAndSpeed) {
    PlacedInstance* i = Make(forever);
    i->Place({2.0f, 3.0f, 4.0f}, {5.0f, 6.0f, 7.0f}, 0.5f);
    i->ApplyRequests();
    EXPECT_EQ(i->GetState(), VfxInstance::kStopped) << "nothing requested: nothing sent";
    i->Play(2);
    i->ApplyRequests();
    EXPECT_EQ(i->GetState(), VfxInstance::kPlayRequested) << "no runtime instance yet";

    i->Update(); // the instance's own step: no runtime update after it
    InstanceSlot* slot = Slot(i);
    ASSERT_NE(slot, nullptr);
    EXPECT_EQ(i->GetState(), VfxInstance::kPlaying);
    EXPECT_EQ(slot->layer, 2u);
    // Rows (sx, 0, 0) (0, sy, 0) (0, 0, sz) (px, py, pz); the runtime keeps
    // the first three floats of each row.
    const float expected[12] = {2, 0, 0, 0, 3, 0, 0, 0, 4, 5, 6, 7};
    for (int k = 0; k < 12; ++k)
        EXPECT_EQ(slot->transform[k], expected[k]) << k;
    EXPECT_EQ(slot->speed, 0.5f);
    EXPECT_EQ(slot->state, InstanceSlot::kStarting);
    EXPECT_EQ(slot->flags & InstanceSlot::kLoop, 0) << "started without the loop flag";
    EXPECT_TRUE(Engine::IsInstancePlaying(i->GetHandle().index, i->GetHandle().serial));
    // A second apply sends nothing: the state is 3.
    slot->layer = 9;
    i->ApplyRequests();
    EXPECT_EQ(slot->layer, 9u);
}

TEST_F(VfxInstanceTest, TriggerBitsBeforeTheRuntimeInstanceAreLost) {
    PlacedInstance* i = Make(forever);
    i->Play(0);
    i->SetParameter(3);
    i->Update();
    ASSERT_NE(Slot(i), nullptr);
    EXPECT_EQ(Slot(i)->triggers, 0u);
    i->SetParameter(3);
    i->SetParameter(5);
    EXPECT_EQ(Slot(i)->triggers, (1u << 3) | (1u << 5));
}

// A refused image never plays: a play asked of it has ended by the next
// update. An instance the runtime has no room for ends its play alike, asks
// again every frame and plays when asked once it has its record.
TEST_F(VfxInstanceTest, RefusedPlaysEndAtOnceAndTheRuntimeIsAskedAgain) {
    const std::vector<uint8_t> junk(64, 0xAB);
    VfxData* refused = rig.Load(junk, "junk");
    EXPECT_EQ(refused->GetLoadState(), VfxData::kLoaded);
    EXPECT_EQ(refused->GetHandle().serial, 0u);
    PlacedInstance* never = Make(refused);
    never->Play(1);
    EXPECT_TRUE(never->IsPlaying());
    Update();
    EXPECT_EQ(never->GetHandle().serial, 0u);
    EXPECT_EQ(never->GetState(), VfxInstance::kStopped);
    EXPECT_FALSE(never->IsPlaying());

    // Every record taken: the instance gets none until one is freed.
    std::vector<FulgorCore::InstanceHandle> filler;
    const FulgorCore::ObjectHandle effect = forever->GetHandle();
    for (FulgorCore::InstanceHandle h;
         (h = Engine::CreateInstance(effect.index, effect.serial, nullptr)).serial != 0;)
        filler.push_back(h);
    EXPECT_EQ(filler.size(), VfxController::kInstanceMaxCount);
    PlacedInstance* waiting = Make(forever);
    waiting->Play(0);
    Update();
    EXPECT_EQ(waiting->GetHandle().serial, 0u);
    EXPECT_FALSE(waiting->IsPlaying());
    Engine::KillInstance(filler[0].index, filler[0].serial);
    Update(); // the killed record is freed by this frame's runtime update
    EXPECT_EQ(waiting->GetHandle().serial, 0u);
    Update();
    EXPECT_NE(waiting->GetHandle().serial, 0u);
    EXPECT_EQ(waiting->GetState(), VfxInstance::kStopped) << "its play had ended";
    waiting->Play(0);
    Update();
    EXPECT_EQ(waiting->GetState(), VfxInstance::kPlaying);
    for (FulgorCore::InstanceHandle h : filler)
        Engine::KillInstance(h.index, h.serial);
    refused->Release();
}

TEST_F(VfxInstanceTest, TheEndStopsAndKillsTheRuntimeInstanceAndLetsGo) {
    auto* i = new VfxInstance(forever, nullptr);
    EXPECT_EQ(forever->GetRefCount(), 2u);
    EXPECT_EQ(rig.controller->GetLiveInstances().count(i), 1u);
    i->Play(0);
    Update();
    const FulgorCore::InstanceHandle h = i->GetHandle();
    InstanceSlot* slot = Record(h);
    ASSERT_NE(slot->serial, 0u);
    EXPECT_EQ(slot->listener, i->GetListenner()) << "made with the instance's listener";
    EXPECT_EQ(i->GetListenner()->GetRefCount(), 2u) << "the runtime holds one reference";

    EXPECT_EQ(i->Release(), 0u);
    EXPECT_TRUE(rig.controller->GetLiveInstances().empty());
    EXPECT_EQ(slot->state, InstanceSlot::kDead);
    EXPECT_EQ(forever->GetRefCount(), 1u);
    Update();
    EXPECT_NE(slot->serial, h.serial) << "the record is freed, the listener with it";
    EXPECT_EQ(Engine::GetWorkData()->liveInstanceCount, 0u);
}

} // namespace
