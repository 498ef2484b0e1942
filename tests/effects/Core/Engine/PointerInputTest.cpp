// The pointer pass over particle instances: hover, the host's commands and
// the events they post, the candidates by view depth, and the limits of the
// pickable list and the command queue.
#include "support/effects/EventTreeRig.h"
#include "support/effects/PointerRig.h"
#include "support/effects/RecordingUnit.h"

#include "effects/Core/Engine/PointerEvent.h"
#include "effects/units/EmitterTransformUnit.h"

#include <gtest/gtest.h>

#include <set>
#include <vector>

namespace {

using FulgorCore::ParticleInstance;
using Events = std::vector<int>;
namespace Engine = FulgorCore::Engine;

class PointerInput : public testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(rig_.Start()); }
    void TearDown() override {
        rig_.pickable.clear();
        EXPECT_EQ(rig_.tree.Release(), 0u);
    }
    static FulgorCore::EngineWorkData& Work() { return *Engine::GetWorkData(); }
    // The pointer at the centre, on the view axis.
    static void Centre() { testsupport::PointerRig::Point(0.5f, 0.5f); }
    // The pointer 2 from the axis: outside spheres of radius 1.
    static void Aside() { testsupport::PointerRig::Point(1.5f, 0.5f); }

    testsupport::PointerRig rig_;
};

TEST_F(PointerInput, PressAndReleaseOverOneUnitClickItAndTellItsParticleSiblings) {
    ParticleInstance* a = rig_.Pickable(-5.0f, 1.0f);
    ParticleInstance* sibling = rig_.Pickable(-20.0f, 0.5f);
    ParticleInstance* other = rig_.Pickable(-30.0f, 0.5f);
    ParticleInstance* nephew = rig_.Pickable(-40.0f, 0.5f, sibling);
    // A unit of another kind beside them hears nothing (it could not).
    auto* timeline = FulgorCore::UnitInstance::Create<testsupport::RecordingUnit>(
        rig_.root, testsupport::RecordingUnit::Clock(rig_.root, 0.0f));
    rig_.root->AddChild(timeline);
    // Nor does an emitter's transform unit, of kind 3 but no particle.
    auto* transform = FulgorCore::UnitInstance::Create<FulgorCore::EmitterTransformUnit>(
        rig_.root, testsupport::RecordingUnit::Clock(rig_.root, 0.0f), nullptr);
    rig_.root->AddChild(transform);
    Centre();
    rig_.Pass();
    testsupport::PointerRig::Command(FulgorCore::PointerEvent::kPress);
    rig_.Pass();
    EXPECT_EQ(rig_.Events(a), (Events{8, 12}));
    testsupport::PointerRig::Command(FulgorCore::PointerEvent::kRelease);
    rig_.Pass();
    EXPECT_EQ(rig_.Events(a), (Events{8, 12, 13, 10}));
    EXPECT_EQ(rig_.Events(sibling), (Events{11}));
    EXPECT_EQ(rig_.Events(other), (Events{11}));
    EXPECT_TRUE(rig_.Events(nephew).empty());
    EXPECT_EQ(Work().pressedUnit, nullptr);
    EXPECT_EQ(Work().hoveredUnit, a);
}

TEST_F(PointerInput, PressOverOneAndReleaseOverAnotherIsNoClick) {
    ParticleInstance* a = rig_.Pickable(-5.0f, 1.0f);
    ParticleInstance* b = rig_.Pickable(-10.0f, 10.0f);
    Centre();
    testsupport::PointerRig::Command(FulgorCore::PointerEvent::kPress);
    rig_.Pass();
    Aside();
    testsupport::PointerRig::Command(FulgorCore::PointerEvent::kRelease);
    rig_.Pass();
    EXPECT_EQ(rig_.Events(a), (Events{8, 12, 9, 13}));
    EXPECT_EQ(rig_.Events(b), (Events{8}));
}

TEST_F(PointerInput, ASecondPressReleasesTheFirstPressedUnit) {
    ParticleInstance* a = rig_.Pickable(-5.0f, 1.0f);
    ParticleInstance* b = rig_.Pickable(-10.0f, 10.0f);
    Centre();
    testsupport::PointerRig::Command(FulgorCore::PointerEvent::kPress);
    testsupport::PointerRig::Command(FulgorCore::PointerEvent::kPress);
    rig_.Pass();
    // On one unit the order shows: 13 before the second 12.
    EXPECT_EQ(rig_.Events(a), (Events{8, 12, 13, 12}));
    Aside();
    testsupport::PointerRig::Command(FulgorCore::PointerEvent::kPress);
    rig_.Pass();
    EXPECT_EQ(rig_.Events(a), (Events{8, 12, 13, 12, 9, 13}));
    EXPECT_EQ(rig_.Events(b), (Events{8, 12}));
    EXPECT_EQ(Work().pressedUnit, b);
}

