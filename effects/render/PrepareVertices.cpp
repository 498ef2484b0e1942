#include "effects/Core/Math/FastRoot.h"
#include "effects/Core/Math/FloatConversion.h"
#include "effects/Core/Math/Matrix.h"
#include "effects/Core/Math/Vector3.h"
#include "effects/Core/Resource/DrawDataType4.h"
#include "effects/drawunits/ColorKeys4.h"
#include "effects/drawunits/DrawUnitOwner.h"
#include "effects/drawunits/DrawUnitType4.h"
#include "effects/drawunits/DrawVertices.h"
#include "effects/drawunits/PackColor.h"
#include "effects/units/ParticleInstance.h"

#include <algorithm>
#include <climits>

namespace FulgorCore {

namespace {

using D = DrawDataType4;

static_assert(2 * sizeof(LineVertex) == DrawUnitType4::kLineVertexBytes, "a line item is 64 bytes");
static_assert(4 * sizeof(BillboardVertex) == DrawUnitType4::kQuadVertexBytes,
              "a quad item is 192 bytes");

constexpr uint32_t kLifeStateBits = 3u;
constexpr uint16_t kUnitCoordinate = 0x7FFF;
// A head that moved this little (squared) keeps its tail.
constexpr float kStillSquared = 0.0001f;

bool Drawn(const FieldPoint& p) {
    // Not a number is not a size either.
    return (p.state & kLifeStateBits) == FieldPoint::kLive && p.size[0] > 0.0f &&
           p.size[1] > 0.0f && p.size[2] > 0.0f;
}

// What every item of the call shares.
struct Common {
    const float* world;
    float scale[3];
    float acceleration[3];
    float base[4];
    float w;
};

Common Gather(DrawUnitType4* unit, const D& data, const DrawClock& clock, bool ownerSpace) {
    Common c{};
    ParticleInstance* owner = unit->ownerUnit;
    c.world = owner->GetWorldMatrix();
    float block[3];
    DrawUnitOwner::BlockScale(owner, block);
    if (data.GetFlagField(D::kAUS)) {
        float v[3] = {1.0f, 1.0f, 1.0f};
        owner->GetVector0(v);
        unit->Scale(v, clock);
        Math::Vector3Mul(c.scale, v, block);
    } else {
        for (int i = 0; i < 3; ++i)
            c.scale[i] = block[i];
    }
    c.acceleration[0] = data.GetFloat(D::kMvAX);
    c.acceleration[1] = data.GetFloat(D::kMvAY);
    c.acceleration[2] = data.GetFloat(D::kMvAZ);
    // In the owner's space the matrix carries the scale.
    if (!ownerSpace)
        Math::Vector3Mul(c.acceleration, c.acceleration, c.scale);
    unit->DrawColor(c.base, owner->GetColor(), clock);
    c.w = unit->GetPolygonOffset();
    return c;
}

// The head or centre of the frame, and the point's packed colour.
void Place(const Common& c, const FieldPoint& p, const DrawUnitType4& unit, const D& data,
           bool ownerSpace, float* head, uint16_t* color) {
    const float h = 0.5f * p.age * p.age;
    for (int i = 0; i < 3; ++i)
        head[i] = p.position[i] + h * c.acceleration[i];
    if (ownerSpace)
        Math::TransformPoint34(head, head, c.world);
    float rgba[4];
    ColorKeys4::Evaluate(unit.keySpans, rgba, Math::TruncateToInt32(p.age), data, c.base);
    PackFloat4ToU16(color, rgba);
}

void WriteLineVertex(LineVertex& v, const float* position, float w, const uint16_t* color) {
    for (int i = 0; i < 3; ++i)
        v.position[i] = position[i];
    v.position[3] = w;
    for (int i = 0; i < 4; ++i) {
        v.color[i] = color[i];
        v.parameters[i] = 0;
    }
}

// The cell's texture rectangle: u left and right (swapped by the mirror
// bit), v top and bottom, in 0x7FFF units.
struct Cell {
    uint16_t u0, u1, v0, v1;
};

Cell AtlasCell(const FieldPoint& p, uint32_t columns, uint32_t rows, uint32_t framesPerCell,
               bool rowFromState) {
    int64_t frame = (p.state >> 10) & 0xFFu;
    if (framesPerCell != 0)
        frame += std::max(Math::TruncateToInt32(p.age), 0) / static_cast<int32_t>(framesPerCell);
    const uint32_t f = static_cast<uint32_t>(std::min<int64_t>(frame, INT32_MAX));
    const uint32_t col = f % columns;
    const uint32_t row = rowFromState ? (p.state >> 6) & 0xFu : (f / columns) % rows;
    const uint32_t m = (p.state >> 2) & 1u;
    return {static_cast<uint16_t>((m + col) * kUnitCoordinate / columns),
            static_cast<uint16_t>((col - m + 1) * kUnitCoordinate / columns),
            static_cast<uint16_t>(row * kUnitCoordinate / rows),
            static_cast<uint16_t>((row * kUnitCoordinate + kUnitCoordinate) / rows)};
}

} // namespace

template <DrawUnitType4::Mode M, uint32_t Variant>
void DrawUnitType4::PrepareVertices(DrawUnitType4* unit, FieldPoint* states, const D& data,
                                    void* out, const DrawClock& clock) {
    constexpr bool kOwnerSpace = (Variant & 1u) != 0;
    const Common c = Gather(unit, data, clock, kOwnerSpace);
    const uint32_t count = unit->pointCount;
    if constexpr (M == kQuads) {
        constexpr bool kSquare = (Variant & 2u) != 0;
        constexpr bool kOwnRotationOnly = (Variant & 4u) != 0;
        float turn[3] = {};
        if constexpr (!kOwnRotationOnly) {
            unit->ownerUnit->GetVector1(turn);
            turn[2] += DrawUnitOwner::BlockAngleZ(unit->ownerUnit);
        }
        // An atlas of 0 columns or rows is one cell wide or high.
        const uint32_t columns = std::max(data.GetLifeField(D::kTCDU), 1u);
        const uint32_t rows = std::max(data.GetFlagField(D::kTCDV), 1u);
        const uint32_t framesPerCell = data.GetFlagField(D::kTCAI);
        const bool rowFromState = data.GetFlagField(D::kTAO) != 0;
        const float px = data.GetFloat(D::kBPOX) * c.scale[0];
        const float py = data.GetFloat(D::kBPOY) * c.scale[1];
        auto* item = static_cast<BillboardVertex*>(out);
        for (uint32_t i = 0; i < count; ++i, item += 4) {
            const FieldPoint& p = states[i];
            if (!Drawn(p)) {
                for (int k = 0; k < 4; ++k) {
                    item[k].position[0] = item[k].position[1] = item[k].position[2] = 0.0f;
                    item[k].corner[0] = item[k].corner[1] = 0.0f;
                }
                continue;
            }
            float centre[3];
            uint16_t color[4];
            Place(c, p, *unit, data, kOwnerSpace, centre, color);
            const Cell cell = AtlasCell(p, columns, rows, framesPerCell, rowFromState);
            const float hx = p.size[0] * c.scale[0];
            const float hy = kSquare ? hx : p.size[1] * c.scale[1];
            float rotation[3];
            Math::Vector3Add(rotation, p.rotation, turn);
            const BillboardShared shared{centre, c.w, rotation, color};
            WriteBillboardVertex(item[0], shared, px - hx, py + hy, cell.u0, cell.v0);
            WriteBillboardVertex(item[1], shared, px + hx, py + hy, cell.u1, cell.v0);
            WriteBillboardVertex(item[2], shared, px - hx, py - hy, cell.u0, cell.v1);
            WriteBillboardVertex(item[3], shared, px + hx, py - hy, cell.u1, cell.v1);
        }
    } else {
        const float largest = std::max(std::max(c.scale[0], c.scale[1]), c.scale[2]);
        const float shortest = data.GetFloat(D::kLMin) * largest;
        const float longest = data.GetFloat(D::kLMax) * largest;
        auto* item = static_cast<LineVertex*>(out);
        for (uint32_t i = 0; i < count; ++i, item += 2) {
            FieldPoint& p = states[i];
            if (!Drawn(p)) {
                for (int k = 0; k < 2; ++k)
                    item[k].position[0] = item[k].position[1] = item[k].position[2] = 0.0f;
                continue;
            }
            float head[3];
            uint16_t color[4];
            Place(c, p, *unit, data, kOwnerSpace, head, color);
            float d[3];
            Math::Vector3Sub(d, p.tail, head);
            const float squared = d[0] * d[0] + d[1] * d[1] + d[2] * d[2];
            const bool keep = squared <= kStillSquared ||
                              (squared >= shortest * shortest && squared <= longest * longest);
            if (!keep && squared < shortest * shortest) {
                const float k = shortest * Math::ReciprocalSqrt(squared);
                for (int a = 0; a < 3; ++a)
                    p.tail[a] = head[a] + d[a] * k;
            } else if (!keep && squared > longest * longest) {
                Math::Vector3Normalize(d, d);
                for (int a = 0; a < 3; ++a)
                    p.tail[a] = head[a] + longest * d[a];
            }
            WriteLineVertex(item[0], head, c.w, color);
            WriteLineVertex(item[1], p.tail, c.w, color);
            if constexpr (M == kFadingLines)
                item[1].color[3] = 0;
            for (int a = 0; a < 3; ++a)
                p.tail[a] = head[a];
        }
    }
}

template void DrawUnitType4::PrepareVertices<DrawUnitType4::kLines, 0>(DrawUnitType4*, FieldPoint*,
                                                                       const D&, void*,
                                                                       const DrawClock&);
template void DrawUnitType4::PrepareVertices<DrawUnitType4::kLines, 1>(DrawUnitType4*, FieldPoint*,
                                                                       const D&, void*,
                                                                       const DrawClock&);
template void DrawUnitType4::PrepareVertices<DrawUnitType4::kFadingLines, 0>(DrawUnitType4*,
                                                                             FieldPoint*, const D&,
                                                                             void*,
                                                                             const DrawClock&);
template void DrawUnitType4::PrepareVertices<DrawUnitType4::kFadingLines, 1>(DrawUnitType4*,
                                                                             FieldPoint*, const D&,
                                                                             void*,
                                                                             const DrawClock&);
#define FULGOR_QUAD_PREPARER(V)                                                                    \
    template void DrawUnitType4::PrepareVertices<DrawUnitType4::kQuads, V>(                        \
        DrawUnitType4*, FieldPoint*, const D&, void*, const DrawClock&);
FULGOR_QUAD_PREPARER(0)
FULGOR_QUAD_PREPARER(1)
FULGOR_QUAD_PREPARER(2)
FULGOR_QUAD_PREPARER(3)
FULGOR_QUAD_PREPARER(4)
FULGOR_QUAD_PREPARER(5)
FULGOR_QUAD_PREPARER(6)
FULGOR_QUAD_PREPARER(7)
#undef FULGOR_QUAD_PREPARER

} // namespace FulgorCore
