#pragma once

namespace FulgorCore {

// What a strip's or trail's frame geometry build refreshes for its vertex
// writer: the widths (distance from the line to either edge) at the head,
// the middle and the tail; the centre's and the edges' colours at the head
// and at the middle; and four colour deltas along the ribbon, read by
// variant: plain, the first from head to tail; centre line, the centre's
// then the edges'; two ranges, head to middle then middle to tail; both,
// the centre's and the edges' head to middle, then the centre's and the
// edges' middle to tail.
struct RibbonFrameValues {
    float headWidth = 0.0f;
    float middleWidth = 0.0f;
    float tailWidth = 0.0f;
    float centreColor[4] = {};
    float middleColor[4] = {};
    float edgeColor[4] = {};
    float middleEdgeColor[4] = {};
    float firstDelta[4] = {};
    float secondDelta[4] = {};
    float thirdDelta[4] = {};
    float fourthDelta[4] = {};
};

} // namespace FulgorCore
