// The geometry callbacks and writers of the draw units: fans, quads,
// capped lines, billboards, ring bands and camera-facing strips, each run
// on its unit into buffers of 0xCD and read back by stride.
#include "support/effects/DrawUnitRig.h"
#include "support/effects/EffectFiles.h"
#include "support/effects/GeometryMembers.h"
#include "support/effects/RenderRig.h"
#include "support/effects/SilentDevice.h"

#include "effects/drawunits/DrawUnitType1.h"
#include "effects/drawunits/DrawUnitType11.h"
#include "effects/drawunits/DrawUnitType2.h"
#include "effects/drawunits/DrawUnitType3.h"
#include "effects/drawunits/DrawUnitType4.h"
#include "effects/drawunits/PointHistoryEntry.h"
#include "effects/drawunits/StripDrawUnit.h"
#include "effects/drawunits/StripPoint.h"
#include "effects/render/FanAndQuadGeometry.h"
#include "effects/render/Renderer.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <functional>
#include <ostream>
#include <string>
#include <type_traits>
#include <utility>
#include <vector>

namespace {

namespace Fx = FulgorCore;
namespace Renderer = FulgorCore::Renderer;
using Fx::CentreLine;
using Fx::History;
using Fx::PlainLine;
using Fx::PointList;
using testsupport::RenderRig;

constexpr uint8_t kFill = 0xCD;
constexpr uint16_t kFillIndex = 0xCDCD;
constexpr float kOffset = 0.125f;
constexpr uint16_t kWrapBase = 65530;

int g_offsetCalls = 0;
float CountedOffset(const Fx::DrawUnit*) {
    ++g_offsetCalls;
    return kOffset;
}

// Units 0-2: grid billboards of modes 0, 1 and 2; unit 3: a flipbook of
// two frames whose cells are (10, 20, 30, 40) and (50, 60, 70, 80).
effecttools::EffectFileValue WriterEffect() {
    std::vector<effecttools::DrawPartValue> parts;
    for (uint32_t mode = 0; mode < 3; ++mode) {
        effecttools::DrawDataType2Value grid;
        grid.fields = {{"UvT", mode}, {"DivU", 1}, {"DivV", 1}, {"AnmI", 1}};
        parts.push_back({});
        parts.back().data = grid;
    }
    effecttools::DrawDataType11Value book;
    std::vector<uint8_t> keys(56);
    const uint16_t cells[2][6] = {{0, 1, 10, 20, 30, 40}, {0, 1, 50, 60, 70, 80}};
    for (int f = 0; f < 2; ++f)
        std::memcpy(&keys[28 * f], cells[f], sizeof cells[f]);
    // Frame 0: width 2, height 3, pivot (0.5, -0.25); the book's offset
    // (0.75, -1.5).
    const float frame0[4] = {2.0f, 3.0f, 0.5f, -0.25f};
    std::memcpy(&keys[12], frame0, sizeof frame0);
    book.keys = keys;
    book.dwPx = 0.75f;
    book.dwPy = -1.5f;
    parts.push_back({});
    parts.back().data = book;
    return testsupport::DrawEffect(parts, 0);
}

// A unit of each kind on the rig's particle at (1, 2, 3), in buffers of
// 0xCD; the polygon offset answers kOffset and counts its calls. Open to
// the rows and rooms below.
class Geometry : public testing::Test {
public:
    static void SetUpTestSuite() {
        device_ = new testsupport::SilentDevice();
        rig_ = new RenderRig(*device_);
        if (rig_->Start())
            package_ = rig_->Load(testsupport::Write(WriterEffect()));
        const float at[3] = {1.0f, 2.0f, 3.0f};
        if (package_)
            testsupport::PlaceOwner(rig_->Owner(), at);
    }
    static void TearDownTestSuite() {
        delete rig_;
        delete device_;
        rig_ = nullptr;
        package_ = nullptr;
    }
    void SetUp() override {
        ASSERT_NE(package_, nullptr);
        std::memset(vertexBytes, kFill, sizeof vertexBytes);
        std::memset(indices, kFill, sizeof indices);
        g_offsetCalls = 0;
    }
    void TearDown() override {
        for (Fx::DrawUnit* u : units_)
            delete u;
    }

    template <class T, class... Args> T* Make(const Fx::ParticleResource* data, Args&&... args) {
        T* unit = Fx::DrawUnit::Create<T>(rig_->Owner(), data, std::forward<Args>(args)...);
        if (unit) {
            units_.push_back(unit);
            unit->renderBlock->biasFunction = CountedOffset;
        }
        return unit;
    }
    static const Fx::ParticleResource* Plain() { return rig_->PlainData(); }
    static const Fx::ParticleResource* Part(uint32_t unit) {
        return package_->GetUnit(unit)->GetDrawPart(0);
    }
    Fx::DrawPayload Payload(uint16_t first) {
        Fx::DrawPayload p;
        p.vertices = vertexBytes;
        p.indices = indices;
        p.firstVertex = first;
        return p;
    }
    template <class T = float> T Field(uint32_t stride, uint32_t vertex, uint32_t offset) const {
        T v;
        std::memcpy(&v, vertexBytes + stride * vertex + offset, sizeof v);
        return v;
    }
    // Vertex i's position (generated and billboard layouts alike).
    std::vector<float> PositionOf(uint32_t stride, uint32_t i) const {
        return {Field(stride, i, 0), Field(stride, i, 4), Field(stride, i, 8)};
    }

