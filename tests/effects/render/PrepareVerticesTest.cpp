// A particle field's items made ready for the vertex buffer: billboard
// quads with their atlas cells, lines held between their two lengths,
// owner space, and which of the twelve preparers the data chooses.
#include "support/effects/DrawUnitRig.h"

#include "effects/drawunits/DrawUnitFactory.h"
#include "effects/drawunits/DrawUnitType4.h"
#include "effects/drawunits/DrawVertices.h"

#include <gtest/gtest.h>

#include <array>
#include <cstring>
#include <map>
#include <string>
#include <vector>

namespace {

namespace Fx = FulgorCore;
using effecttools::DrawPartValue;
using effecttools::FieldValue;
using Fx::DrawRenderer;
using Fx::DrawUnitType4;
using Fx::FieldPoint;
using testsupport::DrawEffect;
using testsupport::DrawUnitRig;

// Four points of the given mode; the last colour key white from time 0.
DrawPartValue Field(uint32_t mode, std::vector<FieldValue> fields,
                    std::map<std::string, float> floats = {}) {
    effecttools::DrawDataType4Value field;
    field.fields = {{"DTyp", mode}, {"CrCt", 4}, {"Life", 1000}};
    field.fields.insert(field.fields.end(), fields.begin(), fields.end());
    field.bpCt = 1;
    field.floats = std::move(floats);
    for (const char* key : {"CoR4", "CoG4", "CoB4", "CoA4"})
        field.floats[key] = 1.0f;
    DrawPartValue part;
    part.data = field;
    return part;
}

FieldPoint Point(uint32_t state, float age, std::array<float, 3> position,
                 std::array<float, 3> size = {1, 1, 1}) {
    FieldPoint p{};
    p.state = state;
    p.age = age;
    std::copy(position.begin(), position.end(), p.position);
    std::copy(size.begin(), size.end(), p.size);
    return p;
}

constexpr uint32_t kLive = FieldPoint::kLive;
constexpr uint32_t Frame(uint32_t f) {
    return f << 10;
}

// One quad and what it must come out as: the atlas rectangle (u left, u
// right, v top, v bottom), the half height (0: not drawn) and the turn
// about z. The point sits at (1, 1, 1) of age `age`, 2 wide, turned 0.1.
struct QuadRow {
    const char* name;
    uint32_t part;
    uint32_t variant;
    uint32_t state;
    float age;
    float height;
    uint16_t uv[4];
    float halfHeight;
    float turn;
};

class PrepareVertices : public testsupport::DrawUnitFixture<> {
protected:
    DrawUnitType4* Unit(DrawUnitRig& rig, uint32_t part, const testsupport::OwnerPose& pose = {}) {
        bool noBlock = true;
        auto* unit = static_cast<DrawUnitType4*>(
            Keep(Fx::CreateDrawUnit(rig.MakeOwner(pose), rig.Part(part), noBlock)));
        EXPECT_NE(unit, nullptr);
        return unit;
    }
    // One point through preparer `index` of the runtime's table.
    template <class Vertex, size_t N>
    void Prepare(DrawUnitType4* unit, uint32_t index, FieldPoint& point, Vertex (&out)[N]) {
        std::memset(out, 0xCD, sizeof(out));
        unit->pointCount = 1;
        Fx::DrawClock clock;
        DrawRenderer::kBuiltIn.prepare[index](unit, &point, *unit->header, out, clock);
    }
    // Quads of data whose acceleration is (0, -1, 0) and pivot (0.5, -0.25),
    // on an owner turned 0.2 about z and 0.3 more by its spawner.
    void CheckQuads(DrawUnitRig& rig, const std::vector<QuadRow>& rows) {
        testsupport::OwnerPose pose;
        pose.rotation[2] = 0.2f;
        pose.blockAngleZ = 0.3f;
        for (const QuadRow& row : rows) {
            DrawUnitType4* unit = Unit(rig, row.part, pose);
            FieldPoint point = Point(row.state, row.age, {1, 1, 1}, {2, row.height, 1});
            point.rotation[2] = 0.1f;
            Fx::BillboardVertex v[4];
            Prepare(unit, DrawRenderer::kQuadPreparers + row.variant, point, v);
            const bool drawn = row.halfHeight != 0;
            // Centre: position + age^2 / 2 x the acceleration; corners about the
            // pivot.
            const float centre[3] = {1, 1 - 0.5f * row.age * row.age, 1};
            const float hx = drawn ? 2.0f : 0.0f, hy = row.halfHeight;
            const float corners[4][2] = {{-hx, hy}, {hx, hy}, {-hx, -hy}, {hx, -hy}};
            for (int k = 0; k < 4; ++k) {
                SCOPED_TRACE(std::string(row.name) + " corner " + std::to_string(k));
                for (int i = 0; i < 3; ++i)
                    EXPECT_FLOAT_EQ(v[k].position[i], drawn ? centre[i] : 0.0f);
                EXPECT_FLOAT_EQ(v[k].corner[0], drawn ? 0.5f + corners[k][0] : 0.0f);
                EXPECT_FLOAT_EQ(v[k].corner[1], drawn ? -0.25f + corners[k][1] : 0.0f);
                if (!drawn) {
                    // Only the positions are cleared.
                    EXPECT_EQ(v[k].uv[0], 0xCDCD);
                    EXPECT_EQ(v[k].color[0], 0xCDCD);
                    continue;
                }
                EXPECT_EQ(v[k].uv[0], row.uv[k % 2]);
                EXPECT_EQ(v[k].uv[1], row.uv[2 + k / 2]);
                EXPECT_FLOAT_EQ(v[k].orientation[2], row.turn);
                EXPECT_EQ(v[k].w, 0.0f);
                EXPECT_EQ(v[k].color[3], 1000);
            }
        }
    }
};

const std::map<std::string, float> kQuadMotion = {
    {"BPOX", 0.5f}, {"BPOY", -0.25f}, {"MvAY", -1.0f}};

TEST_F(PrepareVertices, QuadsTakeTheirCellExtentsAndTurn) {
    DrawUnitRig& rig =
        Start(DrawEffect({Field(2, {{"TCDU", 4}, {"TCDV", 2}}, kQuadMotion),
                          Field(2, {{"TCDU", 4}, {"TCDV", 2}, {"TCAI", 2}}, kQuadMotion),
                          Field(2, {{"TCDU", 4}, {"TCDV", 2}, {"bTAO", 1}}, kQuadMotion)}));
    ASSERT_TRUE(rig.ok);
    // clang-format off
    const std::vector<QuadRow> rows = {
        {"CellFiveOfFourByTwo",                0, 0, kLive | Frame(5),     2, 1, {0x1FFF, 0x3FFF, 0x3FFF, 0x7FFF}, 1, 0.6f},
        {"TheMirrorBitSwapsU",                 0, 0, kLive | Frame(5) | 4, 2, 1, {0x3FFF, 0x1FFF, 0x3FFF, 0x7FFF}, 1, 0.6f},
        {"FramesAdvanceWithAge",               1, 0, kLive | Frame(5),     7, 1, {0, 0x1FFF, 0, 0x3FFF},           1, 0.6f},
        {"TheRowFromTheState",                 2, 0, kLive | Frame(5),     2, 1, {0x1FFF, 0x3FFF, 0, 0x3FFF},      1, 0.6f},
        {"SquareQuadsTakeBothExtentsFromX",    0, 2, kLive | Frame(5),     2, 1, {0x1FFF, 0x3FFF, 0x3FFF, 0x7FFF}, 2, 0.6f},
        {"WithoutTheOwnersRotationOnlyItsOwn", 0, 4, kLive | Frame(5),     2, 1, {0x1FFF, 0x3FFF, 0x3FFF, 0x7FFF}, 1, 0.1f},
        {"ADeadPointLiesAtTheOrigin",          0, 0, Frame(5),             2, 1, {},                               0, 0},
        {"ANullSizeIsNotDrawn",                0, 0, kLive | Frame(5),     2, 0, {},                               0, 0},
    };
    // clang-format on
    CheckQuads(rig, rows);
}

// Fault: an atlas of 0 columns or rows divided by zero; it is one cell.
TEST_F(PrepareVertices, AnAtlasOfNoColumnsOrRowsIsOneCell) {
    DrawUnitRig& rig = Start(DrawEffect({Field(2, {{"TCDU", 0}, {"TCDV", 0}}, kQuadMotion)}));
    ASSERT_TRUE(rig.ok);
    CheckQuads(rig, {{"OneCell", 0, 0, kLive | Frame(5), 2, 1, {0, 0x7FFF, 0, 0x7FFF}, 1, 0.6f}});
}

TEST_F(PrepareVertices, LinesHoldBetweenTheirLengthsAndOwnerSpaceMovesOnlyTheHead) {
    DrawUnitRig& rig = Start(
        DrawEffect({Field(0, {}, {{"LMin", 1.0f}, {"LMax", 3.0f}}),
                    Field(0, {{"bOPT", 1}}, {{"MvAY", -1.0f}, {"LMin", 0.0f}, {"LMax", 100.0f}})}));
    ASSERT_TRUE(rig.ok);
    struct Row {
        const char* name;
        uint32_t index;
        std::array<float, 3> tail;     // from the head
        std::array<float, 3> expected; // the tail drawn, from the head
    };
    const Row rows[] = {
        {"AShortLineIsStretchedToTheMinimum", 0, {0.5f, 0, 0}, {1, 0, 0}},
        {"ALongLineIsCutToTheMaximum", 0, {0, 5, 0}, {0, 3, 0}},
        {"AHeadThatMovedUnderAHundredthKeepsItsTail", 0, {0.005f, 0, 0}, {0.005f, 0, 0}},
        {"ALineWithinItsLengthsKeepsItsTail", 2, {0, 0, 2}, {0, 0, 2}},
    };
    DrawUnitType4* unit = Unit(rig, 0);
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        FieldPoint point = Point(kLive, 0, {1, 2, 3});
        for (int i = 0; i < 3; ++i)
            point.tail[i] = point.position[i] + row.tail[i];
        Fx::LineVertex v[2];
        Prepare(unit, row.index, point, v);
        for (int i = 0; i < 3; ++i) {
            EXPECT_EQ(v[0].position[i], point.position[i]);
            // The fast reciprocal root is about 0.2% short.
            EXPECT_NEAR(v[1].position[i], point.position[i] + row.expected[i], 0.01f);
            // The head is next frame's tail.
            EXPECT_EQ(point.tail[i], point.position[i]);
        }
        EXPECT_EQ(v[0].color[3], 1000);
        EXPECT_EQ(v[1].color[3], row.index == 2 ? 0 : 1000);
        EXPECT_EQ(v[1].parameters[0], 0);
    }

