// The composed particle classes: what each class calls on its parts each
// frame, how their draw units are counted in the root's draw lists and
// given back, what a construction that stops leaves, the end hook, the
// collection into the lists and the fade-out start.
#include "effects/Core/Engine/Engine.h"
#include "effects/Core/Resource/PackageResource.h"
#include "effects/Core/Resource/UnitResource.h"
#include "effects/render/RenderStateWord.h"
#include "effects/units/DrawLists.h"
#include "effects/units/InstanceRootUnit.h"
#include "effects/units/ParticleInstance.h"
#include "effects/units/ParticleInstanceT.h"
#include "effects/units/UnitCreators.h"
#include "support/effects/EmitterRig.h"
#include "support/effects/PoolDrain.h"
#include "support/effects/RecordingParts.h"
#include "support/effects/UnitTreeRig.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <optional>
#include <string>
#include <vector>

namespace {

using FulgorCore::DrawLists;
using FulgorCore::InstanceRootUnit;
using FulgorCore::ParticleInstance;
using FulgorCore::UnitInstance;
using testsupport::RecordingParts;

struct DrawSpec {
    uint32_t type;
    uint8_t priority;
};

// A unit of the given draw parts, `emitters` emitters of the kinds given
// (a kind of 0 is written as such) and, when `extra` holds a kind, an
// effect part of it.
effecttools::UnitValue Unit(std::vector<DrawSpec> draws, std::vector<uint32_t> emitters = {},
                            std::optional<uint32_t> extra = std::nullopt) {
    effecttools::UnitValue unit;
    unit.life = 60;
    for (const DrawSpec& d : draws) {
        effecttools::DrawPartValue part;
        part.drawType = d.type;
        part.priority = d.priority;
        unit.drawParts.push_back(part);
    }
    for (uint32_t kind : emitters)
        unit.emitters.push_back(testsupport::Emitter(kind));
    if (extra) {
        effecttools::EffectPartValue part;
        part.kind = *extra;
        part.innerRadius = effecttools::Constant(-3.0f);
        part.outerRadius = effecttools::Constant(5.0f);
        unit.effectPart = part;
    }
    return unit;
}

// Units 0-23: class (A, B, C) at (A x 3 + B) x 2 + C, draws of type 1 on
// lists 0, 1, 2, emitters of kinds 2 and 4, an extra unit of kind 2.
enum Named : uint32_t {
    kThreeKinds = 24,   // types 6, 10, 12 on lists 2, 4, 2
    kTypeZero,          // type 0
    kPriorityThree,     // one type-1 unit on list 3
    kProjection,        // one type-10 unit on list 5
    kLayerAbove,        // priority 8
    kLayerBelow,        // priority 255 (-1)
    kEmitterKindZero,   // emitter of kind 0
    kEmitterKindTen,    // emitter of kind 10
    kExtraKindZero,     // extra unit of kind 0
    kExtraKindThree,    // extra unit of kind 3
    kKindFour,          // one emitter of kind 4
    kExtraKindOne,      // extra unit of kind 1
    kSounding,          // an emitter, and a sound the listener stands for
    kGrid,              // one type-2 unit on list 3; then the same with:
    kGridNoRecord,      //   no pattern record
    kGridNoCellsAcross, //   no cells across
    kGridNoCellsDown,   //   no cells down
    kGridNoFrames,      //   no frames per cell
    kGridModeThree,     //   geometry mode 3
};

// A unit of one type-2 draw part on list 3 with the pattern `fields`.
effecttools::UnitValue Grid(std::vector<effecttools::FieldValue> fields) {
    effecttools::UnitValue unit = Unit({{2, 3}});
    unit.drawParts[0].data = effecttools::DrawDataType2Value{std::move(fields)};
    return unit;
}

// A row of the tables that spawn one named unit each.
struct NamedUnit {
    const char* name;
    uint32_t unit;
};

constexpr uint32_t kSound = 40;
constexpr uint32_t kHostToken = 9;

class Composed : public testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(rig_.Start());
        FulgorCore::UnitCreators::Current() = FulgorCore::UnitCreators::kBuiltIn;
        effecttools::EffectFileValue f = testsupport::TreeEffect("vfx/composed.vfxb", 0);
        for (uint32_t a = 0; a <= 3; ++a)
            for (uint32_t b = 0; b <= 2; ++b)
                for (uint32_t c = 0; c <= 1; ++c) {
                    std::vector<DrawSpec> draws;
                    for (uint8_t k = 0; k < a; ++k)
                        draws.push_back({1, k});
                    std::vector<uint32_t> emitters;
                    for (uint32_t k = 0; k < b; ++k)
                        emitters.push_back(k == 0 ? 2u : 4u);
                    f.package.units.push_back(
                        Unit(draws, emitters, c ? std::optional<uint32_t>(2) : std::nullopt));
                }
        f.package.units.push_back(Unit({{6, 2}, {10, 4}, {12, 2}}));
        f.package.units.push_back(Unit({{0, 1}}));
        f.package.units.push_back(Unit({{1, 3}}));
        f.package.units.push_back(Unit({{10, 5}}));
        f.package.units.push_back(Unit({{1, 8}}));
        f.package.units.push_back(Unit({{1, 255}}));
        f.package.units.push_back(Unit({}, {0}));
        f.package.units.push_back(Unit({}, {10}));
        f.package.units.push_back(Unit({}, {}, 0u));
        f.package.units.push_back(Unit({}, {}, 3u));
        f.package.units.push_back(Unit({}, {4}));
        f.package.units.push_back(Unit({}, {}, 1u));
        f.package.units.push_back(Unit({}, {2}));
        f.package.units.back().sound = "hum";
        f.package.units.push_back(Grid({{"DivU", 4}, {"DivV", 2}, {"AnmI", 3}}));
        f.package.units.push_back(Unit({{2, 3}}));
        f.package.units.push_back(Grid({{"DivU", 0}, {"DivV", 2}, {"AnmI", 3}}));
        f.package.units.push_back(Grid({{"DivU", 4}, {"DivV", 0}, {"AnmI", 3}}));
        f.package.units.push_back(Grid({{"DivU", 4}, {"DivV", 2}, {"AnmI", 0}}));
        f.package.units.push_back(Grid({{"UvT", 3}, {"DivU", 4}, {"DivV", 2}, {"AnmI", 3}}));
        rig_.objects.soundAnswer = kSound;
        rig_.listener.hostAnswer = kHostToken;
        const FulgorCore::ObjectHandle effect = rig_.Load(f);
        ASSERT_NE(effect.serial, 0u);
        const FulgorCore::InstanceHandle h = rig_.Play(effect);
        testsupport::Frame();
        root_ = rig_.Root(h);
        ASSERT_NE(root_, nullptr);
        ASSERT_NE(root_->drawLists, nullptr);
        start_ = rig_.UsedBlocks();
        baseline_ = Counts();
    }
    void TearDown() override { EXPECT_EQ(rig_.Release(), 0u); }

    ParticleInstance* Spawn(uint32_t unit) {
        const float at[3] = {0.0f, 0.0f, -5.0f};
        ParticleInstance* p = root_->SpawnParticleInstance(
            root_, root_->package->GetUnit(unit), at, 10.0f, 1.0f);
        root_->AddChild(p);
        return p;
    }
    // Ends `p` and lets the root's update delete it.
    void Remove(ParticleInstance* p) {
        p->Finish();
        root_->Update(1.0f);
    }
    std::vector<uint32_t> Counts() const {
        const auto& c = root_->drawLists->capacities;
        std::vector<uint32_t> out(&c[0][0], &c[0][0] + 14);
        return out;
    }

    testsupport::UnitTreeRig rig_;
    InstanceRootUnit* root_ = nullptr;
    uint32_t start_ = 0;
    std::vector<uint32_t> baseline_;
};

