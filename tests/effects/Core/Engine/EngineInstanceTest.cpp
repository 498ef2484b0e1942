// Effect instances: handles, the state machine run by the frame, triggers,
// warm-up, the instance jobs, the setters and the listener's calls.
#include "effects/Core/Engine/Engine.h"
#include "effects/Core/Engine/EngineInternal.h"
#include "effects/Core/Engine/EngineWorkData.h"
#include "effects/Core/Engine/InstanceSlot.h"
#include "effects/Core/Engine/ObjectSlot.h"
#include "effects/Core/Memory/FrameWorkMemory.h"
#include "effects/Core/Memory/UnitInstancePool.h"
#include "effects/Core/Resource/PackageResource.h"
#include "effects/units/InstanceRootUnit.h"
#include "effects/units/TimelineUnit.h"
#include "support/effects/EffectFiles.h"
#include "support/effects/RecordingCreators.h"
#include "support/effects/RecordingUnit.h"
#include "support/effects/RuntimeFrame.h"
#include "support/effects/RuntimeStartup.h"
#include "support/effects/ThreadDispatcher.h"

#include <gtest/gtest.h>

#include <set>
#include <vector>

namespace {

using FulgorCore::InstanceHandle;
using FulgorCore::InstanceSlot;
using FulgorCore::ObjectHandle;
using testsupport::Frame;
using testsupport::Record;
using testsupport::SmallEffect;
using testsupport::Write;
namespace Engine = FulgorCore::Engine;

class Instances : public testing::Test {
protected:
    void SetUp() override {
        runtime_.parameter.InstanceMaxCount = 8;
        ASSERT_TRUE(runtime_.Start());
        effect_ = testsupport::LoadEffect(Write(SmallEffect("vfx/a.vfxb", 3)));
        ASSERT_NE(effect_.serial, 0u);
    }

    InstanceHandle Create(FulgorCore::IInstanceListenner* listener = nullptr) {
        return Engine::CreateInstance(effect_.index, effect_.serial, listener);
    }
    // A playing instance whose root has been through one update.
    InstanceHandle Playing(float speed = 1.0f, uint8_t loop = 0) {
        const InstanceHandle h = Create();
        Engine::PlayInstance(h.index, h.serial, speed, loop);
        Frame();
        return h;
    }
    uint8_t State(InstanceHandle h) { return Record(h)->state; }

