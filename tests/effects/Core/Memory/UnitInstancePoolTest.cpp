#include "effects/Core/Memory/UnitInstancePool.h"

#include <gtest/gtest.h>

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

} // namespace
