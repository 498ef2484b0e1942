// Trails and generated-line strips through their geometry callbacks: the
// indices and vertices of every format, kind and variant over point and
// middle counts at their edges, then the stated cases one by one, the
// particle quads' index callbacks among them.
#include "support/effects/RibbonRig.h"

#include "effects/drawunits/DrawUnitType2.h"
#include "effects/drawunits/PackColor.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <functional>
#include <string>
#include <tuple>
#include <vector>

namespace {

namespace Fx = FulgorCore;
using namespace testsupport;

constexpr uint16_t kFirst = 1000;
constexpr uint8_t kFill = 0xCD;

// The width and colours a point must carry: t by the point index, one
// range head to tail, or head to middle over the first k points (never
// reaching the middle) and middle to tail over the rest.
struct Expected {
    float width;
    float centre[4];
    float edge[4];
};

Expected Expect(const Fx::RibbonFrameValues& v, RibbonVariant variant, uint32_t n, uint32_t k,
                uint32_t i) {
    const bool centreLine = VerticesPerPoint(variant) == 3;
    auto colour = [](float* out, const float* base, const float* slope, float t) {
        for (int c = 0; c < 4; ++c)
            out[c] = base[c] + t * slope[c];
    };
    Expected e{};
    if (!TwoRanges(variant) || i < std::min(k, n)) {
        const float t = !TwoRanges(variant) ? (n > 1 ? static_cast<float>(i) / (n - 1) : 0.0f)
                                            : static_cast<float>(i) / std::min(k, n);
        const float end = TwoRanges(variant) ? v.middleWidth : v.tailWidth;
        e.width = v.headWidth + (end - v.headWidth) * t;
        colour(e.centre, v.centreColor, v.firstDelta, t);
        colour(e.edge, v.edgeColor, v.secondDelta, t);
    } else {
        const uint32_t first = std::min(k, n);
        const uint32_t rest = n - first - 1;
        const float t = rest ? static_cast<float>(i - first) / rest : 0.0f;
        e.width = v.middleWidth + (v.tailWidth - v.middleWidth) * t;
        colour(e.centre, v.middleColor, centreLine ? v.thirdDelta : v.secondDelta, t);
        colour(e.edge, v.middleEdgeColor, v.fourthDelta, t);
    }
    if (!centreLine)
        std::copy(e.centre, e.centre + 4, e.edge);
    return e;
}

// Colours are stored times 1000 and truncated; the accumulated t may land
// one unit either side.
testing::AssertionResult ColourNear(const uint16_t* got, const float* want) {
    for (int c = 0; c < 4; ++c) {
        const int expected = static_cast<int>(want[c] * 1000.0f);
        if (std::abs(got[c] - expected) > 1)
            return testing::AssertionFailure()
                   << "channel " << c << ": " << got[c] << " for " << expected;
    }
    return testing::AssertionSuccess();
}

// The indices of V vertices a point over R ribbons of n points from b.
std::vector<uint16_t> PatternIndices(uint16_t b, uint32_t v, uint32_t ribbons, uint32_t n) {
    static const std::vector<uint16_t> kTwo = {3, 0, 1, 3, 2, 0};
    static const std::vector<uint16_t> kThree = {4, 3, 0, 0, 1, 4, 2, 5, 4, 4, 1, 2};
    std::vector<uint16_t> out;
    for (uint32_t r = 0; r < ribbons; ++r)
        for (uint32_t i = 0; i + 1 < n; ++i)
            for (uint16_t o : v == 2 ? kTwo : kThree)
                out.push_back(static_cast<uint16_t>(b + r * v * n + v * i + o));
    return out;
}

bool AllFill(const uint8_t* p, size_t bytes) {
    return std::all_of(p, p + bytes, [](uint8_t b) { return b == kFill; });
}

// The direction each kind spreads along: the recorded axes, or straight
// up (the line runs along x and the camera looks along z) for the facing
// kinds, zero for a single point.
void Direction(float* d, RibbonKind kind, uint32_t ribbon, uint32_t n) {
    d[0] = d[1] = d[2] = 0.0f;
    if (kind == RibbonKind::kAxis || kind == RibbonKind::kCross)
        ribbon == 0 ? d[1] = 2.0f : d[2] = 0.5f;
    else if (n > 1)
        d[1] = 1.0f;
}

using TableParam = std::tuple<uint32_t, RibbonKind, RibbonVariant>;

class RibbonTable : public testing::TestWithParam<TableParam> {};

TEST_P(RibbonTable, FillsExactlyItsReservationWithTheStatedValues) {
    const auto [format, kind, variant] = GetParam();
    RibbonRig rig;
    ASSERT_TRUE(rig.ok);
    const uint32_t v = VerticesPerPoint(variant);
    const uint32_t ribbons = Ribbons(kind);
    const uint32_t stride = testsupport::kRibbonStrides[format];
    const bool facing = kind == RibbonKind::kBillboard || kind == RibbonKind::kLineStrip;
    for (uint32_t n : {0u, 1u, 2u, 5u}) {
        std::vector<uint32_t> middles = {0, 1, n, n + 3};
        if (n > 0)
            middles.push_back(n - 1);
        for (uint32_t k : middles) {
            SCOPED_TRACE("n " + std::to_string(n) + " middle " + std::to_string(k));
            Fx::DrawUnit* unit = rig.Make(kind, format, variant, k);
            Fx::DrawUnit* formatZero = rig.Make(kind, 0, variant, k);
            ASSERT_TRUE(unit && formatZero);
            const RibbonOutput out = rig.Run(unit, kind, format, variant, n, kFirst);
            const RibbonOutput zero = rig.Run(formatZero, kind, 0, variant, n, kFirst);
            const uint32_t reserved = n * v * ribbons;

            // Indices: the pattern, nothing after it, all in [b, b + V).
            const std::vector<uint16_t> pattern = PatternIndices(kFirst, v, ribbons, n);
            EXPECT_TRUE(std::equal(pattern.begin(), pattern.end(), out.indices.begin()));
            EXPECT_EQ(out.indices[pattern.size()], 0xCDCD);
            EXPECT_TRUE(
                std::all_of(out.indices.begin(), out.indices.begin() + pattern.size(),
                            [&](uint16_t i) { return i >= kFirst && i < kFirst + reserved; }));

            // Bytes: every reserved vertex's 28 + 4N bytes, the spare ones
            // and those past the room untouched, the first 28 as format 0.
            const uint8_t* bytes = out.vertexBytes.data();
            for (uint32_t j = 0; j < reserved; ++j) {
                const uint8_t* vertex = bytes + size_t{j} * stride;
                EXPECT_TRUE(AllFill(vertex + 28 + 4 * format, stride - 28 - 4 * format)) << j;
                EXPECT_EQ(std::memcmp(vertex, zero.vertexBytes.data() + 32 * j, 28), 0) << j;
            }
            EXPECT_TRUE(AllFill(bytes + size_t{reserved} * stride, 256));

            const float w = unit->GetPolygonOffset();
            ASSERT_EQ(w, 0.25f);
            for (uint32_t r = 0; r < ribbons; ++r) {
                float d[3];
                Direction(d, kind, r, n);
                for (uint32_t i = 0; i < n; ++i) {
                    SCOPED_TRACE("ribbon " + std::to_string(r) + " point " + std::to_string(i));
                    const Expected e = Expect(rig.values, variant, n, k, i);
                    const uint32_t first = (r * n + i) * v;
                    const RibbonVertex a = out.Vertex(first);
                    const RibbonVertex b = out.Vertex(first + v - 1);
                    const float* p = rig.positions + 3 * i;
                    const float tolerance =
                        facing ? 1e-4f + 0.003f * e.width : 1e-4f * (1 + e.width);
                    for (int c = 0; c < 3; ++c) {
                        EXPECT_NEAR(a.position[c], p[c] - e.width * d[c], tolerance) << c;
                        EXPECT_NEAR(b.position[c], p[c] + e.width * d[c], tolerance) << c;
                    }
                    EXPECT_TRUE(ColourNear(a.color, e.edge));
                    EXPECT_TRUE(ColourNear(b.color, e.edge));
                    for (uint32_t s = 0; s < v; ++s) {
                        const RibbonVertex x = out.Vertex(first + s);
                        EXPECT_EQ(x.position[3], w) << s;
                        EXPECT_EQ(std::memcmp(x.parameters, RibbonRig::kParameters, 4), 0) << s;
                        // Both ribbons carry the record's one ribbon of words.
                        EXPECT_EQ(
                            std::memcmp(x.words, rig.words + (i * v + s) * format, 4 * format), 0)
                            << s;
                    }
                    if (v == 3) {
                        const RibbonVertex centre = out.Vertex(first + 1);
                        EXPECT_EQ(std::memcmp(centre.position, p, 12), 0);
                        EXPECT_TRUE(ColourNear(centre.color, e.centre));
                    }
                }
            }
        }
    }
}

std::string TableName(const testing::TestParamInfo<TableParam>& info) {
    const auto [format, kind, variant] = info.param;
    return std::string(testsupport::kRibbonKindNames[static_cast<uint32_t>(kind)]) +
           testsupport::kRibbonVariantNames[static_cast<uint32_t>(variant)] + "Format" +
           std::to_string(format);
}

INSTANTIATE_TEST_SUITE_P(
    EveryFormatKindAndVariant, RibbonTable,
    testing::Combine(testing::Range(0u, 7u),
                     testing::Values(RibbonKind::kAxis, RibbonKind::kCross, RibbonKind::kBillboard,
                                     RibbonKind::kLineStrip),
                     testing::Values(RibbonVariant::kPlain, RibbonVariant::kCentreLine,
                                     RibbonVariant::kMidKey, RibbonVariant::kMidKeyCentreLine)),
    TableName);

// The stated cases, one row each.
TEST(RibbonCases, StatedCasesHold) {
    RibbonRig rig;
    ASSERT_TRUE(rig.ok);
    using K = RibbonKind;
    using V = RibbonVariant;
    auto run = [&](K kind, uint32_t format, V variant, uint32_t n, uint32_t k = 0,
                   uint16_t first = kFirst) {
        Fx::DrawUnit* unit = rig.Make(kind, format, variant, k);
        EXPECT_NE(unit, nullptr);
        return unit ? rig.Run(unit, kind, format, variant, n, first) : RibbonOutput{};
    };
    auto quads = [&](auto geometry, uint32_t mode, uint16_t first) {
        Fx::DrawUnitType2* unit = rig.MakeQuads(mode);
        EXPECT_NE(unit, nullptr);
        return unit ? rig.Call(unit, geometry, 0, first) : RibbonOutput{};
    };
    auto bytesWritten = [](const RibbonOutput& o) {
        const auto last = std::find_if(o.vertexBytes.rbegin(), o.vertexBytes.rend(),
                                       [](uint8_t b) { return b != kFill; });
        return static_cast<size_t>(o.vertexBytes.rend() - last);
    };
    auto indexCount = [](const RibbonOutput& o) {
        return static_cast<size_t>(std::find(o.indices.begin(), o.indices.end(), 0xCDCD) -
                                   o.indices.begin());
    };
    struct Row {
        const char* name;
        std::function<void()> check;
    };
    const Row rows[] = {
        {"ACrossTrailWritesTwelveIndicesASegmentTheSecondRibbonFromTwoP",
         [&] {
             const RibbonOutput o = run(K::kCross, 1, V::kPlain, 5);
             EXPECT_EQ(indexCount(o), 48u);
             EXPECT_EQ(*std::min_element(o.indices.begin() + 24, o.indices.begin() + 48),
                       kFirst + 10);
         }},
        {"ACentreLineCrossTrailsSecondRibbonBeginsAtThreeNPlusFour",
         [&] {
             const RibbonOutput o = run(K::kCross, 1, V::kCentreLine, 5);
             EXPECT_EQ(indexCount(o), 96u);
             EXPECT_EQ(o.indices[48], kFirst + 3 * 5 + 4);
         }},
        {"ALineFoldingBackPinchesToZeroWidth",
         [&] {
             rig.positions[6] = 0.0f; // point 2 back on point 0
             const RibbonOutput o = run(K::kLineStrip, 0, V::kPlain, 3);
             rig.positions[6] = 2.0f;
             for (uint32_t s : {2u, 3u})
                 EXPECT_EQ(std::memcmp(o.Vertex(s).position, rig.positions + 3, 12), 0) << s;
         }},
        {"TwoPointsGiveTheTailValuesExactlyOnTheSecond",
         [&] {
             const RibbonOutput o = run(K::kAxis, 0, V::kPlain, 2);
             EXPECT_EQ(o.Vertex(3).position[1], rig.values.tailWidth * 2.0f);
             uint16_t tail[4];
             float c[4];
             for (int i = 0; i < 4; ++i)
                 c[i] = rig.values.centreColor[i] + rig.values.firstDelta[i];
             Fx::PackFloat4ToU16(tail, c);
             EXPECT_EQ(std::memcmp(o.Vertex(3).color, tail, 8), 0);
         }},
        {"ABillboardTrailSeenEndOnCollapses",
         [&] {
             const float saved[9] = {rig.positions[0], rig.positions[1], rig.positions[2],
                                     rig.positions[3], rig.positions[4], rig.positions[5],
                                     rig.positions[6], rig.positions[7], rig.positions[8]};
             for (uint32_t i = 0; i < 3; ++i) {
                 rig.positions[3 * i] = 0.0f;
                 rig.positions[3 * i + 2] = static_cast<float>(i);
             }
             const RibbonOutput o = run(K::kBillboard, 2, V::kCentreLine, 3);
             for (uint32_t s = 0; s < 9; ++s)
                 EXPECT_EQ(std::memcmp(o.Vertex(s).position, rig.positions + 3 * (s / 3), 12), 0)
                     << s;
             std::copy(saved, saved + 9, rig.positions);
         }},
        {"OneParticleQuadWritesSixIndicesOverFourVertices",
         [&] {
             const RibbonOutput o =
                 quads(Fx::DrawUnitType2::WriteParticleQuads<Fx::DrawUnitType2::kOneQuad>, 0, 10);
             EXPECT_EQ(indexCount(o), 6u);
             EXPECT_EQ(bytesWritten(o), 4u * 48);
             EXPECT_EQ(std::vector<uint16_t>(o.indices.begin(), o.indices.begin() + 6),
                       (std::vector<uint16_t>{12, 11, 10, 13, 11, 12}));
         }},
        {"QuadrantsWriteTwentyFourIndicesOverSixteenVertices",
         [&] {
             for (uint32_t mode : {1u, 2u}) {
                 const RibbonOutput o = mode == 1
                                            ? quads(Fx::DrawUnitType2::WriteParticleQuads<
                                                        Fx::DrawUnitType2::kRotatedQuadrants>,
                                                    1, 10)
                                            : quads(Fx::DrawUnitType2::WriteParticleQuads<
                                                        Fx::DrawUnitType2::kMirroredQuadrants>,
                                                    2, 10);
                 EXPECT_EQ(indexCount(o), 24u) << mode;
                 EXPECT_EQ(bytesWritten(o), 16u * 48) << mode;
                 EXPECT_EQ(o.indices[18], 24) << mode; // quad 3: v + 2 from 22
             }
         }},
        {"ParticleQuadIndicesNearTheTopWrap",
         [&] {
             const RibbonOutput o = quads(
                 Fx::DrawUnitType2::WriteParticleQuads<Fx::DrawUnitType2::kOneQuad>, 0, 65534);
             EXPECT_EQ(std::vector<uint16_t>(o.indices.begin(), o.indices.begin() + 6),
                       (std::vector<uint16_t>{0, 65535, 65534, 1, 65535, 0}));
         }},
        {"TheFormatSixTwoRangeStripWritesWhatFormatFiveWrites",
         [&] {
             const RibbonOutput six = run(K::kLineStrip, 6, V::kMidKey, 5, 2);
             const RibbonOutput five = run(K::kLineStrip, 5, V::kMidKey, 5, 2);
             for (uint32_t j = 0; j < 10; ++j)
                 EXPECT_EQ(std::memcmp(six.vertexBytes.data() + 52 * j,
                                       five.vertexBytes.data() + 52 * j, 28),
                           0)
                     << j;
         }},
        // Fault: a middle past the points ran the first range over it,
        // reading past the points and writing past the reservation.
        {"AMiddlePastThePointsStopsAtTheLastPoint",
         [&] {
             const RibbonOutput past = run(K::kLineStrip, 3, V::kMidKeyCentreLine, 5, 8);
             const RibbonOutput at = run(K::kLineStrip, 3, V::kMidKeyCentreLine, 5, 5);
             EXPECT_EQ(bytesWritten(past), 14u * 44 + 40);
             EXPECT_EQ(past.vertexBytes, at.vertexBytes);
         }},
        // Fault: the cross trail's second ribbon kept whatever texture
        // words the buffer held.
        {"ACrossTrailsSecondRibbonCarriesTheFirstsTextureWords",
         [&] {
             const RibbonOutput o = run(K::kCross, 2, V::kMidKey, 3, 1);
             for (uint32_t j = 0; j < 6; ++j)
                 EXPECT_EQ(std::memcmp(o.Vertex(6 + j).words, o.Vertex(j).words, 8), 0) << j;
         }},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        row.check();
    }
}

} // namespace
