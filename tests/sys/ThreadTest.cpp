#include "sys/thread.h"
#include "sys/file.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>
#include <filesystem>
#include <fstream>
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
    const char* saved[3];
    const char* names[3] = {"LC_ALL", "LC_MESSAGES", "LANG"};
    std::string keep[3];
    for (int i = 0; i < 3; ++i) {
        saved[i] = std::getenv(names[i]);
        if (saved[i])
            keep[i] = saved[i];
        unsetenv(names[i]);
    }
    setenv("LANG", "ja_JP.UTF-8", 1);
    EXPECT_TRUE(sys::IsJapaneseLocale());
    setenv("LC_ALL", "en_US.UTF-8", 1);
    EXPECT_FALSE(sys::IsJapaneseLocale());
    for (int i = 0; i < 3; ++i) {
        if (saved[i])
            setenv(names[i], keep[i].c_str(), 1);
        else
            unsetenv(names[i]);
    }
}

TEST(SysFile, DocumentsFolderComesFromUserDirsOrHome) {
    std::string home = testing::TempDir() + "/home_docs";
    sys::CreateFolders((home + "/.config").c_str());
    std::string savedHome = std::getenv("HOME") ? std::getenv("HOME") : "";
    const char* cfg = std::getenv("XDG_CONFIG_HOME");
    std::string savedCfg = cfg ? cfg : "";
    unsetenv("XDG_CONFIG_HOME");
    setenv("HOME", home.c_str(), 1);
    std::remove((home + "/.config/user-dirs.dirs").c_str());
    EXPECT_EQ(sys::DocumentsFolder(), home + "/Documents");
    {
        std::ofstream f(home + "/.config/user-dirs.dirs");
        f << "# comment\nXDG_DOCUMENTS_DIR=\"$HOME/Dokumente\"\n";
    }
    EXPECT_EQ(sys::DocumentsFolder(), home + "/Dokumente");
    setenv("HOME", savedHome.c_str(), 1);
    if (cfg)
        setenv("XDG_CONFIG_HOME", savedCfg.c_str(), 1);
}

TEST(SysFile, AtomicReplaceWritesWholeFilesAndReadsBack) {
    std::string dir = testing::TempDir() + "/sysfile/a/b";
    ASSERT_TRUE(sys::CreateFolders(dir.c_str()));
    std::string path = dir + "/save.dat";
    const char first[] = "first contents";
    ASSERT_TRUE(sys::AtomicReplace(path.c_str(), first, sizeof(first)));
    const char second[] = "2nd";
    ASSERT_TRUE(sys::AtomicReplace(path.c_str(), second, sizeof(second)));
    intptr_t f = sys::OpenFileRead(path.c_str());
    ASSERT_NE(f, sys::kInvalidFile);
    EXPECT_EQ(sys::FileSize(f), static_cast<int64_t>(sizeof(second)));
    char buf[16] = {};
    EXPECT_EQ(sys::ReadFile(f, buf, sizeof(buf)), sizeof(second));
    EXPECT_STREQ(buf, "2nd");
    EXPECT_EQ(sys::ReadFileAt(f, 1, buf, 2), 2u);
    EXPECT_EQ(buf[0], 'n');
    sys::CloseFile(f);
    size_t entries = 0;
    for (const auto& e : std::filesystem::directory_iterator(dir)) {
        (void)e;
        ++entries;
    }
    EXPECT_EQ(entries, 1u) << "no temporary file is left beside the save";
    EXPECT_EQ(sys::OpenFileRead(dir.c_str()), sys::kInvalidFile) << "a folder is not a file";
    EXPECT_EQ(sys::OpenFileRead((dir + "/missing").c_str()), sys::kInvalidFile);
    EXPECT_FALSE(sys::ExecutableFolder().empty());
    EXPECT_EQ(sys::ExecutableFolder().back(), '/');
}
