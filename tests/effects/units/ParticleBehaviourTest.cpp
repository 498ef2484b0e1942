// A particle instance at work: the ten steps of its transform, its world
// matrices and inverse, posted events and their schedules, host objects,
// the inheriting getters, its child effect and its destruction.
#include "effects/Core/Engine/Engine.h"
#include "effects/Core/Engine/EngineWorkData.h"
#include "effects/Core/Engine/InstanceSlot.h"
#include "effects/Core/Math/Matrix.h"
#include "effects/Core/Resource/PackageResource.h"
#include "effects/Core/Resource/UnitResource.h"
#include "effects/units/ChildEffectLink.h"
#include "effects/units/InstanceRootUnit.h"
#include "effects/units/NodeEventBlock.h"
#include "effects/units/ParticleInstance.h"
#include "effects/units/ParticleSpawnSettings.h"
#include "effects/units/UnitCreators.h"
#include "effects/units/UnitEventSchedule.h"
#include "support/effects/StandInParticle.h"
#include "support/effects/UnitTreeRig.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

namespace {

using FulgorCore::InstanceRootUnit;
using FulgorCore::ParticleInstance;
using FulgorCore::TransformBlock;
using FulgorCore::UnitInstance;
using FulgorCore::UnitResource;
using testsupport::Frame;
namespace Engine = FulgorCore::Engine;

// One 14-byte event entry at `time` of kind 9 (an action nothing answers).
std::vector<uint8_t> Event(uint16_t time) {
    std::vector<uint8_t> e(14, 0);
    e[0] = static_cast<uint8_t>(time);
    e[1] = static_cast<uint8_t>(time >> 8);
    e[2] = 9;
    return e;
}

// One event entry at `time` of kind 2 that posts `event` to the particle
// itself (target mode 0, depth 0) with no delay.
std::vector<uint8_t> Trigger(uint16_t time, uint8_t event) {
    std::vector<uint8_t> e = Event(time);
    e[2] = 2;
    e[6] = event;
    return e;
}

effecttools::UnitTimelineValue Record(int events, uint16_t value) {
    effecttools::UnitTimelineValue r;
    for (int i = 0; i < events; ++i)
        r.items.push_back(Event(static_cast<uint16_t>(i)));
    r.life = value;
    return r;
}

effecttools::UnitTimelineValue Link(uint8_t unit, uint8_t record, uint16_t offset) {
    effecttools::UnitTimelineValue r;
    r.otuFlag = true;
    r.otu = unit;
    r.otut = record;
    r.otd = offset;
    return r;
}

class Particles : public testing::Test {
protected:
    // Units: 6 animates scale and translation by tracks, 7 lags behind its
    // position by half and reports it; 0 takes events (records 0-19, record 2 a
    // link to unit 1, 5 a link to a unit that is not there, 6 posting event 7
    // to the particle at once), 1 links on to unit 2, 2 holds the
    // events; 3 takes none; 4 names a host object; 5 refers to a child effect.
    void SetUp() override {
        ASSERT_TRUE(rig_.Start());
        FulgorCore::UnitCreators::Current() = FulgorCore::UnitCreators::kBuiltIn;
        rig_.objects.soundAnswer = 40;
        effecttools::EffectFileValue child = testsupport::TreeEffect("vfx/child.vfxb", 1, 500);
        child_ = rig_.Load(child);
        effecttools::EffectFileValue f = testsupport::TreeEffect("vfx/particles.vfxb", 0);
        effecttools::UnitValue events;
        events.life = 100;
        events.fields.push_back({"bECE", 1});
        for (int i = 0; i < 20; ++i)
            events.unitTimelines.push_back(Record(2, static_cast<uint16_t>(500 + i)));
        events.unitTimelines[2] = Link(1, 3, 5);
        events.unitTimelines[6].items = {Trigger(0, 7)};
        events.unitTimelines[5] = Link(9, 0, 1);
        f.package.units.push_back(events);
        effecttools::UnitValue middle;
        middle.life = 100;
        for (int i = 0; i < 4; ++i)
            middle.unitTimelines.push_back(Record(0, 0));
        middle.unitTimelines[3] = Link(2, 1, 7);
        f.package.units.push_back(middle);
        effecttools::UnitValue last;
        last.life = 100;
        last.unitTimelines.push_back(Record(1, 0));
        last.unitTimelines.push_back(Record(3, 0));
        f.package.units.push_back(last);
        effecttools::UnitValue deaf = events;
        deaf.fields.clear();
        f.package.units.push_back(deaf);
        effecttools::UnitValue host;
        host.life = 100;
        host.sound = "se/ping";
        host.soundParameter = 34;
        f.package.units.push_back(host);
        effecttools::UnitValue referring;
        referring.life = 100;
        referring.reference = "vfx/child.vfxb";
        f.package.units.push_back(referring);
        f.package.referenceCapacity = 1;
        effecttools::UnitValue tracked;
        tracked.life = 100;
        tracked.animation = std::vector<effecttools::AnimationItem>{
            {"Leng", 100.0f, 0, {}},
            {"Scal", 1.0f, 1, {}},
            {"Tran", 1.0f, 1, {}},
            {"SclX", 1.0f, 0, {{0, 2.0f}, {10000, 2.0f}}},
            {"TraY", 1.0f, 0, {{0, -3.0f}, {10000, -3.0f}}}};
        f.package.units.push_back(tracked);
        effecttools::UnitValue lagging;
        lagging.life = 100;
        lagging.fields = {{"bPFc", 1}, {"bFGr", 1}};
        lagging.fuCt = effecttools::Constant(0.5f);
        f.package.units.push_back(lagging);
        effect_ = rig_.Load(f);
        ASSERT_NE(effect_.serial, 0u);
        handle_ = rig_.Play(effect_);
        Frame();
        root_ = rig_.Root(handle_);
        ASSERT_NE(root_, nullptr);
    }
    void TearDown() override { EXPECT_EQ(rig_.Release(), 0u); }

