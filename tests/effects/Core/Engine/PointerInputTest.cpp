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
#include <string>
#include <vector>

namespace {

using FulgorCore::ParticleInstance;
using Events = std::vector<int>;
namespace Engine = FulgorCore::Engine;
using Pointer = testsupport::PointerRig;

// A pickable particle at view depth z, hit within `radius` of the view
// axis (a box: half extents (radius, 0.25, radius)), under pickable
// `parent` (the root when -1); a `later` one is made by a '+' of the
// script.
struct Pickable {
    float z;
    float radius;
    int parent = -1;
    bool later = false;
    bool box = false;
};

// The host's calls and the passes between them, one character each: 'C'
// the pointer at the centre, 'A' 2 aside (off spheres of radius 1), 'N'
// over nothing, 'P' press, 'R' release, '2'-'5' those commands, '.' one
// pass, '+' the next later particle, 'e' the queue must be empty, 'k' it
// must keep one command.
struct Scenario {
    const char* name;
    std::vector<Pickable> units;
    std::string script;
    std::vector<Events> heard; // per particle; those past the end hear nothing
    int hovered;               // index, or -1 for none
    int pressed = -1;
    std::vector<int> listed = {}; // the frame list's order after the last pass
};

void PrintTo(const Scenario& s, std::ostream* os) {
    *os << s.name;
}

class PointerTest : public testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(rig_.Start()); }
    void TearDown() override {
        rig_.pickable.clear();
        EXPECT_EQ(rig_.tree.Release(), 0u);
    }
    static FulgorCore::EngineWorkData& Work() { return *Engine::GetWorkData(); }
    Pointer rig_;
};

class PointerInput : public PointerTest, public testing::WithParamInterface<Scenario> {
protected:
    int IndexOf(const FulgorCore::UnitInstance* unit) const {
        for (size_t i = 0; i < made_.size(); ++i)
            if (made_[i] == unit)
                return static_cast<int>(i);
        return -1;
    }
    void Make(const Pickable& p) {
        FulgorCore::UnitInstance* parent = p.parent < 0 ? nullptr : made_[p.parent];
        made_.push_back(
            p.box ? rig_.Pickable(p.z, {FulgorCore::PickBounds::kBox, {p.radius, 0.25f, p.radius}},
                                  parent)
                  : rig_.Pickable(p.z, p.radius, parent));
    }

    std::vector<ParticleInstance*> made_;
};

TEST_P(PointerInput, EventsFollowTheHostsCalls) {
    const Scenario& s = GetParam();
    size_t nextLater = 0;
    for (const Pickable& p : s.units)
        if (!p.later)
            Make(p);
    // Units of other kinds beside them hear nothing (they could not): a
    // timeline and an emitter's transform unit, of kind 3 but no particle.
    const auto clock = testsupport::RecordingUnit::Clock(rig_.root, 0.0f);
    rig_.root->AddChild(
        FulgorCore::UnitInstance::Create<testsupport::RecordingUnit>(rig_.root, clock));
    rig_.root->AddChild(FulgorCore::UnitInstance::Create<FulgorCore::EmitterTransformUnit>(
        rig_.root, clock, nullptr));
    for (char step : s.script) {
        if (step == 'C' || step == 'A' || step == 'N') {
            Pointer::Point(step == 'C' ? 0.5f : (step == 'A' ? 1.5f : 10.0f), 0.5f);
        } else if (step == 'P' || step == 'R') {
            Pointer::Command(step == 'P' ? FulgorCore::PointerEvent::kPress
                                         : FulgorCore::PointerEvent::kRelease);
        } else if (step == '.') {
            rig_.Pass();
        } else if (step == 'e' || step == 'k') {
            EXPECT_EQ(Work().inputQueueCount, step == 'k' ? 1u : 0u);
        } else if (step == '+') {
            while (!s.units[nextLater].later)
                ++nextLater;
            Make(s.units[nextLater++]);
        } else {
            Pointer::Command(static_cast<uint32_t>(step - '0'));
        }
    }
    for (size_t i = 0; i < made_.size(); ++i)
        EXPECT_EQ(rig_.Events(made_[i]), i < s.heard.size() ? s.heard[i] : Events{}) << i;
    EXPECT_EQ(IndexOf(Work().hoveredUnit), s.hovered);
    EXPECT_EQ(IndexOf(Work().pressedUnit), s.pressed);
    for (size_t i = 0; i < s.listed.size(); ++i) {
        EXPECT_EQ(IndexOf(Work().frameList[i].unit), s.listed[i]) << i;
        EXPECT_EQ(Work().frameList[i].depth, s.units[s.listed[i]].z) << i;
    }
}

