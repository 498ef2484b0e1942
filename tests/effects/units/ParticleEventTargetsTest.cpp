// Unit events of kinds 0-3: the units an entry acts on around the particle
// whose schedule runs it, and the four actions (track morph, child
// particle, triggered event, finish), on particles of a written package.
#include "support/effects/EventTreeRig.h"
#include "support/effects/RecordingUnit.h"

#include "effects/units/EmitterTransformUnit.h"
#include "effects/units/NodeEventBlock.h"
#include "effects/units/ParticleEventTargets.h"
#include "effects/units/ParticleSpawnSettings.h"
#include "effects/units/UnitEventSchedule.h"

#include <gtest/gtest.h>

#include <array>
#include <vector>

namespace {

using FulgorCore::ParticleInstance;
using FulgorCore::UnitInstance;
using FulgorCore::UnitTimelineResource;
using testsupport::EventEntry;
using testsupport::Frame;
using testsupport::RecordingUnit;
namespace Engine = FulgorCore::Engine;

constexpr uint32_t kPoster = 0; // takes events; record 2 has one item
constexpr uint32_t kPlain = 1;  // takes no events
constexpr uint32_t kChild = 2;  // 40 frames
constexpr uint32_t kEndless = 3;
constexpr uint32_t kRecordValue = 77;

std::vector<UnitInstance*>& Seen() {
    static std::vector<UnitInstance*> seen;
    return seen;
}
void Record(UnitInstance* unit, const UnitTimelineResource::Item&) {
    Seen().push_back(unit);
}

effecttools::EffectFileValue EventsEffect() {
    effecttools::EffectFileValue f = testsupport::TreeEffect("vfx/events.vfxb", 4, 0);
    effecttools::UnitValue& poster = f.package.units[kPoster];
    poster.fields.push_back({"bECE", 1});
    for (int record = 0; record < 3; ++record) {
        effecttools::UnitTimelineValue events;
        if (record == 2) {
            events.items.push_back(testsupport::EventBytes(500, EventEntry(5, 0, 0, 0)));
            events.life = kRecordValue;
        }
        poster.unitTimelines.push_back(events);
    }
    f.package.units[kChild].life = 40;
    f.package.units[kChild].fields.push_back({"bECE", 1});
    return f;
}

class EventTargets : public testing::Test {
protected:
    void SetUp() override {
        Seen().clear();
        ASSERT_TRUE(rig_.Start(EventsEffect()));
        R = rig_.root;
        P = rig_.Particle(kPoster);
        Q = rig_.Particle(kPoster);
        T1 = Timeline(R);
        C1 = rig_.Particle(kPoster, P);
        C2 = rig_.Particle(kPoster, P);
        K = Timeline(P);
        G1 = rig_.Particle(kPoster, C1);
        G2 = rig_.Particle(kPoster, C1);
        X = Timeline(C1);
        G3 = rig_.Particle(kPoster, C2);
        G4 = rig_.Particle(kPoster, K);
        // An emitter's transform unit among the grandchildren: kind 3, but
        // no particle.
        E = UnitInstance::Create<FulgorCore::EmitterTransformUnit>(
            R, RecordingUnit::Clock(C2, 0.0f), nullptr);
        C2->AddChild(E);
        ASSERT_NE(G4, nullptr);
        Frame();
    }
    void TearDown() override { EXPECT_EQ(rig_.tree.Release(), 0u); }

    static RecordingUnit* Timeline(UnitInstance* parent) {
        auto* unit =
            UnitInstance::Create<RecordingUnit>(parent->owner, RecordingUnit::Clock(parent, 0.0f));
        parent->AddChild(unit);
        return unit;
    }
    static std::vector<UnitInstance*> Targets(ParticleInstance* start, int32_t mode,
                                              int32_t depth) {
        Seen().clear();
        ParticleInstance::ForEachEventTarget<Record>(start, EventEntry(0, 0, 0, 0), mode, depth);
        return Seen();
    }
    static bool Scheduled(const ParticleInstance* p) { return p->scheduleHead != nullptr; }