    testsupport::FakeInstanceListenner listener_;
    testsupport::RuntimeStartup runtime_;
    ObjectHandle effect_;
};

TEST_F(Instances, HandlesAreReusedOnlyAfterTheFrameFreesTheRecord) {
    const InstanceHandle first = Create();
    EXPECT_EQ(first.index, 0u);
    EXPECT_EQ(first.serial, 1u);
    Engine::KillInstance(first.index, first.serial);
    EXPECT_FALSE(Engine::IsInstancePlaying(first.index, first.serial));
    // Dead but not freed: a new instance takes the next record.
    const InstanceHandle beforeUpdate = Create();
    EXPECT_EQ(beforeUpdate.index, 1u);
    EXPECT_EQ(beforeUpdate.serial, 2u);
    Frame();
    const InstanceHandle afterUpdate = Create();
    EXPECT_EQ(afterUpdate.index, 0u);
    EXPECT_EQ(afterUpdate.serial, 3u);
    EXPECT_EQ(Engine::GetWorkData()->liveInstanceCount, 2u);
    // The old handle stays stale.
    Engine::PlayInstance(first.index, first.serial, 1.0f, 0);
    EXPECT_EQ(State(afterUpdate), InstanceSlot::kIdle);
}

TEST_F(Instances, CreationHoldsTheEffectAndTellsTheListener) {
    const InstanceHandle h = Create(&listener_);
    ASSERT_EQ(listener_.created.size(), 1u);
    EXPECT_EQ(listener_.created[0].serial, h.serial);
    EXPECT_EQ(listener_.References(), 2u);
    const FulgorCore::ObjectSlot& effect = Engine::GetWorkData()->objects.base[effect_.index];
    EXPECT_EQ(effect.referenceCount, 2);
    // A stale or unknown effect gives nothing.
    EXPECT_EQ(Engine::CreateInstance(effect_.index, effect_.serial + 1, nullptr).serial, 0u);
    EXPECT_EQ(Engine::CreateInstance(9, 1, nullptr).serial, 0u);

    const InstanceSlot& r = *Record(h);
    EXPECT_EQ(r.viewMask, 0xFFFF);
    EXPECT_EQ(r.visibilityMask, 0xFFFFFFFFu);
    EXPECT_EQ(r.speed, 1.0f);
    EXPECT_EQ(r.colour[3], 1.0f);
    EXPECT_EQ(r.transform[0], 1.0f);
    EXPECT_EQ(r.transform[9], 0.0f);
    EXPECT_EQ(r.timelineFlags, 0xFF); // every default byte 0

    Engine::KillInstance(h.index, h.serial);
    Frame();
    ASSERT_EQ(listener_.released.size(), 1u);
    EXPECT_EQ(listener_.released[0].serial, h.serial);
    EXPECT_EQ(listener_.References(), 1u);
    EXPECT_EQ(effect.referenceCount, 1);
}

TEST_F(Instances, AFullTableGivesNothing) {
    for (int i = 0; i < 8; ++i)
        ASSERT_NE(Create().serial, 0u);
    EXPECT_EQ(Create().serial, 0u);
}

TEST_F(Instances, PlayStartsTheRootAtTheNextFrameAndItEndsByItsLife) {
    const InstanceHandle h = Create();
    Engine::PlayInstance(h.index, h.serial, 1.0f, 0);
    EXPECT_EQ(State(h), InstanceSlot::kStarting);
    EXPECT_TRUE(Engine::IsInstancePlaying(h.index, h.serial));
    Frame();
    ASSERT_EQ(State(h), InstanceSlot::kPlaying);
    ASSERT_NE(Record(h)->root, nullptr);
    EXPECT_EQ(Engine::GetInstanceTime(h.index, h.serial), 1.0f);
    Frame();
    EXPECT_EQ(Engine::GetInstanceTime(h.index, h.serial), 2.0f);
    Frame(); // time 3: the timeline ends and goes
    EXPECT_EQ(State(h), InstanceSlot::kPlaying);
    EXPECT_EQ(Record(h)->root->firstChild, nullptr);
    Frame(); // the root, childless past its own end, ends
    EXPECT_EQ(State(h), InstanceSlot::kStopping);
    Frame();
    EXPECT_EQ(State(h), InstanceSlot::kIdle);
    EXPECT_EQ(Record(h)->root, nullptr);
    EXPECT_FALSE(Engine::IsInstancePlaying(h.index, h.serial));
    EXPECT_EQ(Engine::GetUnitInstancePool().GetUsedCount(), 0u);
}

TEST_F(Instances, WithLoopTheEndedTreeRestartsFromStarting) {
    const InstanceHandle h = Playing(1.0f, 1);
    Frame();
    Frame();
    Frame(); // the timeline went at time 3, the root at 4
    EXPECT_EQ(State(h), InstanceSlot::kStarting);
    Frame();
    EXPECT_EQ(State(h), InstanceSlot::kPlaying);
    EXPECT_EQ(Engine::GetInstanceTime(h.index, h.serial), 1.0f);
}

TEST_F(Instances, SpeedScalesTheStepAndPauseStopsIt) {
    const InstanceHandle h = Playing(0.5f);
    EXPECT_EQ(Engine::GetInstanceTime(h.index, h.serial), 0.5f);
    Engine::ToggleInstancePause(h.index, h.serial);
    EXPECT_EQ(State(h), InstanceSlot::kPaused);
    EXPECT_TRUE(Engine::IsInstancePlaying(h.index, h.serial));
    Frame();
    EXPECT_EQ(Engine::GetInstanceTime(h.index, h.serial), 0.5f);
    EXPECT_EQ(Record(h)->root->paused, 1);
    // Stop leaves a paused instance paused.
    Engine::StopInstance(h.index, h.serial);
    EXPECT_EQ(State(h), InstanceSlot::kPaused);
    Engine::ToggleInstancePause(h.index, h.serial);
    Engine::SetInstanceSpeed(h.index, h.serial, 2.0f);
    Frame();
    EXPECT_EQ(Engine::GetInstanceTime(h.index, h.serial), 2.5f);
    EXPECT_EQ(Record(h)->root->paused, 0);
}

TEST_F(Instances, StopEndsPlayingAndWithdrawsAStart) {
    const InstanceHandle playing = Playing();
    Engine::StopInstance(playing.index, playing.serial);
    EXPECT_EQ(State(playing), InstanceSlot::kStopping);
    EXPECT_FALSE(Engine::IsInstancePlaying(playing.index, playing.serial));
    Frame();
    EXPECT_EQ(State(playing), InstanceSlot::kIdle);
    EXPECT_EQ(Record(playing)->root, nullptr);

    const InstanceHandle starting = Create();
    Engine::PlayInstance(starting.index, starting.serial, 1.0f, 0);
    Engine::StopInstance(starting.index, starting.serial);
    EXPECT_EQ(State(starting), InstanceSlot::kIdle);
    Frame();
    EXPECT_EQ(Record(starting)->root, nullptr);
}

TEST_F(Instances, APauseToggledBeforeTheStartComesUpPaused) {
    const InstanceHandle h = Create();
    Engine::PlayInstance(h.index, h.serial, 1.0f, 0);
    Engine::ToggleInstancePause(h.index, h.serial);
    Frame();
    EXPECT_EQ(State(h), InstanceSlot::kPaused);
    EXPECT_EQ(Record(h)->flags & InstanceSlot::kComeUpPaused, 0);
    EXPECT_EQ(Engine::GetInstanceTime(h.index, h.serial), 0.0f);
}

TEST_F(Instances, AMatrixSetWhilePausedAppliesWhenPlayingAgain) {
    const InstanceHandle h = Playing();
    Engine::ToggleInstancePause(h.index, h.serial);
    float m[16] = {1, 0, 0, 9, 0, 1, 0, 9, 0, 0, 1, 9, 5, 6, 7, 1};
    Engine::SetInstanceMatrix(h.index, h.serial, m);
    // The first three floats of each row.
    EXPECT_EQ(Record(h)->transform[9], 5.0f);
    EXPECT_EQ(Record(h)->transform[3], 0.0f);
    Frame();
    const FulgorCore::InstanceRootUnit* root = Record(h)->root;
    EXPECT_EQ(root->worldMatrix[9], 0.0f);
    Engine::ToggleInstancePause(h.index, h.serial);
    Frame();
    EXPECT_EQ(root->worldMatrix[9], 5.0f);
    EXPECT_EQ(root->worldMatrix[11], 7.0f);
    EXPECT_EQ(Record(h)->flags & InstanceSlot::kTransformChanged, 0);
}

TEST_F(Instances, TheColourReachesTheRootAtTheNextFrame) {
    const InstanceHandle h = Playing();
    Engine::SetInstanceColor(h.index, h.serial, 0.5f, 0.25f, 1.0f, 0.75f);
    Frame();
    EXPECT_EQ(Record(h)->root->baseColor[1], 0.25f);
    EXPECT_EQ(Record(h)->root->baseColor[3], 0.75f);
}

TEST_F(Instances, SettersIgnoreLayersViewsAndBitsPast15) {
    const InstanceHandle h = Create();
    Engine::SetInstanceLayer(h.index, h.serial, 15);
    Engine::SetInstanceLayer(h.index, h.serial, 16);
    Engine::SetInstanceLayer(h.index, h.serial, 0xFFFFFFFFu);
    EXPECT_EQ(Record(h)->layer, 15);
    Engine::SetInstanceViewVisible(h.index, h.serial, 3, false);
    Engine::SetInstanceViewVisible(h.index, h.serial, 16, false);
    Engine::SetInstanceViewVisible(h.index, h.serial, 35, false);
    EXPECT_EQ(Record(h)->viewMask, 0xFFF7);
    Engine::SetInstanceViewVisible(h.index, h.serial, 3, true);
    EXPECT_EQ(Record(h)->viewMask, 0xFFFF);
    Engine::SetInstanceFlagBit(h.index, h.serial, 15);
    Engine::SetInstanceFlagBit(h.index, h.serial, 16);
    Engine::SetInstanceFlagBit(h.index, h.serial, 40);
    EXPECT_EQ(Record(h)->triggers, 0x8000);
    const uint8_t flags[8] = {0, 1, 0, 1, 1, 1, 1, 0};
    Engine::SetInstanceTimelineFlags(h.index, h.serial, flags);
    EXPECT_EQ(Record(h)->timelineFlags, 0x85);
    Engine::SetInstanceDrawOrder(h.index, h.serial, 7);
    Engine::SetInstanceHidden(h.index, h.serial, 2);
    Engine::SetInstanceVisibilityMask(h.index, h.serial, 0x10);
    Engine::SetInstanceDrawOffset(h.index, h.serial, 4.0f);
    Engine::SetInstanceParameter(h.index, h.serial, 0.25f);
    EXPECT_EQ(Record(h)->drawOrder, 7);
    EXPECT_EQ(Record(h)->hidden, 2);
    EXPECT_EQ(Record(h)->visibilityMask, 0x10u);
    EXPECT_EQ(Record(h)->drawOffset, 4.0f);
    EXPECT_EQ(Record(h)->rootParameter, 0.25f);
}

TEST_F(Instances, TheLayerComesFromThePackageAndReachesTheRoot) {
    effecttools::EffectFileValue f = SmallEffect("vfx/layered.vfxb", 0);
    f.package.fields.push_back({"DTLT", 9});
    const ObjectHandle layered = testsupport::LoadEffect(Write(f));
    const InstanceHandle h = Engine::CreateInstance(layered.index, layered.serial, nullptr);
    EXPECT_EQ(Record(h)->layer, 9);
    Engine::PlayInstance(h.index, h.serial, 1.0f, 0);
    Frame();
    EXPECT_EQ(Record(h)->root->layer, 9);
    EXPECT_EQ(Engine::GetWorkData()->layers[9].count, 1u);
    Engine::SetInstanceLayer(h.index, h.serial, 4);
    EXPECT_EQ(Record(h)->root->layer, 4);
    Frame();
    EXPECT_EQ(Engine::GetWorkData()->layers[9].count, 0u);
    EXPECT_EQ(Engine::GetWorkData()->layers[4].count, 1u);
}

TEST_F(Instances, AnExhaustedUnitPoolKeepsTheStartAndRetriesEachFrame) {
    FulgorCore::UnitInstancePool& pool = Engine::GetUnitInstancePool();
    std::vector<void*> taken;
    while (void* block = pool.Allocate())
        taken.push_back(block);
    const InstanceHandle h = Create();
    Engine::PlayInstance(h.index, h.serial, 1.0f, 0);
    Frame();
    EXPECT_EQ(State(h), InstanceSlot::kStarting);
    Frame();
    EXPECT_EQ(State(h), InstanceSlot::kStarting);
    // One block: the root but not its draw lists. The root gives it back
    // and the start waits.
    pool.Free(taken.back());
    taken.pop_back();
    const uint32_t used = pool.GetUsedCount();
    Frame();
    EXPECT_EQ(State(h), InstanceSlot::kStarting);
    EXPECT_EQ(Record(h)->root, nullptr);
    EXPECT_EQ(pool.GetUsedCount(), used);
    // Three: the root, its draw lists and its timeline.
    for (int i = 0; i < 2; ++i) {
        pool.Free(taken.back());
        taken.pop_back();
    }
    Frame();
    EXPECT_EQ(State(h), InstanceSlot::kPlaying);
    EXPECT_NE(Record(h)->root->firstChild, nullptr);
    Engine::KillInstance(h.index, h.serial);
    Frame();
    for (void* block : taken)
        pool.Free(block);
    EXPECT_EQ(pool.GetUsedCount(), 0u);
}

TEST_F(Instances, EachStartDrawsTheRootSeedFromTheRuntimeState) {
    FulgorCore::Xorshift128 expected;
    expected.Seed(FulgorCore::EngineWorkData::kDefaultSeed);
    const InstanceHandle a = Playing();
    const InstanceHandle b = Playing();
    FulgorCore::Xorshift128 rootA;
    rootA.Seed(expected.Next());
    FulgorCore::Xorshift128 rootB;
    rootB.Seed(expected.Next());
    EXPECT_EQ(Record(a)->root->random.w, rootA.w);
    EXPECT_EQ(Record(b)->root->random.x, rootB.x);
    EXPECT_EQ(Record(b)->root->random.w, rootB.w);
}

TEST_F(Instances, WarmUpStepsToTheTargetAndEvaluatesEachStep) {
    const ObjectHandle endless = testsupport::LoadEffect(Write(SmallEffect("vfx/endless.vfxb", 0)));
    const InstanceHandle h = Engine::CreateInstance(endless.index, endless.serial, nullptr);
    Engine::PlayInstance(h.index, h.serial, 1.0f, 0);
    Frame();
    FulgorCore::InstanceRootUnit* root = Record(h)->root;
    auto* unit = FulgorCore::UnitInstance::Create<testsupport::RecordingUnit>(
        root, testsupport::RecordingUnit::Clock(root, 0.0f));
    root->AddChild(unit);
    root->skipToFrame = 10;
    Frame();
    // Nine steps of one frame from frame 1, then the frame's own step.
    EXPECT_EQ(root->totalTime, 11.0f);
    EXPECT_EQ(unit->evaluations.load(), 9 + 1);
    EXPECT_EQ(root->skipToFrame, 0);
    Frame();
    EXPECT_EQ(root->totalTime, 12.0f);
}

class Triggers : public testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(runtime_.Start());
        effecttools::EffectFileValue f = SmallEffect("vfx/triggers.vfxb", 0);
        const int16_t endless = testsupport::AddTimeline(f, 0);
        const int16_t timed = testsupport::AddTimeline(f, 40);
        const int16_t bind = testsupport::AddBind(f, 30);
        // Entries 0-13: entry k starts timeline `timed`, but entry 3 runs
        // the bind over `timed`, 4 the bind over `endless`, 5 names a
        // timeline past the table and 6 a bind past it.
        f.package.triggers.resize(14);
        for (int16_t k = 0; k < 14; ++k)
            f.package.triggers[k] = {timed, int16_t{-1}};
        f.package.triggers[3] = {timed, bind};
        f.package.triggers[4] = {endless, bind};
        f.package.triggers[5] = {int16_t{7}, int16_t{-1}};
        f.package.triggers[6] = {timed, int16_t{5}};
        effect_ = testsupport::LoadEffect(Write(f));
        ASSERT_NE(effect_.serial, 0u);
        listener_.targetsX = {7};
        h_ = Engine::CreateInstance(effect_.index, effect_.serial, &listener_);
        Engine::PlayInstance(h_.index, h_.serial, 1.0f, 0);
        Frame();
        root_ = Record(h_)->root;
        ASSERT_NE(root_, nullptr);
    }

    std::vector<int> ChildIds() const {
        std::vector<int> ids;
        for (FulgorCore::UnitInstance* c = root_->firstChild; c; c = c->nextSibling)
            ids.push_back(c->timelineId);
        return ids;
    }

    testsupport::FakeInstanceListenner listener_;
    testsupport::RecordingCreators creators_;
    testsupport::RuntimeStartup runtime_;
    ObjectHandle effect_;
    InstanceHandle h_;
    FulgorCore::InstanceRootUnit* root_ = nullptr;
};

