// Trails built from their data (class, members and start values by
// sub-kind, flags and vertex format; the stops when a block or the first
// frame's memory is missing), their frame geometry builds (one and two
// ranges, both record layouts) and their vertices through a whole frame:
// update, submit and the command's callback.
#include "support/effects/DrawUnitRig.h"
#include "support/effects/EffectFileCorpus.h"
#include "support/effects/PoolDrain.h"
#include "support/effects/RibbonBuildValues.h"
#include "support/effects/UnitTreeRig.h"

#include "effects/drawunits/AxisTrailDrawUnit.h"
#include "effects/drawunits/BillboardTrailDrawUnit.h"
#include "effects/drawunits/CrossTrailDrawUnit.h"
#include "effects/drawunits/DrawSubmission.h"
#include "effects/drawunits/DrawUnitFactory.h"
#include "effects/drawunits/TrailStartValues.h"
#include "effects/render/Renderer.h"
#include "effects/render/RendererWorkData.h"
#include "effects/units/InstanceRootUnit.h"
#include "effects/units/ParticleInstanceT.h"
#include "effects/units/UnitCreators.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <functional>
#include <optional>
#include <string>
#include <type_traits>
#include <vector>

namespace {

namespace Fx = FulgorCore;
using effecttools::Constant;
using effecttools::ConstantValue;
using effecttools::DrawPartValue;
using Fx::DrawUnit;
using Fx::TrailDrawUnitBase;
using T = Fx::TrailDrawUnitBase;
using testsupport::DrawEffect;
using testsupport::DrawUnitRig;
using testsupport::kCentred;

enum Kind : uint32_t { kBillboard = 0, kAxisX = 1, kAxisY = 2, kAxisZ = 3, kCross = 4 };

effecttools::ColorValue Colour(float r, float g, float b) {
    return testsupport::ConstantColour(r, g, b, 1.0f);
}

// A trail part: sub-kind, MidKey, CentreLine, vertex format, n points,
// middle m; widths 1 at head, 2 at the middle, 3 at the tail; the trail red
// at the head, green at the middle, blue at the tail, the edges likewise at
// half strength.
DrawPartValue TrailPart(uint32_t kind, uint32_t midKey, uint32_t centre, uint32_t format,
                        uint32_t n = 4, uint32_t m = 2) {
    effecttools::DrawDataType12Value trail;
    trail.fields = {{"TDT", kind}, {"bCPE", midKey}, {"bECE", centre},
                    {"PtCn", n},   {"PtCN", m},      {"PtIv", 1}};
    trail.floats = {{"Wid", Constant(1.0f)},
                    {"WidH", Constant(1.0f)},
                    {"WidC", Constant(2.0f)},
                    {"WidT", Constant(3.0f)}};
    trail.colors = {{"ColH", Colour(1, 0, 0)},       {"ColC", Colour(0, 1, 0)},
                    {"ColT", Colour(0, 0, 1)},       {"CoEH", Colour(0.5f, 0, 0)},
                    {"CoEC", Colour(0, 0.5f, 0)},    {"CoET", Colour(0, 0, 0.5f)}};
    DrawPartValue part;
    part.data = trail;
    part.fields = {{"UvSC", format}};
    return part;
}

// Every float a random start in [k + 1, k + 2) over a value of 0, every
// colour's red one in [1, 2): a value drawn is never 0, one left out is.
DrawPartValue RandomPart(uint32_t kind, uint32_t midKey, uint32_t centre, uint32_t format) {
    DrawPartValue part = TrailPart(kind, midKey, centre, format);
    auto& trail = std::get<effecttools::DrawDataType12Value>(part.data);
    const char* tags[5] = {"Dist", "Wid", "WidH", "WidC", "WidT"};
    for (uint32_t k = 0; k < 5; ++k)
        trail.floats[tags[k]] =
            ConstantValue{0.0f, static_cast<float>(k + 1), static_cast<float>(k + 2)};
    for (auto& [tag, colour] : trail.colors)
        colour.red = ConstantValue{0.0f, 1.0f, 2.0f};
    return part;
}

DrawPartValue WithColours(DrawPartValue part, effecttools::ColorValue head) {
    std::get<effecttools::DrawDataType12Value>(part.data).colors["ColH"] = std::move(head);
    return part;
}

enum Part : uint32_t {
    kAxisXPlain1,
    kAxisYMidKey0,
    kAxisZCentre3,
    kCrossBoth6,
    kCrossPlain2,
    kBillboardMidKey5,
    kBillboardCentre4,
    kBillboardBoth1,
    kRandomAxisPlain,
    kRandomAxisMidKey,
    kRandomCrossCentre,
    kRandomBillboardBoth,
    kAxisYBoth2,
    kCrossBoth2,
    kBillboardBoth2,
    kOnePoint,
    kTwentyFour,
    kAxisMidKey0,
    kAxisCentre0,
    kMiddle0,
    kMiddleN,
    kMiddleNMinus1,
    kMiddleNMinus2,
    kMiddlePast,
    kCrossPlain2Words,
    kBright,
    kBillboardCentre1,
    kAxisPlain0,
    kParts
};

std::vector<DrawPartValue> Parts() {
    std::vector<DrawPartValue> p(kParts);
    p[kAxisXPlain1] = TrailPart(kAxisX, 0, 0, 1);
    p[kAxisYMidKey0] = TrailPart(kAxisY, 1, 0, 0);
    p[kAxisZCentre3] = TrailPart(kAxisZ, 0, 1, 3);
    p[kCrossBoth6] = TrailPart(kCross, 1, 1, 6);
    p[kCrossPlain2] = TrailPart(kCross, 0, 0, 2);
    p[kBillboardMidKey5] = TrailPart(kBillboard, 1, 0, 5);
    p[kBillboardCentre4] = TrailPart(kBillboard, 0, 1, 4);
    p[kBillboardBoth1] = TrailPart(kBillboard, 1, 1, 1);
    p[kRandomAxisPlain] = RandomPart(kAxisX, 0, 0, 1);
    p[kRandomAxisMidKey] = RandomPart(kAxisX, 1, 0, 1);
    p[kRandomCrossCentre] = RandomPart(kCross, 0, 1, 1);
    p[kRandomBillboardBoth] = RandomPart(kBillboard, 1, 1, 1);
    p[kAxisYBoth2] = RandomPart(kAxisY, 1, 1, 2);
    p[kCrossBoth2] = RandomPart(kCross, 1, 1, 2);
    p[kBillboardBoth2] = RandomPart(kBillboard, 1, 1, 2);
    p[kOnePoint] = TrailPart(kAxisX, 0, 0, 1, 1);
    p[kTwentyFour] = TrailPart(kAxisX, 1, 0, 1, 24);
    p[kAxisMidKey0] = TrailPart(kAxisX, 1, 0, 0, 8);
    p[kAxisCentre0] = TrailPart(kAxisX, 0, 1, 0, 8);
    p[kMiddle0] = TrailPart(kAxisX, 1, 1, 1, 4, 0);
    p[kMiddleN] = TrailPart(kAxisX, 1, 1, 1, 4, 4);
    p[kMiddleNMinus1] = TrailPart(kAxisX, 1, 0, 1, 4, 3);
    p[kMiddleNMinus2] = TrailPart(kAxisX, 1, 0, 1, 4, 2);
    p[kMiddlePast] = TrailPart(kCross, 1, 1, 6, 4, 12);
    p[kCrossPlain2Words] = TrailPart(kCross, 0, 0, 2, 4);
    p[kBright] = WithColours(TrailPart(kAxisX, 0, 0, 1, 2), Colour(12.0f, -1.0f, 0.5f));
    p[kBillboardCentre1] = TrailPart(kBillboard, 0, 1, 1, 4);
    p[kAxisPlain0] = TrailPart(kAxisY, 0, 0, 0, 4);
    return p;
}

// The (u, v) of word k of a trail's texture words.
std::pair<int16_t, int16_t> Word(const TrailDrawUnitBase* t, uint32_t k) {
    return testsupport::TextureWord(t->record->textureWords, k);
}

// One vertex as the callback left it.
struct Vertex {
    float position[4];
    uint16_t colour[4];
    uint8_t parameters[4];
    uint32_t words[6];
};

testing::AssertionResult PackedNear(const std::vector<uint16_t>& got, std::vector<int> want) {
    for (int c = 0; c < 4; ++c)
        if (std::abs(got[c] - want[c]) > 1)
            return testing::AssertionFailure()
                   << "channel " << c << ": " << got[c] << " for " << want[c];
    return testing::AssertionSuccess();
}

class TrailUnits : public testsupport::PartTableFixture<TrailDrawUnitBase, Parts> {
protected:
    // `frames` updates with the owner stepping `step` a frame from the
    // origin, then the draw: the vertices land in the recording renderer.
    void Run(TrailDrawUnitBase* t, int frames, const float* step) {
        renderer.Clear();
        for (int f = 0; f < frames; ++f) {
            float* m = t->ownerUnit->currentWorldMatrix;
            for (int c = 0; c < 3; ++c)
                m[9 + c] = step[c] * static_cast<float>(f);
            t->Update(testsupport::FrameClock(1.0f, static_cast<float>(f)));
        }
        t->Draw();
    }
    Vertex At(uint32_t stride, uint32_t j) const {
        Vertex v{};
        const uint8_t* at = renderer.vertexBytes + size_t{j} * stride;
        std::memcpy(&v, at, 28);
        std::memcpy(v.words, at + 28, stride - 28);
        return v;
    }
    testsupport::RecordingRenderer renderer;
};

constexpr float kAlongX[3] = {1, 0, 0};

TEST_F(TrailUnits, TheDataChoosesClassMembersAndFormat) {
    using Build = Fx::DrawUnitOps::Build;
    using Submit = Fx::DrawUnitOps::Submit;
    using Write = Fx::DrawUnitOps::Write;
    using Generate = Fx::DrawUnitOps::Generate;
    struct Row {
        const char* name;
        uint32_t part;
        std::function<bool(DrawUnit*)> isClass;
        Build build;
        Submit submit;
        Write write;
        Generate generate;
    };
    const auto is = [](auto* typed) {
        using U = std::remove_pointer_t<decltype(typed)>;
        return [](DrawUnit* u) { return dynamic_cast<U*>(u) != nullptr; };
    };
    const Row rows[] = {
        {"axis X, neither flag, format 1", kAxisXPlain1, is((Fx::AxisTrailDrawUnit<1>*)nullptr),
         T::BuildFrameGeometry<1, 0, Fx::PlainLine>,
         Fx::SubmitTrailDraw<36, Fx::AxisTrailDrawUnit, Fx::PlainLine>,
         Fx::AxisTrailDrawUnit<1>::WriteVertices<Fx::PlainLine>, T::InitPointHistory<1>},
        {"axis Y, MidKey alone keeps the plain submit, format 0 is N = 0", kAxisYMidKey0,
         is((Fx::AxisTrailDrawUnit<0>*)nullptr), T::BuildFrameGeometry<0, 0, Fx::MidKey>,
         Fx::SubmitTrailDraw<32, Fx::AxisTrailDrawUnit, Fx::PlainLine>,
         Fx::AxisTrailDrawUnit<0>::WriteVertices<Fx::MidKey>, T::InitPointHistory<1>},
        {"axis Z, CentreLine, format 3", kAxisZCentre3, is((Fx::AxisTrailDrawUnit<3>*)nullptr),
         T::BuildFrameGeometry<3, 0, Fx::CentreLine>,
         Fx::SubmitTrailDraw<44, Fx::AxisTrailDrawUnit, Fx::CentreLine>,
         Fx::AxisTrailDrawUnit<3>::WriteVertices<Fx::CentreLine>, T::InitPointHistory<1>},
        {"cross, both flags, format 6", kCrossBoth6, is((Fx::CrossTrailDrawUnit<6>*)nullptr),
         T::BuildFrameGeometry<6, 1, Fx::MidKeyCentreLine>,
         Fx::SubmitTrailDraw<52, Fx::CrossTrailDrawUnit, Fx::CentreLine>,
         Fx::CrossTrailDrawUnit<6>::WriteVertices<Fx::MidKeyCentreLine>, T::InitPointHistory<2>},
        {"cross, neither flag, format 2", kCrossPlain2, is((Fx::CrossTrailDrawUnit<2>*)nullptr),
         T::BuildFrameGeometry<2, 1, Fx::PlainLine>,
         Fx::SubmitTrailDraw<36, Fx::CrossTrailDrawUnit, Fx::PlainLine>,
         Fx::CrossTrailDrawUnit<2>::WriteVertices<Fx::PlainLine>, T::InitPointHistory<2>},
        {"billboard, MidKey, format 5: the cross build", kBillboardMidKey5,
         is((Fx::BillboardTrailDrawUnit<5>*)nullptr),
         Fx::CrossTrailDrawUnit<5>::Members().sets[2].build,
         Fx::SubmitTrailDraw<52, Fx::BillboardTrailDrawUnit, Fx::PlainLine>,
         Fx::BillboardTrailDrawUnit<5>::WriteVertices<Fx::MidKey>, T::InitPointHistory<0>},
        {"billboard, CentreLine, format 4: the cross build", kBillboardCentre4,
         is((Fx::BillboardTrailDrawUnit<4>*)nullptr),
         Fx::CrossTrailDrawUnit<4>::Members().sets[1].build,
         Fx::SubmitTrailDraw<44, Fx::BillboardTrailDrawUnit, Fx::CentreLine>,
         Fx::BillboardTrailDrawUnit<4>::WriteVertices<Fx::CentreLine>, T::InitPointHistory<0>},
        {"billboard, both flags, format 1: the cross build", kBillboardBoth1,
         is((Fx::BillboardTrailDrawUnit<1>*)nullptr),
         Fx::CrossTrailDrawUnit<1>::Members().sets[3].build,
         Fx::SubmitTrailDraw<36, Fx::BillboardTrailDrawUnit, Fx::CentreLine>,
         Fx::BillboardTrailDrawUnit<1>::WriteVertices<Fx::MidKeyCentreLine>,
         T::InitPointHistory<0>},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        Fx::ParticleInstance* owner = rig->MakeOwner();
        TrailDrawUnitBase* t = Make(owner, row.part);
        ASSERT_NE(t, nullptr);
        ASSERT_NE(t->record, nullptr);
        EXPECT_TRUE(row.isClass(t));
        EXPECT_EQ(t->ops.build, row.build);
        EXPECT_EQ(t->ops.submit, row.submit);
        EXPECT_EQ(t->ops.write, row.write);
        EXPECT_EQ(t->ops.generate, row.generate);
        EXPECT_EQ(owner->alive, 1);
    }
    // The sub-kinds past 4 have no class.
    for (uint32_t kind = 5; kind < 8; ++kind)
        EXPECT_EQ(Fx::ChooseDrawUnitClass(12, kind, 1).construct, nullptr) << kind;
}

TEST_F(TrailUnits, TheSubKindPicksTheAxesRecordedWithEveryPoint) {
    testsupport::OwnerPose pose;
    const float rows[12] = {1, 2, 3, 4, 5, 6, 7, 8, 9, 0, 0, 0};
    std::memcpy(pose.matrix, rows, sizeof rows);
    struct Row {
        const char* name;
        uint32_t part;
        uint32_t first;
        int second;
    };
    const Row cases[] = {
        {"sub-kind 1: X", kAxisXPlain1, 0, -1},
        {"sub-kind 2: Y", kAxisYMidKey0, 1, -1},
        {"sub-kind 3: Z", kAxisZCentre3, 2, -1},
        {"sub-kind 4: X, then Y", kCrossBoth6, 0, 1},
    };
    for (const Row& c : cases) {
        SCOPED_TRACE(c.name);
        TrailDrawUnitBase* t = Make(rig->MakeOwner(pose), c.part);
        ASSERT_NE(t, nullptr);
        t->Update(testsupport::FrameClock());
        for (uint32_t i = 0; i < t->historyLength; ++i) {
            EXPECT_EQ(std::memcmp(t->recordedAxes[0] + 3 * i, rows + 3 * c.first, 12), 0) << i;
            if (c.second >= 0) {
                EXPECT_EQ(std::memcmp(t->recordedAxes[1] + 3 * i, rows + 3 * c.second, 12), 0)
                    << i;
            }
        }
    }
}

TEST_F(TrailUnits, StartValuesByFlagsAtTheLayoutsPlace) {
    using namespace Fx::ParticleKernel;
    struct Row {
        const char* name;
        uint32_t part;
        uint32_t lead;
        bool middle;
        bool edges;
        bool edgeMiddle;
    };
    const Row rows[] = {
        {"axis, neither flag", kRandomAxisPlain, 0, false, false, false},
        {"axis, MidKey alone: the middle width and colour, no edge", kRandomAxisMidKey, 0, true,
         false, false},
        {"cross, CentreLine alone: head and tail edges, not the middle one", kRandomCrossCentre,
         1, false, true, false},
        {"billboard, both: every value one word on", kRandomBillboardBoth, 1, true, true, true},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        TrailDrawUnitBase* t = Make(row.part);
        ASSERT_NE(t, nullptr);
        const float* v = t->record->startValues + row.lead;
        if (row.lead) {
            EXPECT_EQ(t->record->startValues[0], 0.0f);
        }
        EXPECT_GE(v[kTrailJitter], 1.0f);
        EXPECT_GE(v[kTrailWidthScale], 2.0f);
        EXPECT_GE(v[kTrailHeadWidth], 3.0f);
        EXPECT_GE(v[kTrailTailWidth], 5.0f);
        EXPECT_GE(v[kTrailHeadColour], 1.0f);
        EXPECT_GE(v[kTrailTailColour], 1.0f);
        EXPECT_EQ(v[kTrailMiddleWidth] != 0.0f, row.middle);
        EXPECT_EQ(v[kTrailMiddleColour] != 0.0f, row.middle);
        EXPECT_EQ(v[kTrailEdgeHeadColour] != 0.0f, row.edges);
        EXPECT_EQ(v[kTrailEdgeTailColour] != 0.0f, row.edges);
        EXPECT_EQ(v[kTrailEdgeMiddleColour] != 0.0f, row.edgeMiddle);
    }
}

// Fault: a construction that failed leaves every member the no-op, so
// neither the update nor the draw of the unit runs anything unset.
TEST_F(TrailUnits, AFailedConstructionStopsTheOwnerAndKeepsTheNoOps) {
    Fx::FrameWorkMemory& memory = Fx::Engine::GetFrameWorkMemory();
    struct Row {
        const char* name;
        uint32_t part;
        uint32_t bytes; // the first frame's arrays of the 4 points
    };
    const Row rows[] = {
        {"axis: 4 x 28", kAxisXPlain1, 112},
        {"cross: 4 x 40", kCrossPlain2, 160},
        {"billboard: 4 x 16", kBillboardMidKey5, 64},
    };
    const auto noOps = [](const TrailDrawUnitBase* t) {
        return t->ops.build == Fx::DrawUnitOps::BuildNothing &&
               t->ops.submit == Fx::DrawUnitOps::SubmitNothing &&
               t->ops.write == Fx::DrawUnitOps::WriteNothing;
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        for (const uint32_t spare : {row.bytes, row.bytes - 16}) {
            SCOPED_TRACE("room " + std::to_string(spare));
            Fx::ParticleInstance* owner = rig->MakeOwner();
            memory.Flip();
            memory.Flip();
            ASSERT_NE(memory.Allocate(memory.GetHalfSize() - spare), nullptr);
            TrailDrawUnitBase* t = Make(owner, row.part);
            ASSERT_NE(t, nullptr);
            EXPECT_NE(t->record, nullptr);
            const bool fits = spare == row.bytes;
            EXPECT_EQ(owner->alive, fits ? 1 : 0);
            EXPECT_EQ(noOps(t), !fits);
            if (!fits) {
                renderer.Clear();
                t->Update(testsupport::FrameClock());
                t->Draw();
                EXPECT_TRUE(renderer.reservations.empty());
            }
        }
        memory.Flip();
    }

    // An empty pool after the unit's own and the base's blocks: no record,
    // the owner stopped once, and its blocks go back when it is deleted.
    Fx::ParticleInstance* owner = rig->MakeOwner();
    {
        testsupport::PoolDrain drain(2);
        bool stop = false;
        DrawUnit* unit = Fx::CreateDrawUnit(owner, rig->Part(kCrossBoth6), stop);
        ASSERT_NE(unit, nullptr);
        auto* t = static_cast<TrailDrawUnitBase*>(unit);
        EXPECT_EQ(t->record, nullptr);
        EXPECT_EQ(owner->alive, 0);
        EXPECT_TRUE(noOps(t));
        const uintptr_t mark = testsupport::FrameMemoryMark();
        renderer.Clear();
        t->Update(testsupport::FrameClock());
        t->Draw();
        EXPECT_EQ(testsupport::FrameMemoryMark(), mark);
        EXPECT_TRUE(renderer.reservations.empty());
        delete unit;
        Fx::UnitInstancePool& pool = Fx::Engine::GetUnitInstancePool();
        void* a = pool.Allocate();
        void* b = pool.Allocate();
        EXPECT_TRUE(a && b);
        EXPECT_EQ(pool.Allocate(), nullptr);
        pool.Free(a);
        pool.Free(b);
    }
}

TEST_F(TrailUnits, BuildsWriteTheirWordsWidthsColoursAndDeltas) {
    struct Row {
        const char* name;
        std::function<void()> check;
    };
    const auto build = [](TrailDrawUnitBase* t, float widthScale = 1.0f) {
        t->ops.build(t, testsupport::FrameClock(), kCentred, widthScale);
    };
    const Row rows[] = {
        {"axis, cross and billboard of equal data get equal values and words",
         [&] {
             TrailDrawUnitBase* axis = Make(kAxisYBoth2);
             TrailDrawUnitBase* others[2] = {Make(kCrossBoth2), Make(kBillboardBoth2)};
             build(axis);
             for (TrailDrawUnitBase* o : others) {
                 // The same start values one word further on.
                 std::memcpy(o->record->startValues + 1, axis->record->startValues,
                             Fx::ParticleKernel::kTrailRandomValues * sizeof(float));
                 build(o);
                 EXPECT_EQ(std::memcmp(&o->record->ribbon, &axis->record->ribbon,
                                       sizeof(Fx::RibbonFrameValues)),
                           0);
                 EXPECT_EQ(std::memcmp(o->record->textureWords, axis->record->textureWords,
                                       4 * 12 * 2),
                           0);
             }
         }},
        {"a billboard owner of plane scale 2 doubles both widths",
         [&] {
             testsupport::OwnerPose pose;
             pose.matrix[0] = pose.matrix[4] = pose.matrix[8] = 2.0f;
             TrailDrawUnitBase* billboard = Make(rig->MakeOwner(pose), kBillboardCentre1);
             TrailDrawUnitBase* axis = Make(rig->MakeOwner(pose), kAxisPlain0);
             for (int f = 0; f < 2; ++f) {
                 billboard->Update(testsupport::FrameClock());
                 axis->Update(testsupport::FrameClock());
             }
             EXPECT_FLOAT_EQ(axis->record->ribbon.headWidth, 1.0f);
             EXPECT_FLOAT_EQ(billboard->record->ribbon.headWidth, 2.0f);
             EXPECT_FLOAT_EQ(billboard->record->ribbon.tailWidth, 6.0f);
         }},
        {"one point: its words at v -0.5 (0), the edges at u 1000 and 0",
         [&] {
             TrailDrawUnitBase* t = Make(kOnePoint);
             build(t);
             EXPECT_EQ(Word(t, 0), std::make_pair(int16_t{1000}, int16_t{0}));
             EXPECT_EQ(Word(t, 1), std::make_pair(int16_t{0}, int16_t{0}));
         }},
        {"24 points end a rounding step short: v 999",
         [&] {
             TrailDrawUnitBase* t = Make(kTwentyFour);
             build(t);
             EXPECT_EQ(Word(t, 2 * 23).second, 999);
         }},
        {"format 0 takes 8n (12n with the centre line) bytes and writes none",
         [&] {
             for (const auto& [part, bytes] : {std::pair{kAxisMidKey0, 64u}, {kAxisCentre0, 96u}}) {
                 TrailDrawUnitBase* t = Make(part);
                 const uintptr_t mark = testsupport::FrameMemoryMark();
                 std::memset(reinterpret_cast<void*>(mark), 0xAB, bytes);
                 build(t);
                 EXPECT_EQ(testsupport::FrameMemoryMark() - mark, bytes);
                 EXPECT_EQ(reinterpret_cast<uintptr_t>(t->record->textureWords), mark);
                 const auto* b = reinterpret_cast<const uint8_t*>(mark);
                 EXPECT_TRUE(std::all_of(b, b + bytes, [](uint8_t x) { return x == 0xAB; }));
                 EXPECT_FLOAT_EQ(t->record->ribbon.headWidth, 1.0f);
             }
         }},
        {"MidKey alone: tail - middle in the second delta",
         [&] {
             TrailDrawUnitBase* t = Make(kAxisYMidKey0);
             build(t);
             const Fx::RibbonFrameValues& r = t->record->ribbon;
             EXPECT_EQ(std::vector<float>(r.centreColor, r.centreColor + 4),
                       (std::vector<float>{1, 0, 0, 1}));
             EXPECT_EQ(std::vector<float>(r.middleColor, r.middleColor + 4),
                       (std::vector<float>{0, 1, 0, 1}));
             EXPECT_EQ(std::vector<float>(r.firstDelta, r.firstDelta + 4),
                       (std::vector<float>{-1, 1, 0, 0}));
             EXPECT_EQ(std::vector<float>(r.secondDelta, r.secondDelta + 4),
                       (std::vector<float>{0, -1, 1, 0}));
             EXPECT_FLOAT_EQ(r.middleWidth, 2.0f);
         }},
        {"MidKey with CentreLine: the edges' middle - head second, tail - middle third",
         [&] {
             TrailDrawUnitBase* t = Make(kCrossBoth6);
             build(t);
             const Fx::RibbonFrameValues& r = t->record->ribbon;
             EXPECT_EQ(std::vector<float>(r.secondDelta, r.secondDelta + 4),
                       (std::vector<float>{-0.5f, 0.5f, 0, 0}));
             EXPECT_EQ(std::vector<float>(r.thirdDelta, r.thirdDelta + 4),
                       (std::vector<float>{0, -1, 1, 0}));
             EXPECT_EQ(std::vector<float>(r.fourthDelta, r.fourthDelta + 4),
                       (std::vector<float>{0, -0.5f, 0.5f, 0}));
             EXPECT_EQ(std::vector<float>(r.middleEdgeColor, r.middleEdgeColor + 4),
                       (std::vector<float>{0, 0.5f, 0, 1}));
         }},
        {"CentreLine alone: tail - head for the trail and for the edges",
         [&] {
             TrailDrawUnitBase* t = Make(kAxisZCentre3);
             build(t);
             const Fx::RibbonFrameValues& r = t->record->ribbon;
             EXPECT_EQ(std::vector<float>(r.firstDelta, r.firstDelta + 4),
                       (std::vector<float>{-1, 0, 1, 0}));
             EXPECT_EQ(std::vector<float>(r.secondDelta, r.secondDelta + 4),
                       (std::vector<float>{-0.5f, 0, 0.5f, 0}));
             EXPECT_EQ(std::vector<float>(r.edgeColor, r.edgeColor + 4),
                       (std::vector<float>{0.5f, 0, 0, 1}));
         }},
        {"an exhausted half: words null, the owner stopped, values kept",
         [&] {
             TrailDrawUnitBase* t = Make(kAxisXPlain1);
             build(t);
             const float head = t->record->ribbon.headWidth;
             Fx::FrameWorkMemory& memory = Fx::Engine::GetFrameWorkMemory();
             memory.Allocate(memory.GetHalfSize());
             build(t, 5.0f);
             EXPECT_EQ(t->record->textureWords, nullptr);
             EXPECT_EQ(t->ownerUnit->alive, 0);
             EXPECT_EQ(t->record->ribbon.headWidth, head);
             memory.Flip();
         }},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        row.check();
    }
}

TEST_F(TrailUnits, AFrameDrawsTheRangesAndEdgesAsStated) {
    struct Row {
        const char* name;
        std::function<void()> check;
    };
    // Four points of three vertices (36 bytes) or two.
    const auto colourAt = [&](uint32_t perPoint, uint32_t point, uint32_t vertex) {
        const Vertex v = At(36, perPoint * point + vertex);
        return std::vector<uint16_t>(v.colour, v.colour + 4);
    };
    const Row rows[] = {
        {"m = 0: the whole trail is the second range, middle to tail",
         [&] {
             Run(Make(kMiddle0), 4, kAlongX);
             EXPECT_TRUE(PackedNear(colourAt(3, 0, 1), {0, 1000, 0, 1000}));
             EXPECT_TRUE(PackedNear(colourAt(3, 3, 1), {0, 0, 1000, 1000}));
             EXPECT_TRUE(PackedNear(colourAt(3, 3, 0), {0, 0, 500, 1000}));
         }},
        {"m = n: the first range alone, the last point at t = 3/4",
         [&] {
             Run(Make(kMiddleN), 4, kAlongX);
             EXPECT_TRUE(PackedNear(colourAt(3, 0, 1), {1000, 0, 0, 1000}));
             EXPECT_TRUE(PackedNear(colourAt(3, 3, 1), {250, 750, 0, 1000}));
             EXPECT_TRUE(PackedNear(colourAt(3, 3, 2), {125, 375, 0, 1000}));
         }},
        {"n - m = 1: the last point alone carries the middle values",
         [&] {
             TrailDrawUnitBase* t = Make(kMiddleNMinus1);
             Run(t, 4, kAlongX);
             EXPECT_TRUE(PackedNear(colourAt(2, 3, 0), {0, 1000, 0, 1000}));
             const Vertex a = At(36, 6);
             const Vertex b = At(36, 7);
             // The recorded axis is X, the width 2 either side.
             EXPECT_FLOAT_EQ(b.position[0] - a.position[0], 4.0f);
         }},
        {"n - m = 2: the second range's points at t 0 and 1",
         [&] {
             Run(Make(kMiddleNMinus2), 4, kAlongX);
             EXPECT_TRUE(PackedNear(colourAt(2, 1, 0), {500, 500, 0, 1000}));
             EXPECT_TRUE(PackedNear(colourAt(2, 2, 0), {0, 1000, 0, 1000}));
             EXPECT_TRUE(PackedNear(colourAt(2, 3, 1), {0, 0, 1000, 1000}));
         }},
        {"a channel above 10 packs to 10000, a negative one to 0",
         [&] {
             Run(Make(kBright), 2, kAlongX);
             const std::vector<uint16_t> c = colourAt(2, 0, 0);
             EXPECT_EQ(c[0], 10000);
             EXPECT_EQ(c[1], 0);
             EXPECT_EQ(c[2], 500);
             EXPECT_EQ(c[3], 1000);
         }},
        {"a billboard on a line through the eye puts its edges on the centre",
         [&] {
             Fx::RendererWorkData* work = Fx::Renderer::GetWorkData();
             ASSERT_NE(work, nullptr);
             const float eye[4] = {0, 0, -10, 0};
             work->viewVector = eye;
             const float alongZ[3] = {0, 0, 1};
             Run(Make(kBillboardCentre1), 4, alongZ);
             work->viewVector = nullptr;
             ASSERT_EQ(renderer.reservations.size(), 1u);
             for (uint32_t i = 0; i < 4; ++i) {
                 const Vertex centre = At(36, 3 * i + 1);
                 for (uint32_t e : {0u, 2u})
                     EXPECT_EQ(std::memcmp(At(36, 3 * i + e).position, centre.position, 12), 0)
                         << i;
             }
         }},
        {"format 0 writes 32-byte vertices and no word",
         [&] {
             Run(Make(kAxisPlain0), 4, kAlongX);
             ASSERT_EQ(renderer.reservations.size(), 1u);
             EXPECT_EQ(renderer.reservations[0].stride, 32u);
             EXPECT_EQ(renderer.reservations[0].vertices, 8u);
             for (uint32_t j = 0; j < 8; ++j) {
                 const uint8_t* spare = renderer.vertexBytes + 32 * j + 28;
                 EXPECT_TRUE(std::all_of(spare, spare + 4, [](uint8_t b) { return b == 0xCD; }))
                     << j;
             }
             // Point 3's first edge: the tail at width 3 along Y.
             const Vertex tail = At(32, 6);
             const Vertex other = At(32, 7);
             EXPECT_FLOAT_EQ(other.position[1] - tail.position[1], 6.0f);
         }},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        row.check();
    }
}

// Fault: a middle past the point count would run the first range past the
// points and write past the room the submit reserved for them.
TEST_F(TrailUnits, AMiddlePastThePointsWritesNothingPastTheReservation) {
    TrailDrawUnitBase* t = Make(kMiddlePast);
    ASSERT_NE(t, nullptr);
    Run(t, 4, kAlongX);
    ASSERT_EQ(renderer.reservations.size(), 1u);
    EXPECT_EQ(renderer.reservations[0].vertices, 24u);
    const uint8_t* past = renderer.vertexBytes + 24 * 52;
    const uint8_t* end = renderer.vertexBytes + sizeof(renderer.vertexBytes);
    EXPECT_TRUE(std::all_of(past, end,
                            [](uint8_t b) { return b == 0xCD; }));
    // Every point drawn in the first range: the last at t = 3/4 of it.
    const Vertex centre = At(52, 3 * 3 + 1);
    EXPECT_TRUE(PackedNear({centre.colour, centre.colour + 4}, {250, 750, 0, 1000}));
}

// Fault: the cross trail's second ribbon would sample whatever its texture
// words held; it carries the first ribbon's words of the same point and
// vertex.
TEST_F(TrailUnits, TheCrossTrailsSecondRibbonCarriesTheFirstsWords) {
    TrailDrawUnitBase* t = Make(kCrossPlain2Words);
    ASSERT_NE(t, nullptr);
    Run(t, 4, kAlongX);
    ASSERT_EQ(renderer.reservations.size(), 1u);
    EXPECT_EQ(renderer.reservations[0].vertices, 16u);
    for (uint32_t j = 0; j < 8; ++j) {
        const Vertex first = At(36, j);
        const Vertex second = At(36, 8 + j);
        EXPECT_EQ(first.words[0], t->record->textureWords[2 * j]) << j;
        EXPECT_EQ(std::memcmp(first.words, second.words, 8), 0) << j;
    }
}

// Fault: a trail takes its first history from frame memory when it is
// built, and frame memory keeps a block only through the next frame. A
// trail built in one frame and first updated in the next (its instance
// built it and then went unevaluated that frame, frame memory having run
// out before the instance's evaluation job) copied its history, in the
// frame after, from a block that frame memory had emptied and handed out
// again. Such a trail now lays the same points as one built and first
// updated in the same frame, and that one takes no more memory than
// before: its first update takes only the resampled arrays (n x (12 per
// axis array + 16)) and the build its texture words (n x 8 a texture set,
// 12 with the centre line).
TEST_F(TrailUnits, ATrailBuiltTheFrameBeforeItsFirstUpdateLaysTheSamePoints) {
    Fx::FrameWorkMemory& memory = Fx::Engine::GetFrameWorkMemory();
    struct Row {
        const char* name;
        uint32_t part;
        uint32_t axisArrays;
        uint32_t firstFrameBytes; // of the prompt trail's first update
    };
    const Row rows[] = {
        {"axis: 4 x 28 + 4 x 8", kAxisXPlain1, 1, 112 + 32},
        {"cross: 4 x 40 + 4 x 16 (format 2)", kCrossPlain2, 2, 160 + 64},
        {"billboard: 4 x 16 + 4 x 12", kBillboardCentre1, 0, 64 + 48},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        Fx::ParticleInstance* lateOwner = rig->MakeOwner();
        Fx::ParticleInstance* promptOwner = rig->MakeOwner();
        // Frame 0, on an empty half: the late trail is built, not updated.
        memory.Flip();
        memory.Flip();
        TrailDrawUnitBase* late = Make(lateOwner, row.part);
        ASSERT_NE(late, nullptr);
        TrailDrawUnitBase* prompt = nullptr;
        for (int frame = 1; frame < 5; ++frame) {
            SCOPED_TRACE(frame);
            memory.Flip();
            // What the rest of the frame takes first, all of it written.
            void* others = memory.Allocate(4096);
            ASSERT_NE(others, nullptr);
            std::memset(others, 0x7F, 4096);
            if (frame == 1) {
                prompt = Make(promptOwner, row.part);
                ASSERT_NE(prompt, nullptr);
            }
            for (Fx::ParticleInstance* owner : {lateOwner, promptOwner})
                owner->currentWorldMatrix[9] = static_cast<float>(frame);
            late->Update(testsupport::FrameClock());
            const uintptr_t mark = testsupport::FrameMemoryMark();
            prompt->Update(testsupport::FrameClock());
            if (frame == 1) {
                EXPECT_EQ(testsupport::FrameMemoryMark() - mark, row.firstFrameBytes);
            }
            const uint32_t n = prompt->historyLength;
            const Fx::TrailFrameRecord& a = *late->record;
            const Fx::TrailFrameRecord& b = *prompt->record;
            EXPECT_EQ(std::memcmp(a.positions, b.positions, n * 12), 0);
            EXPECT_EQ(a.positions[0], static_cast<float>(frame));
            if (row.axisArrays > 0) {
                EXPECT_EQ(std::memcmp(a.firstAxes, b.firstAxes, n * 12), 0);
            }
            if (row.axisArrays > 1) {
                EXPECT_EQ(std::memcmp(a.secondAxes, b.secondAxes, n * 12), 0);
            }
            EXPECT_EQ(std::memcmp(late->history, prompt->history, n * 16), 0);
        }
    }
}

// Fault: a trail whose instance went unevaluated for a frame copied, in
// the next, its history of two frames before, from a block frame memory
// had handed out again. It now starts over where its owner is, as on its
// first frame.
TEST_F(TrailUnits, ATrailThatMissesAFramesUpdateStartsOverAtItsOwner) {
    Fx::FrameWorkMemory& memory = Fx::Engine::GetFrameWorkMemory();
    for (uint32_t part : {kAxisXPlain1, kCrossPlain2, kBillboardCentre1}) {
        SCOPED_TRACE(part);
        Fx::ParticleInstance* owner = rig->MakeOwner();
        TrailDrawUnitBase* t = Make(owner, part);
        ASSERT_NE(t, nullptr);
        t->Update(testsupport::FrameClock());
        // Frame 1 on an empty half, frame 2 without the update, and frame
        // 3 first handing frame 1's block to others, who write it all.
        for (int frame = 1; frame <= 3; ++frame) {
            memory.Flip();
            if (frame == 2)
                continue;
            if (frame == 3) {
                void* others = memory.Allocate(4096);
                ASSERT_NE(others, nullptr);
                std::memset(others, 0x7F, 4096);
            }
            owner->currentWorldMatrix[9] = static_cast<float>(frame);
            t->Update(testsupport::FrameClock());
        }
        EXPECT_EQ(owner->alive, 1);
        for (uint32_t i = 0; i < t->historyLength; ++i) {
            EXPECT_EQ(t->record->positions[3 * i], 3.0f) << i;
            EXPECT_EQ(t->history[i].position[0], 3.0f) << i;
        }
    }
}

// Two fuzzed effect files whose timelines, when the play loop raises the
// trigger bits, build particles with an axis trail (one) and a billboard
// trail (the other) and fill frame memory, so that the instance misses
// that frame's evaluation and each trail's first update comes a frame
// after its construction. Replayed as the fuzz target plays them: no
// history is read from a block frame memory no longer keeps (clean under
// the address checks), and once the instance has ended every block is
// back.
TEST(TrailHistories, FuzzedEffectsOfTrailsBuiltLateReadNoReusedMemory) {
    for (const char* name : {"trail_history_axis", "trail_history_billboard"}) {
        const std::optional<uint32_t> blocks = testsupport::ReplayEffectFileCorpusInput(name);
        ASSERT_TRUE(blocks.has_value()) << name;
        EXPECT_EQ(*blocks, 0u) << name;
    }
}

// A curve of `value` whose random curve adds `range` x u, u drawn afresh
// at every evaluation (random type 4).
effecttools::FloatValue FreshDraw(float value, float range) {
    effecttools::CurvesValue c;
    c.value.keys = {{1, 0.0f, value}};
    c.random.randomType = 4;
    c.random.keys = {{1, 0.0f, range}};
    return c;
}

// A trail of n points whose jitter, head width and head colours take a
// fresh random number at every evaluation.
DrawPartValue DrawingTrail(uint32_t kind, uint32_t centre, uint32_t n) {
    DrawPartValue part = TrailPart(kind, 0, centre, 1, n);
    auto& trail = std::get<effecttools::DrawDataType12Value>(part.data);
    trail.floats["Dist"] = FreshDraw(0.0f, 0.5f);
    trail.floats["WidH"] = FreshDraw(1.0f, 1.0f);
    trail.colors["ColH"].red = FreshDraw(0.5f, 0.5f);
    trail.colors["CoEH"].red = FreshDraw(0.25f, 0.5f);
    return part;
}

// The widths and colours the particle's second unit, a trail of 4 points
// drawing from the same random state, holds after each of 6 frames, when
// its first unit is a trail of `points` points. The particle is started by
// the first place's timeline; what the frames draw is counted in `drawn`.
std::vector<std::vector<float>> SecondUnitBeside(uint32_t points, int& drawn) {
    std::vector<std::vector<float>> seen;
    testsupport::UnitTreeRig rig;
    EXPECT_TRUE(rig.Start());
    const Fx::UnitCreators saved = Fx::UnitCreators::Current();
    Fx::UnitCreators::Current() = Fx::UnitCreators::kBuiltIn;
    effecttools::EffectFileValue f = testsupport::TreeEffect("vfx/trails.vfxb", 1);
    f.package.units[0].life = 0;
    f.package.units[0].drawParts = {DrawingTrail(kAxisX, 1, points), DrawingTrail(kCross, 0, 4)};
    testsupport::AddTimeline(f, 100, {testsupport::UnitItem(0, 0, 100)});
    f.package.assignments.push_back({int16_t{0}, std::nullopt});
    const Fx::InstanceHandle h = rig.PlayAlone(rig.Load(f));
    for (int frame = 0; frame < 6; ++frame) {
        testsupport::Frame();
        Fx::InstanceRootUnit* root = testsupport::UnitTreeRig::Root(h);
        Fx::UnitInstance* timeline = root ? root->firstChild : nullptr;
        auto* p = dynamic_cast<Fx::ParticleInstanceT<2, 0, 0>*>(timeline ? timeline->firstChild
                                                                         : nullptr);
        if (!p) {
            ADD_FAILURE() << "no particle of two draw units at frame " << frame;
            break;
        }
        EXPECT_EQ(p->alive, 1) << frame;
        const auto* second = static_cast<const TrailDrawUnitBase*>(p->drawUnits[1]);
        const auto* values = reinterpret_cast<const float*>(&second->record->ribbon);
        seen.emplace_back(values, values + sizeof(Fx::RibbonFrameValues) / sizeof(float));
        testsupport::RecordingRenderer renderer;
        root->DrawCategory(0);
        drawn += static_cast<int>(renderer.reservations.size());
    }
    Fx::UnitCreators::Current() = saved;
    EXPECT_EQ(rig.Release(), 0u);
    return seen;
}

// Fault: a trail of fewer than 2 points evaluated neither its point
// member nor its widths and colours, so the numbers its curves draw each
// frame were left in the instance's random state and every later unit of
// the particle took other ones than beside a trail that draws.
TEST(TrailEvaluations, AOnePointTrailDrawsTheNumbersATwoPointTrailDraws) {
    int drawnBesideOne = 0;
    int drawnBesideTwo = 0;
    const std::vector<std::vector<float>> besideOne = SecondUnitBeside(1, drawnBesideOne);
    const std::vector<std::vector<float>> besideTwo = SecondUnitBeside(2, drawnBesideTwo);
    ASSERT_EQ(besideOne.size(), 6u);
    ASSERT_EQ(besideTwo.size(), 6u);
    for (size_t frame = 0; frame < 6; ++frame)
        EXPECT_EQ(besideOne[frame], besideTwo[frame]) << frame;
    // The head width a draw of [1, 2): the second unit's values are its own.
    EXPECT_GE(besideOne[5][0], 1.0f);
    EXPECT_LT(besideOne[5][0], 2.0f);
    EXPECT_NE(besideOne[4][0], besideOne[5][0]);
    // Only the trail of one point draws nothing: 6 frames of one unit
    // beside it, of two beside the trail of two points.
    EXPECT_EQ(drawnBesideOne, 6);
    EXPECT_EQ(drawnBesideTwo, 12);
}

} // namespace