    testsupport::EventTreeRig rig_;
    FulgorCore::InstanceRootUnit* R = nullptr;
    ParticleInstance *P = nullptr, *Q = nullptr, *C1 = nullptr, *C2 = nullptr;
    ParticleInstance *G1 = nullptr, *G2 = nullptr, *G3 = nullptr, *G4 = nullptr;
    RecordingUnit *T1 = nullptr, *K = nullptr, *X = nullptr;
    FulgorCore::EmitterTransformUnit* E = nullptr;
};

TEST_F(EventTargets, ModesZeroAndOneAtDepthZeroActOnThePosterOnly) {
    EXPECT_EQ(Targets(P, 0, 0), std::vector<UnitInstance*>{P});
    EXPECT_EQ(Targets(C1, 1, 0), std::vector<UnitInstance*>{C1});
    testsupport::EventTreeRig::Act(C1, EventEntry(2, 1, 0, 2));
    EXPECT_TRUE(Scheduled(C1));
    for (ParticleInstance* other : {P, Q, C2, G1, G2, G3, G4})
        EXPECT_FALSE(Scheduled(other));
}

TEST_F(EventTargets, DepthTwoActsOnTheParticleGrandchildrenInListOrder) {
    const std::vector<UnitInstance*> grandchildren{G1, G2, X, G3, E, G4};
    EXPECT_EQ(Targets(P, 0, 2), grandchildren);
    testsupport::EventTreeRig::Act(P, EventEntry(2, 0, 2, 2));
    testsupport::EventTreeRig::Act(P, EventEntry(0, 0, 2, 0, {1, 1, 1, 1, 0}, 5));
    for (ParticleInstance* g : {G1, G2, G3, G4})
        EXPECT_TRUE(Scheduled(g));
    // Children and the poster are not acted on; the timeline unit among the
    // grandchildren is skipped.
    for (ParticleInstance* other : {P, Q, C1, C2})
        EXPECT_FALSE(Scheduled(other));
    EXPECT_EQ(X->ends, 0);
    EXPECT_EQ(rig_.tree.listener.unitEvents.size(), 4u);
}

TEST_F(EventTargets, ModeTwoActsBelowTheRootWhoeverPosted) {
    const std::vector<UnitInstance*> underRoot{P, Q, T1};
    EXPECT_EQ(Targets(G3, 2, 1), underRoot);
    testsupport::EventTreeRig::Act(G3, EventEntry(2, 2, 1, 2));
    EXPECT_TRUE(Scheduled(P));
    EXPECT_TRUE(Scheduled(Q));
    EXPECT_FALSE(Scheduled(G3));
    const std::vector<UnitInstance*> deeper{C1, C2, K};
    EXPECT_EQ(Targets(G3, 2, 2), deeper);
}

TEST_F(EventTargets, ANegativeDepthOrAnotherModeSelectsNothing) {
    EXPECT_TRUE(Targets(G1, 0, -1).empty());
    EXPECT_TRUE(Targets(G1, 1, -2).empty());
    EXPECT_TRUE(Targets(G1, -1, 0).empty());
    EXPECT_TRUE(Targets(G1, 3, 1).empty());
}

TEST_F(EventTargets, ModeTwoAtDepthZeroIsTheRoot) {
    EXPECT_EQ(Targets(P, 2, 0), std::vector<UnitInstance*>{R});
    EXPECT_EQ(Targets(P, 2, -3), std::vector<UnitInstance*>{R});
    // Kinds 0-2 act on particles only: the root is none.
    for (uint16_t kind : {0, 1, 2})
        testsupport::EventTreeRig::Act(P, EventEntry(kind, 2, 0, kChild, {1, 1, 1, 1, 0}, 5));
    EXPECT_EQ(R->firstChild, P);
    EXPECT_TRUE(R->alive);
    // Kind 3 finishes it: the whole instance ends.
    testsupport::EventTreeRig::Act(P, EventEntry(3, 2, 0, 0));
    EXPECT_FALSE(R->alive);
    Frame();
    EXPECT_FALSE(Engine::IsInstancePlaying(rig_.handle.index, rig_.handle.serial));
}

TEST_F(EventTargets, FinishActsOnAnyKindOnce) {
    testsupport::EventTreeRig::Act(C1, EventEntry(3, 2, 1, 0));
    EXPECT_EQ(T1->ends, 1);
    EXPECT_FALSE(T1->alive);
    EXPECT_FALSE(P->alive);
    EXPECT_FALSE(Q->alive);
    EXPECT_TRUE(C1->alive);
    // An ended target is left alone.
    testsupport::EventTreeRig::Act(C1, EventEntry(3, 2, 1, 0));
    EXPECT_EQ(T1->ends, 1);
}

// The factory of a unit's class, recording what it was handed.
struct SpawnRecord {
    std::array<uint8_t, 8> settings{};
    float origin[3] = {};
    float position[3] = {};
    UnitInstance::InitialState state;
    int calls = 0;
};
SpawnRecord& Spawned() {
    static SpawnRecord record;
    return record;
}
FulgorCore::ParticleInstanceFactoryTable::Factory& RealFactory() {
    static FulgorCore::ParticleInstanceFactoryTable::Factory real = nullptr;
    return real;
}
ParticleInstance*
RecordingFactory(FulgorCore::InstanceRootUnit* owner, FulgorCore::ParticleEmitterPart* aux,
                 const UnitInstance::InitialState& state, const FulgorCore::UnitResource* data,
                 const FulgorCore::ParticleSpawnSettings* settings, int32_t point,
                 const float* origin, const float* position, const float* velocity,
                 const float* rotation, const float* direction) {
    // The rig's own particles come without settings: only the event's
    // spawns are recorded.
    SpawnRecord& r = Spawned();
    if (!settings)
        return RealFactory()(owner, aux, state, data, settings, point, origin, position, velocity,
                             rotation, direction);
    ++r.calls;
    std::copy(settings->bytes, settings->bytes + 8, r.settings.begin());
    std::copy(origin, origin + 3, r.origin);
    std::copy(position, position + 3, r.position);
    r.state = state;
    return RealFactory()(owner, aux, state, data, settings, point, origin, position, velocity,
                         rotation, direction);
}

class SpawnChild : public EventTargets {
protected:
    void SetUp() override {
        EventTargets::SetUp();
        Spawned() = {};
        const int32_t k =
            FulgorCore::ParticleInstanceFactoryTable::IndexOf(rig_.Package()->GetUnit(kChild));
        ASSERT_GE(k, 0);
        slot_ = &FulgorCore::ParticleInstanceFactoryTable::Current()[k];
        RealFactory() = *slot_;
        *slot_ = RecordingFactory;
    }
    void TearDown() override {
        *slot_ = RealFactory();
        EventTargets::TearDown();
    }
    FulgorCore::ParticleInstanceFactoryTable::Factory* slot_ = nullptr;
};

TEST_F(SpawnChild, BuildsTheUnitsParticleUnderTheTargetAtItsTranslation) {
    const float at[3] = {1.0f, 2.0f, 3.0f};
    ParticleInstance* target = rig_.Particle(kPoster, nullptr, at);
    Frame();
    const std::vector<UnitInstance*> before = testsupport::Children(target);
    testsupport::EventTreeRig::Act(target, EventEntry(1, 0, 0, kChild, {0xB7, 0xB8, 9, 9, 9}));
    ASSERT_EQ(Spawned().calls, 1);
    const std::array<uint8_t, 8> expected{0xFF, 0, 0, 0, 0, 0xB7, 0xB8, 0};
    EXPECT_EQ(Spawned().settings, expected);
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(Spawned().origin[i], at[i]);
        EXPECT_EQ(Spawned().position[i], at[i]);
    }
    EXPECT_EQ(Spawned().state.parent, target);
    EXPECT_EQ(Spawned().state.lifetime, 40.0f);
    EXPECT_EQ(Spawned().state.timeMode, UnitInstance::kEndAtTime);
    const std::vector<UnitInstance*> after = testsupport::Children(target);
    ASSERT_EQ(after.size(), before.size() + 1);
    EXPECT_EQ(after.back()->GetKind(), UnitInstance::kParticleNode);
    // A unit of no length of its own never ends by time.
    testsupport::EventTreeRig::Act(target, EventEntry(1, 0, 0, kEndless));
    ASSERT_EQ(Spawned().calls, 2);
    EXPECT_EQ(Spawned().state.timeMode, UnitInstance::kEndless);
}

