// Strips built from their data (members by point source, flags and vertex
// format; start values; owner chains; history blocks and teardown), their
// frame geometry (the frame take, texture words, widths and places), and
// the submits of strips, rings and trails.
#include "support/effects/DrawUnitRig.h"
#include "support/effects/RibbonBuildValues.h"
#include "support/effects/RuntimeFrame.h"
#include "support/effects/XorshiftSteps.h"

#include "effects/drawunits/CrossTrailDrawUnit.h"
#include "effects/drawunits/DrawSubmission.h"
#include "effects/drawunits/DrawUnitFactory.h"
#include "effects/drawunits/PointHistoryEntry.h"
#include "effects/drawunits/RingDrawUnit.h"
#include "effects/drawunits/StripDrawUnit.h"
#include "effects/drawunits/StripPoint.h"
#include "effects/drawunits/StripSources.h"
#include "effects/render/LineStripGeometry.h"
#include "effects/render/RingGeometry.h"
#include "effects/units/InstanceRootUnit.h"
#include "effects/units/UnitCreators.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <bit>
#include <cstring>
#include <functional>
#include <vector>

namespace {

namespace Fx = FulgorCore;
using effecttools::Constant;
using effecttools::ConstantValue;
using effecttools::DrawPartValue;
using Fx::DrawUnit;
using Fx::StripDrawUnitBase;
using S = Fx::StripDrawUnitBase;
using testsupport::DrawEffect;
using testsupport::DrawUnitRig;
using testsupport::kCentred;

// A strip part: point source, MidKey, CentreLine, vertex format, its other
// fields; widths 1.
DrawPartValue StripPart(uint32_t source, uint32_t midKey, uint32_t centre, uint32_t n,
                        std::vector<effecttools::FieldValue> more = {}) {
    effecttools::DrawDataType6Value strip;
    strip.fields = {{"Type", source}, {"bCPE", midKey}, {"bECE", centre}};
    strip.fields.insert(strip.fields.end(), more.begin(), more.end());
    strip.floats = {{"Wid", Constant(1.0f)}, {"WidH", Constant(1.0f)}, {"WidT", Constant(1.0f)}};
    // Head white, tail red at half alpha; edges white to clear.
    effecttools::ColorValue tail, edgeTail;
    tail.green = tail.blue = Constant(0.0f);
    tail.alpha = Constant(0.5f);
    edgeTail.alpha = Constant(0.0f);
    strip.colors = {{"ColH", {}}, {"ColT", tail}, {"CoEH", {}}, {"CoET", edgeTail}};
    DrawPartValue part;
    part.data = strip;
    part.fields = {{"UvSC", n}};
    return part;
}

std::vector<uint8_t> Points(const std::vector<Fx::StripPoint>& points) {
    std::vector<uint8_t> bytes(points.size() * sizeof(Fx::StripPoint));
    std::memcpy(bytes.data(), points.data(), bytes.size());
    return bytes;
}

uint32_t FloatBits(float f) {
    return std::bit_cast<uint32_t>(f);
}

// The parts of the effect, by index.
enum Part : uint32_t {
    kLinePlain0,
    kLineMidKey1,
    kLineCentre2,
    kLineBoth6,
    kDataMidKey3,
    kDataCentre4,
    kChainMidKey5,
    kChainCentre0,
    kHistoryMidKey1,
    kHistoryCentre2,
    kSourceFive,
    kDataEmpty,
    kChainLimit0,
    kChainLimit1,
    kChainLimit2,
    kChainLimit5,
    kRandomValues,
    kHistoryPlain1,
    kDataPlain1,
    kLineCentre3,
    kHistoryCentre1,
    kChainCentre1,
    kLineEmpty,
    kLineBothColours,
    kLineLagged1,
    kLineStraight1,
    kParts
};

DrawPartValue WithPoints(DrawPartValue part, std::vector<Fx::StripPoint> points) {
    std::get<effecttools::DrawDataType6Value>(part.data).points = Points(points);
    return part;
}

DrawPartValue WithSpacing(DrawPartValue part, float spacing) {
    std::get<effecttools::DrawDataType6Value>(part.data).crIv = FloatBits(spacing);
    return part;
}

// Every float property a distinct random range [k, k + 1); the head
// colour's red in [10, 20) and the edge tail's brightness in [30, 40).
DrawPartValue RandomValuesPart() {
    DrawPartValue part = StripPart(2, 0, 0, 1, {{"PUC", 1}});
    auto& strip = std::get<effecttools::DrawDataType6Value>(part.data);
    const char* tags[7] = {"Dist", "Len", "Soft", "Wid", "WidH", "WidC", "WidT"};
    for (uint32_t k = 0; k < 7; ++k)
        strip.floats[tags[k]] =
            ConstantValue{0.0f, static_cast<float>(k + 1), static_cast<float>(k + 2)};
    for (const char* c : {"ColH", "ColC", "ColT", "CoEH", "CoEC", "CoET"})
        strip.colors[c] = {};
    strip.colors["ColH"].red = ConstantValue{1.0f, 10.0f, 20.0f};
    strip.colors["CoET"].brightness = ConstantValue{1.0f, 30.0f, 40.0f};
    return part;
}

// A middle width of 0.5 and middle colours: white at half alpha, the
// edges' at a quarter.
DrawPartValue MiddleColours(DrawPartValue part) {
    auto& strip = std::get<effecttools::DrawDataType6Value>(part.data);
    strip.floats["WidC"] = Constant(0.5f);
    strip.colors["ColC"].alpha = Constant(0.5f);
    strip.colors["CoEC"].alpha = Constant(0.25f);
    return part;
}

// A generated line 4 long, its far end dragged by `lag` (none for 0).
DrawPartValue LineOfLength4(DrawPartValue part, float lag) {
    auto& strip = std::get<effecttools::DrawDataType6Value>(part.data);
    strip.floats["Len"] = Constant(4.0f);
    if (lag != 0.0f)
        strip.floats["Soft"] = Constant(lag);
    return part;
}

std::vector<DrawPartValue> Parts() {
    const std::vector<Fx::StripPoint> two = {{{0, 0, 0}, 0}, {{1, 0, 0}, 1}};
    std::vector<DrawPartValue> p(kParts);
    p[kLinePlain0] = StripPart(0, 0, 0, 0, {{"PtCn", 4}});
    p[kLineMidKey1] = StripPart(0, 1, 0, 1, {{"PtCn", 4}});
    p[kLineCentre2] = StripPart(0, 0, 1, 2, {{"PtCn", 4}});
    p[kLineBoth6] = StripPart(0, 1, 1, 6, {{"PtCn", 4}});
    p[kDataMidKey3] = WithPoints(StripPart(1, 1, 0, 3), two);
    p[kDataCentre4] = WithPoints(StripPart(1, 0, 1, 4), two);
    p[kChainMidKey5] = StripPart(2, 1, 0, 5, {{"PUC", 1}});
    p[kChainCentre0] = StripPart(2, 0, 1, 0, {{"PUC", 1}});
    p[kHistoryMidKey1] = WithSpacing(StripPart(3, 1, 0, 1), 1.0f);
    p[kHistoryCentre2] = WithSpacing(StripPart(3, 0, 1, 2), 1.0f);
    p[kSourceFive] = StripPart(5, 0, 0, 1, {{"PtCn", 4}});
    p[kDataEmpty] = StripPart(1, 0, 0, 1);
    p[kChainLimit0] = StripPart(2, 0, 0, 1, {{"PUC", 0}});
    p[kChainLimit1] = StripPart(2, 0, 0, 1, {{"PUC", 1}});
    p[kChainLimit2] = StripPart(2, 0, 0, 1, {{"PUC", 2}});
    p[kChainLimit5] = StripPart(2, 0, 0, 1, {{"PUC", 5}});
    p[kRandomValues] = RandomValuesPart();
    p[kHistoryPlain1] = WithSpacing(StripPart(3, 0, 0, 1), 1.0f);
    p[kDataPlain1] = WithPoints(StripPart(1, 0, 0, 1), {{{0, 0, 0}, 0}});
    p[kLineCentre3] = StripPart(0, 0, 1, 3, {{"PtCn", 5}});
    p[kHistoryCentre1] = WithSpacing(StripPart(3, 0, 1, 1), 1.0f);
    p[kChainCentre1] = StripPart(2, 0, 1, 1, {{"PUC", 2}});
    p[kLineEmpty] = StripPart(0, 0, 0, 1, {{"PtCn", 0}});
    p[kLineBothColours] = MiddleColours(StripPart(0, 1, 1, 1, {{"PtCn", 4}, {"PtCN", 2}}));
    p[kLineLagged1] = LineOfLength4(StripPart(0, 0, 0, 1, {{"PtCn", 4}}), 0.5f);
    p[kLineStraight1] = LineOfLength4(StripPart(0, 0, 0, 1, {{"PtCn", 4}}), 0.0f);
    return p;
}

// The (u, v) words of a strip's vertex k.
std::pair<int16_t, int16_t> Word(const StripDrawUnitBase* s, uint32_t k) {
    return testsupport::TextureWord(s->record->textureWords, k);
}

class StripUnits : public testsupport::PartTableFixture<StripDrawUnitBase, Parts> {
protected:
    static void Frame(DrawUnit* unit) {
        unit->Step();
        unit->Update(testsupport::FrameClock());
    }
    // An owner at the origin whose line runs along its x row.
    Fx::ParticleInstance* LineOwner() {
        Fx::ParticleInstance* owner = rig->MakeOwner();
        owner->axisMember = Fx::ParticleInstance::GetAxisX;
        return owner;
    }
    // What the rest of a frame takes before the strips, all of it written.
    static void OthersTakeAndWrite(uint32_t bytes = 4096) {
        void* others = Fx::Engine::GetFrameWorkMemory().Allocate(bytes);
        ASSERT_NE(others, nullptr);
        std::memset(others, 0x7F, bytes);
    }
};

TEST_F(StripUnits, TheDataChoosesTheMembersOfSourceFlagsAndFormat) {
    using Build = Fx::DrawUnitOps::Build;
    using Submit = Fx::DrawUnitOps::Submit;
    using Generate = Fx::DrawUnitOps::Generate;
    struct Row {
        const char* name;
        uint32_t part;
        Build build;
        Submit submit;
        Generate generate;
        bool alive;
    };
    const Row rows[] = {
        {"generated line, neither flag, format 0", kLinePlain0,
         S::BuildFrameGeometry<0, Fx::GeneratedLine, Fx::PlainLine>,
         S::SubmitDraw<0, Fx::GeneratedLine, Fx::PlainLine>, S::GenerateLinePoints, true},
        {"generated line, MidKey alone, format 1", kLineMidKey1,
         S::BuildFrameGeometry<1, Fx::GeneratedLine, Fx::MidKey>,
         S::SubmitDraw<1, Fx::GeneratedLine, Fx::MidKey>, S::GenerateLinePoints, true},
        {"generated line, CentreLine alone, format 2", kLineCentre2,
         S::BuildFrameGeometry<2, Fx::GeneratedLine, Fx::CentreLine>,
         S::SubmitDraw<2, Fx::GeneratedLine, Fx::CentreLine>, S::GenerateLinePoints, true},
        {"generated line, both flags, format 6", kLineBoth6,
         S::BuildFrameGeometry<6, Fx::GeneratedLine, Fx::MidKeyCentreLine>,
         S::SubmitDraw<6, Fx::GeneratedLine, Fx::MidKeyCentreLine>, S::GenerateLinePoints, true},
        {"data points ignore MidKey, format 3", kDataMidKey3,
         S::BuildFrameGeometry<3, Fx::DataPoints, Fx::PlainLine>,
         S::SubmitDraw<3, Fx::PointList, Fx::PlainLine>, Fx::DrawUnitOps::GenerateNothing, true},
        {"data points with CentreLine, format 4", kDataCentre4,
         S::BuildFrameGeometry<4, Fx::DataPoints, Fx::CentreLine>,
         S::SubmitDraw<4, Fx::PointList, Fx::CentreLine>, Fx::DrawUnitOps::GenerateNothing, true},
        {"owner chain ignores MidKey, format 5", kChainMidKey5,
         S::BuildFrameGeometry<5, Fx::OwnerChain, Fx::PlainLine>,
         S::SubmitDraw<5, Fx::PointList, Fx::PlainLine>, Fx::DrawUnitOps::GenerateNothing, true},
        {"owner chain with CentreLine, format 0", kChainCentre0,
         S::BuildFrameGeometry<0, Fx::OwnerChain, Fx::CentreLine>,
         S::SubmitDraw<0, Fx::PointList, Fx::CentreLine>, Fx::DrawUnitOps::GenerateNothing, true},
        {"history ignores MidKey, format 1", kHistoryMidKey1,
         S::BuildFrameGeometry<1, Fx::History, Fx::PlainLine>,
         S::SubmitDraw<1, Fx::History, Fx::PlainLine>, S::InitPointHistory, true},
        {"history with CentreLine, format 2", kHistoryCentre2,
         S::BuildFrameGeometry<2, Fx::History, Fx::CentreLine>,
         S::SubmitDraw<2, Fx::History, Fx::CentreLine>, S::InitPointHistory, true},
        {"a source of 5 ends the owner and stores no member", kSourceFive,
         Fx::DrawUnitOps::BuildNothing, Fx::DrawUnitOps::SubmitNothing,
         Fx::DrawUnitOps::GenerateNothing, false},
        {"no data point ends the owner", kDataEmpty, Fx::DrawUnitOps::BuildNothing,
         Fx::DrawUnitOps::SubmitNothing, Fx::DrawUnitOps::GenerateNothing, false},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        Fx::ParticleInstance* owner = rig->MakeOwner();
        StripDrawUnitBase* strip = Make(owner, row.part);
        ASSERT_NE(strip, nullptr);
        ASSERT_NE(strip->record, nullptr);
        EXPECT_EQ(strip->record->ops.build, row.build);
        EXPECT_EQ(strip->record->ops.submit, row.submit);
        EXPECT_EQ(strip->record->ops.generate, row.generate);
        EXPECT_EQ(owner->alive != 0, row.alive);
        // A stopped strip's frame runs nothing: no take of frame memory.
        if (!row.alive) {
            const uintptr_t mark = testsupport::FrameMemoryMark();
            Frame(strip);
            strip->Draw();
            EXPECT_EQ(testsupport::FrameMemoryMark(), mark);
        }
    }
}

TEST_F(StripUnits, TheThirteenStartValuesAreDrawnInTheDataOrder) {
    Fx::ParticleInstance* owner = rig->MakeOwner();
    // The state the strip's own draws start from: past the base's.
    Fx::Xorshift128& random = rig->root->random;
    const Fx::Xorshift128 before = random;
    Keep(DrawUnit::Create<testsupport::KernelUnit>(owner, rig->Part(kRandomValues)));
    Fx::Xorshift128 reference = random;
    random = before;
    StripDrawUnitBase* strip = Make(owner, kRandomValues);
    ASSERT_NE(strip, nullptr);
    const float floats[7] = {strip->jitterSample,    strip->lengthSample,
                             strip->lagSample,       strip->widthScaleSample,
                             strip->headWidthSample, strip->middleWidthSample,
                             strip->tailWidthSample};
    for (uint32_t k = 0; k < 7; ++k)
        EXPECT_FLOAT_EQ(floats[k], static_cast<float>(k + 1) + reference.NextFloat01()) << k;
    // Head colour red, then its other four channels and the other colours
    // five each; the edge tail's brightness last.
    EXPECT_FLOAT_EQ(strip->colorSamples[0][0], 10.0f + 10.0f * reference.NextFloat01());
    reference = testsupport::Advanced(reference, 28);
    EXPECT_FLOAT_EQ(strip->colorSamples[5][4], 30.0f + 10.0f * reference.NextFloat01());
    EXPECT_TRUE(testsupport::Same(random, reference));
}

TEST_F(StripUnits, AnOwnerChainCountsTheOwnerAndItsUnitsUpToTheRootOrTheLimit) {
    // owner -> A -> root, A at (3, 0, 0), the owner at (3, 4, 0).
    const float atA[3] = {3, 0, 0};
    Fx::ParticleInstance* a = rig->MakeOwner(atA);
    Fx::UnitInstance::InitialState state;
    state.parent = a;
    state.timeMode = Fx::UnitInstance::kEndless;
    Fx::ParticleInstance* deep = testsupport::StandInParticle(rig->root, state);
    ASSERT_NE(deep, nullptr);
    const float atOwner[3] = {3, 4, 0};
    testsupport::PlaceOwner(deep, atOwner);
    struct Row {
        const char* name;
        uint32_t part;
        bool underA;
        uint32_t points;
    };
    const Row rows[] = {
        {"PUC 0: the owner alone", kChainLimit0, false, 1},
        {"PUC 1 under the root: the root and the owner", kChainLimit1, false, 2},
        {"PUC 5 under the root stops at the root", kChainLimit5, false, 2},
        {"PUC 2 over owner, A, root: all three", kChainLimit2, true, 3},
        {"PUC 1 over owner, A, root: A and the owner", kChainLimit1, true, 2},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        StripDrawUnitBase* strip = Make(row.underA ? deep : rig->MakeOwner(), row.part);
        ASSERT_NE(strip, nullptr);
        EXPECT_EQ(strip->stripPointCount, row.points);
    }
    delete deep;
}

TEST_F(StripUnits, AHistoryChainsABlockAtFourteenNodesAndGivesEveryBlockBack) {
    Fx::ParticleInstance* owner = rig->MakeOwner();
    bool stop = false;
    auto* strip =
        static_cast<StripDrawUnitBase*>(Fx::CreateDrawUnit(owner, rig->Part(kHistoryPlain1), stop));
    ASSERT_NE(strip, nullptr);
    std::vector<void*> blocks = {strip->history.current};
    // The owner moves one spacing a frame: a node every frame.
    for (int frame = 1; frame <= 40; ++frame) {
        owner->currentWorldMatrix[9] = static_cast<float>(frame);
        const uint32_t before = strip->history.current->count;
        Frame(strip);
        if (strip->history.current != blocks.back()) {
            // Only a block holding 14 nodes opens the next one.
            EXPECT_EQ(before, 14u) << frame;
            blocks.push_back(strip->history.current);
        }
    }
    ASSERT_EQ(blocks.size(), 3u);
    // Own block, render block, frame record, then the history oldest first.
    std::vector<void*> expected = {strip, strip->renderBlock, strip->record};
    expected.insert(expected.end(), blocks.begin(), blocks.end());
    delete strip;
    Fx::UnitInstancePool& pool = Fx::Engine::GetUnitInstancePool();
    std::vector<void*> next;
    for (size_t i = 0; i < expected.size(); ++i)
        next.push_back(pool.Allocate());
    EXPECT_EQ(next, expected);
    for (void* b : next)
        pool.Free(b);
}

TEST_F(StripUnits, AFailedFrameTakeEndsTheOwnerAndLeavesTheBlockByTheFamilysOrder) {
    Fx::FrameWorkMemory& memory = Fx::Engine::GetFrameWorkMemory();
    StripDrawUnitBase* data = Make(kDataPlain1);
    Fx::ParticleInstance* historyOwner = rig->MakeOwner();
    StripDrawUnitBase* history = Make(historyOwner, kHistoryPlain1);
    ASSERT_NE(data, nullptr);
    ASSERT_NE(history, nullptr);
    Frame(history);
    // An empty current half, filled to leave exactly the data strip's take
    // of one point: 16 + 8 bytes, 32 rounded.
    memory.Flip();
    memory.Flip();
    ASSERT_NE(memory.Allocate(memory.GetHalfSize() - 32), nullptr);
    Frame(data);
    const Fx::StripPoint* filled = data->stripPoints;
    ASSERT_NE(filled, nullptr);
    EXPECT_EQ(data->ownerUnit->alive, 1);
    // The next take fails, and every later one, 0 bytes too.
    Frame(data);
    EXPECT_EQ(data->ownerUnit->alive, 0);
    EXPECT_EQ(data->stripPoints, filled); // test first: the last block kept
    EXPECT_EQ(memory.Allocate(0), nullptr);
    Frame(history);
    EXPECT_EQ(history->record->textureWords, nullptr); // store first: null
    EXPECT_EQ(historyOwner->alive, 0);
    memory.Flip();
}

TEST_F(StripUnits, BuildsWriteTheirWordsWidthsAndPlaces) {
    struct Row {
        const char* name;
        std::function<void()> check;
    };
    const auto build = [](StripDrawUnitBase* s) {
        s->record->ops.build(s, testsupport::FrameClock(), kCentred, 1.0f);
    };
    const Row rows[] = {
        {"a two-point line: head (1000, 0) and (0, 0), tail v 1000",
         [&] {
             StripDrawUnitBase* s = Make(kLineMidKey1);
             s->pointCount = 2;
             build(s);
             EXPECT_EQ(Word(s, 0), std::make_pair(int16_t{1000}, int16_t{0}));
             EXPECT_EQ(Word(s, 1), std::make_pair(int16_t{0}, int16_t{0}));
             EXPECT_EQ(Word(s, 2), std::make_pair(int16_t{1000}, int16_t{1000}));
         }},
        {"a line of 24 points ends a rounding step short: v 999",
         [&] {
             StripDrawUnitBase* s = Make(kLineMidKey1);
             s->pointCount = 24;
             build(s);
             EXPECT_EQ(Word(s, 2 * 23).second, 999);
         }},
        {"a line of no point writes no word but still its widths",
         [&] {
             StripDrawUnitBase* s = Make(kLineMidKey1);
             s->pointCount = 0;
             const uintptr_t mark = testsupport::FrameMemoryMark();
             std::memset(reinterpret_cast<void*>(mark), 0xAB, 4);
             build(s);
             EXPECT_EQ(*reinterpret_cast<const uint32_t*>(mark), 0xABABABABu);
             EXPECT_FLOAT_EQ(s->record->headWidth, 1.0f);
         }},
        {"uniform scale 2: width 2, points doubled about the owner",
         [&] {
             testsupport::OwnerPose pose;
             pose.matrix[0] = pose.matrix[4] = pose.matrix[8] = 2.0f;
             pose.matrix[9] = 5.0f;
             StripDrawUnitBase* s = Make(rig->MakeOwner(pose), kDataCentre4);
             build(s);
             EXPECT_FLOAT_EQ(s->record->headWidth, 2.0f);
             EXPECT_FLOAT_EQ(s->stripPoints[1].position[0], 7.0f);
             EXPECT_FLOAT_EQ(s->stripPoints[1].parameter, 1.0f);
         }},
        {"uniform scale 3: the fast root makes it 3.125",
         [&] {
             testsupport::OwnerPose pose;
             pose.matrix[0] = pose.matrix[4] = pose.matrix[8] = 3.0f;
             StripDrawUnitBase* s = Make(rig->MakeOwner(pose), kDataCentre4);
             build(s);
             EXPECT_FLOAT_EQ(s->record->headWidth, 3.125f);
         }},
        {"coincident chain units add 8.13e-20 each and spread evenly to 1/1.01",
         [&] {
             Fx::ParticleInstance* a = rig->MakeOwner();
             Fx::UnitInstance::InitialState state;
             state.parent = a;
             Fx::ParticleInstance* owner = testsupport::StandInParticle(rig->root, state);
             testsupport::PlaceOwner(owner, nullptr);
             bool stop = false;
             auto* s = static_cast<StripDrawUnitBase*>(
                 Fx::CreateDrawUnit(owner, rig->Part(kChainCentre1), stop));
             ASSERT_EQ(s->stripPointCount, 3u);
             build(s);
             EXPECT_EQ(s->stripPoints[0].parameter, 0.0f);
             EXPECT_FLOAT_EQ(s->stripPoints[1].parameter, 0.5f / 1.01f);
             EXPECT_FLOAT_EQ(s->stripPoints[2].parameter, 1.0f / 1.01f);
             // Head: edges (1000, 0), (0, 0), the centre (500, 0).
             EXPECT_EQ(Word(s, 0), std::make_pair(int16_t{1000}, int16_t{0}));
             EXPECT_EQ(Word(s, 1), std::make_pair(int16_t{500}, int16_t{0}));
             EXPECT_EQ(Word(s, 2), std::make_pair(int16_t{0}, int16_t{0}));
             delete s;
             delete owner;
         }},
        {"format 0 takes the room of format 1 and writes none of it",
         [&] {
             StripDrawUnitBase* s = Make(kLinePlain0);
             const uintptr_t mark = testsupport::FrameMemoryMark();
             std::memset(reinterpret_cast<void*>(mark), 0xAB, 32);
             build(s);
             // 4 points of 8 bytes; the next take starts past them.
             EXPECT_EQ(testsupport::FrameMemoryMark(), mark + 32);
             const auto* bytes = reinterpret_cast<const uint8_t*>(mark);
             EXPECT_EQ(std::count(bytes, bytes + 32, 0xAB), 32);
         }},
        {"colours times the owner's, their deltas taken after",
         [&] {
             testsupport::OwnerPose pose;
             pose.color[0] = 0.5f;
             Fx::ParticleInstance* owner = rig->MakeOwner(pose);
             StripDrawUnitBase* s = Make(owner, kHistoryCentre1);
             // The plain data-point strip through a draw colour that passes
             // the owner's on: the same head and delta.
             StripDrawUnitBase* plain = Make(owner, kDataPlain1);
             build(s);
             build(plain);
             const Fx::StripFrameRecord& r = *s->record;
             const float centre[4] = {0.5f, 1, 1, 1}, toTail[4] = {0, -1, -1, -0.5f};
             const float toEdgeTail[4] = {0, 0, 0, -1};
             for (int c = 0; c < 4; ++c) {
                 EXPECT_FLOAT_EQ(r.centreColor[c], centre[c]) << c;
                 EXPECT_FLOAT_EQ(r.edgeColor[c], centre[c]) << c;
                 EXPECT_FLOAT_EQ(r.firstDelta[c], toTail[c]) << c;
                 EXPECT_FLOAT_EQ(r.secondDelta[c], toEdgeTail[c]) << c;
                 EXPECT_FLOAT_EQ(plain->record->centreColor[c], centre[c]) << c;
                 EXPECT_FLOAT_EQ(plain->record->firstDelta[c], toTail[c]) << c;
             }
         }},
        {"MidKey with CentreLine: middles and the four deltas in their places",
         [&] {
             StripDrawUnitBase* s = Make(kLineBothColours);
             build(s);
             const Fx::StripFrameRecord& r = *s->record;
             EXPECT_FLOAT_EQ(r.middleWidth, 0.5f);
             const float expected[][4] = {{1, 1, 1, 1},     {1, 1, 1, 0.5f},  {1, 1, 1, 1},
                                          {1, 1, 1, 0.25f}, {0, 0, 0, -0.5f}, {0, 0, 0, -0.75f},
                                          {0, -1, -1, 0},   {0, 0, 0, -0.25f}};
             const float* got[] = {r.centreColor, r.middleColor, r.edgeColor,  r.middleEdgeColor,
                                   r.firstDelta,  r.secondDelta, r.thirdDelta, r.fourthDelta};
             for (int k = 0; k < 8; ++k)
                 for (int c = 0; c < 4; ++c)
                     EXPECT_FLOAT_EQ(got[k][c], expected[k][c]) << k << " " << c;
         }},
        {"history, first frame: (1000, 0), (500, 0), (0, 0)",
         [&] {
             StripDrawUnitBase* s = Make(kHistoryCentre1);
             Frame(s);
             ASSERT_EQ(s->segmentCount, 1u);
             build(s);
             EXPECT_EQ(Word(s, 0), std::make_pair(int16_t{1000}, int16_t{0}));
             EXPECT_EQ(Word(s, 1), std::make_pair(int16_t{500}, int16_t{0}));
             EXPECT_EQ(Word(s, 2), std::make_pair(int16_t{0}, int16_t{0}));
         }},
        {"history at path parameter 40: v wraps to 40000 - 65536",
         [&] {
             StripDrawUnitBase* s = Make(kHistoryCentre1);
             Frame(s);
             s->firstNode->distance = 40.0f;
             build(s);
             EXPECT_EQ(Word(s, 0).second, static_cast<int16_t>(40000 - 65536));
         }},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        row.check();
    }
}

// The renderer's reservations recorded, commands kept unrun, room for
// commands from a buffer of the test's own (none when `areaFull`).
class Submissions {
public:
    Submissions() {
        current_ = this;
        Fx::DrawRenderer& r = Fx::DrawRenderer::Current();
        r.submit = [](Fx::Job* job) { current_->jobs.push_back(job); };
        r.allocateCommandSpace = [](uint32_t) -> void* {
            ++current_->commandTakes;
            return current_->areaFull ? nullptr : current_->area;
        };
    }
    ~Submissions() { current_ = nullptr; }
    Fx::DrawCommand& Command(size_t i) const { return *static_cast<Fx::DrawCommand*>(jobs.at(i)); }

