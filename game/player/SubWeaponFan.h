// The fan of a homing-laser volley: how many lasers a row's volley makes and
// the angle each leaves at, from 30 to 150 degrees (measured from +x toward
// +y, so backward and to both sides of the ship).
#pragma once

#include <cstdint>

namespace SubWeaponFan {

// The most lasers of one volley: the size of the firing's target list.
constexpr int32_t kMostLasers = 100;

// The row's lasers per volley within 0 to 100.
constexpr int32_t Lasers(int16_t perVolley) {
    return perVolley < 0 ? 0 : (perVolley > kMostLasers ? kMostLasers : perVolley);
}

// Laser i of n in radians. A single laser leaves straight back, mid-fan
// (the spread divides by n - 1).
inline float Angle(int32_t i, int32_t n) {
    if (n <= 1)
        return 1.5707964f;
    return static_cast<float>(i) * (1.0f / static_cast<float>(n - 1)) * 120.0f * 3.1415927f *
               0.0055555557f +
           0.5235988f;
}

} // namespace SubWeaponFan
