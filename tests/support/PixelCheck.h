// Reads one pixel of an RGBA8 picture (row 0 at the top) against an expected
// colour, with a tolerance per channel for rounding in blends and filters.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <vector>

namespace testing_graphics {

inline ::testing::AssertionResult PixelIs(const std::vector<uint8_t>& pixels, int width, int x,
                                          int y, int r, int g, int b, int tolerance) {
    const size_t at = static_cast<size_t>((y * width + x) * 4);
    if (at + 4 > pixels.size())
        return ::testing::AssertionFailure() << "pixel (" << x << ", " << y << ") is outside";
    const uint8_t* p = &pixels[at];
    if (std::abs(p[0] - r) <= tolerance && std::abs(p[1] - g) <= tolerance &&
        std::abs(p[2] - b) <= tolerance)
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure()
           << "pixel (" << x << ", " << y << ") is " << int(p[0]) << ", " << int(p[1]) << ", "
           << int(p[2]) << "; expected " << r << ", " << g << ", " << b;
}

} // namespace testing_graphics
