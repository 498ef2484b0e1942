// Rings, circles and quads built from their data: the ring's point
// transforms, start values, members and frame geometry; the circle's rim
// writers and segment count; the quad's corners and shape; and what each
// does when the pool runs dry.
#include "support/effects/DrawUnitRig.h"
#include "support/effects/PoolDrain.h"
#include "support/effects/XorshiftSteps.h"

#include "effects/drawunits/CircleDrawUnit.h"
#include "effects/drawunits/DrawCommand.h"
#include "effects/drawunits/DrawSubmission.h"
#include "effects/drawunits/DrawUnitFactory.h"
#include "effects/drawunits/QuadDrawUnit.h"
#include "effects/drawunits/RingDrawUnit.h"
#include "effects/drawunits/RingFrameRecord.h"
#include "effects/render/FanAndQuadGeometry.h"
#include "effects/units/InstanceRootUnit.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <vector>

namespace {

namespace Fx = FulgorCore;
using effecttools::Constant;
using effecttools::ConstantValue;
using effecttools::DrawPartValue;
using Fx::DrawUnit;
using Fx::RingDrawUnit;

constexpr float kIdentity[12] = {1, 0, 0, 0, 1, 0, 0, 0, 1, 0, 0, 0};

// ---------------------------------------------------------------- points

// Four segments as the tables store them, (cos, sin) of 0, 90, 180, 270
// and 360 degrees.
constexpr float kQuarterTable[10] = {1, 0, 0, 1, -1, 0, 0, -1, 1, 0};

TEST(RingPointTransforms, PlaceEachPointInThePlaneOfItsAxisAndShiftAlongTheMatrixRow) {
    struct Row {
        const char* name;
        uint32_t axis;
        uint32_t count;
        float radius, shift;
        float matrix[12];
        // Point 1 (sin 1, cos 0) and point 2 (sin 0, cos -1).
        float point1[3];
        float point2[3];
    };
    const Row rows[] = {
        {"X, identity: (h, r s, r c)",
         0,
         5,
         2,
         3,
         {1, 0, 0, 0, 1, 0, 0, 0, 1, 0, 0, 0},
         {3, 2, 0},
         {3, 0, -2}},
        {"Y, identity: (r s, h, -r c)",
         1,
         5,
         2,
         3,
         {1, 0, 0, 0, 1, 0, 0, 0, 1, 0, 0, 0},
         {2, 3, 0},
         {0, 3, 2}},
        {"Z, identity: (r s, r c, h)",
         2,
         5,
         2,
         3,
         {1, 0, 0, 0, 1, 0, 0, 0, 1, 0, 0, 0},
         {2, 0, 3},
         {0, -2, 3}},
        {"Z, uniform scale 2: circle x 2, shift x 4, plus T",
         2,
         5,
         2,
         3,
         {2, 0, 0, 0, 2, 0, 0, 0, 2, 10, 20, 30},
         {14, 20, 42},
         {10, 16, 42}},
        {"X, radius 0: every point at h R0 through M",
         0,
         5,
         0,
         3,
         {0, 2, 0, 1, 0, 0, 0, 0, 1, 1, 1, 1},
         {7, 1, 1},
         {7, 1, 1}},
        {"Z, radius -2 mirrors the circle through its centre",
         2,
         5,
         -2,
         3,
         {1, 0, 0, 0, 1, 0, 0, 0, 1, 0, 0, 0},
         {-2, 0, 3},
         {0, 2, 3}},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        float out[15];
        std::fill(std::begin(out), std::end(out), -99.0f);
        RingDrawUnit::kPointTransforms[row.axis](out, kQuarterTable, row.count, row.radius,
                                                 row.shift, row.matrix);
        for (uint32_t c = 0; c < 3; ++c) {
            EXPECT_FLOAT_EQ(out[3 + c], row.point1[c]) << c;
            EXPECT_FLOAT_EQ(out[6 + c], row.point2[c]) << c;
            // The last point closes on the first.
            EXPECT_FLOAT_EQ(out[12 + c], out[c]) << c;
        }
    }
    float untouched[3] = {-99, -99, -99};
    RingDrawUnit::kPointTransforms[2](untouched, kQuarterTable, 0, 2, 3, kIdentity);
    EXPECT_EQ(untouched[0], -99.0f) << "count 0 writes nothing";
}

// ---------------------------------------------------------------- rings

// `sets` identity texture transforms (scale 1, no scroll or turn).
void IdentitySets(DrawPartValue& part, uint32_t sets) {
    part.fields = {{"UvSC", sets}};
    part.uvLayers.assign(sets, testsupport::IdentityUvSet());
}

DrawPartValue Ring(uint16_t segments, bool centre, float rad, float wid, float hei,
                   uint32_t format = 1) {
    effecttools::DrawDataType7Value ring;
    ring.pointCount = segments;
    ring.ece = centre;
    ring.floats = {{"Rad", Constant(rad)},   {"Wid", Constant(wid)},   {"Hei", Constant(hei)},
                   {"WidI", Constant(1.0f)}, {"WidO", Constant(1.0f)}, {"HeiI", Constant(1.0f)},
                   {"HeiO", Constant(1.0f)}};
    ring.colors = {{"ColC", {}}, {"ColI", {}}, {"ColO", {}}};
    DrawPartValue part;
    part.data = ring;
    IdentitySets(part, format);
    return part;
}

// Every float a random range [k + 1, k + 2) in the order the ring samples
// them; ColC's red in [10, 20), ColO's brightness in [30, 40).
DrawPartValue RandomRing() {
    DrawPartValue part = Ring(8, false, 1, 0, 0);
    auto& ring = std::get<effecttools::DrawDataType7Value>(part.data);
    const char* tags[7] = {"Hei", "HeiI", "HeiO", "Wid", "WidI", "WidO", "Rad"};
    for (uint32_t k = 0; k < 7; ++k)
        ring.floats[tags[k]] =
            ConstantValue{0.0f, static_cast<float>(k + 1), static_cast<float>(k + 2)};
    ring.colors["ColC"].red = ConstantValue{1.0f, 10.0f, 20.0f};
    ring.colors["ColO"].brightness = ConstantValue{1.0f, 30.0f, 40.0f};
    return part;
}

DrawPartValue Circle(float count, uint32_t format = 1) {
    effecttools::DrawDataType8Value circle;
    circle.count = Constant(count);
    DrawPartValue part;
    part.data = circle;
    IdentitySets(part, format);
    return part;
}

DrawPartValue Quad(effecttools::DrawDataType9Value quad, uint32_t format = 0) {
    DrawPartValue part;
    part.data = quad;
    part.fields = {{"UvSC", format}};
    return part;
}

enum Part : uint32_t {
    kRingPlain3,
    kRingPlain23,
    kRingPlain64,
    kRingCentre8,
    kRingCone,
    kRingTwo,
    kRingSeventy,
    kRingRandom,
    kRingFormat0,
    kCircle29,
    kCircle649,
    kCircle100,
    kCircleNegative,
    kQuadDefault,
    kQuadPivot,
    kParts
};
// Units past the parts carry only a facing axis for owners: BAxs 0-3.
constexpr uint32_t kAxisUnits = kParts;

std::vector<DrawPartValue> Parts() {
    std::vector<DrawPartValue> p(kParts);
    p[kRingPlain3] = Ring(3, false, 2, 0.5f, 0);
    p[kRingPlain23] = Ring(23, false, 2, 0.5f, 0);
    p[kRingPlain64] = Ring(64, false, 2, 0.5f, 0);
    p[kRingCentre8] = Ring(8, true, 2, 0.5f, 0.25f, 2);
    p[kRingCone] = Ring(8, false, 2, 0, 1);
    p[kRingTwo] = Ring(2, false, 2, 0.5f, 0);
    p[kRingSeventy] = Ring(70, false, 2, 0.5f, 0);
    p[kRingRandom] = RandomRing();
    p[kRingFormat0] = Ring(8, false, 2, 0.5f, 0.25f, 0);
    p[kCircle29] = Circle(2.9f);
    p[kCircle649] = Circle(64.9f);
    p[kCircle100] = Circle(100.0f);
    p[kCircleNegative] = Circle(-1.0f);
    p[kQuadDefault] = Quad({});
    effecttools::DrawDataType9Value pivot;
    pivot.sizeX = 1.0f;
    pivot.sizeY = 1.0f;
    pivot.pivotX = 0.5f;
    pivot.pivotY = 0.5f;
    pivot.pivotZ = 0.75f;
    p[kQuadPivot] = Quad(pivot);
    return p;
}

effecttools::EffectFileValue Effect() {
    std::vector<DrawPartValue> parts = Parts();
    for (uint32_t axis = 0; axis < 4; ++axis)
        parts.push_back(Circle(8.0f));
    effecttools::EffectFileValue f = testsupport::DrawEffect(parts);
    for (uint32_t axis = 0; axis < 4; ++axis)
        f.package.units[kAxisUnits + axis].fields.push_back({"BAxs", axis});
    return f;
}

std::pair<int16_t, int16_t> Word(uint32_t w) {
    return {static_cast<int16_t>(w & 0xFFFF), static_cast<int16_t>(w >> 16)};
}

class RingCircleQuad : public testsupport::DrawUnitFixture<> {
protected:
    void SetUp() override {
        rig = &Start(Effect());
        ASSERT_TRUE(rig->ok);
    }
    // An owner at the origin facing `axis` (2, Z, unless given).
    Fx::ParticleInstance* Owner(uint32_t axis = 2) {
        Fx::ParticleInstance* p = rig->MakeOwner();
        if (p)
            p->unitData = rig->Package()->GetUnit(kAxisUnits + axis);
        return p;
    }
    template <class T = DrawUnit> T* Make(Fx::ParticleInstance* owner, uint32_t part) {
        bool stop = false;
        return Keep(static_cast<T*>(Fx::CreateDrawUnit(owner, rig->Part(part), stop)));
    }
    RingDrawUnit* Ring(uint32_t part, uint32_t axis = 2) {
        RingDrawUnit* r = Make<RingDrawUnit>(Owner(axis), part);
        if (r)
            r->Update(testsupport::FrameClock());
        return r;
    }
    testsupport::DrawUnitRig* rig = nullptr;
};

TEST_F(RingCircleQuad, RingsTakeTheirMembersCountAndAxisFromTheData) {
    struct Row {
        const char* name;
        uint32_t part;
        uint32_t axis;
        Fx::DrawUnitOps::Build build;
        Fx::DrawUnitOps::Submit submit;
        RingDrawUnit::PointTransform transform;
        uint32_t segments;
    };
    using R = RingDrawUnit;
    const Row rows[] = {
        {"plain, format 1, BAxs 0: X", kRingPlain3, 0, R::BuildFrameGeometry<1, Fx::PlainLine>,
         Fx::SubmitRingDraw<1, Fx::PlainLine>, R::TransformRingPoints<0>, 3},
        {"plain, BAxs 1: Y", kRingPlain23, 1, R::BuildFrameGeometry<1, Fx::PlainLine>,
         Fx::SubmitRingDraw<1, Fx::PlainLine>, R::TransformRingPoints<1>, 23},
        {"plain, BAxs 2: Z", kRingPlain64, 2, R::BuildFrameGeometry<1, Fx::PlainLine>,
         Fx::SubmitRingDraw<1, Fx::PlainLine>, R::TransformRingPoints<2>, 64},
        {"BAxs 3 is read as Z", kRingPlain3, 3, R::BuildFrameGeometry<1, Fx::PlainLine>,
         Fx::SubmitRingDraw<1, Fx::PlainLine>, R::TransformRingPoints<2>, 3},
        {"centre line, format 2", kRingCentre8, 2, R::BuildFrameGeometry<2, Fx::CentreLine>,
         Fx::SubmitRingDraw<2, Fx::CentreLine>, R::TransformRingPoints<2>, 8},
        {"format 0", kRingFormat0, 0, R::BuildFrameGeometry<0, Fx::PlainLine>,
         Fx::SubmitRingDraw<0, Fx::PlainLine>, R::TransformRingPoints<0>, 8},
        {"PtCn 2 is held at 3", kRingTwo, 2, R::BuildFrameGeometry<1, Fx::PlainLine>,
         Fx::SubmitRingDraw<1, Fx::PlainLine>, R::TransformRingPoints<2>, 3},
        {"PtCn 70 is held at 64", kRingSeventy, 2, R::BuildFrameGeometry<1, Fx::PlainLine>,
         Fx::SubmitRingDraw<1, Fx::PlainLine>, R::TransformRingPoints<2>, 64},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        Fx::ParticleInstance* owner = Owner(row.axis);
        RingDrawUnit* ring = Make<RingDrawUnit>(owner, row.part);
        ASSERT_NE(ring, nullptr);
        EXPECT_EQ(ring->ops.build, row.build);
        EXPECT_EQ(ring->ops.submit, row.submit);
        EXPECT_EQ(ring->transformPoints, row.transform);
        EXPECT_EQ(ring->segmentCount, row.segments);
        // The held count is what the build reads: the last of n + 1 outer
        // points closes on the first.
        ring->Update(testsupport::FrameClock());
        EXPECT_TRUE(owner->alive);
        const float* outer = ring->record->outer;
        for (uint32_t c = 0; c < 3; ++c)
            EXPECT_NEAR(outer[3 * row.segments + c], outer[c], 1e-5f) << c;
    }
}

TEST_F(RingCircleQuad, TheHeldCountIsWhatARingReservesAndWrites) {
    testsupport::RecordingRenderer renderer;
    struct Row {
        const char* name;
        uint32_t part;
        bool refuse;
        uint32_t vertices, indices;
    };
    const Row rows[] = {
        {"PtCn 2 as 3: 8 vertices, 18 indices", kRingTwo, false, 8, 18},
        {"PtCn 70 as 64: 130 vertices, 384 indices", kRingSeventy, true, 130, 384},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        RingDrawUnit* ring = Ring(row.part);
        ASSERT_NE(ring, nullptr);
        renderer.Clear();
        renderer.refuse = row.refuse;
        ring->Draw();
        ASSERT_EQ(renderer.reservations.size(), 1u);
        EXPECT_EQ(renderer.reservations[0].stride, 36u);
        EXPECT_EQ(renderer.reservations[0].vertices, row.vertices);
        EXPECT_EQ(renderer.reservations[0].indices, row.indices);
        if (row.refuse)
            continue;
        // The callback wrote the band of the held count and no further:
        // its last point on its first, the byte after it untouched.
        const uint8_t* v = renderer.vertexBytes;
        EXPECT_EQ(std::memcmp(v, v + 36 * (row.vertices - 2), 12), 0);
        EXPECT_EQ(v[36 * row.vertices], 0xCD);
    }
}

TEST_F(RingCircleQuad, ARingDrawsAllTenStartValuesInOrder) {
    Fx::ParticleInstance* owner = Owner();
    Fx::Xorshift128& random = rig->root->random;
    const Fx::Xorshift128 before = random;
    Keep(DrawUnit::Create<testsupport::KernelUnit>(owner, rig->Part(kRingRandom)));
    Fx::Xorshift128 reference = random;
    random = before;
    RingDrawUnit* ring = Make<RingDrawUnit>(owner, kRingRandom);
    ASSERT_NE(ring, nullptr);
    // Hei, HeiI, HeiO, Wid, WidI, WidO, Rad.
    for (uint32_t k = 0; k < 7; ++k)
        EXPECT_FLOAT_EQ(ring->floatSamples[k], static_cast<float>(k + 1) + reference.NextFloat01())
            << k;
    // ColC's red first; its four other channels and ColI's five; ColO's
    // brightness last.
    EXPECT_FLOAT_EQ(ring->colorSamples[0][0], 10.0f + 10.0f * reference.NextFloat01());
    reference = testsupport::Advanced(reference, 13);
    EXPECT_FLOAT_EQ(ring->colorSamples[2][4], 30.0f + 10.0f * reference.NextFloat01());
    EXPECT_TRUE(testsupport::Same(random, reference));
}

TEST_F(RingCircleQuad, ARingsFrameGeometryFollowsItsData) {
    // Identity matrix and texture transforms: R = 2, W = 0.5.
    const float s = std::sin(6.2831853f / 8.0f);
    struct Row {
        const char* name;
        uint32_t part;
        uint32_t point;
        float inner[3], outer[3];
        int16_t lastV;
    };
    const Row rows[] = {
        {"3 segments: point 1 at 120 degrees, seam v 1000",
         kRingPlain3,
         1,
         {1.5f * 0.8660254f, -0.75f, 0},
         {2.5f * 0.8660254f, -1.25f, 0},
         1000},
        {"23 segments: v ends at 999", kRingPlain23, 0, {0, 1.5f, 0}, {0, 2.5f, 0}, 999},
        {"a cylinder: Wid 0, Hei 1", kRingCone, 2, {2, 0, -1}, {2, 0, 1}, 1000},
        {"centre line with factors 1: the plain edges",
         kRingCentre8,
         1,
         {1.5f * s, 1.5f * s, -0.25f},
         {2.5f * s, 2.5f * s, 0.25f},
         1000},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        RingDrawUnit* ring = Ring(row.part);
        ASSERT_NE(ring, nullptr);
        const Fx::RingFrameRecord& r = *ring->record;
        for (uint32_t c = 0; c < 3; ++c) {
            EXPECT_NEAR(r.inner[3 * row.point + c], row.inner[c], 1e-5f) << c;
            EXPECT_NEAR(r.outer[3 * row.point + c], row.outer[c], 1e-5f) << c;
        }
        const uint32_t n = ring->segmentCount;
        const uint32_t perPoint = r.middle ? 3 : 2;
        const uint32_t sets = row.part == kRingCentre8 ? 2 : 1;
        // Per point: outer words, [middle,] inner; identity transforms put
        // u at 1 outside, 0.5 in the middle, 0 inside.
        const uint32_t* first = r.textureWords;
        const uint32_t* last = r.textureWords + n * perPoint * sets;
        EXPECT_EQ(Word(first[0]), std::make_pair(int16_t{1000}, int16_t{0}));
        EXPECT_EQ(Word(first[(perPoint - 1) * sets]), std::make_pair(int16_t{0}, int16_t{0}));
        EXPECT_EQ(Word(last[0]), std::make_pair(int16_t{1000}, row.lastV));
        // The seam: two vertices at one place.
        for (uint32_t c = 0; c < 3; ++c)
            EXPECT_NEAR(r.outer[3 * n + c], r.outer[c], 1e-5f);
        if (r.middle) {
            EXPECT_EQ(Word(first[sets]), std::make_pair(int16_t{500}, int16_t{0}));
        }
    }
}

TEST_F(RingCircleQuad, AFailedFrameTakeKeepsLastFramesArrays) {
    RingDrawUnit* ring = Ring(kRingPlain3);
    ASSERT_NE(ring, nullptr);
    const Fx::RingFrameRecord kept = *ring->record;
    uint8_t parameters[4];
    std::memcpy(parameters, ring->parameters, 4);
    // Past the half's room: every later take of the frame fails.
    EXPECT_EQ(Fx::Engine::GetFrameWorkMemory().Allocate(1u << 30), nullptr);
    ring->Update(testsupport::FrameClock());
    EXPECT_FALSE(ring->ownerUnit->alive);
    EXPECT_EQ(ring->record->inner, kept.inner);
    EXPECT_EQ(ring->record->outer, kept.outer);
    EXPECT_EQ(ring->record->textureWords, kept.textureWords);
    EXPECT_EQ(std::memcmp(ring->parameters, parameters, 4), 0);
}

TEST_F(RingCircleQuad, AnEmptyPoolAtTheRecordStopsTheOwnerOnceAndLeavesNoMembers) {
    struct Row {
        const char* name;
        uint32_t part;
    };
    const Row rows[] = {{"ring", kRingCentre8}, {"circle", kCircle29}, {"quad", kQuadPivot}};
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        Fx::ParticleInstance* owner = Owner();
        uint32_t used = 0;
        DrawUnit* unit = nullptr;
        {
            // The unit's block and the base's block, none for the record.
            testsupport::PoolDrain drain(2);
            used = Fx::Engine::GetUnitInstancePool().GetUsedCount();
            bool stop = false;
            unit = Fx::CreateDrawUnit(owner, rig->Part(row.part), stop);
            ASSERT_NE(unit, nullptr);
            EXPECT_FALSE(owner->alive);
            // A second unit of the stopped owner finds no block and takes
            // nothing.
            EXPECT_EQ(Fx::CreateDrawUnit(owner, rig->Part(row.part), stop), nullptr);
            EXPECT_EQ(Fx::Engine::GetUnitInstancePool().GetUsedCount(), used + 2);
        }
        const uintptr_t mark = testsupport::FrameMemoryMark();
        unit->Update(testsupport::FrameClock());
        unit->Draw();
        EXPECT_EQ(testsupport::FrameMemoryMark(), mark);
        if (row.part == kRingCentre8) {
            auto* ring = static_cast<RingDrawUnit*>(unit);
            EXPECT_EQ(ring->ops.build, Fx::DrawUnitOps::BuildNothing);
            EXPECT_EQ(ring->transformPoints, RingDrawUnit::TransformNothing);
        } else if (row.part == kCircle29) {
            EXPECT_EQ(static_cast<Fx::CircleDrawUnit<1>*>(unit)->writeRim, nullptr);
        } else {
            auto* quad = static_cast<Fx::QuadDrawUnit<0>*>(unit);
            EXPECT_EQ(quad->computeCorners, nullptr);
            EXPECT_FLOAT_EQ(quad->shape.offsetZ, 0.0f) << "the data is not read";
        }
        const uint32_t before = Fx::Engine::GetUnitInstancePool().GetUsedCount();
        delete unit;
        EXPECT_EQ(Fx::Engine::GetUnitInstancePool().GetUsedCount(), before - 2);
    }
}