    // Units with hand-set records: a fan of n segments about (1, 2, 3), a
    // quad, a ring of n segments and a strip over a point list or history.
    template <uint32_t N> Fx::CircleDrawUnit<N>* Fan(int32_t n) {
        auto* u = Make<Fx::CircleDrawUnit<N>>(Plain(), 0.0f);
        u->segmentCount = n;
        u->vertexCount = n + 1;
        u->writeRim = testsupport::geometry::UnitCircleRim<N>;
        const float m[12] = {1, 0, 0, 0, 1, 0, 0, 0, 1, 1, 2, 3};
        std::memcpy(u->record->matrix, m, sizeof m);
        for (uint32_t k = 0; k < Fx::TransformRoom<N>::kFloats; ++k)
            u->record->transforms[k] = k % 4 == 3 ? 0.5f : (k % 5 == 0 ? 1.0f : 0.0f);
        const uint16_t color[4] = {1000, 500, 250, 1000};
        std::memcpy(u->record->color, color, sizeof color);
        const uint8_t bytes[4] = {1, 2, 3, 4};
        std::memcpy(u->parameters, bytes, 4);
        return u;
    }
    template <uint32_t N> Fx::QuadDrawUnit<N>* Quad() {
        auto* u = Make<Fx::QuadDrawUnit<N>>(Plain());
        u->computeCorners = testsupport::geometry::SquareCorners<N>;
        const float m[12] = {1, 0, 0, 0, 1, 0, 0, 0, 1, 1, 2, 3};
        std::memcpy(u->record->matrix, m, sizeof m);
        for (uint32_t k = 0; k < Fx::TransformRoom<N>::kFloats; ++k)
            u->record->transforms[k] = 0.25f * static_cast<float>(k % 5);
        const uint16_t color[4] = {1000, 500, 250, 1000};
        std::memcpy(u->record->color, color, sizeof color);
        const uint8_t bytes[4] = {1, 2, 3, 4};
        std::memcpy(u->parameters, bytes, 4);
        return u;
    }
    // Circles of n + 1 points: outer x = 3 + j, middle 2 + j, inner 1 + j;
    // colours 0, 1, 2 of red 100, 200, 300; texture words 0x00070000 + w.
    Fx::RingDrawUnit* Ring(uint32_t n) {
        Fx::RingDrawUnit::Values values;
        values.segmentCount = n;
        auto* u = Make<Fx::RingDrawUnit>(Plain(), values);
        circles_.assign(3 * 3 * (n + 1), 0.0f);
        for (uint32_t c = 0; c < 3; ++c)
            for (uint32_t j = 0; j <= n; ++j) {
                circles_[(c * (n + 1) + j) * 3] = static_cast<float>(3 - c + j);
                circles_[(c * (n + 1) + j) * 3 + 1] = 0.5f;
            }
        words_.resize(3 * 6 * (n + 1));
        for (uint32_t w = 0; w < words_.size(); ++w)
            words_[w] = 0x00070000u + w;
        Fx::RingFrameRecord& r = *u->record;
        r.outer = &circles_[0];
        r.middle = &circles_[3 * (n + 1)];
        r.inner = &circles_[6 * (n + 1)];
        r.textureWords = words_.data();
        for (uint16_t c = 0; c < 3; ++c)
            r.colors[c][0] = static_cast<uint16_t>(100 * (c + 1));
        const uint8_t bytes[4] = {5, 6, 7, 8};
        std::memcpy(u->parameters, bytes, 4);
        return u;
    }
    // A strip of widths 0.25 (head) to 0.75 (tail), centre colour (1, 0, 0,
    // 1) fading to (0, 0, 0, 1), edges (0, 1, 0, 1) to (0, 0, 1, 1).
    template <uint32_t N> Fx::StripDrawUnit<N>* Strip() {
        Fx::StripDrawUnitBase::Values values;
        values.pointSource = Fx::StripDrawUnitBase::kDataPoints;
        auto* u = Make<Fx::StripDrawUnit<N>>(Plain(), values);
        Fx::StripFrameRecord& r = *u->record;
        r.headWidth = 0.25f;
        r.tailWidth = 0.75f;
        const float centre[4] = {1, 0, 0, 1}, centreDelta[4] = {-1, 0, 0, 0};
        const float edge[4] = {0, 1, 0, 1}, edgeDelta[4] = {0, -1, 1, 0};
        std::memcpy(r.centreColor, centre, sizeof centre);
        std::memcpy(r.firstDelta, centreDelta, sizeof centreDelta);
        std::memcpy(r.edgeColor, edge, sizeof edge);
        std::memcpy(r.secondDelta, edgeDelta, sizeof edgeDelta);
        const uint8_t bytes[4] = {5, 6, 7, 8};
        std::memcpy(r.parameters, bytes, 4);
        words_.resize(3 * 6 * 16);
        for (uint32_t w = 0; w < words_.size(); ++w)
            words_[w] = 0x00070000u + w;
        r.textureWords = words_.data();
        return u;
    }
    // The strip over points (x, y, z, t).
    void SetPoints(Fx::StripDrawUnitBase* u, std::vector<Fx::StripPoint> points) {
        points_ = std::move(points);
        u->stripPoints = points_.data();
        u->stripPointCount = static_cast<uint32_t>(points_.size());
    }
    // The strip over a history of these nodes (oldest first), drawing all
    // but the newest.
    void SetHistory(Fx::StripDrawUnitBase* u, std::vector<Fx::PointHistoryEntry> nodes) {
        nodes_ = std::move(nodes);
        for (size_t i = 0; i + 1 < nodes_.size(); ++i)
            nodes_[i].next = &nodes_[i + 1];
        u->firstNode = &nodes_.front();
        u->newestNode = &nodes_.back();
        u->segmentCount = static_cast<uint32_t>(nodes_.size() - 1);
    }

