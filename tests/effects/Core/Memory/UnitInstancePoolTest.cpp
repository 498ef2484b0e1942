#include "effects/Core/Memory/UnitInstancePool.h"
#include "support/AsanTestSupport.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

namespace {

using FulgorCore::UnitInstancePool;

TEST(UnitInstancePoolTest, BlocksAreKilobytesInOrder) {
    std::vector<uint8_t> buffer(262144 + 1000);
    UnitInstancePool pool;
    pool.Setup(buffer.data(), static_cast<uint32_t>(buffer.size()));
    EXPECT_EQ(pool.GetCapacity(), 256u);
    EXPECT_EQ(pool.GetCapacitySize(), 262144u);
    EXPECT_EQ(pool.Allocate(), buffer.data());
    EXPECT_EQ(pool.Allocate(), buffer.data() + 1024);
    EXPECT_EQ(pool.GetUsedCount(), 2u);
    EXPECT_EQ(pool.GetUsedSize(), 2048u);
}

TEST(UnitInstancePoolTest, TheLastFreedIsTheFirstReused) {
    std::vector<uint8_t> buffer(8 * 1024);
    UnitInstancePool pool;
    pool.Setup(buffer.data(), 8 * 1024);
    void* a = pool.Allocate();
    void* b = pool.Allocate();
    void* c = pool.Allocate();
    pool.Free(a);
    pool.Free(b);
    EXPECT_EQ(pool.GetUsedCount(), 1u);
    EXPECT_EQ(pool.Allocate(), b);
    EXPECT_EQ(pool.Allocate(), a);
    EXPECT_EQ(pool.Allocate(), static_cast<uint8_t*>(c) + 1024);
}

TEST(UnitInstancePoolTest, AnExhaustedPoolGivesNullUntilABlockReturns) {
    std::vector<uint8_t> buffer(3 * 1024);
    UnitInstancePool pool;
    pool.Setup(buffer.data(), 3 * 1024);
    void* blocks[3];
    for (void*& b : blocks)
        ASSERT_NE(b = pool.Allocate(), nullptr);
    EXPECT_EQ(pool.Allocate(), nullptr);
    EXPECT_EQ(pool.GetUsedCount(), 3u);
    pool.Free(blocks[1]);
    EXPECT_EQ(pool.Allocate(), blocks[1]);
    // Pointers that are not the pool's are ignored.
    uint8_t elsewhere[16];
    pool.Free(elsewhere);
    pool.Free(nullptr);
    EXPECT_EQ(pool.GetUsedCount(), 3u);
    EXPECT_EQ(pool.Allocate(), nullptr);
}

TEST(UnitInstancePoolTest, APointerInsideABlockOrASecondFreeIsRefused) {
    std::vector<uint8_t> buffer(4 * 1024);
    UnitInstancePool pool;
    pool.Setup(buffer.data(), 4 * 1024);
    auto* a = static_cast<uint8_t*>(pool.Allocate());
    auto* b = static_cast<uint8_t*>(pool.Allocate());
    pool.Free(a + 8);
    pool.Free(b + 1023);
    EXPECT_EQ(pool.GetUsedCount(), 2u);
    pool.Free(a);
    pool.Free(a);
    EXPECT_EQ(pool.GetUsedCount(), 1u);
    // The free list holds a once: a, then the two never handed out, then
    // nothing, whatever b's first bytes say.
    std::memset(b, 0xFF, 1024);
    EXPECT_EQ(pool.Allocate(), a);
    EXPECT_EQ(pool.Allocate(), buffer.data() + 2048);
    EXPECT_EQ(pool.Allocate(), buffer.data() + 3072);
    EXPECT_EQ(pool.Allocate(), nullptr);
    EXPECT_EQ(pool.GetUsedCount(), 4u);
    // A block never handed out is not freed either.
    UnitInstancePool fresh;
    fresh.Setup(buffer.data(), 4 * 1024);
    fresh.Free(buffer.data() + 1024);
    EXPECT_EQ(fresh.GetUsedCount(), 0u);
    EXPECT_EQ(fresh.Allocate(), buffer.data());
}

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
    constexpr uint32_t kBlock = FulgorCore::kUnitBlockSize;
    std::vector<uint8_t> buffer(3 * kBlock);
    UnitInstancePool pool;
    pool.Setup(buffer.data(), 3 * kBlock);
    auto* block = static_cast<uint8_t*>(pool.Allocate());
    EXPECT_EQ(__asan_region_is_poisoned(block, kBlock), nullptr) << "a block in use is whole";
    uint8_t* free = block + kBlock;
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
