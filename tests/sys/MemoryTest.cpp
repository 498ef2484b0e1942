#include "sys/memory.h"

#include <gtest/gtest.h>

#include <sys/mman.h>

#include <cstdint>
#include <cstdio>
#include <fstream>
#include <string>

namespace {

constexpr size_t kPage = sys::kLargePageSize;

// A mapping of small pages with `pages` whole large pages in it, starting
// on one; unmapped at the end.
class Mapping {
public:
    explicit Mapping(size_t pages) : size_((pages + 1) * kPage) {
        void* p = mmap(nullptr, size_, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
        raw_ = p == MAP_FAILED ? nullptr : static_cast<uint8_t*>(p);
        const auto at = reinterpret_cast<uintptr_t>(raw_);
        start_ = raw_ ? reinterpret_cast<uint8_t*>((at + kPage - 1) & ~uintptr_t{kPage - 1})
                      : nullptr;
    }
    ~Mapping() {
        if (raw_)
            munmap(raw_, size_);
    }
    Mapping(const Mapping&) = delete;
    Mapping& operator=(const Mapping&) = delete;
    uint8_t* start() const { return start_; }

private:
    size_t size_;
    uint8_t* raw_ = nullptr;
    uint8_t* start_ = nullptr;
};

// The bytes of [from, to) that the system marks as advised for large pages
// (the "hg" flag of their mappings).
size_t AdvisedBytes(const uint8_t* from, const uint8_t* to) {
    std::ifstream maps("/proc/self/smaps");
    std::string line;
    uintptr_t lo = 0, hi = 0;
    size_t advised = 0;
    const auto a = reinterpret_cast<uintptr_t>(from), b = reinterpret_cast<uintptr_t>(to);
    while (std::getline(maps, line)) {
        unsigned long long x = 0, y = 0;
        if (std::sscanf(line.c_str(), "%llx-%llx ", &x, &y) == 2 && line.find(' ') > line.find('-')) {
            lo = x;
            hi = y;
        } else if (line.rfind("VmFlags:", 0) == 0 && line.find(" hg") != std::string::npos) {
            const uintptr_t s = lo > a ? lo : a, e = hi < b ? hi : b;
            if (e > s)
                advised += e - s;
        }
    }
    return advised;
}

struct AdviceCase {
    const char* name;
    size_t offset;    // from the first whole large page
    size_t bytes;
    size_t advised;   // bytes of the mapping advised
    size_t firstPage; // the first large page advised, when any
};

class LargePageAdvice : public testing::TestWithParam<AdviceCase> {};

TEST_P(LargePageAdvice, OnlyWholeLargePagesInsideTheRangeAreAdvised) {
    const AdviceCase& c = GetParam();
    {
        Mapping probe(1);
        ASSERT_NE(probe.start(), nullptr);
        if (madvise(probe.start(), kPage, MADV_HUGEPAGE) != 0 ||
            AdvisedBytes(probe.start(), probe.start() + kPage) != kPage)
            GTEST_SKIP() << "this system does not take large-page advice";
    }
    Mapping m(4);
    ASSERT_NE(m.start(), nullptr);
    sys::AdviseLargePages(c.offset == SIZE_MAX ? nullptr : m.start() + c.offset, c.bytes);
    EXPECT_EQ(AdvisedBytes(m.start(), m.start() + 4 * kPage), c.advised);
    if (c.advised) {
        const uint8_t* first = m.start() + c.firstPage * kPage;
        EXPECT_EQ(AdvisedBytes(first, first + c.advised), c.advised);
    }
}

constexpr size_t kSmall = 4096;

INSTANTIATE_TEST_SUITE_P(
    Ranges, LargePageAdvice,
    testing::Values(
        AdviceCase{"TwoWholePages", 0, 2 * kPage, 2 * kPage, 0},
        AdviceCase{"StartInsideAPageSkipsIt", kSmall, 3 * kPage, 2 * kPage, 1},
        AdviceCase{"EndInsideAPageSkipsIt", 0, 2 * kPage - kSmall, kPage, 0},
        AdviceCase{"BothEndsInsideKeepOnlyTheWholePage", kPage / 2, 2 * kPage, kPage, 1},
        AdviceCase{"LessThanAPageAdvisesNothing", kSmall, kPage, 0, 0},
        AdviceCase{"NullAdvisesNothing", SIZE_MAX, 4 * kPage, 0, 0},
        AdviceCase{"NoBytesAdviseNothing", 0, 0, 0, 0}),
    [](const testing::TestParamInfo<AdviceCase>& info) { return info.param.name; });

} // namespace
