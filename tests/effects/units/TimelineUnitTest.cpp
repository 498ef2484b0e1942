// Timeline units and their commands, on effects written by the effect-file
// writer: which entries take part and when they fire, the unit entries'
// fit modes and bindings, and the six commands.
#include "support/effects/RecordingUnit.h"
#include "support/effects/UnitTreeRig.h"

#include "effects/Core/Engine/EngineWorkData.h"
#include "effects/Core/Engine/ObjectSlot.h"
#include "effects/Core/Resource/BindResource.h"
#include "effects/Core/Resource/PackageResource.h"
#include "effects/units/TimelineCommand.h"
#include "effects/units/TimelineUnit.h"

#include <gtest/gtest.h>

#include <array>
#include <set>
#include <string>
#include <vector>

namespace {

using FulgorCore::InstanceHandle;
using FulgorCore::InstanceRootUnit;
using FulgorCore::ObjectHandle;
using FulgorCore::TimelineUnit;
using FulgorCore::UnitInstance;
using testsupport::AddTimeline;
using testsupport::ChildIds;
using testsupport::Children;
using testsupport::CommandClip;
using testsupport::CommandItem;
using testsupport::Frame;
using testsupport::RecordingUnit;
using testsupport::TreeEffect;
using testsupport::UnitItem;
namespace Engine = FulgorCore::Engine;

using Items = std::vector<effecttools::TimelineItemValue>;

class Timelines : public testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(rig_.Start()); }
    void TearDown() override { EXPECT_EQ(rig_.Release(), 0u); }

    // Plays `f` for one frame and returns its root.
    InstanceRootUnit* PlayOneFrame(const effecttools::EffectFileValue& f) {
        effect_ = rig_.Load(f);
        instance_ = rig_.Play(effect_);
        Frame();
        return rig_.Root(instance_);
    }
    const FulgorCore::PackageResource* Package() const {
        return Engine::GetWorkData()->objects.base[effect_.index].package;
    }
    // The package unit index of each particle asked for, in order.
    std::vector<int> ParticleUnits() const {
        std::vector<int> units;
        for (const auto& call : rig_.creators.particles)
            for (uint32_t i = 0; i < Package()->GetUnitCount(); ++i)
                if (Package()->GetUnit(i) == call.unit)
                    units.push_back(static_cast<int>(i));
        return units;
    }
    // An effect whose first place plays a timeline of `length` with `items`.
    static effecttools::EffectFileValue OnePlace(Items items, int32_t length = 100, int units = 4) {
        effecttools::EffectFileValue f = TreeEffect("vfx/timeline.vfxb", units);
        f.package.assignments.push_back({AddTimeline(f, length, std::move(items)), std::nullopt});
        return f;
    }

    testsupport::UnitTreeRig rig_;
    ObjectHandle effect_;
    InstanceHandle instance_;
};

TEST_F(Timelines, EntriesOutsideTheFlagWordOrSwitchedOffNeitherFireNorHold) {
    Items items = {UnitItem(0, 2, 12, 0, -1, 0x01), UnitItem(1, 2, 12, 0, -1, 0x02),
                   UnitItem(2, 2, 12, 0, -1, 0x00), UnitItem(3, 2, 12, 0, -1, 0x02)};
    items[3].enabled = 0;
    effect_ = rig_.Load(OnePlace(items, 10));
    instance_ = Engine::CreateInstance(effect_.index, effect_.serial, &rig_.listener);
    // Byte 0 set: bit 0 of the flag word is clear (0xFE).
    const uint8_t flags[8] = {1, 0, 0, 0, 0, 0, 0, 0};
    Engine::SetInstanceTimelineFlags(instance_.index, instance_.serial, flags);
    Engine::PlayInstance(instance_.index, instance_.serial, 1.0f, 0);
    Frame();
    InstanceRootUnit* root = rig_.Root(instance_);
    auto* timeline = static_cast<TimelineUnit*>(root->firstChild);
    ASSERT_NE(timeline, nullptr);
    EXPECT_EQ(timeline->holdCount, 1);
    EXPECT_EQ(timeline->doneMask, ~uint64_t{0} & ~uint64_t{2});
    Frame();
    EXPECT_EQ(ParticleUnits(), std::vector<int>{1});
    EXPECT_EQ(timeline->holdCount, 0);
    for (int i = 0; i < 8; ++i)
        Frame();
    // Time 10: the timeline ends on time, nothing held it.
    EXPECT_EQ(root->firstChild, nullptr);
    EXPECT_EQ(ParticleUnits(), std::vector<int>{1});
}

