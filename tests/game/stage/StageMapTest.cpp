#include "game/stage/StageMap.h"

#include "tools/sampledata/StageData.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

namespace {

std::vector<uint8_t> Map(uint32_t width, uint32_t height, uint8_t bits, size_t cellBytes,
                         uint8_t cellWidth = 16, uint8_t cellHeight = 32) {
    StageMapHeader h{};
    h.width = width;
    h.height = height;
    h.cellWidth = cellWidth;
    h.cellHeight = cellHeight;
    h.bits = bits;
    std::vector<uint8_t> out(sizeof h + cellBytes);
    std::memcpy(out.data(), &h, sizeof h);
    for (size_t i = 0; i < cellBytes; ++i)
        out[sizeof h + i] = static_cast<uint8_t>(i * 7 + 1);
    return out;
}

} // namespace

// The header written byte by byte as the map tool lays it out, so that a
// field read from the wrong offset (or a struct that drifts) shows.
TEST(StageMap, HeaderFieldsSitAtTheirFileOffsets) {
    constexpr uint32_t kWidth = 0x103; // both low bytes matter: 03 01 00 00
    std::vector<uint8_t> file(20 + kWidth * 2, 0);
    const uint8_t tool[8] = {'F', 'M', 'F', '_', 0xEE, 0xEE, 0xEE, 0xEE};
    std::memcpy(file.data(), tool, sizeof tool); // bytes 0-7: not read
    file[8] = 0x03;                              // u32 width, little-endian
    file[9] = 0x01;
    file[12] = 0x02; // u32 height
    file[16] = 24;   // cell width in pixels
    file[17] = 40;   // cell height in pixels
    file[18] = 16;   // not read: a valid cell width in the wrong place
    file[19] = 8;    // bits per cell
    for (size_t i = 20; i < file.size(); ++i)
        file[i] = static_cast<uint8_t>(i * 3);
    const StageMap a(file.data(), static_cast<uint32_t>(file.size()));
    ASSERT_TRUE(a.HasCells());
    EXPECT_EQ(a.GetWidth(), 259u);
    EXPECT_EQ(a.GetHeight(), 2u);
    EXPECT_EQ(a.GetCellWidth(), 24u);
    EXPECT_EQ(a.GetCellHeight(), 40u);
    EXPECT_EQ(a.GetBits(), 8u);
    EXPECT_EQ(a.GetPixelWidth(), 6216.0f);
    EXPECT_EQ(a.GetPixelHeight(), 80.0f);
    EXPECT_EQ(a.GetCell(0, 0), uint32_t{file[20]}) << "cells start at byte 20";
    EXPECT_EQ(a.GetCell(258, 1), uint32_t{file[20 + 259 + 258]});

    // The same header with 16 bits per cell at byte 19: twice the bytes.
    file[19] = 16;
    EXPECT_FALSE(StageMap(file.data(), static_cast<uint32_t>(file.size())).HasCells());
    file.resize(20 + kWidth * 2 * 2);
    for (size_t i = 20; i < file.size(); ++i)
        file[i] = static_cast<uint8_t>(i * 5);
    const StageMap b(file.data(), static_cast<uint32_t>(file.size()));
    ASSERT_TRUE(b.HasCells());
    EXPECT_EQ(b.GetBits(), 16u);
    EXPECT_EQ(b.GetCell(1, 0), uint32_t{file[22]} | uint32_t{file[23]} << 8);
    EXPECT_EQ(b.GetCell(258, 1), uint32_t{file[20 + 2 * 517]} | uint32_t{file[21 + 2 * 517]} << 8);
}

TEST(StageMap, ReadsEightAndSixteenBitCellsRowByRow) {
    const auto eight = Map(3, 2, 8, 6);
    const StageMap a(eight.data(), static_cast<uint32_t>(eight.size()));
    ASSERT_TRUE(a.HasCells());
    EXPECT_EQ(a.GetCell(0, 0), 1u);
    EXPECT_EQ(a.GetCell(2, 0), 15u);
    EXPECT_EQ(a.GetCell(0, 1), 22u); // row 1 starts at byte 3
    EXPECT_EQ(a.GetPixelWidth(), 48.0f);
    EXPECT_EQ(a.GetPixelHeight(), 64.0f);

    const auto sixteen = Map(2, 2, 16, 8);
    const StageMap b(sixteen.data(), static_cast<uint32_t>(sixteen.size()));
    ASSERT_TRUE(b.HasCells());
    EXPECT_EQ(b.GetCell(0, 0), 1u | 8u << 8);            // little-endian
    EXPECT_EQ(b.GetCell(1, 1), uint32_t{43} | 50u << 8); // bytes 6 and 7
    EXPECT_EQ(b.GetCell(2, 0), 0u) << "outside the map";
    EXPECT_EQ(b.GetCell(0, 2), 0u);
}