    static inline testsupport::SilentDevice* device_ = nullptr;
    static inline RenderRig* rig_ = nullptr;
    static inline const Fx::PackageResource* package_ = nullptr;

    alignas(16) uint8_t vertexBytes[8192];
    uint16_t indices[1024];

private:
    std::vector<Fx::DrawUnit*> units_;
    std::vector<float> circles_;
    std::vector<uint32_t> words_;
    std::vector<Fx::StripPoint> points_;
    std::vector<Fx::PointHistoryEntry> nodes_;
};

Fx::PointHistoryEntry Node(float x, float y, float z, float ax, float ay, float az,
                           float distance) {
    Fx::PointHistoryEntry e{};
    e.position[0] = x, e.position[1] = y, e.position[2] = z;
    e.axis[0] = ax, e.axis[1] = ay, e.axis[2] = az;
    e.distance = distance;
    return e;
}

bool Finite(const std::vector<float>& v) {
    for (float f : v)
        if (!std::isfinite(f))
            return false;
    return true;
}

// --- Writers ---

struct WriterRow {
    const char* name;
    std::function<void(Geometry&)> run;
};

// The offsets (in half sizes) and the cell corners of each vertex of the
// quadrant modes, quad by quad as the mode's table lists them; 'a' is the
// cell's (ua, va) side, 'b' its (ub, vb) side.
struct TableVertex {
    int x, y;
    char u, v;
};
const TableVertex kMirroredTable[16] = {
    {-1, 1, 'a', 'a'}, {0, 1, 'b', 'a'}, {-1, 0, 'a', 'b'},  {0, 0, 'b', 'b'},
    {0, 1, 'b', 'a'},  {1, 1, 'a', 'a'}, {0, 0, 'b', 'b'},   {1, 0, 'a', 'b'},
    {-1, 0, 'a', 'b'}, {0, 0, 'b', 'b'}, {-1, -1, 'a', 'a'}, {0, -1, 'b', 'a'},
    {0, 0, 'b', 'b'},  {1, 0, 'a', 'b'}, {0, -1, 'b', 'a'},  {1, -1, 'a', 'a'}};
const TableVertex kRotatedTable[16] = {
    {-1, 1, 'a', 'a'}, {0, 1, 'b', 'a'}, {-1, 0, 'a', 'b'},  {0, 0, 'b', 'b'},
    {0, 1, 'a', 'b'},  {1, 1, 'a', 'a'}, {0, 0, 'b', 'b'},   {1, 0, 'b', 'a'},
    {0, 0, 'b', 'b'},  {1, 0, 'a', 'b'}, {0, -1, 'b', 'a'},  {1, -1, 'a', 'a'},
    {-1, 0, 'b', 'a'}, {0, 0, 'b', 'b'}, {-1, -1, 'a', 'a'}, {0, -1, 'a', 'b'}};

// Type 2 in `mode` with cell (ua, ub, va, vb) = (100, 200, 300, 400) and
// half size (2, 3): every vertex as the table has it.
void ExpectQuadrants(Geometry& g, const TableVertex* table, uint32_t count, uint32_t mode) {
    auto* u = g.Make<Fx::DrawUnitType2>(Geometry::Part(mode));
    ASSERT_NE(u, nullptr);
    u->cellU0 = 100, u->cellU1 = 200, u->cellV0 = 300, u->cellV1 = 400;
    u->size[0] = 2.0f, u->size[1] = 3.0f;
    u->geometry(u, g.Payload(0));
    for (uint32_t i = 0; i < count; ++i) {
        const TableVertex& t = table[i];
        EXPECT_EQ(g.Field(48, i, 12), 2.0f * static_cast<float>(t.x)) << i;
        EXPECT_EQ(g.Field(48, i, 16), 3.0f * static_cast<float>(t.y)) << i;
        EXPECT_EQ(g.Field<uint16_t>(48, i, 36), t.u == 'a' ? 100 : 200) << i;
        EXPECT_EQ(g.Field<uint16_t>(48, i, 38), t.v == 'a' ? 300 : 400) << i;
        EXPECT_EQ(g.Field(48, i, 20), kOffset) << i;
    }
    EXPECT_EQ(g.Field<uint32_t>(48, count, 0), 0xCDCDCDCDu);
}

TEST_F(Geometry, WritersFollowTheirTables) {
    const WriterRow rows[] = {
        {"a fan of 3 segments: 9 indices, the last triangle (b, b + 3, b + 1)",
         [](Geometry& g) {
             Fx::WriteFanGeometry<1>(g.Fan<1>(3), g.Payload(40));
             const uint16_t expected[9] = {40, 41, 42, 40, 42, 43, 40, 43, 41};
             for (int i = 0; i < 9; ++i)
                 EXPECT_EQ(g.indices[i], expected[i]) << i;
             EXPECT_EQ(g.indices[9], kFillIndex);
             // The centre at the translation, the first rim vertex one along x.
             EXPECT_EQ(g.PositionOf(36, 0), (std::vector<float>{1, 2, 3}));
             EXPECT_EQ(g.PositionOf(36, 1), (std::vector<float>{2, 2, 3}));
             EXPECT_EQ(g.Field(36, 3, 12), kOffset);
             EXPECT_EQ(g_offsetCalls, 1);
         }},
        {"fan indices near 65535 wrap",
         [](Geometry& g) {
             Fx::WriteFanGeometry<0>(g.Fan<0>(3), g.Payload(65534));
             const uint16_t expected[9] = {65534, 65535, 0, 65534, 0, 1, 65534, 1, 65535};
             for (int i = 0; i < 9; ++i)
                 EXPECT_EQ(g.indices[i], expected[i]) << i;
         }},
        {"texture values 1.0, -0.0015 and 40.0 give 1000, -1 and -25536",
         [](Geometry& g) {
             auto* q = g.Quad<3>();
             q->record->transforms[0] = 1.0f;     // set 0, corner 0: u
             q->record->transforms[1] = -0.0015f; // v
             q->record->transforms[8] = 40.0f;    // set 1, corner 0: u
             Fx::WriteQuadIndices<3>(q, g.Payload(0));
             EXPECT_EQ(g.Field<int16_t>(44, 0, 28), 1000);
             EXPECT_EQ(g.Field<int16_t>(44, 0, 30), -1);
             EXPECT_EQ(g.Field<int16_t>(44, 0, 32), -25536);
             const uint16_t quad[6] = {2, 1, 0, 3, 1, 2};
             for (int i = 0; i < 6; ++i)
                 EXPECT_EQ(g.indices[i], quad[i]) << i;
         }},
        {"a capped line of zero extent: every pair on the particle, v 0, 500, 500, 1000",
         [](Geometry& g) {
             auto* band = g.Make<Fx::DrawUnitType3>(Geometry::Plain());
             band->width = 0.5f;
             Fx::DrawUnitType3::WriteCappedLineGeometry(band, g.Payload(0));
             const uint16_t v[4] = {0, 500, 500, 1000};
             for (uint32_t i = 0; i < 8; ++i) {
                 EXPECT_EQ(g.PositionOf(36, i), (std::vector<float>{1, 2, 3})) << i;
                 EXPECT_EQ(g.Field<uint16_t>(36, i, 28), i % 2 ? 1000 : 0) << i;
                 EXPECT_EQ(g.Field<uint16_t>(36, i, 30), v[i / 2]) << i;
             }
         }},
        {"a capped line centred on the camera: pairs coincide on its ends, no NaN; in "
         "view 1 it faces the origin instead",
         [](Geometry& g) {
             auto* band = g.Make<Fx::DrawUnitType3>(Geometry::Plain());
             band->width = 0.5f;
             band->halfExtent[0] = 1.0f;
             // A camera at the particle.
             const float view[16] = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, -1, -2, -3, 1};
             Renderer::SetViewProjection(view, testsupport::kIdentity44);
             for (uint32_t space : {0u, 1u}) {
                 Renderer::BeginFrame(0);
                 Renderer::AddDrawRecord(nullptr, 0.0f, space, nullptr, nullptr, nullptr);
                 Fx::DrawUnitType3::WriteCappedLineGeometry(band, g.Payload(0));
                 Renderer::CommitDirtyRanges();
                 if (space == 1)
                     break;
                 const float x[4] = {0, 0, 2, 2};
                 for (uint32_t i = 0; i < 8; ++i) {
                     EXPECT_TRUE(Finite(g.PositionOf(36, i))) << i;
                     EXPECT_EQ(g.PositionOf(36, i), (std::vector<float>{x[i / 2], 2, 3})) << i;
                 }
             }
             Renderer::SetViewProjection(testsupport::kIdentity44, testsupport::kIdentity44);
             // Seen from the origin the side is normalize((1, 0, 0) x (1, 2, 3)).
             EXPECT_NEAR(g.Field(36, 2, 4), 2.0f + 0.5f * 3.0f / std::sqrt(13.0f), 2e-3f);
             EXPECT_NEAR(g.Field(36, 3, 4), 2.0f - 0.5f * 3.0f / std::sqrt(13.0f), 2e-3f);
         }},
        {"type 2 mode 0: four corners of (+-sw, +-sh), the cell's corners in turn",
         [](Geometry& g) {
             const TableVertex one[4] = {
                 {-1, 1, 'a', 'a'}, {1, 1, 'b', 'a'}, {-1, -1, 'a', 'b'}, {1, -1, 'b', 'b'}};
             ExpectQuadrants(g, one, 4, 0);
         }},
        {"type 2 rotated quadrants: clockwise from the top left, the cell turning",
         [](Geometry& g) { ExpectQuadrants(g, kRotatedTable, 16, 1); }},
        {"type 2 mirrored quadrants: the cell mirrored about the centre lines",
         [](Geometry& g) { ExpectQuadrants(g, kMirroredTable, 16, 2); }},
        {"type 11 corners: pivot (-0.5 x 2, -0.25 x 3) plus and minus the size (2, 3), "
         "about the particle moved by the book's offset; every vertex with the polygon "
         "offset, the unit's orientation and its packed colour",
         [](Geometry& g) {
             auto* book = g.Make<Fx::DrawUnitType11>(Geometry::Part(3));
             ASSERT_NE(book, nullptr);
             book->Update(testsupport::FrameClock(0.0f));
             const float turn[3] = {0.25f, -0.5f, 1.5f};
             const uint16_t colour[4] = {1000, 2000, 3000, 4000};
             std::memcpy(book->orientation, turn, sizeof turn);
             std::memcpy(book->packedColor, colour, sizeof colour);
             Fx::DrawUnitType11::WriteBillboardQuad(book, g.Payload(0));
             const float corners[4][2] = {{-3, 2.25f}, {1, 2.25f}, {-3, -3.75f}, {1, -3.75f}};
             for (uint32_t i = 0; i < 4; ++i) {
                 EXPECT_EQ(g.PositionOf(48, i), (std::vector<float>{1.75f, 0.5f, 3})) << i;
                 EXPECT_FLOAT_EQ(g.Field(48, i, 12), corners[i][0]) << i;
                 EXPECT_FLOAT_EQ(g.Field(48, i, 16), corners[i][1]) << i;
                 EXPECT_EQ(g.Field(48, i, 20), kOffset) << i;
                 for (uint32_t k = 0; k < 3; ++k)
                     EXPECT_EQ(g.Field(48, i, 24 + 4 * k), turn[k]) << i;
                 for (uint32_t k = 0; k < 4; ++k)
                     EXPECT_EQ(g.Field<uint16_t>(48, i, 40 + 2 * k), colour[k]) << i;
             }
         }},
        {"type 11 takes the cell of its current frame from the flipbook",
         [](Geometry& g) {
             auto* book = g.Make<Fx::DrawUnitType11>(Geometry::Part(3));
             ASSERT_NE(book, nullptr);
             book->Update(testsupport::FrameClock(0.0f));
             book->frameIndex = 1;
             Fx::DrawUnitType11::WriteBillboardQuad(book, g.Payload(0));
             const uint16_t uv[4][2] = {{50, 60}, {70, 60}, {50, 80}, {70, 80}};
             for (uint32_t i = 0; i < 4; ++i) {
                 EXPECT_EQ(g.Field<uint16_t>(48, i, 36), uv[i][0]) << i;
                 EXPECT_EQ(g.Field<uint16_t>(48, i, 38), uv[i][1]) << i;
             }
         }},
    };
    for (const WriterRow& row : rows) {
        SCOPED_TRACE(row.name);
        SetUp();
        row.run(*this);
    }
}