TEST_F(PointerInput, MovingFromOneUnitToAnotherLeavesThenEnters) {
    ParticleInstance* a = rig_.Pickable(-5.0f, 1.0f);
    ParticleInstance* b = rig_.Pickable(-10.0f, 10.0f);
    Centre();
    rig_.Pass();
    rig_.Pass(); // still over A: nothing new
    Aside();
    rig_.Pass();
    EXPECT_EQ(rig_.Events(a), (Events{8, 9}));
    EXPECT_EQ(rig_.Events(b), (Events{8}));
    testsupport::PointerRig::Point(10.0f, 0.5f); // over nothing
    rig_.Pass();
    EXPECT_EQ(rig_.Events(b), (Events{8, 9}));
    EXPECT_EQ(Work().hoveredUnit, nullptr);
}

TEST_F(PointerInput, BeforeAnyPositionThereIsNoHoverAndAPressTakesNoUnit) {
    ParticleInstance* a = rig_.Pickable(-5.0f, 1.0f);
    testsupport::PointerRig::Command(FulgorCore::PointerEvent::kPress);
    rig_.Pass();
    EXPECT_TRUE(rig_.Events(a).empty());
    EXPECT_EQ(Work().pressedUnit, nullptr);
    EXPECT_EQ(Work().inputQueueCount, 0u);
    Centre();
    testsupport::PointerRig::Command(FulgorCore::PointerEvent::kRelease);
    rig_.Pass();
    // Hovered now, but nothing was pressed: no release, no click.
    EXPECT_EQ(rig_.Events(a), (Events{8}));
}

TEST_F(PointerInput, AFrameWithoutPickableUnitsKeepsTheCommands) {
    Centre();
    testsupport::PointerRig::Command(FulgorCore::PointerEvent::kPress);
    rig_.Pass();
    EXPECT_EQ(Work().inputQueueCount, 1u);
    ParticleInstance* a = rig_.Pickable(-5.0f, 1.0f);
    rig_.Pass();
    EXPECT_EQ(rig_.Events(a), (Events{8, 12}));
    EXPECT_EQ(Work().inputQueueCount, 0u);
}

TEST_F(PointerInput, CommandsTwoToFiveGoToThePressedUnit) {
    ParticleInstance* a = rig_.Pickable(-5.0f, 1.0f);
    Centre();
    for (uint32_t command : {2u, 3u, 4u, 5u})
        testsupport::PointerRig::Command(command); // nothing pressed yet
    testsupport::PointerRig::Command(FulgorCore::PointerEvent::kPress);
    for (uint32_t command : {2u, 3u, 4u, 5u})
        testsupport::PointerRig::Command(command);
    rig_.Pass();
    EXPECT_EQ(rig_.Events(a), (Events{8, 12, 16, 17, 14, 15}));
}

TEST_F(PointerInput, SeventeenCommandsKeepTheLastSixteen) {
    ParticleInstance* a = rig_.Pickable(-5.0f, 1.0f);
    Centre();
    rig_.Pass();
    // The press is the oldest and goes: the sixteen others find nothing
    // pressed.
    testsupport::PointerRig::Command(FulgorCore::PointerEvent::kPress);
    for (int i = 0; i < 16; ++i)
        testsupport::PointerRig::Command(2);
    rig_.Pass();
    EXPECT_EQ(rig_.Events(a), (Events{8}));
    EXPECT_EQ(Work().pressedUnit, nullptr);
}

TEST_F(PointerInput, TheNearestUnitInFrontIsHovered) {
    ParticleInstance* far = rig_.Pickable(-10.0f, 1.0f);
    ParticleInstance* near = rig_.Pickable(-5.0f, 1.0f);
    ParticleInstance* behind = rig_.Pickable(3.0f, 1.0f);
    Centre();
    rig_.Pass();
    EXPECT_EQ(Work().hoveredUnit, near);
    EXPECT_TRUE(rig_.Events(far).empty());
    EXPECT_TRUE(rig_.Events(behind).empty());
    // The pass sorted the list nearest first among the candidates.
    EXPECT_EQ(Work().frameList[0].unit, behind);
    EXPECT_EQ(Work().frameList[1].unit, near);
    EXPECT_EQ(Work().frameList[2].unit, far);
    EXPECT_EQ(Work().frameList[1].depth, -5.0f);
}