    const UnitResource* Unit(uint32_t i) const { return root_->package->GetUnit(i); }
    ParticleInstance* Spawn(uint32_t unit, UnitInstance* parent = nullptr, float lifetime = 50.0f) {
        const float at[3] = {1.0f, 2.0f, 3.0f};
        UnitInstance* under = parent ? parent : root_;
        ParticleInstance* p = root_->SpawnParticleInstance(under, Unit(unit), at, lifetime, 1.0f);
        under->AddChild(p);
        return p;
    }
    static std::vector<float> Schedules(const ParticleInstance* p) {
        std::vector<float> elapsed;
        for (const FulgorCore::UnitEventSchedule* s = p->scheduleHead; s; s = s->next)
            elapsed.push_back(s->elapsed);
        return elapsed;
    }

    testsupport::UnitTreeRig rig_;
    FulgorCore::ObjectHandle child_;
    FulgorCore::ObjectHandle effect_;
    FulgorCore::InstanceHandle handle_;
    InstanceRootUnit* root_ = nullptr;
};

std::vector<std::string>& Log() {
    static std::vector<std::string> log;
    return log;
}

template <char C> void LogPlain(ParticleInstance*) {
    Log().push_back(std::string(1, C));
}
template <char C> void LogFrame(ParticleInstance*, const FulgorCore::UnitClock&) {
    Log().push_back(std::string(1, C));
}

TEST_F(Particles, TheTransformStepRunsItsTenStepsInOrder) {
    ParticleInstance* p = Spawn(3);
    ASSERT_NE(p, nullptr);
    Log().clear();
    p->colourStep = [](ParticleInstance* node, const FulgorCore::UnitClock&) {
        Log().push_back("colour");
        node->transformBlock->color[3] = 0.5f;
    };
    p->colorInheritMember = [](ParticleInstance* node) {
        Log().push_back("inherit");
        node->transformBlock->color[3] *= 0.5f;
    };
    p->fadeFactor = 0.5f;
    // The alpha is faded before the composition sees it.
    p->composeMember = [](ParticleInstance* node) {
        Log().push_back("compose " + std::to_string(node->transformBlock->color[3]));
    };
    p->scaleStep = LogFrame<'s'>;
    p->interpolateMember = LogFrame<'i'>;
    p->notifyPositionMember = LogPlain<'n'>;
    p->distanceFadeMember = LogPlain<'D'>;
    p->viewAngleFadeMember = LogPlain<'A'>;
    p->sharedTransformMember = LogPlain<'S'>;
    p->postTransformMember = LogPlain<'P'>;
    p->frameListMember = LogPlain<'F'>;
    const float* before = p->currentWorldMatrix;
    p->UpdateTransform();
    EXPECT_EQ(Log(), (std::vector<std::string>{"colour", "inherit", "s", "compose 0.125000", "i",
                                               "n", "D", "A", "S", "P", "F"}));
    // The matrices flipped: the old current is the previous now.
    EXPECT_EQ(p->previousWorldMatrix, before);
    EXPECT_NE(p->currentWorldMatrix, before);
    p->UpdateTransform();
    EXPECT_EQ(p->currentWorldMatrix, before);
}

TEST_F(Particles, TheInverseIsComputedOnceAFrameWhenAsked) {
    ParticleInstance* p = Spawn(3);
    Frame();
    const float* inverse = p->GetInverseWorldMatrix();
    EXPECT_FLOAT_EQ(inverse[9], -1.0f);
    EXPECT_FLOAT_EQ(inverse[11], -3.0f);
    // The matrix changes behind the cache: asked again the same frame, the
    // cached inverse answers.
    p->currentWorldMatrix[9] = 5.0f;
    EXPECT_FLOAT_EQ(p->GetInverseWorldMatrix()[9], -1.0f);
    // The next frame's step clears it.
    Frame();
    EXPECT_FLOAT_EQ(p->GetInverseWorldMatrix()[9], -1.0f);
    p->currentWorldMatrix[9] = 5.0f;
    p->RunUpdateMembers(p->Clock());
    EXPECT_FLOAT_EQ(p->GetInverseWorldMatrix()[9], -1.0f); // recomposed at (1, 2, 3)
    p->transformBlock->transformFlags &= ~TransformBlock::kInverseValid;
    p->currentWorldMatrix[9] = 5.0f;
    EXPECT_FLOAT_EQ(p->GetInverseWorldMatrix()[9], -5.0f);
}

// The particle is evaluated once at time zero: it starts composed, with
// the previous matrix a copy of the current one.
TEST_F(Particles, RightAfterConstructionPreviousIsTheCurrentMatrix) {
    ParticleInstance* p = Spawn(3);
    ASSERT_NE(p->GetPreviousWorldMatrix(), p->GetWorldMatrix());
    EXPECT_EQ(std::vector<float>(p->GetWorldMatrix(), p->GetWorldMatrix() + 12),
              std::vector<float>(p->GetPreviousWorldMatrix(), p->GetPreviousWorldMatrix() + 12));
    EXPECT_FLOAT_EQ(p->GetWorldMatrix()[9], 1.0f);
    p->offset[0] = 4.0f; // composed at (4, 2, 3) from now on
    Frame();
    EXPECT_FLOAT_EQ(p->GetWorldMatrix()[9], 4.0f);
    EXPECT_FLOAT_EQ(p->GetPreviousWorldMatrix()[9], 1.0f);
}

TEST_F(Particles, PostedEventsBecomeSchedulesInOrderUnderOneHold) {
    ParticleInstance* p = Spawn(0);
    ASSERT_NE(p, nullptr);
    Frame(); // the start's event 18 becomes a schedule and finishes
    Frame();
    ASSERT_EQ(p->scheduleHead, nullptr);
    const uint16_t holds = p->holdCount;
    rig_.listener.unitEvents.clear();
    p->PostEvent(4, 1);
    p->PostEvent(0, 3);
    p->Step();
    // Two schedules in posting order, each at minus its delay (then one
    // step of the frame), and one hold for both.
    ASSERT_EQ(Schedules(p).size(), 2u);
    EXPECT_FLOAT_EQ(Schedules(p)[0], -4.0f + 1.0f);
    EXPECT_FLOAT_EQ(Schedules(p)[1], 0.0f + 1.0f);
    EXPECT_EQ(p->holdCount, holds + 1);
    EXPECT_EQ(p->runSchedulesMember != ParticleInstance::NoOpPlain, true);
    // Listener slot 13: (event, the record's value) per event.
    EXPECT_EQ(rig_.listener.unitEvents,
              (std::vector<std::pair<uint32_t, uint32_t>>{{1, 501}, {3, 503}}));
    for (int i = 0; i < 8; ++i)
        Frame();
    EXPECT_EQ(p->scheduleHead, nullptr);
    EXPECT_EQ(p->holdCount, holds);
    EXPECT_EQ(p->runSchedulesMember, ParticleInstance::NoOpPlain);
}

TEST_F(Particles, AScheduleQueuedByTheStepOfTheLastIsKept) {
    ParticleInstance* p = Spawn(0);
    Frame();
    Frame();
    ASSERT_EQ(p->scheduleHead, nullptr);
    const uint16_t holds = p->holdCount;
    const uint32_t blocks = testsupport::UnitTreeRig::UsedBlocks();
    // Record 6, the only schedule, fires its one event and finishes; the
    // event queues record 7 behind it.
    p->PostEvent(0, 6);
    p->Step();
    ASSERT_EQ(Schedules(p), std::vector<float>{0.0f});
    EXPECT_EQ(p->scheduleHead->events, Unit(0)->GetUnitTimeline(7));
    EXPECT_EQ(p->scheduleTail, p->scheduleHead);
    EXPECT_EQ(p->holdCount, holds + 1);
    // Its events at 0 and 1 run in the next two steps; then the hold and
    // the block go back.
    Frame();
    EXPECT_EQ(Schedules(p), std::vector<float>{1.0f});
    Frame();
    EXPECT_EQ(p->scheduleHead, nullptr);
    EXPECT_EQ(p->holdCount, holds);
    EXPECT_EQ(testsupport::UnitTreeRig::UsedBlocks(), blocks);
}

TEST_F(Particles, ALinkChainAddsEveryOffsetToTheDelay) {
    ParticleInstance* p = Spawn(0);
    Frame();
    Frame();
    p->PostEvent(3, 2);  // record 2 -> unit 1 record 3 (+5) -> unit 2 record 1 (+7)
    p->PostEvent(0, 5);  // links to a unit that is not there: nothing
    p->PostEvent(0, 30); // no such record: nothing
    p->ProcessPostedEvents();
    ASSERT_EQ(Schedules(p).size(), 1u);
    // Started at -(3 + 5 + 7) and stepped once.
    EXPECT_FLOAT_EQ(Schedules(p)[0], -15.0f + 1.0f);
    EXPECT_EQ(p->scheduleHead->events, Unit(2)->GetUnitTimeline(1));
}

TEST_F(Particles, TheNinthEventOfAFrameIsDropped) {
    ParticleInstance* p = Spawn(0);
    Frame();
    Frame();
    for (uint8_t i = 0; i < 9; ++i)
        p->PostEvent(0, i < 8 ? 0 : 1);
    p->ProcessPostedEvents();
    EXPECT_EQ(Schedules(p).size(), 8u);
    for (const auto& e : rig_.listener.unitEvents)
        EXPECT_NE(e.first, 1u);
}

TEST_F(Particles, StartAndLoopEndPostOnlyWhenEventsAreEnabled) {
    ParticleInstance* hearing = Spawn(0);
    ParticleInstance* deaf = Spawn(3);
    ASSERT_NE(hearing->postedEvents, nullptr);
    EXPECT_EQ(deaf->postedEvents, nullptr);
    // Under the root, which does not loop, the particle was switched to not
    // looping (event 19) before it started (event 18).
    ASSERT_EQ(hearing->postedEvents->count, 2);
    EXPECT_EQ(hearing->postedEvents->kinds[0], 19);
    EXPECT_EQ(hearing->postedEvents->kinds[1], 18);
    hearing->OnLoopEnd();
    EXPECT_EQ(hearing->postedEvents->kinds[2], 19);
}

TEST_F(Particles, AHostObjectStartsWithTheParticleAndStopsAtItsEnd) {
    rig_.listener.hostAnswer = 77;
    ParticleInstance* p = Spawn(4);
    ASSERT_EQ(rig_.listener.hostStarts.size(), 1u);
    const auto& start = rig_.listener.hostStarts[0];
    EXPECT_EQ(start.id, 40u);
    EXPECT_EQ(start.name, "se/ping");
    EXPECT_EQ(start.parameter, 34u);
    EXPECT_EQ(start.position, (std::vector<float>{1.0f, 2.0f, 3.0f}));
    EXPECT_TRUE(rig_.listener.hostStops.empty());
    p->Finish();
    ASSERT_EQ(rig_.listener.hostStops.size(), 1u);
    EXPECT_EQ(rig_.listener.hostStops[0].id, 40u);
    EXPECT_EQ(rig_.listener.hostStops[0].handle, 77u);
    // No id: nothing either way.
    ParticleInstance* none = Spawn(3);
    none->Finish();
    EXPECT_EQ(rig_.listener.hostStarts.size(), 1u);
    EXPECT_EQ(rig_.listener.hostStops.size(), 1u);
}

TEST_F(Particles, NoListenerNoHostObject) {
    const FulgorCore::InstanceHandle alone = rig_.PlayAlone(effect_);
    Frame();
    InstanceRootUnit* root = rig_.Root(alone);
    ASSERT_NE(root, nullptr);
    const float at[3] = {};
    ParticleInstance* p = root->SpawnParticleInstance(root, Unit(4), at, 5.0f, 1.0f);
    root->AddChild(p);
    p->Finish();
    EXPECT_TRUE(rig_.listener.hostStarts.empty());
    EXPECT_TRUE(rig_.listener.hostStops.empty());
}

TEST_F(Particles, GettersInheritByTheirMode) {
    ParticleInstance* parent = Spawn(3);
    ParticleInstance* p = Spawn(3, parent);
    parent->inheritFlags = 0; // mode 0: its own
    parent->scale[0] = parent->scale[1] = parent->scale[2] = 2.0f;
    parent->rotation[0] = 0.5f;
    parent->rotation[2] = 0.25f;
    p->scale[0] = 0.5f;
    p->rotation[0] = 0.1f;
    p->rotation[1] = 0.2f;
    p->rotation[2] = 0.3f;
    p->inheritedRotation[0] = 1.0f;
    p->inheritedRotation[2] = 2.0f;
    float out[3];
    // Mode 1: own + the rotation taken at construction.
    p->inheritFlags = 1u << 16;
    p->GetVector1(out);
    EXPECT_FLOAT_EQ(out[0], 1.1f);
    EXPECT_FLOAT_EQ(out[1], 0.2f);
    EXPECT_FLOAT_EQ(out[2], 2.3f);
    // Mode 2: the parent's scale times the own.
    p->inheritFlags = 2u << 16;
    p->GetVector0(out);
    EXPECT_EQ(std::vector<float>(out, out + 3), (std::vector<float>{1.0f, 2.0f, 2.0f}));
    // Mode 2 rotation: the own written over the parent's answer.
    p->GetVector1(out);
    EXPECT_EQ(std::vector<float>(out, out + 3), (std::vector<float>{0.1f, 0.2f, 0.3f}));
    // Mode 3 with the rotation bit: parent's plus own.
    p->inheritFlags = 3u << 16 | ParticleInstance::kInheritRotationBit;
    p->GetVector1(out);
    EXPECT_FLOAT_EQ(out[0], 0.6f);
    EXPECT_FLOAT_EQ(out[2], 0.55f);
    p->GetVector0(out); // no scale bit: own
    EXPECT_FLOAT_EQ(out[0], 0.5f);
    // Slots 24 and 25: (x, y, 0) and (0, 0, z).
    p->inheritFlags = 0;
    float five[3] = {9.0f, 9.0f, 9.0f};
    p->GetVector5(five);
    EXPECT_EQ(std::vector<float>(five, five + 3), (std::vector<float>{0.1f, 0.2f, 0.0f}));
    float six[3] = {9.0f, 9.0f, 9.0f};
    p->GetVector6(six);
    EXPECT_EQ(std::vector<float>(six, six + 3), (std::vector<float>{0.0f, 0.0f, 0.3f}));
    // An inherit mode outside 0-3 leaves the output alone.
    p->inheritFlags = 7u << 16;
    float untouched[3] = {4.0f, 4.0f, 4.0f};
    p->GetVector0(untouched);
    EXPECT_EQ(untouched[0], 4.0f);
}

// Each getter of slots 19 to 25 by inherit mode: 0 own; 1 own times (scale)
// or plus (rotation) the values taken at construction; 2 the parent's scale
// times own, the parent's rotation answer with own written over it; 3 with
// its bit the parent's times or plus own, else own. Slots 21 and 22 write
// x and y or z only; 23 is slot 20 with own x and y, 24 slot 21 with z 0,
// 25 slot 22 with x and y 0. The parent (mode 0) has scale (2, 3, 4) and
// rotation (0.5, 0.75, 0.25); the particle scale (0.5, 1, 2), rotation
// (0.1, 0.2, 0.3), taken scale (3, 5, 7) and rotation (1, 2, 4); the output
// starts at (9, 9, 9).
TEST_F(Particles, EachGetterInheritsByItsMode) {
    using Getter = void (UnitInstance::*)(float*) const;
    constexpr uint32_t kScaleBit = ParticleInstance::kInheritScaleBit;
    constexpr uint32_t kRotationBit = ParticleInstance::kInheritRotationBit;
    struct Case {
        const char* name;
        uint32_t flags;
        Getter getter;
        float out[3];
    };
    const Case cases[] = {
        {"slot 19, mode 0: own", 0, &UnitInstance::GetVector0, {0.5f, 1, 2}},
        {"slot 19, mode 1: own times the taken scale", 1u << 16, &UnitInstance::GetVector0,
         {1.5f, 5, 14}},
        {"slot 19, mode 2: the parent's times own", 2u << 16, &UnitInstance::GetVector0,
         {1, 3, 8}},
        {"slot 19, mode 3 with its bit: as mode 2", 3u << 16 | kScaleBit,
         &UnitInstance::GetVector0, {1, 3, 8}},
        {"slot 19, mode 3 with the rotation bit only: own", 3u << 16 | kRotationBit,
         &UnitInstance::GetVector0, {0.5f, 1, 2}},
        {"slot 20, mode 0: own", 0, &UnitInstance::GetVector1, {0.1f, 0.2f, 0.3f}},
        {"slot 20, mode 1: own plus the taken rotation", 1u << 16, &UnitInstance::GetVector1,
         {1.1f, 2.2f, 4.3f}},
        {"slot 20, mode 3 with its bit: the parent's plus own", 3u << 16 | kRotationBit,
         &UnitInstance::GetVector1, {0.6f, 0.95f, 0.55f}},
        {"slot 20, mode 3 with the scale bit only: own", 3u << 16 | kScaleBit,
         &UnitInstance::GetVector1, {0.1f, 0.2f, 0.3f}},
        {"slot 21, mode 1: x and y, z untouched", 1u << 16, &UnitInstance::GetVector2,
         {1.1f, 2.2f, 9}},
        {"slot 21, mode 2: own x and y over the parent's", 2u << 16, &UnitInstance::GetVector2,
         {0.1f, 0.2f, 9}},
        {"slot 21, mode 3 with its bit", 3u << 16 | kRotationBit, &UnitInstance::GetVector2,
         {0.6f, 0.95f, 9}},
        {"slot 22, mode 1: z only", 1u << 16, &UnitInstance::GetVector3, {9, 9, 4.3f}},
        {"slot 22, mode 2: own z over the parent's", 2u << 16, &UnitInstance::GetVector3,
         {9, 9, 0.3f}},
        {"slot 22, mode 3 with its bit", 3u << 16 | kRotationBit, &UnitInstance::GetVector3,
         {9, 9, 0.55f}},
        {"slot 23, mode 1: own x and y, inherited z", 1u << 16, &UnitInstance::GetVector4,
         {0.1f, 0.2f, 4.3f}},
        {"slot 23, mode 3 with its bit", 3u << 16 | kRotationBit, &UnitInstance::GetVector4,
         {0.1f, 0.2f, 0.55f}},
        {"slot 24, mode 1: x and y, z 0", 1u << 16, &UnitInstance::GetVector5, {1.1f, 2.2f, 0}},
        {"slot 25, mode 1: z, x and y 0", 1u << 16, &UnitInstance::GetVector6, {0, 0, 4.3f}},
        {"slot 20, mode 4: untouched", 4u << 16, &UnitInstance::GetVector1, {9, 9, 9}},
    };
    ParticleInstance* parent = Spawn(3);
    ParticleInstance* p = Spawn(3, parent);
    parent->inheritFlags = 0;
    const float parentScale[3] = {2, 3, 4}, parentRotation[3] = {0.5f, 0.75f, 0.25f};
    const float scale[3] = {0.5f, 1, 2}, rotation[3] = {0.1f, 0.2f, 0.3f};
    const float takenScale[3] = {3, 5, 7}, takenRotation[3] = {1, 2, 4};
    std::copy(parentScale, parentScale + 3, parent->scale);
    std::copy(parentRotation, parentRotation + 3, parent->rotation);
    std::copy(scale, scale + 3, p->scale);
    std::copy(rotation, rotation + 3, p->rotation);
    std::copy(takenScale, takenScale + 3, p->inheritedScale);
    std::copy(takenRotation, takenRotation + 3, p->inheritedRotation);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        p->inheritFlags = c.flags;
        float out[3] = {9, 9, 9};
        (p->*c.getter)(out);
        EXPECT_FLOAT_EQ(out[0], c.out[0]);
        EXPECT_FLOAT_EQ(out[1], c.out[1]);
        EXPECT_FLOAT_EQ(out[2], c.out[2]);
    }
}