std::vector<std::string> Names(const char* prefix, uint32_t n, const char* what) {
    std::vector<std::string> out;
    for (uint32_t k = 0; k < n; ++k)
        out.push_back(prefix + std::to_string(k) + "." + what);
    return out;
}

std::vector<std::string> Join(std::initializer_list<std::vector<std::string>> parts) {
    std::vector<std::string> out;
    for (const auto& p : parts)
        out.insert(out.end(), p.begin(), p.end());
    return out;
}

// Start, one frame, end and deletion of each class: its start events, its
// own step (emitters then draw units), its transform step (the extra unit,
// then every draw unit from one copy of the clock), its end events and
// the deletion of its parts in place order.
TEST_F(Composed, EachClassCallsExactlyItsPartsInTheirOrder) {
    for (uint32_t a = 0; a <= 3; ++a) {
        for (uint32_t b = 0; b <= 2; ++b) {
            for (uint32_t c = 0; c <= 1; ++c) {
                const uint32_t k = (a * 3 + b) * 2 + c;
                RecordingParts parts;
                ParticleInstance* p = Spawn(k);
                ASSERT_NE(p, nullptr) << k;
                ASSERT_TRUE(p->alive) << k;
                EXPECT_EQ(parts.log, Names("e", b, "spawn")) << k;
                parts.log.clear();
                testsupport::Frame();
                EXPECT_EQ(parts.log, Join({Names("e", b, "update"), Names("d", a, "step"),
                                           c ? std::vector<std::string>{"x.update"}
                                             : std::vector<std::string>{},
                                           Names("d", a, "update")}))
                    << k;
                // One copy for all: each unit's write lands in it, never in
                // the particle's clock.
                ASSERT_EQ(parts.clocks.size(), a) << k;
                for (const FulgorCore::DrawClock* clock : parts.clocks)
                    EXPECT_EQ(clock, parts.clocks[0]) << k;
                EXPECT_LT(p->time, 10.0f) << k;
                EXPECT_EQ(root_->extraUnits.head != nullptr, c == 1) << k;
                parts.log.clear();
                p->Finish();
                EXPECT_EQ(parts.log, Names("e", b, "death")) << k;
                parts.log.clear();
                root_->Update(1.0f);
                EXPECT_EQ(parts.log,
                          Join({Names("d", a, "delete"), Names("e", b, "delete"),
                                c ? std::vector<std::string>{"x.delete"}
                                  : std::vector<std::string>{}}))
                    << k;
                EXPECT_EQ(root_->extraUnits.head, nullptr) << k;
                EXPECT_EQ(root_->extraUnits.tail, nullptr) << k;
                EXPECT_EQ(Counts(), baseline_) << k;
                EXPECT_EQ(rig_.UsedBlocks(), start_) << k;
            }
        }
    }
}

