// The runtime data reset and the release of an effect reference by handle
// (its least form: a valid handle loses one reference, anything else
// changes nothing).
#include "effects/Core/Engine/Engine.h"
#include "effects/Core/Engine/EngineInternal.h"
#include "effects/Core/Engine/EngineWorkData.h"
#include "effects/Core/Engine/ObjectSlot.h"
#include "effects/Core/Memory/RuntimeDataAllocator.h"
#include "support/effects/RuntimeStartup.h"

#include <gtest/gtest.h>

#include <mutex>
#include <vector>

namespace {

TEST(RuntimeData, ResetZeroesTheBlockAndBuildsIntoItFromTheStart) {
    std::lock_guard<std::recursive_mutex> lock(FulgorCore::RuntimeDataAllocator::LoadingMutex());
    alignas(16) uint8_t block[64];
    std::fill(std::begin(block), std::end(block), 0xAB);
    FulgorCore::Engine::ResetRuntimeData(block, 48);
    for (int i = 0; i < 48; ++i)
        EXPECT_EQ(block[i], 0) << i;
    EXPECT_EQ(block[48], 0xAB);
    FulgorCore::RuntimeDataAllocator& allocator = FulgorCore::RuntimeDataAllocator::Global();
    EXPECT_FALSE(allocator.IsMeasuring());
    EXPECT_EQ(allocator.GetSize(), 0u);
    EXPECT_EQ(allocator.Allocate(20), block);
    EXPECT_EQ(allocator.Allocate(16), block + 32);
    EXPECT_EQ(allocator.Allocate(1), nullptr);
    EXPECT_TRUE(allocator.HasFailed());
}

TEST(ReleaseResource, OnlyAHandleOfARegisteredEffectLosesAReference) {
    // Not started: nothing to release, nothing breaks.
    FulgorCore::Engine::ReleaseResource(0, 1);
    testsupport::RuntimeStartup runtime;
    ASSERT_TRUE(runtime.Start());
    FulgorCore::ObjectSlot* slots = FulgorCore::Engine::GetWorkData()->objects.base;
    slots[3].serial = 5;
    slots[3].referenceCount = 2;
    FulgorCore::Engine::ReleaseResource(3, 4);  // another serial
    FulgorCore::Engine::ReleaseResource(3, 0);  // a zero serial
    FulgorCore::Engine::ReleaseResource(4, 5);  // past ObjectMaxCount
    FulgorCore::Engine::ReleaseResource(99, 5); // far past it
    EXPECT_EQ(slots[3].referenceCount, 2);
    FulgorCore::Engine::ReleaseResource(3, 5);
    EXPECT_EQ(slots[3].referenceCount, 1);
    FulgorCore::Engine::ReleaseResource(3, 5);
    FulgorCore::Engine::ReleaseResource(3, 5);
    EXPECT_EQ(slots[3].referenceCount, 0);
}

} // namespace