// Transform mode 1 takes the parent's scale and rotation getters once, at
// construction; mode 2 asks the parent each time. The parent's (2, 3, 4)
// and (0.5, 0.75, 0.25) then become (9, 9, 9) and (1, 1, 1).
TEST_F(Particles, ModeOneTakesTheParentsScaleAndRotationWhenBuilt) {
    struct Case {
        const char* name;
        uint8_t transformMode;
        float scale[3];
        float rotation[3];
    };
    const Case cases[] = {
        {"mode 1: what the parent had", 1, {2, 3, 4}, {0.5f, 0.75f, 0.25f}},
        {"mode 2: what the parent has", 2, {9, 9, 9}, {0, 0, 0}},
    };
    ParticleInstance* parent = Spawn(3);
    parent->inheritFlags = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const float parentScale[3] = {2, 3, 4}, parentRotation[3] = {0.5f, 0.75f, 0.25f};
        std::copy(parentScale, parentScale + 3, parent->scale);
        std::copy(parentRotation, parentRotation + 3, parent->rotation);
        UnitInstance::InitialState state;
        state.parent = parent;
        state.timeMode = UnitInstance::kEndless;
        const FulgorCore::ParticleSpawnSettings link{{0xFF, 0, 0, 0, 0, 0, c.transformMode, 0}};
        const float zero[3] = {0, 0, 0};
        auto* p = UnitInstance::Create<ParticleInstance>(root_, nullptr, state, Unit(3), &link, -1,
                                                         zero, zero, zero, zero, zero);
        ASSERT_NE(p, nullptr);
        const float laterScale[3] = {9, 9, 9}, laterRotation[3] = {1, 1, 1};
        std::copy(laterScale, laterScale + 3, parent->scale);
        std::copy(laterRotation, laterRotation + 3, parent->rotation);
        float scale[3], rotation[3];
        p->GetVector0(scale);
        p->GetVector1(rotation);
        EXPECT_EQ(std::vector<float>(scale, scale + 3), std::vector<float>(c.scale, c.scale + 3));
        EXPECT_EQ(std::vector<float>(rotation, rotation + 3),
                  std::vector<float>(c.rotation, c.rotation + 3));
        delete p;
    }
}