// Each draw unit counts once in the list of its category (type 10 in
// category 1, the others in 0) and draw priority until its particle goes.
// The data's priority byte is not bounded: above the lists it counts in
// the last, a negative byte in the first.
TEST_F(Composed, DrawUnitsAreCountedByCategoryAndListUntilTheParticleGoes) {
    struct Added {
        uint32_t category;
        uint32_t list;
        uint32_t count;
    };
    struct Row {
        const char* name;
        uint32_t unit;
        std::vector<Added> added;
    };
    const Row rows[] = {
        {"types 6, 10, 12 on lists 2, 4, 2", kThreeKinds, {{0, 2, 2}, {1, 4, 1}}},
        {"type 10 on list 5", kProjection, {{1, 5, 1}}},
        {"priority 8", kLayerAbove, {{0, 6, 1}}},
        {"priority -1", kLayerBelow, {{0, 0, 1}}},
    };
    for (const Row& row : rows) {
        RecordingParts parts;
        ParticleInstance* p = Spawn(row.unit);
        ASSERT_NE(p, nullptr) << row.name;
        std::vector<uint32_t> expected = baseline_;
        for (const Added& a : row.added)
            expected[a.category * 7 + a.list] += a.count;
        EXPECT_EQ(Counts(), expected) << row.name;
        Remove(p);
        EXPECT_EQ(Counts(), baseline_) << row.name;
    }
}

