#pragma once

#include "effects/drawunits/DrawUnit.h"
#include "effects/drawunits/DrawUnitOps.h"
#include "effects/drawunits/StripFrameRecord.h"
#include "effects/drawunits/StripHistory.h"

#include <cstdint>

namespace FulgorCore {

struct PointHistoryEntry;
struct StripPoint;

// Draw type 6, a ribbon through a run of points, for every vertex format:
// the points of its source and the members of its second pool block (the
// frame record, whose first entries are the unit's members). A generated
// line is computed again every frame (dragging behind its last shape with
// a lag); a history grows a chain of nodes, one per spacing the owner
// travels; point lists come from the data or the owner chain and are built
// with the frame geometry. Its hook chains history blocks; Draw forwards
// to the submit member.
class StripDrawUnitBase : public DrawUnit {
public:
    enum PointSource : uint32_t {
        kGeneratedLine = 0,
        kDataPoints = 1,
        kOwnerChain = 2,
        kHistory = 3
    };

    // What the data decided: the point source, the generated line's point
    // count, the history's node spacing, the unit random values of the
    // line length, lag and jitter, the vertices a point and their stride,
    // and the build and submit members.
    struct Values {
        uint32_t pointSource = kGeneratedLine;
        uint32_t pointCount = 0;
        float spacing = 0.0f;
        float lengthSample = 0.0f;
        float lagSample = 0.0f;
        float jitterSample = 0.0f;
        uint32_t verticesPerPoint = 2;
        uint32_t vertexStride = 36;
        DrawUnitOps ops;
    };

    // The frame geometry build and submit of one vertex format for each
    // point source and flag pair: the generated line by MidKey x 2 +
    // CentreLine, the others by CentreLine.
    struct MemberTable {
        struct Pair {
            DrawUnitOps::Build build;
            DrawUnitOps::Submit submit;
        };
        Pair generatedLine[4];
        Pair dataPoints[2];
        Pair ownerChain[2];
        Pair history[2];
        uint32_t vertexStride;
    };

    // Takes the frame record's block, and the point array of a generated
    // line (frame memory) or the first history block (pool); without them
    // the particle ends.
    StripDrawUnitBase(ParticleInstance* owner, const ParticleResource* data, const Values& values);
    // Built from the strip data: the frame record, the unit random values
    // of the seven widths and lengths and the six colours (every one, in
    // the data's order, whatever the source uses), then the point source's
    // storage and the members of `members` its flags choose. The particle
    // ends when a block or the frame memory is missing, when a data-point
    // strip has no point, and for a point source without a meaning (4-7);
    // members it never reached stay the no-ops.
    StripDrawUnitBase(ParticleInstance* owner, const ParticleResource* data,
                      const MemberTable& members);
    ~StripDrawUnitBase() override;
    void Step() override;
    void Draw() override;

    // The point members, one for every format; each first-frame member
    // stores its per-frame member in place of itself. A generated line lies
    // from the owner along its axis, the inner points jittered. The last
    // line is never read once frame memory has handed its block out again:
    // the first frame takes a new array when the strip was built in an
    // earlier frame, and a later frame whose last line is older than that
    // starts over as the first.
    static float* GenerateLinePoints(DrawUnit* unit, const DrawClock& clock, float* headFraction);
    static float* UpdateLinePoints(DrawUnit* unit, const DrawClock& clock, float* headFraction);
    static float* UpdateLinePointsWithLag(DrawUnit* unit, const DrawClock& clock,
                                          float* headFraction);
    static float* InitPointHistory(DrawUnit* unit, const DrawClock& clock, float* headFraction);
    static float* UpdatePointHistory(DrawUnit* unit, const DrawClock& clock, float* headFraction);

    // The frame geometry builds of format N by point source (GeneratedLine,
    // DataPoints, OwnerChain, History) and variant: one take of frame
    // memory (the owner ends without it), the texture words, the widths
    // and colours into the record.
    template <uint32_t N, class Source, class Variant>
    static void BuildFrameGeometry(DrawUnit* unit, const DrawClock& clock, const float* transforms,
                                   float widthScale);
    // The submits of format N by how the geometry reads the points
    // (GeneratedLine, PointList, History) and variant: a command from the
    // record area first, then V n vertices and 6 (V - 1)(n - 1) indices;
    // no point, no room for the command or a refused reservation draws
    // nothing (and reserves nothing that could be drawn unwritten).
    template <uint32_t N, class Source, class Variant> static void SubmitDraw(DrawUnit* unit);
    // The widths and colours of the frame: the width scale times the
    // owner's scale, then the variant's colours, each times the owner's
    // colour (or, Modulated, the unit's draw colour from it), and their
    // deltas along the strip.
    template <class Variant, bool Modulated>
    void EvaluateWidthsAndColors(const DrawClock& clock, float ownerScale);

    // The generated line's vertex writers of format N, by variant: the
    // point count, the middle from the data, the polygon offset once, the
    // record and the camera into the ribbon writer; n x V vertices.
    template <uint32_t N, class Variant>
    static void WriteLineRibbon(DrawUnit* unit, void* vertices);
    // The data's middle point index (0 without one).
    uint32_t MiddleIndex() const;
    // The most points one reservation can take at this strip's vertices a
    // point and stride, by the renderer's pool buffers (no bound without
    // a renderer).
    uint32_t DrawablePoints() const;

    StripFrameRecord* record = nullptr;
    float jitterSample;
    float lengthSample;
    float lagSample;
    float widthScaleSample = 0.0f;
    float headWidthSample = 0.0f;
    float middleWidthSample = 0.0f;
    float tailWidthSample = 0.0f;
    // Head, middle and tail colours, then the edges' (five values each).
    float colorSamples[6][5] = {};
    uint32_t verticesPerPoint;
    uint32_t vertexStride;
    // Generated line: this frame's points (three floats each), and the
    // frame-memory frame they were taken in.
    float* points = nullptr;
    uint32_t pointsFrame = 0;
    uint32_t pointCount;
    // History: the blocks, the oldest and the newest node, the nodes added
    // after the first, the spacing, the distance of the node before the
    // newest and the distance covered since the newest was added.
    StripHistory history;
    PointHistoryEntry* firstNode = nullptr;
    PointHistoryEntry* newestNode = nullptr;
    uint32_t segmentCount = 0;
    float spacing;
    float baseDistance = 0.0f;
    float travelled;
    // Point lists, built with the frame geometry.
    StripPoint* stripPoints = nullptr;
    uint32_t stripPointCount = 0;

private:
    // The line into `out`: the owner's axis and position, the length, the
    // points by accumulated steps, the jitter of the inner points.
    void ComputeLine(float* out, const DrawClock& clock);
    // A line's array of this frame's memory; null, the owner stopped,
    // without room.
    float* TakeLine();
    float* RenewLine(const DrawClock& clock);
};

} // namespace FulgorCore
