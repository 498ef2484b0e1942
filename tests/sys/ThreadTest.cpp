#include "sys/thread.h"

#include "support/ScopedEnv.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>
#include <pthread.h>
#include <sched.h>
#include <string>
#include <thread>

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

TEST(SysThread, AllProcessorsScopeWidensTheThreadThenHoldsItAgain) {
    cpu_set_t own;
    ASSERT_EQ(pthread_getaffinity_np(pthread_self(), sizeof(own), &own), 0);
    if (CPU_COUNT(&own) < 2)
        GTEST_SKIP() << "one processor: nothing to widen to";
    int first = 0;
    while (!CPU_ISSET(first, &own))
        ++first;
    sys::SetCurrentThreadAffinity(uint64_t{1} << first);
    cpu_set_t inside, after;
    {
        sys::AllProcessorsScope scope;
        pthread_getaffinity_np(pthread_self(), sizeof(inside), &inside);
    }
    pthread_getaffinity_np(pthread_self(), sizeof(after), &after);
    pthread_setaffinity_np(pthread_self(), sizeof(own), &own);
    EXPECT_TRUE(CPU_EQUAL(&inside, &own)) << "every processor the process was started on";
    EXPECT_EQ(CPU_COUNT(&after), 1);
    EXPECT_TRUE(CPU_ISSET(first, &after)) << "held to its own processor again";
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

TEST(SysThread, AWaitUsesUpAnAutoResetEventsSignal) {
    sys::Event e;
    e.Set();
    e.Wait();
    EXPECT_FALSE(e.WaitFor(5)) << "Wait cleared the event like WaitFor does";
}

TEST(SysThread, OneSetOfAManualResetEventWakesEveryWaiter) {
    sys::Event gate(true);
    std::atomic<int> waiting{0}, woken{0};
    // A waiter the Set does not wake still sees the event when its own time
    // runs out, so the time it took tells a lost wake-up.
    auto waiter = [&] {
        ++waiting;
        if (gate.WaitFor(10000))
            ++woken;
    };
    std::thread a(waiter), b(waiter);
    while (waiting.load() < 2)
        sys::YieldThread();
    sys::SleepMilliseconds(20); // both are inside the wait by now, most likely
    const uint64_t set = sys::NowMicroseconds();
    gate.Set();
    a.join();
    b.join();
    EXPECT_EQ(woken.load(), 2);
    EXPECT_LT(sys::NowMicroseconds() - set, 5000000u) << "both woke on the Set itself";
    EXPECT_TRUE(gate.WaitFor(0)) << "a manual-reset event stays set";
}

TEST(SysThread, WaitForOnAnUnsetEventTakesItsTime) {
    sys::Event e;
    const uint64_t start = sys::NowMicroseconds();
    EXPECT_FALSE(e.WaitFor(50));
    const uint64_t took = sys::NowMicroseconds() - start;
    EXPECT_GE(took, 50000u);
    EXPECT_LT(took, 5000000u) << "generous: other builds may load the machine";
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
