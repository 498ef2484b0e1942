#include "effects/Core/Memory/UnitInstancePool.h"
#include "support/AsanTestSupport.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

namespace {

using FulgorCore::UnitInstancePool;

// Blocks of 1024 bytes, each followed by one unused 64-byte line.
constexpr uint32_t kBlock = FulgorCore::kUnitBlockSize;
constexpr uint32_t kStride = FulgorCore::kUnitBlockStride;
static_assert(kBlock == 1024 && kStride == 1088);

// One step of a pool's life on a buffer: `count` allocations expected to
// return blocks `block`, `block` + 1, ... (-1: null each time), a free of
// the address `offset` bytes into block `block`, or a second set-up.
struct PoolStep {
    enum Kind { kAllocate, kFree, kSetupAgain } kind;
    int32_t block;
    uint32_t count = 1;
    uint32_t offset = 0;
};

PoolStep Take(int32_t block, uint32_t count = 1) {
    return {PoolStep::kAllocate, block, count};
}
PoolStep Give(int32_t block, uint32_t offset = 0) {
    return {PoolStep::kFree, block, 1, offset};
}

struct PoolCase {
    const char* name;
    uint32_t bufferSize;
    uint32_t capacity;
    std::vector<PoolStep> steps;
    uint32_t usedAfter;
    uint64_t refusedAfter;
};

const PoolCase kPoolCases[] = {
    // Blocks 1088 bytes apart: 4 MiB holds 3855 of them, 4096 blocks take
    // 4.25 MiB.
    {"FourMebibytesGive3855BlocksInAddressOrderThenNull",
     4u << 20,
     3855,
     {Take(0, 3855), Take(-1)},
     3855,
     1},
    {"TheGamesUnitMemoryGives4096Blocks", 4096 * 1088, 4096, {Take(0, 4096), Take(-1)}, 4096, 1},
    {"TheTailBelowOneBlockIsNeverUsed", 2000, 1, {Take(0), Take(-1)}, 1, 1},
    {"AllocateFreeAllocateReturnsTheSameBlock", 4 * kStride, 4, {Take(0), Give(0), Take(0)}, 1, 0},
    {"FreeingAThenBGivesBThenA",
     4 * kStride,
     4,
     {Take(0, 3), Give(0), Give(1), Take(1), Take(0), Take(3)},
     4,
     0},
    {"AFreeOnAnExhaustedPoolLetsExactlyOneAllocationSucceed",
     3 * kStride,
     3,
     {Take(0, 3), Give(1), Take(1), Take(-1)},
     3,
     1},
    {"AnAddressInsideABlockFreesThatBlock",
     4 * kStride,
     4,
     {Take(0, 2), Give(1, 8), Give(0, kBlock - 1), Take(0), Take(1), Take(2)},
     3,
     0},
    {"AnAddressInTheLineAfterABlockFreesNothing",
     4 * kStride,
     4,
     {Take(0, 2), Give(0, kBlock), Give(1, kStride - 1), Take(2), Take(3), Take(-1)},
     4,
     1},
    {"OneByteShortOfAStrideLeavesTheLastBlockOut",
     4 * kStride - 1,
     3,
     {Take(0, 3), Take(-1)},
     3,
     1},
    {"UsedIsAllocationsMinusFrees", 8 * kStride, 8, {Take(0, 5), Give(3), Give(1)}, 3, 0},
    {"NullOutsideAndAlreadyFreeAddressesAreRefused",
     4 * kStride,
     4,
     {Take(0, 2), Give(1), Give(1), Give(1, 512), Give(2), Give(4), Give(-1), Take(1), Take(2),
      Take(3), Take(-1)},
     4,
     1},
    {"ASecondSetupForgetsTheBlocksInUse",
     4 * kStride,
     4,
     {Take(0, 3), {PoolStep::kSetupAgain, 0}, Take(0, 4), Take(-1)},
     4,
     1},
    {"RefusedTakesCountUntilTheNextSetup",
     kStride,
     1,
     {Take(0), Take(-1, 2), Give(0), Take(0)},
     1,
     2},
    {"ASecondSetupForgetsTheRefusedTakes",
     kStride,
     1,
     {Take(0), Take(-1), {PoolStep::kSetupAgain, 0}, Take(0)},
     1,
     0},
};

class UnitPoolSteps : public testing::TestWithParam<PoolCase> {};

TEST_P(UnitPoolSteps, HandsOutAndTakesBackBlocks) {
    const PoolCase& c = GetParam();
    std::vector<uint8_t> buffer(c.bufferSize);
    uint8_t* base = buffer.data();
    UnitInstancePool pool;
    pool.Setup(base, c.bufferSize);
    EXPECT_EQ(pool.GetCapacity(), c.capacity);
    EXPECT_EQ(pool.GetCapacitySize(), uint64_t{c.capacity} * kBlock);
    uint32_t step = 0;
    for (const PoolStep& s : c.steps) {
        ++step;
        switch (s.kind) {
        case PoolStep::kAllocate:
            for (uint32_t i = 0; i < s.count; ++i) {
                uint8_t* expected =
                    s.block < 0 ? nullptr : base + (uint64_t{uint32_t(s.block)} + i) * kStride;
                ASSERT_EQ(pool.Allocate(), expected) << "step " << step << ", allocation " << i;
            }
            break;
        case PoolStep::kFree:
            // Block -1 stands for null; a block past the capacity for an
            // address outside the pool.
            if (s.block < 0) {
                pool.Free(nullptr);
            } else if (uint32_t(s.block) >= c.capacity) {
                uint8_t outside[16];
                pool.Free(outside);
            } else {
                pool.Free(base + uint64_t{uint32_t(s.block)} * kStride + s.offset);
            }
            break;
        case PoolStep::kSetupAgain:
            pool.Setup(base, c.bufferSize);
            EXPECT_EQ(pool.GetUsedCount(), 0u);
            break;
        }
    }
    EXPECT_EQ(pool.GetUsedCount(), c.usedAfter);
    EXPECT_EQ(pool.GetUsedSize(), uint64_t{c.usedAfter} * kBlock);
    EXPECT_EQ(pool.GetRefusedCount(), c.refusedAfter);
}

INSTANTIATE_TEST_SUITE_P(UnitInstancePoolTest, UnitPoolSteps, testing::ValuesIn(kPoolCases),
                         [](const testing::TestParamInfo<PoolCase>& info) {
                             return std::string(info.param.name);
                         });

TEST(UnitInstancePoolTest, AnEmptySetupHandsOutNothing) {
    std::vector<uint8_t> buffer(4 * 1024);
    UnitInstancePool pool;
    pool.Setup(buffer.data(), 4 * 1024);
    void* block = pool.Allocate();
    pool.Setup(nullptr, 0);
    EXPECT_EQ(pool.GetCapacity(), 0u);
    EXPECT_EQ(pool.Allocate(), nullptr);
    pool.Free(block);
    EXPECT_EQ(pool.GetUsedCount(), 0u);
}

TEST(UnitInstancePoolTest, AFreeBlockIsPoisonedButForItsLinkUntilThePoolLetsGo) {
#if !defined(DREVANTH_TEST_ASAN)
    GTEST_SKIP() << "the pool poisons only under AddressSanitizer";
#else
    std::vector<uint8_t> buffer(3 * kStride);
    UnitInstancePool pool;
    pool.Setup(buffer.data(), 3 * kStride);
    auto* block = static_cast<uint8_t*>(pool.Allocate());
    EXPECT_EQ(__asan_region_is_poisoned(block, kBlock), nullptr) << "a block in use is whole";
    EXPECT_EQ(__asan_region_is_poisoned(block, kStride), block + kBlock)
        << "the line after it is not the block's";
    uint8_t* free = block + kStride;
    EXPECT_EQ(__asan_region_is_poisoned(free, 4), nullptr) << "the link of a free block";
    EXPECT_EQ(__asan_region_is_poisoned(free, kBlock), free + 4) << "the rest of a free block";
    pool.Free(block);
    EXPECT_EQ(__asan_region_is_poisoned(block, kBlock), block + 4);
    EXPECT_EQ(pool.Allocate(), block);
    EXPECT_EQ(__asan_region_is_poisoned(block, kBlock), nullptr) << "taken again, whole again";
    pool.Free(block);
    pool.Setup(nullptr, 0);
    EXPECT_EQ(__asan_region_is_poisoned(buffer.data(), buffer.size()), nullptr)
        << "the host's buffer once the pool lets go";
#endif
}

} // namespace