// With the runtime's own creators: a draw part of type 0 has no class and
// ends the particle without counting; emitter kinds 0 and 10 and extra
// kinds 0 and 3 are refused before a block is taken for them.
TEST_F(Composed, PartsWithoutAClassEndTheParticleBeforeTakingABlock) {
    const NamedUnit rows[] = {
        {"draw type 0", kTypeZero},
        {"emitter kind 0", kEmitterKindZero},
        {"emitter kind 10", kEmitterKindTen},
        {"extra kind 0", kExtraKindZero},
        {"extra kind 3", kExtraKindThree},
    };
    for (const NamedUnit& row : rows) {
        ParticleInstance* p = Spawn(row.unit);
        ASSERT_NE(p, nullptr) << row.name;
        EXPECT_FALSE(p->alive) << row.name;
        // The particle's block and its transform block alone.
        EXPECT_EQ(rig_.UsedBlocks(), start_ + 2) << row.name;
        EXPECT_EQ(Counts(), baseline_) << row.name;
        root_->Update(1.0f);
        EXPECT_EQ(rig_.UsedBlocks(), start_) << row.name;
    }
}

// With the runtime's own creators a type-2 unit is built from any data:
// one it cannot draw from lives like a well-formed one, counted on its
// list with its unit and render block, and gives both back when it goes.
TEST_F(Composed, AGridUnitIsBuiltAndCountedWhateverItsData) {
    const NamedUnit rows[] = {
        {"well formed", kGrid},
        {"no pattern record", kGridNoRecord},
        {"no cells across", kGridNoCellsAcross},
        {"no cells down", kGridNoCellsDown},
        {"no frames per cell", kGridNoFrames},
        {"geometry mode 3", kGridModeThree},
    };
    for (const NamedUnit& row : rows) {
        ParticleInstance* p = Spawn(row.unit);
        ASSERT_NE(p, nullptr) << row.name;
        EXPECT_TRUE(p->alive) << row.name;
        // The particle, its transform block, the unit and its render block.
        EXPECT_EQ(rig_.UsedBlocks(), start_ + 4) << row.name;
        std::vector<uint32_t> expected = baseline_;
        ++expected[3];
        EXPECT_EQ(Counts(), expected) << row.name;
        testsupport::Frame();
        EXPECT_TRUE(p->alive) << row.name;
        Remove(p);
        EXPECT_EQ(Counts(), baseline_) << row.name;
        EXPECT_EQ(rig_.UsedBlocks(), start_) << row.name;
    }
}

// Each class with k free blocks for every k below what it needs: the
// particle ends at most once (each emitter's end events once), and once
// it has gone every block and every count is back; the same with the
// runtime's own emitter and extra units.
TEST_F(Composed, APoolThatRunsDryAnywhereLeavesNothingBehind) {
    for (uint32_t k = 0; k < 24; ++k) {
        const uint32_t a = k / 6, b = (k / 2) % 3, c = k % 2;
        for (uint32_t free = 0; free < 2 + a + b + c; ++free) {
            RecordingParts parts;
            testsupport::PoolDrain drain(free);
            ParticleInstance* p = Spawn(k);
            drain.Refill();
            if (p) {
                EXPECT_FALSE(p->alive) << k << " " << free;
                Remove(p);
            }
            for (uint32_t e = 0; e < b; ++e)
                EXPECT_LE(std::count(parts.log.begin(), parts.log.end(),
                                     "e" + std::to_string(e) + ".death"),
                          1)
                    << k << " " << free;
            EXPECT_EQ(Counts(), baseline_) << k << " " << free;
            EXPECT_EQ(rig_.UsedBlocks(), start_) << k << " " << free;
        }
    }
    // The runtime's own emitters of kinds 2 and 4 and extra units of kinds
    // 1 and 2, with their side blocks.
    for (const uint32_t unit : {3u, 5u, uint32_t{kKindFour}, uint32_t{kExtraKindOne}}) {
        for (uint32_t free = 0; free < 24; ++free) {
            testsupport::PoolDrain drain(free);
            ParticleInstance* p = Spawn(unit);
            drain.Refill();
            if (p)
                Remove(p);
            EXPECT_EQ(rig_.UsedBlocks(), start_) << unit << " " << free;
        }
    }
}

