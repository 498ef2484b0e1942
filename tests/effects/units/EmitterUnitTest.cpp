// Emitter units: their timers and emission by distance, spawning, the
// point pickers, the shapes, the birth and death emissions.
#include "effects/units/EmitterUnit.h"
#include "effects/Core/Noise/Xorshift128.h"
#include "effects/units/DelayedEmitUnit.h"
#include "support/effects/EmitterRig.h"
#include "support/effects/XorshiftSteps.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <set>

namespace {

using effecttools::Constant;
using effecttools::EmitterValue;
using effecttools::FieldValue;
using FulgorCore::EmitterUnit;
using FulgorCore::Xorshift128;
using testsupport::Advanced;
using testsupport::Emitter;
using testsupport::EmitterRig;
using testsupport::Item;
using testsupport::Points;
using testsupport::Same;
using testsupport::SpawnRecord;
using testsupport::Spawns;
using testsupport::Three;
using testsupport::Timer;

constexpr float kPi = 3.1415927f;

// The runtime's fast length: the float's bits, sign cleared, less those of 1.0,
// halved, plus those of 1.0.
float FastLength(float squared) {
    const int32_t bits = static_cast<int32_t>(std::bit_cast<uint32_t>(squared) & 0x7FFFFFFFu);
    return std::bit_cast<float>(((bits - 0x3F800000) >> 1) + 0x3F800000);
}

// Runs the owner's emitter at clock T (the last step `step`).
void RunAt(testsupport::FakeOwner* owner, float t, float step = 1.0f) {
    owner->time = t;
    owner->totalTime = t;
    owner->lastStep = step;
    owner->emitter->Update();
}

class Emitters : public testing::Test {
protected:
    // Plays an effect of `emitter` and builds its owner; endless unless
    // `life`.
    void Begin(const EmitterValue& emitter, float life = 0.0f) {
        ASSERT_TRUE(rig.Begin(EmitterRig::EffectWith(emitter), life));
        ASSERT_NE(rig.owner->emitter, nullptr);
    }
    void Begin(const effecttools::EffectFileValue& f, float life = 0.0f) {
        ASSERT_TRUE(rig.Begin(f, life));
        ASSERT_NE(rig.owner->emitter, nullptr);
    }
    EmitterUnit* emitter() const { return rig.owner->emitter; }

    void TearDown() override {
        // Every block back: the owner, its emitter, items, timers, the
        // particles and the waiting units.
        if (rig.root) {
            EXPECT_EQ(rig.Release(), 0u);
        }
    }