// ---------------------------------------------------------------- circles

template <uint32_t N> Fx::CircleDrawUnit<N>* AsCircle(DrawUnit* u) {
    return static_cast<Fx::CircleDrawUnit<N>*>(u);
}

TEST_F(RingCircleQuad, CirclesWriteTheirFanAndRimFromTheTables) {
    // Identity transforms with 0.5 added: the centre at (500, 500).
    Fx::CircleDrawUnit<1>* circle = AsCircle<1>(Make(Owner(), kCircle29));
    ASSERT_NE(circle, nullptr);
    circle->Update(testsupport::FrameClock());
    ASSERT_EQ(circle->segmentCount, 3);
    constexpr uint32_t kStride = 36;
    std::vector<uint8_t> vertices(4 * kStride, 0xEE);
    uint16_t indices[9] = {};
    Fx::DrawPayload payload;
    payload.vertices = vertices.data();
    payload.indices = indices;
    payload.firstVertex = 10;
    Fx::WriteFanGeometry<1>(circle, payload);
    const uint16_t fan[9] = {10, 11, 12, 10, 12, 13, 10, 13, 11};
    EXPECT_TRUE(std::equal(indices, indices + 9, fan));
    uint32_t word;
    std::memcpy(&word, vertices.data() + 28, 4);
    EXPECT_EQ(Word(word), std::make_pair(int16_t{500}, int16_t{500}));

    // Rim vertex 0 and n / 4 by axis, 8 segments, identity transforms.
    const float t[8] = {1, 0, 0, 0.5f, 0, 1, 0, 0.5f};
    struct Row {
        const char* name;
        uint32_t axis;
        float rim0[3], rim2[3];
        int16_t v0;
    };
    const Row rows[] = {
        {"X", 0, {0, 1, 0}, {0, 0, 1}, 0},
        {"Y", 1, {0, 0, 1}, {1, 0, 0}, 1000},
        {"Z", 2, {0, 1, 0}, {-1, 0, 0}, 0},
        {"BAxs 3 is read as Z", 3, {0, 1, 0}, {-1, 0, 0}, 0},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        Fx::CircleDrawUnit<1>* unit = AsCircle<1>(Make(Owner(row.axis), kAxisUnits + row.axis));
        ASSERT_NE(unit, nullptr);
        EXPECT_EQ(unit->writeRim, Fx::CircleDrawUnit<1>::kRimWriters[row.axis < 2 ? row.axis : 2]);
        std::vector<uint8_t> rim(8 * kStride);
        unit->writeRim(unit, rim.data(), 8, kIdentity, t);
        float p0[3], p2[3];
        std::memcpy(p0, rim.data(), 12);
        std::memcpy(p2, rim.data() + 2 * kStride, 12);
        for (uint32_t c = 0; c < 3; ++c) {
            EXPECT_NEAR(p0[c], row.rim0[c], 1e-6f) << c;
            EXPECT_NEAR(p2[c], row.rim2[c], 1e-6f) << c;
        }
        std::memcpy(&word, rim.data() + 28, 4);
        EXPECT_EQ(Word(word), std::make_pair(int16_t{500}, row.v0));
    }
    // Another format's writer for the same axis is another function.
    EXPECT_NE(reinterpret_cast<const void*>(Fx::CircleDrawUnit<1>::kRimWriters[2]),
              reinterpret_cast<const void*>(Fx::CircleDrawUnit<2>::kRimWriters[2]));
}