TEST(StageMap, HeaderIsCheckedAgainstTheFileBeforeAnyCellIsRead) {
    // One cell short: the header promises more than the file holds.
    const auto shortMap = Map(4, 4, 16, 31);
    const StageMap a(shortMap.data(), static_cast<uint32_t>(shortMap.size()));
    EXPECT_TRUE(a.HasHeader());
    EXPECT_FALSE(a.HasCells());
    EXPECT_EQ(a.GetCell(0, 0), 0u);

    // A product of the two words that wraps in 32 (and, times two, 64) bits.
    const auto huge = Map(0x80000000u, 0x80000000u, 16, 8);
    EXPECT_FALSE(StageMap(huge.data(), static_cast<uint32_t>(huge.size())).HasCells());
    const auto wraps32 = Map(0x10000u, 0x10000u, 8, 16);
    EXPECT_FALSE(StageMap(wraps32.data(), static_cast<uint32_t>(wraps32.size())).HasCells());

    // Exactly fitting is fine; a zero-height map has no cells to read.
    const auto exact = Map(4, 4, 16, 32);
    EXPECT_TRUE(StageMap(exact.data(), static_cast<uint32_t>(exact.size())).HasCells());
    const auto flat = Map(1000, 0, 8, 0);
    EXPECT_EQ(StageMap(flat.data(), static_cast<uint32_t>(flat.size())).GetCell(0, 0), 0u);
}

TEST(StageMap, OtherCellWidthsAndShortFilesUseNoCell) {
    const auto four = Map(2, 2, 4, 8);
    const StageMap a(four.data(), static_cast<uint32_t>(four.size()));
    EXPECT_TRUE(a.HasHeader());
    EXPECT_FALSE(a.HasCells());
    EXPECT_EQ(a.GetPixelWidth(), 32.0f) << "the header still sizes the map";

    const auto header = Map(2, 2, 8, 0);
    const StageMap b(header.data(), 19);
    EXPECT_FALSE(b.HasHeader());
    EXPECT_EQ(b.GetWidth(), 0u);
    EXPECT_FALSE(StageMap(nullptr, 100).HasHeader());
}

TEST(StageMap, OnlyValuesOneTo1023Place) {
    EXPECT_FALSE(StageMap::IsPlacing(0));
    EXPECT_TRUE(StageMap::IsPlacing(1));
    EXPECT_TRUE(StageMap::IsPlacing(1023));
    EXPECT_FALSE(StageMap::IsPlacing(1024));
}

TEST(StageMap, SampleMapsCarryBothCellWidthsAndEveryKindOfValue) {
    bool eight = false, sixteen = false;
    for (uint32_t m = 0; m < SampleData::kStageMapCount; ++m) {
        const auto bytes = SampleData::BuildStageMap(m);
        const StageMap map(bytes.data(), static_cast<uint32_t>(bytes.size()));
        ASSERT_TRUE(map.HasCells()) << m;
        eight |= map.GetBits() == 8;
        sixteen |= map.GetBits() == 16;
        bool empty = false, placing = false, above = false;
        for (uint32_t r = 0; r < map.GetHeight(); ++r)
            for (uint32_t c = 0; c < map.GetWidth(); ++c) {
                const uint32_t v = map.GetCell(c, r);
                empty |= v == 0;
                placing |= StageMap::IsPlacing(v);
                above |= v > 1023;
            }
        EXPECT_TRUE(empty && placing) << m;
        EXPECT_EQ(above, map.GetBits() == 16) << m;
    }
    EXPECT_TRUE(eight && sixteen);
    const auto sa = SampleData::BuildStageMap(24);
    EXPECT_EQ(StageMap(sa.data(), static_cast<uint32_t>(sa.size())).GetPixelHeight(), 24000.0f);
}
