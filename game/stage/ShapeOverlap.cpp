#include "game/stage/ShapeOverlap.h"

namespace ShapeOverlap {

namespace {

bool Miss(const HitShape&, const HitShape&) {
    return false;
}

bool BoxCircle(const HitShape& box, const HitShape& circle) {
    return CircleBox(circle, box);
}
bool SegmentCircle(const HitShape& segment, const HitShape& circle) {
    return CircleSegment(circle, segment);
}

float Cross(float ox, float oy, float ux, float uy, float vx, float vy) {
    return (ux - ox) * (vy - oy) - (uy - oy) * (vx - ox);
}

constexpr Function kTable[4][4] = {
    {Miss, Miss, Miss, Miss},
    {Miss, CircleCircle, CircleBox, CircleSegment},
    {Miss, BoxCircle, BoxBox, SegmentBox},
    {Miss, SegmentCircle, SegmentBox, SegmentSegment},
};

} // namespace

Function For(uint32_t kindA, uint32_t kindB) {
    if (kindA > 3 || kindB > 3)
        return Miss;
    return kTable[kindA][kindB];
}

bool BoxesOverlap(const HitShape& a, const HitShape& b) {
    return !(a.maxX < b.minX || b.maxX < a.minX || a.maxY < b.minY || b.maxY < a.minY);
}

bool CircleCircle(const HitShape& a, const HitShape& b) {
    if (!BoxesOverlap(a, b))
        return false;
    const float dx = a.data[0] - b.data[0];
    const float dy = a.data[1] - b.data[1];
    const float dr = a.data[2] - b.data[2];
    return dr * dr >= dx * dx + dy * dy;
}

bool CircleBox(const HitShape& circle, const HitShape& box) {
    if (!BoxesOverlap(circle, box))
        return false;
    const float cx = circle.data[0], cy = circle.data[1], r2 = circle.data[2] * circle.data[2];
    const float xs[4] = {box.minX, box.maxX, box.minX, box.maxX};
    const float ys[4] = {box.minY, box.minY, box.maxY, box.maxY};
    int inside = 0;
    for (int i = 0; i < 4; ++i) {
        const float dx = xs[i] - cx, dy = ys[i] - cy;
        if (r2 > dx * dx + dy * dy)
            ++inside;
    }
    return inside >= 1 && inside <= 3;
}

bool BoxBox(const HitShape& a, const HitShape& b) {
    return BoxesOverlap(a, b);
}

bool SegmentBox(const HitShape& a, const HitShape& b) {
    return BoxesOverlap(a, b);
}

bool SegmentSegment(const HitShape& a, const HitShape& b) {
    if (!BoxesOverlap(a, b))
        return false;
    const float p1x = a.data[0], p1y = a.data[1], p2x = a.data[2], p2y = a.data[3];
    const float q1x = b.data[0], q1y = b.data[1], q2x = b.data[2], q2y = b.data[3];
    if (Cross(p1x, p1y, q1x, q1y, q2x, q2y) * Cross(p2x, p2y, q1x, q1y, q2x, q2y) > 0.0f)
        return false;
    if (Cross(q1x, q1y, p1x, p1y, p2x, p2y) * Cross(q2x, q2y, p1x, p1y, p2x, p2y) > 0.0f)
        return false;
    return true;
}

bool CircleSegment(const HitShape& circle, const HitShape& segment) {
    if (!BoxesOverlap(circle, segment))
        return false;
    const float cx = circle.data[0], cy = circle.data[1], r = circle.data[2];
    const float x1 = segment.data[0], y1 = segment.data[1];
    const float dx = segment.data[2] - x1, dy = segment.data[3] - y1;
    const float len2 = dx * dx + dy * dy;
    float t = 0.0f;
    if (len2 > 0.0f) {
        t = ((cx - x1) * dx + (cy - y1) * dy) / len2;
        t = t < 0.0f ? 0.0f : (t > 1.0f ? 1.0f : t);
    }
    const float nx = x1 + t * dx - cx, ny = y1 + t * dy - cy;
    return nx * nx + ny * ny <= r * r;
}

} // namespace ShapeOverlap