    EmitterRig rig;
};

// Timers ---------------------------------------------------------------

TEST_F(Emitters, AnIntervalOfHalfTheStepEmitsTwicePerFrameHalfAStepApart) {
    EmitterValue v = Emitter(2);
    v.spawnEntries = {Item()};
    v.timedEntries = {Timer(0, 1, 1)};
    Begin(v);
    // The owner's clock steps 2 frames per frame: the interval of 1 is half
    // a step.
    RunAt(rig.owner, 0.0f, 2.0f);
    Spawns().clear();
    RunAt(rig.owner, 2.0f, 2.0f);
    ASSERT_EQ(Spawns().size(), 2u);
    // Ages 1 and 0: pre-advanced by one frame, then not at all.
    EXPECT_EQ(Spawns()[0].updates, std::vector<float>{1.0f});
    EXPECT_TRUE(Spawns()[1].updates.empty());
}

TEST_F(Emitters, NoIntervalAndNoSpacingNeverEmits) {
    EmitterValue v = Emitter(2);
    v.spawnEntries = {Item()};
    v.timedEntries = {Timer(0, 1, 0, 0, 0, 0.0f)};
    Begin(v);
    for (int f = 0; f < 50; ++f) {
        rig.owner->MoveTo(static_cast<float>(f) * 10.0f, 0, 0);
        RunAt(rig.owner, static_cast<float>(f));
    }
    EXPECT_TRUE(Spawns().empty());
}

TEST_F(Emitters, AnEndFrameOfZeroNeverEndsAndTenEndsOnceTheClockPassesIt) {
    EmitterValue v = Emitter(2);
    v.spawnEntries = {Item()};
    v.timedEntries = {Timer(0, 1, 1, 0, 0), Timer(0, 100, 1, 0, 10)};
    Begin(v);
    RunAt(rig.owner, 10.0f);
    EXPECT_EQ(Spawns().size(), 11u + 1100u); // frames 0-10 of both
    Spawns().clear();
    RunAt(rig.owner, 11.0f);
    EXPECT_EQ(Spawns().size(), 1u);
    Spawns().clear();
    RunAt(rig.owner, 1000.0f);
    EXPECT_EQ(Spawns().size(), 989u);
}

TEST_F(Emitters, AMoveOfTwoAndAHalfSpacingsEmitsTwoAndCarriesTheRest) {
    EmitterValue v = Emitter(2, 0.0f);
    v.spawnEntries = {Item()};
    v.timedEntries = {Timer(0, 1, 0, 0, 0, 2.0f)};
    Begin(v);
    rig.owner->MoveTo(5.0f, 0, 0);
    RunAt(rig.owner, 1.0f);
    ASSERT_EQ(Spawns().size(), 2u);
    const float length = FastLength(25.0f);
    EXPECT_GT(length, 5.0f);
    EXPECT_FLOAT_EQ(Spawns()[0].position[0], 5.0f * (2.0f / length));
    EXPECT_FLOAT_EQ(Spawns()[1].position[0], 5.0f * (4.0f / length));
    // Distance emissions are not late.
    EXPECT_TRUE(Spawns()[0].updates.empty());
    // From the second point on: a move to 6 is a spacing more.
    const float last = Spawns()[1].position[0];
    Spawns().clear();
    rig.owner->MoveTo(6.0f, 0, 0);
    RunAt(rig.owner, 2.0f);
    ASSERT_EQ(Spawns().size(), 1u);
    const float d = 6.0f - last;
    EXPECT_FLOAT_EQ(Spawns()[0].position[0], last + d * (2.0f / FastLength(d * d)));
}

TEST_F(Emitters, AnItemThatForbidsDistanceNeverEmitsByDistance) {
    EmitterValue v = Emitter(2);
    v.spawnEntries = {Item({{"ApCd", 1}})};
    v.timedEntries = {Timer(0, 1, 0, 0, 0, 1.0f)};
    Begin(v);
    rig.owner->MoveTo(50.0f, 0, 0);
    RunAt(rig.owner, 1.0f);
    EXPECT_TRUE(Spawns().empty());
}

TEST_F(Emitters, PointMinusOneIsTheOwnersPositionForEveryKindButOneAndSeven) {
    for (uint32_t kind : {2u, 3u, 4u, 5u, 6u, 8u, 9u}) {
        EmitterRig local;
        EmitterValue v = Emitter(kind);
        v.shape->points = Points({{1, 2, 3}});
        ASSERT_TRUE(local.Begin(EmitterRig::EffectWith(v))) << kind;
        ASSERT_NE(local.owner->emitter, nullptr) << kind;
        local.owner->MoveTo(4, 5, 6);
        float p[3];
        local.owner->emitter->GetPointPosition(-1, p);
        EXPECT_EQ(p[0], 4.0f) << kind;
        EXPECT_EQ(p[1], 5.0f) << kind;
        EXPECT_EQ(p[2], 6.0f) << kind;
        EXPECT_EQ(local.Release(), 0u) << kind;
        local.root = nullptr;
    }
    rig.root = nullptr;
}

// Spawning --------------------------------------------------------------

TEST_F(Emitters, TheWholeFramesOfTheAgePreAdvanceTheParticle) {
    EmitterValue v = Emitter(2);
    v.spawnEntries = {Item()};
    v.timedEntries = {Timer(0, 1, 100, 0), Timer(0, 1, 100, 2)};
    Begin(v);
    RunAt(rig.owner, 2.7f);
    ASSERT_EQ(Spawns().size(), 2u);
    // Age 2.7: two frames, one step; age 0.7 (and 0.9 below): none.
    EXPECT_EQ(Spawns()[0].updates, std::vector<float>{2.0f});
    EXPECT_EQ(Spawns()[0].evaluates, 1);
    EXPECT_TRUE(Spawns()[1].updates.empty());
    EXPECT_EQ(Spawns()[1].evaluates, 0);
    EXPECT_TRUE(Spawns()[0].added && Spawns()[1].added);
}

TEST_F(Emitters, ExtraFramesInSingleStepsOrInOne) {
    EmitterValue v = Emitter(2);
    v.spawnEntries = {Item({{"UST", 3}, {"bLSF", 1}}), Item({{"UST", 3}})};
    v.timedEntries = {Timer(0, 1, 100, 5), Timer(1, 1, 100, 5)};
    Begin(v);
    RunAt(rig.owner, 5.9f);
    ASSERT_EQ(Spawns().size(), 2u);
    EXPECT_EQ(Spawns()[0].updates, (std::vector<float>{1.0f, 1.0f, 1.0f}));
    EXPECT_EQ(Spawns()[0].evaluates, 3);
    EXPECT_EQ(Spawns()[1].updates, std::vector<float>{3.0f});
    EXPECT_EQ(Spawns()[1].evaluates, 1);
}

// Newborns of unit 1 (life 20) made not to loop, in single frames (odd
// items) or in one step: items 0-1 of the unit's own life, 2-3 endless
// (a drawn lifetime of 0), 4-5 looping (unit 2: life 20, loop 2..8).
effecttools::EffectFileValue NewbornKinds() {
    EmitterValue v = Emitter(2);
    const std::vector<FieldValue> kinds[3] = {{}, {{"OvLf", 2}, {"Lif", 0}}, {}};
    for (uint32_t kind = 0; kind < 3; ++kind) {
        for (uint32_t single : {0u, 1u}) {
            v.spawnEntries.push_back(Item(kinds[kind]));
            v.spawnEntries.back().fields.push_back({"bLSF", single});
            if (kind == 2)
                v.spawnEntries.back().fields[0] = {"TgUI", 2};
        }
    }
    effecttools::EffectFileValue f = EmitterRig::EffectWith(v);
    f.package.units.push_back(f.package.units[1]);
    f.package.units[1].loopStart = 0;
    f.package.units[1].loopEnd = 0;
    return f;
}

// `ones` single frames, then one step of `rest` frames when it is not 0.
std::vector<float> Steps(int ones, float rest = 0.0f) {
    std::vector<float> steps(static_cast<size_t>(ones), 1.0f);
    if (rest != 0.0f)
        steps.push_back(rest);
    return steps;
}

// The whole frames of the age advance a newborn, never past its life of 20:
// at or past it the newborn ends at its end time, the single frames stopping
// there, whatever the age (huge, past the int range, infinite). A NaN age
// is no advance. A newborn that does not end by its clock in its advance
// (endless, or looping back) takes what its age asks, at most 65535 single
// frames and the rest in one step.
TEST_F(Emitters, ANewbornIsAdvancedByItsAgeButNeverPastItsLife) {
    constexpr float kInf = std::numeric_limits<float>::infinity();
    const float nan = std::numeric_limits<float>::quiet_NaN();
    enum Kind : uint32_t { kLife = 0, kEndless = 2, kLooping = 4 };
    struct Row {
        const char* name;
        uint32_t item;
        float age;
        std::vector<float> steps;
        bool ends;
    };
    const Row rows[] = {
        {"AgeZeroIsNoAdvance", kLife, 0.0f, {}, false},
        {"AgeZeroIsNoAdvanceInSingleFrames", kLife + 1, 0.0f, {}, false},
        {"OneFrameIsOneStep", kLife, 1.0f, Steps(0, 1.0f), false},
        {"OneFrameIsOneSingleFrame", kLife + 1, 1.0f, Steps(1), false},
        {"LifeLessOneLivesOn", kLife, 19.0f, Steps(0, 19.0f), false},
        {"LifeLessOneLivesOnInSingleFrames", kLife + 1, 19.0f, Steps(19), false},
        {"ItsLifeEndsIt", kLife, 20.0f, Steps(0, 20.0f), true},
        {"ItsLifeEndsItAtTheLastSingleFrame", kLife + 1, 20.0f, Steps(20), true},
        {"OnePastItsLifeEndsItAtItsLife", kLife, 21.0f, Steps(0, 20.0f), true},
        {"OnePastItsLifeStopsTheSingleFramesAtItsEnd", kLife + 1, 21.0f, Steps(20), true},
        {"AMillionFramesEndItAtItsLife", kLife, 1e6f, Steps(0, 20.0f), true},
        {"AMillionSingleFramesStopAtItsEnd", kLife + 1, 1e6f, Steps(20), true},
        {"PastTheIntRangeEndsItAtItsLife", kLife, 3e9f, Steps(0, 20.0f), true},
        {"PastTheIntRangeInSingleFramesStopsAtItsEnd", kLife + 1, 3e9f, Steps(20), true},
        {"InfinityEndsItAtItsLife", kLife, kInf, Steps(0, 20.0f), true},
        {"InfinityInSingleFramesStopsAtItsEnd", kLife + 1, kInf, Steps(20), true},
        {"NaNIsNoAdvance", kLife, nan, {}, false},
        {"NaNIsNoAdvanceInSingleFrames", kLife + 1, nan, {}, false},
        {"MinusInfinityIsNoAdvance", kLife + 1, -kInf, {}, false},
        {"EndlessTakesAMillionFramesInOneStep", kEndless, 1e6f, Steps(0, 1e6f), false},
        {"EndlessTakesAMillionAsTheMostSingleFramesAndTheRest", kEndless + 1, 1e6f,
         Steps(65535, 1e6f - 65535.0f), false},
        {"EndlessPastTheIntRangeTakesTheRangesEnd", kEndless, 3e9f, Steps(0, 2147483648.0f), false},
        {"EndlessInfinityTakesTheRangesEnd", kEndless + 1, kInf, Steps(65535, 2147418112.0f),
         false},
        {"LoopingLivesPastItsLifetime", kLooping + 1, 25.0f, Steps(25), false},
        {"LoopingTakesAMillionFramesInOneStep", kLooping, 1e6f, Steps(0, 1e6f), false},
    };
    Begin(NewbornKinds());
    const float position[3] = {};
    const float direction[3] = {0, 1, 0};
    for (const Row& row : rows) {
        Spawns().clear();
        emitter()->SpawnParticle(row.age, row.item, position, direction, 1.0f, -1);
        ASSERT_EQ(Spawns().size(), 1u) << row.name;
        const SpawnRecord& spawned = Spawns()[0];
        EXPECT_EQ(spawned.updates, row.steps) << row.name;
        EXPECT_EQ(spawned.evaluates, static_cast<int>(row.steps.size())) << row.name;
        ASSERT_NE(rig.owner->lastChild, nullptr) << row.name;
        EXPECT_EQ(rig.owner->lastChild->alive == 0, row.ends) << row.name;
        EXPECT_TRUE(spawned.added) << row.name;
    }
}

// Particles due two billion frames ago, in single frames: each ends within
// its life of 20 in the frame that made it, and the owner lets it go in
// that same frame.
TEST_F(Emitters, NewbornsAgedPastTheirLifeAreReleasedInTheirFrame) {
    EmitterValue v = Emitter(2);
    v.spawnEntries = {Item({{"bLSF", 1}})};
    v.timedEntries = {Timer(0, 1, 30000, -2000000000)};
    effecttools::EffectFileValue f = EmitterRig::EffectWith(v);
    f.package.units[1].loopEnd = 0;
    Begin(f);
    const uint32_t before = EmitterRig::UsedBlocks();
    rig.owner->Update(1.0f);
    ASSERT_EQ(Spawns().size(), EmitterUnit::kMaxIntervalEmissions);
    for (const SpawnRecord& spawned : Spawns()) {
        // Its 20 single frames, then the owner's step of its new children.
        ASSERT_EQ(spawned.updates.size(), 21u);
        EXPECT_TRUE(spawned.added);
    }
    EXPECT_EQ(rig.owner->firstChild, nullptr);
    EXPECT_EQ(EmitterRig::UsedBlocks(), before);
}

TEST_F(Emitters, ADrawnLifetimeCoversItsRangeAndAZeroLifetimeNeverEndsByTime) {
    EmitterValue v = Emitter(2);
    v.spawnEntries = {Item({{"OvLf", 2}, {"Lif", 10}, {"LifR", 4}}),
                      Item({{"OvLf", 2}, {"Lif", 0}}), Item({{"OvLf", 1}, {"bLfS", 1}})};
    v.timedEntries = {Timer(0, 1000, 100), Timer(1, 1, 100), Timer(2, 1, 100)};
    Begin(v, 40.0f);
    RunAt(rig.owner, 0.0f);
    ASSERT_EQ(Spawns().size(), 1002u);
    std::set<float> seen;
    for (size_t i = 0; i < 1000; ++i) {
        seen.insert(Spawns()[i].state.lifetime);
        EXPECT_EQ(Spawns()[i].state.timeMode, 0u);
        EXPECT_EQ(Spawns()[i].state.speed, 1.0f);
    }
    EXPECT_EQ(seen, (std::set<float>{10, 11, 12, 13, 14}));
    EXPECT_EQ(Spawns()[1000].state.lifetime, 0.0f);
    EXPECT_EQ(Spawns()[1000].state.timeMode, 1u);
    // The owner's lifetime of 40, the unit's 20 played out in it.
    EXPECT_EQ(Spawns()[1001].state.lifetime, 40.0f);
    EXPECT_EQ(Spawns()[1001].state.speed, 0.5f);
    // The record: the owner, the unit's loop, unit 1.
    EXPECT_EQ(Spawns()[0].state.parent, rig.owner);
    EXPECT_EQ(Spawns()[0].state.loopStart, 2.0f);
    EXPECT_EQ(Spawns()[0].state.loopEnd, 8.0f);
    EXPECT_EQ(Spawns()[0].unit, rig.root->package->GetUnit(1));
    EXPECT_EQ(Spawns()[0].spawner, emitter());
}

TEST_F(Emitters, TheRotationAccumulatorWrapsIntoPlusMinusPi) {
    EmitterValue v = Emitter(2);
    v.spawnEntries = {Item()};
    v.spawnEntries[0].rei = {1.0f, -4.0f, 0.0f};
    v.timedEntries = {Timer(0, 10, 100)};
    Begin(v);
    RunAt(rig.owner, 0.0f);
    ASSERT_EQ(Spawns().size(), 10u);
    EXPECT_EQ(Spawns()[0].rotation[0], 0.0f);
    EXPECT_NEAR(Spawns()[9].rotation[0], 9.0f - 2.0f * kPi, 1e-5f);
    EXPECT_NEAR(Spawns()[1].rotation[1], -4.0f + 2.0f * kPi, 1e-5f);
}

TEST_F(Emitters, InheritedVelocityIsTheOwnersMovePerFrame) {
    EmitterValue v = Emitter(2, 0.0f);
    v.spawnEntries = {Item({{"bLiI", 1}}), Item()};
    v.timedEntries = {Timer(0, 1, 1), Timer(1, 1, 1)};
    Begin(v);
    rig.owner->MoveTo(3.0f, 0, 0);
    RunAt(rig.owner, 1.0f, 1.0f);
    RunAt(rig.owner, 2.0f, 0.0f);
    ASSERT_EQ(Spawns().size(), 6u); // frames 0 and 1 of both, then frame 2
    EXPECT_EQ(Spawns()[0].velocity, (std::array<float, 3>{3, 0, 0}));
    EXPECT_EQ(Spawns()[1].velocity, (std::array<float, 3>{3, 0, 0}));
    EXPECT_EQ(Spawns()[2].velocity, (std::array<float, 3>{0, 0, 0})); // not inheriting
    EXPECT_EQ(Spawns()[4].velocity, (std::array<float, 3>{0, 0, 0})); // a step of 0
    EXPECT_EQ(Spawns()[0].origin, (std::array<float, 3>{3, 0, 0}));
}

TEST_F(Emitters, TheSettingsTailStartsAtThePointNumber) {
    EmitterValue v = Emitter(2);
    v.spawnEntries = {Item({{"PLNo", 0xFF}, {"ApCd", 2}, {"ApbS", 1}, {"ApbR", 1}, {"ApbT", 1}})};
    v.timedEntries = {Timer(0, 1, 1)};
    Begin(v);
    RunAt(rig.owner, 0.0f);
    ASSERT_EQ(Spawns().size(), 1u);
    EXPECT_EQ(Spawns()[0].settings, (std::array<uint8_t, 8>{0xFF, 0, 0, 0, 0, 0, 2, 7}));
    EXPECT_EQ(Spawns()[0].pointIndex, -1);
}

// Pickers ----------------------------------------------------------------

EmitterValue PointEmitter(uint32_t kind, uint32_t points, uint32_t gnct = 0, uint32_t gnpt = 0) {
    EmitterValue v = Emitter(kind);
    std::vector<std::array<float, 3>> xyz;
    for (uint32_t i = 0; i < points; ++i)
        xyz.push_back({static_cast<float>(i), 0, 0});
    v.shape->points = Points(xyz);
    v.shape->fields = {{"GnCT", gnct}, {"GnPT", gnpt}};
    v.shape->floats.push_back({"Rad", Constant(1.0f)});
    return v;
}

std::vector<int32_t> Indices() {
    std::vector<int32_t> out;
    for (const SpawnRecord& r : Spawns())
        out.push_back(r.pointIndex);
    return out;
}

TEST_F(Emitters, SequentialPicksStartAtTheOffset) {
    EmitterValue v = PointEmitter(5, 5);
    v.spawnEntries = {Item({{"VNOf", 7}})};
    v.timedEntries = {Timer(0, 6, 100)};
    Begin(v);
    RunAt(rig.owner, 0.0f);
    EXPECT_EQ(Indices(), (std::vector<int32_t>{2, 3, 4, 0, 1, 2}));
}

TEST_F(Emitters, ItemsOnTheSharedCounterWalkTogether) {
    EmitterValue v = PointEmitter(5, 4);
    v.spawnEntries = {Item({{"bCVN", 1}, {"VNOf", 0}}), Item({{"bCVN", 1}, {"VNOf", 2}})};
    v.timedEntries = {Timer(0, 1, 1, 1), Timer(1, 1, 1, 1)};
    Begin(v);
    RunAt(rig.owner, 1.0f);
    RunAt(rig.owner, 2.0f);
    RunAt(rig.owner, 3.0f);
    ASSERT_EQ(Spawns().size(), 6u);
    Spawns().pop_back();
    EXPECT_EQ(Indices(), (std::vector<int32_t>{0, 3, 2, 1, 0}));
}

TEST_F(Emitters, RandomPicksStayBelowTheCountAndTakeOneDrawEach) {
    EmitterValue v = PointEmitter(8, 3, 0, 1);
    v.shape->size3 = effecttools::TripleValue{0, Constant(1), Constant(1), Constant(1)};
    v.spawnEntries = {Item()};
    v.timedEntries = {Timer(0, 300, 100)};
    Begin(v);
    const Xorshift128 before = rig.root->random;
    RunAt(rig.owner, 0.0f);
    EXPECT_TRUE(Same(rig.root->random, Advanced(before, 300)));
    const std::vector<int32_t> indices = Indices();
    const std::set<int32_t> seen(indices.begin(), indices.end());
    EXPECT_EQ(seen, (std::set<int32_t>{0, 1, 2}));
}

// Shapes ------------------------------------------------------------------

TEST_F(Emitters, OutwardFromTheCentreGivesTheOriginAndNoDirection) {
    EmitterValue v = PointEmitter(5, 2);
    v.spawnEntries = {Item()};
    v.timedEntries = {Timer(0, 2, 100)};
    Begin(v);
    rig.owner->MoveTo(7, 8, 9);
    RunAt(rig.owner, 0.0f);
    ASSERT_EQ(Spawns().size(), 2u);
    EXPECT_EQ(Spawns()[0].position, (std::array<float, 3>{7, 8, 9}));
    EXPECT_EQ(Spawns()[0].direction, (std::array<float, 3>{0, 0, 0}));
    // Point (1, 0, 0): still from the origin, out through the point.
    EXPECT_EQ(Spawns()[1].position, (std::array<float, 3>{7, 8, 9}));
    EXPECT_NEAR(Spawns()[1].direction[0], 1.0f, 2e-3f);
}

TEST_F(Emitters, APlaneIgnoresTheStoredHeight) {
    for (uint32_t mode : {0u, 1u, 2u}) {
        EmitterRig local;
        EmitterValue v = Emitter(9);
        v.shape->points = Points({{1, 5, 2}}, {{127, 0, 0}});
        v.shape->fields = {{"GnCT", mode}};
        v.shape->size2 = effecttools::PairValue{0, Constant(2), Constant(3)};
        v.spawnEntries = {Item()};
        v.timedEntries = {Timer(0, 1, 100)};
        ASSERT_TRUE(local.Begin(EmitterRig::EffectWith(v)));
        RunAt(local.owner, 0.0f);
        ASSERT_EQ(Spawns().size(), 1u);
        const SpawnRecord r = Spawns()[0];
        if (mode == 0) {
            EXPECT_NEAR(r.direction[1], 0.0f, 1e-6f); // out through (2, 0, 6)
            EXPECT_NEAR(r.direction[2] / r.direction[0], 3.0f, 1e-5f);
        } else {
            EXPECT_EQ(r.position, (std::array<float, 3>{2, 0, 6})) << mode;
        }
        if (mode == 1) {
            EXPECT_EQ(r.direction, (std::array<float, 3>{0, 1, 0}));
        }
        EXPECT_EQ(local.Release(), 0u);
        local.root = nullptr;
    }
    rig.root = nullptr;
}

EmitterValue CapEmitter(uint8_t latitude, uint8_t longitude, float extent, uint32_t gnct = 0) {
    EmitterValue v = Emitter(7);
    v.shape->latitudeDivisions = latitude;
    v.shape->longitudeDivisions = longitude;
    v.shape->fields = {{"GnCT", gnct}};
    v.shape->floats.push_back({"IjA", Constant(extent)});
    v.shape->floats.push_back({"Rad", Constant(2.0f)});
    return v;
}

// Kept as stated: the random picker of a cap reaches one number more than
// the sequential one.
TEST_F(Emitters, ACapsRandomPickReachesOneNumberPastTheWalk) {
    EmitterValue v = CapEmitter(3, 4, kPi);
    v.shape->fields.push_back({"GnPT", 1});
    v.spawnEntries = {Item()};
    v.timedEntries = {Timer(0, 400, 100)};
    Begin(v);
    RunAt(rig.owner, 0.0f);
    const std::vector<int32_t> indices = Indices();
    // Two rings of four: the walk covers 3 to 10, the random pick 3 to 11.
    EXPECT_EQ(*std::min_element(indices.begin(), indices.end()), 3);
    EXPECT_EQ(*std::max_element(indices.begin(), indices.end()), 11);
}

TEST_F(Emitters, ACapStartsAtItsPoleAndAClosedOneEndsAtTheOther) {
    // Two rings of four segments: numbers 3 to 10.
    EmitterValue v = CapEmitter(3, 4, kPi);
    v.spawnEntries = {Item()};
    v.timedEntries = {Timer(0, 8, 100)};
    Begin(v);
    RunAt(rig.owner, 0.0f);
    ASSERT_EQ(Spawns().size(), 8u);
    EXPECT_EQ(Indices().front(), 3);
    EXPECT_EQ(Indices().back(), 10);
    EXPECT_NEAR(Spawns()[0].direction[0], 0.0f, 1e-6f);
    EXPECT_NEAR(Spawns()[0].direction[1], 1.0f, 1e-6f);
    EXPECT_NEAR(Spawns()[7].direction[1], -1.0f, 1e-6f);
    EXPECT_NEAR(std::hypot(Spawns()[7].direction[0], Spawns()[7].direction[2]), 0.0f, 1e-6f);
    // The first ring lies on the equator of this sphere.
    EXPECT_NEAR(Spawns()[1].direction[1], 0.0f, 1e-6f);
}

TEST_F(Emitters, AWorldScaleOfTwoScalesAllButTheTableKindsOutwardDirections) {
    struct Case {
        EmitterValue emitter;
        float expected; // the length of the direction
    };
    EmitterValue outward = PointEmitter(5, 2);
    EmitterValue normal = PointEmitter(5, 2, 1);
    normal.shape->points = Points({{0, 0, 0}, {1, 0, 0}}, {{0, 127, 0}, {0, 127, 0}});
    EmitterValue axis = PointEmitter(5, 2, 2);
    const Case cases[] = {
        {outward, 1.0f}, {normal, 2.0f}, {axis, 2.0f}, {CapEmitter(3, 4, kPi), 2.0f}};
    for (const Case& c : cases) {
        EmitterRig local;
        EmitterValue v = c.emitter;
        v.spawnEntries = {Item()};
        v.timedEntries = {Timer(0, 2, 100)};
        ASSERT_TRUE(local.Begin(EmitterRig::EffectWith(v)));
        for (int i : {0, 4, 8})
            local.owner->matrix[i] = 2.0f;
        RunAt(local.owner, 0.0f);
        ASSERT_EQ(Spawns().size(), 2u);
        const auto& d = Spawns()[1].direction;
        EXPECT_NEAR(std::sqrt(d[0] * d[0] + d[1] * d[1] + d[2] * d[2]), c.expected, 4e-3f);
        EXPECT_EQ(local.Release(), 0u);
        local.root = nullptr;
    }
    rig.root = nullptr;
}

TEST_F(Emitters, AModelVertexIsEmittedWhereItIs) {
    for (uint32_t mode : {1u, 2u}) {
        EmitterRig local;
        EmitterValue v = Emitter(1);
        v.shape->model = 0;
        v.shape->fields = {{"GnCT", mode}};
        v.spawnEntries = {Item()};
        v.timedEntries = {Timer(0, 1, 100)};
        effecttools::EffectFileValue f = EmitterRig::EffectWith(v);
        effecttools::ModelValue model;
        model.edgeVertices = Points({{9, 9, 9}, {1, 2, 3}});
        model.pointNumbers = std::vector<uint16_t>{1};
        f.package.models = {model};
        ASSERT_TRUE(local.Begin(f));
        RunAt(local.owner, 0.0f);
        ASSERT_EQ(Spawns().size(), 1u) << mode;
        // Point 0 maps to vertex 1.
        EXPECT_EQ(Spawns()[0].pointIndex, 1);
        EXPECT_EQ(Spawns()[0].position, (std::array<float, 3>{1, 2, 3})) << mode;
        EXPECT_EQ(local.Release(), 0u);
        local.root = nullptr;
    }
    rig.root = nullptr;
}

EmitterValue SectorEmitter(uint32_t kind, float inner, float outer, float a = 0, float b = 0) {
    EmitterValue v = Emitter(kind, 3.0f);
    v.shape->floats.push_back({"RadI", Constant(inner)});
    v.shape->floats.push_back({"RadO", Constant(outer)});
    v.shape->floats.push_back({"IjAI", Constant(a)});
    v.shape->floats.push_back({"IjAO", Constant(b)});
    v.spawnEntries = {Item()};
    v.timedEntries = {Timer(0, 200, 100)};
    return v;
}

TEST_F(Emitters, SectorsAndRingsOfRadiusZeroEmitFromTheOrigin) {
    for (uint32_t kind : {3u, 4u}) {
        EmitterRig local;
        ASSERT_TRUE(local.Begin(EmitterRig::EffectWith(SectorEmitter(kind, 0, 0, 0, kPi))));
        local.owner->MoveTo(1, 2, 3);
        const Xorshift128 before = local.root->random;
        RunAt(local.owner, 0.0f);
        // Three steps a particle for a sector, two for a ring.
        EXPECT_TRUE(Same(local.root->random, Advanced(before, 200 * (kind == 3 ? 3 : 2)))) << kind;
        for (const SpawnRecord& r : Spawns()) {
            EXPECT_EQ(r.position, (std::array<float, 3>{1, 2, 3}));
            EXPECT_EQ(r.pointIndex, -1);
        }
        if (kind == 4) {
            EXPECT_EQ(Spawns()[0].direction, (std::array<float, 3>{0, 1, 0}));
        }
        EXPECT_EQ(local.Release(), 0u);
        local.root = nullptr;
    }
    rig.root = nullptr;
}

TEST_F(Emitters, SectorAnglesZeroEmitAlongYAndZeroToPiCoverTheSphere) {
    Begin(SectorEmitter(3, 1, 1, 0, 0));
    RunAt(rig.owner, 0.0f);
    EXPECT_NEAR(Spawns()[0].direction[1], 1.0f, 1e-6f);
    EXPECT_NEAR(Spawns()[0].position[1], 1.0f, 1e-6f);
}

TEST_F(Emitters, SectorAnglesZeroToPiCoverTheSphere) {
    Begin(SectorEmitter(3, 1, 1, 0, kPi));
    RunAt(rig.owner, 0.0f);
    float low = 1, high = -1;
    for (const SpawnRecord& r : Spawns()) {
        low = std::min(low, r.direction[1]);
        high = std::max(high, r.direction[1]);
    }
    EXPECT_LT(low, -0.9f);
    EXPECT_GT(high, 0.9f);
}

TEST_F(Emitters, ARotatedOwnersRingTurnsButItsParticlesStillGoUp) {
    Begin(SectorEmitter(4, 2, 2));
    // A quarter turn about X: the ring's plane becomes X-Y.
    const float turned[12] = {1, 0, 0, 0, 0, 1, 0, -1, 0, 0, 0, 0};
    std::copy(turned, turned + 12, rig.owner->matrix);
    RunAt(rig.owner, 0.0f);
    for (const SpawnRecord& r : Spawns()) {
        EXPECT_EQ(r.direction, (std::array<float, 3>{0, 1, 0}));
        EXPECT_NEAR(r.position[2], 0.0f, 1e-5f);
        EXPECT_NEAR(std::hypot(r.position[0], r.position[1]), 2.0f, 1e-4f);
        EXPECT_EQ(r.velocity[1], 3.0f);
    }
}

TEST_F(Emitters, APointsPositionIsScaledTurnedAndPlaced) {
    EmitterValue v = PointEmitter(6, 2, 1);
    v.shape->points = Points({{0, 0, 0}, {1, 2, 3}});
    v.shape->floats = {{"IjSp", Constant(1.0f)}, {"Len", Constant(10.0f)}, {"Rad", Constant(2.0f)}};
    v.spawnEntries = {Item()};
    v.timedEntries = {Timer(0, 1, 0, 0, 0, 4.0f)};
    Begin(v);
    // A quarter turn about Z (X goes to Y).
    const float turned[12] = {0, 1, 0, -1, 0, 0, 0, 0, 1, 0, 0, 0};
    std::copy(turned, turned + 12, rig.owner->matrix);
    RunAt(rig.owner, 0.0f);
    EXPECT_TRUE(Spawns().empty());
    float p[3];
    emitter()->GetPointPosition(1, p);
    // (1 x 2, 2 x 10, 3 x 2) turned: (-20, 2, 6).
    EXPECT_NEAR(p[0], -20.0f, 1e-4f);
    EXPECT_NEAR(p[1], 2.0f, 1e-4f);
    EXPECT_NEAR(p[2], 6.0f, 1e-4f);
    // Emission by distance centres the shape on the point on the path:
    // from 0 towards 10, the points lie 4 / L and 8 / L of the way.
    rig.owner->matrix[9] = 10.0f;
    RunAt(rig.owner, 1.0f);
    ASSERT_EQ(Spawns().size(), 2u);
    const float along = 10.0f * 4.0f / FastLength(100.0f);
    EXPECT_NEAR(Spawns()[0].position[0], along, 1e-4f); // point 0 at the centre
    EXPECT_NEAR(Spawns()[1].position[0], 2.0f * along - 20.0f, 1e-4f);
    EXPECT_NEAR(Spawns()[1].position[1], 2.0f, 1e-4f);
}

// Events ------------------------------------------------------------------

TEST_F(Emitters, BirthItemsRollTheirChanceOncePerItem) {
    EmitterValue v = Emitter(2);
    v.spawnEntries = {Item({{"GeIT", 1}, {"GeIP", 100}, {"GeIC", 2}}),
                      Item({{"GeIT", 1}, {"GeIP", 0}, {"GeIC", 2}}),
                      Item({{"GeIT", 2}, {"GeIP", 100}, {"GeIC", 5}}),
                      Item({{"GeIT", 1}, {"GeIP", 150}, {"GeIC", 1}})};
    Begin(v);
    // The owner's start: the first and last items.
    ASSERT_EQ(Spawns().size(), 3u);
    const Xorshift128 before = rig.root->random;
    Spawns().clear();
    emitter()->SpawnEventChildren();
    EXPECT_EQ(Spawns().size(), 3u);
    EXPECT_TRUE(Same(rig.root->random, Advanced(before, 3)));
}

TEST_F(Emitters, ImmediateBirthEmissionsRefreshTheShapeOnceFirst) {
    EmitterValue v = Emitter(2);
    // A rotation whose every evaluation draws once, turning (0, 0, 1) to
    // (0, -1, 0) about X.
    effecttools::CurvesValue drawing;
    drawing.value.keys = {{1, 0.0f, kPi / 2}};
    drawing.random.randomType = 4;
    drawing.random.keys = {{1, 0.0f, 0.0f}};
    v.localRotation = effecttools::TripleValue{0, drawing, Constant(0), Constant(0)};
    v.spawnEntries = {Item({{"GeIT", 1}, {"GeIP", 100}, {"GeIC", 1}}),
                      Item({{"GeIT", 1}, {"GeIP", 100}, {"GeIC", 1}})};
    Begin(v);
    ASSERT_EQ(Spawns().size(), 2u);
    EXPECT_NEAR(Spawns()[0].direction[1], -1.0f, 1e-6f);
    const Xorshift128 before = rig.root->random;
    emitter()->SpawnEventChildren();
    // Two rolls and one refresh.
    EXPECT_TRUE(Same(rig.root->random, Advanced(before, 3)));
}

TEST_F(Emitters, ImmediateEventEmissionsAreAdvancedByTwiceTheExtraFrames) {
    EmitterValue v = Emitter(2);
    v.spawnEntries = {Item({{"GeIT", 1}, {"GeIP", 100}, {"GeIC", 1}, {"UST", 2}})};
    Begin(v);
    ASSERT_EQ(Spawns().size(), 1u);
    EXPECT_EQ(Spawns()[0].updates, std::vector<float>{4.0f});
}

TEST_F(Emitters, ABirthDelayEmitsWhenTheClockReachesIt) {
    EmitterValue v = Emitter(2);
    v.spawnEntries = {Item({{"GeIT", 1}, {"GeIP", 100}, {"GeIC", 2}, {"GeSD", 5}})};
    Begin(v);
    EXPECT_TRUE(Spawns().empty());
    ASSERT_NE(rig.owner->firstChild, nullptr);
    EXPECT_EQ(rig.owner->firstChild->GetKind(), FulgorCore::UnitInstance::kDelayedEmit);
    for (int f = 0; f < 4; ++f)
        testsupport::Frame(1.0f);
    EXPECT_TRUE(Spawns().empty()) << rig.owner->time;
    testsupport::Frame(3.0f); // the owner's clock 7
    ASSERT_EQ(Spawns().size(), 2u);
    // Age 7 - 5: pre-advanced by 2, then the tree's own step of the frame.
    EXPECT_EQ(Spawns()[0].updates, (std::vector<float>{2.0f, 3.0f}));
    testsupport::Frame(1.0f);
    // The waiting unit has gone; the particles hang under the owner.
    EXPECT_EQ(rig.owner->firstChild->GetKind(), FulgorCore::UnitInstance::kParticleNode);
    EXPECT_EQ(Spawns().size(), 2u);
}

TEST_F(Emitters, ADeathDelayMeasuresFromBirth) {
    EmitterValue v = Emitter(2);
    v.spawnEntries = {Item({{"GeIT", 2}, {"GeIP", 100}, {"GeIC", 1}, {"GeSD", 5}})};
    Begin(v, 60.0f);
    for (int f = 0; f < 59; ++f)
        testsupport::Frame();
    EXPECT_TRUE(rig.owner->alive);
    // Killed at clock 60; the waiting unit's first update emits at once.
    testsupport::Frame();
    EXPECT_FALSE(rig.owner->alive);
    ASSERT_EQ(Spawns().size(), 1u);
    ASSERT_FALSE(Spawns()[0].updates.empty());
    EXPECT_EQ(Spawns()[0].updates[0], 55.0f);
    testsupport::Frame();
    EXPECT_EQ(Spawns().size(), 1u);
}

// Fault: the clock of a particle killed before the delay stops, so the
// waiting unit would never emit and would keep its ended owner and the
// blocks of both until the instance goes. It ends without emitting
// instead, and both go at the next update.
TEST_F(Emitters, ADeathDelayPastTheEndEndsWithItsParticle) {
    EmitterValue v = Emitter(2);
    v.spawnEntries = {Item({{"GeIT", 2}, {"GeIP", 100}, {"GeIC", 1}, {"GeSD", 5}})};
    Begin(v, 3.0f);
    // Killed at clock 3, when the waiting unit is made.
    for (int f = 0; f < 4; ++f)
        testsupport::Frame();
    EXPECT_TRUE(Spawns().empty());
    EXPECT_EQ(rig.root->firstChild, nullptr);
    EXPECT_EQ(testsupport::UnitTreeRig::UsedBlocks(), rig.startBlocks);
}

// Faults ------------------------------------------------------------------

// The 7-bit counts may name more items and timers than the blocks hold.
TEST_F(Emitters, CountsAreCutToThirtyTwo) {
    EmitterValue v = Emitter(2);
    for (int i = 0; i < 40; ++i) {
        v.spawnEntries.push_back(Item());
        v.timedEntries.push_back(Timer(static_cast<uint16_t>(i), 1, 100));
    }
    Begin(v);
    EXPECT_EQ(emitter()->itemCount, 32u);
    EXPECT_EQ(emitter()->timerCount, 32u);
    RunAt(rig.owner, 0.0f);
    EXPECT_EQ(Spawns().size(), 32u);
}

TEST_F(Emitters, ATimerNamingNoItemNeverEmits) {
    EmitterValue v = Emitter(2);
    v.spawnEntries = {Item()};
    v.timedEntries = {Timer(1, 1, 1), Timer(0xFFFF, 1, 1, 0, 0, 1.0f)};
    Begin(v);
    rig.owner->MoveTo(10, 0, 0);
    RunAt(rig.owner, 5.0f);
    EXPECT_TRUE(Spawns().empty());
}

TEST_F(Emitters, AnItemNamingNoUnitSpawnsNothingButTurnsOn) {
    EmitterValue v = Emitter(2);
    v.spawnEntries = {Item({{"TgUI", 9}}), Item({{"TgUI", 0xFF}})};
    v.spawnEntries[0].rei = {1.0f, 0.0f, 0.0f};
    v.timedEntries = {Timer(0, 3, 100), Timer(1, 3, 100)};
    Begin(v);
    RunAt(rig.owner, 0.0f);
    EXPECT_TRUE(Spawns().empty());
    EXPECT_EQ(emitter()->itemState->items[0].rotation[0], 3.0f);
}

TEST_F(Emitters, ANegativeLifetimeRangeActsAsZero) {
    EmitterValue v = Emitter(2);
    v.spawnEntries = {Item({{"OvLf", 2}, {"Lif", 7}, {"LifR", 0xFFFF}})};
    v.timedEntries = {Timer(0, 5, 100)};
    Begin(v);
    const Xorshift128 before = rig.root->random;
    RunAt(rig.owner, 0.0f);
    ASSERT_EQ(Spawns().size(), 5u);
    for (const SpawnRecord& r : Spawns())
        EXPECT_EQ(r.state.lifetime, 7.0f);
    EXPECT_TRUE(Same(rig.root->random, before)); // no draw
}

// A point kind whose data gives it no point counts 0 points: it emits
// nothing (neither picker divides by the count, and no pick draws a random
// number), its point numbers are the owner's position, and its owner lives
// on. A cap has (latitude divisions - 1) x segments points.
TEST_F(Emitters, APointKindWithoutPointsEmitsNothingAndItsOwnerLives) {
    const auto picked = [](EmitterValue v, uint32_t gnpt) {
        v.shape->fields.push_back({"GnPT", gnpt});
        return v;
    };
    struct Row {
        const char* name;
        EmitterValue emitter;
    };
    const Row rows[] = {
        {"sphere points, none", PointEmitter(5, 0, 0, 1)},
        {"cylinder points, none", PointEmitter(6, 0, 0, 1)},
        {"box points, none", PointEmitter(8, 0, 0, 1)},
        {"plane points, none", PointEmitter(9, 0, 0, 1)},
        {"sphere points, none, walked in order", PointEmitter(5, 0, 0, 0)},
        {"a cap of one latitude division", picked(CapEmitter(1, 4, kPi), 1)},
        {"a cap of no latitude division", picked(CapEmitter(0, 4, kPi), 1)},
        {"a cap of no segment", picked(CapEmitter(3, 0, kPi), 1)},
        {"a cap of one latitude division, walked in order", picked(CapEmitter(1, 4, kPi), 0)},
        {"a cap of no segment, walked in order", picked(CapEmitter(3, 0, kPi, 2), 0)},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        EmitterRig local;
        EmitterValue v = row.emitter;
        v.spawnEntries = {Item()};
        v.timedEntries = {Timer(0, 3, 1)};
        ASSERT_TRUE(local.Begin(EmitterRig::EffectWith(v)));
        ASSERT_NE(local.owner->emitter, nullptr);
        EXPECT_TRUE(local.owner->alive);
        EXPECT_EQ(local.owner->ends, 0);
        EXPECT_EQ(local.owner->emitter->pointCount, 0u);
        local.owner->MoveTo(4, 5, 6);
        const Xorshift128 before = local.root->random;
        for (float t : {0.0f, 1.0f, 2.0f})
            RunAt(local.owner, t);
        EXPECT_TRUE(Spawns().empty());
        EXPECT_TRUE(Same(local.root->random, before));
        EXPECT_TRUE(local.owner->alive);
        for (int32_t index : {0, 3}) {
            float p[3] = {};
            local.owner->emitter->GetPointPosition(static_cast<uint32_t>(index), p);
            EXPECT_EQ(Three(p), (std::array<float, 3>{4, 5, 6})) << index;
        }
        EXPECT_EQ(local.Release(), 0u);
        local.root = nullptr;
    }
    rig.root = nullptr;
}

TEST_F(Emitters, UnusableShapeDataEndsTheOwnerAtConstruction) {
    EmitterValue noModel = Emitter(1);
    noModel.shape->model = 3; // the package holds none
    EmitterValue badMode = PointEmitter(5, 2, 3);
    EmitterValue badPick = PointEmitter(9, 2, 0, 2);
    EmitterValue badCapPick = CapEmitter(3, 4, kPi);
    badCapPick.shape->fields.push_back({"GnPT", 2});
    const EmitterValue cases[] = {badMode, badPick, badCapPick, CapEmitter(3, 4, kPi, 3), noModel};
    for (const EmitterValue& c : cases) {
        EmitterRig local;
        EmitterValue v = c;
        v.spawnEntries = {Item()};
        v.timedEntries = {Timer(0, 1, 1)};
        ASSERT_TRUE(local.Begin(EmitterRig::EffectWith(v)));
        EXPECT_FALSE(local.owner->alive);
        RunAt(local.owner, 3.0f);
        EXPECT_TRUE(Spawns().empty());
        EXPECT_EQ(local.Release(), 0u);
        local.root = nullptr;
    }
    rig.root = nullptr;
}

TEST_F(Emitters, DistanceEmissionsOfOneFrameAreBounded) {
    EmitterValue v = Emitter(2);
    v.spawnEntries = {Item()};
    v.timedEntries = {Timer(0, 1, 0, 0, 0, 1e-3f)};
    Begin(v);
    rig.owner->MoveTo(1e6f, 0, 0);
    RunAt(rig.owner, 1.0f);
    EXPECT_EQ(Spawns().size(), EmitterUnit::kMaxDistanceEmissions);
    // The last point has caught up: no move, no emission.
    Spawns().clear();
    RunAt(rig.owner, 2.0f);
    EXPECT_TRUE(Spawns().empty());
}

TEST_F(Emitters, IntervalEmissionsOfOneFrameAreBounded) {
    EmitterValue v = Emitter(2);
    v.spawnEntries = {Item()};
    v.timedEntries = {Timer(0, 1, 1, -100000)};
    Begin(v);
    RunAt(rig.owner, 0.0f);
    EXPECT_EQ(Spawns().size(), EmitterUnit::kMaxIntervalEmissions);
    Spawns().clear();
    RunAt(rig.owner, 1.0f);
    EXPECT_LE(Spawns().size(), 2u);
}

// The plain wrap of a huge rotation step would never end.
TEST_F(Emitters, AHugeRotationStepStillWrapsIntoPlusMinusPi) {
    EmitterValue v = Emitter(2);
    v.spawnEntries = {Item()};
    v.spawnEntries[0].rei = {1e30f, -3e9f, 7.0f};
    v.timedEntries = {Timer(0, 3, 100)};
    Begin(v);
    RunAt(rig.owner, 0.0f);
    ASSERT_EQ(Spawns().size(), 3u);
    for (float angle : emitter()->itemState->items[0].rotation) {
        EXPECT_LE(angle, kPi);
        EXPECT_GE(angle, -kPi);
    }
    EXPECT_NEAR(Spawns()[2].rotation[2], 14.0f - 4.0f * kPi, 1e-5f);
}

// A lifetime mode past the table acts as mode 0; a lifetime of 0 scaled to
// the unit's length keeps the rate 1 rather than an infinite one.
TEST_F(Emitters, LifetimeModesPastTheTableAndZeroScaledLifetimes) {
    EmitterValue v = Emitter(2);
    v.spawnEntries = {Item({{"OvLf", 7}}), Item({{"OvLf", 2}, {"Lif", 0}, {"bLfS", 1}})};
    v.timedEntries = {Timer(0, 1, 100), Timer(1, 1, 100)};
    Begin(v);
    RunAt(rig.owner, 0.0f);
    ASSERT_EQ(Spawns().size(), 2u);
    EXPECT_EQ(Spawns()[0].state.lifetime, 20.0f); // unit 1's own
    EXPECT_EQ(Spawns()[0].state.speed, 1.0f);
    EXPECT_EQ(Spawns()[1].state.lifetime, 0.0f);
    EXPECT_EQ(Spawns()[1].state.timeMode, 1u);
    EXPECT_EQ(Spawns()[1].state.speed, 1.0f);
}

TEST_F(Emitters, AnExhaustedPoolDropsTheEmissionAndKeepsTheSpacing) {
    EmitterValue v = Emitter(2);
    v.spawnEntries = {Item()};
    v.spawnEntries[0].rei = {0.5f, 1e30f, 0.0f};
    v.timedEntries = {Timer(0, 60000, 1)};
    Begin(v);
    std::vector<void*> taken;
    while (void* b = FulgorCore::Engine::GetUnitInstancePool().Allocate())
        taken.push_back(b);
    RunAt(rig.owner, 0.0f);
    for (void* b : taken)
        FulgorCore::Engine::GetUnitInstancePool().Free(b);
    // Not one of the 60000 is asked for; each still turns the next one.
    EXPECT_TRUE(Spawns().empty());
    EXPECT_EQ(rig.owner->firstChild, nullptr);
    const float* rotation = emitter()->itemState->items[0].rotation;
    EXPECT_NEAR(rotation[0], std::remainder(30000.0f, 2.0f * kPi), 1e-3f);
    EXPECT_TRUE(std::isfinite(rotation[1]));
    EXPECT_LE(std::fabs(rotation[1]), kPi);
}

} // namespace