TEST_F(SpawnChild, TheSettingsBytesTheEventDoesNotSetAreZero) {
    // Bytes 1-3 of the record were left unset; here they are 0 whatever the
    // entry's other bytes hold.
    testsupport::EventTreeRig::Act(P, EventEntry(1, 0, 0, kChild, {1, 2, 0xFF, 0xFF, 0xFF}, -1));
    ASSERT_EQ(Spawned().calls, 1);
    EXPECT_EQ(Spawned().settings[1], 0);
    EXPECT_EQ(Spawned().settings[2], 0);
    EXPECT_EQ(Spawned().settings[3], 0);
    EXPECT_EQ(Spawned().settings[7], 0);
}

TEST_F(EventTargets, TriggerQueuesOneScheduleWithTheDelayOfBytesEightAndNine) {
    const uint16_t holds = C2->holdCount;
    FulgorCore::UnitTimelineResource::Item entry = EventEntry(2, 0, 0, 2);
    entry.bytes[8] = 7;
    entry.bytes[9] = 0;
    testsupport::EventTreeRig::Act(C2, entry);
    ASSERT_TRUE(Scheduled(C2));
    EXPECT_EQ(C2->scheduleHead, C2->scheduleTail);
    EXPECT_EQ(C2->scheduleHead->elapsed, -7.0f);
    EXPECT_EQ(C2->holdCount, holds + 1);
    ASSERT_EQ(rig_.tree.listener.unitEvents.size(), 1u);
    EXPECT_EQ(rig_.tree.listener.unitEvents[0], (std::pair<uint32_t, uint32_t>{2, kRecordValue}));
    // An event whose record holds nothing queues nothing.
    testsupport::EventTreeRig::Act(G3, EventEntry(2, 0, 0, 1));
    EXPECT_FALSE(Scheduled(G3));
}