TEST_F(Triggers, BitsOneToThirteenFireEntriesZeroToTwelveAndTheWordClears) {
    for (uint32_t bit = 0; bit < 16; ++bit)
        Engine::SetInstanceFlagBit(h_.index, h_.serial, bit);
    Frame();
    // Bit 0 has no entry; bits 4 and 5 run binds, 6 and 7 name nothing;
    // bits 14 and 15 never fire.
    const std::vector<int> expected = {-1, -2, -3, -8, -9, -10, -11, -12, -13};
    EXPECT_EQ(ChildIds(), expected);
    EXPECT_EQ(Record(h_)->triggers, 0);
    for (FulgorCore::UnitInstance* c = root_->firstChild; c; c = c->nextSibling) {
        EXPECT_EQ(c->GetKind(), FulgorCore::UnitInstance::kTimeline);
        EXPECT_EQ(c->lifetime, 40.0f);
        EXPECT_EQ(c->time, 1.0f); // started, then stepped with the root's children
    }
    Frame();
    EXPECT_EQ(ChildIds().size(), expected.size());
}

TEST_F(Triggers, ABindTriggerAsksTheRootForItsCarriersWithTheTiming) {
    Engine::SetInstanceFlagBit(h_.index, h_.serial, 4);
    Frame();
    const FulgorCore::PackageResource* package = Record(h_)->effect->package;
    ASSERT_EQ(creators_.carriers.size(), 1u);
    const testsupport::RecordingCreators::CarrierCall& call = creators_.carriers[0];
    EXPECT_EQ(call.binding, package->GetBind(0));
    EXPECT_FALSE(call.pair);
    EXPECT_EQ(call.targetA, 7u);
    EXPECT_EQ(call.child.childKind, FulgorCore::ChildStart::kTimeline);
    EXPECT_EQ(call.child.id, -4);
    EXPECT_EQ(call.child.timeline, package->GetTimeline(1));
    // A timeline of 40 frames over a bind of 30: rate 30 / 40 for 40.
    EXPECT_EQ(call.state.parent, root_);
    EXPECT_FLOAT_EQ(call.state.speed, 0.75f);
    EXPECT_EQ(call.state.lifetime, 40.0f);
    EXPECT_EQ(call.state.timeMode, 0u);

    Engine::SetInstanceFlagBit(h_.index, h_.serial, 5);
    Frame();
    ASSERT_EQ(creators_.carriers.size(), 2u);
    EXPECT_EQ(creators_.carriers[1].child.id, -5);
    EXPECT_EQ(creators_.carriers[1].child.timeline, package->GetTimeline(0));
    // An endless timeline: rate 1 for the bind's 30, endless.
    EXPECT_EQ(creators_.carriers[1].state.speed, 1.0f);
    EXPECT_EQ(creators_.carriers[1].state.lifetime, 30.0f);
    EXPECT_EQ(creators_.carriers[1].state.timeMode, 1u);
}

