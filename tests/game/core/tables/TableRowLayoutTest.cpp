// The row structs' offsets and sizes are pinned where they are declared,
// against the file layouts; what a layout check cannot see is checked here:
// the fields that hold floats, the packed resource indices and the end
// marker of a timeline, through rows the sample-data builder writes.
#include "game/core/tables/ResourceIndexEntry.h"
#include "game/core/tables/ShipParamRow.h"
#include "game/core/tables/TimelineEntry.h"
#include "tools/sampledata/GameTableData.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

namespace {

// The second of two rows written by the builder: a wrong row size shows as
// well as a wrong value.
template <class Row> std::vector<uint8_t> Written(const Row& row) {
    std::vector<uint8_t> image;
    SampleData::AppendRow(image, Row{});
    SampleData::AppendRow(image, row);
    EXPECT_EQ(image.size(), 2 * sizeof(Row));
    return std::vector<uint8_t>(image.begin() + sizeof(Row), image.end());
}

template <class T> T At(const std::vector<uint8_t>& b, size_t off) {
    T v{};
    if (off + sizeof(T) <= b.size())
        std::memcpy(&v, b.data() + off, sizeof(T));
    return v;
}

} // namespace

TEST(TableRowLayout, TheShipsThreeSpeedsAreFloats) {
    ShipParamRow r{};
    r.speed = 8.5f, r.grabusterSpeed = 12.25f, r.slowSpeed = 16.75f;
    const auto b = Written(r);
    EXPECT_EQ(At<float>(b, 8), 8.5f);
    EXPECT_EQ(At<float>(b, 12), 12.25f);
    EXPECT_EQ(At<float>(b, 16), 16.75f);
}

TEST(TableRowLayout, ATimelineEndsAtTypeFFFF) {
    TimelineEntry r{};
    r.type = 4;
    EXPECT_FALSE(r.IsEnd());
    r.type = -1; // 0xFFFF read as u16 ends the list
    EXPECT_TRUE(r.IsEnd());
    EXPECT_EQ(At<uint16_t>(Written(r), 4), 0xFFFF);
}

TEST(TableRowLayout, ResourceIndexEntryPacksThreeSigned10BitIndices) {
    const auto b = Written(ResourceIndexEntry::Make(5, ResourceIndexEntry::kNone, 300));
    ASSERT_EQ(b.size(), 4u);
    EXPECT_EQ(At<uint32_t>(b, 0), 5u | 0x3FFu << 10 | 300u << 20);

    ResourceIndexEntry e{};
    std::memcpy(&e, b.data(), 4);
    EXPECT_EQ(e.Texture(), 5);
    EXPECT_EQ(e.OverridePath(), -1);
    EXPECT_EQ(e.BasePath(), 300);
    // Bits 0-9 hold the texture, with the sign in bit 9.
    e.bits = 0x3FEu | 0x200u << 10 | 0x1FFu << 20 | 0xC0000000u;
    EXPECT_EQ(e.Texture(), -2);
    EXPECT_EQ(e.OverridePath(), -512);
    EXPECT_EQ(e.BasePath(), 511);
}
