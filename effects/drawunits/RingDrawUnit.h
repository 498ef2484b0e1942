#pragma once

#include "effects/drawunits/DrawCommand.h"
#include "effects/drawunits/DrawUnit.h"
#include "effects/drawunits/DrawUnitOps.h"

#include <cstdint>

namespace FulgorCore {

struct RingFrameRecord;

// Draw type 7, a band around a circle in the plane of its facing axis.
// One class, one virtual table, for every vertex format: what the format
// changes is in the members the constructor stores (the frame geometry
// build and the submit) and the facing axis in the ring-point transform,
// so Update and Draw only forward to them.
class RingDrawUnit final : public DrawUnit {
public:
    static constexpr uint32_t kFewestSegments = 3;
    static constexpr uint32_t kMostSegments = 64;

    // Places the points of one circle table entry in world space: point i
    // (s, c) = (sin, cos) becomes radius (s, c) in the plane across the
    // facing axis plus shift times the matrix's row of that axis, the whole
    // local point then through the matrix (so a scaled matrix scales the
    // shift twice). Nothing for count 0.
    using PointTransform = void (*)(float* out, const float* points, uint32_t count, float radius,
                                    float shift, const float* matrix);
    template <uint32_t Axis>
    static void TransformRingPoints(float* out, const float* points, uint32_t count, float radius,
                                    float shift, const float* matrix);
    static void TransformNothing(float*, const float*, uint32_t, float, float, const float*) {}
    // By facing axis: X (the local YZ plane), Y (XZ), Z (XY).
    static const PointTransform kPointTransforms[3];

    // What the data decided: the vertex format, the segment count and the
    // chosen members.
    struct Values {
        uint32_t format = 0;
        uint32_t segmentCount = 0;
        DrawUnitOps ops;
    };
    // The build and submit of one vertex format, plain and with the centre
    // line.
    struct MemberTable {
        struct Pair {
            DrawUnitOps::Build build;
            DrawUnitOps::Submit submit;
        };
        Pair plain;
        Pair centreLine;
        uint32_t format;
    };
    template <uint32_t N> static const MemberTable& Members();

    // Takes the frame record's block; without one the particle ends.
    RingDrawUnit(ParticleInstance* owner, const ParticleResource* data, const Values& values);
    // Built from the ring data: the frame record, the segment count (held
    // to the 3-64 the circle tables cover), the unit random values of the
    // seven floats and the three colours (all ten, in this order, whatever
    // the variant uses), the members of `members` the centre-line flag
    // chooses and the point transform of the facing axis. Without a record
    // the particle ends and every member stays the no-op.
    RingDrawUnit(ParticleInstance* owner, const ParticleResource* data, const MemberTable& members);
    ~RingDrawUnit() override;
    using DrawUnit::Update;
    void Update(const DrawClock& clock) override;
    void Draw() override;

    // The frame geometry of format N: one take of frame memory for the
    // circles and the texture words (tested before anything is stored, so
    // a failed take leaves last frame's arrays), the parameter bytes, the
    // texture transforms, the matrix, the colours and the circles. Plain:
    // inner (Rad - Wid, -Hei) and outer (Rad + Wid, +Hei) in the draw
    // colour; centre line: inner (Rad - Wid WidI, -Hei HeiI), centre (Rad,
    // 0), outer (Rad + Wid WidO, +Hei HeiO), their colours times the draw
    // colour. The texture's v runs from -0.5 by 1 / n added point by point.
    template <uint32_t N, class Variant>
    static void BuildFrameGeometry(DrawUnit* unit, const DrawClock& clock, const float* transforms,
                                   float widthScale);

    DrawCommand command;
    DrawUnitOps ops;
    RingFrameRecord* record = nullptr;
    uint32_t format;
    uint32_t segmentCount;
    uint8_t parameters[4] = {};
    // Hei, HeiI, HeiO, Wid, WidI, WidO, Rad.
    float floatSamples[7] = {};
    // ColC, ColI, ColO (five values each).
    float colorSamples[3][5] = {};
    PointTransform transformPoints = TransformNothing;
};

} // namespace FulgorCore
