#include "engine/platform/ProcessorInfo.h"
#include "support/ScratchFolder.h"
#include "sys/topology.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

namespace {

using Mireku::Platform::ProcessorInfo;
namespace fs = std::filesystem;

// A sysfs cpu folder with the given sibling lists, one per processor.
class FakeSysfs {
public:
    explicit FakeSysfs(const std::vector<const char*>& siblings) : root_(scratch_.Root()) {
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

// One mask per core, in processor order: two-way SMT (processors 0 and 4
// share core 0, 1 and 5 core 1, ...); an offline processor (no topology)
// skipped and cpu10 after cpu9 by number, not by name; an unreadable tree
// giving one mask per processor; a single processor. A core past the last
// asks for every processor.
TEST(ProcessorInfoTopology, OneMaskPerCoreInProcessorOrder) {
    const struct {
        std::vector<const char*> siblings; // empty: no tree at all
        uint32_t processors, cores;
        std::vector<std::pair<uint32_t, uint64_t>> masks;
    } machines[] = {
        {{"0,4", "1,5", "2,6", "3,7", "0,4", "1,5", "2,6", "3,7"},
         8,
         4,
         {{0, 0x11}, {1, 0x22}, {3, 0x88}, {4, ProcessorInfo::kAllProcessors}}},
        {{"0", "1", nullptr, "3", "4", "5", "6", "7", "8", "9", "10"},
         11,
         10,
         {{2, 1u << 3}, {9, 1u << 10}}},
        {{}, 3, 3, {{2, 4}}},
        {{"0"}, 1, 1, {{0, 1}, {1, ProcessorInfo::kAllProcessors}}},
    };
    for (const auto& m : machines) {
        const FakeSysfs tree(m.siblings);
        ProcessorInfo info;
        EXPECT_TRUE(info.InitializeFrom(m.siblings.empty() ? "/nonexistent/cpu" : tree.Root(),
                                        m.processors));
        EXPECT_EQ(info.GetProcessorCount(), m.processors);
        ASSERT_EQ(info.GetCoreCount(), m.cores) << m.processors;
        for (const auto& [core, mask] : m.masks)
            EXPECT_EQ(info.GetCoreMask(core), mask) << m.processors << " " << core;
    }
}

TEST(ProcessorInfoTopology, ThisMachineHasAtLeastOneCore) {
    ProcessorInfo info;
    EXPECT_TRUE(info.Initialize());
    EXPECT_GE(info.GetCoreCount(), 1u);
    EXPECT_NE(info.GetCoreMask(0), 0u);
}

} // namespace
