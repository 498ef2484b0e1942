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
    // line length, lag and jitter, and the build and submit members.
    struct Values {
        uint32_t pointSource = kGeneratedLine;
        uint32_t pointCount = 0;
        float spacing = 0.0f;
        float lengthSample = 0.0f;
        float lagSample = 0.0f;
        float jitterSample = 0.0f;
        DrawUnitOps ops;
    };

    // Takes the frame record's block, and the point array of a generated
    // line (frame memory) or the first history block (pool); without them
    // the particle ends.
    StripDrawUnitBase(ParticleInstance* owner, const ParticleResource* data, const Values& values);
    ~StripDrawUnitBase() override;
    void Step() override;
    void Draw() override;

    // The point members, one for every format; each first-frame member
    // stores its per-frame member in place of itself. A generated line lies
    // from the owner along its axis, the inner points jittered.
    static float* GenerateLinePoints(DrawUnit* unit, const DrawClock& clock, float* headFraction);
    static float* UpdateLinePoints(DrawUnit* unit, const DrawClock& clock, float* headFraction);
    static float* UpdateLinePointsWithLag(DrawUnit* unit, const DrawClock& clock,
                                          float* headFraction);
    static float* InitPointHistory(DrawUnit* unit, const DrawClock& clock, float* headFraction);
    static float* UpdatePointHistory(DrawUnit* unit, const DrawClock& clock, float* headFraction);

    StripFrameRecord* record = nullptr;
    float lengthSample;
    float lagSample;
    float jitterSample;
    // Generated line: this frame's points (three floats each).
    float* points = nullptr;
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
    float* RenewLine(const DrawClock& clock);
};

} // namespace FulgorCore