// Position 1 of three never built: position 0 stays, position 1 keeps
// its count until the particle goes, position 2 is never read.
TEST_F(Composed, AStoppedConstructionGivesBackOnlyThePlacesItReached) {
    RecordingParts parts;
    // The particle, its transform block and draw unit 0.
    testsupport::PoolDrain drain(3);
    ParticleInstance* p = Spawn(18); // <3,0,0> on lists 0, 1, 2
    drain.Refill();
    ASSERT_NE(p, nullptr);
    EXPECT_FALSE(p->alive);
    EXPECT_EQ(parts.drawsBuilt, 1);
    std::vector<uint32_t> expected = baseline_;
    ++expected[0];
    ++expected[1];
    EXPECT_EQ(Counts(), expected);
    // A fade-out reaching it before it goes skips the places never filled.
    p->StartFadeOut(10);
    Remove(p);
    EXPECT_EQ(Counts(), baseline_);
    EXPECT_EQ(rig_.UsedBlocks(), start_);
}

// Two particles with one unit on list 3 each: a list of two, filled in
// collection order and drawn; a projection unit goes to category 1 only.
TEST_F(Composed, CollectionFillsTheListsTheCountsSized) {
    RecordingParts parts;
    ParticleInstance* first = Spawn(kPriorityThree);
    ParticleInstance* second = Spawn(kPriorityThree);
    ParticleInstance* projection = Spawn(kProjection);
    ASSERT_TRUE(first && second && projection);
    root_->Evaluate();
    EXPECT_EQ(root_->drawLists->sizes[0][3], 2u);
    parts.log.clear();
    root_->DrawCategory(0);
    EXPECT_EQ(root_->drawLists->fillCounts[0][3], 2u);
    EXPECT_EQ(root_->drawLists->fillCounts[1][5], 1u);
    EXPECT_EQ(root_->drawLists->fillCounts[0][5], 0u);
    using OneDraw = FulgorCore::ParticleInstanceT<1, 0, 0>;
    EXPECT_EQ(root_->drawLists->arrays[0][3][0].unit, static_cast<OneDraw*>(first)->drawUnits[0]);
    EXPECT_EQ(root_->drawLists->arrays[0][3][1].unit, static_cast<OneDraw*>(second)->drawUnits[0]);
    EXPECT_EQ(parts.log, (std::vector<std::string>{"d0.draw", "d1.draw"}));
}

// A particle built after the lists were taken finds its list full: its
// unit is left out of this frame, never written past the list.
TEST_F(Composed, AUnitCountedAfterTheListsWereTakenIsLeftOut) {
    RecordingParts parts;
    ASSERT_NE(Spawn(kPriorityThree), nullptr);
    root_->Evaluate();
    FulgorCore::DrawListEntry* list = root_->drawLists->arrays[0][3];
    ASSERT_NE(list, nullptr);
    const FulgorCore::DrawListEntry after = list[1];
    ASSERT_NE(Spawn(kPriorityThree), nullptr);
    root_->DrawCategory(0);
    EXPECT_EQ(root_->drawLists->fillCounts[0][3], 1u);
    EXPECT_EQ(list[1].unit, after.unit);
}

// The fade-out start turns blend mode 0 into 1 and keeps any other; a
// second start changes nothing more; no other bit changes.
TEST_F(Composed, AFadeOutTurnsOpaqueDrawUnitsToAlphaBlending) {
    RecordingParts parts;
    auto* p = static_cast<FulgorCore::ParticleInstanceT<2, 0, 0>*>(Spawn(12));
    ASSERT_NE(p, nullptr);
    using FulgorCore::RenderStateWord::kBlendShift;
    p->drawUnits[0]->stateWord = 0x80Fu;
    p->drawUnits[1]->stateWord = 0x80Fu | (2u << kBlendShift);
    p->StartFadeOut(10);
    EXPECT_EQ(p->drawUnits[0]->stateWord, 0x80Fu | (1u << kBlendShift));
    EXPECT_EQ(p->drawUnits[1]->stateWord, 0x80Fu | (2u << kBlendShift));
    p->OnFadeOut();
    EXPECT_EQ(p->drawUnits[0]->stateWord, 0x80Fu | (1u << kBlendShift));
    EXPECT_EQ(p->drawUnits[1]->stateWord, 0x80Fu | (2u << kBlendShift));
}

} // namespace

