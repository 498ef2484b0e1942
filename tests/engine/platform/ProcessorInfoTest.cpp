#include "engine/platform/ProcessorInfo.h"
#include "support/ScratchFolder.h"
#include "sys/topology.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <string>

namespace {

using Mireku::Platform::ProcessorInfo;
namespace fs = std::filesystem;

// A sysfs cpu folder with the given sibling lists, one per processor.
class FakeSysfs {
public:
    explicit FakeSysfs(std::initializer_list<const char*> siblings) : root_(scratch_.Root()) {
        fs::create_directories(root_ / "cpufreq"); // not a processor
        int i = 0;
        for (const char* s : siblings) {
            const fs::path dir = root_ / ("cpu" + std::to_string(i++)) / "topology";
            fs::create_directories(dir);
            if (!s)
                continue; // offline processor: no topology file
            FILE* f = std::fopen((dir / "thread_siblings_list").c_str(), "w");
            std::fprintf(f, "%s\n", s);
            std::fclose(f);
        }
    }
    const char* Root() const { return root_.c_str(); }

private:
    testsupport::ScratchFolder scratch_;
    fs::path root_;
};

TEST(CpuList, ParsesRangesAndSingles) {
    uint64_t m = 0;
    EXPECT_TRUE(sys::ParseCpuList("0-3,8,10-11\n", m));
    EXPECT_EQ(m, 0xD0Fu);
    EXPECT_TRUE(sys::ParseCpuList("5", m));
    EXPECT_EQ(m, 0x20u);
    EXPECT_TRUE(sys::ParseCpuList("62-70", m));
    EXPECT_EQ(m, 0xC000000000000000u);
    EXPECT_FALSE(sys::ParseCpuList("", m));
    EXPECT_FALSE(sys::ParseCpuList("3-1", m));
    EXPECT_FALSE(sys::ParseCpuList("a", m));
    EXPECT_FALSE(sys::ParseCpuList("1-", m));
}

TEST(ProcessorInfoTopology, OneMaskPerCoreInProcessorOrder) {
    // Two-way SMT: processors 0 and 4 share core 0, 1 and 5 core 1, and so on.
    FakeSysfs tree({"0,4", "1,5", "2,6", "3,7", "0,4", "1,5", "2,6", "3,7"});
    ProcessorInfo info;
    ASSERT_TRUE(info.InitializeFrom(tree.Root(), 8));
    EXPECT_EQ(info.GetProcessorCount(), 8u);
    ASSERT_EQ(info.GetCoreCount(), 4u);
    EXPECT_EQ(info.GetCoreMask(0), 0x11u);
    EXPECT_EQ(info.GetCoreMask(1), 0x22u);
    EXPECT_EQ(info.GetCoreMask(3), 0x88u);
    EXPECT_EQ(info.GetCoreMask(4), ProcessorInfo::kAllProcessors);
}

// cpu10 comes after cpu9 by number, not by name.
TEST(ProcessorInfoTopology, SkipsProcessorsWithoutTopologyAndSortsNumerically) {
    FakeSysfs tree({"0", "1", nullptr, "3", "4", "5", "6", "7", "8", "9", "10"});
    ProcessorInfo info;
    info.InitializeFrom(tree.Root(), 11);
    ASSERT_EQ(info.GetCoreCount(), 10u);
    EXPECT_EQ(info.GetCoreMask(2), 1u << 3);
    EXPECT_EQ(info.GetCoreMask(9), 1u << 10);
}

TEST(ProcessorInfoTopology, UnreadableTreeGivesOneMaskPerProcessor) {
    ProcessorInfo info;
    EXPECT_TRUE(info.InitializeFrom("/nonexistent/cpu", 3));
    ASSERT_EQ(info.GetCoreCount(), 3u);
    EXPECT_EQ(info.GetCoreMask(2), 4u);
}

TEST(ProcessorInfoTopology, SingleProcessorMachine) {
    FakeSysfs tree({"0"});
    ProcessorInfo info;
    info.InitializeFrom(tree.Root(), 1);
    EXPECT_EQ(info.GetProcessorCount(), 1u);
    EXPECT_EQ(info.GetCoreCount(), 1u);
    EXPECT_EQ(info.GetCoreMask(1), ProcessorInfo::kAllProcessors);
}

TEST(ProcessorInfoTopology, ThisMachineHasAtLeastOneCore) {
    ProcessorInfo info;
    EXPECT_TRUE(info.Initialize());
    EXPECT_GE(info.GetCoreCount(), 1u);
    EXPECT_NE(info.GetCoreMask(0), 0u);
}

} // namespace