TEST_F(Triggers, EntriesPastThePackagesTablesAndBitZeroDoNothing) {
    Engine::SetInstanceFlagBit(h_.index, h_.serial, 0);
    Engine::SetInstanceFlagBit(h_.index, h_.serial, 6);
    Engine::SetInstanceFlagBit(h_.index, h_.serial, 7);
    Frame();
    EXPECT_EQ(root_->firstChild, nullptr);
    EXPECT_TRUE(creators_.carriers.empty());
}

TEST_F(Triggers, TriggersOfAPausedInstanceFireToo) {
    Engine::ToggleInstancePause(h_.index, h_.serial);
    Engine::SetInstanceFlagBit(h_.index, h_.serial, 1);
    Frame();
    EXPECT_EQ(ChildIds(), std::vector<int>{-1});
    EXPECT_EQ(root_->firstChild->time, 0.0f);
}

class JobRun {
public:
    // 40 instances with room for 32 jobs of 16 bytes per frame.
    void Start(FulgorCore::JobDispatcher* dispatcher) {
        runtime_.parameter.InstanceMaxCount = 40;
        runtime_.parameter.pJobDispatcher = dispatcher;
        runtime_.cache.assign(1024, 0);
        runtime_.parameter.CacheBufferMemory = runtime_.cache.data();
        runtime_.parameter.CacheBufferMemorySize = 1024;
        ASSERT_TRUE(runtime_.Start());
        const ObjectHandle effect = testsupport::LoadEffect(Write(SmallEffect("vfx/a.vfxb", 0)));
        for (int i = 0; i < 40; ++i) {
            const InstanceHandle h = Engine::CreateInstance(effect.index, effect.serial, nullptr);
            Engine::PlayInstance(h.index, h.serial, 1.0f + 0.25f * static_cast<float>(i % 4), 0);
            handles_.push_back(h);
        }
        Frame();
        for (const InstanceHandle& h : handles_) {
            FulgorCore::InstanceRootUnit* root = Record(h)->root;
            auto* unit = FulgorCore::UnitInstance::Create<testsupport::RecordingUnit>(
                root, testsupport::RecordingUnit::Clock(root, 0.0f));
            root->AddChild(unit);
            units_.push_back(unit);
        }
    }
    std::vector<int> Evaluations() const {
        std::vector<int> counts;
        for (const testsupport::RecordingUnit* u : units_)
            counts.push_back(u->evaluations.load());
        return counts;
    }
    std::vector<float> Times() const {
        std::vector<float> times;
        for (const InstanceHandle& h : handles_)
            times.push_back(Engine::GetInstanceTime(h.index, h.serial));
        return times;
    }

