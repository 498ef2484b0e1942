#include "sys/file.h"

#include "support/ScopedEnv.h"
#include "support/ScratchFolder.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <future>
#include <string>

namespace {

size_t EntriesIn(const std::string& folder) {
    size_t n = 0;
    for (const auto& e : std::filesystem::directory_iterator(folder)) {
        (void)e;
        ++n;
    }
    return n;
}

} // namespace

TEST(SysFile, DocumentsFolderComesFromUserDirsOrHome) {
    testsupport::ScratchFolder scratch;
    const std::string home = scratch.Root();
    testsupport::ScopedEnv homeEnv("HOME", home.c_str());
    testsupport::ScopedEnv configEnv("XDG_CONFIG_HOME", nullptr);
    EXPECT_EQ(sys::DocumentsFolder(), home + "/Documents");
    scratch.WriteFile(".config/user-dirs.dirs", {});
    {
        std::ofstream f(home + "/.config/user-dirs.dirs");
        f << "# comment\nXDG_DOCUMENTS_DIR=\"$HOME/Dokumente\"\n";
    }
    EXPECT_EQ(sys::DocumentsFolder(), home + "/Dokumente");
}

TEST(SysFile, AtomicReplaceWritesWholeFilesAndReadsBack) {
    testsupport::ScratchFolder scratch;
    const std::string dir = scratch.Path("a/b");
    ASSERT_TRUE(sys::CreateFolders(dir.c_str()));
    const std::string path = dir + "/save.dat";
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
    sys::CloseFile(f);
    EXPECT_EQ(EntriesIn(dir), 1u) << "no temporary file is left beside the save";
    EXPECT_EQ(sys::OpenFileRead(dir.c_str()), sys::kInvalidFile) << "a folder is not a file";
    EXPECT_EQ(sys::OpenFileRead((dir + "/missing").c_str()), sys::kInvalidFile);
    EXPECT_FALSE(sys::ExecutableFolder().empty());
    EXPECT_EQ(sys::ExecutableFolder().back(), '/');
}

TEST(SysFile, PositionalReadsStopAtTheEndOfTheFile) {
    testsupport::ScratchFolder scratch;
    scratch.WriteFile("ten.bin", {0, 1, 2, 3, 4, 5, 6, 7, 8, 9});
    intptr_t f = sys::OpenFileRead(scratch.Path("ten.bin").c_str());
    ASSERT_NE(f, sys::kInvalidFile);
    uint8_t buf[8] = {0xEE, 0xEE, 0xEE, 0xEE, 0xEE, 0xEE, 0xEE, 0xEE};
    EXPECT_EQ(sys::ReadFileAt(f, 1, buf, 2), 2u);
    EXPECT_EQ(buf[0], 1);
    EXPECT_EQ(buf[1], 2);
    EXPECT_EQ(sys::ReadFileAt(f, 7, buf, 8), 3u) << "only the three bytes that are there";
    EXPECT_EQ(buf[0], 7);
    EXPECT_EQ(buf[2], 9);
    EXPECT_EQ(buf[3], 0xEE) << "nothing is written past what was read";
    EXPECT_EQ(sys::ReadFileAt(f, 10, buf, 4), 0u);
    EXPECT_EQ(sys::ReadFileAt(f, 1000, buf, 4), 0u);
    // The positional reads leave the file offset alone.
    EXPECT_EQ(sys::ReadFile(f, buf, 1), 1u);
    EXPECT_EQ(buf[0], 0);
    sys::CloseFile(f);
}

TEST(SysFile, NamedPipesAreRefusedWithoutWaitingForAWriter) {
    testsupport::ScratchFolder scratch;
    const std::string pipe = scratch.Path("Config.dat");
    ASSERT_EQ(mkfifo(pipe.c_str(), 0600), 0);
    auto opened = std::async(std::launch::async, [&] { return sys::OpenFileRead(pipe.c_str()); });
    if (opened.wait_for(std::chrono::seconds(10)) != std::future_status::ready) {
        // Release the blocked open so that the test can end, then fail.
        const int writer = ::open(pipe.c_str(), O_RDWR);
        sys::CloseFile(opened.get());
        ::close(writer);
        FAIL() << "opening a named pipe waited for a writer";
    }
    EXPECT_EQ(opened.get(), sys::kInvalidFile);
    EXPECT_TRUE(sys::FileExists(pipe.c_str())) << "the pipe is left as it was";
}

TEST(SysFile, ReadErrorsAreToldApartFromShortFiles) {
    testsupport::ScratchFolder scratch;
    scratch.WriteFile("short.bin", {1, 2, 3});
    intptr_t f = sys::OpenFileRead(scratch.Path("short.bin").c_str());
    uint8_t buf[8];
    EXPECT_EQ(sys::ReadFileChecked(f, buf, sizeof buf), 3);
    EXPECT_EQ(sys::ReadFileChecked(f, buf, sizeof buf), 0) << "at the end: nothing, no error";
    sys::CloseFile(f);
    EXPECT_EQ(sys::ReadFileChecked(sys::kInvalidFile, buf, sizeof buf), -1);
    // A regular file of the kernel's that opens and then fails every read.
    f = sys::OpenFileRead("/proc/self/mem");
    if (f == sys::kInvalidFile)
        GTEST_SKIP() << "/proc/self/mem cannot be opened here";
    EXPECT_EQ(sys::ReadFileChecked(f, buf, sizeof buf), -1);
    EXPECT_EQ(sys::ReadFile(f, buf, sizeof buf), 0u);
    sys::CloseFile(f);
}

TEST(SysFile, StaleTemporariesOfOneSaveNameAreRemoved) {
    testsupport::ScratchFolder scratch;
    for (const char* name :
         {"Data.dat", "Data.dat.a1B2c3", "Data.dat.ZZZZZZ", "Data.dat.bak", "Data.dat.a1B2c",
          "Data.dat.a1B2c3d", "Data.dat.a1-2c3", "Score.dat.a1B2c3", "xData.dat.a1B2c3"})
        scratch.WriteFile(name, {1});
    std::filesystem::create_directory(scratch.Path("Data.dat.FOLDER"));
    const std::string save = scratch.Path("Data.dat");
    EXPECT_EQ(sys::RemoveStaleTemporaries(save.c_str()), 2u);
    EXPECT_FALSE(std::filesystem::exists(scratch.Path("Data.dat.a1B2c3")));
    EXPECT_FALSE(std::filesystem::exists(scratch.Path("Data.dat.ZZZZZZ")));
    for (const char* kept :
         {"Data.dat", "Data.dat.bak", "Data.dat.a1B2c", "Data.dat.a1B2c3d", "Data.dat.a1-2c3",
          "Score.dat.a1B2c3", "xData.dat.a1B2c3", "Data.dat.FOLDER"})
        EXPECT_TRUE(std::filesystem::exists(scratch.Path(kept))) << kept;
    EXPECT_EQ(sys::RemoveStaleTemporaries(save.c_str()), 0u);
    EXPECT_EQ(sys::RemoveStaleTemporaries(scratch.Path("missing/Data.dat").c_str()), 0u);
}