TEST_F(Particles, TheDefaultAxisIsTheZeroVectorAndPlanesAverageTwoRows) {
    ParticleInstance* p = Spawn(3);
    Frame();
    p->currentWorldMatrix[0] = 4.0f; // |X| 4, |Y| 1, |Z| 1
    float axis[3] = {9.0f, 9.0f, 9.0f};
    ParticleInstance::GetDefaultAxis(p, axis);
    EXPECT_EQ(std::vector<float>(axis, axis + 3), (std::vector<float>{0.0f, 0.0f, 0.0f}));
    EXPECT_FLOAT_EQ(ParticleInstance::GetPlaneScaleXY(p), 2.5f);
    EXPECT_FLOAT_EQ(ParticleInstance::GetPlaneScaleYZ(p), 1.0f);
    ParticleInstance::GetAxisX(p, axis);
    EXPECT_EQ(axis[0], 4.0f);
}

TEST_F(Particles, TheTrackEvaluatorCoversExactlyTheAnimatedGroups) {
    ParticleInstance* tracked = Spawn(6);
    ParticleInstance* plain = Spawn(3);
    EXPECT_EQ(tracked->transformTracksMember, ParticleInstance::EvaluateTracksST);
    EXPECT_EQ(plain->transformTracksMember, ParticleInstance::NoOpWithArgument);
    tracked->rotation[2] = 0.5f;
    Frame();
    EXPECT_FLOAT_EQ(tracked->scale[0], 2.0f);
    EXPECT_FLOAT_EQ(tracked->position[1], -3.0f);
    EXPECT_FLOAT_EQ(tracked->rotation[2], 0.5f); // rotation is not animated
}

