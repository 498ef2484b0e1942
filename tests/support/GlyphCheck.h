// Whether a region of a picture carries glyphs a player can read: it is not
// one flat colour, a fair part of it (the strokes) stands out from its most
// common colour (the ground), and it is mostly ground around them. The
// sample pictures' text and the game menu's names on screen are read alike.
#pragma once

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <map>
#include <string>

namespace testsupport {

// How far from the ground, summed over a pixel's four bytes, a stroke is.
inline constexpr int kStrokeContrast = 160;

// The region (x0, y0)-(x1, y1), right and bottom exclusive, of a picture
// whose pixel (x, y) `pixelAt` answers as its four bytes in one word: empty
// when at least one pixel in `share` is a stroke and at most seven in ten
// are, else what it shows instead.
template <class PixelAt>
std::string GlyphsIn(int x0, int y0, int x1, int y1, int share, PixelAt pixelAt) {
    std::map<uint32_t, int> counts;
    for (int y = y0; y < y1; ++y)
        for (int x = x0; x < x1; ++x)
            ++counts[pixelAt(x, y)];
    if (counts.empty())
        return "an empty region";
    const uint32_t ground = std::max_element(counts.begin(), counts.end(), [](auto& a, auto& b) {
                                return a.second < b.second;
                            })->first;
    const auto byte = [](uint32_t px, int i) { return static_cast<int>(px >> (8 * i) & 0xFF); };
    int strokes = 0;
    for (const auto& [px, n] : counts) {
        int off = 0;
        for (int i = 0; i < 4; ++i)
            off += std::abs(byte(px, i) - byte(ground, i));
        if (off > kStrokeContrast)
            strokes += n;
    }
    const int all = (x1 - x0) * (y1 - y0);
    if (strokes * share < all)
        return std::to_string(strokes) + " of " + std::to_string(all) + " pixels stand out";
    if (strokes * 10 > all * 7)
        return std::to_string(strokes) + " of " + std::to_string(all) +
               " pixels stand out: not mostly ground around the glyphs";
    return {};
}

} // namespace testsupport