    testsupport::RecordingRenderer renderer;
    std::vector<Fx::Job*> jobs;
    int commandTakes = 0;
    bool areaFull = false;
    alignas(16) uint8_t area[sizeof(Fx::DrawCommand)];

private:
    static inline Submissions* current_ = nullptr;
};

TEST_F(StripUnits, SubmitsReserveTheirCountsAndPushOneCommand) {
    Submissions sub;
    Fx::ParticleInstance* owner = rig->MakeOwner();
    Fx::RingDrawUnit::Values ringValues;
    ringValues.segmentCount = 8;
    auto* ring = Keep(DrawUnit::Create<Fx::RingDrawUnit>(owner, rig->Part(0), ringValues));
    Fx::TrailDrawUnitBase::Values trailValues;
    trailValues.subKind = 4;
    trailValues.pointCount = 10;
    auto* cross =
        Keep(DrawUnit::Create<Fx::CrossTrailDrawUnit<1>>(owner, rig->Part(0), trailValues));
    trailValues.pointCount = 0;
    auto* emptyTrail =
        Keep(DrawUnit::Create<Fx::CrossTrailDrawUnit<1>>(owner, rig->Part(0), trailValues));
    ASSERT_NE(ring, nullptr);
    ASSERT_NE(cross, nullptr);
    ASSERT_NE(emptyTrail, nullptr);
    struct Row {
        const char* name;
        std::function<void()> submit;
        std::vector<testsupport::Reservation> reserved; // stride, vertices, indices
        int commandTakes;
        size_t jobs;
    };
    const auto strip = [&](uint32_t part) {
        StripDrawUnitBase* s = Make(part);
        return [s] { s->record->ops.submit(s); };
    };
    const Row rows[] = {
        {"a 5-point CentreLine line at format 3: 15 vertices of 44 bytes, 48 indices",
         strip(kLineCentre3),
         {{44, 15, 48}},
         1,
         1},
        {"a ring of 8 segments: 18 and 48",
         [&] { Fx::SubmitRingDraw<1>(ring); },
         {{36, 18, 48}},
         0,
         1},
        {"a CentreLine ring of 8: 27 and 96",
         [&] { Fx::SubmitRingDraw<4, Fx::CentreLine>(ring); },
         {{44, 27, 96}},
         0,
         1},
        {"a cross trail of 10: 40 and 108",
         [&] { Fx::SubmitTrailDraw<36, Fx::CrossTrailDrawUnit>(cross); },
         {{36, 40, 108}},
         0,
         1},
        {"a CentreLine cross trail of 10: 60 and 216",
         [&] { Fx::SubmitTrailDraw<52, Fx::CrossTrailDrawUnit, Fx::CentreLine>(cross); },
         {{52, 60, 216}},
         0,
         1},
        {"a strip of no point takes no command and reserves nothing",
         strip(kHistoryPlain1),
         {},
         0,
         0},
        {"a line of no point: no command, no room", strip(kLineEmpty), {}, 0, 0},
        {"a trail of no point: no room",
         [&] { Fx::SubmitTrailDraw<36, Fx::CrossTrailDrawUnit>(emptyTrail); },
         {},
         0,
         0},
        {"a strip of one point pushes a command without indices",
         strip(kDataPlain1),
         {{36, 2, 0}},
         1,
         1},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        sub.renderer.Clear();
        sub.jobs.clear();
        sub.commandTakes = 0;
        row.submit();
        ASSERT_EQ(sub.renderer.reservations.size(), row.reserved.size());
        for (size_t i = 0; i < row.reserved.size(); ++i) {
            EXPECT_EQ(sub.renderer.reservations[i].stride, row.reserved[i].stride);
            EXPECT_EQ(sub.renderer.reservations[i].vertices, row.reserved[i].vertices);
            EXPECT_EQ(sub.renderer.reservations[i].indices, row.reserved[i].indices);
        }
        EXPECT_EQ(sub.commandTakes, row.commandTakes);
        EXPECT_EQ(sub.jobs.size(), row.jobs);
    }
}

TEST_F(StripUnits, CommandsCarryTheirCallbackAndRoomAndRingsReuseTheirs) {
    Submissions sub;
    StripDrawUnitBase* line = Make(kLineCentre3);
    line->record->ops.submit(line);
    ASSERT_EQ(sub.jobs.size(), 1u);
    Fx::DrawCommand& c = sub.Command(0);
    EXPECT_EQ(static_cast<void*>(&c), static_cast<void*>(sub.area));
    EXPECT_EQ(c.unit, line);
    EXPECT_EQ(c.geometry, (Fx::WriteLineStripGeometry<3, Fx::CentreLine>));
    EXPECT_EQ(c.payload.vertices, sub.renderer.vertexBytes);
    EXPECT_EQ(c.payload.firstVertex, sub.renderer.firstVertex);

    Fx::RingDrawUnit::Values ringValues;
    ringValues.segmentCount = 8;
    auto* ring =
        Keep(DrawUnit::Create<Fx::RingDrawUnit>(rig->MakeOwner(), rig->Part(0), ringValues));
    Fx::SubmitRingDraw<1>(ring);
    Fx::SubmitRingDraw<1>(ring);
    ASSERT_EQ(sub.jobs.size(), 3u);
    EXPECT_EQ(sub.jobs[1], &ring->command);
    EXPECT_EQ(sub.jobs[2], &ring->command);
    EXPECT_EQ(ring->command.geometry, (Fx::WriteRingGeometry<1, Fx::PlainLine>));
}

// With the record area full a strip reserves nothing, so no room is left
// in the batch unwritten; a refused reservation pushes no command.
TEST_F(StripUnits, AStripWithoutACommandReservesNothing) {
    Submissions sub;
    StripDrawUnitBase* line = Make(kLineCentre3);
    sub.areaFull = true;
    line->record->ops.submit(line);
    EXPECT_EQ(sub.commandTakes, 1);
    EXPECT_TRUE(sub.renderer.reservations.empty());
    EXPECT_TRUE(sub.jobs.empty());
    sub.areaFull = false;
    sub.renderer.refuse = true;
    line->record->ops.submit(line);
    EXPECT_EQ(sub.renderer.reservations.size(), 1u);
    EXPECT_TRUE(sub.jobs.empty());
}

// Reservations bounded as the game's pool buffers bound them (64 KiB of
// 36-byte vertices, 2 KiB of indices), the largest strip granted kept.
struct Limits {
    static bool Reserve(const Fx::IShader*, const uint32_t*, const Fx::TextureSlot*, uint8_t,
                        void** v, uint32_t vertices, uint16_t** i, uint16_t* f, uint32_t indices) {
        ++calls;
        if (uint64_t{vertices} * 36 > 65536 || uint64_t{indices} * 2 > 2048)
            return false;
        largest = vertices / 2 > largest ? vertices / 2 : largest;
        *v = room;
        *i = reinterpret_cast<uint16_t*>(room);
        *f = 0;
        return true;
    }
    static inline uint32_t largest = 0;
    static inline int calls = 0;
    alignas(16) static inline uint8_t room[65536];
};

// An owner moving one spacing a frame for 2,000 frames, its history strip
// beside a data-point strip: the history draws until one reservation could
// no longer take it (171 points with 2 KiB of indices), then nothing, and
// the pool stops draining; the owner and its other strip live on.
TEST_F(StripUnits, AHistoryPastOneReservationStopsTakingBlocks) {
    Submissions sub;
    Fx::DrawRenderer& r = Fx::DrawRenderer::Current();
    r.reserveVertices = Limits::Reserve;
    r.bufferSizes = [] { return Fx::DrawRenderer::BufferSizes{65536, 2048}; };
    Fx::ParticleInstance* owner = rig->MakeOwner();
    StripDrawUnitBase* history = Make(owner, kHistoryPlain1);
    StripDrawUnitBase* data = Make(owner, kDataPlain1);
    // What one reservation takes: 171 points, 86 with a centre line.
    EXPECT_EQ(history->DrawablePoints(), 171u);
    EXPECT_EQ(Make(owner, kHistoryCentre1)->DrawablePoints(), 86u);
    Fx::UnitInstancePool& pool = Fx::Engine::GetUnitInstancePool();
    uint32_t usedAt300 = 0;
    for (int frame = 1; frame <= 2000; ++frame) {
        owner->currentWorldMatrix[9] = static_cast<float>(frame);
        Fx::Engine::GetFrameWorkMemory().Flip();
        for (StripDrawUnitBase* s : {history, data}) {
            Frame(s);
            s->Draw();
        }
        if (frame == 300)
            usedAt300 = pool.GetUsedCount();
    }
    EXPECT_EQ(Limits::largest, 171u);
    EXPECT_EQ(owner->alive, 1);
    EXPECT_LE(history->segmentCount, 14u * 14u);
    EXPECT_EQ(pool.GetUsedCount(), usedAt300);
    // The history's last frames reach no reservation; the other strip's do.
    const int before = Limits::calls;
    Frame(history);
    history->Draw();
    EXPECT_EQ(Limits::calls, before);
    Frame(data);
    data->Draw();
    EXPECT_EQ(Limits::calls, before + 1);
}

// Fault: a generated line takes its first points from frame memory when it
// is built, and frame memory keeps a block only through the next frame. A
// strip built in one frame and first updated in the next (its instance
// built it and then went unevaluated that frame, frame memory having run
// out before the instance's evaluation job) laid its first line in the
// constructor's block and, in the frame after, dragged its new line toward
// that block by lag, or copied it while paused, when frame memory had
// emptied the block's half and handed it out again: the rest of the frame
// had written over it, or the strip's own new line lay across it (a copy
// between overlapping blocks, which the address checks report). Such a
// strip now lays the same
// points as one built and first updated in the same frame, and that one
// takes no more memory than before: its first update takes only its
// texture words, 4 points x 8.
TEST_F(StripUnits, AStripBuiltTheFrameBeforeItsFirstUpdateLaysTheSamePoints) {
    Fx::FrameWorkMemory& memory = Fx::Engine::GetFrameWorkMemory();
    struct Row {
        const char* name;
        uint32_t part;
        int pausedFrame;      // 0: never paused
        uint32_t othersBytes; // what the rest of each frame takes first
    };
    const Row rows[] = {
        {"lagged", kLineLagged1, 0, 4096},
        {"lagged, paused the frame after, the new line across the old", kLineLagged1, 2, 16},
        {"without lag, paused the frame after", kLineStraight1, 2, 4096},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        Fx::ParticleInstance* lateOwner = LineOwner();
        Fx::ParticleInstance* promptOwner = LineOwner();
        // Frame 0, on an empty half: the late strip is built, not updated.
        memory.Flip();
        memory.Flip();
        StripDrawUnitBase* late = Make(lateOwner, row.part);
        ASSERT_NE(late, nullptr);
        StripDrawUnitBase* prompt = nullptr;
        float heldAt = 0.0f;
        for (int frame = 1; frame < 5; ++frame) {
            SCOPED_TRACE(frame);
            memory.Flip();
            const bool paused = frame == row.pausedFrame;
            rig->root->paused = paused ? 1 : 0;
            OthersTakeAndWrite(row.othersBytes);
            if (frame == 1) {
                prompt = Make(promptOwner, row.part);
                ASSERT_NE(prompt, nullptr);
            }
            const float x = 2.0f * static_cast<float>(frame);
            for (Fx::ParticleInstance* owner : {lateOwner, promptOwner})
                owner->currentWorldMatrix[9] = x;
            Frame(late);
            const uintptr_t mark = testsupport::FrameMemoryMark();
            Frame(prompt);
            if (frame == 1) {
                EXPECT_EQ(testsupport::FrameMemoryMark() - mark, 32u);
            }
            EXPECT_EQ(std::memcmp(late->points, prompt->points, 4 * 12), 0);
            // The line starts at its owner; paused, it stays where it was.
            if (!paused)
                heldAt = x;
            EXPECT_EQ(late->points[0], heldAt);
        }
        rig->root->paused = 0;
    }
}

// Fault: a strip whose instance went unevaluated for a frame dragged its
// line by lag, or copied it while paused, from its points of two frames
// before, in a block frame memory had handed out again. It now starts over
// where its owner is, as on its first frame: the line from the owner along
// its axis, 4 long in 3 equal steps (added up one after the other), no
// point dragged, paused or not.
TEST_F(StripUnits, AStripThatMissesAFramesUpdateStartsOverAtItsOwner) {
    Fx::FrameWorkMemory& memory = Fx::Engine::GetFrameWorkMemory();
    struct Row {
        const char* name;
        uint32_t part;
        bool paused; // in the frame after the missed one
    };
    const Row rows[] = {
        {"lagged", kLineLagged1, false},
        {"lagged, paused", kLineLagged1, true},
        {"without lag, paused", kLineStraight1, true},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        Fx::ParticleInstance* owner = LineOwner();
        StripDrawUnitBase* s = Make(owner, row.part);
        ASSERT_NE(s, nullptr);
        Frame(s);
        // Frame 1 on an empty half, frame 2 without the update, and frame 3
        // first handing frame 1's block to others, who write it all.
        for (int frame = 1; frame <= 3; ++frame) {
            memory.Flip();
            if (frame == 2)
                continue;
            if (frame == 3) {
                OthersTakeAndWrite();
                rig->root->paused = row.paused ? 1 : 0;
            }
            owner->currentWorldMatrix[9] = 2.0f * static_cast<float>(frame);
            Frame(s);
        }
        rig->root->paused = 0;
        EXPECT_EQ(owner->alive, 1);
        const float step = 4.0f / 3.0f;
        float along = 0.0f;
        for (int i = 0; i < 4; ++i, along += step) {
            EXPECT_FLOAT_EQ(s->points[3 * i], 6.0f + along) << i;
            EXPECT_EQ(s->points[3 * i + 1], 0.0f) << i;
            EXPECT_EQ(s->points[3 * i + 2], 0.0f) << i;
        }
    }
}

// An effect of three units, each with a strip of format 1 (a generated
// line of 6 points with a centre line, two points of the data, a chain
// from the particle to the root), spawned in a played instance: each
// particle builds its strip from the class table, updates it, and the
// instance's draw collects and draws it.
TEST(PlayedStrips, EveryPointSourceDrawsFromItsData) {
    const std::vector<Fx::StripPoint> two = {{{0, 0, 0}, 0}, {{1, 0, 0}, 1}};
    DrawUnitRig rig(
        DrawEffect({StripPart(0, 0, 1, 1, {{"PtCn", 6}}), WithPoints(StripPart(1, 0, 0, 1), two),
                    StripPart(2, 0, 0, 1, {{"PUC", 63}})}));
    ASSERT_TRUE(rig.ok);
    // The runtime's own particle classes, whose draw parts come from the
    // class table.
    const Fx::UnitCreators saved = Fx::UnitCreators::Current();
    Fx::UnitCreators::Current() = Fx::UnitCreators::kBuiltIn;
    for (uint32_t unit = 0; unit < 3; ++unit) {
        const float at[3] = {0.0f, 0.0f, 5.0f};
        rig.root->AddChild(rig.root->SpawnParticleInstance(rig.root, rig.Package()->GetUnit(unit),
                                                           at, 10.0f, 1.0f));
    }
    Submissions sub;
    testsupport::Frame();
    rig.root->DrawCategory(0);
    std::vector<std::pair<uint32_t, uint32_t>> counts;
    for (const testsupport::Reservation& r : sub.renderer.reservations) {
        EXPECT_EQ(r.stride, 36u);
        counts.emplace_back(r.vertices, r.indices);
    }
    std::sort(counts.begin(), counts.end());
    ASSERT_EQ(counts.size(), 3u);
    // The data's two points: 4 and 6.
    EXPECT_EQ(counts[0], std::make_pair(4u, 6u));
    // The chain: the particle and the root.
    EXPECT_EQ(counts[1], std::make_pair(4u, 6u));
    // The line: 18 and 60.
    EXPECT_EQ(counts[2], std::make_pair(18u, 60u));
    EXPECT_EQ(sub.jobs.size(), 3u);
    Fx::UnitCreators::Current() = saved;
}

} // namespace