    // The owner's matrix doubles and moves by 10 in x; its spawner's scale
    // is 3. In its space the head (1, 1 - 2, 1) goes through the matrix; out
    // of it the acceleration takes the scale and nothing is moved.
    testsupport::OwnerPose pose;
    for (int i : {0, 4, 8})
        pose.matrix[i] = 2.0f;
    pose.matrix[9] = 10.0f;
    pose.blockScale[0] = pose.blockScale[1] = pose.blockScale[2] = 3.0f;
    DrawUnitType4* owned = Unit(rig, 1, pose);
    const struct {
        uint32_t index;
        float head[3];
    } spaces[] = {{1, {12, -2, 2}}, {0, {1, -5, 1}}};
    for (const auto& space : spaces) {
        FieldPoint point = Point(kLive, 2, {1, 1, 1});
        std::copy_n(space.head, 3, point.tail);
        Fx::LineVertex v[2];
        Prepare(owned, space.index, point, v);
        for (int i = 0; i < 3; ++i)
            EXPECT_FLOAT_EQ(v[0].position[i], space.head[i]) << space.index << " " << i;
    }
}

TEST_F(PrepareVertices, TheDataChoosesEachOfTheTwelvePreparers) {
    struct Choice {
        uint32_t mode, ownerSpace, square, ownRotationOnly;
    };
    std::vector<Choice> choices;
    std::vector<DrawPartValue> parts;
    for (uint32_t bits = 0; bits < 12; ++bits) {
        const Choice c = bits < 4
                             ? Choice{bits / 2, bits % 2, 0, 0}
                             : Choice{2, (bits - 4) & 1, ((bits - 4) >> 1) & 1, (bits - 4) >> 2};
        choices.push_back(c);
        parts.push_back(Field(
            c.mode, {{"bOPT", c.ownerSpace}, {"bScL", c.square}, {"bOBD", c.ownRotationOnly}}));
    }
    DrawUnitRig& rig = Start(DrawEffect(parts));
    ASSERT_TRUE(rig.ok);
    using T4 = DrawUnitType4;
    const DrawRenderer::Prepare expected[12] = {
        T4::PrepareVertices<T4::kLines, 0>,       T4::PrepareVertices<T4::kLines, 1>,
        T4::PrepareVertices<T4::kFadingLines, 0>, T4::PrepareVertices<T4::kFadingLines, 1>,
        T4::PrepareVertices<T4::kQuads, 0>,       T4::PrepareVertices<T4::kQuads, 1>,
        T4::PrepareVertices<T4::kQuads, 2>,       T4::PrepareVertices<T4::kQuads, 3>,
        T4::PrepareVertices<T4::kQuads, 4>,       T4::PrepareVertices<T4::kQuads, 5>,
        T4::PrepareVertices<T4::kQuads, 6>,       T4::PrepareVertices<T4::kQuads, 7>};
    for (uint32_t i = 0; i < 12; ++i) {
        DrawUnitType4* unit = Unit(rig, i);
        ASSERT_LT(unit->prepareIndex, DrawRenderer::kPreparers);
        EXPECT_EQ(DrawRenderer::kBuiltIn.prepare[unit->prepareIndex], expected[i])
            << "mode " << choices[i].mode << " owner space " << choices[i].ownerSpace << " square "
            << choices[i].square << " own rotation " << choices[i].ownRotationOnly;
    }
}

} // namespace