TEST_F(RingCircleQuad, RimWordsTruncateTowardZeroAndKeepTheLow16Bits) {
    struct Row {
        float value;
        int16_t stored;
    };
    const Row rows[] = {{0.0015f, 1}, {-0.0015f, -1}, {32.768f, -32768}, {2.5f, 2500}};
    Fx::CircleDrawUnit<1>* unit = AsCircle<1>(Make(Owner(), kAxisUnits + 2));
    ASSERT_NE(unit, nullptr);
    for (const Row& row : rows) {
        SCOPED_TRACE(row.value);
        // Only the translations: every vertex gets the value.
        const float t[8] = {0, 0, 0, row.value, 0, 0, 0, row.value};
        uint8_t rim[3 * 36];
        unit->writeRim(unit, rim, 3, kIdentity, t);
        uint32_t word;
        std::memcpy(&word, rim + 36 + 28, 4);
        EXPECT_EQ(Word(word), std::make_pair(row.stored, row.stored));
    }
}

TEST_F(RingCircleQuad, TheCircleCountIsTruncatedAndHeldTo3To64) {
    struct Row {
        uint32_t part;
        int32_t segments;
    };
    const Row rows[] = {{kCircle29, 3}, {kCircle649, 64}, {kCircle100, 64}, {kCircleNegative, 3}};
    for (const Row& row : rows) {
        Fx::CircleDrawUnit<1>* circle = AsCircle<1>(Make(Owner(), row.part));
        ASSERT_NE(circle, nullptr);
        circle->Update(testsupport::FrameClock());
        EXPECT_EQ(circle->segmentCount, row.segments) << row.part;
        EXPECT_EQ(circle->vertexCount, row.segments + 1) << row.part;
    }
}