    testsupport::RuntimeStartup runtime_;
    std::vector<InstanceHandle> handles_;
    std::vector<testsupport::RecordingUnit*> units_;
};

// An instance without room for its job is not evaluated, so it is not
// drawn either: what its update made this frame has nothing to draw from.
TEST(InstanceJobs, ExhaustedFrameMemorySkipsTheEvaluationAndTheDrawButNotTheUpdate) {
    JobRun run;
    run.Start(nullptr);
    Frame();
    const std::vector<int> counts = run.Evaluations();
    for (int i = 0; i < 40; ++i)
        EXPECT_EQ(counts[i], i < 32 ? 1 : 0) << i;
    // Every instance still advanced; only the evaluated reached the list.
    const InstanceHandle last = run.handles_[39];
    EXPECT_EQ(Engine::GetInstanceTime(last.index, last.serial), 3.5f);
    const FulgorCore::EngineWorkData::InstanceList& layer = Engine::GetWorkData()->layers[0];
    ASSERT_EQ(layer.count, 32u);
    for (uint32_t i = 0; i < 32; ++i)
        EXPECT_EQ(layer.instances[i]->index, run.handles_[i].index) << i;
}

TEST(InstanceJobs, EachJobTakesSixteenBytesOfTheFrameMemory) {
    // Three instances whose evaluation takes no memory of its own.
    testsupport::RuntimeStartup runtime;
    ASSERT_TRUE(runtime.Start());
    const ObjectHandle effect = testsupport::LoadEffect(Write(SmallEffect("vfx/a.vfxb", 0)));
    for (int i = 0; i < 3; ++i) {
        const InstanceHandle h = Engine::CreateInstance(effect.index, effect.serial, nullptr);
        Engine::PlayInstance(h.index, h.serial, 1.0f, 0);
    }
    Frame();
    Frame();
    FulgorCore::FrameWorkMemory& frame = Engine::GetFrameWorkMemory();
    EXPECT_NE(frame.Allocate(frame.GetHalfSize() - 3 * 16), nullptr);
    EXPECT_EQ(frame.Allocate(16), nullptr);
}

