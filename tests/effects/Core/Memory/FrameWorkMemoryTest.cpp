#include "effects/Core/Memory/FrameWorkMemory.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

using FulgorCore::FrameWorkMemory;

TEST(FrameWorkMemoryTest, RequestsAreRoundedToSixteenBytes) {
    std::vector<uint8_t> buffer(1024);
    FrameWorkMemory memory;
    memory.Setup(buffer.data(), 1024);
    EXPECT_EQ(memory.GetHalfSize(), 512u);
    uint8_t* a = static_cast<uint8_t*>(memory.Allocate(1));
    uint8_t* b = static_cast<uint8_t*>(memory.Allocate(17));
    uint8_t* c = static_cast<uint8_t*>(memory.Allocate(16));
    EXPECT_EQ(a, buffer.data());
    EXPECT_EQ(b, buffer.data() + 16);
    EXPECT_EQ(c, buffer.data() + 48);
}

TEST(FrameWorkMemoryTest, AnOverflowFailsEveryLaterRequestOfTheFrame) {
    std::vector<uint8_t> buffer(1024);
    FrameWorkMemory memory;
    memory.Setup(buffer.data(), 1024);
    EXPECT_NE(memory.Allocate(500), nullptr);
    EXPECT_EQ(memory.Allocate(32), nullptr);
    EXPECT_EQ(memory.Allocate(1), nullptr);
    memory.Flip();
    EXPECT_EQ(memory.Allocate(512), buffer.data() + 512);
    EXPECT_EQ(memory.Allocate(1), nullptr);
}

TEST(FrameWorkMemoryTest, AFrameSurvivesTheNextAndIsReusedAfter) {
    std::vector<uint8_t> buffer(2048);
    FrameWorkMemory memory;
    memory.Setup(buffer.data(), 2048);
    auto* frameN = static_cast<uint8_t*>(memory.Allocate(64));
    ASSERT_NE(frameN, nullptr);
    for (int i = 0; i < 64; ++i)
        frameN[i] = static_cast<uint8_t>(i);
    memory.Flip();
    auto* frameN1 = static_cast<uint8_t*>(memory.Allocate(1024));
    ASSERT_NE(frameN1, nullptr);
    for (int i = 0; i < 1024; ++i)
        frameN1[i] = 0xEE;
    for (int i = 0; i < 64; ++i)
        ASSERT_EQ(frameN[i], i);
    memory.Flip();
    EXPECT_EQ(memory.GetCurrentHalf(), 0u);
    EXPECT_EQ(memory.Allocate(16), frameN);
}

// What a block taken in a frame may still be read in: that frame and the
// next, not the one after, whose flip empties its half.
TEST(FrameWorkMemoryTest, TheFrameCountTellsWhetherABlockIsStillKept) {
    std::vector<uint8_t> buffer(1024);
    FrameWorkMemory memory;
    memory.Setup(buffer.data(), 1024);
    const uint32_t taken = memory.GetFrame();
    EXPECT_TRUE(memory.Keeps(taken));
    memory.Flip();
    EXPECT_EQ(memory.GetFrame(), taken + 1);
    EXPECT_TRUE(memory.Keeps(taken));
    memory.Flip();
    EXPECT_EQ(memory.GetFrame(), taken + 2);
    EXPECT_FALSE(memory.Keeps(taken));
    EXPECT_TRUE(memory.Keeps(taken + 1));
    memory.Flip();
    EXPECT_FALSE(memory.Keeps(taken));
    EXPECT_FALSE(memory.Keeps(taken + 1));
}

TEST(FrameWorkMemoryTest, HugeRequestsNeverWrapIntoRange) {
    std::vector<uint8_t> buffer(1024);
    FrameWorkMemory memory;
    memory.Setup(buffer.data(), 1024);
    // Rounded in 32 bits this would be 0 bytes.
    EXPECT_EQ(memory.Allocate(0xFFFFFFF8u), nullptr);
    memory.Flip();
    // Failed requests keep counting; two near 2^31 must not bring a 32-bit
    // counter back to a small offset.
    EXPECT_EQ(memory.Allocate(0x80000000u), nullptr);
    EXPECT_EQ(memory.Allocate(0x7FFFFFF0u), nullptr);
    EXPECT_EQ(memory.Allocate(16), nullptr);
}

TEST(FrameWorkMemoryTest, WithoutABufferNothingIsHandedOut) {
    FrameWorkMemory memory;
    EXPECT_EQ(memory.Allocate(16), nullptr);
    memory.Setup(nullptr, 4096);
    EXPECT_EQ(memory.Allocate(16), nullptr);
}

// What a frame has taken, read after it: above the half size exactly when
// one of its requests failed, and nothing once the halves flip.
TEST(FrameWorkMemoryTest, TheUsedSizeShowsAFailedRequest) {
    struct Case {
        const char* name;
        std::vector<uint32_t> requests;
        bool flipAfter;
        uint64_t used;
        bool failed;
    };
    const Case cases[] = {
        {"one byte counts sixteen", {1}, false, 16, false},
        {"the whole half fits", {496, 16}, false, 512, false},
        {"one byte past the half fails", {512, 1}, false, 528, true},
        {"failed requests stay counted", {500, 32, 1}, false, 560, true},
        {"a flip starts the new half empty", {500, 32}, true, 0, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::vector<uint8_t> buffer(1024);
        FrameWorkMemory memory;
        memory.Setup(buffer.data(), 1024);
        for (uint32_t bytes : c.requests)
            memory.Allocate(bytes);
        if (c.flipAfter)
            memory.Flip();
        EXPECT_EQ(memory.GetUsedSize(), c.used);
        EXPECT_EQ(memory.GetUsedSize() > memory.GetHalfSize(), c.failed);
    }
}

} // namespace
