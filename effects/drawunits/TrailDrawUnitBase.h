#pragma once

#include "effects/drawunits/DrawCommand.h"
#include "effects/drawunits/DrawUnit.h"
#include "effects/drawunits/DrawUnitOps.h"
#include "effects/drawunits/StripVariant.h"
#include "effects/drawunits/TrailFrameRecord.h"
#include "effects/drawunits/TrailHistoryPoint.h"

#include <cstdint>

namespace FulgorCore {

class UnitInstance;

// Draw type 12, a ribbon through the last n positions of its owner: what
// the axis, cross and billboard trails share. The history holds n points
// (index 0 the newest) and shifts by one each sample interval; it is copied
// every frame into fresh frame memory with the axes the owner had at each
// point (one array for the axis trail, two for the cross trail, none for
// the billboard trail), and resampled into n evenly spaced points for the
// geometry. A trail of fewer than 2 points has no segment: it keeps its
// history and evaluates its values as any other, and draws nothing.
class TrailDrawUnitBase : public DrawUnit {
public:
    // Sub-kinds of the data: 0 billboard, 1-3 axis X, Y, Z, 4 cross.
    static constexpr uint32_t kCrossKind = 4;

    // What the data decided: the sub-kind, the point count, the sample
    // interval (in time steps, at least 1), the local-space flag, and the
    // build, submit and vertex-writer members.
    struct Values {
        uint32_t subKind = 0;
        uint32_t pointCount = 2;
        float interval = 1.0f;
        bool localSpace = false;
        DrawUnitOps ops;
    };
    // The values the trail data gives (members left to the class): the
    // sub-kind (bits 0-2), the point count (bits 3-10), the sample interval
    // (bits 19-26, raised to 1 when 0: the history would otherwise take
    // points for ever within one frame) and the local-space option (bit
    // 29). Defaults without trail data.
    static Values ReadValues(const ParticleResource& data);

    // The frame geometry build, submit and vertex writer of one class and
    // vertex format for each flag pair, by MidKey x 2 + CentreLine.
    struct MemberTable {
        struct Set {
            DrawUnitOps::Build build;
            DrawUnitOps::Submit submit;
            DrawUnitOps::Write write;
        };
        Set sets[4];
    };

    // Takes the frame record's block and the first history with its axes
    // (frame memory); without them the particle ends. `axisArrays` is the
    // class's (0-2), `lead` the words ahead of the record's start values.
    TrailDrawUnitBase(ParticleInstance* owner, const ParticleResource* data, const Values& values,
                      uint32_t axisArrays, uint32_t lead);
    // Built from the trail data: the values it gives, the record and the
    // first history as above; then, only when those were had, the unit
    // random values of the record's layout and the members of `members`
    // that its MidKey and CentreLine flags choose. A construction that
    // failed keeps the no-op members, so nothing unset ever runs.
    TrailDrawUnitBase(ParticleInstance* owner, const ParticleResource* data,
                      const MemberTable& members, uint32_t axisArrays, uint32_t lead);
    ~TrailDrawUnitBase() override;
    void Draw() override;

    DrawCommand command;
    DrawUnitOps ops;
    TrailFrameRecord* record = nullptr;
    uint32_t subKind;
    float interval;
    float accumulator = 0.0f;
    uint32_t historyLength;
    uint8_t localSpace;
    uint8_t axisArrays;
    uint8_t lead;
    uint8_t parameters[4] = {};
    TrailHistoryPoint* history = nullptr;
    float* recordedAxes[2] = {};
    // The frame-memory frame the history and its axes were taken in.
    uint32_t historyFrame = 0;
    const UnitInstance* referenceUnit = nullptr;

    // The point members, one per class for every format (A axis arrays: 1
    // axis, 2 cross, 0 billboard). The first frame fills the history with
    // the start position (and the axes with the owner's rows) and stores the
    // per-frame member in its place; every later frame shifts the history
    // once an interval has passed and puts the owner's position at point 0.
    // Each takes this frame's arrays from frame memory and returns the
    // distance array the resampler uses, null without memory. A history
    // is never read once frame memory has handed its block out again: the
    // first frame takes a new one when the trail was built in an earlier
    // frame, and a later frame whose history is older than that starts
    // over as the first.
    template <uint32_t A>
    static float* InitPointHistory(DrawUnit* unit, const DrawClock& clock, float* headFraction);
    template <uint32_t A>
    static float* UpdatePointHistory(DrawUnit* unit, const DrawClock& clock, float* headFraction);
    // The history's n points at equal spacing along its length into
    // `positions` (each axis array blended alike into `axesOut`), then into
    // world space when the points are local; returns the usable length.
    template <uint32_t A>
    float ResampleHistory(float* positions, float* const* axesOut, float* distances,
                          const TrailHistoryPoint* points, const float* const* axes, uint32_t n,
                          float headFraction) const;

    // The frame geometry builds of format N for the record layout with
    // `Lead` words ahead of the start values (0 the axis trail, 1 the cross
    // and billboard trails, which share one body), by variant: one take of
    // frame memory for the texture words of the n points (the owner ends
    // without it, the record's words left null and its values as they
    // were), the words themselves, then the widths (the width scale times
    // `widthScale`: 1, or the billboard owner's plane scale) and the
    // colours times the unit's draw colour, with their deltas.
    template <uint32_t N, uint32_t Lead, class Variant>
    static void BuildFrameGeometry(DrawUnit* unit, const DrawClock& clock,
                                   const float* transforms, float widthScale);

    // The vertex writers (the `write` member) of the class with A axis
    // arrays and format N, by variant: the point count, the middle from
    // the data, the polygon offset once, the parameters and the record's
    // arrays (the camera for the billboard trail) into the ribbon writer.
    // They fill n x V vertices, twice that for the cross trail.
    template <uint32_t N, uint32_t A, class Variant>
    static void WriteRibbonVertices(DrawUnit* unit, void* vertices);
    // The data's middle point count (0 without one).
    uint32_t MiddleCount() const;

protected:
    // The Update of the trail with A axis arrays and format N: the render
    // record, the point member (the owner stopped when it finds no
    // memory), the owner's axes at point 0, with 2 points or more the
    // resampler, and the frame geometry build (width scale 1, or the
    // owner's plane scale for the billboard trail).
    template <uint32_t A, uint32_t N> void UpdateTrail(const DrawClock& clock);
    // Every output position through the reference unit's matrix when the
    // points are held in its local space.
    void ToWorld(float* positions) const;

private:
    // The history's points and axis arrays in one block of this frame's
    // memory; false without room.
    bool TakeHistory();
    // The start position in the reference unit's space when local.
    void LocalPosition(const float* world, float* out) const;
};

} // namespace FulgorCore