TEST_F(Timelines, EntriesFromSixtyFourOnNeverTakePart) {
    Items items(64, UnitItem(0, 0, 10));
    items.push_back(UnitItem(1, 0, 10));
    InstanceRootUnit* root = PlayOneFrame(OnePlace(items, 5));
    EXPECT_EQ(ParticleUnits(), std::vector<int>(64, 0));
    EXPECT_EQ(root->firstChild->holdCount, 0);
    for (int i = 0; i < 5; ++i)
        Frame();
    EXPECT_EQ(ParticleUnits(), std::vector<int>(64, 0));
    EXPECT_EQ(root->firstChild, nullptr);
}

TEST_F(Timelines, EntriesDueTogetherFireInIndexOrderAtTheTimelinesPosition) {
    effecttools::EffectFileValue f =
        OnePlace({UnitItem(0, 5, 9), UnitItem(1, 2, 9), UnitItem(2, 5, 9), UnitItem(3, 0, 9)}, 20);
    f.package.units[2].loopStart = 4;
    f.package.units[2].loopEnd = 8;
    effect_ = rig_.Load(f);
    instance_ = rig_.Play(effect_);
    const float m[16] = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 1, 2, 3, 1};
    Engine::SetInstanceMatrix(instance_.index, instance_.serial, m);
    std::vector<std::vector<int>> byFrame;
    for (int frame = 1; frame <= 5; ++frame) {
        Frame();
        byFrame.push_back(ParticleUnits());
    }
    EXPECT_EQ(byFrame[0], std::vector<int>{3});
    EXPECT_EQ(byFrame[1], (std::vector<int>{3, 1}));
    EXPECT_EQ(byFrame[3], (std::vector<int>{3, 1}));
    EXPECT_EQ(byFrame[4], (std::vector<int>{3, 1, 0, 2}));
    const auto& call = rig_.creators.particles[3];
    EXPECT_EQ(call.position, (std::array<float, 3>{1, 2, 3}));
    EXPECT_EQ(call.state.parent, rig_.Root(instance_)->firstChild);
    EXPECT_EQ(call.state.loopStart, 4.0f);
    EXPECT_EQ(call.state.loopEnd, 8.0f);
    EXPECT_EQ(call.root, rig_.Root(instance_));
    // The timeline's matrices are its parent's.
    const FulgorCore::UnitInstance* timeline = rig_.Root(instance_)->firstChild;
    EXPECT_EQ(timeline->GetWorldMatrix(), rig_.Root(instance_)->GetWorldMatrix());
    EXPECT_EQ(timeline->GetInverseWorldMatrix(), rig_.Root(instance_)->GetInverseWorldMatrix());
}

struct FitCase {
    uint16_t fit;
    float lifetime;
    float speed;
    uint32_t timeMode;
};

TEST_F(Timelines, FitModesFitTheUnitsLengthToTheSpan) {
    // Unit length 60, span 30.
    const FitCase cases[] = {{0, 60.0f, 1.0f, 0},
                             {1, 30.0f, 2.0f, 0},
                             {2, 30.0f, 1.0f, 0},
                             {3, -1.0f, 1.0f, 1},
                             {7, 60.0f, 1.0f, 0}};
    Items items;
    for (const FitCase& c : cases)
        items.push_back(UnitItem(0, 0, 30, c.fit));
    PlayOneFrame(OnePlace(items, 40));
    ASSERT_EQ(rig_.creators.particles.size(), 5u);
    for (size_t i = 0; i < 5; ++i) {
        SCOPED_TRACE(cases[i].fit);
        const auto& state = rig_.creators.particles[i].state;
        EXPECT_EQ(state.lifetime, cases[i].lifetime);
        EXPECT_EQ(state.speed, cases[i].speed);
        EXPECT_EQ(state.timeMode, cases[i].timeMode);
    }
}

