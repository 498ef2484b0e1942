#pragma once

#include "engine/common/Vector2.h"

#include <cstdint>

namespace Mireku::Common {

// A curve of straight segments through `count` points (at least one), sampled at a
// fractional index.
class PointTable {
public:
    PointTable(const Vector2* points, uint32_t count) : points_(points), count_(count) {}
    Vector2 Evaluate(float t) const;

private:
    const Vector2* points_;
    uint32_t count_;
};

} // namespace Mireku::Common