namespace {

// The end: the listener is told (sound, token) when the particle stands
// for a host object, and the emitters' end events run either way.
TEST_F(Composed, TheEndTellsTheListenerThenRunsTheEmittersEndEvents) {
    struct Row {
        const char* name;
        uint32_t unit;
        size_t stops;
    };
    const Row rows[] = {{"with a sound", kSounding, 1}, {"without", 2, 0}};
    for (const Row& row : rows) {
        RecordingParts parts;
        rig_.listener.hostStops.clear();
        ParticleInstance* p = Spawn(row.unit);
        ASSERT_NE(p, nullptr) << row.name;
        parts.log.clear();
        p->Finish();
        EXPECT_EQ(parts.log, (std::vector<std::string>{"e0.death"})) << row.name;
        ASSERT_EQ(rig_.listener.hostStops.size(), row.stops) << row.name;
        if (row.stops) {
            EXPECT_EQ(rig_.listener.hostStops[0].id, kSound);
            EXPECT_EQ(rig_.listener.hostStops[0].handle, kHostToken);
        }
        root_->Update(1.0f);
    }
}

} // namespace

namespace {

// The root's list of this frame's extra units, both ways, in the order the
// transform steps ran; one that goes leaves it at once.
TEST_F(Composed, ExtraUnitsJoinTheRootsListInTheOrderTheyRan) {
    RecordingParts parts;
    ParticleInstance* first = Spawn(1);
    ParticleInstance* second = Spawn(1);
    ASSERT_TRUE(first && second);
    testsupport::Frame();
    using ExtraOnly = FulgorCore::ParticleInstanceT<0, 0, 1>;
    FulgorCore::ParticleExtraPart* a = static_cast<ExtraOnly*>(first)->extraUnit;
    FulgorCore::ParticleExtraPart* b = static_cast<ExtraOnly*>(second)->extraUnit;
    EXPECT_EQ(root_->extraUnits.head, a);
    EXPECT_EQ(root_->extraUnits.tail, b);
    EXPECT_EQ(a->previousExtra, nullptr);
    EXPECT_EQ(a->nextExtra, b);
    EXPECT_EQ(b->previousExtra, a);
    EXPECT_EQ(b->nextExtra, nullptr);
    Remove(first);
    EXPECT_EQ(root_->extraUnits.head, b);
    EXPECT_EQ(b->previousExtra, nullptr);
    Remove(second);
    EXPECT_EQ(root_->extraUnits.head, nullptr);
    EXPECT_EQ(root_->extraUnits.tail, nullptr);
}

} // namespace

