#include "game/stage/StageMap.h"

#include "tools/sampledata/StageData.h"

#include <array>
#include <cmath>
#include <limits>

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

namespace {

constexpr float _ = std::numeric_limits<float>::quiet_NaN();

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

// Maps of w x h cells of 8 or 16 bits over so many cell bytes (byte i is
// i x 7 + 1): whether the header and the cells are read, the pixel size,
// and cells at (column, row), little-endian, 0 outside; a header that
// promises more than the file holds (or whose product wraps in 32 or 64
// bits), or cells of another width, give no cell.
TEST(StageMap, CellsAreReadRowByRowOnlyWhenTheHeaderFitsTheFile) {
    struct Row {
        uint32_t w, h;
        uint8_t bits;
        size_t bytes;
        bool header, cells;
        float pixelWidth;
        std::vector<std::array<uint32_t, 3>> at; // column, row, value
    };
    const Row rows[] = {
        {3, 2, 8, 6, true, true, 48, {{0, 0, 1}, {2, 0, 15}, {0, 1, 22}}},
        {2,
         2,
         16,
         8,
         true,
         true,
         32,
         {{0, 0, 1 | 8 << 8}, {1, 1, 43 | 50 << 8}, {2, 0, 0}, {0, 2, 0}}},
        {4, 4, 16, 31, true, false, 64, {{0, 0, 0}}},
        {4, 4, 16, 32, true, true, 64, {}},
        {0x80000000u, 0x80000000u, 16, 8, true, false, _, {}},
        {0x10000u, 0x10000u, 8, 16, true, false, _, {}},
        {1000, 0, 8, 0, true, true, _, {{0, 0, 0}}},
        {2, 2, 4, 8, true, false, 32, {}},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(testing::Message() << r.w << " x " << r.h << " of " << int(r.bits));
        const auto bytes = Map(r.w, r.h, r.bits, r.bytes);
        const StageMap map(bytes.data(), static_cast<uint32_t>(bytes.size()));
        EXPECT_EQ(map.HasHeader(), r.header);
        EXPECT_EQ(map.HasCells(), r.cells);
        if (!std::isnan(r.pixelWidth)) {
            EXPECT_EQ(map.GetPixelWidth(), r.pixelWidth) << "the header sizes the map";
        }
        for (const auto& [column, row, value] : r.at)
            EXPECT_EQ(map.GetCell(column, row), value) << column << ", " << row;
    }
    // Short files and no file have no header.
    const auto header = Map(2, 2, 8, 0);
    const StageMap cut(header.data(), 19);
    EXPECT_FALSE(cut.HasHeader());
    EXPECT_EQ(cut.GetWidth(), 0u);
    EXPECT_FALSE(StageMap(nullptr, 100).HasHeader());
}

TEST(StageMap, OnlyValuesOneTo1023Place) {
    for (const uint32_t v : {0u, 1u, 1023u, 1024u})
        EXPECT_EQ(StageMap::IsPlacing(v), v >= 1 && v <= 1023) << v;
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
