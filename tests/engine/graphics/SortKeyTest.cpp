#include "engine/graphics/SortKey.h"

#include <gtest/gtest.h>

using namespace Mireku::Graphics;

TEST(SortKey, FieldsSitAtTheirBitsAndAreCutToTheirWidths) {
    // Priority in bits 0-17, two 4-bit fields from bits 18 and 22, a 6-bit
    // field from bit 26.
    EXPECT_EQ(SortKey::Encode(0x3FFFF, 0, 0, 0), 0x0003FFFFu);
    EXPECT_EQ(SortKey::Encode(0, 0xF, 0, 0), 0x003C0000u);
    EXPECT_EQ(SortKey::Encode(0, 0, 0xF, 0), 0x03C00000u);
    EXPECT_EQ(SortKey::Encode(0, 0, 0, 0x3F), 0xFC000000u);
    EXPECT_EQ(SortKey::Encode(0x40001, 0x11, 0x12, 0x41), 1u | 1u << 18 | 2u << 22 | 1u << 26);

    const uint32_t key = SortKey::Encode(29, 3, 9, 45);
    EXPECT_EQ(SortKey::Priority(key), 29u);
    EXPECT_EQ(SortKey::Field1(key), 3u);
    EXPECT_EQ(SortKey::Field2(key), 9u);
    EXPECT_EQ(SortKey::Field3(key), 45u);
}

TEST(SortKey, ReplacingOnePartKeepsTheOthers) {
    const uint32_t key = SortKey::Encode(27, 5, 6, 7);
    EXPECT_EQ(SortKey::WithPriority(key, 2), SortKey::Encode(2, 5, 6, 7));
    EXPECT_EQ(SortKey::WithPriority(key, 0x40002), SortKey::Encode(2, 5, 6, 7));
    EXPECT_EQ(SortKey::WithField1(key, 0), SortKey::Encode(27, 0, 6, 7));
    EXPECT_EQ(SortKey::WithField2(key, 0x1F), SortKey::Encode(27, 5, 0xF, 7));
    EXPECT_EQ(SortKey::WithField3(key, 1), SortKey::Encode(27, 5, 6, 1));
    // The effects clear everything but the priority.
    EXPECT_EQ(SortKey::Priority(0xFFFFFFFFu), 0x3FFFFu);
}