namespace {

// One step of a list case on particles 0, 1, 2 of unit 1 (an extra unit
// of kind 2): the root's pass A (the list emptied, then every live
// particle's transform step in turn), one particle's transform step run
// again in the same frame, a particle ended (its transform step no longer
// runs), or the root's update (ended particles deleted).
struct ListStep {
    enum Kind { kPassA, kStepAgain, kEnd, kRootUpdate } kind;
    int particle = -1;
};

// The root's list of this frame's extra units as particle indices, walked
// from its head through units of live particles only; -1 ends a list
// that reaches any other block, loops, or whose back links or tail do not
// match.
std::vector<int> ListedParticles(const InstanceRootUnit& root,
                                 const std::vector<ParticleInstance*>& particles) {
    using ExtraOnly = FulgorCore::ParticleInstanceT<0, 0, 1>;
    std::vector<int> out;
    const FulgorCore::ParticleExtraPart* before = nullptr;
    for (const FulgorCore::ParticleExtraPart* e = root.extraUnits.head; e; e = e->nextExtra) {
        int index = -1;
        for (size_t k = 0; k < particles.size(); ++k)
            if (particles[k] && static_cast<ExtraOnly*>(particles[k])->extraUnit == e)
                index = static_cast<int>(k);
        if (index < 0 || e->previousExtra != before || out.size() > particles.size()) {
            out.push_back(-1);
            return out;
        }
        out.push_back(index);
        before = e;
    }
    if (before != root.extraUnits.tail)
        out.push_back(-1);
    return out;
}

// The list holds each extra unit whose transform step ran since the last
// pass A began, once, in the order of their first steps; a unit that goes
// leaves it whole wherever it stood, and one stepped only in an earlier
// frame leaves it as it is.
TEST_F(Composed, TheListOfExtraUnitsStaysWholeThroughRepeatedStepsAndRemovals) {
    using S = ListStep;
    struct Row {
        const char* name;
        int particles;
        std::vector<ListStep> steps;
        std::vector<int> listed;
    };
    const Row rows[] = {
        {"a step run again lists its unit once", 1, {{S::kPassA}, {S::kStepAgain, 0}}, {0}},
        {"steps run again keep the order of the first",
         3,
         {{S::kPassA}, {S::kStepAgain, 2}, {S::kStepAgain, 0}, {S::kStepAgain, 2}},
         {0, 1, 2}},
        {"removing the head", 3, {{S::kPassA}, {S::kEnd, 0}, {S::kRootUpdate}}, {1, 2}},
        {"removing the middle", 3, {{S::kPassA}, {S::kEnd, 1}, {S::kRootUpdate}}, {0, 2}},
        {"removing the tail", 3, {{S::kPassA}, {S::kEnd, 2}, {S::kRootUpdate}}, {0, 1}},
        {"removing the sole unit", 1, {{S::kPassA}, {S::kEnd, 0}, {S::kRootUpdate}}, {}},
        {"removing a unit stepped again",
         2,
         {{S::kPassA}, {S::kStepAgain, 1}, {S::kEnd, 1}, {S::kRootUpdate}},
         {0}},
        {"removing the unit before one stepped again",
         2,
         {{S::kPassA}, {S::kStepAgain, 1}, {S::kEnd, 0}, {S::kRootUpdate}},
         {1}},
        {"removing a unit listed only in the frame before",
         3,
         {{S::kPassA}, {S::kEnd, 1}, {S::kPassA}, {S::kRootUpdate}},
         {0, 2}},
        {"removing a unit listed only in the frame before, with its old neighbour",
         3,
         {{S::kPassA}, {S::kEnd, 1}, {S::kPassA}, {S::kEnd, 0}, {S::kRootUpdate}},
         {2}},
        {"a pass after a removal lists the rest afresh",
         3,
         {{S::kPassA}, {S::kEnd, 0}, {S::kRootUpdate}, {S::kPassA}},
         {1, 2}},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        RecordingParts parts;
        std::vector<ParticleInstance*> particles;
        std::vector<int> ended;
        for (int k = 0; k < row.particles; ++k) {
            particles.push_back(Spawn(1));
            ASSERT_NE(particles.back(), nullptr);
        }
        for (const ListStep& step : row.steps) {
            ParticleInstance* p = step.particle >= 0 ? particles[step.particle] : nullptr;
            switch (step.kind) {
            case S::kPassA:
                root_->Evaluate();
                break;
            case S::kStepAgain:
                p->Evaluate();
                break;
            case S::kEnd:
                p->Finish();
                ended.push_back(step.particle);
                break;
            case S::kRootUpdate:
                // The ended particles are gone.
                root_->Update(1.0f);
                for (int k : ended)
                    particles[k] = nullptr;
                ended.clear();
                break;
            }
        }
        EXPECT_EQ(ListedParticles(*root_, particles), row.listed);
        for (ParticleInstance* p : particles)
            if (p)
                p->Finish();
        root_->Update(1.0f);
        root_->Evaluate();
    }
}

} // namespace
