#pragma once

#include <cstdint>

namespace FulgorCore {

class DrawUnit;

namespace ParticleKernel {

// The unit random values of a trail's widths and colours, drawn once when
// the trail is built, into its 35-word area: 0 the extra scalar, 1 the
// width scale, 2-4 head, middle and tail width, 5-9, 10-14, 15-19 head,
// middle and tail colour, 20-24, 25-29, 30-34 the centre line's. Draw
// order: extra, scale, head and tail width, head and tail colour; with the
// middle key the middle colour and width; with the centre line its head
// and tail colour, and its middle colour when both flags are set. Words
// the flags leave out are cleared, not drawn, so a later evaluation reads
// zeros rather than what the pool block held before. `Lead` is the number
// of words in the block ahead of the area (0 axis trails, 1 cross and
// billboard trails).
inline constexpr uint32_t kTrailRandomValues = 35;
// Where each value lies in the area.
enum TrailStartWord : uint32_t {
    kTrailJitter = 0,
    kTrailWidthScale = 1,
    kTrailHeadWidth = 2,
    kTrailMiddleWidth = 3,
    kTrailTailWidth = 4,
    kTrailHeadColour = 5,
    kTrailMiddleColour = 10,
    kTrailTailColour = 15,
    kTrailEdgeHeadColour = 20,
    kTrailEdgeMiddleColour = 25,
    kTrailEdgeTailColour = 30,
};

template <uint32_t Lead> void SampleTrailStartValues(DrawUnit* unit, void* block);

} // namespace ParticleKernel
} // namespace FulgorCore