TEST_F(Timelines, ABoundUnitEntryBuildsCarriersThatStartTheUnit) {
    effecttools::EffectFileValue f = OnePlace({UnitItem(0, 0, 30, 1, 0), UnitItem(0, 0, 30, 3, 0)});
    effecttools::BindValue bind;
    bind.mode = 0;
    bind.life = 90;
    f.package.binds.push_back(bind);
    rig_.listener.targetsX = {4, 5};
    InstanceRootUnit* root = PlayOneFrame(f);
    ASSERT_EQ(rig_.creators.carriers.size(), 4u);
    EXPECT_TRUE(rig_.creators.particles.empty());
    const auto& fitted = rig_.creators.carriers[0];
    EXPECT_EQ(fitted.targetA, 4u);
    EXPECT_EQ(rig_.creators.carriers[1].targetA, 5u);
    EXPECT_EQ(fitted.state.parent, root->firstChild);
    EXPECT_EQ(fitted.state.lifetime, 30.0f);
    EXPECT_EQ(fitted.state.speed, 3.0f); // 90 frames of the binding in 30
    EXPECT_EQ(fitted.state.timeMode, UnitInstance::kEndAtTime);
    EXPECT_EQ(fitted.child.childKind, FulgorCore::ChildStart::kParticle);
    EXPECT_EQ(fitted.child.unit, Package()->GetUnit(0));
    EXPECT_EQ(fitted.child.childLifetime, 30.0f);
    EXPECT_EQ(fitted.child.childSpeed, 2.0f);
    const auto& endless = rig_.creators.carriers[2];
    EXPECT_EQ(endless.state.lifetime, 90.0f);
    EXPECT_EQ(endless.state.speed, 1.0f);
    EXPECT_EQ(endless.state.timeMode, UnitInstance::kEndless);
    EXPECT_EQ(endless.child.childLifetime, -1.0f);
}

TEST_F(Timelines, UnitAndBindingIndicesPastThePackageStartNothingButStillFire) {
    InstanceRootUnit* root = PlayOneFrame(
        OnePlace({UnitItem(99, 0, 5), UnitItem(-3, 0, 5), UnitItem(0, 0, 5, 0, 77)}, 4));
    EXPECT_TRUE(rig_.creators.particles.empty());
    EXPECT_TRUE(rig_.creators.carriers.empty());
    EXPECT_EQ(root->firstChild->holdCount, 0);
    for (int i = 0; i < 3; ++i)
        Frame();
    EXPECT_EQ(root->firstChild, nullptr); // ended at its length
}

TEST_F(Timelines, AHoldOutlivesTheTimelinesLength) {
    InstanceRootUnit* root = PlayOneFrame(OnePlace({UnitItem(0, 8, 9)}, 3));
    for (int i = 0; i < 6; ++i)
        Frame();
    // Time 7, past its length of 3: still waiting for the entry at 8.
    ASSERT_NE(root->firstChild, nullptr);
    EXPECT_EQ(root->firstChild->alive, 1);
    Frame();
    EXPECT_EQ(ParticleUnits(), std::vector<int>{0});
    Frame();
    EXPECT_EQ(root->firstChild, nullptr);
}

TEST_F(Timelines, FiredEntriesAreNotReArmedByALoop) {
    InstanceRootUnit* root = PlayOneFrame(OnePlace({}, 0));
    const FulgorCore::TimelineResource* timeline = nullptr;
    effecttools::EffectFileValue f = OnePlace({UnitItem(1, 1, 2)});
    const ObjectHandle other = rig_.Load(f);
    timeline = Engine::GetWorkData()->objects.base[other.index].package->GetTimeline(0);
    UnitInstance::InitialState looping = TimelineUnit::StateFor(root, 0.0f);
    looping.loopEnd = 3.0f;
    // Stepped on its own, so its loop is kept.
    auto* unit = UnitInstance::Create<TimelineUnit>(root, looping, timeline, int8_t{5});
    ASSERT_EQ(unit->loopMember, UnitInstance::WrapLoopTime);
    for (int i = 0; i < 10; ++i)
        unit->Update(1.0f);
    EXPECT_LT(unit->time, 3.0f);
    EXPECT_EQ(rig_.creators.particles.size(), 1u);
    delete unit;
}

