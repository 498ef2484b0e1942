#include "engine/task/TaskDriver.h"
#include "engine/graphics/DrawContext.h"
#include "engine/platform/ProcessorInfo.h"
#include "sys/thread.h"

#include <gtest/gtest.h>

namespace {

using Mireku::Task::TaskDriver;

TEST(TaskWorkers, CountIsProcessorsLessTwoWithAtLeastOne) {
    EXPECT_EQ(TaskDriver::WorkerCountFor(1), 1u);
    EXPECT_EQ(TaskDriver::WorkerCountFor(2), 1u);
    EXPECT_EQ(TaskDriver::WorkerCountFor(3), 1u);
    EXPECT_EQ(TaskDriver::WorkerCountFor(4), 2u);
    EXPECT_EQ(TaskDriver::WorkerCountFor(8), 6u);
}

TEST(TaskWorkers, MasksSkipTheMainAndRenderCores) {
    uint64_t m[6];
    TaskDriver::WorkerMasks(8, 1, 2, m, 6);
    EXPECT_EQ(m[0], 4u);
    EXPECT_EQ(m[1], 8u);
    EXPECT_EQ(m[5], 0x80u);
    // A core mask of several bits (SMT siblings) excludes no single bit.
    TaskDriver::WorkerMasks(4, 0x11, 0x22, m, 2);
    EXPECT_EQ(m[0], 1u);
    EXPECT_EQ(m[1], 2u);
    // One processor: the only worker may run anywhere once past the last bit.
    TaskDriver::WorkerMasks(1, 1, TaskDriver::kAllProcessors, m, 1);
    EXPECT_EQ(m[0], 2u); // 1 << 1 is not beyond 1 << count
    TaskDriver::WorkerMasks(2, 1, 2, m, 1);
    EXPECT_EQ(m[0], 4u);
    TaskDriver::WorkerMasks(2, 1, 2, m, 2);
    EXPECT_EQ(m[1], TaskDriver::kAllProcessors);
}

TEST(TaskWorkers, StartClaimingContextsAndStopOnFinalize) {
    using namespace Mireku;
    Platform::ProcessorInfo* info = Platform::ProcessorInfo::CreateInstance();
    ASSERT_TRUE(info->InitializeFrom("/nonexistent", 5));
    Graphics::DrawContext::ResetAll();
    Graphics::ClaimDrawContext(); // the main thread's
    TaskDriver* driver = TaskDriver::CreateInstance();
    driver->Initialize();
    EXPECT_EQ(driver->GetWorkerCount(), 3u);
    EXPECT_EQ(driver->GetWorkerMask(0), 4u);
    EXPECT_EQ(driver->GetWorkerMask(2), 16u);
    // Each worker claims a draw context as it starts.
    for (int i = 0; i < 500 && Graphics::DrawContext::GetClaimCount() < 4; ++i)
        sys::SleepMilliseconds(2);
    EXPECT_EQ(Graphics::DrawContext::GetClaimCount(), 4u);
    driver->Finalize();
    EXPECT_EQ(driver->GetWorkerCount(), 0u);
    TaskDriver::DestroyInstance();
    Platform::ProcessorInfo::DestroyInstance();
    Graphics::ReleaseDrawContext();
}

// Stopping right after starting must not wait for a worker that was never
// woken because the one before it left before reaching its wait.
TEST(TaskWorkers, StopRightAfterStartJoinsEveryWorker) {
    using namespace Mireku;
    Platform::ProcessorInfo* info = Platform::ProcessorInfo::CreateInstance();
    ASSERT_TRUE(info->InitializeFrom("/nonexistent", 8));
    for (int round = 0; round < 200; ++round) {
        Graphics::DrawContext::ResetAll();
        TaskDriver* driver = TaskDriver::CreateInstance();
        driver->Initialize();
        driver->Finalize();
        TaskDriver::DestroyInstance();
    }
    Platform::ProcessorInfo::DestroyInstance();
}

} // namespace
