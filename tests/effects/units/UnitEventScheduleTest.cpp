// Event schedules: the events of one record fired on their own clock, the
// actions of kinds 0-3 handed to the event targets, kind 4 starting an
// extra timeline.
#include "support/effects/UnitTreeRig.h"

#include "effects/Core/Engine/EngineWorkData.h"
#include "effects/Core/Engine/ObjectSlot.h"
#include "effects/Core/Resource/PackageResource.h"
#include "effects/Core/Resource/UnitResource.h"
#include "effects/Core/Resource/UnitTimelineResource.h"
#include "effects/units/ParticleInstance.h"
#include "effects/units/UnitEventSchedule.h"
#include "support/effects/StandInParticle.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

using FulgorCore::ParticleInstance;
using FulgorCore::UnitEventSchedule;
using FulgorCore::UnitInstance;
using FulgorCore::UnitTimelineResource;
using testsupport::AddTimeline;
using testsupport::ChildIds;
using testsupport::Frame;
using testsupport::TreeEffect;
namespace Engine = FulgorCore::Engine;

// One 14-byte event entry: time, kind, the two signed bytes, then bytes
// 6-13.
std::vector<uint8_t> Event(uint16_t time, uint16_t kind, int8_t first = 0, int8_t second = 0,
                           uint8_t fill = 0) {
    std::vector<uint8_t> e(14, fill);
    e[0] = static_cast<uint8_t>(time);
    e[1] = static_cast<uint8_t>(time >> 8);
    e[2] = static_cast<uint8_t>(kind);
    e[3] = static_cast<uint8_t>(kind >> 8);
    e[4] = static_cast<uint8_t>(first);
    e[5] = static_cast<uint8_t>(second);
    return e;
}

class Schedules : public testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(rig_.Start()); }
    void TearDown() override { EXPECT_EQ(rig_.Release(), 0u); }

    // Loads an effect whose unit's event record holds `events`, plays it
    // and puts a particle under its root.
    const UnitTimelineResource* Record(std::vector<std::vector<uint8_t>> events) {
        effecttools::EffectFileValue f = TreeEffect("vfx/events.vfxb");
        effecttools::UnitTimelineValue record;
        record.items = std::move(events);
        f.package.units[0].unitTimelines.push_back(record);
        const int16_t plain = AddTimeline(f, 50, {});
        f.package.triggers.assign(14, {plain, std::nullopt});
        const FulgorCore::ObjectHandle effect = rig_.Load(f);
        const FulgorCore::InstanceHandle h = rig_.Play(effect);
        Frame();
        root_ = rig_.Root(h);
        UnitInstance::InitialState endless;
        endless.parent = root_;
        endless.timeMode = UnitInstance::kEndless;
        particle_ = testsupport::StandInParticle(root_, endless, nullptr, true);
        root_->AddChild(particle_);
        return Engine::GetWorkData()
            ->objects.base[effect.index]
            .package->GetUnit(0)
            ->GetUnitTimeline(0);
    }

    testsupport::UnitTreeRig rig_;
    FulgorCore::InstanceRootUnit* root_ = nullptr;
    ParticleInstance* particle_ = nullptr;
};

TEST_F(Schedules, AKindFourEventStartsExtraTimelineByteOnePlusOne) {
    const UnitTimelineResource* events = Record({Event(0, 4, 0), Event(0, 4, 13), Event(0, 4, 14),
                                                 Event(0, 4, -1), Event(0, 5), Event(0, 9)});
    UnitEventSchedule* schedule = UnitEventSchedule::Create(events, particle_, 0.0f);
    ASSERT_NE(schedule, nullptr);
    EXPECT_FALSE(schedule->Step(1.0f));
    // 1 and 14; 15 and 0 are no extra timelines; kinds 5 and above nothing.
    EXPECT_EQ(ChildIds(root_), (std::vector<int>{0, -1, -14}));
    EXPECT_TRUE(rig_.creators.events.empty());
    delete schedule;
}

