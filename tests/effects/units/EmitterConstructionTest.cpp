// Building and destroying emitter units: the random values each kind draws
// and their order, the timers its entries give, the attached transform
// units and their clocks, and construction with the pool running dry at
// every block.
#include "effects/Core/Noise/Xorshift128.h"
#include "effects/Core/Resource/PackageResource.h"
#include "effects/units/EmitterTransformUnit.h"
#include "effects/units/EmitterUnit.h"
#include "support/effects/EmitterRig.h"
#include "support/effects/PoolSqueeze.h"
#include "support/effects/XorshiftSteps.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

namespace {

using effecttools::ConstantValue;
using effecttools::EmitterValue;
using FulgorCore::EmissionTimer;
using FulgorCore::EmitterTransformUnit;
using FulgorCore::EmitterUnit;
using FulgorCore::Xorshift128;
using testsupport::Advanced;
using testsupport::EmitterRig;
using testsupport::Item;
using testsupport::Points;
using testsupport::Same;
using testsupport::Timer;

// A value whose unit random value lies in [base, base + 1): which draw
// gave it is read back from the fraction.
ConstantValue Ranged(float base) {
    return ConstantValue{1.0f, base, base + 1.0f};
}

// The effect of emitter `v`, with a model of two points for kind 1 and
// `units` units in all.
effecttools::EffectFileValue EffectOf(const EmitterValue& v, int units = 2) {
    effecttools::EffectFileValue f = EmitterRig::EffectWith(v);
    effecttools::ModelValue model;
    model.edgeVertices = Points({{1, 0, 0}, {0, 1, 0}});
    f.package.models = {model};
    while (static_cast<int>(f.package.units.size()) < units)
        f.package.units.push_back(f.package.units[1]);
    return f;
}

// An emitter of `kind` whose rotations ("LRot" 10, 20, 30, "IAAg" 40, 50,
// 60), speed ("IjSp" 100) and shape values (200, 300, ... in the order the
// kind keeps them) have distinct random ranges.
EmitterValue Shaped(uint32_t kind) {
    EmitterValue v;
    v.kind = kind;
    effecttools::ShapeValue s;
    s.floats = {{"IjSp", Ranged(100)}};
    const auto add = [&s](const char* tag, float base) { s.floats.push_back({tag, Ranged(base)}); };
    switch (kind) {
    case 1:
        s.model = 0;
        break;
    case 3:
        add("RadI", 200), add("RadO", 300), add("IjAI", 400), add("IjAO", 500);
        break;
    case 4:
        add("RadI", 200), add("RadO", 300);
        break;
    case 5:
        add("Rad", 200);
        break;
    case 6:
        add("Len", 200), add("Rad", 300);
        break;
    case 7:
        s.latitudeDivisions = 3;
        s.longitudeDivisions = 4;
        add("Rad", 200), add("IjA", 300);
        break;
    case 8:
        s.size3 = effecttools::TripleValue{0, Ranged(200), Ranged(300), Ranged(400)};
        break;
    case 9:
        s.size2 = effecttools::PairValue{0, Ranged(200), Ranged(300)};
        break;
    default:
        break;
    }
    if (kind >= 5)
        s.points = Points({{1, 0, 0}, {0, 0, 1}});
    v.shape = s;
    v.localRotation = effecttools::TripleValue{0, Ranged(10), Ranged(20), Ranged(30)};
    v.iaag = effecttools::TripleValue{0, Ranged(40), Ranged(50), Ranged(60)};
    return v;
}

// The points each kind of Shaped emits from, by kind: the model's two
// vertices, none for the kinds 2-4 without points, the two points of the
// data, and kind 7's (3 - 1) x 4 of its divisions.
constexpr uint32_t kShapedPoints[10] = {0, 2, 0, 0, 0, 2, 2, 8, 2, 2};

// The first `n` unit fractions of the generator from `s`.
std::vector<float> Fractions(Xorshift128 s, uint32_t n) {
    std::vector<float> out;
    for (uint32_t i = 0; i < n; ++i)
        out.push_back(s.NextFloat01());
    return out;
}

// Plays an effect on `rig` and leaves its root.
bool Play(EmitterRig& rig, const effecttools::EffectFileValue& f) {
    if (!rig.Start())
        return false;
    const FulgorCore::ObjectHandle h = rig.Load(f);
    if (h.serial == 0)
        return false;
    rig.instance = rig.PlayAlone(h);
    testsupport::Frame();
    rig.root = EmitterRig::Root(rig.instance);
    return rig.root != nullptr;
}

// The emitter rotation and the axis rotation draw first; then each kind
// draws its speed's random value, then its shape values in the order it
// keeps them; kind 7 draws none for its radius and angle, and a kind 1
// without its model draws nothing of its own and ends its owner.
TEST(EmitterBuilds, EachKindDrawsItsSpeedFirstThenItsShapeValues) {
    struct Case {
        const char* name;
        uint32_t kind;
        bool withModel;
        std::vector<float> bases; // of the kind's values drawn, in order
        bool attached = false;    // a transform unit with a scale
    };
    const Case cases[] = {
        {"model vertices", 1, true, {100}},
        {"origin", 2, true, {100}},
        {"shell sector", 3, true, {100, 200, 300, 400, 500}},
        {"ring: speed, then inner and outer radius", 4, true, {100, 200, 300}},
        {"sphere points", 5, true, {100, 200}},
        {"cylinder points", 6, true, {100, 200, 300}},
        {"sphere cap", 7, true, {100}},
        {"box points: scalar before vector", 8, true, {100, 200, 300, 400}},
        {"plane points: scalar before vector", 9, true, {100, 200, 300}},
        {"model vertices without the model", 1, false, {}},
        {"sphere points after an attached unit", 5, true, {100, 200}, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EmitterRig rig;
        EmitterValue v = Shaped(c.kind);
        if (c.attached)
            v.parentLinks[0] = int8_t{1};
        effecttools::EffectFileValue f = EffectOf(v);
        if (!c.withModel)
            f.package.models.clear();
        f.package.units[1].fields = {{"bPSc", 1}};
        f.package.units[1].triples["Scl"] =
            effecttools::TripleValue{0, Ranged(70), Ranged(80), Ranged(90)};
        ASSERT_TRUE(Play(rig, f));
        const Xorshift128 before = rig.root->random;
        testsupport::FakeOwner* owner = rig.MakeOwner(0.0f);
        ASSERT_NE(owner, nullptr);
        ASSERT_NE(owner->emitter, nullptr);
        EmitterUnit* e = owner->emitter;
        const std::vector<float> u = Fractions(before, 16);
        std::vector<float> drawn(e->shape.rotationSamples, e->shape.rotationSamples + 3);
        drawn.insert(drawn.end(), e->shape.axisSamples, e->shape.axisSamples + 3);
        std::vector<float> bases = {10, 20, 30, 40, 50, 60};
        if (c.attached) {
            ASSERT_NE(e->attached[0], nullptr);
            drawn.insert(drawn.end(), e->attached[0]->scaleSamples,
                         e->attached[0]->scaleSamples + 3);
            bases.insert(bases.end(), {70, 80, 90});
        }
        if (!c.bases.empty())
            drawn.push_back(e->speedSample);
        for (size_t i = 1; i < c.bases.size(); ++i)
            drawn.push_back(e->shape.samples[i - 1]);
        bases.insert(bases.end(), c.bases.begin(), c.bases.end());
        ASSERT_EQ(drawn.size(), bases.size());
        for (size_t i = 0; i < drawn.size(); ++i)
            EXPECT_FLOAT_EQ(drawn[i], bases[i] + u[i]) << "draw " << i;
        EXPECT_TRUE(Same(rig.root->random, Advanced(before, static_cast<uint32_t>(drawn.size()))));
        EXPECT_EQ(owner->alive != 0, c.withModel);
        EXPECT_EQ(owner->ends, c.withModel ? 0 : 1);
        if (!c.withModel) {
            EXPECT_EQ(e->model, nullptr);
            EXPECT_EQ(e->sharedCounter, 0u);
        }
        EXPECT_EQ(rig.Release(), 0u);
    }
}

// What each entry's timer says of its emission: periodic only with an
// interval, by distance only with a spacing and an item that allows it.
TEST(EmitterBuilds, TimersFollowTheirEntries) {
    EmitterRig rig;
    struct Case {
        const char* name;
        int16_t interval;
        float spacing;
        uint32_t apCd; // the item's distance-off byte
        uint8_t periodic;
        uint8_t byDistance;
    };
    const Case cases[] = {
        {"interval 0, spacing 0", 0, 0.0f, 0, 0, 0},
        {"interval 3", 3, 0.0f, 0, 1, 0},
        {"spacing 2", 0, 2.0f, 0, 0, 1},
        {"spacing 2 on an item without distance emission", 0, 2.0f, 1, 0, 0},
        {"both", 5, 0.5f, 0, 1, 1},
    };
    EmitterValue v = testsupport::Emitter(2);
    for (const Case& c : cases) {
        v.spawnEntries.push_back(Item({{"ApCd", c.apCd}}));
        v.timedEntries.push_back(Timer(static_cast<uint16_t>(v.spawnEntries.size() - 1), 1,
                                       c.interval, 4, 0, c.spacing));
    }
    ASSERT_TRUE(Play(rig, EffectOf(v)));
    testsupport::FakeOwner* owner = rig.MakeOwner(0.0f);
    ASSERT_NE(owner, nullptr);
    owner->MoveTo(1, 2, 3);
    EmitterUnit* e = owner->emitter;
    for (uint32_t i = 0; i < std::size(cases); ++i) {
        const Case& c = cases[i];
        SCOPED_TRACE(c.name);
        const EmissionTimer* t = e->GetTimer(i);
        ASSERT_NE(t, nullptr);
        EXPECT_EQ(t->emitter, e);
        EXPECT_EQ(t->hasInterval, c.periodic);
        EXPECT_EQ(t->byDistance, c.byDistance);
        EXPECT_EQ(t->next, 4.0f);
        EXPECT_EQ(t->spacing, c.byDistance ? c.spacing : 0.0f);
        EXPECT_EQ(t->spacingSquared, c.byDistance ? c.spacing * c.spacing : 0.0f);
        // Where the owner stood when its emitter was built.
        EXPECT_EQ(t->lastPoint[0], 0.0f);
    }
    EXPECT_EQ(rig.Release(), 0u);
}

// Eight timers to a block: nine entries take two blocks, the ninth timer
// first in the second; none take none.
TEST(EmitterBuilds, TimersAreEightToABlock) {
    struct Case {
        uint32_t entries;
        uint32_t blocks;
    };
    for (const Case c : {Case{0, 0}, Case{8, 1}, Case{9, 2}}) {
        SCOPED_TRACE(c.entries);
        EmitterRig rig;
        EmitterValue v = testsupport::Emitter(2);
        v.spawnEntries = {Item()};
        for (uint32_t i = 0; i < c.entries; ++i)
            v.timedEntries.push_back(Timer(0, 1, 1));
        ASSERT_TRUE(Play(rig, EffectOf(v)));
        const uint32_t before = EmitterRig::UsedBlocks();
        testsupport::FakeOwner* owner = rig.MakeOwner(0.0f);
        ASSERT_NE(owner, nullptr);
        EmitterUnit* e = owner->emitter;
        EXPECT_EQ(e->timerBlockCount, c.blocks);
        // Owner, emitter, item block, timer blocks.
        EXPECT_EQ(EmitterRig::UsedBlocks() - before, 3 + c.blocks);
        for (uint32_t b = 0; b < EmitterUnit::kTimerBlocks; ++b)
            EXPECT_EQ(e->GetTimerBlock(b) != nullptr, b < c.blocks) << b;
        if (c.entries == 9) {
            EXPECT_EQ(e->GetTimer(8), &e->GetTimerBlock(1)->timers[0]);
        }
        EXPECT_EQ(rig.Release(), 0u);
    }
}

// The attach list -1, 3, -1, 5 builds units at positions 1 and 3 only and
// steps them; a list of -1 only, like no list, names none and steps none.
TEST(EmitterBuilds, AttachedUnitsTakeTheirPositions) {
    EmitterRig rig;
    EmitterValue v = testsupport::Emitter(2);
    v.parentLinks = {int8_t{-1}, int8_t{3}, int8_t{-1}, int8_t{5}};
    EmitterValue empty = testsupport::Emitter(2);
    empty.parentLinks = {int8_t{-1}, int8_t{-1}, int8_t{-1}, int8_t{-1}};
    EmitterValue none = testsupport::Emitter(2);
    effecttools::EffectFileValue f = EffectOf(v, 6);
    f.package.units[0].emitters = {v, empty};
    f.package.units[2].emitters = {none};
    ASSERT_TRUE(Play(rig, f));
    struct Case {
        const char* name;
        uint32_t unit;
        uint32_t emitter;
        std::array<bool, 4> built;
        bool steps;
    };
    const Case cases[] = {{"-1, 3, -1, 5", 0, 0, {false, true, false, true}, true},
                          {"all -1", 0, 1, {false, false, false, false}, false},
                          {"no list", 2, 0, {false, false, false, false}, false}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        testsupport::FakeOwner* owner = rig.MakeOwner(0.0f);
        ASSERT_NE(owner, nullptr);
        delete owner->emitter;
        owner->emitter = EmitterUnit::Create(
            owner, rig.root->package->GetUnit(c.unit)->GetEmitterPart(c.emitter));
        ASSERT_NE(owner->emitter, nullptr);
        for (uint32_t j = 0; j < 4; ++j)
            EXPECT_EQ(owner->emitter->attached[j] != nullptr, c.built[j]) << j;
        EXPECT_EQ(owner->emitter->attachedUpdater == EmitterUnit::UpdateAttachedTransforms,
                  c.steps);
    }
    EXPECT_EQ(rig.Release(), 0u);
}

// An attached unit's clock runs at the owner's step times its own speed:
// a step of 0 keeps both times and still evaluates.
TEST(EmitterBuilds, AttachedUnitsAdvanceAtTheirSpeed) {
    EmitterRig rig;
    EmitterValue v = testsupport::Emitter(2);
    v.parentLinks = {int8_t{1}, int8_t{-1}, int8_t{-1}, int8_t{-1}};
    effecttools::EffectFileValue f = EffectOf(v);
    // Unit 1 moves along X by its time.
    f.package.units[1].fields = {{"bPPo", 1}};
    f.package.units[1].triples["Pos"] =
        effecttools::TripleValue{0, effecttools::EasingValue{0, 0, 0, 0, 10, 0, 10, 0, 0},
                                 effecttools::Constant(0.0f), effecttools::Constant(0.0f)};
    ASSERT_TRUE(Play(rig, f));
    testsupport::FakeOwner* owner = rig.MakeOwner(0.0f);
    ASSERT_NE(owner, nullptr);
    EmitterTransformUnit* unit = owner->emitter->attached[0];
    ASSERT_NE(unit, nullptr);
    struct Case {
        const char* name;
        float speed;
        float step;
        float time; // after the step, from 3
        float lastStep;
    };
    const Case cases[] = {{"step 0", 1.0f, 0.0f, 3.0f, 0.0f},
                          {"speed 1", 1.0f, 1.5f, 4.5f, 1.5f},
                          {"speed 2", 2.0f, 1.5f, 6.0f, 3.0f}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        unit->speed = c.speed;
        unit->time = 3.0f;
        unit->totalTime = 3.0f;
        unit->lastStep = 7.0f;
        unit->translation[0] = -1.0f;
        owner->lastStep = c.step;
        owner->emitter->attachedUpdater(owner->emitter, owner->lastStep);
        EXPECT_EQ(unit->time, c.time);
        EXPECT_EQ(unit->totalTime, c.time);
        EXPECT_EQ(unit->lastStep, c.lastStep);
        EXPECT_FLOAT_EQ(unit->translation[0], c.time); // evaluated at the new time
    }
    EXPECT_EQ(rig.Release(), 0u);
}

// For every number of free blocks, building an owner and its emitter either
// builds everything or ends the owner exactly once, the kind's own fields
// filled either way; deleting the owner gives every block back. Each kind
// with no entries and with nine.
TEST(EmitterBuilds, ExhaustionAtEveryBlockEndsTheOwnerOnceAndLeaksNothing) {
    for (uint32_t kind = 1; kind <= 9; ++kind) {
        for (uint32_t entries : {0u, 9u}) {
            SCOPED_TRACE("kind " + std::to_string(kind) + ", " + std::to_string(entries) +
                         " entries");
            EmitterRig rig;
            EmitterValue v = Shaped(kind);
            v.spawnEntries = {Item()};
            for (uint32_t i = 0; i < entries; ++i)
                v.timedEntries.push_back(Timer(0, 1, 1));
            ASSERT_TRUE(Play(rig, EffectOf(v)));
            // Owner, emitter, item block and the timer blocks.
            const uint32_t needed = 3 + (entries + 7) / 8;
            for (uint32_t free = 0; free <= needed; ++free) {
                SCOPED_TRACE("free " + std::to_string(free));
                testsupport::PoolSqueeze squeeze(free);
                const uint32_t floor = EmitterRig::UsedBlocks();
                FulgorCore::UnitInstance::InitialState state;
                state.parent = rig.root;
                state.timeMode = FulgorCore::UnitInstance::kEndless;
                auto* owner =
                    FulgorCore::UnitInstance::Create<testsupport::FakeOwner>(rig.root, state);
                if (!owner) {
                    EXPECT_EQ(free, 0u);
                    continue;
                }
                owner->emitter = EmitterUnit::Create(owner, rig.Data());
                // Without its own block there is no emitter: the particle
                // classes end the owner for that themselves.
                if (free == 1) {
                    EXPECT_EQ(owner->emitter, nullptr);
                    EXPECT_EQ(owner->ends, 0);
                } else {
                    ASSERT_NE(owner->emitter, nullptr);
                    const bool whole = free >= needed;
                    EXPECT_EQ(owner->alive != 0, whole);
                    EXPECT_EQ(owner->ends, whole ? 0 : 1);
                    EXPECT_EQ(owner->emitter->itemState != nullptr, free >= 3);
                    for (uint32_t b = 0; b < 2; ++b)
                        EXPECT_EQ(owner->emitter->GetTimerBlock(b) != nullptr, free >= 4 + b) << b;
                    // Whatever blocks the base missed, the kind is whole:
                    // its speed drawn, its points counted, its members set.
                    const EmitterUnit& e = *owner->emitter;
                    EXPECT_GE(e.speedSample, 100.0f);
                    EXPECT_LT(e.speedSample, 101.0f);
                    EXPECT_EQ(e.pointCount, kShapedPoints[kind]);
                    EXPECT_NE(e.generator, nullptr);
                    EXPECT_EQ(e.picker != EmitterUnit::NoPick, kShapedPoints[kind] > 0);
                }
                delete owner;
                EXPECT_EQ(EmitterRig::UsedBlocks(), floor);
            }
            EXPECT_EQ(rig.Release(), 0u);
        }
    }
}

} // namespace