TEST_F(PointerInput, UnitsBehindTheCameraOrBeyondTheMaximumDepthAreNeverHovered) {
    ParticleInstance* behind = rig_.Pickable(5.0f, 1.0f);
    ParticleInstance* beyond = rig_.Pickable(-100.5f, 50.0f);
    Centre();
    rig_.Pass();
    Aside();
    rig_.Pass();
    EXPECT_EQ(Work().hoveredUnit, nullptr);
    EXPECT_TRUE(rig_.Events(behind).empty());
    EXPECT_TRUE(rig_.Events(beyond).empty());
    // At the maximum depth itself a unit still counts.
    ParticleInstance* edge = rig_.Pickable(-100.0f, 50.0f);
    rig_.Pass();
    EXPECT_EQ(Work().hoveredUnit, edge);
}

TEST_F(PointerInput, OnlyTheFirst128PickableUnitsTakePart) {
    std::vector<ParticleInstance*> first;
    for (int i = 0; i < 128; ++i)
        first.push_back(rig_.Pickable(-5.0f, 1.0f));
    // Nearer, but pushed 129th and 130th.
    rig_.Pickable(-2.0f, 1.0f);
    rig_.Pickable(-3.0f, 1.0f);
    Centre();
    rig_.Pass();
    // Equal depths keep their pushing order: the first pushed is hovered.
    EXPECT_EQ(Work().hoveredUnit, first[0]);
    EXPECT_EQ(Work().frameListCount.load(), 130u);
}

TEST_F(PointerInput, ADeletedPressedUnitIsNeverPostedTo) {
    ParticleInstance* a = rig_.Pickable(-5.0f, 1.0f);
    Centre();
    testsupport::PointerRig::Command(FulgorCore::PointerEvent::kPress);
    rig_.Pass();
    ASSERT_EQ(Work().pressedUnit, a);
    a->Finish();
    rig_.Forget(0);
    rig_.Pass(); // the root deletes the ended particle
    EXPECT_EQ(Work().pressedUnit, nullptr);
    EXPECT_EQ(Work().hoveredUnit, nullptr);
    testsupport::PointerRig::Command(FulgorCore::PointerEvent::kRelease);
    testsupport::PointerRig::Command(2);
    ParticleInstance* b = rig_.Pickable(-8.0f, 1.0f);
    rig_.Pass();
    EXPECT_EQ(rig_.Events(b), (Events{8}));
}

// A particle whose data has a pick shape registers itself every frame, and
// the pointer's events reach the instance's listener through its records.
TEST(PointerInputData, AParticleWithAPickShapeIsPickedAndHearsThePointer) {
    testsupport::EventTreeRig rig;
    effecttools::EffectFileValue f = testsupport::TreeEffect("vfx/picked.vfxb", 2, 0);
    for (effecttools::UnitValue& unit : f.package.units) {
        unit.fields.push_back({"bECE", 1});
        for (uint16_t record = 0; record < 14; ++record) {
            effecttools::UnitTimelineValue events;
            events.life = static_cast<uint16_t>(100 + record);
            unit.unitTimelines.push_back(events);
        }
    }
    // A sphere of squared radius 4 (kind 1, then three floats).
    f.package.units[0].uic1 =
        std::vector<uint8_t>{1, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0x80, 0x40, 0, 0, 0, 0};
    ASSERT_TRUE(rig.Start(f));
    Engine::SetPointerView(testsupport::PointerRig::kPointerView, 100.0f);
    const float at[3] = {0.0f, 0.0f, -6.0f};
    ParticleInstance* picked = rig.Particle(0, nullptr, at);
    ParticleInstance* plain = rig.Particle(1, nullptr, at);
    ASSERT_NE(plain, nullptr);
    const auto pass = [] {
        testsupport::Frame();
        const FulgorCore::DrawParameter draw =
            testsupport::ScreenDraw(testsupport::kIdentity44, testsupport::kIdentity44);
        Engine::Draw(testsupport::PointerRig::kPointerView, &draw);
    };
    testsupport::PointerRig::Point(0.5f, 0.5f);
    testsupport::PointerRig::Command(FulgorCore::PointerEvent::kPress);
    pass();
    EXPECT_EQ(Engine::GetWorkData()->frameListCount.load(), 1u);
    EXPECT_EQ(Engine::GetWorkData()->hoveredUnit, picked);
    EXPECT_EQ(Engine::GetWorkData()->pressedUnit, picked);
    rig.tree.listener.unitEvents.clear();
    pass(); // the posted events become schedules: the listener hears each
    const std::vector<std::pair<uint32_t, uint32_t>> heard{{8, 108}, {12, 112}};
    EXPECT_EQ(rig.tree.listener.unitEvents, heard);
    EXPECT_EQ(rig.tree.Release(), 0u);
}

void CollectUnits(const FulgorCore::UnitInstance* unit,
                  std::set<const FulgorCore::UnitInstance*>& live) {
    for (const FulgorCore::UnitInstance* c = unit->firstChild; c; c = c->nextSibling) {
        live.insert(c);
        CollectUnits(c, live);
    }
}