// The root's timeline units with ids 1, 2 (places 0 and 1), -1 and -3
// (extra timelines 1 and 3), each with a recording child; the unit with
// id 2 runs `command` at frame 2.
class Commands : public Timelines {
protected:
    std::vector<RecordingUnit*> Build(const std::vector<uint8_t>& command) {
        effecttools::EffectFileValue f = TreeEffect("vfx/commands.vfxb");
        const int16_t plain = AddTimeline(f, 100, {});
        const int16_t issuer = AddTimeline(f, 100, {CommandItem(command, 2)});
        f.package.assignments = {{plain, std::nullopt}, {issuer, std::nullopt}};
        f.package.triggers = {{plain, std::nullopt}, {plain, std::nullopt}, {plain, std::nullopt}};
        effect_ = rig_.Load(f);
        instance_ = rig_.Play(effect_);
        Engine::SetInstanceFlagBit(instance_.index, instance_.serial, 1);
        Engine::SetInstanceFlagBit(instance_.index, instance_.serial, 3);
        Frame();
        root_ = rig_.Root(instance_);
        EXPECT_EQ(ChildIds(root_), (std::vector<int>{1, 2, -1, -3}));
        std::vector<RecordingUnit*> below;
        for (UnitInstance* timeline : Children(root_)) {
            auto* unit = UnitInstance::Create<RecordingUnit>(
                root_, RecordingUnit::Clock(timeline, 0.0f), UnitInstance::kParticleNode);
            timeline->AddChild(unit);
            below.push_back(unit);
        }
        Frame();
        return below;
    }

    InstanceRootUnit* root_ = nullptr;
};

struct CriterionCase {
    const char* tag;
    uint32_t criterion;
    uint32_t value;
    std::set<int> chosen;
};

TEST_F(Commands, KillAndLoopStopChooseByTheirCriteria) {
    const CriterionCase cases[] = {
        {"KILL", 0, 0, {1, 2, -1, -3}},
        {"KILL", 1, 0, {1, 2}},
        {"KILL", 2, 0, {-1, -3}},
        {"KILL", 3, 0, {1}},
        {"KILL", 4, 2, {-3}},
        {"KILL", 5, 0, {1, -1, -3}},
        {"KILL", 6, 0, {1}},
        {"KILL", 7, 0, {-1, -3}},
        {"KILL", 8, 0, {}},
        {"ULLP", 0, 0, {1, 2, -1, -3}},
        {"ULLP", 1, 0, {1, 2}},
        {"ULLP", 2, 0, {-1, -3}},
        {"ULLP", 3, 1, {1}},
        {"ULLP", 4, 3, {-3}},
        {"ULLP", 5, 0, {1, -1, -3}},
        {"ULLP", 6, 0, {1}},
        {"ULLP", 7, 0, {-1, -3}},
        {"ULLP", 9, 0, {}},
    };
    for (const CriterionCase& c : cases) {
        SCOPED_TRACE(std::string(c.tag) + " " + std::to_string(c.criterion));
        const bool kill = std::string(c.tag) == "KILL";
        const std::vector<RecordingUnit*> below =
            Build(CommandClip(c.tag, {c.criterion, c.value, 6}));
        const std::vector<UnitInstance*> timelines = Children(root_);
        ASSERT_EQ(timelines.size(), 4u);
        for (size_t i = 0; i < 4; ++i) {
            const bool chosen = c.chosen.count(timelines[i]->timelineId) != 0;
            SCOPED_TRACE(int{timelines[i]->timelineId});
            if (kill) {
                EXPECT_EQ(timelines[i]->fadeState == UnitInstance::kFadingOut, chosen);
                EXPECT_EQ(below[i]->fadeOuts, chosen ? 1 : 0);
                if (chosen) {
                    EXPECT_EQ(timelines[i]->fadeDuration, 6.0f);
                }
            } else {
                // Once when linked under a timeline that does not loop, once
                // more when chosen.
                EXPECT_EQ(below[i]->loopEnds, chosen ? 2 : 1);
                EXPECT_EQ(timelines[i]->fadeState, UnitInstance::kNoFade);
            }
        }
        EXPECT_EQ(rig_.Release(), 0u);
    }
}