// --- Rings and strips ---

TEST_F(Geometry, RingsAndStripsBandTheirPoints) {
    const WriterRow rows[] = {
        {"ring n = 0: no index, the first point's 2 (3) vertices",
         [](Geometry& g) {
             Fx::RingDrawUnit* ring = g.Ring(0);
             Fx::WriteRingGeometry<1>(ring, g.Payload(0));
             EXPECT_EQ(g.indices[0], kFillIndex);
             EXPECT_EQ(g.PositionOf(36, 1)[0], 1.0f);
             EXPECT_EQ(g.Field<uint32_t>(36, 2, 0), 0xCDCDCDCDu);
             Fx::WriteRingGeometry<1, CentreLine>(ring, g.Payload(0));
             EXPECT_EQ(g.indices[0], kFillIndex);
             EXPECT_EQ(g.PositionOf(36, 2)[0], 1.0f);
             EXPECT_EQ(g.Field<uint32_t>(36, 3, 0), 0xCDCDCDCDu);
         }},
        {"ring n = 1: 6 indices over outer and inner (colour 0); 12 over outer, middle, "
         "inner (colours 2, 1, 0)",
         [](Geometry& g) {
             Fx::RingDrawUnit* ring = g.Ring(1);
             Fx::WriteRingGeometry<0>(ring, g.Payload(10));
             const uint16_t plain[6] = {10, 11, 13, 13, 12, 10};
             for (int i = 0; i < 6; ++i)
                 EXPECT_EQ(g.indices[i], plain[i]) << i;
             EXPECT_EQ(g.indices[6], kFillIndex);
             const float plainX[4] = {3, 1, 4, 2};
             for (uint32_t i = 0; i < 4; ++i) {
                 EXPECT_EQ(g.PositionOf(32, i)[0], plainX[i]) << i;
                 EXPECT_EQ(g.Field<uint16_t>(32, i, 16), 100) << i;
                 EXPECT_EQ(g.Field<uint32_t>(32, i, 28), 0xCDCDCDCDu) << i;
             }
             Fx::WriteRingGeometry<0, CentreLine>(ring, g.Payload(10));
             const uint16_t centre[12] = {14, 13, 10, 10, 11, 14, 12, 15, 14, 14, 11, 12};
             for (int i = 0; i < 12; ++i)
                 EXPECT_EQ(g.indices[i], centre[i]) << i;
             const float centreX[6] = {3, 2, 1, 4, 3, 2};
             const uint16_t red[3] = {300, 200, 100};
             for (uint32_t i = 0; i < 6; ++i) {
                 EXPECT_EQ(g.PositionOf(32, i)[0], centreX[i]) << i;
                 EXPECT_EQ(g.Field<uint16_t>(32, i, 16), red[i % 3]) << i;
             }
         }},
        {"a strip of one point: no index, its edges on the point",
         [](Geometry& g) {
             auto* strip = g.Strip<1>();
             g.SetPoints(strip, {{{1, 2, 3}, 0.0f}});
             Fx::WriteStripGeometry<1, PointList>(strip, g.Payload(0));
             EXPECT_EQ(g.indices[0], kFillIndex);
             for (uint32_t i = 0; i < 2; ++i)
                 EXPECT_EQ(g.PositionOf(36, i), (std::vector<float>{1, 2, 3})) << i;
             EXPECT_EQ(g.Field<uint32_t>(36, 2, 0), 0xCDCDCDCDu);
         }},
        {"two points share the direction P[0] - P[1]; the eye at the origin",
         [](Geometry& g) {
             auto* strip = g.Strip<0>();
             // Along +x at z = -10: a = (-1, 0, 0), d = (x, 0, -10), s = (0,
             // -10, 0): the first edge at +y.
             g.SetPoints(strip, {{{0, 0, -10}, 0.0f}, {{1, 0, -10}, 1.0f}});
             Fx::WriteStripGeometry<0, PointList>(strip, g.Payload(7));
             const uint16_t expected[6] = {10, 7, 8, 10, 9, 7};
             for (int i = 0; i < 6; ++i)
                 EXPECT_EQ(g.indices[i], expected[i]) << i;
             EXPECT_NEAR(g.Field(32, 0, 4), 0.25f, 1e-3f);
             EXPECT_NEAR(g.Field(32, 1, 4), -0.25f, 1e-3f);
             EXPECT_NEAR(g.Field(32, 2, 4), 0.75f, 2e-3f);
             EXPECT_NEAR(g.Field(32, 3, 4), -0.75f, 2e-3f);
             // Colour at t = 0 red, at t = 1 black.
             EXPECT_EQ(g.Field<uint16_t>(32, 0, 16), 1000);
             EXPECT_EQ(g.Field<uint16_t>(32, 2, 16), 0);
         }},
        {"a zero side vector (axis along the eye line) leaves the edges on the point",
         [](Geometry& g) {
             auto* strip = g.Strip<2>();
             g.SetHistory(strip, {Node(0, 0, -5, 0, 0, 1, 0.0f), Node(0, 0, -6, 0, 0, 1, 1.0f),
                                  Node(0, 0, -7, 0, 0, 1, 2.0f)});
             Fx::WriteStripGeometry<2, History, CentreLine>(strip, g.Payload(0));
             for (uint32_t i = 0; i < 6; ++i) {
                 EXPECT_TRUE(Finite(g.PositionOf(36, i))) << i;
                 EXPECT_EQ(g.PositionOf(36, i)[0], 0.0f) << i;
                 EXPECT_EQ(g.PositionOf(36, i)[1], 0.0f) << i;
             }
         }},
        {"history: t is the node's distance over the newest's (at least 0.0001)",
         [](Geometry& g) {
             auto* strip = g.Strip<0>();
             // Along x, seen from the origin: the side is along y.
             g.SetHistory(strip, {Node(0, 0, -10, -1, 0, 0, 0.0f), Node(1, 0, -10, -1, 0, 0, 2.0f),
                                  Node(2, 0, -10, -1, 0, 0, 4.0f)});
             Fx::WriteStripGeometry<0, History, CentreLine>(strip, g.Payload(0));
             // Node 1 at t = 0.5: width 0.5, centre red 0.5, edges green and
             // blue 0.5.
             EXPECT_NEAR(g.Field(32, 3, 4), 0.5f, 1e-3f);
             EXPECT_EQ(g.Field<uint16_t>(32, 4, 16), 500);
             EXPECT_EQ(g.Field<uint16_t>(32, 3, 18), 500);
             EXPECT_EQ(g.Field<uint16_t>(32, 3, 20), 500);
             // A newest distance of 0 divides by 0.0001: a node at 0.00005
             // sits halfway.
             g.SetHistory(strip,
                          {Node(0, 0, -10, -1, 0, 0, 0.00005f), Node(1, 0, -10, -1, 0, 0, 0.0f)});
             Fx::WriteStripGeometry<0, History>(strip, g.Payload(0));
             EXPECT_NEAR(g.Field(32, 0, 4), 0.5f, 1e-3f);
         }},
        {"views 1 and 2 face the zero view vector, view 0 the camera",
         [](Geometry& g) {
             auto* strip = g.Strip<0>();
             // Along x at z = 5; the camera at z = 10 sees the side flipped.
             g.SetPoints(strip, {{{0, 0, 5}, 0.0f}, {{1, 0, 5}, 0.0f}});
             const float view[16] = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, -10, 1};
             Renderer::SetViewProjection(view, testsupport::kIdentity44);
             for (uint32_t space : {0u, 1u, 2u}) {
                 Renderer::BeginFrame(0);
                 Renderer::AddDrawRecord(nullptr, 0.0f, space, nullptr, nullptr, nullptr);
                 Fx::WriteStripGeometry<0, PointList>(strip, g.Payload(0));
                 Renderer::CommitDirtyRanges();
                 EXPECT_NEAR(g.Field(32, 0, 4), space == 0 ? 0.25f : -0.25f, 1e-3f) << space;
             }
             Renderer::SetViewProjection(testsupport::kIdentity44, testsupport::kIdentity44);
         }},
        {"format 6, 10 points: 1040 or 1560 vertex bytes, 108 or 216 index bytes",
         [](Geometry& g) {
             auto* strip = g.Strip<6>();
             std::vector<Fx::StripPoint> points;
             for (int i = 0; i < 10; ++i)
                 points.push_back({{static_cast<float>(i), 0, -10}, 0.1f * i});
             g.SetPoints(strip, points);
             for (uint32_t variant = 0; variant < 2; ++variant) {
                 std::memset(g.vertexBytes, kFill, sizeof g.vertexBytes);
                 std::memset(g.indices, kFill, sizeof g.indices);
                 if (variant)
                     Fx::WriteStripGeometry<6, PointList, CentreLine>(strip, g.Payload(0));
                 else
                     Fx::WriteStripGeometry<6, PointList>(strip, g.Payload(0));
                 const size_t vertexEnd = variant ? 1560 : 1040;
                 const size_t indexEnd = variant ? 216 : 108;
                 const auto* ib = reinterpret_cast<const uint8_t*>(g.indices);
                 EXPECT_NE(g.vertexBytes[vertexEnd - 1], kFill) << variant;
                 EXPECT_EQ(g.vertexBytes[vertexEnd], kFill) << variant;
                 EXPECT_NE(ib[indexEnd - 1], kFill) << variant;
                 EXPECT_EQ(ib[indexEnd], kFill) << variant;
             }
         }},
    };
    for (const WriterRow& row : rows) {
        SCOPED_TRACE(row.name);
        SetUp();
        row.run(*this);
    }
}

