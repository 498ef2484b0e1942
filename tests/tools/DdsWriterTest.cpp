// The BC1 pictures of one colour over clear (masks) the data tools write
// (the game menu's names), read back by the format's own decoding rules.
#include "tools/dds/DdsWriter.h"

#include "sys/dds.h"

#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <vector>

namespace {

// A texel of a BC1 block as it reads: opaque with its 5:6:5 colour, or
// clear.
struct Texel {
    bool opaque;
    uint16_t colour;
    bool operator==(const Texel&) const = default;
};

// The 16 texels of a BC1 block: two 5:6:5 colours, then 2 bits a texel;
// with the first colour above the second, four opaque colours, else three
// (the third halfway) and a clear black one (index 3).
std::array<Texel, 16> Decode(const uint8_t* block) {
    const uint16_t c0 = static_cast<uint16_t>(block[0] | block[1] << 8);
    const uint16_t c1 = static_cast<uint16_t>(block[2] | block[3] << 8);
    const uint32_t bits = static_cast<uint32_t>(block[4]) | block[5] << 8 | block[6] << 16 |
                          static_cast<uint32_t>(block[7]) << 24;
    std::array<Texel, 16> texels{};
    for (int i = 0; i < 16; ++i) {
        const uint32_t index = bits >> (2 * i) & 3;
        if (index == 0)
            texels[i] = {true, c0};
        else if (index == 1)
            texels[i] = {true, c1};
        else if (c0 > c1 || index == 2)
            texels[i] = {true, 0xFFFF}; // a blend: never what a mask writes
        else
            texels[i] = {false, 0};
    }
    return texels;
}

constexpr uint16_t kWhite = 0xFFFF;
constexpr uint16_t Rgb565(int r, int g, int b) {
    return static_cast<uint16_t>(r >> 3 << 11 | g >> 2 << 5 | b >> 3);
}

TEST(Bc1Mask, TexelsHalfCoveredOrMoreTakeTheColourTheRestAreClear) {
    const uint8_t alpha[16] = {0, 1, 64, 127, 128, 129, 200, 255, 255, 0, 128, 127, 0, 0, 255, 90};
    for (const auto& [r, g, b] : {std::array<int, 3>{255, 255, 255}, {0xF8, 0x84, 0x18}}) {
        uint8_t block[8];
        tools::EncodeMaskBc1(static_cast<uint8_t>(r), static_cast<uint8_t>(g),
                             static_cast<uint8_t>(b), alpha, block);
        const std::array<Texel, 16> read = Decode(block);
        for (int i = 0; i < 16; ++i)
            EXPECT_EQ(read[i], (alpha[i] >= 128 ? Texel{true, Rgb565(r, g, b)} : Texel{false, 0}))
                << "texel " << i << " of alpha " << int(alpha[i]);
    }
}

// White, the largest colour, still reads with its clear texels: a block
// with its colours in the four-colour order would have none.
TEST(Bc1Mask, AWhiteBlockKeepsItsClearTexels) {
    uint8_t alpha[16] = {};
    alpha[5] = 255;
    uint8_t block[8];
    tools::EncodeMaskBc1(255, 255, 255, alpha, block);
    const std::array<Texel, 16> read = Decode(block);
    for (int i = 0; i < 16; ++i)
        EXPECT_EQ(read[i], (i == 5 ? Texel{true, kWhite} : Texel{false, 0})) << "texel " << i;
}

// A picture of 6 by 5 texels: 2 by 2 blocks row by row, the texels past
// its right and bottom edges clear.
TEST(Bc1Mask, APictureLaysItsBlocksRowByRowClearPastItsEdges) {
    constexpr uint32_t kWidth = 6, kHeight = 5;
    uint8_t alpha[kWidth * kHeight];
    for (uint32_t y = 0; y < kHeight; ++y)
        for (uint32_t x = 0; x < kWidth; ++x)
            alpha[y * kWidth + x] = (x + 2 * y) % 3 == 0 ? 255 : 0;
    const std::vector<uint8_t> file = tools::WriteMaskBc1Dds(255, 255, 255, alpha, kWidth, kHeight);
    sys::DdsImage image;
    ASSERT_TRUE(sys::ParseDds(file.data(), file.size(), image));
    EXPECT_EQ(image.format, sys::DdsFormat::BC1);
    EXPECT_EQ(image.width, kWidth);
    EXPECT_EQ(image.height, kHeight);
    const sys::DdsSurface& s = image.Surface(0, 0);
    ASSERT_EQ(s.size, 4u * 8u);
    for (uint32_t by = 0; by < 2; ++by)
        for (uint32_t bx = 0; bx < 2; ++bx) {
            const std::array<Texel, 16> read = Decode(s.data + (by * 2 + bx) * 8);
            for (uint32_t i = 0; i < 16; ++i) {
                const uint32_t x = bx * 4 + i % 4, y = by * 4 + i / 4;
                const bool inked = x < kWidth && y < kHeight && alpha[y * kWidth + x] != 0;
                EXPECT_EQ(read[i], (inked ? Texel{true, kWhite} : Texel{false, 0}))
                    << "texel (" << x << ", " << y << ")";
            }
        }
}

} // namespace