TEST_F(Particles, ALaggingParticleGoesHalfWayAndReportsWhereItIs) {
    ParticleInstance* p = Spawn(7);
    EXPECT_EQ(p->interpolateMember, ParticleInstance::InterpolatePosition);
    EXPECT_EQ(p->notifyPositionMember, ParticleInstance::NotifyListenerPosition);
    Frame();
    EXPECT_FLOAT_EQ(p->GetWorldMatrix()[9], 1.0f);
    p->offset[0] = 5.0f;
    Frame();
    // Composed at 5, drawn back half way from 1.
    EXPECT_FLOAT_EQ(p->GetWorldMatrix()[9], 3.0f);
    Frame();
    EXPECT_FLOAT_EQ(p->GetWorldMatrix()[9], 4.0f);
    // Told at time zero, then once a frame.
    ASSERT_EQ(rig_.listener.positions.size(), 4u);
    EXPECT_EQ(rig_.listener.positions[0], (std::vector<float>{1.0f, 2.0f, 3.0f}));
    EXPECT_EQ(rig_.listener.positions[2], (std::vector<float>{3.0f, 2.0f, 3.0f}));
    // Without the flags neither member.
    ParticleInstance* plain = Spawn(3);
    EXPECT_EQ(plain->interpolateMember, ParticleInstance::NoOpWithArgument);
    EXPECT_EQ(plain->notifyPositionMember, ParticleInstance::NoOpPlain);
}