// --- Every callback fills exactly its room ---

// What a callback was given and should fill: `vertices` of `stride` bytes
// whose first `head` bytes it writes, and `indices`.
struct Room {
    Fx::DrawUnit* unit;
    void (*write)(Fx::DrawUnit*, const Fx::DrawPayload&);
    uint32_t vertices;
    uint32_t indices;
    uint32_t stride;
    uint32_t head;
    bool fetchesOffset = true;
};
using RoomMaker = Room (*)(Geometry& g);
struct CallbackCase {
    std::string name;
    RoomMaker make;
};
void PrintTo(const CallbackCase& c, std::ostream* os) {
    *os << c.name;
}

template <uint32_t N> constexpr uint32_t Head() {
    return 28 + 4 * N;
}
template <uint32_t N> Room FanRoom(Geometry& g) {
    return {g.Fan<N>(5), Fx::WriteFanGeometry<N>, 6, 15, Fx::VertexFormat<N>::kStride, Head<N>()};
}
template <uint32_t N> Room QuadRoom(Geometry& g) {
    return {g.Quad<N>(), Fx::WriteQuadIndices<N>, 4, 6, Fx::VertexFormat<N>::kStride, Head<N>()};
}
template <uint32_t N, class Variant> Room RingRoom(Geometry& g) {
    constexpr uint32_t v = Variant::kVerticesPerPoint;
    return {g.Ring(4),       Fx::WriteRingGeometry<N, Variant>, v * 5,
            6 * (v - 1) * 4, Fx::VertexFormat<N>::kStride,      Head<N>()};
}
template <uint32_t N, class Source, class Variant> Room StripRoom(Geometry& g) {
    auto* strip = g.Strip<N>();
    if constexpr (std::is_same_v<Source, History>)
        g.SetHistory(strip, {Node(0, 0, -9, 1, 0, 0, 0), Node(1, 0, -9, 1, 0, 0, 1),
                             Node(2, 1, -9, 1, 1, 0, 2), Node(3, 1, -9, 1, 0, 0, 3)});
    else
        g.SetPoints(strip, {{{0, 0, -9}, 0}, {{1, 0, -9}, 0.5f}, {{2, 1, -9}, 1}});
    constexpr uint32_t v = Variant::kVerticesPerPoint;
    return {strip,
            Fx::WriteStripGeometry<N, Source, Variant>,
            v * 3,
            6 * (v - 1) * 2,
            Fx::VertexFormat<N>::kStride,
            Head<N>()};
}
Room CappedLineRoom(Geometry& g) {
    auto* band = g.Make<Fx::DrawUnitType3>(Geometry::Plain());
    band->halfExtent[0] = 1.0f;
    band->width = 0.5f;
    band->packedColor[0] = 1000;
    return {band, Fx::DrawUnitType3::WriteCappedLineGeometry, 8, 18, 36, 32};
}
Room LineRoom(Geometry& g) {
    auto* line = g.Make<Fx::DrawUnitType1>(Geometry::Plain());
    line->endPoint[0] = 4.0f;
    return {line, Fx::DrawUnitType1::WriteLineGeometry, 2, 0, 32, 28};
}
Room BillboardRoom(Geometry& g) {
    auto* book = g.Make<Fx::DrawUnitType11>(Geometry::Part(3));
    return {book, Fx::DrawUnitType11::WriteBillboardQuad, 4, 6, 48, 48};
}
template <uint32_t Mode> Room ParticleRoom(Geometry& g) {
    auto* grid = g.Make<Fx::DrawUnitType2>(Geometry::Part(Mode));
    const uint32_t v = Mode == 0 ? 4 : 16;
    return {grid, Fx::DrawUnitType2::WriteParticleQuads<Mode>, v, v / 4 * 6, 48, 48};
}