TEST_F(Commands, TimelinesUnderACarrierAreOutOfReach) {
    effecttools::EffectFileValue f = TreeEffect("vfx/reach.vfxb");
    const int16_t issuer = AddTimeline(f, 100, {CommandItem(CommandClip("KILL", {0, 0, 4}), 2)});
    f.package.assignments = {{issuer, std::nullopt}};
    effect_ = rig_.Load(f);
    instance_ = rig_.Play(effect_);
    Frame();
    root_ = rig_.Root(instance_);
    auto* carrier = UnitInstance::Create<RecordingUnit>(root_, RecordingUnit::Clock(root_, 0.0f),
                                                        UnitInstance::kParticleSystem);
    root_->AddChild(carrier);
    auto* bound = UnitInstance::Create<RecordingUnit>(root_, RecordingUnit::Clock(carrier, 0.0f),
                                                      UnitInstance::kTimeline, int8_t{2});
    carrier->AddChild(bound);
    Frame();
    EXPECT_EQ(root_->firstChild->fadeState, UnitInstance::kFadingOut);
    EXPECT_EQ(carrier->fadeOuts, 0);
    EXPECT_EQ(bound->fadeOuts, 0);
}

TEST_F(Commands, ALowerSkipInTheSameFrameKeepsTheHigher) {
    InstanceRootUnit* root = PlayOneFrame(OnePlace(
        {CommandItem(CommandClip("SKFR", {50}), 0), CommandItem(CommandClip("SKFR", {20}), 0)}));
    EXPECT_EQ(root->skipToFrame, 50);
    Frame();
    // Stepped from frame 1 to 50, then the frame's own step.
    EXPECT_EQ(root->totalTime, 51.0f);
    EXPECT_EQ(root->skipToFrame, 0);
}

TEST_F(Commands, ASkipPastTheLastTimelineFrameIsClampedAndANegativeOneRaisesNothing) {
    InstanceRootUnit* root =
        PlayOneFrame(OnePlace({CommandItem(CommandClip("SKFR", {0xFFFFFFFFu}), 0),
                               CommandItem(CommandClip("SKFR", {100000}), 2)}));
    EXPECT_EQ(root->skipToFrame, 0);
    Frame();
    EXPECT_EQ(root->skipToFrame, 32767);
    Frame();
    EXPECT_EQ(root->totalTime, 32768.0f);
}

TEST_F(Commands, AnEventReachesTheListenerWithTerminatedTexts) {
    std::vector<uint8_t> clip =
        CommandClip("EVCB", {7, static_cast<uint32_t>(-2), 3, 99},
                    {"ABCDEFGHIJKLMNOP", "QRSTUVWXYZabcdef", "hit", "wxyz0123456789+-"});
    testsupport::SetClipFloat(clip, 20, 0.5f);
    testsupport::SetClipFloat(clip, 24, 1.5f);
    testsupport::SetClipFloat(clip, 28, -2.0f);
    PlayOneFrame(OnePlace({CommandItem(clip, 0)}));
    ASSERT_EQ(rig_.listener.eventCalls.size(), 1u);
    const auto& e = rig_.listener.eventCalls[0];
    EXPECT_EQ(e.texts[0], "ABCDEFGHIJKLMNOP");
    EXPECT_EQ(e.texts[1], "QRSTUVWXYZabcdef");
    EXPECT_EQ(e.texts[2], "hit");
    EXPECT_EQ(e.texts[3], "wxyz0123456789+-");
    EXPECT_EQ(e.integers[0], 7);
    EXPECT_EQ(e.integers[1], -2);
    EXPECT_EQ(e.integers[2], 3);
    EXPECT_EQ(e.floats[0], 0.5f);
    EXPECT_EQ(e.floats[1], 1.5f);
    EXPECT_EQ(e.floats[2], -2.0f);
    // Without a listener nothing is told.
    rig_.PlayAlone(effect_);
    Frame();
    EXPECT_EQ(rig_.listener.eventCalls.size(), 1u);
}