TEST_F(Particles, DeletingAParticleSetsItsRunningChildEffectDead) {
    ParticleInstance* p = Spawn(5);
    ASSERT_NE(p->childEffectLink, nullptr);
    const FulgorCore::InstanceHandle child{p->childEffectLink->index, p->childEffectLink->serial};
    Frame();
    Frame();
    FulgorCore::InstanceSlot* record = testsupport::Record(child);
    ASSERT_NE(record, nullptr);
    EXPECT_EQ(p->childEffectLink->root, record->root);
    // It holds the particle past its end while the child plays.
    EXPECT_GE(p->holdCount, 1);
    Engine::GetWorkData()->pressedUnit = p;
    Engine::GetWorkData()->hoveredUnit = p;
    p->holdCount = 0;
    p->Finish();
    Frame();
    EXPECT_EQ(Engine::GetWorkData()->pressedUnit, nullptr);
    EXPECT_EQ(Engine::GetWorkData()->hoveredUnit, nullptr);
    EXPECT_EQ(record->state, FulgorCore::InstanceSlot::kDead);
}

TEST_F(Particles, AChildEffectWhoseSlotWasReusedIsLeftAlone) {
    ParticleInstance* p = Spawn(5);
    ASSERT_NE(p->childEffectLink, nullptr);
    const FulgorCore::InstanceHandle child{p->childEffectLink->index, p->childEffectLink->serial};
    // The child goes before its root ever ran; another instance takes the
    // record.
    Engine::KillInstance(child.index, child.serial);
    Frame();
    const FulgorCore::InstanceHandle other = rig_.Play(child_);
    Frame();
    FulgorCore::InstanceSlot* record = testsupport::Record(other);
    ASSERT_NE(record, nullptr);
    // Keep the particle's stale handle to that record.
    p->childEffectLink->index = child.index;
    p->childEffectLink->serial = child.serial;
    p->childEffectLink->root = nullptr;
    p->holdCount = 0;
    p->postTransformMember = ParticleInstance::NoOpPlain;
    p->Finish();
    Frame();
    EXPECT_NE(record->state, FulgorCore::InstanceSlot::kDead);
    EXPECT_TRUE(Engine::IsInstancePlaying(other.index, other.serial));
}

TEST_F(Particles, AChildEffectEndingGivesBackItsHold) {
    ParticleInstance* p = Spawn(5);
    ASSERT_NE(p->childEffectLink, nullptr);
    Frame();
    Frame();
    InstanceRootUnit* childRoot = p->childEffectLink->root;
    ASSERT_NE(childRoot, nullptr);
    const uint16_t holds = p->holdCount;
    p->OnChildInstanceEnded(root_); // not its child: nothing
    EXPECT_EQ(p->holdCount, holds);
    // The child is killed; its root tells the particle as it goes.
    Engine::KillInstance(p->childEffectLink->index, p->childEffectLink->serial);
    Frame();
    EXPECT_EQ(p->holdCount, holds - 1);
    EXPECT_EQ(p->childEffectLink->serial, 0u);
    EXPECT_EQ(p->childEffectLink->root, nullptr);
}

} // namespace