// Pickable particles of 2 frames, one started each frame, and a skip to
// frame 20 at frame 1: the fast-forward's own evaluations register
// particles that its later steps end (and whose blocks the next ones
// take); the list holds the live particles once each, and nothing else.
TEST(PointerInputData, AFastForwardLeavesOnlyLiveParticlesInTheFrameList) {
    testsupport::UnitTreeRig rig;
    ASSERT_TRUE(rig.Start());
    FulgorCore::UnitCreators::Current() = FulgorCore::UnitCreators::kBuiltIn;
    effecttools::EffectFileValue f = testsupport::TreeEffect("vfx/skipped.vfxb", 1, 2);
    f.package.units[0].uic1 =
        std::vector<uint8_t>{1, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0x80, 0x40, 0, 0, 0, 0};
    std::vector<effecttools::TimelineItemValue> items;
    for (uint16_t frame = 0; frame < 40; ++frame)
        items.push_back(testsupport::UnitItem(0, frame, static_cast<uint16_t>(frame + 2)));
    items.push_back(testsupport::CommandItem(testsupport::CommandClip("SKFR", {20}), 1));
    f.package.assignments.push_back({testsupport::AddTimeline(f, 60, items), std::nullopt});
    const FulgorCore::InstanceHandle h = rig.PlayAlone(rig.Load(f));
    testsupport::Frame(); // the start, in whose step the skip is asked for
    testsupport::Frame(); // the skip
    FulgorCore::InstanceRootUnit* root = testsupport::UnitTreeRig::Root(h);
    ASSERT_NE(root, nullptr);
    ASSERT_GE(root->GetCurrentFrame(), 20);
    std::set<const FulgorCore::UnitInstance*> live;
    CollectUnits(root, live);
    std::set<const FulgorCore::UnitInstance*> listed;
    const FulgorCore::EngineWorkData& work = *Engine::GetWorkData();
    for (uint32_t i = 0; i < work.frameListCount.load(); ++i) {
        EXPECT_TRUE(live.count(work.frameList[i].unit)) << i;
        listed.insert(work.frameList[i].unit);
    }
    EXPECT_EQ(work.frameListCount.load(), listed.size());
    std::erase_if(live, [](const FulgorCore::UnitInstance* u) {
        return u->GetKind() != FulgorCore::UnitInstance::kParticleNode;
    });
    EXPECT_EQ(listed, live);
    EXPECT_FALSE(live.empty());
    EXPECT_EQ(rig.Release(), 0u);
}

class PointerCameraSpace : public testing::TestWithParam<uint32_t> {
protected:
    void TearDown() override {
        rig_.pickable.clear();
        EXPECT_EQ(rig_.tree.Release(), 0u);
    }
    testsupport::PointerRig rig_;
};

// Space 0 measures depth through the view and casts its rays through the
// inverse view x projection; spaces 1 and 2 take depth as it stands and
// cast through the inverses of the projection and of the screen matrix.
TEST_P(PointerCameraSpace, DepthAndRayComeFromTheEffectsSpace) {
    const uint32_t space = GetParam();
    ASSERT_TRUE(rig_.Start(space));
    // A camera 12 along +z: in space 0 a unit at z = 10 is 2 in front.
    const float view[16] = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, -12, 1};
    ParticleInstance* unit = rig_.Pickable(10.0f, 1.0f);
    ParticleInstance* front = rig_.Pickable(-10.0f, 1.0f);
    testsupport::PointerRig::Point(0.505f, 0.5f); // x = 0.01
    testsupport::Frame();
    for (ParticleInstance* node : rig_.pickable)
        Engine::PushFrameList(node);
    const FulgorCore::DrawParameter draw = testsupport::ScreenDraw(view, testsupport::kIdentity44);
    Engine::Draw(testsupport::PointerRig::kPointerView, &draw);
    const FulgorCore::EngineWorkData& work = *Engine::GetWorkData();
    if (space == 0) {
        EXPECT_EQ(work.frameList[0].depth, -2.0f);
        EXPECT_EQ(work.frameList[1].depth, -22.0f);
        EXPECT_EQ(work.hoveredUnit, unit);
    } else {
        EXPECT_EQ(work.frameList[0].unit, unit);
        EXPECT_EQ(work.frameList[0].depth, 10.0f);
        EXPECT_EQ(work.frameList[1].depth, -10.0f);
        // The screen matrix's inverse takes x = 0.01 to 6.4: a miss.
        EXPECT_EQ(work.hoveredUnit, space == 1 ? front : nullptr);
    }
}

INSTANTIATE_TEST_SUITE_P(Spaces, PointerCameraSpace, testing::Values(0u, 1u, 2u));

} // namespace