// Events: 8 entered, 9 left, 10 click, 11 a sibling clicked, 12 press,
// 13 release, 16, 17, 14, 15 commands 2, 3, 4, 5.
// clang-format off
const Scenario kScenarios[] = {
    {"PressAndReleaseOverOneUnitClickItAndTellItsParticleSiblings",
     {{-5, 1}, {-20, 0.5f}, {-30, 0.5f}, {-40, 0.5f, 1}}, "C.P.R.", {{8, 12, 13, 10}, {11}, {11}}, 0},
    {"PressOverOneAndReleaseOverAnotherIsNoClick", {{-5, 1}, {-10, 10}}, "CP.AR.", {{8, 12, 9, 13}, {8}}, 1},
    // On one unit the order shows: 13 before the second 12.
    {"ASecondPressReleasesTheFirstPressedUnit",
     {{-5, 1}, {-10, 10}}, "CPP.AP.", {{8, 12, 13, 12, 9, 13}, {8, 12}}, 1, 1},
    {"MovingFromOneUnitToAnotherLeavesThenEnters", {{-5, 1}, {-10, 10}}, "C..A.N.", {{8, 9}, {8, 9}}, -1},
    // Hovered at last, but nothing was pressed: no release, no click.
    {"BeforeAnyPositionThereIsNoHoverAndAPressTakesNoUnit", {{-5, 1}}, "P.eCR.", {{8}}, 0},
    {"AFrameWithoutPickableUnitsKeepsTheCommands", {{-5, 1, -1, true}}, "CP.k+.e", {{8, 12}}, 0, 0},
    // The commands before the press find nothing pressed.
    {"CommandsTwoToFiveGoToThePressedUnit", {{-5, 1}}, "C2345P2345.", {{8, 12, 16, 17, 14, 15}}, 0, 0},
    // The press is the oldest of seventeen and goes: the others find
    // nothing pressed.
    {"SeventeenCommandsKeepTheLastSixteen", {{-5, 1}}, "C.P2222222222222222.", {{8}}, 0},
    // The pass sorts the list largest depth first.
    {"TheNearestUnitInFrontIsHovered", {{-10, 1}, {-5, 1}, {3, 1}}, "C.", {{}, {8}}, 1, -1, {2, 1, 0}},
    // At the maximum depth (100) itself a unit still counts.
    {"UnitsBehindTheCameraOrBeyondTheMaximumDepthAreNeverHovered",
     {{5, 1}, {-100.5f, 50}, {-100, 50, -1, true}}, "C.A.+.", {{}, {}, {8}}, 2},
    // Boxes: 2 aside is outside a box 1 wide but inside one 3 wide, though
    // outside a sphere of squared radius 0.25.
    {"BoxesAreHitWithinTheirHalfExtents", {{-5, 1, -1, false, true}, {-8, 3, -1, false, true}}, "C.A.", {{8, 9}, {8}}, 1},
    // Depth 0 lies on the camera plane: in front, not behind.
    {"AUnitAtDepthZeroIsPicked", {{0, 1}, {-5, 1}}, "C.", {{8}}, 0, -1, {0, 1}},
};
// clang-format on

INSTANTIATE_TEST_SUITE_P(Scenarios, PointerInput, testing::ValuesIn(kScenarios),
                         [](const testing::TestParamInfo<Scenario>& i) { return i.param.name; });

using PointerLimits = PointerTest;

TEST_F(PointerLimits, OnlyTheFirst128PickableUnitsTakePart) {
    std::vector<ParticleInstance*> first;
    for (int i = 0; i < 128; ++i)
        first.push_back(rig_.Pickable(-5.0f, 1.0f));
    // Nearer, but pushed 129th and 130th.
    rig_.Pickable(-2.0f, 1.0f);
    rig_.Pickable(-3.0f, 1.0f);
    Pointer::Point(0.5f, 0.5f);
    rig_.Pass();
    // Equal depths keep their pushing order: the first pushed is hovered.
    EXPECT_EQ(Work().hoveredUnit, first[0]);
    EXPECT_EQ(Work().frameListCount.load(), 130u);
}

TEST_F(PointerLimits, ADeletedPressedUnitIsNeverPostedTo) {
    ParticleInstance* a = rig_.Pickable(-5.0f, 1.0f);
    Pointer::Point(0.5f, 0.5f);
    Pointer::Command(FulgorCore::PointerEvent::kPress);
    rig_.Pass();
    ASSERT_EQ(Work().pressedUnit, a);
    a->Finish();
    rig_.Forget(0);
    rig_.Pass(); // the root deletes the ended particle
    EXPECT_EQ(Work().pressedUnit, nullptr);
    EXPECT_EQ(Work().hoveredUnit, nullptr);
    Pointer::Command(FulgorCore::PointerEvent::kRelease);
    Pointer::Command(2);
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
    // A pointer target ("bIEE") in a sphere of squared radius 4 (kind 1,
    // then three floats).
    f.package.units[0].fields.push_back({"bIEE", 1});
    f.package.units[0].uic1 =
        std::vector<uint8_t>{1, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0x80, 0x40, 0, 0, 0, 0};
    ASSERT_TRUE(rig.Start(f));
    Engine::SetPointerView(Pointer::kPointerView, 100.0f);
    const float at[3] = {0.0f, 0.0f, -6.0f};
    ParticleInstance* picked = rig.Particle(0, nullptr, at);
    ParticleInstance* plain = rig.Particle(1, nullptr, at);
    ASSERT_NE(plain, nullptr);
    const auto pass = [] {
        testsupport::Frame();
        const FulgorCore::DrawParameter draw =
            testsupport::ScreenDraw(testsupport::kIdentity44, testsupport::kIdentity44);
        Engine::Draw(Pointer::kPointerView, &draw);
    };
    Pointer::Point(0.5f, 0.5f);
    Pointer::Command(FulgorCore::PointerEvent::kPress);
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
    f.package.units[0].fields.push_back({"bIEE", 1});
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
    Pointer::Point(0.505f, 0.5f); // x = 0.01
    testsupport::Frame();
    for (ParticleInstance* node : rig_.pickable)
        Engine::PushFrameList(node);
    const FulgorCore::DrawParameter draw = testsupport::ScreenDraw(view, testsupport::kIdentity44);
    Engine::Draw(Pointer::kPointerView, &draw);
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