// The prepared items of the particle field's copies: 32 of them.
std::vector<uint8_t> g_prepared(32 * Fx::DrawUnitType4::kQuadVertexBytes, 0x11);
void CopyLines(Fx::DrawUnit* unit, const Fx::DrawPayload& p) {
    Fx::PreparedPayload prepared{p.vertices, g_prepared.data(), p.indices, p.firstVertex, 32};
    Fx::DrawUnitType4::CopyPreparedVertices(unit, prepared);
}
void CopyQuads(Fx::DrawUnit* unit, const Fx::DrawPayload& p) {
    Fx::PreparedPayload prepared{p.vertices, g_prepared.data(), p.indices, p.firstVertex, 32};
    Fx::DrawUnitType4::CopyDrawQuads(unit, prepared);
}
Room LineCopyRoom(Geometry&) {
    return {nullptr, CopyLines, 64, 0, 32, 32, false};
}
Room QuadCopyRoom(Geometry&) {
    return {nullptr, CopyQuads, 128, 192, 48, 48, false};
}

template <uint32_t... Ns>
void AddFormats(std::vector<CallbackCase>& cases, std::integer_sequence<uint32_t, Ns...>) {
    const auto add = [&](const std::string& name, RoomMaker make) {
        cases.push_back({name, make});
    };
    (add("Fan" + std::to_string(Ns), FanRoom<Ns>), ...);
    (add("Quad" + std::to_string(Ns), QuadRoom<Ns>), ...);
    (add("Ring" + std::to_string(Ns), RingRoom<Ns, PlainLine>), ...);
    (add("RingCentreLine" + std::to_string(Ns), RingRoom<Ns, CentreLine>), ...);
    (add("History" + std::to_string(Ns), StripRoom<Ns, History, PlainLine>), ...);
    (add("HistoryCentreLine" + std::to_string(Ns), StripRoom<Ns, History, CentreLine>), ...);
    (add("PointList" + std::to_string(Ns), StripRoom<Ns, PointList, PlainLine>), ...);
    (add("PointListCentreLine" + std::to_string(Ns), StripRoom<Ns, PointList, CentreLine>), ...);
}