TEST_F(Commands, AChildEffectsNameJoinsTheTextFields) {
    rig_.Load(TreeEffect("vfx/childeffect_one.vfxb"));
    effecttools::EffectFileValue f =
        OnePlace({CommandItem(CommandClip("VFXC", {}, {"vfx/childeffect_", "one.vfxb"}), 0),
                  CommandItem(CommandClip("VFXC", {}, {"vfx/elsewhere.vfxb"}), 0),
                  CommandItem(CommandClip("VFXC", {},
                                          {"vfx/0123456789ab", "cdefghijklmnopqr",
                                           "stuvwxyzABCDEFGH", "IJKLMNOPQRSTUVWX"}),
                              0)});
    f.package.referenceCapacity = 3;
    InstanceRootUnit* root = PlayOneFrame(f);
    // Only the one the package refers to and that is registered starts.
    EXPECT_EQ(root->holdCount, 1);
    EXPECT_EQ(Engine::GetWorkData()->liveInstanceCount, 2u);
}

TEST_F(Commands, ACommandLivesOneFrameAndAnUnknownTagMakesNone) {
    const uint32_t before = testsupport::UnitTreeRig::UsedBlocks();
    InstanceRootUnit* root = PlayOneFrame(OnePlace(
        {CommandItem(CommandClip("SKFR", {1}), 0), CommandItem(CommandClip("NOPE", {1}), 0)}));
    EXPECT_EQ(root->firstChild->firstChild, nullptr);
    // Root, draw lists and the timeline.
    EXPECT_EQ(testsupport::UnitTreeRig::UsedBlocks(), before + 3);
    EXPECT_TRUE(FulgorCore::TimelineCommand::Knows(FulgorCore::MakeChunkTag("ULLP")));
    EXPECT_FALSE(FulgorCore::TimelineCommand::Knows(FulgorCore::MakeChunkTag("NOPE")));
}

TEST_F(Commands, ARandomTimelineDrawsFromTheRuntimeState) {
    effecttools::EffectFileValue f = OnePlace({CommandItem(CommandClip("RNTK", {2, 4}), 0)});
    const int16_t plain = AddTimeline(f, 50, {});
    f.package.triggers.assign(14, {plain, std::nullopt});
    effect_ = rig_.Load(f);
    FulgorCore::Xorshift128 expected = Engine::GetWorkData()->random;
    expected.Next(); // the instance's seed
    const uint32_t x = expected.Next();
    instance_ = rig_.Play(effect_);
    Frame();
    InstanceRootUnit* root = rig_.Root(instance_);
    const int number = static_cast<int>(2 + x % 3);
    EXPECT_EQ(ChildIds(root), (std::vector<int>{1, -number}));
}

TEST_F(Commands, RandomBoundsOneApartTheWrongWayGiveTheLowest) {
    effecttools::EffectFileValue f = OnePlace({CommandItem(CommandClip("RNTK", {3, 2}), 0)});
    const int16_t plain = AddTimeline(f, 50, {});
    f.package.triggers.assign(14, {plain, std::nullopt});
    EXPECT_EQ(ChildIds(PlayOneFrame(f)), (std::vector<int>{1, -3}));
}

TEST_F(Commands, ExtraTimelineNumbersOutsideOneToFourteenStartNothing) {
    effecttools::EffectFileValue f = OnePlace(
        {CommandItem(CommandClip("RNTK", {15, 15}), 0), CommandItem(CommandClip("RNTK", {0, 0}), 0),
         CommandItem(CommandClip("RNTK", {0xFFFFFFFFu, 0xFFFFFFFFu}), 0)});
    const int16_t plain = AddTimeline(f, 50, {});
    f.package.triggers.assign(14, {plain, std::nullopt});
    EXPECT_EQ(ChildIds(PlayOneFrame(f)), std::vector<int>{1});
}

} // namespace
