#include "effects/Core/Memory/RuntimeDataAllocator.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

using FulgorCore::RuntimeDataAllocator;

TEST(RuntimeDataAllocatorTest, MeasureCountsSixteenByteUnits) {
    RuntimeDataAllocator a;
    a.BeginMeasure();
    EXPECT_EQ(a.Allocate(1), nullptr);
    EXPECT_EQ(a.GetSize(), 16u);
    EXPECT_EQ(a.Allocate(0), nullptr);
    EXPECT_EQ(a.GetSize(), 16u);
    a.Allocate(33);
    EXPECT_EQ(a.GetSize(), 64u);
    a.EndMeasure();
    EXPECT_FALSE(a.IsMeasuring());
    EXPECT_FALSE(a.HasFailed());
}

TEST(RuntimeDataAllocatorTest, BuildHandsOutConsecutiveAddresses) {
    std::vector<uint8_t> block(64);
    RuntimeDataAllocator a;
    a.BeginBuild(block.data(), 64);
    EXPECT_EQ(a.Allocate(0), nullptr);
    EXPECT_EQ(a.Allocate(1), block.data());
    EXPECT_EQ(a.Allocate(20), block.data() + 16);
    EXPECT_EQ(a.GetSize(), 48u);
    EXPECT_FALSE(a.HasFailed());
}

TEST(RuntimeDataAllocatorTest, ABuildRequestPastTheMeasuredEndFails) {
    std::vector<uint8_t> block(32);
    RuntimeDataAllocator a;
    a.BeginBuild(block.data(), 32);
    EXPECT_NE(a.Allocate(16), nullptr);
    EXPECT_EQ(a.Allocate(17), nullptr);
    EXPECT_TRUE(a.HasFailed());
    EXPECT_NE(a.Allocate(16), nullptr);
    EXPECT_TRUE(a.HasFailed());
    a.BeginMeasure();
    EXPECT_FALSE(a.HasFailed());
}

TEST(RuntimeDataAllocatorTest, SizesBeyondThirtyTwoBitsFail) {
    RuntimeDataAllocator a;
    a.BeginMeasure();
    a.Allocate(0xFFFFFFF0u);
    EXPECT_FALSE(a.HasFailed());
    a.Allocate(0x20u);
    EXPECT_TRUE(a.HasFailed());
    EXPECT_EQ(a.GetSize(), 0xFFFFFFFFu);
    RuntimeDataAllocator b;
    b.BeginMeasure();
    EXPECT_EQ(b.AllocateArray<uint64_t>(0x40000000u), nullptr);
    EXPECT_TRUE(b.HasFailed());
    RuntimeDataAllocator c;
    c.BeginMeasure();
    c.AllocateArray<uint32_t>(3);
    EXPECT_EQ(c.GetSize(), 16u);
    EXPECT_FALSE(c.HasFailed());
}

} // namespace