std::vector<CallbackCase> EveryCallback() {
    std::vector<CallbackCase> cases;
    AddFormats(cases, std::make_integer_sequence<uint32_t, 7>{});
    cases.push_back({"CappedLine", CappedLineRoom});
    cases.push_back({"Line", LineRoom});
    cases.push_back({"Billboard", BillboardRoom});
    cases.push_back({"OneQuad", ParticleRoom<0>});
    cases.push_back({"RotatedQuadrants", ParticleRoom<1>});
    cases.push_back({"MirroredQuadrants", ParticleRoom<2>});
    cases.push_back({"FieldLines", LineCopyRoom});
    cases.push_back({"FieldQuads", QuadCopyRoom});
    return cases;
}

class GeometryRooms : public Geometry, public testing::WithParamInterface<CallbackCase> {};

// From a first vertex near the top of the 16-bit range: every index lies
// in [b, b + V) modulo 65536, nothing is written past the reserved room or
// in the bytes a vertex leaves unwritten, every other word is written, and
// the polygon offset is fetched once.
TEST_P(GeometryRooms, EachCallbackFillsExactlyItsRoom) {
    const Room room = GetParam().make(*this);
    ASSERT_TRUE(room.unit || !room.fetchesOffset);
    room.write(room.unit, Payload(kWrapBase));
    for (uint32_t i = 0; i < room.indices; ++i)
        EXPECT_LT(static_cast<uint16_t>(indices[i] - kWrapBase), room.vertices) << i;
    for (uint32_t i = room.indices; i < room.indices + 8; ++i)
        EXPECT_EQ(indices[i], kFillIndex) << i;
    for (uint32_t v = 0; v < room.vertices; ++v) {
        const uint8_t* vertex = vertexBytes + v * room.stride;
        for (uint32_t b = 0; b < room.head; b += 4)
            EXPECT_NE(Field<uint32_t>(room.stride, v, b), 0xCDCDCDCDu) << v << " " << b;
        for (uint32_t b = room.head; b < room.stride; ++b)
            EXPECT_EQ(vertex[b], kFill) << v << " " << b;
    }
    for (uint32_t b = 0; b < 64; ++b)
        EXPECT_EQ(vertexBytes[room.vertices * room.stride + b], kFill) << b;
    EXPECT_EQ(g_offsetCalls, room.fetchesOffset ? 1 : 0);
}

INSTANTIATE_TEST_SUITE_P(EveryCallback, GeometryRooms, testing::ValuesIn(EveryCallback()),
                         [](const testing::TestParamInfo<CallbackCase>& i) {
                             return i.param.name;
                         });

} // namespace
