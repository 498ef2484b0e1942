#include "sys/thread.h"

#include "support/ScopedEnv.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>
#include <sched.h>
#include <string>

TEST(SysThread, SuspendedThreadRunsOnlyAfterResumeWithItsAffinity) {
    struct Ctx {
        std::atomic<bool> ran{false};
        int cpuCount = -1;
    } ctx;
    sys::Thread* t = sys::CreateThreadSuspended(
        [](void* p) {
            auto* c = static_cast<Ctx*>(p);
            cpu_set_t set;
            sched_getaffinity(0, sizeof(set), &set);
            c->cpuCount = CPU_COUNT(&set);
            c->ran = true;
        },
        &ctx);
    ASSERT_NE(t, nullptr);
    sys::SetThreadAffinity(t, 1); // processor 0 only
    sys::SleepMilliseconds(20);
    EXPECT_FALSE(ctx.ran.load());
    sys::ResumeThread(t);
    sys::JoinThread(t);
    EXPECT_TRUE(ctx.ran.load());
    EXPECT_EQ(ctx.cpuCount, 1);
}

TEST(SysThread, EventsAutoResetAndTimeOut) {
    sys::Event e;
    EXPECT_FALSE(e.WaitFor(5));
    e.Set();
    EXPECT_TRUE(e.WaitFor(5));
    EXPECT_FALSE(e.WaitFor(5)) << "an auto-reset event clears after one wait";
    sys::Event m(true);
    m.Set();
    EXPECT_TRUE(m.WaitFor(1));
    EXPECT_TRUE(m.WaitFor(1));
    m.Reset();
    EXPECT_FALSE(m.WaitFor(1));
}

TEST(SysThread, MutexIsRecursiveAndClockIsMonotonic) {
    sys::Mutex m;
    m.Lock();
    EXPECT_TRUE(m.TryLock());
    m.Unlock();
    m.Unlock();
    uint64_t a = sys::NowMicroseconds();
    sys::SleepMilliseconds(2);
    uint64_t b = sys::NowMicroseconds();
    EXPECT_GE(b - a, 2000u);
    EXPECT_GE(sys::ProcessorCount(), 1u);
}

TEST(SysThread, JapaneseLocaleFollowsTheFirstSetVariable) {
    testsupport::ScopedEnv all("LC_ALL", nullptr);
    testsupport::ScopedEnv messages("LC_MESSAGES", nullptr);
    testsupport::ScopedEnv lang("LANG", "ja_JP.UTF-8");
    EXPECT_TRUE(sys::IsJapaneseLocale());
    setenv("LC_ALL", "en_US.UTF-8", 1);
    EXPECT_FALSE(sys::IsJapaneseLocale());
}
