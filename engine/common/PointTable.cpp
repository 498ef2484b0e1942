#include "engine/common/PointTable.h"

namespace Mireku::Common {

Vector2 PointTable::Evaluate(float t) const {
    if (!points_ || count_ == 0)
        return {};
    // Truncation toward zero lets t in (-1, 0) extrapolate from the first segment.
    float ft = std::trunc(t);
    if (ft < 0.0f)
        return points_[0];
    if (ft < static_cast<float>(count_ - 1)) {
        uint32_t i = static_cast<uint32_t>(ft);
        return Vector2::Lerp(points_[i], points_[i + 1], t - ft);
    }
    return points_[count_ - 1];
}

} // namespace Mireku::Common