TEST_F(Schedules, KindsZeroToThreeGoToTheirActionsWithSignedModeAndDepth) {
    const UnitTimelineResource* events = Record(
        {Event(0, 2, -1, 3, 0x55), Event(0, 0, 2, -2), Event(0, 3, 1, 0), Event(0, 1, 0, 1)});
    UnitEventSchedule* schedule = UnitEventSchedule::Create(events, particle_, 0.0f);
    schedule->Step(1.0f);
    ASSERT_EQ(rig_.creators.events.size(), 4u);
    const std::vector<uint32_t> kinds = {rig_.creators.events[0].kind, rig_.creators.events[1].kind,
                                         rig_.creators.events[2].kind,
                                         rig_.creators.events[3].kind};
    EXPECT_EQ(kinds, (std::vector<uint32_t>{2, 0, 3, 1}));
    const auto& first = rig_.creators.events[0];
    EXPECT_EQ(first.start, particle_);
    EXPECT_EQ(first.mode, -1);
    EXPECT_EQ(first.depth, 3);
    EXPECT_EQ(first.entry.bytes[13], 0x55);
    EXPECT_EQ(rig_.creators.events[1].depth, -2);
    delete schedule;
}

TEST_F(Schedules, EventsFireOnTheScheduleClockFromMinusTheDelay) {
    const UnitTimelineResource* events = Record({Event(5, 4, 0), Event(2, 4, 1)});
    UnitEventSchedule* schedule = UnitEventSchedule::Create(events, particle_, 3.0f);
    EXPECT_EQ(schedule->elapsed, -3.0f);
    EXPECT_EQ(schedule->pending, 3u);
    std::vector<int> fired;
    bool pending = true;
    for (int step = 0; pending && step < 20; ++step) {
        const size_t before = ChildIds(root_).size();
        pending = schedule->Step(1.0f);
        if (ChildIds(root_).size() > before)
            fired.push_back(step);
    }
    // The event at 2 on the step that sees elapsed 2, the one at 5 at 5.
    EXPECT_EQ(fired, (std::vector<int>{5, 8}));
    EXPECT_EQ(ChildIds(root_), (std::vector<int>{0, -2, -1}));
    EXPECT_EQ(schedule->elapsed, 6.0f);
    delete schedule;
}

TEST_F(Schedules, EventsFromThirtyTwoOnHaveNoBitAndNeverFire) {
    std::vector<std::vector<uint8_t>> many(32, Event(0, 5));
    many.push_back(Event(0, 4, 0));
    const UnitTimelineResource* events = Record(many);
    UnitEventSchedule* schedule = UnitEventSchedule::Create(events, particle_, 0.0f);
    EXPECT_FALSE(schedule->Step(1.0f));
    EXPECT_EQ(ChildIds(root_), std::vector<int>{0});
    delete schedule;
}

TEST_F(Schedules, ARecordWithoutEventsOnlyCountsTime) {
    const UnitTimelineResource* events = Record({});
    UnitEventSchedule* schedule = UnitEventSchedule::Create(events, particle_, 2.0f);
    EXPECT_FALSE(schedule->Step(1.5f));
    EXPECT_EQ(schedule->elapsed, -0.5f);
    delete schedule;
}

TEST_F(Schedules, SchedulesLiveInPoolBlocks) {
    const UnitTimelineResource* events = Record({Event(0, 5)});
    const uint32_t before = testsupport::UnitTreeRig::UsedBlocks();
    UnitEventSchedule* schedule = UnitEventSchedule::Create(events, particle_, 0.0f);
    EXPECT_EQ(testsupport::UnitTreeRig::UsedBlocks(), before + 1);
    delete schedule;
    EXPECT_EQ(testsupport::UnitTreeRig::UsedBlocks(), before);
}

} // namespace