TEST_F(EventTargets, AUnitIndexThePackageDoesNotResolveDoesNothing) {
    const uint32_t used = testsupport::UnitTreeRig::UsedBlocks();
    const size_t children = testsupport::Children(G1).size();
    for (int8_t index : {int8_t{99}, int8_t{-1}, int8_t{4}}) {
        testsupport::EventTreeRig::Act(G1, EventEntry(0, 0, 0, index, {1, 1, 1, 1, 0}, 10));
        testsupport::EventTreeRig::Act(G1, EventEntry(1, 0, 0, index));
    }
    EXPECT_EQ(G1->trackMorphMember, ParticleInstance::NoOpWithArgument);
    EXPECT_EQ(testsupport::Children(G1).size(), children);
    EXPECT_EQ(testsupport::UnitTreeRig::UsedBlocks(), used);
}

TEST_F(EventTargets, AMorphOnAParticleWithoutAnEventBlockIsSkipped) {
    ParticleInstance* plain = rig_.Particle(kPlain);
    Frame();
    ASSERT_EQ(plain->postedEvents, nullptr);
    const uint32_t used = testsupport::UnitTreeRig::UsedBlocks();
    testsupport::EventTreeRig::Act(plain, EventEntry(0, 0, 0, kChild, {1, 1, 1, 1, 1}, 10));
    EXPECT_EQ(plain->postedEvents, nullptr);
    EXPECT_EQ(plain->trackMorphMember, ParticleInstance::NoOpWithArgument);
    EXPECT_EQ(testsupport::UnitTreeRig::UsedBlocks(), used);
    Frame();
}

// Through the schedule: the event a particle posts at its start runs its
// record's entries at their times, each through the built-in actions.
TEST(EventSchedules, AStartEventsRecordActsAtItsTimes) {
    effecttools::EffectFileValue f = testsupport::TreeEffect("vfx/scheduled.vfxb", 2, 0);
    effecttools::UnitValue& unit = f.package.units[0];
    unit.fields.push_back({"bECE", 1});
    unit.unitTimelines.resize(19);
    // Event 18 (the start): at 2 a child of unit 1, at 5 the particle
    // finishes.
    unit.unitTimelines[18].items = {testsupport::EventBytes(2, EventEntry(1, 0, 0, 1)),
                                    testsupport::EventBytes(5, EventEntry(3, 0, 0, 0))};
    testsupport::EventTreeRig rig;
    ASSERT_TRUE(rig.Start(f));
    ParticleInstance* p = rig.Particle(0);
    int ended = -1;
    for (int frame = 1; frame <= 10 && ended < 0; ++frame) {
        Frame();
        if (frame == 4) {
            EXPECT_EQ(testsupport::Children(p).size(), 1u);
        }
        if (!p->alive)
            ended = frame;
    }
    // The schedule starts with the step after the start; its clock reads 5
    // in its sixth step.
    EXPECT_EQ(ended, 6);
    EXPECT_EQ(rig.tree.Release(), 0u);
}

} // namespace