// ---------------------------------------------------------------- quads

TEST_F(RingCircleQuad, QuadsTakeTheirCornersFromSizeAndPivot) {
    struct Row {
        const char* name;
        uint32_t part;
        uint32_t axis;
        float corners[12];
    };
    const Row rows[] = {
        {"default facing Z",
         kQuadDefault,
         2,
         {-0.5f, 0.5f, 0, 0.5f, 0.5f, 0, -0.5f, -0.5f, 0, 0.5f, -0.5f, 0}},
        {"default facing X",
         kQuadDefault,
         0,
         {0, 0.5f, 0.5f, 0, 0.5f, -0.5f, 0, -0.5f, 0.5f, 0, -0.5f, -0.5f}},
        {"default facing Y",
         kQuadDefault,
         1,
         {-0.5f, 0, -0.5f, 0.5f, 0, -0.5f, -0.5f, 0, 0.5f, 0.5f, 0, 0.5f}},
        // Offsets -1 along the first axis, +1 along the second, 0.75 facing.
        {"pivots 0.5 with sizes 1, facing Z",
         kQuadPivot,
         2,
         {-2, 2, 0.75f, 0, 2, 0.75f, -2, 0, 0.75f, 0, 0, 0.75f}},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        auto* quad = static_cast<Fx::QuadDrawUnit<0>*>(Make(Owner(row.axis), row.part));
        ASSERT_NE(quad, nullptr);
        float corners[12];
        quad->computeCorners(quad, corners, kIdentity);
        for (uint32_t k = 0; k < 12; ++k)
            EXPECT_FLOAT_EQ(corners[k], row.corners[k]) << k;
    }
    auto* pivot = static_cast<Fx::QuadDrawUnit<0>*>(Make(Owner(), kQuadPivot));
    ASSERT_NE(pivot, nullptr);
    EXPECT_FLOAT_EQ(pivot->shape.offsetX, -1.0f);
    EXPECT_FLOAT_EQ(pivot->shape.offsetY, 1.0f);
    EXPECT_FLOAT_EQ(pivot->shape.offsetZ, 0.75f);
}

} // namespace