TEST(InstanceJobs, AZeroStepStillRefillsTheListsAndSubmitsTheJobs) {
    testsupport::ThreadDispatcher dispatcher(1);
    JobRun run;
    run.Start(&dispatcher);
    const std::vector<float> before = run.Times();
    const int submitted = dispatcher.submitted;
    Frame(0.0f);
    EXPECT_EQ(run.Times(), before);
    EXPECT_EQ(dispatcher.submitted - submitted, 32);
    EXPECT_EQ(Engine::GetWorkData()->layers[0].count, 32u);
    EXPECT_EQ(dispatcher.waits, 2);
}

// Every frame, each of the 32 instances with room for a job is evaluated
// exactly once before Update returns, on four threads as without a
// dispatcher. The workers start a job only once the runtime waits, so an
// update that returned without waiting, or that skipped or repeated a job,
// shows at once.
TEST(InstanceJobs, FourThreadsGiveWhatNoDispatcherGivesEveryFrame) {
    constexpr int kFrames = 20;
    std::vector<std::vector<int>> alone;
    std::vector<std::vector<float>> aloneTimes;
    {
        JobRun run;
        run.Start(nullptr);
        for (int i = 0; i < kFrames; ++i) {
            Frame();
            alone.push_back(run.Evaluations());
            aloneTimes.push_back(run.Times());
        }
    }
    for (int frame = 0; frame < kFrames; ++frame)
        for (int i = 0; i < 40; ++i)
            ASSERT_EQ(alone[frame][i], i < 32 ? frame + 1 : 0) << "frame " << frame << ", " << i;

    testsupport::ThreadDispatcher dispatcher(4, true);
    JobRun run;
    run.Start(&dispatcher);
    for (int frame = 0; frame < kFrames; ++frame) {
        const int submitted = dispatcher.submitted;
        Frame();
        EXPECT_EQ(dispatcher.submitted - submitted, 32) << frame;
        EXPECT_EQ(dispatcher.executed, dispatcher.submitted) << frame;
        EXPECT_EQ(run.Evaluations(), alone[frame]) << frame;
        EXPECT_EQ(run.Times(), aloneTimes[frame]) << frame;
    }
    EXPECT_EQ(dispatcher.waits, kFrames + 1);
}

} // namespace
